// LibWindow: places on the screen's grid and around a reference window, Show()/Hide() that
// never nest, Pop(), going back to the centre when the screen changes, and the help request
// that Shift+F1 sends with the chain of views under the pointer.
#include "LibWindow.h"

#include "LibListView.h"
#include "LibMenuButton.h"
#include "LibStringView.h"
#include "LibTipManager.h"
#include "LibTipWin.h"

#include <Application.h>
#include <Box.h>
#include <Message.h>
#include <Screen.h>
#include <ScrollView.h>
#include <StringItem.h>
#include <View.h>

#include "GuiTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace gui_test;

TEST(LibWindowTest, PlacesOnTheScreensGrid)
{
	const BRect screen(0, 0, 1023, 767);
	const BRect bounds(0, 0, 455, 257);

	struct Row {
		LibWindow::ScreenPosition place;
		bool tabbed;
		BPoint corner;
	};

	const Row rows[] = {
		{ LibWindow::CENTER, true, BPoint(284, 255) },
		{ LibWindow::CENTER, false, BPoint(284, 255) },
		{ LibWindow::TOP_LEFT, true, BPoint(10, 30) },
		{ LibWindow::TOP_CENTER, false, BPoint(284, 0) },
		{ LibWindow::TOP_RIGHT, true, BPoint(558, 30) },
		{ LibWindow::MIDDLE_LEFT, true, BPoint(10, 255) },
		{ LibWindow::MIDDLE_RIGHT, true, BPoint(558, 255) },
		{ LibWindow::BOTTOM_LEFT, true, BPoint(10, 500) },
		{ LibWindow::BOTTOM_CENTER, true, BPoint(284, 500) },
		{ LibWindow::BOTTOM_RIGHT, false, BPoint(558, 500) },
	};
	for (const Row& row : rows) {
		EXPECT_EQ(row.corner, LibWindow::PositionFor(row.place, bounds, row.tabbed, screen, NULL))
			<< row.place << " " << row.tabbed;
	}
}

TEST(LibWindowTest, PlacesAroundAReferenceWindowStayOnTheScreen)
{
	const BRect screen(0, 0, 1023, 767);
	const BRect bounds(0, 0, 199, 99);

	struct Row {
		BRect reference;
		LibWindow::ScreenPosition place;
		BPoint corner;
	};

	const Row rows[] = {
		// Around a window in the middle: beside, above and below with the gaps.
		{ BRect(400, 300, 599, 499), LibWindow::MIDDLE_LEFT, BPoint(181, 350) },
		{ BRect(400, 300, 599, 499), LibWindow::MIDDLE_RIGHT, BPoint(619, 350) },
		{ BRect(400, 300, 599, 499), LibWindow::TOP_CENTER, BPoint(400, 171) },
		{ BRect(400, 300, 599, 499), LibWindow::BOTTOM_CENTER, BPoint(400, 539) },
		{ BRect(400, 300, 599, 499), LibWindow::CENTER, BPoint(400, 350) },
		// A reference at the left edge: the window cannot go left of it.
		{ BRect(0, 300, 199, 499), LibWindow::MIDDLE_LEFT, BPoint(5, 350) },
		// Past the right and bottom edges, and above the top.
		{ BRect(824, 300, 1023, 499), LibWindow::MIDDLE_RIGHT, BPoint(819, 350) },
		{ BRect(400, 600, 599, 767), LibWindow::BOTTOM_CENTER, BPoint(400, 663) },
		{ BRect(400, 50, 599, 200), LibWindow::TOP_LEFT, BPoint(181, 25) },
	};
	for (const Row& row : rows) {
		EXPECT_EQ(
			row.corner, LibWindow::PositionFor(row.place, bounds, true, screen, &row.reference))
			<< row.place << " " << row.reference.left << "," << row.reference.top;
	}
}

namespace {

class HelpApplication : public BApplication {
public:
	HelpApplication() :
		BApplication("application/x-vnd.test-lib-window")
	{
	}

	void ReadyToRun() override
	{
		// The test gives up on the request after a few pulses.
		SetPulseRate(100000);
	}

	void Pulse() override
	{
		if (++fPulses > 20)
			Quit();
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kLibHelpRequest) {
			fRequests.push_back(*message);
			if (fRequests.size() == fExpected)
				Quit();
			return;
		}
		BApplication::MessageReceived(message);
	}

	std::vector<BMessage> fRequests;
	size_t fExpected = 1;
	int32 fPulses = 0;
};

class HelpWindow : public LibWindow {
public:
	HelpWindow() :
		LibWindow(
			BRect(100, 100, 399, 299), "Options", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
	{
		BView* background = new BView(Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
		BBox* box = new BBox(BRect(20, 20, 219, 149), "box");
		box->AddChild(new BView(BRect(20, 30, 119, 59), "ok", B_FOLLOW_NONE, B_WILL_DRAW));
		background->AddChild(box);
		background->AddChild(
			new BView(BRect(230, 20, 289, 59), "side", B_FOLLOW_NONE, B_WILL_DRAW));
		AddChild(background);
	}

	bool InsertHelpRequest(BView* view, BMessage& inserts) override
	{
		if (strcmp(view->Name(), "side") != 0)
			return false;
		inserts.AddString("topic", "side panel");
		return true;
	}
};

std::vector<std::string>
views_of(const BMessage& request)
{
	std::vector<std::string> views;
	const char* name = NULL;
	for (int32 i = 0; request.FindString("view", i, &name) == B_OK; i++)
		views.push_back(name);
	return views;
}

} // namespace

TEST(LibWindowTest, ShiftF1SendsTheViewUnderThePointerAndItsAncestors)
{
	HelpApplication application;
	HelpWindow* window = new HelpWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	// Without shift, or before the pointer moved over a view, nothing is asked.
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	send_mouse(window, QEvent::MouseMove, BPoint(60, 70));
	send_key(window, Qt::Key_F1);
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	send_mouse(window, QEvent::MouseMove, BPoint(250, 30));
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	application.fExpected = 2;
	application.Run();

	ASSERT_EQ(2u, application.fRequests.size());
	const BMessage& nested = application.fRequests[0];
	EXPECT_STREQ("Options", nested.FindString("window"));
	EXPECT_EQ((std::vector<std::string> { "ok", "box", "bg" }), views_of(nested));
	EXPECT_FALSE(nested.HasMessage("inserts"));

	const BMessage& side = application.fRequests[1];
	EXPECT_EQ((std::vector<std::string> { "side", "bg" }), views_of(side));
	BMessage inserts;
	ASSERT_EQ(B_OK, side.FindMessage("inserts", &inserts));
	EXPECT_STREQ("side panel", inserts.FindString("topic"));
}

namespace {

class PlainWindow : public LibWindow {
public:
	PlainWindow() :
		LibWindow(BRect(10, 10, 209, 109), "Plain", B_TITLED_WINDOW, 0)
	{
	}
};

class LibWindowScreenTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-lib-window-screen");
		fWindow = new PlainWindow;
	}

	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	std::unique_ptr<BApplication> fApplication;
	LibWindow* fWindow;
};

} // namespace

TEST_F(LibWindowScreenTest, ShowAndHideNeverNest)
{
	fWindow->Show();
	fWindow->Show();
	EXPECT_FALSE(fWindow->IsHidden());
	fWindow->Hide();
	EXPECT_TRUE(fWindow->IsHidden());
	fWindow->Hide();
	fWindow->Show();
	EXPECT_FALSE(fWindow->IsHidden());
}

TEST_F(LibWindowScreenTest, PopShowsAndBringsToTheFront)
{
	PlainWindow* other = new PlainWindow;
	other->Show();
	fWindow->Pop();
	ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr && fWindow->IsFront(); }));
	EXPECT_FALSE(fWindow->IsHidden());

	other->Activate();
	ASSERT_TRUE(wait_until([&] { return other->IsFront(); }));
	fWindow->Pop();
	EXPECT_TRUE(wait_until([&] { return fWindow->IsFront(); }));
	other->Lock();
	other->Quit();
}

TEST_F(LibWindowScreenTest, SetPositionMovesOnTheRealScreenAndAScreenChangeRecentres)
{
	fWindow->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
	const BRect screen = BScreen().Frame();
	fWindow->Lock();
	fWindow->SetPosition(LibWindow::BOTTOM_RIGHT);
	EXPECT_EQ(
		LibWindow::PositionFor(LibWindow::BOTTOM_RIGHT, fWindow->Bounds(), true, screen, NULL),
		fWindow->Frame().LeftTop());

	PlainWindow* reference = new PlainWindow;
	reference->MoveTo(300, 200);
	fWindow->SetPosition(LibWindow::MIDDLE_RIGHT, reference);
	EXPECT_EQ(BPoint(300 + 199 + 20, 200), fWindow->Frame().LeftTop());
	reference->Lock();
	reference->Quit();

	fWindow->MoveTo(0, 0);
	fWindow->Unlock();
	Q_EMIT QGuiApplication::primaryScreen()->geometryChanged(
		QGuiApplication::primaryScreen()->geometry());
	const BPoint centre =
		LibWindow::PositionFor(LibWindow::CENTER, fWindow->Bounds(), true, screen, NULL);
	EXPECT_TRUE(wait_until([&] { return fWindow->Frame().LeftTop() == centre; }));
}

TEST_F(LibWindowScreenTest, AWindowOfTheWidgetsIsSavedAsAScreenshot)
{
	LibWindow* window =
		new LibWindow(BRect(60, 60, 419, 279), "Install Options", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	BView* background = new BView(window->Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	window->AddChild(background);

	LibMenuButton* types =
		new LibMenuButton(BPoint(10, 10), "install_type", "Install", 70, 150, B_FOLLOW_NONE);
	types->AddItem("Typical");
	types->AddItem("Full");
	types->AddItem("Custom");
	background->AddChild(types);

	LibStringView* path = new LibStringView(BRect(10, 45, 229, 60), "to_path", "");
	background->AddChild(path);
	path->SetTruncatedText(
		"/boot/home/Applications/Some Vendor/A Long Product Name 2.1/Demo Player",
		B_TRUNCATE_BEGINNING);

	LibListView* list = new LibListView(BRect(12, 72, 200, 200), "custom_list");
	background->AddChild(new BScrollView("custom_scroll", list, B_FOLLOW_NONE, 0, false, true));
	const char* rows[] = { "Demo Player", "Documentation", "Examples", "Sounds", "Fonts" };
	std::vector<std::unique_ptr<BStringItem>> items;
	for (const char* row : rows) {
		items.push_back(std::make_unique<BStringItem>(row));
		list->AddItem(items.back().get());
	}
	list->Select(1);
	window->Show();
	ASSERT_TRUE(
		wait_until([&] { return widget_of(window) != nullptr && widget_of(window)->isVisible(); }));

	// The tip of the second row, as the window would ask for it, at once.
	LibTipManager tips;
	BMessage request(kLibTipRequest);
	request.AddBool("show", true);
	request.AddString("tip", "The manual in HTML and PDF");
	window->Lock();
	BPoint where = list->ConvertToScreen(BPoint(90, list->ItemFrame(1).bottom + 4));
	window->Unlock();
	request.AddPoint("loc", where);
	request.AddInt16("sdelay", 0);
	tips.MessageReceived(&request);
	LibTipWin* tip = tips.Window();
	ASSERT_NE(nullptr, tip);
	ASSERT_TRUE(
		wait_until([&] { return widget_of(tip) != nullptr && widget_of(tip)->isVisible(); }));

	// The tip floats over the window: both are drawn where they are on the screen.
	QImage shot = grab(window);
	ASSERT_EQ(QSize(360, 220), shot.size());
	QImage tipShot = grab(tip);
	{
		QPainter painter(&shot);
		BPoint offset = where - window->Frame().LeftTop();
		painter.drawImage(QPoint((int)offset.x, (int)offset.y), tipShot);
	}
	const BPoint tipCorner = where - window->Frame().LeftTop();
	EXPECT_EQ(qRgb(255, 255, 203), shot.pixel((int)tipCorner.x + 2, (int)tipCorner.y + 2));
	EXPECT_EQ(qRgb(216, 216, 216), shot.pixel(355, 215));
	int dark = 0;
	for (int y = 0; y < shot.height(); y++) {
		for (int x = 0; x < shot.width(); x++) {
			if (qGray(shot.pixel(x, y)) < 100)
				dark++;
		}
	}
	EXPECT_GT(dark, 200);

	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(shot.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/widgets-window.png"));
	window->Lock();
	list->MakeEmpty();
	window->Quit();
}

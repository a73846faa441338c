// LibWindow: places on the screen's grid and around a reference window, Show()/Hide() that
// never nest, going back to the centre when the screen changes, the help request of
// Shift+F1, and a screenshot of a window built from the widgets.
#include "LibWindow.h"

#include "LibListView.h"
#include "LibMenuButton.h"
#include "LibStringView.h"
#include "LibTipManager.h"
#include "LibTipWin.h"

#include <Box.h>
#include <Screen.h>
#include <ScrollView.h>
#include <StringItem.h>

#include "WidgetTestHelpers.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <string>
#include <vector>

using namespace gui_test;

TEST(LibWindowTest, PlacesOnTheGridAndAroundAReferenceStayOnTheScreen)
{
	const BRect screen(0, 0, 1023, 767);
	const BRect large(0, 0, 455, 257);
	const BRect small(0, 0, 199, 99);
	const BRect middle(400, 300, 599, 499);

	const struct {
		LibWindow::ScreenPosition place;
		BRect bounds;
		bool tabbed;
		const BRect* reference;
		BPoint corner;
	} rows[] = {
		{ LibWindow::CENTER, large, true, NULL, BPoint(284, 255) },
		{ LibWindow::TOP_LEFT, large, true, NULL, BPoint(10, 30) },
		{ LibWindow::TOP_CENTER, large, false, NULL, BPoint(284, 0) },
		{ LibWindow::MIDDLE_RIGHT, large, true, NULL, BPoint(558, 255) },
		{ LibWindow::BOTTOM_LEFT, large, true, NULL, BPoint(10, 500) },
		{ LibWindow::MIDDLE_LEFT, small, true, &middle, BPoint(181, 350) },
		{ LibWindow::TOP_CENTER, small, true, &middle, BPoint(400, 171) },
		{ LibWindow::BOTTOM_RIGHT, small, true, &middle, BPoint(619, 539) },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.corner,
			LibWindow::PositionFor(row.place, row.bounds, row.tabbed, screen, row.reference))
			<< row.place;
	}

	// Kept on the screen: left of a window at the left edge, past the right edge and the
	// bottom, above the top.
	const struct {
		BRect reference;
		LibWindow::ScreenPosition place;
		BPoint corner;
	} edges[] = {
		{ BRect(0, 300, 199, 499), LibWindow::MIDDLE_LEFT, BPoint(5, 350) },
		{ BRect(824, 300, 1023, 499), LibWindow::MIDDLE_RIGHT, BPoint(819, 350) },
		{ BRect(400, 600, 599, 767), LibWindow::BOTTOM_CENTER, BPoint(400, 663) },
		{ BRect(400, 50, 599, 200), LibWindow::TOP_LEFT, BPoint(181, 25) },
	};

	for (const auto& row : edges) {
		EXPECT_EQ(
			row.corner, LibWindow::PositionFor(row.place, small, true, screen, &row.reference))
			<< row.reference.left << "," << row.reference.top;
	}
}

class LibWindowScreenTest : public widget_test::WindowTest { };

TEST_F(LibWindowScreenTest, ShowAndHideNeverNestAndAScreenChangeRecentres)
{
	Open({});
	fWindow->Show();
	fWindow->Show();
	fWindow->Hide();
	EXPECT_TRUE(fWindow->IsHidden());
	fWindow->Hide();
	fWindow->Pop();
	EXPECT_FALSE(fWindow->IsHidden());
	ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr && fWindow->IsFront(); }));

	const BRect screen = BScreen().Frame();
	fWindow->Lock();
	fWindow->SetPosition(LibWindow::BOTTOM_RIGHT);
	EXPECT_EQ(
		LibWindow::PositionFor(LibWindow::BOTTOM_RIGHT, fWindow->Bounds(), true, screen, NULL),
		fWindow->Frame().LeftTop());
	fWindow->MoveTo(0, 0);
	fWindow->Unlock();
	QScreen* primary = QGuiApplication::primaryScreen();
	Q_EMIT primary->geometryChanged(primary->geometry());
	const BPoint centre =
		LibWindow::PositionFor(LibWindow::CENTER, fWindow->Bounds(), true, screen, NULL);
	EXPECT_TRUE(wait_until([&] { return fWindow->Frame().LeftTop() == centre; }));
}

namespace {

class HelpApplication : public BApplication {
public:
	HelpApplication() :
		BApplication("application/x-vnd.test-lib-window")
	{
	}

	// Gives up after a few pulses if the requests do not come.
	void ReadyToRun() override { SetPulseRate(100000); }

	void Pulse() override
	{
		if (++fPulses > 20)
			Quit();
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kLibHelpRequest) {
			BApplication::MessageReceived(message);
			return;
		}
		fRequests.push_back(*message);
		if (fRequests.size() == 2)
			Quit();
	}

	std::vector<BMessage> fRequests;
	int32 fPulses = 0;
};

class HelpWindow : public LibWindow {
public:
	HelpWindow() :
		LibWindow(BRect(100, 100, 399, 299), "Options", B_TITLED_WINDOW, 0)
	{
		BView* background = new BView(Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
		BBox* box = new BBox(BRect(20, 20, 219, 149), "box");
		box->AddChild(new BView(BRect(20, 30, 119, 59), "ok", B_FOLLOW_NONE, B_WILL_DRAW));
		background->AddChild(box);
		background->AddChild(new BView(BRect(230, 20, 289, 59), "side", B_FOLLOW_NONE, 0));
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

TEST(LibWindowHelpTest, ShiftF1SendsTheViewUnderThePointerAndItsAncestors)
{
	HelpApplication application;
	HelpWindow* window = new HelpWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	// Before the pointer moved over a view, or without shift, nothing is asked.
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	send_mouse(window, QEvent::MouseMove, BPoint(60, 70));
	send_key(window, Qt::Key_F1);
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	send_mouse(window, QEvent::MouseMove, BPoint(250, 30));
	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
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

TEST_F(LibWindowScreenTest, AWindowOfTheWidgetsIsSavedAsAScreenshot)
{
	Open({});
	fWindow->ResizeTo(359, 219);
	BView* background = new BView(fWindow->Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fWindow->AddChild(background);
	LibMenuButton* types =
		new LibMenuButton(BPoint(10, 10), "install_type", "Install", 70, 150, B_FOLLOW_NONE);
	for (const char* type : { "Typical", "Full", "Custom" })
		types->AddItem(type);
	background->AddChild(types);
	LibStringView* path = new LibStringView(BRect(10, 45, 229, 60), "to_path", "");
	background->AddChild(path);
	path->SetTruncatedText(
		"/boot/home/Applications/Some Vendor/A Long Product Name 2.1/Demo Player",
		B_TRUNCATE_BEGINNING);
	LibListView* list = new LibListView(BRect(12, 72, 200, 200), "custom_list");
	background->AddChild(new BScrollView("custom_scroll", list, B_FOLLOW_NONE, 0, false, true));
	std::vector<std::unique_ptr<BStringItem>> items;
	for (const char* row : { "Demo Player", "Documentation", "Examples", "Sounds", "Fonts" }) {
		items.push_back(std::make_unique<BStringItem>(row));
		list->AddItem(items.back().get());
	}
	list->Select(1);
	ShowWindow();

	// The tip of the second row, at once.
	LibTipManager tips;
	BMessage request(kLibTipRequest);
	request.AddBool("show", true);
	request.AddString("tip", "The manual in HTML and PDF");
	fWindow->Lock();
	const BPoint where = list->ConvertToScreen(BPoint(90, list->ItemFrame(1).bottom + 4));
	fWindow->Unlock();
	request.AddPoint("loc", where);
	request.AddInt16("sdelay", 0);
	tips.MessageReceived(&request);
	LibTipWin* tip = tips.Window();
	ASSERT_TRUE(
		wait_until([&] { return widget_of(tip) != nullptr && widget_of(tip)->isVisible(); }));

	// The tip floats over the window: both are drawn where they are on the screen.
	QImage shot = grab(fWindow);
	ASSERT_EQ(QSize(360, 220), shot.size());
	const BPoint corner = where - fWindow->Frame().LeftTop();
	QPainter(&shot).drawImage(QPoint((int)corner.x, (int)corner.y), grab(tip));
	EXPECT_EQ(qRgb(255, 255, 203), shot.pixel((int)corner.x + 2, (int)corner.y + 2));
	EXPECT_EQ(qRgb(216, 216, 216), shot.pixel(355, 215));
	int dark = 0;
	for (int y = 0; y < shot.height(); y++) {
		for (int x = 0; x < shot.width(); x++)
			dark += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
	}
	EXPECT_GT(dark, 200);
	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(shot.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/widgets-window.png"));
	fWindow->Lock();
	list->MakeEmpty();
	fWindow->Unlock();
}

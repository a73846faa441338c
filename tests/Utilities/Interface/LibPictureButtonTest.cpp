// LibPictureButton: the folder button's frame, pictures and message, and the tip requests it
// posts to the application as the pointer comes and goes.
#include "LibPictureButton.h"

#include "FolderPictures.h"

#include <Application.h>
#include <Message.h>
#include <Palette.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace gui_test;

namespace {

const uint32 kFolderPressed = 2003;
const uint32 kTipRequest = 'stip';

class TipApplication : public BApplication {
public:
	TipApplication() :
		BApplication("application/x-vnd.test-picture-button")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kTipRequest) {
			fTips.push_back(*message);
			return;
		}
		BApplication::MessageReceived(message);
	}

	std::vector<BMessage> fTips;
};

class ButtonWindow : public BWindow {
public:
	ButtonWindow() :
		BWindow(BRect(100, 100, 299, 199), "buttons", B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kFolderPressed) {
			fPresses++;
			return;
		}
		BWindow::MessageReceived(message);
	}

	int32 fPresses = 0;
};

rgb_color
pixel(const QImage& image, BPoint where)
{
	QRgb value = image.pixel((int)where.x, (int)where.y);
	return make_color(qRed(value), qGreen(value), qBlue(value));
}

class LibPictureButtonTest : public testing::Test {
protected:
	void SetUp() override
	{
		// The application's messages are dispatched on the GUI thread once its looper runs;
		// the test pumps the event loop itself instead of the application's Run().
		fApplication.BLooper::Run();
		fWindow = new ButtonWindow;
		fButton = new LibPictureButton(BPoint(20, 30), 24, 24, "folder", FolderUp, FolderDown,
			kFolderPressed, FolderUpInactive);
		fWindow->AddChild(fButton);
		fWindow->Show();
		fWindow->Activate();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
		wait_until([&] { return fWindow->IsActive(); });
	}

	void TearDown() override
	{
		fWindow->Lock();
		fWindow->Quit();
	}

	// Moves the pointer from outside the button over it, and out again.
	void PassOver()
	{
		send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 80));
		send_mouse(fWindow, QEvent::MouseMove, BPoint(30, 40));
		run_for(50);
		fTipsAfterEntering = fApplication.fTips.size();
		send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 80));
		run_for(50);
	}

	TipApplication fApplication;
	ButtonWindow* fWindow = nullptr;
	LibPictureButton* fButton = nullptr;
	size_t fTipsAfterEntering = 0;
};

} // namespace

TEST_F(LibPictureButtonTest, TheButtonDrawsItsPicturesAndSendsItsMessage)
{
	EXPECT_EQ(BRect(20, 30, 43, 53), fButton->Frame());
	EXPECT_STREQ("folder", fButton->Name());
	EXPECT_STREQ("folder", fButton->Label());
	EXPECT_EQ((uint32)B_ONE_STATE_BUTTON, fButton->Behavior());
	ASSERT_NE(nullptr, fButton->Message());
	EXPECT_EQ(kFolderPressed, fButton->Message()->what);

	// The folder's face at (10, 12) of the picture; its top-left corner is transparent.
	const BPoint face(30, 42);
	const BPoint corner(20, 30);
	QImage image = grab(fWindow);
	EXPECT_EQ(color_for_index(FolderUp[12 * 24 + 10]), pixel(image, face));
	EXPECT_EQ(pixel(image, corner - BPoint(1, 0)), pixel(image, corner));

	fButton->SetValue(B_CONTROL_ON);
	image = grab(fWindow);
	EXPECT_EQ(color_for_index(FolderDown[12 * 24 + 10]), pixel(image, face));
	fButton->SetValue(B_CONTROL_OFF);
	fButton->SetEnabled(false);
	image = grab(fWindow);
	EXPECT_EQ(color_for_index(FolderUpInactive[12 * 24 + 10]), pixel(image, face));
	fButton->SetEnabled(true);

	click(fWindow, face);
	ASSERT_TRUE(wait_until([&] { return fWindow->fPresses == 1; }));
	// A one-state button is on only while pressed.
	EXPECT_EQ(B_CONTROL_OFF, fButton->Value());
}

TEST_F(LibPictureButtonTest, WithoutATipNothingIsPosted)
{
	PassOver();
	click(fWindow, BPoint(30, 40));
	run_for(50);
	EXPECT_TRUE(fApplication.fTips.empty());
}

TEST_F(LibPictureButtonTest, TheTipComesWithThePointerAndGoesWithItOrAPress)
{
	ASSERT_TRUE(fWindow->IsActive());
	fButton->AddTip(kTipRequest, "Change destination folder");
	PassOver();
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() >= 2; }))
		<< fApplication.fTips.size() << " after entering " << fTipsAfterEntering;
	ASSERT_EQ(1u, fTipsAfterEntering);
	ASSERT_EQ(2u, fApplication.fTips.size());

	const BMessage& shown = fApplication.fTips[0];
	EXPECT_TRUE(shown.GetBool("show", false));
	EXPECT_STREQ("Change destination folder", shown.GetString("tip", ""));
	BPoint where;
	ASSERT_EQ(B_OK, shown.FindPoint("loc", &where));
	// The button's top-right corner, 5 right and 1 down, on the screen.
	BPoint expected = fWindow->Frame().LeftTop() + BPoint(43 + 5, 30 + 1);
	EXPECT_EQ(expected, where);

	const BMessage& hidden = fApplication.fTips[1];
	EXPECT_FALSE(hidden.GetBool("show", true));
	EXPECT_FALSE(hidden.HasString("tip"));

	// A press takes the tip down before the button does its work.
	send_mouse(fWindow, QEvent::MouseMove, BPoint(30, 40));
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() == 3; }));
	click(fWindow, BPoint(30, 40));
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() == 4; }));
	EXPECT_FALSE(fApplication.fTips[3].GetBool("show", true));
	EXPECT_TRUE(wait_until([&] { return fWindow->fPresses == 1; }));
}

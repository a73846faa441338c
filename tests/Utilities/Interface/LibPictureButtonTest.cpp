// LibPictureButton: the folder button's frame, its three pictures and its message, and the tip
// requests it posts to the application as the pointer comes and goes.
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

class TipApplication : public BApplication {
public:
	TipApplication() :
		BApplication("application/x-vnd.test-picture-button")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'stip')
			fTips.push_back(*message);
		else
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
		if (message->what == 2003)
			fPresses++;
		else
			BWindow::MessageReceived(message);
	}

	int32 fPresses = 0;
};

class LibPictureButtonTest : public testing::Test {
protected:
	void SetUp() override
	{
		// The application's messages are dispatched once its looper runs; the test pumps the
		// event loop itself instead of the application's Run().
		fApplication.BLooper::Run();
		fWindow->AddChild(fButton);
		fWindow->Show();
		fWindow->Activate();
		ASSERT_TRUE(
			wait_until([&] { return widget_of(fWindow) != nullptr && fWindow->IsActive(); }));
	}

	void TearDown() override
	{
		fWindow->Lock();
		fWindow->Quit();
	}

	rgb_color Pixel(BPoint where)
	{
		QRgb value = grab(fWindow).pixel((int)where.x, (int)where.y);
		return make_color(qRed(value), qGreen(value), qBlue(value));
	}

	// Moves the pointer from outside over the button and out again; returns the number of
	// tips posted after entering.
	size_t PassOver()
	{
		send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 80));
		send_mouse(fWindow, QEvent::MouseMove, BPoint(30, 40));
		run_for(50);
		size_t afterEntering = fApplication.fTips.size();
		send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 80));
		run_for(50);
		return afterEntering;
	}

	TipApplication fApplication;
	ButtonWindow* fWindow = new ButtonWindow;
	LibPictureButton* fButton = new LibPictureButton(
		BPoint(20, 30), 24, 24, "folder", FolderUp, FolderDown, 2003, FolderUpInactive);
};

} // namespace

TEST_F(LibPictureButtonTest, TheButtonDrawsItsPicturesAndSendsItsMessage)
{
	EXPECT_EQ(BRect(20, 30, 43, 53), fButton->Frame());
	EXPECT_STREQ("folder", fButton->Label());
	EXPECT_EQ((uint32)B_ONE_STATE_BUTTON, fButton->Behavior());
	EXPECT_EQ(2003u, fButton->Message()->what);

	// The folder's face at (10, 12) of the picture; its transparent corner shows the window.
	const BPoint face(30, 42);
	EXPECT_EQ(color_for_index(FolderUp[12 * 24 + 10]), Pixel(face));
	EXPECT_EQ(Pixel(BPoint(19, 30)), Pixel(BPoint(20, 30)));
	fButton->SetValue(B_CONTROL_ON);
	EXPECT_EQ(color_for_index(FolderDown[12 * 24 + 10]), Pixel(face));
	fButton->SetValue(B_CONTROL_OFF);
	fButton->SetEnabled(false);
	EXPECT_EQ(color_for_index(FolderUpInactive[12 * 24 + 10]), Pixel(face));
	fButton->SetEnabled(true);

	click(fWindow, face);
	ASSERT_TRUE(wait_until([&] { return fWindow->fPresses == 1; }));
	EXPECT_EQ(B_CONTROL_OFF, fButton->Value());
	// Without a tip nothing was posted.
	PassOver();
	EXPECT_TRUE(fApplication.fTips.empty());
}

TEST_F(LibPictureButtonTest, TheTipComesWithThePointerAndGoesWithItOrAPress)
{
	fButton->AddTip('stip', "Change destination folder");
	EXPECT_EQ(1u, PassOver());
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() == 2; }));
	const BMessage& shown = fApplication.fTips[0];
	EXPECT_TRUE(shown.GetBool("show", false));
	EXPECT_STREQ("Change destination folder", shown.GetString("tip", ""));
	// The button's top-right corner, 5 right and 1 down, on the screen.
	BPoint where;
	ASSERT_EQ(B_OK, shown.FindPoint("loc", &where));
	EXPECT_EQ(fWindow->Frame().LeftTop() + BPoint(43 + 5, 30 + 1), where);
	EXPECT_FALSE(fApplication.fTips[1].GetBool("show", true));
	EXPECT_FALSE(fApplication.fTips[1].HasString("tip"));

	// A press takes the tip down before the button does its work.
	send_mouse(fWindow, QEvent::MouseMove, BPoint(30, 40));
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() == 3; }));
	click(fWindow, BPoint(30, 40));
	ASSERT_TRUE(wait_until([&] { return fApplication.fTips.size() == 4; }));
	EXPECT_FALSE(fApplication.fTips[3].GetBool("show", true));
	EXPECT_TRUE(wait_until([&] { return fWindow->fPresses == 1; }));
}

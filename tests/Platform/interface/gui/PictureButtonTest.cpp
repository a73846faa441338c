// BPictureButton: the message goes out on a click, two-state buttons keep their state,
// and the picture drawn follows the value and the enabled state.
#include <Application.h>
#include <Message.h>
#include <Picture.h>
#include <PictureButton.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "qt/PicturePrivate.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <atomic>

using namespace gui_test;

namespace {

BPicture
filled(QColor colour)
{
	QPicture recording;
	QPainter painter(&recording);
	painter.fillRect(QRect(0, 0, 24, 24), colour);
	painter.end();
	BPicture picture;
	BPrivate::PicturePrivate::SetRecording(picture, recording);
	return picture;
}

class ClickWindow : public BWindow {
public:
	ClickWindow() :
		BWindow(BRect(100, 100, 199, 199), "Pictures", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'fold') {
			fLastValue = message->GetInt32("be:value", -1);
			fCount++;
			return;
		}
		BWindow::MessageReceived(message);
	}

	std::atomic<int> fCount { 0 };
	std::atomic<int32> fLastValue { -1 };
};

class PictureButtonTest : public testing::Test {
protected:
	void Open(uint32 behavior)
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-picture-button");
		fWindow = new ClickWindow;
		BPicture off = filled(Qt::red);
		BPicture on = filled(Qt::green);
		fButton = new BPictureButton(
			BRect(10, 10, 33, 33), "folder", &off, &on, new BMessage('fold'), behavior);
		BPicture disabled = filled(Qt::blue);
		fButton->SetDisabledOff(&disabled);
		fWindow->AddChild(fButton);
		fWindow->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
	}

	void TearDown() override
	{
		if (fWindow != nullptr && fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	QRgb PixelOfButton() { return grab(fWindow).pixel(20, 20); }

	std::unique_ptr<BApplication> fApplication;
	ClickWindow* fWindow = nullptr;
	BPictureButton* fButton = nullptr;
};

} // namespace

TEST_F(PictureButtonTest, AOneStateButtonSendsItsMessageAndSpringsBack)
{
	Open(B_ONE_STATE_BUTTON);
	EXPECT_EQ(qRgb(255, 0, 0), PixelOfButton());
	click(fWindow, BPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return fWindow->fCount == 1; }));
	EXPECT_EQ(B_CONTROL_ON, fWindow->fLastValue);
	fWindow->Lock();
	EXPECT_EQ(B_CONTROL_OFF, fButton->Value());
	fWindow->Unlock();
	EXPECT_EQ(qRgb(255, 0, 0), PixelOfButton());
}

TEST_F(PictureButtonTest, ATwoStateButtonTogglesAtEachClick)
{
	Open(B_TWO_STATE_BUTTON);
	click(fWindow, BPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return fWindow->fCount == 1; }));
	EXPECT_EQ(B_CONTROL_ON, fWindow->fLastValue);
	EXPECT_EQ(qRgb(0, 255, 0), PixelOfButton());
	click(fWindow, BPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return fWindow->fCount == 2; }));
	EXPECT_EQ(B_CONTROL_OFF, fWindow->fLastValue);
	EXPECT_EQ(qRgb(255, 0, 0), PixelOfButton());
}

TEST_F(PictureButtonTest, ADisabledButtonShowsItsDisabledPictureAndSendsNothing)
{
	Open(B_ONE_STATE_BUTTON);
	fWindow->Lock();
	fButton->SetEnabled(false);
	EXPECT_NE(nullptr, fButton->DisabledOff());
	EXPECT_EQ(nullptr, fButton->DisabledOn());
	fWindow->Unlock();
	ASSERT_TRUE(wait_until([&] { return PixelOfButton() == qRgb(0, 0, 255); }));
	click(fWindow, BPoint(20, 20));
	run_for(100);
	EXPECT_EQ(0, fWindow->fCount);
}

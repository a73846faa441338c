// BButton and BControl: invoking by click and by key, what the message carries, the
// enabled state, and clicks that end outside.
#include <Application.h>
#include <Button.h>
#include <Message.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace gui_test;

namespace {

class TargetWindow : public BWindow {
public:
	TargetWindow() :
		BWindow(BRect(100, 100, 299, 199), "Buttons", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'push') {
			std::lock_guard<std::mutex> lock(fLock);
			fPushes.push_back(*message);
			return;
		}
		BWindow::MessageReceived(message);
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fPushes.size();
	}

	std::mutex fLock;
	std::vector<BMessage> fPushes;
};

class ButtonTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-button");
		fWindow = new TargetWindow;
		BMessage* message = new BMessage('push');
		message->AddString("id", "install");
		fButton = new BButton(BRect(20, 20, 99, 44), "button", "Install", message);
		fWindow->AddChild(fButton);
		fWindow->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
	}

	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	std::unique_ptr<BApplication> fApplication;
	TargetWindow* fWindow;
	BButton* fButton;
};

} // namespace

TEST_F(ButtonTest, AClickInvokesTheTargetWithTheControlFields)
{
	EXPECT_EQ(BMessenger(fWindow), fButton->Messenger());
	click(fWindow, BPoint(50, 30));
	ASSERT_TRUE(wait_until([&] { return fWindow->Count() == 1; }));

	const BMessage& message = fWindow->fPushes[0];
	const char* id = NULL;
	EXPECT_EQ(B_OK, message.FindString("id", &id));
	EXPECT_STREQ("install", id);
	int64 when = 0;
	EXPECT_EQ(B_OK, message.FindInt64("when", &when));
	EXPECT_GT(when, 0);
	void* source = NULL;
	EXPECT_EQ(B_OK, message.FindPointer("source", &source));
	EXPECT_EQ((void*)fButton, source);
	EXPECT_EQ(B_CONTROL_OFF, fButton->Value());
}

TEST_F(ButtonTest, APressReleasedOutsideDoesNothing)
{
	send_mouse(fWindow, QEvent::MouseButtonPress, BPoint(50, 30), Qt::LeftButton, Qt::LeftButton);
	ASSERT_TRUE(wait_until([&] { return fButton->Value() == B_CONTROL_ON; }));
	send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 80), Qt::NoButton, Qt::LeftButton);
	ASSERT_TRUE(wait_until([&] { return fButton->Value() == B_CONTROL_OFF; }));
	send_mouse(fWindow, QEvent::MouseButtonRelease, BPoint(150, 80), Qt::LeftButton, Qt::NoButton);
	run_for(50);
	EXPECT_EQ(0u, fWindow->Count());
}

TEST_F(ButtonTest, ADisabledButtonIgnoresClicksAndLeavesNavigation)
{
	fWindow->Lock();
	fButton->MakeFocus();
	fButton->SetEnabled(false);
	EXPECT_FALSE(fButton->IsEnabled());
	EXPECT_FALSE(fButton->IsFocus());
	EXPECT_EQ(0u, fButton->Flags() & B_NAVIGABLE);
	fWindow->Unlock();
	click(fWindow, BPoint(50, 30));
	run_for(50);
	EXPECT_EQ(0u, fWindow->Count());

	fWindow->Lock();
	fButton->SetEnabled(true);
	EXPECT_NE(0u, fButton->Flags() & B_NAVIGABLE);
	fWindow->Unlock();
}

TEST_F(ButtonTest, SpaceOrEnterInvokesTheFocusedButton)
{
	fWindow->Lock();
	fButton->MakeFocus();
	fWindow->Unlock();
	send_key(fWindow, Qt::Key_Space, Qt::NoModifier, " ");
	send_key(fWindow, Qt::Key_Return);
	ASSERT_TRUE(wait_until([&] { return fWindow->Count() == 2; }));
}

TEST_F(ButtonTest, InvokeWithoutAMessageFails)
{
	fWindow->Lock();
	BButton* bare = new BButton(BRect(0, 0, 9, 9), "bare", "Bare", NULL);
	fWindow->AddChild(bare);
	EXPECT_EQ(B_BAD_VALUE, bare->Invoke());
	bare->SetLabel("Renamed");
	EXPECT_STREQ("Renamed", bare->Label());
	fWindow->Unlock();
}

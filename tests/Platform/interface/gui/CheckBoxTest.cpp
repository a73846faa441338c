// BCheckBox: clicks and Space turn it on and off, each change invokes it with the value.
#include <Application.h>
#include <CheckBox.h>
#include <Message.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace gui_test;

namespace {

class ValueWindow : public BWindow {
public:
	ValueWindow() :
		BWindow(BRect(100, 100, 299, 199), "Check", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != 'chck') {
			BWindow::MessageReceived(message);
			return;
		}
		int32 value = -1;
		message->FindInt32("be:value", &value);
		fLastValue = value;
		fInvocations++;
	}

	std::atomic<int32> fLastValue { -1 };
	std::atomic<int32> fInvocations { 0 };
};

} // namespace

TEST(CheckBoxTest, ClicksAndSpaceToggleTheValueAndInvoke)
{
	BApplication application("application/x-vnd.test-check-box");
	ValueWindow* window = new ValueWindow;
	BCheckBox* check =
		new BCheckBox(BRect(10, 10, 189, 29), "check", "Apply to all", new BMessage('chck'));
	window->AddChild(check);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	EXPECT_EQ(B_CONTROL_OFF, check->Value());

	click(window, BPoint(20, 20));
	ASSERT_TRUE(wait_until([&] { return window->fInvocations.load() == 1; }));
	EXPECT_EQ(B_CONTROL_ON, window->fLastValue.load());
	EXPECT_EQ(B_CONTROL_ON, check->Value());

	window->Lock();
	check->MakeFocus();
	window->Unlock();
	send_key(window, Qt::Key_Space, Qt::NoModifier, " ");
	ASSERT_TRUE(wait_until([&] { return window->fInvocations.load() == 2; }));
	EXPECT_EQ(B_CONTROL_OFF, window->fLastValue.load());

	// Setting the value is not the user's doing: nothing is sent.
	window->Lock();
	check->SetValue(B_CONTROL_ON);
	check->SetEnabled(false);
	window->Unlock();
	click(window, BPoint(20, 20));
	run_for(50);
	EXPECT_EQ(2, window->fInvocations.load());
	EXPECT_EQ(B_CONTROL_ON, check->Value());

	window->Lock();
	window->Quit();
}

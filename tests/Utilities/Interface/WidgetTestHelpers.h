// Helpers for the widget tests: an application per test, a window that records the messages
// widgets post to it, and points of views in window coordinates.
#ifndef TESTS_UTILITIES_INTERFACE_WIDGET_TEST_HELPERS_H
#define TESTS_UTILITIES_INTERFACE_WIDGET_TEST_HELPERS_H

#include "LibWindow.h"

#include <Application.h>
#include <Message.h>
#include <View.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

namespace widget_test {

// Keeps the messages whose what-code is in codes; hands everything else to the window.
class RecordingWindow : public LibWindow {
public:
	RecordingWindow(std::vector<uint32> codes, BRect frame = BRect(100, 100, 399, 299)) :
		LibWindow(frame, "Recording", B_TITLED_WINDOW, 0),
		fCodes(std::move(codes))
	{
	}

	void MessageReceived(BMessage* message) override
	{
		for (uint32 code : fCodes) {
			if (message->what == code) {
				std::lock_guard<std::mutex> lock(fLock);
				fReceived.push_back(*message);
				return;
			}
		}
		LibWindow::MessageReceived(message);
	}

	std::vector<BMessage> Received()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fReceived;
	}

	void Forget()
	{
		std::lock_guard<std::mutex> lock(fLock);
		fReceived.clear();
	}

private:
	std::vector<uint32> fCodes;
	std::mutex fLock;
	std::vector<BMessage> fReceived;
};

// A test with its own application and one recording window, shown and active.
class WindowTest : public testing::Test {
protected:
	void Open(std::vector<uint32> codes)
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-widgets");
		fWindow = new RecordingWindow(std::move(codes));
	}

	// Shows the window with the views added so far and waits until it is up and active.
	void ShowWindow()
	{
		fWindow->Show();
		ASSERT_TRUE(gui_test::wait_until([&] { return gui_test::widget_of(fWindow) != nullptr; }));
		fWindow->Activate();
		ASSERT_TRUE(gui_test::wait_until([&] { return fWindow->IsActive(); }));
	}

	void TearDown() override
	{
		if (fWindow != NULL && fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	std::unique_ptr<BApplication> fApplication;
	RecordingWindow* fWindow = NULL;
};

// A point of the view, in its window's coordinates.
inline BPoint
in_window(BView* view, BPoint point)
{
	view->ConvertToScreen(&point);
	view->Window()->ConvertFromScreen(&point);
	return point;
}

} // namespace widget_test

#endif // TESTS_UTILITIES_INTERFACE_WIDGET_TEST_HELPERS_H

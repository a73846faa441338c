// BApplication: the order of its first messages, messages from other threads, pulses, and
// how it quits (asked by a window with B_QUIT_ON_WINDOW_CLOSE, or from another thread), and
// that a window left locked by a killed thread does not hang the quit.
#include <Application.h>
#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include "CommaLocale.h"
#include "GuiTestSupport.h"
#include "qt/ApplicationPrivate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace gui_test;

namespace {

class TestApplication : public BApplication {
public:
	TestApplication() :
		BApplication("application/x-vnd.test-application")
	{
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		std::string event = "argv:" + std::to_string(argc);
		for (int32 i = 1; i < argc; i++)
			event += std::string(":") + argv[i];
		fEvents.push_back(event);
	}

	void ReadyToRun() override
	{
		fEvents.push_back("ready");
		if (fOnReady)
			fOnReady();
	}

	void Pulse() override
	{
		fPulses++;
		if (fOnPulse)
			fOnPulse();
	}

	bool QuitRequested() override
	{
		fQuitRequests++;
		return BApplication::QuitRequested();
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'ping') {
			if (find_thread(NULL) != Thread() || !IsLocked())
				fWrongThread++;
			if (++fPings == fExpectedPings)
				Quit();
			return;
		}
		BApplication::MessageReceived(message);
	}

	std::vector<std::string> fEvents;
	std::function<void()> fOnReady;
	std::function<void()> fOnPulse;
	std::atomic<int32> fPulses { 0 };
	std::atomic<int32> fQuitRequests { 0 };
	int32 fPings = 0;
	int32 fExpectedPings = 0;
	int32 fWrongThread = 0;
};

class ApplicationTest : public testing::Test {
protected:
	void SetUp() override { BPrivate::set_command_line({ "program" }); }

	void TearDown() override { BPrivate::set_command_line({}); }
};

class ClosingWindow : public BWindow {
public:
	ClosingWindow(bool allow, uint32 flags = 0) :
		BWindow(BRect(10, 10, 109, 109), "Closing", B_TITLED_WINDOW, flags),
		fAllow(allow)
	{
	}

	bool QuitRequested() override { return fAllow; }

	bool fAllow;
};

} // namespace

TEST_F(ApplicationTest, ArgumentsArriveBeforeReadyToRun)
{
	BPrivate::set_command_line({ "program", "-ui", "extra" });
	TestApplication application;
	EXPECT_EQ(be_app, &application);
	EXPECT_TRUE(be_app_messenger.IsValid());
	application.fOnReady = [&]() { application.Quit(); };
	EXPECT_TRUE(application.IsLaunching());
	EXPECT_EQ(find_thread(NULL), application.Run());
	std::vector<std::string> expected = { "argv:3:-ui:extra", "ready" };
	EXPECT_EQ(expected, application.fEvents);
}

TEST_F(ApplicationTest, WithoutArgumentsOnlyReadyToRunArrives)
{
	TestApplication application;
	application.fOnReady = [&]() { application.Quit(); };
	application.Run();
	EXPECT_EQ(std::vector<std::string> { "ready" }, application.fEvents);
}

TEST_F(ApplicationTest, MessagesFromOtherThreadsAreHandledOnTheMainThread)
{
	TestApplication application;
	application.fExpectedPings = 200;
	std::vector<std::thread> senders;
	application.fOnReady = [&]() {
		for (int32 i = 0; i < 4; i++) {
			senders.emplace_back([]() {
				for (int32 j = 0; j < 50; j++)
					be_app_messenger.SendMessage('ping');
			});
		}
	};
	application.Run();
	for (std::thread& sender : senders)
		sender.join();
	EXPECT_EQ(200, application.fPings);
	EXPECT_EQ(0, application.fWrongThread);
}

TEST_F(ApplicationTest, PulsesFollowTheRateAndStopAtZero)
{
	TestApplication application;
	std::thread stopper;
	application.fOnReady = [&]() { application.SetPulseRate(10000); };
	application.fOnPulse = [&]() {
		if (application.fPulses.load() != 5)
			return;
		application.SetPulseRate(0);
		stopper = std::thread([]() {
			snooze(300000);
			be_app_messenger.SendMessage(B_QUIT_REQUESTED);
		});
	};
	application.Run();
	stopper.join();
	EXPECT_EQ(5, application.fPulses.load());
}

// BeOS behaviour: closing windows, the last one shown included, asks nothing of the
// application (an installer whose window is still hidden shows an alert and goes on after
// it); only a window with B_QUIT_ON_WINDOW_CLOSE asks it to quit when it goes.
TEST_F(ApplicationTest, OnlyAWindowThatSaysSoAsksTheApplicationToQuitWhenItCloses)
{
	TestApplication application;
	std::atomic<int32> requestsBeforeLast { -1 };
	std::thread stopper;
	application.fOnReady = [&]() {
		ClosingWindow* plain = new ClosingWindow(true);
		ClosingWindow* hidden = new ClosingWindow(true);
		ClosingWindow* last = new ClosingWindow(true, B_QUIT_ON_WINDOW_CLOSE);
		// Shown once, so that their loops run, then hidden.
		hidden->Show();
		hidden->Hide();
		last->Show();
		last->Hide();
		plain->Show();
		// The only shown window closes while the others are hidden.
		plain->PostMessage(B_QUIT_REQUESTED);
		stopper = std::thread([&application, &requestsBeforeLast, hidden = BMessenger(hidden),
								  last = BMessenger(last)]() {
			snooze(100000);
			hidden.SendMessage(B_QUIT_REQUESTED);
			snooze(100000);
			requestsBeforeLast = application.fQuitRequests.load();
			last.SendMessage(B_QUIT_REQUESTED);
			// A safety net: the test ends even when nothing asks the application to quit.
			snooze(3000000);
			if (application.fQuitRequests.load() == 0)
				application.Quit();
		});
	};
	application.Run();
	stopper.join();
	EXPECT_EQ(0, requestsBeforeLast.load());
	EXPECT_EQ(1, application.fQuitRequests.load());
	EXPECT_EQ(0, application.CountWindows());
}

// A thread that locked a window by hand and was killed before unlocking it leaves the lock
// held by a thread that no longer exists; quitting takes the lock over instead of waiting
// for ever.
TEST_F(ApplicationTest, AWindowLeftLockedByAKilledThreadDoesNotHangTheQuit)
{
	TestApplication application;
	thread_id holder = -1;
	application.fOnReady = [&]() {
		ClosingWindow* window = new ClosingWindow(true);
		window->Show();
		holder = spawn_thread(
			[](void* data) -> int32 {
				BWindow* window = static_cast<BWindow*>(data);
				window->Lock();
				return snooze(60000000);
			},
			"locks by hand", B_NORMAL_PRIORITY, window);
		resume_thread(holder);
		std::thread([holder, window]() {
			while (window->LockingThread() != holder)
				snooze(1000);
			kill_thread(holder);
			wait_for_thread(holder, NULL);
			be_app_messenger.SendMessage(B_QUIT_REQUESTED);
		}).detach();
	};
	const bigtime_t start = system_time();
	application.Run();
	EXPECT_LT(system_time() - start, 5000000);
	EXPECT_EQ(1, application.fQuitRequests.load());
	EXPECT_EQ(0, application.CountWindows());
}

TEST_F(ApplicationTest, AWindowThatRefusesKeepsTheApplication)
{
	TestApplication application;
	ClosingWindow* stubborn = NULL;
	application.fOnReady = [&]() {
		stubborn = new ClosingWindow(false);
		stubborn->Show();
		application.PostMessage(B_QUIT_REQUESTED);
		std::thread([]() {
			snooze(100000);
			be_app->Quit();
		}).detach();
	};
	application.Run();
	EXPECT_EQ(1, application.fQuitRequests.load());
	EXPECT_EQ(1, application.CountWindows());
}

TEST_F(ApplicationTest, OnlyOneApplicationAtATime)
{
	TestApplication application;
	status_t error = B_OK;
	BApplication second("application/x-vnd.test-second", &error);
	EXPECT_EQ(B_ERROR, error);
	EXPECT_EQ(B_ERROR, second.InitCheck());
	EXPECT_EQ(be_app, &application);
}

TEST_F(ApplicationTest, NumbersAreWrittenAndReadTheCWayWhateverTheUsersLocale)
{
	// Qt's application object takes LC_NUMERIC from the user's locale: with a German one,
	// "%.1f" of 1.5 is "1,5", and a size text could not be read back.
	CommaDecimalLocale locale;
	if (!locale.Active())
		GTEST_SKIP() << locale.Why();
	ASSERT_EQ("1,5", CommaDecimalLocale::Format(1.5));

	TestApplication application;
	EXPECT_EQ("1.5", CommaDecimalLocale::Format(1.5));
	EXPECT_EQ(1.5, strtod("1.5", nullptr));
	EXPECT_STREQ(".", localeconv()->decimal_point);
}

// LibTipManager: a requested tip comes up after its start delay and goes by itself after its
// end delay; a hide request during the start delay keeps it away; tips switched off change
// nothing until switched on again. The application's pulses drive it, as in the programs.
#include "LibTipManager.h"

#include "LibTipString.h"
#include "LibTipWin.h"

#include <Application.h>
#include <Message.h>
#include <OS.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

namespace {

// One run of an application whose tip manager gets the requests a test posts; a thread
// watches the tip window and records when it comes and goes.
class TipApplication : public BApplication {
public:
	TipApplication() :
		BApplication("application/x-vnd.test-lib-tip-manager")
	{
	}

	void ReadyToRun() override
	{
		fStart = system_time();
		fWatcher = spawn_thread(_Watch, "tip watcher", B_NORMAL_PRIORITY, this);
		resume_thread(fWatcher);
		if (fOnReady)
			fOnReady(*this);
	}

	void Pulse() override { fManager.PostPending(); }

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kLibTipRequest:
			case kLibTipToggle:
				fManager.MessageReceived(message);
				break;
			case 'late':
				// A request the test wants sent some time after the start.
				if (fOnLate)
					fOnLate(*this);
				break;
			default:
				BApplication::MessageReceived(message);
		}
	}

	// Runs for the given time and returns the moments (microseconds after the start) at
	// which the tip came up (true) or went away (false).
	std::vector<std::pair<bigtime_t, bool>> RunFor(bigtime_t duration)
	{
		fDuration = duration;
		Run();
		status_t result;
		wait_for_thread(fWatcher, &result);
		return fChanges;
	}

	static int32 _Watch(void* data)
	{
		TipApplication* application = static_cast<TipApplication*>(data);
		bool shown = false;
		while (system_time() - application->fStart < application->fDuration) {
			snooze(10000);
			LibTipWin* window = NULL;
			if (application->Lock()) {
				window = application->fManager.Window();
				application->Unlock();
			}
			bool now = false;
			if (window != NULL && window->Lock()) {
				now = !window->IsHidden();
				window->Unlock();
			}
			if (now != shown) {
				shown = now;
				application->fChanges.push_back({ system_time() - application->fStart, now });
			}
		}
		application->PostMessage(B_QUIT_REQUESTED);
		return 0;
	}

	LibTipManager fManager;
	std::function<void(TipApplication&)> fOnReady;
	std::function<void(TipApplication&)> fOnLate;
	bigtime_t fStart = 0;
	bigtime_t fDuration = 0;
	thread_id fWatcher = -1;
	std::vector<std::pair<bigtime_t, bool>> fChanges;
};

BMessage
tip_request(int16 startDelay = -1, int16 endDelay = -1)
{
	BMessage request(kLibTipRequest);
	request.AddBool("show", true);
	request.AddString("tip", "Installs everything");
	request.AddPoint("loc", BPoint(120, 80));
	if (startDelay >= 0)
		request.AddInt16("sdelay", startDelay);
	if (endDelay >= 0)
		request.AddInt16("edelay", endDelay);
	return request;
}

const bigtime_t kSecond = 1000000;

} // namespace

TEST(LibTipManagerTest, ATipComesAfterASecondAndGoesFourSecondsLater)
{
	TipApplication application;
	application.fOnReady = [](TipApplication& app) {
		BMessage request = tip_request();
		app.PostMessage(&request);
	};
	auto changes = application.RunFor(6 * kSecond);
	ASSERT_EQ(2u, changes.size());
	EXPECT_TRUE(changes[0].second);
	EXPECT_GT(changes[0].first, kSecond * 8 / 10);
	EXPECT_LT(changes[0].first, kSecond * 25 / 10);
	EXPECT_FALSE(changes[1].second);
	EXPECT_GT(changes[1].first - changes[0].first, kSecond * 35 / 10);
	EXPECT_LT(changes[1].first - changes[0].first, kSecond * 55 / 10);
}

TEST(LibTipManagerTest, NoStartDelayShowsAtOnceAtThePlaceAsked)
{
	TipApplication application;
	BRect frame;
	application.fOnReady = [&](TipApplication& app) {
		BMessage request = tip_request(0, 1);
		app.PostMessage(&request);
		app.PostMessage('late');
	};
	application.fOnLate = [&](TipApplication& app) {
		LibTipWin* window = app.fManager.Window();
		ASSERT_NE(nullptr, window);
		window->Lock();
		frame = window->Frame();
		window->Unlock();
		EXPECT_FALSE(app.fManager.IsPending());
	};
	auto changes = application.RunFor(kSecond * 25 / 10);
	ASSERT_EQ(2u, changes.size());
	EXPECT_LT(changes[0].first, kSecond / 2);
	EXPECT_GT(changes[1].first - changes[0].first, kSecond * 8 / 10);
	EXPECT_EQ(BPoint(120, 80), frame.LeftTop());
}

TEST(LibTipManagerTest, AHideRequestDuringTheStartDelayKeepsTheTipAway)
{
	TipApplication application;
	application.fOnReady = [](TipApplication& app) {
		BMessage request = tip_request(1, 1);
		app.PostMessage(&request);
		app.PostMessage('late');
	};
	application.fOnLate = [](TipApplication& app) {
		EXPECT_TRUE(app.fManager.IsPending());
		BMessage hide(kLibTipRequest);
		hide.AddBool("show", false);
		app.fManager.MessageReceived(&hide);
		EXPECT_FALSE(app.fManager.IsPending());
	};
	auto changes = application.RunFor(kSecond * 2);
	EXPECT_TRUE(changes.empty());
}

TEST(LibTipManagerTest, TipsSwitchedOffChangeNothingUntilSwitchedOnAgain)
{
	TipApplication application;
	int32 step = 0;
	application.fOnReady = [](TipApplication& app) {
		app.PostMessage(kLibTipToggle);
		BMessage request = tip_request(0, 1);
		app.PostMessage(&request);
		app.PostMessage('late');
	};
	application.fOnLate = [&](TipApplication& app) {
		if (step++ > 0)
			return;
		EXPECT_FALSE(app.fManager.ShowTips());
		EXPECT_EQ(nullptr, app.fManager.Window());
		app.PostMessage(kLibTipToggle);
		BMessage request = tip_request(0, 1);
		app.PostMessage(&request);
		app.PostMessage('late');
	};
	auto changes = application.RunFor(kSecond);
	EXPECT_TRUE(application.fManager.ShowTips());
	ASSERT_FALSE(changes.empty());
	EXPECT_TRUE(changes[0].second);
}

// LibTipManager: a tip comes up after its start delay and goes by itself after its end
// delay, with the application's pulses driving it as in the programs; hide requests and the
// switch act in every state.
#include "LibTipManager.h"

#include "LibTipWin.h"

#include <OS.h>

#include "WidgetTestHelpers.h"

#include <vector>

using namespace gui_test;

namespace {

const bigtime_t kSecond = 1000000;

BMessage
tip_request(int16 startDelay = -1)
{
	BMessage request(kLibTipRequest);
	request.AddBool("show", true);
	request.AddString("tip", "Installs everything");
	request.AddPoint("loc", BPoint(120, 80));
	if (startDelay >= 0)
		request.AddInt16("sdelay", startDelay);
	return request;
}

// An application whose pulses post the pending tip; a thread records when the tip window
// comes up and goes, and ends the run.
class TipApplication : public BApplication {
public:
	TipApplication() :
		BApplication("application/x-vnd.test-lib-tip-manager")
	{
	}

	void ReadyToRun() override
	{
		BMessage request = tip_request();
		fManager.MessageReceived(&request);
		fWatcher = spawn_thread(_Watch, "tip watcher", B_NORMAL_PRIORITY, this);
		resume_thread(fWatcher);
	}

	void Pulse() override { fManager.PostPending(); }

	static int32 _Watch(void* data)
	{
		TipApplication* application = static_cast<TipApplication*>(data);
		LibTipWin* window = application->fManager.Window();
		const bigtime_t start = system_time();
		bool shown = false;
		while (system_time() - start < 6 * kSecond && application->fChanges.size() < 2) {
			snooze(10000);
			window->Lock();
			const bool now = !window->IsHidden();
			window->Unlock();
			if (now != shown)
				application->fChanges.push_back(system_time() - start);
			shown = now;
		}
		application->PostMessage(B_QUIT_REQUESTED);
		return 0;
	}

	LibTipManager fManager;
	thread_id fWatcher = -1;
	std::vector<bigtime_t> fChanges;
};

} // namespace

TEST(LibTipManagerTest, ATipComesAfterASecondAndGoesFourSecondsLater)
{
	TipApplication application;
	application.Run();
	status_t result;
	wait_for_thread(application.fWatcher, &result);
	ASSERT_EQ(2u, application.fChanges.size());
	EXPECT_GT(application.fChanges[0], kSecond * 8 / 10);
	EXPECT_LT(application.fChanges[0], kSecond * 25 / 10);
	EXPECT_GT(application.fChanges[1] - application.fChanges[0], kSecond * 35 / 10);
	EXPECT_LT(application.fChanges[1] - application.fChanges[0], kSecond * 55 / 10);
}

class LibTipManagerStateTest : public widget_test::WindowTest { };

TEST_F(LibTipManagerStateTest, HideRequestsAndTheSwitchActInEveryState)
{
	Open({});
	LibTipManager tips;
	auto shown = [&] {
		LibTipWin* window = tips.Window();
		return window != NULL && !window->IsHidden();
	};
	// Switched off, a request changes nothing; switched on again, a tip without start delay
	// comes at once where it was asked for.
	BMessage toggle(kLibTipToggle);
	tips.MessageReceived(&toggle);
	BMessage request = tip_request(0);
	tips.MessageReceived(&request);
	EXPECT_EQ(nullptr, tips.Window());
	tips.MessageReceived(&toggle);
	tips.MessageReceived(&request);
	ASSERT_TRUE(shown());
	EXPECT_FALSE(tips.IsPending());
	EXPECT_EQ(BPoint(120, 80), tips.Window()->Frame().LeftTop());
	EXPECT_EQ(4 * kSecond, tips.Window()->PulseRate());

	// A hide request ends a shown tip, and one during the start delay keeps it away.
	BMessage hide(kLibTipRequest);
	hide.AddBool("show", false);
	tips.MessageReceived(&hide);
	EXPECT_FALSE(shown());
	request = tip_request(1);
	tips.MessageReceived(&request);
	EXPECT_TRUE(tips.IsPending());
	tips.MessageReceived(&hide);
	tips.PostPending();
	EXPECT_FALSE(shown());
	tips.MessageReceived(&request);
	tips.PostPending();
	EXPECT_TRUE(shown());
}

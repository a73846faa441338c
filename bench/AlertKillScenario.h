// A worker that shows alerts the way the install run does (built on the worker, shown and
// answered on the GUI thread) is stopped at a random moment: while its alert is being
// built, shown, answered, or between two alerts. The GUI thread plays the user, answering
// each alert as soon as it shows. A trial tells how long the kill took, whether the worker's
// alerts went away, and whether the GUI thread still works. Used by bench/KillBench and the
// alert tests; the calling thread must be the GUI thread, with a BApplication made.
#ifndef BENCH_ALERT_KILL_SCENARIO_H
#define BENCH_ALERT_KILL_SCENARIO_H

#include <Alert.h>
#include <Application.h>
#include <Window.h>

#include "qt/AlertTestHook.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace kill_stress {

// Runs the GUI thread's event loop until the condition holds or timeout microseconds pass.
template <typename Condition>
bool
pump_until(Condition condition, bigtime_t timeout)
{
	const bigtime_t deadline = system_time() + timeout;
	while (!condition()) {
		if (system_time() > deadline)
			return false;
		QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
		QThread::usleep(200);
	}
	return true;
}

// The worker: one alert after the other, as long as it lives.
inline int32
show_alerts(void* data)
{
	std::atomic<int32>* answers = static_cast<std::atomic<int32>*>(data);
	while (true) {
		BAlert* alert = new BAlert("", "Replace the existing file?", "Skip", "Replace", NULL,
			B_WIDTH_AS_USUAL, B_WARNING_ALERT);
		alert->SetShortcut(0, 'S');
		*answers += alert->Go() >= 0 ? 1 : 0;
	}
	return B_OK;
}

// A window that counts what it is sent, to tell that the GUI thread still dispatches.
class PingWindow : public BWindow {
public:
	PingWindow() :
		BWindow(BRect(20, 20, 119, 119), "Ping", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'ping') {
			fPings++;
			return;
		}
		BWindow::MessageReceived(message);
	}

	std::atomic<int32> fPings { 0 };
};

struct AlertOutcome {
	bigtime_t stopTime = 0;
	bool alertsGone = false;
	bool responsive = false;
	int32 answers = 0;
};

// window is a shown PingWindow; its windows are all the application has besides alerts.
inline AlertOutcome
run_alert_trial(PingWindow* window, bigtime_t killAfter)
{
	AlertOutcome outcome;
	const int32 windows = be_app->CountWindows();
	BPrivate::set_alert_answerer(BPrivate::answer_with_index(1));
	std::atomic<int32> answers { 0 };
	const thread_id worker = spawn_thread(show_alerts, "install", B_NORMAL_PRIORITY, &answers);
	resume_thread(worker);
	const bigtime_t until = system_time() + killAfter;
	pump_until([&] { return system_time() >= until; }, killAfter + 1000000);

	// The Stop button: on the GUI thread, as the installer window's handler kills its job.
	const bigtime_t start = system_time();
	kill_thread(worker);
	wait_for_thread(worker, NULL);
	outcome.stopTime = system_time() - start;
	outcome.answers = answers.load();
	BPrivate::set_alert_answerer(nullptr);

	outcome.alertsGone = pump_until([&] { return be_app->CountWindows() == windows; }, 5000000);
	const int32 pings = window->fPings.load();
	window->PostMessage('ping');
	outcome.responsive = pump_until([&] { return window->fPings.load() > pings; }, 5000000);
	return outcome;
}

} // namespace kill_stress

#endif // BENCH_ALERT_KILL_SCENARIO_H

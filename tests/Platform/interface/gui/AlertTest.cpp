// BAlert: answered on the GUI thread and from worker threads (with the windows working
// meanwhile), asynchronously through an invoker, by shortcut keys; its layout, icons and
// text view.
#include <Alert.h>
#include <Application.h>
#include <Button.h>
#include <Invoker.h>
#include <Message.h>
#include <Messenger.h>
#include <TextView.h>
#include <Window.h>

#include <OS.h>

#include "GuiTestSupport.h"
#include "qt/AlertTestHook.h"

#include <QDir>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

using namespace gui_test;

namespace {

class CountingWindow : public BWindow {
public:
	CountingWindow() :
		BWindow(BRect(50, 50, 249, 149), "Counting", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case 'tick':
				fTicks++;
				break;
			case 'answ':
				message->FindInt32("which", &fWhich);
				fAnswers++;
				break;
			default:
				BWindow::MessageReceived(message);
		}
	}

	std::atomic<int32> fTicks { 0 };
	std::atomic<int32> fAnswers { 0 };
	int32 fWhich = -1;
};

class AlertTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-alert");
		fWindow = new CountingWindow;
		fWindow->Show();
	}

	void TearDown() override
	{
		BPrivate::set_alert_answerer(nullptr);
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	// The alert on screen, or NULL.
	BAlert* ShownAlert()
	{
		for (int32 i = 0; i < fApplication->CountWindows(); i++) {
			BAlert* alert = dynamic_cast<BAlert*>(fApplication->WindowAt(i));
			if (alert != NULL && !alert->IsHidden() && widget_of(alert) != nullptr)
				return alert;
		}
		return NULL;
	}

	std::unique_ptr<BApplication> fApplication;
	CountingWindow* fWindow;
};

struct WorkerAlert {
	std::atomic<int32> answer { -100 };
};

int32
run_worker_alert(void* data)
{
	WorkerAlert* state = static_cast<WorkerAlert*>(data);
	BAlert* alert = new BAlert("", "Replace the existing file?", "Skip", "Replace", NULL,
		B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->SetShortcut(0, 'S');
	state->answer = alert->Go();
	return 0;
}

} // namespace

TEST_F(AlertTest, AWorkersAlertIsAnsweredWhileTheWindowsGoOn)
{
	WorkerAlert state;
	thread_id worker = spawn_thread(run_worker_alert, "install", B_NORMAL_PRIORITY, &state);
	ASSERT_GE(worker, 0);
	resume_thread(worker);
	ASSERT_TRUE(wait_until([&] { return ShownAlert() != NULL; }));

	// The worker waits; the window handles its messages meanwhile.
	for (int32 i = 0; i < 10; i++)
		fWindow->PostMessage('tick');
	ASSERT_TRUE(wait_until([&] { return fWindow->fTicks.load() == 10; }));
	EXPECT_EQ(-100, state.answer.load());

	// The shortcut is a plain key, in either case.
	send_key(ShownAlert(), Qt::Key_S, Qt::NoModifier, "s");
	ASSERT_TRUE(wait_until([&] { return state.answer.load() == 0; }));
	status_t result;
	EXPECT_EQ(B_OK, wait_for_thread(worker, &result));
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
}

TEST_F(AlertTest, KillingTheWaitingWorkerClosesItsAlert)
{
	WorkerAlert state;
	thread_id worker = spawn_thread(run_worker_alert, "install", B_NORMAL_PRIORITY, &state);
	resume_thread(worker);
	ASSERT_TRUE(wait_until([&] {
		thread_info info;
		return ShownAlert() != NULL && get_thread_info(worker, &info) == B_OK
			&& info.state == B_THREAD_WAITING;
	}));
	EXPECT_EQ(B_OK, kill_thread(worker));
	status_t result;
	wait_for_thread(worker, &result);
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
	EXPECT_EQ(-100, state.answer.load());
}

TEST_F(AlertTest, GoOnTheGuiThreadReturnsTheButtonPressed)
{
	BPrivate::set_alert_answerer(BPrivate::answer_with_label("Cancel"));
	BAlert* alert = new BAlert("Question", "Stop the installation?", "Stop", "Cancel");
	EXPECT_EQ(1, alert->Go());

	BPrivate::set_alert_answerer(BPrivate::answer_with_index(2));
	alert = new BAlert("", "Three buttons", "One", "Two", "Three");
	EXPECT_EQ(2, alert->Go());
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
}

TEST_F(AlertTest, GoOnTheGuiThreadKeepsTheOtherWindowsWorking)
{
	BAlert* alert = new BAlert("", "Working?", "OK", "Cancel");
	alert->SetShortcut(1, B_ESCAPE);
	BMessenger window(fWindow);
	BMessenger alertMessenger(alert);
	std::thread helper([&]() {
		for (int32 i = 0; i < 5; i++)
			window.SendMessage('tick');
		while (fWindow->fTicks.load() < 5)
			snooze(1000);
		// The window worked while the alert ran; now answer it with Escape.
		BMessage key(B_KEY_DOWN);
		key.AddString("bytes", "\x1b");
		key.AddInt32("modifiers", 0);
		alertMessenger.SendMessage(&key);
	});
	int32 answer = alert->Go();
	helper.join();
	EXPECT_EQ(1, answer);
	EXPECT_EQ(5, fWindow->fTicks.load());
}

TEST_F(AlertTest, GoWithAnInvokerReturnsAtOnceAndSendsTheAnswer)
{
	BPrivate::set_alert_answerer(BPrivate::answer_with_index(1));
	BInvoker invoker(new BMessage('answ'), fWindow);
	BAlert* alert = new BAlert("", "Later", "Yes", "No");
	EXPECT_EQ(B_OK, alert->Go(&invoker));
	ASSERT_TRUE(wait_until([&] { return fWindow->fAnswers.load() == 1; }));
	EXPECT_EQ(1, fWindow->fWhich);
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
}

TEST_F(AlertTest, ButtonWidthsFollowTheMode)
{
	struct Row {
		button_width mode;
	};

	auto widths = [](button_width mode) {
		BAlert* alert =
			new BAlert("", "Widths", "No", "Continue with the installation", NULL, mode);
		std::vector<float> result;
		for (int32 i = 0; i < alert->CountButtons(); i++)
			result.push_back(alert->ButtonAt(i)->Frame().Width());
		alert->Lock();
		alert->Quit();
		return result;
	};
	std::vector<float> usual = widths(B_WIDTH_AS_USUAL);
	std::vector<float> widest = widths(B_WIDTH_FROM_WIDEST);
	std::vector<float> label = widths(B_WIDTH_FROM_LABEL);
	EXPECT_EQ(74.0f, usual[0]);
	EXPECT_GT(usual[1], 74.0f);
	EXPECT_EQ(widest[0], widest[1]);
	EXPECT_EQ(usual[1], widest[1]);
	EXPECT_LT(label[0], usual[0]);
}

TEST_F(AlertTest, TheLastButtonIsTheDefaultAtTheRightEdge)
{
	BAlert* alert = new BAlert(
		"", "Layout", "Left", "Middle", "Right", B_WIDTH_AS_USUAL, B_OFFSET_SPACING, B_STOP_ALERT);
	EXPECT_EQ(3, alert->CountButtons());
	EXPECT_EQ(alert->ButtonAt(2), alert->DefaultButton());
	EXPECT_EQ(alert->Bounds().right - 10, alert->ButtonAt(2)->Frame().right);
	EXPECT_LT(alert->ButtonAt(1)->Frame().right, alert->ButtonAt(2)->Frame().left);
	// Offset spacing puts the first button at the text's left edge.
	EXPECT_EQ(alert->TextView()->Frame().left, alert->ButtonAt(0)->Frame().left);
	EXPECT_STREQ("Layout", alert->TextView()->Text());
	EXPECT_EQ(B_STOP_ALERT, alert->Type());
	EXPECT_EQ(NULL, alert->ButtonAt(3));
	EXPECT_FALSE(alert->HasShortcut('W', B_COMMAND_KEY));
	alert->Lock();
	alert->Quit();
}

TEST_F(AlertTest, LongTextsWrapAndTheAlertGrows)
{
	BAlert* shortAlert = new BAlert("", "Short.", "OK");
	std::string text;
	for (int32 i = 0; i < 40; i++)
		text += "word ";
	BAlert* longAlert = new BAlert("", text.c_str(), "OK");
	EXPECT_GT(longAlert->TextView()->CountLines(), 2);
	EXPECT_GT(longAlert->Bounds().Height(), shortAlert->Bounds().Height());
	EXPECT_LE(longAlert->TextView()->Frame().right, longAlert->Bounds().right);
	shortAlert->Lock();
	shortAlert->Quit();
	longAlert->Lock();
	longAlert->Quit();
}

TEST_F(AlertTest, EachTypeShowsItsIconOnADarkerStripe)
{
	// The stripe's colour and the number of colours in the icon's square.
	auto look = [&](alert_type type) {
		BAlert* alert = new BAlert("", "Icon", "OK", NULL, NULL, B_WIDTH_AS_USUAL, type);
		// Without an invoker the alert runs by itself.
		alert->Go(NULL);
		wait_until([&] { return widget_of(alert) != nullptr && widget_of(alert)->isVisible(); });
		QImage image = grab(alert);
		std::set<QRgb> colours;
		for (int y = 6; y < 38; y++) {
			for (int x = 18; x < 50; x++)
				colours.insert(image.pixel(x, y));
		}
		alert->Lock();
		alert->ButtonAt(0)->Invoke();
		alert->Unlock();
		return std::make_pair(image.pixel(4, 60), colours.size());
	};
	EXPECT_EQ(qRgb(216, 216, 216), look(B_EMPTY_ALERT).first);
	for (alert_type type : { B_INFO_ALERT, B_IDEA_ALERT, B_WARNING_ALERT, B_STOP_ALERT }) {
		auto [stripe, colours] = look(type);
		EXPECT_EQ(qRgb(184, 184, 184), stripe) << "type " << type;
		EXPECT_GT(colours, 3u) << "type " << type;
	}
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
}

// The text view gets its frame after the window has its final size: every line of the
// text shows, whatever the number of lines, and the buttons stay below it.
TEST_F(AlertTest, TheTextViewHoldsEveryLineOfTheText)
{
	const struct {
		const char* name;
		const char* text;
		int32 lines;
	} rows[] = {
		{ "one-line", "The installation was stopped.", 1 },
		{ "two-line", "The folder could not be made.\nChoose another place.", 2 },
		{ "five-line", "First\nSecond\nThird\nFourth\nFifth", 5 },
	};

	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	for (const auto& row : rows) {
		BAlert* alert = new BAlert("", row.text, "OK", NULL, NULL, B_WIDTH_AS_USUAL, B_STOP_ALERT);
		BTextView* text = alert->TextView();
		ASSERT_EQ(row.lines, text->CountLines()) << row.name;
		const float textHeight = text->TextHeight(0, text->CountLines() - 1);
		EXPECT_GE(text->Bounds().Height() + 1, textHeight) << row.name;
		EXPECT_GE(text->TextRect().Height() + 1, textHeight) << row.name;
		EXPECT_LT(text->Frame().bottom, alert->ButtonAt(0)->Frame().top) << row.name;
		EXPECT_LE(text->Frame().bottom, alert->Bounds().bottom) << row.name;

		alert->Go(NULL);
		ASSERT_TRUE(wait_until([&] {
			return widget_of(alert) != nullptr && widget_of(alert)->isVisible();
		})) << row.name;
		QImage image = grab(alert);
		image.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/alert-" + row.name + ".png");
		// Something dark (the text) is drawn in the lowest line's band.
		const BRect frame = text->Frame();
		const int lastLineTop = (int)(frame.top + textHeight * (row.lines - 1) / row.lines);
		bool inked = false;
		for (int y = lastLineTop; y <= (int)frame.bottom && !inked; y++) {
			for (int x = (int)frame.left; x <= (int)frame.right && !inked; x++)
				inked = qGray(image.pixel(x, y)) < 100;
		}
		EXPECT_TRUE(inked) << row.name << ": the last line is drawn";
		alert->Lock();
		alert->ButtonAt(0)->Invoke();
		alert->Unlock();
	}
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));
}

namespace {

struct ConstructingWorker {
	std::atomic<bool> constructed { false };
	std::atomic<int32> answer { -100 };
	BAlert* alert = NULL;
};

int32
construct_on_worker(void* data)
{
	ConstructingWorker* state = static_cast<ConstructingWorker*>(data);
	BAlert* alert = new BAlert("", "Made on a worker", "Later", "Run");
	state->alert = alert;
	state->constructed = true;
	alert->SetShortcut(1, 'r');
	state->answer = alert->Go();
	return 0;
}

} // namespace

// A worker's alert is built on the GUI thread (the worker's constructor returns only once
// the GUI thread has had its turn), and a worker killed while it waits for that leaves
// nothing behind.
TEST_F(AlertTest, AWorkersAlertIsBuiltOnTheGuiThreadWhileTheWorkerWaits)
{
	ConstructingWorker state;
	thread_id worker = spawn_thread(construct_on_worker, "install", B_NORMAL_PRIORITY, &state);
	resume_thread(worker);
	// The GUI thread does not run its event loop for a while: the worker waits for it.
	snooze(100000);
	EXPECT_FALSE(state.constructed);
	thread_info info;
	ASSERT_EQ(B_OK, get_thread_info(worker, &info));
	EXPECT_EQ(B_THREAD_WAITING, info.state);

	ASSERT_TRUE(wait_until([&] { return state.constructed.load() && ShownAlert() != NULL; }));
	EXPECT_EQ(2, state.alert->CountButtons());
	EXPECT_EQ(1, state.alert->TextView()->CountLines());
	send_key(ShownAlert(), Qt::Key_R, Qt::NoModifier, "r");
	ASSERT_TRUE(wait_until([&] { return state.answer.load() == 1; }));
	EXPECT_EQ(B_OK, wait_for_thread(worker, NULL));
	ASSERT_TRUE(wait_until([&] { return fApplication->CountWindows() == 1; }));

	ConstructingWorker killed;
	worker = spawn_thread(construct_on_worker, "install", B_NORMAL_PRIORITY, &killed);
	resume_thread(worker);
	snooze(50000);
	EXPECT_EQ(B_OK, kill_thread(worker));
	EXPECT_EQ(B_OK, wait_for_thread(worker, NULL));
	EXPECT_FALSE(killed.constructed);
	run_for(50);
	EXPECT_EQ(1, fApplication->CountWindows());
}

// BWindow on the GUI thread: geometry in BeOS coordinates, showing and hiding, the view
// tree, message order and locking with worker threads, keys, shortcuts, the default
// button, pulses and closing.
#include <Application.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <Message.h>
#include <Messenger.h>
#include <StringView.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QScreen>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace gui_test;

namespace {

class WindowTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-window");
	}

	void TearDown() override { fApplication.reset(); }

	std::unique_ptr<BApplication> fApplication;
};

// A window that records what it dispatches.
class RecordingWindow : public BWindow {
public:
	RecordingWindow(BRect frame = BRect(50, 50, 249, 149), uint32 flags = 0) :
		BWindow(frame, "Recording", B_TITLED_WINDOW, flags)
	{
	}

	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		if (message->what == B_KEY_DOWN) {
			std::lock_guard<std::mutex> lock(fLock);
			fKeys.push_back(*message);
		}
		BWindow::DispatchMessage(message, handler);
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (message->what == 'wrkr') {
			int32 worker = -1;
			int32 index = -1;
			message->FindInt32("worker", &worker);
			message->FindInt32("index", &index);
			fSequences[worker].push_back(index);
			if (!IsLocked() || find_thread(NULL) != Thread())
				fUnlockedDispatches++;
			return;
		}
		fReceived.push_back(message->what);
	}

	bool QuitRequested() override
	{
		fQuitRequests++;
		return fAllowQuit;
	}

	size_t CountKeys()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fKeys.size();
	}

	bool HasReceived(uint32 what)
	{
		std::lock_guard<std::mutex> lock(fLock);
		return std::find(fReceived.begin(), fReceived.end(), what) != fReceived.end();
	}

	std::mutex fLock;
	std::vector<BMessage> fKeys;
	std::vector<uint32> fReceived;
	std::map<int32, std::vector<int32>> fSequences;
	int32 fUnlockedDispatches = 0;
	std::atomic<int32> fQuitRequests { 0 };
	bool fAllowQuit = false;
};

void
quit(BWindow* window)
{
	if (window->Lock())
		window->Quit();
}

} // namespace

TEST_F(WindowTest, FrameAndBoundsAreInBeOSCoordinates)
{
	BWindow* window =
		new BWindow(BRect(100, 80, 399, 279), "Geometry", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	EXPECT_EQ(BRect(0, 0, 299, 199), window->Bounds());
	EXPECT_EQ(BRect(100, 80, 399, 279), window->Frame());
	EXPECT_STREQ("Geometry", window->Title());
	EXPECT_STREQ("Geometry", window->Name());

	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	EXPECT_EQ(QRect(100, 80, 300, 200), widget_of(window)->geometry());

	window->Lock();
	window->MoveTo(150, 90);
	window->ResizeTo(199, 99);
	EXPECT_EQ(BRect(150, 90, 349, 189), window->Frame());
	EXPECT_EQ(BRect(0, 0, 199, 99), window->Bounds());
	EXPECT_EQ(QRect(150, 90, 200, 100), widget_of(window)->geometry());
	EXPECT_EQ(BPoint(160, 100), window->ConvertToScreen(BPoint(10, 10)));
	EXPECT_EQ(BPoint(10, 10), window->ConvertFromScreen(BPoint(160, 100)));
	EXPECT_EQ(BRect(160, 100, 169, 109), window->ConvertToScreen(BRect(10, 10, 19, 19)));
	window->SetTitle("Renamed");
	EXPECT_STREQ("Renamed", window->Name());
	EXPECT_EQ(QString("Renamed"), widget_of(window)->windowTitle());
	window->Quit();
}

TEST_F(WindowTest, ShowAndHideNestAsOnBeOS)
{
	BWindow* window = new BWindow(BRect(10, 10, 109, 109), "Nesting", B_TITLED_WINDOW, 0);
	EXPECT_TRUE(window->IsHidden());
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	EXPECT_TRUE(widget_of(window)->isVisible());

	window->Hide();
	window->Hide();
	window->Show();
	EXPECT_TRUE(window->IsHidden());
	EXPECT_FALSE(widget_of(window)->isVisible());
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_TRUE(widget_of(window)->isVisible());

	// Two Show() calls need two Hide() calls.
	window->Show();
	window->Hide();
	EXPECT_FALSE(window->IsHidden());
	quit(window);
}

TEST_F(WindowTest, FindViewSearchesTheWholeTree)
{
	BWindow* window = new BWindow(BRect(10, 10, 209, 209), "Tree", B_TITLED_WINDOW, 0);
	BView* outer = new BView(BRect(0, 0, 99, 99), "outer", B_FOLLOW_ALL, 0);
	BView* middle = new BView(BRect(10, 10, 59, 59), "middle", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 5, 20, 20), "inner", B_FOLLOW_NONE, 0);
	middle->AddChild(inner);
	outer->AddChild(middle);
	window->AddChild(outer);

	EXPECT_EQ(inner, window->FindView("inner"));
	EXPECT_EQ(middle, window->FindView("middle"));
	EXPECT_EQ(NULL, window->FindView("missing"));
	EXPECT_EQ(1, window->CountChildren());
	EXPECT_EQ(outer, window->ChildAt(0));
	EXPECT_EQ(NULL, window->ChildAt(1));
	EXPECT_EQ(NULL, outer->Parent());
	EXPECT_EQ(outer, middle->Parent());
	EXPECT_EQ(window, inner->Window());
	EXPECT_EQ(inner, window->FindView(BPoint(16, 16)));
	EXPECT_EQ(outer, window->FindView(BPoint(90, 90)));
	EXPECT_EQ(NULL, window->FindView(BPoint(150, 150)));
	quit(window);
}

TEST_F(WindowTest, WorkerMessagesArriveInOrderUnderTheLockOnTheGuiThread)
{
	RecordingWindow* window = new RecordingWindow;
	window->Show();
	BMessenger messenger(window);

	const int32 kWorkers = 4;
	const int32 kMessages = 300;
	std::vector<std::thread> workers;
	for (int32 worker = 0; worker < kWorkers; worker++) {
		workers.emplace_back([messenger, worker]() {
			for (int32 index = 0; index < kMessages; index++) {
				BMessage message('wrkr');
				message.AddInt32("worker", worker);
				message.AddInt32("index", index);
				messenger.SendMessage(&message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
			}
		});
	}
	// The GUI thread keeps the event loop going while the workers send.
	bool done = wait_until(
		[&] {
			std::lock_guard<std::mutex> lock(window->fLock);
			size_t total = 0;
			for (const auto& entry : window->fSequences)
				total += entry.second.size();
			return total == (size_t)(kWorkers * kMessages);
		},
		20000);
	for (std::thread& worker : workers)
		worker.join();
	ASSERT_TRUE(done);

	for (const auto& [worker, sequence] : window->fSequences) {
		for (int32 index = 0; index < kMessages; index++)
			ASSERT_EQ(index, sequence[index]) << "worker " << worker;
	}
	EXPECT_EQ(0, window->fUnlockedDispatches);
	quit(window);
}

TEST_F(WindowTest, ShiftF1ReachesDispatchMessageWithModifiersAndKey)
{
	RecordingWindow* window = new RecordingWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	send_key(window, Qt::Key_F1, Qt::ShiftModifier);
	// modifiers() tells the state of the latest input, from any thread.
	EXPECT_NE(0u, modifiers() & B_SHIFT_KEY);
	send_key(window, Qt::Key_A, Qt::NoModifier, "a");
	EXPECT_EQ(0u, modifiers() & B_SHIFT_KEY);
	ASSERT_TRUE(wait_until([&] { return window->CountKeys() == 2; }));

	const BMessage& help = window->fKeys[0];
	int32 modifiers = 0;
	int32 key = 0;
	const char* bytes = NULL;
	EXPECT_EQ(B_OK, help.FindInt32("modifiers", &modifiers));
	EXPECT_NE(0, modifiers & B_SHIFT_KEY);
	EXPECT_EQ(B_OK, help.FindInt32("key", &key));
	EXPECT_EQ(B_F1_KEY, key);
	EXPECT_EQ(B_OK, help.FindString("bytes", &bytes));
	EXPECT_EQ(B_FUNCTION_KEY, bytes[0]);

	const BMessage& letter = window->fKeys[1];
	EXPECT_EQ(B_OK, letter.FindString("bytes", &bytes));
	EXPECT_STREQ("a", bytes);
	EXPECT_EQ(B_OK, letter.FindInt32("modifiers", &modifiers));
	EXPECT_EQ(0, modifiers & B_SHIFT_KEY);
	quit(window);
}

TEST_F(WindowTest, CommandWAsksToCloseUntilItsShortcutIsRemoved)
{
	RecordingWindow* window = new RecordingWindow;
	window->AddShortcut('K', 0, new BMessage('kkkk'));
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	EXPECT_TRUE(window->HasShortcut('W', 0));

	send_key(window, Qt::Key_W, Qt::ControlModifier);
	ASSERT_TRUE(wait_until([&] { return window->fQuitRequests.load() == 1; }));

	window->Lock();
	window->RemoveShortcut('W', B_COMMAND_KEY);
	EXPECT_FALSE(window->HasShortcut('w', B_COMMAND_KEY));
	window->Unlock();
	send_key(window, Qt::Key_W, Qt::ControlModifier);
	send_key(window, Qt::Key_K, Qt::ControlModifier);
	ASSERT_TRUE(wait_until([&] { return window->HasReceived('kkkk'); }));
	EXPECT_EQ(1, window->fQuitRequests.load());
	quit(window);
}

// A window the user must not close (the deinstaller's items window) closes neither by its
// close box nor by Command+W; the shortcut follows the flag.
TEST_F(WindowTest, ANotClosableWindowIgnoresCommandWAndTheCloseBox)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 249, 149), B_NOT_CLOSABLE);
	window->AddShortcut('K', 0, new BMessage('kkkk'));
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	EXPECT_FALSE(window->HasShortcut('W', 0));

	send_key(window, Qt::Key_W, Qt::ControlModifier);
	QCloseEvent close;
	QCoreApplication::sendEvent(widget_of(window), &close);
	send_key(window, Qt::Key_K, Qt::ControlModifier);
	ASSERT_TRUE(wait_until([&] { return window->HasReceived('kkkk'); }));
	EXPECT_EQ(0, window->fQuitRequests.load());

	window->Lock();
	window->SetFlags(0);
	EXPECT_TRUE(window->HasShortcut('W', 0));
	window->Unlock();
	send_key(window, Qt::Key_W, Qt::ControlModifier);
	ASSERT_TRUE(wait_until([&] { return window->fQuitRequests.load() == 1; }));

	window->Lock();
	window->SetFlags(B_NOT_CLOSABLE);
	EXPECT_FALSE(window->HasShortcut('W', 0));
	window->Unlock();
	quit(window);
}

TEST_F(WindowTest, EnterPressesTheDefaultButton)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 349, 149));
	BButton* cancel = new BButton(BRect(10, 10, 89, 34), "cancel", "Cancel", new BMessage('cncl'));
	BButton* ok = new BButton(BRect(100, 10, 179, 34), "ok", "OK", new BMessage('okay'));
	window->AddChild(cancel);
	window->AddChild(ok);
	window->SetDefaultButton(ok);
	EXPECT_TRUE(ok->IsDefault());
	EXPECT_EQ(ok, window->DefaultButton());
	cancel->MakeFocus();
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	send_key(window, Qt::Key_Return);
	ASSERT_TRUE(wait_until([&] { return window->HasReceived('okay'); }));
	EXPECT_FALSE(window->HasReceived('cncl'));

	window->Lock();
	cancel->MakeDefault(true);
	EXPECT_EQ(cancel, window->DefaultButton());
	EXPECT_FALSE(ok->IsDefault());
	window->SetDefaultButton(NULL);
	EXPECT_FALSE(cancel->IsDefault());
	window->Unlock();
	quit(window);
}

namespace {

class PulseView : public BView {
public:
	PulseView() :
		BView(BRect(0, 0, 9, 9), "pulse", B_FOLLOW_NONE, B_PULSE_NEEDED)
	{
	}

	void Pulse() override { fPulses++; }

	std::atomic<int32> fPulses { 0 };
};

} // namespace

TEST_F(WindowTest, PulsesComeAtTheRateAndStopAtZero)
{
	BWindow* window = new BWindow(BRect(10, 10, 109, 109), "Pulses", B_TITLED_WINDOW, 0);
	PulseView* view = new PulseView;
	window->AddChild(view);
	window->SetPulseRate(20000);
	window->Show();

	run_for(500);
	int32 pulses = view->fPulses.load();
	// Twenty-five at the rate; a busy machine delays some, a fast timer adds none.
	EXPECT_GE(pulses, 5);
	EXPECT_LE(pulses, 30);

	window->Lock();
	window->SetPulseRate(0);
	window->Unlock();
	run_for(50);
	int32 stopped = view->fPulses.load();
	run_for(300);
	EXPECT_EQ(stopped, view->fPulses.load());
	quit(window);
}

TEST_F(WindowTest, TheCloseBoxAsksQuitRequestedAndNeverClosesByItself)
{
	RecordingWindow* window = new RecordingWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	QPointer<QWidget> widget = widget_of(window);

	QCloseEvent close;
	QCoreApplication::sendEvent(widget, &close);
	EXPECT_FALSE(close.isAccepted());
	ASSERT_TRUE(wait_until([&] { return window->fQuitRequests.load() == 1; }));
	EXPECT_TRUE(widget->isVisible());

	window->fAllowQuit = true;
	QCloseEvent again;
	QCoreApplication::sendEvent(widget, &again);
	ASSERT_TRUE(wait_until([&] { return widget.isNull(); }));
	EXPECT_EQ(0, fApplication->CountWindows());
}

TEST_F(WindowTest, SampleWindowWithEveryControlIsSavedAsAScreenshot)
{
	BWindow* window =
		new BWindow(BRect(60, 60, 419, 279), "Sample", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	BView* background = new BView(window->Bounds(), "bgview", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	window->AddChild(background);

	BBox* box = new BBox(BRect(10, 10, 349, 120), "box");
	box->SetLabel("Install options");
	background->AddChild(box);
	BStringView* label = new BStringView(BRect(10, 20, 329, 39), "label", "Installation folder:");
	box->AddChild(label);
	BCheckBox* check =
		new BCheckBox(BRect(10, 45, 329, 64), "check", "Apply to all future collisions", NULL);
	check->SetValue(B_CONTROL_ON);
	box->AddChild(check);
	BCheckBox* disabled =
		new BCheckBox(BRect(10, 70, 329, 89), "disabled", "Disabled choice", NULL);
	disabled->SetEnabled(false);
	box->AddChild(disabled);
	BBox* plain = new BBox(BRect(10, 130, 170, 165), "plain", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW, B_PLAIN_BORDER);
	background->AddChild(plain);
	BStringView* right = new BStringView(BRect(5, 8, 155, 27), "right", "Right aligned");
	right->SetAlignment(B_ALIGN_RIGHT);
	plain->AddChild(right);
	background->AddChild(new BButton(BRect(190, 180, 265, 205), "cancel", "Cancel", NULL));
	BButton* install = new BButton(BRect(275, 180, 350, 205), "install", "Install", NULL);
	background->AddChild(install);
	window->SetDefaultButton(install);
	window->Show();
	ASSERT_TRUE(
		wait_until([&] { return widget_of(window) != nullptr && widget_of(window)->isVisible(); }));

	QImage shot = grab(window);
	ASSERT_EQ(QSize(360, 220), shot.size());
	// Something sane was drawn: the panel colour, and darker pixels of text and frames.
	EXPECT_EQ(qRgb(216, 216, 216), shot.pixel(355, 215));
	int dark = 0;
	for (int y = 0; y < shot.height(); y++) {
		for (int x = 0; x < shot.width(); x++) {
			if (qGray(shot.pixel(x, y)) < 100)
				dark++;
		}
	}
	EXPECT_GT(dark, 200);

	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	QString path = QString(BEINSTALLER_ARTIFACT_DIR) + "/sample-window.png";
	EXPECT_TRUE(shot.save(path));
	quit(window);
}

namespace {

class HookWindow : public BWindow {
public:
	HookWindow() :
		BWindow(BRect(30, 30, 129, 129), "Hooks", B_TITLED_WINDOW, 0)
	{
	}

	void WindowActivated(bool active) override
	{
		if (active)
			fActivations++;
	}

	void ScreenChanged(BRect frame, color_space space) override
	{
		fScreenFrame = frame;
		fScreenSpace = space;
		fScreenChanges++;
	}

	void FrameResized(float width, float height) override { fResized = BPoint(width, height); }

	std::atomic<int32> fActivations { 0 };
	std::atomic<int32> fScreenChanges { 0 };
	BRect fScreenFrame;
	color_space fScreenSpace = B_NO_COLOR_SPACE;
	BPoint fResized;
};

} // namespace

TEST_F(WindowTest, ActivationAndScreenChangesReachTheHooks)
{
	HookWindow* window = new HookWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Activate();
	ASSERT_TRUE(wait_until([&] { return window->fActivations.load() > 0; }));
	EXPECT_TRUE(window->IsActive());
	EXPECT_TRUE(window->IsFront());

	QScreen* screen = QGuiApplication::primaryScreen();
	Q_EMIT screen->geometryChanged(QRect(0, 0, 1024, 768));
	ASSERT_TRUE(wait_until([&] { return window->fScreenChanges.load() == 1; }));
	EXPECT_EQ(BRect(0, 0, 1023, 767), window->fScreenFrame);
	EXPECT_EQ(B_RGB32, window->fScreenSpace);

	// The user's resizing reaches FrameResized() and the views.
	BView* filler = new BView(window->Bounds(), "filler", B_FOLLOW_ALL, 0);
	window->Lock();
	window->AddChild(filler);
	window->Unlock();
	widget_of(window)->resize(150, 120);
	ASSERT_TRUE(wait_until([&] { return window->fResized == BPoint(149, 119); }));
	EXPECT_EQ(BRect(0, 0, 149, 119), window->Bounds());
	EXPECT_EQ(window->Bounds(), filler->Frame());
	quit(window);
}

// BApplication over Qt: the application's looper dispatches on the GUI thread like the
// windows, and Run() spins the Qt event loop that drives them all.
#include <Application.h>

#include <Message.h>
#include <MessengerPrivate.h>
#include <ThreadPrivate.h>
#include <Window.h>

#include "../interface/qt/ApplicationPrivate.h"
#include "../interface/qt/GuiLooper.h"
#include "../interface/qt/GuiThread.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QTimer>

#include <LooperDriver.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

BApplication* be_app = NULL;
BMessenger be_app_messenger;

namespace {

// The request that carries Quit() from another thread to the main thread.
const uint32 kQuitApplication = '_AQU';

// How long the quit path waits for a window's lock. The GUI thread must never wait for
// ever on another thread: a worker that holds a window's lock may itself be waiting for
// the GUI thread (an alert). A lock whose holder has ended is taken over at once (BLocker).
const bigtime_t kQuitLockTimeout = 2000000;

std::mutex sCommandLineLock;
std::vector<std::string> sCommandLine;

} // namespace

namespace BPrivate {

void
set_command_line(const std::vector<std::string>& arguments)
{
	std::lock_guard<std::mutex> lock(sCommandLineLock);
	sCommandLine = arguments;
}

std::vector<std::string>
command_line()
{
	{
		std::lock_guard<std::mutex> lock(sCommandLineLock);
		if (!sCommandLine.empty())
			return sCommandLine;
	}
	std::vector<std::string> arguments;
	std::ifstream file("/proc/self/cmdline", std::ios::binary);
	std::string argument;
	while (std::getline(file, argument, '\0'))
		arguments.push_back(argument);
	if (arguments.empty())
		arguments.push_back("application");
	return arguments;
}

class ApplicationData {
public:
	explicit ApplicationData(BApplication* application) :
		fApplication(application),
		fInitStatus(B_OK),
		fOwnApplication(nullptr),
		fArgc(0),
		fLoop(nullptr),
		fRunning(false),
		fQuitting(false),
		fPulseRate(500000),
		fPulsePending(false),
		fCursorHidden(false)
	{
	}

	void StartPulses()
	{
		if (fPulseTimer == nullptr) {
			fPulseTimer = std::make_unique<QTimer>();
			fPulseTimer->setTimerType(Qt::PreciseTimer);
			QObject::connect(fPulseTimer.get(), &QTimer::timeout, [this]() {
				// One pulse waits at most.
				if (fPulsePending.exchange(true))
					return;
				if (fApplication->PostMessage(B_PULSE) != B_OK)
					fPulsePending.store(false);
			});
		}
		if (fPulseRate <= 0 || !fRunning) {
			fPulseTimer->stop();
			return;
		}
		fPulseTimer->start((int)std::max<bigtime_t>(1, fPulseRate / 1000));
	}

	BApplication* fApplication;
	status_t fInitStatus;
	std::string fSignature;
	QApplication* fOwnApplication;
	int fArgc;
	std::vector<std::string> fArguments;
	std::vector<char*> fArgv;
	QEventLoop* fLoop;
	bool fRunning;
	bool fQuitting;
	bigtime_t fPulseRate;
	std::atomic<bool> fPulsePending;
	std::unique_ptr<QTimer> fPulseTimer;
	bool fCursorHidden;

	mutable std::mutex fWindowLock;
	std::vector<BWindow*> fWindows;
};

} // namespace BPrivate

BApplication::BApplication(const char* signature) :
	BLooper(signature)
{
	_Init(signature, NULL);
}

BApplication::BApplication(const char* signature, status_t* error) :
	BLooper(signature)
{
	_Init(signature, error);
}

void
BApplication::_Init(const char* signature, status_t* error)
{
	fData = std::make_unique<BPrivate::ApplicationData>(this);
	fData->fSignature = signature != NULL ? signature : "";
	if (be_app != NULL) {
		fprintf(stderr, "BApplication: there is an application object already\n");
		fData->fInitStatus = B_ERROR;
		if (error != NULL)
			*error = B_ERROR;
		return;
	}

	fData->fArguments = BPrivate::command_line();
	for (std::string& argument : fData->fArguments)
		fData->fArgv.push_back(argument.data());
	fData->fArgv.push_back(nullptr);
	fData->fArgc = (int)fData->fArguments.size();

	// The application owns Qt's unless a test harness made one already.
	if (QCoreApplication::instance() == nullptr) {
		fData->fOwnApplication = new QApplication(fData->fArgc, fData->fArgv.data());
		QApplication::setQuitOnLastWindowClosed(false);
	}
	// Qt sets the C library's locale from the user's environment; numbers the programs
	// write and read (sizes, log lines, flattened data) must not take a comma for the
	// point. LC_NUMERIC is process-wide: Qt's documented advice is to set it back to "C".
	setlocale(LC_NUMERIC, "C");

	BPrivate::LooperAccess::SetDriver(this, BPrivate::GuiLooperDriver::Default());
	be_app = this;
	be_app_messenger = BMessenger(this);
	BPrivate::set_application_messenger(be_app_messenger);
	if (!fData->fSignature.empty())
		BPrivate::register_app_signature(fData->fSignature.c_str(), be_app_messenger);
	if (error != NULL)
		*error = B_OK;
}

BApplication::~BApplication()
{
	if (be_app == this) {
		// Locking windows waits; unwinding out of a destructor would end the process.
		BPrivate::CancelDisabler disabler;
		// The windows that are left go with the application; their loops have stopped
		// with Run(), so they are deleted here rather than through their queues.
		std::vector<BWindow*> skipped;
		while (true) {
			BWindow* window = NULL;
			{
				std::lock_guard<std::mutex> lock(fData->fWindowLock);
				for (auto it = fData->fWindows.rbegin(); it != fData->fWindows.rend(); ++it) {
					if (std::find(skipped.begin(), skipped.end(), *it) == skipped.end()) {
						window = *it;
						break;
					}
				}
			}
			if (window == NULL)
				break;
			const status_t status = window->LockWithTimeout(kQuitLockTimeout);
			if (status != B_OK) {
				if (status == B_TIMED_OUT) {
					fprintf(stderr, "BApplication: window \"%s\" stays locked by thread %d\n",
						window->Title(), (int)window->LockingThread());
				}
				skipped.push_back(window);
				continue;
			}
			if (window->Thread() < 0)
				window->Quit();
			else
				delete window;
		}
		if (!fData->fSignature.empty())
			BPrivate::unregister_app_signature(fData->fSignature.c_str());
		BPrivate::set_application_messenger(BMessenger());
		be_app_messenger = BMessenger();
		be_app = NULL;
	}
	if (fData->fCursorHidden)
		QGuiApplication::restoreOverrideCursor();
	fData->fPulseTimer.reset();
	QApplication* own = fData->fOwnApplication;
	fData.reset();
	delete own;
}

status_t
BApplication::InitCheck() const
{
	return fData->fInitStatus;
}

const char*
BApplication::Signature() const
{
	return fData->fSignature.c_str();
}

thread_id
BApplication::Run()
{
	BPrivate::assert_gui_thread("BApplication::Run");
	if (fData->fInitStatus != B_OK || fData->fRunning)
		return B_ERROR;

	thread_id thread = BLooper::Run();
	fData->fRunning = true;
	fData->fQuitting = false;

	// BeOS behaviour: the arguments arrive before ReadyToRun(), and only when there are
	// any beyond the program's name.
	if (fData->fArgc > 1) {
		BMessage arguments(B_ARGV_RECEIVED);
		arguments.AddInt32("argc", fData->fArgc);
		for (int i = 0; i < fData->fArgc; i++)
			arguments.AddString("argv", fData->fArgv[i]);
		PostMessage(&arguments);
	}
	PostMessage(B_READY_TO_RUN);
	fData->StartPulses();

	QEventLoop loop;
	fData->fLoop = &loop;
	if (!fData->fQuitting)
		loop.exec();
	fData->fLoop = nullptr;
	fData->fRunning = false;
	fData->StartPulses();
	return thread;
}

void
BApplication::Quit()
{
	if (!BPrivate::is_gui_thread()) {
		PostMessage(kQuitApplication);
		return;
	}
	fData->fQuitting = true;
	if (fData->fLoop != nullptr)
		fData->fLoop->exit(0);
}

bool
BApplication::QuitRequested()
{
	// Each window is asked in turn; the first that refuses keeps the application. A window
	// that is already on its way out (its lock fails) is passed over.
	std::vector<BWindow*> asked;
	while (true) {
		BWindow* window = NULL;
		{
			std::lock_guard<std::mutex> lock(fData->fWindowLock);
			for (auto it = fData->fWindows.rbegin(); it != fData->fWindows.rend(); ++it) {
				if (std::find(asked.begin(), asked.end(), *it) == asked.end()) {
					window = *it;
					break;
				}
			}
		}
		if (window == NULL)
			return true;
		asked.push_back(window);
		const status_t status = window->LockWithTimeout(kQuitLockTimeout);
		if (status == B_TIMED_OUT)
			return false;
		if (status != B_OK)
			continue;
		if (!window->QuitRequested()) {
			window->Unlock();
			return false;
		}
		{
			// The window leaves the list here: its deletion may come later.
			std::lock_guard<std::mutex> lock(fData->fWindowLock);
			auto& windows = fData->fWindows;
			windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
		}
		window->Quit();
	}
}

void
BApplication::ReadyToRun()
{
}

void
BApplication::ArgvReceived(int32, char**)
{
}

void
BApplication::AppActivated(bool)
{
}

void
BApplication::RefsReceived(BMessage*)
{
}

void
BApplication::AboutRequested()
{
}

void
BApplication::Pulse()
{
}

void
BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_ARGV_RECEIVED: {
			int32 argc = 0;
			message->FindInt32("argc", &argc);
			std::vector<std::string> arguments;
			const char* argument;
			for (int32 i = 0; message->FindString("argv", i, &argument) == B_OK; i++)
				arguments.push_back(argument);
			std::vector<char*> argv;
			for (std::string& text : arguments)
				argv.push_back(text.data());
			argv.push_back(nullptr);
			ArgvReceived((int32)arguments.size(), argv.data());
			break;
		}
		case B_READY_TO_RUN:
			ReadyToRun();
			break;
		case B_PULSE:
			fData->fPulsePending.store(false);
			Pulse();
			break;
		case B_APP_ACTIVATED: {
			bool active = false;
			message->FindBool("active", &active);
			AppActivated(active);
			break;
		}
		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		case B_ABOUT_REQUESTED:
			AboutRequested();
			break;
		case kQuitApplication:
			Quit();
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}

void
BApplication::SetPulseRate(bigtime_t rate)
{
	fData->fPulseRate = std::max<bigtime_t>(0, rate);
	if (BPrivate::is_gui_thread())
		fData->StartPulses();
}

int32
BApplication::CountWindows() const
{
	std::lock_guard<std::mutex> lock(fData->fWindowLock);
	return (int32)fData->fWindows.size();
}

BWindow*
BApplication::WindowAt(int32 index) const
{
	std::lock_guard<std::mutex> lock(fData->fWindowLock);
	if (index < 0 || index >= (int32)fData->fWindows.size())
		return NULL;
	return fData->fWindows[index];
}

bool
BApplication::IsLaunching() const
{
	return !fData->fRunning;
}

void
BApplication::ShowCursor()
{
	fData->fCursorHidden = false;
	if (BPrivate::is_gui_thread())
		QGuiApplication::restoreOverrideCursor();
}

void
BApplication::HideCursor()
{
	fData->fCursorHidden = true;
	if (BPrivate::is_gui_thread())
		QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void
BApplication::ObscureCursor()
{
}

bool
BApplication::IsCursorHidden() const
{
	return fData->fCursorHidden;
}

void
BApplication::_WindowCreated(BWindow* window)
{
	std::lock_guard<std::mutex> lock(fData->fWindowLock);
	fData->fWindows.push_back(window);
}

void
BApplication::_WindowDeleted(BWindow* window)
{
	std::lock_guard<std::mutex> lock(fData->fWindowLock);
	auto& windows = fData->fWindows;
	windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

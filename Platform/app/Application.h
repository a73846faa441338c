// BApplication: the application object and its looper. It runs on the main thread, which
// is the GUI thread: Run() runs the Qt event loop, which also dispatches every window's
// messages. There is one application object at a time, be_app.
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Point.h>
#include <Rect.h>

#include <memory>

class BWindow;

namespace BPrivate {
class ApplicationData;
} // namespace BPrivate

class BApplication : public BLooper {
public:
	BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	// Deletes the windows that are left (a window whose lock another thread keeps for
	// seconds is left alone, with a line on standard error).
	virtual ~BApplication();

	BApplication(const BApplication&) = delete;
	BApplication& operator=(const BApplication&) = delete;

	status_t InitCheck() const;
	const char* Signature() const;

	// On the main thread: delivers B_ARGV_RECEIVED (when there are arguments) and then
	// B_READY_TO_RUN, and handles messages until Quit(). Returns the thread's id.
	virtual thread_id Run();
	// Ends Run() once the current message is handled. The application object stays; the
	// program deletes it. From another thread the request is passed to the main thread.
	virtual void Quit();
	// Asks every window to quit; true when all of them did (a window whose lock another
	// thread keeps for seconds counts as refusing). The application also hears
	// B_QUIT_REQUESTED when a window with B_QUIT_ON_WINDOW_CLOSE quits, as on BeOS.
	virtual bool QuitRequested();

	virtual void ReadyToRun();
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void AppActivated(bool active);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();
	virtual void Pulse();
	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	// Pulses come every rate microseconds (500000 at first); 0 stops them.
	void SetPulseRate(bigtime_t rate);

	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;
	bool IsLaunching() const;

	void ShowCursor();
	void HideCursor();
	void ObscureCursor();
	bool IsCursorHidden() const;

private:
	friend class BWindow;
	friend class BPrivate::ApplicationData;

	void _Init(const char* signature, status_t* error);
	void _WindowCreated(BWindow* window);
	void _WindowDeleted(BWindow* window);

	std::unique_ptr<BPrivate::ApplicationData> fData;
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif // _APPLICATION_H

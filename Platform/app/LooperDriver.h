// How a looper runs: the hook for loopers that must not have a thread of their own.
//
// A plain BLooper runs on its own thread: Run() spawns it, the thread waits for messages and
// dispatches them. A GUI looper (a window) must dispatch on the one GUI thread instead. Its
// class gives the looper a LooperDriver before Run():
//
//	class GuiDriver : public BPrivate::LooperDriver {
//		thread_id Start(BLooper* looper) override { return the GUI thread's id; }
//		void MessagePosted(port_id port) override
//		{
//			// any thread: schedule, never block or call into the looper
//			post an event to the GUI thread that calls
//			BPrivate::LooperAccess::DispatchMessages(port, 50);
//		}
//	};
//
//	BWindow::BWindow(...) : BLooper(...)
//	{
//		BPrivate::LooperAccess::SetDriver(this, &sGuiDriver);
//	}
//
// With a driver, Run() calls Start() instead of spawning a thread; the id it returns is the
// looper's Thread(), the thread that dispatches. Every message written into the looper's port
// while no dispatch is pending calls MessagePosted() on the writing thread; the driver then
// arranges for DispatchMessages() to run on the dispatching thread. DispatchMessages() locks
// the looper around each message, exactly as the looper's own thread would, asks the driver
// again when messages are left over, and deletes the looper when it has quit. Quit() from
// the dispatching thread takes effect when the current dispatch returns; Quit() from another
// thread waits until the dispatching thread has deleted the looper.
#ifndef _LOOPER_DRIVER_H
#define _LOOPER_DRIVER_H

#include <OS.h>

class BLooper;

namespace BPrivate {

class LooperDriver {
public:
	virtual ~LooperDriver();

	// Called by Run() instead of spawning a thread; returns the dispatching thread.
	virtual thread_id Start(BLooper* looper) = 0;

	// A message arrived for the looper that owns port. Called on the sending thread with no
	// lock of the looper held; must not block. The looper may be gone by the time the
	// dispatch runs: DispatchMessages() then does nothing.
	virtual void MessagePosted(port_id port) = 0;
};

class LooperAccess {
public:
	// Before Run() only. The driver must outlive the looper.
	static void SetDriver(BLooper* looper, LooperDriver* driver);

	// On the looper's dispatching thread: dispatches up to maxCount waiting messages of the
	// looper that owns port. Returns false when the looper is gone (it quit, and has been
	// deleted) or the port is unknown.
	static bool DispatchMessages(port_id port, int32 maxCount);

	// On the looper's dispatching thread: moves the messages waiting in the looper's port
	// into its MessageQueue(), so that they can be looked at before they are dispatched.
	static void DrainPort(BLooper* looper);
};

} // namespace BPrivate

#endif // _LOOPER_DRIVER_H

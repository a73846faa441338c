// The driver that makes loopers dispatch on the GUI thread: the application and every
// window. A message posted from any thread becomes a Qt event for one dispatcher object on
// the GUI thread, which dispatches a batch of the looper's messages.
//
// The GUI thread never blocks on another thread: a looper whose lock another thread holds
// is tried again a moment later. A looper is never dispatched inside its own dispatch (an
// alert's event loop running inside a window's handler): its messages wait until the outer
// dispatch returns.
#ifndef _GUI_LOOPER_H
#define _GUI_LOOPER_H

#include <LooperDriver.h>

class BLooper;

namespace BPrivate {

class GuiLooperDriver : public LooperDriver {
public:
	// The one driver; it lives as long as the process.
	static GuiLooperDriver* Default();

	thread_id Start(BLooper* looper) override;
	void MessagePosted(port_id port) override;
};

// The id of the GUI thread (the thread of the QApplication).
thread_id gui_thread_id();

// True while the GUI thread is inside a dispatch of this looper.
bool is_dispatching(const BLooper* looper);

} // namespace BPrivate

#endif // _GUI_LOOPER_H

// The GUI thread: the thread that made the QApplication. Every Qt widget lives on it, so
// every backend entry point that touches a widget checks that it runs there.
#ifndef _GUI_THREAD_H
#define _GUI_THREAD_H

#include <functional>

class QObject;

namespace BPrivate {

// True on the thread of the QApplication (false while there is none).
bool is_gui_thread();

// Ends the process with a message when called off the GUI thread: touching a widget
// from another thread corrupts Qt's state silently, so it is caught where it happens.
void assert_gui_thread(const char* where);

// Runs the function on the GUI thread from its event loop, later, unless the context
// object is gone by then. Callable from any thread.
void post_to_gui_thread(QObject* context, std::function<void()> function);

} // namespace BPrivate

#endif // _GUI_THREAD_H

// Drops from the desktop: file references dragged onto a window reach the view under the
// drop point as a B_SIMPLE_DATA message with one "refs" entry_ref per local file, marked
// as dropped (WasDropped(), DropPoint() in screen coordinates). While such a drag passes
// over the window, the views hear B_MOUSE_MOVED with the drag's message (the same
// B_SIMPLE_DATA, not yet dropped) and the transit codes, and B_EXITED_VIEW when it leaves.
#ifndef _DROP_FILTER_H
#define _DROP_FILTER_H

class BWindow;
class QWidget;

namespace BPrivate {

// Lets the window's widget take drops of local files.
void install_drop_filter(QWidget* widget, BWindow* window);

} // namespace BPrivate

#endif // _DROP_FILTER_H

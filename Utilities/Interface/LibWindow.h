// The base of every window of both programs: placing itself on a 3 × 3 grid of the screen or
// around another window, Show() and Hide() that never nest, bringing itself to the front,
// and the help key (Shift+F1), which sends the application the names of the view under the
// pointer and of all its ancestors.
#ifndef LIB_WINDOW_H
#define LIB_WINDOW_H

#include <Window.h>

class BMessage;
class BView;

// The help request's what-code and fields: "window" (string), "view" (string, the view under
// the pointer first, then each ancestor up to the top view) and "inserts" (message, what the
// window adds for that view, when it adds anything).
const uint32 kLibHelpRequest = 'help';

class LibWindow : public BWindow {
public:
	// The nine places, row by row.
	enum ScreenPosition : int32 {
		TOP_LEFT = 0,
		TOP_CENTER = 1,
		TOP_RIGHT = 2,
		MIDDLE_LEFT = 3,
		CENTER = 4,
		MIDDLE_RIGHT = 5,
		BOTTOM_LEFT = 6,
		BOTTOM_CENTER = 7,
		BOTTOM_RIGHT = 8
	};

	LibWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspaces = B_CURRENT_WORKSPACE);
	LibWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspaces = B_CURRENT_WORKSPACE);
	virtual ~LibWindow();

	// Moves the window to the place on the screen, or around the reference window (left of
	// it, centred on it or right of it; above, beside or below it) kept on the screen.
	void SetPosition(const ScreenPosition& place, BWindow* reference = NULL);
	// The top-left corner SetPosition() chooses for a window of those bounds; tabbed windows
	// (titled and document looks) keep room for their tab above them.
	static BPoint PositionFor(const ScreenPosition& place, const BRect& bounds, bool tabbed,
		const BRect& screen, const BRect* reference);

	// Shows the window only when it is hidden and hides it only when it is shown, so one
	// call always undoes any number of the other.
	virtual void Show();
	virtual void Hide();
	// Shows the window when it is hidden and brings it to the front when it is not there.
	void Pop();

	// The window goes back to the centre of the changed screen.
	virtual void ScreenChanged(BRect screenFrame, color_space depth);
	// Shift+F1 sends the help request for the view the pointer last moved over to the
	// application; the key is then handled as usual.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	// Lets a window add data to the help request for a view: true when inserts holds
	// something to send. The base adds nothing.
	virtual bool InsertHelpRequest(BView* view, BMessage& inserts);

private:
	void _SendHelpRequest(BView* view);
};

#endif // LIB_WINDOW_H

// BWindow: a top-level window and the looper that handles its messages. Every window
// dispatches on the GUI thread (Qt keeps its widgets on one thread), in order, under the
// window's lock; other threads post messages to it and never touch its widgets. The frame
// is the content area in screen coordinates, without the decoration the desktop adds.
#ifndef _WINDOW_H
#define _WINDOW_H

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>

#include <memory>

class BButton;
class BMessage;
class BView;

namespace BPrivate {
class WindowData;
class ViewData;
class WindowWidget;
} // namespace BPrivate

class BWindow : public BLooper {
public:
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	virtual ~BWindow();

	BWindow(const BWindow&) = delete;
	BWindow& operator=(const BWindow&) = delete;

	// With the window locked: hides it, deletes its views and the window. From another
	// thread than the GUI thread the window is quit on the GUI thread soon after.
	virtual void Quit();

	void Close() { Quit(); }

	// Takes ownership of the view.
	void AddChild(BView* child, BView* before = NULL);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;

	// Routes input: key-down to the shortcuts, the default button or the focus view,
	// mouse messages to the view under the pointer (and to views that asked for all
	// pointer events), pulses to every view that needs them.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void Minimize(bool minimize);
	virtual void Zoom(BPoint origin, float width, float height);
	virtual void ScreenChanged(BRect screenFrame, color_space depth);
	virtual void WindowActivated(bool active);
	virtual void MenusBeginning();
	virtual void MenusEnded();

	// Pulses reach the views with B_PULSE_NEEDED every rate microseconds; 0 stops them.
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const;

	// Shortcuts are Command (Ctrl) plus the key and the given modifiers. A closable window
	// has Command+W (B_QUIT_REQUESTED to itself) from the start; it can be removed. A
	// window with B_NOT_CLOSABLE has none (SetFlags() takes it away and gives it back).
	// AddShortcut takes ownership of the message.
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message);
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target);
	bool HasShortcut(uint32 key, uint32 modifiers);
	void RemoveShortcut(uint32 key, uint32 modifiers);

	// Enter without modifiers goes to the default button.
	void SetDefaultButton(BButton* button);
	BButton* DefaultButton() const;

	BView* FindView(const char* viewName) const;
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const;
	BView* LastMouseMovedView() const;

	void Activate(bool active = true);
	bool IsActive() const;
	bool IsFront() const;

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;

	void MoveBy(float dx, float dy);
	void MoveTo(BPoint point);
	void MoveTo(float x, float y);
	void ResizeBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void CenterOnScreen();
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight);

	// Show() and Hide() nest, as on BeOS: a window starts hidden, and after two Hide()
	// calls it takes two Show() calls to show it again. The first Show() starts the
	// window's message loop.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsMinimized() const;

	void Flush() const;
	void Sync() const;
	void UpdateIfNeeded();
	void DisableUpdates();
	void EnableUpdates();

	BRect Bounds() const;
	BRect Frame() const;
	const char* Title() const;
	void SetTitle(const char* title);

	status_t SetType(window_type type);
	window_type Type() const;
	status_t SetLook(window_look look);
	window_look Look() const;
	status_t SetFeel(window_feel feel);
	window_feel Feel() const;
	status_t SetFlags(uint32 flags);
	uint32 Flags() const;
	bool IsModal() const;
	bool IsFloating() const;

	uint32 Workspaces() const;
	void SetWorkspaces(uint32 workspaces);

	virtual bool QuitRequested();
	// Starts the message loop without a thread of its own: the window's messages are
	// handled on the GUI thread. Returns the GUI thread's id.
	virtual thread_id Run();

private:
	friend class BView;
	friend class BApplication;
	friend class BPrivate::WindowData;
	friend class BPrivate::ViewData;
	friend class BPrivate::WindowWidget;

	void _Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspace);
	bool _HandleKeyDown(BMessage* message, BHandler* handler);
	void _DispatchMouse(BMessage* message);
	void _DispatchPulse(BView* view);

	std::unique_ptr<BPrivate::WindowData> fData;
};

#endif // _WINDOW_H

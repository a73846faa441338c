// The state behind a BWindow and its Qt mirror: the top-level widget, the object that
// synchronises widgets with the state on the GUI thread, and the pulse timer.
#ifndef _WINDOW_DATA_H
#define _WINDOW_DATA_H

#include <InterfaceDefs.h>
#include <Messenger.h>
#include <Rect.h>

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class BButton;
class BHandler;
class BMessage;
class BView;
class BWindow;
class QTimer;

namespace BPrivate {

class WindowData;
class WindowWidget;

// Lives on the GUI thread: brings the widgets up to date after changes made elsewhere,
// and runs the pulse timer. It outlives its window briefly when the window goes first.
class WindowSync : public QObject {
	Q_OBJECT

public:
	WindowSync(BWindow* window, WindowData* data);

	void Forget();
	void Post();
	void SetPulseRate(bigtime_t rate);

	void PulseHandled() { fPulsePending.store(false); }

protected:
	bool event(QEvent* event) override;

private:
	void _Synchronize();
	void _Pulse();

	BWindow* fWindow;
	BMessenger fMessenger;
	std::atomic<WindowData*> fData;
	std::atomic<bool> fPosted;
	std::atomic<bool> fPulsePending;
	QTimer* fPulseTimer;
	bool fRetryPending;
};

class WindowData {
public:
	WindowData(BWindow* window, BRect frame, const char* title, window_look look, window_feel feel,
		uint32 flags, uint32 workspaces);
	~WindowData();

	static WindowData& Of(const BWindow* window);

	// Views (with the window locked).
	void ViewAttached(BView* view);
	void ViewDetached(BView* view);
	void ViewHidden(BView* view);
	void SetFocus(BView* view);
	void NavigateFocus(BView* from);
	void EventMaskChanged(BView* view);
	status_t SetMouseEventView(BView* view);
	void PulseNeedChanged();
	void GetMouse(BPoint* where, uint32* buttons);
	void SetMouse(BPoint where, uint32 buttons);

	// The widget mirror. RequestSync() may be called from any thread; the rest run on the
	// GUI thread with the window locked.
	void RequestSync();
	void Synchronize();
	void Realize();
	void ApplyShown();
	void ApplyFrame();
	void ApplyTitle();
	void ApplyWindowFlags();
	void DestroyWidgets();
	void BringToFront();

	bool HasShownWindow() const;

	struct Shortcut {
		uint32 key;
		uint32 modifiers;
		std::unique_ptr<BMessage> message;
		BHandler* target;
	};

	BWindow* fWindow;
	BRect fFrame;
	std::string fTitle;
	window_look fLook;
	window_feel fFeel;
	uint32 fFlags;
	uint32 fWorkspaces;
	int32 fShowLevel;
	bool fMinimized;
	std::atomic<bool> fActive;
	float fMinWidth;
	float fMaxWidth;
	float fMinHeight;
	float fMaxHeight;

	BView* fTopView;
	BView* fFocus;
	BView* fLastMouseMoved;
	BView* fMouseEventView;
	std::vector<BView*> fEventMaskViews;
	BButton* fDefaultButton;
	std::vector<Shortcut> fShortcuts;
	bigtime_t fPulseRate;
	std::atomic<int32> fPulseViews;

	std::mutex fMouseLock;
	BPoint fMouseWhere;
	uint32 fMouseButtons;

	// GUI thread.
	WindowWidget* fWidget;
	WindowSync* fSync;
	bool fFrameSyncPending;
	bool fShownSyncPending;
	bool fTitleSyncPending;
	bool fFlagsSyncPending;
	bool fPulseSyncPending;
	bool fActivatePending;
};

// The window most recently shown or activated: the front one when the desktop has given
// the focus to no window of ours.
BWindow* front_window();
void set_front_window(BWindow* window);
void forget_front_window(BWindow* window);

} // namespace BPrivate

#endif // _WINDOW_DATA_H

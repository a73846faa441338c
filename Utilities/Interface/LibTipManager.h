// The tips of a program: views post tip requests ('stip') to the application, which hands
// them to its tip manager. The manager owns the one tip window, shows a requested tip after
// its start delay (timed by the application's pulses, which call PostPending()) and lets it
// hide itself after its end delay (timed by the tip window's pulses).
#ifndef LIB_TIP_MANAGER_H
#define LIB_TIP_MANAGER_H

#include <Messenger.h>
#include <SupportDefs.h>

class BMessage;
class LibTipWin;

// A tip request: "show" (bool); with show true "tip" (string), "loc" (point, the tip's
// top-left corner on the screen), and optionally "width" (int32, wrap width; below 1 one
// line), "sdelay" and "edelay" (int16 seconds, 1 and 4 when missing).
const uint32 kLibTipRequest = 'stip';
// Switches tips off, or on again.
const uint32 kLibTipToggle = 'tipf';

class LibTipManager {
public:
	LibTipManager();
	// Closes the tip window.
	virtual ~LibTipManager();

	LibTipManager(const LibTipManager&) = delete;
	LibTipManager& operator=(const LibTipManager&) = delete;

	// Handles a tip request (and the toggle); runs on the application's thread.
	virtual void MessageReceived(BMessage* message);
	// Shows the pending tip, if any; the application calls this on every pulse.
	void PostPending();

	void ToggleTips();
	void SetShowTips(const bool& show);
	bool ShowTips() const;

	// The tip window, once a request made it; NULL before.
	LibTipWin* Window() const { return fWindow; }

	bool IsPending() const { return fPending; }

private:
	void _Show(BMessage* message);
	void _Hide();
	void _Pop();

	LibTipWin* fWindow;
	bool fShowTips;
	int32 fStartDelay;
	int32 fEndDelay;
	bool fPending;
	// Tells whether the window still exists when the manager goes.
	BMessenger fWindowMessenger;
};

#endif // LIB_TIP_MANAGER_H

// The one tip window: a small borderless window floating above the program's windows that
// never takes the focus, holding the tip's text.
#ifndef LIB_TIP_WIN_H
#define LIB_TIP_WIN_H

#include "LibWindow.h"

class LibTipString;

class LibTipWin : public LibWindow {
public:
	// Named "LibTipWin", frame 0, 0, 100, 13; starts hidden.
	LibTipWin();
	virtual ~LibTipWin();

	// Sets the text and sizes the window to it: with width below 1 one line as wide as the
	// text (+ 3) and 13 high; otherwise width + 3 wide, wrapped to width, and as high as its
	// lines (+ 2). Call with the window locked.
	void SetText(const char* text, const long& width);
	// Moves the window's top-left corner to where (screen coordinates) and records delay.
	void PopTo(const BPoint& where, const int& delay);

	int Delay() const { return fDelay; }

	LibTipString* TextView() const { return fText; }

	// Stops the window's pulses and hides it unless it is hidden.
	virtual void Hide();
	// A tip that stops being the active window goes away.
	virtual void WindowActivated(bool active);

private:
	LibTipString* fText;
	int fDelay;
};

#endif // LIB_TIP_WIN_H

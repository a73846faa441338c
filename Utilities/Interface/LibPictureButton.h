// A picture button made from raw 8-bit colour-mapped bitmaps (the folder button of both
// programs), with an optional tip that the application's tip manager shows while the pointer
// rests on it.
#ifndef LIB_PICTURE_BUTTON_H
#define LIB_PICTURE_BUTTON_H

#include "LibString.h"

#include <PictureButton.h>

class LibPictureButton : public BPictureButton {
public:
	// A one-state button width × height at where, labelled name, sending what. up, down and
	// disabled (or NULL) are width × height bytes of B_CMAP8 pixels, rows padded to four
	// bytes: the off, on and disabled-off pictures.
	LibPictureButton(BPoint where, const int8& width, const int8& height, const char* name,
		const void* upBits, const void* downBits, const uint32& what,
		const void* disabledBits = NULL, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~LibPictureButton();

	// The tip request's what-code (the tip manager's 'stip') and the tip's text.
	void AddTip(const uint32& what, const char* text);

	// The tip shows when the pointer enters the active window's button and goes when it
	// leaves or presses the button.
	virtual void MouseDown(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MakeFocus(bool focus = true);

	bool HasFocus() const { return fHasFocus; }

private:
	void _PostTip(bool show);

	bool fHasFocus;
	uint32 fTipWhat;
	LibString fTip;
};

#endif // LIB_PICTURE_BUTTON_H

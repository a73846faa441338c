// BButton: a push button. Clicking it (press and release inside) or pressing Enter or
// Space while it has the focus invokes it; the window's default button also takes Enter
// from anywhere in the window.
#ifndef _BUTTON_H
#define _BUTTON_H

#include <Control.h>

class BButton : public BControl {
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BButton();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void AttachedToWindow();

	// Makes the button its window's default button (or stops it being that).
	virtual void MakeDefault(bool flag);
	bool IsDefault() const;

	virtual void GetPreferredSize(float* width, float* height);
	virtual status_t Invoke(BMessage* message = NULL);

private:
	bool fDrawAsDefault;
};

#endif // _BUTTON_H

#include <CheckBox.h>

#include <Window.h>

#include "qt/ControlLook.h"

#include <algorithm>
#include <cmath>

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BControl(frame, name, label, message, resizingMode, flags),
	fPressed(false)
{
}

BCheckBox::~BCheckBox() { }

void
BCheckBox::Draw(BRect)
{
	BPrivate::ButtonLook look = { Label(), fPressed, false, IsEnabled(),
		IsFocus() && Window() != NULL && Window()->IsActive(), Value() == B_CONTROL_ON };
	BPrivate::draw_check_box(this, Bounds(), look);
}

void
BCheckBox::MouseDown(BPoint)
{
	if (!IsEnabled())
		return;
	fPressed = true;
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
	Invalidate();
}

void
BCheckBox::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!IsTracking())
		return;
	bool inside = Bounds().Contains(where);
	if (inside != fPressed) {
		fPressed = inside;
		Invalidate();
	}
}

void
BCheckBox::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	fPressed = false;
	if (Bounds().Contains(where)) {
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
	}
	Invalidate();
}

void
BCheckBox::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes > 0 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
		if (!IsEnabled())
			return;
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BCheckBox::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL)
		*width = ceilf(BPrivate::check_box_mark_width() + StringWidth(Label())) + 6;
	if (height != NULL)
		*height = std::max(ceilf(fontHeight.ascent + fontHeight.descent) + 4, 18.0f);
}

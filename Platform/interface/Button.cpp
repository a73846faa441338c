#include <Button.h>

#include <Message.h>
#include <Window.h>

#include "qt/ControlLook.h"

#include <algorithm>
#include <cmath>

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BControl(frame, name, label, message, resizingMode, flags),
	fDrawAsDefault(false)
{
}

BButton::~BButton() { }

void
BButton::Draw(BRect)
{
	BPrivate::ButtonLook look = { Label(), Value() == B_CONTROL_ON, fDrawAsDefault, IsEnabled(),
		IsFocus() && Window() != NULL && Window()->IsActive(), false };
	BPrivate::draw_push_button(this, Bounds(), look);
}

void
BButton::MouseDown(BPoint)
{
	if (!IsEnabled())
		return;
	SetValue(B_CONTROL_ON);
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
}

void
BButton::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!IsTracking())
		return;
	SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
}

void
BButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	bool inside = Bounds().Contains(where);
	if (inside)
		Invoke();
	SetValue(B_CONTROL_OFF);
}

void
BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes > 0 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (!IsEnabled())
			return;
		SetValue(B_CONTROL_ON);
		Invoke();
		SetValue(B_CONTROL_OFF);
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BButton::AttachedToWindow()
{
	BControl::AttachedToWindow();
	if (fDrawAsDefault && Window() != NULL)
		Window()->SetDefaultButton(this);
}

void
BButton::MakeDefault(bool flag)
{
	BWindow* window = Window();
	BButton* current = window != NULL ? window->DefaultButton() : NULL;
	if (flag == fDrawAsDefault && (window == NULL || (current == this) == flag))
		return;
	fDrawAsDefault = flag;
	if (window != NULL) {
		if (flag && current != this)
			window->SetDefaultButton(this);
		else if (!flag && current == this)
			window->SetDefaultButton(NULL);
	}
	Invalidate();
}

bool
BButton::IsDefault() const
{
	return fDrawAsDefault;
}

void
BButton::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL)
		*width = std::max(75.0f, ceilf(StringWidth(Label())) + 24);
	if (height != NULL)
		*height = ceilf(fontHeight.ascent + fontHeight.descent) + 12;
}

status_t
BButton::Invoke(BMessage* message)
{
	return BControl::Invoke(message);
}

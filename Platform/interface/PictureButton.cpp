// BPictureButton: the press is tracked like a push button's; a two-state button shows the
// other state while pressed and keeps it when released inside.
#include <PictureButton.h>

#include <Picture.h>

namespace {

std::unique_ptr<BPicture>
copy_of(const BPicture* picture)
{
	return picture != NULL ? std::make_unique<BPicture>(*picture) : nullptr;
}

} // namespace

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
	BMessage* message, uint32 behavior, uint32 resizingMode, uint32 flags) :
	BControl(frame, name, name, message, resizingMode, flags),
	fEnabledOff(copy_of(off)),
	fEnabledOn(copy_of(on)),
	fBehavior(behavior),
	fPressedFrom(B_CONTROL_OFF)
{
}

BPictureButton::~BPictureButton() { }

BPicture*
BPictureButton::CurrentPicture() const
{
	const bool on = Value() == B_CONTROL_ON;
	if (!IsEnabled()) {
		BPicture* disabled = on ? fDisabledOn.get() : fDisabledOff.get();
		if (disabled != NULL)
			return disabled;
	}
	return on ? fEnabledOn.get() : fEnabledOff.get();
}

void
BPictureButton::Draw(BRect /*updateRect*/)
{
	if (BPicture* picture = CurrentPicture())
		DrawPicture(picture, BPoint(0, 0));
	if (IsFocus() && IsEnabled()) {
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeRect(Bounds());
	}
}

void
BPictureButton::MouseDown(BPoint /*where*/)
{
	if (!IsEnabled())
		return;
	fPressedFrom = Value();
	SetValue(fBehavior == B_TWO_STATE_BUTTON && fPressedFrom == B_CONTROL_ON ? B_CONTROL_OFF
																			 : B_CONTROL_ON);
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
}

void
BPictureButton::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!IsTracking())
		return;
	const int32 pressed = fBehavior == B_TWO_STATE_BUTTON && fPressedFrom == B_CONTROL_ON
		? B_CONTROL_OFF
		: B_CONTROL_ON;
	const int32 released = fBehavior == B_TWO_STATE_BUTTON ? fPressedFrom : B_CONTROL_OFF;
	SetValue(Bounds().Contains(where) ? pressed : released);
}

void
BPictureButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	if (!Bounds().Contains(where)) {
		SetValue(fBehavior == B_TWO_STATE_BUTTON ? fPressedFrom : B_CONTROL_OFF);
		return;
	}
	// A two-state button keeps the state it shows; a one-state button springs back after
	// its message is out.
	Invoke();
	if (fBehavior == B_ONE_STATE_BUTTON)
		SetValue(B_CONTROL_OFF);
}

void
BPictureButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes > 0 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled())
			_Press();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BPictureButton::_Press()
{
	if (fBehavior == B_TWO_STATE_BUTTON) {
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
		return;
	}
	SetValue(B_CONTROL_ON);
	Invoke();
	SetValue(B_CONTROL_OFF);
}

void
BPictureButton::SetEnabledOn(BPicture* picture)
{
	fEnabledOn = copy_of(picture);
	Invalidate();
}

void
BPictureButton::SetEnabledOff(BPicture* picture)
{
	fEnabledOff = copy_of(picture);
	Invalidate();
}

void
BPictureButton::SetDisabledOn(BPicture* picture)
{
	fDisabledOn = copy_of(picture);
	Invalidate();
}

void
BPictureButton::SetDisabledOff(BPicture* picture)
{
	fDisabledOff = copy_of(picture);
	Invalidate();
}

BPicture*
BPictureButton::EnabledOn() const
{
	return fEnabledOn.get();
}

BPicture*
BPictureButton::EnabledOff() const
{
	return fEnabledOff.get();
}

BPicture*
BPictureButton::DisabledOn() const
{
	return fDisabledOn.get();
}

BPicture*
BPictureButton::DisabledOff() const
{
	return fDisabledOff.get();
}

void
BPictureButton::SetBehavior(uint32 behavior)
{
	fBehavior = behavior;
}

uint32
BPictureButton::Behavior() const
{
	return fBehavior;
}

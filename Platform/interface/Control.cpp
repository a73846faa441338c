#include <Control.h>

#include <Message.h>
#include <Window.h>

#include <cmath>

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	BInvoker(message, NULL, NULL),
	fLabel(label != NULL ? label : ""),
	fValue(B_CONTROL_OFF),
	fEnabled(true),
	fTracking(false)
{
	SetFont(be_plain_font);
}

BControl::~BControl() { }

void
BControl::AttachedToWindow()
{
	// BeOS behaviour: a control takes its parent's colours and, without a target of its
	// own, sends to its window.
	rgb_color color = Parent() != NULL ? Parent()->ViewColor() : ui_color(B_PANEL_BACKGROUND_COLOR);
	if (color == B_TRANSPARENT_COLOR)
		color = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);
	if (!Messenger().IsValid() && Window() != NULL)
		SetTarget(Window());
	BView::AttachedToWindow();
}

void
BControl::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	Invalidate();
}

void
BControl::KeyDown(const char* bytes, int32 numBytes)
{
	BView::KeyDown(bytes, numBytes);
}

void
BControl::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	if (IsFocus())
		Invalidate();
}

void
BControl::SetLabel(const char* label)
{
	std::string text = label != NULL ? label : "";
	if (text == fLabel)
		return;
	fLabel = text;
	Invalidate();
}

const char*
BControl::Label() const
{
	return fLabel.c_str();
}

void
BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

int32
BControl::Value() const
{
	return fValue;
}

void
BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	// A disabled control leaves keyboard navigation, as on BeOS.
	if (fEnabled)
		SetFlags(Flags() | B_NAVIGABLE);
	else {
		if (IsFocus())
			MakeFocus(false);
		SetFlags(Flags() & ~B_NAVIGABLE);
	}
	Invalidate();
}

bool
BControl::IsEnabled() const
{
	return fEnabled;
}

void
BControl::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL)
		*width = StringWidth(fLabel.c_str()) + 4;
	if (height != NULL)
		*height = ceilf(fontHeight.ascent + fontHeight.descent) + 4;
}

status_t
BControl::Invoke(BMessage* message)
{
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("be:value", fValue);
	return BInvoker::Invoke(&copy);
}

bool
BControl::IsTracking() const
{
	return fTracking;
}

void
BControl::SetTracking(bool tracking)
{
	fTracking = tracking;
}

void
BControl::SetValueNoUpdate(int32 value)
{
	fValue = value;
}

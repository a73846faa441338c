#include <ScrollBar.h>

#include <Message.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

BScrollBar::BScrollBar(
	BRect frame, const char* name, BView* target, float min, float max, orientation direction) :
	BView(frame, name,
		direction == B_VERTICAL ? B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT
								: B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
		B_WILL_DRAW | B_FRAME_EVENTS),
	fTarget(target),
	fOrientation(direction),
	fMin(0),
	fMax(0),
	fValue(0),
	fSmallStep(1),
	fLargeStep(10),
	fProportion(0),
	fTracking(kNone),
	fKnobGrab(0)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetRange(min, max);
}

BScrollBar::~BScrollBar() { }

void
BScrollBar::SetValue(float value)
{
	value = std::clamp(roundf(value), fMin, fMax);
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	ValueChanged(value);
}

float
BScrollBar::Value() const
{
	return fValue;
}

void
BScrollBar::ValueChanged(float newValue)
{
	BView* target = Target();
	if (target == NULL)
		return;
	BPoint where = target->Bounds().LeftTop();
	if (fOrientation == B_VERTICAL)
		where.y = newValue;
	else
		where.x = newValue;
	if (where != target->Bounds().LeftTop())
		target->ScrollTo(where);
}

void
BScrollBar::SetProportion(float proportion)
{
	fProportion = std::clamp(proportion, 0.0f, 1.0f);
	Invalidate();
}

float
BScrollBar::Proportion() const
{
	return fProportion;
}

void
BScrollBar::SetRange(float min, float max)
{
	fMin = roundf(min);
	fMax = std::max(fMin, roundf(max));
	Invalidate();
	// A value outside the new range moves to its nearest end and scrolls the target.
	float clamped = std::clamp(fValue, fMin, fMax);
	if (clamped != fValue) {
		fValue = clamped;
		ValueChanged(fValue);
	}
}

void
BScrollBar::GetRange(float* min, float* max) const
{
	if (min != NULL)
		*min = fMin;
	if (max != NULL)
		*max = fMax;
}

void
BScrollBar::SetSteps(float smallStep, float largeStep)
{
	fSmallStep = roundf(smallStep);
	fLargeStep = roundf(largeStep);
}

void
BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
	if (smallStep != NULL)
		*smallStep = fSmallStep;
	if (largeStep != NULL)
		*largeStep = fLargeStep;
}

void
BScrollBar::SetTarget(BView* target)
{
	fTarget = target;
	fTargetName.clear();
}

void
BScrollBar::SetTarget(const char* targetName)
{
	fTarget = NULL;
	fTargetName = targetName != NULL ? targetName : "";
}

BView*
BScrollBar::Target() const
{
	if (fTarget == NULL && !fTargetName.empty() && Window() != NULL)
		return Window()->FindView(fTargetName.c_str());
	return fTarget;
}

orientation
BScrollBar::Orientation() const
{
	return fOrientation;
}

BScrollBar*
BScrollBar::Of(const BView* target, orientation direction)
{
	if (target == NULL || target->Parent() == NULL)
		return NULL;
	BView* parent = target->Parent();
	for (int32 index = 0; index < parent->CountChildren(); index++) {
		BScrollBar* bar = dynamic_cast<BScrollBar*>(parent->ChildAt(index));
		if (bar != NULL && bar->Target() == target && bar->Orientation() == direction)
			return bar;
	}
	return NULL;
}

float
BScrollBar::_Length() const
{
	BRect bounds = Bounds();
	return fOrientation == B_VERTICAL ? bounds.Height() + 1 : bounds.Width() + 1;
}

float
BScrollBar::_Along(BPoint where) const
{
	return fOrientation == B_VERTICAL ? where.y : where.x;
}

BRect
BScrollBar::_KnobFrame() const
{
	BRect bounds = Bounds();
	float thickness = fOrientation == B_VERTICAL ? bounds.Width() + 1 : bounds.Height() + 1;
	// The track lies between the two arrow buttons, each as long as the bar is thick.
	float track = std::max(0.0f, _Length() - 2 * thickness);
	float proportion = fProportion > 0 ? fProportion : 0.5f;
	float knob = std::max(std::min(track, thickness), floorf(track * proportion));
	float range = fMax - fMin;
	float offset = range > 0 ? floorf((track - knob) * (fValue - fMin) / range) : 0;
	if (fOrientation == B_VERTICAL) {
		return BRect(bounds.left, bounds.top + thickness + offset, bounds.right,
			bounds.top + thickness + offset + knob - 1);
	}
	return BRect(bounds.left + thickness + offset, bounds.top,
		bounds.left + thickness + offset + knob - 1, bounds.bottom);
}

BScrollBar::Part
BScrollBar::_PartAt(BPoint where) const
{
	BRect bounds = Bounds();
	float thickness = fOrientation == B_VERTICAL ? bounds.Width() + 1 : bounds.Height() + 1;
	float along = _Along(where);
	float start = fOrientation == B_VERTICAL ? bounds.top : bounds.left;
	if (along < start + thickness)
		return kDecrement;
	if (along >= start + _Length() - thickness)
		return kIncrement;
	BRect knob = _KnobFrame();
	float knobStart = fOrientation == B_VERTICAL ? knob.top : knob.left;
	float knobEnd = fOrientation == B_VERTICAL ? knob.bottom : knob.right;
	if (fMax <= fMin)
		return kNone;
	if (along < knobStart)
		return kPageUp;
	if (along > knobEnd)
		return kPageDown;
	return kKnob;
}

void
BScrollBar::Draw(BRect)
{
	BRect bounds = Bounds();
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color dark = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color shadow = tint_color(panel, B_DARKEN_4_TINT);
	SetHighColor(tint_color(panel, B_DARKEN_1_TINT));
	FillRect(bounds);

	float thickness = fOrientation == B_VERTICAL ? bounds.Width() + 1 : bounds.Height() + 1;
	BRect first = bounds;
	BRect second = bounds;
	if (fOrientation == B_VERTICAL) {
		first.bottom = first.top + thickness - 1;
		second.top = second.bottom - thickness + 1;
	} else {
		first.right = first.left + thickness - 1;
		second.left = second.right - thickness + 1;
	}
	bool enabled = fMax > fMin;
	for (int side = 0; side < 2; side++) {
		BRect button = side == 0 ? first : second;
		SetHighColor(panel);
		FillRect(button);
		SetHighColor(dark);
		StrokeRect(button);
		button.InsetBy(4, 4);
		SetHighColor(enabled ? shadow : dark);
		BPoint middle((button.left + button.right) / 2, (button.top + button.bottom) / 2);
		if (fOrientation == B_VERTICAL && side == 0)
			FillTriangle(BPoint(middle.x, button.top), button.LeftBottom(), button.RightBottom());
		else if (fOrientation == B_VERTICAL)
			FillTriangle(button.LeftTop(), button.RightTop(), BPoint(middle.x, button.bottom));
		else if (side == 0)
			FillTriangle(BPoint(button.left, middle.y), button.RightTop(), button.RightBottom());
		else
			FillTriangle(button.LeftTop(), button.LeftBottom(), BPoint(button.right, middle.y));
	}
	if (!enabled)
		return;
	BRect knob = _KnobFrame();
	SetHighColor(panel);
	FillRect(knob);
	SetHighColor(shadow);
	StrokeRect(knob);
}

void
BScrollBar::MouseDown(BPoint where)
{
	fTracking = _PartAt(where);
	switch (fTracking) {
		case kDecrement:
			SetValue(fValue - fSmallStep);
			break;
		case kIncrement:
			SetValue(fValue + fSmallStep);
			break;
		case kPageUp:
			SetValue(fValue - fLargeStep);
			break;
		case kPageDown:
			SetValue(fValue + fLargeStep);
			break;
		case kKnob: {
			BRect knob = _KnobFrame();
			fKnobGrab = _Along(where) - (fOrientation == B_VERTICAL ? knob.top : knob.left);
			SetMouseEventMask(B_POINTER_EVENTS);
			break;
		}
		case kNone:
			break;
	}
}

void
BScrollBar::MouseUp(BPoint)
{
	fTracking = kNone;
}

void
BScrollBar::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (fTracking != kKnob)
		return;
	BRect bounds = Bounds();
	float thickness = fOrientation == B_VERTICAL ? bounds.Width() + 1 : bounds.Height() + 1;
	BRect knob = _KnobFrame();
	float knobLength = fOrientation == B_VERTICAL ? knob.Height() + 1 : knob.Width() + 1;
	float track = _Length() - 2 * thickness - knobLength;
	if (track <= 0)
		return;
	float start = fOrientation == B_VERTICAL ? bounds.top : bounds.left;
	float offset = _Along(where) - fKnobGrab - start - thickness;
	SetValue(fMin + (fMax - fMin) * offset / track);
}

// BScrollBar: a bar with arrows at both ends and a knob that scrolls its target view.
// The value is the target's scroll offset along the bar's orientation: changing it (by
// the user or by SetValue) calls ValueChanged(), which scrolls the target.
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include <View.h>

#define B_V_SCROLL_BAR_WIDTH 14.0f
#define B_H_SCROLL_BAR_HEIGHT 14.0f

class BScrollBar : public BView {
public:
	BScrollBar(
		BRect frame, const char* name, BView* target, float min, float max, orientation direction);
	virtual ~BScrollBar();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);

	// The value is kept inside the range and rounded to whole pixels.
	void SetValue(float value);
	float Value() const;
	// Scrolls the target to the value; called only when the value changed.
	virtual void ValueChanged(float newValue);

	// How much of the target shows, from 0 to 1: the knob's share of the track.
	void SetProportion(float proportion);
	float Proportion() const;

	// A range whose maximum is below its minimum becomes empty at the minimum.
	void SetRange(float min, float max);
	void GetRange(float* min, float* max) const;
	// The arrows move by the small step, clicks on the track by the big one.
	void SetSteps(float smallStep, float largeStep);
	void GetSteps(float* smallStep, float* largeStep) const;

	void SetTarget(BView* target);
	void SetTarget(const char* targetName);
	BView* Target() const;
	orientation Orientation() const;

	// The bar of direction that scrolls target among target's siblings, NULL when none.
	static BScrollBar* Of(const BView* target, orientation direction);

private:
	enum Part { kNone, kDecrement, kIncrement, kPageDown, kPageUp, kKnob };

	float _Length() const;
	BRect _KnobFrame() const;
	Part _PartAt(BPoint where) const;
	float _Along(BPoint where) const;

	BView* fTarget;
	std::string fTargetName;
	orientation fOrientation;
	float fMin;
	float fMax;
	float fValue;
	float fSmallStep;
	float fLargeStep;
	float fProportion;
	Part fTracking;
	float fKnobGrab;
};

#endif // _SCROLL_BAR_H

// The text of a tip: pale yellow, small, neither editable nor selectable. Its first pulse
// after the tip came up ends the tip.
#ifndef LIB_TIP_STRING_H
#define LIB_TIP_STRING_H

#include <TextView.h>

class LibTipString : public BTextView {
public:
	// The view "text_view", following all sides; the text rectangle is the bounds inset by 1,
	// with the right edge one further in.
	LibTipString(BRect frame);
	virtual ~LibTipString();

	// Hides the tip window.
	virtual void Pulse();
	// Keeps the text rectangle's margins from the view's edges.
	virtual void FrameResized(float width, float height);
};

#endif // LIB_TIP_STRING_H

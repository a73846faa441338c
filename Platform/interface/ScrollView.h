// BScrollView: a frame around a target view with scroll bars along its right and bottom
// edges. The scroll view takes the target's place: its frame is the target's frame grown
// by the border and the bars, and the target moves inside it.
#ifndef _SCROLL_VIEW_H
#define _SCROLL_VIEW_H

#include <ScrollBar.h>
#include <View.h>

class BScrollView : public BView {
public:
	// Takes ownership of the target, which must not have a parent yet.
	BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = 0, bool horizontal = false, bool vertical = false,
		border_style border = B_FANCY_BORDER);
	virtual ~BScrollView();

	virtual void Draw(BRect updateRect);
	virtual void AllAttached();

	BScrollBar* ScrollBar(orientation direction) const;
	BView* Target() const;
	void SetTarget(BView* target);

	virtual void SetBorder(border_style border);
	border_style Border() const;
	// A highlighted fancy border marks the target as the focus.
	virtual status_t SetBorderHighlighted(bool highlighted);
	bool IsBorderHighlighted() const;

private:
	static float _BorderSize(border_style border);
	static BRect _ComputeFrame(
		BRect targetFrame, bool horizontal, bool vertical, border_style border);

	BView* fTarget;
	BScrollBar* fHorizontal;
	BScrollBar* fVertical;
	border_style fBorder;
	bool fHighlighted;
};

#endif // _SCROLL_VIEW_H

// BBox: a frame around a group of views, with an optional label (a text or a view) set
// into its top edge. The border is plain (one line), fancy (etched) or absent.
#ifndef _BOX_H
#define _BOX_H

#include <View.h>

#include <string>

class BBox : public BView {
public:
	BBox(BRect frame, const char* name = NULL, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
		border_style border = B_FANCY_BORDER);
	virtual ~BBox();

	virtual void SetBorder(border_style border);
	border_style Border() const;

	// A text label (drawn in the bold system font) or a view put into the top edge (the
	// box takes ownership of it); setting one removes the other.
	void SetLabel(const char* label);
	status_t SetLabel(BView* viewLabel);
	const char* Label() const;
	BView* LabelView() const;

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();
	virtual void FrameResized(float width, float height);

private:
	// The top of the border: the middle of the label, or the top of the box.
	float _BorderTop() const;

	border_style fBorder;
	std::string fLabel;
	bool fHasLabel;
	BView* fLabelView;
};

#endif // _BOX_H

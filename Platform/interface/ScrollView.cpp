#include <ScrollView.h>

#include <Window.h>

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
	bool horizontal, bool vertical, border_style border) :
	BView(_ComputeFrame(
			  target != NULL ? target->Frame() : BRect(0, 0, 0, 0), horizontal, vertical, border),
		name, resizingMode, flags | B_WILL_DRAW | B_FRAME_EVENTS),
	fTarget(target),
	fHorizontal(NULL),
	fVertical(NULL),
	fBorder(border),
	fHighlighted(false)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	float inset = _BorderSize(border);
	BRect bounds = Bounds();
	if (fTarget != NULL) {
		fTarget->MoveTo(inset, inset);
		AddChild(fTarget);
	}
	if (vertical) {
		BRect frame(bounds.right - inset - B_V_SCROLL_BAR_WIDTH + 1, bounds.top + inset,
			bounds.right - inset, bounds.bottom - inset);
		if (horizontal)
			frame.bottom -= B_H_SCROLL_BAR_HEIGHT;
		fVertical = new BScrollBar(frame, "_VSB_", fTarget, 0, 0, B_VERTICAL);
		AddChild(fVertical);
	}
	if (horizontal) {
		BRect frame(bounds.left + inset, bounds.bottom - inset - B_H_SCROLL_BAR_HEIGHT + 1,
			bounds.right - inset, bounds.bottom - inset);
		if (vertical)
			frame.right -= B_V_SCROLL_BAR_WIDTH;
		fHorizontal = new BScrollBar(frame, "_HSB_", fTarget, 0, 0, B_HORIZONTAL);
		AddChild(fHorizontal);
	}
}

BScrollView::~BScrollView() { }

float
BScrollView::_BorderSize(border_style border)
{
	switch (border) {
		case B_FANCY_BORDER:
			return 2;
		case B_PLAIN_BORDER:
			return 1;
		case B_NO_BORDER:
			return 0;
	}
	return 0;
}

BRect
BScrollView::_ComputeFrame(BRect frame, bool horizontal, bool vertical, border_style border)
{
	float inset = _BorderSize(border);
	frame.InsetBy(-inset, -inset);
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	return frame;
}

void
BScrollView::AllAttached()
{
	BView::AllAttached();
	// The target may have sized its bars before they knew it; a resize tells it again.
	if (fTarget != NULL)
		fTarget->FrameResized(fTarget->Bounds().Width(), fTarget->Bounds().Height());
}

void
BScrollView::Draw(BRect)
{
	BRect bounds = Bounds();
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(tint_color(panel, B_DARKEN_2_TINT));
		StrokeRect(bounds);
	} else if (fBorder == B_FANCY_BORDER) {
		// The outer edge is lit from the top left, the inner one is the focus mark.
		BeginLineArray(4);
		rgb_color shadow = tint_color(panel, B_DARKEN_1_TINT);
		rgb_color light = tint_color(panel, B_LIGHTEN_MAX_TINT);
		AddLine(bounds.LeftTop(), bounds.RightTop(), shadow);
		AddLine(bounds.LeftTop(), bounds.LeftBottom(), shadow);
		AddLine(bounds.LeftBottom(), bounds.RightBottom(), light);
		AddLine(bounds.RightTop(), bounds.RightBottom(), light);
		EndLineArray();
		bounds.InsetBy(1, 1);
		SetHighColor(
			fHighlighted ? keyboard_navigation_color() : tint_color(panel, B_DARKEN_3_TINT));
		StrokeRect(bounds);
	}
	// The square between two bars.
	if (fHorizontal != NULL && fVertical != NULL) {
		BRect corner(fVertical->Frame().left, fHorizontal->Frame().top, fVertical->Frame().right,
			fHorizontal->Frame().bottom);
		SetHighColor(panel);
		FillRect(corner);
	}
}

BScrollBar*
BScrollView::ScrollBar(orientation direction) const
{
	return direction == B_VERTICAL ? fVertical : fHorizontal;
}

BView*
BScrollView::Target() const
{
	return fTarget;
}

void
BScrollView::SetTarget(BView* target)
{
	fTarget = target;
	if (fVertical != NULL)
		fVertical->SetTarget(target);
	if (fHorizontal != NULL)
		fHorizontal->SetTarget(target);
}

void
BScrollView::SetBorder(border_style border)
{
	// The frame and the children stay where they are; only the drawn edge changes.
	fBorder = border;
	if (border != B_FANCY_BORDER)
		fHighlighted = false;
	Invalidate();
}

border_style
BScrollView::Border() const
{
	return fBorder;
}

status_t
BScrollView::SetBorderHighlighted(bool highlighted)
{
	if (fBorder != B_FANCY_BORDER)
		return B_ERROR;
	fHighlighted = highlighted;
	Invalidate();
	return B_OK;
}

bool
BScrollView::IsBorderHighlighted() const
{
	return fHighlighted;
}

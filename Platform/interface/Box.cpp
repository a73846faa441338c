#include <Box.h>

#include <Window.h>

#include <cmath>

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border) :
	BView(frame, name, resizingMode, flags | B_WILL_DRAW | B_FRAME_EVENTS),
	fBorder(border),
	fHasLabel(false),
	fLabelView(NULL)
{
	SetFont(be_bold_font);
}

BBox::~BBox() { }

void
BBox::SetBorder(border_style border)
{
	fBorder = border;
	Invalidate();
}

border_style
BBox::Border() const
{
	return fBorder;
}

void
BBox::SetLabel(const char* label)
{
	if (fLabelView != NULL) {
		RemoveChild(fLabelView);
		delete fLabelView;
		fLabelView = NULL;
	}
	fHasLabel = label != NULL;
	fLabel = label != NULL ? label : "";
	Invalidate();
}

status_t
BBox::SetLabel(BView* viewLabel)
{
	SetLabel((const char*)NULL);
	if (viewLabel == NULL)
		return B_OK;
	fLabelView = viewLabel;
	fLabelView->MoveTo(10, 0);
	AddChild(fLabelView);
	Invalidate();
	return B_OK;
}

const char*
BBox::Label() const
{
	return fHasLabel ? fLabel.c_str() : NULL;
}

BView*
BBox::LabelView() const
{
	return fLabelView;
}

void
BBox::AttachedToWindow()
{
	// BeOS behaviour: a box takes its parent's colour.
	rgb_color color = Parent() != NULL ? Parent()->ViewColor() : ui_color(B_PANEL_BACKGROUND_COLOR);
	if (color == B_TRANSPARENT_COLOR)
		color = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);
	BView::AttachedToWindow();
}

void
BBox::FrameResized(float, float)
{
	Invalidate();
}

float
BBox::_BorderTop() const
{
	if (fLabelView != NULL)
		return floorf(fLabelView->Frame().Height() / 2);
	if (!fHasLabel)
		return 0;
	font_height height;
	GetFontHeight(&height);
	return floorf((ceilf(height.ascent) + ceilf(height.descent)) / 2);
}

void
BBox::Draw(BRect)
{
	BRect bounds = Bounds();
	BRect frame(bounds.left, bounds.top + _BorderTop(), bounds.right, bounds.bottom);
	rgb_color base = ViewColor();
	rgb_color shadow = tint_color(base, B_DARKEN_2_TINT);
	rgb_color light = tint_color(base, B_LIGHTEN_MAX_TINT);

	PushState();
	SetDrawingMode(B_OP_COPY);
	switch (fBorder) {
		case B_FANCY_BORDER:
			// Etched: a shadow line with a light line inside and below it.
			SetHighColor(shadow);
			StrokeRect(BRect(frame.left, frame.top, frame.right - 1, frame.bottom - 1));
			SetHighColor(light);
			StrokeLine(
				BPoint(frame.left + 1, frame.top + 1), BPoint(frame.right - 2, frame.top + 1));
			StrokeLine(
				BPoint(frame.left + 1, frame.top + 2), BPoint(frame.left + 1, frame.bottom - 2));
			StrokeLine(BPoint(frame.left, frame.bottom), BPoint(frame.right, frame.bottom));
			StrokeLine(BPoint(frame.right, frame.top), BPoint(frame.right, frame.bottom));
			break;
		case B_PLAIN_BORDER:
			SetHighColor(light);
			StrokeLine(frame.LeftTop(), frame.RightTop());
			StrokeLine(frame.LeftTop(), frame.LeftBottom());
			SetHighColor(shadow);
			StrokeLine(frame.LeftBottom(), frame.RightBottom());
			StrokeLine(frame.RightTop(), frame.RightBottom());
			break;
		case B_NO_BORDER:
			break;
	}

	if (fHasLabel && !fLabel.empty()) {
		font_height height;
		GetFontHeight(&height);
		float width = StringWidth(fLabel.c_str());
		// The label sits in a gap of the top edge, on the box's own colour.
		SetHighColor(base);
		FillRect(BRect(6, bounds.top, 6 + width + 7,
			bounds.top + ceilf(height.ascent) + ceilf(height.descent)));
		SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
		SetDrawingMode(B_OP_OVER);
		DrawString(fLabel.c_str(), BPoint(10, bounds.top + ceilf(height.ascent)));
	}
	PopState();
}

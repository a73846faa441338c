#include <StringView.h>

#include <cmath>

BStringView::BStringView(
	BRect frame, const char* name, const char* text, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	fText(text != NULL ? text : ""),
	fAlignment(B_ALIGN_LEFT)
{
	SetFont(be_plain_font);
}

BStringView::~BStringView() { }

void
BStringView::SetText(const char* text)
{
	std::string newText = text != NULL ? text : "";
	if (newText == fText)
		return;
	fText = newText;
	Invalidate();
}

const char*
BStringView::Text() const
{
	return fText.c_str();
}

void
BStringView::SetAlignment(alignment flag)
{
	fAlignment = flag;
	Invalidate();
}

alignment
BStringView::Alignment() const
{
	return fAlignment;
}

void
BStringView::AttachedToWindow()
{
	// BeOS behaviour: the text sits on its parent's colour.
	if (Parent() != NULL && Parent()->ViewColor() != B_TRANSPARENT_COLOR) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	BView::AttachedToWindow();
}

void
BStringView::Draw(BRect)
{
	if (fText.empty())
		return;
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(fText.c_str());
	float x = bounds.left;
	if (fAlignment == B_ALIGN_CENTER)
		x = bounds.left + floorf((bounds.Width() - width) / 2);
	else if (fAlignment == B_ALIGN_RIGHT)
		x = bounds.right - width;
	// The line is centred vertically in the view.
	float y =
		floorf((bounds.top + bounds.bottom - ceilf(height.ascent) - ceilf(height.descent)) / 2)
		+ ceilf(height.ascent);
	DrawString(fText.c_str(), BPoint(x, y));
}

void
BStringView::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL)
		*width = ceilf(StringWidth(fText.c_str()));
	if (height != NULL)
		*height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading);
}

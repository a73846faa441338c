#include <StringItem.h>

#include <Font.h>
#include <View.h>

#include <algorithm>
#include <cmath>

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded) :
	BListItem(outlineLevel, expanded),
	fText(text != NULL ? text : ""),
	fBaselineOffset(0)
{
}

BStringItem::~BStringItem() { }

void
BStringItem::DrawItem(BView* owner, BRect frame, bool complete)
{
	rgb_color background = owner->ViewColor();
	rgb_color text = ui_color(B_DOCUMENT_TEXT_COLOR);
	if (IsSelected()) {
		background = tint_color(background, B_HIGHLIGHT_BACKGROUND_TINT);
		owner->SetHighColor(background);
		owner->FillRect(frame);
	} else if (complete) {
		owner->SetHighColor(background);
		owner->FillRect(frame);
	}
	if (!IsEnabled())
		text = tint_color(background, B_DISABLED_LABEL_TINT);
	owner->SetLowColor(background);
	owner->SetHighColor(text);
	owner->MovePenTo(frame.left + 4, frame.top + fBaselineOffset);
	owner->DrawString(fText.c_str());
}

void
BStringItem::Update(BView* owner, const BFont* font)
{
	BListItem::Update(owner, font);
	font_height height;
	font->GetHeight(&height);
	fBaselineOffset = 1 + ceilf(height.ascent + height.leading / 2);
	SetWidth(std::max(Width(), font->StringWidth(fText.c_str()) + 8));
}

void
BStringItem::SetText(const char* text)
{
	fText = text != NULL ? text : "";
}

const char*
BStringItem::Text() const
{
	return fText.c_str();
}

float
BStringItem::BaselineOffset() const
{
	return fBaselineOffset;
}

#include "LibStringView.h"

#include <Font.h>

#include <string>

LibStringView::LibStringView(BRect frame, const char* name, const char* text) :
	BStringView(frame, name, text, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
{
}

LibStringView::~LibStringView() { }

void
LibStringView::SetTruncatedText(const char* text, const uint32& mode)
{
	std::string shown = text != NULL ? text : "";
	BFont font;
	GetFont(&font);
	font.TruncateString(&shown, mode, Bounds().Width());
	SetText(shown.c_str());
}

void
LibStringView::Show()
{
	// Only the view's own state counts: a view in a hidden window is not hidden itself.
	if (IsHidden(this))
		BStringView::Show();
}

void
LibStringView::Hide()
{
	if (!IsHidden(this))
		BStringView::Hide();
}

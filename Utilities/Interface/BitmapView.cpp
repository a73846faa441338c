#include "BitmapView.h"

#include "LibBitmap.h"

#include <InterfaceDefs.h>
#include <Mime.h>

namespace {

const float kIconSide = (float)B_LARGE_ICON;

} // namespace

BitmapView::BitmapView(BPoint where, const char* name, const char* path) :
	BView(BRect(where.x, where.y, where.x + kIconSide - 1, where.y + kIconSide - 1), name,
		B_FOLLOW_LEFT, B_WILL_DRAW),
	fIcon(std::make_unique<LibBitmap>(BRect(0, 0, kIconSide - 1, kIconSide - 1), B_CMAP8))
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	if (fIcon->SetTo(path, B_LARGE_ICON) != B_OK)
		fIcon.reset();
}

BitmapView::~BitmapView() { }

void
BitmapView::Draw(BRect)
{
	if (fIcon == nullptr)
		return;
	// The icon's transparent pixels leave the panel colour showing.
	SetDrawingMode(B_OP_OVER);
	DrawBitmap(fIcon.get(), BPoint(0, 0));
	SetDrawingMode(B_OP_COPY);
}

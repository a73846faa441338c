#include "BackgroundView.h"

#include <Font.h>
#include <InterfaceDefs.h>

const char* const kInstallerBanner = "Quillfield: Brimlow v1.2.0";
const char* const kDeinstallerBanner = "Quillfield: Tarnwick v1.2.0";

namespace {

const float kBannerSize = 10;
const float kBottomGap = 45;
const float kTopGap = 8;

} // namespace

BackgroundView::BackgroundView(BRect frame, const char* banner, BannerPlacement placement) :
	BView(frame, "bgview", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
	fBanner(banner != NULL ? banner : ""),
	fPlacement(placement)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BackgroundView::~BackgroundView() { }

BPoint
BackgroundView::BannerOrigin() const
{
	// The view fills its window from the corner, so its bounds are its frame.
	const BRect bounds = Bounds();
	if (fPlacement == BANNER_FROM_TOP) {
		BFont font;
		GetFont(&font);
		font.SetSize(kBannerSize);
		return BPoint(bounds.right - 1, bounds.top + font.StringWidth(fBanner) + kTopGap);
	}
	return BPoint(bounds.right - 1, bounds.bottom - kBottomGap);
}

void
BackgroundView::Draw(BRect updateRect)
{
	BFont font;
	GetFont(&font);
	font.SetRotation(90);
	font.SetSize(kBannerSize);
	SetFont(&font, B_FONT_SIZE | B_FONT_ROTATION);
	DrawString(fBanner, BannerOrigin());
	BView::Draw(updateRect);
}

// The background of the installer's and the deinstaller's windows: the panel colour and the
// product banner written upwards near the right edge.
#ifndef BACKGROUND_VIEW_H
#define BACKGROUND_VIEW_H

#include "LibString.h"

#include <View.h>

// The two programs' banners.
extern const char* const kInstallerBanner;
extern const char* const kDeinstallerBanner;

class BackgroundView : public BView {
public:
	// Where the banner's baseline starts at the right edge: 45 above the bottom (the
	// installer), or so far below the top that the text ends 8 below it (the deinstaller).
	enum BannerPlacement { BANNER_FROM_BOTTOM = 0, BANNER_FROM_TOP };

	// A view named "bgview" following all sides of its parent.
	BackgroundView(BRect frame, const char* banner = kInstallerBanner,
		BannerPlacement placement = BANNER_FROM_BOTTOM);
	virtual ~BackgroundView();

	virtual void Draw(BRect updateRect);

	const char* Banner() const { return fBanner; }

	// The start of the banner's baseline, in the view's coordinates, with its font.
	BPoint BannerOrigin() const;

private:
	LibString fBanner;
	BannerPlacement fPlacement;
};

#endif // BACKGROUND_VIEW_H

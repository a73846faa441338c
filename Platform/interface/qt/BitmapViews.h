// The views of a bitmap that accepts views, the lock that guards them, and the Qt image
// over the bitmap's pixels that they draw into.
#ifndef _BITMAP_VIEWS_H
#define _BITMAP_VIEWS_H

#include <BitmapViewsBase.h>
#include <Locker.h>
#include <Point.h>

#include <QImage>

#include <vector>

class BBitmap;
class BView;

namespace BPrivate {

class BitmapViews : public BitmapViewsBase {
public:
	explicit BitmapViews(BBitmap* bitmap);
	// Deletes the views.
	~BitmapViews() override;

	static BitmapViews* Of(const BBitmap* bitmap);

	// A view of the bitmap is being deleted: it leaves the bitmap first.
	void Forget(BView* view);

	// The image the views draw into: the bitmap's own pixels for 32-bit bitmaps, a copy
	// written back by EndDrawing() for the others. NULL when the bitmap cannot be drawn
	// into.
	QImage* BeginDrawing();
	void EndDrawing();

	// The bitmap coordinate of the image's first pixel.
	BPoint Origin() const;

	std::vector<BView*> fViews;
	BLocker fLock;

private:
	BBitmap* fBitmap;
	QImage fImage;
	bool fCopy;
};

} // namespace BPrivate

#endif // _BITMAP_VIEWS_H

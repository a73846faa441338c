// The icon of an entry, 32 × 32, as the replace dialog shows it beside each item's details.
#ifndef BITMAP_VIEW_H
#define BITMAP_VIEW_H

#include <View.h>

#include <memory>

class LibBitmap;

class BitmapView : public BView {
public:
	// A 32 × 32 view at where, pinned to the left, showing the large icon of the entry at
	// path (a link shows its own icon) over the panel colour. An entry without an icon, or
	// no entry at all, leaves the view empty.
	BitmapView(BPoint where, const char* name, const char* path);
	virtual ~BitmapView();

	virtual void Draw(BRect updateRect);

	const LibBitmap* Icon() const { return fIcon.get(); }

private:
	std::unique_ptr<LibBitmap> fIcon;
};

#endif // BITMAP_VIEW_H

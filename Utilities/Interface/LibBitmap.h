// Bitmaps made from raw bits, from archives, or from the icon the file manager shows for an
// entry; and the nearest colour of the system palette.
#ifndef LIB_BITMAP_H
#define LIB_BITMAP_H

#include <Bitmap.h>
#include <GraphicsDefs.h>
#include <Mime.h>

class BEntry;
class BMessage;
class BNode;

class LibBitmap : public BBitmap {
public:
	// An empty bitmap.
	LibBitmap(
		BRect bounds, color_space space, bool acceptsViews = false, bool needsContiguous = false);
	// A bitmap filled from bits: ((width + 3) / 4 × 4) × (height + 1) bytes are copied, width
	// and height being the rectangle's right − left and bottom − top truncated, which is how
	// the programs' built-in 8-bit icon data is laid out. Never more than the bitmap holds.
	LibBitmap(BRect bounds, const void* bits, color_space space, bool acceptsViews = false,
		bool needsContiguous = false);
	// From an archive (Archive() writes the class name "LibBitmap").
	LibBitmap(BMessage* archive);
	virtual ~LibBitmap();

	// Fills the bitmap with the entry's icon as the file manager shows it (its own icon, a
	// program's icon, or the picture of its kind); a link shows the link's icon, not its
	// target's. The bitmap must be size × size pixels (B_MINI_ICON 16, B_LARGE_ICON 32); the
	// icon is converted when the bitmap is not 8-bit colour-mapped.
	status_t SetTo(BNode& node, icon_size size);
	status_t SetTo(const BEntry& entry, icon_size size);
	status_t SetTo(const char* path, icon_size size);

	// A new copy scaled to width × height pixels (the caller owns it), nearest pixel; null
	// when either size is below 1 or this bitmap is not valid.
	LibBitmap* Thumbnail(int32 width, int32 height) const;
};

// The colour of the system palette that the main screen's index for the colour refers to.
rgb_color lib_nearest_system_color(const rgb_color& color);
rgb_color lib_nearest_system_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);

#endif // LIB_BITMAP_H

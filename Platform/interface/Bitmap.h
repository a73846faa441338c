// BBitmap, its data half: a rectangle of pixels in one colour space, held in memory, that
// can be archived into a message and rebuilt from one. Drawing a bitmap and drawing into it
// belong to the interface backend.
#ifndef _BITMAP_H
#define _BITMAP_H

#include <GraphicsDefs.h>
#include <Rect.h>

#include <memory>

class BMessage;
class BView;

namespace BPrivate {
class BitmapViews;
class BitmapViewsBase;
} // namespace BPrivate

enum {
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
	B_BITMAP_IS_AREA = 0x00000004,
	B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
	B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
	B_BITMAP_IS_OFFSCREEN = 0x00000020,
	B_BITMAP_WILL_OVERLAY = 0x00000040 | B_BITMAP_IS_OFFSCREEN,
	B_BITMAP_RESERVE_OVERLAY_CHANNEL = 0x00000080
};

#define B_ANY_BYTES_PER_ROW -1

class BBitmap {
public:
	// The pixels are width = IntegerWidth() + 1 by height = IntegerHeight() + 1, rows padded
	// to a multiple of four bytes. New bits are zero (B_BITMAP_CLEAR_TO_WHITE: white).
	BBitmap(
		BRect bounds, color_space space, bool acceptsViews = false, bool needsContiguous = false);
	// bytesPerRow B_ANY_BYTES_PER_ROW picks the smallest padded row; a larger value is kept,
	// a smaller one fails.
	BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow = B_ANY_BYTES_PER_ROW);
	// Rebuilds an archived bitmap. InitCheck() fails when a field is missing or malformed
	// or when "_data" holds fewer bytes than the rows need.
	BBitmap(BMessage* archive);
	virtual ~BBitmap();

	BBitmap(const BBitmap&) = delete;
	BBitmap& operator=(const BBitmap&) = delete;

	// A new bitmap from the archive (the caller owns it), or null when it cannot be built.
	static BBitmap* Instantiate(BMessage* archive);
	// Adds "class", "_frame", "_cspace", "_bmflags", "_rowbytes" and "_data".
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	status_t InitCheck() const;
	bool IsValid() const;

	BRect Bounds() const;
	color_space ColorSpace() const;
	uint32 Flags() const;
	void* Bits() const;
	int32 BitsLength() const;
	int32 BytesPerRow() const;

	// Copies length bytes of data in the given colour space into the bits, starting offset
	// bytes in. Data in the bitmap's own colour space is copied as it is. Data in another
	// colour space is converted pixel by pixel (B_CMAP8 through the system palette, nearest
	// colour towards it); its rows are padded as a bitmap of that space would be, except
	// that B_CMAP8 rows converted into another space are taken unpadded. Pairs without a
	// conversion copy nothing.
	void SetBits(const void* data, int32 length, int32 offset, color_space space);

	// The smallest row of width pixels in the colour space, padded to four bytes; -1 for a
	// colour space that bitmaps cannot hold.
	static int32 RowBytesFor(color_space space, int32 width);

	// Views that draw into the bitmap, for a bitmap made with B_BITMAP_ACCEPTS_VIEWS. The
	// bitmap owns them; their drawing lands in the bits. These belong to the interface
	// backend (PlatformInterface), as does Lock(), which guards the views.
	void AddChild(BView* view);
	bool RemoveChild(BView* view);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* viewName) const;
	BView* FindView(BPoint point) const;
	bool Lock();
	void Unlock();
	bool IsLocked() const;

private:
	friend class BPrivate::BitmapViews;

	void _Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow);
	void _InitFromArchive(const BMessage& archive);
	void _ClearToWhite();

	BRect fBounds;
	color_space fColorSpace;
	uint32 fFlags;
	int32 fBytesPerRow;
	int32 fBitsLength;
	std::unique_ptr<uint8[]> fBits;
	status_t fInitStatus;
	// Made by the interface backend when views are added; deleting it deletes them.
	std::unique_ptr<BPrivate::BitmapViewsBase> fViews;
};

#endif // _BITMAP_H

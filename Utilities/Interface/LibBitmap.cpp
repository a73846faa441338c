#include "LibBitmap.h"

#include <Entry.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Screen.h>

#include <algorithm>
#include <cstring>

LibBitmap::LibBitmap(BRect bounds, color_space space, bool acceptsViews, bool needsContiguous) :
	BBitmap(bounds, space, acceptsViews, needsContiguous)
{
}

LibBitmap::LibBitmap(
	BRect bounds, const void* bits, color_space space, bool acceptsViews, bool needsContiguous) :
	BBitmap(bounds, space, acceptsViews, needsContiguous)
{
	if (bits == NULL || InitCheck() != B_OK)
		return;
	int32 width = (int32)(bounds.right - bounds.left);
	int32 height = (int32)(bounds.bottom - bounds.top);
	int32 length = ((width + 3) / 4 * 4) * (height + 1);
	SetBits(bits, std::min(length, BitsLength()), 0, space);
}

LibBitmap::LibBitmap(BMessage* archive) :
	BBitmap(archive)
{
}

LibBitmap::~LibBitmap() { }

status_t
LibBitmap::SetTo(BNode& node, icon_size size)
{
	BNodeInfo info(&node);
	status_t status = info.InitCheck();
	if (status != B_OK)
		return status;
	return info.GetTrackerIcon(this, size);
}

status_t
LibBitmap::SetTo(const BEntry& entry, icon_size size)
{
	// The node of the entry itself: a link is shown as a link.
	BNode node(&entry);
	status_t status = node.InitCheck();
	if (status != B_OK)
		return status;
	return SetTo(node, size);
}

status_t
LibBitmap::SetTo(const char* path, icon_size size)
{
	if (path == NULL)
		return B_BAD_VALUE;
	BEntry entry(path, false);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return status;
	if (!entry.Exists())
		return B_ENTRY_NOT_FOUND;
	return SetTo(entry, size);
}

LibBitmap*
LibBitmap::Thumbnail(int32 width, int32 height) const
{
	if (width < 1 || height < 1 || InitCheck() != B_OK)
		return NULL;
	LibBitmap* thumbnail = new LibBitmap(BRect(0, 0, width - 1, height - 1), ColorSpace());
	if (thumbnail->InitCheck() != B_OK) {
		delete thumbnail;
		return NULL;
	}
	// 32 pixels fill whole bytes in every colour space, so this gives the bits of one pixel.
	const int32 bitsPerPixel = RowBytesFor(ColorSpace(), 32) * 8 / 32;
	const int32 sourceWidth = Bounds().IntegerWidth() + 1;
	const int32 sourceHeight = Bounds().IntegerHeight() + 1;
	const uint8* source = static_cast<const uint8*>(Bits());
	uint8* target = static_cast<uint8*>(thumbnail->Bits());
	for (int32 y = 0; y < height; y++) {
		const uint8* sourceRow = source + (int64)(y * sourceHeight / height) * BytesPerRow();
		uint8* targetRow = target + (int64)y * thumbnail->BytesPerRow();
		for (int32 x = 0; x < width; x++) {
			int32 sourceX = (int32)((int64)x * sourceWidth / width);
			if (bitsPerPixel >= 8) {
				int32 bytes = bitsPerPixel / 8;
				memcpy(targetRow + x * bytes, sourceRow + sourceX * bytes, bytes);
				continue;
			}
			// One bit per pixel, the leftmost pixel in the high bit.
			bool set = (sourceRow[sourceX / 8] & (0x80 >> (sourceX % 8))) != 0;
			if (set)
				targetRow[x / 8] |= (uint8)(0x80 >> (x % 8));
			else
				targetRow[x / 8] &= (uint8) ~(0x80 >> (x % 8));
		}
	}
	return thumbnail;
}

rgb_color
lib_nearest_system_color(const rgb_color& color)
{
	BScreen screen(B_MAIN_SCREEN_ID);
	return screen.ColorForIndex(screen.IndexForColor(color));
}

rgb_color
lib_nearest_system_color(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	BScreen screen(B_MAIN_SCREEN_ID);
	return screen.ColorForIndex(screen.IndexForColor(red, green, blue, alpha));
}

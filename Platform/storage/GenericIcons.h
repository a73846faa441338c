// Entry icons: the pictures the file manager shows for entries that carry no icon of their
// own (one per kind of entry, 32×32 and 16×16), and the conversion between the stored
// icon form (size × size palette indexes, rows unpadded, 255 transparent) and bitmaps.
#ifndef _GENERIC_ICONS_H
#define _GENERIC_ICONS_H

#include <Mime.h>
#include <SupportDefs.h>

#include <vector>

class BBitmap;

namespace BPrivate {

enum generic_icon_kind {
	B_GENERIC_FOLDER_ICON,
	B_GENERIC_APPLICATION_ICON,
	B_GENERIC_LINK_ICON,
	B_GENERIC_DOCUMENT_ICON,
	B_GENERIC_VOLUME_ICON
};

// Fills bits (size × size bytes, rows unpadded) with the kind's picture.
status_t get_generic_icon(generic_icon_kind kind, icon_size size, uint8* bits);

// Fills icon, which must be size × size pixels (any colour space), from stored icon bits.
// B_BAD_VALUE for a bitmap of another size, B_BAD_DATA for bits of the wrong length.
status_t icon_to_bitmap(const void* bits, size_t length, icon_size size, BBitmap* icon);

// The stored form of a size × size B_CMAP8 bitmap; B_BAD_VALUE for any other bitmap.
status_t bitmap_to_icon(const BBitmap* icon, icon_size size, std::vector<uint8>* bits);

// The attribute and resource that hold an entry's or a program's own icon of a size:
// "BEOS:L:STD_ICON" 'ICON' or "BEOS:M:STD_ICON" 'MICN'.
const char* icon_name(icon_size size);
type_code icon_type(icon_size size);

} // namespace BPrivate

#endif // _GENERIC_ICONS_H

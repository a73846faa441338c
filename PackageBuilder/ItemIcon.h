// The 16×16 icon of an install item as the file manager shows it (the entry's own icon, a
// program's icon, or the generic icon of its kind), archived the way the item list reads
// it: class "LibBitmap", frame (0, 0, 15, 15), B_CMAP8, flags 1, 16 bytes a row, 256
// bytes of palette indexes.
#ifndef ITEM_ICON_H
#define ITEM_ICON_H

#include <SupportDefs.h>

#include <string>

class BMessage;

status_t ArchiveItemIcon(const std::string& path, BMessage& archive);

#endif // ITEM_ICON_H

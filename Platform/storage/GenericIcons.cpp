#include "GenericIcons.h"

#include <Bitmap.h>
#include <Palette.h>

#include <cstring>

namespace {

// One character per pixel; the legend below gives each character's colour, which is
// turned into the index of the nearest system palette entry. '.' is transparent.
struct LegendEntry {
	char symbol;
	rgb_color color;
};

const LegendEntry kLegend[] = {
	{ 'K', { 0, 0, 0, 255 } }, // outline
	{ 'Y', { 255, 203, 51, 255 } }, // folder
	{ 'y', { 203, 152, 0, 255 } }, // folder, shaded
	{ 'L', { 255, 236, 152, 255 } }, // folder, lit
	{ 'W', { 255, 255, 255, 255 } }, // paper
	{ 'g', { 216, 216, 216, 255 } }, // light grey
	{ 'G', { 152, 152, 152, 255 } }, // grey
	{ 'D', { 96, 96, 96, 255 } }, // dark grey
	{ 'S', { 120, 120, 120, 255 } }, // shadow
	{ 'B', { 51, 102, 203, 255 } }, // title bar
	{ 'N', { 0, 203, 51, 255 } }, // green
};

const char* const kFolderLarge[32] = {
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"...KKKKKKKKKK...................",
	"...KLLLLLLLLK...................",
	"...KYYYYYYYYK...................",
	"..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..",
	"..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KyyyyyyyyyyyyyyyyyyyyyyyyyyKS.",
	"..KLLLLLLLLLLLLLLLLLLLLLLLLLyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KLYYYYYYYYYYYYYYYYYYYYYYYYyKS.",
	"..KyyyyyyyyyyyyyyyyyyyyyyyyyyKS.",
	"..KKKKKKKKKKKKKKKKKKKKKKKKKKKKS.",
	"....SSSSSSSSSSSSSSSSSSSSSSSSSSS.",
	"................................",
	"................................",
	"................................",
	"................................",
};

const char* const kFolderMini[16] = {
	"................",
	"................",
	"................",
	".KKKKKK.........",
	".KYYYYK.........",
	".KKKKKKKKKKKKKK.",
	".KLLLLLLLLLLLLKS",
	".KyyyyyyyyyyyyKS",
	".KYYYYYYYYYYYyKS",
	".KYYYYYYYYYYYyKS",
	".KYYYYYYYYYYYyKS",
	".KYYYYYYYYYYYyKS",
	".KyyyyyyyyyyyyKS",
	".KKKKKKKKKKKKKKS",
	"..SSSSSSSSSSSSSS",
	"................",
};

const char* const kApplicationLarge[32] = {
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"...KKKKKKKKKKKKKKKKKKKKKKKKK....",
	"...KBBBBBBBBBBBBBBBBBBBBBBBKS...",
	"...KBBBBBBBBBBBBBBBBBBWWWBBKS...",
	"...KBBBBBBBBBBBBBBBBBBWWWBBKS...",
	"...KBBBBBBBBBBBBBBBBBBBBBBBKS...",
	"...KKKKKKKKKKKKKKKKKKKKKKKKKS...",
	"...KgggggggggggggggggggggggKS...",
	"...KgggggggggggggggggggggggKS...",
	"...KgggggggKKggggggggggggggKS...",
	"...KgggggggKNKKggggggggggggKS...",
	"...KgggggggKNNNKKggggggggggKS...",
	"...KgggggggKNNNNNKKggggggggKS...",
	"...KgggggggKNNNNNNNKgggggggKS...",
	"...KgggggggKNNNNNNNKgggggggKS...",
	"...KgggggggKNNNNNKKggggggggKS...",
	"...KgggggggKNNNKKggggggggggKS...",
	"...KgggggggKNKKggggggggggggKS...",
	"...KgggggggKKggggggggggggggKS...",
	"...KgggggggggggggggggggggggKS...",
	"...KgggggggggggggggggggggggKS...",
	"...KKKKKKKKKKKKKKKKKKKKKKKKKS...",
	"....SSSSSSSSSSSSSSSSSSSSSSSSS...",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
};

const char* const kApplicationMini[16] = {
	"................",
	"................",
	".KKKKKKKKKKKKK..",
	".KBBBBBBBBBBBKS.",
	".KKKKKKKKKKKKKS.",
	".KgggggggggggKS.",
	".KgggKKggggggKS.",
	".KgggKNKKggggKS.",
	".KgggKNNNKgggKS.",
	".KgggKNKKggggKS.",
	".KgggKKggggggKS.",
	".KgggggggggggKS.",
	".KKKKKKKKKKKKKS.",
	"..SSSSSSSSSSSSS.",
	"................",
	"................",
};

const char* const kLinkLarge[32] = {
	"................................",
	"................................",
	"......KKKKKKKKKKKKK.............",
	"......KWWWWWWWWWWWKK............",
	"......KWWWWWWWWWWWKgK...........",
	"......KWWWWWWWWWWWKggK..........",
	"......KWWWWWWWWWWWKgggK.........",
	"......KWWWWWWWWWWWKggggK........",
	"......KWWWWWWWWWWWKKKKKKK.......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	".KKKKKKKKKKKKKWWWWWWWWWWKS......",
	".KWWWWWWWWWWWKWWWWWWWWWWKS......",
	".KWWWWWWWKWWWKGGGGGGGGWWKS......",
	".KWWWWWWWKKWWKWWWWWWWWWWKS......",
	".KWWWWWWWKKKWKWWWWWWWWWWKS......",
	".KWWKKKKKKKKKKGGGGWWWWWWKS......",
	".KWWKKKKKKKKKKWWWWWWWWWWKS......",
	".KWWKKWWWKKKWKWWWWWWWWWWKS......",
	".KWWKKWWWKKWWKGGGGGGGGWWKS......",
	".KWWKKWWWKWWWKWWWWWWWWWWKS......",
	".KWWKKWWWWWWWKWWWWWWWWWWKS......",
	".KWWWWWWWWWWWKKKKKKKKKKKKS......",
	".KKKKKKKKKKKKKSSSSSSSSSSSS......",
	"................................",
	"................................",
};

const char* const kLinkMini[16] = {
	"................",
	"...KKKKKKK......",
	"...KWWWWWKK.....",
	"...KWWWWWKgK....",
	"...KWWWWWKKKK...",
	"...KWWWWWWWWKS..",
	"...KWGGGGGGWKS..",
	"...KWWWWWWWWKS..",
	"KKKKKKKKGGGWKS..",
	"KWWWWWWKWWWWKS..",
	"KWWWKWWKGGGWKS..",
	"KWKKKKWKWWWWKS..",
	"KWKWKWWKGWWWKS..",
	"KWKWWWWKWWWWKS..",
	"KWWWWWWKKKKKKS..",
	"KKKKKKKKSSSSSS..",
};

const char* const kDocumentLarge[32] = {
	"................................",
	"................................",
	"......KKKKKKKKKKKKK.............",
	"......KWWWWWWWWWWWKK............",
	"......KWWWWWWWWWWWKgK...........",
	"......KWWWWWWWWWWWKggK..........",
	"......KWWWWWWWWWWWKgggK.........",
	"......KWWWWWWWWWWWKggggK........",
	"......KWWWWWWWWWWWKKKKKKK.......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWGGGGGGGGGGGGGWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KWWWWWWWWWWWWWWWWWKS......",
	"......KKKKKKKKKKKKKKKKKKKS......",
	".......SSSSSSSSSSSSSSSSSSS......",
	"................................",
	"................................",
};

const char* const kDocumentMini[16] = {
	"................",
	"...KKKKKKK......",
	"...KWWWWWKK.....",
	"...KWWWWWKgK....",
	"...KWWWWWKKKK...",
	"...KWWWWWWWWKS..",
	"...KWGGGGGGWKS..",
	"...KWWWWWWWWKS..",
	"...KWGGGGGGWKS..",
	"...KWWWWWWWWKS..",
	"...KWGGGGGGWKS..",
	"...KWWWWWWWWKS..",
	"...KWGGGGWWWKS..",
	"...KWWWWWWWWKS..",
	"...KKKKKKKKKKS..",
	"....SSSSSSSSSS..",
};

const char* const kVolumeLarge[32] = {
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	".......KKKKKKKKKKKKKKKKKKKKKK...",
	"......KggggggggggggggggggggDK...",
	".....KggggggggggggggggggggDDK...",
	"....KggggggggggggggggggggDDDK...",
	"...KKKKKKKKKKKKKKKKKKKKKDDDDK...",
	"...KGGGGGGGGGGGGGGGGGGGGDDDDK...",
	"...KGGGGGGGGGGGGGGGGGGGGDDDDK...",
	"...KGGGGGGGGGGGGGGGGGGGGDDDDK...",
	"...KGGKKKKKKKKKKKGGGNNGGDDDDK...",
	"...KGGWWWWWWWWWWWGGGNNGGDDDDK...",
	"...KGGGGGGGGGGGGGGGGGGGGDDDK....",
	"...KGGGGGGGGGGGGGGGGGGGGDDK.....",
	"...KGGGGGGGGGGGGGGGGGGGGDK......",
	"...KKKKKKKKKKKKKKKKKKKKKK.......",
	"....SSSSSSSSSSSSSSSSSSSSSS......",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
	"................................",
};

const char* const kVolumeMini[16] = {
	"................",
	"................",
	"................",
	"................",
	"....KKKKKKKKKKK.",
	"...KgggggggggDK.",
	"..KgggggggggDDK.",
	".KKKKKKKKKKKDDK.",
	".KGGGGGGGGGGDDK.",
	".KGGGGGGGGGGDDK.",
	".KGKKKKKGGNGDK..",
	".KGGGGGGGGGGK...",
	".KKKKKKKKKKKK...",
	"..SSSSSSSSSSSS..",
	"................",
	"................",
};

uint8
index_for_symbol(char symbol)
{
	for (const LegendEntry& entry : kLegend) {
		if (entry.symbol == symbol)
			return index_for_color(entry.color);
	}
	return B_TRANSPARENT_MAGIC_CMAP8;
}

} // namespace

namespace BPrivate {

status_t
get_generic_icon(generic_icon_kind kind, icon_size size, uint8* bits)
{
	if (bits == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
		return B_BAD_VALUE;
	bool large = size == B_LARGE_ICON;
	const char* const* art;
	switch (kind) {
		case B_GENERIC_FOLDER_ICON:
			art = large ? kFolderLarge : kFolderMini;
			break;
		case B_GENERIC_APPLICATION_ICON:
			art = large ? kApplicationLarge : kApplicationMini;
			break;
		case B_GENERIC_LINK_ICON:
			art = large ? kLinkLarge : kLinkMini;
			break;
		case B_GENERIC_DOCUMENT_ICON:
			art = large ? kDocumentLarge : kDocumentMini;
			break;
		case B_GENERIC_VOLUME_ICON:
			art = large ? kVolumeLarge : kVolumeMini;
			break;
		default:
			return B_BAD_VALUE;
	}
	for (int32 y = 0; y < size; y++) {
		for (int32 x = 0; x < size; x++)
			bits[y * size + x] = index_for_symbol(art[y][x]);
	}
	return B_OK;
}

status_t
icon_to_bitmap(const void* bits, size_t length, icon_size size, BBitmap* icon)
{
	if (bits == nullptr || icon == nullptr || icon->InitCheck() != B_OK)
		return B_BAD_VALUE;
	BRect bounds = icon->Bounds();
	if (bounds.IntegerWidth() + 1 != size || bounds.IntegerHeight() + 1 != size)
		return B_BAD_VALUE;
	if (length != (size_t)size * size)
		return B_BAD_DATA;
	if (icon->ColorSpace() == B_CMAP8) {
		// Row by row: the bitmap's rows may be padded further.
		for (int32 y = 0; y < size; y++) {
			memcpy((uint8*)icon->Bits() + y * icon->BytesPerRow(), (const uint8*)bits + y * size,
				size);
		}
		return B_OK;
	}
	icon->SetBits(bits, (int32)length, 0, B_CMAP8);
	return B_OK;
}

status_t
bitmap_to_icon(const BBitmap* icon, icon_size size, std::vector<uint8>* bits)
{
	if (icon == nullptr || icon->InitCheck() != B_OK || icon->ColorSpace() != B_CMAP8)
		return B_BAD_VALUE;
	BRect bounds = icon->Bounds();
	if (bounds.IntegerWidth() + 1 != size || bounds.IntegerHeight() + 1 != size)
		return B_BAD_VALUE;
	bits->resize((size_t)size * size);
	for (int32 y = 0; y < size; y++) {
		memcpy(bits->data() + y * size, (const uint8*)icon->Bits() + y * icon->BytesPerRow(), size);
	}
	return B_OK;
}

const char*
icon_name(icon_size size)
{
	return size == B_MINI_ICON ? "BEOS:M:STD_ICON" : "BEOS:L:STD_ICON";
}

type_code
icon_type(icon_size size)
{
	return size == B_MINI_ICON ? B_MINI_ICON_TYPE : B_LARGE_ICON_TYPE;
}

} // namespace BPrivate

// The folder pictures are drawn here as text, one character per pixel, and turned into
// palette indexes when the program is compiled, so the source shows what the button shows.
#include "FolderPictures.h"

#include <cstddef>

namespace {

// K outline, T tab, L lit edge, Y face, D shaded edge, S shadow, . transparent.
constexpr const char* kFolder[kFolderPictureSide] = {
	"........................",
	"........................",
	"........................",
	"..KKKKKKK...............",
	".KTTTTTTTK..............",
	"KTTTTTTTTTKKKKKKKKKKKK..",
	"KLLLLLLLLLLLLLLLLLLLLLK.",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KLYYYYYYYYYYYYYYYYYYYDKS",
	"KDDDDDDDDDDDDDDDDDDDDDKS",
	".KKKKKKKKKKKKKKKKKKKKKKS",
	"..SSSSSSSSSSSSSSSSSSSSSS",
	"........................",
	"........................",
};

// Indexes of the system palette for each kind of pixel.
struct Colours {
	uint8 outline;
	uint8 tab;
	uint8 lit;
	uint8 face;
	uint8 shaded;
	uint8 shadow;
};

const uint8 kTransparent = 255;

// Dark brown 0x663300, tab 0xffcb66, lit 0xffff98, face 0xffcb33, shaded 0xcb9800, shadow
// grey 0x989898.
constexpr Colours kUpColours = { 209, 216, 253, 248, 133, 19 };
// Pressed: everything one step darker; the shadow is not drawn.
constexpr Colours kDownColours = { 247, 133, 248, 132, 171, kTransparent };
// Disabled: greys 0x808080, 0xe0e0e0, 0xf8f8f8, 0xe8e8e8, 0xb8b8b8, 0xc0c0c0.
constexpr Colours kInactiveColours = { 16, 28, 31, 29, 23, 24 };

struct Picture {
	uint8 bits[kFolderPictureBytes];
};

constexpr uint8
index_of(char pixel, const Colours& colours)
{
	switch (pixel) {
		case 'K':
			return colours.outline;
		case 'T':
			return colours.tab;
		case 'L':
			return colours.lit;
		case 'Y':
			return colours.face;
		case 'D':
			return colours.shaded;
		case 'S':
			return colours.shadow;
		default:
			return kTransparent;
	}
}

// The folder in those colours, moved by offset pixels right and down.
constexpr Picture
paint(const Colours& colours, int offset)
{
	Picture picture {};
	for (int y = 0; y < kFolderPictureSide; y++) {
		for (int x = 0; x < kFolderPictureSide; x++) {
			const int sourceX = x - offset;
			const int sourceY = y - offset;
			const bool inside = sourceX >= 0 && sourceY >= 0;
			picture.bits[y * kFolderPictureSide + x] =
				inside ? index_of(kFolder[sourceY][sourceX], colours) : kTransparent;
		}
	}
	return picture;
}

constexpr Picture kUp = paint(kUpColours, 0);
constexpr Picture kDown = paint(kDownColours, 1);
constexpr Picture kInactive = paint(kInactiveColours, 0);

} // namespace

const uint8 (&FolderUp)[kFolderPictureBytes] = kUp.bits;
const uint8 (&FolderDown)[kFolderPictureBytes] = kDown.bits;
const uint8 (&FolderUpInactive)[kFolderPictureBytes] = kInactive.bits;

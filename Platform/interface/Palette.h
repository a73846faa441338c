// The BeOS system colour map: the 256 colours of the 8-bit colour-mapped colour space, and
// the lookups that turn a colour into the index of its nearest palette entry. BScreen hands
// the map out; bitmaps use it to convert between B_CMAP8 and the linear colour spaces.
#ifndef _PALETTE_H
#define _PALETTE_H

#include <GraphicsDefs.h>

// BeOS's color_map: the palette, the index of each entry's inverse colour, and the index
// of the nearest entry for every 15-bit colour (see index_map_key()).
typedef struct color_map {
	int32 id;
	rgb_color color_list[256];
	uint8 inversion_map[256];
	uint8 index_map[32768];
} color_map;

// The system colour map; built once, never changes.
const color_map* system_colors();

// The palette colour at an index. Entry B_TRANSPARENT_MAGIC_CMAP8 (255) is the
// transparent slot.
rgb_color color_for_index(uint8 index);

// The index of the palette entry nearest to the colour (squared distance in RGB); an exact
// match always wins, and among equally near entries the lowest index. The alpha channel is
// ignored, except that B_TRANSPARENT_32_BIT (compared by red, green and blue) gives
// B_TRANSPARENT_MAGIC_CMAP8. No other colour maps to the transparent slot.
uint8 index_for_color(rgb_color color);
uint8 index_for_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);

// The position of a colour in color_map::index_map: five bits each of red, green, blue.
inline int32
index_map_key(rgb_color color)
{
	return ((color.red & 0xf8) << 7) | ((color.green & 0xf8) << 2) | (color.blue >> 3);
}

#endif // _PALETTE_H

// The BeOS system palette and the colour map built from it.
#include <Palette.h>

#include <climits>

namespace {

// BeOS's own 256-colour table, as red-green-blue triples: a grey ramp (0-31), blue, red and
// green ramps (32-61), then a colour cube of the levels 0, 51, 102, 152, 203 and 255 mixed
// with a few special colours. Entry 255 is the transparent slot; its colour is white with
// alpha 0.
const uint32 kSystemPalette[256] = {
	0x000000, 0x080808, 0x101010, 0x181818, 0x202020, 0x282828, 0x303030, 0x383838, // 0-7
	0x404040, 0x484848, 0x505050, 0x585858, 0x606060, 0x686868, 0x707070, 0x787878, // 8-15
	0x808080, 0x888888, 0x909090, 0x989898, 0xa0a0a0, 0xa8a8a8, 0xb0b0b0, 0xb8b8b8, // 16-23
	0xc0c0c0, 0xc8c8c8, 0xd0d0d0, 0xd8d8d8, 0xe0e0e0, 0xe8e8e8, 0xf0f0f0, 0xf8f8f8, // 24-31
	0x0000ff, 0x0000e5, 0x0000cc, 0x0000b3, 0x00009a, 0x000081, 0x000069, 0x000050, // 32-39
	0x000037, 0x00001e, 0xff0000, 0xe40000, 0xcb0000, 0xb20000, 0x990000, 0x800000, // 40-47
	0x690000, 0x500000, 0x370000, 0x1e0000, 0x00ff00, 0x00e400, 0x00cb00, 0x00b200, // 48-55
	0x009900, 0x008000, 0x006900, 0x005000, 0x003700, 0x001e00, 0x009833, 0xffffff, // 56-63
	0xcbffff, 0xcbffcb, 0xcbff98, 0xcbff66, 0xcbff33, 0xcbff00, 0x98ffff, 0x98ffcb, // 64-71
	0x98ff98, 0x98ff66, 0x98ff33, 0x98ff00, 0x66ffff, 0x66ffcb, 0x66ff98, 0x66ff66, // 72-79
	0x66ff33, 0x66ff00, 0x33ffff, 0x33ffcb, 0x33ff98, 0x33ff66, 0x33ff33, 0x33ff00, // 80-87
	0xff98ff, 0xff98cb, 0xff9898, 0xff9866, 0xff9833, 0xff9800, 0x0066ff, 0x0066cb, // 88-95
	0xcbcbff, 0xcbcbcb, 0xcbcb98, 0xcbcb66, 0xcbcb33, 0xcbcb00, 0x98cbff, 0x98cbcb, // 96-103
	0x98cb98, 0x98cb66, 0x98cb33, 0x98cb00, 0x66cbff, 0x66cbcb, 0x66cb98, 0x66cb66, // 104-111
	0x66cb33, 0x66cb00, 0x33cbff, 0x33cbcb, 0x33cb98, 0x33cb66, 0x33cb33, 0x33cb00, // 112-119
	0xff66ff, 0xff66cb, 0xff6698, 0xff6666, 0xff6633, 0xff6600, 0x006698, 0x006666, // 120-127
	0xcb98ff, 0xcb98cb, 0xcb9898, 0xcb9866, 0xcb9833, 0xcb9800, 0x9898ff, 0x9898cb, // 128-135
	0x989898, 0x989866, 0x989833, 0x989800, 0x6698ff, 0x6698cb, 0x669898, 0x669866, // 136-143
	0x669833, 0x669800, 0x3398ff, 0x3398cb, 0x339898, 0x339866, 0x339833, 0x339800, // 144-151
	0xe68600, 0xff33cb, 0xff3398, 0xff3366, 0xff3333, 0xff3300, 0x006633, 0x006600, // 152-159
	0xcb66ff, 0xcb66cb, 0xcb6698, 0xcb6666, 0xcb6633, 0xcb6600, 0x9866ff, 0x9866cb, // 160-167
	0x986698, 0x986666, 0x986633, 0x986600, 0x6666ff, 0x6666cb, 0x666698, 0x666666, // 168-175
	0x666633, 0x666600, 0x3366ff, 0x3366cb, 0x336698, 0x336666, 0x336633, 0x336600, // 176-183
	0xff00ff, 0xff00cb, 0xff0098, 0xff0066, 0xff0033, 0xffaf13, 0x0033ff, 0x0033cb, // 184-191
	0xcb33ff, 0xcb33cb, 0xcb3398, 0xcb3366, 0xcb3333, 0xcb3300, 0x9833ff, 0x9833cb, // 192-199
	0x983398, 0x983366, 0x983333, 0x983300, 0x6633ff, 0x6633cb, 0x663398, 0x663366, // 200-207
	0x663333, 0x663300, 0x3333ff, 0x3333cb, 0x333398, 0x333366, 0x333333, 0x333300, // 208-215
	0xffcb66, 0xffcb98, 0xffcbcb, 0xffcbff, 0x003398, 0x003366, 0x003333, 0x003300, // 216-223
	0xcb00ff, 0xcb00cb, 0xcb0098, 0xcb0066, 0xcb0033, 0xffe346, 0x9800ff, 0x9800cb, // 224-231
	0x980098, 0x980066, 0x980033, 0x980000, 0x6600ff, 0x6600cb, 0x660098, 0x660066, // 232-239
	0x660033, 0x660000, 0x3300ff, 0x3300cb, 0x330098, 0x330066, 0x330033, 0x330000, // 240-247
	0xffcb33, 0xffcb00, 0xffff00, 0xffff33, 0xffff66, 0xffff98, 0xffffcb, 0xffffff, // 248-255
};

const int32 kSystemColorMapId = 0;

rgb_color
palette_color(int32 index)
{
	uint32 value = kSystemPalette[index];
	uint8 alpha = index == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255;
	return make_color((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff, alpha);
}

bool
is_transparent_magic(rgb_color color)
{
	return color.red == B_TRANSPARENT_32_BIT.red && color.green == B_TRANSPARENT_32_BIT.green
		&& color.blue == B_TRANSPARENT_32_BIT.blue;
}

// Nearest opaque entry by squared distance; the first of equally near entries wins, so an
// exact match (distance 0) is found at its lowest index.
uint8
nearest_index(const color_map& map, uint8 red, uint8 green, uint8 blue)
{
	int32 bestIndex = 0;
	int32 bestDistance = INT_MAX;
	for (int32 index = 0; index < B_TRANSPARENT_MAGIC_CMAP8; index++) {
		const rgb_color& entry = map.color_list[index];
		int32 dr = int32(entry.red) - red;
		int32 dg = int32(entry.green) - green;
		int32 db = int32(entry.blue) - blue;
		int32 distance = dr * dr + dg * dg + db * db;
		if (distance < bestDistance) {
			bestDistance = distance;
			bestIndex = index;
			if (distance == 0)
				break;
		}
	}
	return uint8(bestIndex);
}

color_map
build_system_color_map()
{
	color_map map = {};
	map.id = kSystemColorMapId;
	for (int32 index = 0; index < 256; index++)
		map.color_list[index] = palette_color(index);

	for (int32 index = 0; index < 256; index++) {
		const rgb_color& entry = map.color_list[index];
		if (index == B_TRANSPARENT_MAGIC_CMAP8) {
			map.inversion_map[index] = B_TRANSPARENT_MAGIC_CMAP8;
			continue;
		}
		map.inversion_map[index] =
			nearest_index(map, 255 - entry.red, 255 - entry.green, 255 - entry.blue);
	}

	// Each 5-bit component stands for the middle of its 8-value band, widened so that the
	// band 0xf8-0xff reaches 255 (x << 3 | x >> 2).
	for (int32 key = 0; key < 32768; key++) {
		int32 red = (key >> 10) & 0x1f;
		int32 green = (key >> 5) & 0x1f;
		int32 blue = key & 0x1f;
		map.index_map[key] = nearest_index(map, uint8((red << 3) | (red >> 2)),
			uint8((green << 3) | (green >> 2)), uint8((blue << 3) | (blue >> 2)));
	}
	return map;
}

} // namespace

const color_map*
system_colors()
{
	// Built on first use; a function-local static is initialised once even when several
	// threads ask at the same time.
	static const color_map sSystemColors = build_system_color_map();
	return &sSystemColors;
}

rgb_color
color_for_index(uint8 index)
{
	return palette_color(index);
}

uint8
index_for_color(rgb_color color)
{
	if (is_transparent_magic(color))
		return B_TRANSPARENT_MAGIC_CMAP8;
	return nearest_index(*system_colors(), color.red, color.green, color.blue);
}

uint8
index_for_color(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	return index_for_color(make_color(red, green, blue, alpha));
}

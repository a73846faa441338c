// Colours, colour spaces, patterns and drawing modes of the interface kit.
#ifndef _GRAPHICS_DEFS_H
#define _GRAPHICS_DEFS_H

#include <SupportDefs.h>

typedef struct pattern {
	uint8 data[8];
} pattern;

bool operator==(const pattern& a, const pattern& b);
bool operator!=(const pattern& a, const pattern& b);

extern const pattern B_SOLID_HIGH;
extern const pattern B_MIXED_COLORS;
extern const pattern B_SOLID_LOW;

typedef struct rgb_color {
	uint8 red;
	uint8 green;
	uint8 blue;
	uint8 alpha;

	rgb_color& set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255)
	{
		red = r;
		green = g;
		blue = b;
		alpha = a;
		return *this;
	}

	bool operator==(const rgb_color& other) const
	{
		return red == other.red && green == other.green && blue == other.blue
			&& alpha == other.alpha;
	}

	bool operator!=(const rgb_color& other) const { return !(*this == other); }
} rgb_color;

inline rgb_color
make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
	rgb_color color = { red, green, blue, alpha };
	return color;
}

extern const rgb_color B_TRANSPARENT_COLOR;
extern const uint8 B_TRANSPARENT_MAGIC_CMAP8;
extern const uint16 B_TRANSPARENT_MAGIC_RGBA15;
extern const uint16 B_TRANSPARENT_MAGIC_RGBA15_BIG;
extern const uint32 B_TRANSPARENT_MAGIC_RGBA32;
extern const uint32 B_TRANSPARENT_MAGIC_RGBA32_BIG;
extern const uint8 B_TRANSPARENT_8_BIT;
extern const rgb_color B_TRANSPARENT_32_BIT;

typedef enum {
	B_NO_COLOR_SPACE = 0x0000,

	// Linear colour spaces, little-endian unless named _BIG.
	B_RGB32 = 0x0008,
	B_RGBA32 = 0x2008,
	B_RGB24 = 0x0003,
	B_RGB16 = 0x0005,
	B_RGB15 = 0x0010,
	B_RGBA15 = 0x2010,
	B_CMAP8 = 0x0004,
	B_GRAY8 = 0x0002,
	B_GRAY1 = 0x0001,

	B_RGB32_BIG = 0x1008,
	B_RGBA32_BIG = 0x3008,
	B_RGB24_BIG = 0x1003,
	B_RGB16_BIG = 0x1005,
	B_RGB15_BIG = 0x1010,
	B_RGBA15_BIG = 0x3010,

	B_RGB32_LITTLE = B_RGB32,
	B_RGBA32_LITTLE = B_RGBA32,
	B_RGB24_LITTLE = B_RGB24,
	B_RGB16_LITTLE = B_RGB16,
	B_RGB15_LITTLE = B_RGB15,
	B_RGBA15_LITTLE = B_RGBA15,

	// Non-linear colour spaces, for exchange only: bitmaps do not draw them.
	B_YCbCr422 = 0x4000,
	B_YCbCr411 = 0x4001,
	B_YCbCr444 = 0x4003,
	B_YCbCr420 = 0x4004,
	B_YUV422 = 0x4020,
	B_YUV411 = 0x4021,
	B_YUV444 = 0x4023,
	B_YUV420 = 0x4024,
	B_YUV9 = 0x402C,
	B_YUV12 = 0x402D,
	B_UVL24 = 0x4030,
	B_UVL32 = 0x4031,
	B_UVLA32 = 0x6031,
	B_LAB24 = 0x4032,
	B_LAB32 = 0x4033,
	B_LABA32 = 0x6033,
	B_HSI24 = 0x4040,
	B_HSI32 = 0x4041,
	B_HSIA32 = 0x6041,
	B_HSV24 = 0x4042,
	B_HSV32 = 0x4043,
	B_HSVA32 = 0x6043,
	B_HLS24 = 0x4044,
	B_HLS32 = 0x4045,
	B_HLSA32 = 0x6045,
	B_CMY24 = 0xC001,
	B_CMY32 = 0xC002,
	B_CMYA32 = 0xE002,
	B_CMYK32 = 0xC003,

	// Older names.
	B_MONOCHROME_1_BIT = B_GRAY1,
	B_GRAYSCALE_8_BIT = B_GRAY8,
	B_COLOR_8_BIT = B_CMAP8,
	B_RGB_32_BIT = B_RGB32,
	B_RGB_16_BIT = B_RGB15,
	B_BIG_RGB_32_BIT = B_RGB32_BIG,
	B_BIG_RGB_16_BIT = B_RGB15_BIG
} color_space;

enum { B_VIEWS_SUPPORT_DRAW_BITMAP = 0x1, B_BITMAPS_SUPPORT_ATTACHED_VIEWS = 0x2 };

// Whether bitmaps of the colour space can be made and drawn; supportFlags (may be null)
// receives the B_*_SUPPORT_* flags. Only the linear colour spaces are supported.
bool bitmaps_support_space(color_space space, uint32* supportFlags);

// The storage of one colour space: pixelChunk bytes hold pixelsPerChunk pixels, and rows
// start on multiples of rowAlignment bytes. B_BAD_VALUE for a space without a layout.
status_t get_pixel_size_for(
	color_space space, size_t* pixelChunk, size_t* rowAlignment, size_t* pixelsPerChunk);

enum buffer_orientation { B_BUFFER_TOP_TO_BOTTOM, B_BUFFER_BOTTOM_TO_TOP };

enum buffer_layout { B_BUFFER_NONINTERLEAVED = 1 };

enum drawing_mode {
	B_OP_COPY,
	B_OP_OVER,
	B_OP_ERASE,
	B_OP_INVERT,
	B_OP_ADD,
	B_OP_SUBTRACT,
	B_OP_BLEND,
	B_OP_MIN,
	B_OP_MAX,
	B_OP_SELECT,
	B_OP_ALPHA
};

enum source_alpha { B_PIXEL_ALPHA = 0, B_CONSTANT_ALPHA };

enum alpha_function { B_ALPHA_OVERLAY = 0, B_ALPHA_COMPOSITE };

#endif // _GRAPHICS_DEFS_H

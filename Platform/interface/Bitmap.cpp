// BBitmap: pixel storage, colour-space conversion and archiving.
#include <Bitmap.h>

#include <BitmapViewsBase.h>
#include <Message.h>
#include <Palette.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <new>
#include <typeinfo>

namespace {

// Neither side of a bitmap may exceed this many pixels; it keeps every size computation
// far from overflow and refuses nonsense rectangles before anything is allocated.
const float kMaxDimension = 65536.0f;

const char* const kClassField = "class";
const char* const kFrameField = "_frame";
const char* const kColorSpaceField = "_cspace";
const char* const kFlagsField = "_bmflags";
const char* const kRowBytesField = "_rowbytes";
const char* const kDataField = "_data";
// Archives from before the flags field carry two booleans instead (the second name is
// misspelt in the original format).
const char* const kViewsOkField = "_view_ok";
const char* const kContiguousField = "_continguous";

int32
bits_per_pixel(color_space space)
{
	switch (space) {
		case B_GRAY1:
			return 1;
		case B_GRAY8:
		case B_CMAP8:
			return 8;
		case B_RGB15:
		case B_RGBA15:
		case B_RGB16:
		case B_RGB15_BIG:
		case B_RGBA15_BIG:
		case B_RGB16_BIG:
			return 16;
		case B_RGB24:
		case B_RGB24_BIG:
			return 24;
		case B_RGB32:
		case B_RGBA32:
		case B_RGB32_BIG:
		case B_RGBA32_BIG:
			return 32;
		default:
			return 0;
	}
}

// The colour spaces that SetBits converts from and to (the big-endian ones are only held).
bool
is_convertible(color_space space)
{
	switch (space) {
		case B_GRAY1:
		case B_GRAY8:
		case B_CMAP8:
		case B_RGB15:
		case B_RGBA15:
		case B_RGB16:
		case B_RGB24:
		case B_RGB32:
		case B_RGBA32:
			return true;
		default:
			return false;
	}
}

bool
is_transparent_magic(uint8 red, uint8 green, uint8 blue)
{
	return red == B_TRANSPARENT_32_BIT.red && green == B_TRANSPARENT_32_BIT.green
		&& blue == B_TRANSPARENT_32_BIT.blue;
}

// An opaque colour from a space without alpha; the transparent magic colour keeps its
// meaning (alpha 0).
rgb_color
opaque_color(uint8 red, uint8 green, uint8 blue)
{
	return make_color(red, green, blue, is_transparent_magic(red, green, blue) ? 0 : 255);
}

uint8
expand5(uint32 value)
{
	return uint8((value << 3) | (value >> 2));
}

uint8
expand6(uint32 value)
{
	return uint8((value << 2) | (value >> 4));
}

uint8
luminance(rgb_color color)
{
	return uint8((color.red * 299 + color.green * 587 + color.blue * 114 + 500) / 1000);
}

rgb_color
read_pixel(color_space space, const uint8* row, int32 x)
{
	switch (space) {
		case B_GRAY1:
			// BeOS behaviour: a set bit is black, the leftmost pixel is the high bit.
			if ((row[x >> 3] & (0x80 >> (x & 7))) != 0)
				return make_color(0, 0, 0);
			return make_color(255, 255, 255);
		case B_GRAY8:
			return make_color(row[x], row[x], row[x]);
		case B_CMAP8:
			if (row[x] == B_TRANSPARENT_MAGIC_CMAP8)
				return B_TRANSPARENT_32_BIT;
			return color_for_index(row[x]);
		case B_RGB15:
		case B_RGBA15: {
			uint32 value = row[2 * x] | (uint32(row[2 * x + 1]) << 8);
			rgb_color color = make_color(
				expand5((value >> 10) & 0x1f), expand5((value >> 5) & 0x1f), expand5(value & 0x1f));
			if (space == B_RGBA15)
				color.alpha = (value & 0x8000) != 0 ? 255 : 0;
			return color;
		}
		case B_RGB16: {
			uint32 value = row[2 * x] | (uint32(row[2 * x + 1]) << 8);
			return make_color(
				expand5((value >> 11) & 0x1f), expand6((value >> 5) & 0x3f), expand5(value & 0x1f));
		}
		case B_RGB24: {
			const uint8* pixel = row + 3 * x;
			return opaque_color(pixel[2], pixel[1], pixel[0]);
		}
		case B_RGB32: {
			const uint8* pixel = row + 4 * x;
			return opaque_color(pixel[2], pixel[1], pixel[0]);
		}
		case B_RGBA32: {
			const uint8* pixel = row + 4 * x;
			return make_color(pixel[2], pixel[1], pixel[0], pixel[3]);
		}
		default:
			return make_color(0, 0, 0);
	}
}

void
write_pixel(color_space space, uint8* row, int32 x, rgb_color color)
{
	switch (space) {
		case B_GRAY1: {
			uint8 mask = uint8(0x80 >> (x & 7));
			if (luminance(color) < 128)
				row[x >> 3] |= mask;
			else
				row[x >> 3] &= uint8(~mask);
			break;
		}
		case B_GRAY8:
			row[x] = luminance(color);
			break;
		case B_CMAP8:
			// A pixel that is mostly transparent becomes the transparent slot; everything
			// else the nearest palette colour.
			if (color.alpha < 128)
				row[x] = B_TRANSPARENT_MAGIC_CMAP8;
			else
				row[x] = index_for_color(color.red, color.green, color.blue);
			break;
		case B_RGB15:
		case B_RGBA15: {
			uint32 value = (uint32(color.red >> 3) << 10) | (uint32(color.green >> 3) << 5)
				| (color.blue >> 3);
			if (space == B_RGBA15 && color.alpha >= 128)
				value |= 0x8000;
			row[2 * x] = uint8(value);
			row[2 * x + 1] = uint8(value >> 8);
			break;
		}
		case B_RGB16: {
			uint32 value = (uint32(color.red >> 3) << 11) | (uint32(color.green >> 2) << 5)
				| (color.blue >> 3);
			row[2 * x] = uint8(value);
			row[2 * x + 1] = uint8(value >> 8);
			break;
		}
		case B_RGB24: {
			uint8* pixel = row + 3 * x;
			pixel[0] = color.blue;
			pixel[1] = color.green;
			pixel[2] = color.red;
			break;
		}
		case B_RGB32:
		case B_RGBA32: {
			// BGRA in memory, as on a little-endian BeOS machine.
			uint8* pixel = row + 4 * x;
			pixel[0] = color.blue;
			pixel[1] = color.green;
			pixel[2] = color.red;
			pixel[3] = color.alpha;
			break;
		}
		default:
			break;
	}
}

// The rows, row bytes and byte count of a bitmap, or an error for a rectangle or colour
// space that no bitmap can have.
struct Layout {
	int32 width;
	int32 height;
	int32 bytesPerRow;
	int32 length;
};

status_t
compute_layout(BRect bounds, color_space space, int32 requestedBytesPerRow, Layout& layout)
{
	if (!std::isfinite(bounds.left) || !std::isfinite(bounds.top) || !std::isfinite(bounds.right)
		|| !std::isfinite(bounds.bottom) || !bounds.IsValid()) {
		return B_BAD_VALUE;
	}
	if (bounds.Width() >= kMaxDimension || bounds.Height() >= kMaxDimension)
		return B_BAD_VALUE;

	layout.width = bounds.IntegerWidth() + 1;
	layout.height = bounds.IntegerHeight() + 1;
	int32 minimum = BBitmap::RowBytesFor(space, layout.width);
	if (minimum < 0)
		return B_BAD_VALUE;

	layout.bytesPerRow = minimum;
	if (requestedBytesPerRow != B_ANY_BYTES_PER_ROW) {
		if (requestedBytesPerRow < minimum)
			return B_BAD_VALUE;
		layout.bytesPerRow = requestedBytesPerRow;
	}

	int64 length = int64(layout.bytesPerRow) * layout.height;
	if (length > INT32_MAX)
		return B_NO_MEMORY;
	layout.length = int32(length);
	return B_OK;
}

// The class name written into archives: that of the object's own class, so that an
// archived subclass names itself, as on BeOS.
const char*
demangled_class_name(const std::type_info& type, char*& allocated)
{
	int status = 0;
	allocated = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
	if (status != 0 || allocated == nullptr)
		return "BBitmap";
	return allocated;
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews, bool needsContiguous) :
	fColorSpace(space),
	fFlags(0),
	fBytesPerRow(0),
	fBitsLength(0),
	fInitStatus(B_NO_INIT)
{
	uint32 flags = (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
		| (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0);
	_Init(bounds, flags, space, B_ANY_BYTES_PER_ROW);
}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow) :
	fColorSpace(space),
	fFlags(0),
	fBytesPerRow(0),
	fBitsLength(0),
	fInitStatus(B_NO_INIT)
{
	_Init(bounds, flags, space, bytesPerRow);
}

BBitmap::BBitmap(BMessage* archive) :
	fColorSpace(B_NO_COLOR_SPACE),
	fFlags(0),
	fBytesPerRow(0),
	fBitsLength(0),
	fInitStatus(B_NO_INIT)
{
	if (archive == nullptr) {
		fInitStatus = B_BAD_VALUE;
		return;
	}
	_InitFromArchive(*archive);
}

BBitmap::~BBitmap() { }

BBitmap*
BBitmap::Instantiate(BMessage* archive)
{
	if (archive == nullptr)
		return nullptr;

	bool named = false;
	const char* className = nullptr;
	for (int32 index = 0; archive->FindString(kClassField, index, &className) == B_OK; index++) {
		if (className != nullptr && strcmp(className, "BBitmap") == 0)
			named = true;
	}
	if (!named)
		return nullptr;

	BBitmap* bitmap = new (std::nothrow) BBitmap(archive);
	if (bitmap != nullptr && bitmap->InitCheck() != B_OK) {
		delete bitmap;
		return nullptr;
	}
	return bitmap;
}

status_t
BBitmap::Archive(BMessage* archive, bool deep) const
{
	// The pixels are the bitmap: they are archived whether deep or not. Deep would also
	// archive attached views, which this half of the kit does not hold.
	(void)deep;
	if (archive == nullptr)
		return B_BAD_VALUE;
	if (fInitStatus != B_OK)
		return fInitStatus;

	char* allocated = nullptr;
	status_t status =
		archive->AddString(kClassField, demangled_class_name(typeid(*this), allocated));
	free(allocated);
	if (status == B_OK)
		status = archive->AddRect(kFrameField, fBounds);
	if (status == B_OK)
		status = archive->AddInt32(kColorSpaceField, int32(fColorSpace));
	if (status == B_OK)
		status = archive->AddInt32(kFlagsField, int32(fFlags));
	if (status == B_OK)
		status = archive->AddInt32(kRowBytesField, fBytesPerRow);
	if (status == B_OK)
		status = archive->AddData(kDataField, B_RAW_TYPE, fBits.get(), fBitsLength);
	return status;
}

status_t
BBitmap::InitCheck() const
{
	return fInitStatus;
}

bool
BBitmap::IsValid() const
{
	return fInitStatus == B_OK;
}

BRect
BBitmap::Bounds() const
{
	return fBounds;
}

color_space
BBitmap::ColorSpace() const
{
	return fColorSpace;
}

uint32
BBitmap::Flags() const
{
	return fFlags;
}

void*
BBitmap::Bits() const
{
	return fBits.get();
}

int32
BBitmap::BitsLength() const
{
	return fBitsLength;
}

int32
BBitmap::BytesPerRow() const
{
	return fBytesPerRow;
}

void
BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space)
{
	if (fInitStatus != B_OK || data == nullptr || length <= 0 || offset < 0
		|| offset >= fBitsLength) {
		return;
	}

	const uint8* source = static_cast<const uint8*>(data);
	if (space == fColorSpace) {
		memcpy(fBits.get() + offset, source, size_t(std::min(length, fBitsLength - offset)));
		return;
	}
	if (!is_convertible(space) || !is_convertible(fColorSpace))
		return;

	int32 width = fBounds.IntegerWidth() + 1;
	int32 height = fBounds.IntegerHeight() + 1;
	// BeOS behaviour: colour-mapped data converted into another space has no row padding;
	// the data of every other space is padded like a bitmap of that space.
	int64 sourceRowBytes = space == B_CMAP8 ? width : RowBytesFor(space, width);
	int64 sourceBitsPerPixel = bits_per_pixel(space);
	int64 destinationBitsPerPixel = bits_per_pixel(fColorSpace);

	// The offset names a byte of the bitmap; conversion starts at the pixel there (or at
	// the next row when it falls into a row's padding) and goes on pixel by pixel.
	int32 row = offset / fBytesPerRow;
	int32 column = int32(int64(offset % fBytesPerRow) * 8 / destinationBitsPerPixel);
	if (column >= width) {
		row++;
		column = 0;
	}

	int64 sourceBits = int64(length) * 8;
	for (int64 sourceRow = 0; sourceRow * sourceRowBytes < length; sourceRow++) {
		const uint8* sourceLine = source + sourceRow * sourceRowBytes;
		for (int32 x = 0; x < width; x++) {
			if (sourceRow * sourceRowBytes * 8 + (x + 1) * sourceBitsPerPixel > sourceBits)
				return;
			if (row >= height)
				return;
			write_pixel(fColorSpace, fBits.get() + int64(row) * fBytesPerRow, column,
				read_pixel(space, sourceLine, x));
			if (++column == width) {
				column = 0;
				row++;
			}
		}
	}
}

int32
BBitmap::RowBytesFor(color_space space, int32 width)
{
	int64 bits = bits_per_pixel(space);
	if (bits == 0 || width < 0)
		return -1;
	int64 rowBytes = (bits * width + 31) / 32 * 4;
	if (rowBytes > INT32_MAX)
		return -1;
	return int32(rowBytes);
}

void
BBitmap::_Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow)
{
	fBounds = bounds;
	fColorSpace = space;
	fFlags = flags;
	fBytesPerRow = 0;
	fBitsLength = 0;
	fBits.reset();

	Layout layout;
	fInitStatus = compute_layout(bounds, space, bytesPerRow, layout);
	if (fInitStatus != B_OK)
		return;

	fBits.reset(new (std::nothrow) uint8[size_t(layout.length)]());
	if (!fBits) {
		fInitStatus = B_NO_MEMORY;
		return;
	}
	fBytesPerRow = layout.bytesPerRow;
	fBitsLength = layout.length;
	if ((flags & B_BITMAP_CLEAR_TO_WHITE) != 0)
		_ClearToWhite();
}

void
BBitmap::_InitFromArchive(const BMessage& archive)
{
	BRect frame;
	int32 space = 0;
	if (archive.FindRect(kFrameField, &frame) != B_OK
		|| archive.FindInt32(kColorSpaceField, &space) != B_OK) {
		fInitStatus = B_BAD_VALUE;
		return;
	}

	int32 flags = 0;
	if (archive.FindInt32(kFlagsField, &flags) != B_OK) {
		flags = 0;
		bool value = false;
		if (archive.FindBool(kViewsOkField, &value) == B_OK && value)
			flags |= B_BITMAP_ACCEPTS_VIEWS;
		if (archive.FindBool(kContiguousField, &value) == B_OK && value)
			flags |= B_BITMAP_IS_CONTIGUOUS;
	}

	int32 bytesPerRow = B_ANY_BYTES_PER_ROW;
	if (archive.FindInt32(kRowBytesField, &bytesPerRow) == B_OK && bytesPerRow <= 0) {
		fInitStatus = B_BAD_DATA;
		return;
	}

	fBounds = frame;
	fColorSpace = color_space(space);
	fFlags = uint32(flags);

	// Check the data against the layout before allocating, so that an archive never makes
	// the bitmap allocate more than its data can fill.
	Layout layout;
	fInitStatus = compute_layout(frame, fColorSpace, bytesPerRow, layout);
	if (fInitStatus != B_OK)
		return;

	const void* data = nullptr;
	ssize_t size = 0;
	if (archive.FindData(kDataField, B_RAW_TYPE, &data, &size) != B_OK || data == nullptr
		|| size < layout.length) {
		fInitStatus = B_BAD_DATA;
		return;
	}

	_Init(frame, fFlags & ~uint32(B_BITMAP_CLEAR_TO_WHITE), fColorSpace, bytesPerRow);
	fFlags = uint32(flags);
	if (fInitStatus != B_OK)
		return;
	memcpy(fBits.get(), data, size_t(fBitsLength));
}

void
BBitmap::_ClearToWhite()
{
	int32 width = fBounds.IntegerWidth() + 1;
	int32 height = fBounds.IntegerHeight() + 1;
	if (!is_convertible(fColorSpace)) {
		memset(fBits.get(), 0xff, size_t(fBitsLength));
		return;
	}
	rgb_color white = make_color(255, 255, 255);
	for (int32 y = 0; y < height; y++) {
		uint8* row = fBits.get() + int64(y) * fBytesPerRow;
		for (int32 x = 0; x < width; x++)
			write_pixel(fColorSpace, row, x, white);
	}
}

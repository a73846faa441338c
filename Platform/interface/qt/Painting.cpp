#include "Painting.h"

#include <Bitmap.h>

#include <cstring>
#include <memory>
#include <vector>

namespace BPrivate {

namespace {

bool
is_solid(const pattern& fill, uint8 value)
{
	for (uint8 byte : fill.data) {
		if (byte != value)
			return false;
	}
	return true;
}

bool
is_transparent_magic(rgb_color color)
{
	return color.red == B_TRANSPARENT_32_BIT.red && color.green == B_TRANSPARENT_32_BIT.green
		&& color.blue == B_TRANSPARENT_32_BIT.blue;
}

QColor
shape_color(rgb_color color, drawing_mode mode, source_alpha sourceAlpha)
{
	QColor result = to_qcolor(color);
	switch (mode) {
		case B_OP_ALPHA:
			(void)sourceAlpha;
			break;
		case B_OP_BLEND:
			result.setAlpha(128);
			break;
		case B_OP_INVERT:
			result = Qt::white;
			break;
		default:
			result.setAlpha(255);
			break;
	}
	return result;
}


} // namespace

QImage
bitmap_pixels(const BBitmap* bitmap)
{
	BRect bounds = bitmap->Bounds();
	int width = bounds.IntegerWidth() + 1;
	int height = bounds.IntegerHeight() + 1;
	color_space space = bitmap->ColorSpace();
	const uint8* bits = (const uint8*)bitmap->Bits();
	int32 bytesPerRow = bitmap->BytesPerRow();

	QImage image(width, height, QImage::Format_ARGB32);
	if (image.isNull())
		return QImage();

	if (space == B_RGB32 || space == B_RGBA32) {
		for (int y = 0; y < height; y++) {
			const uint8* row = bits + (size_t)y * bytesPerRow;
			QRgb* line = (QRgb*)image.scanLine(y);
			for (int x = 0; x < width; x++) {
				const uint8* pixel = row + 4 * x;
				uint8 alpha = space == B_RGBA32 ? pixel[3] : 255;
				rgb_color color = make_color(pixel[2], pixel[1], pixel[0], alpha);
				// The transparent colour marks holes in either 32-bit space.
				if (is_transparent_magic(color) && (space == B_RGB32 || alpha == 0))
					alpha = 0;
				line[x] = qRgba(color.red, color.green, color.blue, alpha);
			}
		}
		return image;
	}

	// Every other space goes through the bitmap's own conversion into B_RGBA32; B_CMAP8
	// rows are handed over unpadded, as that conversion expects.
	BBitmap converted(bounds, B_RGBA32);
	if (converted.InitCheck() != B_OK)
		return QImage();
	if (space == B_CMAP8 && bytesPerRow != width) {
		std::vector<uint8> packed((size_t)width * height);
		for (int y = 0; y < height; y++)
			memcpy(packed.data() + (size_t)y * width, bits + (size_t)y * bytesPerRow, width);
		converted.SetBits(packed.data(), (int32)packed.size(), 0, space);
	} else
		converted.SetBits(bits, bitmap->BitsLength(), 0, space);
	return bitmap_pixels(&converted);
}

QColor
to_qcolor(rgb_color color)
{
	return QColor(color.red, color.green, color.blue, color.alpha);
}

QRectF
fill_area(BRect rect)
{
	return QRectF(rect.left, rect.top, rect.Width() + 1, rect.Height() + 1);
}

QBrush
pattern_brush(
	const pattern& fill, rgb_color high, rgb_color low, drawing_mode mode, source_alpha sourceAlpha)
{
	// B_OP_ERASE draws the pattern's high bits in the low colour; B_OP_OVER leaves its low
	// bits out.
	rgb_color foreground = mode == B_OP_ERASE ? low : high;
	bool lowIsTransparent = mode == B_OP_OVER || mode == B_OP_ERASE || mode == B_OP_INVERT;

	if (is_solid(fill, 0xff))
		return QBrush(shape_color(foreground, mode, sourceAlpha));
	if (is_solid(fill, 0x00)) {
		if (lowIsTransparent)
			return QBrush(Qt::NoBrush);
		return QBrush(shape_color(low, mode, sourceAlpha));
	}

	QImage texture(8, 8, QImage::Format_ARGB32);
	QRgb on = shape_color(foreground, mode, sourceAlpha).rgba();
	QRgb off = lowIsTransparent ? qRgba(0, 0, 0, 0) : shape_color(low, mode, sourceAlpha).rgba();
	for (int y = 0; y < 8; y++) {
		for (int x = 0; x < 8; x++)
			texture.setPixel(x, y, (fill.data[y] & (0x80 >> x)) != 0 ? on : off);
	}
	return QBrush(texture);
}

void
apply_drawing_mode(QPainter& painter, drawing_mode mode)
{
	switch (mode) {
		case B_OP_INVERT:
			painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
			break;
		case B_OP_ADD:
			painter.setCompositionMode(QPainter::CompositionMode_Plus);
			break;
		case B_OP_SUBTRACT:
			painter.setCompositionMode(QPainter::CompositionMode_Difference);
			break;
		case B_OP_MIN:
			painter.setCompositionMode(QPainter::CompositionMode_Darken);
			break;
		case B_OP_MAX:
			painter.setCompositionMode(QPainter::CompositionMode_Lighten);
			break;
		default:
			painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
			break;
	}
}

QColor
text_color(rgb_color high, drawing_mode mode)
{
	QColor color = to_qcolor(high);
	if (mode != B_OP_ALPHA)
		color.setAlpha(mode == B_OP_BLEND ? 128 : 255);
	return color;
}

QImage
bitmap_image(const BBitmap* bitmap, drawing_mode mode, rgb_color low)
{
	if (bitmap == NULL || bitmap->InitCheck() != B_OK || bitmap->Bits() == NULL)
		return QImage();
	QImage image = bitmap_pixels(bitmap);
	if (image.isNull())
		return image;

	QRgb lowPixel = qRgba(low.red, low.green, low.blue, 255);
	for (int y = 0; y < image.height(); y++) {
		QRgb* line = (QRgb*)image.scanLine(y);
		for (int x = 0; x < image.width(); x++) {
			int alpha = qAlpha(line[x]);
			switch (mode) {
				case B_OP_ALPHA:
					break;
				case B_OP_OVER:
				case B_OP_ERASE:
				case B_OP_INVERT:
					line[x] = alpha < 128 ? qRgba(0, 0, 0, 0) : (line[x] | 0xff000000u);
					break;
				default:
					line[x] = alpha == 0 ? lowPixel : (line[x] | 0xff000000u);
					break;
			}
		}
	}
	return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace BPrivate

// BeOS drawing over QPainter: colours, patterns and drawing modes, and bitmaps as images.
#ifndef _PAINTING_H
#define _PAINTING_H

#include <GraphicsDefs.h>
#include <Rect.h>

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

class BBitmap;

namespace BPrivate {

QColor to_qcolor(rgb_color color);

// The area a BeOS rectangle covers: its edges are pixel centres, so (0, 0, 9, 9) covers
// the pixels 0 to 9.
QRectF fill_area(BRect rect);

// How shapes are filled: the brush for a pattern of high and low colour in a drawing mode,
// and the painter's composition for the mode. A brush of Qt::NoBrush draws nothing.
QBrush pattern_brush(const pattern& fill, rgb_color high, rgb_color low, drawing_mode mode,
	source_alpha sourceAlpha);
void apply_drawing_mode(QPainter& painter, drawing_mode mode);

// The colour text is drawn in (the high colour, made opaque unless the mode blends).
QColor text_color(rgb_color high, drawing_mode mode);

// The bitmap's pixels as an image to draw in the drawing mode: B_OP_COPY paints the
// transparent colour as the low colour, B_OP_OVER leaves it out (and pixels less than half
// opaque), B_OP_ALPHA keeps the pixels' alpha. A null image for a bitmap that cannot be
// drawn.
QImage bitmap_image(const BBitmap* bitmap, drawing_mode mode, rgb_color low);

// The bitmap's pixels as non-premultiplied 32-bit colour with alpha (the transparent
// colour has alpha 0).
QImage bitmap_pixels(const BBitmap* bitmap);

} // namespace BPrivate

#endif // _PAINTING_H

// BView drawing over QPainter. Every call finds its canvas: the picture being recorded,
// the painter of the paint event that runs Draw(), or the bitmap the view belongs to.
// Outside those, the view is invalidated instead, so that Draw() paints it soon.
#include <View.h>

#include <Bitmap.h>
#include <Picture.h>

#include "qt/BitmapViews.h"
#include "qt/FontPrivate.h"
#include "qt/Painting.h"
#include "qt/PicturePrivate.h"
#include "qt/ViewData.h"

#include <QPainterPath>
#include <QPicture>
#include <QPolygonF>

#include <cmath>
#include <cstring>
#include <memory>

using namespace BPrivate;

namespace {

// The painter one drawing call paints with, set up with the view's state, and restored
// when the call is done.
class Canvas {
public:
	explicit Canvas(ViewData& data) :
		fData(data),
		fPainter(NULL),
		fBitmap(NULL)
	{
		if (data.fRecordingPainter) {
			fPainter = data.fRecordingPainter.get();
			fPainter->save();
		} else if (data.fPaintPainter != NULL) {
			fPainter = data.fPaintPainter;
			fPainter->save();
		} else if (data.fBitmap != NULL) {
			fBitmap = data.fBitmap;
			QImage* image = fBitmap->BeginDrawing();
			if (image != NULL) {
				fOwned = std::make_unique<QPainter>(image);
				fPainter = fOwned.get();
				BPoint offset = data.OffsetInWindow() - fBitmap->Origin();
				fPainter->translate(offset.x, offset.y);
			}
		} else {
			data.NeedsUpdate();
			return;
		}
		if (fPainter == NULL)
			return;
		fPainter->setRenderHint(QPainter::Antialiasing, false);
		fPainter->setRenderHint(
			QPainter::TextAntialiasing, (data.fState.font.Flags() & B_DISABLE_ANTIALIASING) == 0);
		apply_drawing_mode(*fPainter, data.fState.mode);
	}

	~Canvas()
	{
		if (fPainter == NULL)
			return;
		if (fOwned) {
			fOwned->end();
			fOwned.reset();
			fBitmap->EndDrawing();
			return;
		}
		fPainter->restore();
	}

	Canvas(const Canvas&) = delete;
	Canvas& operator=(const Canvas&) = delete;

	QPainter* operator->() { return fPainter; }

	explicit operator bool() const { return fPainter != NULL; }

	QBrush Brush(const pattern& fill) const
	{
		const DrawState& state = fData.fState;
		return pattern_brush(fill, state.high, state.low, state.mode, state.sourceAlpha);
	}

	// A pen that strokes with the pattern at the pen size; lines end on their end points.
	QPen Pen(const pattern& fill) const
	{
		QPen pen(Brush(fill), std::max(1.0f, fData.fState.penSize), Qt::SolidLine, Qt::SquareCap,
			Qt::MiterJoin);
		return pen;
	}

private:
	ViewData& fData;
	QPainter* fPainter;
	std::unique_ptr<QPainter> fOwned;
	BitmapViews* fBitmap;
};

// BeOS coordinates name pixel centres; Qt's name pixel corners.
QPointF
centre(BPoint point)
{
	return QPointF(point.x + 0.5, point.y + 0.5);
}

QRectF
stroke_area(BRect rect)
{
	return QRectF(rect.left + 0.5, rect.top + 0.5, rect.Width(), rect.Height());
}

QPolygonF
polygon(const BPoint* points, int32 count)
{
	QPolygonF result;
	for (int32 i = 0; i < count; i++)
		result << centre(points[i]);
	return result;
}

void
draw_bitmap(ViewData& data, const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap == NULL || !source.IsValid() || !destination.IsValid())
		return;
	Canvas canvas(data);
	if (!canvas)
		return;
	QImage image = bitmap_image(bitmap, data.fState.mode, data.fState.low);
	if (image.isNull())
		return;
	// Pixels are copied, whatever the mode does to shapes.
	canvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
	BRect bounds = bitmap->Bounds();
	source.OffsetBy(-bounds.left, -bounds.top);
	canvas->drawImage(fill_area(destination), image, fill_area(source));
}

} // namespace

bool
BPrivate::paint_view(BView* view, const std::function<void(QPainter&)>& paint)
{
	Canvas canvas(ViewData::Of(view));
	if (!canvas)
		return false;
	paint(*canvas.operator->());
	return true;
}

void
BView::StrokeLine(BPoint to, pattern fill)
{
	StrokeLine(fData->fState.pen, to, fill);
}

void
BView::StrokeLine(BPoint from, BPoint to, pattern fill)
{
	fData->fState.pen = to;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	if (fData->fState.penSize <= 1 && (from.x == to.x || from.y == to.y)) {
		// One pixel wide and straight: exactly the pixels between the end points.
		BRect pixels(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
			std::max(from.y, to.y));
		canvas->fillRect(fill_area(pixels), canvas.Brush(fill));
		return;
	}
	canvas->setPen(canvas.Pen(fill));
	canvas->drawLine(centre(from), centre(to));
}

void
BView::BeginLineArray(int32 count)
{
	fData->fLines.clear();
	fData->fLines.reserve(count > 0 ? (size_t)count : 0);
	fData->fInLineArray = true;
}

void
BView::AddLine(BPoint from, BPoint to, rgb_color color)
{
	if (!fData->fInLineArray)
		return;
	fData->fLines.push_back({ from, to, color });
}

void
BView::EndLineArray()
{
	if (!fData->fInLineArray)
		return;
	fData->fInLineArray = false;
	rgb_color high = fData->fState.high;
	for (const ViewData::Line& line : fData->fLines) {
		fData->fState.high = line.color;
		StrokeLine(line.from, line.to, B_SOLID_HIGH);
	}
	fData->fState.high = high;
	fData->fLines.clear();
}

void
BView::StrokeRect(BRect rect, pattern fill)
{
	if (!rect.IsValid())
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	if (fData->fState.penSize <= 1) {
		QBrush brush = canvas.Brush(fill);
		canvas->fillRect(fill_area(BRect(rect.left, rect.top, rect.right, rect.top)), brush);
		canvas->fillRect(fill_area(BRect(rect.left, rect.bottom, rect.right, rect.bottom)), brush);
		if (rect.Height() >= 2) {
			canvas->fillRect(
				fill_area(BRect(rect.left, rect.top + 1, rect.left, rect.bottom - 1)), brush);
			canvas->fillRect(
				fill_area(BRect(rect.right, rect.top + 1, rect.right, rect.bottom - 1)), brush);
		}
		return;
	}
	canvas->setPen(canvas.Pen(fill));
	canvas->setBrush(Qt::NoBrush);
	canvas->drawRect(stroke_area(rect));
}

void
BView::FillRect(BRect rect, pattern fill)
{
	if (!rect.IsValid())
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->fillRect(fill_area(rect), canvas.Brush(fill));
}

void
BView::InvertRect(BRect rect)
{
	if (!rect.IsValid())
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
	canvas->fillRect(fill_area(rect), QColor(255, 255, 255));
}

void
BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern fill)
{
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setPen(canvas.Pen(fill));
	canvas->setBrush(Qt::NoBrush);
	canvas->drawRoundedRect(stroke_area(rect), xRadius, yRadius);
}

void
BView::FillRoundRect(BRect rect, float xRadius, float yRadius, pattern fill)
{
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setPen(Qt::NoPen);
	canvas->setBrush(canvas.Brush(fill));
	canvas->drawRoundedRect(fill_area(rect), xRadius, yRadius);
}

void
BView::StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern fill)
{
	StrokeEllipse(
		BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
		fill);
}

void
BView::StrokeEllipse(BRect rect, pattern fill)
{
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setPen(canvas.Pen(fill));
	canvas->setBrush(Qt::NoBrush);
	canvas->drawEllipse(stroke_area(rect));
}

void
BView::FillEllipse(BPoint center, float xRadius, float yRadius, pattern fill)
{
	FillEllipse(
		BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius),
		fill);
}

void
BView::FillEllipse(BRect rect, pattern fill)
{
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setPen(Qt::NoPen);
	canvas->setBrush(canvas.Brush(fill));
	canvas->drawEllipse(fill_area(rect));
}

void
BView::StrokeTriangle(BPoint first, BPoint second, BPoint third, pattern fill)
{
	BPoint points[3] = { first, second, third };
	StrokePolygon(points, 3, true, fill);
}

void
BView::FillTriangle(BPoint first, BPoint second, BPoint third, pattern fill)
{
	BPoint points[3] = { first, second, third };
	FillPolygon(points, 3, fill);
}

void
BView::StrokePolygon(const BPoint* points, int32 count, bool closed, pattern fill)
{
	if (points == NULL || count < 2)
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setPen(canvas.Pen(fill));
	canvas->setBrush(Qt::NoBrush);
	if (closed)
		canvas->drawPolygon(polygon(points, count));
	else
		canvas->drawPolyline(polygon(points, count));
}

void
BView::FillPolygon(const BPoint* points, int32 count, pattern fill)
{
	if (points == NULL || count < 3)
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	// The outline belongs to the filled area, as it does on BeOS.
	QBrush brush = canvas.Brush(fill);
	canvas->setPen(QPen(brush, 1));
	canvas->setBrush(brush);
	canvas->drawPolygon(polygon(points, count));
}

void
BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fData->fState.pen);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == NULL)
		return;
	BRect bounds = bitmap->Bounds();
	draw_bitmap(*fData, bitmap, bounds, bounds.OffsetToCopy(where));
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	if (bitmap == NULL)
		return;
	draw_bitmap(*fData, bitmap, bitmap->Bounds(), destination);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	draw_bitmap(*fData, bitmap, source, destination);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap)
{
	DrawBitmap(bitmap);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BPoint where)
{
	DrawBitmap(bitmap, where);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BRect destination)
{
	DrawBitmap(bitmap, destination);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination)
{
	DrawBitmap(bitmap, source, destination);
}

void
BView::DrawChar(char character)
{
	DrawString(&character, 1, fData->fState.pen);
}

void
BView::DrawChar(char character, BPoint location)
{
	DrawString(&character, 1, location);
}

void
BView::DrawString(const char* string, escapement_delta* delta)
{
	if (string == NULL)
		return;
	DrawString(string, (int32)strlen(string), fData->fState.pen, delta);
}

void
BView::DrawString(const char* string, BPoint location, escapement_delta* delta)
{
	if (string == NULL)
		return;
	DrawString(string, (int32)strlen(string), location, delta);
}

void
BView::DrawString(const char* string, int32 length, escapement_delta* delta)
{
	DrawString(string, length, fData->fState.pen, delta);
}

void
BView::DrawString(const char* string, int32 length, BPoint location, escapement_delta*)
{
	if (string == NULL || length <= 0)
		return;
	QString text = QString::fromUtf8(string, (qsizetype)strnlen(string, (size_t)length));
	const BFont& font = fData->fState.font;

	// The pen moves along the baseline, turned by the font's rotation.
	float width = font.StringWidth(string, length);
	double angle = font.Rotation() * M_PI / 180.0;
	fData->fState.pen =
		BPoint(location.x + width * (float)cos(angle), location.y - width * (float)sin(angle));

	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->setFont(BFontPrivate::ToQFont(font));
	canvas->setPen(text_color(fData->fState.high, fData->fState.mode));
	canvas->translate(location.x, location.y);
	if (font.Rotation() != 0)
		canvas->rotate(-font.Rotation());
	if (font.Shear() != 90) {
		// Shear leans the glyphs: 45 degrees leans them right, 135 left.
		canvas->shear(-1.0 / tan(font.Shear() * M_PI / 180.0), 0);
	}
	// BeOS baselines run through pixel centres: the baseline row belongs to the glyphs.
	canvas->drawText(QPointF(0, 1), text);
}

void
BView::BeginPicture(BPicture* picture)
{
	if (picture == NULL)
		return;
	EndPicture();
	fData->fPicture = picture;
	fData->fRecording = std::make_unique<QPicture>();
	fData->fRecordingPainter = std::make_unique<QPainter>(fData->fRecording.get());
}

void
BView::AppendToPicture(BPicture* picture)
{
	if (picture == NULL)
		return;
	BeginPicture(picture);
	// What the picture holds already is replayed into the new recording first.
	const QPicture& previous = PicturePrivate::Recording(*picture);
	if (previous.size() > 0)
		fData->fRecordingPainter->drawPicture(0, 0, previous);
}

BPicture*
BView::EndPicture()
{
	BPicture* picture = fData->fPicture;
	if (picture == NULL)
		return NULL;
	fData->fRecordingPainter->end();
	fData->fRecordingPainter.reset();
	PicturePrivate::SetRecording(*picture, *fData->fRecording);
	fData->fRecording.reset();
	fData->fPicture = NULL;
	return picture;
}

void
BView::DrawPicture(const BPicture* picture)
{
	DrawPicture(picture, fData->fState.pen);
}

void
BView::DrawPicture(const BPicture* picture, BPoint where)
{
	if (picture == NULL)
		return;
	Canvas canvas(*fData);
	if (!canvas)
		return;
	canvas->drawPicture(QPointF(where.x, where.y), PicturePrivate::Recording(*picture));
}

void
BView::DrawPictureAsync(const BPicture* picture)
{
	DrawPicture(picture);
}

void
BView::DrawPictureAsync(const BPicture* picture, BPoint where)
{
	DrawPicture(picture, where);
}

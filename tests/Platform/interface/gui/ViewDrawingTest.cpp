// BView drawing, checked pixel by pixel on the window's image: inclusive rectangles,
// drawing modes, bitmaps with transparency, and text in any direction.
#include <Application.h>
#include <Bitmap.h>
#include <Palette.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gui_test;

namespace {

class DrawingView : public BView {
public:
	DrawingView(BRect frame, std::function<void(BView*)> draw) :
		BView(frame, "drawing", B_FOLLOW_NONE, B_WILL_DRAW),
		fDraw(std::move(draw))
	{
		SetViewColor(255, 255, 255);
	}

	void Draw(BRect) override
	{
		fDraws++;
		fDraw(this);
	}

	std::function<void(BView*)> fDraw;
	int32 fDraws = 0;
};

class ViewDrawingTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-drawing");
	}

	void TearDown() override
	{
		if (fWindow != NULL && fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	// The view's pixels after it has drawn with the given function.
	QImage Draw(std::function<void(BView*)> draw, BRect frame = BRect(0, 0, 99, 99))
	{
		fWindow = new BWindow(
			BRect(50, 50, 50 + frame.right, 50 + frame.bottom), "Drawing", B_TITLED_WINDOW, 0);
		fView = new DrawingView(frame, std::move(draw));
		fWindow->AddChild(fView);
		fWindow->Show();
		EXPECT_TRUE(wait_until(
			[&] { return widget_of(fWindow) != nullptr && widget_of(fWindow)->isVisible(); }));
		QImage image = grab(fWindow);
		EXPECT_GT(fView->fDraws, 0);
		return image;
	}

	std::unique_ptr<BApplication> fApplication;
	BWindow* fWindow = NULL;
	DrawingView* fView = NULL;
};

QRgb
rgb(uint8 red, uint8 green, uint8 blue)
{
	return qRgb(red, green, blue);
}

// The smallest rectangle around the pixels darker than the grey level.
QRect
dark_area(const QImage& image, int level = 128)
{
	QRect area;
	for (int y = 0; y < image.height(); y++) {
		for (int x = 0; x < image.width(); x++) {
			if (qGray(image.pixel(x, y)) < level)
				area |= QRect(x, y, 1, 1);
		}
	}
	return area;
}

} // namespace

TEST_F(ViewDrawingTest, FillRectCoversItsInclusiveRectangle)
{
	QImage image = Draw([](BView* view) {
		view->SetHighColor(255, 0, 0);
		view->FillRect(BRect(2, 3, 5, 7));
	});
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(2, 3));
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(5, 7));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(1, 3));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(6, 7));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(5, 8));
	EXPECT_EQ(QRect(2, 3, 4, 5), dark_area(image, 200));
}

TEST_F(ViewDrawingTest, StrokesCoverTheirEndPointsAndEdges)
{
	QImage image = Draw([](BView* view) {
		view->SetHighColor(0, 0, 0);
		view->StrokeRect(BRect(10, 10, 19, 14));
		view->StrokeLine(BPoint(30, 5), BPoint(39, 5));
		view->MovePenTo(50, 10);
		view->StrokeLine(BPoint(50, 19));
		EXPECT_EQ(BPoint(50, 19), view->PenLocation());
	});
	// The rectangle's outline: corners in, inside and outside clear.
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(10, 10));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(19, 14));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(15, 10));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(10, 12));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(15, 12));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(20, 14));
	// Lines include both end points.
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(30, 5));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(39, 5));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(40, 5));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(50, 19));
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(50, 20));
}

TEST_F(ViewDrawingTest, DrawingModesMixColoursAsOnBeOS)
{
	QImage image = Draw([](BView* view) {
		view->SetHighColor(0, 0, 255);
		view->FillRect(BRect(0, 0, 99, 9));

		// Copy ignores alpha; alpha blends by it.
		view->SetHighColor(255, 0, 0, 128);
		view->FillRect(BRect(0, 0, 9, 9));
		view->SetDrawingMode(B_OP_ALPHA);
		view->FillRect(BRect(10, 0, 19, 9));

		// Over draws the high bits of a pattern only; copy draws the low bits too.
		view->SetHighColor(0, 0, 0);
		view->SetLowColor(255, 255, 0);
		view->SetDrawingMode(B_OP_OVER);
		view->FillRect(BRect(20, 0, 27, 7), B_MIXED_COLORS);
		view->SetDrawingMode(B_OP_COPY);
		view->FillRect(BRect(30, 0, 37, 7), B_MIXED_COLORS);

		// Invert turns blue into yellow.
		view->InvertRect(BRect(40, 0, 49, 9));
	});
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(5, 5));
	QRgb blended = image.pixel(15, 5);
	EXPECT_NEAR(128, qRed(blended), 3);
	EXPECT_EQ(0, qGreen(blended));
	EXPECT_NEAR(127, qBlue(blended), 3);

	int overBlack = 0;
	int overBlue = 0;
	int copyYellow = 0;
	for (int y = 0; y < 8; y++) {
		for (int x = 0; x < 8; x++) {
			overBlack += image.pixel(20 + x, y) == rgb(0, 0, 0);
			overBlue += image.pixel(20 + x, y) == rgb(0, 0, 255);
			copyYellow += image.pixel(30 + x, y) == rgb(255, 255, 0);
		}
	}
	EXPECT_EQ(32, overBlack);
	EXPECT_EQ(32, overBlue);
	EXPECT_EQ(32, copyYellow);
	EXPECT_EQ(rgb(255, 255, 0), image.pixel(45, 5));
}

TEST_F(ViewDrawingTest, BitmapsKeepTheirTransparentPixelsOutInOverMode)
{
	// A colour-mapped bitmap: the left half transparent, the right half red.
	BBitmap bitmap(BRect(0, 0, 7, 3), B_CMAP8);
	ASSERT_EQ(B_OK, bitmap.InitCheck());
	uint8 red = index_for_color(255, 0, 0);
	for (int32 y = 0; y < 4; y++) {
		uint8* row = (uint8*)bitmap.Bits() + y * bitmap.BytesPerRow();
		for (int32 x = 0; x < 8; x++)
			row[x] = x < 4 ? B_TRANSPARENT_MAGIC_CMAP8 : red;
	}

	QImage image = Draw([&](BView* view) {
		view->SetHighColor(0, 0, 255);
		view->FillRect(view->Bounds());
		view->SetLowColor(0, 255, 0);
		view->SetDrawingMode(B_OP_OVER);
		view->DrawBitmap(&bitmap, BPoint(10, 10));
		view->SetDrawingMode(B_OP_COPY);
		view->DrawBitmap(&bitmap, BPoint(10, 20));
		// Scaled into a larger rectangle.
		view->DrawBitmap(&bitmap, BRect(30, 30, 45, 37));
	});
	EXPECT_EQ(rgb(0, 0, 255), image.pixel(11, 11));
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(15, 11));
	EXPECT_EQ(rgb(0, 0, 255), image.pixel(18, 11));
	EXPECT_EQ(rgb(0, 255, 0), image.pixel(11, 21));
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(17, 23));
	EXPECT_EQ(rgb(0, 0, 255), image.pixel(10, 24));
	EXPECT_EQ(rgb(255, 0, 0), image.pixel(45, 37));
	EXPECT_EQ(rgb(0, 255, 0), image.pixel(30, 30));
}

TEST_F(ViewDrawingTest, AStringRotatedBy90DegreesRunsUpward)
{
	BPoint start(20, 140);
	BPoint end;
	QImage image = Draw(
		[&](BView* view) {
			BFont font;
			view->GetFont(&font);
			font.SetSize(16);
			font.SetRotation(90);
			view->SetFont(&font);
			view->SetHighColor(0, 0, 0);
			view->DrawString("Installer 1.0", start);
			end = view->PenLocation();
		},
		BRect(0, 0, 59, 159));

	QRect text = dark_area(image);
	ASSERT_FALSE(text.isEmpty());
	// Tall and narrow, above the start point, and to its left (the glyphs' tops face
	// left when the baseline runs up).
	EXPECT_GT(text.height(), 3 * text.width());
	EXPECT_LE(text.bottom(), start.y + 1);
	EXPECT_LT(text.top(), start.y - 60);
	EXPECT_LE(text.right(), start.x + 5);
	EXPECT_GE(text.left(), start.x - 18);
	// The pen moved up by the string's width.
	BFont font;
	font.SetSize(16);
	EXPECT_NEAR(start.y - font.StringWidth("Installer 1.0"), end.y, 0.5);
	EXPECT_NEAR(start.x, end.x, 0.5);
}

TEST_F(ViewDrawingTest, AnUnrotatedStringSitsOnItsBaseline)
{
	QImage image = Draw([](BView* view) {
		view->SetHighColor(0, 0, 0);
		view->DrawString("Hxxx", BPoint(10, 30));
	});
	QRect text = dark_area(image);
	ASSERT_FALSE(text.isEmpty());
	EXPECT_GT(text.width(), 2 * text.height());
	// Letters without descenders end on the baseline row.
	EXPECT_EQ(30, text.bottom());
	EXPECT_GE(text.left(), 10);
	EXPECT_LE(text.left(), 12);
}

TEST_F(ViewDrawingTest, DrawingOutsideDrawRedrawsTheView)
{
	Draw([](BView* view) {
		view->SetHighColor(0, 0, 0);
		view->FillRect(BRect(0, 0, 9, 9));
	});
	int32 draws = fView->fDraws;
	fWindow->Lock();
	fView->FillRect(BRect(50, 50, 59, 59));
	fWindow->Unlock();
	ASSERT_TRUE(wait_until([&] { return fView->fDraws > draws; }));
	// Only what Draw() paints stays.
	QImage image = grab(fWindow);
	EXPECT_EQ(rgb(255, 255, 255), image.pixel(55, 55));
	EXPECT_EQ(rgb(0, 0, 0), image.pixel(5, 5));
}

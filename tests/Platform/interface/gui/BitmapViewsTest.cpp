// Views in bitmaps: drawing lands in the bits, in any colour space the bitmap holds, and
// a picture recorded in a bitmap's view draws the bitmap elsewhere (the way the foundation
// library turns icons into pictures).
#include <Application.h>
#include <Bitmap.h>
#include <Palette.h>
#include <Picture.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace gui_test;

namespace {

uint32
pixel32(const BBitmap& bitmap, int32 x, int32 y)
{
	const uint8* row = (const uint8*)bitmap.Bits() + y * bitmap.BytesPerRow();
	uint32 value;
	memcpy(&value, row + 4 * x, 4);
	return value & 0x00ffffff;
}

class CountingView : public BView {
public:
	CountingView(BRect frame, int32* attached) :
		BView(frame, "", B_FOLLOW_NONE, B_WILL_DRAW),
		fAttached(attached)
	{
	}

	~CountingView() override { (*fAttached)--; }

	void AttachedToWindow() override { (*fAttached)++; }

private:
	int32* fAttached;
};

} // namespace

TEST(BitmapViewsTest, DrawingIntoA32BitBitmapChangesItsBits)
{
	BBitmap bitmap(BRect(0, 0, 19, 9), B_RGB32, true);
	BView* view = new BView(bitmap.Bounds(), "", B_FOLLOW_NONE, B_WILL_DRAW);
	bitmap.AddChild(view);
	EXPECT_EQ(1, bitmap.CountChildren());
	EXPECT_EQ(view, bitmap.ChildAt(0));
	EXPECT_EQ(NULL, view->Window());

	ASSERT_TRUE(bitmap.Lock());
	view->SetHighColor(255, 0, 0);
	view->FillRect(BRect(2, 2, 4, 4));
	view->SetHighColor(0, 0, 255);
	view->StrokeLine(BPoint(10, 0), BPoint(10, 9));
	bitmap.Unlock();

	EXPECT_EQ(0xff0000u, pixel32(bitmap, 3, 3));
	EXPECT_EQ(0xff0000u, pixel32(bitmap, 4, 4));
	EXPECT_EQ(0x000000u, pixel32(bitmap, 5, 5));
	EXPECT_EQ(0x0000ffu, pixel32(bitmap, 10, 9));
}

TEST(BitmapViewsTest, ColourMappedBitmapsTakeDrawingThroughThePalette)
{
	BBitmap bitmap(BRect(0, 0, 9, 9), B_CMAP8, true);
	BView* view = new BView(bitmap.Bounds(), "", B_FOLLOW_NONE, B_WILL_DRAW);
	bitmap.AddChild(view);
	bitmap.Lock();
	view->SetHighColor(255, 0, 0);
	view->FillRect(BRect(0, 0, 4, 9));
	bitmap.Unlock();
	const uint8* bits = (const uint8*)bitmap.Bits();
	EXPECT_EQ(index_for_color(255, 0, 0), bits[2]);
	EXPECT_EQ(index_for_color(0, 0, 0), bits[7]);
}

TEST(BitmapViewsTest, TheBitmapOwnsItsViewsAndOnlyBitmapsThatAcceptViewsTakeThem)
{
	int32 attached = 0;
	{
		BBitmap bitmap(BRect(0, 0, 9, 9), B_RGB32, true);
		bitmap.AddChild(new CountingView(bitmap.Bounds(), &attached));
		bitmap.AddChild(new CountingView(bitmap.Bounds(), &attached));
		EXPECT_EQ(2, attached);
	}
	EXPECT_EQ(0, attached);

	BBitmap plain(BRect(0, 0, 9, 9), B_RGB32);
	BView view(plain.Bounds(), "", B_FOLLOW_NONE, 0);
	plain.AddChild(&view);
	EXPECT_EQ(0, plain.CountChildren());
	EXPECT_FALSE(plain.Lock());
}

TEST(BitmapViewsTest, APictureRecordedInABitmapViewDrawsTheBitmap)
{
	BApplication application("application/x-vnd.test-bitmap-views");
	BBitmap icon(BRect(0, 0, 3, 3), B_CMAP8);
	uint8 green = index_for_color(0, 255, 0);
	memset(icon.Bits(), green, icon.BitsLength());
	((uint8*)icon.Bits())[0] = B_TRANSPARENT_MAGIC_CMAP8;

	// As the foundation library does it: an off-screen bitmap of the same bounds and
	// colour space, with a view, records the drawing of the icon.
	BPicture* picture;
	{
		BBitmap offscreen(icon.Bounds(), icon.ColorSpace(), true);
		BView* view = new BView(icon.Bounds(), "", 0, B_WILL_DRAW);
		offscreen.AddChild(view);
		offscreen.Lock();
		view->BeginPicture(new BPicture);
		view->SetDrawingMode(B_OP_OVER);
		view->DrawBitmap(&icon, B_ORIGIN);
		picture = view->EndPicture();
		offscreen.Unlock();
	}
	ASSERT_NE(nullptr, picture);
	EXPECT_FALSE(picture->IsEmpty());

	class PictureView : public BView {
	public:
		PictureView(BPicture* picture) :
			BView(BRect(0, 0, 19, 19), "", B_FOLLOW_NONE, B_WILL_DRAW),
			fPicture(picture)
		{
			SetViewColor(0, 0, 255);
		}

		void Draw(BRect) override { DrawPicture(fPicture, BPoint(5, 5)); }

		BPicture* fPicture;
	};

	BWindow* window = new BWindow(BRect(10, 10, 29, 29), "Icon", B_TITLED_WINDOW, 0);
	window->AddChild(new PictureView(picture));
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	QImage image = grab(window);
	EXPECT_EQ(qRgb(0, 0, 255), image.pixel(5, 5));
	EXPECT_EQ(qRgb(0, 255, 0), image.pixel(6, 5));
	EXPECT_EQ(qRgb(0, 255, 0), image.pixel(8, 8));
	EXPECT_EQ(qRgb(0, 0, 255), image.pixel(9, 9));
	window->Lock();
	window->Quit();
	delete picture;
}

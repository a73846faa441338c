// BackgroundView: the panel-coloured background of both programs' windows and the banner
// written upwards near the right edge, placed from the bottom (installer) or the top
// (deinstaller).
#include "BackgroundView.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

namespace {

float
banner_width(const char* banner)
{
	BFont font;
	font.SetSize(10);
	return font.StringWidth(banner);
}

// The bounding box of the pixels that differ from the background colour.
BRect
drawn_area(const QImage& image, rgb_color background)
{
	BRect area(1e6, 1e6, -1, -1);
	for (int y = 0; y < image.height(); y++) {
		for (int x = 0; x < image.width(); x++) {
			QRgb value = image.pixel(x, y);
			if (make_color(qRed(value), qGreen(value), qBlue(value)) == background)
				continue;
			area.left = std::min(area.left, (float)x);
			area.top = std::min(area.top, (float)y);
			area.right = std::max(area.right, (float)x);
			area.bottom = std::max(area.bottom, (float)y);
		}
	}
	return area;
}

} // namespace

TEST(BackgroundViewTest, TheBannerRunsUpwardsNearTheRightEdge)
{
	struct Row {
		const char* program;
		BRect frame;
		const char* banner;
		BackgroundView::BannerPlacement placement;
		// Where the banner's upward run starts and ends.
		float start;
		float end;
	};

	const float installerWidth = banner_width(kInstallerBanner);
	const float deinstallerWidth = banner_width(kDeinstallerBanner);
	const Row rows[] = {
		{ "installer", BRect(0, 0, 455, 257), kInstallerBanner, BackgroundView::BANNER_FROM_BOTTOM,
			257 - 45, 257 - 45 - installerWidth },
		{ "deinstaller", BRect(0, 0, 173, 318), kDeinstallerBanner, BackgroundView::BANNER_FROM_TOP,
			8 + deinstallerWidth, 8 },
	};
	for (const Row& row : rows) {
		BWindow* window = new BWindow(
			row.frame.OffsetByCopy(100, 100), row.program, B_TITLED_WINDOW, B_NOT_RESIZABLE);
		BackgroundView* view = new BackgroundView(window->Bounds(), row.banner, row.placement);
		window->AddChild(view);
		EXPECT_STREQ("bgview", view->Name());
		EXPECT_EQ((uint32)B_FOLLOW_ALL_SIDES, view->ResizingMode());
		EXPECT_EQ(ui_color(B_PANEL_BACKGROUND_COLOR), view->ViewColor());
		EXPECT_STREQ(row.banner, view->Banner());
		EXPECT_EQ(BPoint(row.frame.right - 1, row.start), view->BannerOrigin()) << row.program;

		window->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
		QImage image = grab(window);
		BRect area = drawn_area(image, view->ViewColor());
		// Upright letters of a 10-pixel font turned left: a narrow column left of the
		// baseline, as long as the text.
		EXPECT_LE(area.right, row.frame.right) << row.program;
		EXPECT_GE(area.left, row.frame.right - 14) << row.program;
		EXPECT_NEAR(row.end, area.top, 3) << row.program;
		EXPECT_NEAR(row.start, area.bottom, 3) << row.program;
		window->Lock();
		window->Quit();
	}
	EXPECT_STREQ("Quillfield: Brimlow v1.2.0", kInstallerBanner);
	EXPECT_STREQ("Quillfield: Tarnwick v1.2.0", kDeinstallerBanner);
}

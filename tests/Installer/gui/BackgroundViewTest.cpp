// BackgroundView: the banner written upwards near the right edge of both programs' windows,
// placed from the bottom (installer) or from the top (deinstaller).
#include "BackgroundView.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

TEST(BackgroundViewTest, TheBannerRunsUpwardsNearTheRightEdge)
{
	BFont font;
	font.SetSize(10);
	const float installer = font.StringWidth("Quillfield: Brimlow v1.2.0");
	const float deinstaller = font.StringWidth("Quillfield: Tarnwick v1.2.0");

	const struct {
		BRect frame;
		const char* banner;
		BackgroundView::BannerPlacement placement;
		// Where the text's upward run starts and ends.
		float start;
		float end;
	} rows[] = {
		{ BRect(0, 0, 455, 257), kInstallerBanner, BackgroundView::BANNER_FROM_BOTTOM, 212,
			212 - installer },
		{ BRect(0, 0, 173, 318), kDeinstallerBanner, BackgroundView::BANNER_FROM_TOP,
			8 + deinstaller, 8 },
	};

	for (const auto& row : rows) {
		BWindow* window = new BWindow(row.frame, "banner", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		BackgroundView* view = new BackgroundView(window->Bounds(), row.banner, row.placement);
		window->AddChild(view);
		EXPECT_STREQ("bgview", view->Name());
		EXPECT_EQ((uint32)B_FOLLOW_ALL_SIDES, view->ResizingMode());
		EXPECT_EQ(BPoint(row.frame.right - 1, row.start), view->BannerOrigin()) << row.banner;

		window->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
		// What is not the panel colour is the banner: a narrow column left of the baseline.
		QImage image = grab(window);
		const QRgb panel = image.pixel(0, 0);
		BRect area(1e6, 1e6, -1, -1);
		for (int y = 0; y < image.height(); y++) {
			for (int x = 0; x < image.width(); x++) {
				if (image.pixel(x, y) != panel)
					area = area.IsValid() ? area | BRect(x, y, x, y) : BRect(x, y, x, y);
			}
		}
		EXPECT_EQ(panel, qRgb(216, 216, 216));
		EXPECT_LE(area.right, row.frame.right) << row.banner;
		EXPECT_GE(area.left, row.frame.right - 14) << row.banner;
		EXPECT_NEAR(row.end, area.top, 3) << row.banner;
		EXPECT_NEAR(row.start, area.bottom, 3) << row.banner;
		window->Lock();
		window->Quit();
	}
}

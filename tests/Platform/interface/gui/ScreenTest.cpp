// BScreen: the main screen's frame and colour space, and lookups in the system colour map.
#include <Palette.h>
#include <Screen.h>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

TEST(ScreenTest, FrameStartsAtTheOriginWithInclusiveEdges)
{
	BScreen screen;
	ASSERT_TRUE(screen.IsValid());
	QRect geometry = QGuiApplication::primaryScreen()->geometry();
	EXPECT_EQ(BRect(0, 0, geometry.width() - 1, geometry.height() - 1), screen.Frame());
	EXPECT_EQ(B_RGB32, screen.ColorSpace());
	EXPECT_EQ(B_MAIN_SCREEN_ID.id, screen.ID().id);
	EXPECT_EQ(B_ERROR, screen.SetToNext());
}

TEST(ScreenTest, ColourMapLookupsUseTheSystemPalette)
{
	BScreen screen;
	EXPECT_EQ(system_colors(), screen.ColorMap());

	struct Row {
		rgb_color color;
	};

	const rgb_color colors[] = { make_color(0, 0, 0), make_color(255, 255, 255),
		make_color(255, 0, 0), make_color(0, 0, 255), make_color(216, 216, 216) };
	for (rgb_color color : colors) {
		uint8 index = screen.IndexForColor(color);
		rgb_color found = screen.ColorForIndex(index);
		EXPECT_NEAR(color.red, found.red, 8);
		EXPECT_NEAR(color.green, found.green, 8);
		EXPECT_NEAR(color.blue, found.blue, 8);
		EXPECT_EQ(system_colors()->index_map[index_map_key(color)], index);
	}
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, screen.IndexForColor(B_TRANSPARENT_32_BIT));
	EXPECT_EQ(system_colors()->inversion_map[7], screen.InvertIndex(7));
}

#include <Palette.h>

#include <gtest/gtest.h>

namespace {

void
ExpectColor(rgb_color expected, rgb_color actual, int index)
{
	EXPECT_EQ(expected.red, actual.red) << "entry " << index;
	EXPECT_EQ(expected.green, actual.green) << "entry " << index;
	EXPECT_EQ(expected.blue, actual.blue) << "entry " << index;
	EXPECT_EQ(expected.alpha, actual.alpha) << "entry " << index;
}

} // namespace

TEST(Palette, SpotEntriesHoldTheBeOSSystemColours)
{
	const struct {
		int index;
		rgb_color color;
	} rows[] = {
		{ 0, make_color(0, 0, 0) },
		{ 1, make_color(8, 8, 8) },
		{ 31, make_color(248, 248, 248) },
		{ 32, make_color(0, 0, 255) },
		{ 41, make_color(0, 0, 30) },
		{ 42, make_color(255, 0, 0) },
		{ 52, make_color(0, 255, 0) },
		{ 62, make_color(0, 152, 51) },
		{ 63, make_color(255, 255, 255) },
		{ 152, make_color(230, 134, 0) },
		{ 189, make_color(255, 175, 19) },
		{ 229, make_color(255, 227, 70) },
		{ 254, make_color(255, 255, 203) },
		{ 255, make_color(255, 255, 255, 0) },
	};

	const color_map* map = system_colors();
	ASSERT_NE(nullptr, map);
	for (const auto& row : rows) {
		ExpectColor(row.color, color_for_index(uint8(row.index)), row.index);
		ExpectColor(row.color, map->color_list[row.index], row.index);
	}
	EXPECT_EQ(255, B_TRANSPARENT_MAGIC_CMAP8);
}

TEST(Palette, EveryOpaqueEntryMapsBackToAnIndexOfTheSameColour)
{
	const color_map* map = system_colors();
	for (int index = 0; index < 255; index++) {
		rgb_color color = map->color_list[index];
		EXPECT_EQ(255, color.alpha) << "entry " << index;
		uint8 found = index_for_color(color);
		ASSERT_NE(B_TRANSPARENT_MAGIC_CMAP8, found) << "entry " << index;
		EXPECT_LE(found, index) << "entry " << index;
		ExpectColor(color, map->color_list[found], index);
	}
	// (152, 152, 152) is in the table twice; the lower index wins.
	EXPECT_EQ(19, index_for_color(152, 152, 152));
}

TEST(Palette, OtherColoursMapToTheNearestOpaqueEntry)
{
	const struct {
		rgb_color color;
		int index;
	} rows[] = {
		{ make_color(1, 1, 1), 0 },
		{ make_color(250, 250, 250), 31 },
		{ make_color(254, 255, 255), 63 },
		{ make_color(255, 255, 255, 0), 63 },
		{ make_color(250, 3, 2), 42 },
		{ make_color(0, 0, 31), 41 },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.index, index_for_color(row.color))
			<< int(row.color.red) << "," << int(row.color.green) << "," << int(row.color.blue);
	}
}

TEST(Palette, TransparentMagicColourMapsToTheTransparentSlot)
{
	EXPECT_EQ(0x77, B_TRANSPARENT_32_BIT.red);
	EXPECT_EQ(0x74, B_TRANSPARENT_32_BIT.green);
	EXPECT_EQ(0x77, B_TRANSPARENT_32_BIT.blue);
	EXPECT_EQ(0, B_TRANSPARENT_32_BIT.alpha);
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, index_for_color(B_TRANSPARENT_32_BIT));
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, index_for_color(0x77, 0x74, 0x77, 255));
	EXPECT_NE(B_TRANSPARENT_MAGIC_CMAP8, index_for_color(0x77, 0x74, 0x78));
}

TEST(Palette, IndexAndInversionMapsAgreeWithTheNearestColour)
{
	const color_map* map = system_colors();
	EXPECT_EQ(0, map->index_map[index_map_key(make_color(0, 0, 0))]);
	EXPECT_EQ(63, map->index_map[index_map_key(make_color(255, 255, 255))]);
	EXPECT_EQ(42, map->index_map[index_map_key(make_color(255, 0, 0))]);
	for (int key = 0; key < 32768; key++)
		ASSERT_NE(B_TRANSPARENT_MAGIC_CMAP8, map->index_map[key]) << "key " << key;

	EXPECT_EQ(63, map->inversion_map[0]);
	EXPECT_EQ(0, map->inversion_map[63]);
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, map->inversion_map[B_TRANSPARENT_MAGIC_CMAP8]);
}

#include <GraphicsDefs.h>

#include <gtest/gtest.h>

TEST(GraphicsDefs, ColoursCompareEveryChannel)
{
	rgb_color color = make_color(10, 20, 30);
	EXPECT_EQ(255, color.alpha);
	EXPECT_EQ(make_color(10, 20, 30, 255), color);
	EXPECT_NE(make_color(10, 20, 30, 254), color);
	EXPECT_NE(make_color(11, 20, 30), color);
	EXPECT_EQ(make_color(0x77, 0x74, 0x77, 0), B_TRANSPARENT_32_BIT);
	EXPECT_EQ(sizeof(uint32), sizeof(rgb_color));
}

TEST(GraphicsDefs, ColourSpacesHaveTheBeOSValues)
{
	EXPECT_EQ(0x0001, B_GRAY1);
	EXPECT_EQ(0x0002, B_GRAY8);
	EXPECT_EQ(0x0004, B_CMAP8);
	EXPECT_EQ(0x0008, B_RGB32);
	EXPECT_EQ(0x2008, B_RGBA32);
	EXPECT_EQ(0x0003, B_RGB24);
	EXPECT_EQ(0x0005, B_RGB16);
	EXPECT_EQ(0x0010, B_RGB15);
	EXPECT_EQ(255, B_TRANSPARENT_MAGIC_CMAP8);
}

TEST(GraphicsDefs, PixelSizesPerColourSpace)
{
	struct Row {
		color_space space;
		size_t chunk;
		size_t pixelsPerChunk;
	} rows[] = {
		{ B_RGB32, 4, 1 },
		{ B_RGBA32, 4, 1 },
		{ B_RGB24, 3, 1 },
		{ B_RGB16, 2, 1 },
		{ B_RGB15, 2, 1 },
		{ B_CMAP8, 1, 1 },
		{ B_GRAY8, 1, 1 },
		{ B_GRAY1, 1, 8 },
	};

	for (const Row& row : rows) {
		size_t chunk = 0;
		size_t alignment = 0;
		size_t pixels = 0;
		ASSERT_EQ(B_OK, get_pixel_size_for(row.space, &chunk, &alignment, &pixels)) << row.space;
		EXPECT_EQ(row.chunk, chunk) << row.space;
		EXPECT_EQ(4u, alignment) << row.space;
		EXPECT_EQ(row.pixelsPerChunk, pixels) << row.space;

		uint32 flags = 0;
		EXPECT_TRUE(bitmaps_support_space(row.space, &flags)) << row.space;
		EXPECT_NE(0u, flags);
	}

	EXPECT_EQ(B_BAD_VALUE, get_pixel_size_for(B_NO_COLOR_SPACE, NULL, NULL, NULL));
	uint32 flags = 1;
	EXPECT_FALSE(bitmaps_support_space(B_YUV422, &flags));
	EXPECT_EQ(0u, flags);
}

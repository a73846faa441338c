// The folder button's pictures: three different 24 × 24 pictures of palette indexes, a folder
// surrounded by transparency, the pressed one moved down and right, the disabled one grey.
#include "FolderPictures.h"

#include <GraphicsDefs.h>
#include <Palette.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(FolderPicturesTest, ThreeFoldersOfTheSystemPalette)
{
	static_assert(
		sizeof(FolderUp) == 576 && sizeof(FolderDown) == 576 && sizeof(FolderUpInactive) == 576);
	EXPECT_NE(0, memcmp(FolderUp, FolderDown, 576));
	EXPECT_NE(0, memcmp(FolderUp, FolderUpInactive, 576));

	struct Row {
		const char* name;
		const uint8* bits;
	};

	const Row rows[] = {
		{ "up", FolderUp },
		{ "down", FolderDown },
		{ "inactive", FolderUpInactive },
	};
	for (const Row& row : rows) {
		int32 opaque = 0;
		for (int32 i = 0; i < 576; i++)
			opaque += row.bits[i] != B_TRANSPARENT_MAGIC_CMAP8 ? 1 : 0;
		// A folder fills most of the picture; the corners stay clear.
		EXPECT_GT(opaque, 576 / 2) << row.name;
		EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, row.bits[0]) << row.name;
		EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, row.bits[575]) << row.name;
	}

	// Pressed: the outline's top-left pixel moves one down and one right.
	for (int32 y = 0; y < 23; y++) {
		for (int32 x = 0; x < 23; x++) {
			const bool up = FolderUp[y * 24 + x] == B_TRANSPARENT_MAGIC_CMAP8;
			const bool down = FolderDown[(y + 1) * 24 + x + 1] == B_TRANSPARENT_MAGIC_CMAP8;
			// The pressed folder drops its shadow, so only the folder itself must match.
			if (!up)
				continue;
			EXPECT_TRUE(down) << x << "," << y;
		}
	}

	for (int32 i = 0; i < 576; i++) {
		if (FolderUpInactive[i] == B_TRANSPARENT_MAGIC_CMAP8)
			continue;
		rgb_color color = color_for_index(FolderUpInactive[i]);
		EXPECT_TRUE(color.red == color.green && color.green == color.blue) << i;
	}
}

// BCursor: cursor data is taken apart into bits, mask and hot spot; bad data falls back
// to the system shape.
#include <Cursor.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(CursorTest, CursorDataGivesImageAndHotSpot)
{
	uint8 data[68] = { 16, 1, 3, 7 };
	for (int i = 0; i < 32; i++) {
		data[4 + i] = uint8(i);
		data[36 + i] = 0xff;
	}
	BCursor cursor(data);
	ASSERT_TRUE(cursor.HasImage());
	EXPECT_EQ(BPoint(7, 3), cursor.HotSpot());
	EXPECT_EQ(0, memcmp(cursor.Bits(), data + 4, 32));
	EXPECT_EQ(0xff, cursor.Mask()[31]);
	BCursor copy(cursor);
	EXPECT_EQ(cursor, copy);
	data[10] ^= 1;
	EXPECT_NE(cursor, BCursor(data));
}

TEST(CursorTest, BadDataGivesTheSystemShape)
{
	const uint8 wrongSize[68] = { 32, 1, 0, 0 };
	const uint8 wrongDepth[68] = { 16, 8, 0, 0 };
	const uint8 hotSpotOutside[68] = { 16, 1, 16, 0 };
	for (const uint8* data : { wrongSize, wrongDepth, hotSpotOutside }) {
		BCursor cursor(data);
		EXPECT_FALSE(cursor.HasImage());
		EXPECT_EQ(*B_CURSOR_SYSTEM_DEFAULT, cursor);
	}
	EXPECT_FALSE(BCursor(static_cast<const void*>(nullptr)).HasImage());
	EXPECT_NE(*B_CURSOR_SYSTEM_DEFAULT, *B_CURSOR_I_BEAM);
}

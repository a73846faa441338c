// LibString::Truncate with the real system font: the "..." form, the kept width, the
// count removed, the shortest forms, and cuts that respect UTF-8 characters.
#include "LibString.h"

#include <Font.h>
#include <Rect.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

int32
width_of(const char* text)
{
	return (int32)be_plain_font->StringWidth(text);
}

} // namespace

TEST(LibStringTruncateTest, TextThatFitsIsLeftAloneAndReportsItsLength)
{
	LibString text("Volume");
	BRect kept(1, 2, 3, 4);
	EXPECT_EQ(6, text.Truncate(*be_plain_font, width_of("Volume") + 1, kept));
	EXPECT_STREQ("Volume", text);
	EXPECT_EQ(BRect(1, 2, 3, 4), kept);

	LibString empty;
	EXPECT_EQ(0, empty.Truncate(*be_plain_font, 0, kept));
	EXPECT_EQ(BRect(1, 2, 3, 4), kept);
}

TEST(LibStringTruncateTest, AWidthEqualToTheTextsDoesNotFit)
{
	// The text must be strictly narrower than the limit.
	LibString text("Volume");
	BRect kept(0, 7, 0, 9);
	EXPECT_GT(text.Truncate(*be_plain_font, width_of("Volume"), kept), 0);
	EXPECT_EQ(7, kept.top);
	EXPECT_EQ(9, kept.bottom);
}

TEST(LibStringTruncateTest, LongTextKeepsTheLongestFittingStart)
{
	const char* original = "/boot/home/Desktop/A folder with a long name";
	LibString text(original);
	int32 limit = width_of(original) / 2;
	BRect kept(5, 6, 7, 8);
	int32 removed = text.Truncate(*be_plain_font, limit, kept);

	int32 keptCount = (int32)strlen(original) - removed;
	ASSERT_GT(keptCount, 1);
	EXPECT_EQ(0, strncmp(original, text, keptCount));
	EXPECT_STREQ("...", (const char*)text + keptCount);
	EXPECT_LT(width_of(text), limit);
	// One more character of the original would not have fitted.
	std::string longer = std::string(original, keptCount + 1) + "...";
	EXPECT_GE(width_of(longer.c_str()), limit);

	EXPECT_EQ(0, kept.left);
	EXPECT_EQ((float)width_of(std::string(original, keptCount).c_str()), kept.right);
	EXPECT_EQ(6, kept.top);
	EXPECT_EQ(8, kept.bottom);
}

TEST(LibStringTruncateTest, TheShortestFormsKeepOneCharacterOrNone)
{
	struct Row {
		const char* text;
		const char* result;
		int32 removed;
		bool keptWidth;
	};

	const Row rows[] = {
		{ "abcdef", "a...", 5, true },
		{ "ab", "a...", 1, true },
		{ "x", "...", 1, false },
	};
	for (const Row& row : rows) {
		LibString text(row.text);
		BRect kept;
		EXPECT_EQ(row.removed, text.Truncate(*be_plain_font, 1, kept)) << row.text;
		EXPECT_STREQ(row.result, text) << row.text;
		EXPECT_EQ(0, kept.left);
		if (row.keptWidth)
			EXPECT_EQ((float)width_of("a"), kept.right);
		else
			EXPECT_EQ(0, kept.right);
	}
}

TEST(LibStringTruncateTest, TheBufferGrowsOnceToTheFirstShortenedText)
{
	LibString text("abcdefghijklmnop");
	ASSERT_EQ(17, text.BufferSize());
	BRect kept;
	text.Truncate(*be_plain_font, width_of("abcdefgh"), kept);
	// The first step (length - 1 characters and "...") needed 19 bytes; every later
	// step fits in place.
	EXPECT_EQ(19, text.BufferSize());
}

TEST(LibStringTruncateTest, CutsNeverFallInsideAUtf8Character)
{
	const char* original =
		"R\xC3\xA9sum\xC3\xA9s \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC \xC3\xA9t\xC3\xA9";
	int32 full = width_of(original);
	for (int32 limit = 2; limit < full; limit += 2) {
		LibString text(original);
		BRect kept;
		int32 removed = text.Truncate(*be_plain_font, limit, kept);
		int32 keptCount = (int32)strlen(original) - removed;
		ASSERT_GE(keptCount, 0);
		// The byte after the kept part starts a character.
		EXPECT_NE(0x80, (uchar)original[keptCount] & 0xC0) << "limit " << limit;
	}
}

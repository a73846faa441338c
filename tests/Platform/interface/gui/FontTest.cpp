// BFont over the installed DejaVu fonts: system fonts, widths, heights and the four
// truncation modes.
#include <Font.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string
truncated(const BFont& font, const char* text, uint32 mode, float width)
{
	std::string result = text;
	font.TruncateString(&result, mode, width);
	return result;
}

const std::string kEllipsis = B_UTF8_ELLIPSIS;

} // namespace

TEST(FontTest, SystemFontsAreDejaVuSansAtTwelvePixels)
{
	font_family family;
	font_style style;
	be_plain_font->GetFamilyAndStyle(&family, &style);
	EXPECT_STREQ("DejaVu Sans", family);
	EXPECT_STREQ("Book", style);
	EXPECT_EQ(12.0f, be_plain_font->Size());

	be_bold_font->GetFamilyAndStyle(&family, &style);
	EXPECT_STREQ("Bold", style);
	EXPECT_NE(0, be_bold_font->Face() & B_BOLD_FACE);
	EXPECT_TRUE(be_fixed_font->IsFixed());
	EXPECT_FALSE(be_plain_font->IsFixed());

	BFont font;
	EXPECT_EQ(*be_plain_font, font);
}

TEST(FontTest, BeOSFamilyNamesMapOntoInstalledFonts)
{
	BFont font;
	EXPECT_EQ(B_OK, font.SetFamilyAndStyle("Swis721 BT", "Roman"));
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	EXPECT_STREQ("DejaVu Sans", family);
	EXPECT_STREQ("Book", style);

	EXPECT_EQ(B_OK, font.SetFamilyAndStyle("Courier10 BT", "Bold"));
	EXPECT_TRUE(font.IsFixed());
	EXPECT_NE(0, font.Face() & B_BOLD_FACE);

	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle("No Such Family 7", "Roman"));
	font.GetFamilyAndStyle(&family, NULL);
	EXPECT_STREQ("DejaVu Sans Mono", family);
}

TEST(FontTest, WidthsGrowWithTextAndSize)
{
	BFont font;
	float narrow = font.StringWidth("iiii");
	float wide = font.StringWidth("WWWW");
	EXPECT_GT(narrow, 0.0f);
	EXPECT_GT(wide, narrow);
	EXPECT_FLOAT_EQ(font.StringWidth("WW"), font.StringWidth("WWWW", 2));
	EXPECT_EQ(0.0f, font.StringWidth(""));
	EXPECT_EQ(0.0f, font.StringWidth(NULL));

	BFont big(font);
	big.SetSize(24);
	EXPECT_NEAR(2 * wide, big.StringWidth("WWWW"), 2.0f);
	EXPECT_GT(be_bold_font->StringWidth("WWWW"), wide);

	// Rotation turns the baseline; it does not change the advance along it.
	BFont rotated(font);
	rotated.SetRotation(90);
	EXPECT_FLOAT_EQ(wide, rotated.StringWidth("WWWW"));
}

TEST(FontTest, HeightFitsTheSize)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	EXPECT_GT(height.ascent, 8.0f);
	EXPECT_GT(height.descent, 1.0f);
	EXPECT_LT(height.ascent + height.descent, 17.0f);
	EXPECT_GE(height.leading, 0.0f);
}

TEST(FontTest, TextThatFitsIsNotTruncated)
{
	BFont font;
	const char* text = "/boot/home/Desktop";
	float width = font.StringWidth(text);
	for (uint32 mode :
		{ B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE, B_TRUNCATE_SMART }) {
		EXPECT_EQ(text, truncated(font, text, mode, width)) << "mode " << mode;
	}
}

TEST(FontTest, TruncationModesKeepTheirEnds)
{
	BFont font;
	const char* text = "/boot/home/Desktop/Projects/Installer/readme.txt";
	float width = font.StringWidth(text) / 2;

	struct Row {
		uint32 mode;
		const char* keptStart;
		const char* keptEnd;
	};

	const Row rows[] = {
		{ B_TRUNCATE_END, "/boot/home", "" },
		{ B_TRUNCATE_BEGINNING, "", "Installer/readme.txt" },
		{ B_TRUNCATE_MIDDLE, "/boot/h", "readme.txt" },
		{ B_TRUNCATE_SMART, "/boot/h", "/readme.txt" },
	};
	for (const Row& row : rows) {
		std::string result = truncated(font, text, row.mode, width);
		SCOPED_TRACE(result);
		EXPECT_LE(font.StringWidth(result.c_str()), width);
		EXPECT_NE(std::string::npos, result.find(kEllipsis));
		EXPECT_EQ(0u, result.find(row.keptStart));
		std::string end = row.keptEnd;
		EXPECT_EQ(result.size() - end.size(), result.rfind(end));
		// The longest fitting result: one more character would not fit.
		EXPECT_GT(font.StringWidth(result.c_str()) + font.StringWidth("W"), width);
	}

	std::string end = truncated(font, text, B_TRUNCATE_END, width);
	EXPECT_EQ(kEllipsis, end.substr(end.size() - kEllipsis.size()));
	std::string beginning = truncated(font, text, B_TRUNCATE_BEGINNING, width);
	EXPECT_EQ(0u, beginning.find(kEllipsis));
}

TEST(FontTest, SmartTruncationKeepsTheLastPathComponentWhole)
{
	BFont font;
	const char* path = "/boot/home/config/settings/Installer/Long Product Name Settings";
	float leafWidth =
		font.StringWidth(kEllipsis.c_str()) + font.StringWidth("/Long Product Name Settings");
	std::string result = truncated(font, path, B_TRUNCATE_SMART, leafWidth + 30);
	EXPECT_NE(std::string::npos, result.find("/Long Product Name Settings"));
	EXPECT_EQ(0u, result.find("/"));

	// A last component that cannot fit is shortened like any text, in the middle.
	std::string narrow = truncated(font, path, B_TRUNCATE_SMART, leafWidth / 2);
	EXPECT_EQ(truncated(font, path, B_TRUNCATE_MIDDLE, leafWidth / 2), narrow);
	// Text without a slash too.
	EXPECT_EQ(truncated(font, "A long sentence without any slash", B_TRUNCATE_MIDDLE, 80),
		truncated(font, "A long sentence without any slash", B_TRUNCATE_SMART, 80));
}

TEST(FontTest, TruncationNeverSplitsCharacters)
{
	BFont font;
	const char* text = "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC "
					   "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC";
	float full = font.StringWidth(text);
	for (float width = 5; width < full; width += 3) {
		for (uint32 mode :
			{ B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE, B_TRUNCATE_SMART }) {
			std::string result = truncated(font, text, mode, width);
			for (size_t i = 0; i < result.size();) {
				unsigned char lead = (unsigned char)result[i];
				size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
				ASSERT_GE(lead < 0x80 || lead >= 0xC0, true) << "split at " << i;
				i += length;
				ASSERT_LE(i, result.size());
			}
		}
	}
}

TEST(FontTest, TruncatedStringsFitTheirBuffers)
{
	BFont font;
	const char* texts[] = { "abcdefghijklmnopqrstuvwxyz", "ab", "" };
	char first[26 + 3];
	char second[2 + 3];
	char third[0 + 3];
	char* results[] = { first, second, third };
	font.GetTruncatedStrings(texts, 3, B_TRUNCATE_MIDDLE, font.StringWidth("abc"), results);
	EXPECT_LT(strlen(first), sizeof(first));
	EXPECT_LE(font.StringWidth(first), font.StringWidth("abc"));
	EXPECT_STREQ("ab", second);
	EXPECT_STREQ("", third);

	// Nothing fits in no room at all, not even the ellipsis.
	EXPECT_EQ("", truncated(font, "abcdef", B_TRUNCATE_END, 1));
}

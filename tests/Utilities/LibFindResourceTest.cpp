// The one-value resource readers: exactly the value's size or nothing, the output left
// alone on failure, little-endian values, and strings cut to the buffer.
#include "LibAppResource.h"

#include "TempDir.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class LibFindResource : public testing::Test {
protected:
	void SetUp() override
	{
		std::string program = fTemp.Child("program");
		std::filesystem::copy_file("/bin/true", program);
		ASSERT_EQ(B_OK, fResources.SetTo(program.c_str()));
	}

	void Add(type_code type, int32 id, const std::string& data)
	{
		ASSERT_EQ(B_OK, fResources.AddResource(type, id, data.data(), data.size()));
	}

	ScopedTempDir fTemp;
	BResources fResources;
};

} // namespace

TEST_F(LibFindResource, ReadsOnlyResourcesOfExactlyTheValuesSize)
{
	Add(B_INT32_TYPE, 1, std::string("\x78\x56\x34\x12", 4));
	Add(B_INT32_TYPE, 2, std::string(8, '\1'));
	int32 longValue = -1;
	EXPECT_TRUE(LibFindLongResource(fResources, 1, longValue));
	EXPECT_EQ(0x12345678, longValue);
	EXPECT_FALSE(LibFindLongResource(fResources, 2, longValue));
	EXPECT_FALSE(LibFindLongResource(fResources, 3, longValue));
	EXPECT_EQ(0x12345678, longValue);

	Add(B_INT8_TYPE, 1, "\xfe");
	Add(B_INT8_TYPE, 2, "ab");
	int8 shortValue = 5;
	EXPECT_TRUE(LibFindShortResource(fResources, 1, shortValue));
	EXPECT_EQ(-2, shortValue);
	EXPECT_FALSE(LibFindShortResource(fResources, 2, shortValue));
	EXPECT_EQ(-2, shortValue);

	Add(B_BOOL_TYPE, 1, std::string("\1", 1));
	Add(B_BOOL_TYPE, 2, std::string("\0\0", 2));
	bool boolValue = false;
	EXPECT_TRUE(LibFindBoolResource(fResources, 1, boolValue));
	EXPECT_TRUE(boolValue);
	EXPECT_FALSE(LibFindBoolResource(fResources, 2, boolValue));
	EXPECT_TRUE(boolValue);

	Add(B_RGB_COLOR_TYPE, 1, std::string("\x10\x20\x30\xff", 4));
	Add(B_RGB_COLOR_TYPE, 2, std::string("\x10\x20\x30", 3));
	rgb_color color = { 1, 2, 3, 4 };
	EXPECT_TRUE(LibFindRGBResource(fResources, 1, color));
	EXPECT_EQ(0x10, color.red);
	EXPECT_EQ(0x20, color.green);
	EXPECT_EQ(0x30, color.blue);
	EXPECT_EQ(0xff, color.alpha);
	EXPECT_FALSE(LibFindRGBResource(fResources, 2, color));
	EXPECT_EQ(0x10, color.red);

	// Four little-endian floats: 1, 2, 30.5, -4.
	Add(B_RECT_TYPE, 1,
		std::string("\x00\x00\x80\x3f\x00\x00\x00\x40\x00\x00\xf4\x41\x00\x00\x80\xc0", 16));
	Add(B_RECT_TYPE, 2, std::string(12, '\0'));
	BRect rect(9, 9, 9, 9);
	EXPECT_TRUE(LibFindRectResource(fResources, 1, rect));
	EXPECT_EQ(BRect(1, 2, 30.5f, -4), rect);
	EXPECT_FALSE(LibFindRectResource(fResources, 2, rect));
	EXPECT_EQ(BRect(1, 2, 30.5f, -4), rect);
}

TEST_F(LibFindResource, StringReaderEmptiesTheBufferAndCutsToFit)
{
	Add(B_STRING_TYPE, 1, std::string("a longer text\0tail", 18));
	Add(B_STRING_TYPE, 2, "");
	char buffer[8] = "old";
	EXPECT_TRUE(LibFindStringResource(fResources, 1, buffer, sizeof(buffer)));
	EXPECT_STREQ("a longe", buffer);

	char large[64] = "old";
	EXPECT_TRUE(LibFindStringResource(fResources, 1, large, sizeof(large)));
	EXPECT_STREQ("a longer text", large);
	EXPECT_FALSE(LibFindStringResource(fResources, 2, large, sizeof(large)));
	EXPECT_STREQ("", large);
	strcpy(large, "old");
	EXPECT_FALSE(LibFindStringResource(fResources, 3, large, sizeof(large)));
	EXPECT_STREQ("", large);
}

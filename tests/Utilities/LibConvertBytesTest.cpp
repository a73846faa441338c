// LibConvertBytes: the unit boundaries (strictly above 1024 and 1048576 bytes), precision,
// 64-bit counts, and texts back to bytes with their failure cases.
#include "LibConvertBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextRow {
	int64 bytes;
	int precision;
	const char* text;
};

const TextRow kTextRows[] = {
	{ 0, 0, "0 bytes" },
	{ 1, 0, "1 bytes" },
	{ 1024, 0, "1024 bytes" },
	{ 1025, 0, "1 KB" },
	{ 1536, 1, "1.5 KB" },
	{ 1048576, 0, "1024 KB" },
	{ 1048576, 2, "1024.00 KB" },
	{ 1048577, 0, "1 MB" },
	{ 1572864, 1, "1.5 MB" },
	{ -5000, 0, "-5000 bytes" },
	{ 2147483647, 1, "2048.0 MB" },
	// A volume's free space: no unit above MB.
	{ 5368709120LL, 1, "5120.0 MB" },
};

struct CountRow {
	const char* text;
	int32 bytes;
};

const CountRow kCountRows[] = {
	{ "1.5 MB", 1572864 },
	{ "2 KB", 2048 },
	{ "1 KB", 1024 },
	{ "0.5 KB", 512 },
	{ "1.1 KB", 1126 },
	{ "-1 KB", -1024 },
	// Only KB and MB, case-sensitively.
	{ "1024 bytes", 0 },
	{ "2 kb", 0 },
	{ "2 GB", 0 },
	{ "2", 0 },
	// Beyond the 32-bit range the count stays at its limit.
	{ "4096 MB", 2147483647 },
	{ "-4096 MB", -2147483647 - 1 },
};

} // namespace

TEST(LibConvertBytes, FormatsCountsWithTheUnitAboveEachBoundary)
{
	for (const TextRow& row : kTextRows) {
		LibString out("old text");
		if (row.bytes >= INT32_MIN && row.bytes <= INT32_MAX) {
			int32 bytes = (int32)row.bytes;
			EXPECT_STREQ(row.text, LibConvertBytes(bytes, out, row.precision)) << row.bytes;
		}
		EXPECT_STREQ(row.text, LibConvertBytes(row.bytes, out, row.precision)) << row.bytes;
		EXPECT_STREQ(row.text, out);
	}
}

TEST(LibConvertBytes, ReadsKilobyteAndMegabyteTextsBack)
{
	for (const CountRow& row : kCountRows)
		EXPECT_EQ(row.bytes, LibConvertBytes(row.text)) << "'" << row.text << "'";
}

TEST(LibConvertBytes, TextWithoutANumberGivesZeroAndSaysSo)
{
	testing::internal::CaptureStderr();
	EXPECT_EQ(0, LibConvertBytes("many KB"));
	EXPECT_EQ(0, LibConvertBytes("1,5 MB"));
	EXPECT_EQ("LibConvertBytes <many> not a float\nLibConvertBytes <1,5> not a float\n",
		testing::internal::GetCapturedStderr());
}

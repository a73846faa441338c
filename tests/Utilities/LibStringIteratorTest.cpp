#include <LibStringIterator.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every field that GetNextField hands out, with the result of each call, up to the first
// false or a limit that catches a reader that never ends.
template <typename Separator>
static std::vector<std::string>
all_fields(const char* text, Separator separator)
{
	LibStringIterator iterator(text);
	std::vector<std::string> fields;
	LibString field;
	for (int i = 0; i < 10; i++) {
		bool result = iterator.GetNextField(separator, field);
		fields.push_back((result ? "+" : "-") + std::string(field));
		if (!result)
			break;
	}
	return fields;
}

TEST(LibStringIterator, OneSeparatorDeliversTheLastFieldWithTrue)
{
	const struct {
		const char* text;
		std::vector<std::string> fields;
	} rows[] = {
		{ "a,b", { "+a", "+b", "-" } },
		{ "a,b,", { "+a", "+b", "-" } },
		{ ",,", { "+", "+", "-" } },
		{ "", { "-" } },
		{ "abc", { "+abc", "-" } },
	};

	for (const auto& row : rows)
		EXPECT_EQ(row.fields, all_fields(row.text, ',')) << row.text;
}

TEST(LibStringIterator, SeparatorSetDeliversTheLastFieldWithFalse)
{
	const struct {
		const char* text;
		const char* separators;
		std::vector<std::string> fields;
	} rows[] = {
		{ "a;b:c", ";:", { "+a", "+b", "-c" } },
		{ "a;b;", ";:", { "+a", "+b", "-" } },
		{ "a;b", "", { "-a;b" } },
		{ "", ";", { "-" } },
	};

	for (const auto& row : rows)
		EXPECT_EQ(row.fields, all_fields(row.text, row.separators)) << row.text;

	LibStringIterator iterator("x;tail");
	LibString field;
	EXPECT_TRUE(iterator.GetNextField(";", field));
	EXPECT_FALSE(iterator.GetNextField(";", field));
	EXPECT_STREQ("tail", field);
	EXPECT_EQ(2, iterator.Position());
}

TEST(LibStringIterator, IndexFieldCountsFromTheCurrentPosition)
{
	LibStringIterator iterator("a:b:c:d");
	LibString field("kept");
	EXPECT_TRUE(iterator.GetIndexField(':', 1, field));
	EXPECT_STREQ("b", field);
	EXPECT_TRUE(iterator.GetIndexField(':', 1, field));
	EXPECT_STREQ("d", field);
	field = "kept";
	EXPECT_FALSE(iterator.GetIndexField(':', 0, field));
	EXPECT_FALSE(iterator.GetIndexField(':', -1, field));
	EXPECT_STREQ("kept", field);
}

TEST(LibStringIterator, CopiesKeepThePositionAndNewTextsRestart)
{
	LibStringIterator iterator("a b c");
	LibString field;
	iterator.GetNextField(' ', field);
	LibStringIterator copy(iterator);
	EXPECT_EQ(2, copy.Position());
	LibStringIterator assigned;
	assigned = iterator;
	EXPECT_EQ(2, assigned.Position());
	EXPECT_TRUE(assigned.GetNextField(' ', field));
	EXPECT_STREQ("b", field);

	assigned = "x y";
	EXPECT_EQ(0, assigned.Position());
	assigned.GetNextField(' ', field);
	assigned = LibString("z");
	EXPECT_EQ(0, assigned.Position());
	EXPECT_EQ(0, LibStringIterator(LibString("q")).Position());
	EXPECT_EQ(5, LibStringIterator(4).BufferSize());
}

TEST(LibStringIterator, PositionsOutsideTheTextReadAsTheEnd)
{
	LibStringIterator iterator("abc,def");
	LibString field("old");
	for (int position : { -1, 7, 100 }) {
		iterator.Reset(position);
		EXPECT_FALSE(iterator.GetNextField(',', field)) << position;
		EXPECT_STREQ("", field);
	}
	iterator.Reset(4);
	EXPECT_TRUE(iterator.GetNextField(',', field));
	EXPECT_STREQ("def", field);
}

TEST(LibStringIterator, PrintToStreamAddsThePosition)
{
	LibStringIterator iterator("a;b");
	LibString field;
	iterator.GetNextField(';', field);
	testing::internal::CaptureStderr();
	iterator.PrintToStream();
	EXPECT_EQ("LibString:: <a;b>, buffer 4\nposition 2\n", testing::internal::GetCapturedStderr());
}

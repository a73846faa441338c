#include <LibString.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

// One row of an in-place operation: what it starts from, what it does, what is left.
struct EditRow {
	const char* name;
	const char* text;
	std::function<void(LibString&)> edit;
	const char* expected;
};

static void
check_edits(const std::initializer_list<EditRow>& rows)
{
	for (const EditRow& row : rows) {
		LibString string(row.text);
		row.edit(string);
		EXPECT_STREQ(row.expected, string) << row.name;
	}
}

TEST(LibString, BuffersGrowToTheExactSizeAndNeverShrink)
{
	EXPECT_EQ(1, LibString().BufferSize());
	EXPECT_EQ(11, LibString(10).BufferSize());

	LibString wide(99);
	wide = "abc";
	EXPECT_EQ(4, wide.BufferSize());
	LibString copy;
	copy = wide;
	EXPECT_EQ(4, copy.BufferSize());

	LibString roomy(99);
	roomy.Concat("abc");
	EXPECT_EQ(100, roomy.BufferSize());
	copy = roomy;
	EXPECT_EQ(100, copy.BufferSize());
	EXPECT_EQ(100, LibString(roomy).BufferSize());

	LibString growing("ab");
	growing += "cde";
	EXPECT_EQ(6, growing.BufferSize());
	growing.FromIndex(3);
	EXPECT_EQ(6, growing.BufferSize());
	growing.Concat('x');
	EXPECT_EQ(6, growing.BufferSize());
	EXPECT_STREQ("dex", growing);
}

TEST(LibString, NumberAssignmentsUseTheirFixedBufferSizes)
{
	LibString string;
	string = int32(-42);
	EXPECT_STREQ("-42", string);
	EXPECT_EQ(11, string.BufferSize());
	string = int32(INT32_MIN);
	EXPECT_STREQ("-2147483648", string);
	EXPECT_EQ(12, string.BufferSize());
	string = 1.5f;
	EXPECT_STREQ("1.500000", string);
	EXPECT_EQ(11, string.BufferSize());
	string = 2.25;
	EXPECT_STREQ("2.250000", string);
	EXPECT_EQ(16, string.BufferSize());
	string = 1e20;
	EXPECT_STREQ("100000000000000000000.000000", string);
	EXPECT_EQ(29, string.BufferSize());
}

TEST(LibString, FixedTextsMatchTheCLibrary)
{
	const double values[] = { 0.1, 2.5, -1e-7, 1e20, 123456.789, -0.0 };
	const int precisions[] = { 0, 2, 6, 17, -1 };
	for (double value : values) {
		for (int precision : precisions) {
			char expected[128];
			snprintf(expected, sizeof(expected), "%.*f", precision, value);
			LibString string;
			string.SetFloat64(value, precision);
			EXPECT_STREQ(expected, string) << value << " " << precision;
		}
	}
}

TEST(LibString, ClearedStringReadsEmptyEverywhere)
{
	LibString string("text");
	string.Clear();
	EXPECT_EQ(0, string.BufferSize());
	EXPECT_STREQ("", string);
	EXPECT_EQ(0, string.Length());
	EXPECT_TRUE(!string);
	EXPECT_EQ('\0', string[0]);

	string.FromIndex(0);
	string.StripTrailingSpaces();
	string.ToProperCase();
	string.Replace(0, 'x');
	string.Remove(0, 3);
	string.RemoveRepeatingChar('a');
	EXPECT_STREQ("", string);
	EXPECT_EQ(0, string.BufferSize());
	EXPECT_EQ(0, LibString(string).BufferSize());

	string.Concat("ab");
	EXPECT_STREQ("ab", string);
	EXPECT_EQ(3, string.BufferSize());
	string.SetBuffer(-1);
	EXPECT_EQ(0, string.BufferSize());
}

TEST(LibString, CopiesAreIndependentAndSelfReferencesAreSafe)
{
	LibString original("shared");
	LibString copy(original);
	copy.ToUpperCase();
	EXPECT_STREQ("shared", original);
	original = original;
	EXPECT_STREQ("shared", original);

	original = static_cast<const char*>(original) + 3;
	EXPECT_STREQ("red", original);
	original.Concat(static_cast<const char*>(original));
	EXPECT_STREQ("redred", original);
	original += original;
	EXPECT_STREQ("redredredred", original);
	original.Insert(2, static_cast<const char*>(original) + 9);
	EXPECT_STREQ("redredredredred", original);
	original = static_cast<const char*>(nullptr);
	EXPECT_STREQ("redredredredred", original);

	LibString chained("a");
	(chained + "b") + 'c';
	EXPECT_STREQ("abc", chained);
}

TEST(LibString, ComparisonsWalkSignedBytesAndSortPrefixesFirst)
{
	const struct {
		const char* text;
		const char* argument;
		bool ignoreCase;
		int32 expected;
	} rows[] = {
		{ "abd", "abc", false, 1 },
		{ "ab", "abc", false, -1 },
		{ "", "", false, 0 },
		{ "abc", "ABC", true, 0 },
		{ "abc", "ABC", false, 1 },
		{ "abc", "", false, 1 },
		{ "", "a", false, -1 },
		{ "a", "\xe9", false, 1 },
		{ "a", "a\xe9", false, -1 },
		{ "\xe9", "\xc9", true, 1 },
		{ "aBd", "AbC", true, 1 },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.expected, LibString(row.text).Compare(row.argument, row.ignoreCase))
			<< row.text << " vs " << row.argument;
	}

	LibString b("b");
	EXPECT_TRUE(b == "b" && b != "a" && b > "a" && b < "c" && b <= "b" && b >= "b");
	EXPECT_TRUE(b == LibString("b") && b < LibString("ba"));
	EXPECT_TRUE(b != nullptr);
}

TEST(LibString, CompareSubComparesFromTheStartOverTheLength)
{
	LibString string("Hello World");
	EXPECT_EQ(0, string.CompareSub("World", false, -1, 6));
	EXPECT_EQ(0, string.CompareSub("WORLD", true, -1, 6));
	EXPECT_GT(string.CompareSub("Hell", false, -1, 0), 0);
	EXPECT_EQ(0, string.CompareSub("Hell", false, 4, 0));
	EXPECT_EQ(0, string.CompareSub("hellO", true, 4, 0));
	EXPECT_EQ(-1, string.CompareSub("hellz", true, 5, 0));
	EXPECT_NE(0, string.CompareSub("Hell", false, 5, 0));
	EXPECT_EQ(0, string.CompareSub("", false, -1, 11));
	EXPECT_LT(string.CompareSub("x", false, -1, 50), 0);
	EXPECT_LT(string.CompareSub("x", true, -1, -3), 0);
}

TEST(LibString, PrefixSuffixAndContainmentTests)
{
	LibString string("Read Me.TXT");
	EXPECT_TRUE(string.BeginsWith("Read"));
	EXPECT_FALSE(string.BeginsWith("read"));
	EXPECT_TRUE(string.BeginsWith("read", true));
	EXPECT_FALSE(string.BeginsWith("Read Me.TXT!"));
	EXPECT_TRUE(string.EndsWith(".TXT"));
	EXPECT_TRUE(string.EndsWith(".txt", true));
	EXPECT_FALSE(string.EndsWith(".txt"));

	EXPECT_TRUE(string.Contain('M'));
	EXPECT_FALSE(string.Contain('\0'));
	EXPECT_TRUE(string.Contain("Me."));
	EXPECT_FALSE(string.Contain("me."));
	EXPECT_TRUE(string.Contain("me.", true));
	EXPECT_TRUE(string.Contain(""));
	// An occurrence behind a false start is found without regard to case, too.
	EXPECT_TRUE(LibString("xaab").Contain("AB", true));
	EXPECT_FALSE(LibString("xaa").Contain("AAA", true));
	// The LibString overload is always case-sensitive, whatever it is asked.
	EXPECT_FALSE(string.Contain(LibString("me.txt"), true));
	EXPECT_FALSE(string.Contain(LibString("me.txt")));
	EXPECT_TRUE(string.Contain(LibString("Me.TXT"), true));

	EXPECT_TRUE(LibString(" \t\n").IsBlank());
	EXPECT_FALSE(LibString(" \xa0").IsBlank());
}

TEST(LibString, WildcardsMatchStarsAndQuestionMarks)
{
	const struct {
		const char* subject;
		const char* pattern;
		bool matches;
	} rows[] = {
		{ "file.txt", "*.txt", true },
		{ "file.txt", "f*", true },
		{ "file.txt", "*", true },
		{ "file.txt", "????.txt", true },
		{ "file.txt", "file.t?t", true },
		{ "file.txt", "*.TXT", false },
		{ "file.txt", "file", false },
		{ "", "*", true },
		{ "", "", true },
		{ "", "?", false },
		{ "", "*?", false },
		{ "a", "*?", true },
		{ "a", "", false },
		{ "abcbc", "*bc", true },
		{ "abcbd", "*bc", false },
		{ "a.b.c", "*.*.c", true },
		{ "ab", "a**b", true },
		{ "abcd", "*??", true },
		{ "a", "*??", false },
		{ "abcx", "*?*x", true },
		{ "a*b", "a*", true },
		{ "xyz", "x?z*", true },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.matches, LibString(row.subject).IsWildCard(row.pattern))
			<< row.subject << " ~ " << row.pattern;
		EXPECT_EQ(row.matches, LibString::CompareWildCard(row.subject, row.pattern));
	}
}

TEST(LibString, SearchesAndWordsFindTheirTargets)
{
	LibString string("  alpha   beta gamma");
	EXPECT_EQ(3, string.Words());
	LibString word("old");
	EXPECT_TRUE(string.Word(2, word));
	EXPECT_STREQ("beta", word);
	EXPECT_FALSE(string.Word(4, word));
	EXPECT_STREQ("", word);
	EXPECT_FALSE(string.Word(0, word));
	EXPECT_EQ(0, LibString(" \t ").Words());

	EXPECT_EQ(2, string.Index('a'));
	EXPECT_EQ(-1, string.Index('z'));
	EXPECT_EQ(10, string.Index("beta"));
	EXPECT_EQ(0, string.Index(""));
	EXPECT_EQ(-1, LibString().Index(""));
	EXPECT_EQ(-1, LibString().Index('a'));
	EXPECT_EQ(4, string.IndexOfAny("hp"));
	EXPECT_EQ(-1, string.IndexOfAny("xyz"));
	EXPECT_EQ(5, string.Count('a'));
}

TEST(LibString, InsertAndPrependPlaceTheText)
{
	check_edits({
		{ "after first", "abc", [](LibString& s) { s.Insert(0, "X"); }, "aXbc" },
		{ "front", "abc", [](LibString& s) { s.Insert(-1, "X"); }, "Xabc" },
		{ "past end", "abc", [](LibString& s) { s.Insert(7, "X"); }, "abcX" },
		{ "below -1", "abc", [](LibString& s) { s.Insert(-5, "X"); }, "abcX" },
		{ "empty", "", [](LibString& s) { s.Insert(0, "X"); }, "X" },
		{ "prepend", "abc", [](LibString& s) { s.PrePend("<>"); }, "<>abc" },
	});
}

TEST(LibString, CuttingOperationsHoldAtEveryBoundary)
{
	check_edits({
		{ "ToLast", "a/b/c", [](LibString& s) { s.ToLast('/', -1); }, "a/b" },
		{ "FromLast", "a/b/c", [](LibString& s) { s.FromLast('/', 1); }, "c" },
		{ "FromLast none", "abc", [](LibString& s) { s.FromLast('/', 1); }, "bc" },
		{ "FromLast past", "ab/", [](LibString& s) { s.FromLast('/', 1); }, "" },
		{ "ToLast -1", "/ab", [](LibString& s) { s.ToLast('/', -1); }, "" },
		{ "ToLast below", "/ab", [](LibString& s) { s.ToLast('/', -2); }, "/ab" },
		{ "ToLast last", "a/b", [](LibString& s) { s.ToLast('/', 1); }, "a/b" },
		{ "ToChar", "key:value", [](LibString& s) { EXPECT_TRUE(s.ToChar(':', 0, 0)); }, "key" },
		{ "ToChar keep", "key:value", [](LibString& s) { EXPECT_TRUE(s.ToChar(':', 0, 1)); },
			"key:" },
		{ "ToChar far", "a:b", [](LibString& s) { EXPECT_TRUE(s.ToChar(':', 0, 9)); }, "a:b" },
		{ "ToChar before", "a:b", [](LibString& s) { EXPECT_TRUE(s.ToChar(':', 0, -9)); }, "" },
		{ "ToChar none", "a:b", [](LibString& s) { EXPECT_FALSE(s.ToChar(':', 1, 0)); }, "a:b" },
		{ "FromChar", "key:value", [](LibString& s) { EXPECT_TRUE(s.FromChar(':', 0, 0)); },
			":value" },
		{ "FromChar none", "key:value", [](LibString& s) { EXPECT_FALSE(s.FromChar(':', 1, 0)); },
			"key:value" },
		{ "FromChar negative", "a:b", [](LibString& s) { EXPECT_FALSE(s.FromChar(':', -1, 0)); },
			"a:b" },
		{ "FromIndex", "abc", [](LibString& s) { s.FromIndex(2); }, "c" },
		{ "FromIndex end", "abc", [](LibString& s) { s.FromIndex(3); }, "" },
		{ "FromIndex neg", "abc", [](LibString& s) { s.FromIndex(-1); }, "" },
		{ "ToIndex", "abc", [](LibString& s) { s.ToIndex(1); }, "ab" },
		{ "ToIndex -1", "abc", [](LibString& s) { s.ToIndex(-1); }, "" },
		{ "ToIndex -2", "abc", [](LibString& s) { s.ToIndex(-2); }, "abc" },
		{ "ToIndex last", "abc", [](LibString& s) { s.ToIndex(2); }, "abc" },
		{ "Remove", "abcdef", [](LibString& s) { s.Remove(1, 2); }, "adef" },
		{ "Remove tail", "abcdef", [](LibString& s) { s.Remove(4, 99); }, "abcd" },
		{ "Remove past", "abc", [](LibString& s) { s.Remove(4, 9); }, "abc" },
		{ "RemoveChar", "abc", [](LibString& s) { s.RemoveChar(2); }, "ab" },
		{ "RemoveChar out", "abc", [](LibString& s) { s.RemoveChar(3); }, "abc" },
		{ "ShiftFrom", "abcdef", [](LibString& s) { s.ShiftFrom(1, 4); }, "aef" },
		{ "ShiftFrom bad", "abc", [](LibString& s) { s.ShiftFrom(2, 9); }, "abc" },
	});

	LibString string("a(bc)d");
	EXPECT_STREQ("bc", string.Extract('(', ')', true));
	EXPECT_STREQ("(bc)", string.Extract('(', ')', false));
	EXPECT_STREQ("", string.Extract('[', ']', false));
	EXPECT_STREQ("bc)d", string.Extract('(', '>', true));
	EXPECT_STREQ("(bc)d", string.Extract('(', '>', false));
	EXPECT_STREQ("bc", string.Extract(2, 3));
	EXPECT_EQ(3, string.Extract(2, 3).BufferSize());
	EXPECT_STREQ("", string.Extract(3, 2));
	EXPECT_STREQ("", string.Extract(-1, 2));
	EXPECT_STREQ("", string.Extract(2, 6));
}

TEST(LibString, WordRemovalTakesTheSeparatorInFront)
{
	check_edits({
		{ "middle", "alpha beta gamma", [](LibString& s) { EXPECT_TRUE(s.RemoveWord("beta")); },
			"alpha gamma" },
		{ "first", "alpha beta gamma", [](LibString& s) { EXPECT_TRUE(s.RemoveWord("alpha")); },
			" beta gamma" },
		{ "last", "alpha beta", [](LibString& s) { EXPECT_TRUE(s.RemoveWord("beta")); }, "alpha" },
		{ "part of a word", "alphabet", [](LibString& s) { EXPECT_FALSE(s.RemoveWord("alpha")); },
			"alphabet" },
		{ "empty word", "a b", [](LibString& s) { EXPECT_FALSE(s.RemoveWord("")); }, "a b" },
		{ "all", "x a x b x", [](LibString& s) { s.RemoveAllWords("x"); }, " a b" },
	});
}

TEST(LibString, EditsInPlaceReplaceStripAndMapCase)
{
	check_edits({
		{ "Replace", "a-b-c", [](LibString& s) { EXPECT_EQ(1, s.Replace("-", "+=")); }, "a+=b-c" },
		{ "Replace none", "abc", [](LibString& s) { EXPECT_EQ(-1, s.Replace("x", "y")); }, "abc" },
		{ "Replace empty", "", [](LibString& s) { EXPECT_EQ(-1, s.Replace("", "y")); }, "" },
		{ "ReplaceAll", "a-b-c", [](LibString& s) { s.ReplaceAll("-", ""); }, "abc" },
		{ "ReplaceAll growing", "aXa", [](LibString& s) { s.ReplaceAll("a", "aa"); }, "aaXaa" },
		{ "ReplaceAll regrowing", "aab", [](LibString& s) { s.ReplaceAll("ab", "bbaa"); },
			"abbaa" },
		{ "ReplaceAll empty", "abc", [](LibString& s) { s.ReplaceAll("", "x"); }, "abc" },
		// Where repeating Replace from the start ends, its result is kept: a replacement
		// may join with what precedes it into a new occurrence.
		{ "ReplaceAll rejoining", "a///b", [](LibString& s) { s.ReplaceAll("//", "/"); }, "a/b" },
		{ "ReplaceAll rejoining long", "x////////y", [](LibString& s) { s.ReplaceAll("//", "/"); },
			"x/y" },
		{ "ReplaceAll same length", "aaabbb", [](LibString& s) { s.ReplaceAll("ab", "ba"); },
			"bbbaaa" },
		{ "ReplaceAll shrinking", "aaaa", [](LibString& s) { s.ReplaceAll("aa", "a"); }, "a" },
		{ "ReplaceAll cascading", "abcc", [](LibString& s) { s.ReplaceAll("bc", "b"); }, "ab" },
		{ "ReplaceAll containing", "a/b", [](LibString& s) { s.ReplaceAll("/", "//"); }, "a//b" },
		{ "ReplaceAll char", "a.b.c", [](LibString& s) { s.ReplaceAll('.', '/'); }, "a/b/c" },
		{ "SwapChar", "a.b", [](LibString& s) { s.SwapChar('.', ' '); }, "a b" },
		{ "repeating", "a//b///c", [](LibString& s) { s.RemoveRepeatingChar('/'); }, "a/b/c" },
		{ "punctuation", "it's_a-b!\xe9", [](LibString& s) { s.StripPunct(); }, "its_ab\xe9" },
		{ "trailing char", "a//", [](LibString& s) { s.StripTrailingChar('/'); }, "a/" },
		{ "trailing", " a b \t\n", [](LibString& s) { s.StripTrailingSpaces(); }, " a b" },
		{ "leading", " \t a b ", [](LibString& s) { s.StripLeadingSpaces(); }, "a b " },
		{ "all blank", " \t ", [](LibString& s) { s.StripLeadingSpaces(); }, "" },
		{ "all spaces", " a b\tc ", [](LibString& s) { s.StripAllSpaces(); }, "abc" },
		{ "upper", "ab\xe9z", [](LibString& s) { s.ToUpperCase(); }, "AB\xe9Z" },
		{ "lower", "AB\xc9Z", [](LibString& s) { s.ToLowerCase(); }, "ab\xc9z" },
	});
}

TEST(LibString, ProperCaseRaisesWordStartsAndAbbreviations)
{
	const struct {
		const char* text;
		const char* expected;
	} rows[] = {
		{ "the u.s.a. & o'neil's", "The U.S.A. & O'neil's" },
		{ "HELLO wORLD", "Hello World" },
		{ "'twas tom's", "'Twas Tom's" },
		{ "say 'hi' 's", "Say 'Hi' 's" },
		{ "r&d", "R&D" },
	};

	for (const auto& row : rows) {
		LibString string(row.text);
		string.ToProperCase();
		EXPECT_STREQ(row.expected, string) << row.text;
	}
}

TEST(LibString, ReplaceAtIndexStaysInsideTheBuffer)
{
	LibString string(5);
	string.Concat("ab");
	string.Replace(2, 'X');
	EXPECT_STREQ("abX", string);
	string.Replace(3, 'Y');
	EXPECT_STREQ("abXY", string);
	string.Replace(5, 'Z');
	string.Replace(-1, 'Z');
	string.Replace(99, 'Z');
	EXPECT_STREQ("abXY", string);
	string.Replace(4, 'W');
	EXPECT_STREQ("abXYW", string);
	EXPECT_EQ(5, string.Length());
}

TEST(LibString, NumbersFollowTheDecimalSyntaxAndNarrow)
{
	const struct {
		const char* text;
		bool valid;
		int32 value;
	} rows[] = {
		{ "12.7", true, 12 },
		{ "-5", true, -5 },
		{ "+5", true, 5 },
		{ "1-2", false, 0 },
		{ "", true, 0 },
		{ "-", true, 0 },
		{ ".", true, 0 },
		{ "1.2.3", false, 0 },
		{ "+-1", false, 0 },
		{ " 1", false, 0 },
		{ "99999999999", true, INT32_MAX },
		{ "-99999999999", true, INT32_MIN },
	};

	for (const auto& row : rows) {
		LibString string(row.text);
		int32 value = 99;
		EXPECT_EQ(row.valid, string.GetInt32(value)) << row.text;
		EXPECT_EQ(row.value, value) << row.text;
		EXPECT_EQ(row.valid, string.IsNumeric()) << row.text;
	}

	uint8 unsigned8 = 1;
	EXPECT_TRUE(LibString("300").GetUint8(unsigned8));
	EXPECT_EQ(44, unsigned8);
	int8 signed8 = 1;
	EXPECT_TRUE(LibString("200").GetInt8(signed8));
	EXPECT_EQ(-56, signed8);
	int16 signed16 = 1;
	EXPECT_TRUE(LibString("70000").GetInt16(signed16));
	EXPECT_EQ(4464, signed16);
	uint32 unsigned32 = 1;
	EXPECT_TRUE(LibString("-5").GetUint32(unsigned32));
	EXPECT_EQ(4294967291u, unsigned32);

	double real = 1;
	EXPECT_TRUE(LibString("-.5").GetFloat64(real));
	EXPECT_DOUBLE_EQ(-0.5, real);
	EXPECT_TRUE(LibString("5.").GetFloat64(real));
	EXPECT_DOUBLE_EQ(5, real);
	EXPECT_TRUE(LibString("-").GetFloat64(real));
	EXPECT_DOUBLE_EQ(0, real);
	EXPECT_FALSE(LibString("1e5").GetFloat64(real));
	EXPECT_DOUBLE_EQ(0, real);
	float single = 1;
	EXPECT_TRUE(LibString(std::string(400, '9').c_str()).GetFloat32(single));
	EXPECT_TRUE(std::isinf(single));
}

TEST(LibString, HexDigitsConvertBothWays)
{
	EXPECT_EQ(255, LibString("fF").GetHex());
	EXPECT_EQ(1, LibString("G1").GetHex());
	EXPECT_EQ(0, LibString("123").GetHex());
	EXPECT_EQ(0, LibString::HexValue('\0'));
	LibString string;
	string.SetHex(10);
	EXPECT_STREQ("0A", string);
}

TEST(LibString, FormattedCutsLongResults)
{
	LibString string;
	string.Formatted("%s-%d", "n", 7);
	EXPECT_STREQ("n-7", string);
	EXPECT_EQ(4, string.BufferSize());
	std::string longText(600, 'x');
	string.Formatted("%s!", longText.c_str());
	EXPECT_EQ(511, string.Length());
	EXPECT_EQ(512, string.BufferSize());
}

TEST(LibString, ReadAppendsTheWholeFileWhateverTheChunk)
{
	ScopedTempDir folder;
	std::string path = folder.Child("text");
	std::string content = "line one\nline two\n" + std::string(3000, 'z');
	FILE* file = fopen(path.c_str(), "w");
	ASSERT_NE(nullptr, file);
	fputs(content.c_str(), file);
	fclose(file);

	for (int32 chunk : { -5, 0, 1, 2, 7, 1024, INT32_MAX }) {
		LibString string(">");
		string.Read(path.c_str(), chunk);
		EXPECT_EQ(">" + content, static_cast<const char*>(string)) << chunk;
		EXPECT_EQ(string.Length() + 1, string.BufferSize());
	}
	LibString untouched("same");
	untouched.Read(folder.Child("missing").c_str());
	EXPECT_STREQ("same", untouched);
}

TEST(LibString, PrintToStreamWritesTextAndBufferSize)
{
	LibString string(9);
	string.Concat("abc");
	testing::internal::CaptureStderr();
	string.PrintToStream();
	EXPECT_EQ("LibString:: <abc>, buffer 10\n", testing::internal::GetCapturedStderr());
	EXPECT_EQ(7, string.PackSize());
	EXPECT_EQ('c', string[2]);
	EXPECT_EQ('\0', string[3]);
	EXPECT_EQ('\0', string[-1]);
}

#include <parsedate.h>

#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

time_t
Utc(int year, int month, int day, int hours = 0, int minutes = 0, int seconds = 0)
{
	tm parts = {};
	parts.tm_year = year - 1900;
	parts.tm_mon = month - 1;
	parts.tm_mday = day;
	parts.tm_hour = hours;
	parts.tm_min = minutes;
	parts.tm_sec = seconds;
	return timegm(&parts);
}

// Friday, 5 January 2001, 10:30:00 UTC.
const time_t kNow = 978690600;

} // namespace

TEST(ParseDate, AbsoluteDatesAndTimes)
{
	ScopedTimeZone zone("UTC");

	const struct {
		const char* text;
		time_t expected;
	} rows[] = {
		{ "Jan 5 2001", Utc(2001, 1, 5) },
		{ "Jan. 5th 2001", Utc(2001, 1, 5) },
		{ "5 January 2001 10:30", Utc(2001, 1, 5, 10, 30) },
		{ "Friday, January 5, 2001 10:30 pm", Utc(2001, 1, 5, 22, 30) },
		{ "Fri, 05 Jan 2001 10:30:00 +0100", Utc(2001, 1, 5, 9, 30) },
		{ "Fri, 05 Jan 2001 10:30:00 EST", Utc(2001, 1, 5, 15, 30) },
		{ "Fri Jan  5 10:30:00 UTC 2001", Utc(2001, 1, 5, 10, 30) },
		{ "2001-01-05", Utc(2001, 1, 5) },
		{ "2001-01-05T10:30:00Z", Utc(2001, 1, 5, 10, 30) },
		{ "01/05/2001", Utc(2001, 1, 5) },
		{ "1/5/99", Utc(1999, 1, 5) },
		{ "5.8.2003", Utc(2003, 8, 5) },
		{ "January 2001", Utc(2001, 1, 1) },
		{ "Jan 5", Utc(2001, 1, 5) },
		{ "March 3 10:30", Utc(2001, 3, 3, 10, 30) },
		{ "1/7", Utc(2001, 1, 7) },
		{ "10:30 pm", Utc(2001, 1, 5, 22, 30) },
		{ "10:30 p.m.", Utc(2001, 1, 5, 22, 30) },
		{ "10 pm", Utc(2001, 1, 5, 22) },
		{ "12 am", Utc(2001, 1, 5, 0) },
	};

	for (const auto& row : rows)
		EXPECT_EQ(row.expected, parsedate(row.text, kNow)) << row.text;
}

TEST(ParseDate, RelativeWordsAndOffsets)
{
	ScopedTimeZone zone("UTC");

	const struct {
		const char* text;
		time_t expected;
	} rows[] = {
		{ "now", kNow },
		{ "today", Utc(2001, 1, 5) },
		{ "tomorrow", Utc(2001, 1, 6) },
		{ "tomorrow 10:30", Utc(2001, 1, 6, 10, 30) },
		{ "10:30 tomorrow", Utc(2001, 1, 6, 10, 30) },
		{ "+1 day", kNow + 86400 },
		{ "-2 weeks", kNow - 14 * 86400 },
		{ "3 hours ago", kNow - 3 * 3600 },
		{ "next 5 minutes", kNow + 300 },
		{ "1 month", Utc(2001, 2, 5, 10, 30) },
		{ "monday", Utc(2001, 1, 1) },
		{ "Thursday 3:00", Utc(2001, 1, 4, 3) },
		{ "next monday", Utc(2001, 1, 8) },
		{ "last friday", Utc(2000, 12, 29) },
		{ "next July", Utc(2002, 7, 1) },
	};

	for (const auto& row : rows)
		EXPECT_EQ(row.expected, parsedate(row.text, kNow)) << row.text;

	time_t before = time(NULL);
	time_t now = parsedate("now", -1);
	EXPECT_GE(now, before);
	EXPECT_LE(now, time(NULL));
}

TEST(ParseDate, UnreadableTextGivesMinusOne)
{
	ScopedTimeZone zone("UTC");
	const char* rows[] = {
		"",
		"garbage",
		"Feb 30 2001",
		"2001-13-01",
		"25:00",
		"13 pm",
		"0 am",
		"Jan 5 2001 junk",
		"(Jan 5 2001)",
		"Jan 0 2001",
		"++1 day",
		"+999999999 weeks",
		"12345678901234567890 days",
		"Jan 5 0000",
	};
	for (const char* text : rows)
		EXPECT_EQ(-1, parsedate(text, kNow)) << "'" << text << "'";
	EXPECT_EQ(-1, parsedate(NULL, kNow));

	std::string many;
	for (int i = 0; i < 5000; i++)
		many += "1 ";
	EXPECT_EQ(-1, parsedate(many.c_str(), kNow));
}

TEST(ParseDate, FlagsTellWhatTheResultDependsOn)
{
	ScopedTimeZone zone("UTC");

	const struct {
		const char* text;
		int flags;
	} rows[] = {
		{ "Jan 5 2001", 0 },
		{ "tomorrow", PARSEDATE_RELATIVE_TIME },
		{ "10:30", PARSEDATE_RELATIVE_TIME },
		{ "Jan 5", PARSEDATE_RELATIVE_TIME },
		{ "+5 minutes", PARSEDATE_RELATIVE_TIME | PARSEDATE_MINUTE_RELATIVE_TIME },
		{ "now", PARSEDATE_RELATIVE_TIME | PARSEDATE_MINUTE_RELATIVE_TIME },
		{ "junk", PARSEDATE_INVALID_DATE },
	};

	for (const auto& row : rows) {
		int flags = -1;
		parsedate_etc(row.text, kNow, &flags);
		EXPECT_EQ(row.flags, flags) << row.text;
	}
	EXPECT_EQ(Utc(2001, 1, 5), parsedate_etc("Jan 5 2001", kNow, NULL));
}

TEST(ParseDate, TextWithoutAZoneIsLocalTime)
{
	ScopedTimeZone zone("EST5");
	EXPECT_EQ(Utc(2001, 1, 5, 15, 0), parsedate("Jan 5 2001 10:00", kNow));
	// Midnight of the local day that holds now (05:30 local).
	EXPECT_EQ(Utc(2001, 1, 5, 5, 0), parsedate("today", kNow));
	EXPECT_EQ(Utc(2001, 1, 5, 10, 0), parsedate("Jan 5 2001 10:00 UTC", kNow));
}

TEST(ParseDate, FormatTablesCanBeReplacedAndRestored)
{
	ScopedTimeZone zone("UTC");
	const char** builtIn = get_dateformats();
	ASSERT_NE(nullptr, builtIn);
	ASSERT_NE(nullptr, builtIn[0]);

	const char* custom[] = { "d.m", "[y-]m-d", NULL };
	set_dateformats(custom);
	EXPECT_EQ(custom, get_dateformats());
	EXPECT_EQ(Utc(2001, 8, 5), parsedate("5.8", kNow));
	EXPECT_EQ(Utc(2001, 12, 25), parsedate("12/25", kNow));
	EXPECT_EQ(Utc(2002, 12, 25), parsedate("2002-12-25", kNow));
	EXPECT_EQ(-1, parsedate("Jan 5 2001", kNow));

	// Broken formats never match and do no harm.
	const char* broken[] = { "[d", "d]", "Q", "", "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]", NULL };
	set_dateformats(broken);
	EXPECT_EQ(-1, parsedate("5", kNow));

	set_dateformats(NULL);
	EXPECT_EQ(builtIn, get_dateformats());
	EXPECT_EQ(Utc(2001, 1, 5), parsedate("Jan 5 2001", kNow));
}

TEST(ParseDate, ArbitraryBytesNeverCrash)
{
	ScopedTimeZone zone("UTC");
	std::mt19937 random(1234);
	const char alphabet[] = "0123456789 :/-.,+apmAPMjanfebmondaynextlastweeksago\tTZ()\xc3\xa9";
	for (int round = 0; round < 3000; round++) {
		char text[40];
		size_t length = random() % (sizeof(text) - 1);
		for (size_t i = 0; i < length; i++)
			text[i] = alphabet[random() % (sizeof(alphabet) - 1)];
		text[length] = '\0';
		int flags = 0;
		time_t result = parsedate_etc(text, kNow, &flags);
		EXPECT_EQ(result == -1, (flags & PARSEDATE_INVALID_DATE) != 0) << text;
	}
}

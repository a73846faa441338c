#include "LibLocaleTime.h"

#include <Message.h>

#include <gtest/gtest.h>

TEST(LibLocaleTime, FormatFollowsClockAndFieldSettings)
{
	const struct {
		void (*setUp)(LibLocaleTime&);
		LibTime time;
		const char* expected;
	} rows[] = {
		{ [](LibLocaleTime&) {}, LibTime(15, 4, 5), "3:04 PM" },
		{ [](LibLocaleTime&) {}, LibTime(0, 30, 0), "12:30 AM" },
		{ [](LibLocaleTime&) {}, LibTime(12, 0, 0), "12:00 PM" },
		{ [](LibLocaleTime&) {}, LibTime(11, 59, 59), "11:59 AM" },
		{ [](LibLocaleTime& l) {
			 l.SetShowSeconds(true);
			 l.Set24Clock(true);
		 },
			LibTime(9, 5, 7), "09:05:07" },
		{ [](LibLocaleTime& l) {
			 l.Set24Clock(true);
			 l.Set24ClockSuffix(" h");
		 },
			LibTime(9, 5, 7), "09:05 h" },
		{ [](LibLocaleTime& l) { l.SetShowMinutes(false); }, LibTime(15, 4, 5), "3 PM" },
		{ [](LibLocaleTime& l) { l.SetTimeSeperator('.'); }, LibTime(15, 4, 5), "3.04 PM" },
		{ [](LibLocaleTime& l) { l.SetTimeSeperator('\0'); }, LibTime(15, 4, 5), "304 PM" },
		{ [](LibLocaleTime& l) { l.SetShowSuffix(false); }, LibTime(15, 4, 5), "3:04" },
		{ [](LibLocaleTime& l) {
			 l.SetShowMinutes(false);
			 l.SetShowSeconds(true);
		 },
			LibTime(15, 4, 5), "3:05 PM" },
	};

	for (const auto& row : rows) {
		LibLocaleTime locale;
		row.setUp(locale);
		EXPECT_STREQ(row.expected, locale.Format(row.time));
	}
}

TEST(LibLocaleTime, GetTimeReadsDigitGroupsAndTheAfterNoonSuffix)
{
	const struct {
		const char* text;
		int32 hours;
		int32 minutes;
		int32 seconds;
	} rows[] = {
		{ "3:04 PM", 15, 4, 0 },
		{ "12:30 PM", 12, 30, 0 },
		{ "12:30:00", 0, 30, 0 },
		{ "7:5:9 PM", 19, 5, 9 },
		{ "23:15:00", 11, 15, 0 },
		{ "1234:56:07", 15, 0, 56 },
		{ "3 : 04", 3, 0, 0 },
		{ "3:04 pm", 3, 4, 0 },
	};

	LibLocaleTime locale;
	for (const auto& row : rows) {
		LibTime time = locale.GetTime(row.text);
		EXPECT_EQ(row.hours, time.GetHours()) << row.text;
		EXPECT_EQ(row.minutes, time.GetMinutes()) << row.text;
		EXPECT_EQ(row.seconds, time.GetSeconds()) << row.text;
	}

	// What the text does not give comes from the clock.
	EXPECT_EQ(3, locale.GetTime("15").GetHours());
	LibTime now(true, true);
	EXPECT_LE((locale.GetTime(NULL) - now).NumberOfSeconds(), 2);

	// An empty after-noon suffix marks nothing.
	locale.Set12ClockAfterNoonSuffix("");
	EXPECT_EQ(9, locale.GetTime("09:30").GetHours());
	EXPECT_TRUE(locale.Has12ClockSuffix());
	locale.Set12ClockBeforeNoonSuffix(NULL);
	EXPECT_FALSE(locale.Has12ClockSuffix());
}

TEST(LibLocaleTime, WriteAndReadKeepEverySetting)
{
	LibLocaleTime original;
	original.SetShowSeconds(true);
	original.Set24Clock(true);
	original.SetTimeSeperator('h');
	original.Set24ClockSuffix(" Uhr");
	original.Set12ClockAfterNoonSuffix(" nachm.");

	BMessage message;
	ASSERT_EQ(B_OK, original.Write(message));
	int16 separator = 0;
	EXPECT_EQ(B_OK, message.FindInt16("seperator", &separator));
	EXPECT_EQ('h', separator);

	LibLocaleTime copy;
	copy.Read(message);
	EXPECT_STREQ("09h05h07 Uhr", copy.Format(LibTime(9, 5, 7)));
	EXPECT_STREQ(" nachm.", copy.Get12ClockAfterNoonSuffix());

	// Missing flags read as false and a missing separator as none; the suffixes stay.
	LibLocaleTime defaults;
	defaults.Read(BMessage());
	EXPECT_EQ('\0', defaults.TimeSeperator());
	EXPECT_STREQ(" PM", defaults.Get12ClockAfterNoonSuffix());
	EXPECT_STREQ("3", defaults.Format(LibTime(15, 4, 5)));
}

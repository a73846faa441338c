#include "LibTime.h"

#include "../Platform/support/ScopedTimeZone.h"

#include <Message.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

struct Hms {
	int32 hours;
	int32 minutes;
	int32 seconds;
};

void
ExpectTime(const LibTime& time, const Hms& expected)
{
	EXPECT_EQ(expected.hours, time.GetHours());
	EXPECT_EQ(expected.minutes, time.GetMinutes());
	EXPECT_EQ(expected.seconds, time.GetSeconds());
}

} // namespace

TEST(LibTime, SettersAndArithmeticCarryAndWrapAroundMidnight)
{
	const struct {
		Hms input;
		Hms expected;
	} rows[] = {
		{ { 23, 59, 60 }, { 0, 0, 0 } },
		{ { 0, 0, -1 }, { 23, 59, 59 } },
		{ { -1, 0, 0 }, { 23, 0, 0 } },
		{ { 10, 75, 130 }, { 11, 17, 10 } },
		{ { 10, 0, -3601 }, { 8, 59, 59 } },
		{ { 48, 0, 0 }, { 0, 0, 0 } },
	};

	for (const auto& row : rows)
		ExpectTime(LibTime(row.input.hours, row.input.minutes, row.input.seconds), row.expected);

	LibTime time(23, 59, 59);
	time.AddSeconds(1);
	ExpectTime(time, { 0, 0, 0 });
	time.AddSeconds(-1);
	ExpectTime(time, { 23, 59, 59 });
	time.AddMinutes(-62);
	ExpectTime(time, { 22, 57, 59 });
	time.AddHours(-47);
	ExpectTime(time, { 23, 57, 59 });

	// Extreme amounts still give a time of day.
	LibTime extreme(INT32_MAX, INT32_MAX, INT32_MAX);
	extreme.AddSeconds(INT32_MIN);
	extreme.AddMinutes(INT32_MAX);
	extreme.AddHours(INT32_MIN);
	EXPECT_GE(extreme.NumberOfSeconds(), 0);
	EXPECT_LT(extreme.NumberOfSeconds(), 86400);
}

TEST(LibTime, FractionalHoursGiveMinutesAndSeconds)
{
	const struct {
		float hours;
		Hms expected;
	} rows[] = {
		{ 1.5f, { 1, 30, 0 } },
		{ 0.0125f, { 0, 0, 45 } },
		{ 23.999f, { 23, 59, 56 } },
		{ -1.5f, { 22, 30, 0 } },
		{ 25.5f, { 1, 30, 0 } },
		{ NAN, { 0, 0, 0 } },
		{ INFINITY, { 0, 0, 0 } },
	};

	for (const auto& row : rows) {
		LibTime time(false);
		time.SetTime(row.hours);
		SCOPED_TRACE(row.hours);
		ExpectTime(time, row.expected);
	}
}

TEST(LibTime, TextFormsAcceptAndReject)
{
	const struct {
		const char* text;
		Hms expected;
	} fixedRows[] = {
		{ "10:30:15", { 10, 30, 15 } },
		{ "09-05", { 9, 5, 0 } },
		{ "", { 0, 0, 0 } },
		{ "23:59:60", { 0, 0, 0 } },
	};

	for (const auto& row : fixedRows) {
		LibTime time(7, 7, 7);
		time.SetTime(row.text);
		SCOPED_TRACE(row.text);
		ExpectTime(time, row.expected);
	}

	const struct {
		const char* text;
		bool accepted;
		Hms expected;
	} freeRows[] = {
		{ "10:30", true, { 10, 30, 0 } },
		{ "9", true, { 9, 0, 0 } },
		{ "7.5", true, { 7, 5, 0 } },
		{ "10:30:45", true, { 10, 30, 0 } },
		{ "", true, { 0, 0, 0 } },
		{ "25:70", true, { 2, 10, 0 } },
		{ "123", false, { 7, 7, 7 } },
		{ "10:300", false, { 7, 7, 7 } },
		{ "10::30", false, { 7, 7, 7 } },
		{ ":30", false, { 7, 7, 7 } },
	};

	for (const auto& row : freeRows) {
		LibTime time(7, 7, 7);
		EXPECT_EQ(row.accepted, time.SetUnformattedTime(row.text)) << row.text;
		SCOPED_TRACE(row.text);
		ExpectTime(time, row.expected);
	}
	LibTime time(7, 7, 7);
	EXPECT_FALSE(time.SetUnformattedTime(NULL));
	time.SetTime((const char*)NULL);
	ExpectTime(time, { 7, 7, 7 });
}

TEST(LibTime, SystemTimesGiveTheTimeOfDayInTheChosenZone)
{
	ScopedTimeZone zone("EST5");
	// 2001-01-05 10:30:00 UTC
	LibTime time(false);
	time.SetTime(978690600, false);
	ExpectTime(time, { 10, 30, 0 });
	time.SetTime(978690600, true);
	ExpectTime(time, { 5, 30, 0 });
	EXPECT_FLOAT_EQ(-18000.0f, LibTime::TimeZone());
}

TEST(LibTime, DifferenceComparisonsAndStructTm)
{
	ExpectTime(LibTime(1, 0, 0) - LibTime(2, 0, 0), { 23, 0, 0 });
	LibTime early(9, 59, 59);
	LibTime late(10, 0, 0);
	EXPECT_TRUE(early < late && early <= late && late > early && late >= early);
	EXPECT_TRUE(early != late && late == LibTime(9, 60, 0));

	tm parts = {};
	late.GetTime(parts);
	EXPECT_EQ(10, parts.tm_hour);
	parts.tm_hour = 26;
	late.SetTime(&parts);
	ExpectTime(late, { 2, 0, 0 });
}

TEST(LibTime, ArchiveAndRestoreKeepTheFields)
{
	BMessage archive;
	ASSERT_EQ(B_OK, LibTime(13, 14, 15).Archive(archive));
	LibTime restored(false);
	restored.Restore(archive);
	ExpectTime(restored, { 13, 14, 15 });

	BMessage partial;
	partial.AddInt32("minutes", 45);
	restored.Restore(partial);
	ExpectTime(restored, { 13, 45, 15 });

	BMessage hostile;
	hostile.AddInt32("hours", INT32_MAX);
	hostile.AddInt32("minutes", -1);
	restored.Restore(hostile);
	EXPECT_LT(restored.GetHours(), 24);
	EXPECT_GE(restored.GetMinutes(), 0);
}

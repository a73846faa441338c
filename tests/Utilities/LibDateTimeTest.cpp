#include "LibDateTime.h"

#include "../Platform/support/ScopedTimeZone.h"
#include "LibString.h"

#include <Message.h>

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Stamp {
	int32 day;
	int32 month;
	int32 year;
	int32 hours;
	int32 minutes;
	int32 seconds;
};

LibDateTime
Make(const Stamp& stamp)
{
	LibDateTime result(stamp.day, stamp.month, stamp.year);
	result.SetTime(stamp.hours, stamp.minutes, stamp.seconds);
	return result;
}

void
ExpectStamp(const LibDateTime& value, const Stamp& expected)
{
	EXPECT_EQ(expected.day, value.GetDay());
	EXPECT_EQ(expected.month, value.GetMonth());
	EXPECT_EQ(expected.year, value.GetYear());
	EXPECT_EQ(expected.hours, value.GetHours());
	EXPECT_EQ(expected.minutes, value.GetMinutes());
	EXPECT_EQ(expected.seconds, value.GetSeconds());
}

} // namespace

TEST(LibDateTime, TimeArithmeticCarriesWholeDaysIntoTheDate)
{
	enum Unit { kSeconds, kMinutes, kHours };

	const struct {
		Stamp start;
		Unit unit;
		int32 amount;
		Stamp expected;
	} rows[] = {
		{ { 31, 12, 1999, 23, 59, 59 }, kSeconds, 1, { 1, 1, 2000, 0, 0, 0 } },
		{ { 1, 1, 2000, 0, 0, 0 }, kSeconds, -1, { 31, 12, 1999, 23, 59, 59 } },
		{ { 1, 1, 2000, 0, 0, 0 }, kSeconds, -86401, { 30, 12, 1999, 23, 59, 59 } },
		{ { 1, 3, 2000, 0, 0, 30 }, kMinutes, -1, { 29, 2, 2000, 23, 59, 30 } },
		{ { 1, 1, 2000, 12, 0, 0 }, kMinutes, -1440 * 3, { 29, 12, 1999, 12, 0, 0 } },
		{ { 1, 1, 2000, 0, 15, 0 }, kHours, -25, { 30, 12, 1999, 23, 15, 0 } },
		{ { 4, 10, 1582, 23, 0, 0 }, kHours, 1, { 15, 10, 1582, 0, 0, 0 } },
		{ { 1, 1, 1, 0, 0, 0 }, kSeconds, -1, { 31, 12, -1, 23, 59, 59 } },
	};

	for (const auto& row : rows) {
		// Through the LibTime interface, so that the override is what carries.
		LibDateTime value = Make(row.start);
		LibTime& time = value;
		if (row.unit == kSeconds)
			time.AddSeconds(row.amount);
		else if (row.unit == kMinutes)
			time.AddMinutes(row.amount);
		else
			time.AddHours(row.amount);
		SCOPED_TRACE(testing::Message() << row.unit << " " << row.amount);
		ExpectStamp(value, row.expected);
	}

	LibDateTime value = Make({ 1, 1, 2000, 0, 0, 0 });
	value.AddSeconds(INT32_MAX);
	value.AddHours(INT32_MIN);
	value.AddMinutes(INT32_MIN);
	EXPECT_TRUE(value.IsValidDate());
}

TEST(LibDateTime, Iso8601BasicFormSetsDateAndTime)
{
	const struct {
		const char* text;
		short zoneHours;
		bool accepted;
		Stamp expected;
	} rows[] = {
		{ "20000415T103000", 0, true, { 15, 4, 2000, 10, 30, 0 } },
		{ "20000415T103000Z", 2, true, { 15, 4, 2000, 12, 30, 0 } },
		{ "20000415T103000Z", -11, true, { 14, 4, 2000, 23, 30, 0 } },
		{ "20001231T233000Z", 1, true, { 1, 1, 2001, 0, 30, 0 } },
		{ "20000415T103000X", 2, true, { 15, 4, 2000, 10, 30, 0 } },
		{ "20010229T250000", 0, true, { 1, 3, 2001, 1, 0, 0 } },
		{ "20000415T10300", 0, false, { 31, 1, 2001, 8, 9, 10 } },
	};

	for (const auto& row : rows) {
		LibDateTime value = Make({ 31, 1, 2001, 8, 9, 10 });
		EXPECT_EQ(row.accepted, value.SetIso8601(LibString(row.text), row.zoneHours));
		SCOPED_TRACE(row.text);
		ExpectStamp(value, row.expected);
	}
}

TEST(LibDateTime, SystemTimesAndTextGiveDateAndTime)
{
	ScopedTimeZone zone("EST5");
	LibDateTime value(false);
	// 2001-01-05 10:30:00 UTC
	value.SetDateTime(978690600, false);
	ExpectStamp(value, { 5, 1, 2001, 10, 30, 0 });
	value.SetDateTime(978690600, true);
	ExpectStamp(value, { 5, 1, 2001, 5, 30, 0 });

	// Text is read in local time, and an afternoon hour stays what it says.
	EXPECT_TRUE(value.Set(LibString("Jan 5 2001 14:00")));
	ExpectStamp(value, { 5, 1, 2001, 14, 0, 0 });
	testing::internal::CaptureStderr();
	EXPECT_FALSE(value.Set(LibString("not a date")));
	EXPECT_EQ("Error with date time value\n", testing::internal::GetCapturedStderr());
	ExpectStamp(value, { 5, 1, 2001, 14, 0, 0 });

	time_t before = time(NULL);
	LibDateTime now(false);
	LibDateTime first(false);
	first.SetDateTime((int32)before, false);
	EXPECT_GE(now - first, 0);
	EXPECT_LE(now - first, time(NULL) - before);
}

TEST(LibDateTime, ComparisonsAssignmentAndDifference)
{
	LibDateTime morning = Make({ 2, 1, 2000, 8, 0, 0 });
	LibDateTime evening = Make({ 1, 1, 2000, 23, 0, 0 });
	EXPECT_TRUE(evening < morning && morning > evening);
	EXPECT_TRUE(evening <= morning && morning >= evening && morning != evening);
	EXPECT_TRUE(morning < Make({ 2, 1, 2000, 8, 0, 1 }));
	EXPECT_TRUE(morning == Make({ 2, 1, 2000, 8, 0, 0 }));
	EXPECT_EQ(9 * 3600, morning - evening);
	EXPECT_EQ(1, morning - LibDate(1, 1, 2000));

	morning = LibDate(24, 12, 2001);
	ExpectStamp(morning, { 24, 12, 2001, 8, 0, 0 });
	morning = LibTime(18, 30, 0);
	ExpectStamp(morning, { 24, 12, 2001, 18, 30, 0 });
}

TEST(LibDateTime, ArchiveHoldsBothPartsInOneMessage)
{
	BMessage archive;
	LibDateTime original = Make({ 15, 10, 1582, 12, 34, 56 });
	ASSERT_EQ(B_OK, original.Archive(archive));
	int32 value = 0;
	EXPECT_EQ(B_OK, archive.FindInt32("date", &value));
	EXPECT_EQ(B_OK, archive.FindInt32("seconds", &value));

	LibDateTime restored(false);
	LibDate& asDate = restored;
	EXPECT_EQ(B_OK, asDate.Restore(archive));
	EXPECT_TRUE(restored == original);
}

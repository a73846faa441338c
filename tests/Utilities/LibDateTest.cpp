#include "LibDate.h"

#include <Message.h>

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Ymd {
	int32 day;
	int32 month;
	int32 year;
};

// Checks the fields, and that they lead back to the same day number.
void
ExpectDate(const LibDate& date, const Ymd& expected)
{
	EXPECT_EQ(expected.day, date.GetDay());
	EXPECT_EQ(expected.month, date.GetMonth());
	EXPECT_EQ(expected.year, date.GetYear());
	EXPECT_EQ(
		date.GetJulianDate(), LibDate(expected.day, expected.month, expected.year).GetJulianDate());
}

} // namespace

TEST(LibDate, KnownDatesHaveTheirDayNumbersAndWeekdays)
{
	const struct {
		Ymd date;
		int32 dayNumber;
		LibWeekDay weekday;
	} rows[] = {
		{ { 1, 1, 2000 }, 2451544, LIB_SATURDAY },
		{ { 31, 12, 1999 }, 2451543, LIB_FRIDAY },
		{ { 1, 1, 1970 }, 2440587, LIB_THURSDAY },
		{ { 15, 10, 1582 }, 2299160, LIB_FRIDAY },
		{ { 4, 10, 1582 }, 2299159, LIB_THURSDAY },
		{ { 1, 1, 1 }, 1721423, LIB_SATURDAY },
		{ { 31, 12, -1 }, 1721422, LIB_FRIDAY },
		{ { 31, 12, -4714 }, -1, LIB_MONDAY },
		{ { 29, 2, 2024 }, 2460369, LIB_THURSDAY },
	};

	for (const auto& row : rows) {
		SCOPED_TRACE(row.dayNumber);
		LibDate fromCalendar(row.date.day, row.date.month, row.date.year);
		EXPECT_EQ(row.dayNumber, fromCalendar.GetJulianDate());
		EXPECT_EQ(row.weekday, fromCalendar.DayOfWeek());
		ExpectDate(LibDate(row.dayNumber), row.date);
	}

	// Across the reform, and a day of its gap is the Gregorian date of the same day.
	LibDate date(4, 10, 1582);
	ExpectDate(++date, { 15, 10, 1582 });
	ExpectDate(--date, { 4, 10, 1582 });
	date.SetDate(10, 10, 1582);
	ExpectDate(date, { 20, 10, 1582 });
}

TEST(LibDate, DayNumbersRunWithoutGapsOrRepeatsAcrossEras)
{
	const int32 starts[] = { LibDate::kMinDayNumber, -1900000, 1720000, 2298000, 2488000,
		LibDate::kMaxDayNumber - 20000 };
	for (int32 start : starts) {
		LibDate previous(start);
		for (int32 dayNumber = start + 1; dayNumber <= start + 20000; dayNumber++) {
			LibDate date(dayNumber);
			LibDate again(date.GetDay(), date.GetMonth(), date.GetYear());
			ASSERT_EQ(dayNumber, again.GetJulianDate());
			bool nextDay = date.GetDay() == previous.GetDay() + 1;
			bool nextMonth = date.GetDay() == 1 && previous.GetDay() == previous.DaysInMonth()
				&& date.GetMonth() % 12 == (previous.GetMonth() + 1) % 12;
			ASSERT_TRUE(nextDay || nextMonth || dayNumber == 2299160) << dayNumber;
			previous = date;
		}
	}
}

TEST(LibDate, LeapYearsFollowTheJulianRuleBefore1582AndTheGregorianAfter)
{
	const int32 leap[] = { 2000, 2024, 1600, 1500, 1580, 4, -4, -100 };
	const int32 common[] = { 1900, 2023, 2100, 1700, 1, -1, -5 };
	for (int32 year : leap) {
		EXPECT_TRUE(LibDate::IsLeapYear(year)) << year;
		EXPECT_EQ(2, LibDate(29, 2, year).GetMonth()) << year;
		EXPECT_EQ(366, LibDate(1, 1, year).DaysInYear());
	}
	for (int32 year : common) {
		EXPECT_FALSE(LibDate::IsLeapYear(year)) << year;
		EXPECT_EQ(3, LibDate(29, 2, year).GetMonth()) << year;
		EXPECT_EQ(365, LibDate(1, 1, 2000).DaysInYear(year));
	}
	EXPECT_EQ(0, LibDate::DaysInMonth(13, 2000));
	EXPECT_EQ(0, LibDate::DaysInMonth(0, 2000));
}

TEST(LibDate, CalendarSettersNormaliseOutOfRangeFields)
{
	const struct {
		Ymd input;
		Ymd expected;
	} rows[] = {
		{ { 0, 3, 2000 }, { 29, 2, 2000 } },
		{ { 32, 12, 1999 }, { 1, 1, 2000 } },
		{ { 31, 4, 2001 }, { 1, 5, 2001 } },
		{ { 1, 13, 2000 }, { 1, 1, 2001 } },
		{ { 1, -11, 2000 }, { 1, 1, 1999 } },
		{ { -30, 3, 2001 }, { 29, 1, 2001 } },
		{ { 400, 1, 2001 }, { 4, 2, 2002 } },
		{ { 0, 1, 1 }, { 31, 12, -1 } },
		{ { 1, 13, -1 }, { 1, 1, 1 } },
	};

	for (const auto& row : rows) {
		SCOPED_TRACE(testing::Message() << row.input.day << "/" << row.input.month);
		ExpectDate(LibDate(row.input.day, row.input.month, row.input.year), row.expected);
	}
}

TEST(LibDate, CalendarArithmeticCarriesAndStepsOverYearZero)
{
	enum Field { kDays, kMonths, kYears };

	const struct {
		Ymd start;
		Field field;
		int32 amount;
		Ymd expected;
	} rows[] = {
		{ { 31, 1, 2001 }, kMonths, 1, { 3, 3, 2001 } },
		{ { 31, 1, 2000 }, kMonths, 1, { 2, 3, 2000 } },
		{ { 15, 11, 2001 }, kMonths, 3, { 15, 2, 2002 } },
		{ { 10, 3, 2001 }, kMonths, -13, { 10, 2, 2000 } },
		{ { 15, 1, 1 }, kMonths, -1, { 15, 12, -1 } },
		{ { 1, 1, 1 }, kDays, -1, { 31, 12, -1 } },
		{ { 31, 12, 1999 }, kDays, 1, { 1, 1, 2000 } },
		{ { 1, 1, 2000 }, kDays, -366, { 31, 12, 1998 } },
		{ { 29, 2, 2000 }, kYears, 1, { 1, 3, 2001 } },
		{ { 5, 6, 1 }, kYears, -1, { 5, 6, -1 } },
		{ { 5, 6, -1 }, kYears, 2, { 5, 6, 2 } },
	};

	for (const auto& row : rows) {
		SCOPED_TRACE(testing::Message() << row.field << " " << row.amount);
		LibDate date(row.start.day, row.start.month, row.start.year);
		if (row.field == kDays)
			date.AddDays(row.amount);
		else if (row.field == kMonths)
			date.AddMonths(row.amount);
		else
			date.AddYears(row.amount);
		ExpectDate(date, row.expected);
	}

	// There is no year 0 to set: the date stays as it was.
	LibDate date(5, 6, 2001);
	date.SetYear(0);
	date.SetDate(1, 1, 0);
	date.SetDate("01/02");
	ExpectDate(date, { 5, 6, 2001 });
}

TEST(LibDate, ExtremeValuesStopAtTheEndsOfTheRange)
{
	EXPECT_EQ(LibDate::kMinDayNumber, LibDate(1, 1, LibDate::kMinYear).GetJulianDate());
	EXPECT_EQ(LibDate::kMaxDayNumber, LibDate(31, 12, LibDate::kMaxYear).GetJulianDate());

	LibDate date(1, 1, INT32_MAX);
	date.AddDays(INT32_MAX);
	date.AddMonths(INT32_MAX);
	date += INT32_MAX;
	ExpectDate(++date, { 31, 12, LibDate::kMaxYear });

	date.SetDate(INT32_MIN, INT32_MIN, INT32_MIN);
	date.AddYears(INT32_MIN);
	date -= INT32_MAX;
	ExpectDate(date, { 1, 1, LibDate::kMinYear });
	date.SetDate((int32)INT32_MIN);
	EXPECT_EQ(LibDate::kMinDayNumber, date.GetJulianDate());
	EXPECT_EQ(INT32_MIN, date.DaysSince(LibDate(LibDate::kMaxDayNumber)));
	EXPECT_EQ(INT32_MAX, LibDate(LibDate::kMaxDayNumber) - date);
}

TEST(LibDate, TextFormsAcceptAndReject)
{
	// Fixed positions: month 0-1, day 3-4, year from 6 on.
	const struct {
		const char* text;
		Ymd expected;
	} fixedRows[] = {
		{ "12/25/2001", { 25, 12, 2001 } },
		{ "02/30/2001", { 2, 3, 2001 } },
		{ "1 / 5/1999", { 5, 1, 1999 } },
		{ "12/25/-44", { 25, 12, -44 } },
		{ "ab", { 5, 6, 2001 } },
		{ "12/25/99999999999999999999999999", { 31, 12, LibDate::kMaxYear } },
	};

	for (const auto& row : fixedRows) {
		LibDate date(5, 6, 2001);
		date.SetDate(row.text);
		SCOPED_TRACE(row.text);
		ExpectDate(date, row.expected);
	}

	// Month, day and year groups, read into a date whose year is 2001.
	const struct {
		const char* text;
		bool accepted;
		Ymd expected;
	} freeRows[] = {
		{ "3/4/99", true, { 4, 3, 2099 } },
		{ "3/4", true, { 4, 3, 2001 } },
		{ "12-31-1999", true, { 31, 12, 1999 } },
		{ "3.4.05", true, { 4, 3, 2005 } },
		{ "3/4/", true, { 4, 3, 2001 } },
		{ "3/", true, { 1, 3, 2001 } },
		{ "", true, { 1, 1, 2001 } },
		{ "13/1/2001", true, { 1, 1, 2002 } },
		{ "123/4/2000", false, { 5, 6, 2001 } },
		{ "3/456/2000", false, { 5, 6, 2001 } },
		{ "3//4", false, { 5, 6, 2001 } },
		{ "/3/4", false, { 5, 6, 2001 } },
		{ "3/4/199", false, { 5, 6, 2001 } },
		{ "3/4/99999999999", false, { 5, 6, 2001 } },
	};

	for (const auto& row : freeRows) {
		LibDate date(5, 6, 2001);
		EXPECT_EQ(row.accepted, date.SetUnformattedDate(row.text)) << row.text;
		SCOPED_TRACE(row.text);
		ExpectDate(date, row.expected);
	}
	LibDate date(5, 6, 2001);
	EXPECT_FALSE(date.SetUnformattedDate(NULL));
	date.SetDate((const char*)NULL);
	ExpectDate(date, { 5, 6, 2001 });
}

TEST(LibDate, StructTmConvertsBothWays)
{
	// tm_year up to 50 counts from 2000.
	tm parts = {};
	parts.tm_mday = 5;
	parts.tm_year = 50;
	LibDate date(false);
	date.SetDate(&parts);
	ExpectDate(date, { 5, 1, 2050 });
	parts.tm_year = 51;
	date.SetDate(&parts);
	ExpectDate(date, { 5, 1, 1951 });

	LibDate(31, 12, 2000).GetDate(parts);
	EXPECT_EQ(31, parts.tm_mday);
	EXPECT_EQ(11, parts.tm_mon);
	EXPECT_EQ(100, parts.tm_year);
	EXPECT_EQ(0, parts.tm_wday);
	EXPECT_EQ(365, parts.tm_yday);
}

TEST(LibDate, WeekdayAndMonthNamesAndWeekdaySteps)
{
	const char* names[] = { "sun", "MONDAY", "Tue", "wEd", "t", "Friday", "s", "xyz", "", NULL };
	const LibWeekDay expected[] = { LIB_SUNDAY, LIB_MONDAY, LIB_TUESDAY, LIB_WEDNESDAY,
		LIB_THURSDAY, LIB_FRIDAY, LIB_SATURDAY, LIB_SUNDAY, LIB_SUNDAY, LIB_SUNDAY };
	for (int i = 0; i < 10; i++)
		EXPECT_EQ(expected[i], LibDate::DayOfWeek(names[i])) << i;

	LibDate saturday(1, 1, 2000);
	EXPECT_TRUE(saturday.IsWeekEnd());
	EXPECT_EQ(LIB_MONDAY, saturday.DayOfWeek(3));
	EXPECT_FALSE(saturday.IsWeekEnd(3));
	EXPECT_TRUE(saturday.IsWeekEnd(2));

	LibDate date(saturday);
	date.SetToNext(LIB_SATURDAY);
	ExpectDate(date, { 8, 1, 2000 });
	date.SetToNext(LIB_MONDAY);
	ExpectDate(date, { 10, 1, 2000 });
	date = saturday;
	date.SetToPrev(LIB_SATURDAY);
	ExpectDate(date, { 25, 12, 1999 });
	date.SetToPrev(LIB_FRIDAY);
	ExpectDate(date, { 24, 12, 1999 });

	// Months by the beginning of their English name, case-sensitive.
	const char* monthNames[] = { "Feb", "Ju", "D", "feb", "Februaryx", "" };
	const int32 months[] = { 2, 6, 12, 1, 1, 1 };
	for (int i = 0; i < 6; i++) {
		date.SetDate(10, 1, 2001);
		date.SetMonth(monthNames[i]);
		EXPECT_EQ(months[i], date.GetMonth()) << monthNames[i];
	}
}

TEST(LibDate, DayArithmeticOperatorsAndComparisons)
{
	LibDate date(28, 2, 2000);
	LibDate later = date + 2;
	ExpectDate(date, { 28, 2, 2000 });
	ExpectDate(later, { 1, 3, 2000 });
	EXPECT_EQ(2, later - date);
	ExpectDate(date++, { 28, 2, 2000 });
	date -= 365;
	ExpectDate(date, { 1, 3, 1999 });
	EXPECT_TRUE(date < later && date <= later && later > date && later >= date);
	EXPECT_TRUE(date != later && LibDate(1, 3, 2000) == later);
	EXPECT_EQ(366, LibDate(31, 12, 2000).GetDayOfYear());
}

TEST(LibDate, ArchiveAndRestoreKeepTheDayNumber)
{
	BMessage archive;
	ASSERT_EQ(B_OK, LibDate(15, 10, 1582).Archive(archive));
	int32 stored = 0;
	ASSERT_EQ(B_OK, archive.FindInt32("date", &stored));
	EXPECT_EQ(2299160, stored);

	LibDate restored(1, 1, 2000);
	EXPECT_EQ(B_OK, restored.Restore(archive));
	ExpectDate(restored, { 15, 10, 1582 });
	restored.Restore(BMessage());
	ExpectDate(restored, { 15, 10, 1582 });

	BMessage hostile;
	hostile.AddInt32("date", INT32_MAX);
	restored.Restore(hostile);
	EXPECT_EQ(LibDate::kMaxDayNumber, restored.GetJulianDate());
}

#include "LibDate.h"

#include "LibDatePrivate.h"

#include <Message.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace LibDatePrivate;


// The day number of 15 October 1582, the first day of the Gregorian calendar, and the
// same date written as Y * 10000 + M * 100 + D for the comparison in day_number_of.
static const int64 kGregorianStart = 2299160;
static const int64 kGregorianStartDate = 15821015;

// Moves a year by delta years, stepping over the year 0 that the calendar does not have.
static int64
add_years(int64 year, int64 delta)
{
	int64 result = year + delta;
	if (year > 0 && result <= 0)
		result--;
	else if (year < 0 && result >= 0)
		result++;
	return result;
}

// The day number of a date whose month is 1-12 and whose year is non-zero and in range.
// Jan and Feb count as months 13 and 14 of the year before, so that the leap day ends a
// year; dates from 15 October 1582 on get the Gregorian correction. Negative years are
// shifted by one first because there is no year 0; the truncation of Y * 365.25 towards
// zero then places their leap days in the years whose number divides by 4.
static int64
day_number_of(int64 day, int64 month, int64 year)
{
	int64 y = year < 0 ? year + 1 : year;
	int64 m = month;
	if (m <= 2) {
		y -= 1;
		m += 12;
	}
	int64 correction = 0;
	if (y * 10000 + m * 100 + day >= kGregorianStartDate) {
		int64 century = y / 100;
		correction = century / 4 - century + 2;
	}
	return (int64)std::trunc((double)y * 365.25) + (int64)std::trunc((double)(m + 1) * 30.6001)
		+ day + 1720994 + correction;
}

// Resolves a calendar date whose fields may lie outside their ranges: the month carries
// into the year, and a day beyond either end of its month counts on from the month's
// first or last day. Returns false for year 0.
static bool
resolve_day_number(int64 day, int64 month, int64 year, int64& dayNumber)
{
	if (year == 0)
		return false;
	year = add_years(year, floor_div(month - 1, 12));
	month = floor_mod(month - 1, 12) + 1;
	if (year > LibDate::kMaxYear) {
		dayNumber = LibDate::kMaxDayNumber;
		return true;
	}
	if (year < LibDate::kMinYear) {
		dayNumber = LibDate::kMinDayNumber;
		return true;
	}

	int64 length = LibDate::DaysInMonth((int32)month, (int32)year);
	if (day < 1)
		dayNumber = day_number_of(1, month, year) + (day - 1);
	else if (day > length)
		dayNumber = day_number_of(length, month, year) + (day - length);
	else
		dayNumber = day_number_of(day, month, year);
	return true;
}

static LibWeekDay
weekday_of(int64 dayNumber)
{
	// Day number 0 was a Monday (1 January 2000, day number 2451544, was a Saturday).
	return (LibWeekDay)floor_mod(dayNumber + 2, 7);
}

LibDate::LibDate(const int32& day, const int32& month, const int32& year) :
	fDayNumber(2440587),
	fDay(1),
	fMonth(1),
	fYear(1970)
{
	SetDate(day, month, year);
}

LibDate::LibDate(const int32& dayNumber) :
	fDayNumber(2440587),
	fDay(1),
	fMonth(1),
	fYear(1970)
{
	SetDate(dayNumber);
}

LibDate::LibDate(const bool& today, const bool& local) :
	fDayNumber(2440587),
	fDay(1),
	fMonth(1),
	fYear(1970)
{
	if (today)
		SetToday(local);
}

LibDate::~LibDate() { }

status_t
LibDate::Archive(BMessage& archive) const
{
	return archive.AddInt32("date", fDayNumber);
}

status_t
LibDate::Restore(const BMessage& archive)
{
	int32 dayNumber;
	if (archive.FindInt32("date", &dayNumber) == B_OK)
		SetDate(dayNumber);
	return B_OK;
}

void
LibDate::SetDate(const int32& dayNumber)
{
	_SetDayNumber(dayNumber);
}

void
LibDate::SetDate(const int32& day, const int32& month, const int32& year)
{
	_SetCalendar(day, month, year);
}

void
LibDate::SetDate(const char* text)
{
	if (text == NULL)
		return;
	_SetCalendar(fixed_number(text, 3, 2), fixed_number(text, 0, 2), fixed_number(text, 6, -1));
}

void
LibDate::SetDate(const tm* time)
{
	if (time == NULL)
		return;
	int64 year = (int64)time->tm_year + (time->tm_year <= 50 ? 2000 : 1900);
	_SetCalendar(time->tm_mday, (int64)time->tm_mon + 1, year);
}

bool
LibDate::SetUnformattedDate(const char* text)
{
	if (text == NULL)
		return false;

	int64 month = 1;
	int64 day = 1;
	int64 year = fYear;
	const char* position = text;
	for (int32 group = 0; group < 3; group++) {
		int32 digits = 0;
		int64 value = 0;
		while (isdigit((unsigned char)*position)) {
			// Only the digit count matters beyond four digits, so the value stays small.
			if (digits < 5)
				value = value * 10 + (*position - '0');
			digits++;
			position++;
		}
		bool atEnd = *position == '\0';

		if (group < 2) {
			if (digits > 2)
				return false;
			if (digits == 0) {
				// A group missing at the end keeps its default; an empty group between
				// separators is malformed.
				if (atEnd)
					break;
				return false;
			}
			if (group == 0)
				month = value;
			else
				day = value;
		} else if (digits == 2) {
			// Two digits stay in the century of the date's own year.
			int64 century = fYear - fYear % 100;
			year = fYear >= 0 ? century + value : century - value;
		} else if (digits == 4) {
			year = value;
		} else if (digits != 0) {
			return false;
		}

		if (atEnd)
			break;
		position++;
	}

	_SetCalendar(day, month, year);
	return true;
}

void
LibDate::SetToday(const bool& local)
{
	time_t now = time(NULL);
	tm parts;
	if ((local ? localtime_r(&now, &parts) : gmtime_r(&now, &parts)) == NULL)
		return;
	_SetCalendar(parts.tm_mday, (int64)parts.tm_mon + 1, (int64)parts.tm_year + 1900);
}

void
LibDate::SetDay(const int32& day)
{
	_SetCalendar(day, fMonth, fYear);
}

void
LibDate::SetMonth(const int32& month)
{
	_SetCalendar(fDay, month, fYear);
}

void
LibDate::SetMonth(const char* name)
{
	if (name == NULL || name[0] == '\0')
		return;
	size_t length = strlen(name);
	for (int32 month = 0; month < 12; month++) {
		if (strncmp(kMonthNames[0][month], name, length) == 0) {
			_SetCalendar(fDay, month + 1, fYear);
			return;
		}
	}
}

void
LibDate::SetYear(const int32& year)
{
	_SetCalendar(fDay, fMonth, year);
}

void
LibDate::GetDate(tm& time) const
{
	time.tm_mday = fDay;
	time.tm_mon = fMonth - 1;
	time.tm_year = fYear - 1900;
	time.tm_wday = DayOfWeek();
	time.tm_yday = GetDayOfYear() - 1;
	time.tm_isdst = -1;
}

void
LibDate::AddDays(const int32& days)
{
	_SetCalendar((int64)fDay + days, fMonth, fYear);
}

void
LibDate::AddMonths(const int32& months)
{
	_SetCalendar(fDay, (int64)fMonth + months, fYear);
}

void
LibDate::AddYears(const int32& years)
{
	_SetCalendar(fDay, fMonth, add_years(fYear, years));
}

LibDate&
LibDate::operator++()
{
	_SetDayNumber((int64)fDayNumber + 1);
	return *this;
}

LibDate
LibDate::operator++(int)
{
	LibDate old(*this);
	++*this;
	return old;
}

LibDate&
LibDate::operator--()
{
	_SetDayNumber((int64)fDayNumber - 1);
	return *this;
}

LibDate
LibDate::operator--(int)
{
	LibDate old(*this);
	--*this;
	return old;
}

LibDate&
LibDate::operator+=(const int32& days)
{
	_SetDayNumber((int64)fDayNumber + days);
	return *this;
}

LibDate&
LibDate::operator-=(const int32& days)
{
	_SetDayNumber((int64)fDayNumber - days);
	return *this;
}

LibDate
LibDate::operator+(const int32& days) const
{
	LibDate result(*this);
	result += days;
	return result;
}

LibDate
LibDate::operator-(const int32& days) const
{
	LibDate result(*this);
	result -= days;
	return result;
}

int32
LibDate::operator-(const LibDate& other) const
{
	return DaysSince(other);
}

int32
LibDate::DaysSince(const LibDate& other) const
{
	// The two ends of the range are further apart than int32 can say; such a difference
	// saturates.
	int64 difference = (int64)fDayNumber - other.fDayNumber;
	if (difference > INT32_MAX)
		return INT32_MAX;
	if (difference < INT32_MIN)
		return INT32_MIN;
	return (int32)difference;
}

bool
LibDate::operator==(const LibDate& other) const
{
	return fDayNumber == other.fDayNumber;
}

bool
LibDate::operator!=(const LibDate& other) const
{
	return fDayNumber != other.fDayNumber;
}

bool
LibDate::operator<(const LibDate& other) const
{
	return fDayNumber < other.fDayNumber;
}

bool
LibDate::operator>(const LibDate& other) const
{
	return fDayNumber > other.fDayNumber;
}

bool
LibDate::operator<=(const LibDate& other) const
{
	return fDayNumber <= other.fDayNumber;
}

bool
LibDate::operator>=(const LibDate& other) const
{
	return fDayNumber >= other.fDayNumber;
}

LibWeekDay
LibDate::DayOfWeek(const int32& day) const
{
	// The weekday comes from the day number, so that it is right on both sides of the
	// calendar reform (4 October 1582 was a Thursday, the next day Friday 15 October).
	if (day == 0)
		return weekday_of(fDayNumber);
	int64 dayNumber;
	if (!resolve_day_number(day, fMonth, fYear, dayNumber))
		return weekday_of(fDayNumber);
	return weekday_of(dayNumber);
}

LibWeekDay
LibDate::DayOfWeek(const char* name)
{
	if (name == NULL)
		return LIB_SUNDAY;
	char first = (char)toupper((unsigned char)name[0]);
	char second = first != '\0' ? (char)toupper((unsigned char)name[1]) : '\0';
	switch (first) {
		case 'F':
			return LIB_FRIDAY;
		case 'M':
			return LIB_MONDAY;
		case 'S':
			return second == 'U' ? LIB_SUNDAY : LIB_SATURDAY;
		case 'T':
			return second == 'U' ? LIB_TUESDAY : LIB_THURSDAY;
		case 'W':
			return LIB_WEDNESDAY;
		default:
			return LIB_SUNDAY;
	}
}

bool
LibDate::IsWeekEnd(const int32& day) const
{
	LibWeekDay weekday = DayOfWeek(day);
	return weekday == LIB_SUNDAY || weekday == LIB_SATURDAY;
}

void
LibDate::SetToNext(const LibWeekDay& day)
{
	int64 distance = floor_mod((int64)day - DayOfWeek(), 7);
	_SetDayNumber((int64)fDayNumber + (distance == 0 ? 7 : distance));
}

void
LibDate::SetToPrev(const LibWeekDay& day)
{
	int64 distance = floor_mod((int64)DayOfWeek() - day, 7);
	_SetDayNumber((int64)fDayNumber - (distance == 0 ? 7 : distance));
}

bool
LibDate::IsValidDate() const
{
	return fMonth >= 1 && fMonth <= 12 && fDay >= 1 && fDay <= DaysInMonth(fMonth, fYear);
}

bool
LibDate::IsLeapYear(const int32& year)
{
	if (year <= 1581)
		return year % 4 == 0;
	return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int32
LibDate::DaysInYear(const int32& year) const
{
	return IsLeapYear(year == 0 ? fYear : year) ? 366 : 365;
}

int32
LibDate::DaysInMonth() const
{
	return DaysInMonth(fMonth, fYear);
}

int32
LibDate::DaysInMonth(const int32& month, const int32& year)
{
	static const int32 kLengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
	if (month < 1 || month > 12)
		return 0;
	if (month == 2 && IsLeapYear(year))
		return 29;
	return kLengths[month - 1];
}

int32
LibDate::GetDayOfYear() const
{
	return (int32)(fDayNumber - day_number_of(1, 1, fYear) + 1);
}

void
LibDate::PrintToStream() const
{
	fprintf(
		stderr, "LibDate: %d/%d/%d (%ld)\n", (int)fMonth, (int)fDay, (int)fYear, (long)fDayNumber);
}

// Derives day, month and year from a day number (clamped to the supported range). Floor
// rounding keeps the conversion exact for the negative intermediate values of dates long
// before year 1.
void
LibDate::_SetDayNumber(int64 dayNumber)
{
	if (dayNumber < kMinDayNumber)
		dayNumber = kMinDayNumber;
	if (dayNumber > kMaxDayNumber)
		dayNumber = kMaxDayNumber;

	int64 z = dayNumber + 1;
	int64 a = z;
	if (z > kGregorianStart) {
		int64 alpha = (int64)std::floor(((double)z - 1867216.25) / 36524.25);
		a = z + 1 + alpha - alpha / 4;
	}
	int64 b = a > 1721423 ? a + 1524 : a + 1158;
	int64 q = (int64)std::floor(((double)b - 122.1) / 365.25);
	int64 d = (int64)std::floor(365.25 * (double)q);
	int64 e = (int64)std::floor((double)(b - d) / 30.6001);

	fDayNumber = (int32)dayNumber;
	fDay = (int32)(b - d - (int64)std::floor(30.6001 * (double)e));
	fMonth = (int32)(e < 14 ? e - 1 : e - 13);
	fYear = (int32)(fMonth > 2 ? q - 4716 : q - 4715);
}

// Normalises a calendar date and stores it through its day number, so that both forms
// always agree; a day inside the reform's gap (5-14 October 1582) becomes the Gregorian
// date of the same day. A year of 0 changes nothing.
void
LibDate::_SetCalendar(int64 day, int64 month, int64 year)
{
	int64 dayNumber;
	if (!resolve_day_number(day, month, year, dayNumber))
		return;
	_SetDayNumber(dayNumber);
}

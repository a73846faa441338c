// A calendar date held both as a day number and as day, month and year. The day number is
// the astronomical Julian Day Number minus one (1 January 2000 is 2451544); dates before
// 15 October 1582 are Julian calendar dates, later ones Gregorian. There is no year 0:
// year -1 is the year before year 1.
#ifndef LIB_DATE_H
#define LIB_DATE_H

#include <SupportDefs.h>

#include <ctime>

class BMessage;

enum LibWeekDay : int32 {
	LIB_SUNDAY = 0,
	LIB_MONDAY,
	LIB_TUESDAY,
	LIB_WEDNESDAY,
	LIB_THURSDAY,
	LIB_FRIDAY,
	LIB_SATURDAY
};

class LibDate {
public:
	// Dates are kept between 1 January of year -5000000 and 31 December of year 5000000;
	// arithmetic beyond these ends stops at them.
	static constexpr int32 kMinYear = -5000000;
	static constexpr int32 kMaxYear = 5000000;
	static constexpr int32 kMinDayNumber = -1824528577;
	static constexpr int32 kMaxDayNumber = 1827933924;

	LibDate(const int32& day, const int32& month, const int32& year);
	explicit LibDate(const int32& dayNumber);
	// With today false the date is 1 January 1970 until it is set.
	explicit LibDate(const bool& today = true, const bool& local = true);
	LibDate(const LibDate& other) = default;
	virtual ~LibDate();

	LibDate& operator=(const LibDate& other) = default;

	virtual status_t Archive(BMessage& archive) const;
	virtual status_t Restore(const BMessage& archive);

	// Calendar setters normalise (31 April is 1 May, month 13 is January of the next
	// year) and then derive the day number. A year of 0 leaves the date unchanged.
	void SetDate(const int32& dayNumber);
	void SetDate(const int32& day, const int32& month, const int32& year);
	// Fixed positions: month at 0-1, day at 3-4, year from 6 on ("12/25/2001").
	void SetDate(const char* text);
	// tm_year up to 50 counts from 2000, later values from 1900.
	void SetDate(const tm* time);
	// Month, day and year as digit groups split by single other characters.
	bool SetUnformattedDate(const char* text);
	void SetToday(const bool& local = true);
	void SetDay(const int32& day);
	void SetMonth(const int32& month);
	// The month whose English name begins with name (case-sensitive).
	void SetMonth(const char* name);
	void SetYear(const int32& year);

	// Sets tm_mday, tm_mon, tm_year, tm_wday and tm_yday; tm_isdst becomes -1
	// (unknown) and the time members are not touched.
	void GetDate(tm& time) const;

	int32 GetDay() const { return fDay; }

	int32 GetMonth() const { return fMonth; }

	int32 GetYear() const { return fYear; }

	int32 GetJulianDate() const { return fDayNumber; }

	// Calendar arithmetic: add to the field, then normalise.
	void AddDays(const int32& days);
	void AddMonths(const int32& months);
	void AddYears(const int32& years);

	// Day arithmetic on the day number.
	LibDate& operator++();
	LibDate operator++(int);
	LibDate& operator--();
	LibDate operator--(int);
	LibDate& operator+=(const int32& days);
	LibDate& operator-=(const int32& days);
	LibDate operator+(const int32& days) const;
	LibDate operator-(const int32& days) const;
	int32 operator-(const LibDate& other) const;
	int32 DaysSince(const LibDate& other) const;

	bool operator==(const LibDate& other) const;
	bool operator!=(const LibDate& other) const;
	bool operator<(const LibDate& other) const;
	bool operator>(const LibDate& other) const;
	bool operator<=(const LibDate& other) const;
	bool operator>=(const LibDate& other) const;

	// The weekday of that day of the date's month and year (0: the date itself).
	LibWeekDay DayOfWeek(const int32& day = 0) const;
	// The weekday an English name begins with ("Mon", "tu", "SAT"); LIB_SUNDAY when
	// the name is none.
	static LibWeekDay DayOfWeek(const char* name);
	bool IsWeekEnd(const int32& day = 0) const;
	// The nearest date strictly after (before) this one on that weekday.
	void SetToNext(const LibWeekDay& day);
	void SetToPrev(const LibWeekDay& day);

	bool IsValidDate() const;
	// Every fourth year up to 1581, the Gregorian rule from 1582 on; negative years
	// follow the same rule on their number (-4 is a leap year).
	static bool IsLeapYear(const int32& year);
	// 365 or 366; year 0 stands for the date's own year.
	int32 DaysInYear(const int32& year = 0) const;
	int32 DaysInMonth() const;
	// 28-31, 0 for a month outside 1-12.
	static int32 DaysInMonth(const int32& month, const int32& year);
	// 1 for 1 January.
	int32 GetDayOfYear() const;

	void PrintToStream() const;

private:
	void _SetDayNumber(int64 dayNumber);
	void _SetCalendar(int64 day, int64 month, int64 year);

	int32 fDayNumber;
	int32 fDay;
	int32 fMonth;
	int32 fYear;
};

#endif // LIB_DATE_H

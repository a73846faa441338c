#include "LibDateTime.h"

#include "LibDatePrivate.h"
#include "LibString.h"

#include <Message.h>
#include <parsedate.h>

#include <cstdio>

using namespace LibDatePrivate;

LibDateTime::LibDateTime(const int32& day, const int32& month, const int32& year) :
	LibDate(day, month, year),
	LibTime(0, 0, 0)
{
}

LibDateTime::LibDateTime(const bool& local) :
	LibDate(false),
	LibTime(false)
{
	// One reading of the clock for both parts, so that they cannot straddle midnight.
	_SetFrom(time(NULL), local);
}

LibDateTime::~LibDateTime() { }

status_t
LibDateTime::Archive(BMessage& archive) const
{
	status_t status = LibDate::Archive(archive);
	if (status == B_OK)
		status = LibTime::Archive(archive);
	return status;
}

status_t
LibDateTime::Restore(const BMessage& archive)
{
	LibDate::Restore(archive);
	return LibTime::Restore(archive);
}

void
LibDateTime::SetNow(const bool& local)
{
	_SetFrom(time(NULL), local);
}

void
LibDateTime::AddHours(const int32& hours)
{
	int64 total = (int64)GetHours() + hours;
	SetHours((int32)floor_mod(total, 24));
	_MoveDays(floor_div(total, 24));
}

void
LibDateTime::AddMinutes(const int32& minutes)
{
	int64 total = (int64)GetHours() * 60 + GetMinutes() + minutes;
	int64 inDay = floor_mod(total, 1440);
	SetTime((int32)(inDay / 60), (int32)(inDay % 60), GetSeconds());
	_MoveDays(floor_div(total, 1440));
}

void
LibDateTime::AddSeconds(const int32& seconds)
{
	_MoveDays(_SetSeconds((int64)NumberOfSeconds() + seconds));
}

void
LibDateTime::SetDateTime(const int32& when, const bool& local)
{
	_SetFrom((time_t)when, local);
}

bool
LibDateTime::Set(const LibString& text)
{
	time_t when = parsedate(text, -1);
	if (when == -1) {
		fprintf(stderr, "Error with date time value\n");
		return false;
	}
	_SetFrom(when, true);
	return true;
}

// Reads characters start..start + count - 1 the way LibString::GetInt16 reads a text.
static int32
iso_field(const LibString& text, int32 start, int32 count)
{
	int16 value = 0;
	text.Extract(start, start + count - 1).GetInt16(value);
	return value;
}

bool
LibDateTime::SetIso8601(const LibString& text, const short& zoneHours)
{
	int32 length = text.Length();
	if (length <= 14)
		return false;

	SetDate(iso_field(text, 6, 2), iso_field(text, 4, 2), iso_field(text, 0, 4));
	SetTime(iso_field(text, 9, 2), iso_field(text, 11, 2), iso_field(text, 13, 2));
	if (length == 16 && text[15] == 'Z')
		AddHours(zoneHours);
	return true;
}

LibDateTime&
LibDateTime::operator=(const LibDate& date)
{
	LibDate::operator=(date);
	return *this;
}

LibDateTime&
LibDateTime::operator=(const LibTime& time)
{
	LibTime::operator=(time);
	return *this;
}

bool
LibDateTime::operator==(const LibDateTime& other) const
{
	return LibDate::operator==(other) && LibTime::operator==(other);
}

bool
LibDateTime::operator!=(const LibDateTime& other) const
{
	return !(*this == other);
}

bool
LibDateTime::operator<(const LibDateTime& other) const
{
	if (!LibDate::operator==(other))
		return LibDate::operator<(other);
	return LibTime::operator<(other);
}

bool
LibDateTime::operator>(const LibDateTime& other) const
{
	return other < *this;
}

bool
LibDateTime::operator<=(const LibDateTime& other) const
{
	return !(other < *this);
}

bool
LibDateTime::operator>=(const LibDateTime& other) const
{
	return !(*this < other);
}

int64
LibDateTime::operator-(const LibDateTime& other) const
{
	return ((int64)GetJulianDate() - other.GetJulianDate()) * 86400
		+ ((int64)NumberOfSeconds() - other.NumberOfSeconds());
}

void
LibDateTime::PrintToStream() const
{
	LibDate::PrintToStream();
	LibTime::PrintToStream();
}

void
LibDateTime::_MoveDays(int64 days)
{
	if (days == 0)
		return;
	// The date clamps at the ends of its range; a count beyond int32 already lies past
	// them.
	if (days > INT32_MAX)
		days = INT32_MAX;
	if (days < INT32_MIN)
		days = INT32_MIN;
	LibDate::operator+=((int32)days);
}

void
LibDateTime::_SetFrom(time_t when, bool local)
{
	tm parts;
	if ((local ? localtime_r(&when, &parts) : gmtime_r(&when, &parts)) == NULL)
		return;
	SetDate(parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900);
	SetTime(parts.tm_hour, parts.tm_min, parts.tm_sec);
}

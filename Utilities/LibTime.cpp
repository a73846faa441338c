#include "LibTime.h"

#include "LibDatePrivate.h"

#include <Message.h>

#include <cctype>
#include <cmath>
#include <cstdio>

using namespace LibDatePrivate;


static const int64 kSecondsPerDay = 86400;

LibTime::LibTime(const int32& hours, const int32& minutes, const int32& seconds) :
	fHours(0),
	fMinutes(0),
	fSeconds(0)
{
	SetTime(hours, minutes, seconds);
}

LibTime::LibTime(const bool& now, const bool& local) :
	fHours(0),
	fMinutes(0),
	fSeconds(0)
{
	// Not through the virtual SetNow: a derived class is not built yet.
	if (now)
		_SetFromTime(time(NULL), local);
}

LibTime::~LibTime() { }

status_t
LibTime::Archive(BMessage& archive) const
{
	status_t status = archive.AddInt32("hours", fHours);
	if (status == B_OK)
		status = archive.AddInt32("minutes", fMinutes);
	if (status == B_OK)
		status = archive.AddInt32("seconds", fSeconds);
	return status;
}

status_t
LibTime::Restore(const BMessage& archive)
{
	// A message may come from anywhere; the fields are normalised so that a stored 25:61
	// cannot break the arithmetic later.
	int32 hours = fHours;
	int32 minutes = fMinutes;
	int32 seconds = fSeconds;
	archive.FindInt32("hours", &hours);
	archive.FindInt32("minutes", &minutes);
	archive.FindInt32("seconds", &seconds);
	SetTime(hours, minutes, seconds);
	return B_OK;
}

void
LibTime::SetNow(const bool& local)
{
	_SetFromTime(time(NULL), local);
}

void
LibTime::AddHours(const int32& hours)
{
	_SetSeconds(((int64)fHours + hours) * 3600 + fMinutes * 60 + fSeconds);
}

void
LibTime::AddMinutes(const int32& minutes)
{
	_SetSeconds((int64)fHours * 3600 + ((int64)fMinutes + minutes) * 60 + fSeconds);
}

void
LibTime::AddSeconds(const int32& seconds)
{
	_SetSeconds((int64)NumberOfSeconds() + seconds);
}

int32
LibTime::GetSeconds() const
{
	return fSeconds;
}

void
LibTime::SetTime(const int32& hours, const int32& minutes, const int32& seconds)
{
	_SetSeconds((int64)hours * 3600 + (int64)minutes * 60 + seconds);
}

void
LibTime::SetHours(const int32& hours)
{
	SetTime(hours, fMinutes, fSeconds);
}

void
LibTime::SetMinutes(const int32& minutes)
{
	SetTime(fHours, minutes, fSeconds);
}

void
LibTime::SetSeconds(const int32& seconds)
{
	SetTime(fHours, fMinutes, seconds);
}

void
LibTime::SetTime(const tm* time)
{
	if (time == NULL)
		return;
	SetTime(time->tm_hour, time->tm_min, time->tm_sec);
}

void
LibTime::SetTime(const int32& when, const bool& local)
{
	_SetFromTime((time_t)when, local);
}

void
LibTime::SetTime(const float& hours)
{
	// Whole hours, then whole minutes of the fraction, then whole seconds of what is left.
	// The result is normalised as well, so that values outside one day (or a fraction
	// that rounds to 60 minutes) still give a valid time.
	double value = hours;
	if (!std::isfinite(value))
		value = 0;
	value = std::fmod(value, 24.0);
	double whole = std::trunc(value);
	double minutes = (value - whole) * 60;
	double wholeMinutes = std::trunc(minutes);
	double seconds = std::trunc((minutes - wholeMinutes) * 60);
	SetTime((int32)whole, (int32)wholeMinutes, (int32)seconds);
}

void
LibTime::SetTime(const char* text)
{
	if (text == NULL)
		return;
	SetTime(fixed_number(text, 0, 2), fixed_number(text, 3, 2), fixed_number(text, 6, 2));
}

bool
LibTime::SetUnformattedTime(const char* text)
{
	if (text == NULL)
		return false;

	int32 values[2] = { 0, 0 };
	const char* position = text;
	for (int32 group = 0; group < 2; group++) {
		int32 digits = 0;
		int32 value = 0;
		while (isdigit((unsigned char)*position)) {
			if (digits < 3)
				value = value * 10 + (*position - '0');
			digits++;
			position++;
		}
		bool atEnd = *position == '\0';
		if (digits > 2 || (digits == 0 && !atEnd))
			return false;
		values[group] = value;
		if (atEnd)
			break;
		position++;
	}

	SetTime(values[0], values[1], 0);
	return true;
}

void
LibTime::GetTime(tm& time) const
{
	time.tm_hour = fHours;
	time.tm_min = fMinutes;
	time.tm_sec = fSeconds;
}

int32
LibTime::NumberOfSeconds() const
{
	return fHours * 3600 + fMinutes * 60 + fSeconds;
}

float
LibTime::NumberOfMinutes() const
{
	return (float)NumberOfSeconds() / 60;
}

float
LibTime::TimeZone(const int& /*unused*/)
{
	time_t now = time(NULL);
	tm parts;
	if (localtime_r(&now, &parts) == NULL)
		return 0;
	return (float)parts.tm_gmtoff;
}

LibTime
LibTime::operator-(const LibTime& other) const
{
	return LibTime(0, 0, NumberOfSeconds() - other.NumberOfSeconds());
}

bool
LibTime::operator==(const LibTime& other) const
{
	return NumberOfSeconds() == other.NumberOfSeconds();
}

bool
LibTime::operator!=(const LibTime& other) const
{
	return NumberOfSeconds() != other.NumberOfSeconds();
}

bool
LibTime::operator<(const LibTime& other) const
{
	return NumberOfSeconds() < other.NumberOfSeconds();
}

bool
LibTime::operator>(const LibTime& other) const
{
	return NumberOfSeconds() > other.NumberOfSeconds();
}

bool
LibTime::operator<=(const LibTime& other) const
{
	return NumberOfSeconds() <= other.NumberOfSeconds();
}

bool
LibTime::operator>=(const LibTime& other) const
{
	return NumberOfSeconds() >= other.NumberOfSeconds();
}

void
LibTime::PrintToStream() const
{
	fprintf(stderr, "Time: %2.2ld:%2.2ld:%2.2ld\n", (long)fHours, (long)fMinutes, (long)fSeconds);
}

int64
LibTime::_SetSeconds(int64 seconds)
{
	int64 inDay = floor_mod(seconds, kSecondsPerDay);
	fHours = (int32)(inDay / 3600);
	fMinutes = (int32)(inDay / 60 % 60);
	fSeconds = (int32)(inDay % 60);
	return floor_div(seconds, kSecondsPerDay);
}

void
LibTime::_SetFromTime(time_t when, bool local)
{
	tm parts;
	if ((local ? localtime_r(&when, &parts) : gmtime_r(&when, &parts)) == NULL)
		return;
	SetTime(parts.tm_hour, parts.tm_min, parts.tm_sec);
}

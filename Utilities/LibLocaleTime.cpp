#include "LibLocaleTime.h"

#include <Message.h>

#include <cctype>
#include <cstdio>
#include <cstring>

// Appends a value of 0-9 with a leading "0".
static void
append_two_digits(LibString& text, int32 value)
{
	if (value >= 0 && value <= 9)
		text += "0";
	text += value;
}

LibLocaleTime::LibLocaleTime() :
	fShowSeconds(false),
	fShowMinutes(true),
	fSeparator(':'),
	f24Clock(false),
	fShowSuffix(true),
	f24Suffix(""),
	fBeforeNoonSuffix(" AM"),
	fAfterNoonSuffix(" PM")
{
}

LibLocaleTime::~LibLocaleTime() { }

void
LibLocaleTime::PrintToStream() const
{
	fprintf(stderr, "show sec %d, min %d\n", (int)fShowSeconds, (int)fShowMinutes);
}

LibString
LibLocaleTime::Format(const LibTime& time) const
{
	LibString result;
	int32 hours = time.GetHours();
	if (f24Clock) {
		append_two_digits(result, hours);
	} else {
		int32 shown = hours > 12 ? hours - 12 : hours;
		if (shown == 0)
			shown = 12;
		result += shown;
	}

	if (fShowMinutes) {
		if (fSeparator != '\0')
			result += fSeparator;
		append_two_digits(result, time.GetMinutes());
	}
	if (fShowSeconds) {
		if (fSeparator != '\0')
			result += fSeparator;
		append_two_digits(result, time.GetSeconds());
	}
	if (fShowSuffix) {
		if (f24Clock)
			result += f24Suffix;
		else
			result += hours > 11 ? fAfterNoonSuffix : fBeforeNoonSuffix;
	}
	return result;
}

LibTime
LibLocaleTime::GetTime(const char* text) const
{
	LibTime now(true, true);
	int32 values[3] = { now.GetHours(), now.GetMinutes(), now.GetSeconds() };
	if (text == NULL)
		return now;

	// An empty suffix would be found in every text; it marks nothing.
	bool afterNoon = fAfterNoonSuffix.Length() > 0 && strstr(text, fAfterNoonSuffix) != NULL;

	// A group holds three digits at most; a non-digit, or a fourth digit in a row (which
	// is dropped), closes it and sets the next component.
	int32 next = 0;
	int32 group = 0;
	int32 digits = 0;
	for (const char* position = text; *position != '\0'; position++) {
		if (isdigit((unsigned char)*position) && digits < 3) {
			group = group * 10 + (*position - '0');
			digits++;
			continue;
		}
		if (next < 3)
			values[next++] = group;
		group = 0;
		digits = 0;
	}
	if (digits > 0 && next < 3)
		values[next] = group;

	if (values[0] > 11 && !afterNoon)
		values[0] -= 12;
	else if (values[0] <= 11 && afterNoon)
		values[0] += 12;
	return LibTime(values[0], values[1], values[2]);
}

bool
LibLocaleTime::Has12ClockSuffix() const
{
	return fBeforeNoonSuffix.Length() > 0 || fAfterNoonSuffix.Length() > 0;
}

void
LibLocaleTime::SetShowSeconds(const bool& show)
{
	fShowSeconds = show;
}

void
LibLocaleTime::SetShowMinutes(const bool& show)
{
	fShowMinutes = show;
}

void
LibLocaleTime::Set24Clock(const bool& use)
{
	f24Clock = use;
}

void
LibLocaleTime::SetShowSuffix(const bool& show)
{
	fShowSuffix = show;
}

void
LibLocaleTime::SetTimeSeperator(const char& separator)
{
	fSeparator = separator;
}

void
LibLocaleTime::Set24ClockSuffix(const char* suffix)
{
	f24Suffix = suffix != NULL ? suffix : "";
}

void
LibLocaleTime::Set12ClockBeforeNoonSuffix(const char* suffix)
{
	fBeforeNoonSuffix = suffix != NULL ? suffix : "";
}

void
LibLocaleTime::Set12ClockAfterNoonSuffix(const char* suffix)
{
	fAfterNoonSuffix = suffix != NULL ? suffix : "";
}

status_t
LibLocaleTime::Read(const BMessage& message)
{
	bool flag = false;
	fShowSeconds = message.FindBool("show_seconds", &flag) == B_OK && flag;
	fShowMinutes = message.FindBool("show_minutes", &flag) == B_OK && flag;
	int16 separator = 0;
	fSeparator = message.FindInt16("seperator", &separator) == B_OK ? (char)separator : '\0';
	f24Clock = message.FindBool("24_hour_clock", &flag) == B_OK && flag;
	fShowSuffix = message.FindBool("show_suffix", &flag) == B_OK && flag;

	const char* suffix;
	if (message.FindString("24_hour_suffix", &suffix) == B_OK)
		f24Suffix = suffix;
	if (message.FindString("12_hour_before_noon_suffix", &suffix) == B_OK)
		fBeforeNoonSuffix = suffix;
	if (message.FindString("12_hour_after_noon_suffix", &suffix) == B_OK)
		fAfterNoonSuffix = suffix;
	return B_OK;
}

status_t
LibLocaleTime::Write(BMessage& message) const
{
	status_t status = message.AddBool("show_seconds", fShowSeconds);
	if (status == B_OK)
		status = message.AddBool("show_minutes", fShowMinutes);
	if (status == B_OK)
		status = message.AddInt16("seperator", fSeparator);
	if (status == B_OK)
		status = message.AddBool("24_hour_clock", f24Clock);
	if (status == B_OK)
		status = message.AddBool("show_suffix", fShowSuffix);
	if (status == B_OK)
		status = message.AddString("24_hour_suffix", f24Suffix);
	if (status == B_OK)
		status = message.AddString("12_hour_before_noon_suffix", fBeforeNoonSuffix);
	if (status == B_OK)
		status = message.AddString("12_hour_after_noon_suffix", fAfterNoonSuffix);
	return status;
}

#include "LibLocaleDate.h"

#include "LibDatePrivate.h"
#include "LibStringList.h"

#include <Message.h>
#include <parsedate.h>

#include <cstdio>
#include <cstring>

using namespace LibDatePrivate;

// A copy of the first count UTF-8 characters of name.
static LibString
name_prefix(const char* name, int32 count)
{
	LibString result(name);
	result.ToIndex(utf8_prefix_length(name, count) - 1);
	return result;
}

static bool
is_word_byte(unsigned char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80;
}

static bool
is_fullwidth_digit_at(const char* text, int32 index)
{
	// U+FF10 to U+FF19 are EF BC 90 to EF BC 99.
	return index >= 0 && (unsigned char)text[index] == 0xEF
		&& (unsigned char)text[index + 1] == 0xBC && (unsigned char)text[index + 2] >= 0x90
		&& (unsigned char)text[index + 2] <= 0x99;
}

// Whether the occurrence of a name at start is the name itself and not a piece of a longer
// word: "JUNI" inside "JUNIO", or the Japanese "１月" inside "１１月".
static bool
is_whole_name(const char* text, int32 start, int32 length, const char* name)
{
	if ((unsigned char)name[0] < 0x80) {
		if (start > 0 && is_word_byte((unsigned char)text[start - 1]))
			return false;
		return !is_word_byte((unsigned char)text[start + length]);
	}
	if (is_fullwidth_digit_at(name, 0))
		return !is_fullwidth_digit_at(text, start - 3);
	return true;
}

// Replaces the first whole occurrence of the upper-cased name by english.
static void
replace_name(LibString& text, const char* name, const char* english)
{
	LibString needle(name);
	needle.ToUpperCase();
	int32 length = needle.Length();
	if (length == 0)
		return;

	const char* haystack = text;
	const char* found = strstr(haystack, needle);
	while (found != NULL) {
		int32 start = (int32)(found - haystack);
		if (is_whole_name(haystack, start, length, needle)) {
			text.Remove(start, start + length - 1);
			text.Insert(start - 1, english);
			return;
		}
		found = strstr(found + 1, needle);
	}
}

LibLocaleDate::LibLocaleDate() :
	fWeekdayFormat(LIB_ELEMENT_ABBREVIATED),
	fMonthFormat(LIB_ELEMENT_ABBREVIATED),
	fDayFormat(LIB_ELEMENT_SHORT),
	fYearFormat(LIB_ELEMENT_FULL),
	fPad(false),
	fFormat("D M Y"),
	fLanguage(LIB_ENGLISH)
{
}

LibLocaleDate::~LibLocaleDate() { }

void
LibLocaleDate::PrintToStream() const
{
}

LibString
LibLocaleDate::Format(const LibDate& date) const
{
	LibString result;
	bool dayDone = false;
	bool monthDone = false;
	bool weekdayDone = false;
	bool yearDone = false;
	for (const char* position = fFormat; *position != '\0'; position++) {
		switch (*position) {
			case 'D':
				if (!dayDone)
					result += AddDay(date.GetDay());
				dayDone = true;
				break;
			case 'M':
				if (!monthDone)
					result += AddMonth(date.GetMonth());
				monthDone = true;
				break;
			case 'W':
				if (!weekdayDone)
					result += AddWeekDay(date);
				weekdayDone = true;
				break;
			case 'Y':
				if (!yearDone)
					result += AddYear(date.GetYear());
				yearDone = true;
				break;
			default:
				result += *position;
				break;
		}
	}
	return result;
}

void
LibLocaleDate::AddWeekDay(const LibWeekDay& day, LibString& out) const
{
	out = "";
	if (day < LIB_SUNDAY || day > LIB_SATURDAY)
		return;
	const char* name = kWeekDayNames[_LanguageIndex()][day];
	bool kanji = KanjiLaunguage();
	if (fWeekdayFormat == LIB_ELEMENT_SHORT)
		out = name_prefix(name, kanji ? 1 : 2);
	else if (fWeekdayFormat == LIB_ELEMENT_ABBREVIATED && !kanji)
		out = name_prefix(name, 3);
	else
		out = name;
}

LibString
LibLocaleDate::AddWeekDay(const LibWeekDay& day) const
{
	LibString result;
	AddWeekDay(day, result);
	return result;
}

LibString
LibLocaleDate::AddWeekDay(const LibDate& date) const
{
	return AddWeekDay(date.DayOfWeek());
}

LibString
LibLocaleDate::AddMonth(const int& month) const
{
	if (fMonthFormat == LIB_ELEMENT_SHORT)
		return AddDay(month);

	LibString result;
	if (month < 1 || month > 12)
		return result;
	const char* name = kMonthNames[_LanguageIndex()][month - 1];
	if (fMonthFormat == LIB_ELEMENT_ABBREVIATED && !KanjiLaunguage())
		result = name_prefix(name, 3);
	else
		result = name;
	return result;
}

LibString
LibLocaleDate::AddDay(const int& day) const
{
	LibString result;
	if (fPad && day >= 0 && day <= 9)
		result += "0";
	result += (int32)day;
	return result;
}

LibString
LibLocaleDate::AddYear(const int& year) const
{
	int32 value = year;
	if (fYearFormat == LIB_ELEMENT_SHORT || fYearFormat == LIB_ELEMENT_ABBREVIATED)
		value = year % 100;
	LibString result;
	if (value >= 0 && value <= 9)
		result += "0";
	result += value;
	return result;
}

LibDate
LibLocaleDate::GetDate(const char* text)
{
	LibDate today(true, true);
	time_t when = parsedate(text, -1);
	tm parts;
	if (when == -1 || localtime_r(&when, &parts) == NULL) {
		fprintf(stderr, "LibLocaleDate::GetDate: parsedate failed\n");
		return today;
	}
	return LibDate(parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900);
}

LibString
LibLocaleDate::ConvertToEnglish(const char* text)
{
	LibString result(text);
	result.ToUpperCase();
	for (int32 language = 1; language < kLanguageCount; language++) {
		for (int32 month = 0; month < 12; month++)
			replace_name(result, kMonthNames[language][month], kMonthNames[0][month]);
	}
	for (int32 language = 1; language < kLanguageCount; language++) {
		for (int32 day = 0; day < 7; day++)
			replace_name(result, kWeekDayNames[language][day], kWeekDayNames[0][day]);
	}
	return result;
}

void
LibLocaleDate::AvailableLanguages(LibStringList& list)
{
	for (int32 language = 0; language < kLanguageCount; language++)
		list.Add(kLanguageNames[language]);
}

void
LibLocaleDate::SetWeekdayFormat(const ElementFormat& format)
{
	fWeekdayFormat = format;
}

void
LibLocaleDate::SetMonthFormat(const ElementFormat& format)
{
	fMonthFormat = format;
}

void
LibLocaleDate::SetDayFormat(const ElementFormat& format)
{
	fDayFormat = format;
}

void
LibLocaleDate::SetYearFormat(const ElementFormat& format)
{
	fYearFormat = format;
}

void
LibLocaleDate::SetLanguage(const LanguageType& language)
{
	fLanguage = language;
}

void
LibLocaleDate::SetFormat(const char* format)
{
	fFormat = format != NULL ? format : "";
}

void
LibLocaleDate::PadWithZeros(const bool& pad)
{
	fPad = pad;
}

status_t
LibLocaleDate::Read(const BMessage& message)
{
	int32 value;
	if (message.FindInt32("weekday", &value) == B_OK)
		fWeekdayFormat = (ElementFormat)value;
	if (message.FindInt32("month", &value) == B_OK)
		fMonthFormat = (ElementFormat)value;
	if (message.FindInt32("day", &value) == B_OK)
		fDayFormat = (ElementFormat)value;
	if (message.FindInt32("year", &value) == B_OK)
		fYearFormat = (ElementFormat)value;
	bool pad;
	if (message.FindBool("pad", &pad) == B_OK)
		fPad = pad;
	const char* format;
	if (message.FindString("format", &format) == B_OK)
		fFormat = format;
	if (message.FindInt32("language", &value) == B_OK)
		fLanguage = (LanguageType)value;
	return B_OK;
}

status_t
LibLocaleDate::Write(BMessage& message) const
{
	status_t status = message.AddInt32("weekday", fWeekdayFormat);
	if (status == B_OK)
		status = message.AddInt32("month", fMonthFormat);
	if (status == B_OK)
		status = message.AddInt32("day", fDayFormat);
	if (status == B_OK)
		status = message.AddInt32("year", fYearFormat);
	if (status == B_OK)
		status = message.AddBool("pad", fPad);
	if (status == B_OK)
		status = message.AddString("format", fFormat);
	if (status == B_OK)
		status = message.AddInt32("language", fLanguage);
	return status;
}

// The language's row of the name tables; an unknown language (from a message, say) is
// written in English.
int32
LibLocaleDate::_LanguageIndex() const
{
	if (fLanguage < LIB_ENGLISH || fLanguage > LIB_JAPANESE)
		return LIB_ENGLISH;
	return fLanguage;
}

// Turns a LibDate into display text in one of five languages through a small format
// language: in the format "W, M D Y" the first W, M, D and Y are replaced by the weekday,
// month, day and year, later ones produce nothing, and every other character is copied.
#ifndef LIB_LOCALE_DATE_H
#define LIB_LOCALE_DATE_H

#include "LibDate.h"
#include "LibString.h"

class BMessage;
class LibStringList;

enum LanguageType : int32 { LIB_ENGLISH = 0, LIB_FRENCH, LIB_GERMAN, LIB_SPANISH, LIB_JAPANESE };

// How an element is written. Weekday: 0 the first 2 characters of the name (Japanese: the
// first), 1 the first 3 (Japanese: the whole name), others the whole name. Month: 0 the
// number, 1 the first 3 characters (Japanese: the whole name), others the whole name.
// Year: 0 and 1 two digits, others the full year.
enum ElementFormat : int32 {
	LIB_ELEMENT_SHORT = 0,
	LIB_ELEMENT_ABBREVIATED = 1,
	LIB_ELEMENT_FULL = 2
};

class LibLocaleDate {
public:
	LibLocaleDate();
	virtual ~LibLocaleDate();

	// Writes nothing.
	virtual void PrintToStream() const;

	LibString Format(const LibDate& date) const;

	// The weekday's name in the language, shortened as the weekday format says.
	void AddWeekDay(const LibWeekDay& day, LibString& out) const;
	LibString AddWeekDay(const LibWeekDay& day) const;
	LibString AddWeekDay(const LibDate& date) const;
	LibString AddMonth(const int& month) const;
	LibString AddDay(const int& day) const;
	LibString AddYear(const int& year) const;

	// The local date that parsedate() reads from text; today when it cannot read
	// it (with a line on standard error).
	static LibDate GetDate(const char* text);
	// Upper-cases text and replaces the French, German, Spanish and Japanese month
	// and weekday names in it by the English ones, so that parsedate() can read it.
	static LibString ConvertToEnglish(const char* text);
	static void AvailableLanguages(LibStringList& list);

	void SetWeekdayFormat(const ElementFormat& format);
	void SetMonthFormat(const ElementFormat& format);
	// Stored, not used in formatting.
	void SetDayFormat(const ElementFormat& format);
	void SetYearFormat(const ElementFormat& format);
	void SetLanguage(const LanguageType& language);
	void SetFormat(const char* format);
	void PadWithZeros(const bool& pad);

	ElementFormat WeekdayFormat() const { return fWeekdayFormat; }

	ElementFormat MonthFormat() const { return fMonthFormat; }

	ElementFormat DayFormat() const { return fDayFormat; }

	ElementFormat YearFormat() const { return fYearFormat; }

	LanguageType Language() const { return fLanguage; }

	const LibString& Format() const { return fFormat; }

	bool PadWithZeros() const { return fPad; }

	bool KanjiLaunguage() const { return fLanguage == LIB_JAPANESE; }

	// Read changes only the settings whose key is present.
	status_t Read(const BMessage& message);
	status_t Write(BMessage& message) const;

private:
	int32 _LanguageIndex() const;

	ElementFormat fWeekdayFormat;
	ElementFormat fMonthFormat;
	ElementFormat fDayFormat;
	ElementFormat fYearFormat;
	bool fPad;
	LibString fFormat;
	LanguageType fLanguage;
};

#endif // LIB_LOCALE_DATE_H

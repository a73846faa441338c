// Turns a LibTime into display text ("3:04 PM", "15:04:05") and reads such text back.
#ifndef LIB_LOCALE_TIME_H
#define LIB_LOCALE_TIME_H

#include "LibString.h"
#include "LibTime.h"

class BMessage;

class LibLocaleTime {
public:
	LibLocaleTime();
	virtual ~LibLocaleTime();

	// Writes the two show flags to standard error.
	virtual void PrintToStream() const;

	LibString Format(const LibTime& time) const;
	// Reads hours, minutes and seconds as digit groups; what the text does not give
	// comes from the current local time. The after-noon suffix in it means after noon.
	LibTime GetTime(const char* text) const;
	bool Has12ClockSuffix() const;

	void SetShowSeconds(const bool& show);
	void SetShowMinutes(const bool& show);
	void Set24Clock(const bool& use);
	void SetShowSuffix(const bool& show);
	// The character between the fields; 0 writes none.
	void SetTimeSeperator(const char& separator);
	void Set24ClockSuffix(const char* suffix);
	void Set12ClockBeforeNoonSuffix(const char* suffix);
	void Set12ClockAfterNoonSuffix(const char* suffix);

	bool ShowSeconds() const { return fShowSeconds; }

	bool ShowMinutes() const { return fShowMinutes; }

	bool Is24HourClock() const { return f24Clock; }

	bool ShowSuffix() const { return fShowSuffix; }

	char TimeSeperator() const { return fSeparator; }

	const char* Get24ClockSuffix() const { return f24Suffix; }

	const char* Get12ClockBeforeNoonSuffix() const { return fBeforeNoonSuffix; }

	const char* Get12ClockAfterNoonSuffix() const { return fAfterNoonSuffix; }

	// Read takes every key: a missing flag reads as false, a missing separator as
	// none, a missing suffix leaves that suffix as it is.
	status_t Read(const BMessage& message);
	status_t Write(BMessage& message) const;

private:
	bool fShowSeconds;
	bool fShowMinutes;
	char fSeparator;
	bool f24Clock;
	bool fShowSuffix;
	LibString f24Suffix;
	LibString fBeforeNoonSuffix;
	LibString fAfterNoonSuffix;
};

#endif // LIB_LOCALE_TIME_H

// Date and time text together: the date's text, the field separator, the time's text.
#ifndef LIB_LOCALE_DATE_TIME_H
#define LIB_LOCALE_DATE_TIME_H

#include "LibDateTime.h"
#include "LibLocaleDate.h"
#include "LibLocaleTime.h"

class LibLocaleDateTime : public LibLocaleDate, public LibLocaleTime {
public:
	LibLocaleDateTime();
	virtual ~LibLocaleDateTime();

	virtual void PrintToStream() const;

	using LibLocaleDate::Format;
	using LibLocaleTime::Format;
	LibString Format(const LibDateTime& dateTime) const;

	void SetSeperator(const char* separator);

	const LibString& Seperator() const { return fFieldSeparator; }

	// Read takes the field separator (unchanged when missing), then the date keys,
	// then the time keys.
	status_t Read(const BMessage& message);
	status_t Write(BMessage& message) const;

private:
	LibString fFieldSeparator;
};

#endif // LIB_LOCALE_DATE_TIME_H

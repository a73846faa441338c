// A date and a time of day together. Time arithmetic carries whole days into the date,
// also when it is reached through the LibTime interface.
#ifndef LIB_DATE_TIME_H
#define LIB_DATE_TIME_H

#include "LibDate.h"
#include "LibTime.h"

class LibString;

class LibDateTime : public LibDate, public LibTime {
public:
	// That date at 00:00:00.
	LibDateTime(const int32& day, const int32& month, const int32& year);
	// Now, in local time or UTC.
	explicit LibDateTime(const bool& local = true);
	LibDateTime(const LibDateTime& other) = default;
	virtual ~LibDateTime();

	virtual status_t Archive(BMessage& archive) const;
	virtual status_t Restore(const BMessage& archive);
	virtual void SetNow(const bool& local = true);
	virtual void AddHours(const int32& hours);
	virtual void AddMinutes(const int32& minutes);
	virtual void AddSeconds(const int32& seconds);

	// Date and time of the system time when, local or UTC.
	void SetDateTime(const int32& when, const bool& local);
	// Reads text with parsedate() relative to now and takes the local date and
	// time of the result; false (with a line on standard error) when the text
	// cannot be read.
	bool Set(const LibString& text);
	// The basic ISO 8601 form "20000415T103000", optionally followed by "Z", in
	// which case zoneHours are added. False for a text of 14 characters or less.
	bool SetIso8601(const LibString& text, const short& zoneHours);

	LibDateTime& operator=(const LibDateTime& other) = default;
	LibDateTime& operator=(const LibDate& date);
	LibDateTime& operator=(const LibTime& time);

	// Dates first, then times.
	bool operator==(const LibDateTime& other) const;
	bool operator!=(const LibDateTime& other) const;
	bool operator<(const LibDateTime& other) const;
	bool operator>(const LibDateTime& other) const;
	bool operator<=(const LibDateTime& other) const;
	bool operator>=(const LibDateTime& other) const;

	// Days from the date part; the difference of two date-times in seconds.
	using LibDate::operator-;
	int64 operator-(const LibDateTime& other) const;

	void PrintToStream() const;

private:
	void _MoveDays(int64 days);
	void _SetFrom(time_t when, bool local);
};

#endif // LIB_DATE_TIME_H

// A time of day: hours 0-23, minutes 0-59, seconds 0-59. Setters and arithmetic
// normalise, carrying seconds into minutes and minutes into hours; the hours wrap around
// midnight without a carry (LibDateTime carries them into its date).
#ifndef LIB_TIME_H
#define LIB_TIME_H

#include <SupportDefs.h>

#include <ctime>

class BMessage;

class LibTime {
public:
	LibTime(const int32& hours, const int32& minutes, const int32& seconds);
	// With now false the time is 00:00:00.
	explicit LibTime(const bool& now = true, const bool& local = true);
	LibTime(const LibTime& other) = default;
	virtual ~LibTime();

	LibTime& operator=(const LibTime& other) = default;

	virtual status_t Archive(BMessage& archive) const;
	virtual status_t Restore(const BMessage& archive);
	virtual void SetNow(const bool& local = true);
	virtual void AddHours(const int32& hours);
	virtual void AddMinutes(const int32& minutes);
	virtual void AddSeconds(const int32& seconds);
	virtual int32 GetSeconds() const;

	void SetTime(const int32& hours, const int32& minutes, const int32& seconds);
	void SetHours(const int32& hours);
	void SetMinutes(const int32& minutes);
	void SetSeconds(const int32& seconds);
	void SetTime(const tm* time);
	// The time of day of the system time when, local or UTC.
	void SetTime(const int32& when, const bool& local);
	// 1.5 is 01:30:00.
	void SetTime(const float& hours);
	// Fixed positions: hours at 0-1, minutes at 3-4, seconds at 6-7 ("10:30:15").
	void SetTime(const char* text);
	// Hours and minutes as digit groups split by single other characters.
	bool SetUnformattedTime(const char* text);

	void GetTime(tm& time) const;

	int32 GetHours() const { return fHours; }

	int32 GetMinutes() const { return fMinutes; }

	int32 NumberOfSeconds() const;
	float NumberOfMinutes() const;
	// The local zone's offset from UTC in seconds, east positive, for the current
	// time. The argument has no effect.
	static float TimeZone(const int& unused = 0);

	// The difference of the two times, taken modulo one day.
	LibTime operator-(const LibTime& other) const;

	bool operator==(const LibTime& other) const;
	bool operator!=(const LibTime& other) const;
	bool operator<(const LibTime& other) const;
	bool operator>(const LibTime& other) const;
	bool operator<=(const LibTime& other) const;
	bool operator>=(const LibTime& other) const;

	void PrintToStream() const;

protected:
	// Sets the time from a count of seconds, wrapped into one day; returns the
	// whole days the count spanned (negative before midnight).
	int64 _SetSeconds(int64 seconds);
	void _SetFromTime(time_t when, bool local);

private:
	int32 fHours;
	int32 fMinutes;
	int32 fSeconds;
};

#endif // LIB_TIME_H

// Sets TZ for the life of the object, so that date tests do not depend on the machine's
// zone, and puts the old value back afterwards.
#ifndef TESTS_SCOPED_TIME_ZONE_H
#define TESTS_SCOPED_TIME_ZONE_H

#include <cstdlib>
#include <ctime>
#include <string>

class ScopedTimeZone {
public:
	explicit ScopedTimeZone(const char* zone) :
		fHadZone(getenv("TZ") != NULL),
		fOldZone(fHadZone ? getenv("TZ") : "")
	{
		setenv("TZ", zone, 1);
		tzset();
	}

	~ScopedTimeZone()
	{
		if (fHadZone)
			setenv("TZ", fOldZone.c_str(), 1);
		else
			unsetenv("TZ");
		tzset();
	}

	ScopedTimeZone(const ScopedTimeZone&) = delete;
	ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
	bool fHadZone;
	std::string fOldZone;
};

#endif // TESTS_SCOPED_TIME_ZONE_H

// Date parsing for user-given text ("Jan 5 2001 10:30", "2001-01-05", "next monday",
// "+2 weeks"), relative to a given time and in local time unless the text names a zone.
#ifndef _PARSEDATE_H
#define _PARSEDATE_H

#include <time.h>


// Flags that parsedate_etc() stores.
#define PARSEDATE_RELATIVE_TIME 0x0001
#define PARSEDATE_DAY_RELATIVE_TIME PARSEDATE_RELATIVE_TIME
#define PARSEDATE_MINUTE_RELATIVE_TIME 0x0002
#define PARSEDATE_INVALID_DATE 0x0100


#ifdef __cplusplus
extern "C" {
#endif

// The time the text names, relative to now (-1: the current time); -1 for unreadable text.
extern time_t parsedate(const char* dateString, time_t now);
// The same, also storing the PARSEDATE_* flags that describe the result.
extern time_t parsedate_etc(const char* dateString, time_t now, int* storedFlags);

// The NULL-terminated table of formats that parsedate() tries in order. The table is used,
// not copied, so it must stay valid; NULL restores the built-in table.
extern void set_dateformats(const char* table[]);
extern const char** get_dateformats(void);

#ifdef __cplusplus
}
#endif

#endif // _PARSEDATE_H

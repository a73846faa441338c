// Helpers shared by the date and time classes: the name tables of the five languages and
// the small text readers of the fixed and free date forms. Not part of the public API.
#ifndef LIB_DATE_PRIVATE_H
#define LIB_DATE_PRIVATE_H

#include <SupportDefs.h>

namespace LibDatePrivate {

const int32 kLanguageCount = 5;

// Month names, index 0 for January, and weekday names, index 0 for Sunday, by language
// (English, French, German, Spanish, Japanese). The texts are UTF-8.
extern const char* const kMonthNames[kLanguageCount][12];
extern const char* const kWeekDayNames[kLanguageCount][7];
extern const char* const kLanguageNames[kLanguageCount];

// Reads the decimal number that starts count characters at most from start (count -1: the
// whole rest). Leading blanks and a sign are allowed, reading stops at the first other
// character, and a text shorter than start reads as 0. Saturates at the int32 limits.
int32 fixed_number(const char* text, int32 start, int32 count);

// Floor division and the matching modulo, so that negative values round towards minus
// infinity.
int64 floor_div(int64 value, int64 divisor);
int64 floor_mod(int64 value, int64 divisor);

// Length in bytes of the first count UTF-8 characters of text (the whole text when it has
// fewer). A character is a lead byte with its continuation bytes, so a cut never splits a
// multi-byte sequence.
int32 utf8_prefix_length(const char* text, int32 count);

} // namespace LibDatePrivate

#endif // LIB_DATE_PRIVATE_H

// Helpers shared by the LibString sources; not part of the library's interface.
#ifndef LIB_STRING_PRIVATE_H
#define LIB_STRING_PRIVATE_H

#include <SupportDefs.h>

#include <string>

namespace lib_string_private {

// Character classes of the "C" locale. Bytes at or above 0x80 belong to none of them, so
// the results never depend on the locale the process runs in.
inline bool
is_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool
is_digit(char c)
{
	return c >= '0' && c <= '9';
}

inline bool
is_alnum(char c)
{
	return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool
is_punct(char c)
{
	return c > ' ' && c < 0x7f && !is_alnum(c);
}

inline char
to_upper(char c)
{
	return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char
to_lower(char c)
{
	return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Digits, one leading sign, one decimal point anywhere; the empty text passes.
bool has_number_syntax(const char* text);

// The "%.*f" text of a value, always with a full stop as the decimal point.
std::string fixed_text(double value, int precision);

} // namespace lib_string_private

#endif // LIB_STRING_PRIVATE_H

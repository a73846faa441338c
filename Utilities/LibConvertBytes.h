// Byte counts as the text the windows and the install log show ("0 bytes", "1.5 KB",
// "12 MB"), and such a text back to a count.
#ifndef LIB_CONVERT_BYTES_H
#define LIB_CONVERT_BYTES_H

#include "LibString.h"

// out becomes "%.*f %s" with precision decimals: the count in MB above 1048576 bytes, in KB
// above 1024 bytes, else in bytes (negative counts included); units of 1024, no unit above
// MB. Returns out.
LibString& LibConvertBytes(const int32& bytes, LibString& out, int precision);
// The same rule for a 64-bit count, such as a volume's free space.
LibString& LibConvertBytes(const int64& bytes, LibString& out, int precision);

// A number, a blank and the unit "KB" or "MB" (case-sensitive) back to bytes, truncated. Any
// other unit gives 0; a number part that is not a number gives 0 and a line on standard
// error. Counts beyond the int32 range are clamped to it.
int32 LibConvertBytes(const char* text);

#endif // LIB_CONVERT_BYTES_H

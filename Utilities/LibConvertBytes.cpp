#include "LibConvertBytes.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

const double kKilobyte = 1024.0;
const double kMegabyte = 1048576.0;

} // namespace

LibString&
LibConvertBytes(const int32& bytes, LibString& out, int precision)
{
	return LibConvertBytes((int64)bytes, out, precision);
}

LibString&
LibConvertBytes(const int64& bytes, LibString& out, int precision)
{
	double value = (double)bytes;
	const char* unit = "bytes";
	if (value > kMegabyte) {
		value /= kMegabyte;
		unit = "MB";
	} else if (value > kKilobyte) {
		value /= kKilobyte;
		unit = "KB";
	}
	out.Formatted("%.*f %s", precision, value, unit);
	return out;
}

int32
LibConvertBytes(const char* text)
{
	if (text == NULL)
		text = "";
	const char* space = strchr(text, ' ');
	LibString number;
	LibString unit;
	if (space != NULL) {
		std::string head(text, (size_t)(space - text));
		number = head.c_str();
		unit = space + 1;
	} else {
		number = text;
	}

	float value;
	if (!number.GetFloat32(value)) {
		fprintf(stderr, "LibConvertBytes <%s> not a float\n", (const char*)number);
		return 0;
	}
	double bytes;
	if (strcmp(unit, "KB") == 0)
		bytes = value * kKilobyte;
	else if (strcmp(unit, "MB") == 0)
		bytes = value * kMegabyte;
	else
		return 0;

	// A text need not come from this program: keep the conversion defined.
	if (isnan(bytes))
		return 0;
	if (bytes >= 2147483647.0)
		return 2147483647;
	if (bytes <= -2147483648.0)
		return -2147483647 - 1;
	return (int32)bytes;
}

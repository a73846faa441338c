// The number conversions of LibString.
#include "LibString.h"
#include "LibStringPrivate.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <string>

using namespace lib_string_private;


// Beyond this many decimals a double has only zeros to show.
static const int kMaxSignificantDecimals = 1074;
static const int kMaxDecimals = 4096;

namespace lib_string_private {

bool
has_number_syntax(const char* text)
{
	bool seenPoint = false;
	for (int32 i = 0; text[i] != '\0'; i++) {
		char c = text[i];
		if (is_digit(c))
			continue;
		if ((c == '+' || c == '-') && i == 0)
			continue;
		if (c == '.' && !seenPoint) {
			seenPoint = true;
			continue;
		}
		return false;
	}
	return true;
}

std::string
fixed_text(double value, int precision)
{
	if (precision < 0)
		precision = 6;
	precision = std::min(precision, kMaxDecimals);
	int significant = std::min(precision, kMaxSignificantDecimals);
	std::string text(DBL_MAX_10_EXP + 8 + significant, '\0');
	std::to_chars_result result = std::to_chars(
		text.data(), text.data() + text.size(), value, std::chars_format::fixed, significant);
	text.resize(result.ptr - text.data());
	if (std::isfinite(value))
		text.append(precision - significant, '0');
	return text;
}

} // namespace lib_string_private

// #pragma mark - numbers


bool
LibString::_GetNumber(int32& value) const
{
	value = 0;
	if (!has_number_syntax(fText))
		return false;

	// Decimal digits up to the point, held to the 32-bit limits.
	const char* digits = fText;
	bool negative = *digits == '-';
	if (*digits == '+' || *digits == '-')
		digits++;
	int64 magnitude = 0;
	for (; is_digit(*digits); digits++) {
		magnitude = magnitude * 10 + (*digits - '0');
		if (magnitude > static_cast<int64>(INT32_MAX) + 1)
			magnitude = static_cast<int64>(INT32_MAX) + 1;
	}
	int64 result = negative ? -magnitude : magnitude;
	value = static_cast<int32>(std::clamp<int64>(result, INT32_MIN, INT32_MAX));
	return true;
}

bool
LibString::GetInt8(int8& value) const
{
	int32 number;
	bool result = _GetNumber(number);
	value = static_cast<int8>(number);
	return result;
}

bool
LibString::GetUint8(uint8& value) const
{
	int32 number;
	bool result = _GetNumber(number);
	value = static_cast<uint8>(number);
	return result;
}

bool
LibString::GetInt16(int16& value) const
{
	int32 number;
	bool result = _GetNumber(number);
	value = static_cast<int16>(number);
	return result;
}

bool
LibString::GetUint16(uint16& value) const
{
	int32 number;
	bool result = _GetNumber(number);
	value = static_cast<uint16>(number);
	return result;
}

bool
LibString::GetInt32(int32& value) const
{
	return _GetNumber(value);
}

bool
LibString::GetUint32(uint32& value) const
{
	int32 number;
	bool result = _GetNumber(number);
	value = static_cast<uint32>(number);
	return result;
}

bool
LibString::GetFloat64(double& value) const
{
	value = 0;
	if (!has_number_syntax(fText))
		return false;

	// from_chars reads a full stop whatever the locale; it knows no plus sign. Texts with
	// no digits ("", "-", ".") stay 0.
	const char* first = fText[0] == '+' ? fText + 1 : fText;
	const char* last = fText + Length();
	double parsed = 0;
	std::from_chars_result result = std::from_chars(first, last, parsed);
	if (result.ec == std::errc()) {
		value = parsed;
	} else if (result.ec == std::errc::result_out_of_range) {
		// Without an exponent only a huge integer part can leave the range; a long run
		// of zeros behind the point underflows to 0.
		bool negative = *first == '-';
		const char* digit = negative ? first + 1 : first;
		while (*digit == '0')
			digit++;
		if (is_digit(*digit))
			value = negative ? -HUGE_VAL : HUGE_VAL;
	}
	return true;
}

bool
LibString::GetFloat32(float& value) const
{
	double number;
	bool result = GetFloat64(number);
	if (std::isfinite(number) && std::fabs(number) > FLT_MAX)
		value = number < 0 ? -HUGE_VALF : HUGE_VALF;
	else
		value = static_cast<float>(number);
	return result;
}

void
LibString::SetFloat64(const double& value, const int& precision)
{
	std::string text = fixed_text(value, precision);
	_SetText(text.c_str(), static_cast<int32>(text.size()));
}

void
LibString::SetFloat32(const float& value, const int& precision)
{
	SetFloat64(value, precision);
}

int
LibString::HexValue(const char& c)
{
	static const char kDigits[] = "0123456789ABCDEF";
	const char* found = c != '\0' ? strchr(kDigits, to_upper(c)) : nullptr;
	return found != nullptr ? static_cast<int>(found - kDigits) : 0;
}

uint8
LibString::GetHex() const
{
	if (Length() != 2)
		return 0;
	return static_cast<uint8>(16 * HexValue(fText[0]) + HexValue(fText[1]));
}

void
LibString::SetHex(const uint8& value)
{
	static const char kDigits[] = "0123456789ABCDEF";
	const char text[2] = { kDigits[value >> 4], kDigits[value & 0x0f] };
	_SetText(text, 2);
}

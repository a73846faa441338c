#include "LibDatePrivate.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace LibDatePrivate {

const char* const kMonthNames[kLanguageCount][12] = {
	{ "January", "February", "March", "April", "May", "June", "July", "August", "September",
		"October", "November", "December" },
	{ "Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
		"Octobre", "Novembre", "Décembre" },
	{ "Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
		"November", "Dezember" },
	{ "Enero", "Febrero", "Marcha", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
		"Octubre", "Noviembre", "Diciembre" },
	{ "１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "１０月", "１１月",
		"１２月" },
};

const char* const kWeekDayNames[kLanguageCount][7] = {
	{ "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" },
	{ "Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi" },
	{ "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag" },
	{ "Domingo", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado" },
	{ "日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日" },
};

const char* const kLanguageNames[kLanguageCount] = { "English", "French", "German", "Spanish",
	"Japanese" };

int32
fixed_number(const char* text, int32 start, int32 count)
{
	if (text == NULL || start < 0)
		return 0;
	size_t length = strlen(text);
	if ((size_t)start >= length)
		return 0;

	// Copy the field into a bounded buffer so that reading never runs into the next field;
	// a longer rest is cut, which only matters for absurd texts.
	char buffer[32];
	size_t available = length - (size_t)start;
	size_t take = count < 0 ? available : min_c(available, (size_t)count);
	take = min_c(take, sizeof(buffer) - 1);
	memcpy(buffer, text + start, take);
	buffer[take] = '\0';

	long long value = strtoll(buffer, NULL, 10);
	if (value > INT32_MAX)
		return INT32_MAX;
	if (value < INT32_MIN)
		return INT32_MIN;
	return (int32)value;
}

int64
floor_div(int64 value, int64 divisor)
{
	int64 quotient = value / divisor;
	if ((value % divisor != 0) && ((value < 0) != (divisor < 0)))
		quotient--;
	return quotient;
}

int64
floor_mod(int64 value, int64 divisor)
{
	return value - floor_div(value, divisor) * divisor;
}

int32
utf8_prefix_length(const char* text, int32 count)
{
	if (text == NULL || count <= 0)
		return 0;
	int32 index = 0;
	int32 characters = 0;
	while (text[index] != '\0') {
		// A lead byte starts a new character; stop before the one past the wanted count.
		if (((unsigned char)text[index] & 0xC0) != 0x80) {
			if (characters == count)
				break;
			characters++;
		}
		index++;
	}
	return index;
}

} // namespace LibDatePrivate

// parsedate() reads a text in two steps. The text is cut into tokens (numbers, words,
// punctuation); then each format of the table is matched against the whole token list,
// and the first format that matches and names a real date gives the result.
//
// Format language: a/A weekday, d day of month, b/B month name, m month number, y/Y year,
// H/I hours, M minutes, S seconds, p am/pm, z/Z time zone, T a relative expression ("now",
// "tomorrow", "next monday", "+5 minutes", "2 weeks ago"), "-" a dash or a slash, and ",",
// "." and ":" as themselves. "[...]" makes what it encloses optional; blanks are ignored.
// A format with anything else never matches.
#include "parsedate.h"

#include <SupportDefs.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstring>

namespace {

const int32 kMaxTokens = 32;
const int32 kMaxItems = 64;
const int32 kMaxWordLength = 15;
const int32 kMaxNumberDigits = 9;
const int32 kMaxRelatives = 4;


const char* sDefaultFormats[] = {
	"[A][,] B d[,] y [H:M[:S]] [p] [z]", // "Friday, January 5, 2001 10:30 pm"
	"[A][,] d B[,] y [H:M[:S]] [p] [z]", // "Fri, 5 Jan 2001 10:30:00 +0100"
	"A B d H:M[:S] [z] y", // "Fri Jan  5 10:30:00 UTC 2001"
	"[A][,] B d [H:M[:S]] [p] [z]", // "January 5 10:30"
	"[A][,] d B [H:M[:S]] [p] [z]", // "5 January"
	"B y", // "January 2001"
	"m-d-y [H:M[:S]] [p] [z]", // "01/05/2001 10:30"
	"y-m-d [H:M[:S]] [p] [z]", // "2001-01-05", "2001-01-05T10:30:00Z"
	"d.m.y [H:M[:S]] [p] [z]", // "5.8.2003"
	"m-d [H:M[:S]] [p]", // "1/5"
	"[A] H:M[:S] [p] [z]", // "10:30 pm", "Thursday 3:00"
	"[A] H p", // "10 pm"
	"A", // "Friday"
	"T [H[:M[:S]]] [p] [z]", // "tomorrow 10:30", "next monday", "+2 weeks"
	"H:M[:S] [p] T", // "10:30 tomorrow"
	NULL,
};

std::atomic<const char**> sFormats { NULL };

enum token_type { TOKEN_NUMBER, TOKEN_WORD, TOKEN_PUNCT };

enum word_class {
	WORD_UNKNOWN,
	WORD_WEEKDAY, // value 0 (Sunday) - 6
	WORD_MONTH, // value 1-12
	WORD_MERIDIAN, // value 0 am, 1 pm
	WORD_ZONE, // value: offset from UTC in seconds
	WORD_UNIT, // value: a time_unit
	WORD_DAY, // today, tomorrow, yesterday; value: days from today
	WORD_NOW,
	WORD_MODIFIER, // this, next, last; value 0, 1, -1
	WORD_AGO
};

enum time_unit {
	UNIT_SECOND,
	UNIT_MINUTE,
	UNIT_HOUR,
	UNIT_DAY,
	UNIT_WEEK,
	UNIT_FORTNIGHT,
	UNIT_MONTH,
	UNIT_YEAR
};

struct token {
	token_type type;
	word_class word;
	int64 value;
	int32 digits;
	char punct;
};

struct word_entry {
	const char* name;
	word_class word;
	int32 value;
};

const word_entry kWords[] = {
	{ "sunday", WORD_WEEKDAY, 0 },
	{ "sun", WORD_WEEKDAY, 0 },
	{ "monday", WORD_WEEKDAY, 1 },
	{ "mon", WORD_WEEKDAY, 1 },
	{ "tuesday", WORD_WEEKDAY, 2 },
	{ "tue", WORD_WEEKDAY, 2 },
	{ "tues", WORD_WEEKDAY, 2 },
	{ "wednesday", WORD_WEEKDAY, 3 },
	{ "wed", WORD_WEEKDAY, 3 },
	{ "wednes", WORD_WEEKDAY, 3 },
	{ "thursday", WORD_WEEKDAY, 4 },
	{ "thu", WORD_WEEKDAY, 4 },
	{ "thur", WORD_WEEKDAY, 4 },
	{ "thurs", WORD_WEEKDAY, 4 },
	{ "friday", WORD_WEEKDAY, 5 },
	{ "fri", WORD_WEEKDAY, 5 },
	{ "saturday", WORD_WEEKDAY, 6 },
	{ "sat", WORD_WEEKDAY, 6 },

	{ "january", WORD_MONTH, 1 },
	{ "jan", WORD_MONTH, 1 },
	{ "february", WORD_MONTH, 2 },
	{ "feb", WORD_MONTH, 2 },
	{ "march", WORD_MONTH, 3 },
	{ "mar", WORD_MONTH, 3 },
	{ "april", WORD_MONTH, 4 },
	{ "apr", WORD_MONTH, 4 },
	{ "may", WORD_MONTH, 5 },
	{ "june", WORD_MONTH, 6 },
	{ "jun", WORD_MONTH, 6 },
	{ "july", WORD_MONTH, 7 },
	{ "jul", WORD_MONTH, 7 },
	{ "august", WORD_MONTH, 8 },
	{ "aug", WORD_MONTH, 8 },
	{ "september", WORD_MONTH, 9 },
	{ "sep", WORD_MONTH, 9 },
	{ "sept", WORD_MONTH, 9 },
	{ "october", WORD_MONTH, 10 },
	{ "oct", WORD_MONTH, 10 },
	{ "november", WORD_MONTH, 11 },
	{ "nov", WORD_MONTH, 11 },
	{ "december", WORD_MONTH, 12 },
	{ "dec", WORD_MONTH, 12 },

	{ "am", WORD_MERIDIAN, 0 },
	{ "pm", WORD_MERIDIAN, 1 },

	{ "utc", WORD_ZONE, 0 },
	{ "gmt", WORD_ZONE, 0 },
	{ "ut", WORD_ZONE, 0 },
	{ "z", WORD_ZONE, 0 },
	{ "est", WORD_ZONE, -5 * 3600 },
	{ "edt", WORD_ZONE, -4 * 3600 },
	{ "cst", WORD_ZONE, -6 * 3600 },
	{ "cdt", WORD_ZONE, -5 * 3600 },
	{ "mst", WORD_ZONE, -7 * 3600 },
	{ "mdt", WORD_ZONE, -6 * 3600 },
	{ "pst", WORD_ZONE, -8 * 3600 },
	{ "pdt", WORD_ZONE, -7 * 3600 },
	{ "cet", WORD_ZONE, 1 * 3600 },
	{ "cest", WORD_ZONE, 2 * 3600 },

	{ "sec", WORD_UNIT, UNIT_SECOND },
	{ "secs", WORD_UNIT, UNIT_SECOND },
	{ "second", WORD_UNIT, UNIT_SECOND },
	{ "seconds", WORD_UNIT, UNIT_SECOND },
	{ "min", WORD_UNIT, UNIT_MINUTE },
	{ "mins", WORD_UNIT, UNIT_MINUTE },
	{ "minute", WORD_UNIT, UNIT_MINUTE },
	{ "minutes", WORD_UNIT, UNIT_MINUTE },
	{ "hour", WORD_UNIT, UNIT_HOUR },
	{ "hours", WORD_UNIT, UNIT_HOUR },
	{ "hr", WORD_UNIT, UNIT_HOUR },
	{ "hrs", WORD_UNIT, UNIT_HOUR },
	{ "day", WORD_UNIT, UNIT_DAY },
	{ "days", WORD_UNIT, UNIT_DAY },
	{ "week", WORD_UNIT, UNIT_WEEK },
	{ "weeks", WORD_UNIT, UNIT_WEEK },
	{ "fortnight", WORD_UNIT, UNIT_FORTNIGHT },
	{ "fortnights", WORD_UNIT, UNIT_FORTNIGHT },
	{ "month", WORD_UNIT, UNIT_MONTH },
	{ "months", WORD_UNIT, UNIT_MONTH },
	{ "year", WORD_UNIT, UNIT_YEAR },
	{ "years", WORD_UNIT, UNIT_YEAR },

	{ "today", WORD_DAY, 0 },
	{ "tomorrow", WORD_DAY, 1 },
	{ "yesterday", WORD_DAY, -1 },
	{ "now", WORD_NOW, 0 },
	{ "this", WORD_MODIFIER, 0 },
	{ "next", WORD_MODIFIER, 1 },
	{ "last", WORD_MODIFIER, -1 },
	{ "ago", WORD_AGO, 0 },
};

// Classifies a word; dots are dropped first, so "a.m." is "am" and "Jan." is "jan".
void
classify_word(const char* start, int32 length, token& result)
{
	result.type = TOKEN_WORD;
	result.word = WORD_UNKNOWN;
	result.value = 0;

	char word[kMaxWordLength + 1];
	int32 wordLength = 0;
	for (int32 i = 0; i < length; i++) {
		if (start[i] == '.')
			continue;
		if (wordLength == kMaxWordLength)
			return;
		word[wordLength++] = (char)tolower((unsigned char)start[i]);
	}
	word[wordLength] = '\0';

	for (const word_entry& entry : kWords) {
		if (strcmp(entry.name, word) == 0) {
			result.word = entry.word;
			result.value = entry.value;
			return;
		}
	}
}

bool
is_ordinal_suffix(const char* text)
{
	char first = (char)tolower((unsigned char)text[0]);
	char second = first != '\0' ? (char)tolower((unsigned char)text[1]) : '\0';
	if (second == '\0' || isalpha((unsigned char)text[2]))
		return false;
	return (first == 's' && second == 't') || (first == 'n' && second == 'd')
		|| (first == 'r' && second == 'd') || (first == 't' && second == 'h');
}

// Cuts the text into tokens; false for a character no format can use or for too many
// tokens.
bool
tokenize(const char* text, token* tokens, int32& count)
{
	count = 0;
	const char* position = text;
	while (*position != '\0') {
		unsigned char c = (unsigned char)*position;
		if (isspace(c)) {
			position++;
			continue;
		}
		if (count == kMaxTokens)
			return false;
		token& current = tokens[count];

		if (isdigit(c)) {
			current.type = TOKEN_NUMBER;
			current.word = WORD_UNKNOWN;
			current.value = 0;
			current.digits = 0;
			current.punct = '\0';
			while (isdigit((unsigned char)*position)) {
				if (current.digits < kMaxNumberDigits)
					current.value = current.value * 10 + (*position - '0');
				current.digits++;
				position++;
			}
			// "5th", "1st"
			if (is_ordinal_suffix(position))
				position += 2;
			count++;
			continue;
		}

		if (isalpha(c)) {
			const char* start = position;
			while (isalpha((unsigned char)*position) || *position == '.')
				position++;
			int32 length = (int32)(position - start);
			// The "T" between date and time of "2001-01-05T10:30" only separates them.
			if (length == 1 && (*start == 'T' || *start == 't') && count > 0
				&& tokens[count - 1].type == TOKEN_NUMBER && isdigit((unsigned char)*position)) {
				continue;
			}
			classify_word(start, length, current);
			current.digits = 0;
			current.punct = '\0';
			count++;
			continue;
		}

		if (strchr(",.:-/+", c) == NULL)
			return false;
		current.type = TOKEN_PUNCT;
		current.word = WORD_UNKNOWN;
		current.value = 0;
		current.digits = 0;
		current.punct = c == '/' ? '-' : (char)c;
		position++;
		count++;
	}
	return true;
}

// A format compiled into items. A group start knows the index just past its group end.
enum item_kind { ITEM_FIELD, ITEM_LITERAL, ITEM_GROUP_START, ITEM_GROUP_END };

struct item {
	item_kind kind;
	char symbol;
	int32 skip;
};

bool
compile_format(const char* format, item* items, int32& count)
{
	count = 0;
	int32 openGroups[kMaxItems];
	int32 depth = 0;
	for (const char* position = format; *position != '\0'; position++) {
		char c = *position;
		if (c == ' ')
			continue;
		if (count == kMaxItems)
			return false;
		item& current = items[count];
		current.symbol = c;
		current.skip = 0;
		if (strchr("aAdbBmyYHIMSpzZT", c) != NULL) {
			current.kind = ITEM_FIELD;
		} else if (strchr(",.:-", c) != NULL) {
			current.kind = ITEM_LITERAL;
		} else if (c == '[') {
			current.kind = ITEM_GROUP_START;
			openGroups[depth++] = count;
		} else if (c == ']') {
			if (depth == 0)
				return false;
			current.kind = ITEM_GROUP_END;
			items[openGroups[--depth]].skip = count + 1;
		} else {
			return false;
		}
		count++;
	}
	return depth == 0;
}

enum relative_kind { RELATIVE_NOW, RELATIVE_DAY, RELATIVE_WEEKDAY, RELATIVE_MONTH, RELATIVE_UNIT };

struct relative {
	relative_kind kind;
	int64 amount;
	int32 target;
};

// What a matched format found; -1 (or false) for what it did not.
struct parsed {
	int32 weekday;
	int32 day;
	int32 month;
	int64 year;
	int32 hours;
	int32 minutes;
	int32 seconds;
	int32 meridian;
	bool hasZone;
	int64 zoneOffset;
	relative relatives[kMaxRelatives];
	int32 relativeCount;

	void Reset()
	{
		weekday = day = month = hours = minutes = seconds = meridian = -1;
		year = -1;
		hasZone = false;
		zoneOffset = 0;
		relativeCount = 0;
	}
};

// The value one field took from the tokens, kept until the whole format has matched.
struct field_value {
	int64 value;
	relative relativeValue;
};

bool
is_number(const token* tokens, int32 count, int32 index, int32 minDigits, int32 maxDigits)
{
	return index < count && tokens[index].type == TOKEN_NUMBER && tokens[index].digits >= minDigits
		&& tokens[index].digits <= maxDigits;
}

bool
is_word(const token* tokens, int32 count, int32 index, word_class word)
{
	return index < count && tokens[index].type == TOKEN_WORD && tokens[index].word == word;
}

bool
is_punct(const token* tokens, int32 count, int32 index, char punct)
{
	return index < count && tokens[index].type == TOKEN_PUNCT && tokens[index].punct == punct;
}

// Reads one relative expression; returns the tokens it takes, 0 when there is none.
int32
match_relative(const token* tokens, int32 count, int32 index, relative& result)
{
	if (is_word(tokens, count, index, WORD_NOW)) {
		result = { RELATIVE_NOW, 0, 0 };
		return 1;
	}
	if (is_word(tokens, count, index, WORD_DAY)) {
		result = { RELATIVE_DAY, tokens[index].value, 0 };
		return 1;
	}

	int32 taken = 0;
	int64 sign = 1;
	int64 amount = 1;
	if (is_word(tokens, count, index, WORD_MODIFIER)) {
		// "next monday", "last July", "this week", "next 5 minutes"
		int64 modifier = tokens[index].value;
		taken = 1;
		if (is_word(tokens, count, index + 1, WORD_WEEKDAY)) {
			result = { RELATIVE_WEEKDAY, modifier, (int32)tokens[index + 1].value };
			return 2;
		}
		if (is_word(tokens, count, index + 1, WORD_MONTH)) {
			result = { RELATIVE_MONTH, modifier, (int32)tokens[index + 1].value };
			return 2;
		}
		amount = modifier;
		if (modifier != 0 && is_number(tokens, count, index + 1, 1, kMaxNumberDigits)) {
			amount = modifier * tokens[index + 1].value;
			taken = 2;
		}
	} else {
		if (is_punct(tokens, count, index, '+') || is_punct(tokens, count, index, '-')) {
			sign = tokens[index].punct == '-' ? -1 : 1;
			taken = 1;
		}
		if (!is_number(tokens, count, index + taken, 1, kMaxNumberDigits))
			return 0;
		amount = tokens[index + taken].value;
		taken++;
	}

	if (!is_word(tokens, count, index + taken, WORD_UNIT))
		return 0;
	int32 unit = (int32)tokens[index + taken].value;
	taken++;
	if (is_word(tokens, count, index + taken, WORD_AGO)) {
		sign = -sign;
		taken++;
	}
	result = { RELATIVE_UNIT, sign * amount, unit };
	return taken;
}

// Matches one field at the token index; returns the tokens it takes, 0 for no match.
int32
match_field(char symbol, const token* tokens, int32 count, int32 index, field_value& result)
{
	const token* current = index < count ? &tokens[index] : NULL;
	switch (symbol) {
		case 'a':
		case 'A':
			if (!is_word(tokens, count, index, WORD_WEEKDAY))
				return 0;
			result.value = current->value;
			return 1;
		case 'b':
		case 'B':
			if (!is_word(tokens, count, index, WORD_MONTH))
				return 0;
			result.value = current->value;
			return 1;
		case 'd':
			if (!is_number(tokens, count, index, 1, 2) || current->value < 1
				|| current->value > 31) {
				return 0;
			}
			result.value = current->value;
			return 1;
		case 'm':
			if (!is_number(tokens, count, index, 1, 2) || current->value < 1
				|| current->value > 12) {
				return 0;
			}
			result.value = current->value;
			return 1;
		case 'y':
		case 'Y':
			if (is_number(tokens, count, index, 4, 4)) {
				if (current->value == 0)
					return 0;
				result.value = current->value;
				return 1;
			}
			if (!is_number(tokens, count, index, 2, 2))
				return 0;
			// Two-digit years: 70-99 are 1970-1999, 00-69 are 2000-2069.
			result.value = current->value + (current->value >= 70 ? 1900 : 2000);
			return 1;
		case 'H':
		case 'I':
			if (!is_number(tokens, count, index, 1, 2) || current->value > 23)
				return 0;
			result.value = current->value;
			return 1;
		case 'M':
		case 'S':
			if (!is_number(tokens, count, index, 1, 2) || current->value > 59)
				return 0;
			result.value = current->value;
			return 1;
		case 'p':
			if (!is_word(tokens, count, index, WORD_MERIDIAN))
				return 0;
			result.value = current->value;
			return 1;
		case 'z':
		case 'Z': {
			if (is_word(tokens, count, index, WORD_ZONE)) {
				result.value = current->value;
				return 1;
			}
			// "+0100", "-0530"
			if (!(is_punct(tokens, count, index, '+') || is_punct(tokens, count, index, '-'))
				|| !is_number(tokens, count, index + 1, 4, 4)) {
				return 0;
			}
			int64 hours = tokens[index + 1].value / 100;
			int64 minutes = tokens[index + 1].value % 100;
			if (hours > 14 || minutes > 59)
				return 0;
			int64 offset = hours * 3600 + minutes * 60;
			result.value = current->punct == '-' ? -offset : offset;
			return 2;
		}
		case 'T':
			return match_relative(tokens, count, index, result.relativeValue);
		default:
			return 0;
	}
}

void
apply_field(char symbol, const field_value& value, parsed& result)
{
	switch (symbol) {
		case 'a':
		case 'A':
			result.weekday = (int32)value.value;
			break;
		case 'b':
		case 'B':
		case 'm':
			result.month = (int32)value.value;
			break;
		case 'd':
			result.day = (int32)value.value;
			break;
		case 'y':
		case 'Y':
			result.year = value.value;
			break;
		case 'H':
		case 'I':
			result.hours = (int32)value.value;
			break;
		case 'M':
			result.minutes = (int32)value.value;
			break;
		case 'S':
			result.seconds = (int32)value.value;
			break;
		case 'p':
			result.meridian = (int32)value.value;
			break;
		case 'z':
		case 'Z':
			result.hasZone = true;
			result.zoneOffset = value.value;
			break;
		case 'T':
			if (result.relativeCount < kMaxRelatives)
				result.relatives[result.relativeCount++] = value.relativeValue;
			break;
	}
}

struct matcher {
	const item* items;
	int32 itemCount;
	const token* tokens;
	int32 tokenCount;
	// Positions (item, token) already known not to lead to a match; whether the rest
	// matches does not depend on how the position was reached.
	bool failed[kMaxItems + 1][kMaxTokens + 1];
	parsed* result;

	bool Match(int32 itemIndex, int32 tokenIndex)
	{
		if (itemIndex == itemCount)
			return tokenIndex == tokenCount;
		if (failed[itemIndex][tokenIndex])
			return false;

		const item& current = items[itemIndex];
		switch (current.kind) {
			case ITEM_GROUP_START:
				if (Match(itemIndex + 1, tokenIndex) || Match(current.skip, tokenIndex))
					return true;
				break;
			case ITEM_GROUP_END:
				if (Match(itemIndex + 1, tokenIndex))
					return true;
				break;
			case ITEM_LITERAL:
				if (is_punct(tokens, tokenCount, tokenIndex, current.symbol)
					&& Match(itemIndex + 1, tokenIndex + 1)) {
					return true;
				}
				break;
			case ITEM_FIELD: {
				field_value value = {};
				int32 taken = match_field(current.symbol, tokens, tokenCount, tokenIndex, value);
				// Fields are recorded only on the way back from a complete match, so that
				// a path that failed later leaves nothing behind.
				if (taken > 0 && Match(itemIndex + 1, tokenIndex + taken)) {
					apply_field(current.symbol, value, *result);
					return true;
				}
				break;
			}
		}
		failed[itemIndex][tokenIndex] = true;
		return false;
	}
};

bool
is_leap_year(int64 year)
{
	return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int64
days_in_month(int64 month, int64 year)
{
	static const int64 kLengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
	if (month == 2 && is_leap_year(year))
		return 29;
	return kLengths[month - 1];
}

bool
add_checked(int64& value, int64 amount, int64 limit)
{
	if (amount > 0 ? value > limit - amount : value < -limit - amount)
		return false;
	value += amount;
	return true;
}

// Turns what a format found into a time, relative to base; false when it names no real
// date (31 February, 13 pm) or lies beyond what time_t and struct tm can hold.
bool
compose(const parsed& found, time_t base, time_t& result, int& flags)
{
	tm now;
	if (localtime_r(&base, &now) == NULL)
		return false;

	int64 year = (int64)now.tm_year + 1900;
	int64 month = now.tm_mon + 1;
	int64 day = now.tm_mday;
	int64 hours = now.tm_hour;
	int64 minutes = now.tm_min;
	int64 seconds = now.tm_sec;
	int64 offsetSeconds = 0;
	bool startOfDay = false;
	bool isRelative = false;
	bool meaningful = false;

	// A limit that keeps every sum below far within what struct tm can take.
	const int64 kLimit = INT_MAX / 4;

	if (found.day >= 0 || found.month >= 0 || found.year >= 0) {
		if (found.year >= 0)
			year = found.year;
		else
			isRelative = true;
		if (found.month >= 0)
			month = found.month;
		day = found.day >= 0 ? found.day : 1;
		if (day > days_in_month(month, year))
			return false;
		startOfDay = true;
		meaningful = true;
	} else if (found.weekday >= 0) {
		// A weekday alone is that day of the current week (Sunday to Saturday).
		day += found.weekday - now.tm_wday;
		startOfDay = true;
		isRelative = true;
		meaningful = true;
	}

	for (int32 i = 0; i < found.relativeCount; i++) {
		const relative& current = found.relatives[i];
		isRelative = true;
		meaningful = true;
		switch (current.kind) {
			case RELATIVE_NOW:
				flags |= PARSEDATE_MINUTE_RELATIVE_TIME;
				break;
			case RELATIVE_DAY:
				day += current.amount;
				startOfDay = true;
				break;
			case RELATIVE_WEEKDAY:
				// "next monday" is Monday of next week, "last friday" Friday of last week.
				day += current.target - now.tm_wday + 7 * current.amount;
				startOfDay = true;
				break;
			case RELATIVE_MONTH:
				year += current.amount;
				month = current.target;
				day = 1;
				startOfDay = true;
				break;
			case RELATIVE_UNIT: {
				static const int64 kUnitSeconds[] = { 1, 60, 3600 };
				static const int64 kUnitDays[] = { 0, 0, 0, 1, 7, 14 };
				bool fits = true;
				if (current.target <= UNIT_HOUR) {
					flags |= PARSEDATE_MINUTE_RELATIVE_TIME;
					fits = add_checked(offsetSeconds, current.amount * kUnitSeconds[current.target],
						INT64_MAX / 2);
				} else if (current.target <= UNIT_FORTNIGHT) {
					fits = add_checked(day, current.amount * kUnitDays[current.target], kLimit);
				} else if (current.target == UNIT_MONTH) {
					fits = add_checked(month, current.amount, kLimit);
				} else {
					fits = add_checked(year, current.amount, kLimit);
				}
				if (!fits)
					return false;
				break;
			}
		}
	}

	if (found.hours >= 0) {
		hours = found.hours;
		if (found.meridian >= 0) {
			if (hours < 1 || hours > 12)
				return false;
			hours = hours % 12 + (found.meridian == 1 ? 12 : 0);
		}
		minutes = found.minutes >= 0 ? found.minutes : 0;
		seconds = found.seconds >= 0 ? found.seconds : 0;
		if (found.day < 0 && found.month < 0 && found.year < 0)
			isRelative = true;
		meaningful = true;
	} else if (found.meridian >= 0) {
		return false;
	} else if (startOfDay) {
		hours = minutes = seconds = 0;
	}

	if (!meaningful)
		return false;
	if (year - 1900 > kLimit || year - 1900 < -kLimit || month > kLimit || month < -kLimit
		|| day > kLimit || day < -kLimit) {
		return false;
	}

	tm parts = {};
	parts.tm_year = (int)(year - 1900);
	parts.tm_mon = (int)(month - 1);
	parts.tm_mday = (int)day;
	parts.tm_hour = (int)hours;
	parts.tm_min = (int)minutes;
	parts.tm_sec = (int)seconds;
	parts.tm_isdst = -1;

	time_t when;
	if (found.hasZone) {
		when = timegm(&parts);
		if (when == (time_t)-1)
			return false;
		int64 adjusted = (int64)when;
		if (!add_checked(adjusted, -found.zoneOffset, INT64_MAX / 2))
			return false;
		when = (time_t)adjusted;
	} else {
		when = mktime(&parts);
		if (when == (time_t)-1)
			return false;
	}

	int64 total = (int64)when;
	if (!add_checked(total, offsetSeconds, INT64_MAX / 2))
		return false;
	result = (time_t)total;
	if (isRelative)
		flags |= PARSEDATE_RELATIVE_TIME;
	return true;
}

} // namespace

time_t
parsedate_etc(const char* dateString, time_t now, int* storedFlags)
{
	if (storedFlags != NULL)
		*storedFlags = PARSEDATE_INVALID_DATE;
	if (dateString == NULL)
		return -1;

	token tokens[kMaxTokens];
	int32 tokenCount;
	if (!tokenize(dateString, tokens, tokenCount) || tokenCount == 0)
		return -1;

	time_t base = now == (time_t)-1 ? time(NULL) : now;
	const char** formats = get_dateformats();
	for (int32 index = 0; formats[index] != NULL; index++) {
		item items[kMaxItems];
		int32 itemCount;
		if (!compile_format(formats[index], items, itemCount))
			continue;

		parsed found;
		found.Reset();
		matcher state;
		state.items = items;
		state.itemCount = itemCount;
		state.tokens = tokens;
		state.tokenCount = tokenCount;
		state.result = &found;
		memset(state.failed, 0, sizeof(state.failed));
		if (!state.Match(0, 0))
			continue;

		time_t result;
		int flags = 0;
		if (!compose(found, base, result, flags))
			continue;
		if (storedFlags != NULL)
			*storedFlags = flags;
		return result;
	}
	return -1;
}

time_t
parsedate(const char* dateString, time_t now)
{
	return parsedate_etc(dateString, now, NULL);
}

void
set_dateformats(const char* table[])
{
	sFormats.store(table);
}

const char**
get_dateformats(void)
{
	const char** formats = sFormats.load();
	return formats != NULL ? formats : sDefaultFormats;
}

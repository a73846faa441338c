#include "ManifestText.h"

namespace {

bool
is_ascii(char c)
{
	return (static_cast<unsigned char>(c) & 0x80) == 0;
}

// The offset of the first byte that does not belong to well-formed UTF-8 (no overlong
// forms, no surrogates, nothing beyond U+10FFFF), or npos.
size_t
invalid_utf8_at(const std::string& text)
{
	size_t i = 0;
	while (i < text.size()) {
		unsigned char c = static_cast<unsigned char>(text[i]);
		if (c < 0x80) {
			i++;
			continue;
		}
		size_t length = 0;
		unsigned char low = 0x80;
		unsigned char high = 0xbf;
		if (c >= 0xc2 && c <= 0xdf)
			length = 2;
		else if (c >= 0xe0 && c <= 0xef) {
			length = 3;
			if (c == 0xe0)
				low = 0xa0;
			else if (c == 0xed)
				high = 0x9f;
		} else if (c >= 0xf0 && c <= 0xf4) {
			length = 4;
			if (c == 0xf0)
				low = 0x90;
			else if (c == 0xf4)
				high = 0x8f;
		} else
			return i;
		if (i + length > text.size())
			return i;
		for (size_t k = 1; k < length; k++) {
			unsigned char next = static_cast<unsigned char>(text[i + k]);
			if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xbf))
				return i;
		}
		i += length;
	}
	return std::string::npos;
}

bool
fail(const std::string& text, size_t offset, const char* why, ManifestTextProblem& problem)
{
	problem.line = 1;
	problem.column = 1;
	for (size_t at = 0; at < offset && at < text.size(); at++) {
		if (text[at] == '\n') {
			problem.line++;
			problem.column = 1;
		} else if ((static_cast<unsigned char>(text[at]) & 0xc0) != 0x80)
			problem.column++;
	}
	problem.text = why;
	return false;
}

} // namespace

bool
CheckManifestText(const std::string& text, ManifestTextProblem& problem)
{
	size_t invalid = invalid_utf8_at(text);
	if (invalid != std::string::npos)
		return fail(text, invalid,
			"the manifest is not UTF-8 text: a byte here does not belong to a character", problem);

	// Strings and comments begin and end where the parser sees them begin and end, as long
	// as the text is TOML. A quote where no string can begin (after "0", say) begins none
	// here either: the parser reads on through it looking for the end of a value.
	char previous = '\n';
	size_t i = 0;
	while (i < text.size()) {
		char c = text[i];
		if (c == '#') {
			while (i < text.size() && text[i] != '\n')
				i++;
			continue;
		}
		bool stringMayBegin = previous == '\n' || previous == '=' || previous == '['
			|| previous == ',' || previous == '{' || previous == '.';
		if ((c == '"' || c == '\'') && stringMayBegin) {
			bool multiLine = text.compare(i, 3, std::string(3, c)) == 0;
			bool basic = c == '"';
			size_t j = i + (multiLine ? 3 : 1);
			while (j < text.size()) {
				char inside = text[j];
				if (basic && inside == '\\') {
					if (j + 1 < text.size() && !is_ascii(text[j + 1]))
						return fail(text, j + 1,
							"an escape names a character that is not ASCII; write it as "
							"\\uXXXX",
							problem);
					if (multiLine && j + 1 < text.size()
						&& (text[j + 1] == ' ' || text[j + 1] == '\t' || text[j + 1] == '\r'
							|| text[j + 1] == '\n')) {
						size_t k = j + 1;
						while (k < text.size()
							&& (text[k] == ' ' || text[k] == '\t' || text[k] == '\r'
								|| text[k] == '\n'))
							k++;
						if (k < text.size() && !is_ascii(text[k]))
							return fail(text, k,
								"the text after a line-ending backslash begins with a character "
								"that is not ASCII; begin it with an ASCII character or "
								"write that one as \\uXXXX",
								problem);
						j = k;
						continue;
					}
					j += 2;
					continue;
				}
				if (!multiLine && inside == '\n')
					break;
				if (inside == c) {
					if (!multiLine) {
						j++;
						break;
					}
					size_t run = 0;
					while (j + run < text.size() && text[j + run] == c)
						run++;
					j += run;
					if (run >= 3)
						break;
					continue;
				}
				j++;
			}
			i = j;
			previous = c;
			continue;
		}
		if (!is_ascii(c))
			return fail(text, i, "a character that is not ASCII stands outside a string or comment",
				problem);
		if (c != ' ' && c != '\t' && c != '\r')
			previous = c;

		i++;
	}
	return true;
}

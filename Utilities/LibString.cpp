#include "LibString.h"
#include "LibStringPrivate.h"


#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

using namespace lib_string_private;


// A cleared string has no buffer of its own; it reads this text so that every reader still
// sees a terminated empty string. It is never written: every write first checks the buffer
// size, which is 0 while the string points here.
static const char kEmptyText[1] = "";

// The longest text Formatted produces, without its terminator.
static const int32 kFormattedLimit = 511;

// The minimum buffer sizes of the number assignments.
static const int32 kInt32BufferSize = 11;
static const int32 kFloatBufferSize = 11;
static const int32 kDoubleBufferSize = 16;

static inline const char*
safe_text(const char* text)
{
	return text != nullptr ? text : kEmptyText;
}

static inline int32
text_length(const char* text)
{
	return static_cast<int32>(strlen(text));
}

// Walks two texts as signed bytes (mapped to upper case when asked) over at most limit
// characters (a negative limit means no limit). A text that is a prefix of the other sorts
// first.
static int32
compare_texts(const char* a, const char* b, bool ignoreCase, int64 limit)
{
	for (int64 i = 0; limit < 0 || i < limit; i++) {
		if (a[i] == '\0' || b[i] == '\0') {
			if (a[i] == b[i])
				return 0;
			return a[i] == '\0' ? -1 : 1;
		}
		signed char ca = static_cast<signed char>(ignoreCase ? to_upper(a[i]) : a[i]);
		signed char cb = static_cast<signed char>(ignoreCase ? to_upper(b[i]) : b[i]);
		if (ca != cb)
			return ca < cb ? -1 : 1;
	}
	return 0;
}

static bool
equal_chars(const char* a, const char* b, int32 count, bool ignoreCase)
{
	if (!ignoreCase)
		return memcmp(a, b, count) == 0;
	for (int32 i = 0; i < count; i++) {
		if (to_upper(a[i]) != to_upper(b[i]))
			return false;
	}
	return true;
}

// Index of the number-th occurrence (from 0) of c, -1 when there is none.
static int32
nth_index(const char* text, char c, int32 number)
{
	if (c == '\0' || number < 0)
		return -1;
	for (int32 i = 0; text[i] != '\0'; i++) {
		if (text[i] == c && number-- == 0)
			return i;
	}
	return -1;
}

// The index of the last occurrence of c, 0 when c does not occur.
static int32
last_index_or_zero(const char* text, char c)
{
	const char* found = c != '\0' ? strrchr(text, c) : nullptr;
	return found != nullptr ? static_cast<int32>(found - text) : 0;
}

static bool
match_wildcard(const char* subject, const char* pattern)
{
	while (*subject != '\0') {
		if (*pattern == '*') {
			while (*pattern == '*')
				pattern++;
			while (*pattern == '?') {
				if (*subject == '\0')
					return false;
				pattern++;
				subject++;
			}
			if (*subject == '\0')
				break;

			// Only positions where the next literal pattern character stands can start
			// the rest of the match. A star behind the question marks can start
			// anywhere, so then every position is tried.
			char next = *pattern;
			while (true) {
				if (next != '*') {
					while (*subject != '\0' && *subject != next)
						subject++;
				}
				if (match_wildcard(subject, pattern))
					return true;
				if (*subject == '\0')
					return false;
				subject++;
			}
		}
		if (*pattern == '\0')
			return false;
		if (*pattern != '?' && *pattern != *subject)
			return false;
		pattern++;
		subject++;
	}

	// The subject is used up: only stars may remain.
	while (*pattern == '*')
		pattern++;
	return *pattern == '\0';
}

// #pragma mark - construction and storage


LibString::LibString() :
	fText(const_cast<char*>(kEmptyText)),
	fBufferSize(0)
{
	SetBuffer(0);
}

LibString::LibString(const int32& size) :
	fText(const_cast<char*>(kEmptyText)),
	fBufferSize(0)
{
	SetBuffer(size);
}

LibString::LibString(const char* text) :
	fText(const_cast<char*>(kEmptyText)),
	fBufferSize(0)
{
	text = safe_text(text);
	int32 length = text_length(text);
	_Assign(text, length, length + 1);
}

LibString::LibString(const LibString& other) :
	fText(const_cast<char*>(kEmptyText)),
	fBufferSize(0)
{
	*this = other;
}

LibString::~LibString()
{
	if (fBufferSize > 0)
		delete[] fText;
}

LibString::operator const char*() const
{
	return fText;
}

LibString::operator char*()
{
	return fText;
}

void
LibString::PrintToStream() const
{
	fprintf(stderr, "LibString:: <%s>, buffer %" PRId32 "\n", fText, fBufferSize);
}

LibString&
LibString::operator=(const char* text)
{
	if (text == nullptr)
		return *this;
	int32 length = text_length(text);
	_Assign(text, length, length + 1);
	return *this;
}

LibString&
LibString::operator=(const LibString& other)
{
	if (&other == this)
		return *this;
	_Assign(other.fText, other.Length(), other.fBufferSize);
	return *this;
}

LibString&
LibString::operator=(const int32& value)
{
	char text[16];
	int32 length = snprintf(text, sizeof(text), "%" PRId32, value);
	_Assign(text, length, std::max(kInt32BufferSize, length + 1));
	return *this;
}

LibString&
LibString::operator=(const float& value)
{
	std::string text = fixed_text(value, 6);
	int32 length = static_cast<int32>(text.size());
	_Assign(text.c_str(), length, std::max(kFloatBufferSize, length + 1));
	return *this;
}

LibString&
LibString::operator=(const double& value)
{
	std::string text = fixed_text(value, 6);
	int32 length = static_cast<int32>(text.size());
	_Assign(text.c_str(), length, std::max(kDoubleBufferSize, length + 1));
	return *this;
}

void
LibString::SetBuffer(const int32& size)
{
	// A size of -1 (or less) asks for no bytes at all: the string becomes cleared.
	int32 bufferSize = size < 0 ? 0 : size + 1;
	_Assign(kEmptyText, 0, bufferSize);
}

void
LibString::SetBufferSize(const int32& size)
{
	SetBuffer(size);
}

int32
LibString::Length() const
{
	return text_length(fText);
}

void
LibString::Clear()
{
	_Assign(kEmptyText, 0, 0);
}

bool
LibString::operator!() const
{
	return fText[0] == '\0';
}

char
LibString::operator[](const int32& index) const
{
	if (index < 0 || index >= Length())
		return '\0';
	return fText[index];
}

int32
LibString::PackSize() const
{
	return Length() + 4;
}

void
LibString::Read(const char* path, const int32& chunk)
{
	if (path == nullptr)
		return;
	FILE* file = fopen(path, "r");
	if (file == nullptr)
		return;

	// The pieces are gathered first and appended once, which gives the same text and
	// buffer size as appending piece by piece without copying the text over and over.
	size_t pieceSize = static_cast<size_t>(std::clamp<int32>(chunk, 2, 65536) - 1);
	std::string piece(pieceSize, '\0');
	std::string content;
	size_t got;
	while ((got = fread(piece.data(), 1, pieceSize, file)) > 0)
		content.append(piece.data(), got);
	fclose(file);

	Concat(content.c_str());
}

// #pragma mark - appending and inserting


void
LibString::Concat(const char* text)
{
	text = safe_text(text);
	_Splice(Length(), 0, text, text_length(text));
}

void
LibString::Concat(const char& c)
{
	if (c == '\0')
		return;
	int32 length = Length();
	_Reserve(length + 1);
	fText[length] = c;
	fText[length + 1] = '\0';
}

LibString&
LibString::operator+=(const char& c)
{
	Concat(c);
	return *this;
}

LibString&
LibString::operator+=(const char* text)
{
	Concat(text);
	return *this;
}

LibString&
LibString::operator+=(const LibString& text)
{
	Concat(text.fText);
	return *this;
}

LibString&
LibString::operator+=(const int32& value)
{
	char text[16];
	snprintf(text, sizeof(text), "%" PRId32, value);
	Concat(text);
	return *this;
}

LibString&
LibString::operator+=(const float& value)
{
	Concat(fixed_text(value, 6).c_str());
	return *this;
}

LibString&
LibString::operator+=(const double& value)
{
	Concat(fixed_text(value, 6).c_str());
	return *this;
}

LibString&
LibString::operator+(const char& c)
{
	return *this += c;
}

LibString&
LibString::operator+(const char* text)
{
	return *this += text;
}

LibString&
LibString::operator+(const LibString& text)
{
	return *this += text;
}

void
LibString::PrePend(const char* text)
{
	text = safe_text(text);
	_Splice(0, 0, text, text_length(text));
}

void
LibString::Insert(const int& index, const char* text)
{
	text = safe_text(text);
	int32 length = Length();
	int32 at = index < -1 || index >= length ? length : index + 1;
	_Splice(at, 0, text, text_length(text));
}

LibString&
LibString::Formatted(const char* format, ...)
{
	char text[kFormattedLimit + 1];
	va_list arguments;
	va_start(arguments, format);
	int result = vsnprintf(text, sizeof(text), safe_text(format), arguments);
	va_end(arguments);
	if (result < 0)
		text[0] = '\0';
	return *this = text;
}

// #pragma mark - comparison and tests


int32
LibString::Compare(const char* text, const bool& ignoreCase) const
{
	return compare_texts(fText, safe_text(text), ignoreCase, -1);
}

int32
LibString::Compare(const LibString& text, const bool& ignoreCase) const
{
	return Compare(text.fText, ignoreCase);
}

int32
LibString::CompareSub(
	const char* text, const bool& ignoreCase, const int32& length, const int32& start) const
{
	// A start outside the text compares an empty remainder.
	const char* own = start >= 0 && start <= Length() ? fText + start : kEmptyText;
	text = safe_text(text);
	if (!ignoreCase) {
		if (length < 0)
			return strcmp(own, text);
		return strncmp(own, text, static_cast<size_t>(length));
	}
	int64 limit = length < 0 ? std::max(text_length(own), text_length(text)) : length;
	return compare_texts(own, text, true, limit);
}

int32
LibString::CompareSub(
	const LibString& text, const bool& ignoreCase, const int32& length, const int32& start) const
{
	return CompareSub(text.fText, ignoreCase, length, start);
}

bool
LibString::operator==(const char* text) const
{
	return Compare(text) == 0;
}

bool
LibString::operator!=(const char* text) const
{
	return Compare(text) != 0;
}

bool
LibString::operator<(const char* text) const
{
	return Compare(text) < 0;
}

bool
LibString::operator>(const char* text) const
{
	return Compare(text) > 0;
}

bool
LibString::operator<=(const char* text) const
{
	return Compare(text) <= 0;
}

bool
LibString::operator>=(const char* text) const
{
	return Compare(text) >= 0;
}

bool
LibString::operator==(const LibString& text) const
{
	return Compare(text) == 0;
}

bool
LibString::operator!=(const LibString& text) const
{
	return Compare(text) != 0;
}

bool
LibString::operator<(const LibString& text) const
{
	return Compare(text) < 0;
}

bool
LibString::operator>(const LibString& text) const
{
	return Compare(text) > 0;
}

bool
LibString::operator<=(const LibString& text) const
{
	return Compare(text) <= 0;
}

bool
LibString::operator>=(const LibString& text) const
{
	return Compare(text) >= 0;
}

bool
LibString::BeginsWith(const char* prefix, const bool& ignoreCase) const
{
	prefix = safe_text(prefix);
	int32 prefixLength = text_length(prefix);
	if (prefixLength > Length())
		return false;
	return equal_chars(fText, prefix, prefixLength, ignoreCase);
}

bool
LibString::EndsWith(const char* suffix, const bool& ignoreCase) const
{
	suffix = safe_text(suffix);
	int32 suffixLength = text_length(suffix);
	int32 length = Length();
	if (suffixLength > length)
		return false;
	return equal_chars(fText + length - suffixLength, suffix, suffixLength, ignoreCase);
}

bool
LibString::Contain(const char& c) const
{
	return Index(c) >= 0;
}

bool
LibString::Contain(const char* text, const bool& ignoreCase) const
{
	text = safe_text(text);
	if (!ignoreCase)
		return strstr(fText, text) != nullptr;

	// Every position is tried, so an occurrence behind a false start is still found.
	int32 textLength = text_length(text);
	int32 last = Length() - textLength;
	for (int32 i = 0; i <= last; i++) {
		if (equal_chars(fText + i, text, textLength, true))
			return true;
	}
	return false;
}

bool
LibString::Contain(const LibString& text, const bool&) const
{
	// BeOS behaviour: this overload ignores its case flag and is always case-sensitive.
	return strstr(fText, text.fText) != nullptr;
}

bool
LibString::IsBlank() const
{
	for (const char* c = fText; *c != '\0'; c++) {
		if (!is_space(*c))
			return false;
	}
	return true;
}

bool
LibString::IsNumeric() const
{
	return has_number_syntax(fText);
}

bool
LibString::IsWildCard(const char* pattern) const
{
	return CompareWildCard(fText, pattern);
}

bool
LibString::IsWildCard(const LibString& pattern) const
{
	return CompareWildCard(fText, pattern.fText);
}

bool
LibString::CompareWildCard(const char* subject, const char* pattern)
{
	return match_wildcard(safe_text(subject), safe_text(pattern));
}

// #pragma mark - searching and words


int32
LibString::Index(const char& c) const
{
	return nth_index(fText, c, 0);
}

int32
LibString::Index(const char* text) const
{
	text = safe_text(text);
	const char* found = strstr(fText, text);
	if (found == nullptr || fText[0] == '\0')
		return -1;
	return static_cast<int32>(found - fText);
}

int32
LibString::Index(const LibString& text) const
{
	return Index(text.fText);
}

int32
LibString::IndexOfAny(const char* set) const
{
	const char* found = strpbrk(fText, safe_text(set));
	return found != nullptr ? static_cast<int32>(found - fText) : -1;
}

int32
LibString::Count(const char& c) const
{
	if (c == '\0')
		return 0;
	int32 count = 0;
	for (const char* p = fText; *p != '\0'; p++) {
		if (*p == c)
			count++;
	}
	return count;
}

int32
LibString::Words() const
{
	int32 words = 0;
	for (int32 i = 0; fText[i] != '\0'; i++) {
		if (!is_space(fText[i]) && (i == 0 || is_space(fText[i - 1])))
			words++;
	}
	return words;
}

bool
LibString::Word(const int32& number, LibString& word) const
{
	int32 seen = 0;
	for (int32 i = 0; number >= 1 && fText[i] != '\0';) {
		while (is_space(fText[i]))
			i++;
		int32 start = i;
		while (fText[i] != '\0' && !is_space(fText[i]))
			i++;
		if (i > start && ++seen == number) {
			std::string found(fText + start, i - start);
			word = found.c_str();
			return true;
		}
	}
	word = "";
	return false;
}

// #pragma mark - cutting


void
LibString::FromIndex(const int32& index)
{
	int32 length = Length();
	if (index < 0 || index >= length) {
		_Truncate(0);
		return;
	}
	memmove(fText, fText + index, length - index + 1);
}

void
LibString::ToIndex(const int32& index)
{
	if (index == -1) {
		_Truncate(0);
		return;
	}
	if (index < -1 || index >= Length() - 1)
		return;
	_Truncate(index + 1);
}

bool
LibString::FromChar(const char& c, const int32& number, const int& /*offset*/)
{
	int32 found = nth_index(fText, c, number);
	if (found < 0)
		return false;
	FromIndex(found);
	return true;
}

bool
LibString::ToChar(const char& c, const int32& number, const int& offset)
{
	int32 found = nth_index(fText, c, number);
	if (found < 0)
		return false;
	// A cut outside the text is held to it: before the start empties the string, past
	// the end keeps it whole.
	int64 cut = static_cast<int64>(found) + offset;
	_Truncate(static_cast<int32>(std::clamp<int64>(cut, 0, Length())));
	return true;
}

void
LibString::FromLast(const char& c, const int32& offset)
{
	int32 length = Length();
	if (length == 0)
		return;
	int64 from = static_cast<int64>(last_index_or_zero(fText, c)) + offset;
	if (from < 0 || from >= length) {
		_Truncate(0);
		return;
	}
	FromIndex(static_cast<int32>(from));
}

void
LibString::ToLast(const char& c, const int32& offset)
{
	int32 length = Length();
	if (length == 0)
		return;
	int64 to = static_cast<int64>(last_index_or_zero(fText, c)) + offset;
	if (to == -1) {
		_Truncate(0);
		return;
	}
	if (to < -1 || to >= length - 1)
		return;
	_Truncate(static_cast<int32>(to + 1));
}

LibString
LibString::Extract(const int32& start, const int32& end) const
{
	LibString result;
	if (start < 0 || start > end || end >= Length())
		return result;
	int32 length = end - start + 1;
	result._Assign(fText + start, length, length + 1);
	return result;
}

LibString
LibString::Extract(const char& open, const char& close, const bool& stripDelimiters) const
{
	LibString result;
	int32 first = Index(open);
	if (first < 0)
		return result;
	int32 length = Length();
	int32 last = nth_index(fText + first + 1, close, 0);
	int32 from = stripDelimiters ? first + 1 : first;
	int32 to = length;
	if (last >= 0) {
		last += first + 1;
		to = stripDelimiters ? last : last + 1;
	}
	result._Assign(fText + from, to - from, to - from + 1);
	return result;
}

void
LibString::Remove(const int32& start, const int32& end)
{
	int32 length = Length();
	if (start < 0 || start > length || end < 0 || end < start)
		return;
	if (end >= length) {
		_Truncate(start);
		return;
	}
	memmove(fText + start, fText + end + 1, length - end);
}

void
LibString::RemoveChar(const int32& index)
{
	if (index < 0 || index >= Length())
		return;
	Remove(index, index);
}

void
LibString::ShiftFrom(const int32& to, const int32& from)
{
	int32 length = Length();
	if (to < 0 || to > from || from > length)
		return;
	memmove(fText + to, fText + from, length - from + 1);
}

bool
LibString::RemoveWord(const char* word)
{
	word = safe_text(word);
	int32 wordLength = text_length(word);
	if (wordLength == 0)
		return false;
	for (int32 i = 0; fText[i] != '\0';) {
		while (is_space(fText[i]))
			i++;
		int32 start = i;
		while (fText[i] != '\0' && !is_space(fText[i]))
			i++;
		if (i - start != wordLength || memcmp(fText + start, word, wordLength) != 0)
			continue;
		// The separator in front goes with the word, so that no double blank is left.
		if (start == 0)
			Remove(0, wordLength - 1);
		else
			Remove(start - 1, start + wordLength - 1);
		return true;
	}
	return false;
}

void
LibString::RemoveAllWords(const char* word)
{
	while (RemoveWord(word)) { }
}

// #pragma mark - editing in place


int32
LibString::Replace(const char* text, const char* with)
{
	text = safe_text(text);
	with = safe_text(with);
	if (fText[0] == '\0')
		return -1;
	const char* found = strstr(fText, text);
	if (found == nullptr)
		return -1;
	int32 index = static_cast<int32>(found - fText);
	_Splice(index, text_length(text), with, text_length(with));
	return index;
}

void
LibString::ReplaceAll(const char* text, const char* with)
{
	// Both texts are copied: either may lie in this string's own buffer.
	std::string pattern(safe_text(text));
	if (pattern.empty())
		return;

	std::string replacement(safe_text(with));
	int32 textLength = static_cast<int32>(pattern.size());
	int32 withLength = static_cast<int32>(replacement.size());

	// BeOS behaviour: Replace is repeated from the start until the text is gone, so a
	// replacement may make a new occurrence with what precedes it ("a///b", "//" -> "/"
	// gives "a/b"). That loop would never end when the replacement contains the text, and
	// may grow without bound when it is longer ("ab" -> "bbaa"): there each occurrence
	// is replaced once and the search goes on behind the inserted text.
	bool guarded = withLength > textLength || replacement.find(pattern) != std::string::npos;
	int32 from = 0;
	while (true) {
		const char* found = strstr(fText + from, pattern.c_str());
		if (found == nullptr)
			return;
		int32 index = static_cast<int32>(found - fText);
		_Splice(index, textLength, replacement.c_str(), withLength);
		// No occurrence lies wholly before the one just replaced, and the text before it is
		// unchanged: the next one cannot start before index - textLength + 1, so the search
		// from there finds what a search from the start would (each step shortens the text,
		// or keeps its length and moves it up or down in byte order, so the loop ends).
		from = guarded ? index + withLength : std::max(0, index - textLength + 1);
	}
}

void
LibString::ReplaceAll(const char& from, const char& to)
{
	if (from == '\0')
		return;
	int32 length = Length();
	for (int32 i = 0; i < length; i++) {
		if (fText[i] == from)
			fText[i] = to;
	}
}

void
LibString::SwapChar(const char& from, const char& to)
{
	ReplaceAll(from, to);
}

void
LibString::Replace(const int32& index, const char& c)
{
	// Writing over the terminator inside the buffer is allowed, but the last byte of the
	// buffer stays a terminator so that the text always ends inside it.
	if (index < 0 || index >= fBufferSize)
		return;
	if (index == fBufferSize - 1 && c != '\0')
		return;
	fText[index] = c;
}

void
LibString::RemoveRepeatingChar(const char& c)
{
	if (c == '\0')
		return;
	int32 kept = 0;
	for (int32 i = 0; fText[i] != '\0'; i++) {
		if (fText[i] == c && kept > 0 && fText[kept - 1] == c)
			continue;
		fText[kept++] = fText[i];
	}
	_Truncate(kept);
}

void
LibString::StripPunct()
{
	int32 kept = 0;
	for (int32 i = 0; fText[i] != '\0'; i++) {
		if (is_punct(fText[i]) && fText[i] != '_')
			continue;
		fText[kept++] = fText[i];
	}
	_Truncate(kept);
}

void
LibString::StripTrailingChar(const char& c)
{
	int32 length = Length();
	if (length > 0 && c != '\0' && fText[length - 1] == c)
		_Truncate(length - 1);
}

void
LibString::StripTrailingSpaces()
{
	int32 length = Length();
	while (length > 0 && is_space(fText[length - 1]))
		length--;
	_Truncate(length);
}

void
LibString::StripLeadingSpaces()
{
	int32 first = 0;
	while (is_space(fText[first]))
		first++;
	if (first > 0)
		memmove(fText, fText + first, Length() - first + 1);
}

void
LibString::StripAllSpaces()
{
	int32 kept = 0;
	for (int32 i = 0; fText[i] != '\0'; i++) {
		if (!is_space(fText[i]))
			fText[kept++] = fText[i];
	}
	_Truncate(kept);
}

void
LibString::ToLowerCase()
{
	for (char* c = fText; *c != '\0'; c++)
		*c = to_lower(*c);
}

void
LibString::ToUpperCase()
{
	for (char* c = fText; *c != '\0'; c++)
		*c = to_upper(*c);
}

void
LibString::ToProperCase()
{
	ToLowerCase();
	int32 length = Length();
	for (int32 i = 0; i < length; i++) {
		char before = i > 0 ? fText[i - 1] : '\0';
		char after = fText[i + 1];
		bool raise = i == 0 || is_space(before) || (before == '.' && after == '.') || before == '&'
			|| (i == 1 && fText[0] == '\'')
			|| (i >= 2 && is_space(fText[i - 2]) && before == '\'' && fText[i] != 's');
		if (raise)
			fText[i] = to_upper(fText[i]);
	}
}

// #pragma mark - private


// Gives the string a buffer of exactly bufferSize bytes holding text; a size of 0 leaves
// it cleared. The text may lie in the string's own buffer.
void
LibString::_Assign(const char* text, int32 length, int32 bufferSize)
{
	if (bufferSize <= 0) {
		if (fBufferSize > 0)
			delete[] fText;
		fText = const_cast<char*>(kEmptyText);
		fBufferSize = 0;
		return;
	}
	if (bufferSize == fBufferSize) {
		memmove(fText, text, length);
		fText[length] = '\0';
		return;
	}
	char* buffer = new char[bufferSize]();
	memcpy(buffer, text, length);
	if (fBufferSize > 0)
		delete[] fText;
	fText = buffer;
	fBufferSize = bufferSize;
}

// Makes room for a text of length characters: a buffer that is too small is replaced by
// one of exactly length + 1 bytes holding the old text.
void
LibString::_Reserve(int32 length)
{
	if (length < fBufferSize)
		return;
	char* buffer = new char[length + 1]();
	memcpy(buffer, fText, Length());
	if (fBufferSize > 0)
		delete[] fText;
	fText = buffer;
	fBufferSize = length + 1;
}

// Replaces the text, in place when it fits.
void
LibString::_SetText(const char* text, int32 length)
{
	_Splice(0, Length(), text, length);
}

// Cuts the text to length characters; never writes when nothing is cut, so a cleared
// string is left alone.
void
LibString::_Truncate(int32 length)
{
	if (length >= 0 && length < Length())
		fText[length] = '\0';
}

// Replaces removed characters at start by length characters of text (which may lie in the
// string's own buffer), growing the buffer to the exact size when needed.
void
LibString::_Splice(int32 start, int32 removed, const char* text, int32 length)
{
	int32 oldLength = Length();
	int32 tailLength = oldLength - start - removed;
	int32 newLength = oldLength - removed + length;
	if (newLength >= fBufferSize) {
		char* buffer = new char[newLength + 1]();
		memcpy(buffer, fText, start);
		memcpy(buffer + start, text, length);
		memcpy(buffer + start + length, fText + start + removed, tailLength);
		if (fBufferSize > 0)
			delete[] fText;
		fText = buffer;
		fBufferSize = newLength + 1;
		return;
	}

	std::string copy;
	std::less_equal<const char*> notAfter;
	if (notAfter(fText, text) && !notAfter(fText + fBufferSize, text)) {
		copy.assign(text, length);
		text = copy.c_str();
	}
	memmove(fText + start + length, fText + start + removed, tailLength + 1);
	memcpy(fText + start, text, length);
}

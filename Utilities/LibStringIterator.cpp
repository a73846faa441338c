#include "LibStringIterator.h"

#include <cstdio>
#include <cstring>
#include <string>

LibStringIterator::LibStringIterator() :
	fPosition(0)
{
}

LibStringIterator::LibStringIterator(const int32& size) :
	LibString(size),
	fPosition(0)
{
}

LibStringIterator::LibStringIterator(const char* text) :
	LibString(text),
	fPosition(0)
{
}

LibStringIterator::LibStringIterator(const LibString& text) :
	LibString(text),
	fPosition(0)
{
}

LibStringIterator::LibStringIterator(const LibStringIterator& other) :
	LibString(other),
	fPosition(other.fPosition)
{
}

LibStringIterator::~LibStringIterator() { }

void
LibStringIterator::PrintToStream() const
{
	LibString::PrintToStream();
	fprintf(stderr, "position %d\n", static_cast<int>(fPosition));
}

LibStringIterator&
LibStringIterator::operator=(const LibStringIterator& other)
{
	if (&other == this)
		return *this;
	LibString::operator=(other);
	fPosition = other.fPosition;
	return *this;
}

LibStringIterator&
LibStringIterator::operator=(const char* text)
{
	LibString::operator=(text);
	fPosition = 0;
	return *this;
}

LibStringIterator&
LibStringIterator::operator=(const LibString& text)
{
	LibString::operator=(text);
	fPosition = 0;
	return *this;
}

void
LibStringIterator::Reset(const int& position)
{
	fPosition = position;
}

bool
LibStringIterator::GetNextField(const char& separator, LibString& field)
{
	const char* text = LibString::operator const char*();
	int32 length = Length();
	// A position outside the text (set by Reset, or left behind when the text was cut)
	// reads as the end.
	if (fPosition < 0 || fPosition >= length) {
		field = "";
		return false;
	}
	int32 end = fPosition;
	while (end < length && text[end] != separator)
		end++;
	std::string read(text + fPosition, end - fPosition);
	fPosition = end < length ? end + 1 : length;
	field = read.c_str();
	return true;
}

bool
LibStringIterator::GetNextField(const char* separators, LibString& field)
{
	const char* text = LibString::operator const char*();
	const char* set = separators != nullptr ? separators : "";
	int32 length = Length();
	if (fPosition < 0 || fPosition >= length) {
		field = "";
		return false;
	}
	int32 end = fPosition;
	while (end < length && strchr(set, text[end]) == nullptr)
		end++;
	std::string read(text + fPosition, end - fPosition);
	bool separated = end < length;
	if (separated)
		fPosition = end + 1;
	field = read.c_str();
	return separated;
}

bool
LibStringIterator::GetIndexField(const char& separator, const int32& index, LibString& field)
{
	if (index < 0)
		return false;
	LibString read;
	for (int32 i = 0; i <= index; i++) {
		if (!GetNextField(separator, read))
			return false;
	}
	field = read;
	return true;
}

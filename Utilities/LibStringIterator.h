// A LibString with a read position, for splitting a text into fields at separator
// characters (configuration lists, attribute descriptions, search paths).
#ifndef LIB_STRING_ITERATOR_H
#define LIB_STRING_ITERATOR_H

#include "LibString.h"

class LibStringIterator : public LibString {
public:
	LibStringIterator();
	explicit LibStringIterator(const int32& size);
	LibStringIterator(const char* text);
	LibStringIterator(const LibString& text);
	LibStringIterator(const LibStringIterator& other);
	virtual ~LibStringIterator();

	virtual void PrintToStream() const;

	// Copying an iterator copies its position; a new text starts at position 0.
	LibStringIterator& operator=(const LibStringIterator& other);
	LibStringIterator& operator=(const char* text);
	LibStringIterator& operator=(const LibString& text);

	void Reset(const int& position = 0);

	int32 Position() const { return fPosition; }

	// Reads the field up to the next separator. A last field without a separator
	// after it is delivered with true; at the end the result is false.
	bool GetNextField(const char& separator, LibString& field);
	// Reads the field up to the next character of the set. A last field without a
	// separator after it is delivered with false and the position stays.
	bool GetNextField(const char* separators, LibString& field);
	// Reads index + 1 fields from the current position and keeps the last one.
	bool GetIndexField(const char& separator, const int32& index, LibString& field);

private:
	int32 fPosition;
};

#endif // LIB_STRING_ITERATOR_H

// The one string type of the system: a mutable, heap-backed, NUL-terminated 8-bit text with
// exact-size growth and value semantics. Characters are bytes; classification and case
// mapping follow the "C" locale whatever the process locale is.
#ifndef LIB_STRING_H
#define LIB_STRING_H

#include <SupportDefs.h>

class BFont;
class BRect;

class LibString {
public:
	LibString();
	// Empty text in a buffer of size + 1 bytes.
	explicit LibString(const int32& size);
	LibString(const char* text);
	LibString(const LibString& other);
	virtual ~LibString();

	virtual operator const char*() const;
	virtual operator char*();
	virtual void PrintToStream() const;

	// Assignment. A text argument sizes the buffer to the text; a string argument
	// copies the other string's buffer size.
	LibString& operator=(const char* text);
	LibString& operator=(const LibString& other);
	LibString& operator=(const int32& value);
	LibString& operator=(const float& value);
	LibString& operator=(const double& value);

	// Storage and access.
	void SetBuffer(const int32& size);
	void SetBufferSize(const int32& size);

	int32 BufferSize() const { return fBufferSize; }

	int32 Length() const;
	void Clear();
	bool operator!() const;
	char operator[](const int32& index) const;
	int32 PackSize() const;
	void Read(const char* path, const int32& chunk = 1024);

	// Appending and inserting. operator+ appends to this string itself.
	void Concat(const char* text);
	void Concat(const char& c);
	LibString& operator+=(const char& c);
	LibString& operator+=(const char* text);
	LibString& operator+=(const LibString& text);
	LibString& operator+=(const int32& value);
	LibString& operator+=(const float& value);
	LibString& operator+=(const double& value);
	LibString& operator+(const char& c);
	LibString& operator+(const char* text);
	LibString& operator+(const LibString& text);
	void PrePend(const char* text);
	void Insert(const int& index, const char* text);
	LibString& Formatted(const char* format, ...) __attribute__((format(printf, 2, 3)));

	// Comparison and tests.
	int32 Compare(const char* text, const bool& ignoreCase = false) const;
	int32 Compare(const LibString& text, const bool& ignoreCase = false) const;
	int32 CompareSub(const char* text, const bool& ignoreCase = false, const int32& length = -1,
		const int32& start = 0) const;
	int32 CompareSub(const LibString& text, const bool& ignoreCase = false,
		const int32& length = -1, const int32& start = 0) const;
	bool operator==(const char* text) const;
	bool operator!=(const char* text) const;
	bool operator<(const char* text) const;
	bool operator>(const char* text) const;
	bool operator<=(const char* text) const;
	bool operator>=(const char* text) const;
	bool operator==(const LibString& text) const;
	bool operator!=(const LibString& text) const;
	bool operator<(const LibString& text) const;
	bool operator>(const LibString& text) const;
	bool operator<=(const LibString& text) const;
	bool operator>=(const LibString& text) const;
	bool BeginsWith(const char* prefix, const bool& ignoreCase = false) const;
	bool EndsWith(const char* suffix, const bool& ignoreCase = false) const;
	bool Contain(const char& c) const;
	bool Contain(const char* text, const bool& ignoreCase = false) const;
	bool Contain(const LibString& text, const bool& ignoreCase = false) const;
	bool IsBlank() const;
	bool IsNumeric() const;
	bool IsWildCard(const char* pattern) const;
	bool IsWildCard(const LibString& pattern) const;
	static bool CompareWildCard(const char* subject, const char* pattern);

	// Searching and words. Word numbers count from 1.
	int32 Index(const char& c) const;
	int32 Index(const char* text) const;
	int32 Index(const LibString& text) const;
	int32 IndexOfAny(const char* set) const;
	int32 Count(const char& c) const;
	int32 Words() const;
	bool Word(const int32& number, LibString& word) const;

	// Cutting. Occurrence numbers count from 0.
	void FromIndex(const int32& index);
	void ToIndex(const int32& index);
	bool FromChar(const char& c, const int32& number = 0, const int& offset = 0);
	bool ToChar(const char& c, const int32& number = 0, const int& offset = 0);
	void FromLast(const char& c, const int32& offset);
	void ToLast(const char& c, const int32& offset);
	LibString Extract(const int32& start, const int32& end) const;
	LibString Extract(const char& open, const char& close, const bool& stripDelimiters) const;
	void Remove(const int32& start, const int32& end);
	void RemoveChar(const int32& index);
	void ShiftFrom(const int32& to, const int32& from);
	bool RemoveWord(const char* word);
	void RemoveAllWords(const char* word);
	// Shortens the text with "..." until its width in the font is below maxWidth; kept
	// gets the width of what was kept. Returns the number of characters removed (the
	// length when nothing had to go). Needs the interface kit: it is defined in the
	// library's interface part (UtilitiesInterface).
	int32 Truncate(const BFont& font, const int& maxWidth, BRect& kept);

	// Editing in place.
	int32 Replace(const char* text, const char* with);
	void ReplaceAll(const char* text, const char* with);
	void ReplaceAll(const char& from, const char& to);
	void SwapChar(const char& from, const char& to);
	void Replace(const int32& index, const char& c);
	void RemoveRepeatingChar(const char& c);
	void StripPunct();
	void StripTrailingChar(const char& c);
	void StripTrailingSpaces();
	void StripLeadingSpaces();
	void StripAllSpaces();
	void ToLowerCase();
	void ToUpperCase();
	void ToProperCase();

	// Numbers. The getters set their output to 0 first and fail only when the
	// text is not a plain decimal number.
	bool GetInt8(int8& value) const;
	bool GetUint8(uint8& value) const;
	bool GetInt16(int16& value) const;
	bool GetUint16(uint16& value) const;
	bool GetInt32(int32& value) const;
	bool GetUint32(uint32& value) const;
	bool GetFloat64(double& value) const;
	bool GetFloat32(float& value) const;
	void SetFloat64(const double& value, const int& precision);
	void SetFloat32(const float& value, const int& precision);
	static int HexValue(const char& c);
	uint8 GetHex() const;
	void SetHex(const uint8& value);

private:
	bool _GetNumber(int32& value) const;
	void _Assign(const char* text, int32 length, int32 bufferSize);
	void _Reserve(int32 length);
	void _SetText(const char* text, int32 length);
	void _Truncate(int32 length);
	void _Splice(int32 start, int32 removed, const char* text, int32 length);

	char* fText;
	int32 fBufferSize;
};

#endif // LIB_STRING_H

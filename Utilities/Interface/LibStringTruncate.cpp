// LibString::Truncate: the one string operation that measures text, so it lives in the
// library's interface part, next to the fonts it needs.
#include "LibString.h"

#include <Font.h>
#include <Rect.h>

#include <string>

namespace {

// Widths are whole pixels: the fraction is dropped.
int32
text_width(const BFont& font, const char* text, int32 length)
{
	return (int32)font.StringWidth(text, length);
}

// The largest count of bytes, at most count, that does not end inside a UTF-8 character.
int32
character_boundary(const std::string& text, int32 count)
{
	while (count > 0 && count < (int32)text.size() && ((uchar)text[count] & 0xC0) == 0x80)
		count--;
	return count;
}

} // namespace

int32
LibString::Truncate(const BFont& font, const int& maxWidth, BRect& kept)
{
	int32 length = Length();
	if (length == 0 || text_width(font, fText, length) < maxWidth)
		return length;

	// Each step rebuilds the text from the unshortened copy: fewer characters, then the
	// three full stops. A cut never falls inside a multi-byte character, which would
	// show as a broken glyph; for plain ASCII that changes nothing.
	std::string copy(fText, (size_t)length);
	int32 lowest = length == 1 ? 0 : 1;
	int32 count = length - 1;
	while (true) {
		count = character_boundary(copy, count);
		std::string candidate = copy.substr(0, (size_t)count) + "...";
		_SetText(candidate.c_str(), (int32)candidate.size());
		if (text_width(font, fText, Length()) < maxWidth || count <= lowest)
			break;
		count--;
	}

	kept.left = 0;
	kept.right = count > 0 ? (float)text_width(font, copy.c_str(), count) : 0;
	return length - count;
}

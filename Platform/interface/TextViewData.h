// The state of a BTextView shared by its editing and its layout halves: the text, its
// style runs, the selection and the wrapped lines.
#ifndef _TEXT_VIEW_DATA_H
#define _TEXT_VIEW_DATA_H

#include <TextView.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace BPrivate {

struct TextRun {
	int32 offset;
	BFont font;
	rgb_color color;
};

struct TextLine {
	int32 start;
	// Past the line's last byte, without the newline that ends it.
	int32 end;
	float top;
	float height;
	float ascent;
};

inline bool
is_continuation_byte(char byte)
{
	return ((uchar)byte & 0xC0) == 0x80;
}

inline bool
same_color(rgb_color a, rgb_color b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

inline bool
same_font(const BFont& a, const BFont& b)
{
	return a == b;
}

// Takes over the parts of source named by mode.
inline void
apply_font(BFont* target, const BFont& source, uint32 mode)
{
	if ((mode & B_FONT_ALL) == B_FONT_ALL) {
		*target = source;
		return;
	}
	if ((mode & B_FONT_FAMILY_AND_STYLE) != 0) {
		font_family family;
		font_style style;
		source.GetFamilyAndStyle(&family, &style);
		target->SetFamilyAndStyle(family, style);
	}
	if ((mode & B_FONT_SIZE) != 0)
		target->SetSize(source.Size());
	if ((mode & B_FONT_SHEAR) != 0)
		target->SetShear(source.Shear());
	if ((mode & B_FONT_ROTATION) != 0)
		target->SetRotation(source.Rotation());
	if ((mode & B_FONT_SPACING) != 0)
		target->SetSpacing(source.Spacing());
	if ((mode & B_FONT_ENCODING) != 0)
		target->SetEncoding(source.Encoding());
	if ((mode & B_FONT_FACE) != 0)
		target->SetFace(source.Face());
	if ((mode & B_FONT_FLAGS) != 0)
		target->SetFlags(source.Flags());
}

} // namespace BPrivate

struct BTextView::Data {
	std::string text;
	// Sorted by offset; the first starts at 0 and there is always one.
	std::vector<BPrivate::TextRun> runs;
	BRect textRect;
	alignment align;
	bool editable;
	bool selectable;
	bool stylable;
	bool wordWrap;
	int32 maxBytes;
	int32 selStart;
	int32 selEnd;
	// The end of the selection that moves with shift-arrows and drags.
	int32 anchor;
	bool tracking;

	// The wrapped lines, rebuilt when anything changes.
	mutable bool layoutValid;
	mutable std::vector<BPrivate::TextLine> lines;

	size_t RunIndexAt(int32 offset) const
	{
		size_t index = 0;
		while (index + 1 < runs.size() && runs[index + 1].offset <= offset)
			index++;
		return index;
	}

	int32 RunEnd(size_t index) const
	{
		return index + 1 < runs.size() ? runs[index + 1].offset : (int32)text.size();
	}

	// The width of the bytes from start up to end, each run measured in its font.
	float Width(int32 start, int32 end) const
	{
		float width = 0;
		for (size_t index = RunIndexAt(start); index < runs.size() && start < end; index++) {
			int32 segmentEnd = std::min(end, RunEnd(index));
			width += runs[index].font.StringWidth(text.c_str() + start, segmentEnd - start);
			start = segmentEnd;
		}
		return width;
	}

	// Splits the run holding offset so that a run starts there.
	void SplitAt(int32 offset)
	{
		size_t index = RunIndexAt(offset);
		if (runs[index].offset == offset)
			return;
		BPrivate::TextRun copy = runs[index];
		copy.offset = offset;
		runs.insert(runs.begin() + (ptrdiff_t)index + 1, copy);
	}

	// Drops runs that start past the text or repeat their predecessor's style.
	void Normalize()
	{
		std::vector<BPrivate::TextRun> kept;
		for (const BPrivate::TextRun& run : runs) {
			if (!kept.empty() && run.offset >= (int32)text.size())
				break;
			if (!kept.empty() && kept.back().offset == run.offset) {
				kept.back() = run;
				continue;
			}
			if (!kept.empty() && BPrivate::same_font(kept.back().font, run.font)
				&& BPrivate::same_color(kept.back().color, run.color)) {
				continue;
			}
			kept.push_back(run);
		}
		kept.front().offset = 0;
		// Equal neighbours can meet once a run in between went.
		runs.clear();
		for (const BPrivate::TextRun& run : kept) {
			if (!runs.empty() && BPrivate::same_font(runs.back().font, run.font)
				&& BPrivate::same_color(runs.back().color, run.color)) {
				continue;
			}
			runs.push_back(run);
		}
	}
};

#endif // _TEXT_VIEW_DATA_H

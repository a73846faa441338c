#include <TextView.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

struct BTextView::Data {
	std::string text;
	BRect textRect;
	rgb_color color;
	alignment align;
	bool editable;
	bool selectable;
	bool stylable;
	bool wordWrap;

	// The wrapped lines (byte ranges of the text), rebuilt when anything changes.
	mutable bool layoutValid;
	mutable std::vector<std::pair<size_t, size_t>> lines;
};

BTextView::BTextView(
	BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
	_Init(textRect, NULL, NULL);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	const rgb_color* initialColor, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
	_Init(textRect, initialFont, initialColor);
}

void
BTextView::_Init(BRect textRect, const BFont* font, const rgb_color* color)
{
	fData = std::make_unique<Data>();
	fData->textRect = textRect;
	fData->color = color != NULL ? *color : make_color(0, 0, 0);
	fData->align = B_ALIGN_LEFT;
	fData->editable = true;
	fData->selectable = true;
	fData->stylable = false;
	fData->wordWrap = true;
	fData->layoutValid = false;
	SetFont(font != NULL ? font : be_plain_font);
	SetHighColor(fData->color);
}

BTextView::~BTextView() { }

void
BTextView::Draw(BRect)
{
	_Layout();
	font_height height;
	GetFontHeight(&height);
	float lineHeight = LineHeight();
	float y = fData->textRect.top + ceilf(height.ascent);
	SetHighColor(fData->color);
	SetLowColor(ViewColor());
	for (const auto& [start, end] : fData->lines) {
		const char* line = fData->text.c_str() + start;
		int32 length = (int32)(end - start);
		float width = StringWidth(line, length);
		float x = fData->textRect.left;
		if (fData->align == B_ALIGN_CENTER)
			x += floorf((fData->textRect.Width() - width) / 2);
		else if (fData->align == B_ALIGN_RIGHT)
			x = fData->textRect.right - width;
		DrawString(line, length, BPoint(x, y));
		y += lineHeight;
	}
}

void
BTextView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
}

void
BTextView::SetText(const char* text)
{
	SetText(text, text != NULL ? (int32)strlen(text) : 0);
}

void
BTextView::SetText(const char* text, int32 length)
{
	fData->text.assign(text != NULL ? text : "", text != NULL ? (size_t)std::max(0, length) : 0);
	fData->layoutValid = false;
	Invalidate();
}

const char*
BTextView::Text() const
{
	return fData->text.c_str();
}

int32
BTextView::TextLength() const
{
	return (int32)fData->text.size();
}

void
BTextView::SetTextRect(BRect rect)
{
	fData->textRect = rect;
	fData->layoutValid = false;
	Invalidate();
}

BRect
BTextView::TextRect() const
{
	return fData->textRect;
}

void
BTextView::MakeEditable(bool editable)
{
	fData->editable = editable;
}

bool
BTextView::IsEditable() const
{
	return fData->editable;
}

void
BTextView::MakeSelectable(bool selectable)
{
	fData->selectable = selectable;
}

bool
BTextView::IsSelectable() const
{
	return fData->selectable;
}

void
BTextView::SetStylable(bool stylable)
{
	fData->stylable = stylable;
}

bool
BTextView::IsStylable() const
{
	return fData->stylable;
}

void
BTextView::SetWordWrap(bool wrap)
{
	fData->wordWrap = wrap;
	fData->layoutValid = false;
	Invalidate();
}

bool
BTextView::DoesWordWrap() const
{
	return fData->wordWrap;
}

void
BTextView::SetAlignment(alignment flag)
{
	fData->align = flag;
	Invalidate();
}

alignment
BTextView::Alignment() const
{
	return fData->align;
}

void
BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	if (font != NULL)
		SetFont(font, mode);
	if (color != NULL) {
		fData->color = *color;
		SetHighColor(*color);
	}
	fData->layoutValid = false;
	Invalidate();
}

void
BTextView::GetFontAndColor(
	BFont* font, uint32* sameProperties, rgb_color* color, bool* sameColor) const
{
	if (font != NULL)
		GetFont(font);
	if (sameProperties != NULL)
		*sameProperties = B_FONT_ALL;
	if (color != NULL)
		*color = fData->color;
	if (sameColor != NULL)
		*sameColor = true;
}

int32
BTextView::CountLines() const
{
	_Layout();
	return std::max<int32>(1, (int32)fData->lines.size());
}

float
BTextView::LineHeight(int32) const
{
	font_height height;
	GetFontHeight(&height);
	return ceilf(height.ascent + height.descent + height.leading);
}

float
BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	int32 count = CountLines();
	startLine = std::clamp<int32>(startLine, 0, count - 1);
	endLine = std::clamp<int32>(endLine, startLine, count - 1);
	return LineHeight() * (float)(endLine - startLine + 1);
}

void
BTextView::_Layout() const
{
	if (fData->layoutValid)
		return;
	fData->layoutValid = true;
	fData->lines.clear();
	const std::string& text = fData->text;
	float limit = fData->textRect.Width();

	size_t start = 0;
	while (start <= text.size()) {
		size_t newline = text.find('\n', start);
		size_t paragraphEnd = newline == std::string::npos ? text.size() : newline;
		// Fill the line word by word; a word longer than the line gets a line of its own.
		size_t lineStart = start;
		while (true) {
			if (!fData->wordWrap
				|| StringWidth(text.c_str() + lineStart, (int32)(paragraphEnd - lineStart))
					<= limit) {
				fData->lines.emplace_back(lineStart, paragraphEnd);
				break;
			}
			size_t breakAt = lineStart;
			size_t scan = lineStart;
			while (scan < paragraphEnd) {
				size_t space = text.find(' ', scan);
				size_t wordEnd =
					space == std::string::npos || space > paragraphEnd ? paragraphEnd : space;
				if (StringWidth(text.c_str() + lineStart, (int32)(wordEnd - lineStart)) > limit)
					break;
				breakAt = wordEnd;
				scan = wordEnd + 1;
			}
			if (breakAt == lineStart) {
				size_t space = text.find(' ', lineStart);
				breakAt = space == std::string::npos || space > paragraphEnd ? paragraphEnd : space;
			}
			fData->lines.emplace_back(lineStart, breakAt);
			lineStart = breakAt;
			while (lineStart < paragraphEnd && text[lineStart] == ' ')
				lineStart++;
			if (lineStart >= paragraphEnd)
				break;
		}
		if (newline == std::string::npos)
			break;
		start = newline + 1;
	}
}

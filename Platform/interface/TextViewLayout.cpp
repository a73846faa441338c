#include "TextViewData.h"

#include <ScrollBar.h>

#include <algorithm>
#include <cmath>

using namespace BPrivate;

int32
BTextView::CountLines() const
{
	_Layout();
	return (int32)fData->lines.size();
}

int32
BTextView::CurrentLine() const
{
	return LineAt(fData->selStart);
}

void
BTextView::GoToLine(int32 lineNumber)
{
	int32 offset = OffsetAt(std::clamp<int32>(lineNumber, 0, CountLines() - 1));
	fData->anchor = offset;
	Select(offset, offset);
	ScrollToOffset(offset);
}

int32
BTextView::LineAt(int32 offset) const
{
	_Layout();
	offset = std::clamp<int32>(offset, 0, TextLength());
	int32 line = 0;
	while (line + 1 < (int32)fData->lines.size() && fData->lines[(size_t)line + 1].start <= offset)
		line++;
	return line;
}

int32
BTextView::LineAt(BPoint point) const
{
	_Layout();
	int32 line = 0;
	while (line + 1 < (int32)fData->lines.size() && fData->lines[(size_t)line + 1].top <= point.y)
		line++;
	return line;
}

int32
BTextView::OffsetAt(int32 line) const
{
	_Layout();
	if (line < 0)
		return 0;
	if (line >= (int32)fData->lines.size())
		return TextLength();
	return fData->lines[(size_t)line].start;
}

int32
BTextView::OffsetAt(BPoint point) const
{
	const TextLine& line = fData->lines[(size_t)LineAt(point)];
	if (point.y >= line.top + line.height && &line == &fData->lines.back())
		return TextLength();
	float x = PointAt(line.start).x;
	// The nearest gap between characters.
	int32 offset = line.start;
	while (offset < line.end) {
		int32 next = offset + 1;
		while (next < line.end && is_continuation_byte(fData->text[(size_t)next]))
			next++;
		float width = fData->Width(offset, next);
		if (point.x < x + width / 2)
			return offset;
		x += width;
		offset = next;
	}
	return line.end;
}

BPoint
BTextView::PointAt(int32 offset, float* height) const
{
	_Layout();
	const TextLine& line = fData->lines[(size_t)LineAt(offset)];
	float lineWidth = fData->Width(line.start, line.end);
	float x = fData->textRect.left;
	if (fData->align == B_ALIGN_CENTER)
		x += floorf((fData->textRect.Width() - lineWidth) / 2);
	else if (fData->align == B_ALIGN_RIGHT)
		x = fData->textRect.right - lineWidth;
	if (height != NULL)
		*height = line.height;
	offset = std::clamp<int32>(offset, line.start, line.end);
	return BPoint(x + fData->Width(line.start, offset), line.top);
}

float
BTextView::LineWidth(int32 lineNumber) const
{
	_Layout();
	if (lineNumber < 0 || lineNumber >= (int32)fData->lines.size())
		return 0;
	const TextLine& line = fData->lines[(size_t)lineNumber];
	return fData->Width(line.start, line.end);
}

float
BTextView::LineHeight(int32 lineNumber) const
{
	_Layout();
	lineNumber = std::clamp<int32>(lineNumber, 0, (int32)fData->lines.size() - 1);
	return fData->lines[(size_t)lineNumber].height;
}

float
BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	int32 count = CountLines();
	startLine = std::clamp<int32>(startLine, 0, count - 1);
	endLine = std::clamp<int32>(endLine, startLine, count - 1);
	const TextLine& last = fData->lines[(size_t)endLine];
	return last.top + last.height - fData->lines[(size_t)startLine].top;
}

void
BTextView::ScrollToOffset(int32 offset)
{
	float height = 0;
	BPoint point = PointAt(offset, &height);
	BRect bounds = Bounds();
	BPoint target = bounds.LeftTop();
	if (point.y < bounds.top)
		target.y = point.y;
	else if (point.y + height - 1 > bounds.bottom)
		target.y = point.y + height - 1 - bounds.Height();
	if (point.x < bounds.left)
		target.x = std::max(0.0f, point.x - 10);
	else if (point.x > bounds.right)
		target.x = point.x - bounds.Width() + 10;
	if (target == bounds.LeftTop())
		return;
	ScrollTo(target);
	if (BScrollBar* bar = BScrollBar::Of(this, B_VERTICAL))
		bar->SetValue(target.y);
	if (BScrollBar* bar = BScrollBar::Of(this, B_HORIZONTAL))
		bar->SetValue(target.x);
}

void
BTextView::ScrollToSelection()
{
	ScrollToOffset(fData->selStart);
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
	auto add_line = [&](size_t start, size_t end) {
		TextLine line;
		line.start = (int32)start;
		line.end = (int32)end;
		line.top = fData->lines.empty() ? fData->textRect.top
										: fData->lines.back().top + fData->lines.back().height;
		// The tallest run on the line sets its height; an empty line takes the style
		// of the text before it.
		float ascent = 0;
		float below = 0;
		size_t index = fData->RunIndexAt(line.start);
		do {
			font_height height;
			fData->runs[index].font.GetHeight(&height);
			ascent = std::max(ascent, height.ascent);
			below = std::max(below, height.descent + height.leading);
			index++;
		} while (index < fData->runs.size() && fData->runs[index].offset < line.end);
		line.ascent = ceilf(ascent);
		line.height = ceilf(ascent + below);
		fData->lines.push_back(line);
	};

	size_t start = 0;
	while (true) {
		size_t newline = text.find('\n', start);
		size_t paragraphEnd = newline == std::string::npos ? text.size() : newline;
		// Fill the line word by word; a word longer than the line gets a line of its own.
		size_t lineStart = start;
		while (true) {
			if (!fData->wordWrap || fData->Width((int32)lineStart, (int32)paragraphEnd) <= limit) {
				add_line(lineStart, paragraphEnd);
				break;
			}
			size_t breakAt = lineStart;
			size_t scan = lineStart;
			while (scan < paragraphEnd) {
				size_t space = text.find(' ', scan);
				size_t wordEnd =
					space == std::string::npos || space > paragraphEnd ? paragraphEnd : space;
				if (fData->Width((int32)lineStart, (int32)wordEnd) > limit)
					break;
				breakAt = wordEnd;
				scan = wordEnd + 1;
			}
			if (breakAt == lineStart) {
				size_t space = text.find(' ', lineStart);
				breakAt = space == std::string::npos || space > paragraphEnd ? paragraphEnd : space;
			}
			// The spaces at the break belong to the line they end.
			size_t nextStart = breakAt;
			while (nextStart < paragraphEnd && text[nextStart] == ' ')
				nextStart++;
			if (nextStart >= paragraphEnd) {
				add_line(lineStart, paragraphEnd);
				break;
			}
			add_line(lineStart, breakAt);
			fData->lines.back().end = (int32)breakAt;
			lineStart = nextStart;
		}
		if (newline == std::string::npos)
			break;
		start = newline + 1;
	}
}

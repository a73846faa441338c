#include <TextView.h>

#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "TextViewData.h"

using namespace BPrivate;

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
	fData->align = B_ALIGN_LEFT;
	fData->editable = true;
	fData->selectable = true;
	fData->stylable = false;
	fData->wordWrap = true;
	fData->maxBytes = INT32_MAX;
	fData->selStart = 0;
	fData->selEnd = 0;
	fData->anchor = 0;
	fData->tracking = false;
	fData->layoutValid = false;
	SetFont(font != NULL ? font : be_plain_font);
	TextRun run;
	run.offset = 0;
	GetFont(&run.font);
	run.color = color != NULL ? *color : make_color(0, 0, 0);
	fData->runs.push_back(run);
	SetHighColor(run.color);
}

BTextView::~BTextView() { }

void
BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	_FixupScrollBar();
}

void
BTextView::_Changed()
{
	fData->layoutValid = false;
	_FixupScrollBar();
	Invalidate();
}

void
BTextView::_FixupScrollBar()
{
	BScrollBar* bar = BScrollBar::Of(this, B_VERTICAL);
	if (bar == NULL)
		return;
	float visible = Bounds().Height() + 1;
	float total = fData->textRect.top + TextHeight(0, CountLines() - 1) + 1;
	bar->SetRange(0, std::max(0.0f, total - visible));
	bar->SetProportion(total > 0 ? std::min(1.0f, visible / total) : 1);
	float line = LineHeight(0);
	bar->SetSteps(line, std::max(line, visible - line));
}

void
BTextView::Draw(BRect updateRect)
{
	_Layout();
	PushState();
	SetLowColor(ViewColor());
	bool showSelection = fData->selectable && fData->selStart != fData->selEnd;
	rgb_color highlight = tint_color(ViewColor(), B_HIGHLIGHT_BACKGROUND_TINT);
	for (size_t number = 0; number < fData->lines.size(); number++) {
		const TextLine& line = fData->lines[number];
		if (line.top + line.height < updateRect.top)
			continue;
		if (line.top > updateRect.bottom)
			break;
		BPoint start = PointAt(line.start);
		if (showSelection && fData->selStart <= line.end + 1 && fData->selEnd > line.start) {
			int32 from = std::max(fData->selStart, line.start);
			int32 to = std::min(fData->selEnd, line.end);
			float left = start.x + fData->Width(line.start, from);
			float right = start.x + fData->Width(line.start, to);
			// A selected newline shows as a little space at the line's end.
			if (fData->selEnd > line.end && line.end < TextLength())
				right += 4;
			SetHighColor(highlight);
			FillRect(BRect(left, line.top, right - 1, line.top + line.height - 1));
		}
		float x = start.x;
		float baseline = line.top + line.ascent;
		int32 offset = line.start;
		while (offset < line.end) {
			size_t index = fData->RunIndexAt(offset);
			int32 segmentEnd = std::min(line.end, fData->RunEnd(index));
			const TextRun& run = fData->runs[index];
			SetFont(&run.font);
			SetHighColor(run.color);
			bool selected = showSelection && offset >= fData->selStart && offset < fData->selEnd;
			SetLowColor(selected ? highlight : ViewColor());
			DrawString(fData->text.c_str() + offset, segmentEnd - offset, BPoint(x, baseline));
			x += run.font.StringWidth(fData->text.c_str() + offset, segmentEnd - offset);
			offset = segmentEnd;
		}
	}
	if (IsFocus() && fData->editable && fData->selStart == fData->selEnd) {
		float height = 0;
		BPoint caret = PointAt(fData->selStart, &height);
		SetHighColor(fData->runs[fData->RunIndexAt(fData->selStart)].color);
		StrokeLine(caret, BPoint(caret.x, caret.y + height - 1));
	}
	PopState();
}

void
BTextView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	_FixupScrollBar();
}

void
BTextView::MouseDown(BPoint where)
{
	if (!fData->selectable && !fData->editable) {
		BView::MouseDown(where);
		return;
	}
	if (!IsFocus())
		MakeFocus(true);
	int32 modifierKeys = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("modifiers", &modifierKeys);
	_MoveCaret(OffsetAt(where), (modifierKeys & B_SHIFT_KEY) != 0);
	fData->tracking = true;
	SetMouseEventMask(B_POINTER_EVENTS);
}

void
BTextView::MouseUp(BPoint)
{
	fData->tracking = false;
}

void
BTextView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (fData->tracking)
		_MoveCaret(OffsetAt(where), true);
	else
		BView::MouseMoved(where, transit, dragMessage);
}

void
BTextView::_MoveCaret(int32 offset, bool extend)
{
	offset = std::clamp<int32>(offset, 0, TextLength());
	if (!extend) {
		fData->anchor = offset;
		Select(offset, offset);
	} else
		Select(std::min(fData->anchor, offset), std::max(fData->anchor, offset));
	ScrollToOffset(offset);
}

void
BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes < 1) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	int32 modifierKeys = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("modifiers", &modifierKeys);
	bool extend = (modifierKeys & B_SHIFT_KEY) != 0;
	// The moving end of the selection: the one away from the anchor.
	int32 caret = fData->selStart == fData->anchor ? fData->selEnd : fData->selStart;
	const std::string& text = fData->text;
	auto previous = [&](int32 offset) {
		while (offset > 0 && is_continuation_byte(text[(size_t)--offset])) { }
		return std::max<int32>(0, offset);
	};
	auto next = [&](int32 offset) {
		while (offset < TextLength() && is_continuation_byte(text[(size_t)++offset])) { }
		return std::min<int32>(TextLength(), offset);
	};

	if ((modifierKeys & B_COMMAND_KEY) != 0) {
		if (bytes[0] == 'a' && fData->selectable)
			SelectAll();
		else
			BView::KeyDown(bytes, numBytes);
		return;
	}

	bool navigation = fData->selectable || fData->editable;
	switch (bytes[0]) {
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW:
			if (!navigation)
				break;
			if (!extend && fData->selStart != fData->selEnd)
				_MoveCaret(bytes[0] == B_LEFT_ARROW ? fData->selStart : fData->selEnd, false);
			else
				_MoveCaret(bytes[0] == B_LEFT_ARROW ? previous(caret) : next(caret), extend);
			return;
		case B_UP_ARROW:
		case B_DOWN_ARROW: {
			if (!navigation)
				break;
			int32 line = LineAt(caret) + (bytes[0] == B_UP_ARROW ? -1 : 1);
			float height = 0;
			BPoint point = PointAt(caret, &height);
			if (line < 0)
				_MoveCaret(0, extend);
			else if (line >= CountLines())
				_MoveCaret(TextLength(), extend);
			else {
				point.y = fData->lines[(size_t)line].top + 1;
				_MoveCaret(OffsetAt(point), extend);
			}
			return;
		}
		case B_HOME:
			if (navigation)
				_MoveCaret(OffsetAt(LineAt(caret)), extend);
			return;
		case B_END: {
			if (!navigation)
				break;
			_Layout();
			_MoveCaret(fData->lines[(size_t)LineAt(caret)].end, extend);
			return;
		}
		default:
			break;
	}

	// Everything else edits; a view that cannot be edited passes the keys on.
	if (!fData->editable || bytes[0] == B_ESCAPE || bytes[0] == B_FUNCTION_KEY
		|| bytes[0] == B_PAGE_UP || bytes[0] == B_PAGE_DOWN || bytes[0] == B_INSERT) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	if (bytes[0] == B_BACKSPACE || bytes[0] == B_DELETE) {
		int32 start = fData->selStart;
		int32 end = fData->selEnd;
		if (start == end) {
			if (bytes[0] == B_BACKSPACE)
				start = previous(start);
			else
				end = next(end);
		}
		if (start != end) {
			Delete(start, end);
			fData->anchor = start;
			Select(start, start);
		}
		ScrollToSelection();
		return;
	}
	if ((uchar)bytes[0] < B_SPACE && bytes[0] != B_RETURN && bytes[0] != B_TAB) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	int32 start = fData->selStart;
	if (fData->selStart != fData->selEnd)
		Delete(fData->selStart, fData->selEnd);
	int32 before = TextLength();
	Insert(start, bytes, numBytes);
	int32 caretAfter = start + (TextLength() - before);
	fData->anchor = caretAfter;
	Select(caretAfter, caretAfter);
	ScrollToSelection();
}

void
BTextView::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	if (BScrollView* scroller = dynamic_cast<BScrollView*>(Parent()))
		scroller->SetBorderHighlighted(focus);
	Invalidate();
}

bool
BTextView::AcceptsDrop(const BMessage* message)
{
	const void* data = NULL;
	ssize_t size = 0;
	return fData->editable && message->FindData("text/plain", B_MIME_TYPE, &data, &size) == B_OK;
}

void
BTextView::MessageReceived(BMessage* message)
{
	if (message->WasDropped() && AcceptsDrop(message)) {
		const void* data = NULL;
		ssize_t size = 0;
		message->FindData("text/plain", B_MIME_TYPE, &data, &size);
		int32 offset = OffsetAt(ConvertFromScreen(message->DropPoint()));
		Insert(offset, (const char*)data, (int32)size);
		fData->anchor = offset;
		Select(offset, offset + (int32)size);
		return;
	}
	BView::MessageReceived(message);
}

void
BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != NULL ? (int32)strlen(text) : 0, runs);
}

void
BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	// The new text starts in the style the old one started with.
	TextRun first = fData->runs.front();
	if (!fData->text.empty())
		DeleteText(0, TextLength());
	fData->runs.assign(1, first);
	fData->selStart = fData->selEnd = fData->anchor = 0;
	if (text != NULL && length > 0)
		InsertText(text, (int32)strnlen(text, (size_t)length), 0, runs);
	_Changed();
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
BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == NULL)
		return;
	offset = std::clamp<int32>(offset, 0, TextLength());
	length = std::clamp<int32>(length, 0, TextLength() - offset);
	memcpy(buffer, fData->text.data() + offset, (size_t)length);
	buffer[length] = '\0';
}

char
BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return '\0';
	return fData->text[(size_t)offset];
}

void
BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(fData->selStart, text, text != NULL ? (int32)strlen(text) : 0, runs);
}

void
BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fData->selStart, text, length, runs);
}

void
BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	if (text == NULL || length <= 0)
		return;
	int32 available = (int32)strnlen(text, (size_t)length);
	length = std::min(available, std::max(0, fData->maxBytes - TextLength()));
	// A cut must not split a character.
	while (length > 0 && length < available && is_continuation_byte(text[length]))
		length--;
	if (length <= 0)
		return;
	offset = std::clamp<int32>(offset, 0, TextLength());
	InsertText(text, length, offset, runs);
	_Changed();
}

void
BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	fData->text.insert((size_t)offset, text, (size_t)length);
	// Runs after the insertion move along; the inserted bytes join the run before them.
	for (size_t index = 0; index < fData->runs.size(); index++) {
		TextRun& run = fData->runs[index];
		if (run.offset > offset || (run.offset == offset && offset > 0 && index > 0))
			run.offset += length;
	}
	if (runs != NULL && runs->count > 0 && fData->stylable) {
		fData->SplitAt(offset);
		if (offset + length < TextLength())
			fData->SplitAt(offset + length);
		SetRunArray(offset, offset + length, runs);
	} else if (runs != NULL && runs->count > 0) {
		// A view with one style takes the first run's for all of its text.
		TextRun& only = fData->runs.front();
		only.font = runs->runs[0].font;
		only.color = runs->runs[0].color;
		fData->runs.resize(1);
	}
	// The selection keeps covering the same text.
	if (fData->selStart >= offset && !(fData->selStart == offset && fData->selEnd == offset))
		fData->selStart += length;
	if (fData->selEnd >= offset && !(fData->selStart == offset && fData->selEnd == offset))
		fData->selEnd += length;
	if (fData->anchor > offset)
		fData->anchor += length;
}

void
BTextView::Delete()
{
	Delete(fData->selStart, fData->selEnd);
}

void
BTextView::Delete(int32 start, int32 finish)
{
	start = std::clamp<int32>(start, 0, TextLength());
	finish = std::clamp<int32>(finish, start, TextLength());
	if (start == finish)
		return;
	DeleteText(start, finish);
	_Changed();
}

void
BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	int32 length = toOffset - fromOffset;
	fData->text.erase((size_t)fromOffset, (size_t)length);
	for (TextRun& run : fData->runs) {
		if (run.offset >= toOffset)
			run.offset -= length;
		else if (run.offset > fromOffset)
			run.offset = fromOffset;
	}
	fData->Normalize();
	auto adjust = [&](int32& offset) {
		if (offset >= toOffset)
			offset -= length;
		else if (offset > fromOffset)
			offset = fromOffset;
	};
	adjust(fData->selStart);
	adjust(fData->selEnd);
	adjust(fData->anchor);
}

void
BTextView::Select(int32 start, int32 finish)
{
	start = std::clamp<int32>(start, 0, TextLength());
	finish = std::clamp<int32>(finish, start, TextLength());
	if (start == fData->selStart && finish == fData->selEnd)
		return;
	if (fData->anchor != start && fData->anchor != finish)
		fData->anchor = start;
	fData->selStart = start;
	fData->selEnd = finish;
	Invalidate();
}

void
BTextView::SelectAll()
{
	fData->anchor = 0;
	Select(0, TextLength());
}

void
BTextView::GetSelection(int32* start, int32* finish) const
{
	if (start != NULL)
		*start = fData->selStart;
	if (finish != NULL)
		*finish = fData->selEnd;
}

void
BTextView::SetTextRect(BRect rect)
{
	fData->textRect = rect;
	_Changed();
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
	Invalidate();
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
	Invalidate();
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
	_Changed();
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
BTextView::SetMaxBytes(int32 max)
{
	fData->maxBytes = std::max(0, max);
	if (TextLength() > fData->maxBytes) {
		int32 cut = fData->maxBytes;
		while (cut > 0 && is_continuation_byte(fData->text[(size_t)cut]))
			cut--;
		Delete(cut, TextLength());
	}
}

int32
BTextView::MaxBytes() const
{
	return fData->maxBytes;
}

void
BTextView::_StyleRange(
	int32 start, int32 finish, const BFont* font, uint32 mode, const rgb_color* color)
{
	if (start >= finish)
		return;
	fData->SplitAt(start);
	if (finish < TextLength())
		fData->SplitAt(finish);
	for (TextRun& run : fData->runs) {
		if (run.offset < start || run.offset >= finish)
			continue;
		if (font != NULL)
			apply_font(&run.font, *font, mode);
		if (color != NULL)
			run.color = *color;
	}
	fData->Normalize();
}

void
BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	if (fData->stylable && fData->selStart != fData->selEnd) {
		SetFontAndColor(fData->selStart, fData->selEnd, font, mode, color);
		return;
	}
	// All the text, and the view's own font and colour with it (new text starts there).
	if (font != NULL)
		SetFont(font, mode);
	if (color != NULL)
		SetHighColor(*color);
	for (TextRun& run : fData->runs) {
		if (font != NULL)
			apply_font(&run.font, *font, mode);
		if (color != NULL)
			run.color = *color;
	}
	fData->Normalize();
	_Changed();
}

void
BTextView::SetFontAndColor(
	int32 start, int32 finish, const BFont* font, uint32 mode, const rgb_color* color)
{
	start = std::clamp<int32>(start, 0, TextLength());
	finish = std::clamp<int32>(finish, start, TextLength());
	if (!fData->stylable) {
		SetFontAndColor(font, mode, color);
		return;
	}
	_StyleRange(start, finish, font, mode, color);
	_Changed();
}

void
BTextView::GetFontAndColor(
	BFont* font, uint32* sameProperties, rgb_color* color, bool* sameColor) const
{
	size_t first = fData->RunIndexAt(fData->selStart);
	const TextRun& run = fData->runs[first];
	if (font != NULL)
		*font = run.font;
	if (color != NULL)
		*color = run.color;
	bool fontsAgree = true;
	bool colorsAgree = true;
	for (size_t index = first + 1;
		 index < fData->runs.size() && fData->runs[index].offset < fData->selEnd; index++) {
		fontsAgree &= same_font(fData->runs[index].font, run.font);
		colorsAgree &= same_color(fData->runs[index].color, run.color);
	}
	if (sameProperties != NULL)
		*sameProperties = fontsAgree ? B_FONT_ALL : 0;
	if (sameColor != NULL)
		*sameColor = colorsAgree;
}

void
BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
	const TextRun& run = fData->runs[fData->RunIndexAt(std::clamp<int32>(offset, 0, TextLength()))];
	if (font != NULL)
		*font = run.font;
	if (color != NULL)
		*color = run.color;
}

void
BTextView::SetRunArray(int32 start, int32 finish, const text_run_array* runs)
{
	if (runs == NULL || runs->count <= 0)
		return;
	start = std::clamp<int32>(start, 0, TextLength());
	finish = std::clamp<int32>(finish, start, TextLength());
	if (!fData->stylable) {
		SetFontAndColor(&runs->runs[0].font, B_FONT_ALL, &runs->runs[0].color);
		return;
	}
	for (int32 index = 0; index < runs->count; index++) {
		const text_run& run = runs->runs[index];
		int32 from = start + std::max(0, run.offset);
		int32 to = index + 1 < runs->count ? start + runs->runs[index + 1].offset : finish;
		_StyleRange(
			std::min(from, finish), std::min(to, finish), &run.font, B_FONT_ALL, &run.color);
	}
	_Changed();
}

text_run_array*
BTextView::RunArray(int32 start, int32 finish, int32* length) const
{
	start = std::clamp<int32>(start, 0, TextLength());
	finish = std::clamp<int32>(finish, start, TextLength());
	size_t first = fData->RunIndexAt(start);
	size_t last = first;
	while (last + 1 < fData->runs.size() && fData->runs[last + 1].offset < finish)
		last++;
	int32 count = (int32)(last - first + 1);
	text_run_array* array = AllocRunArray(count, length);
	if (array == NULL)
		return NULL;
	for (int32 index = 0; index < count; index++) {
		const TextRun& run = fData->runs[first + (size_t)index];
		array->runs[index].offset = std::max(0, run.offset - start);
		array->runs[index].font = run.font;
		array->runs[index].color = run.color;
	}
	return array;
}

text_run_array*
BTextView::AllocRunArray(int32 entryCount, int32* outSize)
{
	if (entryCount <= 0)
		return NULL;
	size_t size = sizeof(text_run_array) + sizeof(text_run) * (size_t)(entryCount - 1);
	text_run_array* array = (text_run_array*)calloc(1, size);
	if (array == NULL)
		return NULL;
	array->count = entryCount;
	for (int32 index = 0; index < entryCount; index++)
		new (&array->runs[index]) text_run { 0, *be_plain_font, make_color(0, 0, 0) };
	if (outSize != NULL)
		*outSize = (int32)size;
	return array;
}

void
BTextView::FreeRunArray(text_run_array* array)
{
	free(array);
}

#include "LibTextView.h"

#include "xmlTag.h"

#include <Entry.h>
#include <File.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Window.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const float kTextInset = 3;

} // namespace

LibTextView::LibTextView(
	BRect frame, const char* name, const uint32& changeCommand, const uint32& focusCommand) :
	BTextView(frame, name,
		BRect(0, 0, frame.Width(), frame.Height()).InsetByCopy(kTextInset, kTextInset),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE),
	fChangeCommand(changeCommand),
	fFocusCommand(focusCommand),
	fDropMark(false)
{
}

LibTextView::~LibTextView() { }

void
LibTextView::SetXml(xmlTag& tag)
{
	const LibString& contents = tag.Contents();
	const size_t length = (size_t)contents.Length();
	// A child's location is how many characters of the parent's text came before it, so
	// it goes right there, moved on by what was inserted before it. The parser records
	// locations in order, so the text is built in one pass: copying up to each child and
	// appending its insert. Inserting into the finished text instead would move its tail
	// once per child, which for a page of many breaks takes minutes.
	std::string text;
	text.reserve(length);
	size_t copied = 0;
	size_t shift = 0;
	for (xmlTag* child = tag.FirstChildTag(); child != NULL; child = tag.NextChildTag()) {
		const char* name = child->Name();
		const char* insert = NULL;
		if (strcmp(name, "BR") == 0)
			insert = "\n";
		else if (strcmp(name, "P") == 0)
			insert = "\n\n";
		else if (strcmp(name, "B") == 0)
			insert = child->Contents();
		if (insert == NULL)
			continue;
		// A location past the text (a tag built by hand) puts the break at the end.
		size_t location = child->ParentLocation() < 0 ? 0 : (size_t)child->ParentLocation();
		if (location > length)
			location = length;
		if (location >= copied) {
			text.append((const char*)contents + copied, location - copied);
			copied = location;
			text.append(insert);
		} else {
			// A tag built by hand may list its children out of order.
			text.insert(location + shift, insert);
		}
		shift += strlen(insert);
	}
	text.append((const char*)contents + copied, length - copied);
	SetText(text.c_str());
}

void
LibTextView::SetFontSize(const float& size)
{
	BFont font;
	font.SetSize(size);
	// Only the size changes: every run keeps its font and colour.
	SetFontAndColor(0, TextLength(), &font, B_FONT_SIZE, NULL);
	// Text typed or set later takes the size as well.
	SetFontAndColor(&font, B_FONT_SIZE, NULL);
}

bool
LibTextView::SupportedDropFile(BMessage* message)
{
	entry_ref ref;
	if (message == NULL || message->FindRef("refs", 0, &ref) != B_OK)
		return false;
	BNode node(&ref);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH];
	if (info.InitCheck() != B_OK || info.GetType(type) != B_OK)
		return false;
	return strcmp(type, "text/plain") == 0;
}

void
LibTextView::MessageReceived(BMessage* message)
{
	if (!message->WasDropped()) {
		BTextView::MessageReceived(message);
		return;
	}
	// Only a plain-text file is taken; any other drop is ignored.
	if (!SupportedDropFile(message))
		return;
	_SetDropMark(false);
	entry_ref ref;
	message->FindRef("refs", 0, &ref);
	BFile file(&ref, B_READ_ONLY);
	off_t size = 0;
	if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size < 0)
		return;
	std::vector<char> contents((size_t)size);
	ssize_t read = size > 0 ? file.ReadAt(0, contents.data(), contents.size()) : 0;
	if (read < 0)
		return;
	SetText(contents.data(), (int32)read);
}

void
LibTextView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (dragMessage != NULL) {
		if (transit == B_ENTERED_VIEW && SupportedDropFile(const_cast<BMessage*>(dragMessage)))
			_SetDropMark(true);
		else if (transit == B_EXITED_VIEW)
			_SetDropMark(false);
	}
	BTextView::MouseMoved(where, transit, dragMessage);
}

void
LibTextView::KeyDown(const char* bytes, int32 numBytes)
{
	BTextView::KeyDown(bytes, numBytes);
	if (fChangeCommand != 0 && Window() != NULL)
		Window()->PostMessage(fChangeCommand);
}

void
LibTextView::FrameResized(float width, float height)
{
	BTextView::FrameResized(width, height);
	BRect rect = TextRect();
	// The text keeps the same margin on the right and at the bottom as on the left and at
	// the top, so the end of a line is never drawn past the view's edge.
	rect.right = width - rect.left;
	rect.bottom = height - rect.top;
	SetTextRect(rect);
}

void
LibTextView::MakeFocus(bool focus)
{
	BTextView::MakeFocus(focus);
	if (fFocusCommand != 0 && Window() != NULL) {
		BMessage report(fFocusCommand);
		report.AddBool("focus", focus);
		Window()->PostMessage(&report);
	}
}

void
LibTextView::Draw(BRect updateRect)
{
	BTextView::Draw(updateRect);
	if (!fDropMark)
		return;
	PushState();
	SetHighColor(keyboard_navigation_color());
	StrokeRect(Bounds());
	PopState();
}

void
LibTextView::_SetDropMark(bool shown)
{
	if (fDropMark == shown)
		return;
	fDropMark = shown;
	// The mark is drawn with the text, so taking it away redraws the view in its colours.
	Invalidate();
}

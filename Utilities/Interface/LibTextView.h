// A text view that shows the help system's inline markup, takes dropped plain-text files, and
// reports edits and focus changes to its window.
#ifndef LIB_TEXT_VIEW_H
#define LIB_TEXT_VIEW_H

#include <TextView.h>

class xmlTag;

class LibTextView : public BTextView {
public:
	// Follows all sides; the text rectangle is the bounds inset by 3. changeCommand (posted
	// after every key the view handles) and focusCommand (posted with "focus" = the new
	// state on every focus change) may be 0 for no report.
	LibTextView(
		BRect frame, const char* name, const uint32& changeCommand, const uint32& focusCommand);
	virtual ~LibTextView();

	// Shows the element's text with its "BR" children as line breaks, its "P" children as
	// paragraph breaks and the text of its "B" children in place; other children are left
	// out. No styles are applied.
	void SetXml(xmlTag& tag);
	// Sets the size of all the text, keeping its font and colour.
	void SetFontSize(const float& size);
	// True when the message's first "refs" entry is a file of type "text/plain".
	bool SupportedDropFile(BMessage* message);

	virtual void MessageReceived(BMessage* message);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	// Keeps the text rectangle's insets from the view's edges.
	virtual void FrameResized(float width, float height);
	virtual void MakeFocus(bool focus = true);
	virtual void Draw(BRect updateRect);

private:
	void _SetDropMark(bool shown);

	uint32 fChangeCommand;
	uint32 fFocusCommand;
	// A file that the view would take is being dragged over it.
	bool fDropMark;
};

#endif // LIB_TEXT_VIEW_H

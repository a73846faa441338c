// BTextView: a block of text, wrapped at word boundaries to the text rectangle, that the
// user can select and edit. Offsets count bytes of the UTF-8 text. A stylable text view
// keeps a font and a colour per run of text (text_run_array); otherwise one style covers
// all of it.
//
// Dropped messages reach MessageReceived() with WasDropped() set; the view inserts
// dropped plain text ("text/plain" data) itself when it is editable. Anything else,
// file references among them, is left to subclasses.
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include <Font.h>
#include <View.h>

#include <memory>

struct text_run {
	// The run's first byte, counted from the start of the text (or, in an array given
	// to Insert(), from the start of the inserted text).
	int32 offset;
	BFont font;
	rgb_color color;
};

struct text_run_array {
	int32 count;
	text_run runs[1];
};

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
		const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	// Edits the text when editable; keys the view does not use go on to the window.
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	virtual void MessageReceived(BMessage* message);
	virtual void FrameResized(float width, float height);

	void SetText(const char* text, const text_run_array* runs = NULL);
	void SetText(const char* text, int32 length, const text_run_array* runs = NULL);
	const char* Text() const;
	int32 TextLength() const;
	// Copies length bytes from offset into buffer and ends them with a NUL.
	void GetText(int32 offset, int32 length, char* buffer) const;
	char ByteAt(int32 offset) const;

	// Inserts at the caret (the selection's start) or at offset; the runs' offsets count
	// from the start of the inserted text. Without runs the text takes the style of the
	// byte before it.
	void Insert(const char* text, const text_run_array* runs = NULL);
	void Insert(const char* text, int32 length, const text_run_array* runs = NULL);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = NULL);
	// Deletes the selection, or the bytes from start up to finish.
	void Delete();
	void Delete(int32 start, int32 finish);

	// The selection runs from start up to finish; an empty one is the caret.
	virtual void Select(int32 start, int32 finish);
	void SelectAll();
	void GetSelection(int32* start, int32* finish) const;

	void SetTextRect(BRect rect);
	BRect TextRect() const;

	void MakeEditable(bool editable = true);
	bool IsEditable() const;
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const;
	void SetStylable(bool stylable);
	bool IsStylable() const;
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const;
	void SetAlignment(alignment flag);
	alignment Alignment() const;
	// The most bytes the text may hold; insertions are cut to fit.
	void SetMaxBytes(int32 max);
	int32 MaxBytes() const;

	// The font (the parts in mode) and colour of all the text, or, in a stylable view
	// with a selection, of the selected text.
	void SetFontAndColor(
		const BFont* font, uint32 mode = B_FONT_ALL, const rgb_color* color = NULL);
	void SetFontAndColor(int32 start, int32 finish, const BFont* font, uint32 mode = B_FONT_ALL,
		const rgb_color* color = NULL);
	// The style at the selection's start; sameProperties and sameColor tell whether the
	// whole selection shares it (B_FONT_ALL when so).
	void GetFontAndColor(
		BFont* font, uint32* sameProperties, rgb_color* color = NULL, bool* sameColor = NULL) const;
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = NULL) const;

	// Replaces the styles from start up to finish by the runs (offsets from start).
	void SetRunArray(int32 start, int32 finish, const text_run_array* runs);
	// The styles from start up to finish, offsets from start; free with FreeRunArray().
	text_run_array* RunArray(int32 start, int32 finish, int32* length = NULL) const;
	static text_run_array* AllocRunArray(int32 entryCount, int32* outSize = NULL);
	static void FreeRunArray(text_run_array* array);

	// Lines as wrapped to the text rectangle.
	int32 CountLines() const;
	int32 CurrentLine() const;
	void GoToLine(int32 lineNumber);
	int32 LineAt(int32 offset) const;
	int32 LineAt(BPoint point) const;
	// The offset of the line's first byte.
	int32 OffsetAt(int32 line) const;
	// The offset nearest to a point of the view.
	int32 OffsetAt(BPoint point) const;
	// The left-top corner of the byte at offset and the height of its line.
	BPoint PointAt(int32 offset, float* height = NULL) const;
	float LineWidth(int32 lineNumber = 0) const;
	float LineHeight(int32 lineNumber = 0) const;
	// The height of the lines from startLine to endLine, both included.
	float TextHeight(int32 startLine, int32 endLine) const;

	void ScrollToOffset(int32 offset);
	void ScrollToSelection();

protected:
	// The hooks every insertion and deletion goes through.
	virtual void InsertText(
		const char* text, int32 length, int32 offset, const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);
	// Whether a dropped message is text this view takes.
	virtual bool AcceptsDrop(const BMessage* message);

private:
	struct Data;
	void _Init(BRect textRect, const BFont* font, const rgb_color* color);
	void _Layout() const;
	void _Changed();
	void _FixupScrollBar();
	void _StyleRange(
		int32 start, int32 finish, const BFont* font, uint32 mode, const rgb_color* color);
	void _MoveCaret(int32 offset, bool extend);

	std::unique_ptr<Data> fData;
};

#endif // _TEXT_VIEW_H

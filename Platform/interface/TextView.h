// BTextView: a block of text, wrapped at word boundaries to the text rectangle.
//
// This is the part of the class the alerts need: the text, its rectangle, font, colour,
// alignment and wrapping, and the measurements an alert sizes itself by. Editing,
// selection, styled runs and scrolling come with the complete text view.
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include <View.h>

#include <memory>

struct text_run;
struct text_run_array;

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
		const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	virtual void Draw(BRect updateRect);
	virtual void FrameResized(float width, float height);

	void SetText(const char* text);
	void SetText(const char* text, int32 length);
	const char* Text() const;
	int32 TextLength() const;

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

	// The font (per mask) and colour of all the text.
	void SetFontAndColor(
		const BFont* font, uint32 mode = B_FONT_ALL, const rgb_color* color = NULL);
	void GetFontAndColor(
		BFont* font, uint32* sameProperties, rgb_color* color = NULL, bool* sameColor = NULL) const;

	// Lines as wrapped to the text rectangle.
	int32 CountLines() const;
	float LineHeight(int32 lineNumber = 0) const;
	// The height of the lines from startLine to endLine, both included.
	float TextHeight(int32 startLine, int32 endLine) const;

private:
	struct Data;
	void _Init(BRect textRect, const BFont* font, const rgb_color* color);
	void _Layout() const;

	std::unique_ptr<Data> fData;
};

#endif // _TEXT_VIEW_H

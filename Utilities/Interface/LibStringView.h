// A one-line label that shortens its text to its width, and whose Show() and Hide() never
// nest.
#ifndef LIB_STRING_VIEW_H
#define LIB_STRING_VIEW_H

#include <StringView.h>

class LibStringView : public BStringView {
public:
	// Follows the left and top of its parent.
	LibStringView(BRect frame, const char* name, const char* text);
	virtual ~LibStringView();

	// Shows text shortened with an ellipsis to the view's width in the view's font; mode is
	// B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE or B_TRUNCATE_SMART. A text that
	// fits is shown unchanged; characters are never split.
	void SetTruncatedText(const char* text, const uint32& mode);

	// Shows the view only when it is hidden, hides it only when it is shown: one Show()
	// always undoes any number of Hide() calls.
	virtual void Show();
	virtual void Hide();
};

#endif // LIB_STRING_VIEW_H

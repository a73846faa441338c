// BStringView: one line of text, aligned left, centred or right in the view. It does not
// shorten the text: callers truncate it to the view's width when they need to.
#ifndef _STRING_VIEW_H
#define _STRING_VIEW_H

#include <View.h>

#include <string>

class BStringView : public BView {
public:
	BStringView(BRect frame, const char* name, const char* text,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
	virtual ~BStringView();

	void SetText(const char* text);
	const char* Text() const;
	void SetAlignment(alignment flag);
	alignment Alignment() const;

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void GetPreferredSize(float* width, float* height);

private:
	std::string fText;
	alignment fAlignment;
};

#endif // _STRING_VIEW_H

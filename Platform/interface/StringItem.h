// BStringItem: a list row that shows one line of text.
#ifndef _STRING_ITEM_H
#define _STRING_ITEM_H

#include <ListItem.h>

#include <string>

class BStringItem : public BListItem {
public:
	BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
	virtual ~BStringItem();

	virtual void DrawItem(BView* owner, BRect frame, bool complete = false);
	virtual void Update(BView* owner, const BFont* font);

	virtual void SetText(const char* text);
	const char* Text() const;

	// The distance from the row's top to the text's baseline, set by Update().
	float BaselineOffset() const;

private:
	std::string fText;
	float fBaselineOffset;
};

#endif // _STRING_ITEM_H

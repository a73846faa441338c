// BMenuBar: a menu whose items sit in a row; clicking an item opens its submenu below it.
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include <Menu.h>

enum menu_bar_border { B_BORDER_FRAME, B_BORDER_CONTENTS, B_BORDER_EACH_ITEM };

class BMenuBar : public BMenu {
public:
	BMenuBar(BRect frame, const char* name,
		uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
	virtual ~BMenuBar();

	virtual void SetBorder(menu_bar_border border);
	menu_bar_border Border() const;

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MessageReceived(BMessage* message);

	// The item under the point (bar coordinates), or NULL.
	BMenuItem* ItemAtPoint(BPoint where) const;

protected:
	virtual void ItemsChanged();

private:
	void _LayOut();

	menu_bar_border fBorder;
	bool fResizeToFit;
};

#endif // _MENU_BAR_H

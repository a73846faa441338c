// BPopUpMenu: a menu that opens at a point on the screen and reports the item chosen.
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
	// A pop-up menu is in radio mode and shows its marked item unless told otherwise.
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
		menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BPopUpMenu();

	// Opens the menu with its top left corner at the screen point. Synchronous: waits
	// for the choice and returns the item (NULL when the menu was closed), invoking it
	// when deliversMessage. Asynchronous: returns NULL at once; the choice is always
	// invoked. Must not be called on the GUI thread's own event loop when synchronous
	// from another thread's point of view: a window's thread may call it.
	BMenuItem* Go(BPoint screenPoint, bool deliversMessage = false, bool openAnyway = false,
		bool asynchronous = false);
	BMenuItem* Go(BPoint screenPoint, bool deliversMessage, bool openAnyway, BRect clickToOpenRect,
		bool asynchronous = false);
};

#endif // _POP_UP_MENU_H

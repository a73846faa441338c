// Opening a BMenu as a Qt pop-up list. The path names the chosen item by its index in the
// menu, then in each submenu on the way (empty: nothing chosen).
#ifndef _MENU_POPUP_H
#define _MENU_POPUP_H

#include <Point.h>
#include <SupportDefs.h>

#include <functional>
#include <vector>

class BMenu;
class BMenuItem;

namespace BPrivate {

typedef std::vector<int32> MenuPath;

// Waits for the choice; callable from any thread (the GUI thread runs the menu).
MenuPath run_menu(BMenu* menu, BPoint screenPoint);
// Returns at once; done runs on the GUI thread with the choice.
void open_menu(BMenu* menu, BPoint screenPoint, std::function<void(const MenuPath&)> done);

// The item at the path, or NULL when the menu no longer has it.
BMenuItem* item_at_path(BMenu* menu, const MenuPath& path);
MenuPath path_of_item(BMenu* menu, BMenuItem* item);

} // namespace BPrivate

#endif // _MENU_POPUP_H

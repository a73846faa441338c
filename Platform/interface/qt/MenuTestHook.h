// Lets tests choose from menus in place of a user: while a chooser is set, opening a menu
// asks it for the item (any item of the menu or its submenus, or NULL to close the menu)
// instead of showing the menu. Not for programs: nothing in the kits sets it.
#ifndef _MENU_TEST_HOOK_H
#define _MENU_TEST_HOOK_H

#include <functional>

class BMenu;
class BMenuItem;

namespace BPrivate {

typedef std::function<BMenuItem*(BMenu* menu)> MenuChooser;

// An empty chooser turns choosing off.
void set_menu_chooser(MenuChooser chooser);
MenuChooser menu_chooser();

} // namespace BPrivate

#endif // _MENU_TEST_HOOK_H

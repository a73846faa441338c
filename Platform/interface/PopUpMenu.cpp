// BPopUpMenu: Go() opens the menu through the Qt backend (or the test chooser) and acts on
// the choice the way a click on the item would: a radio menu marks it, and the item's
// message goes out when asked.
#include <PopUpMenu.h>

#include "qt/MenuPopup.h"

#include <MenuItem.h>

namespace {

BMenuItem*
take_choice(BMenu* root, const BPrivate::MenuPath& path, bool deliversMessage)
{
	BMenuItem* item = BPrivate::item_at_path(root, path);
	if (item == NULL || !item->IsEnabled() || item->Submenu() != NULL)
		return NULL;
	if (item->Menu() != NULL && item->Menu()->IsRadioMode())
		item->SetMarked(true);
	if (deliversMessage)
		item->Invoke();
	return item;
}

} // namespace

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout) :
	BMenu(name, layout)
{
	SetRadioMode(radioMode);
	if (radioMode)
		SetLabelFromMarked(labelFromMarked);
}

BPopUpMenu::~BPopUpMenu() { }

BMenuItem*
BPopUpMenu::Go(BPoint screenPoint, bool deliversMessage, bool openAnyway, bool asynchronous)
{
	return Go(screenPoint, deliversMessage, openAnyway, BRect(), asynchronous);
}

BMenuItem*
BPopUpMenu::Go(BPoint screenPoint, bool deliversMessage, bool /*openAnyway*/,
	BRect /*clickToOpenRect*/, bool asynchronous)
{
	if (!IsEnabled())
		return NULL;
	if (asynchronous) {
		BPopUpMenu* menu = this;
		BPrivate::open_menu(this, screenPoint,
			[menu](const BPrivate::MenuPath& path) { take_choice(menu, path, true); });
		return NULL;
	}
	return take_choice(this, BPrivate::run_menu(this, screenPoint), deliversMessage);
}

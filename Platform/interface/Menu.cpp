// BMenu: the item list, radio marking and the label that follows the marked item.
#include <Menu.h>

#include <MenuItem.h>
#include <Messenger.h>

#include <algorithm>
#include <cstring>

BMenu::BMenu(const char* name, menu_layout layout) :
	BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
	fSuperitem(NULL),
	fLayout(layout),
	fEnabled(true),
	fRadioMode(false),
	fLabelFromMarked(false)
{
}

BMenu::~BMenu()
{
	for (BMenuItem* item : fItems) {
		item->fMenu = NULL;
		delete item;
	}
	if (fSuperitem != NULL && fSuperitem->fSubmenu == this)
		fSuperitem->fSubmenu = NULL;
}

bool
BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool
BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (item == NULL || item->fMenu != NULL || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->fMenu = this;
	if (BWindow* window = _RootWindow())
		item->_TargetWindow(window);
	if (item->IsMarked())
		_ItemMarked(item);
	else
		ItemsChanged();
	return true;
}

bool
BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}

bool
BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (submenu == NULL || submenu->fSuperitem != NULL || index < 0 || index > CountItems())
		return false;
	return AddItem(new BMenuItem(submenu), index);
}

bool
BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem);
}

bool
BMenu::RemoveItem(BMenuItem* item)
{
	const int32 index = IndexOf(item);
	if (index < 0)
		return false;
	return RemoveItem(index) != NULL;
}

BMenuItem*
BMenu::RemoveItem(int32 index)
{
	if (index < 0 || index >= CountItems())
		return NULL;
	BMenuItem* item = fItems[size_t(index)];
	fItems.erase(fItems.begin() + index);
	item->fMenu = NULL;
	ItemsChanged();
	return item;
}

bool
BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

BMenuItem*
BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return fItems[size_t(index)];
}

BMenu*
BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL ? item->Submenu() : NULL;
}

int32
BMenu::CountItems() const
{
	return int32(fItems.size());
}

int32
BMenu::IndexOf(BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32
BMenu::IndexOf(BMenu* submenu) const
{
	for (size_t i = 0; i < fItems.size(); i++) {
		if (submenu != NULL && fItems[i]->Submenu() == submenu)
			return int32(i);
	}
	return -1;
}

BMenuItem*
BMenu::FindItem(const char* label) const
{
	if (label == NULL)
		return NULL;
	for (BMenuItem* item : fItems) {
		if (item->Submenu() == NULL && strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
			if (strcmp(item->Label(), label) == 0)
				return item;
		}
	}
	return NULL;
}

BMenuItem*
BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != NULL && item->Command() == command)
			return item;
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
	}
	return NULL;
}

BMenuItem*
BMenu::FindMarked()
{
	for (BMenuItem* item : fItems) {
		if (item->IsMarked())
			return item;
	}
	return NULL;
}

int32
BMenu::FindMarkedIndex()
{
	return IndexOf(FindMarked());
}

status_t
BMenu::SetTargetForItems(BHandler* target)
{
	for (BMenuItem* item : fItems) {
		const status_t status = item->SetTarget(target);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t
BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : fItems) {
		const status_t status = item->SetTarget(messenger);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

void
BMenu::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	ItemsChanged();
	if (fSuperitem != NULL && fSuperitem->Menu() != NULL)
		fSuperitem->Menu()->ItemsChanged();
}

bool
BMenu::IsEnabled() const
{
	if (!fEnabled)
		return false;
	BMenu* super = Supermenu();
	return super == NULL || super->IsEnabled();
}

void
BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	if (!on)
		fLabelFromMarked = false;
}

bool
BMenu::IsRadioMode() const
{
	return fRadioMode;
}

void
BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on) {
		fRadioMode = true;
		if (BMenuItem* marked = FindMarked(); marked != NULL && fSuperitem != NULL)
			fSuperitem->SetLabel(marked->Label());
	}
}

bool
BMenu::IsLabelFromMarked()
{
	return fLabelFromMarked;
}

menu_layout
BMenu::Layout() const
{
	return fLayout;
}

BMenu*
BMenu::Supermenu() const
{
	return fSuperitem != NULL ? fSuperitem->Menu() : NULL;
}

BMenuItem*
BMenu::Superitem() const
{
	return fSuperitem;
}

void
BMenu::AttachedToWindow()
{
	BView::AttachedToWindow();
	_TargetItems(Window());
}

void
BMenu::_TargetItems(BWindow* window)
{
	if (window == NULL)
		return;
	for (BMenuItem* item : fItems)
		item->_TargetWindow(window);
}

BWindow*
BMenu::_RootWindow() const
{
	for (const BMenu* menu = this; menu != NULL; menu = menu->Supermenu()) {
		if (BWindow* window = menu->Window())
			return window;
	}
	return NULL;
}

void
BMenu::ItemsChanged()
{
	if (Window() != NULL)
		Invalidate();
	if (BMenu* super = Supermenu())
		super->ItemsChanged();
}

void
BMenu::_ItemMarked(BMenuItem* marked)
{
	if (fRadioMode) {
		for (BMenuItem* item : fItems) {
			if (item != marked)
				item->fMarked = false;
		}
	}
	if (fLabelFromMarked && fSuperitem != NULL)
		fSuperitem->SetLabel(marked->Label());
	ItemsChanged();
}

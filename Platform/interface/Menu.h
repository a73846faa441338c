// BMenu: an ordered list of items, shown as a pop-up list by the Qt backend when it opens.
// Radio mode keeps at most one item marked.
#ifndef _MENU_H
#define _MENU_H

#include <View.h>

#include <vector>

class BMenuItem;
class BMessenger;

enum menu_layout { B_ITEMS_IN_ROW = 0, B_ITEMS_IN_COLUMN, B_ITEMS_IN_MATRIX };

class BMenu : public BView {
public:
	BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	// Deletes the items (and their submenus).
	virtual ~BMenu();

	// The menu owns added items. An item already in a menu is refused (false).
	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	bool AddItem(BMenu* submenu);
	bool AddItem(BMenu* submenu, int32 index);
	bool AddSeparatorItem();
	// Taking an item out gives it back to the caller; RemoveItems(.., deleteItems) deletes.
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 CountItems() const;
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* submenu) const;
	// Searches submenus too.
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked();
	int32 FindMarkedIndex();

	virtual status_t SetTargetForItems(BHandler* target);
	virtual status_t SetTargetForItems(BMessenger messenger);
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	// Leaving radio mode also stops the label following the marked item.
	virtual void SetRadioMode(bool on);
	bool IsRadioMode() const;
	virtual void SetLabelFromMarked(bool on);
	bool IsLabelFromMarked();

	menu_layout Layout() const;
	BMenu* Supermenu() const;
	BMenuItem* Superitem() const;

	// BeOS behaviour: once the menu is in a window, every item without a target of its own
	// (in submenus too, and items added later) targets that window.
	virtual void AttachedToWindow();

protected:
	// Called when the menu's items change, so bars can lay themselves out again.
	virtual void ItemsChanged();

private:
	friend class BMenuItem;

	void _ItemMarked(BMenuItem* item);
	void _TargetItems(BWindow* window);
	// The window of the menu bar (or field) this menu is in, or NULL.
	BWindow* _RootWindow() const;

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem;
	menu_layout fLayout;
	bool fEnabled;
	bool fRadioMode;
	bool fLabelFromMarked;
};

#endif // _MENU_H

// BMenuItem: one entry of a menu: a label and a message sent to its target when chosen,
// or a submenu. BSeparatorItem: the line between groups of items.
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Invoker.h>
#include <Menu.h>
#include <Message.h>
#include <Rect.h>

#include <string>

class BMenuItem : public BInvoker {
public:
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	// An item that opens the submenu (the item owns it); its label is the menu's name.
	BMenuItem(BMenu* submenu, BMessage* message = NULL);
	virtual ~BMenuItem();

	virtual void SetLabel(const char* label);
	const char* Label() const;

	// Marking an item of a radio-mode menu unmarks the others; in a menu that shows its
	// marked item, the item that opens the menu takes the marked item's label.
	virtual void SetMarked(bool marked);
	bool IsMarked() const;

	// An item is enabled when it and the menu it is in are.
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual void SetShortcut(char shortcut, uint32 modifiers);
	char Shortcut(uint32* modifiers = NULL) const;

	BMenu* Submenu() const;
	BMenu* Menu() const;
	// The item's rectangle in its menu's coordinates (menu bars lay their items out).
	BRect Frame() const;

	// Sends a copy of the message with "when", "source" (this item) and "index" added to
	// the target; an item without a target of its own sends to its menu's window.
	virtual status_t Invoke(BMessage* message = NULL);

protected:
	virtual bool IsSeparator() const;

private:
	friend class BMenu;
	friend class BMenuBar;

	std::string fLabel;
	BMenu* fSubmenu;
	BMenu* fMenu;
	BRect fFrame;
	char fShortcut;
	uint32 fModifiers;
	bool fMarked;
	bool fEnabled;
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	virtual ~BSeparatorItem();

	// A separator is never enabled and never marked.
	virtual void SetEnabled(bool enabled);
	virtual void SetMarked(bool marked);

protected:
	virtual bool IsSeparator() const;
};

#endif // _MENU_ITEM_H

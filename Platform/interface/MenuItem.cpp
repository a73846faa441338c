// BMenuItem and BSeparatorItem.
#include <MenuItem.h>

#include <Menu.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <Window.h>

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers) :
	BInvoker(message, NULL),
	fLabel(label != NULL ? label : ""),
	fSubmenu(NULL),
	fMenu(NULL),
	fShortcut(shortcut),
	fModifiers(modifiers),
	fMarked(false),
	fEnabled(true)
{
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message) :
	BInvoker(message, NULL),
	fLabel(submenu != NULL && submenu->Name() != NULL ? submenu->Name() : ""),
	fSubmenu(submenu),
	fMenu(NULL),
	fShortcut(0),
	fModifiers(0),
	fMarked(false),
	fEnabled(true)
{
	if (submenu != NULL) {
		submenu->fSuperitem = this;
		// A menu that shows its marked item names its item after it from the start.
		if (submenu->IsLabelFromMarked()) {
			if (BMenuItem* marked = submenu->FindMarked())
				fLabel = marked->Label();
		}
	}
}

BMenuItem::~BMenuItem()
{
	delete fSubmenu;
}

void
BMenuItem::SetLabel(const char* label)
{
	fLabel = label != NULL ? label : "";
	if (fMenu != NULL)
		fMenu->ItemsChanged();
}

const char*
BMenuItem::Label() const
{
	return fLabel.c_str();
}

void
BMenuItem::SetMarked(bool marked)
{
	fMarked = marked;
	if (marked && fMenu != NULL)
		fMenu->_ItemMarked(this);
	else if (fMenu != NULL)
		fMenu->ItemsChanged();
}

bool
BMenuItem::IsMarked() const
{
	return fMarked;
}

void
BMenuItem::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	if (fMenu != NULL)
		fMenu->ItemsChanged();
}

bool
BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	if (fSubmenu != NULL && !fSubmenu->IsEnabled())
		return false;
	return fMenu == NULL || fMenu->IsEnabled();
}

void
BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = modifiers;
}

char
BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != NULL)
		*modifiers = fModifiers;
	return fShortcut;
}

BMenu*
BMenuItem::Submenu() const
{
	return fSubmenu;
}

BMenu*
BMenuItem::Menu() const
{
	return fMenu;
}

BRect
BMenuItem::Frame() const
{
	return fFrame;
}

status_t
BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_NOT_ALLOWED;
	BMessage* source = message != NULL ? message : Message();
	if (source == NULL)
		return B_BAD_VALUE;
	BMessage copy(*source);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("index", fMenu != NULL ? fMenu->IndexOf(this) : -1);
	if (Messenger().IsValid())
		return BInvoker::Invoke(&copy);
	// Without a target of its own the item speaks to the window its menus are in.
	for (BMenu* menu = fMenu; menu != NULL; menu = menu->Supermenu()) {
		if (BWindow* window = menu->Window())
			return BMessenger(window).SendMessage(&copy);
	}
	return B_BAD_HANDLER;
}

bool
BMenuItem::IsSeparator() const
{
	return false;
}

void
BMenuItem::_TargetWindow(BWindow* window)
{
	if (!Messenger().IsValid())
		BInvoker::SetTarget(window);
	if (fSubmenu != NULL)
		fSubmenu->_TargetItems(window);
}

BSeparatorItem::BSeparatorItem() :
	BMenuItem("", NULL)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() { }

void
BSeparatorItem::SetEnabled(bool /*enabled*/)
{
}

void
BSeparatorItem::SetMarked(bool /*marked*/)
{
}

bool
BSeparatorItem::IsSeparator() const
{
	return true;
}

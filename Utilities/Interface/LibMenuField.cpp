#include "LibMenuField.h"

#include "LibEntry.h"
#include "LibString.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include <cstring>

namespace {

BMenuItem*
find_label(BMenu* menu, const char* label)
{
	if (label == NULL)
		return NULL;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (strcmp(item->Label(), label) == 0)
			return item;
	}
	return NULL;
}

// Separators are never enabled, so one test passes over both.
bool
can_take_mark(BMenuItem* item)
{
	return item != NULL && item->IsEnabled();
}

} // namespace

LibMenuField::LibMenuField(BRect frame, const char* name, const int& fontSize) :
	BMenuField(frame, name, NULL, new BPopUpMenu(""))
{
	Menu()->SetRadioMode(true);
	Menu()->SetLabelFromMarked(true);
	if (fontSize != 0) {
		BFont font;
		font.SetSize(fontSize);
		Menu()->SetFont(&font, B_FONT_SIZE);
		MenuBar()->SetFont(&font, B_FONT_SIZE);
	}
}

LibMenuField::~LibMenuField() { }

bool
LibMenuField::Add(const char* label, BMessage* message, const int32& index)
{
	BMenuItem* item = new BMenuItem(label != NULL ? label : "", message);
	BMenu* menu = Menu();
	bool added = index == -1 ? menu->AddItem(item) : menu->AddItem(item, index);
	if (!added) {
		delete item;
		return false;
	}
	if (menu->CountItems() == 1)
		_Mark(item);
	return true;
}

void
LibMenuField::AddSeparatorItem()
{
	Menu()->AddSeparatorItem();
}

void
LibMenuField::Clear()
{
	Menu()->RemoveItems(0, Menu()->CountItems(), true);
	_ShowMarked();
}

void
LibMenuField::SetItem(const int32& index)
{
	_Mark(ItemAt(index));
}

void
LibMenuField::SetText(const char* label)
{
	_Mark(find_label(Menu(), label));
}

const char*
LibMenuField::Text() const
{
	BMenuItem* marked = Menu()->FindMarked();
	return marked != NULL ? marked->Label() : "";
}

int32
LibMenuField::CurrentSelection() const
{
	return Menu()->FindMarkedIndex();
}

BMenuItem*
LibMenuField::ItemAt(const int32& index) const
{
	return Menu()->ItemAt(index);
}

int32
LibMenuField::IndexOf(const char* label) const
{
	BMenuItem* item = find_label(Menu(), label);
	return item != NULL ? Menu()->IndexOf(item) : -1;
}

bool
LibMenuField::InMenu(const char* label) const
{
	return find_label(Menu(), label) != NULL;
}

bool
LibMenuField::IsItemEnabled(const int32& index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL && item->IsEnabled();
}

bool
LibMenuField::IsItemEnabled(const char* label) const
{
	BMenuItem* item = find_label(Menu(), label);
	return item != NULL && item->IsEnabled();
}

void
LibMenuField::SetEnableItem(const int32& index, const bool& enabled)
{
	if (BMenuItem* item = ItemAt(index))
		item->SetEnabled(enabled);
}

void
LibMenuField::SetEnableItem(const char* label, const bool& enabled)
{
	if (BMenuItem* item = find_label(Menu(), label))
		item->SetEnabled(enabled);
}

void
LibMenuField::Replace(const char* label, const char* newLabel)
{
	BMenuItem* item = find_label(Menu(), label);
	if (item == NULL)
		return;
	item->SetLabel(newLabel != NULL ? newLabel : "");
	if (item->IsMarked())
		_ShowMarked();
}

void
LibMenuField::RemoveItem(const int32& index)
{
	BMenuItem* item = Menu()->RemoveItem(index);
	if (item == NULL)
		return;
	const bool wasMarked = item->IsMarked();
	delete item;
	if (wasMarked)
		_Mark(ItemAt(0));
	_ShowMarked();
}

void
LibMenuField::RemoveItem(const char* label)
{
	BMenuItem* item = find_label(Menu(), label);
	if (item != NULL)
		RemoveItem(Menu()->IndexOf(item));
}

void
LibMenuField::SetTo(const BMessage& message, const char* field, const uint32& what)
{
	const char* value = NULL;
	if (field == NULL || message.FindString(field, 0, &value) != B_OK)
		return;
	LibString remembered(Text());
	Clear();
	for (int32 i = 0; message.FindString(field, i, &value) == B_OK; i++)
		Add(value, what != 0 ? new BMessage(what) : NULL);
	SetText(remembered);
}

void
LibMenuField::AddStdFolder(const directory_which& which, const uint32& what)
{
	LibString name;
	if (!LibGetStdDirName(which, name))
		return;
	Add(name, what != 0 ? new BMessage(what) : NULL);
}

void
LibMenuField::AddStdFolders(const bool& withSystemFolders, const uint32& what)
{
	const directory_which first[] = { B_DESKTOP_DIRECTORY, B_TRASH_DIRECTORY, B_APPS_DIRECTORY,
		B_PREFERENCES_DIRECTORY, B_UTILITIES_DIRECTORY };
	for (directory_which which : first)
		AddStdFolder(which, what);
	AddSeparatorItem();
	if (withSystemFolders) {
		for (int32 code = 1000; code <= 1014; code++)
			AddStdFolder((directory_which)code, what);
		AddSeparatorItem();
	}
	for (int32 code = 2000; code <= 2018; code++)
		AddStdFolder((directory_which)code, what);
	AddSeparatorItem();
	for (int32 code = 3000; code <= 3011; code++)
		AddStdFolder((directory_which)code, what);
}

void
LibMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	const char key = numBytes == 1 ? bytes[0] : 0;
	if (key != B_UP_ARROW && key != B_DOWN_ARROW && key != B_HOME && key != B_END) {
		BMenuField::KeyDown(bytes, numBytes);
		return;
	}
	const int32 count = Menu()->CountItems();
	const int32 marked = CurrentSelection();
	if (marked < 0 || count == 0)
		return;

	// Home and End look from the menu's ends inwards, the arrows onwards from the mark;
	// either way an item that cannot be marked is passed over in the direction of travel.
	// At most one round, so a menu of nothing but separators ends the search.
	const int32 step = key == B_UP_ARROW || key == B_END ? -1 : 1;
	int32 index = marked + step;
	if (key == B_HOME)
		index = 0;
	else if (key == B_END)
		index = count - 1;
	for (int32 tried = 0; tried < count; tried++, index += step) {
		index = (index + count) % count;
		BMenuItem* item = ItemAt(index);
		if (!can_take_mark(item))
			continue;
		if (index == marked)
			return;
		_Mark(item);
		// The window hears of the choice as if the item had been chosen with the mouse.
		if (item->Message() != NULL)
			item->Invoke();
		return;
	}
}

void
LibMenuField::_Mark(BMenuItem* item)
{
	if (item == NULL)
		return;
	item->SetMarked(true);
	_ShowMarked();
}

void
LibMenuField::_ShowMarked()
{
	// The bar's item shows the marked label; with nothing marked it shows nothing rather
	// than the label of an item that is gone.
	if (BMenuItem* superitem = MenuItem())
		superitem->SetLabel(Text());
}

// A pop-up menu field without a label of its own, in radio mode: the marked item is its
// value and the field shows that item's label. The arrow keys, Home and End step the mark.
#ifndef LIB_MENU_FIELD_H
#define LIB_MENU_FIELD_H

#include <FindDirectory.h>
#include <MenuField.h>

class BMenuItem;
class BMessage;

class LibMenuField : public BMenuField {
public:
	// fontSize 0 keeps the platform's size; any other size is set on the menu and the bar.
	LibMenuField(BRect frame, const char* name, const int& fontSize);
	virtual ~LibMenuField();

	// A new item (takes ownership of message), appended when index is −1, else inserted
	// there; false, with nothing added, for any other index outside the menu. An item that
	// becomes the only one is marked.
	bool Add(const char* label, BMessage* message = NULL, const int32& index = -1);
	void AddSeparatorItem();
	// Removes and deletes every item.
	void Clear();

	// Marks the item at index, when there is one.
	void SetItem(const int32& index);
	// Marks the first item with that label, when there is one.
	virtual void SetText(const char* label);
	// The marked item's label, or "".
	const char* Text() const;
	// The marked item's index, or −1.
	int32 CurrentSelection() const;
	BMenuItem* ItemAt(const int32& index) const;
	// The index of the first item with that label, or −1.
	int32 IndexOf(const char* label) const;
	bool InMenu(const char* label) const;

	// False when there is no such item.
	bool IsItemEnabled(const int32& index) const;
	bool IsItemEnabled(const char* label) const;
	void SetEnableItem(const int32& index, const bool& enabled);
	void SetEnableItem(const char* label, const bool& enabled);

	// Renames the first item with that label.
	void Replace(const char* label, const char* newLabel);
	// Takes the item out of the menu and deletes it. When it was the marked item, the first
	// remaining item is marked, so the field never shows an item that is gone.
	void RemoveItem(const int32& index);
	void RemoveItem(const char* label);

	// When the message has the string field: one item per value in order (each with a new
	// message of that what-code unless what is 0), the first marked, then the label marked
	// before marked again when it is still there. Without the field nothing changes.
	void SetTo(const BMessage& message, const char* field, const uint32& what);

	// An item labelled with the standard folder's name (nothing for a code without one).
	void AddStdFolder(const directory_which& which, const uint32& what);
	// Desktop, Trash and the application folders; a separator; with system folders, the
	// system folders and a separator; the common folders; a separator; the user folders.
	void AddStdFolders(const bool& withSystemFolders, const uint32& what);

	// Up and down arrows step the mark to the previous or next item (wrapping around), Home
	// and End to the first or last; separators and disabled items are passed over. The item
	// marked sends its message at once. Other keys go to the menu field.
	virtual void KeyDown(const char* bytes, int32 numBytes);

private:
	void _Mark(BMenuItem* item);
	void _ShowMarked();
};

#endif // LIB_MENU_FIELD_H

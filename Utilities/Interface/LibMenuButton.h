// A labelled pop-up menu: a bold label with a colon left of the divider and, right of it, the
// menu field "menu", whose operations the button forwards.
#ifndef LIB_MENU_BUTTON_H
#define LIB_MENU_BUTTON_H

#include "LibLabelControl.h"
#include "LibMenuField.h"

class LibString;

class LibMenuButton : public LibLabelControl {
public:
	// The frame is LibRect(where.x, where.y, divider + width, 25); the menu field starts at
	// divider − 3, is width wide and as high as the button.
	LibMenuButton(BPoint where, const char* name, const char* label, const float& divider,
		const float& width, uint32 resizingMode, const int& fontSize = 0);
	virtual ~LibMenuButton();

	LibMenuField* MenuField() const { return fMenuField; }

	bool AddItem(const char* label, BMessage* message = NULL, const int32& index = -1);
	bool AddItem(const LibString& label, BMessage* message = NULL, const int32& index = -1);
	void AddSeparatorItem();
	void Clear();
	void SetItem(const int32& index);
	void SetText(const char* label);
	const char* Text() const;
	int32 CurrentSelection() const;
	BMenuItem* ItemAt(const int32& index) const;
	bool InMenu(const char* label) const;
	bool IsItemEnabled(const int32& index) const;
	bool IsItemEnabled(const char* label) const;
	void SetEnableItem(const int32& index, const bool& enabled);
	void SetEnableItem(const char* label, const bool& enabled);
	void ReplaceItem(const char* label, const char* newLabel);
	void RemoveItem(const int32& index);
	void RemoveItem(const char* label);
	void SetTo(const BMessage& message, const char* field, const uint32& what);
	void AddStdFolder(const directory_which& which, const uint32& what);
	void AddStdFolders(const bool& withSystemFolders, const uint32& what);

	// Greys the label and colon and disables the menu field, or the reverse.
	virtual void SetEnabled(bool enabled);
	// The focus goes to the menu field.
	virtual void MakeFocus(bool focus = true);
	// Keys reaching the button step the menu field's mark as they would in the field.
	virtual void KeyDown(const char* bytes, int32 numBytes);

private:
	LibMenuField* fMenuField;
};

#endif // LIB_MENU_BUTTON_H

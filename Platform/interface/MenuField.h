// BMenuField: a label and, right of the divider, a one-item menu bar that opens the menu.
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <Menu.h>
#include <View.h>

#include <string>

class BMenuBar;
class BMenuItem;

class BMenuField : public BView {
public:
	// The field owns the menu. The divider starts just right of the label (0 without one).
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BMenuField();

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();

	BMenu* Menu() const;
	BMenuBar* MenuBar() const;
	// The bar's item, which opens the menu and shows its label.
	BMenuItem* MenuItem() const;

	virtual void SetLabel(const char* label);
	const char* Label() const;
	// A disabled field draws greyed and its menu cannot be opened.
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	// Moves the menu bar's left edge to the divider.
	void SetDivider(float divider);
	float Divider() const;

private:
	std::string fLabel;
	BMenu* fMenu;
	BMenuBar* fMenuBar;
	float fDivider;
	bool fEnabled;
};

#endif // _MENU_FIELD_H

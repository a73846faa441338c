// BMenuField: the label left of the divider and the bar holding the menu right of it.
#include <MenuField.h>

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	fLabel(label != NULL ? label : ""),
	fMenu(menu),
	fMenuBar(NULL),
	fDivider(0),
	fEnabled(true)
{
	if (!fLabel.empty())
		fDivider = StringWidth(fLabel.c_str()) + 5;
	const BRect bounds = Bounds();
	fMenuBar = new BMenuBar(BRect(fDivider + 1, bounds.top, bounds.right, bounds.bottom), "_mc_mb_",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, false);
	fMenuBar->SetBorder(B_BORDER_EACH_ITEM);
	if (menu != NULL)
		fMenuBar->AddItem(menu);
	AddChild(fMenuBar);
}

BMenuField::~BMenuField() { }

void
BMenuField::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (Parent() != NULL) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
}

void
BMenuField::Draw(BRect /*updateRect*/)
{
	if (fLabel.empty())
		return;
	font_height height;
	GetFontHeight(&height);
	const BRect bounds = Bounds();
	SetHighColor(
		fEnabled ? rgb_color { 0, 0, 0, 255 } : tint_color(ViewColor(), B_DISABLED_LABEL_TINT));
	const float baseline = bounds.top + (bounds.Height() + 1 + height.ascent - height.descent) / 2;
	DrawString(fLabel.c_str(), BPoint(0, baseline));
}

BMenu*
BMenuField::Menu() const
{
	return fMenu;
}

BMenuBar*
BMenuField::MenuBar() const
{
	return fMenuBar;
}

BMenuItem*
BMenuField::MenuItem() const
{
	return fMenuBar->ItemAt(0);
}

void
BMenuField::SetLabel(const char* label)
{
	fLabel = label != NULL ? label : "";
	Invalidate();
}

const char*
BMenuField::Label() const
{
	return fLabel.c_str();
}

void
BMenuField::SetEnabled(bool enabled)
{
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	fMenuBar->SetEnabled(enabled);
	Invalidate();
}

bool
BMenuField::IsEnabled() const
{
	return fEnabled;
}

void
BMenuField::SetDivider(float divider)
{
	fDivider = divider;
	const BRect bounds = Bounds();
	fMenuBar->MoveTo(divider + 1, bounds.top);
	fMenuBar->ResizeTo(bounds.right - divider - 1, bounds.Height());
	Invalidate();
}

float
BMenuField::Divider() const
{
	return fDivider;
}

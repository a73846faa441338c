// BMenuBar: lays its items out in a row and opens an item's submenu under it. The choice
// comes back as a message to the bar, so the item is marked and invoked on the window's
// thread, where the bar's state belongs.
#include <MenuBar.h>

#include "qt/MenuPopup.h"

#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>

namespace {

const uint32 kMenuChosen = '_MnC';
const float kItemPadding = 8;

} // namespace

BMenuBar::BMenuBar(
	BRect frame, const char* name, uint32 resizingMode, menu_layout layout, bool resizeToFit) :
	BMenu(name, layout),
	fBorder(B_BORDER_FRAME),
	fResizeToFit(resizeToFit)
{
	MoveTo(frame.LeftTop());
	ResizeTo(frame.Width(), frame.Height());
	SetResizingMode(resizingMode);
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
}

BMenuBar::~BMenuBar() { }

void
BMenuBar::SetBorder(menu_bar_border border)
{
	fBorder = border;
	ItemsChanged();
}

menu_bar_border
BMenuBar::Border() const
{
	return fBorder;
}

void
BMenuBar::_LayOut()
{
	const BRect bounds = Bounds();
	float x = 0;
	for (int32 i = 0; i < CountItems(); i++) {
		BMenuItem* item = ItemAt(i);
		float width = StringWidth(item->Label()) + 2 * kItemPadding;
		// A bar that does not fit itself to its items gives the last one the rest.
		if (!fResizeToFit && i == CountItems() - 1 && bounds.right > x + width)
			width = bounds.right - x + 1;
		item->fFrame = BRect(x, bounds.top, x + width - 1, bounds.bottom);
		x += width;
	}
}

void
BMenuBar::ItemsChanged()
{
	_LayOut();
	BMenu::ItemsChanged();
}

void
BMenuBar::Draw(BRect /*updateRect*/)
{
	_LayOut();
	const BRect bounds = Bounds();
	const rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetLowColor(background);
	FillRect(bounds, B_SOLID_LOW);
	font_height height;
	GetFontHeight(&height);
	for (int32 i = 0; i < CountItems(); i++) {
		BMenuItem* item = ItemAt(i);
		const BRect frame = item->Frame();
		if (fBorder == B_BORDER_EACH_ITEM) {
			SetHighColor(tint_color(background, B_DARKEN_2_TINT));
			StrokeRect(frame);
		}
		SetHighColor(item->IsEnabled() ? rgb_color { 0, 0, 0, 255 }
									   : tint_color(background, B_DISABLED_LABEL_TINT));
		const float baseline =
			frame.top + (frame.Height() + 1 + height.ascent - height.descent) / 2;
		DrawString(item->Label(), BPoint(frame.left + kItemPadding, baseline));
	}
	if (fBorder == B_BORDER_FRAME) {
		SetHighColor(tint_color(background, B_DARKEN_2_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
	}
}

BMenuItem*
BMenuBar::ItemAtPoint(BPoint where) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (ItemAt(i)->Frame().Contains(where))
			return ItemAt(i);
	}
	return NULL;
}

void
BMenuBar::MouseDown(BPoint where)
{
	_LayOut();
	BMenuItem* item = ItemAtPoint(where);
	if (item == NULL || !item->IsEnabled())
		return;
	BMenu* submenu = item->Submenu();
	if (submenu == NULL) {
		item->Invoke();
		return;
	}
	const BPoint below = ConvertToScreen(BPoint(item->Frame().left, item->Frame().bottom + 1));
	const BMessenger bar(this);
	BPrivate::open_menu(submenu, below, [bar, submenu](const BPrivate::MenuPath& path) {
		if (path.empty())
			return;
		BMessage chosen(kMenuChosen);
		chosen.AddPointer("menu", submenu);
		for (int32 index : path)
			chosen.AddInt32("path", index);
		bar.SendMessage(&chosen);
	});
}

void
BMenuBar::MessageReceived(BMessage* message)
{
	if (message->what != kMenuChosen) {
		BMenu::MessageReceived(message);
		return;
	}
	void* pointer = NULL;
	if (message->FindPointer("menu", &pointer) != B_OK)
		return;
	// The menu may have gone since it opened: only one of the bar's own submenus counts.
	BMenu* menu = NULL;
	for (int32 i = 0; i < CountItems(); i++) {
		if (ItemAt(i)->Submenu() == pointer)
			menu = ItemAt(i)->Submenu();
	}
	if (menu == NULL)
		return;
	BPrivate::MenuPath path;
	int32 index;
	for (int32 i = 0; message->FindInt32("path", i, &index) == B_OK; i++)
		path.push_back(index);
	BMenuItem* item = BPrivate::item_at_path(menu, path);
	if (item == NULL || !item->IsEnabled() || item->Submenu() != NULL)
		return;
	if (item->Menu()->IsRadioMode())
		item->SetMarked(true);
	item->Invoke();
}

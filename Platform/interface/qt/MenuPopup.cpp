// The Qt side of menus: a QMenu built from the BMenu's items each time it opens, so it
// always shows the current labels, marks and enabled states.
#include "MenuPopup.h"

#include "GuiThread.h"
#include "MenuTestHook.h"

#include <Menu.h>
#include <MenuItem.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include <future>
#include <mutex>

namespace BPrivate {

namespace {

std::mutex sChooserLock;
MenuChooser sChooser;

void
fill_menu(QMenu* target, BMenu* menu, MenuPath prefix)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		MenuPath path = prefix;
		path.push_back(i);
		if (item->Submenu() != NULL) {
			QMenu* submenu = target->addMenu(QString::fromUtf8(item->Label()));
			submenu->setEnabled(item->IsEnabled());
			fill_menu(submenu, item->Submenu(), path);
			continue;
		}
		if (dynamic_cast<BSeparatorItem*>(item) != NULL) {
			target->addSeparator();
			continue;
		}
		QAction* action = target->addAction(QString::fromUtf8(item->Label()));
		action->setEnabled(item->IsEnabled());
		if (item->IsMarked()) {
			action->setCheckable(true);
			action->setChecked(true);
		}
		QList<QVariant> encoded;
		for (int32 index : path)
			encoded.append(index);
		action->setData(encoded);
	}
}

MenuPath
decode(QAction* action)
{
	MenuPath path;
	if (action == nullptr)
		return path;
	for (const QVariant& index : action->data().toList())
		path.push_back(index.toInt());
	return path;
}

QMenu*
build_menu(BMenu* menu)
{
	QMenu* popup = new QMenu;
	popup->setAttribute(Qt::WA_DeleteOnClose);
	fill_menu(popup, menu, MenuPath());
	return popup;
}

} // namespace

void
set_menu_chooser(MenuChooser chooser)
{
	std::lock_guard<std::mutex> locker(sChooserLock);
	sChooser = std::move(chooser);
}

MenuChooser
menu_chooser()
{
	std::lock_guard<std::mutex> locker(sChooserLock);
	return sChooser;
}

BMenuItem*
item_at_path(BMenu* menu, const MenuPath& path)
{
	BMenuItem* item = NULL;
	for (int32 index : path) {
		if (menu == NULL)
			return NULL;
		item = menu->ItemAt(index);
		if (item == NULL)
			return NULL;
		menu = item->Submenu();
	}
	return item;
}

MenuPath
path_of_item(BMenu* menu, BMenuItem* item)
{
	MenuPath path;
	for (BMenu* current = item != NULL ? item->Menu() : NULL; current != NULL;
		 current = current->Supermenu()) {
		path.insert(path.begin(), current->IndexOf(item));
		if (current == menu)
			return path;
		item = current->Superitem();
	}
	return MenuPath();
}

MenuPath
run_menu(BMenu* menu, BPoint screenPoint)
{
	if (MenuChooser chooser = menu_chooser())
		return path_of_item(menu, chooser(menu));
	if (QApplication::instance() == nullptr)
		return MenuPath();
	const QPoint at(int(screenPoint.x), int(screenPoint.y));
	if (is_gui_thread()) {
		QMenu* popup = build_menu(menu);
		return decode(popup->exec(at));
	}
	std::promise<MenuPath> chosen;
	std::future<MenuPath> result = chosen.get_future();
	post_to_gui_thread(QApplication::instance(), [&chosen, menu, at] {
		QMenu* popup = build_menu(menu);
		chosen.set_value(decode(popup->exec(at)));
	});
	return result.get();
}

void
open_menu(BMenu* menu, BPoint screenPoint, std::function<void(const MenuPath&)> done)
{
	if (MenuChooser chooser = menu_chooser()) {
		done(path_of_item(menu, chooser(menu)));
		return;
	}
	if (QApplication::instance() == nullptr)
		return;
	const QPoint at(int(screenPoint.x), int(screenPoint.y));
	post_to_gui_thread(QApplication::instance(), [menu, at, done] {
		QMenu* popup = build_menu(menu);
		QObject::connect(
			popup, &QMenu::triggered, popup, [done](QAction* action) { done(decode(action)); });
		popup->popup(at);
	});
}

} // namespace BPrivate

// Menus: radio marking, the label that follows the marked item, choosing from a pop-up
// menu and from a menu field's bar, and where the chosen item's message goes.
#include <Application.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "qt/MenuTestHook.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

class ChoiceWindow : public BWindow {
public:
	ChoiceWindow() :
		BWindow(BRect(100, 100, 399, 199), "Menus", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'pick') {
			std::lock_guard<std::mutex> lock(fLock);
			fChoices.push_back(*message);
			return;
		}
		BWindow::MessageReceived(message);
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fChoices.size();
	}

	std::mutex fLock;
	std::vector<BMessage> fChoices;
};

class ScopedChooser {
public:
	explicit ScopedChooser(BPrivate::MenuChooser chooser)
	{
		BPrivate::set_menu_chooser(std::move(chooser));
	}

	~ScopedChooser() { BPrivate::set_menu_chooser(BPrivate::MenuChooser()); }
};

BMessage*
pick(const char* name)
{
	BMessage* message = new BMessage('pick');
	message->AddString("name", name);
	return message;
}

BPopUpMenu*
disk_menu()
{
	BPopUpMenu* menu = new BPopUpMenu("disks");
	menu->AddItem(new BMenuItem("Boot", pick("Boot")));
	menu->AddSeparatorItem();
	menu->AddItem(new BMenuItem("Data", pick("Data")));
	menu->AddItem(new BMenuItem("Scratch", pick("Scratch")));
	return menu;
}

int32
count_marked(BMenu* menu)
{
	int32 marked = 0;
	for (int32 i = 0; i < menu->CountItems(); i++)
		marked += menu->ItemAt(i)->IsMarked() ? 1 : 0;
	return marked;
}

} // namespace

TEST(MenuTest, RadioMenusKeepOneMark)
{
	BMenuBar bar(BRect(0, 0, 199, 19), "bar");
	BPopUpMenu* menu = disk_menu();
	bar.AddItem(menu);
	EXPECT_EQ(nullptr, menu->FindMarked());
	for (const char* label : { "Data", "Boot", "Scratch", "Scratch" }) {
		menu->FindItem(label)->SetMarked(true);
		EXPECT_EQ(1, count_marked(menu)) << label;
		EXPECT_STREQ(label, menu->FindMarked()->Label());
		// The bar's item shows the marked label.
		EXPECT_STREQ(label, bar.ItemAt(0)->Label());
	}
	EXPECT_EQ(3, menu->FindMarkedIndex());

	// Outside radio mode marks add up.
	BMenu plain("plain");
	plain.AddItem(new BMenuItem("One", NULL));
	plain.AddItem(new BMenuItem("Two", NULL));
	plain.ItemAt(0)->SetMarked(true);
	plain.ItemAt(1)->SetMarked(true);
	EXPECT_EQ(2, count_marked(&plain));
}

TEST(MenuTest, ItemsAndSeparatorsKeepTheirPlaces)
{
	BPopUpMenu* menu = disk_menu();
	EXPECT_EQ(4, menu->CountItems());
	BMenuItem* separator = menu->ItemAt(1);
	EXPECT_NE(nullptr, dynamic_cast<BSeparatorItem*>(separator));
	separator->SetEnabled(true);
	EXPECT_FALSE(separator->IsEnabled());
	separator->SetMarked(true);
	EXPECT_FALSE(separator->IsMarked());

	BMenuItem* data = menu->FindItem("Data");
	EXPECT_EQ(2, menu->IndexOf(data));
	EXPECT_EQ(menu, data->Menu());
	EXPECT_FALSE(menu->AddItem(data)); // already in a menu
	EXPECT_TRUE(menu->RemoveItem(data));
	EXPECT_EQ(nullptr, data->Menu());
	EXPECT_TRUE(menu->AddItem(data, 0));
	EXPECT_EQ(0, menu->IndexOf(data));
	EXPECT_EQ(data, menu->FindItem(uint32('pick')));

	menu->SetEnabled(false);
	EXPECT_FALSE(data->IsEnabled());
	menu->SetEnabled(true);
	EXPECT_TRUE(data->IsEnabled());
	EXPECT_TRUE(menu->RemoveItems(0, 2, true));
	EXPECT_EQ(2, menu->CountItems());
	delete menu;
}

TEST(MenuTest, GoReturnsTheChosenItemMarksItAndDeliversItsMessage)
{
	BApplication application("application/x-vnd.test-menu-go");
	ChoiceWindow* window = new ChoiceWindow;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	BPopUpMenu* menu = disk_menu();
	menu->SetTargetForItems(BMessenger(window));
	{
		ScopedChooser chooser([](BMenu* opened) { return opened->FindItem("Scratch"); });
		BMenuItem* chosen = menu->Go(BPoint(120, 130), true);
		ASSERT_NE(nullptr, chosen);
		EXPECT_STREQ("Scratch", chosen->Label());
		EXPECT_TRUE(chosen->IsMarked());
	}
	ASSERT_TRUE(wait_until([&] { return window->Count() == 1; }));
	EXPECT_STREQ("Scratch", window->fChoices[0].GetString("name", ""));
	EXPECT_EQ(3, window->fChoices[0].GetInt32("index", -1));
	{
		// Closing the menu chooses nothing; a disabled item cannot be chosen.
		ScopedChooser nothing([](BMenu*) { return static_cast<BMenuItem*>(NULL); });
		EXPECT_EQ(nullptr, menu->Go(BPoint(120, 130), true));
		menu->FindItem("Data")->SetEnabled(false);
		ScopedChooser disabled([](BMenu* opened) { return opened->FindItem("Data"); });
		EXPECT_EQ(nullptr, menu->Go(BPoint(120, 130), true));
	}
	run_for(50);
	EXPECT_EQ(1u, window->Count());
	EXPECT_STREQ("Scratch", menu->FindMarked()->Label());
	delete menu;
	if (window->Lock())
		window->Quit();
}

TEST(MenuTest, AMenuFieldOpensItsMenuAndSendsToTheWindow)
{
	BApplication application("application/x-vnd.test-menu-field");
	ChoiceWindow* window = new ChoiceWindow;
	BPopUpMenu* menu = disk_menu();
	menu->FindItem("Boot")->SetMarked(true);
	BMenuField* field = new BMenuField(BRect(10, 10, 209, 34), "volume", "Disk", menu);
	window->AddChild(field);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	window->Lock();
	EXPECT_EQ(menu, field->Menu());
	EXPECT_STREQ("Boot", field->MenuItem()->Label());
	EXPECT_GT(field->Divider(), 0);
	field->SetDivider(60);
	EXPECT_EQ(60, field->Divider());
	EXPECT_EQ(61, field->MenuBar()->Frame().left);
	window->Unlock();

	ScopedChooser chooser([](BMenu* opened) { return opened->FindItem("Data"); });
	click(window, BPoint(100, 22));
	ASSERT_TRUE(wait_until([&] { return window->Count() == 1; }));
	EXPECT_STREQ("Data", window->fChoices[0].GetString("name", ""));
	window->Lock();
	EXPECT_STREQ("Data", field->MenuItem()->Label());
	EXPECT_EQ(1, count_marked(menu));

	// A disabled field's menu does not open.
	field->SetEnabled(false);
	EXPECT_FALSE(field->IsEnabled());
	EXPECT_FALSE(field->MenuItem()->IsEnabled());
	window->Unlock();
	click(window, BPoint(100, 22));
	run_for(100);
	EXPECT_EQ(1u, window->Count());
	if (window->Lock())
		window->Quit();
}

// Attached to a window, a menu's items (in submenus too, and items added afterwards) target
// that window, unless they were given a target of their own, so that sending an item's
// message to its target reaches the window.
TEST(MenuTest, ItemsTargetTheirWindowOnceTheMenuIsAttached)
{
	BApplication application("application/x-vnd.test-menu-targets");
	ChoiceWindow* window = new ChoiceWindow;
	ChoiceWindow* other = new ChoiceWindow;
	other->Show();

	BMenuBar* bar = new BMenuBar(BRect(0, 0, 299, 19), "MenuBar");
	BMenu* file = new BMenu("File");
	BMenuItem* plain = new BMenuItem("Plain", pick("Plain"));
	BMenuItem* own = new BMenuItem("Own", pick("Own"));
	own->SetTarget(other);
	file->AddItem(plain);
	file->AddItem(own);
	BMenu* recent = new BMenu("Recent");
	BMenuItem* nested = new BMenuItem("Nested", pick("Nested"));
	recent->AddItem(nested);
	file->AddItem(recent);
	bar->AddItem(file);
	EXPECT_FALSE(plain->Messenger().IsValid()) << "no window yet";

	window->AddChild(bar);
	window->Lock();
	BMenuItem* later = new BMenuItem("Later", pick("Later"));
	file->AddItem(later);
	const BMessenger windowMessenger(window);
	EXPECT_TRUE(plain->Messenger() == windowMessenger);
	EXPECT_TRUE(nested->Messenger() == windowMessenger);
	EXPECT_TRUE(later->Messenger() == windowMessenger);
	EXPECT_TRUE(own->Messenger() == BMessenger(other));
	window->Unlock();

	// What programs do with an item: send its message to its target.
	window->Show();
	BMessage message(*plain->Message());
	EXPECT_EQ(B_OK, plain->Messenger().SendMessage(&message));
	ASSERT_TRUE(wait_until([&] { return window->Count() == 1; }));
	EXPECT_STREQ("Plain", window->fChoices[0].GetString("name", ""));

	if (window->Lock())
		window->Quit();
	if (other->Lock())
		other->Quit();
}

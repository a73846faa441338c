// LibMenuButton: its frame and the menu field's beside the label, forwarding to the menu
// field, and a disabled button whose label greys and whose menu does not open.
#include "LibMenuButton.h"

#include "LibBitmap.h"
#include "LibString.h"

#include <Application.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "qt/MenuTestHook.h"

#include <gtest/gtest.h>

using namespace gui_test;

TEST(LibMenuButtonTest, TheMenuFieldSitsRightOfTheDivider)
{
	LibMenuButton button(BPoint(10, 40), "volume_menu", "Disk", 60, 130, B_FOLLOW_NONE);
	EXPECT_EQ(BRect(10, 40, 200, 65), button.Frame());
	EXPECT_STREQ("Disk", button.LabelText());
	EXPECT_EQ(BRect(0, 0, 48, 22), button.FindView("label")->Frame());
	EXPECT_EQ(BRect(49, 0, 58, 22), button.FindView("colon")->Frame());
	BView* menu = button.FindView("menu");
	ASSERT_NE(nullptr, menu);
	EXPECT_EQ(menu, button.MenuField());
	EXPECT_EQ(BRect(57, 0, 187, 25), menu->Frame());
}

TEST(LibMenuButtonTest, OperationsReachTheMenuField)
{
	LibMenuButton button(BPoint(0, 0), "install_type", "Install", 60, 130, B_FOLLOW_NONE, 10);
	button.AddItem("Typical");
	button.AddItem(LibString("Full"), new BMessage('full'));
	button.AddSeparatorItem();
	button.AddItem("Custom", NULL, 0);
	EXPECT_STREQ("Typical", button.Text());
	EXPECT_EQ(1, button.CurrentSelection());
	button.SetText("Full");
	EXPECT_EQ(2, button.CurrentSelection());
	button.SetItem(0);
	EXPECT_STREQ("Custom", button.Text());
	button.ReplaceItem("Custom", "Own choice");
	EXPECT_TRUE(button.InMenu("Own choice"));
	button.SetEnableItem("Full", false);
	EXPECT_FALSE(button.IsItemEnabled(2));
	button.SetEnableItem(2, true);
	EXPECT_TRUE(button.IsItemEnabled("Full"));
	button.RemoveItem("Own choice");
	EXPECT_STREQ("Typical", button.Text());
	button.RemoveItem(0);
	EXPECT_STREQ("Full", button.Text());
	EXPECT_EQ((uint32)'full', button.ItemAt(0)->Message()->what);

	BMessage volumes;
	volumes.AddString("name", "Boot");
	button.SetTo(volumes, "name", 0);
	EXPECT_STREQ("Boot", button.Text());
	button.AddStdFolder(B_TRASH_DIRECTORY, 0);
	EXPECT_TRUE(button.InMenu("Trash"));
	button.Clear();
	button.AddStdFolders(false, 0);
	EXPECT_STREQ("Desktop", button.Text());
}

TEST(LibMenuButtonTest, ADisabledButtonIsGreyAndItsMenuDoesNotOpen)
{
	BApplication application("application/x-vnd.test-lib-menu-button");
	BWindow* window = new BWindow(BRect(50, 50, 299, 119), "Menus", B_TITLED_WINDOW, 0);
	LibMenuButton* button =
		new LibMenuButton(BPoint(10, 10), "menu_button", "Disk", 60, 130, B_FOLLOW_NONE);
	button->AddItem("Boot");
	button->AddItem("Work");
	window->AddChild(button);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	int32 opened = 0;
	BPrivate::set_menu_chooser([&](BMenu* menu) -> BMenuItem* {
		opened++;
		return menu->ItemAt(1);
	});
	const BPoint inMenu(10 + 57 + 40, 10 + 12);

	window->Lock();
	button->SetEnabled(false);
	EXPECT_EQ(lib_nearest_system_color(128, 128, 128), button->FindView("label")->HighColor());
	EXPECT_EQ(lib_nearest_system_color(128, 128, 128), button->FindView("colon")->HighColor());
	EXPECT_FALSE(button->MenuField()->IsEnabled());
	window->Unlock();
	click(window, inMenu);
	run_for(50);
	EXPECT_EQ(0, opened);
	EXPECT_STREQ("Boot", button->Text());

	window->Lock();
	button->SetEnabled(true);
	EXPECT_EQ(lib_nearest_system_color(0, 0, 0), button->FindView("label")->HighColor());
	window->Unlock();
	click(window, inMenu);
	EXPECT_TRUE(wait_until([&] { return opened == 1; }));
	EXPECT_TRUE(wait_until([&] {
		window->Lock();
		bool chosen = button->CurrentSelection() == 1;
		window->Unlock();
		return chosen;
	}));
	BPrivate::set_menu_chooser(BPrivate::MenuChooser());

	// The button hands the focus to its menu field.
	window->Lock();
	button->MakeFocus(true);
	EXPECT_TRUE(button->MenuField()->IsFocus());
	window->Quit();
}

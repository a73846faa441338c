// LibMenuButton: the label, colon and menu field beside the divider, and a disabled button
// whose label greys and whose menu does not open.
#include "LibMenuButton.h"

#include "LibBitmap.h"

#include <Font.h>
#include <Menu.h>
#include <MenuItem.h>

#include "WidgetTestHelpers.h"
#include "qt/MenuTestHook.h"

using namespace gui_test;

TEST(LibMenuButtonTest, LabelColonAndMenuSitAroundTheDivider)
{
	LibMenuButton button(BPoint(10, 40), "volume_menu", "Disk", 60, 130, B_FOLLOW_NONE);
	EXPECT_EQ(BRect(10, 40, 200, 65), button.Frame());
	EXPECT_STREQ("Disk", button.LabelText());
	EXPECT_EQ(BRect(0, 0, 48, 22), button.FindView("label")->Frame());
	EXPECT_EQ(BRect(49, 0, 58, 22), button.FindView("colon")->Frame());
	EXPECT_EQ(BRect(57, 0, 187, 25), button.FindView("menu")->Frame());
	BFont font;
	button.FindView("label")->GetFont(&font);
	EXPECT_EQ(12, font.Size());
	EXPECT_NE(0, font.Face() & B_BOLD_FACE);

	LibLabelControl plain(BRect(0, 0, 230, 25), 100, "plain", "Disk", 3, NULL, B_FOLLOW_NONE);
	EXPECT_EQ(BRect(0, 0, 98, 22), plain.FindView("label")->Frame());
	EXPECT_EQ(nullptr, plain.FindView("colon"));
}

class LibMenuButtonWindowTest : public widget_test::WindowTest { };

TEST_F(LibMenuButtonWindowTest, ADisabledButtonIsGreyAndItsMenuDoesNotOpen)
{
	Open({});
	LibMenuButton* button =
		new LibMenuButton(BPoint(10, 10), "menu_button", "Disk", 60, 130, B_FOLLOW_NONE);
	button->AddItem("Boot");
	button->AddItem("Work");
	fWindow->AddChild(button);
	ShowWindow();

	int32 opened = 0;
	BPrivate::set_menu_chooser([&](BMenu* menu) -> BMenuItem* {
		opened++;
		return menu->ItemAt(1);
	});
	const BPoint inMenu(10 + 57 + 40, 10 + 12);
	for (bool enabled : { false, true }) {
		fWindow->Lock();
		button->SetEnabled(enabled);
		const rgb_color grey =
			enabled ? lib_nearest_system_color(0, 0, 0) : lib_nearest_system_color(128, 128, 128);
		EXPECT_EQ(grey, button->FindView("label")->HighColor());
		EXPECT_EQ(grey, button->FindView("colon")->HighColor());
		fWindow->Unlock();
		click(fWindow, inMenu);
		run_for(50);
		EXPECT_EQ(enabled ? 1 : 0, opened);
	}
	BPrivate::set_menu_chooser(BPrivate::MenuChooser());
	EXPECT_TRUE(wait_until([&] { return std::string(button->Text()) == "Work"; }));

	// The button hands the focus to its menu field.
	fWindow->Lock();
	button->MakeFocus(true);
	EXPECT_TRUE(button->MenuField()->IsFocus());
	fWindow->Unlock();
}

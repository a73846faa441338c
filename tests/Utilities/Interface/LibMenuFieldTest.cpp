// LibMenuField: the mark as the field's value through adding, marking, renaming, removing
// and refilling; the standard-folder fillers; and stepping the mark with the keys, which
// passes over separators and disabled items and tells the window.
#include "LibMenuField.h"

#include <Application.h>
#include <InterfaceDefs.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

std::vector<std::string>
labels_of(const LibMenuField& field)
{
	std::vector<std::string> labels;
	for (int32 i = 0; field.ItemAt(i) != NULL; i++)
		labels.push_back(field.ItemAt(i)->Label());
	return labels;
}

// The label the field shows.
std::string
shown(const LibMenuField& field)
{
	return field.MenuItem()->Label();
}

} // namespace

TEST(LibMenuFieldTest, TheFirstItemIsMarkedAndLaterOnesLeaveTheMark)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	EXPECT_EQ(-1, field.CurrentSelection());
	EXPECT_STREQ("", field.Text());
	EXPECT_TRUE(field.Menu()->IsRadioMode());

	ASSERT_TRUE(field.Add("Boot"));
	EXPECT_EQ(0, field.CurrentSelection());
	EXPECT_EQ("Boot", shown(field));
	field.Add("Work");
	field.Add("Backup", new BMessage('volm'), 0);
	EXPECT_EQ((std::vector<std::string> { "Backup", "Boot", "Work" }), labels_of(field));
	EXPECT_STREQ("Boot", field.Text());
	EXPECT_EQ(1, field.CurrentSelection());

	// Indexes outside the menu add nothing.
	EXPECT_FALSE(field.Add("Far", NULL, 9));
	EXPECT_FALSE(field.Add("Negative", NULL, -2));
	EXPECT_EQ(3u, labels_of(field).size());
}

TEST(LibMenuFieldTest, MarkingByLabelOrIndexNeedsAnItemThere)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 10);
	field.Add("Boot");
	field.Add("Work");
	field.AddSeparatorItem();
	field.Add("Backup");

	struct Row {
		const char* label;
		int32 index;
		int32 marked;
	};

	const Row rows[] = {
		{ "Work", -1, 1 },
		{ "Missing", -1, 1 },
		{ NULL, 3, 3 },
		{ NULL, 17, 3 },
		{ NULL, -1, 3 },
		{ "Boot", -1, 0 },
	};
	for (const Row& row : rows) {
		if (row.label != NULL)
			field.SetText(row.label);
		else
			field.SetItem(row.index);
		EXPECT_EQ(row.marked, field.CurrentSelection()) << (row.label ? row.label : "index");
		EXPECT_EQ(field.Text(), shown(field));
	}
}

TEST(LibMenuFieldTest, ItemOperationsByIndexAndLabel)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	field.Add("Boot");
	field.Add("Work");
	field.Add("Backup");

	EXPECT_TRUE(field.InMenu("Work"));
	EXPECT_FALSE(field.InMenu("work"));
	EXPECT_FALSE(field.IsItemEnabled("Missing"));
	EXPECT_FALSE(field.IsItemEnabled(5));
	field.SetEnableItem("Work", false);
	field.SetEnableItem(2, false);
	field.SetEnableItem("Missing", false);
	EXPECT_TRUE(field.IsItemEnabled(0));
	EXPECT_FALSE(field.IsItemEnabled(1));
	EXPECT_FALSE(field.IsItemEnabled("Backup"));
	field.SetEnableItem(1, true);
	EXPECT_TRUE(field.IsItemEnabled("Work"));

	// Renaming the marked item renames what the field shows.
	field.Replace("Boot", "System");
	EXPECT_STREQ("System", field.Text());
	EXPECT_EQ("System", shown(field));
	field.Replace("Missing", "Other");
	EXPECT_EQ((std::vector<std::string> { "System", "Work", "Backup" }), labels_of(field));

	// Removing the marked item marks the first one left; removing all shows nothing.
	field.SetText("Work");
	field.RemoveItem("Work");
	EXPECT_STREQ("System", field.Text());
	field.RemoveItem(7);
	field.RemoveItem(0);
	EXPECT_STREQ("Backup", field.Text());
	EXPECT_EQ("Backup", shown(field));
	field.RemoveItem("Backup");
	EXPECT_EQ(-1, field.CurrentSelection());
	EXPECT_EQ("", shown(field));

	field.Add("One");
	field.Add("Two");
	field.Clear();
	EXPECT_TRUE(labels_of(field).empty());
	EXPECT_EQ("", shown(field));
}

TEST(LibMenuFieldTest, SetToRefillsFromAMessageAndKeepsTheMarkedLabel)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	field.Add("Minimal");
	field.Add("Full");
	field.SetText("Full");

	BMessage without;
	without.AddString("other", "Custom");
	field.SetTo(without, "types", 'type');
	EXPECT_EQ((std::vector<std::string> { "Minimal", "Full" }), labels_of(field));

	BMessage types;
	types.AddString("types", "Typical");
	types.AddString("types", "Full");
	types.AddString("types", "Custom");
	field.SetTo(types, "types", 'type');
	EXPECT_EQ((std::vector<std::string> { "Typical", "Full", "Custom" }), labels_of(field));
	EXPECT_STREQ("Full", field.Text());
	ASSERT_NE(nullptr, field.ItemAt(2)->Message());
	EXPECT_EQ((uint32)'type', field.ItemAt(2)->Message()->what);

	BMessage others;
	others.AddString("types", "Small");
	others.AddString("types", "Large");
	field.SetTo(others, "types", 0);
	EXPECT_STREQ("Small", field.Text());
	EXPECT_EQ(nullptr, field.ItemAt(1)->Message());
}

TEST(LibMenuFieldTest, StandardFoldersComeInTheirGroups)
{
	struct Row {
		bool withSystem;
		size_t count;
		std::vector<int32> separators;
		const char* firstCommon;
	};

	const Row rows[] = {
		{ true, 54, { 5, 21, 41 }, "Common" },
		{ false, 38, { 5, 25 }, "Common" },
	};
	for (const Row& row : rows) {
		LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
		field.AddStdFolders(row.withSystem, 'fold');
		std::vector<std::string> labels = labels_of(field);
		ASSERT_EQ(row.count, labels.size());
		EXPECT_EQ((std::vector<std::string> {
					  "Desktop", "Trash", "Applications", "Preferences", "Utilities" }),
			std::vector<std::string>(labels.begin(), labels.begin() + 5));
		for (int32 index : row.separators)
			EXPECT_FALSE(field.IsItemEnabled(index)) << index;
		EXPECT_EQ(row.firstCommon, labels[row.separators[row.separators.size() - 2] + 1]);
		EXPECT_EQ("User", labels[row.separators.back() + 1]);
		EXPECT_EQ("User Sounds", labels.back());
		EXPECT_STREQ("Desktop", field.Text());
		EXPECT_EQ((uint32)'fold', field.ItemAt(1)->Message()->what);
	}
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	field.AddStdFolders(true, 0);
	EXPECT_EQ("BeOS", labels_of(field)[6]);
	EXPECT_EQ("BeOS Sounds", labels_of(field)[20]);
	field.AddStdFolder((directory_which)999, 0);
	EXPECT_EQ(54u, labels_of(field).size());
}

namespace {

class MenuWindow : public BWindow {
public:
	MenuWindow() :
		BWindow(BRect(50, 50, 249, 99), "Menus", B_TITLED_WINDOW, 0)
	{
		fField = new LibMenuField(BRect(10, 10, 139, 30), "menu", 0);
		AddChild(fField);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'item') {
			int32 index = -1;
			message->FindInt32("index", &index);
			fChosen.push_back(index);
			return;
		}
		BWindow::MessageReceived(message);
	}

	LibMenuField* fField;
	std::vector<int32> fChosen;
};

} // namespace

TEST(LibMenuFieldTest, KeysStepTheMarkPastSeparatorsAndDisabledItemsAndWrap)
{
	BApplication application("application/x-vnd.test-lib-menu-field");
	MenuWindow* window = new MenuWindow;
	LibMenuField* field = window->fField;
	// 0 A, 1 B, 2 separator, 3 C (disabled), 4 D, 5 E (no message)
	field->Add("A", new BMessage('item'));
	field->Add("B", new BMessage('item'));
	field->AddSeparatorItem();
	field->Add("C", new BMessage('item'));
	field->Add("D", new BMessage('item'));
	field->Add("E");
	field->SetEnableItem("C", false);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	struct Row {
		int32 from;
		char key;
		int32 to;
	};

	const Row rows[] = {
		{ 0, B_DOWN_ARROW, 1 },
		{ 1, B_DOWN_ARROW, 4 },
		{ 4, B_UP_ARROW, 1 },
		{ 5, B_DOWN_ARROW, 0 },
		{ 0, B_UP_ARROW, 5 },
		{ 4, B_HOME, 0 },
		{ 1, B_END, 5 },
		{ 0, B_HOME, 0 },
	};
	for (const Row& row : rows) {
		window->Lock();
		field->SetItem(row.from);
		window->fChosen.clear();
		char bytes[2] = { row.key, 0 };
		field->KeyDown(bytes, 1);
		EXPECT_EQ(row.to, field->CurrentSelection()) << row.from << " key " << (int)row.key;
		EXPECT_EQ(field->Text(), std::string(field->MenuItem()->Label()));
		window->Unlock();
		// The item marked tells the window, unless it has no message or nothing moved.
		const bool tells = row.to != row.from && row.to != 5;
		if (tells) {
			EXPECT_TRUE(wait_until([&] { return !window->fChosen.empty(); }));
			window->Lock();
			EXPECT_EQ(std::vector<int32> { row.to }, window->fChosen);
			window->Unlock();
		} else {
			run_for(30);
			EXPECT_TRUE(window->fChosen.empty());
		}
	}

	// A real key press reaches the field once it has the focus.
	window->Lock();
	field->SetItem(0);
	field->MakeFocus(true);
	window->Unlock();
	send_key(window, Qt::Key_Down);
	EXPECT_TRUE(wait_until([&] { return field->CurrentSelection() == 1; }));
	window->Lock();
	window->Quit();
}

TEST(LibMenuFieldTest, KeysDoNothingWithoutAMarkOrAnyItemToMark)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	char down[2] = { B_DOWN_ARROW, 0 };
	field.KeyDown(down, 1);
	EXPECT_EQ(-1, field.CurrentSelection());

	field.Add("Only");
	field.AddSeparatorItem();
	field.AddSeparatorItem();
	char keys[] = { B_DOWN_ARROW, B_UP_ARROW, B_HOME, B_END };
	for (char key : keys) {
		char bytes[2] = { key, 0 };
		field.KeyDown(bytes, 1);
		EXPECT_EQ(0, field.CurrentSelection());
	}
}

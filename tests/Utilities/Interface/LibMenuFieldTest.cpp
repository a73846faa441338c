// LibMenuField: the mark as the field's value through adding, marking, removing and refilling,
// the standard-folder groups, and stepping the mark with the keys past separators and
// disabled items, telling the window.
#include "LibMenuField.h"

#include <InterfaceDefs.h>
#include <MenuItem.h>

#include "WidgetTestHelpers.h"

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

// The field's value and the label it shows, which must agree.
std::string
value_of(const LibMenuField& field)
{
	EXPECT_STREQ(field.Text(), field.MenuItem()->Label());
	return field.Text();
}

} // namespace

TEST(LibMenuFieldTest, TheMarkFollowsAddingMarkingAndRemoving)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 10);
	ASSERT_TRUE(field.Add("Boot"));
	field.Add("Work");
	field.Add("Backup", NULL, 0);
	EXPECT_FALSE(field.Add("Far", NULL, 9));
	EXPECT_EQ((std::vector<std::string> { "Backup", "Boot", "Work" }), labels_of(field));
	EXPECT_EQ("Boot", value_of(field));

	field.SetText("Missing");
	field.SetItem(17);
	EXPECT_EQ(1, field.CurrentSelection());
	field.SetText("Work");
	field.Replace("Work", "Data");
	EXPECT_EQ("Data", value_of(field));
	field.SetEnableItem("Boot", false);
	EXPECT_FALSE(field.IsItemEnabled(1));
	EXPECT_FALSE(field.IsItemEnabled("Missing"));

	// Removing the marked item marks the first one left; removing the last shows nothing.
	field.RemoveItem("Data");
	EXPECT_EQ("Backup", value_of(field));
	field.RemoveItem(0);
	field.RemoveItem(0);
	EXPECT_EQ(-1, field.CurrentSelection());
	EXPECT_EQ("", value_of(field));
}

TEST(LibMenuFieldTest, SetToRefillsFromAMessageAndKeepsTheMarkedLabel)
{
	LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
	field.Add("Minimal");
	field.Add("Full");
	field.SetText("Full");
	BMessage types;
	types.AddString("other", "Custom");
	field.SetTo(types, "types", 'type');
	EXPECT_EQ((std::vector<std::string> { "Minimal", "Full" }), labels_of(field));

	types.AddString("types", "Typical");
	types.AddString("types", "Full");
	field.SetTo(types, "types", 'type');
	EXPECT_EQ((std::vector<std::string> { "Typical", "Full" }), labels_of(field));
	EXPECT_EQ("Full", value_of(field));
	EXPECT_EQ((uint32)'type', field.ItemAt(0)->Message()->what);
	types.ReplaceString("types", 1, "Large");
	field.SetTo(types, "types", 0);
	EXPECT_EQ("Typical", value_of(field));
	EXPECT_EQ(nullptr, field.ItemAt(0)->Message());
}

TEST(LibMenuFieldTest, StandardFoldersComeInTheirGroups)
{
	for (bool withSystem : { true, false }) {
		LibMenuField field(BRect(0, 0, 129, 20), "menu", 0);
		field.AddStdFolders(withSystem, 'fold');
		const std::vector<std::string> labels = labels_of(field);
		// 5 first, 15 system, 19 common and 12 user folders, with their separators.
		const std::vector<int32> separators =
			withSystem ? std::vector<int32> { 5, 21, 41 } : std::vector<int32> { 5, 25 };
		ASSERT_EQ(withSystem ? 54u : 38u, labels.size());
		EXPECT_EQ("Utilities", labels[4]);
		for (int32 index : separators)
			EXPECT_FALSE(field.IsItemEnabled(index)) << index;
		EXPECT_EQ(withSystem ? "BeOS Sounds" : "Common Temporary", labels[20]);
		EXPECT_EQ("Common", labels[separators[separators.size() - 2] + 1]);
		EXPECT_EQ("User Sounds", labels.back());
		EXPECT_EQ((uint32)'fold', field.ItemAt(1)->Message()->what);
	}
}

class LibMenuFieldKeyTest : public widget_test::WindowTest { };

TEST_F(LibMenuFieldKeyTest, KeysStepTheMarkPastSeparatorsAndDisabledItemsAndWrap)
{
	Open({ 'item' });
	LibMenuField* field = new LibMenuField(BRect(10, 10, 139, 30), "menu", 0);
	fWindow->AddChild(field);
	// 0 A, 1 B, 2 separator, 3 C (disabled), 4 D, 5 E (no message)
	for (const char* label : { "A", "B", "-", "C", "D", "E" }) {
		if (label[0] == '-')
			field->AddSeparatorItem();
		else
			field->Add(label, label[0] == 'E' ? NULL : new BMessage('item'));
	}
	field->SetEnableItem("C", false);
	ShowWindow();

	const struct {
		int32 from;
		char key;
		int32 to;
	} rows[] = { { 0, B_DOWN_ARROW, 1 }, { 1, B_DOWN_ARROW, 4 }, { 4, B_UP_ARROW, 1 },
		{ 5, B_DOWN_ARROW, 0 }, { 0, B_UP_ARROW, 5 }, { 4, B_HOME, 0 }, { 1, B_END, 5 },
		{ 0, B_HOME, 0 } };

	for (const auto& row : rows) {
		fWindow->Lock();
		field->SetItem(row.from);
		fWindow->Forget();
		const char bytes[2] = { row.key, 0 };
		field->KeyDown(bytes, 1);
		EXPECT_EQ(row.to, field->CurrentSelection()) << row.from << " key " << (int)row.key;
		fWindow->Unlock();
		// The item marked tells the window, unless it has no message or nothing moved.
		if (row.to != row.from && row.to != 5) {
			ASSERT_TRUE(wait_until([&] { return fWindow->Received().size() == 1; }));
			EXPECT_EQ(row.to, fWindow->Received()[0].FindInt32("index"));
		} else {
			run_for(30);
			EXPECT_TRUE(fWindow->Received().empty());
		}
	}

	// A real key press reaches the field once it has the focus.
	fWindow->Lock();
	field->SetItem(0);
	field->MakeFocus(true);
	fWindow->Unlock();
	send_key(fWindow, Qt::Key_Down);
	EXPECT_TRUE(wait_until([&] { return field->CurrentSelection() == 1; }));

	// Nothing to step to: the search ends.
	LibMenuField lonely(BRect(0, 0, 129, 20), "menu", 0);
	lonely.Add("Only");
	lonely.AddSeparatorItem();
	const char down[2] = { B_DOWN_ARROW, 0 };
	lonely.KeyDown(down, 1);
	EXPECT_EQ(0, lonely.CurrentSelection());
}

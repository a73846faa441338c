// InstallListItem: the install_file record's groups and sizes as the installer's item list
// reads them, the record it writes back, and its rows' defaults.
#include "InstallListItem.h"

#include <Font.h>
#include <ListView.h>
#include <Message.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string>
names_of(InstallListItem& item)
{
	std::vector<std::string> names;
	for (LibString* name = item.groups.First(); name != NULL; name = item.groups.Next())
		names.push_back((const char*)*name);
	return names;
}

} // namespace

TEST(InstallListItemTest, TheRecordGivesGroupsAndTheFirstSize)
{
	struct Row {
		const char* groups;
		std::vector<int32> sizes;
		std::vector<std::string> names;
		int32 size;
	};

	const Row rows[] = {
		{ "Typical;Full;", { 5000, 0 }, { "Typical", "Full" }, 5000 },
		{ "", { 0, 5000 }, {}, 0 },
		// Names compare exactly: case and inner blanks stay.
		{ "Full Install;full;", {}, { "Full Install", "full" }, 0 },
	};
	for (const Row& row : rows) {
		BMessage record;
		record.AddString("file_name", "/boot/apps/Demo");
		record.AddString("groups", row.groups);
		for (int32 size : row.sizes)
			record.AddInt32("file_size", size);
		InstallListItem item(false);
		item.SetShowFullPath(false);
		item.Read(record);
		EXPECT_EQ(row.names, names_of(item)) << row.groups;
		EXPECT_EQ(row.size, item.Size()) << row.groups;
		EXPECT_STREQ("Demo", item.DisplayText());
	}
}

TEST(InstallListItemTest, AWrittenRowReadsBackWithTwoSizes)
{
	ScopedTempDir folder;
	const std::string path = folder.Child("Demo");
	std::ofstream(path) << std::string(3000, 'd');

	InstallListItem original(path.c_str(), false, false);
	original.SetType(FileListItem::FILE_TYPE_FILE);
	original.groups.Add("Typical");
	original.groups.Add("Full");
	original.SetSize(4096);
	BMessage record;
	original.Write(record);

	EXPECT_STREQ("Typical;Full;", record.GetString("groups", ""));
	int32 entrySize = 0;
	int32 itemSize = 0;
	ASSERT_EQ(B_OK, record.FindInt32("file_size", 0, &entrySize));
	ASSERT_EQ(B_OK, record.FindInt32("file_size", 1, &itemSize));
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(B_OK, record.GetInfo("file_size", &type, &count));
	EXPECT_EQ(2, count);
	EXPECT_GE(entrySize, 3000);
	EXPECT_EQ(4096, itemSize);

	InstallListItem copy(false);
	copy.Read(record);
	EXPECT_EQ(original.Path(), copy.Path());
	EXPECT_EQ(FileListItem::FILE_TYPE_FILE, copy.Type());
	EXPECT_EQ((std::vector<std::string> { "Typical", "Full" }), names_of(copy));
	// The size read is the entry size the record was written with.
	EXPECT_EQ(entrySize, copy.Size());

	// A row made from another takes its groups and starts with no size.
	InstallListItem again(copy, true);
	EXPECT_EQ(names_of(copy), names_of(again));
	EXPECT_EQ(0, again.Size());
}

TEST(InstallListItemTest, RowsShortenLongNamesFromTheBeginning)
{
	BListView owner(BRect(0, 0, 153, 107), "custom_list");
	BFont font(be_plain_font);
	BMessage record;
	record.AddString("file_name", "/boot/apps/A Remarkably Long Application Name For The List");
	// As the installer window makes its rows.
	InstallListItem item(false);
	EXPECT_TRUE(item.ShowFullPath());
	item.SetShowFullPath(false);
	item.Read(record);
	item.Update(&owner, &font);
	const std::string shown = item.DisplayText();
	EXPECT_TRUE(shown.starts_with("\xE2\x80\xA6")) << shown;
	EXPECT_TRUE(shown.ends_with("The List")) << shown;
	EXPECT_LE(font.StringWidth(shown.c_str()), 153 - 3 - 14 - 7);
}

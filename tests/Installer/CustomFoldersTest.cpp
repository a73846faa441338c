#include "CustomFolders.h"

#include <Message.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void
add_folder(CustomFolders& list, const char* name, directory_which parent, bool common)
{
	CustomFolder* folder = new CustomFolder(name);
	folder->ParentFolder(parent);
	folder->SubFolder(name);
	folder->CommonDef(common);
	list.Insert(folder);
}

std::vector<std::string>
names_of(CustomFolders& list)
{
	std::vector<std::string> names;
	for (CustomFolder* folder = list.First(); folder != nullptr; folder = list.Next())
		names.push_back(std::string(folder->Name()) + (folder->CommonDef() ? "*" : ""));
	return names;
}

} // namespace

TEST(CustomFolders, FindsByExactName)
{
	CustomFolders list;
	add_folder(list, "StartUp", B_USER_BOOT_DIRECTORY, false);
	EXPECT_TRUE(list.IsCustom("StartUp"));
	EXPECT_FALSE(list.IsCustom("startup"));
	ASSERT_NE(list.Find("StartUp"), nullptr);
	EXPECT_EQ(list.Find("StartUp")->ParentFolder(), B_USER_BOOT_DIRECTORY);
	EXPECT_EQ(list.Find("Other"), nullptr);
}

TEST(CustomFolders, WritePrefWritesOneKindNumberedWithoutGaps)
{
	CustomFolders list;
	add_folder(list, "A", B_USER_DIRECTORY, false);
	add_folder(list, "Shared1", B_COMMON_DIRECTORY, true);
	add_folder(list, "B", B_USER_LIB_DIRECTORY, false);
	add_folder(list, "Shared2", B_COMMON_BIN_DIRECTORY, true);
	add_folder(list, "C", B_USER_BOOT_DIRECTORY, false);
	EXPECT_EQ(list.CountCommonCustom(), 2);

	BMessage authors;
	list.WritePref(authors, true);
	int32 quantity = -1;
	ASSERT_EQ(authors.FindInt32("custom_folder_qty", &quantity), B_OK);
	EXPECT_EQ(quantity, 3);
	const char* name = nullptr;
	ASSERT_EQ(authors.FindString("custom_folder_name_1", &name), B_OK);
	EXPECT_STREQ(name, "B");
	ASSERT_EQ(authors.FindString("custom_folder_name_2", &name), B_OK);
	EXPECT_STREQ(name, "C");
	EXPECT_NE(authors.FindString("custom_folder_name_3", &name), B_OK);

	BMessage common;
	list.WritePref(common, false);
	ASSERT_EQ(common.FindInt32("custom_folder_qty", &quantity), B_OK);
	EXPECT_EQ(quantity, 2);
	ASSERT_EQ(common.FindString("custom_folder_name_0", &name), B_OK);
	EXPECT_STREQ(name, "Shared1");
	ASSERT_EQ(common.FindString("custom_folder_name_1", &name), B_OK);
	EXPECT_STREQ(name, "Shared2");

	CustomFolders read;
	read.ReadPref(authors, true);
	read.ReadPref(common, false);
	EXPECT_EQ(names_of(read), (std::vector<std::string> { "A", "B", "C", "Shared1*", "Shared2*" }));
	EXPECT_EQ(read.Find("Shared2")->ParentFolder(), B_COMMON_BIN_DIRECTORY);
}

TEST(CustomFolders, CommonDefinitionRenamesTheAuthorFolderOfItsName)
{
	CustomFolders list;
	add_folder(list, "Tools", B_USER_DIRECTORY, false);
	add_folder(list, "tools", B_USER_DIRECTORY, false);

	CustomFolders common;
	add_folder(common, "Tools", B_COMMON_BIN_DIRECTORY, true);
	BMessage message;
	common.WritePref(message, false);

	list.ReadPref(message, false);
	EXPECT_EQ(names_of(list), (std::vector<std::string> { "Tools Renamed", "tools", "Tools*" }));
	EXPECT_EQ(list.Find("Tools")->ParentFolder(), B_COMMON_BIN_DIRECTORY);

	// Author definitions never rename anything.
	CustomFolders authors;
	add_folder(authors, "tools", B_USER_LIB_DIRECTORY, false);
	BMessage authorMessage;
	authors.WritePref(authorMessage, true);
	list.ReadPref(authorMessage, true);
	EXPECT_EQ(
		names_of(list), (std::vector<std::string> { "Tools Renamed", "tools", "Tools*", "tools" }));
}

TEST(CustomFolders, ReadPrefWithoutQuantityAddsNothing)
{
	CustomFolders list;
	BMessage message;
	message.AddString("custom_folder_name_0", "Orphan");
	list.ReadPref(message, true);
	EXPECT_EQ(list.Size(), 0);
}

TEST(CustomFolders, ReadPrefSkipsGapsWithinTheStoredCount)
{
	// Rows: the stored count, the numbers the message holds folders under, the names read.
	struct Row {
		int32 quantity;
		std::vector<int32> numbers;
		std::vector<std::string> names;
	};

	const Row rows[] = {
		{ 3, { 0, 2 }, { "F0", "F2" } },
		{ 4, { 1, 3 }, { "F1", "F3" } },
		{ 2, { 0, 1, 5 }, { "F0", "F1" } },
		// A damaged message may claim any count; only the folders that are there are read,
		// and the walk ends with the last of them.
		{ 2000000000, { 0, 1999999999 }, { "F0", "F1999999999" } },
		{ 0, { 0 }, {} },
	};
	for (const Row& row : rows) {
		BMessage message;
		message.AddInt32("custom_folder_qty", row.quantity);
		for (int32 number : row.numbers)
			CustomFolder(("F" + std::to_string(number)).c_str()).WritePref(number, message);
		// Fields that only look like folders do not count.
		message.AddString("custom_folder_name_01", "not a folder");
		message.AddInt32("custom_folder_name_9", 9);
		CustomFolders list;
		list.ReadPref(message, true);
		EXPECT_EQ(names_of(list), row.names) << row.quantity;
	}
}

#include "CustomFolder.h"
#include "PackageDefs.h"

#include <Message.h>

#include <gtest/gtest.h>

namespace {

CustomFolder
make_folder(const char* name, directory_which parent, const char* sub, bool replace)
{
	CustomFolder folder(name);
	folder.ParentFolder(parent);
	folder.SubFolder(sub);
	folder.Replace(replace);
	return folder;
}

void
expect_same_folder(const CustomFolder& actual, const CustomFolder& expected)
{
	EXPECT_EQ(actual.Name(), expected.Name());
	EXPECT_EQ(actual.ParentFolder(), expected.ParentFolder());
	EXPECT_EQ(actual.SubFolder(), expected.SubFolder());
	EXPECT_EQ(actual.Replace(), expected.Replace());
}

} // namespace

TEST(CustomFolder, DefaultsReplaceAndNoCommonDefinition)
{
	CustomFolder folder;
	EXPECT_EQ(folder.Name(), "");
	EXPECT_EQ(folder.ParentFolder(), static_cast<directory_which>(0));
	EXPECT_TRUE(folder.Replace());
	EXPECT_FALSE(folder.CommonDef());
}

TEST(CustomFolder, MessageFormRoundTripsAndAppendsOneValuePerField)
{
	CustomFolder first = make_folder("Apps", B_USER_DIRECTORY, "Tools", true);
	CustomFolder second = make_folder("Libs", B_USER_LIB_DIRECTORY, "demo/lib", false);

	BMessage message;
	first.Write(message);
	second.Write(message);

	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(message.GetInfo(Package::kCustomRootDir, &type, &count), B_OK);
	EXPECT_EQ(type, static_cast<type_code>(B_INT32_TYPE));
	EXPECT_EQ(count, 2);
	ASSERT_EQ(message.GetInfo(Package::kCustomReplaceExisting, &type, &count), B_OK);
	EXPECT_EQ(type, static_cast<type_code>(B_BOOL_TYPE));

	// Reading takes value 0 of each field.
	CustomFolder read;
	read.Read(message);
	expect_same_folder(read, first);

	BMessage only;
	second.Write(only);
	read.Read(only);
	expect_same_folder(read, second);
}

TEST(CustomFolder, SettingsFormIsNumberedAndRoundTrips)
{
	CustomFolder folder = make_folder("Docs", B_USER_SETTINGS_DIRECTORY, "demo docs", false);
	BMessage message;
	folder.WritePref(12, message);

	const char* name = nullptr;
	EXPECT_EQ(message.FindString("custom_folder_name_12", &name), B_OK);
	int32 parent = 0;
	EXPECT_EQ(message.FindInt32("custom_folder_parent_12", &parent), B_OK);
	EXPECT_EQ(parent, 3006);
	const char* sub = nullptr;
	EXPECT_EQ(message.FindString("custom_folder_sub_dir_12", &sub), B_OK);
	bool replace = true;
	EXPECT_EQ(message.FindBool("custom_folder_replace_12", &replace), B_OK);
	EXPECT_FALSE(replace);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 4);

	CustomFolder read;
	read.ReadPref(12, message);
	expect_same_folder(read, folder);
}

TEST(CustomFolder, AttributeTextHasFourTerminatedFields)
{
	CustomFolder folder = make_folder("Apps", B_USER_DIRECTORY, "Tools", true);
	EXPECT_EQ(folder.AttrDescription(), "Apps;3000;Tools;1;");
	folder.Replace(false);
	folder.SubFolder("");
	EXPECT_EQ(folder.AttrDescription(), "Apps;3000;;0;");
}

TEST(CustomFolder, AttributeTextParsesBackAndLeavesTheCommonFlag)
{
	struct Row {
		const char* text;
		const char* written;
		const char* name;
		int32 parent;
		const char* sub;
		bool replace;
	};

	const Row rows[] = {
		{ "Apps;3000;Tools;1;", "Apps;3000;Tools;1;", "Apps", 3000, "Tools", true },
		{ "Bin;2007;my tools/bin;0;", "Bin;2007;my tools/bin;0;", "Bin", 2007, "my tools/bin",
			false },
		{ "Odd;3007;x;7;", "Odd;3007;x;1;", "Odd", 3007, "x", true },
		{ "Empty;0;;0;", "Empty;0;;0;", "Empty", 0, "", false },
	};
	for (const Row& row : rows) {
		CustomFolder folder;
		folder.CommonDef(true);
		folder.SetFromAttrDescription(row.text);
		EXPECT_EQ(folder.Name(), row.name) << row.text;
		EXPECT_EQ(folder.ParentFolder(), static_cast<directory_which>(row.parent)) << row.text;
		EXPECT_EQ(folder.SubFolder(), row.sub) << row.text;
		EXPECT_EQ(folder.Replace(), row.replace) << row.text;
		EXPECT_TRUE(folder.CommonDef()) << row.text;
		EXPECT_EQ(folder.AttrDescription(), row.written) << row.text;
	}
}

TEST(CustomFolder, ComparisonsUseTheCaseSensitiveName)
{
	CustomFolder apps("Apps");
	CustomFolder lower("apps");
	CustomFolder bin("Bin");
	EXPECT_FALSE(apps == lower);
	EXPECT_TRUE(apps == CustomFolder("Apps"));
	EXPECT_TRUE(bin > apps);
	EXPECT_FALSE(apps > bin);
	EXPECT_TRUE(lower > apps);
}

TEST(CustomFolder, AssignmentCopiesEveryField)
{
	CustomFolder folder = make_folder("Apps", B_USER_DIRECTORY, "Tools", false);
	folder.CommonDef(true);
	CustomFolder copy;
	copy = folder;
	expect_same_folder(copy, folder);
	EXPECT_TRUE(copy.CommonDef());
}

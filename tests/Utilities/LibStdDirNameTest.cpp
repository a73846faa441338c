// The standard folder names packages name their install places by: every row both ways,
// exact matching, and unknown names and codes.
#include "LibEntry.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Row {
	int code;
	const char* name;
};

// The whole vocabulary; a package written against it must keep working.
const Row kRows[] = { { 0, "Desktop" }, { 1, "Trash" }, { 1000, "BeOS" }, { 1001, "BeOS System" },
	{ 1002, "BeOS Add-Ons" }, { 1003, "BeOS Boot" }, { 1004, "BeOS Fonts" },
	{ 1005, "BeOS Libraries" }, { 1006, "BeOS Servers" }, { 1007, "BeOS Applications" },
	{ 1008, "BeOS Bin" }, { 1009, "BeOS Etc" }, { 1010, "BeOS Documentation" },
	{ 1011, "BeOS Preferences" }, { 1012, "BeOS Translators" }, { 1013, "BeOS Media Nodes" },
	{ 1014, "BeOS Sounds" }, { 2000, "Common" }, { 2001, "Common System" },
	{ 2002, "Common Add-Ons" }, { 2003, "Common Boot" }, { 2004, "Common Fonts" },
	{ 2005, "Common Libraries" }, { 2006, "Common Servers" }, { 2007, "Common Bin" },
	{ 2008, "Common Etc" }, { 2009, "Common Documentation" }, { 2010, "Common Settings" },
	{ 2011, "Common Develop" }, { 2012, "Common Log" }, { 2013, "Common Spool" },
	{ 2014, "Common Temporary" }, { 2015, "Common Var" }, { 2016, "Common Translators" },
	{ 2017, "Common Media Nodes" }, { 2018, "Common Sounds" }, { 3000, "User" },
	{ 3001, "User Configuration" }, { 3002, "User Add-Ons" }, { 3003, "User Boot" },
	{ 3004, "User Fonts" }, { 3005, "User Libraries" }, { 3006, "User Settings" },
	{ 3007, "User Deskbar" }, { 3008, "User Printers" }, { 3009, "User Translators" },
	{ 3010, "User Media Nodes" }, { 3011, "User Sounds" }, { 4000, "Applications" },
	{ 4001, "Preferences" }, { 4002, "Utilities" } };

} // namespace

TEST(LibStdDirName, EveryRowConvertsBothWays)
{
	EXPECT_EQ(std::size(kRows), 51u);
	for (const Row& row : kRows) {
		directory_which which = B_DESKTOP_DIRECTORY;
		EXPECT_TRUE(LibGetStdDirName(row.name, which)) << row.name;
		EXPECT_EQ(which, row.code) << row.name;
		EXPECT_TRUE(LibStdDirNameExists(row.name)) << row.name;

		LibString name;
		EXPECT_TRUE(LibGetStdDirName((directory_which)row.code, name)) << row.code;
		EXPECT_STREQ(name, row.name);
	}
}

TEST(LibStdDirName, NamesMatchExactly)
{
	directory_which which = B_TRASH_DIRECTORY;
	EXPECT_TRUE(LibGetStdDirName("User Boot", which));
	EXPECT_EQ(which, B_USER_BOOT_DIRECTORY);

	for (const char* name : { "user boot", "User Boot ", " User Boot", "UserBoot", "", "Home" }) {
		which = B_TRASH_DIRECTORY;
		EXPECT_FALSE(LibGetStdDirName(name, which)) << name;
		EXPECT_EQ(which, B_TRASH_DIRECTORY) << name;
		EXPECT_FALSE(LibStdDirNameExists(name)) << name;
	}
	EXPECT_FALSE(LibGetStdDirName((const char*)NULL, which));
}

TEST(LibStdDirName, UnknownCodeLeavesNameUnchanged)
{
	LibString name = "unchanged";
	for (int code : { 2, 999, 1015, 2019, 3012, 4003 }) {
		EXPECT_FALSE(LibGetStdDirName((directory_which)code, name)) << code;
		EXPECT_STREQ(name, "unchanged");
	}
	EXPECT_TRUE(LibGetStdDirName(B_PREFERENCES_DIRECTORY, name));
	EXPECT_STREQ(name, "Preferences");
}

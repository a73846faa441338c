// BSymLink: reading the contents and turning them into a path.
#include <SymLink.h>

#include <Directory.h>
#include <Path.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(BSymLink, ReadsContentsAndCutsToTheBuffer)
{
	ScopedTempDir temp;
	fs::create_symlink("../some/target", temp.Path() / "link");
	BSymLink link((temp.Path() / "link").c_str());
	ASSERT_EQ(link.InitCheck(), B_OK);

	char buffer[64];
	EXPECT_EQ(link.ReadLink(buffer, sizeof(buffer)), 14);
	EXPECT_STREQ(buffer, "../some/target");
	EXPECT_EQ(link.ReadLink(buffer, 5), 4);
	EXPECT_STREQ(buffer, "../s");
	EXPECT_FALSE(link.IsAbsolute());
	EXPECT_EQ(link.ReadLink(nullptr, 5), B_BAD_VALUE);
}

TEST(BSymLink, MakesTheLinkedPathFromTheLinksFolder)
{
	ScopedTempDir temp;
	fs::create_directories(temp.Path() / "a/b");
	fs::create_symlink("../c/d", temp.Path() / "a/b/relative");
	fs::create_symlink("/x/y", temp.Path() / "a/b/absolute");
	std::string real = fs::canonical(temp.Path()).string();

	BDirectory folder((temp.Path() / "a/b").c_str());
	BSymLink relative(&folder, "relative");
	BPath path;
	ASSERT_GT(relative.MakeLinkedPath(&folder, &path), 0);
	EXPECT_EQ(std::string(path.Path()), real + "/a/c/d");

	BSymLink absolute(&folder, "absolute");
	EXPECT_TRUE(absolute.IsAbsolute());
	EXPECT_EQ(absolute.MakeLinkedPath("/ignored", &path), 4);
	EXPECT_STREQ(path.Path(), "/x/y");

	BSymLink unset;
	EXPECT_EQ(unset.MakeLinkedPath("/", &path), B_FILE_ERROR);
}

// LibCopy: recursive copies that keep modes, times, attributes (a link's too) and link
// texts, with the "cp -fR" placement rules, and failures that leave the target alone.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace file_test;

namespace {

// A small tree with every kind of entry the copy must keep faithfully.
void
make_tree(const std::string& root)
{
	mkdir(root.c_str(), 0750);
	mkdir((root + "/sub").c_str(), 0700);
	write_file(root + "/plain", "plain text\n");
	write_file(root + "/sub/big", bytes(3 * 1024 * 1024 + 17, 1));
	write_file(root + "/tool", "#!/bin/sh\n");
	chmod((root + "/tool").c_str(), 0755);
	write_file(root + "/locked", "read only");
	chmod((root + "/locked").c_str(), 0444);
	symlink("sub/big", (root + "/link").c_str());
	symlink("/nowhere/at/all", (root + "/dangling").c_str());

	set_attribute(root + "/plain", "BEOS:TYPE", B_MIME_STRING_TYPE, "text/plain");
	set_attribute(root + "/plain", "InstallBy", B_STRING_TYPE, "app;1.0;");
	set_attribute(root + "/sub", "folder attribute", B_RAW_TYPE, bytes(5000, 2));
	set_attribute(root + "/link", "link attribute", B_INT32_TYPE, "abcd");
	set_attribute(root + "/locked", "on a read-only file", B_BOOL_TYPE, "\1");

	set_times(root + "/plain", 1000000000, 1000000500);
	set_times(root + "/sub/big", 1200000000, 1200000000);
	set_times(root + "/sub", 1100000000, 1100000000);
	set_times(root, 1300000000, 1300000000);
}

} // namespace

TEST(LibCopy, CopiesTreeKeepingModesTimesAttributesAndLinks)
{
	ScopedTempDir temp;
	std::string source = temp.Child("source");
	make_tree(source);

	ASSERT_TRUE(LibCopy(source.c_str(), temp.Child("copy").c_str()));

	auto expected = snapshot(source);
	auto copied = snapshot(temp.Child("copy"));
	ASSERT_EQ(copied.size(), expected.size());
	for (const auto& [path, state] : expected)
		EXPECT_EQ(copied[path], state) << "'" << path << "'";
	// The source is untouched.
	EXPECT_EQ(snapshot(source), expected);
}

TEST(LibCopy, CopyIntoExistingFolderLandsUnderLeafName)
{
	ScopedTempDir temp;
	write_file(temp.Child("file"), "one");
	mkdir(temp.Child("folder").c_str(), 0755);

	ASSERT_TRUE(LibCopy(temp.Child("file").c_str(), temp.Child("folder").c_str()));

	EXPECT_EQ(read_file(temp.Child("folder/file")), "one");
}

TEST(LibCopy, ReplacesFileAndMergesFolderButNeverMixesKinds)
{
	ScopedTempDir temp;
	write_file(temp.Child("new"), "new");
	write_file(temp.Child("old"), "old, and longer");
	ASSERT_TRUE(LibCopy(temp.Child("new").c_str(), temp.Child("old").c_str()));
	EXPECT_EQ(read_file(temp.Child("old")), "new");

	mkdir(temp.Child("a").c_str(), 0755);
	write_file(temp.Child("a/from-a"), "a");
	mkdir(temp.Child("target").c_str(), 0755);
	mkdir(temp.Child("target/a").c_str(), 0755);
	write_file(temp.Child("target/a/kept"), "kept");
	ASSERT_TRUE(LibCopy(temp.Child("a").c_str(), temp.Child("target").c_str()));
	EXPECT_EQ(read_file(temp.Child("target/a/from-a")), "a");
	EXPECT_EQ(read_file(temp.Child("target/a/kept")), "kept");

	// A folder is not replaced by a file of the same name, nor a file by a folder.
	mkdir(temp.Child("box").c_str(), 0755);
	mkdir(temp.Child("box/new").c_str(), 0755);
	EXPECT_FALSE(LibCopy(temp.Child("new").c_str(), temp.Child("box").c_str()));
	EXPECT_TRUE(exists(temp.Child("box/new")));
	write_file(temp.Child("box/a"), "file");
	EXPECT_FALSE(LibCopy(temp.Child("a").c_str(), temp.Child("box").c_str()));
	EXPECT_EQ(read_file(temp.Child("box/a")), "file");
}

TEST(LibCopy, RefusesToCopyFolderIntoItself)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("folder/file"), "x");
	symlink(temp.Child("folder").c_str(), temp.Child("alias").c_str());

	EXPECT_FALSE(LibCopy(temp.Child("folder").c_str(), temp.Child("folder").c_str()));
	EXPECT_FALSE(LibCopy(temp.Child("folder").c_str(), temp.Child("alias/inside").c_str()));
	EXPECT_FALSE(exists(temp.Child("folder/folder")));
	EXPECT_FALSE(exists(temp.Child("folder/inside")));
}

TEST(LibCopy, UnreadableFileFailsAndKeepsOldTarget)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "permissions do not bind the superuser";
	ScopedTempDir temp;
	write_file(temp.Child("secret"), "hidden");
	chmod(temp.Child("secret").c_str(), 0);
	write_file(temp.Child("target"), "old");

	EXPECT_FALSE(LibCopy(temp.Child("secret").c_str(), temp.Child("target").c_str()));

	EXPECT_EQ(read_file(temp.Child("target")), "old");
	// No temporary file is left behind.
	auto tree = snapshot(temp.Path().string());
	EXPECT_EQ(tree.size(), 3u);
}

TEST(LibCopy, WritesThroughNoLinkAtTheTarget)
{
	ScopedTempDir temp;
	write_file(temp.Child("elsewhere"), "must stay");
	symlink(temp.Child("elsewhere").c_str(), temp.Child("target").c_str());
	write_file(temp.Child("source"), "new");

	ASSERT_TRUE(LibCopy(temp.Child("source").c_str(), temp.Child("target").c_str()));

	EXPECT_EQ(read_file(temp.Child("elsewhere")), "must stay");
	EXPECT_EQ(read_file(temp.Child("target")), "new");
	struct stat st;
	lstat(temp.Child("target").c_str(), &st);
	EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(LibCopy, MissingSourceFails)
{
	ScopedTempDir temp;
	EXPECT_FALSE(LibCopy(temp.Child("missing").c_str(), temp.Child("target").c_str()));
	EXPECT_FALSE(LibCopy(NULL, temp.Child("target").c_str()));
	EXPECT_FALSE(exists(temp.Child("target")));
}

TEST(LibCopy, SourceFolderPartResolvesOnDiskAndDotLeavesAreRefused)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("dir").c_str(), 0755);
	mkdir(temp.Child("dir/sub").c_str(), 0755);
	mkdir(temp.Child("elsewhere").c_str(), 0755);
	mkdir(temp.Child("elsewhere/inner").c_str(), 0755);
	mkdir(temp.Child("a").c_str(), 0755);
	write_file(temp.Child("a/x"), "a's x");
	write_file(temp.Child("elsewhere/x"), "elsewhere's x");
	symlink(temp.Child("elsewhere/inner").c_str(), temp.Child("a/link").c_str());
	ASSERT_EQ(chdir(temp.Path().c_str()), 0);

	// "dir/sub/.." is dir: copying it would copy a folder the text does not name.
	EXPECT_FALSE(LibCopy("dir/sub/..", "copy"));
	EXPECT_FALSE(LibCopy("dir/.", "copy"));
	EXPECT_FALSE(exists(temp.Child("copy")));

	// The kernel takes "a/link/.." to the folder above the link's target.
	ASSERT_TRUE(LibCopy("a/link/../x", "copy"));
	EXPECT_EQ(read_file(temp.Child("copy")), "elsewhere's x");

	// A target ending in ".." is the folder it leads to.
	ASSERT_TRUE(LibCopy("a/x", "dir/sub/.."));
	EXPECT_EQ(read_file(temp.Child("dir/x")), "a's x");
}

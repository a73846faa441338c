// BEntry: setting up entries with and without following links, references that survive
// a round trip (also when the folder must be searched for), renaming, moving, removing.
#include <Entry.h>

#include <Directory.h>
#include <Path.h>

#include "FolderIndex.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string
real(const fs::path& path)
{
	return fs::weakly_canonical(path).string();
}

std::string
path_of(const BEntry& entry)
{
	BPath path;
	if (entry.GetPath(&path) != B_OK)
		return "";
	return path.Path();
}

void
touch(const fs::path& path)
{
	std::ofstream(path) << "x";
}

} // namespace

TEST(BEntry, NeedsItsFolderButNotItself)
{
	ScopedTempDir temp;
	BEntry missing((temp.Path() / "not-yet").c_str());
	EXPECT_EQ(missing.InitCheck(), B_OK);
	EXPECT_FALSE(missing.Exists());

	BEntry orphan((temp.Path() / "no-folder/child").c_str());
	EXPECT_EQ(orphan.InitCheck(), B_ENTRY_NOT_FOUND);

	BEntry empty("");
	EXPECT_EQ(empty.InitCheck(), B_BAD_VALUE);

	std::string longName(NAME_MAX + 1, 'n');
	BEntry tooLong((temp.Path() / longName).c_str());
	EXPECT_EQ(tooLong.InitCheck(), B_NAME_TOO_LONG);
}

TEST(BEntry, FollowsLinksOnlyWhenAsked)
{
	ScopedTempDir temp;
	touch(temp.Path() / "target");
	fs::create_symlink("target", temp.Path() / "link");
	fs::create_symlink("chain-b", temp.Path() / "chain-a");
	fs::create_symlink("absent", temp.Path() / "chain-b");

	BEntry link((temp.Path() / "link").c_str());
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_EQ(path_of(link), real(temp.Path()) + "/link");

	BEntry followed((temp.Path() / "link").c_str(), true);
	EXPECT_TRUE(followed.IsFile());
	EXPECT_EQ(path_of(followed), real(temp.Path()) + "/target");

	// A chain that ends nowhere gives the missing entry it names.
	BEntry dangling((temp.Path() / "chain-a").c_str(), true);
	ASSERT_EQ(dangling.InitCheck(), B_OK);
	EXPECT_EQ(path_of(dangling), real(temp.Path()) + "/absent");
	EXPECT_FALSE(dangling.Exists());

	fs::create_symlink("loop", temp.Path() / "loop");
	BEntry loop((temp.Path() / "loop").c_str(), true);
	EXPECT_EQ(loop.InitCheck(), B_LINK_LIMIT);
}

TEST(BEntry, ResolvesTheFolderButNotTheLeaf)
{
	ScopedTempDir temp;
	fs::create_directories(temp.Path() / "real/sub");
	fs::create_directory_symlink("real", temp.Path() / "alias");

	BEntry entry((temp.Path() / "alias/sub/../file").c_str());
	EXPECT_EQ(path_of(entry), real(temp.Path()) + "/real/file");

	BEntry dot((temp.Path() / "real/sub/.").c_str());
	EXPECT_EQ(path_of(dot), real(temp.Path()) + "/real/sub");

	char name[B_FILE_NAME_LENGTH];
	BEntry root("/");
	ASSERT_EQ(root.GetName(name), B_OK);
	EXPECT_STREQ(name, "/");
	BEntry parent;
	EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(BEntry, ReferenceRoundTripsThroughNestedFolders)
{
	ScopedTempDir temp;
	fs::path deep = temp.Path() / "a" / "b c" / "d";
	fs::create_directories(deep);
	touch(deep / "file");

	for (bool searched : { false, true }) {
		entry_ref ref;
		{
			BEntry entry((deep / "file").c_str());
			ASSERT_EQ(entry.GetRef(&ref), B_OK);
		}
		EXPECT_STREQ(ref.name, "file");
		// Without the remembered folders the folder is found by searching its volume.
		if (searched)
			BPrivate::forget_folders();

		BEntry back(&ref);
		ASSERT_EQ(back.InitCheck(), B_OK) << "searched " << searched;
		EXPECT_EQ(path_of(back), real(deep / "file"));
		EXPECT_TRUE(back.IsFile());

		entry_ref again;
		ASSERT_EQ(back.GetRef(&again), B_OK);
		EXPECT_EQ(again, ref);
	}
}

TEST(BEntry, ReferenceOfAMissingFolderFails)
{
	ScopedTempDir temp;
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((temp.Path() / "file").c_str(), &ref), B_OK);
	BPrivate::forget_folders();

	// A folder inode no file system here hands out: a removed folder's number could be
	// reused at once by a test running beside this one.
	entry_ref missing(ref.device, (ino_t)0x7ffffffffff0LL, "file");

	// The search gives up after its limit; a short one keeps the test quick.
	size_t limit = BPrivate::set_folder_search_limit(200);
	BEntry entry(&missing);
	BPrivate::set_folder_search_limit(limit);
	EXPECT_EQ(entry.InitCheck(), B_ENTRY_NOT_FOUND);

	entry_ref bad(ref.device, ref.directory, "a/b");
	EXPECT_EQ(entry.SetTo(&bad), B_BAD_VALUE);
}

TEST(BEntry, ReferenceFollowsARenamedFolder)
{
	ScopedTempDir temp;
	fs::create_directory(temp.Path() / "before");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((temp.Path() / "before/file").c_str(), &ref), B_OK);
	fs::rename(temp.Path() / "before", temp.Path() / "after");

	BEntry entry(&ref);
	ASSERT_EQ(entry.InitCheck(), B_OK);
	EXPECT_EQ(path_of(entry), real(temp.Path()) + "/after/file");
}

TEST(BEntry, RenameRefusesToClobberUnlessAsked)
{
	ScopedTempDir temp;
	touch(temp.Path() / "one");
	touch(temp.Path() / "two");
	fs::create_directory(temp.Path() / "sub");

	BEntry entry((temp.Path() / "one").c_str());
	EXPECT_EQ(entry.Rename("two"), B_FILE_EXISTS);
	EXPECT_TRUE(fs::exists(temp.Path() / "one"));

	ASSERT_EQ(entry.Rename("sub/moved"), B_OK);
	EXPECT_EQ(path_of(entry), real(temp.Path()) + "/sub/moved");
	EXPECT_FALSE(fs::exists(temp.Path() / "one"));

	ASSERT_EQ(entry.Rename((temp.Path() / "two").c_str(), true), B_OK);
	EXPECT_EQ(path_of(entry), real(temp.Path()) + "/two");
	EXPECT_EQ(fs::file_size(temp.Path() / "two"), 1u);
	EXPECT_FALSE(fs::exists(temp.Path() / "sub/moved"));
}

TEST(BEntry, MoveToKeepsTheNameOrTakesANewOne)
{
	ScopedTempDir temp;
	touch(temp.Path() / "file");
	fs::create_directory(temp.Path() / "dest");
	BDirectory dest((temp.Path() / "dest").c_str());

	BEntry entry((temp.Path() / "file").c_str());
	ASSERT_EQ(entry.MoveTo(&dest), B_OK);
	EXPECT_TRUE(fs::exists(temp.Path() / "dest/file"));
	ASSERT_EQ(entry.MoveTo(&dest, "renamed"), B_OK);
	EXPECT_TRUE(fs::exists(temp.Path() / "dest/renamed"));
	EXPECT_EQ(entry.MoveTo(nullptr), B_BAD_VALUE);

	BEntry missing((temp.Path() / "nothing").c_str());
	EXPECT_EQ(missing.MoveTo(&dest), B_ENTRY_NOT_FOUND);
}

TEST(BEntry, RemoveDeletesFilesLinksAndEmptyFolders)
{
	ScopedTempDir temp;
	touch(temp.Path() / "file");
	fs::create_directories(temp.Path() / "full/inner");
	fs::create_directory(temp.Path() / "empty");
	fs::create_symlink("full", temp.Path() / "link");

	for (const char* name : { "file", "empty", "link" }) {
		BEntry entry((temp.Path() / name).c_str());
		EXPECT_EQ(entry.Remove(), B_OK) << name;
		EXPECT_FALSE(fs::exists(fs::symlink_status(temp.Path() / name))) << name;
	}
	EXPECT_TRUE(fs::exists(temp.Path() / "full/inner"));

	BEntry full((temp.Path() / "full").c_str());
	EXPECT_EQ(full.Remove(), B_DIRECTORY_NOT_EMPTY);
}

TEST(BEntry, ParentsAndComparison)
{
	ScopedTempDir temp;
	fs::create_directory(temp.Path() / "folder");
	BEntry entry((temp.Path() / "folder/leaf").c_str());

	BEntry parent;
	ASSERT_EQ(entry.GetParent(&parent), B_OK);
	EXPECT_EQ(path_of(parent), real(temp.Path() / "folder"));
	BDirectory folder;
	ASSERT_EQ(entry.GetParent(&folder), B_OK);
	EXPECT_TRUE(folder.IsDirectory());

	BEntry same((temp.Path() / "folder//leaf").c_str());
	EXPECT_TRUE(entry == same);
	EXPECT_TRUE(entry != parent);
	BEntry unset;
	EXPECT_TRUE(unset != entry);

	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(entry.GetName(name), B_OK);
	EXPECT_STREQ(name, "leaf");
	EXPECT_EQ(unset.GetName(name), B_NO_INIT);
}

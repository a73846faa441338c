// LibMove: renames within a volume, copy-then-remove across volumes (a tmpfs in a private
// mount namespace), the "mv -f" placement rules, and the restore record of moves into a
// Trash.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <FindDirectory.h>
#include <Mime.h>
#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace file_test;

namespace {

ino_t
inode_of(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

void
make_tree(const std::string& root)
{
	mkdir(root.c_str(), 0750);
	mkdir((root + "/inner").c_str(), 0711);
	write_file(root + "/inner/data", bytes(100000, 3));
	chmod((root + "/inner/data").c_str(), 0640);
	symlink("inner/data", (root + "/shortcut").c_str());
	set_attribute(root + "/inner/data", "BEOS:TYPE", B_MIME_STRING_TYPE, "application/x-test");
	set_attribute(root + "/shortcut", "InstallBy", B_STRING_TYPE, "tag;");
	set_attribute(root, "folder", B_INT32_TYPE, "1234");
	set_times(root + "/inner/data", 1111111111, 1111111111);
	set_times(root + "/inner", 1222222222, 1222222222);
	set_times(root, 1333333333, 1333333333);
}

} // namespace

TEST(LibMove, RenamesWithinVolumeKeepingNode)
{
	ScopedTempDir temp;
	make_tree(temp.Child("tree"));
	auto before = snapshot(temp.Child("tree"));
	ino_t inode = inode_of(temp.Child("tree/inner/data"));

	ASSERT_TRUE(LibMove(temp.Child("tree").c_str(), temp.Child("moved").c_str()));

	EXPECT_FALSE(exists(temp.Child("tree")));
	EXPECT_EQ(snapshot(temp.Child("moved")), before);
	EXPECT_EQ(inode_of(temp.Child("moved/inner/data")), inode);
}

TEST(LibMove, MovesIntoExistingFolderAndReplacesSameNamedFile)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("item"), "new");
	write_file(temp.Child("folder/item"), "old contents");

	ASSERT_TRUE(LibMove(temp.Child("item").c_str(), temp.Child("folder").c_str()));

	EXPECT_EQ(read_file(temp.Child("folder/item")), "new");
	EXPECT_FALSE(exists(temp.Child("item")));
}

TEST(LibMove, LinkTakesItsAttributesAlong)
{
	ScopedTempDir temp;
	symlink("target", temp.Child("link").c_str());
	set_attribute(temp.Child("link"), "InstallBy", B_STRING_TYPE, "tag;");
	mkdir(temp.Child("folder").c_str(), 0755);

	ASSERT_TRUE(LibMove(temp.Child("link").c_str(), temp.Child("folder").c_str()));

	auto attributes = attributes_of(temp.Child("folder/link"));
	ASSERT_EQ(attributes.count("InstallBy"), 1u);
	EXPECT_EQ(attributes["InstallBy"].data, "tag;");
}

TEST(LibMove, RefusesToReplaceFolderThatHoldsSomething)
{
	ScopedTempDir temp;
	mkdir(temp.Child("a").c_str(), 0755);
	write_file(temp.Child("a/x"), "x");
	mkdir(temp.Child("b").c_str(), 0755);
	mkdir(temp.Child("b/a").c_str(), 0755);
	write_file(temp.Child("b/a/y"), "y");

	EXPECT_FALSE(LibMove(temp.Child("a").c_str(), temp.Child("b").c_str()));

	EXPECT_TRUE(exists(temp.Child("a/x")));
	EXPECT_TRUE(exists(temp.Child("b/a/y")));
	EXPECT_FALSE(LibMove(temp.Child("missing").c_str(), temp.Child("b").c_str()));
}

TEST(LibMove, MoveIntoTrashFolderWritesRestoreRecord)
{
	ScopedSandbox sandbox;
	ScopedTempDir temp;
	BPath trash;
	ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &trash, true), B_OK);
	write_file(temp.Child("old file"), "x");

	ASSERT_TRUE(LibMove(temp.Child("old file").c_str(), trash.Path()));

	std::string info = std::string(trash.Path()) + "/../info/old file.trashinfo";
	std::string record = read_file(info);
	EXPECT_NE(record.find("[Trash Info]\n"), std::string::npos);
	std::string escaped = temp.Child("old%20file");
	EXPECT_NE(record.find("\nPath=" + escaped + "\n"), std::string::npos) << record;
	EXPECT_NE(record.find("\nDeletionDate="), std::string::npos);
}

TEST(LibMove, AcrossVolumesCopiesThenRemovesSource)
{
	ScopedTempDir temp;
	std::string volume = temp.Child("volume");
	mkdir(volume.c_str(), 0755);
	make_tree(temp.Child("tree"));
	// A move across volumes types what has no type yet; everything has one here, so the
	// tree must arrive unchanged, its own types kept.
	update_mime_info(temp.Child("tree").c_str(), true, true, false);

	ChildOutcome outcome = run_with_second_volume(volume, "size=16m", [&](ChildReport& report) {
		auto before = snapshot(temp.Child("tree"));
		report.Check(LibMove(temp.Child("tree").c_str(), volume.c_str()), "move there failed");
		report.Check(!exists(temp.Child("tree")), "the source is still there");
		report.Check(snapshot(volume + "/tree") == before, "the moved tree differs");

		// And back, into a new name.
		report.Check(
			LibMove((volume + "/tree").c_str(), temp.Child("back").c_str()), "move back failed");
		report.Check(snapshot(temp.Child("back")) == before, "the tree moved back differs");
		report.Check(!exists(volume + "/tree"), "the moved tree is still on the volume");
	});

	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
	EXPECT_TRUE(exists(temp.Child("back/inner/data")));
}

TEST(LibMove, AcrossVolumesKeepsSourceWhenCopyFails)
{
	ScopedTempDir temp;
	std::string volume = temp.Child("volume");
	mkdir(volume.c_str(), 0755);
	make_tree(temp.Child("tree"));
	write_file(temp.Child("tree/inner/too big"), bytes(2 * 1024 * 1024, 4));
	write_file(temp.Child("single"), bytes(2 * 1024 * 1024, 5));
	auto before = snapshot(temp.Child("tree"));

	ChildOutcome outcome = run_with_second_volume(volume, "size=1m", [&](ChildReport& report) {
		write_file(volume + "/single", "older");
		report.Check(!LibMove(temp.Child("tree").c_str(), volume.c_str()), "the move succeeded");
		report.Check(!exists(volume + "/tree"), "a partial copy is left on the volume");
		report.Check(
			!LibMove(temp.Child("single").c_str(), volume.c_str()), "the file move succeeded");
		report.Check(read_file(volume + "/single") == "older", "the older file was harmed");
	});

	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
	EXPECT_EQ(snapshot(temp.Child("tree")), before);
	EXPECT_EQ(read_file(temp.Child("single")).size(), 2u * 1024 * 1024);
}

TEST(LibMove, SourceFolderPartResolvesOnDiskAndDotLeavesAreRefused)
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

	EXPECT_FALSE(LibMove("dir/sub/..", "moved"));
	EXPECT_FALSE(LibMove("dir/sub/.", "moved"));
	EXPECT_TRUE(exists(temp.Child("dir/sub")));
	EXPECT_FALSE(exists(temp.Child("moved")));

	ASSERT_TRUE(LibMove("a/link/../x", "moved"));
	EXPECT_EQ(read_file(temp.Child("moved")), "elsewhere's x");
	EXPECT_EQ(read_file(temp.Child("a/x")), "a's x");

	ASSERT_TRUE(LibMove("a/x", "dir/sub/.."));
	EXPECT_EQ(read_file(temp.Child("dir/x")), "a's x");
}

TEST(LibMove, EntrySeenThroughABindMountIsNeverCopiedOntoItself)
{
	ScopedTempDir temp;
	std::string original = temp.Child("original");
	std::string mirror = temp.Child("mirror");
	mkdir(original.c_str(), 0755);
	mkdir(mirror.c_str(), 0755);
	write_file(original + "/file", "precious");
	mkdir((original + "/folder").c_str(), 0755);
	write_file(original + "/folder/inside", "also precious");

	ChildOutcome outcome = run_with_bind_mount(original, mirror, [&](ChildReport& report) {
		// One file system, two mounts: rename says "cross-device", yet both paths name
		// one file.
		report.Check(LibMove((original + "/file").c_str(), (mirror + "/file").c_str()),
			"moving a file onto itself failed");
		report.Check(read_file(original + "/file") == "precious", "the file was lost");

		testing::internal::CaptureStderr();
		report.Check(!LibMove((original + "/folder").c_str(), (mirror + "/folder/sub").c_str()),
			"a folder was moved into itself");
		report.Check(!LibCopy((original + "/folder").c_str(), (mirror + "/folder/sub").c_str()),
			"a folder was copied into itself");
		testing::internal::GetCapturedStderr();
		report.Check(read_file(original + "/folder/inside") == "also precious",
			"the folder's contents were lost");
		report.Check(!exists(original + "/folder/sub"), "a copy was left inside the folder");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

// The move that never replaces: not a file, not an empty folder, and it never lands inside
// a folder that is at the target; across volumes too.
TEST(LibMove, ExclusiveMoveTakesOnlyAFreeName)
{
	ScopedTempDir temp;
	write_file(temp.Child("source"), "moving");
	write_file(temp.Child("file"), "kept");
	mkdir(temp.Child("folder").c_str(), 0755);
	for (const char* taken : { "file", "folder" }) {
		EXPECT_EQ(LibMoveExclusive(temp.Child("source").c_str(), temp.Child(taken).c_str()),
			B_FILE_EXISTS)
			<< taken;
	}
	EXPECT_EQ(read_file(temp.Child("file")), "kept");
	EXPECT_FALSE(exists(temp.Child("folder/source")));
	EXPECT_EQ(LibMoveExclusive(temp.Child("missing").c_str(), temp.Child("free").c_str()),
		B_ENTRY_NOT_FOUND);

	std::string volume = temp.Child("volume");
	mkdir(volume.c_str(), 0755);
	ChildOutcome outcome = run_with_second_volume(volume, "size=16m", [&](ChildReport& report) {
		write_file(volume + "/taken", "on the volume");
		report.Check(LibMoveExclusive(temp.Child("source").c_str(), (volume + "/taken").c_str())
				== B_FILE_EXISTS,
			"a taken name across volumes is refused");
		report.Check(
			LibMoveExclusive(temp.Child("source").c_str(), (volume + "/free").c_str()) == B_OK
				&& read_file(volume + "/free") == "moving" && !exists(temp.Child("source")),
			"a free name across volumes is taken");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

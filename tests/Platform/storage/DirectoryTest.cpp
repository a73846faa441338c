// BDirectory: walking a folder in the file system's own order, references and dirents,
// counting, creating entries, containment, lookups.
#include <Directory.h>

#include <Entry.h>
#include <File.h>
#include <Path.h>
#include <SymLink.h>
#include <TypeConstants.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The folder's names as readdir gives them, without "." and "..".
std::vector<std::string>
readdir_order(const fs::path& folder)
{
	std::vector<std::string> names;
	DIR* dir = opendir(folder.c_str());
	while (struct dirent* entry = readdir(dir)) {
		std::string name = entry->d_name;
		if (name != "." && name != "..")
			names.push_back(name);
	}
	closedir(dir);
	return names;
}

void
fill(const fs::path& folder, int count)
{
	for (int i = 0; i < count; i++)
		std::ofstream(folder / ("entry-" + std::to_string(i * 37 % 101))) << i;
}

} // namespace

TEST(BDirectory, WalksEntriesInTheFileSystemsOrderWithTheirAttributes)
{
	ScopedTempDir temp;
	fill(temp.Path(), 40);
	fs::create_directory(temp.Path() / "sub");
	fs::create_symlink("sub", temp.Path() / "link");

	BDirectory dir(temp.Path().c_str());
	ASSERT_EQ(dir.InitCheck(), B_OK);
	std::vector<std::string> walked;
	BEntry entry;
	while (dir.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		ASSERT_EQ(entry.GetName(name), B_OK);
		walked.push_back(name);
		// Each entry opens as a node whose attributes can be written and read back.
		BNode node(&entry);
		ASSERT_EQ(node.InitCheck(), B_OK) << name;
		ASSERT_EQ(
			node.WriteAttr("seen", B_STRING_TYPE, 0, name, strlen(name)), (ssize_t)strlen(name));
	}
	EXPECT_EQ(entry.InitCheck(), B_NO_INIT);
	EXPECT_EQ(walked, readdir_order(temp.Path()));

	ASSERT_EQ(dir.Rewind(), B_OK);
	ASSERT_EQ(dir.GetNextEntry(&entry), B_OK);
	BNode first(&entry);
	char value[B_FILE_NAME_LENGTH] = {};
	EXPECT_EQ(first.ReadAttr("seen", B_STRING_TYPE, 0, value, sizeof(value) - 1),
		(ssize_t)walked[0].size());
	EXPECT_EQ(std::string(value), walked[0]);

	// The link is handed out as itself unless the walk follows links.
	BEntry link;
	ASSERT_EQ(dir.FindEntry("link", &link), B_OK);
	EXPECT_TRUE(link.IsSymLink());
	ASSERT_EQ(dir.FindEntry("link", &link, true), B_OK);
	EXPECT_TRUE(link.IsDirectory());
}

TEST(BDirectory, CountsRefsAndDirentsAgree)
{
	ScopedTempDir temp;
	fill(temp.Path(), 25);
	BDirectory dir(temp.Path().c_str());

	entry_ref ref;
	ASSERT_EQ(dir.GetNextRef(&ref), B_OK);
	EXPECT_EQ(dir.CountEntries(), 25);

	// Counting starts the walk again.
	std::vector<std::string> refs;
	while (dir.GetNextRef(&ref) == B_OK) {
		refs.push_back(ref.name);
		node_ref folder;
		ASSERT_EQ(dir.GetNodeRef(&folder), B_OK);
		EXPECT_EQ(ref.device, folder.device);
		EXPECT_EQ(ref.directory, folder.node);
	}
	EXPECT_EQ(refs, readdir_order(temp.Path()));

	dir.Rewind();
	std::vector<std::string> dirents;
	alignas(struct dirent) char buffer[600];
	for (;;) {
		int32 count = dir.GetNextDirents((struct dirent*)buffer, sizeof(buffer));
		ASSERT_GE(count, 0);
		if (count == 0)
			break;
		size_t offset = 0;
		for (int32 i = 0; i < count; i++) {
			struct dirent* record = (struct dirent*)(buffer + offset);
			dirents.push_back(record->d_name);
			offset += record->d_reclen;
		}
	}
	EXPECT_EQ(dirents, refs);

	dir.Rewind();
	EXPECT_EQ(dir.GetNextDirents((struct dirent*)buffer, 8), B_BUFFER_OVERFLOW);
}

TEST(BDirectory, CreatesFoldersFilesAndLinks)
{
	ScopedTempDir temp;
	BDirectory dir(temp.Path().c_str());

	BDirectory sub;
	ASSERT_EQ(dir.CreateDirectory("sub", &sub), B_OK);
	EXPECT_TRUE(sub.IsDirectory());
	EXPECT_EQ(dir.CreateDirectory("sub", nullptr), B_FILE_EXISTS);

	BFile file;
	ASSERT_EQ(dir.CreateFile("sub/file", &file), B_OK);
	EXPECT_EQ(file.Write("abc", 3), 3);
	EXPECT_EQ(dir.CreateFile("sub/file", nullptr, true), B_FILE_EXISTS);
	// Without failIfExists the file is made again, empty.
	ASSERT_EQ(dir.CreateFile("sub/file", &file), B_OK);
	off_t size = -1;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 0);

	BSymLink link;
	ASSERT_EQ(dir.CreateSymLink("link", "sub/file", &link), B_OK);
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_EQ(fs::read_symlink(temp.Path() / "link"), "sub/file");
}

TEST(BDirectory, ContainsEntriesBelowItOfTheAskedKinds)
{
	ScopedTempDir temp;
	fs::create_directories(temp.Path() / "a/b");
	std::ofstream(temp.Path() / "a/b/file") << "x";
	fs::create_symlink("b", temp.Path() / "a/link");
	fs::create_directory(temp.Path() / "ab");

	BDirectory a((temp.Path() / "a").c_str());
	EXPECT_TRUE(a.Contains("b/file"));
	EXPECT_TRUE(a.Contains("b/file", B_FILE_NODE));
	EXPECT_FALSE(a.Contains("b/file", B_DIRECTORY_NODE));
	EXPECT_TRUE(a.Contains("link", B_SYMLINK_NODE));
	EXPECT_FALSE(a.Contains("link", B_FILE_NODE | B_DIRECTORY_NODE));
	EXPECT_TRUE(a.Contains((temp.Path() / "a").c_str()));
	EXPECT_FALSE(a.Contains((temp.Path() / "ab").c_str()));
	EXPECT_FALSE(a.Contains("missing"));
}

TEST(BDirectory, FindsEntriesRootsAndItsOwnEntry)
{
	ScopedTempDir temp;
	fs::create_directory(temp.Path() / "sub");
	BDirectory dir(temp.Path().c_str());

	BEntry entry;
	EXPECT_EQ(dir.FindEntry("missing", &entry), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(entry.InitCheck(), B_NO_INIT);
	ASSERT_EQ(dir.FindEntry("sub", &entry), B_OK);

	struct stat st;
	ASSERT_EQ(dir.GetStatFor("sub", &st), B_OK);
	EXPECT_TRUE(S_ISDIR(st.st_mode));

	EXPECT_FALSE(dir.IsRootDirectory());
	BDirectory root("/");
	EXPECT_TRUE(root.IsRootDirectory());

	BEntry self;
	ASSERT_EQ(dir.GetEntry(&self), B_OK);
	BPath path(&self);
	EXPECT_EQ(std::string(path.Path()), fs::canonical(temp.Path()).string());

	BDirectory notAFolder;
	std::ofstream(temp.Path() / "file") << "x";
	EXPECT_EQ(notAFolder.SetTo((temp.Path() / "file").c_str()), B_NOT_A_DIRECTORY);
	node_ref ref;
	ASSERT_EQ(dir.GetNodeRef(&ref), B_OK);
	BDirectory byNode(&ref);
	EXPECT_TRUE(byNode == dir);
}

TEST(BDirectory, CreateDirectoryMakesEveryMissingParent)
{
	ScopedTempDir temp;
	fs::path deep = temp.Path() / "x/y/z";
	EXPECT_EQ(create_directory(deep.c_str(), 0755), B_OK);
	EXPECT_TRUE(fs::is_directory(deep));
	EXPECT_EQ(create_directory(deep.c_str(), 0755), B_OK);

	std::ofstream(temp.Path() / "file") << "x";
	EXPECT_EQ(create_directory((temp.Path() / "file/below").c_str(), 0755), B_NOT_A_DIRECTORY);
	EXPECT_EQ(create_directory(nullptr, 0755), B_BAD_VALUE);
}

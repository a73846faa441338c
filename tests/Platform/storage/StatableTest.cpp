// BStatable through entries and nodes: kinds, permissions, times, the kept creation time.
#include <Statable.h>

#include <Entry.h>
#include <Node.h>
#include <Volume.h>

#include "MountTable.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(BStatable, KindsAndNodeRefsMatchTheFileSystem)
{
	ScopedTempDir temp;
	std::ofstream(temp.Path() / "file") << "12345";
	fs::create_symlink("file", temp.Path() / "link");

	BEntry file((temp.Path() / "file").c_str());
	BEntry link((temp.Path() / "link").c_str());
	BEntry folder(temp.Path().c_str());
	EXPECT_TRUE(file.IsFile() && !file.IsDirectory() && !file.IsSymLink());
	EXPECT_TRUE(link.IsSymLink() && !link.IsFile());
	EXPECT_TRUE(folder.IsDirectory());

	off_t size = 0;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 5);

	struct stat st;
	ASSERT_EQ(stat((temp.Path() / "file").c_str(), &st), 0);
	node_ref fromEntry;
	node_ref fromNode;
	BNode node(&file);
	ASSERT_EQ(file.GetNodeRef(&fromEntry), B_OK);
	ASSERT_EQ(node.GetNodeRef(&fromNode), B_OK);
	EXPECT_EQ(fromEntry, fromNode);
	EXPECT_EQ(fromEntry.node, st.st_ino);

	BEntry missing((temp.Path() / "missing").c_str());
	EXPECT_EQ(missing.GetSize(&size), B_ENTRY_NOT_FOUND);
	EXPECT_FALSE(missing.IsFile());
}

TEST(BStatable, SetsPermissionsExceptOnLinks)
{
	ScopedTempDir temp;
	std::ofstream(temp.Path() / "file") << "x";
	fs::create_symlink("file", temp.Path() / "link");

	BEntry file((temp.Path() / "file").c_str());
	ASSERT_EQ(file.SetPermissions(0640), B_OK);
	mode_t mode = 0;
	ASSERT_EQ(file.GetPermissions(&mode), B_OK);
	EXPECT_EQ(mode, 0640u);

	BNode node(&file);
	ASSERT_EQ(node.SetPermissions(0604), B_OK);
	EXPECT_EQ(fs::status(temp.Path() / "file").permissions(),
		fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

	BEntry link((temp.Path() / "link").c_str());
	EXPECT_EQ(link.SetPermissions(0600), B_NOT_SUPPORTED);

	uid_t owner = 1;
	EXPECT_EQ(file.GetOwner(&owner), B_OK);
	EXPECT_EQ(owner, getuid());
	EXPECT_EQ(file.SetOwner(getuid()), B_OK);
}

TEST(BStatable, TimesOfALinkLeaveItsTargetAlone)
{
	ScopedTempDir temp;
	std::ofstream(temp.Path() / "file") << "x";
	fs::create_symlink("file", temp.Path() / "link");

	BEntry file((temp.Path() / "file").c_str());
	BEntry link((temp.Path() / "link").c_str());
	ASSERT_EQ(file.SetModificationTime(1000000), B_OK);
	ASSERT_EQ(link.SetModificationTime(2000000), B_OK);
	ASSERT_EQ(link.SetAccessTime(3000000), B_OK);

	time_t value = 0;
	EXPECT_EQ(file.GetModificationTime(&value), B_OK);
	EXPECT_EQ(value, 1000000);
	EXPECT_EQ(link.GetModificationTime(&value), B_OK);
	EXPECT_EQ(value, 2000000);
	EXPECT_EQ(link.GetAccessTime(&value), B_OK);
	EXPECT_EQ(value, 3000000);

	BNode node(&file);
	ASSERT_EQ(node.SetModificationTime(4000000), B_OK);
	EXPECT_EQ(file.GetModificationTime(&value), B_OK);
	EXPECT_EQ(value, 4000000);
}

TEST(BStatable, CreationTimeIsKeptHiddenAndReadBackFirst)
{
	ScopedTempDir temp;
	std::ofstream(temp.Path() / "file") << "x";
	fs::create_directory(temp.Path() / "folder");
	fs::create_symlink("file", temp.Path() / "link");

	for (const char* name : { "file", "folder", "link" }) {
		BEntry entry((temp.Path() / name).c_str());
		time_t before = 0;
		ASSERT_EQ(entry.GetCreationTime(&before), B_OK) << name;
		// Without a set time the birth time (or the oldest stat time) is near now.
		EXPECT_LE(before, time(nullptr) + 1) << name;
		EXPECT_GT(before, time(nullptr) - 3600) << name;

		ASSERT_EQ(entry.SetCreationTime(86400), B_OK) << name;
		time_t after = 0;
		ASSERT_EQ(entry.GetCreationTime(&after), B_OK);
		EXPECT_EQ(after, 86400) << name;

		BNode node(&entry);
		EXPECT_EQ(node.GetCreationTime(&after), B_OK);
		EXPECT_EQ(after, 86400) << name;
		char attribute[B_ATTR_NAME_LENGTH];
		EXPECT_EQ(node.GetNextAttrName(attribute), B_ENTRY_NOT_FOUND) << name;
	}

	// The link's creation time goes with it.
	BEntry link((temp.Path() / "link").c_str());
	ASSERT_EQ(link.Rename("moved"), B_OK);
	time_t value = 0;
	EXPECT_EQ(link.GetCreationTime(&value), B_OK);
	EXPECT_EQ(value, 86400);
}

TEST(BStatable, VolumeIsTheOneHoldingTheNode)
{
	ScopedTempDir temp;
	BEntry entry(temp.Path().c_str());
	BVolume volume;
	ASSERT_EQ(entry.GetVolume(&volume), B_OK);
	struct stat st;
	ASSERT_EQ(stat(temp.Path().c_str(), &st), 0);
	EXPECT_EQ(volume.Device(), st.st_dev);
}

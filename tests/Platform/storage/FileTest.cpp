// BFile: the BeOS open modes and positioned reading and writing.
#include <File.h>

#include <Directory.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string
contents(const fs::path& path)
{
	std::ifstream stream(path);
	std::stringstream text;
	text << stream.rdbuf();
	return text.str();
}

} // namespace

TEST(BFile, OpenModesCreateEraseAndRefuse)
{
	ScopedTempDir temp;
	fs::path path = temp.Path() / "file";

	BFile missing(path.c_str(), B_READ_ONLY);
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);

	BFile created(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	ASSERT_EQ(created.InitCheck(), B_OK);
	EXPECT_TRUE(created.IsWritable());
	EXPECT_FALSE(created.IsReadable());
	EXPECT_EQ(created.Write("hello world", 11), 11);
	created.Unset();

	BFile exclusive(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	EXPECT_EQ(exclusive.InitCheck(), B_FILE_EXISTS);

	BFile append(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
	EXPECT_EQ(append.Write("!", 1), 1);
	append.Unset();
	EXPECT_EQ(contents(path), "hello world!");

	BFile erase(path.c_str(), B_READ_WRITE | B_ERASE_FILE);
	ASSERT_EQ(erase.InitCheck(), B_OK);
	EXPECT_TRUE(erase.IsReadable() && erase.IsWritable());
	EXPECT_EQ(contents(path), "");

	BFile folder(temp.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(folder.InitCheck(), B_IS_A_DIRECTORY);
}

TEST(BFile, ReadsAndWritesAtPositions)
{
	ScopedTempDir temp;
	BDirectory dir(temp.Path().c_str());
	BFile file(&dir, "data", B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(file.InitCheck(), B_OK);

	EXPECT_EQ(file.WriteAt(4, "tail", 4), 4);
	EXPECT_EQ(file.Position(), 0);
	EXPECT_EQ(file.Write("head", 4), 4);
	EXPECT_EQ(file.Position(), 4);

	char buffer[9] = {};
	EXPECT_EQ(file.ReadAt(0, buffer, 8), 8);
	EXPECT_STREQ(buffer, "headtail");
	EXPECT_EQ(file.Seek(-4, SEEK_END), 4);
	EXPECT_EQ(file.Read(buffer, 8), 4);
	EXPECT_EQ(file.Read(buffer, 8), 0);
	EXPECT_EQ(file.ReadAt(-1, buffer, 1), B_BAD_VALUE);

	EXPECT_EQ(file.SetSize(2), B_OK);
	off_t size = 0;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 2);

	BFile copy(file);
	EXPECT_EQ(copy.ReadAt(0, buffer, 8), 2);

	BFile unset;
	EXPECT_EQ(unset.Read(buffer, 1), B_NO_INIT);
	EXPECT_FALSE(unset.IsReadable());
}

TEST(BFile, OpensTheTargetOfALink)
{
	ScopedTempDir temp;
	std::ofstream(temp.Path() / "target") << "through";
	fs::create_symlink("target", temp.Path() / "link");
	BFile file((temp.Path() / "link").c_str(), B_READ_ONLY);
	ASSERT_EQ(file.InitCheck(), B_OK);
	EXPECT_TRUE(file.IsFile());
	char buffer[8] = {};
	EXPECT_EQ(file.Read(buffer, 7), 7);
	EXPECT_STREQ(buffer, "through");
}

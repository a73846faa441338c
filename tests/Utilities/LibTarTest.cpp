// LibTar: the system's tar started without a shell, in the archive's folder, with names
// that a shell or tar's own option parsing would have misread.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace file_test;

TEST(LibTar, ArchivesItemFromArchivesFolderAndStaysThere)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("out").c_str(), 0755);
	mkdir(temp.Child("out/item folder").c_str(), 0755);
	write_file(temp.Child("out/item folder/file"), "in the archive");

	ASSERT_TRUE(LibTar("item folder", temp.Child("out/a.tar").c_str()));

	EXPECT_EQ(working_directory(), temp.Child("out"));
	std::string listing;
	ASSERT_EQ(run({ "tar", "-tf", temp.Child("out/a.tar") }, &listing), 0) << listing;
	EXPECT_NE(listing.find("item folder/file"), std::string::npos) << listing;
}

TEST(LibTar, NamesReachTarUnchanged)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	const char* names[] = { "-rf", "quote\" $HOME `x`", "new\nline" };
	for (const char* name : names) {
		std::string item = temp.Child(name);
		write_file(item, name);
		// A colon would make tar look for a remote host; a leading dash for an option.
		std::string archive = temp.Child(std::string("-host:") + name + ".tar");
		ASSERT_TRUE(LibTar(name, archive.c_str())) << name;
		std::string listing;
		ASSERT_EQ(
			run({ "tar", "--force-local", "--quoting-style=literal", "-tf", archive }, &listing), 0)
			<< listing;
		EXPECT_EQ(listing.find(name), 0u) << listing;
	}
}

TEST(LibTar, FailureIsReported)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	testing::internal::CaptureStderr();
	EXPECT_FALSE(LibTar(temp.Child("missing").c_str(), temp.Child("a.tar").c_str()));
	testing::internal::GetCapturedStderr();
	EXPECT_FALSE(LibTar(NULL, temp.Child("a.tar").c_str()));
}

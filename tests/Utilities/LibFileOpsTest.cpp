// The small file operations: unique names and their counter, tool lookup along a search
// path, folders, the working directory, links, types, and paths with any characters in
// them.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <FindDirectory.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

using namespace file_test;

namespace {

// The counter part of a unique name made now with prefix; -1 when it cannot be told.
long
unique_counter(const char* prefix)
{
	time_t before = time(NULL);
	BPath path;
	LibUniqueName(path, prefix);
	time_t after = time(NULL);
	std::string leaf = path.Leaf();
	std::string pid = std::to_string(getpid());
	for (time_t when = before; when <= after; when++) {
		std::string tail = pid + std::to_string(when);
		if (leaf.size() > tail.size() + strlen(prefix)
			&& leaf.compare(leaf.size() - tail.size(), tail.size(), tail) == 0) {
			return atol(
				leaf.substr(strlen(prefix), leaf.size() - tail.size() - strlen(prefix)).c_str());
		}
	}
	return -1;
}

// Names that a shell would have mangled.
const char* const kAwkwardNames[] = {
	"with space",
	"double\"quote",
	"single'quote",
	"dollar$HOME",
	"back`tick`",
	"new\nline",
	"caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac",
	"-starts-with-dash",
	"semi;colon&amp|pipe>redirect*glob?",
};

} // namespace

TEST(LibUniqueName, CounterRunsToTenThousandThenStartsAgain)
{
	long first = unique_counter("zip");
	ASSERT_GE(first, 1);
	ASSERT_LE(first, 10000);
	long previous = first;
	for (int i = 0; i < 10001; i++) {
		long next = unique_counter("zip");
		if (previous == 10000)
			ASSERT_EQ(next, 1);
		else
			ASSERT_EQ(next, previous + 1);
		previous = next;
	}
}

TEST(LibUniqueName, EmptyPathStartsInCommonTemporaryFolder)
{
	BPath temporary;
	ASSERT_EQ(find_directory(B_COMMON_TEMP_DIRECTORY, &temporary), B_OK);
	BPath path;
	LibUniqueName(path, "zip");
	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), temporary.Path());
	EXPECT_EQ(strncmp(path.Leaf(), "zip", 3), 0);

	ScopedTempDir temp;
	BPath inFolder(temp.Path().c_str());
	LibUniqueName(inFolder, "x");
	EXPECT_EQ(std::string(inFolder.Path()).rfind(temp.Path().string() + "/x", 0), 0u);
}

TEST(LibFindEnvFile, TriesFoldersInOrderAndTakesFirstThatHasFile)
{
	ScopedTempDir temp;
	mkdir(temp.Child("x").c_str(), 0755);
	mkdir(temp.Child("bin").c_str(), 0755);
	write_file(temp.Child("x/zip"), "");
	write_file(temp.Child("bin/unzip"), "");
	write_file(temp.Child("x/unzip"), "");
	std::string list = temp.Child("x") + ":" + temp.Child("bin");
	setenv("LIB_FIND_ENV_FILE_TEST", list.c_str(), 1);

	BPath found;
	EXPECT_TRUE(LibFindEnvFile("LIB_FIND_ENV_FILE_TEST", "zip", found));
	EXPECT_EQ(std::string(found.Path()), temp.Child("x/zip"));
	EXPECT_TRUE(LibFindEnvFile("LIB_FIND_ENV_FILE_TEST", "unzip", found));
	EXPECT_EQ(std::string(found.Path()), temp.Child("x/unzip"));
	EXPECT_FALSE(LibFindEnvFile("LIB_FIND_ENV_FILE_TEST", "tar", found));

	unsetenv("LIB_FIND_ENV_FILE_TEST");
	EXPECT_FALSE(LibFindEnvFile("LIB_FIND_ENV_FILE_TEST", "zip", found));
}

TEST(Libmkdir, CreatesMissingLevelsButNotExistingFolder)
{
	ScopedTempDir temp;
	mode_t oldMask = umask(0);
	EXPECT_TRUE(Libmkdir(temp.Child("a/b/c").c_str()));
	umask(oldMask);
	struct stat st;
	ASSERT_EQ(stat(temp.Child("a/b/c").c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(st.st_mode & 0777, 0775u);
	ASSERT_EQ(stat(temp.Child("a/b").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0775u);

	write_file(temp.Child("a/b/c/file"), "kept");
	EXPECT_FALSE(Libmkdir(temp.Child("a/b/c").c_str()));
	EXPECT_EQ(read_file(temp.Child("a/b/c/file")), "kept");

	// A file in the way cannot become a folder.
	write_file(temp.Child("plain"), "");
	EXPECT_FALSE(Libmkdir(temp.Child("plain/below").c_str()));
}

TEST(LibFolderIsEmpty, OnlyAReadableFolderWithoutEntries)
{
	ScopedTempDir temp;
	ASSERT_TRUE(Libmkdir(temp.Child("empty").c_str()));
	EXPECT_TRUE(LibFolderIsEmpty(temp.Child("empty").c_str()));
	symlink("empty", temp.Child("to-empty").c_str());
	EXPECT_TRUE(LibFolderIsEmpty(temp.Child("to-empty").c_str()));

	// A hidden entry counts; a file or nothing at all is no empty folder.
	ASSERT_TRUE(Libmkdir(temp.Child("hidden").c_str()));
	write_file(temp.Child("hidden/.dot"), "");
	EXPECT_FALSE(LibFolderIsEmpty(temp.Child("hidden").c_str()));
	write_file(temp.Child("plain"), "");
	EXPECT_FALSE(LibFolderIsEmpty(temp.Child("plain").c_str()));
	EXPECT_FALSE(LibFolderIsEmpty(temp.Child("missing").c_str()));
	EXPECT_FALSE(LibFolderIsEmpty(""));
	EXPECT_FALSE(LibFolderIsEmpty(NULL));
}

TEST(LibExists, FollowsLinks)
{
	ScopedTempDir temp;
	write_file(temp.Child("file"), "");
	symlink("file", temp.Child("good").c_str());
	symlink("missing", temp.Child("dangling").c_str());
	EXPECT_TRUE(LibExists(temp.Child("file").c_str()));
	EXPECT_TRUE(LibExists(temp.Child("good").c_str()));
	EXPECT_FALSE(LibExists(temp.Child("dangling").c_str()));
	EXPECT_FALSE(LibExists(temp.Child("missing").c_str()));
	EXPECT_FALSE(LibExists(NULL));
}

TEST(LibChangeDirectory, ChangesOnlyToExistingFolder)
{
	WorkingDirectoryKeeper keeper;
	ScopedTempDir temp;
	std::string before = working_directory();

	EXPECT_FALSE(LibChangeDirectory(temp.Child("missing").c_str()));
	EXPECT_EQ(working_directory(), before);
	write_file(temp.Child("file"), "");
	EXPECT_FALSE(LibChangeDirectory(temp.Child("file").c_str()));
	EXPECT_EQ(working_directory(), before);

	EXPECT_TRUE(LibChangeDirectory(temp.Path().c_str()));
	EXPECT_EQ(working_directory(), temp.Path().string());
}

TEST(LibSymLink, MakesReplacesAndPlacesLinksInFolders)
{
	ScopedTempDir temp;
	write_file(temp.Child("target"), "data");
	mkdir(temp.Child("folder").c_str(), 0755);

	ASSERT_TRUE(LibSymLink(temp.Child("target").c_str(), temp.Child("link").c_str()));
	EXPECT_EQ(read_file(temp.Child("link")), "data");

	// An existing link or file is replaced; the text is kept exactly.
	ASSERT_TRUE(LibSymLink("relative/text", temp.Child("link").c_str()));
	char text[64] = {};
	readlink(temp.Child("link").c_str(), text, sizeof(text) - 1);
	EXPECT_STREQ(text, "relative/text");

	// Into a folder, under the target's leaf name.
	ASSERT_TRUE(LibSymLink(temp.Child("target").c_str(), temp.Child("folder").c_str()));
	EXPECT_EQ(read_file(temp.Child("folder/target")), "data");

	// A folder of the link's name is never replaced.
	mkdir(temp.Child("folder/box").c_str(), 0755);
	mkdir(temp.Child("elsewhere").c_str(), 0755);
	mkdir(temp.Child("elsewhere/box").c_str(), 0755);
	EXPECT_FALSE(LibSymLink(temp.Child("elsewhere/box").c_str(), temp.Child("folder").c_str()));
	EXPECT_FALSE(LibSymLink(NULL, temp.Child("x").c_str()));
}

TEST(Libmimeset, TypesEntriesAndReplacesOldTypes)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("folder/readme"), "Plain words in a plain text file.\n");
	set_attribute(temp.Child("folder/readme"), "BEOS:TYPE", B_MIME_STRING_TYPE,
		std::string("application/x-wrong") + '\0');

	Libmimeset(temp.Child("folder").c_str());

	auto folder = attributes_of(temp.Child("folder"));
	EXPECT_EQ(folder["BEOS:TYPE"].data, std::string("application/x-vnd.Be-directory") + '\0');
	auto readme = attributes_of(temp.Child("folder/readme"));
	EXPECT_EQ(readme["BEOS:TYPE"].data, std::string("text/plain") + '\0');
}

class LibFileAwkwardNames : public testing::TestWithParam<const char*> { };

TEST_P(LibFileAwkwardNames, ReachFileSystemUnchanged)
{
	ScopedSandbox sandbox;
	ScopedTempDir temp;
	std::string name = GetParam();
	std::string path = temp.Child(name);
	write_file(path, name);

	ASSERT_TRUE(LibCopy(path.c_str(), temp.Child(name + " 2").c_str()));
	EXPECT_EQ(read_file(temp.Child(name + " 2")), name);

	ASSERT_TRUE(LibSymLink(path.c_str(), temp.Child(name + " link").c_str()));
	EXPECT_EQ(read_file(temp.Child(name + " link")), name);

	mkdir(temp.Child("folder").c_str(), 0755);
	ASSERT_TRUE(LibMove(temp.Child(name + " 2").c_str(), temp.Child("folder").c_str()));
	EXPECT_EQ(read_file(temp.Child("folder/" + name + " 2")), name);

	LibDuplicate(path.c_str());
	EXPECT_EQ(read_file(temp.Child(name + " copy")), name);

	{
		WorkingDirectoryKeeper keeper;
		BPath item(temp.Child(name + " copy").c_str());
		ASSERT_TRUE(LibZip(temp.Child("archive.zip").c_str(), item, 9));
		mkdir(temp.Child("out").c_str(), 0755);
		ASSERT_EQ(rename(temp.Child("archive.zip").c_str(), temp.Child("out/a.zip").c_str()), 0);
		ASSERT_TRUE(LibUnzip(temp.Child("out/a.zip").c_str()));
		EXPECT_EQ(read_file(temp.Child("out/" + name + " copy")), name);
	}

	LibTrash(BPath(temp.Child(name + " copy").c_str()), false);
	EXPECT_FALSE(exists(temp.Child(name + " copy")));
	BPath trash;
	find_directory(B_TRASH_DIRECTORY, &trash);
	EXPECT_EQ(read_file(std::string(trash.Path()) + "/" + name + " copy"), name);

	LibUnlink(temp.Child("folder").c_str());
	EXPECT_FALSE(exists(temp.Child("folder")));
}

INSTANTIATE_TEST_SUITE_P(Names, LibFileAwkwardNames, testing::ValuesIn(kAwkwardNames));

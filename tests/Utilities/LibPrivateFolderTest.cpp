// LibMakePrivateFolder: each call makes a new folder of the common temporary folder that only
// the user may enter, never one that existed, and refuses prefixes that would leave it.
#include "LibPrivateFolder.h"

#include "LibFile.h"
#include "TempDir.h"

#include <Path.h>

#include <gtest/gtest.h>

#include <set>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(LibMakePrivateFolder, EachCallMakesANewFolderOnlyTheUserMayEnter)
{
	const std::string temporary = getenv("TMPDIR");
	std::set<std::string> made;
	for (int i = 0; i < 20; i++) {
		BPath folder;
		ASSERT_TRUE(LibMakePrivateFolder(folder, "help"));
		std::string path = folder.Path();
		EXPECT_EQ(temporary + "/help-", path.substr(0, temporary.size() + 6));
		EXPECT_TRUE(made.insert(path).second) << path << " made twice";

		struct stat info;
		ASSERT_EQ(0, lstat(path.c_str(), &info));
		EXPECT_TRUE(S_ISDIR(info.st_mode));
		EXPECT_EQ(0700u, info.st_mode & 07777);
		EXPECT_EQ(getuid(), info.st_uid);
	}
	for (const std::string& path : made)
		LibUnlink(path.c_str());
}

TEST(LibMakePrivateFolder, RefusesPrefixesThatLeaveTheTemporaryFolderAndMissingFolders)
{
	BPath folder("/somewhere");
	EXPECT_FALSE(LibMakePrivateFolder(folder, "../escape"));
	EXPECT_NE(B_OK, folder.InitCheck());
	EXPECT_FALSE(LibMakePrivateFolder(folder, NULL));

	// A temporary folder that does not exist gives no folder rather than one elsewhere.
	ScopedTempDir temp;
	const std::string saved = getenv("TMPDIR");
	setenv("TMPDIR", temp.Child("gone").c_str(), 1);
	bool made = LibMakePrivateFolder(folder, "help");
	setenv("TMPDIR", saved.c_str(), 1);
	EXPECT_FALSE(made);
	EXPECT_NE(B_OK, folder.InitCheck());
}

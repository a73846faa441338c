// LibMakePrivateFolder: every call makes a new folder only the user may enter, and a prefix
// that would lead out of the temporary folder gives none.
#include "LibPrivateFolder.h"

#include "LibFile.h"

#include <Path.h>

#include <gtest/gtest.h>

#include <set>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(LibMakePrivateFolder, EachCallMakesANewFolderOnlyTheUserMayEnter)
{
	const std::string prefix = std::string(getenv("TMPDIR")) + "/help-";
	std::set<std::string> made;
	for (int i = 0; i < 20; i++) {
		BPath folder;
		ASSERT_TRUE(LibMakePrivateFolder(folder, "help"));
		EXPECT_EQ(prefix, std::string(folder.Path()).substr(0, prefix.size()));
		EXPECT_TRUE(made.insert(folder.Path()).second) << folder.Path() << " made twice";
		struct stat info;
		ASSERT_EQ(0, lstat(folder.Path(), &info));
		EXPECT_TRUE(
			S_ISDIR(info.st_mode) && (info.st_mode & 07777) == 0700 && info.st_uid == getuid());
	}
	for (const std::string& path : made)
		LibUnlink(path.c_str());

	BPath folder("/somewhere");
	EXPECT_FALSE(LibMakePrivateFolder(folder, "../escape"));
	EXPECT_NE(B_OK, folder.InitCheck());
}

// The path helpers both the storage kit and the foundation library's file operations take
// paths with: splitting and joining, absolute paths that keep "." and ".." for the file
// system to resolve, and resolution of an entry's folder on disk.
#include "PathPrivate.h"

#include <Entry.h>
#include <Path.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

// Puts the working directory back when it goes.
class WorkingDirectory {
public:
	WorkingDirectory() { fSaved = getcwd(nullptr, 0); }

	~WorkingDirectory()
	{
		if (fSaved != nullptr && chdir(fSaved) != 0)
			ADD_FAILURE() << "cannot go back to " << fSaved;
		free(fSaved);
	}

private:
	char* fSaved;
};

} // namespace

TEST(PathPrivate, SplitsAndJoinsOneWayForEveryCaller)
{
	// Rows: path, folder, leaf.
	const char* const rows[][3] = {
		{ "/a/b", "/a", "b" },
		{ "/a", "/", "a" },
		{ "/", "/", "" },
		{ "name", "/", "name" },
		{ "/a/b/..", "/a/b", ".." },
	};
	for (const auto& row : rows) {
		EXPECT_EQ(path_folder(row[0]), row[1]) << row[0];
		EXPECT_EQ(path_leaf(row[0]), row[2]) << row[0];
	}
	EXPECT_EQ(join_path("/a", "b"), "/a/b");
	EXPECT_EQ(join_path("/", "b"), "/b");
	EXPECT_EQ(join_path("/a", ""), "/a");
	EXPECT_EQ(absolute_path("/a//b/./../c/"), "/a/b/./../c");
	EXPECT_TRUE(is_dot_leaf("/a/.."));
	EXPECT_TRUE(is_dot_leaf("a/./"));
	EXPECT_FALSE(is_dot_leaf("/a/..b"));
}

TEST(PathPrivate, ResolvesTheFolderOnDiskAsTheKernelDoes)
{
	ScopedTempDir temp;
	std::string root = temp.Path().string();
	char* real = realpath(root.c_str(), nullptr);
	ASSERT_NE(real, nullptr);
	root = real;
	free(real);
	mkdir((root + "/a").c_str(), 0755);
	mkdir((root + "/elsewhere").c_str(), 0755);
	mkdir((root + "/elsewhere/inner").c_str(), 0755);
	symlink((root + "/elsewhere/inner").c_str(), (root + "/a/link").c_str());

	// Rows: path, resolved path ("" when the resolution fails).
	const std::pair<std::string, std::string> rows[] = {
		{ root + "/a/link/../x", root + "/elsewhere/x" },
		{ root + "/a/link", root + "/a/link" },
		{ root + "/a/link/", root + "/a/link" },
		{ root + "/a/link/..", root + "/elsewhere" },
		{ root + "/a/.", root + "/a" },
		{ root + "/missing/x", "" },
		{ "/", "/" },
	};
	for (const auto& [path, expected] : rows) {
		std::string resolved;
		status_t status = resolve_entry_path(path, &resolved);
		if (expected.empty()) {
			EXPECT_NE(status, B_OK) << path;
			continue;
		}
		EXPECT_EQ(status, B_OK) << path;
		EXPECT_EQ(resolved, expected) << path;
	}
}

TEST(PathPrivate, RelativePathWithoutWorkingDirectoryNeverLandsOnTheRoot)
{
	ScopedTempDir temp;
	WorkingDirectory keeper;
	std::string gone = temp.Path().string() + "/gone";
	ASSERT_EQ(mkdir(gone.c_str(), 0755), 0);
	ASSERT_EQ(chdir(gone.c_str()), 0);
	ASSERT_EQ(rmdir(gone.c_str()), 0);

	EXPECT_EQ(absolute_path("etc"), "");
	BPath path("etc");
	EXPECT_NE(path.InitCheck(), B_OK);
	BEntry entry("etc");
	EXPECT_NE(entry.InitCheck(), B_OK);
}

// LibUnlink and LibUnlinkChecked: removal that never follows links, takes the folder part
// of a path as the kernel does, refuses to name a folder through "." or "..", removes trees
// of any depth and the user's own folders whatever their permissions, and tells callers
// that need it what stayed.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace file_test;

namespace {

// Lowers the soft limit of open descriptors and puts it back when it goes.
class DescriptorLimit {
public:
	explicit DescriptorLimit(rlim_t limit)
	{
		getrlimit(RLIMIT_NOFILE, &fSaved);
		struct rlimit lowered = fSaved;
		lowered.rlim_cur = limit;
		setrlimit(RLIMIT_NOFILE, &lowered);
	}

	~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &fSaved); }

private:
	struct rlimit fSaved;
};

// Makes a chain of depth folders named "d" below folder, deeper than PATH_MAX allows to
// name, with a file at the bottom; one descriptor at a time.
bool
make_deep_tree(const std::string& folder, int depth)
{
	int current = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
	for (int level = 0; level < depth && current >= 0; level++) {
		int next = -1;
		if (mkdirat(current, "d", 0755) == 0)
			next = openat(current, "d", O_RDONLY | O_DIRECTORY);
		close(current);
		current = next;
	}
	if (current < 0)
		return false;
	int file = openat(current, "bottom", O_WRONLY | O_CREAT, 0644);
	close(current);
	if (file < 0)
		return false;
	close(file);
	return true;
}

// Gives the owner every permission on the folders below path, so that a tree a failed
// removal left can be cleaned up.
void
chmod_tree(const std::string& path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return;
	chmod(path.c_str(), 0755);
	DIR* folder = opendir(path.c_str());
	if (folder == NULL)
		return;
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(folder);
	for (const std::string& name : names)
		chmod_tree(path + "/" + name);
}

} // namespace

TEST(LibUnlink, RemovesTreeButNothingLinksPointAt)
{
	ScopedTempDir temp;
	mkdir(temp.Child("outside").c_str(), 0755);
	write_file(temp.Child("outside/precious"), "keep");
	mkdir(temp.Child("tree").c_str(), 0755);
	mkdir(temp.Child("tree/sub").c_str(), 0755);
	write_file(temp.Child("tree/sub/file"), "x");
	symlink(temp.Child("outside").c_str(), temp.Child("tree/to-outside").c_str());
	symlink(temp.Child("outside").c_str(), temp.Child("tree/sub/also-outside").c_str());

	EXPECT_EQ(LibUnlinkChecked(temp.Child("tree").c_str()), B_OK);

	EXPECT_FALSE(exists(temp.Child("tree")));
	EXPECT_EQ(read_file(temp.Child("outside/precious")), "keep");

	// A link itself goes, with the attributes its folder kept for it.
	symlink(temp.Child("outside").c_str(), temp.Child("link").c_str());
	set_attribute(temp.Child("link"), "InstallBy", B_STRING_TYPE, "tag;");
	LibUnlink(temp.Child("link").c_str());
	EXPECT_FALSE(exists(temp.Child("link")));
	EXPECT_TRUE(exists(temp.Child("outside/precious")));
	symlink("elsewhere", temp.Child("link").c_str());
	EXPECT_TRUE(attributes_of(temp.Child("link")).empty());
}

TEST(LibUnlink, FolderPartIsResolvedOnDiskAndDotLeavesAreRefused)
{
	// Rows: the path given, its outcome, the entries that must be gone afterwards and
	// the ones that must stay.
	struct Row {
		const char* path;
		status_t status;
		std::vector<std::string> gone;
		std::vector<std::string> kept;
	};

	const Row rows[] = {
		{ "dir/sub/..", B_BAD_VALUE, {}, { "dir", "dir/sub", "dir/file" } },
		{ "dir/.", B_BAD_VALUE, {}, { "dir", "dir/file" } },
		{ "dir/sub/../", B_BAD_VALUE, {}, { "dir", "dir/sub" } },
		{ "a/link/../x", B_OK, { "elsewhere/x" }, { "a/x", "a/link", "elsewhere/inner" } },
		{ "a/link/../inner", B_OK, { "elsewhere/inner" }, { "a/link", "a/x" } },
		{ "dir/sub/../file", B_OK, { "dir/file" }, { "dir/sub" } },
		{ "a/link/", B_OK, { "a/link" }, { "elsewhere/inner", "elsewhere/inner/deep" } },
		{ "dir/missing", B_OK, {}, { "dir" } },
	};
	for (const Row& row : rows) {
		ScopedTempDir temp;
		WorkingDirectoryKeeper keeper;
		for (const char* folder :
			{ "dir", "dir/sub", "a", "elsewhere", "elsewhere/inner", "elsewhere/inner/deep" })
			mkdir(temp.Child(folder).c_str(), 0755);
		write_file(temp.Child("dir/file"), "f");
		write_file(temp.Child("a/x"), "a's x");
		write_file(temp.Child("elsewhere/x"), "elsewhere's x");
		symlink(temp.Child("elsewhere/inner").c_str(), temp.Child("a/link").c_str());
		ASSERT_EQ(chdir(temp.Path().c_str()), 0);

		testing::internal::CaptureStderr();
		EXPECT_EQ(LibUnlinkChecked(row.path), row.status) << row.path;
		testing::internal::GetCapturedStderr();
		for (const std::string& entry : row.gone)
			EXPECT_FALSE(exists(temp.Child(entry))) << row.path << ": " << entry;
		for (const std::string& entry : row.kept)
			EXPECT_TRUE(exists(temp.Child(entry))) << row.path << ": " << entry;
	}
}

TEST(LibUnlink, RefusesNothingAndTheRoot)
{
	testing::internal::CaptureStderr();
	EXPECT_EQ(LibUnlinkChecked(NULL), B_BAD_VALUE);
	EXPECT_EQ(LibUnlinkChecked(""), B_BAD_VALUE);
	EXPECT_EQ(LibUnlinkChecked("/"), B_NOT_ALLOWED);
	EXPECT_EQ(LibUnlinkChecked("//"), B_NOT_ALLOWED);
	EXPECT_EQ(LibUnlinkChecked("/.."), B_BAD_VALUE);
	testing::internal::GetCapturedStderr();
}

TEST(LibUnlink, RemovesTreesDeeperThanTheDescriptorLimit)
{
	ScopedTempDir temp;
	mkdir(temp.Child("deep").c_str(), 0755);
	ASSERT_TRUE(make_deep_tree(temp.Child("deep"), 600));
	{
		DescriptorLimit limit(128);
		EXPECT_EQ(LibUnlinkChecked(temp.Child("deep").c_str()), B_OK);
	}
	EXPECT_FALSE(exists(temp.Child("deep")));
}

TEST(LibUnlink, UsersOwnFoldersGoWhateverTheirPermissions)
{
	// Rows: the mode of a folder inside the tree, then of the tree's top folder.
	const std::pair<mode_t, mode_t> rows[] = {
		{ 0555, 0755 }, // no write: its entries cannot be unlinked
		{ 0666, 0755 }, // no search: its entries cannot be looked at
		{ 0333, 0755 }, // no read: it cannot be listed
		{ 0000, 0755 },
		{ 0755, 0000 }, // the top folder itself
		{ 0000, 0500 },
	};
	for (const auto& [inner, top] : rows) {
		ScopedTempDir temp;
		ChildOutcome outcome = run_as_ordinary_user(
			temp.Path().string(), [&](const std::string& work, ChildReport& report) {
				std::string tree = work + "/tree";
				mkdir(tree.c_str(), 0755);
				mkdir((tree + "/inner").c_str(), 0755);
				mkdir((tree + "/inner/deeper").c_str(), 0755);
				write_file(tree + "/inner/file", "x");
				write_file(tree + "/inner/deeper/file", "y");
				chmod((tree + "/inner").c_str(), inner);
				chmod(tree.c_str(), top);
				status_t status = LibUnlinkChecked(tree.c_str());
				report.Check(status == B_OK, "status " + std::to_string(status));
				report.Check(!exists(tree), "the tree is still there");
			});
		if (outcome.skipped)
			GTEST_SKIP() << outcome.text;
		EXPECT_TRUE(outcome.passed) << std::oct << inner << " " << top << ": " << outcome.text;
		// What a failed removal left is emptied by the test's own folder.
		chmod_tree(temp.Path().string());
	}
}

TEST(LibUnlink, CheckedVariantReportsWhatStayed)
{
	ScopedTempDir temp;
	std::string mount = temp.Child("volume");
	mkdir(mount.c_str(), 0755);
	ChildOutcome outcome = run_with_second_volume(mount, "size=1m", [&](ChildReport& report) {
		mkdir((mount + "/tree").c_str(), 0755);
		write_file(mount + "/tree/file", "x");
		report.Check(mount_read_only(mount), "cannot make the volume read-only");
		testing::internal::CaptureStderr();
		status_t status = LibUnlinkChecked((mount + "/tree").c_str());
		std::string errors = testing::internal::GetCapturedStderr();
		report.Check(status == B_READ_ONLY_DEVICE, "status " + std::to_string(status));
		report.Check(errors.find(mount + "/tree was not removed") != std::string::npos,
			"no message: " + errors);
		report.Check(exists(mount + "/tree/file"), "the file is gone");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

// DeinstallSearch: which entries a search finds and in what order, what it leaves out (other
// tags, the boot Trash, what lies behind links, other mounts, folders it cannot read), its
// progress messages and their totals, and that killing it stops it cleanly.
#include "DeinstallSearch.h"

#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <ThreadPrivate.h>
#include <TypeConstants.h>
#include <Volume.h>

#include "../Utilities/FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <mutex>
#include <stddef.h>
#include <sys/prctl.h>

namespace fs = std::filesystem;
using namespace file_test;

namespace {

const char kTag[] = "Editor;2.1;2000-05-01;Maker;support;";

bool
tag(const fs::path& path, const std::string& value = kTag)
{
	return set_attribute(path, "InstallBy", B_STRING_TYPE, value);
}

// Searches folder on the calling thread; the paths found, sorted when asked.
std::vector<std::string>
scan(const fs::path& folder, const std::string& searchTag = kTag, bool sorted = false,
	int32* unreadable = NULL)
{
	struct stat st;
	stat(folder.c_str(), &st);
	DeinstallSearch search((BVolume(st.st_dev)));
	search.SetTag(searchTag.c_str());
	BEntry entry(folder.c_str());
	search.Scan(entry);
	if (unreadable != NULL)
		*unreadable = search.UnreadableFolders();
	std::vector<std::string> paths;
	for (LibString* path = search.Found().First(); path != NULL; path = search.Found().Next())
		paths.push_back((const char*)*path);
	if (sorted)
		std::sort(paths.begin(), paths.end());
	return paths;
}

// A search of one folder rather than a whole volume, on the search's own thread.
class FolderSearch : public DeinstallSearch {
public:
	explicit FolderSearch(const fs::path& folder) :
		DeinstallSearch(BVolume()),
		fFolder(folder)
	{
		SetTag(kTag);
	}

	status_t Action() override
	{
		BPrivate::CancelDisabler disabler;
		BEntry entry(fFolder.c_str());
		Scan(entry);
		return B_OK;
	}

private:
	fs::path fFolder;
};

// Takes the search's messages as the search window would. While held it handles nothing,
// so its queue fills up.
class Recorder : public BLooper {
public:
	Recorder() :
		BLooper("recorder")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::unique_lock<std::mutex> locker(lock);
		changed.wait(locker, [&] { return !held; });
		if (message->what == kSearchProgress) {
			if (progress++ == 0)
				firstFound = message->FindString("found");
			bytes += message->FindFloat("size");
			lastFound = message->FindString("found");
		} else if (message->what == kLibThreadCompleted) {
			completed = true;
			completionName = message->FindString("name");
		}
		changed.notify_all();
	}

	void Hold(bool hold)
	{
		std::lock_guard<std::mutex> locker(lock);
		held = hold;
		changed.notify_all();
	}

	bool WaitForCompletion()
	{
		std::unique_lock<std::mutex> locker(lock);
		return changed.wait_for(locker, std::chrono::seconds(20), [&] { return completed; });
	}

	std::mutex lock;
	std::condition_variable changed;
	bool held = false;
	bool completed = false;
	int32 progress = 0;
	double bytes = 0;
	std::string firstFound, lastFound, completionName;
};

// A running recorder for one test, quit at its end.
struct RunningRecorder {
	Recorder* looper = new Recorder;

	RunningRecorder() { looper->Run(); }

	~RunningRecorder()
	{
		looper->Hold(false);
		if (looper->Lock())
			looper->Quit();
	}
};

void
build_tree(const fs::path& root, int folders, int filesPerFolder)
{
	for (int folder = 0; folder < folders; folder++) {
		fs::path path = root / ("folder " + std::to_string(folder));
		fs::create_directories(path);
		for (int file = 0; file < filesPerFolder; file++)
			write_file(path / ("file " + std::to_string(file)), std::string(file % 7, 'x'));
	}
}

// The entries below root, root included, and the sum of their own sizes.
std::pair<int32, int64>
tree_totals(const fs::path& root)
{
	struct stat st;
	lstat(root.c_str(), &st);
	std::pair<int32, int64> totals(1, st.st_size);
	for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
		lstat(entry.path().c_str(), &st);
		totals.first++;
		totals.second += st.st_size;
	}
	return totals;
}

} // namespace

// The tag table, checked in this process and, where getxattrat() is refused (older kernels,
// system-call filters), in a child that must read each file's attribute another way.
void
check_tag_table(ChildReport& report)
{
	const std::string longTag = std::string(300, 't') + ";";

	const struct {
		const char* name;
		std::string value;
		std::string searchTag;
		bool found;
	} cases[] = {
		{ "exact", kTag, kTag, true },
		{ "letter case differs", "editor;2.1;2000-05-01;maker;support;", kTag, false },
		{ "empty value", "", kTag, false },
		{ "empty value, empty tag", "", "", false },
		{ "prefix of the tag", "Editor;2.1;", kTag, false },
		{ "tag with more after it", std::string(kTag) + "x", kTag, false },
		{ "terminated by another tool", std::string(kTag) + '\0', kTag, true },
		{ "longer than 256 bytes", longTag, longTag, true },
		{ "long value starting with the tag", kTag + std::string(400, 'x'), kTag, false },
	};

	for (const auto& row : cases) {
		ScopedTempDir temp;
		write_file(temp.Child("item"), "x");
		report.Check(tag(temp.Child("item"), row.value), std::string("tag for ") + row.name);
		report.Check(scan(temp.Path(), row.searchTag).size() == (row.found ? 1u : 0u), row.name);
	}
}

TEST(DeinstallSearch, FindsOnlyTheWholeTagExactly)
{
	ChildReport report;
	check_tag_table(report);
	EXPECT_EQ(report.Failures(), "");

	fflush(NULL);
	pid_t child = fork();
	if (child == 0) {
		struct sock_filter filter[] = {
			BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
			BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 464, 0, 1),
			BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
			BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
		};
		struct sock_fprog program = { sizeof(filter) / sizeof(filter[0]), filter };
		if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
			|| prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
			_exit(77);
		}
		ChildReport childReport;
		check_tag_table(childReport);
		fputs(childReport.Failures().c_str(), stderr);
		_exit(childReport.Failures().empty() ? 0 : 1);
	}
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
		GTEST_SKIP() << "cannot install a system-call filter";
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "without getxattrat()";
}

TEST(DeinstallSearch, ListsAFolderBeforeTheEntriesInsideIt)
{
	ScopedTempDir temp;
	fs::create_directories(temp.Path() / "App/lib/deep");
	fs::create_directories(temp.Path() / "untagged/inner");
	const char* tagged[] = { "App", "App/readme", "App/lib", "App/lib/deep/libx.so",
		"untagged/inner/plugin" };
	for (const char* relative : tagged) {
		if (!fs::exists(temp.Path() / relative))
			write_file(temp.Child(relative), "x");
		ASSERT_TRUE(tag(temp.Path() / relative));
	}

	std::vector<std::string> found = scan(temp.Path());
	ASSERT_EQ(found.size(), 5u);
	auto position = [&](const char* relative) {
		return std::find(found.begin(), found.end(), temp.Child(relative)) - found.begin();
	};
	EXPECT_LT(position("untagged/inner/plugin"), 5);
	EXPECT_LT(position("App"), position("App/readme"));
	EXPECT_LT(position("App"), position("App/lib"));
	EXPECT_LT(position("App/lib"), position("App/lib/deep/libx.so"));
}

TEST(DeinstallSearch, FindsATaggedLinkAsItselfAndNeverGoesThroughLinks)
{
	ScopedTempDir temp;
	const fs::path searched = temp.Path() / "searched";
	fs::create_directories(temp.Path() / "outside");
	fs::create_directories(searched / "real");
	write_file(temp.Child("outside/elsewhere"), "x");
	write_file((searched / "real/inside").string(), "x");
	fs::create_directory_symlink(temp.Path() / "outside", searched / "to outside");
	fs::create_directory_symlink(searched / "real", searched / "to real");
	// A tag left under a link's name by a link moved away behind the kit's back is not the
	// new link's.
	fs::create_symlink("nowhere", searched / "old name");
	for (const fs::path& path : { temp.Path() / "outside/elsewhere", searched / "real/inside",
			 searched / "to outside", searched / "old name" }) {
		ASSERT_TRUE(tag(path));
	}
	fs::rename(searched / "old name", searched / "plain link");
	fs::create_symlink("nowhere", searched / "old name");

	EXPECT_EQ(scan(searched, kTag, true),
		(std::vector<std::string> {
			(searched / "real/inside").string(), (searched / "to outside").string() }));
}

TEST(DeinstallSearch, LeavesTheBootTrashOutAndSearchesOtherTrashFolders)
{
	ScopedSandbox sandbox;
	const fs::path trash = sandbox.Home() / ".local/share/Trash/files";
	const fs::path otherTrash = sandbox.Home() / "disk/.Trash-1000/files";
	fs::create_directories(trash / "old");
	fs::create_directories(otherTrash);
	write_file((trash / "old/item").string(), "x");
	write_file((otherTrash / "item").string(), "x");
	for (const fs::path& path : { trash / "old", trash / "old/item", otherTrash / "item" })
		ASSERT_TRUE(tag(path));

	EXPECT_EQ(scan(sandbox.Home()), std::vector<std::string> { (otherTrash / "item").string() });
	EXPECT_TRUE(scan(trash).empty());
}

TEST(DeinstallSearch, PassesOverFoldersItCannotReadAndCountsThem)
{
	ScopedTempDir temp;
	ChildOutcome outcome = run_as_ordinary_user(
		temp.Path().string(), [](const std::string& work, ChildReport& report) {
			for (const char* folder : { "closed", "list only", "open" }) {
				mkdir((work + "/" + folder).c_str(), 0755);
				write_file(work + "/" + folder + "/item", "x");
				report.Check(tag(work + "/" + folder + "/item"), "tag written");
			}
			chmod((work + "/closed").c_str(), 0);
			chmod((work + "/list only").c_str(), 0444);
			int32 unreadable = 0;
			std::vector<std::string> found = scan(work, kTag, false, &unreadable);
			report.Check(found == std::vector<std::string> { work + "/open/item" }, "found");
			report.Check(unreadable == 2, "unreadable " + std::to_string(unreadable));
			chmod((work + "/closed").c_str(), 0755);
			chmod((work + "/list only").c_str(), 0755);
		});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

TEST(DeinstallSearch, ProgressAddsUpToEveryEntryOnceAtAnyInterval)
{
	ScopedTempDir temp;
	build_tree(temp.Path(), 20, 100);
	ASSERT_TRUE(tag(temp.Path() / "folder 3"));
	ASSERT_TRUE(tag(temp.Path() / "folder 7/file 9"));
	const std::pair<int32, int64> totals = tree_totals(temp.Path());
	for (bigtime_t interval : { (bigtime_t)0, (bigtime_t)1000000 }) {
		RunningRecorder recorder;
		FolderSearch search(temp.Path());
		search.SetProgressInterval(interval);
		ASSERT_EQ(search.Go("search", new BMessenger(recorder.looper), 10, false), B_OK);
		ASSERT_TRUE(recorder.looper->WaitForCompletion());

		std::lock_guard<std::mutex> locker(recorder.looper->lock);
		// One message per entry, or a few that carry the same totals.
		if (interval == 0)
			EXPECT_EQ(recorder.looper->progress, totals.first);
		else
			EXPECT_LT(recorder.looper->progress, totals.first / 10);
		EXPECT_EQ((int64)recorder.looper->bytes, totals.second) << interval;
		EXPECT_EQ(recorder.looper->firstFound, "0") << interval;
		EXPECT_EQ(recorder.looper->lastFound, "2") << interval;
		EXPECT_EQ(recorder.looper->completionName, "search") << interval;
	}
}

TEST(DeinstallSearch, KillingItStopsItWhereverItIs)
{
	ScopedTempDir temp;
	build_tree(temp.Path(), 40, 100);
	for (int trial = 0; trial < 30; trial++) {
		RunningRecorder recorder;
		// Every other trial the window is busy: the search fills its queue (one message per
		// entry, more entries than the queue holds) and waits for room.
		const bool busy = trial % 2 == 1;
		recorder.looper->Hold(busy);
		FolderSearch* search = new FolderSearch(temp.Path());
		search->SetProgressInterval(busy || trial % 3 == 0 ? 0 : 1000);
		ASSERT_EQ(search->Go("search", new BMessenger(recorder.looper), 10, false), B_OK);
		usleep((trial * 997) % 20000);
		search->Kill();
		delete search;
		recorder.looper->Hold(false);
		if (busy) {
			usleep(20000);
			std::lock_guard<std::mutex> locker(recorder.looper->lock);
			EXPECT_FALSE(recorder.looper->completed) << "trial " << trial;
		}
	}
}

TEST(DeinstallSearch, SearchesItsOwnVolumeOnly)
{
	ScopedTempDir temp;
	const std::string boot = temp.Child("boot");
	mkdir(boot.c_str(), 0755);
	ChildOutcome outcome = run_with_second_volume(boot, "size=16m", [&](ChildReport& report) {
		// The volume that holds HOME is the boot volume; its Trash is left out.
		const std::string home = boot + "/home";
		const std::string other = boot + "/mnt/other";
		const std::string otherTrash = other + "/.Trash-" + std::to_string(getuid()) + "/files";
		fs::create_directories(home + "/.local/share/Trash/files");
		fs::create_directories(boot + "/apps/App");
		fs::create_directories(boot + "/data/shared");
		fs::create_directories(boot + "/bound");
		fs::create_directories(other);
		setenv("HOME", home.c_str(), 1);
		setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
		// Another volume inside this one, and this file system seen again inside itself.
		report.Check(mount("none", other.c_str(), "tmpfs", 0, "size=4m") == 0, "second mount");
		report.Check(
			mount((boot + "/data").c_str(), (boot + "/bound").c_str(), NULL, MS_BIND, NULL) == 0,
			"bind mount");
		fs::create_directories(otherTrash);
		for (const std::string& path :
			{ boot + "/apps/App/tool", home + "/.local/share/Trash/files/tool",
				boot + "/data/shared/tool", other + "/tool", otherTrash + "/tool" }) {
			write_file(path, "x");
		}
		for (const std::string& path :
			{ boot + "/apps/App", boot + "/apps/App/tool", home + "/.local/share/Trash/files/tool",
				boot + "/data/shared/tool", other + "/tool", otherTrash + "/tool" }) {
			report.Check(tag(path), "tag on " + path);
		}

		auto search_volume = [](const std::string& root) {
			struct stat st;
			stat(root.c_str(), &st);
			DeinstallSearch search((BVolume(st.st_dev)));
			search.SetTag(kTag);
			search.Action();
			std::vector<std::string> paths;
			for (LibString* path = search.Found().First(); path != NULL;
				 path = search.Found().Next()) {
				paths.push_back((const char*)*path);
			}
			std::sort(paths.begin(), paths.end());
			return paths;
		};
		report.Check(search_volume(boot)
				== std::vector<std::string> { boot + "/apps/App", boot + "/apps/App/tool",
					boot + "/data/shared/tool" },
			"boot volume");
		report.Check(search_volume(other)
				== std::vector<std::string> { otherTrash + "/tool", other + "/tool" },
			"other volume");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

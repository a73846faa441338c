// DeinstallSearch: which entries a search finds and in what order, what it leaves out (other
// tags, the boot Trash, what lies behind links and on other mounts), its progress messages
// and their totals, and that killing it stops it cleanly. The whole-volume cases run in a
// copy of this program inside a private mount namespace, on tmpfs volumes of their own.
#include "DeinstallSearch.h"

#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Node.h>
#include <TypeConstants.h>
#include <Volume.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char kTag[] = "Editor;2.1;2000-05-01;Maker;support;";
const char kNamespaceVariable[] = "BEINSTALLER_DEINSTALL_NAMESPACE_CHILD";

void
make_file(const fs::path& path, const std::string& contents = "data")
{
	std::ofstream(path, std::ios::binary) << contents;
}

void
tag(const fs::path& path, const std::string& value = kTag)
{
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK) << path;
	node.RemoveAttr("InstallBy");
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, value.data(), value.size()),
		(ssize_t)value.size())
		<< path;
}

BVolume
volume_of(const fs::path& path)
{
	struct stat st;
	stat(path.c_str(), &st);
	return BVolume(st.st_dev);
}

std::vector<std::string>
found_paths(DeinstallSearch& search)
{
	std::vector<std::string> paths;
	LibStringList& found = search.Found();
	for (LibString* path = found.First(); path != NULL; path = found.Next())
		paths.push_back((const char*)*path);
	return paths;
}

// Scans folder on the calling thread.
std::vector<std::string>
scan(const fs::path& folder, const std::string& searchTag = kTag, int32* unreadable = NULL)
{
	DeinstallSearch search(volume_of(folder));
	search.SetTag(searchTag.c_str());
	BEntry entry(folder.c_str());
	search.Scan(entry);
	if (unreadable != NULL)
		*unreadable = search.UnreadableFolders();
	return found_paths(search);
}

// A search of one folder instead of the whole volume, on the search's own thread.
class FolderSearch : public DeinstallSearch {
public:
	explicit FolderSearch(const fs::path& folder) :
		DeinstallSearch(volume_of(folder)),
		fFolder(folder)
	{
	}

	status_t Action() override
	{
		BEntry entry(fFolder.c_str());
		Scan(entry);
		return B_OK;
	}

private:
	fs::path fFolder;
};

// Collects the search's messages, like the search window would.
class ProgressRecorder : public BLooper {
public:
	ProgressRecorder() :
		BLooper("progress recorder")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::unique_lock<std::mutex> locker(fLock);
		fChanged.wait(locker, [&] { return !fHeld; });
		if (message->what == kSearchProgress) {
			if (fProgressCount == 0)
				fFirstFound = message->FindString("found");
			fProgressCount++;
			fSizeTotal += message->FindFloat("size");
			fLastFound = message->FindString("found");
			fProgressAfterCompletion = fProgressAfterCompletion || fCompleted;
		} else if (message->what == kLibThreadCompleted) {
			fCompleted = true;
			fCompletionName = message->FindString("name");
			fCompletionStatus = message->FindInt32("status");
		}
		fChanged.notify_all();
	}

	bool WaitForCompletion()
	{
		std::unique_lock<std::mutex> locker(fLock);
		return fChanged.wait_for(locker, std::chrono::seconds(20), [&] { return fCompleted; });
	}

	// While held, the looper handles nothing, so its queue fills up.
	void Hold(bool held)
	{
		std::lock_guard<std::mutex> locker(fLock);
		fHeld = held;
		fChanged.notify_all();
	}

	std::mutex fLock;
	std::condition_variable fChanged;
	bool fHeld = false;
	int32 fProgressCount = 0;
	double fSizeTotal = 0;
	std::string fFirstFound;
	std::string fLastFound;
	bool fCompleted = false;
	bool fProgressAfterCompletion = false;
	std::string fCompletionName;
	int32 fCompletionStatus = -1;
};

class RunningRecorder {
public:
	RunningRecorder() :
		fLooper(new ProgressRecorder)
	{
		fLooper->Run();
	}

	~RunningRecorder()
	{
		fLooper->Hold(false);
		if (fLooper->Lock())
			fLooper->Quit();
	}

	ProgressRecorder* operator->() { return fLooper; }

	BMessenger* NewMessenger() { return new BMessenger(fLooper); }

private:
	ProgressRecorder* fLooper;
};

// Every entry's own size below folder, the folder included, links not followed.
int64
tree_size(const fs::path& folder)
{
	struct stat st;
	lstat(folder.c_str(), &st);
	int64 total = st.st_size;
	for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
		lstat(entry.path().c_str(), &st);
		total += st.st_size;
	}
	return total;
}

int32
tree_entries(const fs::path& folder)
{
	int32 count = 1;
	for (auto it = fs::recursive_directory_iterator(folder); it != fs::end(it); ++it)
		count++;
	return count;
}

void
build_tree(const fs::path& root, int folders, int filesPerFolder)
{
	for (int folder = 0; folder < folders; folder++) {
		fs::path path = root / ("folder " + std::to_string(folder));
		fs::create_directories(path);
		for (int file = 0; file < filesPerFolder; file++)
			make_file(path / ("file " + std::to_string(file)), std::string(file % 7, 'x'));
	}
}

} // namespace

TEST(DeinstallSearch, FindsOnlyTheWholeTagExactly)
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
		{ "long value starting with the tag", std::string(kTag) + std::string(400, 'x'), kTag,
			false },
	};

	for (const auto& row : cases) {
		ScopedTempDir temp;
		make_file(temp.Path() / "item");
		tag(temp.Path() / "item", row.value);
		std::vector<std::string> found = scan(temp.Path(), row.searchTag);
		EXPECT_EQ(found.size(), row.found ? 1u : 0u) << row.name;
	}
}

TEST(DeinstallSearch, ListsAFolderBeforeTheEntriesInsideIt)
{
	ScopedTempDir temp;
	const fs::path app = temp.Path() / "App";
	fs::create_directories(app / "lib/deep");
	fs::create_directories(temp.Path() / "untagged/inner");
	make_file(app / "readme");
	make_file(app / "lib/deep/libx.so");
	make_file(temp.Path() / "untagged/inner/plugin");
	for (const char* relative :
		{ "App", "App/readme", "App/lib", "App/lib/deep/libx.so", "untagged/inner/plugin" }) {
		tag(temp.Path() / relative);
	}

	std::vector<std::string> found = scan(temp.Path());
	ASSERT_EQ(found.size(), 5u);
	auto position = [&](const char* relative) {
		std::string path = (temp.Path() / relative).string();
		for (size_t i = 0; i < found.size(); i++) {
			if (found[i] == path)
				return (int)i;
		}
		return -1;
	};
	EXPECT_GE(position("untagged/inner/plugin"), 0);
	EXPECT_EQ(position("App/lib/deep"), -1);
	EXPECT_LT(position("App"), position("App/readme"));
	EXPECT_LT(position("App"), position("App/lib"));
	EXPECT_LT(position("App/lib"), position("App/lib/deep/libx.so"));
}

TEST(DeinstallSearch, FindsATaggedLinkAsItselfAndNeverGoesThroughLinks)
{
	ScopedTempDir temp;
	const fs::path outside = temp.Path() / "outside";
	const fs::path searched = temp.Path() / "searched";
	fs::create_directories(outside);
	fs::create_directories(searched / "real");
	make_file(outside / "elsewhere");
	tag(outside / "elsewhere");
	make_file(searched / "real/inside");
	tag(searched / "real/inside");
	fs::create_directory_symlink(outside, searched / "to outside");
	fs::create_directory_symlink(searched / "real", searched / "to real");
	tag(searched / "to outside");
	// A tag on another link of the folder, under a name that was moved away, is not this
	// link's.
	fs::create_symlink("nowhere", searched / "old name");
	tag(searched / "old name");
	fs::rename(searched / "old name", searched / "plain link");
	fs::create_symlink("nowhere", searched / "old name");

	std::vector<std::string> found = scan(searched);
	std::sort(found.begin(), found.end());
	const std::vector<std::string> expected = { (searched / "real/inside").string(),
		(searched / "to outside").string() };
	EXPECT_EQ(found, expected);
}

TEST(DeinstallSearch, LeavesTheBootTrashOutAndSearchesOtherTrashFolders)
{
	ScopedSandbox sandbox;
	const fs::path trash = sandbox.Home() / ".local/share/Trash/files";
	const fs::path otherTrash = sandbox.Home() / "disk/.Trash-1000/files";
	fs::create_directories(trash / "old");
	fs::create_directories(otherTrash);
	make_file(trash / "old/item");
	make_file(otherTrash / "item");
	tag(trash / "old");
	tag(trash / "old/item");
	tag(otherTrash / "item");

	std::vector<std::string> found = scan(sandbox.Home());
	EXPECT_EQ(found, std::vector<std::string> { (otherTrash / "item").string() });

	// Searching the Trash itself finds nothing either.
	EXPECT_TRUE(scan(trash).empty());
}

TEST(DeinstallSearch, PassesOverFoldersItCannotReadAndCountsThem)
{
	ScopedTempDir temp;
	fs::permissions(temp.Path(), fs::perms(0755));
	const fs::path closed = temp.Path() / "closed";
	const fs::path listOnly = temp.Path() / "list only";
	fs::create_directories(closed);
	fs::create_directories(listOnly);
	fs::create_directories(temp.Path() / "open");
	for (const fs::path& path : { closed / "item", listOnly / "item", temp.Path() / "open/item" }) {
		make_file(path);
		fs::permissions(path, fs::perms(0644));
		tag(path);
	}
	fs::permissions(temp.Path() / "open", fs::perms(0755));
	fs::permissions(closed, fs::perms(0));
	fs::permissions(listOnly, fs::perms(0444));

	// The administrator reads everything: the search runs as another user then, who must be
	// able to reach the test's folder.
	std::vector<std::pair<fs::path, fs::perms>> opened;
	for (fs::path folder = temp.Path().parent_path(); folder != folder.root_path();
		 folder = folder.parent_path()) {
		struct stat st;
		if (stat(folder.c_str(), &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 01) == 0) {
			opened.emplace_back(folder, fs::status(folder).permissions());
			fs::permissions(folder, fs::perms::others_exec, fs::perm_options::add);
		}
	}
	int pipeFds[2];
	ASSERT_EQ(pipe(pipeFds), 0);
	pid_t child = fork();
	if (child == 0) {
		close(pipeFds[0]);
		if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
			_exit(77);
		int32 unreadable = 0;
		std::vector<std::string> found = scan(temp.Path(), kTag, &unreadable);
		std::string report = std::to_string(unreadable) + "\n";
		for (const std::string& path : found)
			report += path + "\n";
		ssize_t ignored = write(pipeFds[1], report.data(), report.size());
		(void)ignored;
		_exit(0);
	}
	close(pipeFds[1]);
	std::string report;
	char buffer[1024];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		report.append(buffer, got);
	close(pipeFds[0]);
	int status = 0;
	waitpid(child, &status, 0);
	fs::permissions(closed, fs::perms(0755));
	fs::permissions(listOnly, fs::perms(0755));
	for (const auto& [folder, permissions] : opened)
		fs::permissions(folder, permissions);
	if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
		GTEST_SKIP() << "cannot search as another user";
	ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
	EXPECT_EQ(report, "2\n" + (temp.Path() / "open/item").string() + "\n");
}

TEST(DeinstallSearch, ReportsEveryEntryOnceWhenAskedForEachMessage)
{
	ScopedTempDir temp;
	build_tree(temp.Path(), 3, 5);
	tag(temp.Path() / "folder 1/file 2");
	RunningRecorder recorder;
	FolderSearch search(temp.Path());
	search.SetTag(kTag);
	search.SetProgressInterval(0);
	ASSERT_EQ(search.Go("search", recorder.NewMessenger(), 10, false), B_OK);
	ASSERT_TRUE(recorder->WaitForCompletion());

	std::lock_guard<std::mutex> locker(recorder->fLock);
	EXPECT_EQ(recorder->fProgressCount, tree_entries(temp.Path()));
	EXPECT_EQ((int64)recorder->fSizeTotal, tree_size(temp.Path()));
	EXPECT_EQ(recorder->fFirstFound, "0");
	EXPECT_EQ(recorder->fLastFound, "1");
	EXPECT_FALSE(recorder->fProgressAfterCompletion);
	EXPECT_EQ(recorder->fCompletionName, "search");
	EXPECT_EQ(recorder->fCompletionStatus, 0);
}

TEST(DeinstallSearch, CoalescedMessagesCarryTheSameTotals)
{
	ScopedTempDir temp;
	build_tree(temp.Path(), 20, 100);
	tag(temp.Path() / "folder 3");
	tag(temp.Path() / "folder 7/file 9");
	RunningRecorder recorder;
	FolderSearch search(temp.Path());
	search.SetTag(kTag);
	search.SetProgressInterval(1000000);
	ASSERT_EQ(search.Go("search", recorder.NewMessenger(), 10, false), B_OK);
	ASSERT_TRUE(recorder->WaitForCompletion());

	std::lock_guard<std::mutex> locker(recorder->fLock);
	EXPECT_LT(recorder->fProgressCount, tree_entries(temp.Path()) / 10);
	EXPECT_EQ((int64)recorder->fSizeTotal, tree_size(temp.Path()));
	EXPECT_EQ(recorder->fFirstFound, "0");
	EXPECT_EQ(recorder->fLastFound, "2");
	EXPECT_FALSE(recorder->fProgressAfterCompletion);
}

TEST(DeinstallSearch, KillingItStopsItWhereverItIs)
{
	ScopedTempDir temp;
	build_tree(temp.Path(), 40, 100);
	for (int trial = 0; trial < 30; trial++) {
		RunningRecorder recorder;
		// Every other trial the window is busy: the search fills its queue (one message per
		// entry, more entries than the queue holds) and then waits for room.
		const bool busy = trial % 2 == 1;
		recorder->Hold(busy);
		FolderSearch* search = new FolderSearch(temp.Path());
		search->SetTag(kTag);
		search->SetProgressInterval(busy || trial % 3 == 0 ? 0 : 1000);
		ASSERT_EQ(search->Go("search", recorder.NewMessenger(), 10, false), B_OK);
		usleep((trial * 997) % 20000);
		search->Kill();
		delete search;
		recorder->Hold(false);
		if (busy) {
			// What was queued before the kill is handled; no completion follows it.
			usleep(20000);
			std::lock_guard<std::mutex> locker(recorder->fLock);
			EXPECT_FALSE(recorder->fCompleted) << "trial " << trial;
		}
	}
}

// #pragma mark - whole volumes, in a private mount namespace


namespace {

// A tmpfs mounted for one test inside the namespace, unmounted afterwards.
class ScopedTmpfs {
public:
	explicit ScopedTmpfs(const fs::path& point) :
		fPoint(point)
	{
		fs::create_directories(point);
		fMounted = mount("tmpfs", point.c_str(), "tmpfs", 0, "size=16m") == 0;
	}

	~ScopedTmpfs()
	{
		if (fMounted)
			umount2(fPoint.c_str(), MNT_DETACH);
	}

	bool Mounted() const { return fMounted; }

private:
	fs::path fPoint;
	bool fMounted;
};

std::vector<std::string>
search_volume(const fs::path& mountPoint)
{
	RunningRecorder recorder;
	DeinstallSearch search(volume_of(mountPoint));
	search.SetTag(kTag);
	EXPECT_EQ(search.Go("search", recorder.NewMessenger(), 10, false), B_OK);
	EXPECT_TRUE(recorder->WaitForCompletion());
	std::vector<std::string> found = found_paths(search);
	std::sort(found.begin(), found.end());
	return found;
}

void
searches_its_own_volume_only()
{
	ScopedTempDir temp;
	const fs::path boot = temp.Path() / "boot";
	ScopedTmpfs bootVolume(boot);
	ASSERT_TRUE(bootVolume.Mounted());
	const fs::path other = boot / "mnt/other";
	ScopedTmpfs otherVolume(other);
	ASSERT_TRUE(otherVolume.Mounted());
	// The boot volume is the one that holds HOME.
	ScopedSandbox sandbox;
	const fs::path home = boot / "home";
	fs::create_directories(home / ".local/share/Trash/files");
	setenv("HOME", home.c_str(), 1);
	setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);

	fs::create_directories(boot / "apps/App");
	make_file(boot / "apps/App/tool");
	make_file(home / ".local/share/Trash/files/tool");
	fs::create_directories(boot / "data/shared");
	make_file(boot / "data/shared/tool");
	const fs::path uidTrash = other / (".Trash-" + std::to_string(getuid())) / "files";
	fs::create_directories(uidTrash);
	make_file(other / "tool");
	make_file(uidTrash / "tool");
	for (const fs::path& path :
		{ boot / "apps/App", boot / "apps/App/tool", home / ".local/share/Trash/files/tool",
			boot / "data/shared/tool", other / "tool", uidTrash / "tool" }) {
		tag(path);
	}
	// The same file system seen a second time inside itself.
	fs::create_directories(boot / "bound");
	ASSERT_EQ(mount((boot / "data").c_str(), (boot / "bound").c_str(), NULL, MS_BIND, NULL), 0);

	std::vector<std::string> expected = { (boot / "apps/App").string(),
		(boot / "apps/App/tool").string(), (boot / "data/shared/tool").string() };
	EXPECT_EQ(search_volume(boot), expected);
	expected = { (uidTrash / "tool").string(), (other / "tool").string() };
	EXPECT_EQ(search_volume(other), expected);
	umount2((boot / "bound").c_str(), MNT_DETACH);
}

class NamespaceCase : public testing::Test {
public:
	explicit NamespaceCase(void (*body)()) :
		fBody(body)
	{
	}

	void TestBody() override { fBody(); }

private:
	void (*fBody)();
};

const bool kNamespaceCasesRegistered = [] {
	if (getenv(kNamespaceVariable) == nullptr)
		return false;
	testing::RegisterTest("DeinstallSearchInNamespace", "SearchesItsOwnVolumeOnly", nullptr,
		nullptr, __FILE__, __LINE__,
		[]() -> NamespaceCase* { return new NamespaceCase(searches_its_own_volume_only); });
	return true;
}();

int
run_in_namespace(const std::string& self, std::string* output)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return -1;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
	posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
	std::string filter = "--gtest_filter=DeinstallSearchInNamespace.*";
	std::vector<char*> argv = { (char*)"unshare", (char*)"-Urm", (char*)self.c_str(), filter.data(),
		nullptr };
	std::vector<char*> envp;
	for (char** variable = environ; *variable != nullptr; variable++)
		envp.push_back(*variable);
	std::string marker = std::string(kNamespaceVariable) + "=1";
	envp.push_back(marker.data());
	envp.push_back(nullptr);
	pid_t child;
	int result = posix_spawnp(&child, "unshare", &actions, nullptr, argv.data(), envp.data());
	posix_spawn_file_actions_destroy(&actions);
	close(pipeFds[1]);
	char buffer[4096];
	ssize_t got;
	while (result == 0 && (got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		output->append(buffer, got);
	close(pipeFds[0]);
	int status = 0;
	if (result != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

} // namespace

TEST(DeinstallSearch, WholeVolumesInAPrivateMountNamespace)
{
	if (getenv(kNamespaceVariable) != nullptr)
		GTEST_SKIP() << "already inside the namespace";
	char self[4096] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
	std::string output;
	int status = run_in_namespace(self, &output);
	if (status != 0 && output.find("[==========]") == std::string::npos) {
		GTEST_SKIP() << "user and mount namespaces are not permitted here (unshare -Urm: " << output
					 << ")";
	}
	EXPECT_EQ(status, 0) << output;
	EXPECT_NE(output.find("1 test from 1 test suite ran"), std::string::npos) << output;
	EXPECT_EQ(output.find("[  FAILED  ]"), std::string::npos) << output;
}

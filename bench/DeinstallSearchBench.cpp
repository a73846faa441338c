// The deinstaller's search over a tree of about 200,000 entries, 1% of them tagged, against
// `find DIR -xdev` and `getfattr -R -n user.InstallBy DIR` on the same tree in the same run.
// The search sends its progress to a real looper (a window's stand-in that counts and sums
// what it gets), once with the messages coalesced (the default) and once with one message
// per entry, to show what the messages cost. The tree is built in a temporary folder of its
// own and removed afterwards (KEEP_TREE=1 keeps it).
#include "DeinstallSearch.h"

#include <CancelableWait.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <ThreadPrivate.h>
#include <Volume.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

typedef std::chrono::steady_clock Clock;

const int kTopFolders = 100;
const int kSubFolders = 20;
const int kFilesPerFolder = 99;
const char kTag[] = "Example Product;1.2.3;2024-05-01;Example Company;support@example.com;";
const char kOtherTag[] = "Other Product;1.0;2023-01-01;Other Company;help@example.com;";

double
seconds_since(Clock::time_point start)
{
	return std::chrono::duration<double>(Clock::now() - start).count();
}

void
stamp(int fd, const char* value)
{
	fsetxattr(fd, "user.InstallBy", value, strlen(value), 0);
	fsetxattr(fd, "user.beos.type.InstallBy", "CSTR", 4, 0);
}

// Plain system calls, so that building costs as little as possible. Every hundredth entry
// carries the tag; as many again carry another package's tag.
long
build_tree(const std::string& root, long* tagged)
{
	long entries = 0;
	*tagged = 0;
	auto place = [&](int fd) {
		entries++;
		if (entries % 100 == 0) {
			stamp(fd, kTag);
			(*tagged)++;
		} else if (entries % 100 == 50) {
			stamp(fd, kOtherTag);
		}
	};
	for (int top = 0; top < kTopFolders; top++) {
		std::string topPath = root + "/folder " + std::to_string(top);
		mkdir(topPath.c_str(), 0755);
		int fd = open(topPath.c_str(), O_RDONLY | O_DIRECTORY);
		place(fd);
		close(fd);
		for (int sub = 0; sub < kSubFolders; sub++) {
			std::string subPath = topPath + "/sub" + std::to_string(sub);
			mkdir(subPath.c_str(), 0755);
			fd = open(subPath.c_str(), O_RDONLY | O_DIRECTORY);
			place(fd);
			close(fd);
			for (int file = 0; file < kFilesPerFolder; file++) {
				std::string path = subPath + "/file-" + std::to_string(file) + ".dat";
				fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
				if (fd < 0)
					continue;
				if (write(fd, "data", 4) != 4)
					fprintf(stderr, "short write in %s\n", path.c_str());
				place(fd);
				close(fd);
			}
		}
	}
	return entries;
}

// Runs a program with its output thrown away; the seconds it took, or -1.
double
time_program(const std::vector<std::string>& arguments)
{
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	Clock::time_point start = Clock::now();
	pid_t child;
	int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return -1;
	int status = 0;
	waitpid(child, &status, 0);
	double elapsed = seconds_since(start);
	// getfattr exits 1 when some entries have no such attribute; that is its normal run.
	return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? elapsed : -1;
}

// The search window's stand-in: adds up the progress and wakes the benchmark at the end.
class ProgressCounter : public BLooper {
public:
	ProgressCounter() :
		BLooper("progress counter")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		if (message->what == kSearchProgress) {
			fMessages++;
			fBytes += message->FindFloat("size");
		} else if (message->what == kLibThreadCompleted) {
			fDone = true;
			fWait.NotifyAll();
		}
	}

	void Reset()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		fMessages = 0;
		fBytes = 0;
		fDone = false;
	}

	void WaitForCompletion()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		fWait.WaitFor([this] { return fDone; }, B_INFINITE_TIMEOUT);
	}

	long Messages()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		return fMessages;
	}

private:
	BPrivate::CancelableWait fWait;
	long fMessages = 0;
	double fBytes = 0;
	bool fDone = false;
};

// The search of one folder; a whole volume is searched the same way from its root.
class FolderSearch : public DeinstallSearch {
public:
	FolderSearch(const BVolume& volume, const std::string& folder) :
		DeinstallSearch(volume),
		fFolder(folder)
	{
	}

	status_t Action() override
	{
		BPrivate::CancelDisabler disabler;
		BEntry entry(fFolder.c_str());
		Scan(entry);
		return B_OK;
	}

private:
	std::string fFolder;
};

struct SearchRun {
	double seconds = 0;
	long found = 0;
	long messages = 0;
};

SearchRun
time_search(const std::string& root, ProgressCounter* counter, bigtime_t interval)
{
	struct stat st;
	stat(root.c_str(), &st);
	FolderSearch search(BVolume(st.st_dev), root);
	search.SetTag(kTag);
	search.SetProgressInterval(interval);
	counter->Reset();
	Clock::time_point start = Clock::now();
	search.Go("search", new BMessenger(counter), B_NORMAL_PRIORITY, false);
	counter->WaitForCompletion();
	SearchRun run;
	run.seconds = seconds_since(start);
	run.found = search.Found().Size();
	run.messages = counter->Messages();
	return run;
}

void
keep_best(double seconds, double& best)
{
	if (seconds > 0 && seconds < best)
		best = seconds;
}

} // namespace

int
main()
{
	const char* base = getenv("TMPDIR");
	std::string pattern =
		std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/deinstall-search-XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr) {
		perror("mkdtemp");
		return 1;
	}
	const std::string root = pattern;

	Clock::time_point start = Clock::now();
	long tagged = 0;
	long built = build_tree(root, &tagged);
	printf("built %ld entries (%ld tagged) in %.2f s under %s\n", built, tagged,
		seconds_since(start), root.c_str());

	ProgressCounter* counter = new ProgressCounter;
	counter->Run();

	// Warm the caches once, then take the best of five rounds of each, interleaved so that
	// every contender meets the same machine load.
	time_program({ "find", root, "-xdev" });
	const double kNever = 1e9;
	double find = kNever, findStat = kNever, getfattr = kNever;
	double coalesced = kNever, perEntry = kNever;
	SearchRun coalescedRun, perEntryRun;
	for (int round = 0; round < 5; round++) {
		keep_best(time_program({ "find", root, "-xdev" }), find);
		keep_best(time_program({ "find", root, "-xdev", "-printf", "%s\n" }), findStat);
		keep_best(time_program({ "getfattr", "-R", "-n", "user.InstallBy", root }), getfattr);
		SearchRun run = time_search(root, counter, kDefaultProgressInterval);
		if (run.seconds < coalesced) {
			coalesced = run.seconds;
			coalescedRun = run;
		}
		run = time_search(root, counter, 0);
		if (run.seconds < perEntry) {
			perEntry = run.seconds;
			perEntryRun = run;
		}
	}

	printf("%-44s %7.3f s\n", "find DIR -xdev", find);
	printf("%-44s %7.3f s\n", "find DIR -xdev -printf '%s' (stats each)", findStat);
	if (getfattr < kNever)
		printf("%-44s %7.3f s\n", "getfattr -R -n user.InstallBy DIR", getfattr);
	else
		printf("%-44s could not run\n", "getfattr -R -n user.InstallBy DIR");
	printf("%-44s %7.3f s, %ld found, %ld messages\n", "search, coalesced progress", coalesced,
		coalescedRun.found, coalescedRun.messages);
	printf("%-44s %7.3f s, %ld found, %ld messages\n", "search, one message per entry", perEntry,
		perEntryRun.found, perEntryRun.messages);
	printf("search (coalesced) / find -xdev: %.2f; / find with stat: %.2f; / getfattr: %.2f\n",
		coalesced / find, coalesced / findStat, getfattr < kNever ? coalesced / getfattr : 0.0);

	if (counter->Lock())
		counter->Quit();
	std::error_code error;
	if (getenv("KEEP_TREE") == nullptr)
		std::filesystem::remove_all(root, error);
	return coalescedRun.found == tagged && perEntryRun.found == tagged ? 0 : 1;
}

// Walking a large tree the way the deinstaller's volume search does (BDirectory entries,
// each node opened, its stat and one attribute read), against `find` on the same tree.
// Builds about 100,000 entries in a temporary folder, which it removes afterwards.
#include <Directory.h>
#include <Entry.h>
#include <Node.h>
#include <TypeConstants.h>

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

extern char** environ;

namespace {

typedef std::chrono::steady_clock Clock;

const int kTopFolders = 50;
const int kSubFolders = 20;
const int kFilesPerFolder = 100;
const char kTag[] = "Example Product;1.2.3;2024-05-01;Example Company;support@example.com;";

struct WalkResult {
	long entries = 0;
	long tagged = 0;
	off_t bytes = 0;
};

// Plain system calls, so building the tree costs as little as possible.
long
build_tree(const std::string& root)
{
	long entries = 0;
	for (int top = 0; top < kTopFolders; top++) {
		std::string topPath = root + "/folder " + std::to_string(top);
		mkdir(topPath.c_str(), 0755);
		entries++;
		for (int sub = 0; sub < kSubFolders; sub++) {
			std::string subPath = topPath + "/sub" + std::to_string(sub);
			mkdir(subPath.c_str(), 0755);
			entries++;
			for (int file = 0; file < kFilesPerFolder; file++) {
				std::string path = subPath + "/file-" + std::to_string(file) + ".dat";
				int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
				if (fd < 0)
					continue;
				if (write(fd, "data", 4) != 4)
					fprintf(stderr, "short write in %s\n", path.c_str());
				// Every other file carries an installation tag, like an installed tree.
				if (file % 2 == 0) {
					fsetxattr(fd, "user.InstallBy", kTag, sizeof(kTag) - 1, 0);
					fsetxattr(fd, "user.beos.type.InstallBy", "CSTR", 4, 0);
				}
				close(fd);
				entries++;
			}
		}
	}
	return entries;
}

void
walk(BDirectory& directory, WalkResult& result)
{
	BEntry entry;
	while (directory.GetNextEntry(&entry) == B_OK) {
		result.entries++;
		BNode node(&entry);
		if (node.InitCheck() != B_OK)
			continue;
		char value[256];
		ssize_t read = node.ReadAttr("InstallBy", B_STRING_TYPE, 0, value, sizeof(value) - 1);
		if (read > 0) {
			value[read] = '\0';
			if (strcmp(value, kTag) == 0)
				result.tagged++;
		}
		struct stat st;
		if (node.GetStat(&st) != B_OK)
			continue;
		result.bytes += st.st_size;
		if (S_ISDIR(st.st_mode)) {
			BDirectory sub(&entry);
			if (sub.InitCheck() == B_OK)
				walk(sub, result);
		}
	}
}

double
seconds_since(Clock::time_point start)
{
	return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs `find root` with its output thrown away; returns the seconds it took or -1.
double
time_find(const std::string& root)
{
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	char* argv[] = { const_cast<char*>("find"), const_cast<char*>(root.c_str()), nullptr };
	Clock::time_point start = Clock::now();
	pid_t child;
	int error = posix_spawnp(&child, "find", &actions, nullptr, argv, environ);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return -1;
	int status = 0;
	waitpid(child, &status, 0);
	double elapsed = seconds_since(start);
	return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

} // namespace

int
main()
{
	const char* base = getenv("TMPDIR");
	std::string pattern =
		std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/entry-walk-XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr) {
		perror("mkdtemp");
		return 1;
	}
	const std::string root = pattern;

	Clock::time_point start = Clock::now();
	long built = build_tree(root);
	printf("built %ld entries in %.2f s under %s\n", built, seconds_since(start), root.c_str());

	// Warm the caches once, then take the best of three runs of each.
	time_find(root);
	double bestWalk = 1e9;
	double bestFind = 1e9;
	WalkResult result;
	for (int round = 0; round < 3; round++) {
		result = WalkResult();
		start = Clock::now();
		BDirectory directory(root.c_str());
		walk(directory, result);
		double walkSeconds = seconds_since(start);
		double findSeconds = time_find(root);
		if (walkSeconds < bestWalk)
			bestWalk = walkSeconds;
		if (findSeconds > 0 && findSeconds < bestFind)
			bestFind = findSeconds;
	}

	printf("walk: %ld entries, %ld tagged, %.2f s, %.0f entries/s\n", result.entries, result.tagged,
		bestWalk, result.entries / bestWalk);
	if (bestFind < 1e9) {
		printf("find: %.2f s, %.0f entries/s\n", bestFind, built / bestFind);
		printf("walk takes %.1f times as long as find\n", bestWalk / bestFind);
	} else {
		printf("find: could not run\n");
	}

	std::error_code error;
	if (!getenv("KEEP_TREE"))
		std::filesystem::remove_all(root, error);
	return result.entries == built ? 0 : 1;
}

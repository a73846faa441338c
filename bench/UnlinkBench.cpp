// Removing trees: LibUnlink (one folder descriptor at a time, climbing back through "..")
// against the system's rm -rf on the same trees in the same run: a wide tree of 20,000
// files in 200 folders, and a chain of 2,000 nested folders.
//
// Usage: UnlinkBench [folder]   (default: $TMPDIR or /tmp)
#include "LibFile.h"

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

void
make_wide_tree(const std::string& root)
{
	mkdir(root.c_str(), 0755);
	for (int folder = 0; folder < 200; folder++) {
		std::string path = root + "/folder" + std::to_string(folder);
		mkdir(path.c_str(), 0755);
		for (int file = 0; file < 100; file++) {
			int fd =
				open((path + "/file" + std::to_string(file)).c_str(), O_WRONLY | O_CREAT, 0644);
			if (fd < 0 || write(fd, "data", 4) != 4) {
				perror(path.c_str());
				exit(1);
			}
			close(fd);
		}
	}
}

void
make_deep_tree(const std::string& root)
{
	mkdir(root.c_str(), 0755);
	int current = open(root.c_str(), O_RDONLY | O_DIRECTORY);
	for (int level = 0; level < 2000 && current >= 0; level++) {
		int next = -1;
		if (mkdirat(current, "d", 0755) == 0)
			next = openat(current, "d", O_RDONLY | O_DIRECTORY);
		close(current);
		current = next;
	}
	if (current < 0) {
		perror("deep tree");
		exit(1);
	}
	close(current);
}

double
seconds_since(std::chrono::steady_clock::time_point start)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double
time_rm(const std::string& path)
{
	const char* arguments[] = { "rm", "-rf", path.c_str(), nullptr };
	auto start = std::chrono::steady_clock::now();
	pid_t child;
	if (posix_spawnp(&child, "rm", nullptr, nullptr, const_cast<char**>(arguments), environ) != 0)
		return -1;
	int status;
	waitpid(child, &status, 0);
	return seconds_since(start);
}

double
time_lib_unlink(const std::string& path)
{
	auto start = std::chrono::steady_clock::now();
	if (LibUnlinkChecked(path.c_str()) != B_OK)
		fprintf(stderr, "LibUnlinkChecked failed on %s\n", path.c_str());
	return seconds_since(start);
}

} // namespace

int
main(int argc, char** argv)
{
	const char* base = argc > 1 ? argv[1] : getenv("TMPDIR");
	std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/UnlinkBench-XXXXXX";
	std::vector<char> buffer(pattern.begin(), pattern.end());
	buffer.push_back('\0');
	if (mkdtemp(buffer.data()) == nullptr) {
		perror("mkdtemp");
		return 1;
	}
	std::string work = buffer.data();

	struct Shape {
		const char* name;
		void (*make)(const std::string&);
	};

	const Shape shapes[] = { { "20,000 files in 200 folders", make_wide_tree },
		{ "2,000 nested folders", make_deep_tree } };
	for (const Shape& shape : shapes) {
		double ours = 0;
		double theirs = 0;
		const int kRounds = 3;
		for (int round = 0; round < kRounds; round++) {
			shape.make(work + "/ours");
			shape.make(work + "/theirs");
			ours += time_lib_unlink(work + "/ours");
			theirs += time_rm(work + "/theirs");
		}
		printf("%s: LibUnlink %.3f s, rm -rf %.3f s (%.2fx), mean of %d\n", shape.name,
			ours / kRounds, theirs / kRounds, ours / theirs, kRounds);
	}
	rmdir(work.c_str());
	return 0;
}

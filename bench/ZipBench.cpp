// Packing and expanding a payload-sized tree: LibZip and LibUnzip against Info-ZIP's zip and
// unzip on the same tree in the same run. The tree has 10,000 files in 100 folders, about
// 200 MB, half of it compressible text and half random bytes.
//
// Usage: ZipBench [folder]   (default: $TMPDIR or /tmp)
#include "LibFile.h"

#include <Path.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const int kFolders = 100;
const int kFilesPerFolder = 100;
const size_t kTotalBytes = 200 * 1000 * 1000;

void
write_all(const std::string& path, const std::string& data)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	if (fd < 0) {
		perror(path.c_str());
		exit(1);
	}
	for (size_t done = 0; done < data.size();) {
		ssize_t written = write(fd, data.data() + done, data.size() - done);
		if (written <= 0) {
			perror(path.c_str());
			exit(1);
		}
		done += written;
	}
	close(fd);
}

size_t
make_tree(const std::string& root)
{
	std::mt19937_64 generator(20240501);
	mkdir(root.c_str(), 0755);
	const size_t fileCount = (size_t)kFolders * kFilesPerFolder;
	const size_t average = kTotalBytes / fileCount;
	const char* words[] = { "install", "package", "folder", "volume", "attribute", "archive",
		"deinstall", "settings", "version", "library" };
	size_t total = 0;
	for (int folder = 0; folder < kFolders; folder++) {
		std::string folderPath = root + "/folder " + std::to_string(folder);
		mkdir(folderPath.c_str(), 0755);
		for (int file = 0; file < kFilesPerFolder; file++) {
			// Sizes from a tenth to almost twice the average.
			size_t size = average / 10 + generator() % (average * 18 / 10);
			std::string data;
			data.reserve(size + 64);
			if (file % 2 == 0) {
				while (data.size() < size) {
					data += words[generator() % 10];
					data += generator() % 8 == 0 ? '\n' : ' ';
				}
				data.resize(size);
			} else {
				data.resize(size);
				for (size_t i = 0; i + 8 <= size; i += 8) {
					uint64_t value = generator();
					memcpy(&data[i], &value, 8);
				}
			}
			write_all(folderPath + "/file " + std::to_string(file), data);
			total += size;
		}
	}
	return total;
}

int
run(const std::vector<std::string>& arguments, const std::string& folder)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	pid_t child;
	int error = posix_spawnp(&child, argv[0], &actions, NULL, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return -1;
	int status;
	waitpid(child, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Processor seconds used so far by this process and by its waited-for children. On a
// machine that other work shares, they tell what a step cost when its wall time cannot.
double
cpu_seconds(int who)
{
	struct rusage usage;
	getrusage(who, &usage);
	return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
		+ (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double gLastCpu = 0;

// Wall seconds of work; gLastCpu gets the processor seconds it took in this process and in
// children.
template <typename Work>
double
seconds(Work work)
{
	double cpuBefore = cpu_seconds(RUSAGE_SELF) + cpu_seconds(RUSAGE_CHILDREN);
	auto start = std::chrono::steady_clock::now();
	work();
	std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
	gLastCpu = cpu_seconds(RUSAGE_SELF) + cpu_seconds(RUSAGE_CHILDREN) - cpuBefore;
	return elapsed.count();
}

off_t
size_of(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

int
main(int argc, char** argv)
{
	std::string base = argc > 1 ? argv[1] : (getenv("TMPDIR") != NULL ? getenv("TMPDIR") : "/tmp");
	std::string pattern = base + "/ZipBench-XXXXXX";
	if (mkdtemp(pattern.data()) == NULL) {
		perror(pattern.c_str());
		return 1;
	}
	std::string work = pattern;
	std::string tree = work + "/payload";
	for (const char* folder : { "/ours", "/infozip", "/ours-out", "/infozip-out" })
		mkdir((work + folder).c_str(), 0755);

	printf("Generating %d files in %d folders...\n", kFolders * kFilesPerFolder, kFolders);
	size_t total = make_tree(tree);
	printf("Tree: %.1f MB\n", total / 1e6);
	sync();

	std::string ours = work + "/ours/payload.zip";
	std::string theirs = work + "/infozip/payload.zip";
	bool ok = true;
	double ourZip = seconds([&] { ok = LibZip(ours.c_str(), BPath(tree.c_str()), 9) && ok; });
	double ourZipCpu = gLastCpu;
	double theirZip = seconds([&] {
		ok = run({ "zip", "-r9", "-q", theirs, "payload" }, work) == 0 && ok;
	});
	double theirZipCpu = gLastCpu;

	std::string ourCopy = work + "/ours-out/payload.zip";
	std::string theirCopy = work + "/infozip-out/payload.zip";
	rename(ours.c_str(), ourCopy.c_str());
	rename(theirs.c_str(), theirCopy.c_str());
	double ourUnzip = seconds([&] { ok = LibUnzip(ourCopy.c_str()) && ok; });
	double ourUnzipCpu = gLastCpu;
	double theirUnzip = seconds([&] {
		ok = run({ "unzip", "-q", theirCopy }, work + "/infozip-out") == 0 && ok;
	});
	double theirUnzipCpu = gLastCpu;

	printf("\n%-28s %10s %10s %8s\n", "", "LibZip", "Info-ZIP", "ratio");
	printf("%-28s %9.2fs %9.2fs %8.2f\n", "pack (level 9)", ourZip, theirZip, ourZip / theirZip);
	printf("%-28s %9.2fs %9.2fs %8.2f\n", "expand", ourUnzip, theirUnzip, ourUnzip / theirUnzip);
	printf("%-28s %9.2fs %9.2fs %8.2f\n", "pack, processor time", ourZipCpu, theirZipCpu,
		ourZipCpu / theirZipCpu);
	printf("%-28s %9.2fs %9.2fs %8.2f\n", "expand, processor time", ourUnzipCpu, theirUnzipCpu,
		ourUnzipCpu / theirUnzipCpu);
	printf("%-28s %9.1fM %9.1fM %8.4f\n", "archive size", size_of(ourCopy) / 1e6,
		size_of(theirCopy) / 1e6, (double)size_of(ourCopy) / size_of(theirCopy));
	printf("%-28s %9.1f %10.1f\n", "pack MB/s", total / 1e6 / ourZip, total / 1e6 / theirZip);
	printf("goal: pack at most 1.0 x Info-ZIP: %s\n", ourZip <= theirZip ? "met" : "NOT met");
	printf("%-28s %9.1f %10.1f\n", "expand MB/s", total / 1e6 / ourUnzip, total / 1e6 / theirUnzip);

	chdir("/");
	LibUnlink(work.c_str());
	if (!ok) {
		fprintf(stderr, "a step failed\n");
		return 1;
	}
	return 0;
}

// A whole installation through the engine against Info-ZIP's unzip of the same archives and
// a plain copy of the unpacked tree. Makes 200 MB in 10,000 files as 20 items of mixed
// sizes (folders of many small files, folders of a few large ones, and single files; two
// thirds text-like, one third incompressible), builds an installer of them with
// PackageBuilder, then times in one run, each three times, the best kept:
//   - the engine installing every item (a process of its own, so that its peak resident
//     memory is its own: the log, the deinstaller, extraction, dates and deinstall tags);
//   - `unzip -q` of the 20 payload archives, one after the other, into a folder;
//   - `cp -a` of that unpacked tree.
// Everything lies in a folder made under TMPDIR (or /tmp), which is removed afterwards; the
// engine's HOME and XDG folders point into it. Run from a release build.
//
// Usage: EngineBench
#include "BenchPayload.h"
#include "InstallConfig.h"
#include "LibAlert.h"
#include "PackageBuilderCommand.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <Entry.h>
#include <File.h>
#include <Resources.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::seconds_since;
using bench::write_content;

const int kRepeats = 3;
const uint64_t kTotalBytes = 200ull * 1024 * 1024;

// The items: how many files each holds (1 for a single file) and its share of the bytes.
struct ItemShape {
	int files;
	int sharePercent;
};

const ItemShape kItems[] = { { 2000, 10 }, { 1500, 6 }, { 1500, 6 }, { 1000, 5 }, { 1000, 5 },
	{ 800, 4 }, { 700, 4 }, { 500, 4 }, { 400, 4 }, { 300, 3 }, { 200, 3 }, { 45, 8 }, { 20, 8 },
	{ 12, 6 }, { 10, 4 }, { 7, 5 }, { 3, 5 }, { 1, 4 }, { 1, 3 }, { 1, 3 } };
const int kItemCount = sizeof(kItems) / sizeof(kItems[0]);

// Returns the number of files made.
int
make_payload(const fs::path& root)
{
	std::mt19937_64 random(7);
	int made = 0;
	for (int item = 0; item < kItemCount; item++) {
		uint64_t bytes = kTotalBytes * kItems[item].sharePercent / 100;
		uint64_t perFile = bytes / kItems[item].files;
		if (kItems[item].files == 1) {
			write_content(
				root / ("item-" + std::to_string(item) + ".dat"), bytes, item % 3 == 2, random);
			made++;
			continue;
		}
		fs::path folder = root / ("item-" + std::to_string(item));
		for (int file = 0; file < kItems[item].files; file++) {
			fs::path sub = folder / ("part-" + std::to_string(file % 8));
			fs::create_directories(sub);
			uint64_t size = perFile / 2 + random() % (perFile + 1);
			write_content(
				sub / ("file-" + std::to_string(file) + ".dat"), size, file % 3 == 2, random);
			made++;
		}
	}
	return made;
}

std::string
item_path(int item)
{
	return kItems[item].files == 1 ? "item-" + std::to_string(item) + ".dat"
								   : "item-" + std::to_string(item);
}

// Runs a program without a shell and waits; its exit status.
int
run(const std::vector<std::string>& arguments, struct rusage* usage = nullptr)
{
	pid_t child = fork();
	if (child == 0) {
		std::vector<char*> argv;
		for (const std::string& argument : arguments)
			argv.push_back(const_cast<char*>(argument.c_str()));
		argv.push_back(nullptr);
		execvp(argv[0], argv.data());
		_exit(127);
	}
	int status = 0;
	struct rusage ignored;
	wait4(child, &status, 0, usage != nullptr ? usage : &ignored);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The install itself, in a process of its own: EngineBench --install PACKAGE FOLDER HOME.
int
install(const char* package, const char* folder, const char* home)
{
	setenv("HOME", home, 1);
	setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
	setenv("XDG_DATA_HOME", (std::string(home) + "/.local/share").c_str(), 1);
	setenv("XDG_DESKTOP_DIR", (std::string(home) + "/Desktop").c_str(), 1);
	// Every question gets its first button: "OK", "Later".
	LibSetAlertPolicy([](const LibAlertQuestion&) { return LibAlertAnswer(); });

	InstallConfig config;
	if (ReadPackageConfiguration(package, config) != B_OK)
		return 2;
	config.SetPackagePath(package);
	entry_ref destination;
	if (get_ref_for_path(folder, &destination) != B_OK)
		return 2;
	config.SetDestination(destination);
	BMessage instructions;
	config.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		item.AddBool(Package::kInstallToSystem, true);
		instructions.ReplaceMessage(Package::kInstallFile, i, &item);
	}
	config.ReplaceMessage(Package::kInstallInstructions, &instructions);
	config.Go("install", nullptr, 10, true);
	LibSetAlertPolicy(LibAlertPolicy());
	return config.FailedCount() == 0 ? 0 : 3;
}

double
cpu_seconds(const struct rusage& usage)
{
	return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
		+ usage.ru_stime.tv_usec / 1e6;
}

uint64_t
tree_bytes(const fs::path& root, uint64_t* files)
{
	uint64_t bytes = 0;
	*files = 0;
	for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
		if (entry.is_regular_file()) {
			bytes += entry.file_size();
			(*files)++;
		}
	}
	return bytes;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc == 5 && std::string(argv[1]) == "--install")
		return install(argv[2], argv[3], argv[4]);

	const char* temporary = getenv("TMPDIR");
	std::string pattern =
		std::string(temporary != nullptr ? temporary : "/tmp") + "/EngineBench-XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr) {
		perror("mkdtemp");
		return 1;
	}
	fs::path root = pattern;
	fs::path payload = root / "payload";
	fs::create_directories(payload);
	// The engine's temporary files go where everything else of the benchmark goes.
	setenv("TMPDIR", root.c_str(), 1);

	Clock::time_point start = Clock::now();
	int files = make_payload(payload);
	uint64_t count = 0;
	uint64_t bytes = tree_bytes(payload, &count);
	printf("payload: %d files, %.1f MB in %d items (made in %.1f s)\n", files, bytes / 1048576.0,
		kItemCount, seconds_since(start));

	fs::path manifest = root / "bench.toml";
	{
		std::ofstream stream(manifest);
		stream << "[product]\nname = \"Bench\"\nversion = \"1.0\"\nrelease_date = \"today\"\n"
				  "company = \"Bench Co.\"\nsupport_email = \"bench@example\"\n"
				  "\n[options]\ncreated_folder = \"Bench\"\ncompression = 9\n";
		for (int item = 0; item < kItemCount; item++)
			stream << "\n[[items]]\npath = \"payload/" << item_path(item) << "\"\n";
	}
	fs::path installer = root / "installer";
	if (RunPackageBuilder({ "build", manifest.string(), "-o", installer.string(), "--base",
							  "/bin/true", "--deinstaller", "/bin/false" },
			stdout, stderr)
		!= 0) {
		fprintf(stderr, "PackageBuilder build failed\n");
		return 1;
	}
	fs::remove_all(payload);

	// The payload archives as files, for unzip.
	fs::path archives = root / "archives";
	fs::create_directories(archives);
	{
		BFile file(installer.c_str(), B_READ_ONLY);
		BResources resources(&file);
		for (int item = 0; item < kItemCount; item++) {
			size_t size = 0;
			const void* data =
				resources.LoadResource(Package::kRawType, PayloadResourceId(item), &size);
			std::ofstream stream(archives / (std::to_string(item) + ".zip"), std::ios::binary);
			stream.write(static_cast<const char*>(data), size);
		}
	}

	char self[4096] = {};
	if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
		return 1;
	fs::path home = root / "home";
	fs::create_directories(home);

	double engine = 1e9;
	double unzip = 1e9;
	double copy = 1e9;
	// Processor time (user and system) of each, less sensitive to a busy machine.
	double engineCpu = 1e9;
	double unzipCpu = 1e9;
	double copyCpu = 1e9;
	long peakKilobytes = 0;
	// Nothing is removed until every run is over: the file system's handling of freshly
	// freed inodes would slow down whichever run came after a removal. The order of the three
	// turns from one round to the next, so none always goes first.
	fs::path unpacked[kRepeats];
	for (int repeat = 0; repeat < kRepeats; repeat++) {
		fs::path round = root / ("round-" + std::to_string(repeat));
		fs::path destination = round / "destination";
		unpacked[repeat] = round / "unpacked";
		fs::path copied = round / "copied";
		fs::create_directories(destination);
		fs::create_directories(unpacked[repeat]);
		for (int step = 0; step < 3; step++) {
			int which = (step + repeat) % 3;
			struct rusage usage = {};
			if (which == 0) {
				start = Clock::now();
				int status = run(
					{ self, "--install", installer.string(), destination.string(), home.string() },
					&usage);
				engine = std::min(engine, seconds_since(start));
				engineCpu = std::min(engineCpu, cpu_seconds(usage));
				peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
				if (status != 0) {
					fprintf(stderr, "the engine's install failed (%d)\n", status);
					return 1;
				}
			} else if (which == 1) {
				start = Clock::now();
				double cpu = 0;
				for (int item = 0; item < kItemCount; item++) {
					if (run({ "unzip", "-q", "-o",
								(archives / (std::to_string(item) + ".zip")).string(), "-d",
								unpacked[repeat].string() },
							&usage)
						!= 0) {
						fprintf(stderr, "unzip failed\n");
						return 1;
					}
					cpu += cpu_seconds(usage);
				}
				unzip = std::min(unzip, seconds_since(start));
				unzipCpu = std::min(unzipCpu, cpu);
			} else {
				// The tree unzip made in this round, or the first round's when this round
				// has not unzipped yet.
				fs::path source =
					fs::exists(unpacked[repeat] / "item-0") ? unpacked[repeat] : unpacked[0];
				start = Clock::now();
				if (run({ "cp", "-a", source.string(), copied.string() }, &usage) != 0) {
					fprintf(stderr, "cp failed\n");
					return 1;
				}
				copy = std::min(copy, seconds_since(start));
				copyCpu = std::min(copyCpu, cpu_seconds(usage));
			}
		}
		if (repeat == kRepeats - 1) {
			uint64_t installedFiles = 0;
			uint64_t installedBytes = tree_bytes(destination / "Bench", &installedFiles);
			printf("installed: %llu files, %.1f MB (log and deinstaller included)\n",
				(unsigned long long)installedFiles, installedBytes / 1048576.0);
		}
	}

	printf("                  elapsed  processor\n");
	printf("engine install:   %7.2f s  %7.2f s, peak resident memory %.1f MB\n", engine, engineCpu,
		peakKilobytes / 1024.0);
	printf("unzip -q (20):    %7.2f s  %7.2f s\n", unzip, unzipCpu);
	printf("cp -a:            %7.2f s  %7.2f s\n", copy, copyCpu);
	printf("ratio engine / unzip: %.2f elapsed, %.2f processor (goal at most 1.1)\n",
		engine / unzip, engineCpu / unzipCpu);
	printf("ratio engine / cp -a: %.2f elapsed, %.2f processor (goal at most 1.5)\n", engine / copy,
		engineCpu / copyCpu);
	printf("engine peak memory: %.1f MB (goal under 100)\n", peakKilobytes / 1024.0);

	fs::remove_all(root);
	return 0;
}

// Building an installer from a large payload against zipping the same folders with Info-ZIP.
// Makes 200 MB in 10,000 files, split into 20 item folders (two thirds text-like, one third
// incompressible), then times in one run:
//   - PackageBuilder build of a manifest with the 20 items, files compressed on every
//     processor;
//   - the same build with --jobs 1, which must give the same bytes (SOURCE_DATE_EPOCH is
//     set for the builds);
//   - a build of one item holding the whole payload folder;
//   - `zip -r9 -q` of the 20 folders into one archive.
// It prints the ratios against zip, processor seconds (what a step cost when other work on
// the machine makes wall times say little) and whether the goals are met. The folder is
// made under TMPDIR (or /tmp) and removed afterwards. Run from a release build.
#include "BenchPayload.h"
#include "PackageBuilderCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

const int kItems = 20;
const int kFilesPerItem = 500;
const uint64_t kTotalBytes = 200ull * 1024 * 1024;

void
make_payload(const fs::path& root)
{
	std::mt19937_64 random(42);
	uint64_t perFile = kTotalBytes / (kItems * kFilesPerItem);
	for (int item = 0; item < kItems; item++) {
		fs::path folder = root / ("item-" + std::to_string(item));
		for (int file = 0; file < kFilesPerItem; file++) {
			// A few sub-folders per item, as real products have.
			fs::path sub = folder / ("part-" + std::to_string(file % 10));
			fs::create_directories(sub);
			// Sizes vary around the mean, so the total stays near 200 MB.
			uint64_t size = perFile / 2 + random() % perFile;
			write_content(
				sub / ("file-" + std::to_string(file) + ".dat"), size, file % 3 == 2, random);
		}
	}
}

// Processor seconds used so far by this process and its waited-for children: what a step
// cost, where other work on the machine makes its wall time say little.
double
cpu_seconds()
{
	double total = 0;
	for (int who : { RUSAGE_SELF, RUSAGE_CHILDREN }) {
		struct rusage usage;
		getrusage(who, &usage);
		total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
			+ (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
	}
	return total;
}

// Runs zip in folder without a shell.
int
run_zip(const fs::path& folder, const fs::path& archive)
{
	pid_t child = fork();
	if (child == 0) {
		if (chdir(folder.c_str()) != 0)
			_exit(127);
		std::vector<std::string> arguments = { "zip", "-r9", "-q", archive.string() };
		for (int item = 0; item < kItems; item++)
			arguments.push_back("item-" + std::to_string(item));
		std::vector<char*> argv;
		for (std::string& argument : arguments)
			argv.push_back(argument.data());
		argv.push_back(nullptr);
		execvp("zip", argv.data());
		_exit(127);
	}
	int status = 0;
	waitpid(child, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double
time_build(const fs::path& manifest, const fs::path& output, const char* jobs)
{
	std::vector<std::string> arguments = { "build", manifest.string(), "-o", output.string(),
		"--base", "/bin/true", "--deinstaller", "/bin/false" };
	if (jobs != nullptr) {
		arguments.push_back("--jobs");
		arguments.push_back(jobs);
	}
	Clock::time_point start = Clock::now();
	int status = RunPackageBuilder(arguments, stdout, stderr);
	double elapsed = seconds_since(start);
	if (status != 0) {
		fprintf(stderr, "PackageBuilder build failed (%d)\n", status);
		exit(1);
	}
	return elapsed;
}

} // namespace

int
main()
{
	// A fresh folder of our own: the temporary folder is shared with other users.
	const char* temporary = getenv("TMPDIR");
	std::string pattern =
		std::string(temporary != nullptr ? temporary : "/tmp") + "/PackageBuilderBench-XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr) {
		perror(pattern.c_str());
		return 1;
	}
	fs::path root = pattern;
	fs::path payload = root / "payload";
	fs::create_directories(payload);

	Clock::time_point start = Clock::now();
	make_payload(payload);
	uint64_t bytes = 0;
	uint64_t files = 0;
	for (const fs::directory_entry& entry : fs::recursive_directory_iterator(payload)) {
		if (entry.is_regular_file()) {
			bytes += entry.file_size();
			files++;
		}
	}
	printf("payload: %llu files, %.1f MB in %d items (made in %.1f s)\n",
		static_cast<unsigned long long>(files), bytes / 1048576.0, kItems, seconds_since(start));

	fs::path manifest = root / "bench.toml";
	{
		std::ofstream stream(manifest);
		stream << "[product]\nname = \"Bench\"\nversion = \"1.0\"\nrelease_date = \"today\"\n"
				  "company = \"Bench Co.\"\nsupport_email = \"bench@example\"\n"
				  "\n[options]\ncreated_folder = \"Bench\"\ncompression = 9\n";
		for (int item = 0; item < kItems; item++)
			stream << "\n[[items]]\npath = \"payload/item-" << item << "\"\n";
	}
	fs::path oneItem = root / "one-item.toml";
	{
		std::ofstream stream(oneItem);
		stream << "[product]\nname = \"Bench\"\nversion = \"1.0\"\nrelease_date = \"today\"\n"
				  "company = \"Bench Co.\"\nsupport_email = \"bench@example\"\n"
				  "\n[options]\ncreated_folder = \"Bench\"\ncompression = 9\n"
				  "\n[[items]]\npath = \"payload\"\n";
	}
	setenv("SOURCE_DATE_EPOCH", "1700000000", 1);

	// Page cache warm for everyone: read the payload once through zip's own pass first.
	fs::path archive = root / "zip-r9.zip";
	run_zip(payload, root / "warm.zip");
	fs::remove(root / "warm.zip");

	double cpu = cpu_seconds();
	double parallel = time_build(manifest, root / "installer-parallel", nullptr);
	double parallelCpu = cpu_seconds() - cpu;
	cpu = cpu_seconds();
	double serial = time_build(manifest, root / "installer-serial", "1");
	double serialCpu = cpu_seconds() - cpu;
	cpu = cpu_seconds();
	double single = time_build(oneItem, root / "installer-one-item", nullptr);
	double singleCpu = cpu_seconds() - cpu;
	cpu = cpu_seconds();
	start = Clock::now();
	if (run_zip(payload, archive) != 0) {
		fprintf(stderr, "zip failed\n");
		return 1;
	}
	double zip = seconds_since(start);
	double zipCpu = cpu_seconds() - cpu;

	double parallelSize = fs::file_size(root / "installer-parallel") / 1048576.0;
	double zipSize = fs::file_size(archive) / 1048576.0;
	printf("PackageBuilder build (parallel): %7.2f s, %.1f MB installer\n", parallel, parallelSize);
	printf("PackageBuilder build --jobs 1:   %7.2f s\n", serial);
	printf("PackageBuilder build, one item:  %7.2f s\n", single);
	printf("zip -r9 -q:                      %7.2f s, %.1f MB archive\n", zip, zipSize);
	printf("ratio build / zip: %.2f parallel, %.2f one job at a time, %.2f one item; "
		   "size ratio %.4f\n",
		parallel / zip, serial / zip, single / zip, parallelSize / zipSize);
	printf("processor seconds: build %.2f parallel, %.2f one job at a time, %.2f one item; "
		   "zip %.2f\n",
		parallelCpu, serialCpu, singleCpu, zipCpu);

	std::ifstream parallelStream(root / "installer-parallel", std::ios::binary);
	std::ifstream serialStream(root / "installer-serial", std::ios::binary);
	bool same =
		std::equal(std::istreambuf_iterator<char>(parallelStream), std::istreambuf_iterator<char>(),
			std::istreambuf_iterator<char>(serialStream), std::istreambuf_iterator<char>());
	auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
	printf("goal: 20 items at most 0.60 x zip: %s\n", verdict(parallel / zip <= 0.60));
	printf("goal: one item at most 0.75 x zip: %s\n", verdict(single / zip <= 0.75));
	printf("goal: size at most 1.0 x zip: %s\n", verdict(parallelSize <= zipSize));
	printf("goal: same bytes with --jobs 1 and every processor: %s\n", verdict(same));

	fs::remove_all(root);
	return 0;
}

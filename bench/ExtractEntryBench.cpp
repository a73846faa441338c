// ExtractEntry's peak memory: an installer-like program (a copy of /bin/true) gets one item
// of incompressible data packed into a 'RAWT' resource, and the item is extracted again with
// unzip. The package is made in a child process, so that the packing's memory does not
// count towards the extraction's peak (ru_maxrss is per process).
//
// Usage: ExtractEntryBench [megabytes]   (500 by default)
#include "LibAppResource.h"
#include "LibFile.h"

#include <OS.h>

#include <filesystem>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const int32 kItemId = 2100;
const size_t kChunk = 1024 * 1024;

long
peak_kilobytes(int who)
{
	struct rusage usage;
	getrusage(who, &usage);
	return usage.ru_maxrss;
}

// Incompressible bytes (xorshift), with a running checksum of what was written.
bool
write_payload(const std::string& path, uint64 megabytes, uint64* checksum)
{
	FILE* file = fopen(path.c_str(), "wb");
	if (file == NULL)
		return false;
	std::vector<uint64> chunk(kChunk / sizeof(uint64));
	uint64 state = 0x9E3779B97F4A7C15ULL;
	*checksum = 0;
	for (uint64 i = 0; i < megabytes; i++) {
		for (uint64& word : chunk) {
			state ^= state << 13;
			state ^= state >> 7;
			state ^= state << 17;
			word = state;
			*checksum = *checksum * 31 + word;
		}
		if (fwrite(chunk.data(), 1, kChunk, file) != kChunk) {
			fclose(file);
			return false;
		}
	}
	return fclose(file) == 0;
}

bool
checksum_of(const std::string& path, uint64* checksum, uint64* size)
{
	FILE* file = fopen(path.c_str(), "rb");
	if (file == NULL)
		return false;
	std::vector<uint64> chunk(kChunk / sizeof(uint64));
	*checksum = 0;
	*size = 0;
	size_t got;
	while ((got = fread(chunk.data(), 1, kChunk, file)) > 0) {
		for (size_t i = 0; i < got / sizeof(uint64); i++)
			*checksum = *checksum * 31 + chunk[i];
		*size += got;
	}
	fclose(file);
	return true;
}

struct PackResult {
	uint64 checksum;
	double seconds;
	bool ok;
};

// In a child process: the payload, the program copy and the resource.
bool
make_package(const std::string& folder, uint64 megabytes, PackResult* result, long* childPeak)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return false;
	fflush(NULL);
	pid_t child = fork();
	if (child == 0) {
		close(pipeFds[0]);
		PackResult packed = { 0, 0, false };
		std::string payload = folder + "/payload.bin";
		std::string program = folder + "/installer";
		std::error_code error;
		if (write_payload(payload, megabytes, &packed.checksum)
			&& std::filesystem::copy_file("/bin/true", program, error)) {
			bigtime_t start = system_time();
			LibAppResource resources(program.c_str(), B_READ_WRITE);
			packed.ok = resources.AddEntry(payload.c_str(), kItemId, "payload.bin", 1)
				&& resources.Sync() == B_OK;
			packed.seconds = (system_time() - start) / 1e6;
		}
		unlink(payload.c_str());
		ssize_t written = write(pipeFds[1], &packed, sizeof(packed));
		_exit(written == sizeof(packed) && packed.ok ? 0 : 1);
	}
	close(pipeFds[1]);
	ssize_t got = read(pipeFds[0], result, sizeof(*result));
	close(pipeFds[0]);
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) < 0)
		return false;
	*childPeak = peak_kilobytes(RUSAGE_CHILDREN);
	return got == sizeof(*result) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int
main(int argc, char** argv)
{
	uint64 megabytes = argc > 1 ? strtoull(argv[1], NULL, 10) : 500;
	if (megabytes == 0)
		megabytes = 500;

	const char* base = getenv("TMPDIR");
	std::string pattern = std::string(base != NULL ? base : "/tmp") + "/ExtractEntryBench-XXXXXX";
	if (mkdtemp(pattern.data()) == NULL) {
		perror("mkdtemp");
		return 1;
	}
	std::string folder = pattern;

	PackResult packed;
	long packPeak = 0;
	if (!make_package(folder, megabytes, &packed, &packPeak)) {
		fprintf(stderr, "could not make the package in %s\n", folder.c_str());
		LibUnlink(folder.c_str());
		return 1;
	}
	std::error_code error;
	uintmax_t programSize = std::filesystem::file_size(folder + "/installer", error);

	long before = peak_kilobytes(RUSAGE_SELF);
	bigtime_t start = system_time();
	bool extracted;
	{
		LibAppResource resources((folder + "/installer").c_str(), B_READ_ONLY);
		extracted = resources.ExtractEntry(kItemId, (folder + "/payload.bin").c_str(), true);
	}
	double seconds = (system_time() - start) / 1e6;
	long after = peak_kilobytes(RUSAGE_SELF);

	uint64 checksum = 0;
	uint64 size = 0;
	bool same = checksum_of(folder + "/payload.bin", &checksum, &size)
		&& checksum == packed.checksum && size == megabytes * kChunk;

	printf("payload: %llu MB of incompressible data; installer file %.1f MB\n",
		(unsigned long long)megabytes, programSize / 1048576.0);
	printf(
		"AddEntry (child process): %.2f s, peak RSS %.1f MB\n", packed.seconds, packPeak / 1024.0);
	printf("ExtractEntry: %.2f s (%.0f MB/s), peak RSS %.1f MB (%.1f MB before)\n", seconds,
		seconds > 0 ? megabytes / seconds : 0.0, after / 1024.0, before / 1024.0);
	printf("extracted item %s\n", extracted && same ? "matches the payload" : "DIFFERS");

	LibUnlink(folder.c_str());
	return extracted && same ? 0 : 1;
}

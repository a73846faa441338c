// Feeds arbitrary bytes, as an archive, to LibUnzip. Whatever the bytes, the expansion must
// write nothing outside the archive's folder, leave no link there that leads out of it, no
// set-id bit and nothing the umask takes away, and write no more bytes than the archive's
// directory declares; the sanitizers catch the rest. Each input is expanded in a fresh
// folder of a private work folder, next to a sentinel folder that must stay as it is.
#include "LibFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace {

const mode_t kUmask = 022;

std::string gWork;
std::string gTarget;
std::string gOutside;
// The working directory libFuzzer started in: LibUnzip moves the process into the
// archive's folder, and libFuzzer reads and writes its corpus by relative paths.
int gStartFolder = -1;

// The names in folder, "." and ".." aside.
std::vector<std::string>
names_in(const std::string& folder)
{
	std::vector<std::string> names;
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return names;
	while (struct dirent* entry = readdir(dir)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(dir);
	return names;
}

// The sum of the sizes the archive's directory declares; 0 when libzip cannot open it.
uint64_t
declared_size(const uint8_t* data, size_t size)
{
	zip_error_t error;
	zip_error_init(&error);
	zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
	zip_error_fini(&error);
	if (source == nullptr)
		return 0;
	zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
	if (archive == nullptr) {
		zip_source_free(source);
		return 0;
	}
	uint64_t total = 0;
	zip_int64_t count = zip_get_num_entries(archive, 0);
	for (zip_int64_t index = 0; index < count; index++) {
		zip_stat_t st;
		if (zip_stat_index(archive, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) != 0)
			total = st.size > UINT64_MAX - total ? UINT64_MAX : total + st.size;
	}
	zip_discard(archive);
	return total;
}

uint64_t gWritten;

// Checks one entry of the expanded tree; aborts on what the expansion must never leave.
int
check_entry(const char* path, const struct stat* st, int, struct FTW*)
{
	// A link has no permissions of its own (they read 0777).
	if (!S_ISLNK(st->st_mode)
		&& ((st->st_mode & (S_ISUID | S_ISGID)) != 0 || (st->st_mode & kUmask) != 0)) {
		abort();
	}
	if (S_ISREG(st->st_mode) && std::string(path) != gTarget + "/archive.zip")
		gWritten += (uint64_t)st->st_size;
	if (!S_ISLNK(st->st_mode))
		return 0;

	char target[4096];
	ssize_t length = readlink(path, target, sizeof(target) - 1);
	if (length <= 0 || target[0] == '/')
		abort();
	target[length] = '\0';
	gWritten += (uint64_t)length;
	// Where the link leads, taken by its text from its own folder, must stay inside the
	// target folder.
	std::string relative = std::string(path).substr(gTarget.size() + 1);
	std::vector<std::string> parts;
	for (size_t start = 0, end; start <= relative.size(); start = end + 1) {
		end = relative.find('/', start);
		if (end == std::string::npos)
			end = relative.size();
		parts.push_back(relative.substr(start, end - start));
	}
	parts.pop_back();
	std::string text = target;
	for (size_t start = 0, end; start <= text.size(); start = end + 1) {
		end = text.find('/', start);
		if (end == std::string::npos)
			end = text.size();
		std::string part = text.substr(start, end - start);
		if (part == "..") {
			if (parts.empty())
				abort();
			parts.pop_back();
		} else if (!part.empty() && part != ".") {
			parts.push_back(part);
		}
	}
	return 0;
}

int
remove_entry(const char* path, const struct stat* st, int, struct FTW*)
{
	if (S_ISDIR(st->st_mode)) {
		chmod(path, 0700);
		rmdir(path);
	} else {
		unlink(path);
	}
	return 0;
}

void
make_writable(const std::string& folder)
{
	// A folder without search or write permission would keep its contents from going.
	chmod(folder.c_str(), 0700);
	for (const std::string& name : names_in(folder)) {
		std::string child = folder + "/" + name;
		struct stat st;
		if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
			make_writable(child);
	}
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int* argc, char*** argv)
{
	umask(kUmask);
	gStartFolder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (gStartFolder < 0)
		abort();
	const char* temporary = getenv("TMPDIR");
	std::string pattern =
		std::string(temporary != nullptr ? temporary : "/tmp") + "/LibUnzipFuzzer-XXXXXX";
	std::vector<char> buffer(pattern.begin(), pattern.end());
	buffer.push_back('\0');
	if (mkdtemp(buffer.data()) == nullptr)
		abort();
	gWork = buffer.data();
	gTarget = gWork + "/target";
	gOutside = gWork + "/outside";
	mkdir(gOutside.c_str(), 0755);
	int fd = open((gOutside + "/sentinel").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
	if (fd < 0 || write(fd, "x", 1) != 1)
		abort();
	close(fd);
	atexit([] { nftw(gWork.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS); });

	// Every refused entry is a line on standard error; the fuzzer's own output and the
	// sanitizers' reports stay (libFuzzer keeps a copy of standard error for them).
	static std::vector<char*> arguments(*argv, *argv + *argc);
	static char quiet[] = "-close_fd_mask=2";
	arguments.push_back(quiet);
	arguments.push_back(nullptr);
	*argc = (int)arguments.size() - 1;
	*argv = arguments.data();
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	if (mkdir(gTarget.c_str(), 0755) != 0)
		abort();
	std::string archive = gTarget + "/archive.zip";
	int fd = open(archive.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
	if (fd < 0 || (size > 0 && write(fd, data, size) != (ssize_t)size))
		abort();
	close(fd);

	LibUnzip(archive.c_str());
	if (fchdir(gStartFolder) != 0)
		abort();

	// Nothing beside the target folder changed.
	std::vector<std::string> top = names_in(gWork);
	if (top.size() != 2 || names_in(gOutside).size() != 1)
		abort();
	gWritten = 0;
	nftw(gTarget.c_str(), check_entry, 16, FTW_PHYS);
	if (gWritten > declared_size(data, size))
		abort();
	make_writable(gTarget);
	nftw(gTarget.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
	return 0;
}

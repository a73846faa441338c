// The small file operations: removing, typing, linking, unique names, tool lookup, folders
// and the working directory; and the path helpers the other file operations share.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Directory.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <Mime.h>
#include <Path.h>

#include <atomic>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace lib_file {

status_t
source_path(const char* path, std::string* resolved)
{
	if (path == NULL || path[0] == '\0' || BPrivate::is_dot_leaf(path))
		return B_BAD_VALUE;
	status_t status = BPrivate::resolve_entry_path(path, resolved);
	if (status != B_OK)
		return status;
	return *resolved == "/" ? B_NOT_ALLOWED : B_OK;
}

status_t
target_path(const char* path, std::string* resolved)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;
	return BPrivate::resolve_entry_path(path, resolved);
}

bool
is_plain_leaf(const std::string& name)
{
	return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

mode_t
process_umask()
{
	// /proc tells the mask since Linux 4.7; umask() itself can only read it by setting it.
	FILE* status = fopen("/proc/self/status", "re");
	if (status != NULL) {
		char line[256];
		unsigned int mask;
		while (fgets(line, sizeof(line), status) != NULL) {
			if (sscanf(line, "Umask: %o", &mask) == 1) {
				fclose(status);
				return (mode_t)(mask & 0777);
			}
		}
		fclose(status);
	}
	mode_t mask = umask(022);
	umask(mask);
	return mask;
}

bool
entry_exists(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

bool
same_entry(const std::string& a, const std::string& b)
{
	struct stat first;
	struct stat second;
	return lstat(a.c_str(), &first) == 0 && lstat(b.c_str(), &second) == 0
		&& first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool
lies_inside(const std::string& folder, const std::string& path)
{
	struct stat outer;
	if (lstat(path.c_str(), &outer) != 0 || !S_ISDIR(outer.st_mode))
		return false;
	// The folders above are compared by identity: a path through a link or through
	// another mount of the same file system names the same folder in other words.
	std::string current;
	if (BPrivate::canonical_folder(folder, &current) != B_OK)
		return false;
	while (true) {
		struct stat st;
		if (stat(current.c_str(), &st) == 0 && st.st_dev == outer.st_dev
			&& st.st_ino == outer.st_ino) {
			return true;
		}
		if (current == "/")
			return false;
		current = path_folder(current);
	}
}

std::string
operation_destination(const std::string& source, const std::string& target)
{
	struct stat st;
	if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
		return join_path(target, path_leaf(source));
	return target;
}

} // namespace lib_file

using namespace lib_file;

void
Libmimeset(const char* path)
{
	std::string entry;
	if (target_path(path, &entry) != B_OK)
		return;
	update_mime_info(entry.c_str(), true, true, true);
}

bool
LibSymLink(const char* target, const char* link)
{
	if (target == NULL || link == NULL || target[0] == '\0' || link[0] == '\0')
		return false;

	// The link's text is kept exactly as given; only its location is resolved.
	std::string linkPath;
	if (target_path(link, &linkPath) != B_OK)
		return false;
	struct stat st;
	if (stat(linkPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
		std::string leaf = path_leaf(absolute_path(target));
		if (leaf.empty() || BPrivate::is_dot_leaf(leaf))
			return false;
		linkPath = join_path(linkPath, leaf);
	}

	if (lstat(linkPath.c_str(), &st) == 0) {
		if (S_ISDIR(st.st_mode)) {
			fprintf(stderr, "LibSymLink: %s is a folder\n", linkPath.c_str());
			return false;
		}
		BEntry existing(linkPath.c_str());
		if (existing.Remove() != B_OK)
			return false;
	}
	return symlink(target, linkPath.c_str()) == 0;
}

void
LibUniqueName(BPath& path, const char* prefix)
{
	// BeOS behaviour: the counter runs from 1 to 10000 and then starts again; the process
	// id and the time make the name unique beyond that.
	static std::atomic<int32> sCounter(0);
	int32 current = sCounter.load();
	int32 next;
	do {
		next = current + 1 > 10000 ? 1 : current + 1;
	} while (!sCounter.compare_exchange_weak(current, next));

	if (path.InitCheck() != B_OK && find_directory(B_COMMON_TEMP_DIRECTORY, &path) != B_OK)
		return;

	char leaf[B_FILE_NAME_LENGTH + 64];
	snprintf(leaf, sizeof(leaf), "%s%ld%ld%ld", prefix != NULL ? prefix : "", (long)next,
		(long)getpid(), (long)time(NULL));
	path.Append(leaf);
}

bool
LibFindEnvFile(const char* variable, const char* file, BPath& found)
{
	if (variable == NULL || file == NULL)
		return false;
	const char* value = getenv(variable);
	if (value == NULL)
		return false;

	std::string list = value;
	size_t start = 0;
	while (start <= list.size()) {
		size_t end = list.find(':', start);
		if (end == std::string::npos)
			end = list.size();
		std::string candidate = list.substr(start, end - start) + "/" + file;
		if (LibExists(candidate.c_str()) && found.SetTo(candidate.c_str()) == B_OK)
			return true;
		start = end + 1;
	}
	return false;
}

bool
LibExists(const char* path)
{
	return path != NULL && access(path, F_OK) == 0;
}

bool
LibFolderIsEmpty(const char* path)
{
	if (path == NULL || path[0] == '\0')
		return false;
	DIR* folder = opendir(path);
	if (folder == NULL)
		return false;
	bool empty = true;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) {
			empty = false;
			break;
		}
	}
	closedir(folder);
	return empty;
}

bool
Libmkdir(const char* path)
{
	if (path == NULL || path[0] == '\0' || LibExists(path))
		return false;
	return create_directory(path, 0775) == B_OK;
}

bool
LibChangeDirectory(const char* path)
{
	if (!LibExists(path))
		return false;
	return chdir(path) == 0;
}

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

std::string
absolute_path(const char* path)
{
	std::string raw = path != NULL ? path : "";
	if (raw.empty() || raw[0] != '/') {
		std::vector<char> buffer(PATH_MAX);
		while (getcwd(buffer.data(), buffer.size()) == NULL && errno == ERANGE)
			buffer.resize(buffer.size() * 2);
		raw = std::string(buffer.data()) + "/" + raw;
	}

	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= raw.size()) {
		size_t end = raw.find('/', start);
		if (end == std::string::npos)
			end = raw.size();
		std::string part = raw.substr(start, end - start);
		if (part == "..") {
			if (!parts.empty())
				parts.pop_back();
		} else if (!part.empty() && part != ".") {
			parts.push_back(part);
		}
		start = end + 1;
	}

	if (parts.empty())
		return "/";
	std::string result;
	for (const std::string& part : parts)
		result += "/" + part;
	return result;
}

std::string
path_folder(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return ".";
	if (slash == 0)
		return "/";
	return path.substr(0, slash);
}

std::string
path_leaf(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return path;
	return path.substr(slash + 1);
}

std::string
join_path(const std::string& folder, const std::string& leaf)
{
	if (!folder.empty() && folder.back() == '/')
		return folder + leaf;
	return folder + "/" + leaf;
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

std::string
operation_destination(const std::string& source, const std::string& target)
{
	struct stat st;
	if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
		return join_path(target, path_leaf(source));
	return target;
}

// Empties the folder open at folder (the descriptor stays the caller's). A folder that
// refuses removals because it lacks the owner's write permission gets it, as the owner
// can always grant it.
static bool
remove_contents(int folder)
{
	int walkFd = dup(folder);
	if (walkFd < 0)
		return false;
	DIR* walk = fdopendir(walkFd);
	if (walk == NULL) {
		close(walkFd);
		return false;
	}

	std::vector<std::string> names;
	while (struct dirent* entry = readdir(walk)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(walk);

	bool madeWritable = false;
	bool ok = true;
	for (const std::string& name : names) {
		struct stat st;
		if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
			continue;
		int flags = 0;
		if (S_ISDIR(st.st_mode)) {
			int child =
				openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
			if (child < 0) {
				ok = false;
				continue;
			}
			ok = remove_contents(child) && ok;
			close(child);
			flags = AT_REMOVEDIR;
		}
		int result = unlinkat(folder, name.c_str(), flags);
		if (result != 0 && errno == EACCES && !madeWritable) {
			struct stat self;
			if (fstat(folder, &self) == 0)
				fchmod(folder, self.st_mode | S_IRWXU);
			madeWritable = true;
			result = unlinkat(folder, name.c_str(), flags);
		}
		if (result != 0 && errno != ENOENT)
			ok = false;
	}
	return ok;
}

bool
remove_tree(const std::string& path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return errno == ENOENT;
	if (S_ISDIR(st.st_mode)) {
		int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (folder < 0)
			return false;
		remove_contents(folder);
		close(folder);
	}
	// The entry itself goes through the storage kit, which also drops what the folder
	// keeps for a symbolic link's attributes.
	BEntry entry(path.c_str());
	if (entry.Remove() != B_OK && entry_exists(path))
		return false;
	return !entry_exists(path);
}

} // namespace lib_file

using namespace lib_file;

void
LibUnlink(const char* path)
{
	if (path == NULL || path[0] == '\0')
		return;
	std::string absolute = absolute_path(path);
	if (absolute == "/")
		return;
	remove_tree(absolute);
}

void
Libmimeset(const char* path)
{
	if (path == NULL || path[0] == '\0')
		return;
	update_mime_info(absolute_path(path).c_str(), true, true, true);
}

bool
LibSymLink(const char* target, const char* link)
{
	if (target == NULL || link == NULL || target[0] == '\0' || link[0] == '\0')
		return false;

	// The link's text is kept exactly as given; only its location is resolved.
	std::string linkPath = absolute_path(link);
	struct stat st;
	if (stat(linkPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
		std::string leaf = path_leaf(absolute_path(target));
		if (leaf.empty())
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
Libmkdir(const char* path)
{
	if (path == NULL || path[0] == '\0' || LibExists(path))
		return false;
	return create_directory(absolute_path(path).c_str(), 0775) == B_OK;
}

bool
LibChangeDirectory(const char* path)
{
	if (!LibExists(path))
		return false;
	return chdir(path) == 0;
}

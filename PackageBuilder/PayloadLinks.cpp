#include "PayloadLinks.h"

#include "LibZipLinks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string
describe(const std::string& name, const std::string& target)
{
	return "'" + name + "' -> '" + target + "'";
}

bool
read_link(int folder, const char* leaf, std::string& target)
{
	std::string buffer(4096, '\0');
	ssize_t length = readlinkat(folder, leaf, buffer.data(), buffer.size());
	if (length < 0 || static_cast<size_t>(length) >= buffer.size())
		return false;
	target.assign(buffer.data(), length);
	return true;
}

// Walks the folder open as descriptor (which it closes), whose entries lie at depth + 1
// in the archive; name is the folder's path inside the item.
void
walk(int descriptor, const std::string& name, size_t depth, std::vector<std::string>& leaving)
{
	DIR* folder = fdopendir(descriptor);
	if (folder == nullptr) {
		close(descriptor);
		return;
	}
	while (struct dirent* entry = readdir(folder)) {
		std::string leaf = entry->d_name;
		if (leaf == "." || leaf == "..")
			continue;
		std::string child = name + "/" + leaf;
		struct stat status;
		if (fstatat(dirfd(folder), leaf.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
			continue;
		if (S_ISLNK(status.st_mode)) {
			std::string target;
			if (read_link(dirfd(folder), leaf.c_str(), target)
				&& !lib_zip::LinkStaysInItem(depth + 1, target))
				leaving.push_back(describe(child, target));
		} else if (S_ISDIR(status.st_mode)) {
			int inner = openat(
				dirfd(folder), leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
			if (inner >= 0)
				walk(inner, child, depth + 1, leaving);
		}
	}
	closedir(folder);
}

} // namespace

std::vector<std::string>
FindLinksLeavingItem(const std::string& itemPath)
{
	std::vector<std::string> leaving;
	std::string path = itemPath;
	while (path.size() > 1 && path.back() == '/')
		path.pop_back();
	size_t slash = path.rfind('/');
	std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);

	struct stat status;
	if (lstat(path.c_str(), &status) != 0)
		return leaving;
	if (S_ISLNK(status.st_mode)) {
		std::string target;
		if (read_link(AT_FDCWD, path.c_str(), target) && !lib_zip::LinkStaysInItem(1, target))
			leaving.push_back(describe(leaf, target));
		return leaving;
	}
	if (!S_ISDIR(status.st_mode))
		return leaving;
	int descriptor = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (descriptor >= 0)
		walk(descriptor, leaf, 1, leaving);
	return leaving;
}

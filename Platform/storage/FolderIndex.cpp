#include "FolderIndex.h"

#include "MountTable.h"
#include "StoragePrivate.h"

#include <cstdlib>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

namespace {

struct FolderKey {
	dev_t device;
	ino_t inode;

	bool operator<(const FolderKey& other) const
	{
		if (device != other.device)
			return device < other.device;
		return inode < other.inode;
	}
};

// The remembered folders; the oldest go first when the index is full.
struct FolderIndex {
	std::mutex lock;
	std::map<FolderKey, std::string> paths;
	std::deque<FolderKey> order;
	size_t searchLimit = kFolderSearchLimit;
};

FolderIndex&
folder_index()
{
	static FolderIndex index;
	return index;
}

bool
is_folder(const std::string& path, dev_t device, ino_t inode)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == device
		&& st.st_ino == inode;
}

// Breadth-first search below root for the folder; budget counts the folders opened.
bool
search_below(const std::string& root, dev_t device, ino_t inode, size_t* budget, std::string* found)
{
	std::deque<std::string> queue;
	queue.push_back(root);
	while (!queue.empty() && *budget > 0) {
		std::string folder = queue.front();
		queue.pop_front();
		(*budget)--;

		int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
		if (fd < 0)
			continue;
		struct stat st;
		if (fstat(fd, &st) != 0 || st.st_dev != device) {
			close(fd);
			continue;
		}
		DIR* dir = fdopendir(fd);
		if (dir == nullptr) {
			close(fd);
			continue;
		}
		while (struct dirent* entry = readdir(dir)) {
			const char* name = entry->d_name;
			if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
				continue;
			if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN)
				continue;
			std::string path = join_path(folder, name);
			if (entry->d_ino == inode && is_folder(path, device, inode)) {
				closedir(dir);
				*found = path;
				return true;
			}
			queue.push_back(path);
		}
		closedir(dir);
	}
	return false;
}

} // namespace

void
remember_folder(dev_t device, ino_t inode, const std::string& path)
{
	FolderIndex& index = folder_index();
	std::lock_guard<std::mutex> guard(index.lock);
	FolderKey key = { device, inode };
	auto found = index.paths.find(key);
	if (found != index.paths.end()) {
		found->second = path;
		return;
	}
	while (index.paths.size() >= kFolderIndexCapacity && !index.order.empty()) {
		index.paths.erase(index.order.front());
		index.order.pop_front();
	}
	index.paths[key] = path;
	index.order.push_back(key);
}

size_t
set_folder_search_limit(size_t limit)
{
	FolderIndex& index = folder_index();
	std::lock_guard<std::mutex> guard(index.lock);
	size_t previous = index.searchLimit;
	index.searchLimit = limit;
	return previous;
}

void
forget_folders()
{
	FolderIndex& index = folder_index();
	std::lock_guard<std::mutex> guard(index.lock);
	index.paths.clear();
	index.order.clear();
}

status_t
resolve_folder(dev_t device, ino_t inode, std::string* path)
{
	size_t budget;
	{
		FolderIndex& index = folder_index();
		std::lock_guard<std::mutex> guard(index.lock);
		budget = index.searchLimit;
		auto found = index.paths.find(FolderKey { device, inode });
		if (found != index.paths.end()) {
			*path = found->second;
		} else {
			path->clear();
		}
	}
	// A remembered folder may have moved since: check before trusting it.
	if (!path->empty() && is_folder(*path, device, inode))
		return B_OK;

	std::vector<std::string> roots;
	const char* places[] = { getenv("HOME"), getenv("TMPDIR") };
	for (const char* place : places) {
		if (place != nullptr && place[0] == '/')
			roots.push_back(absolute_path(place));
	}
	char cwd[4096];
	if (getcwd(cwd, sizeof(cwd)) != nullptr)
		roots.push_back(cwd);
	std::vector<MountEntry> mounts;
	if (read_mounts(&mounts) == B_OK) {
		for (const MountEntry& mount : mounts) {
			if (mount.device == device)
				roots.push_back(mount.mountPoint);
		}
	}

	for (const std::string& root : roots) {
		std::string found;
		if (is_folder(root, device, inode))
			found = root;
		else if (!search_below(root, device, inode, &budget, &found))
			continue;
		std::string canonical;
		if (canonical_folder(found, &canonical) == B_OK)
			found = canonical;
		remember_folder(device, inode, found);
		*path = found;
		return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}

} // namespace BPrivate

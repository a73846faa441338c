// LibUnlink: removes an entry and everything below it. The walk holds one folder open at a
// time, whatever the depth, and goes back up through ".." checking that each folder is
// still the one it came down from, so a tree moved or swapped for a link meanwhile stops
// the removal instead of taking it elsewhere. The user's own folders that refuse the
// removal for lack of the owner's permissions get them back, as the owner always could.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Entry.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lib_file {

namespace {

bool
same_node(const struct stat& a, const struct stat& b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A folder on the way down: its name in the folder above, its identity, the subfolders
// still to empty, and whether anything in it stayed.
struct Level {
	std::string name;
	struct stat identity;
	std::vector<std::string> folders;
	bool keptSomething = false;
};

class TreeRemover {
public:
	TreeRemover() :
		fStatus(B_OK),
		fUser(geteuid())
	{
	}

	// Removes the folder leaf of the folder open at parent.
	status_t RemoveFolder(int parent, const std::string& leaf, const struct stat& identity);

private:
	void _Fail(status_t status)
	{
		if (fStatus == B_OK)
			fStatus = status;
	}

	// Opens the folder name of parent, which must still be identity; a folder of the
	// user's that cannot be opened or searched gets the owner's permissions first.
	int _OpenFolder(int parent, const std::string& name, const struct stat& identity);
	// Grants the owner read, write and search permission on the folder open at folder
	// when the user owns it and it lacks them.
	void _GrantOwner(int folder);
	// Removes everything but the subfolders of the folder open at folder and lists them
	// into level.
	void _Empty(int folder, Level& level);
	// Removes the entry name of the folder open at folder, which must still be identity.
	bool _RemoveEntry(int folder, const std::string& name, const struct stat& identity);

	status_t fStatus;
	uid_t fUser;
};

void
TreeRemover::_GrantOwner(int folder)
{
	struct stat st;
	if (fstat(folder, &st) != 0 || st.st_uid != fUser || (st.st_mode & S_IRWXU) == S_IRWXU)
		return;
	fchmod(folder, (st.st_mode & 07777) | S_IRWXU);
}

int
TreeRemover::_OpenFolder(int parent, const std::string& name, const struct stat& identity)
{
	const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
	int folder = openat(parent, name.c_str(), flags);
	if (folder < 0 && errno == EACCES && identity.st_uid == fUser) {
		// Without read permission the folder can still be reached by a path descriptor,
		// and changed through it, never through a link put in its place.
		int node = openat(parent, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
		struct stat st;
		if (node >= 0 && fstat(node, &st) == 0 && S_ISDIR(st.st_mode) && same_node(st, identity)) {
			char procPath[64];
			snprintf(procPath, sizeof(procPath), "/proc/self/fd/%d", node);
			chmod(procPath, (st.st_mode & 07777) | S_IRWXU);
		}
		if (node >= 0)
			close(node);
		folder = openat(parent, name.c_str(), flags);
	}
	if (folder < 0) {
		_Fail(B_FROM_POSIX_ERROR(errno));
		return -1;
	}
	struct stat st;
	if (fstat(folder, &st) != 0 || !same_node(st, identity)) {
		close(folder);
		_Fail(B_ERROR);
		return -1;
	}
	_GrantOwner(folder);
	return folder;
}

bool
TreeRemover::_RemoveEntry(int folder, const std::string& name, const struct stat& identity)
{
	int flags = S_ISDIR(identity.st_mode) ? AT_REMOVEDIR : 0;
	if (unlinkat(folder, name.c_str(), flags) == 0 || errno == ENOENT)
		return true;
	_Fail(B_FROM_POSIX_ERROR(errno));
	return false;
}

void
TreeRemover::_Empty(int folder, Level& level)
{
	int walkFd = dup(folder);
	DIR* walk = walkFd >= 0 ? fdopendir(walkFd) : NULL;
	if (walk == NULL) {
		if (walkFd >= 0)
			close(walkFd);
		_Fail(B_FROM_POSIX_ERROR(errno));
		level.keptSomething = true;
		return;
	}
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(walk)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(walk);

	for (const std::string& name : names) {
		struct stat st;
		if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
			if (errno != ENOENT) {
				_Fail(B_FROM_POSIX_ERROR(errno));
				level.keptSomething = true;
			}
			continue;
		}
		if (S_ISDIR(st.st_mode))
			level.folders.push_back(name);
		else if (!_RemoveEntry(folder, name, st))
			level.keptSomething = true;
	}
}

status_t
TreeRemover::RemoveFolder(int parent, const std::string& leaf, const struct stat& identity)
{
	int current = _OpenFolder(parent, leaf, identity);
	if (current < 0)
		return fStatus;

	std::vector<Level> levels(1);
	levels[0].name = leaf;
	levels[0].identity = identity;
	_Empty(current, levels[0]);

	while (true) {
		Level& level = levels.back();
		if (!level.folders.empty()) {
			std::string name = level.folders.back();
			level.folders.pop_back();
			struct stat st;
			if (fstatat(current, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
				if (errno != ENOENT) {
					_Fail(B_FROM_POSIX_ERROR(errno));
					level.keptSomething = true;
				}
				continue;
			}
			if (!S_ISDIR(st.st_mode)) {
				if (!_RemoveEntry(current, name, st))
					level.keptSomething = true;
				continue;
			}
			int child = _OpenFolder(current, name, st);
			if (child < 0) {
				level.keptSomething = true;
				continue;
			}
			close(current);
			current = child;
			Level next;
			next.name = name;
			next.identity = st;
			levels.push_back(std::move(next));
			_Empty(current, levels.back());
			continue;
		}

		if (levels.size() == 1)
			break;
		Level done = std::move(levels.back());
		levels.pop_back();
		int up = openat(current, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
		close(current);
		current = up;
		struct stat st;
		if (current < 0 || fstat(current, &st) != 0 || !same_node(st, levels.back().identity)) {
			// The tree was moved while it was being removed: going on would remove
			// whatever now lies above.
			if (current >= 0)
				close(current);
			_Fail(B_ERROR);
			return fStatus;
		}
		if (done.keptSomething || !_RemoveEntry(current, done.name, done.identity))
			levels.back().keptSomething = true;
	}
	close(current);

	if (!levels[0].keptSomething) {
		struct stat st;
		if (fstatat(parent, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && same_node(st, identity))
			_RemoveEntry(parent, leaf, identity);
	}
	return fStatus;
}

} // namespace

status_t
remove_tree(const std::string& path)
{
	if (path.empty() || path == "/")
		return B_NOT_ALLOWED;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return errno == ENOENT ? B_OK : B_FROM_POSIX_ERROR(errno);
	if (!S_ISDIR(st.st_mode)) {
		// Through the storage kit, which also drops what the folder keeps for a symbolic
		// link's attributes.
		BEntry entry(path.c_str());
		status_t status = entry.Remove();
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}

	int parent = open(path_folder(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (parent < 0)
		return B_FROM_POSIX_ERROR(errno);
	TreeRemover remover;
	status_t status = remover.RemoveFolder(parent, path_leaf(path), st);
	close(parent);
	return status;
}

} // namespace lib_file

using namespace lib_file;

status_t
LibUnlinkChecked(const char* path)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;
	std::string entry;
	status_t status = source_path(path, &entry);
	// Nothing to remove is no failure: the entry is not there afterwards either.
	if (status == B_ENTRY_NOT_FOUND)
		return B_OK;
	if (status == B_BAD_VALUE || status == B_NOT_ALLOWED) {
		fprintf(stderr, "LibUnlink: refused %s: it names a folder through \".\" or \"..\", or /\n",
			path);
		return status;
	}
	if (status != B_OK) {
		fprintf(stderr, "LibUnlink: %s: %s\n", path, strerror(B_TO_POSIX_ERROR(status)));
		return status;
	}
	status = remove_tree(entry);
	if (status != B_OK)
		fprintf(stderr, "LibUnlink: %s was not removed completely\n", entry.c_str());
	return status;
}

void
LibUnlink(const char* path)
{
	LibUnlinkChecked(path);
}

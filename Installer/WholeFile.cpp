#include "WholeFile.h"

#include "PrivateEntryName.h"

#include <Node.h>
#include <fs_attr.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool
write_all(int fd, const std::string& text)
{
	size_t done = 0;
	while (done < text.size()) {
		ssize_t written = write(fd, text.data() + done, text.size() - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
			return false;
		done += (size_t)written;
	}
	return true;
}

// Carries the attributes of the old file over to its replacement, so that what the user or
// other tools stored on it survives the edit.
void
copy_attributes(const char* from, const char* to)
{
	BNode source(from);
	BNode target(to);
	if (source.InitCheck() != B_OK || target.InitCheck() != B_OK)
		return;
	char name[B_ATTR_NAME_LENGTH + 1];
	std::vector<char> buffer;
	while (source.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (source.GetAttrInfo(name, &info) != B_OK)
			continue;
		buffer.resize(info.size > 0 ? (size_t)info.size : 1);
		if (source.ReadAttr(name, info.type, 0, buffer.data(), info.size) == info.size)
			target.WriteAttr(name, info.type, 0, buffer.data(), info.size);
	}
}

} // namespace

bool
ReadWholeFile(const char* path, std::string& text)
{
	text.clear();
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return errno == ENOENT;
	char buffer[8192];
	for (;;) {
		ssize_t got = read(fd, buffer, sizeof(buffer));
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0) {
			close(fd);
			return false;
		}
		if (got == 0)
			break;
		text.append(buffer, (size_t)got);
	}
	close(fd);
	return true;
}

// Removes what an edit stopped between writing and renaming left beside the script: regular
// files named like the replacements replace_whole makes ("." + leaf + "." + 16 hex digits).
void
SweepReplacementLeftovers(const std::string& folder, const std::string& leaf)
{
	DIR* directory = opendir(folder.c_str());
	if (directory == nullptr)
		return;
	std::string prefix = "." + leaf + ".";
	while (struct dirent* entry = readdir(directory)) {
		std::string name = entry->d_name;
		if (name.size() != prefix.size() + 16 || name.compare(0, prefix.size(), prefix) != 0)
			continue;
		if (name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos)
			continue;
		struct stat status;
		if (fstatat(dirfd(directory), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0
			&& S_ISREG(status.st_mode) && status.st_uid == geteuid()) {
			unlinkat(dirfd(directory), name.c_str(), 0);
		}
	}
	closedir(directory);
}

bool
ReplaceWholeFile(const char* path, const std::string& text)
{
	struct stat old;
	bool existed = stat(path, &old) == 0;
	std::string target(path);
	size_t slash = target.rfind('/');
	std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
	std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
	std::string temporary;
	int fd = -1;
	for (int attempt = 0; attempt < 16 && fd < 0; attempt++) {
		temporary = PrivateEntryName(folder, leaf);
		fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
		if (fd < 0 && errno != EEXIST)
			return false;
	}
	if (fd < 0)
		return false;
	bool ok = write_all(fd, text);
	if (ok && existed)
		ok = fchmod(fd, old.st_mode & 07777) == 0;
	if (ok)
		ok = fsync(fd) == 0;
	if (close(fd) != 0)
		ok = false;
	if (ok && existed)
		copy_attributes(path, temporary.c_str());
	if (!ok || rename(temporary.c_str(), path) != 0) {
		unlink(temporary.c_str());
		return false;
	}
	return true;
}

// LibCopy and the copy engine behind it and behind moves across volumes: recursive, links
// kept as links, permissions, times and attributes carried over.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Node.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lib_file {

namespace {

const size_t kCopyChunk = 1024 * 1024;

void
report(const char* what, const std::string& path, int error)
{
	fprintf(stderr, "LibCopy: %s %s: %s\n", what, path.c_str(), strerror(error));
}

// Copies the rest of from into to; the kernel moves the bytes when it can.
bool
copy_data(int from, int to)
{
	while (true) {
		ssize_t copied = copy_file_range(from, NULL, to, NULL, kCopyChunk, 0);
		if (copied == 0)
			return true;
		if (copied > 0)
			continue;
		if (errno == EINTR)
			continue;
		if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
			return false;
		break;
	}

	std::vector<char> buffer(kCopyChunk);
	while (true) {
		ssize_t got = read(from, buffer.data(), buffer.size());
		if (got == 0)
			return true;
		if (got < 0) {
			if (errno == EINTR)
				continue;
			return false;
		}
		for (ssize_t done = 0; done < got;) {
			ssize_t written = write(to, buffer.data() + done, got - done);
			if (written < 0) {
				if (errno == EINTR)
					continue;
				return false;
			}
			done += written;
		}
	}
}

// Copies every attribute of the node at from onto the node at to, through the storage
// kit, so that types and the attributes of symbolic links follow the platform's scheme.
// A target volume that keeps no attributes is not an error: the attributes are dropped
// there, as on any volume without them.
bool
copy_attributes(const std::string& from, const std::string& to, bool targetIsNew)
{
	BNode source(from.c_str());
	BNode target(to.c_str());
	if (source.InitCheck() != B_OK || target.InitCheck() != B_OK)
		return false;

	bool ok = true;
	char name[B_ATTR_NAME_LENGTH + 1];
	std::vector<char> buffer;
	while (source.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (source.GetAttrInfo(name, &info) != B_OK) {
			ok = false;
			continue;
		}
		buffer.resize(info.size > 0 ? info.size : 1);
		ssize_t got = source.ReadAttr(name, info.type, 0, buffer.data(), info.size);
		if (got != info.size) {
			ok = false;
			continue;
		}
		// An older value of a merged folder's attribute must not keep its tail.
		if (!targetIsNew)
			target.RemoveAttr(name);
		ssize_t written = target.WriteAttr(name, info.type, 0, buffer.data(), info.size);
		if (written == B_NOT_SUPPORTED)
			return true;
		if (written != info.size)
			ok = false;
	}
	return ok;
}

// Carries the creation time over through the storage kit (Linux cannot set a birth time,
// so the platform keeps it beside the node).
void
copy_creation_time(const std::string& from, const std::string& to)
{
	BNode source(from.c_str());
	BNode target(to.c_str());
	time_t created;
	if (source.GetCreationTime(&created) == B_OK)
		target.SetCreationTime(created);
}

// A free temporary name in the folder of path for a node that is renamed over path once
// complete; created by make, which returns false with errno EEXIST when the name is taken.
template <typename Make>
bool
make_temporary(const std::string& path, std::string* temporary, Make make)
{
	std::string folder = path_folder(path);
	for (int attempt = 0; attempt < 100; attempt++) {
		char leaf[64];
		snprintf(leaf, sizeof(leaf), ".LibCopy-%ld-%08lx", (long)getpid(), (unsigned long)random());
		*temporary = join_path(folder, leaf);
		if (make(*temporary))
			return true;
		if (errno != EEXIST)
			return false;
	}
	return false;
}

class TreeCopier {
public:
	bool Copy(const std::string& source, const std::string& destination);

private:
	bool _CopyFolder(
		const std::string& source, const std::string& destination, const struct stat& st);
	bool _CopyFile(
		const std::string& source, const std::string& destination, const struct stat& st);
	bool _CopyLink(
		const std::string& source, const std::string& destination, const struct stat& st);
	bool _CopyFifo(
		const std::string& source, const std::string& destination, const struct stat& st);
	bool _Place(const std::string& temporary, const std::string& destination);
};

bool
TreeCopier::Copy(const std::string& source, const std::string& destination)
{
	struct stat st;
	if (lstat(source.c_str(), &st) != 0) {
		report("cannot read", source, errno);
		return false;
	}
	if (S_ISDIR(st.st_mode))
		return _CopyFolder(source, destination, st);
	if (S_ISREG(st.st_mode))
		return _CopyFile(source, destination, st);
	if (S_ISLNK(st.st_mode))
		return _CopyLink(source, destination, st);
	if (S_ISFIFO(st.st_mode))
		return _CopyFifo(source, destination, st);
	report("cannot copy special file", source, ENOTSUP);
	return false;
}

bool
TreeCopier::_CopyFolder(
	const std::string& source, const std::string& destination, const struct stat& st)
{
	struct stat existing;
	bool isNew = lstat(destination.c_str(), &existing) != 0;
	if (!isNew && !S_ISDIR(existing.st_mode)) {
		report("cannot replace a file by a folder at", destination, EEXIST);
		return false;
	}
	// The folder stays writable for the owner until its contents are in.
	if (isNew && mkdir(destination.c_str(), 0700) != 0) {
		report("cannot create", destination, errno);
		return false;
	}

	bool ok = copy_attributes(source, destination, isNew);

	DIR* folder = opendir(source.c_str());
	if (folder == NULL) {
		report("cannot read", source, errno);
		return false;
	}
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(folder);

	for (const std::string& name : names)
		ok = Copy(join_path(source, name), join_path(destination, name)) && ok;

	copy_creation_time(source, destination);
	if (chmod(destination.c_str(), st.st_mode & 07777) != 0)
		ok = false;
	struct timespec times[2] = { st.st_atim, st.st_mtim };
	if (utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
		ok = false;
	return ok;
}

bool
TreeCopier::_CopyFile(
	const std::string& source, const std::string& destination, const struct stat& st)
{
	struct stat existing;
	if (lstat(destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
		report("cannot replace a folder by a file at", destination, EISDIR);
		return false;
	}

	int from = open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (from < 0) {
		report("cannot read", source, errno);
		return false;
	}
	int to = -1;
	std::string temporary;
	bool made = make_temporary(destination, &temporary, [&to](const std::string& path) {
		to = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
		return to >= 0;
	});
	if (!made) {
		report("cannot create a file beside", destination, errno);
		close(from);
		return false;
	}

	bool ok = copy_data(from, to);
	int error = errno;
	close(from);
	if (ok)
		ok = copy_attributes(source, temporary, true);
	if (ok) {
		copy_creation_time(source, temporary);
		struct timespec times[2] = { st.st_atim, st.st_mtim };
		ok = fchmod(to, st.st_mode & 07777) == 0 && futimens(to, times) == 0;
		error = errno;
	}
	if (close(to) != 0 && ok) {
		ok = false;
		error = errno;
	}
	if (!ok) {
		report("cannot copy", source, error);
		unlink(temporary.c_str());
		return false;
	}
	return _Place(temporary, destination);
}

bool
TreeCopier::_CopyLink(
	const std::string& source, const std::string& destination, const struct stat& st)
{
	std::vector<char> target(st.st_size > 0 ? st.st_size + 1 : PATH_MAX);
	ssize_t length = readlink(source.c_str(), target.data(), target.size());
	if (length < 0 || (size_t)length >= target.size()) {
		report("cannot read link", source, length < 0 ? errno : ENAMETOOLONG);
		return false;
	}
	target[length] = '\0';

	std::string temporary;
	bool made = make_temporary(destination, &temporary,
		[&target](const std::string& path) { return symlink(target.data(), path.c_str()) == 0; });
	if (!made) {
		report("cannot create a link beside", destination, errno);
		return false;
	}
	if (!_Place(temporary, destination))
		return false;

	// A link's attributes live in its folder under its name: they are written once the
	// link has its final name.
	bool ok = copy_attributes(source, destination, true);
	copy_creation_time(source, destination);
	struct timespec times[2] = { st.st_atim, st.st_mtim };
	utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW);
	return ok;
}

bool
TreeCopier::_CopyFifo(
	const std::string& source, const std::string& destination, const struct stat& st)
{
	std::string temporary;
	bool made = make_temporary(destination, &temporary,
		[](const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; });
	if (!made) {
		report("cannot create a pipe beside", destination, errno);
		return false;
	}
	bool ok = copy_attributes(source, temporary, true);
	struct timespec times[2] = { st.st_atim, st.st_mtim };
	chmod(temporary.c_str(), st.st_mode & 07777);
	utimensat(AT_FDCWD, temporary.c_str(), times, 0);
	return _Place(temporary, destination) && ok;
}

bool
TreeCopier::_Place(const std::string& temporary, const std::string& destination)
{
	if (rename(temporary.c_str(), destination.c_str()) == 0)
		return true;
	report("cannot place", destination, errno);
	unlink(temporary.c_str());
	return false;
}

} // namespace

bool
copy_tree(const std::string& source, const std::string& destination)
{
	// An entry is not copied onto itself, even when the two paths differ (a hard link, or
	// the same file seen through two mounts).
	if (destination == source || same_entry(source, destination))
		return true;
	// A folder copied into itself would never end.
	if (lies_inside(path_folder(destination), source)) {
		report("cannot copy a folder into itself:", source, EINVAL);
		return false;
	}
	TreeCopier copier;
	return copier.Copy(source, destination);
}

} // namespace lib_file

using namespace lib_file;

bool
LibCopy(const char* source, const char* target)
{
	std::string from;
	std::string to;
	if (source_path(source, &from) != B_OK || target_path(target, &to) != B_OK)
		return false;
	return copy_tree(from, operation_destination(from, to));
}

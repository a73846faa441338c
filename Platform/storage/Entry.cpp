#include <Entry.h>

#include <Directory.h>
#include <Path.h>

#include "AttributeStore.h"
#include "FolderIndex.h"
#include "StoragePrivate.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

BEntry::BEntry() :
	fStatus(B_NO_INIT)
{
}

BEntry::BEntry(const BDirectory* directory, const char* path, bool traverse) :
	fStatus(B_NO_INIT)
{
	SetTo(directory, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) :
	fStatus(B_NO_INIT)
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse) :
	fStatus(B_NO_INIT)
{
	SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& entry) :
	BStatable(),
	fPath(entry.fPath),
	fStatus(entry.fStatus)
{
}

BEntry::~BEntry() { }

status_t
BEntry::InitCheck() const
{
	return fStatus;
}

bool
BEntry::Exists() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath.c_str(), &st) == 0;
}

status_t
BEntry::GetStat(struct stat* st) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (st == nullptr)
		return B_BAD_VALUE;
	return lstat(fPath.c_str(), st) == 0 ? B_OK : status_from_errno();
}

status_t
BEntry::SetTo(const BDirectory* directory, const char* path, bool traverse)
{
	if (path != nullptr && path[0] == '/')
		return SetTo(path, traverse);
	if (directory == nullptr || directory->InitCheck() != B_OK) {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	if (path == nullptr || path[0] == '\0')
		return _SetToPath(directory->_NodePath(), traverse);
	return _SetToPath(join_path(directory->_NodePath(), path), traverse);
}

status_t
BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	if (ref == nullptr || ref->name == nullptr || ref->name[0] == '\0'
		|| strchr(ref->name, '/') != nullptr) {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	std::string folder;
	status_t status = resolve_folder(ref->device, ref->directory, &folder);
	if (status != B_OK) {
		Unset();
		return fStatus = status;
	}
	return _SetToPath(join_path(folder, ref->name), traverse);
}

status_t
BEntry::SetTo(const char* path, bool traverse)
{
	if (path == nullptr || path[0] == '\0') {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	return _SetToPath(path, traverse);
}

void
BEntry::Unset()
{
	fPath.clear();
	fStatus = B_NO_INIT;
}

status_t
BEntry::_SetToPath(const std::string& path, bool traverse)
{
	std::string current = path;
	fPath.clear();
	fStatus = B_NO_INIT;

	for (int links = 0;; links++) {
		std::string resolved;
		status_t status = resolve_entry_path(current, &resolved);
		if (status != B_OK)
			return fStatus = status;

		struct stat st;
		if (!traverse || lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
			fPath = resolved;
			return fStatus = B_OK;
		}
		if (links >= B_MAX_SYMLINKS)
			return fStatus = B_LINK_LIMIT;

		// Follow the link by hand, so that a link to a missing entry still gives that
		// entry (its folder must exist), as on BeOS.
		char target[PATH_MAX + 1];
		ssize_t length = readlink(resolved.c_str(), target, PATH_MAX);
		if (length <= 0)
			return fStatus = length < 0 ? status_from_errno() : B_ENTRY_NOT_FOUND;
		target[length] = '\0';
		current = target[0] == '/' ? std::string(target) : join_path(path_folder(resolved), target);
	}
}

std::string
BEntry::_Leaf() const
{
	if (fPath == "/")
		return ".";
	return path_leaf(fPath);
}

std::string
BEntry::_Folder() const
{
	return path_folder(fPath);
}

status_t
BEntry::GetRef(entry_ref* ref) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (ref == nullptr)
		return B_BAD_VALUE;

	// The root names itself as "." in its own folder.
	std::string folder = fPath == "/" ? "/" : _Folder();
	struct stat st;
	if (stat(folder.c_str(), &st) != 0)
		return status_from_errno();
	remember_folder(st.st_dev, st.st_ino, folder);
	ref->device = st.st_dev;
	ref->directory = st.st_ino;
	return ref->set_name(_Leaf().c_str());
}

status_t
BEntry::GetPath(BPath* path) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (path == nullptr)
		return B_BAD_VALUE;
	return path->SetTo(fPath.c_str());
}

status_t
BEntry::GetParent(BEntry* entry) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	std::string folder = _Folder();
	return entry->_SetToPath(folder, false);
}

status_t
BEntry::GetParent(BDirectory* directory) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (directory == nullptr)
		return B_BAD_VALUE;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	return directory->SetTo(_Folder().c_str());
}

status_t
BEntry::GetName(char* buffer) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (buffer == nullptr)
		return B_BAD_VALUE;
	std::string leaf = fPath == "/" ? "/" : _Leaf();
	snprintf(buffer, B_FILE_NAME_LENGTH, "%s", leaf.c_str());
	return B_OK;
}

status_t
BEntry::Rename(const char* path, bool clobber)
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (path[0] == '/')
		return _MoveToPath(path, clobber);
	return _MoveToPath(join_path(_Folder(), path), clobber);
}

status_t
BEntry::MoveTo(BDirectory* directory, const char* path, bool clobber)
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (path != nullptr && path[0] == '/')
		return _MoveToPath(path, clobber);
	if (directory == nullptr || directory->InitCheck() != B_OK)
		return B_BAD_VALUE;
	std::string name = path != nullptr && path[0] != '\0' ? path : _Leaf();
	return _MoveToPath(join_path(directory->_NodePath(), name), clobber);
}

status_t
BEntry::_MoveToPath(const std::string& target, bool clobber)
{
	if (fPath == "/")
		return B_NOT_ALLOWED;
	BEntry destination;
	status_t status = destination._SetToPath(target, false);
	if (status != B_OK)
		return status;
	const std::string& to = destination.fPath;
	if (to == fPath)
		return B_OK;

	struct stat source;
	if (lstat(fPath.c_str(), &source) != 0)
		return status_from_errno();
	struct stat existing;
	bool targetExists = lstat(to.c_str(), &existing) == 0;
	if (targetExists && !clobber)
		return B_FILE_EXISTS;

	bool isLink = S_ISLNK(source.st_mode);
	if (isLink) {
		// The attributes are copied first, so a failed rename loses nothing.
		struct stat folder;
		if (stat(path_folder(to).c_str(), &folder) == 0 && folder.st_dev != source.st_dev)
			return B_CROSS_DEVICE_LINK;
		status = attribute_store::CopyLinkAttributes(fPath, to);
		if (status != B_OK)
			return status;
	}

	int result;
	if (clobber) {
		result = rename(fPath.c_str(), to.c_str());
	} else {
		result = renameat2(AT_FDCWD, fPath.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
		// Some file systems cannot promise "no replace"; the check above stands in.
		if (result != 0 && (errno == EINVAL || errno == ENOSYS))
			result = rename(fPath.c_str(), to.c_str());
	}
	if (result != 0) {
		status = status_from_errno();
		if (isLink)
			attribute_store::RemoveLinkAttributes(to);
		return status;
	}

	if (isLink)
		attribute_store::RemoveLinkAttributes(fPath);
	else if (targetExists && S_ISLNK(existing.st_mode))
		attribute_store::RemoveLinkAttributes(to);
	fPath = to;
	return B_OK;
}

status_t
BEntry::Remove()
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct stat st;
	if (lstat(fPath.c_str(), &st) != 0)
		return status_from_errno();
	int result = S_ISDIR(st.st_mode) ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
	if (result != 0)
		return status_from_errno();
	if (S_ISLNK(st.st_mode))
		attribute_store::RemoveLinkAttributes(fPath);
	return B_OK;
}

bool
BEntry::operator==(const BEntry& item) const
{
	if (fStatus != B_OK || item.fStatus != B_OK)
		return fStatus == item.fStatus;
	return fPath == item.fPath;
}

bool
BEntry::operator!=(const BEntry& item) const
{
	return !(*this == item);
}

BEntry&
BEntry::operator=(const BEntry& item)
{
	fPath = item.fPath;
	fStatus = item.fStatus;
	return *this;
}

status_t
BEntry::_GetLocation(NodeLocation* location) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct stat st;
	if (lstat(fPath.c_str(), &st) != 0)
		return status_from_errno();
	location->path = fPath;
	location->fd = -1;
	location->isLink = S_ISLNK(st.st_mode);
	return B_OK;
}

status_t
get_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == nullptr || ref == nullptr)
		return B_BAD_VALUE;
	BEntry entry(path);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return status;
	return entry.GetRef(ref);
}

bool
operator<(const entry_ref& a, const entry_ref& b)
{
	if (a.device != b.device)
		return a.device < b.device;
	if (a.directory != b.directory)
		return a.directory < b.directory;
	if (a.name == nullptr || b.name == nullptr)
		return a.name == nullptr && b.name != nullptr;
	return strcmp(a.name, b.name) < 0;
}

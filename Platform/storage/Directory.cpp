#include <Directory.h>

#include <Entry.h>
#include <File.h>
#include <SymLink.h>

#include "AttributeStore.h"
#include "FolderIndex.h"
#include "StoragePrivate.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

BEntryList::BEntryList() { }

BEntryList::~BEntryList() { }

BDirectory::BDirectory() :
	fStream(nullptr),
	fDevice(0),
	fInode(0)
{
}

BDirectory::BDirectory(const BDirectory& dir) :
	BNode(),
	BEntryList(),
	fStream(nullptr),
	fDevice(0),
	fInode(0)
{
	*this = dir;
}

BDirectory::BDirectory(const entry_ref* ref) :
	BDirectory()
{
	SetTo(ref);
}

BDirectory::BDirectory(const node_ref* nref) :
	BDirectory()
{
	SetTo(nref);
}

BDirectory::BDirectory(const BEntry* entry) :
	BDirectory()
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path) :
	BDirectory()
{
	SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path) :
	BDirectory()
{
	SetTo(dir, path);
}

BDirectory::~BDirectory()
{
	_CloseStream();
}

status_t
BDirectory::SetTo(const entry_ref* ref)
{
	BEntry entry(ref, true);
	return SetTo(&entry);
}

status_t
BDirectory::SetTo(const node_ref* nref)
{
	Unset();
	if (nref == nullptr) {
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	std::string path;
	status_t status = resolve_folder(nref->device, nref->node, &path);
	if (status != B_OK) {
		_SetStatus(status);
		return status;
	}
	return _OpenDirectory(path);
}

status_t
BDirectory::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr) {
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	if (entry->InitCheck() != B_OK) {
		_SetStatus(entry->InitCheck());
		return entry->InitCheck();
	}
	// A link to a folder opens the folder.
	BEntry target;
	status_t status = target._SetToPath(entry->_Path(), true);
	if (status != B_OK) {
		_SetStatus(status);
		return status;
	}
	return _OpenDirectory(target._Path());
}

status_t
BDirectory::SetTo(const char* path)
{
	BEntry entry(path, true);
	return SetTo(&entry);
}

status_t
BDirectory::SetTo(const BDirectory* dir, const char* path)
{
	BEntry entry(dir, path, true);
	return SetTo(&entry);
}

void
BDirectory::Unset()
{
	_CloseStream();
	BNode::Unset();
	fDevice = 0;
	fInode = 0;
}

status_t
BDirectory::_OpenDirectory(const std::string& path)
{
	_CloseStream();
	status_t status = _Open(path, O_RDONLY | O_DIRECTORY, true);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(_Fd(), &st) != 0) {
		status = status_from_errno();
		Unset();
		_SetStatus(status);
		return status;
	}
	fDevice = st.st_dev;
	fInode = st.st_ino;
	remember_folder(fDevice, fInode, path);
	return B_OK;
}

void
BDirectory::_CloseStream()
{
	if (fStream != nullptr)
		closedir(fStream);
	fStream = nullptr;
}

std::string
BDirectory::_Resolve(const char* path) const
{
	if (path[0] == '/')
		return path;
	return join_path(_NodePath(), path);
}

struct dirent*
BDirectory::_NextDirent()
{
	if (fStream == nullptr) {
		// A stream of its own, so the node's descriptor keeps no reading position.
		int fd = openat(_Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
		if (fd < 0)
			return nullptr;
		fStream = fdopendir(fd);
		if (fStream == nullptr) {
			close(fd);
			return nullptr;
		}
	}
	while (struct dirent* entry = readdir(fStream)) {
		const char* name = entry->d_name;
		if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
			continue;
		return entry;
	}
	return nullptr;
}

status_t
BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK) {
		entry->Unset();
		return B_NO_INIT;
	}
	return entry->_SetToPath(_NodePath(), false);
}

bool
BDirectory::IsRootDirectory() const
{
	if (InitCheck() != B_OK)
		return false;
	struct stat parent;
	if (fstatat(_Fd(), "..", &parent, 0) != 0)
		return false;
	return parent.st_dev != fDevice || parent.st_ino == fInode;
}

status_t
BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (path == nullptr || entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	status_t status = entry->SetTo(_Resolve(path).c_str(), traverse);
	if (status != B_OK)
		return status;
	if (!entry->Exists()) {
		entry->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	return B_OK;
}

bool
BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (path == nullptr || InitCheck() != B_OK)
		return false;
	BEntry entry(_Resolve(path).c_str());
	return Contains(&entry, nodeFlags);
}

bool
BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (entry == nullptr || InitCheck() != B_OK || entry->InitCheck() != B_OK)
		return false;
	struct stat st;
	if (entry->GetStat(&st) != B_OK)
		return false;
	if ((S_ISREG(st.st_mode) && (nodeFlags & B_FILE_NODE) == 0)
		|| (S_ISDIR(st.st_mode) && (nodeFlags & B_DIRECTORY_NODE) == 0)
		|| (S_ISLNK(st.st_mode) && (nodeFlags & B_SYMLINK_NODE) == 0)) {
		return false;
	}
	// BeOS behaviour: a folder contains itself.
	const std::string& folder = _NodePath();
	const std::string& path = entry->_Path();
	if (folder == "/")
		return true;
	return path.compare(0, folder.size(), folder) == 0
		&& (path.size() == folder.size() || path[folder.size()] == '/');
}

status_t
BDirectory::GetStatFor(const char* path, struct stat* st) const
{
	if (st == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	if (path == nullptr || path[0] == '\0')
		return GetStat(st);
	return lstat(_Resolve(path).c_str(), st) == 0 ? B_OK : status_from_errno();
}

status_t
BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	struct dirent* next = _NextDirent();
	if (next == nullptr) {
		entry->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	std::string path = join_path(_NodePath(), next->d_name);
	if (traverse)
		return entry->_SetToPath(path, true);
	// The folder's own path is canonical already: no need to resolve it again.
	entry->fPath = path;
	entry->fStatus = B_OK;
	return B_OK;
}

status_t
BDirectory::GetNextRef(entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	struct dirent* next = _NextDirent();
	if (next == nullptr)
		return B_ENTRY_NOT_FOUND;
	ref->device = fDevice;
	ref->directory = fInode;
	return ref->set_name(next->d_name);
}

int32
BDirectory::GetNextDirents(struct dirent* buffer, size_t length, int32 count)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	int32 found = 0;
	size_t used = 0;
	char* out = (char*)buffer;
	while (found < count) {
		long position = fStream != nullptr ? telldir(fStream) : 0;
		struct dirent* next = _NextDirent();
		if (next == nullptr)
			break;
		size_t nameLength = strlen(next->d_name);
		size_t size = (offsetof(struct dirent, d_name) + nameLength + 1 + 7) & ~(size_t)7;
		if (used + size > length) {
			// Put it back for the next call.
			seekdir(fStream, position);
			if (found == 0)
				return B_BUFFER_OVERFLOW;
			break;
		}
		struct dirent* record = (struct dirent*)(out + used);
		record->d_ino = next->d_ino;
		record->d_off = next->d_off;
		record->d_reclen = (unsigned short)size;
		record->d_type = next->d_type;
		memcpy(record->d_name, next->d_name, nameLength + 1);
		used += size;
		found++;
	}
	return found;
}

status_t
BDirectory::Rewind()
{
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	if (fStream != nullptr)
		rewinddir(fStream);
	return B_OK;
}

int32
BDirectory::CountEntries()
{
	status_t status = Rewind();
	if (status != B_OK)
		return status;
	int32 count = 0;
	while (_NextDirent() != nullptr)
		count++;
	Rewind();
	return count;
}

status_t
BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	std::string full = _Resolve(path);
	if (mkdir(full.c_str(), 0777) != 0)
		return status_from_errno();
	if (dir != nullptr)
		return dir->SetTo(full.c_str());
	return B_OK;
}

status_t
BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	uint32 openMode =
		B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
	BFile local;
	BFile* target = file != nullptr ? file : &local;
	return target->SetTo(_Resolve(path).c_str(), openMode);
}

status_t
BDirectory::CreateSymLink(const char* path, const char* linkToPath, BSymLink* link)
{
	if (path == nullptr || linkToPath == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	std::string full = _Resolve(path);
	if (symlink(linkToPath, full.c_str()) != 0)
		return status_from_errno();
	// Whatever the folder still keeps for an earlier link of this name is stale now.
	attribute_store::RemoveLinkAttributes(full);
	if (link != nullptr)
		return link->SetTo(full.c_str());
	return B_OK;
}

BDirectory&
BDirectory::operator=(const BDirectory& dir)
{
	if (this == &dir)
		return *this;
	_CloseStream();
	BNode::operator=(dir);
	fDevice = dir.fDevice;
	fInode = dir.fInode;
	return *this;
}

status_t
create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string full = absolute_path(path);
	if (full.empty())
		return B_ENTRY_NOT_FOUND;
	size_t position = 0;
	while (position != std::string::npos) {
		position = full.find('/', position + 1);
		std::string prefix = full.substr(0, position);
		if (mkdir(prefix.c_str(), mode) == 0)
			continue;
		if (errno != EEXIST)
			return status_from_errno();
		struct stat st;
		if (stat(prefix.c_str(), &st) != 0)
			return status_from_errno();
		if (!S_ISDIR(st.st_mode))
			return B_NOT_A_DIRECTORY;
	}
	return B_OK;
}

#include <Node.h>

#include <Directory.h>
#include <Entry.h>

#include "AttributeStore.h"
#include "StoragePrivate.h"

#if __has_include(<String.h>)
#include <String.h>
#include <TypeConstants.h>
#define STORAGE_HAS_BSTRING 1
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

BNode::BNode() :
	fFd(-1),
	fIsLink(false),
	fPathOnly(false),
	fStatus(B_NO_INIT),
	fAttrIndex(0),
	fAttrsListed(false)
{
}

BNode::BNode(const entry_ref* ref) :
	BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry) :
	BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path) :
	BNode()
{
	SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path) :
	BNode()
{
	SetTo(dir, path);
}

BNode::BNode(const BNode& node) :
	BNode()
{
	*this = node;
}

BNode::~BNode()
{
	_Close();
}

status_t
BNode::InitCheck() const
{
	return fStatus;
}

status_t
BNode::GetStat(struct stat* st) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (st == nullptr)
		return B_BAD_VALUE;
	return fstat(fFd, st) == 0 ? B_OK : status_from_errno();
}

status_t
BNode::SetTo(const entry_ref* ref)
{
	BEntry entry(ref);
	return SetTo(&entry);
}

status_t
BNode::SetTo(const BEntry* entry)
{
	if (entry == nullptr) {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	if (entry->InitCheck() != B_OK) {
		Unset();
		return fStatus = entry->InitCheck();
	}
	return _Open(entry->_Path(), kNodeOnly, false);
}

status_t
BNode::SetTo(const char* path)
{
	BEntry entry(path);
	return SetTo(&entry);
}

status_t
BNode::SetTo(const BDirectory* dir, const char* path)
{
	BEntry entry(dir, path);
	return SetTo(&entry);
}

void
BNode::Unset()
{
	_Close();
	fStatus = B_NO_INIT;
}

status_t
BNode::_Open(const std::string& path, int flags, bool follow, mode_t mode)
{
	_Close();
	int fd;
	if (flags == kNodeOnly) {
		// Only stat and attributes are needed: a FIFO must not block, a link is opened as
		// itself, and a node that cannot be read is still named through O_PATH.
		fd = open(
			path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
		if (fd < 0 && errno == ELOOP && !follow) {
			fd = open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
			struct stat st;
			if (fd >= 0 && fstat(fd, &st) == 0 && S_ISLNK(st.st_mode)) {
				fIsLink = true;
				fPathOnly = true;
			} else if (fd >= 0) {
				close(fd);
				fd = -1;
				errno = ELOOP;
			}
		} else if (fd < 0 && (errno == EACCES || errno == EPERM || errno == ENXIO)) {
			fd = open(path.c_str(), O_PATH | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
			fPathOnly = fd >= 0;
		}
	} else {
		fd = open(path.c_str(), flags | O_NOCTTY | O_CLOEXEC, mode);
	}
	if (fd < 0) {
		fStatus = status_from_errno();
		fIsLink = false;
		fPathOnly = false;
		return fStatus;
	}
	fFd = fd;
	fPath = path;
	return fStatus = B_OK;
}

void
BNode::_Close()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fPath.clear();
	fIsLink = false;
	fPathOnly = false;
	fStatus = B_NO_INIT;
	fAttrNames.clear();
	fAttrIndex = 0;
	fAttrsListed = false;
}

status_t
BNode::_GetLocation(NodeLocation* location) const
{
	if (fStatus != B_OK)
		return fStatus;
	location->path = fPath;
	location->fd = fPathOnly ? -1 : fFd;
	location->isLink = fIsLink;
	return B_OK;
}

status_t
BNode::Sync()
{
	if (fStatus != B_OK)
		return B_FILE_ERROR;
	if (fPathOnly)
		return B_OK;
	return fsync(fFd) == 0 ? B_OK : status_from_errno();
}

ssize_t
BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer, size_t length)
{
	NodeLocation location;
	if (_GetLocation(&location) != B_OK)
		return B_FILE_ERROR;
	return attribute_store::Write(location, name, type, offset, buffer, length);
}

ssize_t
BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer, size_t length) const
{
	NodeLocation location;
	if (_GetLocation(&location) != B_OK)
		return B_FILE_ERROR;
	return attribute_store::Read(location, name, offset, buffer, length);
}

status_t
BNode::RemoveAttr(const char* name)
{
	NodeLocation location;
	if (_GetLocation(&location) != B_OK)
		return B_FILE_ERROR;
	return attribute_store::Remove(location, name);
}

status_t
BNode::RenameAttr(const char* oldName, const char* newName)
{
	if (oldName == nullptr || newName == nullptr)
		return B_BAD_VALUE;
	attr_info info;
	status_t status = GetAttrInfo(oldName, &info);
	if (status != B_OK)
		return status;
	if (strcmp(oldName, newName) == 0)
		return B_OK;
	std::vector<char> data(info.size);
	ssize_t read = ReadAttr(oldName, info.type, 0, data.data(), data.size());
	if (read < 0)
		return read;
	RemoveAttr(newName);
	ssize_t written = WriteAttr(newName, info.type, 0, data.data(), read);
	if (written < 0)
		return written;
	return RemoveAttr(oldName);
}

status_t
BNode::GetAttrInfo(const char* name, struct attr_info* info) const
{
	NodeLocation location;
	if (_GetLocation(&location) != B_OK)
		return B_FILE_ERROR;
	return attribute_store::GetInfo(location, name, info);
}

status_t
BNode::GetNextAttrName(char* buffer)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	NodeLocation location;
	if (_GetLocation(&location) != B_OK)
		return B_FILE_ERROR;
	if (!fAttrsListed) {
		status_t status = attribute_store::List(location, &fAttrNames);
		if (status != B_OK)
			return status;
		fAttrsListed = true;
		fAttrIndex = 0;
	}
	if (fAttrIndex >= fAttrNames.size())
		return B_ENTRY_NOT_FOUND;
	snprintf(buffer, B_ATTR_NAME_LENGTH, "%s", fAttrNames[fAttrIndex++].c_str());
	return B_OK;
}

status_t
BNode::RewindAttrs()
{
	if (fStatus != B_OK)
		return B_FILE_ERROR;
	fAttrNames.clear();
	fAttrIndex = 0;
	fAttrsListed = false;
	return B_OK;
}


#ifdef STORAGE_HAS_BSTRING
status_t
BNode::WriteAttrString(const char* name, const BString* data)
{
	if (name == nullptr || data == nullptr)
		return B_BAD_VALUE;
	// BeOS behaviour: the string is stored with its terminating NUL.
	size_t length = data->Length() + 1;
	ssize_t written = WriteAttr(name, B_STRING_TYPE, 0, data->String(), length);
	if (written < 0)
		return written;
	return written == (ssize_t)length ? B_OK : B_IO_ERROR;
}

status_t
BNode::ReadAttrString(const char* name, BString* result) const
{
	if (name == nullptr || result == nullptr)
		return B_BAD_VALUE;
	attr_info info;
	status_t status = GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	std::vector<char> data(info.size + 1, '\0');
	ssize_t read = ReadAttr(name, B_STRING_TYPE, 0, data.data(), info.size);
	if (read < 0)
		return read;
	data[read] = '\0';
	result->SetTo(data.data());
	return B_OK;
}
#endif


BNode&
BNode::operator=(const BNode& node)
{
	if (this == &node)
		return *this;
	_Close();
	if (node.fStatus != B_OK) {
		fStatus = node.fStatus;
		return *this;
	}
	int fd = fcntl(node.fFd, F_DUPFD_CLOEXEC, 0);
	if (fd < 0) {
		fStatus = status_from_errno();
		return *this;
	}
	fFd = fd;
	fPath = node.fPath;
	fIsLink = node.fIsLink;
	fPathOnly = node.fPathOnly;
	fStatus = B_OK;
	return *this;
}

bool
BNode::operator==(const BNode& node) const
{
	if (fStatus != B_OK || node.fStatus != B_OK)
		return fStatus != B_OK && node.fStatus != B_OK;
	node_ref mine;
	node_ref theirs;
	return GetNodeRef(&mine) == B_OK && node.GetNodeRef(&theirs) == B_OK && mine == theirs;
}

bool
BNode::operator!=(const BNode& node) const
{
	return !(*this == node);
}

int
BNode::Dup()
{
	if (fStatus != B_OK)
		return B_FILE_ERROR;
	int fd = fcntl(fFd, F_DUPFD_CLOEXEC, 0);
	return fd >= 0 ? fd : status_from_errno();
}

#include <File.h>

#include <Directory.h>
#include <Entry.h>

#include "StoragePrivate.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

const uint32 kOpenModeMask = O_ACCMODE | O_CREAT | O_TRUNC | O_EXCL | O_APPEND;

} // namespace

BFile::BFile() :
	fMode(0)
{
}

BFile::BFile(const BFile& file) :
	BNode(file),
	fMode(file.fMode)
{
}

BFile::BFile(const entry_ref* ref, uint32 openMode) :
	fMode(0)
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) :
	fMode(0)
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) :
	fMode(0)
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) :
	fMode(0)
{
	SetTo(dir, path, openMode);
}

BFile::~BFile() { }

status_t
BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	BEntry entry(ref);
	return SetTo(&entry, openMode);
}

status_t
BFile::SetTo(const BEntry* entry, uint32 openMode)
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
	return _OpenFile(entry->_Path(), openMode);
}

status_t
BFile::SetTo(const char* path, uint32 openMode)
{
	BEntry entry(path);
	return SetTo(&entry, openMode);
}

status_t
BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	BEntry entry(dir, path);
	return SetTo(&entry, openMode);
}

void
BFile::Unset()
{
	BNode::Unset();
	fMode = 0;
}

status_t
BFile::_OpenFile(const std::string& path, uint32 openMode)
{
	// The kernel follows a link to the file; the node is the file itself.
	status_t status = _Open(path, openMode & kOpenModeMask, true, 0666);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(_Fd(), &st) == 0 && S_ISDIR(st.st_mode)) {
		Unset();
		_SetStatus(B_IS_A_DIRECTORY);
		return B_IS_A_DIRECTORY;
	}
	fMode = openMode;
	return B_OK;
}

bool
BFile::IsReadable() const
{
	int access = fMode & O_ACCMODE;
	return InitCheck() == B_OK && (access == O_RDONLY || access == O_RDWR);
}

bool
BFile::IsWritable() const
{
	int access = fMode & O_ACCMODE;
	return InitCheck() == B_OK && (access == O_WRONLY || access == O_RDWR);
}

ssize_t
BFile::Read(void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	ssize_t result;
	do
		result = read(_Fd(), buffer, size);
	while (result < 0 && errno == EINTR);
	return result >= 0 ? result : status_from_errno();
}

ssize_t
BFile::ReadAt(off_t location, void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (location < 0)
		return B_BAD_VALUE;
	size_t done = 0;
	while (done < size) {
		ssize_t result = pread(_Fd(), (char*)buffer + done, size - done, location + done);
		if (result < 0 && errno == EINTR)
			continue;
		if (result < 0)
			return done > 0 ? (ssize_t)done : status_from_errno();
		if (result == 0)
			break;
		done += result;
	}
	return done;
}

ssize_t
BFile::Write(const void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	size_t done = 0;
	while (done < size) {
		ssize_t result = write(_Fd(), (const char*)buffer + done, size - done);
		if (result < 0 && errno == EINTR)
			continue;
		if (result < 0)
			return done > 0 ? (ssize_t)done : status_from_errno();
		done += result;
	}
	return done;
}

ssize_t
BFile::WriteAt(off_t location, const void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (location < 0)
		return B_BAD_VALUE;
	size_t done = 0;
	while (done < size) {
		ssize_t result = pwrite(_Fd(), (const char*)buffer + done, size - done, location + done);
		if (result < 0 && errno == EINTR)
			continue;
		if (result < 0)
			return done > 0 ? (ssize_t)done : status_from_errno();
		done += result;
	}
	return done;
}

off_t
BFile::Seek(off_t offset, uint32 seekMode)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	off_t result = lseek(_Fd(), offset, (int)seekMode);
	return result >= 0 ? result : (off_t)status_from_errno();
}

off_t
BFile::Position() const
{
	if (InitCheck() != B_OK)
		return InitCheck();
	off_t result = lseek(_Fd(), 0, SEEK_CUR);
	return result >= 0 ? result : (off_t)status_from_errno();
}

status_t
BFile::SetSize(off_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(_Fd(), size) == 0 ? B_OK : status_from_errno();
}

status_t
BFile::GetSize(off_t* size) const
{
	return BNode::GetSize(size);
}

BFile&
BFile::operator=(const BFile& file)
{
	if (this == &file)
		return *this;
	BNode::operator=(file);
	fMode = file.fMode;
	return *this;
}

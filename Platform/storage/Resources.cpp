#include <Resources.h>

#include "ResourceFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using BPrivate::ResourceContainerInfo;
using BPrivate::ResourceRecord;

struct BResources::Data {
	int fd = -1;
	uint64 size = 0;
	bool writable = false;
	bool modified = false;
	status_t status = B_NO_INIT;
	ResourceContainerInfo info;
	std::vector<ResourceRecord> records;

	~Data()
	{
		if (fd >= 0)
			close(fd);
	}

	int Find(type_code type, int32 id) const
	{
		for (size_t i = 0; i < records.size(); i++) {
			if (records[i].type == type && records[i].id == id)
				return (int)i;
		}
		return -1;
	}

	int Find(type_code type, const char* name) const
	{
		if (name == nullptr)
			return -1;
		for (size_t i = 0; i < records.size(); i++) {
			if (records[i].type == type && records[i].name == name)
				return (int)i;
		}
		return -1;
	}

	int Find(const void* pointer) const
	{
		if (pointer == nullptr)
			return -1;
		for (size_t i = 0; i < records.size(); i++) {
			if (records[i].loaded && records[i].data.data() == pointer)
				return (int)i;
		}
		return -1;
	}
};

namespace {

// A resource that grows past this while it is written piece by piece moves out of memory
// into a spool file, so that writing a large resource holds only the pieces in hand.
const uint64 kSpoolThreshold = 1024 * 1024;

// A file without a name that holds one resource's bytes until the container is written.
// It lies in the folder of the resource file, so that it is on the same volume and
// nothing of it is left behind when the process ends.
class SpoolSource : public BPrivate::ResourceSource {
public:
	explicit SpoolSource(int fd) :
		fFd(fd)
	{
	}

	virtual ~SpoolSource() { close(fFd); }

	SpoolSource(const SpoolSource&) = delete;
	SpoolSource& operator=(const SpoolSource&) = delete;

	virtual uint64 Size() const { return fSize; }

	virtual status_t ReadAt(uint64 offset, void* buffer, size_t length) const
	{
		if (offset > fSize || length > fSize - offset)
			return B_BAD_VALUE;
		return BPrivate::FdResourceSource(fFd, fSize).ReadAt(offset, buffer, length);
	}

	status_t WriteAt(uint64 offset, const void* data, size_t length)
	{
		const uint8* bytes = static_cast<const uint8*>(data);
		for (size_t done = 0; done < length;) {
			ssize_t written = pwrite(fFd, bytes + done, length - done, (off_t)(offset + done));
			if (written < 0 && errno == EINTR)
				continue;
			if (written <= 0)
				return written < 0 ? B_FROM_POSIX_ERROR(errno) : B_IO_ERROR;
			done += (size_t)written;
		}
		fSize = std::max<uint64>(fSize, offset + length);
		return B_OK;
	}

	// Grows the spool to size with zeros (a write past the end leaves a gap).
	status_t Extend(uint64 size)
	{
		if (size > fSize) {
			if (ftruncate(fFd, (off_t)size) != 0)
				return B_FROM_POSIX_ERROR(errno);
			fSize = size;
		}
		return B_OK;
	}

private:
	int fFd;
	uint64 fSize = 0;
};

// The path the descriptor's node has now, checked to still name that node (a removed
// or replaced file has no path to rewrite).
status_t
path_of_descriptor(int fd, std::string* path)
{
	char link[64];
	snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
	char buffer[PATH_MAX];
	ssize_t length = readlink(link, buffer, sizeof(buffer) - 1);
	if (length < 0)
		return B_FROM_POSIX_ERROR(errno);
	buffer[length] = '\0';
	struct stat byPath, byDescriptor;
	if (stat(buffer, &byPath) != 0 || fstat(fd, &byDescriptor) != 0
		|| byPath.st_dev != byDescriptor.st_dev || byPath.st_ino != byDescriptor.st_ino) {
		return B_ENTRY_NOT_FOUND;
	}
	*path = buffer;
	return B_OK;
}

// Copies the user attributes (and the platform's hidden type records, which live in the
// same namespace) from one file to another. A volume without attributes has none.
status_t
copy_user_attributes(int from, int to)
{
	ssize_t listSize = flistxattr(from, nullptr, 0);
	if (listSize <= 0)
		return B_OK;
	std::vector<char> names((size_t)listSize);
	listSize = flistxattr(from, names.data(), names.size());
	if (listSize < 0)
		return B_OK;
	std::vector<char> value;
	for (ssize_t at = 0; at < listSize; at += (ssize_t)strlen(&names[(size_t)at]) + 1) {
		const char* name = &names[(size_t)at];
		if (strncmp(name, "user.", 5) != 0)
			continue;
		ssize_t size = fgetxattr(from, name, nullptr, 0);
		if (size < 0)
			continue;
		value.resize((size_t)size);
		size = fgetxattr(from, name, value.data(), value.size());
		if (size < 0)
			continue;
		if (fsetxattr(to, name, value.data(), (size_t)size, 0) != 0)
			return B_FROM_POSIX_ERROR(errno);
	}
	return B_OK;
}

// A read-only descriptor of the node that fd is open on. The container never writes
// through its descriptor, and a descriptor open for writing would keep the file from
// being run (ETXTBSY) for as long as the container lives. Takes fd over.
int
read_only_descriptor(int fd)
{
	char link[64];
	snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
	int readOnly = open(link, O_RDONLY | O_CLOEXEC);
	if (readOnly < 0)
		return fd;
	close(fd);
	return readOnly;
}

uint64
descriptor_size(int fd)
{
	struct stat st;
	if (fstat(fd, &st) != 0)
		return 0;
	return (uint64)st.st_size;
}

} // namespace

BResources::BResources() :
	fData(std::make_unique<Data>())
{
}

BResources::BResources(const BFile* file, bool clobber) :
	fData(std::make_unique<Data>())
{
	SetTo(file, clobber);
}

BResources::~BResources()
{
	Unset();
}

status_t
BResources::SetTo(const BFile* file, bool clobber)
{
	return _SetTo(file, clobber, false);
}

status_t
BResources::SetTo(const char* path, bool clobber)
{
	if (path == nullptr) {
		Unset();
		return fData->status = B_BAD_VALUE;
	}
	BFile file(path, B_READ_WRITE);
	bool replaceable = false;
	if (file.InitCheck() != B_OK) {
		// A program that is running cannot be opened for writing, but its file can still
		// be replaced by a new one, which is how the container writes.
		int fd = open(path, O_RDWR | O_CLOEXEC);
		replaceable = fd < 0 && errno == ETXTBSY;
		if (fd >= 0)
			close(fd);
		file.SetTo(path, B_READ_ONLY);
	}
	if (file.InitCheck() != B_OK) {
		Unset();
		return fData->status = file.InitCheck();
	}
	return _SetTo(&file, clobber, replaceable);
}

status_t
BResources::_SetTo(const BFile* file, bool clobber, bool replaceable)
{
	// file may be this container's own File().
	BFile given;
	if (file != nullptr)
		given = *file;
	Unset();
	status_t status = file != nullptr ? _Attach(&given, clobber, replaceable) : B_BAD_VALUE;
	if (status != B_OK) {
		fData = std::make_unique<Data>();
		fFile.Unset();
	}
	fData->status = status;
	return status;
}

status_t
BResources::_Attach(const BFile* file, bool clobber, bool replaceable)
{
	if (file->InitCheck() != B_OK)
		return file->InitCheck();

	// Dup() leaves the node as it is; it is only declared without const.
	int fd = const_cast<BFile*>(file)->Dup();
	if (fd < 0)
		return fd;
	fd = read_only_descriptor(fd);
	fData->fd = fd;
	fData->size = descriptor_size(fd);
	fData->writable = file->IsWritable() || replaceable;
	fFile = *file;

	BPrivate::FdResourceSource source(fd, fData->size);
	status_t status = identify_resource_container(source, clobber, &fData->info);
	if (status != B_OK)
		return status;
	status = read_resource_section(source, fData->info, &fData->records);
	if (status != B_OK)
		return status;
	if (clobber) {
		// The file changes on the next write even if nothing is added.
		if (!fData->writable)
			return B_NOT_ALLOWED;
		fData->modified = true;
	}
	return B_OK;
}

void
BResources::Unset()
{
	if (fData->status == B_OK && fData->modified)
		Sync();
	fData = std::make_unique<Data>();
	fFile.Unset();
}

status_t
BResources::InitCheck() const
{
	return fData->status;
}

const BFile&
BResources::File() const
{
	return fFile;
}

status_t
BResources::_Load(int index)
{
	ResourceRecord& record = fData->records[(size_t)index];
	if (record.loaded)
		return B_OK;
	std::vector<uint8> data;
	// A resource of no bytes still gets a valid, unique pointer.
	data.reserve(record.size > 0 ? (size_t)record.size : 1);
	data.resize((size_t)record.size);
	BPrivate::FdResourceSource source(fData->fd, fData->size);
	status_t status = record.spool != nullptr
		? record.spool->ReadAt(0, data.data(), data.size())
		: source.ReadAt(record.offset, data.data(), data.size());
	if (status != B_OK)
		return status;
	record.data = std::move(data);
	record.loaded = true;
	record.spool.reset();
	return B_OK;
}

status_t
BResources::_CheckWritable() const
{
	if (fData->status != B_OK)
		return fData->status;
	if (!fData->writable)
		return B_NOT_ALLOWED;
	if (!resource_container_is_writable(fData->info))
		return B_NOT_SUPPORTED;
	return B_OK;
}

const void*
BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
	int index = fData->Find(type, id);
	if (index < 0 || _Load(index) != B_OK)
		return nullptr;
	if (outSize != nullptr)
		*outSize = (size_t)fData->records[(size_t)index].size;
	return fData->records[(size_t)index].data.data();
}

const void*
BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
	int index = fData->Find(type, name);
	if (index < 0 || _Load(index) != B_OK)
		return nullptr;
	if (outSize != nullptr)
		*outSize = (size_t)fData->records[(size_t)index].size;
	return fData->records[(size_t)index].data.data();
}

status_t
BResources::PreloadResourceType(type_code type)
{
	if (fData->status != B_OK)
		return fData->status;
	for (size_t i = 0; i < fData->records.size(); i++) {
		if (type != 0 && fData->records[i].type != type)
			continue;
		status_t status = _Load((int)i);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t
BResources::Sync()
{
	if (fData->status != B_OK)
		return fData->status;
	if (!fData->modified)
		return B_OK;
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	return _Rewrite();
}

status_t
BResources::_Rewrite()
{
	std::string path;
	status_t status = path_of_descriptor(fData->fd, &path);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(fData->fd, &st) != 0)
		return B_FROM_POSIX_ERROR(errno);

	// A complete new file beside the old one, renamed over it: a running program's
	// image cannot be written to, but it can be replaced.
	size_t slash = path.rfind('/');
	std::string temporary =
		path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".rsrc-XXXXXX";
	int newFd = mkostemp(temporary.data(), O_CLOEXEC);
	if (newFd < 0) {
		if (errno == EACCES || errno == EPERM)
			return _RewriteInPlace(path.c_str());
		return B_FROM_POSIX_ERROR(errno);
	}

	BPrivate::FdResourceSource source(fData->fd, fData->size);
	std::vector<uint64> offsets;
	status = write_resource_file(source, fData->info, fData->records, newFd, &offsets);
	if (status == B_OK) {
		// The owner first: changing it clears set-id bits that the mode then restores.
		if (fchown(newFd, st.st_uid, st.st_gid) != 0 && errno != EPERM)
			status = B_FROM_POSIX_ERROR(errno);
	}
	if (status == B_OK && fchmod(newFd, st.st_mode & 07777) != 0)
		status = B_FROM_POSIX_ERROR(errno);
	if (status == B_OK)
		status = copy_user_attributes(fData->fd, newFd);
	if (status == B_OK && fsync(newFd) != 0)
		status = B_FROM_POSIX_ERROR(errno);
	if (status == B_OK && rename(temporary.c_str(), path.c_str()) != 0)
		status = B_FROM_POSIX_ERROR(errno);
	if (status != B_OK) {
		unlink(temporary.c_str());
		close(newFd);
		return status;
	}

	close(fData->fd);
	fData->fd = read_only_descriptor(newFd);
	fData->size = descriptor_size(fData->fd);
	// Spooled resources lie in the new file now.
	for (size_t i = 0; i < fData->records.size(); i++) {
		fData->records[i].offset = offsets[i];
		fData->records[i].spool.reset();
	}
	BPrivate::FdResourceSource newSource(fData->fd, fData->size);
	identify_resource_container(newSource, false, &fData->info);
	fData->modified = false;
	return B_OK;
}

status_t
BResources::_RewriteInPlace(const char* path)
{
	// The folder takes no new file (a sticky or read-only folder), but the file itself
	// may be writable: write the section over the old one. Every resource is read into
	// memory first, since the data move inside the file being written.
	int fd = open(path, O_WRONLY | O_CLOEXEC);
	if (fd < 0)
		return B_FROM_POSIX_ERROR(errno);
	status_t status = PreloadResourceType(0);
	if (status == B_OK) {
		BPrivate::FdResourceSource source(fData->fd, fData->size);
		std::vector<uint64> offsets;
		status = write_resource_file(source, fData->info, fData->records, fd, &offsets);
		off_t end = lseek(fd, 0, SEEK_CUR);
		if (status == B_OK && (end < 0 || ftruncate(fd, end) != 0))
			status = B_FROM_POSIX_ERROR(errno);
		if (status == B_OK) {
			for (size_t i = 0; i < fData->records.size(); i++)
				fData->records[i].offset = offsets[i];
		}
	}
	close(fd);
	if (status != B_OK)
		return status;
	fData->size = descriptor_size(fData->fd);
	BPrivate::FdResourceSource newSource(fData->fd, fData->size);
	identify_resource_container(newSource, false, &fData->info);
	fData->modified = false;
	return B_OK;
}

status_t
BResources::MergeFrom(BFile* fromFile)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	BResources other;
	status = other.SetTo(fromFile);
	if (status != B_OK)
		return status;
	for (size_t i = 0; i < other.fData->records.size(); i++) {
		status = other._Load((int)i);
		if (status != B_OK)
			return status;
		const ResourceRecord& record = other.fData->records[i];
		status = AddResource(record.type, record.id, record.data.data(), record.data.size(),
			record.name.empty() ? nullptr : record.name.c_str());
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t
BResources::AddResource(type_code type, int32 id, const void* data, size_t length, const char* name)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	if (data == nullptr && length > 0)
		return B_BAD_VALUE;
	if (length > UINT32_MAX)
		return B_BAD_VALUE;
	std::string newName = name != nullptr ? name : "";
	if (newName.size() > BPrivate::kMaxResourceNameLength)
		return B_NAME_TOO_LONG;

	int index = fData->Find(type, id);
	if (index >= 0) {
		ResourceRecord& record = fData->records[(size_t)index];
		// Only a resource of the same size can hold the same bytes.
		if (record.name == newName && record.size == length) {
			status = _Load(index);
			if (status != B_OK)
				return status;
			if (length == 0 || memcmp(record.data.data(), data, length) == 0)
				return B_OK;
		}
		record.name = newName;
		record.data.assign((const uint8*)data, (const uint8*)data + length);
		record.size = length;
		record.loaded = true;
		record.spool.reset();
		fData->modified = true;
		return B_OK;
	}

	if (fData->records.size() >= BPrivate::kMaxResourceCount)
		return B_NO_MEMORY;
	ResourceRecord record;
	record.type = type;
	record.id = id;
	record.name = newName;
	record.data.reserve(length > 0 ? length : 1);
	if (length > 0)
		record.data.assign((const uint8*)data, (const uint8*)data + length);
	record.size = length;
	record.loaded = true;

	// Resources of one type stay together, so that the info table has one block per type.
	size_t position = fData->records.size();
	for (size_t i = fData->records.size(); i > 0; i--) {
		if (fData->records[i - 1].type == type) {
			position = i;
			break;
		}
	}
	fData->records.insert(fData->records.begin() + (long)position, std::move(record));
	fData->modified = true;
	return B_OK;
}

bool
BResources::HasResource(type_code type, int32 id)
{
	return fData->Find(type, id) >= 0;
}

bool
BResources::HasResource(type_code type, const char* name)
{
	return fData->Find(type, name) >= 0;
}

bool
BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
	const char** nameFound, size_t* lengthFound)
{
	if (byIndex < 0 || (size_t)byIndex >= fData->records.size())
		return false;
	const ResourceRecord& record = fData->records[(size_t)byIndex];
	if (typeFound != nullptr)
		*typeFound = record.type;
	if (idFound != nullptr)
		*idFound = record.id;
	if (nameFound != nullptr)
		*nameFound = record.name.c_str();
	if (lengthFound != nullptr)
		*lengthFound = (size_t)record.size;
	return true;
}

bool
BResources::GetResourceInfo(
	type_code byType, int32 andIndex, int32* idFound, const char** nameFound, size_t* lengthFound)
{
	if (andIndex < 0)
		return false;
	int32 seen = 0;
	for (const ResourceRecord& record : fData->records) {
		if (record.type != byType)
			continue;
		if (seen++ != andIndex)
			continue;
		if (idFound != nullptr)
			*idFound = record.id;
		if (nameFound != nullptr)
			*nameFound = record.name.c_str();
		if (lengthFound != nullptr)
			*lengthFound = (size_t)record.size;
		return true;
	}
	return false;
}

bool
BResources::GetResourceInfo(
	type_code byType, int32 andID, const char** nameFound, size_t* lengthFound)
{
	int index = fData->Find(byType, andID);
	if (index < 0)
		return false;
	const ResourceRecord& record = fData->records[(size_t)index];
	if (nameFound != nullptr)
		*nameFound = record.name.c_str();
	if (lengthFound != nullptr)
		*lengthFound = (size_t)record.size;
	return true;
}

bool
BResources::GetResourceInfo(
	type_code byType, const char* andName, int32* idFound, size_t* lengthFound)
{
	int index = fData->Find(byType, andName);
	if (index < 0)
		return false;
	const ResourceRecord& record = fData->records[(size_t)index];
	if (idFound != nullptr)
		*idFound = record.id;
	if (lengthFound != nullptr)
		*lengthFound = (size_t)record.size;
	return true;
}

bool
BResources::GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
	size_t* lengthFound, const char** nameFound)
{
	int index = fData->Find(byPointer);
	if (index < 0)
		return false;
	return GetResourceInfo(index, typeFound, idFound, nameFound, lengthFound);
}

status_t
BResources::RemoveResource(const void* resource)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	int index = fData->Find(resource);
	if (index < 0)
		return B_BAD_VALUE;
	fData->records.erase(fData->records.begin() + index);
	fData->modified = true;
	return B_OK;
}

status_t
BResources::RemoveResource(type_code type, int32 id)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	int index = fData->Find(type, id);
	if (index < 0)
		return B_BAD_VALUE;
	fData->records.erase(fData->records.begin() + index);
	fData->modified = true;
	return B_OK;
}

status_t
BResources::WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	int index = fData->Find(type, id);
	if (index < 0 || offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	if ((uint64)offset > UINT32_MAX || length > UINT32_MAX - (uint64)offset)
		return B_BAD_VALUE;

	ResourceRecord& record = fData->records[(size_t)index];
	uint64 end = (uint64)offset + length;
	if (end <= record.size) {
		// The same bytes again change nothing.
		std::vector<uint8> present(length);
		if (length == 0
			|| (ReadResource(type, id, present.data(), offset, length) == B_OK
				&& memcmp(present.data(), data, length) == 0)) {
			return B_OK;
		}
	}

	if (record.spool == nullptr && std::max(end, record.size) > kSpoolThreshold)
		_Spool(index);
	if (record.spool != nullptr) {
		auto spool = std::const_pointer_cast<SpoolSource>(
			std::static_pointer_cast<const SpoolSource>(record.spool));
		status = spool->Extend((uint64)offset);
		if (status == B_OK && length > 0)
			status = spool->WriteAt((uint64)offset, data, length);
		if (status != B_OK)
			return status;
		record.size = spool->Size();
		fData->modified = true;
		return B_OK;
	}

	status = _Load(index);
	if (status != B_OK)
		return status;
	if (end > record.data.size())
		record.data.resize((size_t)end, 0);
	if (length > 0)
		memcpy(record.data.data() + offset, data, length);
	record.size = record.data.size();
	fData->modified = true;
	return B_OK;
}

status_t
BResources::_Spool(int index)
{
	// Without a folder that takes a nameless file the resource simply stays in memory.
	std::string path;
	if (path_of_descriptor(fData->fd, &path) != B_OK)
		return B_ERROR;
	size_t slash = path.rfind('/');
	std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
	int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
	if (fd < 0)
		return B_FROM_POSIX_ERROR(errno);
	auto spool = std::make_shared<SpoolSource>(fd);

	ResourceRecord& record = fData->records[(size_t)index];
	status_t status = B_OK;
	if (record.loaded)
		status = spool->WriteAt(0, record.data.data(), record.data.size());
	else {
		BPrivate::FdResourceSource source(fData->fd, fData->size);
		std::vector<uint8> buffer(std::min<uint64>(record.size, kSpoolThreshold));
		for (uint64 done = 0; status == B_OK && done < record.size;) {
			size_t chunk = (size_t)std::min<uint64>(record.size - done, buffer.size());
			status = source.ReadAt(record.offset + done, buffer.data(), chunk);
			if (status == B_OK)
				status = spool->WriteAt(done, buffer.data(), chunk);
			done += chunk;
		}
	}
	if (status != B_OK)
		return status;
	record.spool = spool;
	record.loaded = false;
	std::vector<uint8>().swap(record.data);
	return B_OK;
}

status_t
BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length)
{
	if (fData->status != B_OK)
		return fData->status;
	int index = fData->Find(type, id);
	if (index < 0 || offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	const ResourceRecord& record = fData->records[(size_t)index];
	if ((uint64)offset > record.size)
		return B_BAD_VALUE;
	size_t available = (size_t)(record.size - (uint64)offset);
	if (length > available)
		length = available;
	if (length == 0)
		return B_OK;
	if (record.loaded) {
		memcpy(data, record.data.data() + offset, length);
		return B_OK;
	}
	if (record.spool != nullptr)
		return record.spool->ReadAt((uint64)offset, data, length);
	BPrivate::FdResourceSource source(fData->fd, fData->size);
	return source.ReadAt(record.offset + (uint64)offset, data, length);
}

void*
BResources::FindResource(type_code type, int32 id, size_t* lengthFound)
{
	// Read straight into the copy: a large resource is not also kept loaded.
	int index = fData->Find(type, id);
	if (index < 0)
		return nullptr;
	size_t size = (size_t)fData->records[(size_t)index].size;
	void* copy = malloc(size > 0 ? size : 1);
	if (copy == nullptr)
		return nullptr;
	if (ReadResource(type, id, copy, 0, size) != B_OK) {
		free(copy);
		return nullptr;
	}
	if (lengthFound != nullptr)
		*lengthFound = size;
	return copy;
}

void*
BResources::FindResource(type_code type, const char* name, size_t* lengthFound)
{
	int index = fData->Find(type, name);
	if (index < 0)
		return nullptr;
	return FindResource(type, fData->records[(size_t)index].id, lengthFound);
}

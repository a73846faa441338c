#include "AttributeStore.h"

#include <TypeConstants.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace BPrivate {
namespace attribute_store {

namespace {

const char kUserPrefix[] = "user.";
const char kPlatformPrefix[] = "user.beos.";
const char kTypePrefix[] = "user.beos.type.";
const char kLinkRecordPrefix[] = "user.beos.L.";
const char kLinkDataPrefix[] = "user.beos.D.";
const char kLinkTypePrefix[] = "user.beos.T.";
const char kReservedNamePrefix[] = "beos.";
const char kCreationTimeName[] = "beos.crtime";

bool
starts_with(const std::string& text, const char* prefix)
{
	return text.compare(0, strlen(prefix), prefix) == 0;
}

bool
is_unsupported(int error)
{
	return error == ENOTSUP || error == EOPNOTSUPP;
}

status_t
status_for(int error)
{
	if (error == E2BIG)
		return B_FILE_TOO_LARGE;
	return B_FROM_POSIX_ERROR(error);
}

// What tells one link from another made later under the same name: the inode number
// alone is not enough, since file systems hand a freed inode out again at once.
struct LinkIdentity {
	uint64 inode = 0;
	int64 birthSeconds = 0;
	uint32 birthNanoseconds = 0;

	bool operator==(const LinkIdentity& other) const
	{
		return inode == other.inode && birthSeconds == other.birthSeconds
			&& birthNanoseconds == other.birthNanoseconds;
	}
};

const size_t kRecordHeaderSize = 20;

// The identity of the link at path (or behind fd); false when it is no link.
bool
link_identity(int fd, const std::string& path, LinkIdentity* identity)
{
	struct statx info;
	int result = fd >= 0 ? statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW,
					 STATX_TYPE | STATX_INO | STATX_BTIME, &info)
						 : statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
							 STATX_TYPE | STATX_INO | STATX_BTIME, &info);
	if (result != 0 || !S_ISLNK(info.stx_mode))
		return false;
	identity->inode = info.stx_ino;
	if ((info.stx_mask & STATX_BTIME) != 0) {
		identity->birthSeconds = info.stx_btime.tv_sec;
		identity->birthNanoseconds = info.stx_btime.tv_nsec;
	}
	return true;
}

// Where a node's xattrs live and under which names: the node itself, or its folder for
// a symbolic link.
struct Store {
	int fd = -1;
	std::string path;
	std::string dataPrefix;
	std::string typePrefix;
	size_t maxName = kMaxNodeAttrName;

	bool isLink = false;
	std::string folder;
	std::string linkName;
	std::string recordName;
	LinkIdentity identity;

	ssize_t Get(const std::string& name, void* buffer, size_t size) const
	{
		if (fd >= 0)
			return fgetxattr(fd, name.c_str(), buffer, size);
		return lgetxattr(path.c_str(), name.c_str(), buffer, size);
	}

	int Set(const std::string& name, const void* buffer, size_t size, int flags) const
	{
		if (fd >= 0)
			return fsetxattr(fd, name.c_str(), buffer, size, flags);
		return lsetxattr(path.c_str(), name.c_str(), buffer, size, flags);
	}

	int Delete(const std::string& name) const
	{
		if (fd >= 0)
			return fremovexattr(fd, name.c_str());
		return lremovexattr(path.c_str(), name.c_str());
	}

	// All xattr names of the store's node; ENOTSUP gives an empty list.
	status_t ListRaw(std::vector<std::string>* names) const
	{
		names->clear();
		std::vector<char> buffer;
		for (int attempt = 0; attempt < 8; attempt++) {
			ssize_t size =
				fd >= 0 ? flistxattr(fd, nullptr, 0) : llistxattr(path.c_str(), nullptr, 0);
			if (size < 0)
				return is_unsupported(errno) ? B_OK : status_for(errno);
			if (size == 0)
				return B_OK;
			buffer.resize(size);
			size = fd >= 0 ? flistxattr(fd, buffer.data(), buffer.size())
						   : llistxattr(path.c_str(), buffer.data(), buffer.size());
			if (size < 0 && errno == ERANGE)
				continue;
			if (size < 0)
				return is_unsupported(errno) ? B_OK : status_for(errno);
			for (ssize_t start = 0; start < size;) {
				size_t length = strnlen(buffer.data() + start, size - start);
				names->emplace_back(buffer.data() + start, length);
				start += length + 1;
			}
			return B_OK;
		}
		return B_BUSY;
	}

	// The whole value of an xattr.
	status_t GetAll(const std::string& name, std::vector<char>* value) const
	{
		for (int attempt = 0; attempt < 8; attempt++) {
			ssize_t size = Get(name, nullptr, 0);
			if (size < 0)
				return status_for(errno);
			value->resize(size);
			if (size == 0)
				return B_OK;
			ssize_t read = Get(name, value->data(), value->size());
			if (read >= 0) {
				value->resize(read);
				return B_OK;
			}
			if (errno != ERANGE)
				return status_for(errno);
		}
		return B_BUSY;
	}
};

std::string
link_key(const std::string& linkName)
{
	// 64-bit FNV-1a: names of any length give keys of one length.
	uint64 hash = 0xcbf29ce484222325ULL;
	for (unsigned char c : linkName) {
		hash ^= c;
		hash *= 0x100000001b3ULL;
	}
	char key[17];
	snprintf(key, sizeof(key), "%016llx", (unsigned long long)hash);
	return key;
}

void
set_link_names(Store* store, const std::string& linkPath)
{
	store->isLink = true;
	store->fd = -1;
	store->folder = path_folder(linkPath);
	store->path = store->folder;
	store->linkName = path_leaf(linkPath);
	std::string key = link_key(store->linkName);
	store->recordName = kLinkRecordPrefix + key;
	store->dataPrefix = kLinkDataPrefix + key + ".";
	store->typePrefix = kLinkTypePrefix + key + ".";
	store->maxName = kMaxLinkAttrName;
}

status_t
open_store(const NodeLocation& node, Store* store)
{
	if (!node.isLink) {
		store->fd = node.fd;
		store->path = node.path;
		store->dataPrefix = kUserPrefix;
		store->typePrefix = kTypePrefix;
		return B_OK;
	}

	if (!link_identity(node.fd, node.path, &store->identity))
		return B_ENTRY_NOT_FOUND;
	set_link_names(store, node.path);
	return B_OK;
}

struct LinkRecord {
	bool exists = false;
	LinkIdentity identity;
	std::string name;
};

uint64
read_le(const char* bytes, int count)
{
	uint64 value = 0;
	for (int i = count - 1; i >= 0; i--)
		value = (value << 8) | (unsigned char)bytes[i];
	return value;
}

void
append_le(std::string* bytes, uint64 value, int count)
{
	for (int i = 0; i < count; i++)
		*bytes += (char)((value >> (8 * i)) & 0xff);
}

LinkRecord
read_record(const Store& store)
{
	LinkRecord record;
	std::vector<char> value;
	if (store.GetAll(store.recordName, &value) != B_OK || value.size() < kRecordHeaderSize)
		return record;
	record.exists = true;
	record.identity.inode = read_le(value.data(), 8);
	record.identity.birthSeconds = (int64)read_le(value.data() + 8, 8);
	record.identity.birthNanoseconds = (uint32)read_le(value.data() + 16, 4);
	record.name.assign(value.data() + kRecordHeaderSize, value.size() - kRecordHeaderSize);
	return record;
}

// True when the folder still holds the link a record describes.
bool
record_is_live(const Store& store, const LinkRecord& record)
{
	LinkIdentity identity;
	return link_identity(-1, join_path(store.folder, record.name), &identity)
		&& identity == record.identity;
}

bool
record_is_ours(const Store& store)
{
	LinkRecord record = read_record(store);
	return record.exists && record.name == store.linkName && record.identity == store.identity;
}

// Removes everything the folder keeps under the store's link key.
void
clear_link_key(const Store& store)
{
	std::vector<std::string> names;
	if (store.ListRaw(&names) != B_OK)
		return;
	for (const std::string& name : names) {
		if (starts_with(name, store.dataPrefix.c_str())
			|| starts_with(name, store.typePrefix.c_str())) {
			store.Delete(name);
		}
	}
	store.Delete(store.recordName);
}

status_t
write_record(const Store& store)
{
	std::string value;
	append_le(&value, store.identity.inode, 8);
	append_le(&value, (uint64)store.identity.birthSeconds, 8);
	append_le(&value, store.identity.birthNanoseconds, 4);
	value += store.linkName;
	if (store.Set(store.recordName, value.data(), value.size(), 0) != 0)
		return status_for(errno);
	return B_OK;
}

// Drops the link's record once no attribute is left under its key.
void
drop_record_if_empty(const Store& store)
{
	std::vector<std::string> names;
	if (store.ListRaw(&names) != B_OK)
		return;
	for (const std::string& name : names) {
		if (starts_with(name, store.dataPrefix.c_str()))
			return;
	}
	store.Delete(store.recordName);
}

// Makes the folder's record name this link before one of its attributes is written.
status_t
claim_link_key(const Store& store)
{
	LinkRecord record = read_record(store);
	if (record.exists && record.name == store.linkName && record.identity == store.identity)
		return B_OK;
	if (record.exists && record.name != store.linkName && record_is_live(store, record))
		return B_NAME_IN_USE;
	if (record.exists)
		clear_link_key(store);
	return write_record(store);
}

// Checks a public attribute name; internal names pass only when allowed.
status_t
check_name(const Store& store, const char* name, bool internal)
{
	if (name == nullptr || name[0] == '\0')
		return B_BAD_VALUE;
	if (!internal && strncmp(name, kReservedNamePrefix, strlen(kReservedNamePrefix)) == 0)
		return B_NOT_ALLOWED;
	if (strlen(name) > store.maxName)
		return B_NAME_TOO_LONG;
	return B_OK;
}

ssize_t
read_attribute(const NodeLocation& node, const char* name, off_t offset, void* buffer,
	size_t length, bool internal)
{
	if (offset < 0 || (buffer == nullptr && length > 0))
		return B_BAD_VALUE;
	Store store;
	status_t status = open_store(node, &store);
	if (status != B_OK)
		return status;
	status = check_name(store, name, internal);
	if (status == B_NOT_ALLOWED)
		return B_ENTRY_NOT_FOUND;
	if (status != B_OK)
		return status;
	if (store.isLink && !record_is_ours(store))
		return B_ENTRY_NOT_FOUND;

	std::string key = store.dataPrefix + name;
	if (offset == 0 && length > 0) {
		ssize_t read = store.Get(key, buffer, length);
		if (read >= 0)
			return read;
		if (errno != ERANGE)
			return is_unsupported(errno) ? B_ENTRY_NOT_FOUND : status_for(errno);
	}

	std::vector<char> value;
	status = store.GetAll(key, &value);
	if (status != B_OK)
		return status == B_NOT_SUPPORTED ? B_ENTRY_NOT_FOUND : status;
	if ((size_t)offset >= value.size())
		return 0;
	size_t count = std::min(length, value.size() - (size_t)offset);
	if (count > 0)
		memcpy(buffer, value.data() + offset, count);
	return count;
}

// Writes length bytes at offset into the xattr key, keeping the bytes around them.
status_t
write_value(const Store& store, const std::string& key, off_t offset, const void* buffer,
	size_t length, bool* created)
{
	*created = false;
	if (offset == 0) {
		// The usual case writes a new attribute whole: one call.
		if (store.Set(key, buffer, length, XATTR_CREATE) == 0) {
			*created = true;
			return B_OK;
		}
		if (errno != EEXIST)
			return status_for(errno);
	}
	std::vector<char> value;
	status_t status = store.GetAll(key, &value);
	if (status == B_ENTRY_NOT_FOUND)
		value.clear();
	else if (status != B_OK)
		return status;
	if (value.size() < (size_t)offset + length)
		value.resize((size_t)offset + length, '\0');
	if (length > 0)
		memcpy(value.data() + offset, buffer, length);
	if (store.Set(key, value.data(), value.size(), 0) != 0)
		return status_for(errno);
	return B_OK;
}

ssize_t
write_attribute(const NodeLocation& node, const char* name, type_code type, off_t offset,
	const void* buffer, size_t length, bool internal)
{
	if (offset < 0 || (buffer == nullptr && length > 0))
		return B_BAD_VALUE;
	if ((uint64)offset + length > kMaxAttrSize)
		return B_FILE_TOO_LARGE;
	Store store;
	status_t status = open_store(node, &store);
	if (status != B_OK)
		return status;
	status = check_name(store, name, internal);
	if (status != B_OK)
		return status;
	if (store.isLink) {
		status = claim_link_key(store);
		if (status != B_OK)
			return status;
	}

	std::string key = store.dataPrefix + name;
	bool created = false;
	status = write_value(store, key, offset, buffer, length, &created);
	if (status != B_OK) {
		if (store.isLink)
			drop_record_if_empty(store);
		return status;
	}

	if (!internal) {
		unsigned char code[4] = { (unsigned char)(type >> 24), (unsigned char)(type >> 16),
			(unsigned char)(type >> 8), (unsigned char)type };
		if (store.Set(store.typePrefix + name, code, sizeof(code), 0) != 0) {
			status = status_for(errno);
			// A value without its type would read back as raw data: undo a new one.
			if (created)
				store.Delete(key);
			if (store.isLink)
				drop_record_if_empty(store);
			return status;
		}
	}
	return length;
}

} // namespace

ssize_t
Read(const NodeLocation& node, const char* name, off_t offset, void* buffer, size_t length)
{
	return read_attribute(node, name, offset, buffer, length, false);
}

ssize_t
Write(const NodeLocation& node, const char* name, type_code type, off_t offset, const void* buffer,
	size_t length)
{
	return write_attribute(node, name, type, offset, buffer, length, false);
}

status_t
Remove(const NodeLocation& node, const char* name)
{
	Store store;
	status_t status = open_store(node, &store);
	if (status != B_OK)
		return status;
	status = check_name(store, name, false);
	if (status != B_OK)
		return status;
	if (store.isLink && !record_is_ours(store))
		return B_ENTRY_NOT_FOUND;

	if (store.Delete(store.dataPrefix + name) != 0)
		return is_unsupported(errno) ? B_ENTRY_NOT_FOUND : status_for(errno);
	store.Delete(store.typePrefix + name);

	// The record goes with the link's last attribute.
	if (store.isLink)
		drop_record_if_empty(store);
	return B_OK;
}

status_t
GetInfo(const NodeLocation& node, const char* name, attr_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	Store store;
	status_t status = open_store(node, &store);
	if (status != B_OK)
		return status;
	status = check_name(store, name, false);
	if (status == B_NOT_ALLOWED)
		return B_ENTRY_NOT_FOUND;
	if (status != B_OK)
		return status;
	if (store.isLink && !record_is_ours(store))
		return B_ENTRY_NOT_FOUND;

	ssize_t size = store.Get(store.dataPrefix + name, nullptr, 0);
	if (size < 0)
		return is_unsupported(errno) ? B_ENTRY_NOT_FOUND : status_for(errno);

	unsigned char code[4];
	ssize_t read = store.Get(store.typePrefix + name, code, sizeof(code));
	info->type = read == (ssize_t)sizeof(code)
		? ((uint32)code[0] << 24) | ((uint32)code[1] << 16) | ((uint32)code[2] << 8) | code[3]
		: (uint32)B_RAW_TYPE;
	info->size = size;
	return B_OK;
}

status_t
List(const NodeLocation& node, std::vector<std::string>* names)
{
	names->clear();
	Store store;
	status_t status = open_store(node, &store);
	if (status != B_OK)
		return status;
	if (store.isLink && !record_is_ours(store))
		return B_OK;

	std::vector<std::string> raw;
	status = store.ListRaw(&raw);
	if (status != B_OK)
		return status;
	for (const std::string& name : raw) {
		if (!starts_with(name, store.dataPrefix.c_str()))
			continue;
		std::string attribute = name.substr(store.dataPrefix.size());
		if (!store.isLink && starts_with(name, kPlatformPrefix))
			continue;
		if (attribute.empty() || starts_with(attribute, kReservedNamePrefix))
			continue;
		names->push_back(attribute);
	}
	return B_OK;
}

status_t
GetCreationTime(const NodeLocation& node, time_t* time)
{
	unsigned char value[8];
	ssize_t read = read_attribute(node, kCreationTimeName, 0, value, sizeof(value), true);
	if (read < 0)
		return read;
	if (read != (ssize_t)sizeof(value))
		return B_BAD_DATA;
	uint64 seconds = 0;
	for (int i = 7; i >= 0; i--)
		seconds = (seconds << 8) | value[i];
	*time = (time_t)(int64)seconds;
	return B_OK;
}

status_t
SetCreationTime(const NodeLocation& node, time_t time)
{
	unsigned char value[8];
	uint64 seconds = (uint64)(int64)time;
	for (int i = 0; i < 8; i++)
		value[i] = (unsigned char)(seconds >> (8 * i));
	ssize_t written =
		write_attribute(node, kCreationTimeName, B_TIME_TYPE, 0, value, sizeof(value), true);
	return written < 0 ? (status_t)written : B_OK;
}

status_t
CopyLinkAttributes(const std::string& fromPath, const std::string& toPath)
{
	Store from;
	if (!link_identity(-1, fromPath, &from.identity))
		return B_OK;
	set_link_names(&from, fromPath);
	Store to;
	set_link_names(&to, toPath);
	to.identity = from.identity;

	if (!record_is_ours(from))
		return B_OK;
	if (from.folder == to.folder && from.recordName == to.recordName)
		return from.linkName == to.linkName ? B_OK : B_NAME_IN_USE;

	std::vector<std::string> names;
	status_t status = from.ListRaw(&names);
	if (status != B_OK)
		return status;

	LinkRecord existing = read_record(to);
	if (existing.exists && existing.name != to.linkName && record_is_live(to, existing))
		return B_NAME_IN_USE;
	if (existing.exists)
		clear_link_key(to);

	status = write_record(to);
	for (size_t i = 0; status == B_OK && i < names.size(); i++) {
		const std::string& name = names[i];
		std::string target;
		if (starts_with(name, from.dataPrefix.c_str()))
			target = to.dataPrefix + name.substr(from.dataPrefix.size());
		else if (starts_with(name, from.typePrefix.c_str()))
			target = to.typePrefix + name.substr(from.typePrefix.size());
		else
			continue;
		std::vector<char> value;
		status = from.GetAll(name, &value);
		if (status == B_OK && to.Set(target, value.data(), value.size(), 0) != 0)
			status = status_for(errno);
	}
	if (status != B_OK)
		clear_link_key(to);
	return status;
}

void
RemoveLinkAttributes(const std::string& path)
{
	Store store;
	set_link_names(&store, path);
	LinkRecord record = read_record(store);
	if (record.exists && record.name == store.linkName)
		clear_link_key(store);
}

ssize_t
ReadLinkAttrAt(int folderFd, const char* linkName, uint64 inode, int64 birthSeconds,
	uint32 birthNanoseconds, const char* name, void* buffer, size_t length)
{
	if (folderFd < 0 || linkName == nullptr || (buffer == nullptr && length > 0))
		return B_BAD_VALUE;
	Store store;
	set_link_names(&store, join_path("/", linkName));
	store.fd = folderFd;
	store.identity.inode = inode;
	store.identity.birthSeconds = birthSeconds;
	store.identity.birthNanoseconds = birthNanoseconds;
	status_t status = check_name(store, name, false);
	if (status == B_NOT_ALLOWED)
		return B_ENTRY_NOT_FOUND;
	if (status != B_OK)
		return status;

	// The value first: most links carry nothing, and then the record need not be read.
	std::string key = store.dataPrefix + name;
	ssize_t read = -1;
	if (length > 0) {
		read = store.Get(key, buffer, length);
		if (read < 0 && errno != ERANGE)
			return is_unsupported(errno) ? B_ENTRY_NOT_FOUND : status_for(errno);
	}
	if (read < 0) {
		// Longer than the buffer: the start of the whole value, as Read() gives it.
		std::vector<char> value;
		status = store.GetAll(key, &value);
		if (status != B_OK)
			return status == B_NOT_SUPPORTED ? B_ENTRY_NOT_FOUND : status;
		read = (ssize_t)std::min(length, value.size());
		if (read > 0)
			memcpy(buffer, value.data(), read);
	}
	if (!record_is_ours(store))
		return B_ENTRY_NOT_FOUND;
	return read;
}

bool
SupportsAttributes(const std::string& path)
{
	if (lgetxattr(path.c_str(), "user.beos.probe", nullptr, 0) >= 0)
		return true;
	return !is_unsupported(errno);
}

} // namespace attribute_store
} // namespace BPrivate

// LibZip: packs a file, folder or link into a ZIP archive with libzip. Files are deflated
// on several threads while the walk goes on (LibZipDeflate), each read whole up to a bound;
// larger ones are read while the archive is written, so no archive and no large file is
// ever held whole in memory. A worker killed while it packs stops at the next entry of the
// walk or the next file libzip writes; the archive is then left as it was (libzip writes a
// new one beside it and never puts it in place).
#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibZipDeflate.h"
#include "LibZipFields.h"
#include "LibZipPrivate.h"

#include <Node.h>
#include <Path.h>
#include <ThreadPrivate.h>

#include <algorithm>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace lib_zip {

using namespace lib_file;

namespace {

// The MS-DOS folder flag, which readers that ignore the Unix mode look at.
const uint32 kDosDirectoryFlag = 0x10;

bool
same_node(const struct stat& a, const struct stat& b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when now describes the regular file the walk found as identity, at the same size.
bool
still_walked_file(const struct stat& now, const struct stat& identity)
{
	return S_ISREG(now.st_mode) && same_node(now, identity) && now.st_size == identity.st_size;
}

// A file's data for libzip, read when the archive is written. The file is opened again
// then, without following a link, and must still be the node the walk found (device,
// inode, size): libzip's own file source would open whatever the path leads to by then.
struct FileSource {
	std::string path;
	struct stat identity;
	time_t modified = 0;
	int fd = -1;
	zip_uint64_t done = 0;
	zip_error_t error;
};

zip_int64_t
read_file_source(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
	FileSource* source = static_cast<FileSource*>(userdata);
	switch (command) {
		case ZIP_SOURCE_OPEN: {
			source->fd = open(source->path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
			if (source->fd < 0) {
				zip_error_set(&source->error, ZIP_ER_OPEN, errno);
				return -1;
			}
			struct stat st;
			if (fstat(source->fd, &st) != 0 || !still_walked_file(st, source->identity)) {
				close(source->fd);
				source->fd = -1;
				zip_error_set(&source->error, ZIP_ER_CHANGED, 0);
				return -1;
			}
			source->done = 0;
			return 0;
		}
		case ZIP_SOURCE_READ: {
			// A killed worker must not unwind through libzip: the read fails, libzip gives
			// up writing, and the worker stops once zip_close() has returned.
			if (BPrivate::thread_is_killed()) {
				zip_error_set(&source->error, ZIP_ER_CANCELLED, 0);
				return -1;
			}
			ssize_t got;
			do {
				got = read(source->fd, data, length);
			} while (got < 0 && errno == EINTR);
			if (got < 0) {
				zip_error_set(&source->error, ZIP_ER_READ, errno);
				return -1;
			}
			source->done += (zip_uint64_t)got;
			// A file that grows or shrinks while it is packed is not the file described.
			zip_uint64_t size = (zip_uint64_t)source->identity.st_size;
			if (source->done > size || (got == 0 && length > 0 && source->done != size)) {
				zip_error_set(&source->error, ZIP_ER_CHANGED, 0);
				return -1;
			}
			return got;
		}
		case ZIP_SOURCE_CLOSE:
			if (source->fd >= 0)
				close(source->fd);
			source->fd = -1;
			return 0;
		case ZIP_SOURCE_STAT: {
			zip_stat_t* st = static_cast<zip_stat_t*>(data);
			if (length < sizeof(*st)) {
				zip_error_set(&source->error, ZIP_ER_INVAL, 0);
				return -1;
			}
			zip_stat_init(st);
			st->size = (zip_uint64_t)source->identity.st_size;
			st->mtime = source->modified;
			st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
			return sizeof(*st);
		}
		case ZIP_SOURCE_ERROR:
			return zip_error_to_data(&source->error, data, length);
		case ZIP_SOURCE_FREE:
			if (source->fd >= 0)
				close(source->fd);
			zip_error_fini(&source->error);
			delete source;
			return 0;
		case ZIP_SOURCE_SUPPORTS:
			return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
				ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
		default:
			zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
			return -1;
	}
}

// A file deflated ahead by the pool: libzip copies the deflate stream as it is, and takes
// the checksum and sizes from here. Before it is written the path must still name the
// node the walk found: an entry replaced meanwhile spoils the archive, as with FileSource.
struct DeflatedSource {
	DeflatePool* pool = nullptr;
	int32 job = -1;
	std::string path;
	struct stat identity;
	time_t modified = 0;
	const DeflateResult* result = nullptr;
	bool released = false;
	bool described = false;
	zip_uint64_t compressedSize = 0;
	zip_uint64_t position = 0;
	uint32 crc = 0;
	zip_error_t error;

	bool Finish()
	{
		if (described)
			return true;
		int zipError = 0;
		int systemError = 0;
		if (!pool->Wait(job, &result, &zipError, &systemError)) {
			zip_error_set(&error, zipError, systemError);
			return false;
		}
		compressedSize = result->data.size();
		crc = result->crc;
		described = true;
		return true;
	}

	void Release()
	{
		if (!released)
			pool->Release(job);
		released = true;
		result = nullptr;
	}
};

zip_int64_t
read_deflated_source(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
	DeflatedSource* source = static_cast<DeflatedSource*>(userdata);
	switch (command) {
		case ZIP_SOURCE_OPEN: {
			if (!source->Finish() || source->released)
				return -1;
			struct stat now;
			if (lstat(source->path.c_str(), &now) != 0
				|| !still_walked_file(now, source->identity)) {
				zip_error_set(&source->error, ZIP_ER_CHANGED, 0);
				return -1;
			}
			source->position = 0;
			return 0;
		}
		case ZIP_SOURCE_READ: {
			if (BPrivate::thread_is_killed()) {
				zip_error_set(&source->error, ZIP_ER_CANCELLED, 0);
				return -1;
			}
			if (source->result == nullptr) {
				zip_error_set(&source->error, ZIP_ER_INTERNAL, 0);
				return -1;
			}
			const std::vector<uint8>& bytes = source->result->data;
			zip_uint64_t count = std::min<zip_uint64_t>(length, bytes.size() - source->position);
			memcpy(data, bytes.data() + source->position, count);
			source->position += count;
			return (zip_int64_t)count;
		}
		case ZIP_SOURCE_CLOSE:
			// Written: the memory goes back to the window.
			source->Release();
			return 0;
		case ZIP_SOURCE_STAT: {
			zip_stat_t* st = static_cast<zip_stat_t*>(data);
			if (length < sizeof(*st)) {
				zip_error_set(&source->error, ZIP_ER_INVAL, 0);
				return -1;
			}
			if (!source->Finish())
				return -1;
			zip_stat_init(st);
			st->size = (zip_uint64_t)source->identity.st_size;
			st->comp_size = source->compressedSize;
			st->comp_method = ZIP_CM_DEFLATE;
			st->crc = source->crc;
			st->mtime = source->modified;
			st->valid |= ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC
				| ZIP_STAT_MTIME;
			return sizeof(*st);
		}
		case ZIP_SOURCE_ERROR:
			return zip_error_to_data(&source->error, data, length);
		case ZIP_SOURCE_FREE:
			source->Release();
			zip_error_fini(&source->error);
			delete source;
			return 0;
		case ZIP_SOURCE_SUPPORTS:
			return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
				ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
		default:
			zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
			return -1;
	}
}

} // namespace

ZipPacker::ZipPacker() :
	fArchive(NULL),
	fLevel(9),
	fOk(true),
	fJobs(0),
	fReproducible(false),
	fLatestTime(0)
{
}

ZipPacker::~ZipPacker()
{
	// The archive's sources use the pool: they go first.
	if (fArchive != NULL)
		zip_discard(fArchive);
	fPool.reset();
}

void
ZipPacker::SetJobs(int jobs)
{
	fJobs = jobs;
}

void
ZipPacker::SetReproducible(time_t latest)
{
	fReproducible = true;
	fLatestTime = latest;
}

time_t
ZipPacker::_Clamped(time_t time) const
{
	return fReproducible && time > fLatestTime ? fLatestTime : time;
}

bool
ZipPacker::Open(const std::string& archivePath, int level)
{
	int error = 0;
	fArchivePath = archivePath;
	fLevel = level;
	fArchive = zip_open(archivePath.c_str(), ZIP_CREATE, &error);
	if (fArchive != NULL)
		return true;
	zip_error_t details;
	zip_error_init_with_code(&details, error);
	fprintf(stderr, "LibZip: %s: %s\n", archivePath.c_str(), zip_error_strerror(&details));
	zip_error_fini(&details);
	return false;
}

bool
ZipPacker::Close()
{
	if (fArchive == NULL)
		return false;
	if (zip_close(fArchive) != 0) {
		const std::string reason = zip_strerror(fArchive);
		zip_discard(fArchive);
		fArchive = NULL;
		fPool.reset();
		// Stopped for a kill: the worker goes on unwinding from here, outside libzip.
		BPrivate::check_thread_killed();
		fprintf(stderr, "LibZip: %s: %s\n", fArchivePath.c_str(), reason.c_str());
		return false;
	}
	fArchive = NULL;
	fPool.reset();
	return fOk;
}

void
ZipPacker::_Fail(const std::string& path, const char* what)
{
	fprintf(stderr, "LibZip: %s: %s\n", path.c_str(), what);
	fOk = false;
}

void
ZipPacker::Add(const std::string& itemPath)
{
	if (fArchive == NULL)
		return;
	Descriptor parent(open(path_folder(itemPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (parent.Get() < 0) {
		_Fail(itemPath, strerror(errno));
		return;
	}
	_Add(parent.Get(), path_leaf(itemPath), itemPath, path_leaf(itemPath));
}

void
ZipPacker::_Add(
	int parent, const std::string& name, const std::string& path, const std::string& entryName)
{
	// The archive being written is not packed into itself.
	if (path == fArchivePath)
		return;
	// A worker killed during the walk stops at the next entry; what it opened is held by
	// owners.
	BPrivate::check_thread_killed();
	struct stat st;
	if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
		_Fail(path, strerror(errno));
		return;
	}

	zip_error_t error;
	zip_error_init(&error);
	zip_source_t* source = NULL;
	bool deflatedAhead = false;
	std::string fullName = entryName;
	Descriptor folder;
	if (S_ISDIR(st.st_mode)) {
		folder.Reset(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
		struct stat opened;
		if (folder.Get() < 0 || fstat(folder.Get(), &opened) != 0 || !same_node(opened, st)) {
			_Fail(path, folder.Get() < 0 ? strerror(errno) : "the folder was replaced");
			return;
		}
		fullName += "/";
		source = zip_source_buffer_create(NULL, 0, 0, &error);
	} else if (S_ISREG(st.st_mode)) {
		// A file that cannot be read now would spoil the whole archive when it is
		// written, so it is checked now.
		int fd = openat(parent, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
		struct stat opened;
		if (fd < 0 || fstat(fd, &opened) != 0 || !same_node(opened, st)) {
			if (fd >= 0)
				close(fd);
			_Fail(path, fd < 0 ? strerror(errno) : "the file was replaced");
			return;
		}
		close(fd);
		if (fLevel > 0 && opened.st_size > 0 && (uint64)opened.st_size <= kWholeFileLimit) {
			if (fPool == nullptr)
				fPool = std::make_unique<DeflatePool>(fJobs, fLevel);
			DeflatedSource* deflated = new DeflatedSource;
			deflated->pool = fPool.get();
			deflated->job = fPool->Add(path, opened);
			deflated->path = path;
			deflated->identity = opened;
			deflated->modified = _Clamped(opened.st_mtime);
			zip_error_init(&deflated->error);
			source = zip_source_function_create(read_deflated_source, deflated, &error);
			if (source == NULL) {
				zip_error_fini(&deflated->error);
				delete deflated;
			} else
				deflatedAhead = true;
		} else {
			FileSource* file = new FileSource;
			file->path = path;
			file->identity = opened;
			file->modified = _Clamped(opened.st_mtime);
			zip_error_init(&file->error);
			source = zip_source_function_create(read_file_source, file, &error);
			if (source == NULL) {
				zip_error_fini(&file->error);
				delete file;
			}
		}
	} else if (S_ISLNK(st.st_mode)) {
		// Info-ZIP's way: the link's text is the entry's data.
		std::vector<char> target(PATH_MAX + 1);
		ssize_t length = readlinkat(parent, name.c_str(), target.data(), target.size());
		if (length <= 0 || (size_t)length >= target.size()) {
			_Fail(path, "cannot read the link");
			return;
		}
		void* copy = malloc(length);
		memcpy(copy, target.data(), length);
		source = zip_source_buffer_create(copy, length, 1, &error);
		if (source == NULL)
			free(copy);
	} else {
		_Fail(path, "special files are not packed");
		return;
	}
	if (source == NULL) {
		_Fail(path, zip_error_strerror(&error));
		zip_error_fini(&error);
		return;
	}
	zip_error_fini(&error);

	zip_int64_t index =
		zip_file_add(fArchive, fullName.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
	if (index < 0) {
		zip_source_free(source);
		_Fail(path, zip_strerror(fArchive));
		return;
	}
	if (!_Describe(index, path, st, deflatedAhead) || folder.Get() < 0)
		return;

	int walkFd = dup(folder.Get());
	DIR* walk = walkFd >= 0 ? fdopendir(walkFd) : NULL;
	if (walk == NULL) {
		if (walkFd >= 0)
			close(walkFd);
		_Fail(path, strerror(errno));
		return;
	}
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(walk)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(walk);
	// A fixed order makes the same tree give the same archive.
	std::sort(names.begin(), names.end());
	for (const std::string& child : names)
		_Add(folder.Get(), child, join_path(path, child), entryName + "/" + child);
}

bool
ZipPacker::_Describe(int64 index, const std::string& path, const struct stat& st, bool deflated)
{
	bool compressed = S_ISREG(st.st_mode) && fLevel > 0;
	int method = compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
	uint32 level = compressed ? (uint32)std::min(fLevel, 9) : 0;
	uint32 external = ((uint32)st.st_mode & 0xffff) << 16;
	if (S_ISDIR(st.st_mode))
		external |= kDosDirectoryFlag;
	// A file deflated ahead keeps libzip's default method, under which libzip copies the
	// deflate stream its source gives instead of compressing again.
	time_t modified = _Clamped(st.st_mtime);
	if ((!deflated && zip_set_file_compression(fArchive, index, method, level) != 0)
		|| zip_file_set_external_attributes(fArchive, index, 0, ZIP_OPSYS_UNIX, external) != 0
		|| zip_file_set_mtime(fArchive, index, modified, 0) != 0) {
		_Fail(path, zip_strerror(fArchive));
		return false;
	}

	// A reproducible archive records no access times: reading the payload changes them.
	time_t accessed = fReproducible ? kNoAccessTime : st.st_atime;
	std::vector<uint8> localTime = EncodeTimestamp(modified, accessed, false);
	std::vector<uint8> centralTime = EncodeTimestamp(modified, accessed, true);
	if (!localTime.empty()) {
		zip_file_extra_field_set(fArchive, index, kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
			localTime.data(), localTime.size(), ZIP_FL_LOCAL);
		zip_file_extra_field_set(fArchive, index, kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
			centralTime.data(), centralTime.size(), ZIP_FL_CENTRAL);
	}

	// The attributes, through the storage kit, so that types and a link's attributes come
	// as the platform keeps them.
	BNode node(path.c_str());
	struct stat nodeStat;
	if (node.InitCheck() != B_OK || node.GetStat(&nodeStat) != B_OK)
		return true;
	if (!same_node(nodeStat, st)) {
		_Fail(path, "the entry was replaced");
		return false;
	}
	std::vector<Attribute> attributes;
	char name[B_ATTR_NAME_LENGTH + 1];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (node.GetAttrInfo(name, &info) != B_OK || info.size < 0
			|| (size_t)info.size > kMaxAttributeSize) {
			_Fail(path, "an attribute cannot be read");
			continue;
		}
		Attribute attribute;
		attribute.name = name;
		attribute.type = info.type;
		attribute.data.resize(info.size);
		if (node.ReadAttr(name, info.type, 0, attribute.data.data(), info.size) != info.size) {
			_Fail(path, "an attribute cannot be read");
			continue;
		}
		attributes.push_back(std::move(attribute));
	}
	if (attributes.empty())
		return true;

	std::vector<std::vector<uint8>> localFields;
	std::vector<std::vector<uint8>> centralFields;
	if (!EncodeAttributes(attributes, &localFields, &centralFields)) {
		_Fail(path, "the attributes are too large for the archive");
		return false;
	}
	for (const std::vector<uint8>& field : localFields) {
		if (zip_file_extra_field_set(fArchive, index, kAttributeFieldId, ZIP_EXTRA_FIELD_NEW,
				field.data(), field.size(), ZIP_FL_LOCAL)
			!= 0) {
			_Fail(path, zip_strerror(fArchive));
			return false;
		}
	}
	for (const std::vector<uint8>& field : centralFields) {
		if (zip_file_extra_field_set(fArchive, index, kAttributeFieldId, ZIP_EXTRA_FIELD_NEW,
				field.data(), field.size(), ZIP_FL_CENTRAL)
			!= 0) {
			_Fail(path, zip_strerror(fArchive));
			return false;
		}
	}
	return true;
}

} // namespace lib_zip

bool
LibZip(const char* archive, const BPath& item, int level)
{
	if (archive == NULL || archive[0] == '\0' || item.InitCheck() != B_OK)
		return false;
	std::string itemPath;
	if (lib_file::source_path(item.Path(), &itemPath) != B_OK)
		return false;
	std::string folder = lib_file::path_folder(itemPath);

	// BeOS behaviour: the packing ran in the item's folder, and the process stays there.
	// Nothing below depends on it.
	if (chdir(folder.c_str()) != 0)
		fprintf(stderr, "cannot change to %s\n", folder.c_str());
	std::string archivePath;
	std::string archiveText =
		archive[0] == '/' ? std::string(archive) : lib_file::join_path(folder, archive);
	if (lib_file::source_path(archiveText.c_str(), &archivePath) != B_OK)
		return false;

	lib_zip::ZipPacker packer;
	if (!packer.Open(archivePath, level))
		return false;
	packer.Add(itemPath);
	return packer.Close();
}

// LibUnzip: expands a ZIP archive beside itself with libzip, in chunks, and never writes
// outside that folder. Every folder on the way to an entry is opened relative to the one
// above it without following links, and new entries are created exclusively, so neither a
// link in the archive nor one already on disk can carry a write elsewhere. An archive's
// sizes are believed only as far as its output goes: an entry that expands past its
// declared size stops the expansion, and an archive whose declared sizes do not fit the
// volume is refused before anything is written. A worker killed during an expansion stops at
// the next entry or chunk: the archive, the folders and the file being written are held by
// owners, so nothing stays open and no half-written file is left; the entries already
// expanded stay.
#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibZipFields.h"
#include "LibZipLinks.h"

#include <Node.h>
#include <ThreadPrivate.h>

#include <algorithm>
#include <errno.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

namespace {

using namespace lib_file;
using namespace lib_zip;

const size_t kReadChunk = 256 * 1024;
// The longest link text accepted.
const zip_uint64_t kMaxLinkLength = 4096;

struct EntryInfo {
	std::string name;
	std::vector<std::string> parts;
	mode_t type = S_IFREG;
	mode_t permissions = 0;
	bool hasPermissions = false;
	// The size the archive declares for the entry's data.
	zip_uint64_t size = 0;
	struct timespec times[2];
};

// Owners of what libzip hands out, so that a killed worker's unwinding gives it back.
struct ArchiveCloser {
	void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct EntryCloser {
	void operator()(zip_file_t* data) const { zip_fclose(data); }
};

typedef std::unique_ptr<zip_t, ArchiveCloser> ArchiveOwner;
typedef std::unique_ptr<zip_file_t, EntryCloser> EntryOwner;

struct PendingFolder {
	std::vector<std::string> parts;
	mode_t permissions;
	bool hasPermissions;
	struct timespec times[2];
};

class ZipExtractor {
public:
	ZipExtractor(zip_t* archive, int root, const std::string& rootPath) :
		fArchive(archive),
		fRoot(root),
		fRootPath(rootPath),
		fUmask(process_umask()),
		fOk(true),
		fStopped(false),
		fCachedFolder(-1)
	{
	}

	~ZipExtractor()
	{
		if (fCachedFolder >= 0)
			close(fCachedFolder);
	}

	bool Extract();

private:
	void _Refuse(const std::string& name, const char* why);
	// Refuses the entry and every entry after it.
	void _Stop(const std::string& name, const char* why);
	bool _Describe(zip_uint64_t index, EntryInfo* entry);
	// False, with a line on standard error, when the sizes the archive declares do not
	// fit the free space of the target's volume.
	bool _CheckSpace();
	// The permissions an entry gets: its own or the default, less the process's umask.
	mode_t _Permissions(const EntryInfo& entry, mode_t fallback) const;
	// An open descriptor of the folder made of the first count parts, made when missing
	// (create), or -1 after refusing the entry; the descriptor stays the extractor's.
	int _Folder(const EntryInfo& entry, size_t count, bool create);
	void _ExtractFolder(zip_uint64_t index, const EntryInfo& entry);
	void _ExtractFile(zip_uint64_t index, const EntryInfo& entry);
	void _ExtractLink(zip_uint64_t index, const EntryInfo& entry);
	// Creates leaf in folder with make, replacing what is there unless it is a folder.
	template <typename Make> int _Create(int folder, const EntryInfo& entry, Make make);
	void _WriteAttributes(zip_uint64_t index, const EntryInfo& entry, bool existed);
	void _FinishFolders();
	std::string _Path(const std::vector<std::string>& parts, size_t count) const;

	zip_t* fArchive;
	int fRoot;
	std::string fRootPath;
	mode_t fUmask;
	bool fOk;
	bool fStopped;
	std::vector<PendingFolder> fFolders;
	std::string fCachedKey;
	int fCachedFolder;
};

void
ZipExtractor::_Refuse(const std::string& name, const char* why)
{
	fprintf(stderr, "LibUnzip: refused %s: %s\n", name.c_str(), why);
	fOk = false;
}

void
ZipExtractor::_Stop(const std::string& name, const char* why)
{
	_Refuse(name, why);
	fStopped = true;
}

mode_t
ZipExtractor::_Permissions(const EntryInfo& entry, mode_t fallback) const
{
	// BeOS-era archives carry 0777 on everything: the umask keeps installed programs from
	// becoming writable by every local user.
	return (entry.hasPermissions ? entry.permissions : fallback) & ~fUmask;
}

std::string
ZipExtractor::_Path(const std::vector<std::string>& parts, size_t count) const
{
	std::string path = fRootPath;
	for (size_t i = 0; i < count; i++)
		path = join_path(path, parts[i]);
	return path;
}

bool
ZipExtractor::_Describe(zip_uint64_t index, EntryInfo* entry)
{
	const char* rawName = zip_get_name(fArchive, index, ZIP_FL_ENC_RAW);
	if (rawName == NULL) {
		_Refuse("?", zip_strerror(fArchive));
		return false;
	}
	entry->name = rawName;
	if (entry->name.empty() || entry->name[0] == '/') {
		_Refuse(entry->name, "the name is absolute");
		return false;
	}
	size_t start = 0;
	while (start <= entry->name.size()) {
		size_t end = entry->name.find('/', start);
		if (end == std::string::npos)
			end = entry->name.size();
		std::string part = entry->name.substr(start, end - start);
		if (part == "..") {
			_Refuse(entry->name, "the name leads out of the folder");
			return false;
		}
		if (!part.empty() && part != ".")
			entry->parts.push_back(part);
		start = end + 1;
	}
	if (entry->parts.empty()) {
		_Refuse(entry->name, "the name is empty");
		return false;
	}

	zip_uint8_t system = 0;
	zip_uint32_t external = 0;
	zip_file_get_external_attributes(fArchive, index, 0, &system, &external);
	mode_t mode = system == ZIP_OPSYS_UNIX ? (mode_t)(external >> 16) : 0;
	if ((mode & S_IFMT) != 0)
		entry->type = mode & S_IFMT;
	if (entry->name.back() == '/')
		entry->type = S_IFDIR;
	if (entry->type != S_IFREG && entry->type != S_IFDIR && entry->type != S_IFLNK) {
		_Refuse(entry->name, "special files are not expanded");
		return false;
	}
	// Set-id bits are not restored from an archive, as Info-ZIP's unzip does by default.
	entry->hasPermissions = (mode & 0777) != 0;
	entry->permissions = mode & 0777;

	zip_stat_t st;
	zip_stat_init(&st);
	time_t modified = time(NULL);
	if (zip_stat_index(fArchive, index, 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME) != 0)
		modified = st.mtime;
	if ((st.valid & ZIP_STAT_SIZE) != 0)
		entry->size = st.size;
	time_t accessed = modified;
	for (zip_flags_t where : { ZIP_FL_LOCAL, ZIP_FL_CENTRAL }) {
		zip_uint16_t length = 0;
		const zip_uint8_t* field =
			zip_file_extra_field_get_by_id(fArchive, index, kTimestampFieldId, 0, &length, where);
		if (field != NULL && DecodeTimestamp(field, length, &modified, &accessed))
			break;
	}
	entry->times[0] = { accessed, 0 };
	entry->times[1] = { modified, 0 };
	return true;
}

int
ZipExtractor::_Folder(const EntryInfo& entry, size_t count, bool create)
{
	std::string key;
	for (size_t i = 0; i < count; i++)
		key += entry.parts[i] + '\0';
	if (fCachedFolder >= 0 && key == fCachedKey)
		return fCachedFolder;
	if (fCachedFolder >= 0)
		close(fCachedFolder);
	fCachedFolder = -1;

	int folder = dup(fRoot);
	for (size_t i = 0; i < count && folder >= 0; i++) {
		const char* part = entry.parts[i].c_str();
		int next = openat(folder, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (next < 0 && errno == ENOENT && create) {
			if (mkdirat(folder, part, 0755) == 0 || errno == EEXIST)
				next = openat(folder, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		}
		if (next < 0) {
			int error = errno;
			struct stat st;
			if (fstatat(folder, part, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
				_Refuse(entry.name, "it lies under a symbolic link");
			else if (error == ENOTDIR)
				_Refuse(entry.name, "a file is in the way of its folder");
			else
				_Refuse(entry.name, strerror(error));
		}
		close(folder);
		folder = next;
	}
	if (folder < 0)
		return -1;
	fCachedKey = key;
	fCachedFolder = folder;
	return folder;
}

template <typename Make>
int
ZipExtractor::_Create(int folder, const EntryInfo& entry, Make make)
{
	const char* leaf = entry.parts.back().c_str();
	int result = make(folder, leaf);
	if (result < 0 && errno == EEXIST) {
		struct stat st;
		if (fstatat(folder, leaf, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
			_Refuse(entry.name, "a folder is in the way");
			return -1;
		}
		unlinkat(folder, leaf, 0);
		result = make(folder, leaf);
	}
	if (result < 0)
		_Refuse(entry.name, strerror(errno));
	return result;
}

void
ZipExtractor::_WriteAttributes(zip_uint64_t index, const EntryInfo& entry, bool existed)
{
	std::vector<std::vector<uint8>> fields;
	for (zip_flags_t where : { ZIP_FL_LOCAL, ZIP_FL_CENTRAL }) {
		zip_int16_t count =
			zip_file_extra_fields_count_by_id(fArchive, index, kAttributeFieldId, where);
		for (zip_int16_t i = 0; i < count; i++) {
			zip_uint16_t length = 0;
			const zip_uint8_t* data = zip_file_extra_field_get_by_id(
				fArchive, index, kAttributeFieldId, i, &length, where);
			if (data != NULL)
				fields.emplace_back(data, data + length);
		}
	}
	if (fields.empty())
		return;

	std::vector<Attribute> attributes;
	if (!DecodeAttributes(fields, &attributes))
		fprintf(stderr, "LibUnzip: %s: some attributes are damaged\n", entry.name.c_str());
	// Through the storage kit, so that a link's attributes are kept the platform's way.
	BNode node(_Path(entry.parts, entry.parts.size()).c_str());
	if (node.InitCheck() != B_OK)
		return;
	for (const Attribute& attribute : attributes) {
		if (existed)
			node.RemoveAttr(attribute.name.c_str());
		ssize_t written = node.WriteAttr(attribute.name.c_str(), attribute.type, 0,
			attribute.data.data(), attribute.data.size());
		if (written == B_NOT_SUPPORTED)
			return;
		if (written != (ssize_t)attribute.data.size()) {
			fprintf(stderr, "LibUnzip: %s: attribute %s not written\n", entry.name.c_str(),
				attribute.name.c_str());
			fOk = false;
		}
	}
}

void
ZipExtractor::_ExtractFolder(zip_uint64_t index, const EntryInfo& entry)
{
	int parent = _Folder(entry, entry.parts.size() - 1, true);
	if (parent < 0)
		return;
	struct stat st;
	bool existed = fstatat(parent, entry.parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
	if (existed && !S_ISDIR(st.st_mode)) {
		_Refuse(entry.name,
			S_ISLNK(st.st_mode) ? "a symbolic link is in the way" : "a file is in the way");
		return;
	}
	if (!existed && mkdirat(parent, entry.parts.back().c_str(), 0700) != 0) {
		_Refuse(entry.name, strerror(errno));
		return;
	}
	_WriteAttributes(index, entry, existed);
	// Permissions and times are set once the folder's contents are in.
	PendingFolder pending;
	pending.parts = entry.parts;
	pending.permissions = entry.permissions;
	pending.hasPermissions = entry.hasPermissions;
	pending.times[0] = entry.times[0];
	pending.times[1] = entry.times[1];
	fFolders.push_back(pending);
}

void
ZipExtractor::_ExtractFile(zip_uint64_t index, const EntryInfo& entry)
{
	int parent = _Folder(entry, entry.parts.size() - 1, true);
	if (parent < 0)
		return;
	EntryOwner data(zip_fopen_index(fArchive, index, 0));
	if (data == NULL) {
		_Refuse(entry.name, zip_strerror(fArchive));
		return;
	}
	Descriptor fd(_Create(parent, entry, [](int folder, const char* leaf) {
		return openat(folder, leaf, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
	}));
	if (fd.Get() < 0)
		return;

	// A file cut short by a kill is not left behind as if it were whole.
	struct PartialFile {
		int folder;
		const std::string& leaf;
		bool complete = false;

		~PartialFile()
		{
			if (!complete)
				unlinkat(folder, leaf.c_str(), 0);
		}
	} partial { parent, entry.parts.back() };

	std::vector<char> buffer(kReadChunk);
	bool ok = true;
	bool overlong = false;
	const char* failure = NULL;
	zip_uint64_t total = 0;
	while (ok) {
		BPrivate::check_thread_killed();
		zip_int64_t got = zip_fread(data.get(), buffer.data(), buffer.size());
		if (got == 0)
			break;
		if (got < 0) {
			ok = false;
			failure = zip_file_strerror(data.get());
			break;
		}
		// The data may expand to far more than the archive says (libzip does not stop
		// it); nothing past the declared size is written.
		total += (zip_uint64_t)got;
		if (total > entry.size) {
			ok = false;
			overlong = true;
			break;
		}
		for (zip_int64_t done = 0; done < got && ok;) {
			ssize_t written = write(fd.Get(), buffer.data() + done, got - done);
			if (written < 0 && errno == EINTR)
				continue;
			if (written < 0) {
				ok = false;
				failure = strerror(errno);
			} else {
				done += written;
			}
		}
	}
	std::string reason = failure != NULL ? failure : "";
	data.reset();
	if (!ok) {
		if (overlong)
			_Stop(entry.name, "the data is larger than the archive says");
		else
			_Refuse(entry.name, reason.c_str());
		return;
	}

	_WriteAttributes(index, entry, false);
	fchmod(fd.Get(), _Permissions(entry, 0644));
	futimens(fd.Get(), entry.times);
	if (fd.Close() != 0) {
		_Refuse(entry.name, strerror(errno));
		return;
	}
	partial.complete = true;
}

void
ZipExtractor::_ExtractLink(zip_uint64_t index, const EntryInfo& entry)
{
	zip_stat_t st;
	if (zip_stat_index(fArchive, index, 0, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0
		|| st.size == 0 || st.size > kMaxLinkLength) {
		_Refuse(entry.name, "the link's text is missing or too long");
		return;
	}
	std::string target(st.size, '\0');
	zip_int64_t got = -1;
	if (EntryOwner data { zip_fopen_index(fArchive, index, 0) })
		got = zip_fread(data.get(), target.data(), st.size);
	if (got != (zip_int64_t)st.size || target.find('\0') != std::string::npos) {
		_Refuse(entry.name, "the link's text cannot be read");
		return;
	}

	if (!lib_zip::LinkStaysInItem(entry.parts.size(), target)) {
		_Refuse(entry.name, "the link points outside the folder");
		return;
	}

	int parent = _Folder(entry, entry.parts.size() - 1, true);
	if (parent < 0)
		return;
	int made = _Create(parent, entry, [&target](int folder, const char* leaf) {
		return symlinkat(target.c_str(), folder, leaf) == 0 ? 0 : -1;
	});
	if (made < 0)
		return;
	_WriteAttributes(index, entry, false);
	utimensat(parent, entry.parts.back().c_str(), entry.times, AT_SYMLINK_NOFOLLOW);
}

void
ZipExtractor::_FinishFolders()
{
	// Innermost first, so that setting a folder's time is not undone by its contents, and
	// a folder without write permission is closed only when its contents are in.
	std::stable_sort(
		fFolders.begin(), fFolders.end(), [](const PendingFolder& a, const PendingFolder& b) {
			return a.parts.size() > b.parts.size();
		});
	for (const PendingFolder& pending : fFolders) {
		EntryInfo entry;
		entry.parts = pending.parts;
		for (const std::string& part : pending.parts)
			entry.name += part + "/";
		int folder = _Folder(entry, entry.parts.size(), false);
		if (folder < 0)
			continue;
		mode_t permissions = pending.hasPermissions ? pending.permissions : 0755;
		fchmod(folder, permissions & ~fUmask);
		futimens(folder, pending.times);
	}
}

bool
ZipExtractor::_CheckSpace()
{
	zip_uint64_t needed = 0;
	zip_int64_t count = zip_get_num_entries(fArchive, 0);
	for (zip_int64_t index = 0; index < count; index++) {
		zip_stat_t st;
		if (zip_stat_index(fArchive, index, 0, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0)
			continue;
		needed = st.size > UINT64_MAX - needed ? UINT64_MAX : needed + st.size;
	}
	struct statvfs volume;
	if (fstatvfs(fRoot, &volume) != 0)
		return true;
	zip_uint64_t available = (zip_uint64_t)volume.f_bavail * volume.f_frsize;
	if (needed <= available)
		return true;
	fprintf(stderr,
		"LibUnzip: not enough space in %s: the archive expands to %llu bytes, the volume has "
		"%llu bytes free\n",
		fRootPath.c_str(), (unsigned long long)needed, (unsigned long long)available);
	return false;
}

bool
ZipExtractor::Extract()
{
	if (!_CheckSpace())
		return false;
	zip_int64_t count = zip_get_num_entries(fArchive, 0);
	for (zip_int64_t index = 0; index < count && !fStopped; index++) {
		BPrivate::check_thread_killed();
		EntryInfo entry;
		if (!_Describe(index, &entry))
			continue;
		if (entry.type == S_IFDIR)
			_ExtractFolder(index, entry);
		else if (entry.type == S_IFLNK)
			_ExtractLink(index, entry);
		else
			_ExtractFile(index, entry);
	}
	_FinishFolders();
	return fOk;
}

} // namespace

bool
LibUnzip(const char* archive)
{
	if (archive == NULL || archive[0] == '\0')
		return false;
	std::string archivePath;
	if (source_path(archive, &archivePath) != B_OK)
		return false;
	std::string folder = path_folder(archivePath);

	// BeOS behaviour: the expansion ran in the archive's folder, and the process stays
	// there. Nothing below depends on it.
	if (chdir(folder.c_str()) != 0)
		fprintf(stderr, "cannot change to %s\n", folder.c_str());

	int error = 0;
	ArchiveOwner zip(zip_open(archivePath.c_str(), ZIP_RDONLY, &error));
	if (zip == NULL) {
		zip_error_t details;
		zip_error_init_with_code(&details, error);
		fprintf(stderr, "LibUnzip: %s: %s\n", archivePath.c_str(), zip_error_strerror(&details));
		zip_error_fini(&details);
		return false;
	}
	Descriptor root(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (root.Get() < 0)
		return false;

	// An archive may describe more than the process may hold: that is a failure to
	// report, never one to throw. (Only std::bad_alloc is caught: a killed worker's
	// unwinding passes.)
	bool ok = false;
	try {
		ZipExtractor extractor(zip.get(), root.Get(), folder);
		ok = extractor.Extract();
	} catch (const std::bad_alloc&) {
		fprintf(stderr, "LibUnzip: %s: not enough memory\n", archivePath.c_str());
	}
	return ok;
}

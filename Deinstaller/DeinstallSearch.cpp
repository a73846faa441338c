#include "DeinstallSearch.h"

#include <AttributeStore.h>
#include <Directory.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <ThreadPrivate.h>

#include <algorithm>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

const char kInstallBy[] = "InstallBy";
const char kInstallByXattr[] = "user.InstallBy";

// The tag is compared with the attribute's text: its bytes up to the first NUL, if any (a
// terminated value written by another tool reads the same). At least this much is read, and
// always one byte more than the tag, so that a longer value never passes for the tag.
const size_t kMinimumRead = 256;

const unsigned int kStatxMask =
	STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BTIME | STATX_MNT_ID;

// getxattrat() reads an attribute by folder descriptor and name, without opening the entry
// (Linux 6.13 and later). Newer system calls have one number on these architectures.
#if defined(__NR_getxattrat)
const long kGetxattratCall = __NR_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__) || defined(__i386__) || defined(__arm__)         \
	|| defined(__riscv)
const long kGetxattratCall = 464;
#else
const long kGetxattratCall = -1;
#endif

struct XattrArguments {
	uint64 value;
	uint32 size;
	uint32 flags;
};

ssize_t
getxattr_at(int folderFd, const char* name, const char* attribute, void* buffer, size_t size)
{
	XattrArguments arguments = { (uint64)(uintptr_t)buffer, (uint32)size, 0 };
	return syscall(kGetxattratCall, folderFd, name, AT_SYMLINK_NOFOLLOW, attribute, &arguments,
		sizeof(arguments));
}

// The walk runs with cancellation off, so that a kill never lands inside a close() in a
// destructor (unwinding out of a destructor ends the process). It takes effect at these
// points only: once per entry, and while a progress message waits for room in the owner's
// queue.
class CancelPoint {
public:
	CancelPoint() { pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &fOldState); }

	~CancelPoint()
	{
		int ignored;
		pthread_setcancelstate(fOldState, &ignored);
	}

	CancelPoint(const CancelPoint&) = delete;
	CancelPoint& operator=(const CancelPoint&) = delete;

	static void Check()
	{
		if (!BPrivate::thread_is_killed())
			return;
		CancelPoint point;
		pthread_testcancel();
	}

private:
	int fOldState;
};

// A folder stream that is closed however the walk leaves it.
class FolderStream {
public:
	explicit FolderStream(int fd) :
		fFolder(fdopendir(fd))
	{
		if (fFolder == NULL)
			close(fd);
	}

	~FolderStream()
	{
		if (fFolder != NULL)
			closedir(fFolder);
	}

	FolderStream(const FolderStream&) = delete;
	FolderStream& operator=(const FolderStream&) = delete;

	DIR* Get() const { return fFolder; }

private:
	DIR* fFolder;
};

class ScopedFd {
public:
	explicit ScopedFd(int fd) :
		fFd(fd)
	{
	}

	~ScopedFd()
	{
		if (fFd >= 0)
			close(fFd);
	}

	ScopedFd(const ScopedFd&) = delete;
	ScopedFd& operator=(const ScopedFd&) = delete;

	int Get() const { return fFd; }

	int Release()
	{
		int fd = fFd;
		fFd = -1;
		return fd;
	}

private:
	int fFd;
};

dev_t
device_of(const struct statx& info)
{
	return makedev(info.stx_dev_major, info.stx_dev_minor);
}

bool
is_dot_or_dot_dot(const char* name)
{
	return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

// The walk over descriptors: each folder is opened once, relative to the folder that holds
// it, and its entries are looked at by name from there.
class DeinstallSearch::Walker {
public:
	Walker(DeinstallSearch& search, const std::string& rootPath, const struct statx& root) :
		fSearch(search),
		fPath(rootPath),
		fDevice(device_of(root)),
		fMountId(root.stx_mnt_id),
		fHasMountId((root.stx_mask & STATX_MNT_ID) != 0),
		fHasTrash(false),
		fTrashDevice(0),
		fTrashInode(0),
		fTag(search.fTag),
		fTagLength(strlen(search.fTag)),
		fBuffer(std::max(kMinimumRead, fTagLength + 1)),
		fUseGetxattrat(kGetxattratCall >= 0)
	{
		BPath trash;
		struct stat trashInfo;
		if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK
			&& stat(trash.Path(), &trashInfo) == 0) {
			fHasTrash = true;
			fTrashDevice = trashInfo.st_dev;
			fTrashInode = trashInfo.st_ino;
		}
	}

	bool IsBootTrash(const struct statx& info) const
	{
		return fHasTrash && device_of(info) == fTrashDevice && info.stx_ino == fTrashInode;
	}

	// Scans the folder open as fd (taken over) whose stat is info and whose leaf name is
	// leaf; fPath is its path.
	int64 ScanFolder(int fd, const struct statx& info, const char* leaf);

private:
	bool _OnVolume(const struct statx& info) const;
	bool _Matches(const char* value, size_t length) const;
	// Reads the start of a value longer than the buffer: at least the tag's length plus one
	// byte, which is all the comparison needs.
	template <typename Get> bool _LongValueMatches(Get get);
	bool _FileMatches(int folderFd, const char* name);
	bool _FolderMatches(int fd);
	bool _LinkMatches(int folderFd, const char* name, const struct statx& info);
	void _AddFound(const char* name);

	DeinstallSearch& fSearch;
	std::string fPath;
	dev_t fDevice;
	uint64 fMountId;
	bool fHasMountId;
	bool fHasTrash;
	dev_t fTrashDevice;
	ino_t fTrashInode;
	const char* fTag;
	size_t fTagLength;
	std::vector<char> fBuffer;
	bool fUseGetxattrat;
};

bool
DeinstallSearch::Walker::_OnVolume(const struct statx& info) const
{
	if (device_of(info) != fDevice)
		return false;
	// Another mount of the same file system (a bind mount) has the same device.
	return !fHasMountId || (info.stx_mask & STATX_MNT_ID) == 0 || info.stx_mnt_id == fMountId;
}

bool
DeinstallSearch::Walker::_Matches(const char* value, size_t length) const
{
	if (fTagLength == 0)
		return false;
	size_t textLength = strnlen(value, length);
	return textLength == fTagLength && memcmp(value, fTag, textLength) == 0;
}

template <typename Get>
bool
DeinstallSearch::Walker::_LongValueMatches(Get get)
{
	for (int attempt = 0; attempt < 4; attempt++) {
		ssize_t size = get(NULL, 0);
		if (size < 0)
			return false;
		std::vector<char> value(size);
		ssize_t read = get(value.data(), value.size());
		if (read >= 0)
			return _Matches(value.data(), std::min((size_t)read, fBuffer.size()));
		if (errno != ERANGE)
			return false;
	}
	return false;
}

bool
DeinstallSearch::Walker::_FileMatches(int folderFd, const char* name)
{
	if (fUseGetxattrat) {
		ssize_t read = getxattr_at(folderFd, name, kInstallByXattr, fBuffer.data(), fBuffer.size());
		if (read >= 0)
			return _Matches(fBuffer.data(), read);
		if (errno == ERANGE) {
			return _LongValueMatches([&](void* buffer, size_t size) {
				return getxattr_at(folderFd, name, kInstallByXattr, buffer, size);
			});
		}
		// An older kernel, or a filter that refuses the call: open each file instead.
		if (errno != ENOSYS && errno != EPERM && errno != EINVAL && errno != E2BIG)
			return false;
		fUseGetxattrat = false;
	}

	// Never blocks: a FIFO, or a file under a lease that another program holds.
	ScopedFd fd(openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
	if (fd.Get() < 0)
		return false;
	return _FolderMatches(fd.Get());
}

bool
DeinstallSearch::Walker::_FolderMatches(int fd)
{
	ssize_t read = fgetxattr(fd, kInstallByXattr, fBuffer.data(), fBuffer.size());
	if (read >= 0)
		return _Matches(fBuffer.data(), read);
	if (errno != ERANGE)
		return false;
	return _LongValueMatches(
		[&](void* buffer, size_t size) { return fgetxattr(fd, kInstallByXattr, buffer, size); });
}

bool
DeinstallSearch::Walker::_LinkMatches(int folderFd, const char* name, const struct statx& info)
{
	bool hasBirth = (info.stx_mask & STATX_BTIME) != 0;
	ssize_t read = BPrivate::attribute_store::ReadLinkAttrAt(folderFd, name, info.stx_ino,
		hasBirth ? info.stx_btime.tv_sec : 0, hasBirth ? info.stx_btime.tv_nsec : 0, kInstallBy,
		fBuffer.data(), fBuffer.size());
	return read >= 0 && _Matches(fBuffer.data(), read);
}

void
DeinstallSearch::Walker::_AddFound(const char* name)
{
	size_t length = fPath.size();
	if (fPath != "/")
		fPath += '/';
	fPath += name;
	fSearch._AddFound(fPath.c_str());
	fPath.resize(length);
}

int64
DeinstallSearch::Walker::ScanFolder(int fd, const struct statx& self, const char* leaf)
{
	fSearch.UpdateParent(leaf, self.stx_size);
	int64 total = self.stx_size;

	FolderStream folder(fd);
	if (folder.Get() == NULL) {
		fSearch.fUnreadableFolders++;
		return total;
	}
	const int folderFd = dirfd(folder.Get());
	// The leaf is kept here: fPath changes while the folders inside are searched.
	const std::string folderName = leaf;
	bool counted = false;

	while (true) {
		CancelPoint::Check();
		errno = 0;
		struct dirent* entry = readdir(folder.Get());
		if (entry == NULL) {
			if (errno != 0 && !counted)
				fSearch.fUnreadableFolders++;
			break;
		}
		const char* name = entry->d_name;
		if (is_dot_or_dot_dot(name))
			continue;

		struct statx info;
		if (statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &info) != 0) {
			// A folder that can be listed but not entered.
			if (errno == EACCES && !counted) {
				fSearch.fUnreadableFolders++;
				counted = true;
			}
			continue;
		}
		// A mount point shows the root of what is mounted on it.
		if (!_OnVolume(info))
			continue;

		if (S_ISDIR(info.stx_mode)) {
			if (IsBootTrash(info))
				continue;
			int subFd = openat(
				folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
			if (subFd < 0) {
				fSearch.fUnreadableFolders++;
				fSearch.UpdateParent(folderName.c_str(), info.stx_size);
				total += info.stx_size;
				continue;
			}
			if (_FolderMatches(subFd))
				_AddFound(name);
			size_t length = fPath.size();
			if (fPath != "/")
				fPath += '/';
			fPath += name;
			total += ScanFolder(subFd, info, name);
			fPath.resize(length);
			continue;
		}

		// Only files and folders keep user attributes on Linux; a link's are in its folder.
		// Devices, FIFOs and sockets are never opened.
		if (S_ISREG(info.stx_mode)) {
			if (_FileMatches(folderFd, name))
				_AddFound(name);
		} else if (S_ISLNK(info.stx_mode)) {
			if (_LinkMatches(folderFd, name, info))
				_AddFound(name);
		}
		fSearch.UpdateParent(folderName.c_str(), info.stx_size);
		total += info.stx_size;
	}
	return total;
}

// #pragma mark - DeinstallSearch


DeinstallSearch::DeinstallSearch(const BVolume& volume) :
	fVolume(volume),
	fUnreadableFolders(0),
	fProgressInterval(kDefaultProgressInterval),
	fLastProgress(0),
	fProgressSent(false),
	fPendingSize(0),
	fPending(false)
{
}

DeinstallSearch::~DeinstallSearch()
{
	// The search uses this object's members: it must end before they go.
	BPrivate::CancelDisabler disabler;
	if (fThreadId != find_thread(NULL))
		Kill();
}

void
DeinstallSearch::SetTag(const char* tag)
{
	fTag = tag != NULL ? tag : "";
}

status_t
DeinstallSearch::Action()
{
	// Kill-safe from the start: a kill takes effect at the walk's own checks only.
	BPrivate::CancelDisabler disabler;
	BDirectory root;
	if (fVolume.GetRootDirectory(&root) != B_OK)
		return B_OK;
	BEntry entry;
	if (root.GetEntry(&entry) != B_OK)
		return B_OK;
	Scan(entry);
	return B_OK;
}

int64
DeinstallSearch::Scan(BEntry& directory)
{
	BPrivate::CancelDisabler disabler;
	BPath path;
	if (directory.GetPath(&path) != B_OK)
		return 0;

	ScopedFd fd(open(path.Path(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
	if (fd.Get() < 0) {
		fUnreadableFolders++;
		return 0;
	}
	struct statx info;
	if (statx(fd.Get(), "", AT_EMPTY_PATH, kStatxMask, &info) != 0)
		return 0;

	Walker walker(*this, path.Path(), info);
	if (walker.IsBootTrash(info))
		return 0;

	std::string leaf = path.Leaf() != NULL && path.Leaf()[0] != '\0' ? path.Leaf() : path.Path();
	fProgressSent = false;
	int64 total = walker.ScanFolder(fd.Release(), info, leaf.c_str());
	if (fPending)
		_SendProgress(leaf.c_str());
	return total;
}

void
DeinstallSearch::UpdateParent(const char* folder, const int64& size)
{
	fPendingSize += size;
	fPending = true;
	if (fMessenger == NULL)
		return;
	if (fProgressInterval > 0 && fProgressSent
		&& system_time() - fLastProgress < fProgressInterval) {
		return;
	}
	_SendProgress(folder);
}

void
DeinstallSearch::_SendProgress(const char* folder)
{
	fPending = false;
	int64 size = fPendingSize;
	fPendingSize = 0;
	if (fMessenger == NULL)
		return;

	BMessage message(kSearchProgress);
	message.AddFloat("size", (float)size);
	message.AddString("folder", folder);
	LibString found;
	found.Formatted("%ld", (long)fFound.Size());
	message.AddString("found", found);
	{
		// Waits while the owner's queue is full; a kill must be able to end that wait.
		CancelPoint point;
		fMessenger->SendMessage(&message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
	}
	fProgressSent = true;
	fLastProgress = system_time();
}

void
DeinstallSearch::_AddFound(const char* path)
{
	if (!fFoundSet.insert(path).second)
		return;
	fFound.Add(path);
}

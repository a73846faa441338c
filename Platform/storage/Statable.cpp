#include <Statable.h>

#include <Volume.h>

#include "AttributeStore.h"
#include "StoragePrivate.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using BPrivate::NodeLocation;

namespace {

status_t
set_times(const NodeLocation& location, const struct timespec times[2])
{
	int result = location.fd >= 0
		? futimens(location.fd, times)
		: utimensat(AT_FDCWD, location.path.c_str(), times, AT_SYMLINK_NOFOLLOW);
	return result == 0 ? B_OK : BPrivate::status_from_errno();
}

// The node's birth time where the file system records it.
bool
birth_time(const NodeLocation& location, time_t* time)
{
	struct statx info;
	int result = location.fd >= 0
		? statx(location.fd, "", AT_EMPTY_PATH, STATX_BTIME, &info)
		: statx(AT_FDCWD, location.path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &info);
	if (result != 0 || (info.stx_mask & STATX_BTIME) == 0)
		return false;
	*time = info.stx_btime.tv_sec;
	return true;
}

} // namespace

BStatable::~BStatable() { }

bool
BStatable::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool
BStatable::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

bool
BStatable::IsSymLink() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}

status_t
BStatable::GetNodeRef(node_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	ref->device = st.st_dev;
	ref->node = st.st_ino;
	return B_OK;
}

status_t
BStatable::GetOwner(uid_t* owner) const
{
	if (owner == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*owner = st.st_uid;
	return status;
}

status_t
BStatable::SetOwner(uid_t owner)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	int result = location.fd >= 0 ? fchown(location.fd, owner, (gid_t)-1)
								  : lchown(location.path.c_str(), owner, (gid_t)-1);
	return result == 0 ? B_OK : BPrivate::status_from_errno();
}

status_t
BStatable::GetGroup(gid_t* group) const
{
	if (group == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*group = st.st_gid;
	return status;
}

status_t
BStatable::SetGroup(gid_t group)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	int result = location.fd >= 0 ? fchown(location.fd, (uid_t)-1, group)
								  : lchown(location.path.c_str(), (uid_t)-1, group);
	return result == 0 ? B_OK : BPrivate::status_from_errno();
}

status_t
BStatable::GetPermissions(mode_t* permissions) const
{
	if (permissions == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*permissions = st.st_mode & 07777;
	return status;
}

status_t
BStatable::SetPermissions(mode_t permissions)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	// Linux links always carry 0777: their permissions cannot be set.
	if (location.isLink)
		return B_NOT_SUPPORTED;
	int result = location.fd >= 0 ? fchmod(location.fd, permissions & 07777)
								  : chmod(location.path.c_str(), permissions & 07777);
	return result == 0 ? B_OK : BPrivate::status_from_errno();
}

status_t
BStatable::GetSize(off_t* size) const
{
	if (size == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*size = st.st_size;
	return status;
}

status_t
BStatable::GetModificationTime(time_t* mtime) const
{
	if (mtime == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*mtime = st.st_mtime;
	return status;
}

status_t
BStatable::SetModificationTime(time_t mtime)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	struct timespec times[2] = { { 0, UTIME_OMIT }, { mtime, 0 } };
	return set_times(location, times);
}

status_t
BStatable::GetCreationTime(time_t* ctime) const
{
	if (ctime == nullptr)
		return B_BAD_VALUE;
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	if (BPrivate::attribute_store::GetCreationTime(location, ctime) == B_OK)
		return B_OK;
	if (birth_time(location, ctime))
		return B_OK;

	// Without a birth time the older of the change and modification times comes
	// closest.
	struct stat st;
	status = GetStat(&st);
	if (status == B_OK)
		*ctime = st.st_ctime < st.st_mtime ? st.st_ctime : st.st_mtime;
	return status;
}

status_t
BStatable::SetCreationTime(time_t ctime)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	return BPrivate::attribute_store::SetCreationTime(location, ctime);
}

status_t
BStatable::GetAccessTime(time_t* atime) const
{
	if (atime == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*atime = st.st_atime;
	return status;
}

status_t
BStatable::SetAccessTime(time_t atime)
{
	NodeLocation location;
	status_t status = _GetLocation(&location);
	if (status != B_OK)
		return status;
	struct timespec times[2] = { { atime, 0 }, { 0, UTIME_OMIT } };
	return set_times(location, times);
}

status_t
BStatable::GetVolume(BVolume* volume) const
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	return volume->SetTo(st.st_dev);
}

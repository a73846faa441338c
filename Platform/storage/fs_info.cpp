#include <fs_info.h>

#include "AttributeStore.h"
#include "MountTable.h"
#include "StoragePrivate.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>

using namespace BPrivate;

dev_t
dev_for_path(const char* path)
{
	if (path == nullptr)
		return (dev_t)(int64)B_BAD_VALUE;
	struct stat st;
	if (stat(path, &st) != 0)
		return (dev_t)(int64)status_from_errno();
	return st.st_dev;
}

dev_t
next_dev(int32* cookie)
{
	if (cookie == nullptr || *cookie < 0)
		return (dev_t)(int64)B_BAD_VALUE;
	std::vector<VolumeEntry> volumes;
	status_t status = read_volumes(&volumes);
	if (status != B_OK)
		return (dev_t)(int64)status;
	if ((size_t)*cookie >= volumes.size())
		return (dev_t)(int64)B_BAD_VALUE;
	return volumes[(*cookie)++].device;
}

int
fs_stat_dev(dev_t device, fs_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	VolumeEntry volume;
	status_t status = find_volume(device, &volume);
	if (status != B_OK)
		return status;

	memset(info, 0, sizeof(*info));
	info->dev = volume.device;
	struct stat st;
	if (stat(volume.mountPoint.c_str(), &st) == 0)
		info->root = st.st_ino;
	struct statvfs space;
	if (statvfs(volume.mountPoint.c_str(), &space) == 0) {
		info->block_size = space.f_frsize;
		info->io_size = space.f_bsize;
		info->total_blocks = space.f_blocks;
		info->free_blocks = space.f_bavail;
		info->total_nodes = space.f_files;
		info->free_nodes = space.f_ffree;
	}

	uint32 flags = 0;
	if (volume.readOnly)
		flags |= B_FS_IS_READONLY;
	if (volume.removable)
		flags |= B_FS_IS_REMOVABLE;
	if (volume.persistent)
		flags |= B_FS_IS_PERSISTENT;
	if (volume.shared)
		flags |= B_FS_IS_SHARED;
	if (attribute_store::SupportsAttributes(volume.mountPoint))
		flags |= B_FS_HAS_ATTR | B_FS_HAS_MIME;
	info->flags = flags;

	snprintf(info->device_name, sizeof(info->device_name), "%s", volume.source.c_str());
	snprintf(info->volume_name, sizeof(info->volume_name), "%s", volume.name.c_str());
	snprintf(info->fsh_name, sizeof(info->fsh_name), "%s", volume.fsType.c_str());
	return B_OK;
}

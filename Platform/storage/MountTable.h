// The mount table (/proc/self/mountinfo) and the volumes it holds. A volume is a mounted
// file system that holds user data; pseudo file systems and mounts under /dev, /proc,
// /sys and /run are not volumes, and the file system that holds $HOME always is.
#ifndef _MOUNT_TABLE_H
#define _MOUNT_TABLE_H

#include <SupportDefs.h>

#include <string>
#include <sys/types.h>
#include <vector>

namespace BPrivate {

struct MountEntry {
	int id = 0;
	int parentId = 0;
	dev_t device = 0;
	std::string root;
	std::string mountPoint;
	std::string options;
	std::string fsType;
	std::string source;
	std::string superOptions;
};

struct VolumeEntry {
	dev_t device = 0;
	// The device of the volume that holds the mount point (the volume itself for "/").
	dev_t parentDevice = 0;
	std::string mountPoint;
	std::string fsType;
	std::string source;
	// Unique in a listing: the label, else the mount point's leaf, else the host name
	// for "/"; a repeated name gets " 2", " 3", ...
	std::string name;
	bool readOnly = false;
	bool removable = false;
	bool shared = false;
	bool persistent = true;
	bool isBoot = false;
};

// Parses mountinfo text; lines that do not parse are skipped.
void parse_mounts(const std::string& text, std::vector<MountEntry>* mounts);
status_t read_mounts(std::vector<MountEntry>* mounts);

// The volumes among mounts, the boot volume (bootDevice) first, then in mount order.
void volumes_from_mounts(
	const std::vector<MountEntry>& mounts, dev_t bootDevice, std::vector<VolumeEntry>* volumes);
status_t read_volumes(std::vector<VolumeEntry>* volumes);
status_t find_volume(dev_t device, VolumeEntry* volume);

// The device of the file system that holds $HOME ("/" when HOME is unusable).
dev_t boot_device();

// A volume's home folder: $HOME when it lies on the volume, else the mount point's
// "home" folder when it exists, else the mount point.
std::string volume_home_folder(const VolumeEntry& volume);

} // namespace BPrivate

#endif // _MOUNT_TABLE_H

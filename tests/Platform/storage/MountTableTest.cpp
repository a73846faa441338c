// Reading mountinfo and deciding which mounts are volumes, with their names and flags.
#include "MountTable.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

const char kMountInfo[] =
	"22 27 0:21 / /proc rw,relatime - proc proc rw\n"
	"27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
	"24 27 0:6 / /dev rw - devtmpfs devtmpfs rw\n"
	"25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
	"30 27 0:30 / /run/user/1000 rw - tmpfs tmpfs rw\n"
	"31 27 8:17 / /media/My\\040Disk ro,nosuid master:4 shared:9 - vfat /dev/sdb1 rw\n"
	"32 27 0:40 / /mnt/data rw - tmpfs tmpfs rw\n"
	"33 27 0:41 / /srv/data rw - nfs4 server:/export rw\n"
	"34 27 254:0 /srv/bind /mnt/bind rw - ext4 /dev/vda rw\n"
	"35 27 0:42 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
	"garbage line\n"
	"36 27 0:43 / /mnt/broken rw no-separator ext4\n";

std::string
host_name()
{
	char name[256] = {};
	gethostname(name, sizeof(name) - 1);
	return name;
}

} // namespace

TEST(MountTable, ParsesFieldsEscapesAndOptionalTags)
{
	std::vector<MountEntry> mounts;
	parse_mounts(kMountInfo, &mounts);
	ASSERT_EQ(mounts.size(), 10u);
	const MountEntry& disk = mounts[5];
	EXPECT_EQ(disk.id, 31);
	EXPECT_EQ(disk.parentId, 27);
	EXPECT_EQ(disk.device, makedev(8, 17));
	EXPECT_EQ(disk.mountPoint, "/media/My Disk");
	EXPECT_EQ(disk.options, "ro,nosuid");
	EXPECT_EQ(disk.fsType, "vfat");
	EXPECT_EQ(disk.source, "/dev/sdb1");
	EXPECT_EQ(mounts[8].root, "/srv/bind");
}

TEST(MountTable, VolumesAreUserDataMountsWithTheBootVolumeFirst)
{
	std::vector<MountEntry> mounts;
	parse_mounts(kMountInfo, &mounts);
	std::vector<VolumeEntry> volumes;
	volumes_from_mounts(mounts, makedev(0, 40), &volumes);

	ASSERT_EQ(volumes.size(), 4u);
	// The boot volume (the tmpfs holding HOME here) leads; the rest keep mount order, and
	// the bind mount of the root file system is no volume of its own.
	EXPECT_EQ(volumes[0].mountPoint, "/mnt/data");
	EXPECT_TRUE(volumes[0].isBoot);
	EXPECT_FALSE(volumes[0].persistent);
	EXPECT_EQ(volumes[1].mountPoint, "/");
	EXPECT_EQ(volumes[1].name, host_name());
	EXPECT_TRUE(volumes[1].persistent);
	EXPECT_EQ(volumes[2].mountPoint, "/media/My Disk");
	EXPECT_EQ(volumes[2].name, "My Disk");
	EXPECT_TRUE(volumes[2].readOnly);
	EXPECT_EQ(volumes[2].parentDevice, makedev(254, 0));
	EXPECT_EQ(volumes[3].fsType, "nfs4");
	EXPECT_TRUE(volumes[3].shared);

	// Two volumes named "data": the second in the listing is told apart.
	EXPECT_EQ(volumes[0].name, "data");
	EXPECT_EQ(volumes[3].name, "data 2");
}

TEST(MountTable, TheRealTableHoldsTheBootVolume)
{
	std::vector<VolumeEntry> volumes;
	ASSERT_EQ(read_volumes(&volumes), B_OK);
	ASSERT_FALSE(volumes.empty());
	EXPECT_TRUE(volumes[0].isBoot);
	EXPECT_EQ(volumes[0].device, boot_device());
	EXPECT_EQ(volume_home_folder(volumes[0]), getenv("HOME"));
}

#include "MountTable.h"

#include "StoragePrivate.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// File systems that only show kernel state.
const char* const kPseudoFileSystems[] = { "proc", "sysfs", "devtmpfs", "devpts", "cgroup",
	"cgroup2", "securityfs", "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs",
	"configfs", "fusectl", "binfmt_misc", "autofs", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs",
	"nfsd" };

// Mount points below these folders hold no user data (system state, snap images,
// container layers).
const char* const kHiddenFolders[] = { "/dev", "/proc", "/sys", "/run", "/snap", "/var/lib/docker",
	"/var/lib/containers" };

const char* const kNetworkFileSystems[] = { "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs",
	"ceph", "glusterfs", "9p", "fuse.sshfs", "fuse.rclone", "davfs", "fuse.davfs2" };

bool
in_list(const std::string& value, const char* const* list, size_t count)
{
	for (size_t i = 0; i < count; i++) {
		if (value == list[i])
			return true;
	}
	return false;
}

bool
is_hidden_mount_point(const std::string& path)
{
	for (const char* folder : kHiddenFolders) {
		size_t length = strlen(folder);
		if (path.compare(0, length, folder) == 0
			&& (path.size() == length || path[length] == '/')) {
			return true;
		}
	}
	return false;
}

// Undoes mountinfo's octal escapes (\040 for a space) and udev's \xHH escapes.
std::string
unescape(const std::string& text)
{
	std::string result;
	for (size_t i = 0; i < text.size(); i++) {
		if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3'
			&& text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0'
			&& text[i + 3] <= '7') {
			result +=
				(char)((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
			i += 3;
		} else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x'
			&& isxdigit((unsigned char)text[i + 2]) && isxdigit((unsigned char)text[i + 3])) {
			result += (char)strtol(text.substr(i + 2, 2).c_str(), nullptr, 16);
			i += 3;
		} else {
			result += text[i];
		}
	}
	return result;
}

bool
has_option(const std::string& options, const char* option)
{
	std::stringstream stream(options);
	std::string item;
	while (std::getline(stream, item, ',')) {
		if (item == option)
			return true;
	}
	return false;
}

std::string
read_small_file(const char* path)
{
	FILE* file = fopen(path, "re");
	if (file == nullptr)
		return "";
	char buffer[64];
	size_t read = fread(buffer, 1, sizeof(buffer) - 1, file);
	fclose(file);
	return std::string(buffer, read);
}

// The removable flag of the block device behind a mount (a partition asks its disk).
bool
is_removable(const MountEntry& mount)
{
	dev_t device = mount.device;
	if (major(device) == 0) {
		struct stat st;
		if (mount.source.compare(0, 5, "/dev/") != 0 || stat(mount.source.c_str(), &st) != 0
			|| !S_ISBLK(st.st_mode)) {
			return false;
		}
		device = st.st_rdev;
	}
	char path[96];
	snprintf(path, sizeof(path), "/sys/dev/block/%u:%u/removable", major(device), minor(device));
	std::string flag = read_small_file(path);
	if (flag.empty()) {
		snprintf(
			path, sizeof(path), "/sys/dev/block/%u:%u/../removable", major(device), minor(device));
		flag = read_small_file(path);
	}
	return !flag.empty() && flag[0] == '1';
}

// File-system labels by the canonical path of their block device.
std::map<std::string, std::string>
read_labels()
{
	std::map<std::string, std::string> labels;
	const char* folder = "/dev/disk/by-label";
	DIR* dir = opendir(folder);
	if (dir == nullptr)
		return labels;
	while (struct dirent* entry = readdir(dir)) {
		if (entry->d_name[0] == '.')
			continue;
		std::string link = std::string(folder) + "/" + entry->d_name;
		char* target = realpath(link.c_str(), nullptr);
		if (target == nullptr)
			continue;
		labels[target] = unescape(entry->d_name);
		free(target);
	}
	closedir(dir);
	return labels;
}

std::string
host_name()
{
	char name[HOST_NAME_MAX + 1] = {};
	if (gethostname(name, sizeof(name) - 1) != 0 || name[0] == '\0')
		return "Root";
	return name;
}

} // namespace

void
parse_mounts(const std::string& text, std::vector<MountEntry>* mounts)
{
	mounts->clear();
	std::stringstream lines(text);
	std::string line;
	while (std::getline(lines, line)) {
		std::stringstream fields(line);
		MountEntry mount;
		std::string device;
		if (!(fields >> mount.id >> mount.parentId >> device >> mount.root >> mount.mountPoint
				>> mount.options)) {
			continue;
		}
		// Optional fields run up to a lone "-".
		std::string field;
		bool separated = false;
		while (fields >> field) {
			if (field == "-") {
				separated = true;
				break;
			}
		}
		if (!separated || !(fields >> mount.fsType >> mount.source))
			continue;
		fields >> mount.superOptions;

		unsigned int majorNumber = 0;
		unsigned int minorNumber = 0;
		if (sscanf(device.c_str(), "%u:%u", &majorNumber, &minorNumber) != 2)
			continue;
		mount.device = makedev(majorNumber, minorNumber);
		mount.root = unescape(mount.root);
		mount.mountPoint = unescape(mount.mountPoint);
		mount.source = unescape(mount.source);
		mounts->push_back(mount);
	}
}

status_t
read_mounts(std::vector<MountEntry>* mounts)
{
	int fd = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return status_from_errno();
	std::string text;
	char buffer[16384];
	for (;;) {
		ssize_t read = ::read(fd, buffer, sizeof(buffer));
		if (read < 0 && errno == EINTR)
			continue;
		if (read <= 0)
			break;
		text.append(buffer, read);
	}
	close(fd);
	parse_mounts(text, mounts);
	if (mounts->empty())
		return B_ENTRY_NOT_FOUND;
	return B_OK;
}

void
volumes_from_mounts(
	const std::vector<MountEntry>& mounts, dev_t bootDevice, std::vector<VolumeEntry>* volumes)
{
	volumes->clear();
	const size_t pseudoCount = sizeof(kPseudoFileSystems) / sizeof(kPseudoFileSystems[0]);
	const size_t networkCount = sizeof(kNetworkFileSystems) / sizeof(kNetworkFileSystems[0]);

	std::map<int, dev_t> deviceOfMount;
	for (const MountEntry& mount : mounts)
		deviceOfMount[mount.id] = mount.device;

	// One volume per device, at its first place in the table; a mount of the whole file
	// system (root "/") names it rather than a bind mount of one of its folders.
	std::vector<const MountEntry*> chosen;
	std::map<dev_t, size_t> indexOfDevice;
	for (const MountEntry& mount : mounts) {
		bool isBoot = mount.device == bootDevice;
		if (!isBoot) {
			if (in_list(mount.fsType, kPseudoFileSystems, pseudoCount)
				|| is_hidden_mount_point(mount.mountPoint)) {
				continue;
			}
		}
		auto found = indexOfDevice.find(mount.device);
		if (found == indexOfDevice.end()) {
			indexOfDevice[mount.device] = chosen.size();
			chosen.push_back(&mount);
		} else if (chosen[found->second]->root != "/" && mount.root == "/") {
			chosen[found->second] = &mount;
		}
	}

	std::map<std::string, std::string> labels;
	bool labelsRead = false;
	for (const MountEntry* mount : chosen) {
		VolumeEntry volume;
		volume.device = mount->device;
		volume.mountPoint = mount->mountPoint;
		volume.fsType = mount->fsType;
		volume.source = mount->source;
		volume.isBoot = mount->device == bootDevice;
		volume.shared = in_list(mount->fsType, kNetworkFileSystems, networkCount);
		if (!volume.shared && !volume.isBoot) {
			// A file bind-mounted over a file (a container's /etc/hosts) is no volume.
			struct stat st;
			if (lstat(mount->mountPoint.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
				continue;
		}
		volume.readOnly = has_option(mount->options, "ro") || has_option(mount->superOptions, "ro");
		volume.persistent = mount->fsType != "tmpfs" && mount->fsType != "ramfs";
		volume.removable = !volume.shared && is_removable(*mount);
		auto parent = deviceOfMount.find(mount->parentId);
		volume.parentDevice = mount->mountPoint == "/" || parent == deviceOfMount.end()
			? mount->device
			: parent->second;

		if (mount->source.compare(0, 5, "/dev/") == 0) {
			if (!labelsRead) {
				labels = read_labels();
				labelsRead = true;
			}
			char* device = realpath(mount->source.c_str(), nullptr);
			if (device != nullptr) {
				auto label = labels.find(device);
				if (label != labels.end())
					volume.name = label->second;
				free(device);
			}
		}
		if (volume.name.empty())
			volume.name = mount->mountPoint == "/" ? host_name() : path_leaf(mount->mountPoint);

		if (volume.isBoot)
			volumes->insert(volumes->begin(), volume);
		else
			volumes->push_back(volume);
	}

	std::set<std::string> used;
	for (VolumeEntry& volume : *volumes) {
		std::string name = volume.name;
		for (int counter = 2; used.count(name) != 0; counter++)
			name = volume.name + " " + std::to_string(counter);
		volume.name = name;
		used.insert(name);
	}
}

dev_t
boot_device()
{
	struct stat st;
	const char* home = getenv("HOME");
	if (home != nullptr && home[0] == '/' && stat(home, &st) == 0)
		return st.st_dev;
	if (stat("/", &st) == 0)
		return st.st_dev;
	return 0;
}

status_t
read_volumes(std::vector<VolumeEntry>* volumes)
{
	std::vector<MountEntry> mounts;
	status_t status = read_mounts(&mounts);
	if (status != B_OK)
		return status;
	volumes_from_mounts(mounts, boot_device(), volumes);
	return B_OK;
}

status_t
find_volume(dev_t device, VolumeEntry* volume)
{
	std::vector<VolumeEntry> volumes;
	status_t status = read_volumes(&volumes);
	if (status != B_OK)
		return status;
	for (const VolumeEntry& entry : volumes) {
		if (entry.device == device) {
			*volume = entry;
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

std::string
volume_home_folder(const VolumeEntry& volume)
{
	struct stat st;
	const char* home = getenv("HOME");
	if (home != nullptr && home[0] == '/' && stat(home, &st) == 0 && st.st_dev == volume.device)
		return absolute_path(home);
	std::string candidate = join_path(volume.mountPoint, "home");
	if (stat(candidate.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == volume.device)
		return candidate;
	return volume.mountPoint;
}

} // namespace BPrivate

#include <FindDirectory.h>

#include <Directory.h>
#include <Path.h>
#include <Volume.h>

#include "MountTable.h"
#include "StoragePrivate.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace BPrivate;

namespace {

enum FolderBase { kHome, kConfig, kData };

// The folders under the user's home; rebased onto another volume's home folder with the
// same relative path.
struct UserFolder {
	directory_which which;
	FolderBase base;
	const char* leaf;
};

const UserFolder kUserFolders[] = {
	{ B_USER_DIRECTORY, kHome, "" },
	{ B_USER_CONFIG_DIRECTORY, kConfig, "" },
	{ B_USER_ADDONS_DIRECTORY, kHome, ".local/lib/addons" },
	{ B_USER_BOOT_DIRECTORY, kConfig, "boot" },
	{ B_USER_FONTS_DIRECTORY, kData, "fonts" },
	{ B_USER_LIB_DIRECTORY, kHome, ".local/lib" },
	{ B_USER_SETTINGS_DIRECTORY, kConfig, "settings" },
	{ B_USER_DESKBAR_DIRECTORY, kData, "deskbar" },
	{ B_USER_PRINTERS_DIRECTORY, kConfig, "printers" },
	{ B_USER_TRANSLATORS_DIRECTORY, kHome, ".local/lib/translators" },
	{ B_USER_MEDIA_NODES_DIRECTORY, kHome, ".local/lib/media" },
	{ B_USER_SOUNDS_DIRECTORY, kData, "sounds" },
	{ B_APPS_DIRECTORY, kHome, "Applications" },
	{ B_PREFERENCES_DIRECTORY, kHome, "Applications/Preferences" },
	{ B_UTILITIES_DIRECTORY, kHome, "Applications/Utilities" },
};

// The system-wide folders ("BeOS" is /usr, "Common" /usr/local); rebased under another
// volume's mount point.
struct SystemFolder {
	directory_which which;
	const char* path;
};

const SystemFolder kSystemFolders[] = {
	{ B_BEOS_DIRECTORY, "/usr" },
	{ B_BEOS_SYSTEM_DIRECTORY, "/usr/lib" },
	{ B_BEOS_ADDONS_DIRECTORY, "/usr/lib/addons" },
	{ B_BEOS_BOOT_DIRECTORY, "/etc/init.d" },
	{ B_BEOS_FONTS_DIRECTORY, "/usr/share/fonts" },
	{ B_BEOS_LIB_DIRECTORY, "/usr/lib" },
	{ B_BEOS_SERVERS_DIRECTORY, "/usr/libexec" },
	{ B_BEOS_APPS_DIRECTORY, "/usr/share/applications" },
	{ B_BEOS_BIN_DIRECTORY, "/usr/bin" },
	{ B_BEOS_ETC_DIRECTORY, "/etc" },
	{ B_BEOS_DOCUMENTATION_DIRECTORY, "/usr/share/doc" },
	{ B_BEOS_PREFERENCES_DIRECTORY, "/usr/share/applications" },
	{ B_BEOS_TRANSLATORS_DIRECTORY, "/usr/lib/translators" },
	{ B_BEOS_MEDIA_NODES_DIRECTORY, "/usr/lib/media" },
	{ B_BEOS_SOUNDS_DIRECTORY, "/usr/share/sounds" },
	{ B_COMMON_DIRECTORY, "/usr/local" },
	{ B_COMMON_SYSTEM_DIRECTORY, "/usr/local/lib" },
	{ B_COMMON_ADDONS_DIRECTORY, "/usr/local/lib/addons" },
	{ B_COMMON_BOOT_DIRECTORY, "/usr/local/etc/boot" },
	{ B_COMMON_FONTS_DIRECTORY, "/usr/local/share/fonts" },
	{ B_COMMON_LIB_DIRECTORY, "/usr/local/lib" },
	{ B_COMMON_SERVERS_DIRECTORY, "/usr/local/libexec" },
	{ B_COMMON_BIN_DIRECTORY, "/usr/local/bin" },
	{ B_COMMON_ETC_DIRECTORY, "/usr/local/etc" },
	{ B_COMMON_DOCUMENTATION_DIRECTORY, "/usr/local/share/doc" },
	{ B_COMMON_SETTINGS_DIRECTORY, "/usr/local/etc" },
	{ B_COMMON_DEVELOP_DIRECTORY, "/usr/local/include" },
	{ B_COMMON_LOG_DIRECTORY, "/var/log" },
	{ B_COMMON_SPOOL_DIRECTORY, "/var/spool" },
	{ B_COMMON_TEMP_DIRECTORY, nullptr },
	{ B_COMMON_VAR_DIRECTORY, "/var" },
	{ B_COMMON_TRANSLATORS_DIRECTORY, "/usr/local/lib/translators" },
	{ B_COMMON_MEDIA_NODES_DIRECTORY, "/usr/local/lib/media" },
	{ B_COMMON_SOUNDS_DIRECTORY, "/usr/local/share/sounds" },
};

// An environment variable that holds an absolute path.
bool
absolute_variable(const char* name, std::string* value)
{
	const char* text = getenv(name);
	if (text == nullptr || text[0] != '/')
		return false;
	*value = absolute_path(text);
	return true;
}

struct UserFolders {
	std::string home;
	std::string config;
	std::string data;
};

status_t
user_folders(UserFolders* folders)
{
	if (!absolute_variable("HOME", &folders->home))
		return B_ENTRY_NOT_FOUND;
	if (!absolute_variable("XDG_CONFIG_HOME", &folders->config))
		folders->config = join_path(folders->home, ".config");
	if (!absolute_variable("XDG_DATA_HOME", &folders->data))
		folders->data = join_path(folders->home, ".local/share");
	return B_OK;
}

// XDG_DESKTOP_DIR, else its line in user-dirs.dirs, else ~/Desktop.
std::string
desktop_folder(const UserFolders& folders)
{
	std::string desktop;
	if (absolute_variable("XDG_DESKTOP_DIR", &desktop))
		return desktop;

	std::ifstream file(join_path(folders.config, "user-dirs.dirs"));
	std::string line;
	while (std::getline(file, line)) {
		const char key[] = "XDG_DESKTOP_DIR=";
		size_t start = line.find_first_not_of(" \t");
		if (start == std::string::npos || line.compare(start, strlen(key), key) != 0)
			continue;
		std::string value = line.substr(start + strlen(key));
		if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
			value = value.substr(1, value.size() - 2);
		if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
			return absolute_path(folders.home + value.substr(5));
		if (!value.empty() && value[0] == '/')
			return absolute_path(value);
	}
	return join_path(folders.home, "Desktop");
}

std::string
temporary_folder()
{
	std::string folder;
	if (absolute_variable("TMPDIR", &folder))
		return folder;
	return "/tmp";
}

// path relative to folder, or false when it does not lie below it.
bool
relative_to(const std::string& path, const std::string& folder, std::string* relative)
{
	if (path == folder) {
		relative->clear();
		return true;
	}
	if (path.compare(0, folder.size(), folder) != 0 || path.size() <= folder.size()
		|| (folder != "/" && path[folder.size()] != '/')) {
		return false;
	}
	*relative = path.substr(folder == "/" ? 1 : folder.size() + 1);
	return true;
}

// The folder on the boot volume, or rebased onto another volume.
status_t
folder_path(directory_which which, const VolumeEntry* volume, std::string* path)
{
	if (which == B_TRASH_DIRECTORY) {
		if (volume != nullptr) {
			*path = join_path(
				volume->mountPoint, ".Trash-" + std::to_string((unsigned long)getuid()) + "/files");
			return B_OK;
		}
		UserFolders folders;
		status_t status = user_folders(&folders);
		if (status == B_OK)
			*path = join_path(folders.data, "Trash/files");
		return status;
	}

	for (const SystemFolder& row : kSystemFolders) {
		if (row.which != which)
			continue;
		std::string folder = row.path != nullptr ? row.path : temporary_folder();
		*path = volume != nullptr ? join_path(volume->mountPoint, folder.substr(1)) : folder;
		return B_OK;
	}

	UserFolders folders;
	status_t status = user_folders(&folders);
	if (status != B_OK)
		return status;

	std::string bootPath;
	std::string fallback;
	if (which == B_DESKTOP_DIRECTORY) {
		bootPath = desktop_folder(folders);
		fallback = "Desktop";
	} else {
		const UserFolder* found = nullptr;
		for (const UserFolder& row : kUserFolders) {
			if (row.which == which)
				found = &row;
		}
		if (found == nullptr)
			return B_BAD_VALUE;
		const char* defaults[] = { "", ".config", ".local/share" };
		const std::string* bases[] = { &folders.home, &folders.config, &folders.data };
		bootPath = join_path(*bases[found->base], found->leaf);
		fallback = join_path(defaults[found->base], found->leaf);
	}
	if (volume == nullptr) {
		*path = bootPath;
		return B_OK;
	}

	// A folder that the environment moved out of $HOME keeps its usual place relative
	// to the other volume's home folder.
	std::string relative;
	if (!relative_to(bootPath, folders.home, &relative))
		relative = fallback;
	*path = join_path(volume_home_folder(*volume), relative);
	return B_OK;
}

status_t
find_folder(directory_which which, dev_t device, bool create, std::string* path)
{
	VolumeEntry volume;
	const VolumeEntry* rebase = nullptr;
	if ((int64)device >= 0 && device != boot_device()) {
		status_t status = find_volume(device, &volume);
		if (status != B_OK)
			return status;
		rebase = &volume;
	}
	status_t status = folder_path(which, rebase, path);
	if (status != B_OK || !create)
		return status;

	// The Trash of a volume is private to its user.
	mode_t mode = which == B_TRASH_DIRECTORY ? 0700 : 0755;
	if (which == B_TRASH_DIRECTORY) {
		status = create_directory(path_folder(*path).c_str(), mode);
		if (status != B_OK)
			return status;
	}
	return create_directory(path->c_str(), mode);
}

} // namespace

status_t
find_directory(directory_which which, dev_t volume, bool create, char* path, int32 length)
{
	if (path == nullptr || length <= 0)
		return B_BAD_VALUE;
	std::string folder;
	status_t status = find_folder(which, volume, create, &folder);
	if (status != B_OK)
		return status;
	if (folder.size() + 1 > (size_t)length)
		return B_BUFFER_OVERFLOW;
	memcpy(path, folder.c_str(), folder.size() + 1);
	return B_OK;
}

status_t
find_directory(directory_which which, BPath* path, bool create, BVolume* volume)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	dev_t device = (dev_t)-1;
	if (volume != nullptr) {
		if (volume->InitCheck() != B_OK)
			return B_BAD_VALUE;
		device = volume->Device();
	}
	std::string folder;
	status_t status = find_folder(which, device, create, &folder);
	if (status != B_OK)
		return status;
	return path->SetTo(folder.c_str());
}

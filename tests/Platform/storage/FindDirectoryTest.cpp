// find_directory on the boot volume: every code under the sandboxed HOME, XDG_* and
// TMPDIR, the user-dirs file, creation, and the C form's buffer.
#include <FindDirectory.h>

#include <Path.h>
#include <Volume.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
	~ScopedEnvironment()
	{
		for (auto& [name, value] : fSaved) {
			if (value.second)
				setenv(name.c_str(), value.first.c_str(), 1);
			else
				unsetenv(name.c_str());
		}
	}

	void Set(const char* name, const char* value)
	{
		if (fSaved.count(name) == 0) {
			const char* old = getenv(name);
			fSaved[name] = { old != nullptr ? old : "", old != nullptr };
		}
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

private:
	std::map<std::string, std::pair<std::string, bool>> fSaved;
};

std::string
find(directory_which which, bool create = false)
{
	BPath path;
	status_t status = find_directory(which, &path, create);
	if (status != B_OK)
		return "error " + std::to_string(status);
	return path.Path();
}

} // namespace

TEST(FindDirectory, EveryCodeFollowsTheEnvironmentAndTheSystemLayout)
{
	ScopedTempDir temp;
	std::string root = temp.Path().string();
	ScopedEnvironment environment;
	environment.Set("HOME", (root + "/home").c_str());
	environment.Set("XDG_CONFIG_HOME", (root + "/config").c_str());
	environment.Set("XDG_DATA_HOME", (root + "/data").c_str());
	environment.Set("XDG_DESKTOP_DIR", (root + "/desk").c_str());
	environment.Set("TMPDIR", (root + "/tmp").c_str());

	const std::string home = root + "/home";
	const std::string config = root + "/config";
	const std::string data = root + "/data";
	const std::pair<directory_which, std::string> rows[] = {
		{ B_DESKTOP_DIRECTORY, root + "/desk" },
		{ B_TRASH_DIRECTORY, data + "/Trash/files" },
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
		{ B_COMMON_TEMP_DIRECTORY, root + "/tmp" },
		{ B_COMMON_VAR_DIRECTORY, "/var" },
		{ B_COMMON_TRANSLATORS_DIRECTORY, "/usr/local/lib/translators" },
		{ B_COMMON_MEDIA_NODES_DIRECTORY, "/usr/local/lib/media" },
		{ B_COMMON_SOUNDS_DIRECTORY, "/usr/local/share/sounds" },
		{ B_USER_DIRECTORY, home },
		{ B_USER_CONFIG_DIRECTORY, config },
		{ B_USER_ADDONS_DIRECTORY, home + "/.local/lib/addons" },
		{ B_USER_BOOT_DIRECTORY, config + "/boot" },
		{ B_USER_FONTS_DIRECTORY, data + "/fonts" },
		{ B_USER_LIB_DIRECTORY, home + "/.local/lib" },
		{ B_USER_SETTINGS_DIRECTORY, config + "/settings" },
		{ B_USER_DESKBAR_DIRECTORY, data + "/deskbar" },
		{ B_USER_PRINTERS_DIRECTORY, config + "/printers" },
		{ B_USER_TRANSLATORS_DIRECTORY, home + "/.local/lib/translators" },
		{ B_USER_MEDIA_NODES_DIRECTORY, home + "/.local/lib/media" },
		{ B_USER_SOUNDS_DIRECTORY, data + "/sounds" },
		{ B_APPS_DIRECTORY, home + "/Applications" },
		{ B_PREFERENCES_DIRECTORY, home + "/Applications/Preferences" },
		{ B_UTILITIES_DIRECTORY, home + "/Applications/Utilities" },
	};
	EXPECT_EQ(sizeof(rows) / sizeof(rows[0]), 51u);
	for (const auto& [which, expected] : rows)
		EXPECT_EQ(find(which), expected) << "code " << which;

	// Nothing was made along the way.
	EXPECT_FALSE(fs::exists(home));
	EXPECT_EQ(find((directory_which)3012), "error " + std::to_string(B_BAD_VALUE));
}

TEST(FindDirectory, DefaultsAndTheUserDirsFile)
{
	ScopedTempDir temp;
	std::string home = temp.Path().string() + "/home";
	ScopedEnvironment environment;
	environment.Set("HOME", home.c_str());
	environment.Set("XDG_CONFIG_HOME", nullptr);
	environment.Set("XDG_DATA_HOME", "relative/is/ignored");
	environment.Set("XDG_DESKTOP_DIR", nullptr);
	environment.Set("TMPDIR", nullptr);

	EXPECT_EQ(find(B_DESKTOP_DIRECTORY), home + "/Desktop");
	EXPECT_EQ(find(B_USER_SETTINGS_DIRECTORY), home + "/.config/settings");
	EXPECT_EQ(find(B_TRASH_DIRECTORY), home + "/.local/share/Trash/files");
	EXPECT_EQ(find(B_COMMON_TEMP_DIRECTORY), "/tmp");

	fs::create_directories(home + "/.config");
	std::ofstream(home + "/.config/user-dirs.dirs")
		<< "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
		   "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
	EXPECT_EQ(find(B_DESKTOP_DIRECTORY), home + "/Schreibtisch");

	environment.Set("HOME", nullptr);
	EXPECT_EQ(find(B_USER_DIRECTORY), "error " + std::to_string(B_ENTRY_NOT_FOUND));
	EXPECT_EQ(find(B_BEOS_BIN_DIRECTORY), "/usr/bin");
}

TEST(FindDirectory, CreatesTheFolderOnlyWhenAsked)
{
	ScopedTempDir temp;
	std::string home = temp.Path().string() + "/home";
	ScopedEnvironment environment;
	environment.Set("HOME", home.c_str());
	environment.Set("XDG_CONFIG_HOME", nullptr);

	std::string boot = find(B_USER_BOOT_DIRECTORY);
	EXPECT_FALSE(fs::exists(boot));
	EXPECT_EQ(find(B_USER_BOOT_DIRECTORY, true), boot);
	EXPECT_TRUE(fs::is_directory(boot));
}

TEST(FindDirectory, CFormChecksItsBufferAndTakesTheBootVolume)
{
	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_EQ(find_directory(B_USER_DIRECTORY, (dev_t)-1, false, buffer, sizeof(buffer)), B_OK);
	EXPECT_STREQ(buffer, getenv("HOME"));
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, (dev_t)-1, false, buffer, 3), B_BUFFER_OVERFLOW);
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, (dev_t)-1, false, nullptr, 3), B_BAD_VALUE);

	struct stat st;
	ASSERT_EQ(stat(getenv("HOME"), &st), 0);
	char onBoot[B_PATH_NAME_LENGTH];
	ASSERT_EQ(
		find_directory(B_USER_SETTINGS_DIRECTORY, st.st_dev, false, onBoot, sizeof(onBoot)), B_OK);
	BVolume boot(st.st_dev);
	BPath path;
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, false, &boot), B_OK);
	EXPECT_STREQ(path.Path(), onBoot);

	BVolume unset;
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, &path, false, &unset), B_BAD_VALUE);
}

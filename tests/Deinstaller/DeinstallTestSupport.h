// Shared pieces of the deinstaller's tests: a deinstaller configuration and its tag, tagging
// entries, and comparing a disk before and after an installation and its removal.
#ifndef DEINSTALL_TEST_SUPPORT_H
#define DEINSTALL_TEST_SUPPORT_H

#include <PackageDefs.h>

#include <Message.h>

#include "../Utilities/FileTestHelpers.h"

#include <map>
#include <string>
#include <vector>

namespace deinstall_test {

const char kTag[] = "Editor;2.1;2000-05-01;Maker;support;";

// The configuration whose tag is kTag; its boot-script section is "Editor_Boot" and it edits
// neither the environment script nor the profile.
inline void
make_configuration(BMessage& configuration)
{
	configuration.MakeEmpty();
	configuration.AddString(Package::kAppName, "Editor");
	configuration.AddString(Package::kVersion, "2.1");
	configuration.AddString(Package::kReleaseDate, "2000-05-01");
	configuration.AddString(Package::kCompany, "Maker");
	configuration.AddString(Package::kSupportEmail, "support");
	configuration.AddBool(Package::kEditBootscript, true);
	configuration.AddString(Package::kEditBootscriptTag, "Editor_Boot");
	configuration.AddBool(Package::kEditSetupEnv, false);
	configuration.AddBool(Package::kEditProfile, false);
}

inline bool
tag(const std::string& path, const std::string& value = kTag)
{
	return file_test::set_attribute(path, "InstallBy", B_STRING_TYPE, value);
}

// What changed between two snapshots of one tree, besides new entries below one of the
// allowed folders (relative paths) and the times of folders: one line per difference, empty
// when there is none.
inline std::string
disk_changes(const std::map<std::string, file_test::EntryState>& before,
	const std::map<std::string, file_test::EntryState>& after,
	const std::vector<std::string>& allowed)
{
	std::string changes;
	for (const auto& [path, state] : before) {
		auto found = after.find(path);
		if (found == after.end()) {
			changes += "gone: " + path + "\n";
			continue;
		}
		file_test::EntryState was = state;
		file_test::EntryState is = found->second;
		if (S_ISDIR(was.mode))
			was.modified = is.modified = 0;
		if (!(was == is))
			changes += "changed: " + path + "\n";
	}
	for (const auto& [path, state] : after) {
		if (before.count(path) > 0)
			continue;
		bool inside = false;
		for (const std::string& folder : allowed)
			inside = inside || path == folder || path.rfind(folder + "/", 0) == 0;
		if (!inside)
			changes += "new: " + path + "\n";
	}
	return changes;
}

} // namespace deinstall_test

#endif // DEINSTALL_TEST_SUPPORT_H

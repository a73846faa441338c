// The dry run: what a run would do, told without doing any of it. It follows the run's own
// decisions (the installation folder, GetNewPath's places, ReplaceControl's collisions,
// the script sections) on the disk as it is, and keeps track of what the run would have
// placed, moved away or made by then, so that a later item meets what an earlier one left.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibAppResource.h"
#include "PackageDefs.h"
#include "SavedEntry.h"

#include <Directory.h>
#include <FindDirectory.h>
#include <Path.h>

#include <memory>
#include <set>

using namespace install_config;

struct InstallConfig::Plan {
	BVolume volume;
	std::string installationFolder;
	bool save = false;
	bool replaceWhenAsked = false;
	// The run's copy of the custom folders; their once-only replacement is used up here.
	BMessage customFolders;
	// Names the installation folder would hold before the item's turn.
	std::set<std::string> stagingTaken;
	// What the run would have made, and what it would have moved away or removed (a
	// replaced custom folder takes everything inside it along).
	std::set<std::string> created;
	std::set<std::string> cleared;
};

namespace {

const char* const kIndent = "    ";

bool
lies_in_or_is(const std::string& path, const std::string& folder)
{
	return path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0;
}

// Whether an entry would be at path when the run reaches it.
bool
would_exist(const std::set<std::string>& created, const std::set<std::string>& cleared,
	const std::string& path)
{
	if (created.count(path) > 0)
		return true;
	for (const std::string& gone : cleared) {
		if (lies_in_or_is(path, gone))
			return false;
	}
	return entry_exists(path);
}

} // namespace

bool
InstallConfig::DescribeRun(bool replaceWhenAsked, bool destinationMade, std::string& text)
{
	text.clear();
	BDirectory destination(&fDestination);
	BPath destinationPath(&fDestination);
	if (destinationMade && destinationPath.InitCheck() == B_OK
		&& !entry_exists(destinationPath.Path())) {
		text += std::string("Destination folder: ") + destinationPath.Path()
			+ ", which would be made\n";
	} else if (destination.InitCheck() != B_OK) {
		text = "The destination folder cannot be opened: nothing would be installed.\n";
		return false;
	}
	Plan plan;
	std::string createdFolder = _StringField(Package::kOptCreatedFolder);
	plan.installationFolder = _InstallationFolder();
	if (!is_plain_name(createdFolder) || plan.installationFolder.empty()) {
		text = "The installation folder '" + createdFolder
			+ "' cannot be made: nothing would be installed.\n";
		return false;
	}
	plan.volume.SetTo(fDestination.device);
	plan.save = _BoolField(Package::kOptSaveReplaced);
	plan.replaceWhenAsked = replaceWhenAsked;

	text += "Installation folder: " + plan.installationFolder + "\n";
	if (DoesDestinationExist())
		text += "  the folder there now would be moved to the Trash\n";
	std::unique_ptr<LibAppResource> resources = fPackagePath.empty()
		? std::make_unique<LibAppResource>(B_READ_ONLY)
		: std::make_unique<LibAppResource>(fPackagePath.c_str(), B_READ_ONLY);
	if (resources->HasResource(Package::kRawType, Package::kDeinstallerId)) {
		std::string name = _StringField(Package::kAppName) + " " + _StringField(Package::kVersion)
			+ " Deinstaller";
		text += "  the deinstaller \"" + name + "\" would be written there\n";
		plan.stagingTaken.insert(name);
	}
	if (_BoolField(Package::kOptLog)) {
		text += "  the install log \"Log\" would be written there\n";
		plan.stagingTaken.insert("Log");
	}
	if (plan.save) {
		text += std::string("  entries in the way would be saved in \"") + kSavedFilesFolderName
			+ "\" there\n";
		plan.stagingTaken.insert(kSavedFilesFolderName);
	}

	FindMessage(Package::kCustomFolder, &plan.customFolders);
	if (_BoolField(Package::kOptCreateStartup)) {
		std::string folder;
		std::string detail;
		if (_DescribePlace(plan, Package::kStartUpFolder, folder, detail)) {
			text += "Start-up folder: " + folder + ", started by the boot script section \""
				+ Package::kStartUpFolderTag + "\"\n" + detail;
		} else
			text += "Start-up folder: none (the package defines no folder of that name)\n";
	}

	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	text += "Items (" + std::to_string(CountSelectedItems()) + " selected):\n";
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		if (is_selected(item))
			_DescribeItem(plan, item, text);
	}

	struct Script {
		const char* flag;
		const char* tag;
		directory_which folder;
		const char* fileName;
	} const scripts[] = {
		{ Package::kEditBootscript, Package::kEditBootscriptTag, B_USER_BOOT_DIRECTORY,
			"UserBootscript" },
		{ Package::kEditSetupEnv, Package::kEditSetupEnvTag, B_USER_BOOT_DIRECTORY,
			"UserSetupEnvironment" },
		{ Package::kEditProfile, Package::kEditProfileTag, B_USER_DIRECTORY, ".profile" },
	};

	std::string sections;
	for (const Script& script : scripts) {
		if (!_BoolField(script.flag))
			continue;
		BPath folder;
		find_directory(script.folder, &folder, false);
		sections += std::string("  ") + script.fileName + " (" + folder.Path() + "/"
			+ script.fileName + "): section \"" + _StringField(script.tag) + "\" would be added\n";
	}
	text += "Script sections:" + (sections.empty() ? std::string(" none\n") : "\n" + sections);
	return true;
}

bool
InstallConfig::_DescribePlace(Plan& plan, const char* name, std::string& folder, std::string& text)
{
	Place place;
	if (!_ResolvePlace(name, plan.customFolders, plan.volume, place))
		return false;
	folder = place.path;
	bool exists = would_exist(plan.created, plan.cleared, place.path);
	if (place.replace && exists && place.replacesExisting) {
		text += std::string(kIndent) + "the folder " + place.path + " there now would be "
			+ (plan.save ? std::string("saved in \"") + kSavedFilesFolderName + "\""
						 : std::string("removed"))
			+ " and made anew\n";
		plan.cleared.insert(place.path);
		plan.created.insert(place.path);
	} else if (!exists) {
		text += std::string(kIndent) + "the folder " + place.path + " would be made\n";
		plan.created.insert(place.path);
	}
	// Once per run, as GetNewPath does.
	if (place.replace) {
		BMessage record;
		plan.customFolders.FindMessage(Package::kCustomFolder, place.customIndex, &record);
		record.ReplaceBool(Package::kCustomReplaceExisting, false);
		plan.customFolders.ReplaceMessage(Package::kCustomFolder, place.customIndex, &record);
	}
	return true;
}

void
InstallConfig::_DescribeCollision(Plan& plan, const std::string& folder, const std::string& leaf,
	const std::string& mode, bool isLink, bool& placed, std::string& text)
{
	placed = true;
	std::string existing = folder + "/" + leaf;
	if (!would_exist(plan.created, plan.cleared, existing))
		return;
	text += std::string(kIndent) + "in the way: " + existing + "; it would be ";
	std::string saved = std::string("saved in \"") + kSavedFilesFolderName + "\"";
	if (mode == Package::kPrompt) {
		if (!plan.replaceWhenAsked) {
			text += "kept (the answer is \"Don't Replace\")";
			text += isLink ? ", and no link placed\n"
						   : ", and the item left in the installation folder\n";
			placed = false;
			return;
		}
		text += (plan.save ? saved : std::string("replaced")) + " (the answer is \"Replace\")\n";
	} else if (mode == Package::kRename) {
		std::string renamed = leaf + " copy";
		for (int32 i = 1; would_exist(plan.created, plan.cleared, folder + "/" + renamed); i++)
			renamed = leaf + " copy " + std::to_string(i);
		text += "renamed to \"" + renamed + "\"\n";
		plan.created.insert(folder + "/" + renamed);
	} else
		text += (plan.save ? saved : std::string("removed")) + "\n";
	plan.cleared.insert(existing);
}

void
InstallConfig::_DescribeItem(Plan& plan, const BMessage& item, std::string& text)
{
	std::string leaf = leaf_of(string_field(item, Package::kFileName).c_str());
	text += "  " + (leaf.empty() ? std::string("(no name)") : leaf) + "\n";
	if (!is_plain_name(leaf)) {
		text += std::string(kIndent) + "not installed: the package gives it no usable name\n";
		return;
	}
	if (plan.stagingTaken.count(leaf) > 0) {
		text += std::string(kIndent) + "not installed: the installation folder already holds \""
			+ leaf + "\"\n";
		return;
	}
	plan.stagingTaken.insert(leaf);

	BMessage meta;
	item.FindMessage(Package::kInstallMeta, &meta);
	std::string destination = string_field(meta, Package::kDestination);
	bool deinstallable = string_field(meta, Package::kDeinstallable) == Package::kTrue;
	std::string itemFolder = plan.installationFolder;
	std::string detail;
	if (destination != Package::kUserSelected) {
		std::string folder;
		bool placed = false;
		if (!_DescribePlace(plan, destination.c_str(), folder, detail)) {
			detail += std::string(kIndent) + "no folder named \"" + destination
				+ "\" can be found; it would stay in the installation folder\n";
		} else if (same_folder(folder, plan.installationFolder))
			placed = true;
		else {
			_DescribeCollision(plan, folder, leaf, string_field(meta, Package::kDestinationExists),
				false, placed, detail);
		}
		if (placed)
			itemFolder = folder;
	}
	std::string placedPath = itemFolder + "/" + leaf;
	plan.created.insert(placedPath);
	text += std::string(kIndent) + "to: " + placedPath + "\n" + detail;
	if (!deinstallable)
		text += std::string(kIndent) + "the deinstaller would leave it in place\n";

	std::string link = string_field(meta, Package::kLink, Package::kNone);
	if (link == Package::kNone) {
		text += std::string(kIndent) + "link: none\n";
		return;
	}
	std::string linkFolder = plan.installationFolder;
	detail.clear();
	if (link != Package::kUserSelected && !_DescribePlace(plan, link.c_str(), linkFolder, detail)) {
		text +=
			std::string(kIndent) + "link: none (no folder named \"" + link + "\" can be found)\n";
		return;
	}
	if (same_folder(linkFolder, itemFolder) || linkFolder == itemFolder) {
		text += std::string(kIndent) + "link: none (the item itself lies in " + linkFolder + ")\n";
		return;
	}
	bool placed = true;
	if (link != Package::kUserSelected) {
		_DescribeCollision(
			plan, linkFolder, leaf, string_field(meta, Package::kLinkExists), true, placed, detail);
	}
	if (placed) {
		text += std::string(kIndent) + "link: " + linkFolder + "/" + leaf + "\n";
		plan.created.insert(linkFolder + "/" + leaf);
	} else
		text += std::string(kIndent) + "link: none\n";
	text += detail;
}

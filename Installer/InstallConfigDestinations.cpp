// Destinations and collisions: which folder a place name denotes, and what happens to an
// entry of the same name that is already there.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibEntry.h"
#include "LibFile.h"
#include "PackageDefs.h"
#include "ReplaceAlert.h"

#include <FindDirectory.h>
#include <Path.h>
#include <Volume.h>

#include <cstring>

using namespace install_config;

namespace {

// A custom folder's sub folder lies below its standard folder: no part of it may climb
// out with "..". Empty parts and "." are harmless.
bool
stays_below(const char* subFolder)
{
	std::string text = subFolder;
	size_t start = 0;
	while (start <= text.size()) {
		size_t end = text.find('/', start);
		if (end == std::string::npos)
			end = text.size();
		if (text.compare(start, end - start, "..") == 0)
			return false;
		start = end + 1;
	}
	return true;
}

// Whether the sub folder names the standard folder itself ("", ".", "./", "/").
bool
names_the_root(const char* subFolder)
{
	for (const char* c = subFolder; *c != '\0'; c++) {
		if (*c != '/' && *c != '.')
			return false;
	}
	return true;
}

} // namespace

bool
InstallConfig::_ResolvePlace(
	const char* name, const BMessage& customFolders, BVolume& volume, Place& place) const
{
	place = Place();
	if (name == nullptr)
		return false;

	BMessage folder;
	for (int32 i = 0; customFolders.FindMessage(Package::kCustomFolder, i, &folder) == B_OK; i++) {
		if (string_field(folder, Package::kCustomFolderName) != name)
			continue;
		int32 root = 0;
		folder.FindInt32(Package::kCustomRootDir, &root);
		std::string subFolder = string_field(folder, Package::kCustomSubDir);
		if (!stays_below(subFolder.c_str()))
			return false;
		BPath rootPath;
		if (find_directory(static_cast<directory_which>(root), &rootPath, false, &volume) != B_OK)
			return false;
		place.path = rootPath.Path();
		if (!names_the_root(subFolder.c_str()))
			place.path += "/" + subFolder;
		place.customIndex = i;
		folder.FindBool(Package::kCustomReplaceExisting, &place.replace);
		// A custom folder is replaced as a whole, never the standard folder it lies in.
		place.replacesExisting =
			place.replace && entry_exists(place.path) && !names_the_root(subFolder.c_str());
		return true;
	}

	// Standard folders are always those of the boot volume.
	directory_which which;
	if (!LibGetStdDirName(name, which))
		return false;
	BPath standard;
	if (find_directory(which, &standard) != B_OK)
		return false;
	place.path = standard.Path();
	return true;
}

bool
InstallConfig::GetNewPath(const char* name, BMessage& customFolders, BVolume& volume,
	const char* savedFilesFolder, LibString& path)
{
	path = "";
	Place place;
	if (!_ResolvePlace(name, customFolders, volume, place))
		return false;
	if (place.customIndex < 0) {
		path = place.path.c_str();
		return true;
	}

	if (place.replacesExisting) {
		if (_BoolField(Package::kOptSaveReplaced) && savedFilesFolder != nullptr
			&& savedFilesFolder[0] != '\0') {
			save_entry(place.path, savedFilesFolder);
		} else
			remove_entry(place.path);
	}
	_MakeFolder(place.path);
	// Once per run: the second item that names the folder finds the new one.
	if (place.replace) {
		BMessage folder;
		customFolders.FindMessage(Package::kCustomFolder, place.customIndex, &folder);
		folder.ReplaceBool(Package::kCustomReplaceExisting, false);
		customFolders.ReplaceMessage(Package::kCustomFolder, place.customIndex, &folder);
	}
	path = place.path.c_str();
	return true;
}

bool
InstallConfig::ReplaceControl(const char* folder, const BPath& item, const char* mode,
	bool& askAgain, bool& lastAnswer, const BPath& savedFilesFolder)
{
	return _SettleCollision(folder, item, mode, askAgain, lastAnswer, savedFilesFolder)
		== kPlacementAllowed;
}

int
InstallConfig::_SettleCollision(const char* folder, const BPath& item, const char* mode,
	bool& askAgain, bool& lastAnswer, const BPath& savedFilesFolder)
{
	std::string leaf = leaf_of(item.Path());
	if (folder == nullptr || !is_plain_name(leaf))
		return kPlacementFailed;
	std::string existing = std::string(folder) + "/" + leaf;
	if (!entry_exists(existing))
		return kPlacementAllowed;

	bool save = _BoolField(Package::kOptSaveReplaced);
	const char* savedFolder = savedFilesFolder.Path();
	if (save && (savedFolder == nullptr || savedFolder[0] == '\0'))
		return kPlacementFailed;

	if (mode != nullptr && strcmp(mode, Package::kPrompt) == 0) {
		if (askAgain) {
			bool applyToAll = false;
			int32 answer = ReplaceAlert::Ask(item, BPath(existing.c_str()), true, applyToAll);
			lastAnswer = answer == 1;
			askAgain = !applyToAll;
		}
		if (!lastAnswer)
			return kPlacementRefused;
		if (save) {
			if (!save_entry(existing, savedFolder))
				return kPlacementFailed;
			Log("\t\t\tExisting file saved.\n");
		}
		// Unsaved, the existing entry stays for the caller, whose placement replaces it.
		return kPlacementAllowed;
	}

	if (mode != nullptr && strcmp(mode, Package::kRename) == 0) {
		LibDuplicate(existing.c_str());
		if (entry_exists(existing))
			return kPlacementFailed;
		Log("\t\t\tExisting file renamed\n");
		return kPlacementAllowed;
	}

	if (save) {
		if (!save_entry(existing, savedFolder))
			return kPlacementFailed;
		Log("\t\t\tExisting file saved.\n");
		return kPlacementAllowed;
	}
	if (!remove_entry(existing))
		return kPlacementFailed;
	Log("\t\t\tExisting file removed.\n");
	return kPlacementAllowed;
}

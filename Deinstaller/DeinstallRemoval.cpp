#include "DeinstallRemoval.h"

#include <EditScriptFile.h>
#include <FindDirectory.h>
#include <LibFile.h>

#include <string>
#include <sys/stat.h>

namespace {

const char kBootScript[] = "UserBootscript";
const char kEnvironmentScript[] = "UserSetupEnvironment";
const char kProfile[] = ".profile";

std::string
join(const std::string& folder, const char* leaf)
{
	if (!folder.empty() && folder.back() == '/')
		return folder + leaf;
	return folder + "/" + leaf;
}

std::string
parent_of(const std::string& path)
{
	size_t slash = path.find_last_of('/');
	if (slash == std::string::npos)
		return ".";
	if (slash == 0)
		return "/";
	return path.substr(0, slash);
}

bool
same_node(const struct stat& a, const struct stat& b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool
CheckAndPrompt(const BPath& item, const char* destination, bool& ask, bool& replace,
	const ReplaceQuestion& question)
{
	if (item.InitCheck() != B_OK || item.Leaf() == NULL || destination == NULL)
		return false;
	std::string existing = join(destination, item.Leaf());
	struct stat there;
	if (lstat(existing.c_str(), &there) != 0)
		return true;

	// The item is already where it would go: nothing is in its way.
	struct stat self;
	struct stat itemFolder;
	struct stat destinationFolder;
	if (lstat(item.Path(), &self) == 0 && same_node(self, there)
		&& stat(parent_of(item.Path()).c_str(), &itemFolder) == 0
		&& stat(destination, &destinationFolder) == 0 && same_node(itemFolder, destinationFolder)) {
		return true;
	}

	if (ask) {
		ReplaceAnswer answer;
		if (question)
			answer = question(item, BPath(existing.c_str()));
		replace = answer.replace;
		ask = !answer.applyToAll;
	}
	if (!replace)
		return false;
	return LibUnlinkChecked(existing.c_str()) == B_OK;
}

DeinstallRemoval::DeinstallRemoval()
{
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK)
		fDestination = trash.Path();
}

void
DeinstallRemoval::SetDestination(const char* folder)
{
	fDestination = folder != NULL ? folder : "";
}

void
DeinstallRemoval::SetUserScripts(
	const LibString& bootTag, const LibString& environmentTag, const LibString& profileTag)
{
	fBootTag = bootTag;
	fEnvironmentTag = environmentTag;
	fProfileTag = profileTag;
}

DeinstallCounts
DeinstallRemoval::Remove(std::vector<DeinstallItem>& items)
{
	for (DeinstallItem& item : items)
		item.outcome = kItemNotSelected;

	std::string target = (const char*)fDestination;
	// The boot volume's Trash may not have been made yet.
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK && target == trash.Path())
		find_directory(B_TRASH_DIRECTORY, &trash, true);
	struct stat targetInfo;
	bool usable =
		!target.empty() && stat(target.c_str(), &targetInfo) == 0 && S_ISDIR(targetInfo.st_mode);
	bool isTrash = usable && LibIsTrashFolder(target.c_str());

	bool ask = true;
	bool replace = false;
	// Files and links first.
	for (size_t i = items.size(); i-- > 0;) {
		DeinstallItem& item = items[i];
		if (!item.selected)
			continue;
		struct stat info;
		if (item.path.Length() == 0 || lstat(item.path, &info) != 0) {
			item.outcome = kItemMissing;
			continue;
		}
		if (S_ISDIR(info.st_mode))
			continue;
		if (!usable)
			item.outcome = kItemFailed;
		else
			_RemoveItem(item, target, isTrash, ask, replace);
	}

	// Then the folders that are empty now.
	for (size_t i = items.size(); i-- > 0;) {
		DeinstallItem& item = items[i];
		if (!item.selected || item.outcome != kItemNotSelected)
			continue;
		struct stat info;
		if (lstat(item.path, &info) != 0) {
			item.outcome = kItemMissing;
			continue;
		}
		if (!S_ISDIR(info.st_mode))
			continue;
		if (!LibFolderIsEmpty(item.path))
			item.outcome = kItemKept;
		else if (!usable)
			item.outcome = kItemFailed;
		else
			_RemoveItem(item, target, isTrash, ask, replace);
	}

	_RemoveScriptSections();

	DeinstallCounts counts;
	for (const DeinstallItem& item : items) {
		switch (item.outcome) {
			case kItemMoved:
				counts.moved++;
				break;
			case kItemKept:
				counts.kept++;
				break;
			case kItemMissing:
				counts.missing++;
				break;
			case kItemFailed:
				counts.failed++;
				break;
			case kItemNotSelected:
				break;
		}
	}
	return counts;
}

void
DeinstallRemoval::_RemoveItem(
	DeinstallItem& item, const std::string& target, bool trash, bool& ask, bool& replace)
{
	if (trash) {
		item.outcome = LibTrashInto(item.path, target.c_str()) ? kItemMoved : kItemFailed;
		return;
	}

	BPath path(item.path);
	if (!CheckAndPrompt(path, target.c_str(), ask, replace, fQuestion)) {
		// Kept at the user's word, or the entry in its way could not be deleted.
		item.outcome = replace ? kItemFailed : kItemKept;
		return;
	}
	// The item keeps its leaf name in the destination. The full name is given so that the
	// move can only land there, never inside an entry that appeared there meanwhile.
	std::string destination = join(target, path.Leaf());
	item.outcome = LibMove(item.path, destination.c_str()) ? kItemMoved : kItemFailed;
}

void
DeinstallRemoval::_RemoveScriptSections()
{
	// No contents: EditScriptFile only removes the tagged section.
	if (fBootTag.Length() > 0)
		EditScriptFile(B_USER_BOOT_DIRECTORY, kBootScript, fBootTag, NULL);
	if (fEnvironmentTag.Length() > 0)
		EditScriptFile(B_USER_BOOT_DIRECTORY, kEnvironmentScript, fEnvironmentTag, NULL);
	if (fProfileTag.Length() > 0)
		EditScriptFile(B_USER_DIRECTORY, kProfile, fProfileTag, NULL);
}

// One item of the run: extracted into the installation folder, dated, marked for the
// deinstaller, moved to its destination and linked where the package asks.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibFile.h"
#include "LibNode.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <Entry.h>
#include <Mime.h>
#include <ThreadPrivate.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace install_config;

namespace {

const char* const kTagAttribute = "InstallBy";
// Archives are written out of the package in chunks of this size.
const size_t kExtractChunk = 256 * 1024;

// Sets the entry's times from the item's record; the entry itself only, not a folder's
// contents.
void
set_dates(const std::string& path, const BMessage& item)
{
	BEntry entry(path.c_str());
	if (entry.InitCheck() != B_OK) {
		fprintf(stderr, "unable to set date/time for %s\n", path.c_str());
		return;
	}
	int64 seconds = 0;
	if (item.FindInt64(Package::kFileCreation, &seconds) == B_OK)
		entry.SetCreationTime((time_t)seconds);
	if (item.FindInt64(Package::kFileModified, &seconds) == B_OK)
		entry.SetModificationTime((time_t)seconds);
	if (item.FindInt64(Package::kFileAccessed, &seconds) == B_OK)
		entry.SetAccessTime((time_t)seconds);
}

bool
carries_tag(const std::string& path, const char* tag)
{
	LibNode node(path.c_str());
	LibString value;
	return node.InitCheck() == B_OK && node.ReadStringAttr(kTagAttribute, value) >= 0
		&& value == tag;
}

bool
is_folder(const std::string& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

namespace install_config {

bool
extract_payload(LibAppResource& resources, int32 id, const std::string& workFolder,
	const std::string& target, std::string* problem)
{
	const char* resourceName = nullptr;
	size_t length = 0;
	if (!resources.GetResourceInfo(Package::kRawType, id, &resourceName, &length)) {
		*problem = "the installer holds no archive for it";
		return false;
	}
	std::string name = resourceName != nullptr ? resourceName : "";
	if (!is_plain_name(name)) {
		*problem = "its archive is not named like an item";
		return false;
	}
	if (entry_exists(target)) {
		*problem = "something is already in its place";
		return false;
	}

	std::string folder = workFolder + "/.extracting-XXXXXX";
	if (mkdtemp(folder.data()) == nullptr) {
		*problem = "no room to expand it";
		return false;
	}

	// The work folder goes whatever happens, also when the run is stopped meanwhile.
	struct WorkFolder {
		std::string path;

		~WorkFolder()
		{
			BPrivate::CancelDisabler disabler;
			LibUnlinkChecked(path.c_str());
		}
	} work { folder };

	// The archive's own name differs from the entry it holds.
	std::string archive = folder + "/" + (name == "archive.zip" ? "payload.zip" : "archive.zip");
	bool written = false;
	int fd = open(archive.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
	if (fd >= 0) {
		written = true;
		std::vector<char> buffer(kExtractChunk);
		for (size_t offset = 0; written && offset < length;) {
			size_t chunk = std::min(length - offset, kExtractChunk);
			written =
				resources.ReadResource(Package::kRawType, id, buffer.data(), (off_t)offset, chunk)
					== B_OK
				&& write(fd, buffer.data(), chunk) == (ssize_t)chunk;
			offset += chunk;
		}
		if (close(fd) != 0)
			written = false;
	}
	BPrivate::check_thread_killed();

	// Expanding changes the process's working folder; the owner's is put back.
	int workingFolder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	bool expanded = written && LibUnzip(archive.c_str());
	if (workingFolder >= 0) {
		if (fchdir(workingFolder) != 0 && chdir("/") != 0)
			fprintf(stderr, "cannot return to the working folder\n");
		close(workingFolder);
	}
	unlink(archive.c_str());
	BPrivate::check_thread_killed();

	std::string entry = folder + "/" + name;
	bool placed = expanded && entry_exists(entry) && rename(entry.c_str(), target.c_str()) == 0;
	if (!placed) {
		*problem = written ? "its archive is damaged" : "its archive could not be read";
		return false;
	}
	update_mime_info(target.c_str(), false, true, true);
	return true;
}

} // namespace install_config

void
InstallConfig::_InstallItem(Run& run, int32 index, int32 number, int32 total, BMessage& item)
{
	std::string leaf = leaf_of(string_field(item, Package::kFileName).c_str());
	Log("\t\tInstalling : %s\n", leaf.c_str());
	UpdateStatus("Installing %d of %d (%s)", (int)number, (int)total, leaf.c_str());

	// The name comes from the package: it must name one entry inside the folders it goes to.
	if (!is_plain_name(leaf)) {
		Log("\t\t\tNot installed: the package gives it no usable file name.\n");
		fNotInstalled.insert(index);
		fFailedCount++;
		return;
	}
	std::string staging = run.installationFolder + "/" + leaf;
	// The log, the deinstaller or an earlier item of that name is never overwritten.
	if (entry_exists(staging)) {
		Log("\t\t\tNot installed: the installation folder already holds %s.\n", leaf.c_str());
		fNotInstalled.insert(index);
		fFailedCount++;
		return;
	}
	std::string problem;
	if (!extract_payload(
			*run.resources, PayloadResourceId(index), run.installationFolder, staging, &problem)) {
		Log("\t\t\tNot installed: the item could not be extracted from the installer (%s).\n",
			problem.c_str());
		fNotInstalled.insert(index);
		fFailedCount++;
		return;
	}

	std::string placed = staging;
	BMessage meta;
	item.FindMessage(Package::kInstallMeta, &meta);
	std::string destination = string_field(meta, Package::kDestination);
	bool deinstallable = string_field(meta, Package::kDeinstallable) == Package::kTrue;
	set_dates(staging, item);

	// Marked while it still lies in the installation folder, so that an installation
	// stopped at any point leaves no placed item the deinstaller cannot find.
	bool tagged = !deinstallable || AddDeinstallTag(staging.c_str(), run.tag);
	bool failed = false;

	if (destination != Package::kUserSelected) {
		LibString target;
		if (!GetNewPath(destination.c_str(), run.customFolders, run.volume,
				run.savedFilesFolder.c_str(), target)) {
			Log("\t\t\tNo folder named %s could be found; left in the installation folder.\n",
				destination.c_str());
			failed = true;
		} else if (same_folder(static_cast<const char*>(target), run.installationFolder)) {
			// It is already there.
			Log("\t\t\tPlaced in %s\n", static_cast<const char*>(target));
		} else {
			std::string targetFolder = static_cast<const char*>(target);
			std::string targetPath = targetFolder + "/" + leaf;
			int outcome = _SettleCollision(targetFolder.c_str(), BPath(staging.c_str()),
				string_field(meta, Package::kDestinationExists).c_str(), run.itemAskAgain,
				run.itemLastAnswer, run.savedFilesPath);
			if (outcome == kPlacementRefused) {
				Log("\t\t\tUser desired not to place item in %s\n", targetFolder.c_str());
			} else if (outcome == kPlacementFailed) {
				Log("\t\t\tNot placed in %s: the entry already there could not be moved out of "
					"the way; left in the installation folder.\n",
					targetFolder.c_str());
				failed = true;
			} else {
				// What the answer "Replace" leaves in place goes now: a folder would
				// otherwise receive the item inside it, a link would lead the move elsewhere.
				bool cleared = true;
				if (entry_exists(targetPath)) {
					bool folder = is_folder(targetPath);
					cleared = remove_entry(targetPath);
					if (cleared && folder)
						Log("\t\t\tRemoved existing folder %s\n", targetPath.c_str());
				}
				_MakeFolder(targetFolder);
				if (cleared && LibMove(staging.c_str(), targetPath.c_str())
					&& entry_exists(targetPath) && !entry_exists(staging)) {
					Log("\t\t\tPlaced in %s\n", targetFolder.c_str());
					placed = targetPath;
				} else {
					Log("\t\t\tNot placed in %s: the move failed; left in the installation "
						"folder.\n",
						targetFolder.c_str());
					failed = true;
				}
			}
		}
	}

	item.ReplaceString(Package::kFileName, placed.c_str());

	if (deinstallable) {
		// The tag moved with the item; a volume that keeps no attributes has lost it.
		if (tagged && !carries_tag(placed, run.tag))
			tagged = AddDeinstallTag(placed.c_str(), run.tag);
		if (!tagged) {
			Log("\t\t\tNot marked for the deinstaller: %s cannot carry the mark.\n",
				placed.c_str());
			failed = true;
		}
	} else
		Log("\t\t\tThis file will not be removed by the de-installer\n");

	if (!_PlaceLink(run, meta, placed, leaf, deinstallable))
		failed = true;
	if (failed)
		fFailedCount++;
}

bool
InstallConfig::_PlaceLink(Run& run, const BMessage& meta, const std::string& placedPath,
	const std::string& leaf, bool deinstallable)
{
	std::string link = string_field(meta, Package::kLink, Package::kNone);
	if (link == Package::kNone)
		return true;

	std::string linkFolder;
	if (link == Package::kUserSelected)
		linkFolder = run.installationFolder;
	else {
		LibString folder;
		if (!GetNewPath(link.c_str(), run.customFolders, run.volume, run.savedFilesFolder.c_str(),
				folder)) {
			Log("\t\t\tNo folder named %s could be found for the link.\n", link.c_str());
			return false;
		}
		linkFolder = static_cast<const char*>(folder);
	}

	// A link beside the item under the item's own name would take the item's place.
	std::string itemFolder = placedPath.substr(0, placedPath.rfind('/'));
	if (same_folder(linkFolder, itemFolder)) {
		Log("\t\t\tNo link placed in %s: the item itself lies there.\n", linkFolder.c_str());
		return true;
	}

	std::string linkPath = linkFolder + "/" + leaf;
	if (link != Package::kUserSelected) {
		int outcome = _SettleCollision(linkFolder.c_str(), BPath(placedPath.c_str()),
			string_field(meta, Package::kLinkExists).c_str(), run.linkAskAgain, run.linkLastAnswer,
			run.savedFilesPath);
		if (outcome == kPlacementRefused) {
			Log("\t\t\tUser desired not to place a link in %s\n", linkFolder.c_str());
			return true;
		}
		if (outcome == kPlacementFailed) {
			Log("\t\t\tNo link placed in %s: the entry already there could not be moved out of "
				"the way.\n",
				linkFolder.c_str());
			return false;
		}
	}

	// Whatever the placement may replace goes first: the link is made under its own name,
	// never inside a folder that is in the way.
	if (entry_exists(linkPath) && !remove_entry(linkPath)) {
		Log("\t\t\tNo link placed in %s: the entry already there could not be removed.\n",
			linkFolder.c_str());
		return false;
	}
	_MakeFolder(linkFolder);
	// A link the deinstaller removes carries its mark from the instant it exists.
	bool made = deinstallable ? _MakeTaggedLink(placedPath, linkPath)
							  : LibSymLink(placedPath.c_str(), linkPath.c_str());
	if (!made || !entry_exists(linkPath)) {
		Log("\t\t\tNo link placed in %s: it could not be made.\n", linkFolder.c_str());
		return false;
	}
	// Only the new link is typed: recognising the whole folder would retype (and walk) all
	// that the user keeps there.
	Libmimeset(linkPath.c_str());
	Log("\t\t\tPlaced a link in %s\n", linkFolder.c_str());

	if (!deinstallable) {
		Log("\t\t\tThis link will not be removed by the de-installer\n");
		return true;
	}
	// The mark went along with the link; a volume that keeps no attributes has lost it.
	if (!carries_tag(linkPath, run.tag) && !AddDeinstallTag(linkPath.c_str(), run.tag)) {
		Log("\t\t\tNot marked for the deinstaller: %s cannot carry the mark.\n", linkPath.c_str());
		return false;
	}
	return true;
}

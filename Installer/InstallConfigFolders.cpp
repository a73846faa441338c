// Folders and links the run makes outside the installation folder. Each appears at its place
// already carrying the installation tag: it is made and marked under a private name (in the
// installation folder when it lies on the same volume) and renamed into place, so that a run
// killed at any instant leaves nothing there that the deinstaller cannot find.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibFile.h"
#include "PrivateEntryName.h"

#include <Entry.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace install_config;

namespace {

std::string
folder_of(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr(0, slash);
}

// Renames from to to unless something is at to already (then false with errno EEXIST).
bool
rename_no_replace(const std::string& from, const std::string& to)
{
	if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
		return true;
	if (errno != EINVAL && errno != ENOSYS)
		return false;
	// A file system without the flag: the check and the rename are two steps there.
	if (entry_exists(to)) {
		errno = EEXIST;
		return false;
	}
	return rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

bool
InstallConfig::_MakeFolder(const std::string& path)
{
	if (entry_exists(path))
		return true;
	if (fRun == nullptr || fRun->tag.Length() == 0 || fRun->installationFolder.empty()) {
		Libmkdir(path.c_str());
		return entry_exists(path);
	}
	// Every missing level, outermost first.
	std::vector<std::string> missing;
	for (std::string level = path; !level.empty() && level != "/" && !entry_exists(level);
		 level = folder_of(level)) {
		missing.push_back(level);
	}
	for (size_t i = missing.size(); i-- > 0;) {
		if (!_MakeTaggedFolder(missing[i]))
			return false;
	}
	return true;
}

bool
InstallConfig::_MakeTaggedFolder(const std::string& path)
{
	std::string leaf = leaf_of(path.c_str());
	if (!is_plain_name(leaf))
		return false;
	// Made in the installation folder first; where that lies on another volume, beside
	// the place itself.
	for (const std::string& workFolder : { fRun->installationFolder, folder_of(path) }) {
		std::string temporary = PrivateEntryName(workFolder, leaf);
		if (mkdir(temporary.c_str(), 0777) != 0)
			continue;
		AddDeinstallTag(temporary.c_str(), fRun->tag);
		if (rename_no_replace(temporary, path))
			return true;
		int error = errno;
		rmdir(temporary.c_str());
		// Made meanwhile by someone else: it is there, and it is not ours to mark.
		if (error == EEXIST || error == ENOTEMPTY)
			return entry_exists(path);
		if (error != EXDEV)
			return false;
	}
	return false;
}

bool
InstallConfig::_MakeTaggedLink(const std::string& target, const std::string& linkPath)
{
	if (fRun == nullptr || fRun->tag.Length() == 0)
		return false;
	std::string leaf = leaf_of(linkPath.c_str());
	if (!is_plain_name(leaf))
		return false;
	for (const std::string& workFolder : { fRun->installationFolder, folder_of(linkPath) }) {
		std::string temporary = PrivateEntryName(workFolder, leaf);
		if (symlink(target.c_str(), temporary.c_str()) != 0)
			continue;
		// A volume that keeps no attributes takes the link unmarked; the caller says so.
		AddDeinstallTag(temporary.c_str(), fRun->tag);
		BEntry link(temporary.c_str());
		// The entry kit carries a link's attributes along when it renames it.
		status_t status = link.Rename(linkPath.c_str(), false);
		if (status == B_OK)
			return true;
		link.Remove();
		if (status != B_CROSS_DEVICE_LINK)
			break;
	}
	// A folder that can hold no more attributes (a link's live in its folder) still takes
	// the link itself; the caller reports it unmarked.
	return !entry_exists(linkPath) && LibSymLink(target.c_str(), linkPath.c_str());
}

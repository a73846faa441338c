// What an installation leaves for the deinstaller: the InstallBy attribute on everything it
// placed, and the deinstaller program with its own reduced configuration.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibNode.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <Directory.h>
#include <Entry.h>
#include <Path.h>
#include <ThreadPrivate.h>

#include <cstring>
#include <sys/stat.h>

using namespace install_config;

namespace {

const char* const kTagAttribute = "InstallBy";

} // namespace

bool
InstallConfig::AddDeinstallTag(const char* path, const char* tag)
{
	if (path == nullptr || tag == nullptr)
		return false;
	struct stat status;
	if (lstat(path, &status) != 0)
		return false;
	bool marked = true;
	// What a folder holds is marked before the folder: the deinstaller removes a marked
	// folder only once it is empty, so a run stopped half-way through the marking must leave
	// no marked folder around unmarked entries it would keep for ever.
	if (S_ISDIR(status.st_mode)) {
		BDirectory folder(path);
		if (folder.InitCheck() != B_OK)
			marked = false;
		BEntry entry;
		while (folder.InitCheck() == B_OK && folder.GetNextEntry(&entry, false) == B_OK) {
			BPrivate::check_thread_killed();
			BPath child;
			if (entry.GetPath(&child) != B_OK || !AddDeinstallTag(child.Path(), tag))
				marked = false;
		}
	}
	// The node itself: a link is marked, never what it points to.
	LibNode node(path);
	if (node.InitCheck() != B_OK)
		return false;
	return node.WriteStringAttr(kTagAttribute, tag) && marked;
}

void
InstallConfig::_CreateDeinstaller(Run& run)
{
	if (!run.resources->HasResource(Package::kRawType, Package::kDeinstallerId)) {
		Log("\tThe installer carries no deinstaller.\n");
		return;
	}
	std::string name =
		_StringField(Package::kAppName) + " " + _StringField(Package::kVersion) + " Deinstaller";
	std::string path = run.installationFolder + "/" + name;
	// The name is made of the package's texts; it must stay one entry of the folder.
	std::string problem;
	bool written = is_plain_name(name)
		&& extract_payload(
			*run.resources, Package::kDeinstallerId, run.installationFolder, path, &problem);

	if (written) {
		BMessage reduced;
		BuildDeinstallerConfiguration(*this, reduced);
		ssize_t size = reduced.FlattenedSize();
		std::string flat(size > 0 ? (size_t)size : 0, '\0');
		LibAppResource deinstaller(path.c_str(), B_READ_WRITE);
		written = size > 0 && reduced.Flatten(flat.data(), size) == B_OK
			&& deinstaller.InitCheck() == B_OK
			&& deinstaller.AddResource(Package::kStringType, Package::kConfigurationId, flat.data(),
				   flat.size(), Package::kConfigurationName)
				== B_OK
			&& deinstaller.Sync() == B_OK;
	}
	if (!written) {
		// A deinstaller without its configuration would only refuse to run; extraction
		// failures leave nothing.
		if (problem.empty() && is_plain_name(name) && entry_exists(path))
			remove_entry(path);
		Log("\tThe deinstaller could not be written.\n");
	}
}

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
	// The node itself: a link is marked, never what it points to.
	LibNode node(path);
	if (node.InitCheck() != B_OK)
		return false;
	bool marked = node.WriteStringAttr(kTagAttribute, tag);

	struct stat status;
	if (lstat(path, &status) != 0 || !S_ISDIR(status.st_mode))
		return marked;
	BDirectory folder(path);
	if (folder.InitCheck() != B_OK)
		return false;
	BEntry entry;
	while (folder.GetNextEntry(&entry, false) == B_OK) {
		BPath child;
		if (entry.GetPath(&child) != B_OK || !AddDeinstallTag(child.Path(), tag))
			marked = false;
	}
	return marked;
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
	bool written = is_plain_name(name) && !entry_exists(path)
		&& run.resources->ExtractEntry(Package::kDeinstallerId, path.c_str(), true)
		&& entry_exists(path);

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
		// A deinstaller without its configuration would only refuse to run.
		if (is_plain_name(name) && entry_exists(path))
			remove_entry(path);
		Log("\tThe deinstaller could not be written.\n");
	}
}

#include "InstallerDefaults.h"

#include "LibEntry.h"
#include "PackageDefs.h"

#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>

#include <cstdlib>
#include <cstring>

std::string
InstallerPackagePath(const char* packagePath)
{
	if (packagePath != NULL && packagePath[0] != '\0')
		return packagePath;
	char* self = realpath("/proc/self/exe", NULL);
	if (self == NULL)
		return std::string();
	std::string path(self);
	free(self);
	return path;
}

bool
InstallerDefaultFolder(
	const BMessage& configuration, const std::string& packagePath, BPath& folder, bool create)
{
	const char* name = NULL;
	if (configuration.FindString(Package::kOptDefaultFolder, &name) != B_OK || name == NULL)
		return false;
	if (strcmp(name, Package::kCurrentFolder) == 0) {
		// The folder of the installer file itself, not the shell's working directory.
		BPath package(packagePath.c_str());
		BPath parent;
		if (package.InitCheck() != B_OK || package.GetParent(&parent) != B_OK)
			return false;
		folder = parent;
		return true;
	}
	directory_which which;
	if (!LibGetStdDirName(name, which))
		return false;
	// A standard folder always exists on BeOS; on Linux one such as ~/Applications may not
	// exist yet, and is made so that the package's default destination can be used.
	BPath resolved;
	if (find_directory(which, &resolved, create) != B_OK)
		return false;
	folder = resolved;
	return true;
}

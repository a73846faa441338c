// The choices the installer starts with, shared by the window and the unattended mode: the
// package file (the running program unless a path is given) and the destination folder the
// package asks for with opt_default_folder.
#ifndef INSTALLER_DEFAULTS_H
#define INSTALLER_DEFAULTS_H

#include <string>

class BMessage;
class BPath;

// The package file: packagePath when given and not empty, else the running program.
std::string InstallerPackagePath(const char* packagePath);

// The folder opt_default_folder names: "Current" (exact) is the folder that holds the
// package file, any other value a standard folder name resolved on the boot volume (the folder is
// made when it does not exist yet, unless create is false). False, with folder unchanged, when
// the field is missing or names no standard folder.
bool InstallerDefaultFolder(const BMessage& configuration, const std::string& packagePath,
	BPath& folder, bool create = true);

#endif // INSTALLER_DEFAULTS_H

// InstallerWriter: writes a complete installer from a checked manifest: a copy of the base
// installer program whose package resources are replaced by the configuration, one payload
// archive per item (packed in parallel), the help archive and the deinstaller archive. The
// installer is written under a temporary name beside the output and renamed over it at the
// end, so a failed build leaves nothing behind and never a half-written installer.
#ifndef INSTALLER_WRITER_H
#define INSTALLER_WRITER_H

#include "Diagnostics.h"
#include "Manifest.h"

#include <string>

struct BuildOptions {
	std::string output;
	// Override the manifest's base installer and deinstaller when not empty.
	std::string base;
	std::string deinstaller;
	// Items packed at once; 0 picks the number of processors.
	int32 jobs = 0;
};

bool WriteInstaller(
	const Manifest& manifest, const BuildOptions& options, Diagnostics& diagnostics);

// The folder that holds the running PackageBuilder, where an installed Installer and
// Tarnwick are looked for by default.
std::string ProgramFolder();

#endif // INSTALLER_WRITER_H

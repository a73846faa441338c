// InstallerWriter: writes a complete installer from a checked manifest: a copy of the base
// installer program whose package resources are replaced by the configuration, one payload
// archive per item (the files of each compressed in parallel), the help archive and the deinstaller
// archive. The installer is written under a temporary name beside the output and renamed over it at
// the end, so a failed build leaves nothing behind and never a half-written installer.
#ifndef INSTALLER_WRITER_H
#define INSTALLER_WRITER_H

#include "Diagnostics.h"
#include "Manifest.h"

#include <optional>
#include <string>
#include <time.h>

struct BuildOptions {
	std::string output;
	// Override the manifest's base installer and deinstaller when not empty.
	std::string base;
	std::string deinstaller;
	// Files compressed at once; 0 picks the number of processors. The installer's bytes
	// do not depend on it.
	int32 jobs = 0;
	// A reproducible build (SOURCE_DATE_EPOCH): every time taken from the payload is
	// clamped to this one and no access time is read, so that the same manifest and
	// payload give the same installer.
	std::optional<time_t> latestTime;
};

bool WriteInstaller(
	const Manifest& manifest, const BuildOptions& options, Diagnostics& diagnostics);

// The folder that holds the running PackageBuilder, where an installed Installer and
// Tarnwick are looked for by default.
std::string ProgramFolder();

#endif // INSTALLER_WRITER_H

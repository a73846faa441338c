// ManifestPrinter: prints an installer's configuration as a manifest, and extracts its
// payloads, picture, sound, help text and deinstaller into a folder, so that building the
// printed manifest gives an installer with the same configuration. Values the builder would
// compute differently from the extracted copies (the recorded paths, sizes and times) are
// written out explicitly.
#ifndef MANIFEST_PRINTER_H
#define MANIFEST_PRINTER_H

#include "InstallerExaminer.h"

#include <cstdio>
#include <string>

// payloadFolder is created when missing and must be empty otherwise. False with
// diagnostics when something cannot be extracted.
bool PrintManifest(InstallerExaminer& inspector, const std::string& installerPath,
	const std::string& payloadFolder, FILE* stream, Diagnostics& diagnostics);

// A TOML basic string holding text exactly (multi-line when it has line feeds).
std::string TomlString(const std::string& text);

#endif // MANIFEST_PRINTER_H

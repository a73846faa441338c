// ManifestReader: reads a TOML manifest into a Manifest and checks everything that can be
// checked before building: unknown keys (with the nearest known key as a hint), value types
// and ranges, required texts, payloads and other files that must exist, placement and
// folder names, collision modes, install types, tag lengths. Every problem is reported
// with the manifest's file name, line and column. docs/manifest.md describes the format.
#ifndef MANIFEST_READER_H
#define MANIFEST_READER_H

#include "Diagnostics.h"
#include "Manifest.h"

#include <string>

class ManifestReader {
public:
	explicit ManifestReader(Diagnostics& diagnostics);

	// False when the manifest has errors (warnings alone do not fail it).
	bool Read(const std::string& path, Manifest& manifest);
	// The same for manifest text; relative paths are taken from folder.
	bool ReadText(const std::string& text, const std::string& path, const std::string& folder,
		Manifest& manifest);

private:
	Diagnostics& fDiagnostics;
};

#endif // MANIFEST_READER_H

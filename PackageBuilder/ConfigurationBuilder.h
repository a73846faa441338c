// ConfigurationBuilder: turns a checked Manifest into the configuration message an
// installer carries, with the fields in the order packages store them. It computes what
// the author does not write: each item's kind, size with attributes, times and icon, the
// archived about picture and start-up sound, and the deinstaller's size.
#ifndef CONFIGURATION_BUILDER_H
#define CONFIGURATION_BUILDER_H

#include "Diagnostics.h"
#include "Manifest.h"

class BMessage;

// deinstallerSize is the deinstaller's size as installed, or negative when the package
// carries no deinstaller. False (with diagnostics) when a picture, sound or payload cannot
// be read.
bool BuildConfiguration(const Manifest& manifest, int32 deinstallerSize, BMessage& configuration,
	Diagnostics& diagnostics);

// The leaf name of a payload path: the name the item is packed and installed under.
std::string PayloadLeaf(const std::string& path);

#endif // CONFIGURATION_BUILDER_H

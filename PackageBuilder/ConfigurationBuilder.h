// ConfigurationBuilder: turns a checked Manifest into the configuration message an
// installer carries, with the fields in the order packages store them. It computes what
// the author does not write: each item's kind, size with attributes, times and icon, the
// archived about picture and start-up sound, and the deinstaller's size.
#ifndef CONFIGURATION_BUILDER_H
#define CONFIGURATION_BUILDER_H

#include "Diagnostics.h"
#include "Manifest.h"

#include <optional>
#include <time.h>

class BMessage;

// deinstallerSize is the deinstaller's size as installed, or negative when the package
// carries no deinstaller. With latestTime (a reproducible build), the items' times read
// from the payload are clamped to it and their access times are their modification times.
// False (with diagnostics) when a picture, sound or payload cannot be read.
bool BuildConfiguration(const Manifest& manifest, int32 deinstallerSize, BMessage& configuration,
	Diagnostics& diagnostics, const std::optional<time_t>& latestTime = std::nullopt);

// The leaf name of a payload path: the name the item is packed and installed under.
std::string PayloadLeaf(const std::string& path);

#endif // CONFIGURATION_BUILDER_H

// The size a deinstaller takes once installed: the program as the package carries it,
// with the reduced configuration that the installer adds to its resources. The installer
// window shows it as part of what an installation needs.
#ifndef DEINSTALLER_SIZE_H
#define DEINSTALLER_SIZE_H

#include <SupportDefs.h>

#include <string>

class BMessage;

// Adds the reduced configuration made from configuration to the program at copy (a
// throwaway copy, as the installer writes it) and gives its size with attributes; -1 when
// the copy cannot be written.
int64 MeasureInstalledDeinstaller(const std::string& copy, const BMessage& configuration);

#endif // DEINSTALLER_SIZE_H

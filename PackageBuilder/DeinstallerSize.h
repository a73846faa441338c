// The size a deinstaller takes once installed: the program as the package carries it,
// with the type the installer's recogniser gives it and the reduced configuration that the
// installer adds to its resources. The installer
// window shows it as part of what an installation needs.
#ifndef DEINSTALLER_SIZE_H
#define DEINSTALLER_SIZE_H

#include <SupportDefs.h>

#include <string>

class BMessage;

// Does to the program at copy (a throwaway copy of what the package carries) what the
// installer does to it, with the reduced configuration made from configuration, and gives
// its size with attributes; -1 when the copy cannot be written.
int64 MeasureInstalledDeinstaller(const std::string& copy, const BMessage& configuration);

#endif // DEINSTALLER_SIZE_H

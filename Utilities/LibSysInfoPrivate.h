// The parts of the system functions (LibSysInfo.h) that tests reach: the shutdown command and
// who runs it, and the reading of the system's os-release file. Not part of the library's
// interface.
#ifndef LIB_SYS_INFO_PRIVATE_H
#define LIB_SYS_INFO_PRIVATE_H

#include "LibString.h"

#include <string>
#include <vector>

namespace lib_system {

// The system's shutdown command for a restart or a power-off, the program's path first:
// "shutdown" from the system binaries folder, else from /usr/sbin or /sbin. Empty when the
// system has none.
std::vector<std::string> shutdown_command(bool restart);

// Runs a command; LibShutdown hands it the shutdown command.
typedef void (*command_runner)(const std::vector<std::string>& arguments);

// Starts the command in the background, without a shell, and returns at once.
void run_in_background(const std::vector<std::string>& arguments);

// Replaces the runner LibShutdown uses (tests never shut anything down); returns the one it
// replaces. The default is run_in_background.
command_runner set_shutdown_runner(command_runner runner);

// The system's name and version from an os-release file: PRETTY_NAME, else NAME and VERSION
// joined by a blank. False, with out unchanged, when the file says neither.
bool read_os_release(const char* path, LibString& out);

} // namespace lib_system

#endif // LIB_SYS_INFO_PRIVATE_H

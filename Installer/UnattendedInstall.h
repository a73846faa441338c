// The installer without a window, for servers, fleets and scripts: the same engine run as
// the window's "Install", with the choices taken from the command line and every question
// answered by a fixed policy. Status texts go to standard output, one line each, and the
// text of every alert to standard error. No display is needed and no window is made.
#ifndef UNATTENDED_INSTALL_H
#define UNATTENDED_INSTALL_H

#include <cstdio>
#include <string>
#include <vector>

// The exit statuses.
enum {
	kUnattendedInstalled = 0,
	// The package cannot be read, or the destination or installation folder failed.
	kUnattendedFolderFailed = 1,
	kUnattendedUsage = 2,
	kUnattendedRequirementsNotMet = 3,
	// The run finished but some items could not be installed as the package asks.
	kUnattendedItemsFailed = 4
};

// Whether the command line (without the program's name) is for the command-line side of
// the installer (--unattended, --help, --version or any of the unattended options) rather
// than for the window.
bool IsUnattendedCommandLine(const std::vector<std::string>& arguments);

// Runs the command line against the package at packagePath (empty: the running program);
// returns the exit status.
int RunUnattended(const std::vector<std::string>& arguments, const std::string& packagePath,
	FILE* out, FILE* err);

// The text --help prints.
extern const char* const kUnattendedHelpText;

#endif // UNATTENDED_INSTALL_H

// The deinstaller without a window, for scripts and fleets:
//
//   Tarnwick --unattended [--volume PATH] [--to DIR] [--dry-run] [--restore-saved]
//
// It searches the volume that holds PATH (the boot volume by default) for the entries of
// its installation, prints every path found on standard output in the order found, then,
// unless --dry-run, removes them as "Deinstall" does with every row selected: files, then the
// folders they emptied, into the boot volume's Trash or into DIR, and the installation's
// script sections. A name taken in DIR keeps the entry there and leaves the item in place.
// A summary line with the counts ends the output. When the installation is gone (nothing
// failed to move) and its "Saved Files" folder holds entries the installation replaced,
// --restore-saved puts them back where they were (see SavedFiles.h); without it a line says
// that they are there. Texts that the window shows in an alert go to standard error.
#ifndef DEINSTALL_UNATTENDED_H
#define DEINSTALL_UNATTENDED_H

#include <LibString.h>

#include <functional>
#include <stdio.h>

class BMessage;

// The exit statuses.
enum {
	// Everything found was removed (or listed, with --dry-run).
	kUnattendedDone = 0,
	// Nothing of the installation is on the volume.
	kUnattendedNothingFound = 1,
	// The command line is wrong.
	kUnattendedUsage = 2,
	// The deinstaller carries no configuration, so it does not know its installation.
	kUnattendedNotConfigured = 3,
	// Some items stayed where they were: a move failed, or the name was taken in DIR.
	kUnattendedNotAllMoved = 4,
	// Everything was removed, but with --restore-saved some saved entries stayed saved:
	// their place is taken or their folder is gone.
	kUnattendedNotAllPutBack = 5
};

// The refusal of a deinstaller without configuration (an alert in the window).
extern const char* const kNotConfiguredText;
// A search that found nothing (an alert in the window).
extern const char* const kNothingFoundText;

struct UnattendedOptions {
	bool unattended = false;
	bool help = false;
	bool version = false;
	bool dryRun = false;
	bool restoreSaved = false;
	// Empty: the boot volume, the boot volume's Trash.
	LibString volumePath;
	LibString destination;
};

// Reads the arguments after the program name. False, with the reason in error (naming the
// option and what it expected), when they are not understood.
bool ParseUnattendedOptions(
	int argc, const char* const* argv, UnattendedOptions& options, LibString& error);

// True when the command line asks for the mode without a window (or only for --help or
// --version), so that the program must not open a display.
bool WantsUnattendedMode(int argc, const char* const* argv);

// Reads the deinstaller's own configuration; false when it carries none.
typedef std::function<bool(BMessage& configuration)> ConfigurationReader;

// Runs the whole unattended deinstallation on the arguments after the program name and
// returns the exit status. The configuration is read only when the arguments are valid and
// ask for more than --help or --version. installationFolder holds the "Saved Files" folder;
// NULL means the folder of the running program.
int RunUnattended(int argc, const char* const* argv, const ConfigurationReader& readConfiguration,
	FILE* out, FILE* err, const char* installationFolder = NULL);

// The three script tags of the configuration: each is its tag when the matching edit_ flag is
// true, else empty.
void GetUserScriptTags(const BMessage& configuration, LibString& bootTag, LibString& environmentTag,
	LibString& profileTag);

#endif // DEINSTALL_UNATTENDED_H

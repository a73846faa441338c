// Makes the user's session run the two scripts of the user boot folder, as BeOS did by
// itself: the boot script "UserBootscript" when the user's desktop session starts, and the
// environment script "UserSetupEnvironment" in every login shell. The install run calls
// these after it writes a section into one of the scripts. Both are idempotent, and
// docs/platform.md says exactly what they write where.
#ifndef SESSION_SCRIPTS_H
#define SESSION_SCRIPTS_H

#include <string>

// The name of the autostart entry that runs the boot script.
extern const char* const kBootScriptAutostartName;

// Writes the freedesktop autostart entry $XDG_CONFIG_HOME/autostart/<name> that runs
// /bin/sh on the boot script, when there is none. An entry already there is the user's to
// keep (it may have been switched off) and stays as it is. True when the entry exists.
bool EnsureBootScriptRunsAtLogin();

// Appends to ~/.profile one line that reads the environment script when it is readable,
// under a comment line, unless the profile holds that line already. A profile that is a
// symbolic link stays one: the file it leads to is replaced whole. True when the profile holds
// the line.
bool EnsureEnvironmentScriptIsRead();

// The texts written, for tests and the documentation's examples.
std::string BootScriptAutostartEntry(const char* bootScriptPath);
std::string EnvironmentScriptProfileLine(const char* environmentScriptPath);

#endif // SESSION_SCRIPTS_H

// Whether the machine has what a package depends on: a shared library named by its file
// name, and an application named by the text between the parentheses of a requirement
// ("Editor (application/x-vnd.Example-Editor)"). The install run's requirements check and
// PackageBuilder's check and show ask the same questions, so they give the same answers.
#ifndef REQUIREMENT_LOOKUP_H
#define REQUIREMENT_LOOKUP_H

#include <string>

// Looks for the library file name, first in the folders of LIBRARY_PATH (the rule packages
// were made for), then the way the dynamic loader finds libraries: the folders of
// LD_LIBRARY_PATH, the loader's cache (/etc/ld.so.cache, read directly; only entries for
// this machine's architecture count), and the standard library folders of the
// architecture. A name holding "/" is only looked up along LIBRARY_PATH. found receives the
// file's path.
bool FindSharedLibrary(const char* name, std::string* found = nullptr);

// The text a requirement looks up: what lies between the first "(" and the first ")" after
// it, without them; empty when the text has no "(".
std::string RequiredApplicationIdentifier(const char* requirement);

// Looks for the application an identifier names: a BeOS signature ("application/x-vnd...")
// through the roster, a freedesktop desktop-file id ("org.example.Editor", as
// <id>.desktop in the applications folder of $XDG_DATA_HOME or $XDG_DATA_DIRS; an entry
// marked Hidden, or whose TryExec program is missing, does not count) or a command on PATH.
// An empty identifier is never found. found receives the application's path (for a
// desktop-file id, the desktop file's).
bool FindRequiredApplication(const char* identifier, std::string* found = nullptr);

#endif // REQUIREMENT_LOOKUP_H

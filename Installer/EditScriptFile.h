// EditScriptFile: adds and removes tagged sections of the user's shell scripts (the boot
// script, the environment script, the shell profile). A section is the line "#BEGIN_<tag>",
// the contents and the line "#END_<tag>". Both programs use it: the installer replaces a
// section with new contents, the deinstaller removes it.
#ifndef EDIT_SCRIPT_FILE_H
#define EDIT_SCRIPT_FILE_H

#include <FindDirectory.h>

// The script is fileName in the standard folder (not created when missing). With contents,
// every section whose markers contain the tag is removed and a new section is appended at
// the end; with NULL contents the sections are only removed. A missing script is first
// copied from "<fileName>.sample" beside it; the script as it was is kept as
// "<fileName>.orig"; afterwards the script is typed text/plain. Failures are not reported:
// a rewrite that cannot be completed leaves the script as it was.
void EditScriptFile(
	const directory_which& folder, const char* fileName, const char* tag, const char* contents);

#endif // EDIT_SCRIPT_FILE_H

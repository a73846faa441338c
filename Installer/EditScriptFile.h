// EditScriptFile: adds and removes tagged sections of the user's shell scripts (the boot
// script, the environment script, the shell profile). A section is the line "#BEGIN_<tag>",
// the contents and the line "#END_<tag>". Both programs use it: the installer replaces a
// section with new contents, the deinstaller removes it.
#ifndef EDIT_SCRIPT_FILE_H
#define EDIT_SCRIPT_FILE_H

#include <FindDirectory.h>

// The script is fileName in the standard folder (not created when missing). With contents,
// every section of the tag is removed and a new section is appended at the end; with NULL
// contents the sections are only removed. A section is found by its whole marker lines
// ("#BEGIN_<tag>" and "#END_<tag>", a trailing carriage return aside), so a tag never
// matches another that begins with it. A missing script is first copied from
// "<fileName>.sample" beside it; the script's text as it was is kept as "<fileName>.orig"
// (a plain file); afterwards the script is typed text/plain. A script that is a symbolic
// link stays one: the file it leads to is backed up and rewritten. The script and its
// backup are only ever replaced whole (WholeFile.h), so a stop at any instant leaves the old
// text or the new one. Failures are not reported: a rewrite that cannot be completed leaves
// the script as it was, and a script that cannot be read is left alone.
void EditScriptFile(
	const directory_which& folder, const char* fileName, const char* tag, const char* contents);

#endif // EDIT_SCRIPT_FILE_H

// Text files that are replaced whole: the user's shell scripts and their companions. A new
// text is written to a file beside the old one under a private name, made durable and renamed
// over it, so that a program stopped at any instant (a kill, a power loss) leaves the old text
// or the new one, never a mix and never a part.
#ifndef WHOLE_FILE_H
#define WHOLE_FILE_H

#include <string>

// The whole file, read through a link. A missing file reads as empty; false when it exists
// but cannot be read.
bool ReadWholeFile(const char* path, std::string& text);

// Replaces the file at path (not a link: the caller resolves one) with text. The file keeps
// its permissions and attributes; a new one gets mode 0666 less the umask. False, with the
// file as it was, on any failure.
bool ReplaceWholeFile(const char* path, const std::string& text);

// Removes what a replacement stopped between writing and renaming left in folder: regular
// files of this user named "." + leaf + "." + 16 lower-case hexadecimal digits.
void SweepReplacementLeftovers(const std::string& folder, const std::string& leaf);

#endif // WHOLE_FILE_H

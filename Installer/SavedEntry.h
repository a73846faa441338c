// SavedEntry: the record an installation leaves on every entry it moves into its "Saved
// Files" folder to make room for an item (opt_save_replaced): the absolute path the entry
// had, in the attribute kOriginalPathAttribute. The deinstaller reads it to put the entry
// back once the installation is gone.
#ifndef SAVED_ENTRY_H
#define SAVED_ENTRY_H

#include "LibString.h"

#include <string>

// The attribute's name; its value is the path as text ('CSTR', no terminating NUL).
extern const char* const kOriginalPathAttribute;
// The saved-files folder's name inside the installation folder.
extern const char* const kSavedFilesFolderName;

// Moves the entry at path into folder under its leaf name, or the first free one of 'leaf
// copy', 'leaf copy 1', ... so that nothing saved before is replaced, and records path on
// it. The record is written before the move, so that an installation stopped halfway
// leaves no saved entry without it; a failed move takes it off again. True when the entry
// moved; savedPath (may be null) then names where it lies.
bool SaveReplacedEntry(const std::string& path, const std::string& folder, std::string* savedPath);

// The recorded path of the entry (links not followed). False when the entry carries none or
// the record is not an absolute path to an entry ("", "/", or a "." or ".." part).
bool ReadOriginalPath(const char* entry, LibString& originalPath);

// Takes the record off the entry; an entry put back carries nothing of ours.
void RemoveOriginalPath(const char* entry);

// The path with repeated and trailing "/" and "." parts dropped; empty when it is not
// absolute, names "/" itself, or holds a ".." part.
std::string NormalizedOriginalPath(const std::string& path);

#endif // SAVED_ENTRY_H

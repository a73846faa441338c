// Questions about file-system entries and conversions between the ways of naming them:
// entry references, path objects and path strings; the names of the standard folders that
// packages name install places by; an entry's type, size and dates; and asking the desktop
// shell to open an entry. Only LibSetMimeType and LibSetFileType change anything on disk.
// Entries are never resolved through symbolic links here: a link names itself.
#ifndef LIB_ENTRY_H
#define LIB_ENTRY_H

#include "LibDateTime.h"
#include "LibString.h"

#include <EntryRef.h>
#include <FindDirectory.h>
#include <SupportDefs.h>

class BEntry;
class BMessage;
class BPath;

// Standard folders by name ("User Boot", "Trash", ...): the code of the first row with
// exactly that name (case-sensitive), or the name of the first row with that code. False
// when there is none; the output is then unchanged.
bool LibGetStdDirName(const char* name, directory_which& which);
bool LibGetStdDirName(const directory_which& which, LibString& name);
bool LibStdDirNameExists(const char* name);

// False when no entry can be set up for path; the entry itself need not exist when its
// folder does.
bool LibGetEntryRef(const char* path, entry_ref& ref);
bool LibGetFullPath(const entry_ref& ref, LibString& path);
bool LibGetFullPath(const entry_ref& ref, BPath& path);
// The path of the folder dir with name appended.
bool LibGetPath(const entry_ref& dir, const char* name, BPath& path);
// The reference of ref's folder; an empty reference when ref cannot be set up.
entry_ref LibGetParentRef(const entry_ref& ref);
bool LibGetParentPath(const char* path, LibString& parent);
// leaf holds at least B_FILE_NAME_LENGTH bytes.
bool LibGetChildName(const char* path, char* leaf);
// The folder that holds the running program's executable.
bool LibGetWorkingDirectory(BPath& path);
// The user settings folder ("User Settings").
bool LibGetSettingsPath(LibString& path);
bool LibGetSettingsPath(char* buffer, const int& size);
// For a save panel's reply: the path of the reference "directory" with the string "name",
// stripped of leading and trailing spaces, appended. Returns the stripped name's length.
int32 LibGetFilePath(const BMessage* message, BPath& path);

// The entry's type into type (B_MIME_TYPE_LENGTH bytes). With describe the type becomes a
// kind name: "Folder", "Be Application", "Symbolic Link" or "Unknown". False when the
// entry cannot be set up (type is then empty, or "Unknown" with describe).
bool LibGetMimeType(const entry_ref& ref, char* type, bool describe);
bool LibSetMimeType(const char* path, const char* type);
// Also sets the preferred application; a NULL signature means the running program's own.
bool LibSetFileType(const char* path, const char* type, const char* signature);

// The node's data size, plus with withAttributes the size of each attribute, plus for a
// folder the size of everything in it, recursively. A path that cannot be opened counts
// 0; a total beyond the 32-bit range is given as the largest 32-bit count.
int32 LibEntrySize(const char* path, bool withAttributes);
// The same count without the 32-bit limit, for callers that must refuse what exceeds it.
int64 LibEntrySize64(const char* path, bool withAttributes);

// Dates of an entry, in local time or as calendar time without a zone shift. When the
// entry cannot be set up, 1 January 1970 00:00:00 and a line on standard error.
LibDateTime LibCreationDate(const entry_ref& ref, const bool& local);
LibDateTime LibCreationDate(const char* path, const bool& local);
LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local);
LibDateTime LibLastModifiedDate(const char* path, const bool& local);
// BeOS behaviour: the modification time, not the access time.
LibDateTime LibAccessedDate(const BEntry& entry, const bool& local);

// Asks the desktop shell to open the entry as if the user had opened it. False when the
// path does not exist.
bool LibOpenEntry(const char* path);

#endif // LIB_ENTRY_H

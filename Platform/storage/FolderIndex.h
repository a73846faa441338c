// Turns the folder of an entry_ref (device and inode) back into a path. Linux has no
// lookup by inode for ordinary users, so the kit remembers the folders it has seen
// (every BEntry::GetRef, every opened BDirectory) and, for a folder it has not seen,
// searches the device's file system breadth-first from the likely places ($HOME,
// $TMPDIR, the working directory) and then the mount points, up to a bound.
#ifndef _FOLDER_INDEX_H
#define _FOLDER_INDEX_H

#include <SupportDefs.h>

#include <string>
#include <sys/types.h>

namespace BPrivate {

// How many folders the index remembers, and how many a search may open by default.
static const size_t kFolderIndexCapacity = 4096;
static const size_t kFolderSearchLimit = 50000;

void remember_folder(dev_t device, ino_t inode, const std::string& path);
// The path of the folder, or B_ENTRY_NOT_FOUND.
status_t resolve_folder(dev_t device, ino_t inode, std::string* path);
// Empties the index (tests use it to force a search).
void forget_folders();
// Changes how many folders a search may open (tests keep searches of a whole volume short);
// returns the previous limit.
size_t set_folder_search_limit(size_t limit);

} // namespace BPrivate

#endif // _FOLDER_INDEX_H

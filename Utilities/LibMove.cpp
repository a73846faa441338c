// LibMove: a rename within one volume, a copy and a removal across volumes.
#include "LibEntry.h"
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Directory.h>
#include <Entry.h>
#include <Mime.h>
#include <Path.h>

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace lib_file;

// True when the folder holds nothing.
bool
folder_is_empty(const std::string& path)
{
	BDirectory folder(path.c_str());
	return folder.InitCheck() == B_OK && folder.CountEntries() == 0;
}

// A move to another volume. The destination is checked first the way a rename would
// check it, so that a copy is never started that a rename would refuse; the source is
// removed only when the copy is complete, and a failed copy leaves nothing behind.
bool
move_across_volumes(const std::string& source, const std::string& destination)
{
	struct stat from;
	if (lstat(source.c_str(), &from) != 0)
		return false;
	struct stat existing;
	bool existed = lstat(destination.c_str(), &existing) == 0;
	if (existed) {
		bool sourceIsFolder = S_ISDIR(from.st_mode);
		bool targetIsFolder = S_ISDIR(existing.st_mode);
		if (sourceIsFolder != targetIsFolder) {
			fprintf(stderr, "LibMove: cannot replace %s\n", destination.c_str());
			return false;
		}
		if (targetIsFolder && !folder_is_empty(destination)) {
			fprintf(stderr, "LibMove: %s is not empty\n", destination.c_str());
			return false;
		}
	}

	if (!copy_tree(source, destination)) {
		// Files are placed only when complete; a folder copied in part goes again, or is
		// emptied again when it was an empty folder before.
		if (S_ISDIR(from.st_mode)) {
			if (!existed) {
				remove_tree(destination);
			} else {
				BDirectory folder(destination.c_str());
				BEntry child;
				while (folder.GetNextEntry(&child) == B_OK) {
					BPath childPath(&child);
					if (childPath.InitCheck() == B_OK)
						remove_tree(childPath.Path());
				}
			}
		}
		return false;
	}

	// The copy carries the types of its entries in their attributes; the recogniser only
	// types what has none, so a type the source had is not replaced by a guess.
	update_mime_info(destination.c_str(), true, true, false);
	remove_tree(source);
	return !entry_exists(source);
}

} // namespace

bool
LibMove(const char* source, const char* target)
{
	std::string from;
	std::string to;
	if (source_path(source, &from) != B_OK || target_path(target, &to) != B_OK
		|| !entry_exists(from)) {
		return false;
	}
	std::string destination = operation_destination(from, to);
	if (destination == from)
		return true;

	entry_ref sourceRef;
	entry_ref targetRef;
	if (!LibGetEntryRef(from.c_str(), sourceRef) || !LibGetEntryRef(destination.c_str(), targetRef))
		return false;

	// A move into a Trash leaves the record the desktop restores the entry from.
	std::string record;
	std::string infoFolder = trash_info_folder(path_folder(destination));
	if (!infoFolder.empty())
		record = write_trash_info(infoFolder, path_leaf(destination), from);

	bool moved = false;
	status_t status = B_CROSS_DEVICE_LINK;
	if (sourceRef.device == targetRef.device) {
		BEntry entry(from.c_str());
		status = entry.Rename(destination.c_str(), true);
		moved = status == B_OK;
	}
	// Two mounts of one file system share a device but still refuse a rename.
	if (status == B_CROSS_DEVICE_LINK)
		moved = move_across_volumes(from, destination);

	if (!moved && !record.empty())
		unlink(record.c_str());
	return moved;
}

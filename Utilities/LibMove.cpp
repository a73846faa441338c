// LibMove: a rename within one volume, a copy and a removal across volumes; and the move
// that never replaces, which the free-name rule of the Trash and of LibDuplicate rests on.
#include "LibEntry.h"
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Directory.h>
#include <Entry.h>
#include <Mime.h>
#include <Path.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lib_file {

namespace {

// A name in the folder of path that nothing uses now, for a copy that is renamed to path
// once complete.
std::string
temporary_beside(const std::string& path)
{
	std::string folder = path_folder(path);
	for (int attempt = 0; attempt < 100; attempt++) {
		char leaf[64];
		snprintf(leaf, sizeof(leaf), ".LibMove-%ld-%08lx", (long)getpid(), (unsigned long)random());
		std::string candidate = join_path(folder, leaf);
		if (!entry_exists(candidate))
			return candidate;
	}
	return std::string();
}

// A move to another volume. The destination is checked first the way a rename would
// check it, so that a copy is never started that a rename would refuse. The copy is made
// under a temporary name beside the destination and renamed into place when complete
// (never over an entry when replace is false); the source is removed only then.
status_t
move_across_volumes(const std::string& source, const std::string& destination, bool replace)
{
	struct stat from;
	if (lstat(source.c_str(), &from) != 0)
		return B_FROM_POSIX_ERROR(errno);
	struct stat existing;
	if (lstat(destination.c_str(), &existing) == 0) {
		if (!replace)
			return B_FILE_EXISTS;
		bool sourceIsFolder = S_ISDIR(from.st_mode);
		bool targetIsFolder = S_ISDIR(existing.st_mode);
		if (sourceIsFolder != targetIsFolder) {
			fprintf(stderr, "LibMove: cannot replace %s\n", destination.c_str());
			return B_FILE_EXISTS;
		}
		if (targetIsFolder && !LibFolderIsEmpty(destination.c_str())) {
			fprintf(stderr, "LibMove: %s is not empty\n", destination.c_str());
			return B_DIRECTORY_NOT_EMPTY;
		}
	}

	std::string temporary = temporary_beside(destination);
	if (temporary.empty())
		return B_FILE_EXISTS;
	if (!copy_tree(source, temporary)) {
		remove_tree(temporary);
		return B_IO_ERROR;
	}
	// The copy carries the types of its entries in their attributes; the recogniser only
	// types what has none, so a type the source had is not replaced by a guess.
	update_mime_info(temporary.c_str(), true, true, false);
	BEntry placed(temporary.c_str());
	status_t status = placed.Rename(destination.c_str(), replace);
	if (status != B_OK) {
		remove_tree(temporary);
		return status;
	}

	if (remove_tree(source) == B_OK)
		return B_OK;
	// A source that could not be removed at all keeps the only copy: the new one goes
	// again, so that the entry is not in two places. A folder removed in part keeps both
	// halves, rather than lose what was already removed from it.
	struct stat after;
	if (lstat(source.c_str(), &after) == 0 && !S_ISDIR(after.st_mode))
		remove_tree(destination);
	fprintf(stderr, "LibMove: %s could not be removed after the copy\n", source.c_str());
	return B_NOT_ALLOWED;
}

} // namespace

status_t
move_entry(const std::string& source, const std::string& destination, bool replace)
{
	entry_ref sourceRef;
	entry_ref targetRef;
	if (!LibGetEntryRef(source.c_str(), sourceRef)
		|| !LibGetEntryRef(destination.c_str(), targetRef)) {
		return B_ENTRY_NOT_FOUND;
	}

	status_t status = B_CROSS_DEVICE_LINK;
	if (sourceRef.device == targetRef.device) {
		BEntry entry(source.c_str());
		status = entry.Rename(destination.c_str(), replace);
	}
	// Two mounts of one file system share a device but still refuse a rename.
	if (status == B_CROSS_DEVICE_LINK)
		status = move_across_volumes(source, destination, replace);
	return status;
}

} // namespace lib_file

using namespace lib_file;

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
	// The entry is there already when both paths name one node: rename would do nothing
	// (hard links), and a copy onto itself followed by the removal of the source would
	// lose it (one file system seen through two mounts).
	if (destination == from || same_entry(from, destination))
		return true;
	if (lies_inside(path_folder(destination), from)) {
		fprintf(stderr, "LibMove: cannot move %s into itself\n", from.c_str());
		return false;
	}

	if (move_entry(from, destination, true) != B_OK)
		return false;
	// A move into a Trash leaves the record the desktop restores the entry from. The name
	// is the moved entry's now, so a record left there by an entry no longer in the Trash
	// is replaced.
	std::string infoFolder = trash_info_folder(path_folder(destination));
	if (!infoFolder.empty())
		write_trash_info(infoFolder, path_leaf(destination), from, false);
	return true;
}

status_t
LibMoveExclusive(const char* source, const char* target)
{
	std::string from;
	std::string to;
	status_t status = source_path(source, &from);
	if (status == B_OK)
		status = target_path(target, &to);
	if (status != B_OK)
		return status;
	if (!entry_exists(from))
		return B_ENTRY_NOT_FOUND;
	if (entry_exists(to))
		return B_FILE_EXISTS;
	if (lies_inside(path_folder(to), from))
		return B_BAD_VALUE;
	return move_entry(from, to, false);
}

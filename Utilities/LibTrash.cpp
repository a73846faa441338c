// Moving entries out of the way: into the Trash (with the record the desktop restores them
// from) or aside under a free name in their own folder.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace lib_file {

namespace {

std::string
canonical(const std::string& path)
{
	char* resolved = realpath(path.c_str(), NULL);
	if (resolved == NULL)
		return "";
	std::string result = resolved;
	free(resolved);
	return result;
}

// The names of the free-name rule: 'leaf', 'leaf copy', 'leaf copy 1', 'leaf copy 2', ...
std::string
copy_name(const std::string& leaf, int32 attempt)
{
	if (attempt == 0)
		return leaf;
	std::string name = leaf + " copy";
	if (attempt > 1)
		name.append(" ").append(std::to_string(attempt - 1));
	return name;
}

// How many names of the rule are tried before giving up.
const int32 kMaxCopyNames = 100000;

// Moves the entry at from into folder under the first free name of the rule, never over
// an entry, also not over one that appears meanwhile: a name taken when the move is made
// sends it on to the next. In a Trash the name is claimed by its restore record first,
// as every freedesktop Trash does, so two programs trashing at once do not collide. True
// when the entry was moved.
bool
move_to_free_name(
	const std::string& from, const std::string& folder, const std::string& leaf, bool firstNameToo)
{
	std::string infoFolder = trash_info_folder(folder);
	for (int32 attempt = firstNameToo ? 0 : 1; attempt < kMaxCopyNames; attempt++) {
		std::string name = copy_name(leaf, attempt);
		std::string candidate = join_path(folder, name);
		if (entry_exists(candidate))
			continue;
		std::string record;
		if (!infoFolder.empty()) {
			record = write_trash_info(infoFolder, name, from, true);
			if (record.empty() && errno == EEXIST)
				continue;
		}
		status_t status = move_entry(from, candidate, false);
		if (status == B_OK)
			return true;
		if (!record.empty())
			unlink(record.c_str());
		if (status != B_FILE_EXISTS)
			return false;
	}
	return false;
}

// A free hidden name in folder for an entry moved out of the way for a moment.
bool
move_aside(const std::string& path, std::string* aside)
{
	std::string folder = path_folder(path);
	for (int attempt = 0; attempt < 100; attempt++) {
		char leaf[64];
		snprintf(
			leaf, sizeof(leaf), ".LibTrash-%ld-%08lx", (long)getpid(), (unsigned long)random());
		*aside = join_path(folder, leaf);
		BEntry entry(path.c_str());
		status_t status = entry.Rename(aside->c_str(), false);
		if (status == B_OK)
			return true;
		if (status != B_FILE_EXISTS)
			return false;
	}
	return false;
}

// Moves the entry at from into the Trash folder as leaf, replacing what is there. The
// old item leaves only once the new one is in: it is first renamed aside (so that the
// move cannot go inside it), and put back with its record when the move fails.
void
trash_replacing(const std::string& from, const std::string& trash, const std::string& leaf)
{
	std::string target = join_path(trash, leaf);
	if (same_entry(from, target))
		return;
	std::string infoFolder = trash_info_folder(trash);
	std::string record = infoFolder.empty() ? "" : join_path(infoFolder, leaf + ".trashinfo");

	std::string aside;
	std::string asideRecord;
	if (entry_exists(target)) {
		if (!move_aside(target, &aside)) {
			fprintf(stderr, "LibTrash: cannot make room for %s\n", target.c_str());
			return;
		}
		if (!record.empty() && entry_exists(record)) {
			asideRecord = join_path(infoFolder, path_leaf(aside) + ".trashinfo");
			if (rename(record.c_str(), asideRecord.c_str()) != 0)
				asideRecord.clear();
		}
	}

	status_t status = move_entry(from, target, false);
	if (status == B_OK) {
		if (!infoFolder.empty())
			write_trash_info(infoFolder, leaf, from, false);
		if (!aside.empty())
			remove_tree(aside);
		if (!asideRecord.empty())
			unlink(asideRecord.c_str());
		return;
	}

	if (aside.empty())
		return;
	BEntry back(aside.c_str());
	if (back.Rename(target.c_str(), false) != B_OK) {
		fprintf(stderr, "LibTrash: the old %s stays as %s\n", target.c_str(), aside.c_str());
		return;
	}
	if (!asideRecord.empty())
		rename(asideRecord.c_str(), record.c_str());
}

} // namespace

std::string
trash_info_folder(const std::string& folder)
{
	std::string real = canonical(folder);
	if (real.empty())
		return "";

	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash) == B_OK && canonical(trash.Path()) == real)
		return join_path(path_folder(real), "info");

	if (path_leaf(real) != "files")
		return "";
	std::string top = path_folder(real);
	std::string uid = std::to_string((unsigned long)getuid());
	if (path_leaf(top) == ".Trash-" + uid)
		return join_path(top, "info");
	if (path_leaf(top) == uid && path_leaf(path_folder(top)) == ".Trash")
		return join_path(top, "info");
	return "";
}

std::string
url_escape_path(const std::string& path)
{
	static const char kHex[] = "0123456789ABCDEF";
	std::string escaped;
	for (unsigned char c : path) {
		bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
			|| c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
		if (plain) {
			escaped += (char)c;
		} else {
			escaped += '%';
			escaped += kHex[c >> 4];
			escaped += kHex[c & 0x0f];
		}
	}
	return escaped;
}

std::string
write_trash_info(const std::string& infoFolder, const std::string& trashedLeaf,
	const std::string& originalPath, bool exclusive)
{
	if (mkdir(infoFolder.c_str(), 0700) != 0 && errno != EEXIST)
		return "";

	time_t now = time(NULL);
	struct tm local;
	localtime_r(&now, &local);
	char date[32];
	strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%S", &local);
	std::string text =
		"[Trash Info]\nPath=" + url_escape_path(originalPath) + "\nDeletionDate=" + date + "\n";

	std::string record = join_path(infoFolder, trashedLeaf + ".trashinfo");
	int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
	int fd = open(record.c_str(), flags, 0600);
	if (fd < 0)
		return "";
	bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
	if (close(fd) != 0)
		ok = false;
	if (!ok) {
		unlink(record.c_str());
		return "";
	}
	return record;
}

} // namespace lib_file

using namespace lib_file;

void
LibTrash(const BPath& path, const bool& replace)
{
	std::string from;
	if (path.InitCheck() != B_OK || source_path(path.Path(), &from) != B_OK || !entry_exists(from))
		return;
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, true) != B_OK)
		return;
	std::string trashFolder;
	if (BPrivate::canonical_folder(trash.Path(), &trashFolder) != B_OK)
		return;

	std::string leaf = path_leaf(from);
	if (replace)
		trash_replacing(from, trashFolder, leaf);
	else
		move_to_free_name(from, trashFolder, leaf, true);
}

void
LibDuplicate(const char* path)
{
	std::string entry;
	if (path == NULL || source_path(path, &entry) != B_OK || !entry_exists(entry))
		return;
	// The entry itself holds the first name of the rule, so it always gets a " copy" one.
	move_to_free_name(entry, path_folder(entry), path_leaf(entry), false);
}

bool
LibIsTrashFolder(const char* folder)
{
	std::string resolved;
	if (folder == NULL || BPrivate::canonical_folder(folder, &resolved) != B_OK)
		return false;
	return !trash_info_folder(resolved).empty();
}

bool
LibTrashInto(const char* path, const char* trashFolder)
{
	std::string from;
	std::string folder;
	if (path == NULL || trashFolder == NULL || source_path(path, &from) != B_OK
		|| !entry_exists(from) || BPrivate::canonical_folder(trashFolder, &folder) != B_OK
		|| trash_info_folder(folder).empty()) {
		return false;
	}
	// Already in this Trash: nothing to move.
	if (path_folder(from) == folder)
		return true;
	return move_to_free_name(from, folder, path_leaf(from), true);
}

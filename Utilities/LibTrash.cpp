// Moving entries out of the way: into the Trash (with the record the desktop restores them
// from) or aside under a free name in their own folder.
#include "LibFile.h"
#include "LibFilePrivate.h"

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

// The first free name of folder/leaf, folder/'leaf copy', folder/'leaf copy 1', ... An
// entry of any kind, a dangling link too, takes a name.
std::string
free_name(const std::string& folder, const std::string& leaf)
{
	std::string candidate = join_path(folder, leaf);
	for (int32 i = 0; entry_exists(candidate); i++) {
		std::string name = leaf;
		name.append(" copy");
		if (i > 0)
			name.append(" ").append(std::to_string(i));
		candidate = join_path(folder, name);
	}
	return candidate;
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
write_trash_info(
	const std::string& infoFolder, const std::string& trashedLeaf, const std::string& originalPath)
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

	// A record left by an entry that is no longer in the Trash is replaced.
	std::string record = join_path(infoFolder, trashedLeaf + ".trashinfo");
	int fd = open(record.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
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
	if (path.InitCheck() != B_OK || path.Leaf() == NULL || path.Leaf()[0] == '\0')
		return;
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, true) != B_OK)
		return;

	std::string leaf = path.Leaf();
	std::string target;
	if (replace) {
		// The old item leaves the Trash, so that the move cannot go inside it.
		target = join_path(trash.Path(), leaf);
		if (entry_exists(target) && absolute_path(path.Path()) != target)
			remove_tree(target);
	} else {
		target = free_name(trash.Path(), leaf);
	}
	LibMove(path.Path(), target.c_str());
}

void
LibDuplicate(const char* path)
{
	BPath parsed(path);
	if (parsed.InitCheck() != B_OK || parsed.Leaf() == NULL || parsed.Leaf()[0] == '\0')
		return;
	std::string entry = parsed.Path();
	std::string target = free_name(path_folder(entry), path_leaf(entry));
	LibMove(entry.c_str(), target.c_str());
}

// Helpers shared by the file operations (LibFile.h); not part of the library's interface.
#ifndef LIB_FILE_PRIVATE_H
#define LIB_FILE_PRIVATE_H

#include <SupportDefs.h>

#include <string>
#include <sys/types.h>

namespace lib_file {

// path made absolute against the working directory, with repeated slashes, "." and ".."
// resolved lexically and no trailing slash ("/" stays "/").
std::string absolute_path(const char* path);

// The folder and the leaf of an absolute, clean path ("/a/b": "/a" and "b"; "/": "/" and "").
std::string path_folder(const std::string& path);
std::string path_leaf(const std::string& path);
std::string join_path(const std::string& folder, const std::string& leaf);

// The process's file-creation mask, read without changing it (another thread may be
// creating files meanwhile).
mode_t process_umask();

// True when something is at path, a dangling link included.
bool entry_exists(const std::string& path);

// Where a copy or move of source to target lands: inside target under source's leaf when
// target is an existing folder (links followed, as the command-line tools do), else target.
std::string operation_destination(const std::string& source, const std::string& target);

// Copies the entry at source to destination, recursively, keeping permissions, times and
// attributes; links are copied as links. A file is written under a temporary name and
// renamed over destination, so a failed copy leaves destination as it was. A folder is
// merged into an existing folder. Goes on past failures and returns false when anything
// failed, with a line on standard error for each.
bool copy_tree(const std::string& source, const std::string& destination);

// Removes the entry, recursively, never following links. True when it is gone.
bool remove_tree(const std::string& path);

// The restore-record folder ("info") of the Trash whose files folder is folder, or ""
// when folder is no Trash: the boot volume's Trash, or another volume's
// "<mount>/.Trash-<uid>/files" or "<mount>/.Trash/<uid>/files".
std::string trash_info_folder(const std::string& folder);

// Writes the restore record of an entry trashed as trashedLeaf from originalPath; the
// record's path when written, or "" when it could not be written.
std::string write_trash_info(
	const std::string& infoFolder, const std::string& trashedLeaf, const std::string& originalPath);

// The freedesktop Trash's escaping of a path: every byte but letters, digits, "-._~" and
// "/" as %XX.
std::string url_escape_path(const std::string& path);

} // namespace lib_file

#endif // LIB_FILE_PRIVATE_H

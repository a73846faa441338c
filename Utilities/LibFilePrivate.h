// Helpers shared by the file operations (LibFile.h); not part of the library's interface.
#ifndef LIB_FILE_PRIVATE_H
#define LIB_FILE_PRIVATE_H

#include <SupportDefs.h>

#include <PathPrivate.h>

#include <string>
#include <sys/types.h>

namespace lib_file {

// The path helpers are the storage kit's, so that a path means the same to both layers.
using BPrivate::absolute_path;
using BPrivate::join_path;
using BPrivate::path_folder;
using BPrivate::path_leaf;

// The entry an operation acts on (what is copied, moved or removed): path resolved as the
// kernel resolves it, its folder part on disk and the leaf kept, so "a/link/../x" is the
// x beside the link's target. Refused with B_BAD_VALUE: NULL, "", and a last component
// "." or ".." (it would name a folder through one of its entries: "dir/sub/.." is dir);
// B_NOT_ALLOWED for "/". The folder must exist.
status_t source_path(const char* path, std::string* resolved);

// Where an operation puts something: resolved the same way, except that a last component
// "." or ".." names the folder it leads to (the entry then goes inside it).
status_t target_path(const char* path, std::string* resolved);

// True when name can stand for an entry in a folder: one path component, not empty, "."
// nor "..".
bool is_plain_leaf(const std::string& name);

// The process's file-creation mask, read without changing it (another thread may be
// creating files meanwhile).
mode_t process_umask();

// True when something is at path, a dangling link included.
bool entry_exists(const std::string& path);

// True when the entries at a and b are one node (device and inode), whatever their paths
// say: a hard link, or one entry seen through two mounts of its file system.
bool same_entry(const std::string& a, const std::string& b);

// True when the folder at folder, or one of the folders above it, is the node of the
// folder at path: something placed in folder would land inside path.
bool lies_inside(const std::string& folder, const std::string& path);

// Where a copy or move of source to target lands: inside target under source's leaf when
// target is an existing folder (links followed, as the command-line tools do), else target.
std::string operation_destination(const std::string& source, const std::string& target);

// Copies the entry at source to destination, recursively, keeping permissions, times and
// attributes; links are copied as links. A file is written under a temporary name and
// renamed over destination, so a failed copy leaves destination as it was. A folder is
// merged into an existing folder. Goes on past failures and returns false when anything
// failed, with a line on standard error for each.
bool copy_tree(const std::string& source, const std::string& destination);

// Moves the entry at source to destination (both resolved; destination is where the
// entry lands, not a folder to put it in): a rename on one file system, else a copy under
// a temporary name beside destination renamed into place when complete, then the removal
// of the source. Without replace an entry at destination, also one that appears while
// the move runs, refuses the move with B_FILE_EXISTS; with it a file, link or empty
// folder there is replaced.
status_t move_entry(const std::string& source, const std::string& destination, bool replace);

// Removes the entry at the resolved path, recursively, never following links, with one
// folder open at a time whatever the depth; the user's own folders get the owner's
// permissions back where they lack them. Goes on past failures. B_OK when the entry is
// gone (or was not there), else the first failure.
status_t remove_tree(const std::string& path);

// The restore-record folder ("info") of the Trash whose files folder is folder, or ""
// when folder is no Trash: the boot volume's Trash, or another volume's
// "<mount>/.Trash-<uid>/files" or "<mount>/.Trash/<uid>/files".
std::string trash_info_folder(const std::string& folder);

// Writes the restore record of an entry trashed as trashedLeaf from originalPath; the
// record's path when written, or "" when it could not be written. With exclusive the
// record is created only when none is there, which claims the name the way every
// freedesktop Trash does before it moves an entry in ("" with errno EEXIST when taken).
std::string write_trash_info(const std::string& infoFolder, const std::string& trashedLeaf,
	const std::string& originalPath, bool exclusive);

// The freedesktop Trash's escaping of a path: every byte but letters, digits, "-._~" and
// "/" as %XX.
std::string url_escape_path(const std::string& path);

} // namespace lib_file

#endif // LIB_FILE_PRIVATE_H

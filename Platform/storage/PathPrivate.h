// The path helpers of the storage kit, shared with the foundation library's file
// operations so that both layers take a path the same way; not part of the BeOS API.
#ifndef _PATH_PRIVATE_H
#define _PATH_PRIVATE_H

#include <SupportDefs.h>

#include <string>
#include <sys/stat.h>

namespace BPrivate {

// The canonical absolute path of an existing folder (symbolic links resolved), and its
// stat record when st is not NULL.
status_t canonical_folder(
	const std::string& path, std::string* canonical, struct stat* st = nullptr);

// path made absolute against the working directory, repeated and trailing slashes
// removed (the result is "/" or has no trailing slash). "." and ".." are kept: only the
// file system knows where they lead. "" when path is relative and the working directory
// cannot be read (it was removed), so that a relative path never lands on "/".
std::string absolute_path(const std::string& path);

// The folder part and the leaf of an absolute path without trailing slashes ("/a/b" gives
// "/a" and "b"; "/a" gives "/" and "a"; "/" gives "/" and ""). A bare name lies in "/".
std::string path_folder(const std::string& path);
std::string path_leaf(const std::string& path);

// folder joined with a relative path; folder itself when leaf is empty.
std::string join_path(const std::string& folder, const std::string& leaf);

// Lexical clean-up: repeated slashes, "." and ".." (".." of "/" is "/"), trailing
// slashes. path must be absolute. Only right for paths whose folders do not exist.
std::string lexically_normal(const std::string& path);

// True when the last component of path is "." or "..", which name a folder through one
// of its entries rather than an entry of their own.
bool is_dot_leaf(const std::string& path);

// Where path leads as the kernel resolves it, without following a link in the last
// component: the absolute path of its folder with links and ".." resolved on disk,
// joined with the leaf. A last component "." or ".." names the folder it leads to, which
// is resolved whole. The entry itself need not exist, its folder must.
status_t resolve_entry_path(const std::string& path, std::string* resolved);

} // namespace BPrivate

#endif // _PATH_PRIVATE_H

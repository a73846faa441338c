// Helpers shared by the storage kit's sources; not part of the BeOS API.
#ifndef _STORAGE_PRIVATE_H
#define _STORAGE_PRIVATE_H

#include <SupportDefs.h>

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace BPrivate {

// Where a node lives: what the setters of BStatable and the attribute store act on.
struct NodeLocation {
	// The node's absolute path; for a symbolic link the link itself.
	std::string path;
	// A descriptor open on the node that the f* calls (fchmod, fgetxattr, ...) accept,
	// or -1 to go through the path.
	int fd = -1;
	bool isLink = false;
};

// The status code of the current errno value.
status_t status_from_errno();

// The canonical absolute path of an existing folder (symbolic links resolved), and its
// stat record when st is not NULL.
status_t canonical_folder(
	const std::string& path, std::string* canonical, struct stat* st = nullptr);

// path made absolute against the working directory, repeated and trailing slashes
// removed (the result is "/" or has no trailing slash). "." and ".." are kept.
std::string absolute_path(const std::string& path);

// The folder part and the leaf of an absolute path without trailing slashes ("/a/b" gives
// "/a" and "b"; "/a" gives "/" and "a"; "/" gives "/" and "").
std::string path_folder(const std::string& path);
std::string path_leaf(const std::string& path);

// folder joined with a relative path.
std::string join_path(const std::string& folder, const std::string& leaf);

// Lexical clean-up: repeated slashes, "." and ".." (".." of "/" is "/"), trailing
// slashes. path must be absolute.
std::string lexically_normal(const std::string& path);

} // namespace BPrivate

#endif // _STORAGE_PRIVATE_H

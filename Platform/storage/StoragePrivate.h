// Helpers shared by the storage kit's sources; not part of the BeOS API.
#ifndef _STORAGE_PRIVATE_H
#define _STORAGE_PRIVATE_H

#include <SupportDefs.h>

#include "PathPrivate.h"

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

} // namespace BPrivate

#endif // _STORAGE_PRIVATE_H

// The mapping of BeOS attributes onto Linux extended attributes (docs/platform.md):
//
// - An attribute N of a file or folder is the xattr "user.N", holding exactly its bytes.
//   Its type code is the xattr "user.beos.type.N": four bytes, the code's characters in
//   order (big-endian), so getfattr shows "CSTR". Without it the type is B_RAW_TYPE.
// - Linux keeps no user xattrs on symbolic links, so the attributes of a link L live in
//   its folder's xattrs under a key K, sixteen hex digits of a 64-bit FNV-1a hash of L:
//   "user.beos.L.K" records the link (its inode number and birth time: eight bytes,
//   eight bytes of seconds and four of nanoseconds, little-endian; then its name),
//   "user.beos.D.K.N" holds attribute N's bytes and "user.beos.T.K.N" its type. A record
//   whose link is gone or is another node now is stale and is ignored.
// - Everything under "user.beos." is the platform's own and never listed; attribute names
//   that begin with "beos." are refused. "beos.crtime" (eight bytes, little-endian
//   seconds) is the creation time set through BStatable.
#ifndef _ATTRIBUTE_STORE_H
#define _ATTRIBUTE_STORE_H

#include "StoragePrivate.h"

#include <SupportDefs.h>
#include <fs_attr.h>

#include <string>
#include <time.h>
#include <vector>

namespace BPrivate {
namespace attribute_store {

// The longest attribute name a file or folder, and a symbolic link, can carry.
static const size_t kMaxNodeAttrName = 240;
static const size_t kMaxLinkAttrName = 226;
// The largest attribute value Linux stores (XATTR_SIZE_MAX).
static const size_t kMaxAttrSize = 65536;

ssize_t Read(const NodeLocation& node, const char* name, off_t offset, void* buffer, size_t length);
ssize_t Write(const NodeLocation& node, const char* name, type_code type, off_t offset,
	const void* buffer, size_t length);
status_t Remove(const NodeLocation& node, const char* name);
status_t GetInfo(const NodeLocation& node, const char* name, attr_info* info);
// The node's attribute names in the file system's order; empty where the volume keeps
// no attributes.
status_t List(const NodeLocation& node, std::vector<std::string>* names);

// The creation time set through BStatable, if any.
status_t GetCreationTime(const NodeLocation& node, time_t* time);
status_t SetCreationTime(const NodeLocation& node, time_t time);

// Copies the attributes of the symbolic link at fromPath to be those of the same link at
// toPath (before a rename, which keeps the node; the copy replaces whatever toPath's key
// held). Nothing is copied when the link has no attributes.
status_t CopyLinkAttributes(const std::string& fromPath, const std::string& toPath);
// Drops whatever the folder of path keeps for a link named like path's leaf.
void RemoveLinkAttributes(const std::string& path);

// Reads attribute name of the symbolic link linkName inside the folder open as folderFd, at
// offset 0, the way Read() does. The link is the node inode born at birthSeconds and
// birthNanoseconds (statx; both 0 where the file system keeps no birth time). Made for walks
// that hold each folder open: a link without the attribute costs one xattr read.
ssize_t ReadLinkAttrAt(int folderFd, const char* linkName, uint64 inode, int64 birthSeconds,
	uint32 birthNanoseconds, const char* name, void* buffer, size_t length);

// True when the volume that holds path keeps user xattrs.
bool SupportsAttributes(const std::string& path);

} // namespace attribute_store
} // namespace BPrivate

#endif // _ATTRIBUTE_STORE_H

// BStatable: what every file-system object can tell about its node (type, owner,
// permissions, size, times, volume) and the setters that change it. BEntry and BNode
// derive from it.
#ifndef _STATABLE_H
#define _STATABLE_H

#include <EntryRef.h>
#include <SupportDefs.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

class BVolume;

namespace BPrivate {
struct NodeLocation;
} // namespace BPrivate

class BStatable {
public:
	virtual ~BStatable();

	// The node's stat record. BEntry reports the entry itself (a link is not followed).
	virtual status_t GetStat(struct stat* st) const = 0;

	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;

	status_t GetNodeRef(node_ref* ref) const;

	status_t GetOwner(uid_t* owner) const;
	status_t SetOwner(uid_t owner);

	status_t GetGroup(gid_t* group) const;
	status_t SetGroup(gid_t group);

	status_t GetPermissions(mode_t* permissions) const;
	status_t SetPermissions(mode_t permissions);

	status_t GetSize(off_t* size) const;

	status_t GetModificationTime(time_t* mtime) const;
	status_t SetModificationTime(time_t mtime);

	// Linux cannot set a node's birth time: a set creation time is kept in a hidden
	// attribute and read back before the node's real birth time (docs/platform.md).
	status_t GetCreationTime(time_t* ctime) const;
	status_t SetCreationTime(time_t ctime);

	status_t GetAccessTime(time_t* atime) const;
	status_t SetAccessTime(time_t atime);

	status_t GetVolume(BVolume* volume) const;

protected:
	// Where the node lives, for the setters and the stored creation time.
	virtual status_t _GetLocation(BPrivate::NodeLocation* location) const = 0;
};

#endif // _STATABLE_H

// GroupContextList: a package's install types in display order. It owns its groups; each
// group added gets a uid from NextUid. The configuration's "groups" message holds the
// list as two parallel string arrays, names and descriptions.
#ifndef GROUP_CONTEXT_LIST_H
#define GROUP_CONTEXT_LIST_H

#include "GroupContext.h"

#include <LinkList.h>

class BMessage;

class GroupContextList : public LinkList<GroupContext> {
public:
	GroupContextList() { }

	virtual ~GroupContextList();

	// Replaces the list with the groups of a "groups" message; a missing description
	// reads as empty.
	void Read(const BMessage& message);
	// Appends one group_name and one group_description value per group, in list order.
	// Uids are not written.
	void Write(BMessage& message) const;

	// The first group with that uid, or NULL.
	GroupContext* FindContext(const int32& uid);
	// Removes and frees the first group with that uid.
	void RemoveContext(const int32& uid);

	// The uid the next group gets: the list's size, unless some group's uid differs from
	// its 0-based position, in which case the last such position. Uids given in order
	// grow with insertion; after a removal the gap is reused.
	int32 NextUid() const;

	bool HasGroup(const char* name) const;
	// Appends a group of that name with a new uid and no description; a name already
	// present changes nothing.
	void Add(const char* name);

	void PrintToStream() const;
};

#endif // GROUP_CONTEXT_LIST_H

// entry_ref and node_ref: the value types that name an entry (folder node plus leaf
// name) and a node (device plus inode). Entry.h and Node.h include this header, as the
// message class does, so that messages can carry references without the rest of the
// storage kit.
#ifndef _ENTRY_REF_H
#define _ENTRY_REF_H

#include <SupportDefs.h>

#include <sys/types.h>

struct entry_ref {
	entry_ref();
	entry_ref(dev_t device, ino_t directory, const char* name);
	entry_ref(const entry_ref& other);
	~entry_ref();

	status_t set_name(const char* name);

	bool operator==(const entry_ref& other) const;
	bool operator!=(const entry_ref& other) const;
	entry_ref& operator=(const entry_ref& other);

	dev_t device;
	ino_t directory;
	char* name;
};

struct node_ref {
	node_ref();
	node_ref(dev_t device, ino_t node);

	bool operator==(const node_ref& other) const;
	bool operator!=(const node_ref& other) const;
	bool operator<(const node_ref& other) const;

	dev_t device;
	ino_t node;
};

#endif // _ENTRY_REF_H

// BSymLink: a symbolic link node, opened as itself.
#ifndef _SYM_LINK_H
#define _SYM_LINK_H

#include <Node.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BPath;

class BSymLink : public BNode {
public:
	BSymLink();
	BSymLink(const BSymLink& link);
	BSymLink(const entry_ref* ref);
	BSymLink(const BEntry* entry);
	BSymLink(const char* path);
	BSymLink(const BDirectory* dir, const char* path);
	virtual ~BSymLink();

	// The link's contents, NUL-terminated (cut to size - 1 bytes); returns the length of
	// the contents copied or an error.
	ssize_t ReadLink(char* buffer, size_t size);

	// The path the link points to, a relative target taken from dirPath (the link's
	// folder); returns the path's length or an error.
	ssize_t MakeLinkedPath(const char* dirPath, BPath* path);
	ssize_t MakeLinkedPath(const BDirectory* dir, BPath* path);

	bool IsAbsolute();
};

#endif // _SYM_LINK_H

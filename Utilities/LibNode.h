// LibNode: a node with typed attribute readers and writers, and a whole file kept as a ZIP
// archive in one attribute. Every writer first removes the attribute, so a new value never
// keeps the tail of an older, longer one.
#ifndef LIB_NODE_H
#define LIB_NODE_H

#include <Node.h>

class BEntry;
class BMessage;
class LibString;

class LibNode : public BNode {
public:
	LibNode();
	LibNode(const BEntry* entry);
	LibNode(const entry_ref* ref);
	LibNode(const char* path);
	virtual ~LibNode();

	// A 'CSTR' attribute of strlen(value) bytes, without a terminating NUL.
	bool WriteStringAttr(const char* name, const char* value);
	// The whole attribute as text; the bytes read, or the platform's error (value is then
	// empty).
	ssize_t ReadStringAttr(const char* name, LibString& value);

	// One byte of type 'BOOL'. The reader is true only when exactly one byte was read.
	bool WriteBoolAttr(const char* name, const bool& value);
	bool ReadBoolAttr(const char* name, bool& value);

	// Four bytes of type 'LONG' (a value beyond 32 bits keeps its low 32 bits). The reader
	// is true only when four bytes were read; value is unchanged otherwise.
	bool WriteInt32Attr(const char* name, const long& value);
	bool ReadInt32Attr(const char* name, long& value);

	// The flattened message as one 'RAWT' attribute. The reader is false when the attribute
	// does not exist or does not hold a message.
	bool WriteMessageAttr(const char* name, const BMessage& message);
	bool ReadMessageAttr(const char* name, BMessage& message);

	// Stores a ZIP archive of file (level 9) in the 'RAWT' attribute name, byte for byte.
	bool CompressFile(const char* name, const char* file);
	// Writes the attribute name out to target, unpacked when unzip is true (the archive's
	// item must be called like the attribute, so name must then be one plain path component,
	// and the archive expand completely); target's type is then recognised. The work is done
	// in a folder of the process's own in the common temporary folder. True when the node
	// has no such attribute.
	bool UncompressFile(const char* target, const char* name, bool unzip);
};

#endif // LIB_NODE_H

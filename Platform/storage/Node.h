// BNode: an open node (file, folder or symbolic link itself) and its attributes.
// Attributes are extended attributes in the user namespace; see docs/platform.md.
#ifndef _NODE_H
#define _NODE_H

#include <EntryRef.h>
#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>
#include <fs_attr.h>

#include <string>
#include <vector>

class BDirectory;
class BEntry;
class BString;

class BNode : public BStatable {
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	BNode(const BDirectory* dir, const char* path);
	BNode(const BNode& node);
	virtual ~BNode();

	status_t InitCheck() const;

	virtual status_t GetStat(struct stat* st) const;

	// A symbolic link is opened as itself, never followed.
	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t Sync();

	// Writes length bytes at offset (bytes beyond offset + length are kept) and sets the
	// attribute's type. Returns the bytes written or an error; B_NOT_SUPPORTED where the
	// volume keeps no attributes.
	ssize_t WriteAttr(
		const char* name, type_code type, off_t offset, const void* buffer, size_t length);
	// Reads up to length bytes from offset; type is not checked, as on BeOS.
	ssize_t ReadAttr(
		const char* name, type_code type, off_t offset, void* buffer, size_t length) const;
	status_t RemoveAttr(const char* name);
	status_t RenameAttr(const char* oldName, const char* newName);
	status_t GetAttrInfo(const char* name, struct attr_info* info) const;

	// Names in the file system's order; buffer holds B_ATTR_NAME_LENGTH bytes. Returns
	// B_ENTRY_NOT_FOUND after the last name.
	status_t GetNextAttrName(char* buffer);
	status_t RewindAttrs();

	status_t WriteAttrString(const char* name, const BString* data);
	status_t ReadAttrString(const char* name, BString* result) const;

	BNode& operator=(const BNode& node);
	bool operator==(const BNode& node) const;
	bool operator!=(const BNode& node) const;

	// A duplicate of the node's file descriptor (the caller closes it), or an error.
	int Dup();

protected:
	virtual status_t _GetLocation(BPrivate::NodeLocation* location) const;

	// Opens the node at an absolute path with the open flags, or, with kNodeOnly, only for
	// its stat and attributes. With follow false a symbolic link is opened as itself.
	static const int kNodeOnly = -1;
	status_t _Open(const std::string& path, int flags, bool follow, mode_t mode = 0);
	void _Close();

	void _SetStatus(status_t status) { fStatus = status; }

	int _Fd() const { return fFd; }

	// The node's absolute path as it was opened.
	const std::string& _NodePath() const { return fPath; }

private:
	int fFd;
	std::string fPath;
	bool fIsLink;
	// The descriptor only names the node (O_PATH): attributes go through the path.
	bool fPathOnly;
	status_t fStatus;
	std::vector<std::string> fAttrNames;
	size_t fAttrIndex;
	bool fAttrsListed;
};

#endif // _NODE_H

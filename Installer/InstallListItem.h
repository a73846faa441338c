// A row of the installer's item list: one install item of the package, read from its
// install_file record, with the size it takes when installed and the install types (groups)
// that contain it.
#ifndef INSTALL_LIST_ITEM_H
#define INSTALL_LIST_ITEM_H

#include "FileListItem.h"
#include "LibStringList.h"

class InstallListItem : public FileListItem {
public:
	// Shows the whole path (the window switches it to the leaf name before reading a record).
	InstallListItem(bool indent);
	InstallListItem(const char* path, bool indent, bool showFullPath);
	// Takes the other row's entry and groups; the size starts at 0.
	InstallListItem(const InstallListItem& other, bool indent);
	virtual ~InstallListItem();

	void SetSize(const int32& size);

	int32 Size() const { return fSize; }

	// The common record, then "groups" (every name followed by ";") and a second file_size:
	// this row's size.
	virtual void Write(BMessage& message) const;
	// The common record; the names of "groups" appended to the group list; the size from the
	// first file_size (the entry size the record was written with).
	virtual void Read(const BMessage& message);

	// The install types that contain the item (case-sensitive names).
	LibStringList groups;

private:
	int32 fSize;
};

#endif // INSTALL_LIST_ITEM_H

// CustomFolders: a list of custom folders that owns its folders. Its settings form keeps
// the author's own definitions and the common (shared) ones apart: each kind is written
// and read on its own, and a common definition takes precedence over an author folder of
// the same name.
#ifndef CUSTOM_FOLDERS_H
#define CUSTOM_FOLDERS_H

#include "CustomFolder.h"

#include <LinkList.h>

class BMessage;

class CustomFolders : public LinkList<CustomFolder> {
public:
	CustomFolders() { }

	virtual ~CustomFolders();

	bool IsCustom(const char* name);
	// The folder of that name, or NULL.
	CustomFolder* Find(const char* name);
	int32 CountCommonCustom() const;

	// Writes custom_folder_qty and then, numbered from 0, the author's folders (custom
	// true) or the common ones (custom false).
	void WritePref(BMessage& message, bool custom) const;
	// Appends the folders of the settings form, marked common when custom is false. A
	// common definition renames an existing folder of its name to "<name> Renamed".
	// Numbers below custom_folder_qty without a folder are skipped.
	void ReadPref(const BMessage& message, bool custom);

	void PrintToStream() const;
};

#endif // CUSTOM_FOLDERS_H

// CustomFolder: a destination the package author names: a standard folder plus a path below
// it, and whether an existing folder at that place is replaced. Items refer to it by name
// in their destination and link. Two folders are the same folder when their names are
// equal, case-sensitively.
//
// Forms: the configuration's custom_folder entry (Write/Read), the numbered fields of a
// settings message (WritePref/ReadPref) and the attribute text "name;code;sub;replace;".
// The common-definition flag lives in memory only.
#ifndef CUSTOM_FOLDER_H
#define CUSTOM_FOLDER_H

#include "LibString.h"

#include <FindDirectory.h>
#include <SupportDefs.h>

class BMessage;

class CustomFolder {
public:
	CustomFolder();
	CustomFolder(const char* name);
	CustomFolder(const CustomFolder& other);
	virtual ~CustomFolder();

	CustomFolder& operator=(const CustomFolder& other);
	bool operator==(const CustomFolder& other) const;
	// Sorting by name: the case-sensitive comparison is positive.
	bool operator>(const CustomFolder& other) const;

	const LibString& Name() const { return fName; }

	void SetName(const char* name);

	directory_which ParentFolder() const { return fParentFolder; }

	void ParentFolder(const directory_which& which);

	const LibString& SubFolder() const { return fSubFolder; }

	void SubFolder(const char* subFolder);

	bool Replace() const { return fReplace; }

	void Replace(const bool& replace);

	bool CommonDef() const { return fCommonDef; }

	void CommonDef(const bool& common);

	// Appends one value to each of the four custom_folder fields.
	void Write(BMessage& message) const;
	// Takes value 0 of each field; a missing field leaves that part unchanged.
	void Read(const BMessage& message);

	// The settings form for folder number n, without the folder count.
	void WritePref(const int32& number, BMessage& message) const;
	void ReadPref(const int32& number, const BMessage& message);

	// "%s;%d;%s;%d;": name, parent code, sub folder, replace as 0 or 1.
	LibString AttrDescription() const;
	// Parses the attribute text; the common-definition flag is not touched.
	void SetFromAttrDescription(const LibString& description);

	void PrintToStream() const;

private:
	LibString fName;
	directory_which fParentFolder;
	LibString fSubFolder;
	bool fReplace;
	bool fCommonDef;
};

#endif // CUSTOM_FOLDER_H

#include "CustomFolder.h"

#include "LibStringIterator.h"
#include "PackageDefs.h"

#include <Message.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace {

LibString
pref_key(const char* base, int32 number)
{
	LibString key;
	key.Formatted("%s_%" PRId32, base, number);
	return key;
}

// The attribute text's numbers: a leading decimal integer, 0 when there is none.
int32
parse_number(const LibString& text)
{
	return static_cast<int32>(strtol(text, nullptr, 10));
}

} // namespace

CustomFolder::CustomFolder() :
	fParentFolder(static_cast<directory_which>(0)),
	fReplace(true),
	fCommonDef(false)
{
}

CustomFolder::CustomFolder(const char* name) :
	fName(name),
	fParentFolder(static_cast<directory_which>(0)),
	fReplace(true),
	fCommonDef(false)
{
}

CustomFolder::CustomFolder(const CustomFolder& other) :
	fName(other.fName),
	fParentFolder(other.fParentFolder),
	fSubFolder(other.fSubFolder),
	fReplace(other.fReplace),
	fCommonDef(other.fCommonDef)
{
}

CustomFolder::~CustomFolder() { }

CustomFolder&
CustomFolder::operator=(const CustomFolder& other)
{
	fName = other.fName;
	fParentFolder = other.fParentFolder;
	fSubFolder = other.fSubFolder;
	fReplace = other.fReplace;
	fCommonDef = other.fCommonDef;
	return *this;
}

bool
CustomFolder::operator==(const CustomFolder& other) const
{
	return fName == other.fName;
}

bool
CustomFolder::operator>(const CustomFolder& other) const
{
	return fName.Compare(other.fName) > 0;
}

void
CustomFolder::SetName(const char* name)
{
	fName = name;
}

void
CustomFolder::ParentFolder(const directory_which& which)
{
	fParentFolder = which;
}

void
CustomFolder::SubFolder(const char* subFolder)
{
	fSubFolder = subFolder;
}

void
CustomFolder::Replace(const bool& replace)
{
	fReplace = replace;
}

void
CustomFolder::CommonDef(const bool& common)
{
	fCommonDef = common;
}

void
CustomFolder::Write(BMessage& message) const
{
	message.AddString(Package::kCustomFolderName, fName);
	message.AddInt32(Package::kCustomRootDir, static_cast<int32>(fParentFolder));
	message.AddString(Package::kCustomSubDir, fSubFolder);
	message.AddBool(Package::kCustomReplaceExisting, fReplace);
}

void
CustomFolder::Read(const BMessage& message)
{
	const char* text = nullptr;
	if (message.FindString(Package::kCustomFolderName, 0, &text) == B_OK)
		fName = text;
	int32 code = 0;
	if (message.FindInt32(Package::kCustomRootDir, 0, &code) == B_OK)
		fParentFolder = static_cast<directory_which>(code);
	if (message.FindString(Package::kCustomSubDir, 0, &text) == B_OK)
		fSubFolder = text;
	bool replace = false;
	if (message.FindBool(Package::kCustomReplaceExisting, 0, &replace) == B_OK)
		fReplace = replace;
}

void
CustomFolder::WritePref(const int32& number, BMessage& message) const
{
	message.AddString(pref_key("custom_folder_name", number), fName);
	message.AddInt32(pref_key("custom_folder_parent", number), static_cast<int32>(fParentFolder));
	message.AddString(pref_key("custom_folder_sub_dir", number), fSubFolder);
	message.AddBool(pref_key("custom_folder_replace", number), fReplace);
}

void
CustomFolder::ReadPref(const int32& number, const BMessage& message)
{
	const char* text = nullptr;
	if (message.FindString(pref_key("custom_folder_name", number), &text) == B_OK)
		fName = text;
	int32 code = 0;
	if (message.FindInt32(pref_key("custom_folder_parent", number), &code) == B_OK)
		fParentFolder = static_cast<directory_which>(code);
	if (message.FindString(pref_key("custom_folder_sub_dir", number), &text) == B_OK)
		fSubFolder = text;
	bool replace = false;
	if (message.FindBool(pref_key("custom_folder_replace", number), &replace) == B_OK)
		fReplace = replace;
}

LibString
CustomFolder::AttrDescription() const
{
	LibString description;
	description.Formatted("%s;%d;%s;%d;", static_cast<const char*>(fName),
		static_cast<int>(fParentFolder), static_cast<const char*>(fSubFolder), fReplace ? 1 : 0);
	return description;
}

void
CustomFolder::SetFromAttrDescription(const LibString& description)
{
	LibStringIterator fields(description);
	LibString field;
	if (fields.GetNextField(';', field))
		fName = field;
	if (fields.GetNextField(';', field))
		fParentFolder = static_cast<directory_which>(parse_number(field));
	if (fields.GetNextField(';', field))
		fSubFolder = field;
	if (fields.GetNextField(';', field))
		fReplace = parse_number(field) != 0;
}

void
CustomFolder::PrintToStream() const
{
	fprintf(stderr, "CustomFolder name (%s), sub (%s), replace %d, common %d\n",
		static_cast<const char*>(fName), static_cast<const char*>(fSubFolder), fReplace ? 1 : 0,
		fCommonDef ? 1 : 0);
}

#include "InstallListItem.h"

#include "LibStringIterator.h"
#include "PackageDefs.h"

#include <InterfaceDefs.h>
#include <Message.h>

InstallListItem::InstallListItem(bool indent) :
	FileListItem(indent, true),
	fSize(0)
{
	// Long names keep their end, where they differ.
	SetTruncateMode(B_TRUNCATE_BEGINNING);
}

InstallListItem::InstallListItem(const char* path, bool indent, bool showFullPath) :
	FileListItem(path, indent, showFullPath),
	fSize(0)
{
	SetTruncateMode(B_TRUNCATE_BEGINNING);
}

InstallListItem::InstallListItem(const InstallListItem& other, bool indent) :
	FileListItem(other, indent),
	fSize(0)
{
	SetTruncateMode(B_TRUNCATE_BEGINNING);
	// Walking a list moves only its cursor.
	groups = const_cast<LibStringList&>(other.groups);
}

InstallListItem::~InstallListItem() { }

void
InstallListItem::SetSize(const int32& size)
{
	fSize = size;
}

void
InstallListItem::Write(BMessage& message) const
{
	FileListItem::Write(message);
	LibString names;
	LibStringList& list = const_cast<LibStringList&>(groups);
	for (LibString* name = list.First(); name != NULL; name = list.Next()) {
		names += *name;
		names += ';';
	}
	message.AddString(Package::kFileGroups, names);
	message.AddInt32(Package::kFileSize, fSize);
}

void
InstallListItem::Read(const BMessage& message)
{
	FileListItem::Read(message);
	const char* names = NULL;
	if (message.FindString(Package::kFileGroups, 0, &names) == B_OK && names != NULL) {
		LibStringIterator iterator(names);
		LibString name;
		while (iterator.GetNextField(';', name))
			groups.Add(name);
	}
	int32 size = 0;
	if (message.FindInt32(Package::kFileSize, 0, &size) == B_OK)
		fSize = size;
}

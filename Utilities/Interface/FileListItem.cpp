#include "FileListItem.h"

#include "LibBitmap.h"
#include "LibColors.h"
#include "LibEntry.h"

#include <Entry.h>
#include <Font.h>
#include <Message.h>
#include <Mime.h>
#include <Roster.h>
#include <View.h>

#include <cstring>
#include <string>

namespace {

// The record's keys, as packages carry them.
const char* const kFileName = "file_name";
const char* const kFileType = "file_type";
const char* const kFileSize = "file_size";
const char* const kFileCreation = "file_creation";
const char* const kFileModified = "file_modified";
const char* const kFileAccessed = "file_accessed";
const char* const kFileIcon = "file_icon";

const float kRowHeight = 18;
const float kMargin = 3;
const float kIndentedMargin = 16;
// Room for the icon and the gap after it, and the right edge kept free of text.
const float kIconSpace = 14;
const float kRightSpace = 7;
const float kTextOffset = 21;
const float kBaselineFromBottom = 4;
const BRect kIconBounds(0, 0, (float)B_MINI_ICON - 1, (float)B_MINI_ICON - 1);

// An empty small icon: every pixel transparent, so a row without an icon shows none.
std::unique_ptr<LibBitmap>
empty_icon()
{
	auto icon = std::make_unique<LibBitmap>(kIconBounds, B_CMAP8);
	if (icon->InitCheck() == B_OK)
		memset(icon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, icon->BitsLength());
	return icon;
}

} // namespace

FileListItem::FileListItem(bool indent, bool showFullPath) :
	BListItem(0, true),
	fShowFullPath(showFullPath),
	fIndent(indent),
	fIcon(empty_icon()),
	fType(FILE_TYPE_NONE),
	fTruncateMode(0)
{
}

FileListItem::FileListItem(const char* path, bool indent, bool showFullPath) :
	FileListItem(indent, showFullPath)
{
	SetPath(path);
}

FileListItem::FileListItem(const FileListItem& other, bool indent) :
	FileListItem(indent, other.fShowFullPath)
{
	fType = other.fType;
	fPath = other.fPath;
	if (other.fIcon != nullptr && other.fIcon->InitCheck() == B_OK) {
		fIcon = std::make_unique<LibBitmap>(other.fIcon->Bounds(), other.fIcon->ColorSpace());
		if (fIcon->InitCheck() == B_OK)
			memcpy(fIcon->Bits(), other.fIcon->Bits(), other.fIcon->BitsLength());
	}
	SetDisplayText();
}

FileListItem::~FileListItem() { }

void
FileListItem::SetPath(const char* path)
{
	// An icon read from a record may be of another size or kind; the entry's own is small.
	if (fIcon == nullptr || fIcon->Bounds() != kIconBounds || fIcon->ColorSpace() != B_CMAP8) {
		fIcon = empty_icon();
	}
	if (fIcon->SetTo(path, B_MINI_ICON) != B_OK)
		memset(fIcon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, fIcon->BitsLength());
	fPath.SetTo(path);
	SetDisplayText();
}

void
FileListItem::SetShowFullPath(const bool& showFullPath)
{
	fShowFullPath = showFullPath;
	SetDisplayText();
}

void
FileListItem::SetTruncateMode(const uint32& mode)
{
	fTruncateMode = mode;
	SetDisplayText();
}

void
FileListItem::SetType(const FileType& type)
{
	fType = type;
}

void
FileListItem::SetDisplayText()
{
	const char* text = fShowFullPath ? fPath.Path() : fPath.Leaf();
	fDisplayText = text != NULL ? text : "";
}

void
FileListItem::Update(BView* owner, const BFont* font)
{
	BListItem::Update(owner, font);
	SetHeight(kRowHeight);
	if (fTruncateMode == 0 || owner == NULL || font == NULL)
		return;
	// BeOS behaviour: the shortened text replaces the display text until it is set again.
	const float width =
		owner->Frame().Width() - (fIndent ? kIndentedMargin : kMargin) - kIconSpace - kRightSpace;
	std::string text(fDisplayText);
	font->TruncateString(&text, fTruncateMode, width);
	fDisplayText = text.c_str();
}

void
FileListItem::DrawItem(BView* owner, BRect frame, bool)
{
	const float x = fIndent ? kIndentedMargin : kMargin;
	owner->PushState();
	owner->SetHighColor(IsSelected() ? grey_color : owner->ViewColor());
	owner->FillRect(frame);
	owner->SetHighColor(black_color);
	owner->SetLowColor(IsSelected() ? grey_color : owner->ViewColor());
	owner->SetDrawingMode(B_OP_OVER);
	if (fIcon != nullptr && fIcon->InitCheck() == B_OK)
		owner->DrawBitmap(fIcon.get(), BPoint(x - 1, frame.top + 1));
	owner->DrawString(fDisplayText, BPoint(x + kTextOffset, frame.bottom - kBaselineFromBottom));
	owner->PopState();
}

void
FileListItem::Write(BMessage& message) const
{
	const char* path = fPath.Path() != NULL ? fPath.Path() : "";
	message.AddString(kFileName, path);
	message.AddInt8(kFileType, (int8)fType);
	message.AddInt32(kFileSize, LibEntrySize(path, true));

	time_t created = 0;
	time_t modified = 0;
	time_t accessed = 0;
	BEntry entry(path, false);
	if (entry.InitCheck() == B_OK) {
		entry.GetCreationTime(&created);
		entry.GetModificationTime(&modified);
		entry.GetAccessTime(&accessed);
	}
	message.AddInt64(kFileCreation, created);
	message.AddInt64(kFileModified, modified);
	message.AddInt64(kFileAccessed, accessed);

	BMessage icon;
	if (fIcon != nullptr)
		fIcon->Archive(&icon, true);
	message.AddMessage(kFileIcon, &icon);
}

void
FileListItem::Read(const BMessage& message)
{
	const char* name = NULL;
	if (message.FindString(kFileName, 0, &name) == B_OK && name != NULL)
		fPath.SetTo(name);
	int8 type = 0;
	if (message.FindInt8(kFileType, 0, &type) == B_OK)
		fType = (FileType)type;
	BMessage archive;
	if (message.FindMessage(kFileIcon, 0, &archive) == B_OK) {
		// An archive that holds no usable bitmap leaves the row without an icon rather than
		// with a broken one.
		fIcon = std::make_unique<LibBitmap>(&archive);
		if (fIcon->InitCheck() != B_OK)
			fIcon = empty_icon();
	}
	SetDisplayText();
}

status_t
FileListItem::Execute() const
{
	entry_ref ref;
	BEntry entry(fPath.Path(), false);
	status_t status = entry.GetRef(&ref);
	if (status != B_OK)
		return status;
	return be_roster->Launch(&ref);
}

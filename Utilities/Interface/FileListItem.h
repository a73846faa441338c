// A list row for a file-system entry: its small icon and its leaf name or whole path, and the
// part of a package's install_file record that describes the entry.
#ifndef FILE_LIST_ITEM_H
#define FILE_LIST_ITEM_H

#include "LibString.h"

#include <ListItem.h>
#include <Path.h>

#include <memory>

class BMessage;
class LibBitmap;

class FileListItem : public BListItem {
public:
	// The kind of entry; records store it as int8. Other values read from a record are kept.
	enum FileType : int32 { FILE_TYPE_NONE = 0, FILE_TYPE_FILE = 1, FILE_TYPE_FOLDER = 2 };

	// indent draws with a left margin of 16 instead of 3 pixels; showFullPath shows the whole
	// path instead of the leaf name.
	FileListItem(bool indent = false, bool showFullPath = false);
	// Also sets the path, as SetPath() does.
	FileListItem(const char* path, bool indent, bool showFullPath);
	// Takes the other row's show-full-path flag, type, path and icon, with this indent.
	FileListItem(const FileListItem& other, bool indent);
	virtual ~FileListItem();

	// The row: its icon at the margin and the display text beside it, on grey when selected.
	virtual void DrawItem(BView* owner, BRect frame, bool complete = false);
	// Rows are 18 high. With a truncate mode the display text is shortened to the row once.
	virtual void Update(BView* owner, const BFont* font);
	// Appends file_name, file_type (int8), file_size (int32, attributes and folder contents
	// included), file_creation, file_modified, file_accessed (int64 seconds) and file_icon.
	virtual void Write(BMessage& message) const;
	// Takes file_name, file_type and file_icon when present; times and size are not read.
	virtual void Read(const BMessage& message);

	// Loads the entry's 16 × 16 icon, sets the path and the display text.
	void SetPath(const char* path);
	void SetShowFullPath(const bool& showFullPath);
	// 0 for none, else B_TRUNCATE_END, B_TRUNCATE_BEGINNING, ... used by Update().
	void SetTruncateMode(const uint32& mode);
	void SetType(const FileType& type);
	// The display text from the path: the whole path or the leaf name.
	void SetDisplayText();

	bool ShowFullPath() const { return fShowFullPath; }

	FileType Type() const { return fType; }

	BPath Path() const { return fPath; }

	bool Indent() const { return fIndent; }

	uint32 TruncateMode() const { return fTruncateMode; }

	const char* DisplayText() const { return fDisplayText; }

	const LibBitmap* Icon() const { return fIcon.get(); }

	// Opens the entry through the roster: a program starts, a document opens in its
	// preferred application.
	status_t Execute() const;

private:
	bool fShowFullPath;
	bool fIndent;
	std::unique_ptr<LibBitmap> fIcon;
	BPath fPath;
	FileType fType;
	LibString fDisplayText;
	uint32 fTruncateMode;
};

#endif // FILE_LIST_ITEM_H

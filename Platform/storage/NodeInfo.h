// BNodeInfo: the file-type information of a node, kept in its attributes: its type
// ("BEOS:TYPE"), its preferred application ("BEOS:PREF_APP") and its own icons
// ("BEOS:L:STD_ICON", "BEOS:M:STD_ICON"); and the icon the file manager shows for it.
#ifndef _NODE_INFO_H
#define _NODE_INFO_H

#include <Entry.h>
#include <File.h>
#include <Mime.h>
#include <Node.h>
#include <SupportDefs.h>

class BBitmap;

class BNodeInfo {
public:
	BNodeInfo();
	// The node stays the caller's and must outlive this object.
	BNodeInfo(BNode* node);
	virtual ~BNodeInfo();

	BNodeInfo(const BNodeInfo&) = delete;
	BNodeInfo& operator=(const BNodeInfo&) = delete;

	status_t SetTo(BNode* node);
	status_t InitCheck() const;

	// type holds B_MIME_TYPE_LENGTH bytes. A node without a type gets what the type
	// recogniser says of it; nothing is written.
	virtual status_t GetType(char* type) const;
	// NULL removes the type.
	virtual status_t SetType(const char* type);
	// The node's own icon; B_ENTRY_NOT_FOUND when it has none. icon must be which × which
	// pixels.
	virtual status_t GetIcon(BBitmap* icon, icon_size which = B_LARGE_ICON) const;
	// icon: a which × which B_CMAP8 bitmap; NULL removes the icon.
	virtual status_t SetIcon(const BBitmap* icon, icon_size which = B_LARGE_ICON);

	// signature holds B_MIME_TYPE_LENGTH bytes; B_ENTRY_NOT_FOUND when none is set.
	status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
	// NULL removes the preferred application.
	status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

	// The icon as the file manager shows it: the node's own icon, a program's icon from
	// its resources, or the generic icon of its kind (folder, volume, link, program,
	// document).
	status_t GetTrackerIcon(BBitmap* icon, icon_size which = B_LARGE_ICON) const;
	static status_t GetTrackerIcon(
		const entry_ref* ref, BBitmap* icon, icon_size which = B_LARGE_ICON);

protected:
	// Reads a NUL-terminated string attribute into buffer (size bytes).
	status_t _ReadString(const char* name, char* buffer, size_t size) const;
	// Writes value with its NUL as an attribute of type; NULL removes the attribute.
	status_t _WriteString(const char* name, type_code type, const char* value);

	BNode* fNode;
	status_t fStatus;
};

#endif // _NODE_INFO_H

// BFilePanel: a window for choosing files or folders. The panel lists the entries of one
// folder that its node flavours and its BRefFilter admit; a choice goes to the target as a
// B_REFS_RECEIVED message (or the panel's own message) with an entry_ref per chosen entry
// in "refs". The panel is never modal: the program keeps running while it is open.
#ifndef _FILE_PANEL_H
#define _FILE_PANEL_H

#include <Directory.h>
#include <Entry.h>
#include <EntryRef.h>
#include <Message.h>
#include <Messenger.h>
#include <Node.h>
#include <StorageDefs.h>

#include <memory>
#include <sys/stat.h>

class BWindow;

namespace BPrivate {
class FilePanelData;
}

enum file_panel_mode { B_OPEN_PANEL, B_SAVE_PANEL };

enum file_panel_button { B_CANCEL_BUTTON, B_DEFAULT_BUTTON };

class BRefFilter {
public:
	virtual ~BRefFilter() { }

	// Asked for every entry of the shown folder: true keeps it in the list. node is the
	// entry's node (links followed), stat its stat, mimeType its type (folders
	// "application/x-vnd.Be-directory", volume roots "application/x-vnd.Be-volume").
	virtual bool Filter(
		const entry_ref* ref, BNode* node, struct stat* stat, const char* mimeType) = 0;
};

class BFilePanel {
public:
	// nodeFlavors 0 means files (B_FILE_NODE); B_DIRECTORY_NODE lists folders only and
	// lets the current folder be chosen with nothing selected. The panel takes neither the
	// filter nor the target; it owns the message.
	BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = NULL,
		const entry_ref* directory = NULL, uint32 nodeFlavors = 0,
		bool allowMultipleSelection = true, BMessage* message = NULL, BRefFilter* filter = NULL,
		bool modal = false, bool hideWhenDone = true);
	virtual ~BFilePanel();

	BFilePanel(const BFilePanel&) = delete;
	BFilePanel& operator=(const BFilePanel&) = delete;

	void Show();
	void Hide();
	bool IsShowing() const;

	// The panel's window; its "MenuBar" view takes the menus a program adds.
	BWindow* Window() const;
	BMessenger Messenger() const;
	file_panel_mode PanelMode() const;

	void SetTarget(BMessenger target);
	void SetMessage(BMessage* message);
	void SetRefFilter(BRefFilter* filter);
	BRefFilter* RefFilter() const;
	void SetHideWhenDone(bool hideWhenDone);
	bool HidesWhenDone() const;
	void SetButtonLabel(file_panel_button button, const char* label);

	void SetPanelDirectory(const entry_ref* ref);
	void SetPanelDirectory(const BEntry* entry);
	void SetPanelDirectory(const BDirectory* directory);
	void SetPanelDirectory(const char* path);
	void GetPanelDirectory(entry_ref* ref) const;
	// Lists the folder again (the filter is asked anew).
	void Refresh();

	// The chosen (or, before a choice, selected) entries one by one; B_ENTRY_NOT_FOUND
	// after the last.
	void Rewind();
	status_t GetNextSelectedRef(entry_ref* ref);

	// Sends the choice; a subclass may add to the message first.
	virtual void SendMessage(const BMessenger* target, BMessage* message);
	virtual void WasHidden();
	virtual void SelectionChanged();

private:
	friend class BPrivate::FilePanelData;

	std::unique_ptr<BPrivate::FilePanelData> fData;
};

#endif // _FILE_PANEL_H

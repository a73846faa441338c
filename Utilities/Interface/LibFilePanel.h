// The programs' folder and file chooser: a platform file panel with its own type filter, an
// optional "Format" menu whose marked item goes with the choice, and a state record that a
// program can keep to open the panel again where it was.
#ifndef LIB_FILE_PANEL_H
#define LIB_FILE_PANEL_H

#include "LibRefFilter.h"

#include <EntryRef.h>
#include <FilePanel.h>
#include <FindDirectory.h>
#include <Rect.h>

class BLooper;
class BMenu;

// A panel's folder and its window's frame.
struct lib_panel_state {
	entry_ref directory;
	BRect frame;
};

class LibFilePanel : public BFilePanel {
public:
	// A panel of that mode sending a message with what to target, listing nodeFlavors
	// (B_FILE_NODE, B_DIRECTORY_NODE, ...) through the panel's own filter, which admits
	// nothing until types are added. The panel is not modal and stays open after a choice.
	LibFilePanel(file_panel_mode mode, BLooper* target, uint32 what, uint32 nodeFlavors,
		bool allowMultipleSelection);
	LibFilePanel(file_panel_mode mode, BMessenger* target, uint32 what, uint32 nodeFlavors,
		bool allowMultipleSelection);
	// Hides the panel; its window goes with it.
	virtual ~LibFilePanel();

	LibRefFilter* Filter() { return &fFilter; }

	using BFilePanel::SetPanelDirectory;
	// Shows the folder that holds path (a folder shows its parent, so that it is listed and
	// can be chosen).
	void SetPanelDirectory(const char* path);
	// Shows that standard folder.
	void SetPanelDirectory(const directory_which& which);
	// Moves one folder up; the root stays.
	void SetToParentDirectory();

	void GetState(lib_panel_state& state);
	// Shows the folder and gives the window the size, then the position.
	void SetState(const lib_panel_state& state);

	// Adds an item to the radio-mode "Format" menu of the panel's menu bar, made on first use;
	// marks it when asked.
	void AddFormatMenuItem(const char* label, bool marked);

	BMenu* FormatMenu() const { return fFormatMenu; }

	// Adds "marked", the label of the marked "Format" item when there is one, then sends.
	virtual void SendMessage(const BMessenger* target, BMessage* message);

private:
	void _Init();

	LibRefFilter fFilter;
	BMenu* fFormatMenu;
};

#endif // LIB_FILE_PANEL_H

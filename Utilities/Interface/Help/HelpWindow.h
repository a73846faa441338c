// The help window: an outline of help topics on the left and the selected topic's page on
// the right, read from the program's help file. The window is made on the first help
// request and lives until the program ends; closing it only hides it.
#ifndef HELP_WINDOW_H
#define HELP_WINDOW_H

#include "HelpParser.h"
#include "LibWindow.h"

#include <Path.h>

class BListItem;
class BOutlineListView;
class HelpManager;
class LibTextView;
class xmlTag;

// The outline's selection message inside the help window.
const uint32 kHelpTopicSelected = 1000;
// The most topics the outline takes; the rest of a help file's topics are left out.
const int32 kMaxHelpTopics = 1000;

class HelpWindow : public LibWindow {
public:
	// Builds the window (hidden) and reads the topics of helpName's help file.
	HelpWindow(const char* helpName, HelpManager* manager);
	// Removes the help file the window extracted, with its folder.
	virtual ~HelpWindow();

	// The manager forgets the window as it goes, and the extracted help file goes.
	virtual void Quit();
	virtual void MessageReceived(BMessage* message);
	// Hides the window and keeps it. When the application is quitting, or no other window
	// of the program is left on the screen, the window goes (the program must not go on
	// with nothing shown).
	virtual bool QuitRequested();

	// Finds "<helpName>.help": in the working directory (a regular file of the user's own
	// or the system's), else in the folder this window extracts into, else extracted
	// there from the program's resources; then fills the outline from its CONTENTS.
	void ReadInContents(const char* helpName);
	// A row for the topic, at the end of the outline or, collapsed, under parent. NULL
	// when the outline is full (kMaxHelpTopics).
	BListItem* AddContent(xmlTag* topic, BListItem* parent);
	// Rows for the sub-topics of topic, in file order at any depth, under row.
	void AddContents(xmlTag& topic, BListItem* row);
	// Selects (making it visible) the first topic that lists viewPath, which shows its page.
	void HelpForInterface(const char* viewPath);
	// Shows the page named page; an empty pane when the file has no such page.
	void HelpForContent(const char* page);
	void HelpForSelectedContent();
	// Writes the help file the program carries to path. False when it has none to give.
	bool ExtractFromApp(const char* path);

	// The help file being read; unset when none was found.
	const BPath& HelpPath() const { return fHelpPath; }

	BOutlineListView* ContentList() const { return fContentList; }

	LibTextView* HelpPane() const { return fHelpPane; }

private:
	// Leaves the manager and removes what the window extracted.
	void _Leave();
	bool _UsableHelpFile(const char* path, bool ownedByAnyone) const;

	HelpManager* fManager;
	BPath fHelpPath;
	BOutlineListView* fContentList;
	LibTextView* fHelpPane;
	HelpParser fParser;
	// The folder made for this window's extracted help file; unset until one is needed.
	BPath fPrivateFolder;
	bool fTopicsCut;
};

#endif // HELP_WINDOW_H

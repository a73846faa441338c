// DeinstallFilesWin: the "Deinstall Items" window. After a search it lists the full path of
// every entry found, all selected; the user picks the items to remove and the folder they go
// to (the boot volume's Trash unless another is chosen) and presses Deinstall. The window is
// created once, hidden, and reused for every later search; the user cannot close it. When
// the items are gone and the installation saved what they replaced, it offers to put those
// entries back.
#ifndef DEINSTALL_FILES_WIN_H
#define DEINSTALL_FILES_WIN_H

#include <LibString.h>
#include <LibWindow.h>

class BButton;
class BListView;
class BScrollView;
class LibFilePanel;
class LibPictureButton;
class LibStringList;
class LibStringView;

// The window's what-codes.
enum {
	kSelectAllMessage = 1000,
	kSelectNoneMessage = 1001,
	kListSelectionMessage = 1002,
	kChooseFolderMessage = 1100,
	kFolderChosenMessage = 1101,
	kDeinstallMessage = 2000
};

// When the installation folder's "Saved Files" holds entries the installation replaced,
// asks whether to put them back ("Keep Saved", "Put Back") and, if so, puts back those whose
// place is free and tells how many went back and how many stay saved. Nothing is asked when
// nothing is saved.
void OfferToPutBackSavedEntries(const char* installationFolder);

class DeinstallFilesWin : public LibWindow {
public:
	// Hidden; the destination is the boot volume's Trash.
	DeinstallFilesWin();
	virtual ~DeinstallFilesWin();

	virtual void MessageReceived(BMessage* message);

	// One row per path, in list order, all selected.
	void SetPaths(LibStringList& paths);
	// The tags of the installation's sections in "UserBootscript", "UserSetupEnvironment"
	// and ".profile"; an empty tag leaves that script alone.
	void SetUserScripts(
		const LibString& bootTag, const LibString& environmentTag, const LibString& profileTag);

	// Moves the selected items into the destination, files first and then the folders they
	// emptied, and removes the script sections. Rows of items that left go; the others stay.
	// When some moves failed, one warning says so and the window stays up with those rows
	// selected; otherwise the window hides and OfferPutBack follows.
	void DeinstallFiles();

	// OfferToPutBackSavedEntries for the installation folder.
	void OfferPutBack();

	// The installation folder whose saved entries OfferPutBack offers; by default the folder
	// of the running program, where the installer wrote the deinstaller.
	void SetInstallationFolder(const char* folder) { fInstallationFolder = folder; }

	const LibString& InstallationFolder() const { return fInstallationFolder; }

	// Opens the folder chooser, made on first use, showing the destination in its folder.
	void SelectMoveDestination();
	// Takes the chooser's folder as the destination and lets the chooser go.
	void MoveDestinationChoosen(BMessage* message);
	// Shows path, shortened at its beginning when it does not fit.
	void SetMovePath(const char* path);

	const LibString& Destination() const { return fDestination; }

	const LibString& BootTag() const { return fBootTag; }

	const LibString& EnvironmentTag() const { return fEnvironmentTag; }

	const LibString& ProfileTag() const { return fProfileTag; }

	BListView* List() const { return fList; }

	LibFilePanel* Panel() const { return fPanel; }

private:
	void _UpdateDeinstallButton();

	LibFilePanel* fPanel;
	// A path rather than an entry_ref: the Trash folder may not exist before the first
	// removal makes it.
	LibString fDestination;
	LibString fBootTag;
	LibString fEnvironmentTag;
	LibString fProfileTag;
	LibString fInstallationFolder;
	BListView* fList;
	BScrollView* fScroll;
	LibPictureButton* fFolderButton;
	LibStringView* fDestinationText;
	BButton* fAllButton;
	BButton* fNoneButton;
	BButton* fDeinstallButton;
};

#endif // DEINSTALL_FILES_WIN_H

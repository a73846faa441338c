// DeinstallerWin: the deinstaller's search window, titled "Tarnwick": the product's about
// panel, the volume to search, the search's progress and the Search button (Stop while a
// search runs). A search that finds the installation's items hands them to the items window
// (DeinstallFilesWin), which is made on the first such search and reused after.
#ifndef DEINSTALLER_WIN_H
#define DEINSTALLER_WIN_H

#include <LibString.h>
#include <LibWindow.h>
#include <Message.h>

class BButton;
class BStatusBar;
class DeinstallFilesWin;
class DeinstallSearch;
class InstallImage;
class LibVolumeMenu;

// The window's what-codes.
enum { kSearchButtonMessage = 1004, kVolumeChosenMessage = 2000 };

class DeinstallerWin : public LibWindow {
public:
	// Hidden, with the volume menu filled and mounts watched.
	DeinstallerWin();
	virtual ~DeinstallerWin();

	virtual void MessageReceived(BMessage* message);
	// Closing the search window ends the program.
	virtual bool QuitRequested();
	// Fills the about panel from the configuration, then shows the window.
	virtual void Show();

	// The deinstaller's configuration; a missing field counts as empty text.
	void SetConfiguration(const BMessage& configuration);

	const BMessage& Configuration() const { return fConfiguration; }

	void EnableControls(const bool& enable);

	// Starts a search of the chosen volume, or stops the one that runs.
	void ButtonPressed();
	// A search's progress.
	void SearchingNewFile(BMessage* message);
	// A search's end: the items window takes what it found.
	void ThreadChange(BMessage* message);

	DeinstallFilesWin* ItemsWindow() const { return fItemsWindow; }

	bool IsSearching() const { return fSearch != NULL; }

	LibVolumeMenu* VolumeMenu() const { return fVolumeMenu; }

	BStatusBar* StatusBar() const { return fStatusBar; }

	BButton* SearchButton() const { return fSearchButton; }

	InstallImage* Image() const { return fImage; }

	// The installation folder whose saved entries are offered back, to the items window and
	// after a search that found nothing; by default the folder of the running program.
	void SetInstallationFolder(const char* folder) { fInstallationFolder = folder; }

private:
	void _EndSearch();

	DeinstallFilesWin* fItemsWindow;
	DeinstallSearch* fSearch;
	InstallImage* fImage;
	LibVolumeMenu* fVolumeMenu;
	BButton* fSearchButton;
	BStatusBar* fStatusBar;
	BMessage fConfiguration;
	LibString fInstallationFolder;
	bool fWatchingMounts;
};

#endif // DEINSTALLER_WIN_H

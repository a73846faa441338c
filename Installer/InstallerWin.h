// InstallerWin: the installer's one window. It leads the user through three states: the
// licence (main button "Agree"), the installation options (install type or single items,
// volume and destination folder; "Install") and the installation itself ("Stop"). It owns
// the install engine, which is also the package's configuration, writes the user's choices
// into it and starts it on the "install" thread; status texts and the completion message
// come back as messages.
#ifndef INSTALLER_WIN_H
#define INSTALLER_WIN_H

#include "GroupContextList.h"
#include "InstallConfig.h"
#include "LibWindow.h"

#include <Messenger.h>

#include <memory>

class BBox;
class BButton;
class BListView;
class BScrollView;
class BStringView;
class BTextView;
class InstallImage;
class LibFilePanel;
class LibListView;
class LibPictureButton;
class LibStringView;
class LibVolumeMenu;

// The window's what-codes.
enum {
	kMainButtonPressed = 1000,
	kInstallTypeSelected = 2000,
	kInstallTypeHovered = 2001,
	kFolderButtonPressed = 2003,
	kVolumeSelected = 2004,
	kFolderSelected = 2005,
	kItemSelected = 2006,
	// Asks the application to play the sound the message carries.
	kPlaySound = 2200
};

class InstallerWin : public LibWindow {
public:
	enum State : int32 { STATE_LICENSE = 1, STATE_OPTIONS = 2, STATE_INSTALLING = 3 };

	// The window for the package at packagePath; NULL: the running program, which is its
	// own package. Built hidden, in the licence state, on the boot volume's home folder.
	explicit InstallerWin(const char* packagePath = NULL);
	virtual ~InstallerWin();

	virtual void MessageReceived(BMessage* message);
	// Asks the application to quit and agrees to close.
	virtual bool QuitRequested();

	// Reads the package into the window and the engine; false (after the two standard-error
	// lines of the configuration reader) when the configuration cannot be read. The caller
	// reports the failure.
	bool LoadResources();

	void ButtonPressed();
	void InstallTypeSelected();
	void CustomItemSelected();
	void ShowGroupDescription(const int32& row);
	void GetVolumes();
	void GetHomeDirectory();
	void SetDestinationPath();
	bool CheckDestinationFolder(bool ask);
	void SelectDestination(BMessage* message);
	void SelectVolume();
	void InitFolderPanel();
	void Install();
	void ThreadChange(BMessage* message);
	void AddGroup(const char* name);
	// Kills a running installation and tells the user; called by the application.
	void QuitRunning();

	// Where tip requests and the quit request go: the application unless set otherwise.
	void SetApplicationMessenger(const BMessenger& messenger);

	int32 State() const { return fState; }

	InstallConfig& Engine() { return fConfig; }

	LibFilePanel* FolderPanel() const { return fFolderPanel.get(); }

private:
	void _BuildLayout();
	void _ShowOptions();
	void _PostToApplication(BMessage* message);

	GroupContextList fGroups;
	InstallConfig fConfig;
	int32 fState;
	// Whether a run was started and has not reported its end.
	bool fRunning;
	BMessenger fApplication;
	std::unique_ptr<LibFilePanel> fFolderPanel;

	InstallImage* fImage;
	BBox* fLicenseBox;
	BScrollView* fLicenseScroll;
	BTextView* fLicenseText;
	BBox* fInstallBox;
	BStringView* fTypeLabel;
	LibListView* fTypeList;
	BScrollView* fTypeScroll;
	BStringView* fFilesLabel;
	BListView* fItemList;
	BScrollView* fItemScroll;
	BStringView* fInstallSize;
	LibVolumeMenu* fVolumeMenu;
	LibPictureButton* fFolderButton;
	BStringView* fVolumeSize;
	LibStringView* fDestination;
	BBox* fInstructionBox;
	BStringView* fInstruction;
	BButton* fButton;
};

#endif // INSTALLER_WIN_H

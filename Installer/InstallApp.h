// InstallApp: the installer application. It records its version in its own executable,
// registers itself for the package document type, builds the installer window hidden, and
// when it is ready loads the package into the window, plays the package's sound and shows
// the window. Quitting stops a running installation first.
#ifndef INSTALL_APP_H
#define INSTALL_APP_H

#include "LibInterfaceApp.h"

#include <memory>

class InstallerWin;
class LibSound;

extern const char* const kInstallerAppSignature;

class InstallApp : public LibInterfaceApp {
public:
	// The package at packagePath; NULL: the running program, which is its own package.
	explicit InstallApp(const char* packagePath = NULL);
	virtual ~InstallApp();

	// Centres the window, loads the package and shows the window; a package that cannot
	// be read ends the installer after the error alert.
	virtual void ReadyToRun();
	virtual void MessageReceived(BMessage* message);
	// Stops a running installation (telling the user), then agrees to quit.
	virtual bool QuitRequested();

	// Plays the sound the message carries; the application does not wait for it.
	void PlaySound(BMessage* message);

	InstallerWin* Window() const { return fWindow; }

	LibSound* Sound() const { return fSound.get(); }

private:
	InstallerWin* fWindow;
	std::unique_ptr<LibSound> fSound;
};

#endif // INSTALL_APP_H

#include "InstallApp.h"

#include "InstallerWin.h"
#include "LibAlert.h"
#include "LibAppResource.h"
#include "LibSound.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <MimeType.h>

const char* const kInstallerAppSignature = Package::kInstallerSignature;

namespace {

const char* const kSoundName = "AudioFile";

} // namespace

InstallApp::InstallApp(const char* packagePath) :
	LibInterfaceApp(kInstallerAppSignature),
	fWindow(NULL)
{
	// A program on a read-only volume still starts: the write fails quietly. A package
	// given by path is the installer file in place of the running program.
	LibSetAppVersion(1, 2, 0, "Installer", "Install BeOS applications", 5, 0,
		packagePath != NULL && packagePath[0] != '\0' ? packagePath : NULL);
	BMimeType(Package::kPackageDocumentType).SetPreferredApp(kInstallerAppSignature);

	fWindow = new InstallerWin(packagePath);
	// The window's loop runs from now on, with the window hidden.
	fWindow->Run();
}

InstallApp::~InstallApp() { }

void
InstallApp::ReadyToRun()
{
	fWindow->SetPosition(LibWindow::CENTER);
	if (!fWindow->LoadResources()) {
		LibError("%s", kConfigurationErrorText);
		PostMessage(B_QUIT_REQUESTED);
		return;
	}
	fWindow->Show();
}

void
InstallApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kPlaySound:
			PlaySound(message);
			break;
		default:
			LibInterfaceApp::MessageReceived(message);
			break;
	}
}

void
InstallApp::PlaySound(BMessage* message)
{
	fSound = std::make_unique<LibSound>(*message, kSoundName);
	fSound->Play();
}

bool
InstallApp::QuitRequested()
{
	if (fWindow != NULL)
		fWindow->QuitRunning();
	return LibInterfaceApp::QuitRequested();
}

#include "DeinstallApp.h"

#include "DeinstallUnattended.h"
#include "DeinstallerWin.h"

#include <LibAlert.h>
#include <LibAppResource.h>
#include <LibTipManager.h>
#include <PackageConfiguration.h>

#include <stdio.h>
#include <string.h>

const char* const kDeinstallerSignature = "application/x-vnd.Quillfield.Tarnwick";

DeinstallApp::DeinstallApp(const char* executable) :
	BApplication(kDeinstallerSignature),
	fExecutable(executable != NULL ? executable : ""),
	fUi(false),
	fConfigured(false),
	fWindow(NULL),
	fTips(new LibTipManager)
{
	LibSetAppVersion(1, 1, 0, "Deinstaller", "Deinstall BeOS applications", 5, 0, executable);
	fWindow = new DeinstallerWin();
	// The window's message loop runs from now on; the window stays hidden until
	// ReadyToRun() shows it.
	fWindow->Run();
}

DeinstallApp::~DeinstallApp() { }

void
DeinstallApp::ArgvReceived(int32 argc, char** argv)
{
	if (argc == 2 && strcmp(argv[1], "-ui") == 0) {
		fprintf(stderr, "DEBUG ui\n");
		fUi = true;
	}
}

void
DeinstallApp::ReadyToRun()
{
	BMessage configuration;
	{
		LibAppResource resources = fExecutable.Length() > 0
			? LibAppResource(fExecutable, B_READ_ONLY)
			: LibAppResource(B_READ_ONLY);
		fConfigured = ReadPackageConfiguration(resources, configuration) == B_OK;
	}
	if (fConfigured || fUi) {
		if (fConfigured)
			fWindow->SetConfiguration(configuration);
		fWindow->SetPosition(LibWindow::CENTER);
		fWindow->Show();
		return;
	}
	LibError("%s", kNotConfiguredText);
	PostMessage(B_QUIT_REQUESTED);
}

bool
DeinstallApp::QuitRequested()
{
	return true;
}

void
DeinstallApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kLibTipRequest:
		case kLibTipToggle:
			fTips->MessageReceived(message);
			break;
		default:
			BApplication::MessageReceived(message);
			break;
	}
}

void
DeinstallApp::Pulse()
{
	fTips->PostPending();
}

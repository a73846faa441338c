#include "LibInterfaceApp.h"

#include "LibWindow.h"

#include <Message.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

LibInterfaceApp::LibInterfaceApp(const char* signature) :
	BApplication(signature)
{
	fHelpManager.SetSignature(signature);
}

LibInterfaceApp::~LibInterfaceApp() { }

void
LibInterfaceApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kLibTipRequest:
			fTipManager.MessageReceived(message);
			break;
		case kLibHelpRequest:
			fHelpManager.MessageReceived(message);
			break;
		case kLibTipToggle:
			fTipManager.ToggleTips();
			break;
		default:
			BApplication::MessageReceived(message);
			break;
	}
}

void
LibInterfaceApp::Pulse()
{
	fTipManager.PostPending();
}

void
LibInterfaceApp::ArgvReceived(int32 argc, char** argv)
{
	if (argc < 2 || argv == NULL || argv[1] == NULL || strcmp(argv[1], "-help") != 0)
		return;
	if (argc != 3) {
		fprintf(stderr, "Help file requred\n");
		return;
	}
	// The command stores the file and nothing else: the program ends here, before any
	// window shows. Its status tells a build script whether the help went in.
	const bool added = fHelpManager.AddHelpFile(argv[2]);
	fflush(stdout);
	fflush(stderr);
	exit(added ? 0 : 1);
}

bool
LibInterfaceApp::HasDisplay()
{
	const char* names[] = { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" };
	for (const char* name : names) {
		const char* value = getenv(name);
		if (value != NULL && value[0] != '\0')
			return true;
	}
	return false;
}

bool
LibInterfaceApp::QuitRequested()
{
	fHelpManager.SetApplicationQuitting(true);
	const bool quit = BApplication::QuitRequested();
	if (!quit)
		fHelpManager.SetApplicationQuitting(false);
	return quit;
}

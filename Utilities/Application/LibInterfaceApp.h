// The application base of the programs with an interface: it wires the help manager and the
// tip manager into the application's messages. Help requests ('help') go to the help
// manager, tip requests ('stip') and the tips switch ('tipf') to the tip manager, and every
// pulse lets a pending tip show. "-help FILE" on the command line stores FILE as the
// program's help and ends the program.
#ifndef LIB_INTERFACE_APP_H
#define LIB_INTERFACE_APP_H

#include "HelpManager.h"
#include "LibTipManager.h"

#include <Application.h>

class LibInterfaceApp : public BApplication {
public:
	LibInterfaceApp(const char* signature);
	// Ends the tip manager, then the help manager (with their windows).
	virtual ~LibInterfaceApp();

	virtual void MessageReceived(BMessage* message);
	virtual void Pulse();
	// "-help FILE" (exactly): stores FILE as the program's help and ends the program with
	// status 0 when it was stored, 1 when not (standard error says why). "-help" with no
	// file or more than one writes "Help file requred" and the program goes on. Other
	// command lines are left to subclasses.
	virtual void ArgvReceived(int32 argc, char** argv);
	// Lets the help window go with the others. Subclasses that override it call it.
	virtual bool QuitRequested();

	// True when a window can be shown: a display (X11 or Wayland) or a Qt platform is named
	// in the environment. Programs without one say how to run without a window.
	static bool HasDisplay();

	HelpManager& Help() { return fHelpManager; }

	LibTipManager& Tips() { return fTipManager; }

private:
	HelpManager fHelpManager;
	LibTipManager fTipManager;
};

#endif // LIB_INTERFACE_APP_H

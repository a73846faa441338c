// The help of a program: the application hands its help requests ('help', sent by a
// LibWindow for Shift+F1 with the names of the view under the pointer and of its ancestors)
// to the help manager, which opens the one help window on the topic of that view. It also
// stores a help file into the program's own resources ("-help FILE").
#ifndef HELP_MANAGER_H
#define HELP_MANAGER_H

#include "LibString.h"

#include <Messenger.h>

class BMessage;
class HelpWindow;

class HelpManager {
public:
	HelpManager();
	// Closes the help window.
	virtual ~HelpManager();

	HelpManager(const HelpManager&) = delete;
	HelpManager& operator=(const HelpManager&) = delete;

	// The help file's name comes from the signature: its part after the last "/" (the
	// whole signature when it has none), then ".help".
	void SetSignature(const char* signature);

	const LibString& HelpName() const { return fHelpName; }

	// A help request: makes the help window on the first one (at the right edge of the
	// screen), selects the topic of the request's view path ("window/view/parent/...")
	// and shows the window when it is hidden. Other messages are ignored.
	virtual void MessageReceived(BMessage* request);
	// Stores the file at path into the running program's resources, as its help, and says
	// on standard error what happened. True when it was stored.
	bool AddHelpFile(const char* path);
	// Quits the help window, if there is one.
	void CloseWindow();

	// The help window, once a request made it (and while it exists); NULL before.
	HelpWindow* Window() const;

	// While the application asks its windows to quit, the help window agrees instead of
	// hiding itself.
	void SetApplicationQuitting(bool quitting) { fApplicationQuitting = quitting; }

	bool ApplicationQuitting() const { return fApplicationQuitting; }

private:
	friend class HelpWindow;

	// The window tells when it quits or goes, so the manager never calls it afterwards.
	void _WindowGone(HelpWindow* window);

	LibString fHelpName;
	HelpWindow* fWindow;
	// Tells whether the window still exists: the application may have quit it.
	BMessenger fWindowMessenger;
	bool fApplicationQuitting;
};

#endif // HELP_MANAGER_H

#include "HelpManager.h"

#include "HelpArchive.h"
#include "HelpWindow.h"
#include "LibAppResource.h"
#include "LibWindow.h"

#include <Message.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

HelpManager::HelpManager() :
	fWindow(NULL),
	fApplicationQuitting(false)
{
}

HelpManager::~HelpManager()
{
	CloseWindow();
}

void
HelpManager::SetSignature(const char* signature)
{
	if (signature == NULL) {
		fHelpName = "";
		return;
	}
	const char* slash = strrchr(signature, '/');
	fHelpName = slash != NULL ? slash + 1 : signature;
}

HelpWindow*
HelpManager::Window() const
{
	return fWindow != NULL && fWindowMessenger.IsValid() ? fWindow : NULL;
}

void
HelpManager::MessageReceived(BMessage* request)
{
	if (request == NULL || request->what != kLibHelpRequest)
		return;

	if (Window() == NULL) {
		fWindow = new HelpWindow(fHelpName, this);
		fWindow->Run();
		fWindowMessenger = BMessenger(fWindow);
		fWindow->SetPosition(LibWindow::MIDDLE_RIGHT);
	}

	LibString viewPath;
	const char* name = NULL;
	if (request->FindString("window", &name) == B_OK)
		viewPath = name;
	for (int32 i = 0; request->FindString("view", i, &name) == B_OK; i++) {
		viewPath += "/";
		viewPath += name;
	}
	fWindow->HelpForInterface(viewPath);

	if (fWindow->Lock()) {
		if (fWindow->IsHidden())
			fWindow->Pop();
		fWindow->Unlock();
	}
}

bool
HelpManager::AddHelpFile(const char* path)
{
	struct stat info;
	if (path == NULL || stat(path, &info) != 0) {
		fprintf(stderr, "%s does not exist\n", path != NULL ? path : "");
		return false;
	}
	LibAppResource resources(B_READ_WRITE);
	const bool added = HelpArchive::Store(path, resources);
	if (added)
		fprintf(stderr, "%s added to application\n", path);
	else
		fprintf(stderr, "%s failed to add to application\n", path);
	return added;
}

void
HelpManager::CloseWindow()
{
	// Quitting the window tells the manager, which then forgets it.
	if (fWindow != NULL && fWindowMessenger.LockTarget())
		fWindow->Quit();
	_WindowGone(fWindow);
}

void
HelpManager::_WindowGone(HelpWindow* window)
{
	if (window != fWindow)
		return;
	fWindow = NULL;
	fWindowMessenger = BMessenger();
}

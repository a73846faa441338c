// DeinstallApp: the deinstaller program. At start it reads the configuration that the
// installation left in its resources and shows the search window; without a configuration
// it refuses, unless started with the single argument "-ui", which opens the window anyway.
#ifndef DEINSTALL_APP_H
#define DEINSTALL_APP_H

#include <Application.h>
#include <LibString.h>

#include <memory>

class DeinstallerWin;
class LibTipManager;

extern const char* const kDeinstallerSignature;

class DeinstallApp : public BApplication {
public:
	// executable is the file whose resources hold the configuration and whose version record
	// is written; NULL means the running program.
	explicit DeinstallApp(const char* executable = NULL);
	virtual ~DeinstallApp();

	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void ReadyToRun();
	virtual bool QuitRequested();
	// Tip requests go to the tip manager, which the pulses drive.
	virtual void MessageReceived(BMessage* message);
	virtual void Pulse();

	bool UiFlag() const { return fUi; }

	// True once ReadyToRun() found a configuration.
	bool IsConfigured() const { return fConfigured; }

	DeinstallerWin* Window() const { return fWindow; }

private:
	LibString fExecutable;
	bool fUi;
	bool fConfigured;
	DeinstallerWin* fWindow;
	std::unique_ptr<LibTipManager> fTips;
};

#endif // DEINSTALL_APP_H

// The installer program: the window, or with --unattended (or --help, --version) the
// command-line installer, which needs no display.
#include "InstallApp.h"
#include "UnattendedInstall.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int
main(int argc, char** argv)
{
	std::vector<std::string> arguments(argv + 1, argv + argc);
	if (IsUnattendedCommandLine(arguments))
		return RunUnattended(arguments, std::string(), stdout, stderr);

	// "-help FILE" stores a help file and needs no window either.
	bool helpFile = argc > 1 && strcmp(argv[1], "-help") == 0;
	if (helpFile && !LibInterfaceApp::HasDisplay())
		setenv("QT_QPA_PLATFORM", "offscreen", 1);
	if (!LibInterfaceApp::HasDisplay()) {
		fprintf(stderr,
			"Installer: there is no display to open the installer's window on.\n"
			"To install without a window, run it unattended, for example:\n"
			"  %s --unattended --list\n"
			"  %s --unattended --accept-licence [--type NAME] [--folder DIR]\n"
			"'%s --help' tells more.\n",
			argv[0], argv[0], argv[0]);
		return 2;
	}

	InstallApp* application = new InstallApp();
	application->Run();
	delete application;
	return 0;
}

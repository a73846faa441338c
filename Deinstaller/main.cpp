// Tarnwick, the deinstaller: the search window, or with --unattended the same search and
// removal without a window.
#include "DeinstallApp.h"
#include "DeinstallUnattended.h"

#include <LibAppResource.h>
#include <LibInterfaceApp.h>
#include <PackageConfiguration.h>

#include <Message.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

int
run_unattended(int argc, char** argv)
{
	return RunUnattended(
		argc - 1, argv + 1,
		[](BMessage& configuration) {
			LibAppResource resources(B_READ_ONLY);
			return ReadPackageConfiguration(resources, configuration) == B_OK;
		},
		stdout, stderr);
}

} // namespace

int
main(int argc, char** argv)
{
	if (WantsUnattendedMode(argc - 1, argv + 1))
		return run_unattended(argc, argv);
	if (!LibInterfaceApp::HasDisplay()) {
		fprintf(stderr,
			"Tarnwick: no display to open its window on. Without a display run\n"
			"  Tarnwick --unattended [--volume PATH] [--to DIR] [--dry-run] [--restore-saved]\n"
			"(see Tarnwick --help).\n");
		return kUnattendedUsage;
	}
	DeinstallApp* application = new DeinstallApp();
	application->Run();
	delete application;
	return 0;
}

// A stand-in for the deinstaller program while it is not part of the build: the installer
// carries it and writes it next to every installation under the deinstaller's name.
#include <cstdio>

int
main()
{
	fprintf(stderr,
		"This is a stand-in for the deinstaller Tarnwick, which this build does not include "
		"yet. Nothing was removed.\n");
	return 1;
}

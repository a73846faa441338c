// PackageBuilder: the package author's tool that writes installers (see --help and
// docs/manifest.md).
#include "PackageBuilderCommand.h"

int
main(int argc, char** argv)
{
	std::vector<std::string> arguments(argv + 1, argv + argc);
	return RunPackageBuilder(arguments, stdout, stderr);
}

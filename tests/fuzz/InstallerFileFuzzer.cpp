// Feeds arbitrary bytes to PackageBuilder's list, show, show --manifest and check as a
// whole installer file: resources, configuration, payload archives and all. Whatever the
// file, the commands end, a passing check reports no error, and the sanitizers see nothing.
#include "ExamineInstaller.h"

#include "LibPrivateFolder.h"

#include <Path.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string gWork;

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	BPath folder;
	if (!LibMakePrivateFolder(folder, "InstallerFileFuzzer"))
		abort();
	gWork = folder.Path();
	atexit([] { LibUnlink(gWork.c_str()); });
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string installer = gWork + "/installer";
	int fd = open(installer.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
	if (fd < 0 || write(fd, data, size) != (ssize_t)size || close(fd) != 0)
		abort();
	fuzz::examine_installer(installer, gWork);
	return 0;
}

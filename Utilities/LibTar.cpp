// LibTar: a tar archive written by the system's tar tool, started directly (no shell), so
// the paths reach it unchanged, and ended with the worker that waits for it
// (LibRunCommand).
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <FindDirectory.h>
#include <Path.h>

#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lib_file;

bool
LibTar(const char* item, const char* archive)
{
	if (item == NULL || archive == NULL || item[0] == '\0' || archive[0] == '\0')
		return false;
	BPath bin;
	if (find_directory(B_BEOS_BIN_DIRECTORY, &bin) != B_OK)
		return false;
	std::string tool = join_path(bin.Path(), "tar");
	if (access(tool.c_str(), X_OK) != 0)
		return false;

	std::string archivePath;
	if (target_path(archive, &archivePath) != B_OK || BPrivate::is_dot_leaf(archive))
		return false;
	std::string folder = path_folder(archivePath);
	// BeOS behaviour: tar ran in the archive's folder, and the process stays there.
	if (chdir(folder.c_str()) != 0)
		fprintf(stderr, "cannot change to %s\n", folder.c_str());

	// "--force-local" keeps a colon in the name from meaning a remote host; "--" keeps an
	// item whose name begins with "-" from being read as an option.
	const std::string leaf = path_leaf(archivePath);
	const char* arguments[] = { tool.c_str(), "--force-local", "-cf", leaf.c_str(), "--", item,
		NULL };
	const int status = LibRunCommand(arguments, folder.c_str());
	return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

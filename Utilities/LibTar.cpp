// LibTar: a tar archive written by the system's tar tool, started directly (no shell), so
// the paths reach it unchanged.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <FindDirectory.h>
#include <Path.h>

#include <errno.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

// Runs the program at path with arguments in folder and waits for it. Its exit status, or
// -1 when it could not be started or did not exit normally.
int
run_program(
	const std::string& path, const std::vector<std::string>& arguments, const std::string& folder)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	pid_t child;
	int error = posix_spawn(&child, path.c_str(), &actions, NULL, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return -1;

	int status;
	while (waitpid(child, &status, 0) < 0) {
		if (errno != EINTR)
			return -1;
	}
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

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
	std::vector<std::string> arguments = { "tar", "--force-local", "-cf", path_leaf(archivePath),
		"--", item };
	return run_program(tool, arguments, folder) == 0;
}

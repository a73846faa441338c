// LibRunCommand: runs a program and waits for it, the way the programs once ran their
// commands through the shell, but without one: the arguments reach the program unchanged.
// The program leads a process group of its own, so that a worker killed while it waits can
// end everything the command started (a shell's children would otherwise be handed to init
// and go on running).
#include "LibFile.h"

#include <ThreadPrivate.h>

#include <signal.h>
#include <spawn.h>

#include <vector>

extern char** environ;

int
LibRunCommand(const char* const* arguments, const char* folder)
{
	if (arguments == NULL || arguments[0] == NULL || arguments[0][0] == '\0')
		return -1;
	std::vector<char*> argv;
	for (const char* const* argument = arguments; *argument != NULL; argument++)
		argv.push_back(const_cast<char*>(*argument));
	argv.push_back(NULL);

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	if (folder != NULL)
		posix_spawn_file_actions_addchdir_np(&actions, folder);
	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	// The command starts with no signal blocked and every signal at its default, whatever
	// this thread has set up, in a process group of its own.
	sigset_t signals;
	sigemptyset(&signals);
	posix_spawnattr_setsigmask(&attributes, &signals);
	sigfillset(&signals);
	sigdelset(&signals, SIGKILL);
	sigdelset(&signals, SIGSTOP);
	posix_spawnattr_setsigdefault(&attributes, &signals);
	posix_spawnattr_setpgroup(&attributes, 0);
	posix_spawnattr_setflags(
		&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
	pid_t child = -1;
	const int error = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
	posix_spawnattr_destroy(&attributes);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return -1;

	int status = -1;
	if (BPrivate::wait_for_child(child, &status) != B_OK)
		return -1;
	return status;
}

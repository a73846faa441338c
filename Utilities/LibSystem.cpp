// The functions that act on or describe the whole system: shutdown, the system's version,
// the login name and the threads of a process.
#include "LibSysInfo.h"
#include "LibSysInfoPrivate.h"

#include <FindDirectory.h>
#include <Path.h>

#include <atomic>
#include <errno.h>
#include <fstream>
#include <limits.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace lib_system {

namespace {

std::atomic<command_runner> sShutdownRunner(run_in_background);

// An os-release value: quotes removed, backslash escapes resolved.
std::string
unquote(const std::string& value)
{
	if (value.size() < 2 || (value[0] != '"' && value[0] != '\'') || value.back() != value[0])
		return value;
	std::string result;
	for (size_t i = 1; i + 1 < value.size(); i++) {
		if (value[0] == '"' && value[i] == '\\' && i + 2 < value.size())
			i++;
		result += value[i];
	}
	return result;
}

} // namespace

std::vector<std::string>
shutdown_command(bool restart)
{
	std::vector<std::string> folders;
	BPath binaries;
	if (find_directory(B_BEOS_BIN_DIRECTORY, &binaries) == B_OK)
		folders.push_back(binaries.Path());
	folders.push_back("/usr/sbin");
	folders.push_back("/sbin");

	for (const std::string& folder : folders) {
		std::string program = folder + "/shutdown";
		if (access(program.c_str(), X_OK) != 0)
			continue;
		// Without a time the system's command waits a minute; BeOS's acted at once.
		return { program, restart ? "-r" : "-P", "now" };
	}
	return {};
}

void
run_in_background(const std::vector<std::string>& arguments)
{
	if (arguments.empty())
		return;
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);

	// The command's own child is handed to init, so that nothing is left for this
	// program to reap; only async-signal-safe calls after fork().
	pid_t child = fork();
	if (child < 0)
		return;
	if (child == 0) {
		if (setsid() < 0 || fork() != 0)
			_exit(0);
		execve(argv[0], argv.data(), environ);
		_exit(127);
	}
	int status;
	while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
}

command_runner
set_shutdown_runner(command_runner runner)
{
	return sShutdownRunner.exchange(runner != NULL ? runner : run_in_background);
}

bool
read_os_release(const char* path, LibString& out)
{
	std::ifstream file(path);
	if (!file)
		return false;
	std::string prettyName;
	std::string name;
	std::string version;
	std::string line;
	while (std::getline(file, line)) {
		size_t equals = line.find('=');
		if (line.empty() || line[0] == '#' || equals == std::string::npos)
			continue;
		std::string key = line.substr(0, equals);
		std::string value = unquote(line.substr(equals + 1));
		if (key == "PRETTY_NAME")
			prettyName = value;
		else if (key == "NAME")
			name = value;
		else if (key == "VERSION")
			version = value;
	}
	if (!prettyName.empty()) {
		out = prettyName.c_str();
		return true;
	}
	if (name.empty())
		return false;
	if (!version.empty())
		name += " " + version;
	out = name.c_str();
	return true;
}

} // namespace lib_system

void
LibShutdown(bool restart)
{
	std::vector<std::string> command = lib_system::shutdown_command(restart);
	if (command.empty())
		return;
	lib_system::sShutdownRunner.load()(command);
}

void
LibGetOSVersion(LibString& out)
{
	// The system's own description; /usr/lib holds the distribution's default.
	if (!lib_system::read_os_release("/etc/os-release", out))
		lib_system::read_os_release("/usr/lib/os-release", out);
}

LibString
LibGetLogin()
{
	char name[LOGIN_NAME_MAX + 1];
	if (getlogin_r(name, sizeof(name)) == 0 && name[0] != '\0')
		return LibString(name);

	struct passwd entry;
	struct passwd* found = NULL;
	long size = sysconf(_SC_GETPW_R_SIZE_MAX);
	std::vector<char> buffer(size > 0 ? (size_t)size : 16384);
	if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != NULL)
		return LibString(found->pw_name);
	return LibString("");
}

float
lib_team_cpu_time(team_id team)
{
	team_info teamInfo;
	if (get_team_info(team, &teamInfo) != B_OK)
		return 0;
	bigtime_t total = 0;
	int32 cookie = 0;
	thread_info info;
	for (int32 i = 0; i < teamInfo.thread_count; i++) {
		if (get_next_thread_info(team, &cookie, &info) != B_OK)
			break;
		total += info.user_time;
	}
	return (float)((double)total / 1000000.0);
}

int32
lib_suspend_team(team_id team)
{
	// The calling thread is left running: suspending it would stop the walk half-way.
	thread_id self = find_thread(NULL);
	int32 cookie = 0;
	thread_info info;
	while (get_next_thread_info(team, &cookie, &info) == B_OK) {
		if (info.thread == self)
			continue;
		switch (info.state) {
			case B_THREAD_RUNNING:
			case B_THREAD_READY:
			case B_THREAD_ASLEEP:
			case B_THREAD_WAITING:
				suspend_thread(info.thread);
				break;
			default:
				break;
		}
	}
	return 0;
}

int32
lib_resume_team(team_id team)
{
	int32 cookie = 0;
	thread_info info;
	while (get_next_thread_info(team, &cookie, &info) == B_OK) {
		if (info.state == B_THREAD_SUSPENDED)
			resume_thread(info.thread);
	}
	return 0;
}

// The system functions: the shutdown command (never run here: a recording runner stands in),
// the os-release reading, the login name, and the CPU time, suspending and resuming of a
// process's threads.
#include "LibSysInfo.h"
#include "LibSysInfoPrivate.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <ctime>

#include <fstream>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::vector<std::string>> sRecorded;

void
record_command(const std::vector<std::string>& arguments)
{
	sRecorded.push_back(arguments);
}

// The runner is swapped for the test's life.
class RecordingRunner {
public:
	RecordingRunner()
	{
		sRecorded.clear();
		fOld = lib_system::set_shutdown_runner(record_command);
	}

	~RecordingRunner() { lib_system::set_shutdown_runner(fOld); }

private:
	lib_system::command_runner fOld;
};

void
write_text(const std::string& path, const std::string& text)
{
	std::ofstream(path) << text;
}

// The state letter of /proc/<pid>/stat ('S' sleeping, 'T' stopped, ...).
char
process_state(pid_t pid)
{
	std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
	std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
	size_t close = text.rfind(')');
	return close != std::string::npos && close + 2 < text.size() ? text[close + 2] : '?';
}

// The processes the calling thread has started and not reaped, as the kernel lists them.
std::string
children_of_this_thread()
{
	std::ifstream list("/proc/self/task/" + std::to_string(gettid()) + "/children");
	return std::string((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
}

} // namespace

TEST(LibSystem, ShutdownCommandRestartsOrPowersOffAtOnce)
{
	for (bool restart : { true, false }) {
		std::vector<std::string> command = lib_system::shutdown_command(restart);
		if (command.empty())
			continue;
		ASSERT_EQ(3u, command.size());
		EXPECT_EQ(0, access(command[0].c_str(), X_OK));
		EXPECT_EQ("/shutdown", command[0].substr(command[0].rfind('/')));
		EXPECT_EQ(restart ? "-r" : "-P", command[1]);
		EXPECT_EQ("now", command[2]);
	}
}

TEST(LibSystem, ShutdownHandsItsCommandToTheRunner)
{
	RecordingRunner runner;
	LibShutdown(true);
	LibShutdown(false);
	std::vector<std::vector<std::string>> expected;
	for (bool restart : { true, false }) {
		std::vector<std::string> command = lib_system::shutdown_command(restart);
		if (!command.empty())
			expected.push_back(command);
	}
	EXPECT_EQ(expected, sRecorded);
}

TEST(LibSystem, BackgroundCommandRunsWithoutAShellAndReturnsAtOnce)
{
	ScopedTempDir temp;
	// A name a shell would split and expand.
	std::string marker = temp.Child("made by $USER; ok");
	std::string childrenBefore = children_of_this_thread();
	lib_system::run_in_background({ "/usr/bin/touch", marker });
	for (int i = 0; i < 200 && access(marker.c_str(), F_OK) != 0; i++)
		usleep(10000);
	EXPECT_EQ(0, access(marker.c_str(), F_OK));
	// Nothing is left to reap: the command's process is not this one's child.
	EXPECT_EQ(childrenBefore, children_of_this_thread());
}

TEST(LibSystem, OsReleaseGivesThePrettyNameElseNameAndVersion)
{
	ScopedTempDir temp;

	const struct {
		const char* contents;
		const char* expected;
	} rows[] = {
		{ "NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
		  "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
			"Debian GNU/Linux 12 (bookworm)" },
		{ "# comment\nNAME=Fedora\nVERSION='39 (Workstation)'\n", "Fedora 39 (Workstation)" },
		{ "NAME=Arch\nPRETTY_NAME=\n", "Arch" },
		{ "PRETTY_NAME=\"Say \\\"hi\\\" \\\\ now\"\n", "Say \"hi\" \\ now" },
		{ "ID=unnamed\nVERSION=1\n", "unchanged" },
		{ "", "unchanged" },
	};

	for (const auto& row : rows) {
		write_text(temp.Child("os-release"), row.contents);
		LibString out("unchanged");
		EXPECT_EQ(strcmp(row.expected, "unchanged") != 0,
			lib_system::read_os_release(temp.Child("os-release").c_str(), out));
		EXPECT_STREQ(row.expected, out) << row.contents;
	}
	LibString out("unchanged");
	EXPECT_FALSE(lib_system::read_os_release(temp.Child("missing").c_str(), out));
	EXPECT_STREQ("unchanged", out);
}

TEST(LibSystem, OsVersionAndLoginDescribeThisMachine)
{
	LibString version("unchanged");
	LibGetOSVersion(version);
	if (access("/etc/os-release", R_OK) == 0 || access("/usr/lib/os-release", R_OK) == 0) {
		EXPECT_STRNE("unchanged", version);
	}

	LibString login = LibGetLogin();
	char session[256];
	struct passwd* entry = getpwuid(getuid());
	if (getlogin_r(session, sizeof(session)) == 0 && session[0] != '\0') {
		EXPECT_STREQ(session, login);
	} else if (entry != NULL) {
		EXPECT_STREQ(entry->pw_name, login);
	}
}

TEST(LibSystem, TeamCpuTimeCountsThisThreadsWork)
{
	// Work for a fixed amount of processor time, not of wall time: on a loaded machine
	// the process may get little of the processor in a given interval. Only live threads
	// are summed, so threads of earlier tests that have ended since drop out: the sum is
	// checked against this thread's own work, not against an earlier reading.
	// The clock is read only now and then, since reading it is a system call and its time
	// counts as system time, not user time.
	clock_t until = clock() + CLOCKS_PER_SEC / 4;
	volatile uint64 counter = 0;
	while (clock() < until) {
		for (int i = 0; i < 1000000; i++)
			counter = counter + 1;
	}
	EXPECT_GE(lib_team_cpu_time(B_CURRENT_TEAM), 0.1f);
	EXPECT_EQ(0.0f, lib_team_cpu_time(-5));
}

TEST(LibSystem, SuspendAndResumeAnotherProcess)
{
	pid_t child;
	const char* argv[] = { "/bin/sleep", "30", NULL };
	ASSERT_EQ(0, posix_spawn(&child, argv[0], NULL, NULL, const_cast<char**>(argv), environ));

	EXPECT_EQ(0, lib_suspend_team(child));
	for (int i = 0; i < 100 && process_state(child) != 'T'; i++)
		usleep(10000);
	EXPECT_EQ('T', process_state(child));
	EXPECT_EQ(0, lib_resume_team(child));
	for (int i = 0; i < 100 && process_state(child) == 'T'; i++)
		usleep(10000);
	EXPECT_NE('T', process_state(child));

	kill(child, SIGKILL);
	waitpid(child, NULL, 0);
}

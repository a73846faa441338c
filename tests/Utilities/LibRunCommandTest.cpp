// LibRunCommand: the program's wait status as system() gives it, arguments and folder as
// given, and a command whose worker is killed ends with everything it started.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <OS.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace file_test;

namespace {

// True when the process has ended (gone, or a zombie nobody has reaped yet).
bool
process_has_ended(pid_t process)
{
	std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
	std::string text;
	if (!std::getline(stat, text))
		return true;
	const size_t close = text.rfind(')');
	return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

} // namespace

TEST(LibRunCommand, GivesTheWaitStatusAsSystemDoes)
{
	const struct {
		const char* script;
		bool exited;
		int code;
	} rows[] = { { "exit 0", true, 0 }, { "exit 4", true, 4 }, { "kill -TERM $$", false, 0 } };

	for (const auto& row : rows) {
		const char* arguments[] = { "/bin/sh", "-c", row.script, NULL };
		const int status = LibRunCommand(arguments, NULL);
		ASSERT_NE(-1, status) << row.script;
		EXPECT_EQ(row.exited, WIFEXITED(status)) << row.script;
		if (row.exited) {
			EXPECT_EQ(row.code, WEXITSTATUS(status)) << row.script;
		}
	}
	const char* missing[] = { "/no/such/program", NULL };
	EXPECT_EQ(-1, LibRunCommand(missing, NULL));
	const char* empty[] = { NULL };
	EXPECT_EQ(-1, LibRunCommand(empty, NULL));
	EXPECT_EQ(-1, LibRunCommand(NULL, NULL));
}

TEST(LibRunCommand, ArgumentsAndFolderReachTheProgramUnchanged)
{
	ScopedTempDir temp;
	const std::string folder = temp.Child("a \"quoted\" $HOME folder");
	ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
	// The script writes its folder and its one argument.
	const std::string script = temp.Child("report.sh");
	write_file(script, "pwd > out; printf '%s' \"$1\" >> out\n");
	const char* arguments[] = { "/bin/sh", script.c_str(), "`rm -rf x`; $PATH \"'", NULL };
	const int status = LibRunCommand(arguments, folder.c_str());
	ASSERT_TRUE(WIFEXITED(status));
	EXPECT_EQ(0, WEXITSTATUS(status));
	EXPECT_EQ(folder + "\n`rm -rf x`; $PATH \"'", read_file(folder + "/out"));
}

// A shell's children are handed to init when the shell ends: killing the worker that waits
// for a script must end them as well, or a stopped installation goes on running its script.
TEST(LibRunCommand, KillingTheWaitingWorkerEndsTheCommandAndWhatItStarted)
{
	ScopedTempDir temp;
	const std::string pidFile = temp.Child("child");
	const std::string script = "sleep 60 & echo $! > '" + pidFile + "'; wait";

	struct Command {
		std::string script;
		int status = -2;
	} command { script };

	thread_id worker = spawn_thread(
		[](void* data) -> int32 {
			Command* command = static_cast<Command*>(data);
			const char* arguments[] = { "/bin/sh", "-c", command->script.c_str(), NULL };
			command->status = LibRunCommand(arguments, NULL);
			return B_OK;
		},
		"runs a script", B_NORMAL_PRIORITY, &command);
	ASSERT_EQ(B_OK, resume_thread(worker));

	pid_t background = -1;
	const bigtime_t deadline = system_time() + 5000000;
	while (background <= 0 && system_time() < deadline) {
		std::ifstream file(pidFile);
		file >> background;
		if (background <= 0)
			snooze(5000);
	}
	ASSERT_GT(background, 0);
	ASSERT_FALSE(process_has_ended(background));

	EXPECT_EQ(B_OK, kill_thread(worker));
	status_t exitValue = B_OK;
	EXPECT_EQ(B_OK, wait_for_thread(worker, &exitValue));
	EXPECT_EQ(B_INTERRUPTED, exitValue);
	EXPECT_EQ(-2, command.status) << "the call never returned";
	const bigtime_t gone = system_time() + 2000000;
	while (!process_has_ended(background) && system_time() < gone)
		snooze(5000);
	EXPECT_TRUE(process_has_ended(background));
}

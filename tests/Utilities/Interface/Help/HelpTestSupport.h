// Helpers for the help system's tests: files, help texts, a working directory of the
// test's choosing, copies of a real program to give resources to, and programs run as
// processes with their standard output and error apart.
#ifndef TESTS_HELP_TEST_SUPPORT_H
#define TESTS_HELP_TEST_SUPPORT_H

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace help_test {

inline void
write_file(const std::string& path, const std::string& contents)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

inline std::string
read_file(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	std::ostringstream contents;
	contents << file.rdbuf();
	return contents.str();
}

inline bool
exists(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0;
}

// The help file the tests read: three top-level topics, the second with a sub-topic that
// has a sub-topic of its own, views listed for several of them, and their pages.
inline std::string
sample_help()
{
	return "<?xml version=\"1.0\"?>\n"
		   "<!-- the installer's help -->\n"
		   "<CONTENTS>\n"
		   "<CONTENT PAGE=\"welcome\" VIEW=\"Installer/background\">Welcome</CONTENT>\n"
		   "<CONTENT PAGE=\"options\" VIEW=\"Installer/install_type/background\">Options\n"
		   "  <CONTENT PAGE=\"folder\" VIEW=\"Installer/folder/options_box/background\">"
		   "Folder\n"
		   "    <CONTENT PAGE=\"volume\" VIEW=\"Options/first/background\"\n"
		   "      VIEW=\"Installer/volume/options_box/background\">Volume</CONTENT>\n"
		   "  </CONTENT>\n"
		   "</CONTENT>\n"
		   "<CONTENT VIEW=\"Installer/heading\">Headings</CONTENT>\n"
		   "</CONTENTS>\n"
		   "<PAGE NAME=\"welcome\">Read the licence, then press Agree.</PAGE>\n"
		   "<PAGE NAME=\"options\">Pick an install type.<P/>Or tick items.</PAGE>\n"
		   "<PAGE NAME=\"folder\">The folder the product goes into.</PAGE>\n"
		   "<PAGE NAME=\"volume\">The volume to install on.<BR/>Only volumes with room\n"
		   " show.</PAGE>\n";
}

// Makes a folder the working directory while it lives.
class WorkingDirectory {
public:
	explicit WorkingDirectory(const std::string& folder) :
		fSaved(std::filesystem::current_path())
	{
		std::filesystem::current_path(folder);
	}

	~WorkingDirectory() { std::filesystem::current_path(fSaved); }

	WorkingDirectory(const WorkingDirectory&) = delete;
	WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
	std::filesystem::path fSaved;
};

// A copy of a real program, which resources can be appended to.
inline std::string
copy_program(const std::string& source, const std::string& target)
{
	std::filesystem::copy_file(source, target);
	return target;
}

// The entries of the test's temporary folder (TMPDIR) whose name starts with prefix.
inline std::set<std::string>
temporary_entries(const std::string& prefix = "")
{
	std::set<std::string> names;
	const char* folder = getenv("TMPDIR");
	for (const auto& entry :
		std::filesystem::directory_iterator(folder != NULL ? folder : "/tmp")) {
		std::string name = entry.path().filename().string();
		if (name.compare(0, prefix.size(), prefix) == 0)
			names.insert(name);
	}
	return names;
}

struct ProgramRun {
	int status = -1;
	std::string output;
	std::string errors;
};

// Runs the program with arguments in folder (the current one when empty), no shell.
inline ProgramRun
run_program(const std::vector<std::string>& arguments, const std::string& folder = "")
{
	ProgramRun result;
	int out[2];
	int err[2];
	if (pipe2(out, O_CLOEXEC) != 0)
		return result;
	if (pipe2(err, O_CLOEXEC) != 0) {
		close(out[0]);
		close(out[1]);
		return result;
	}
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, out[1], 1);
	posix_spawn_file_actions_adddup2(&actions, err[1], 2);
	if (!folder.empty())
		posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);
	pid_t child = -1;
	int error = posix_spawnp(&child, argv[0], &actions, NULL, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	close(out[1]);
	close(err[1]);

	// Both pipes are drained together, so a child that fills one never waits on the other.
	struct pollfd fds[2] = { { out[0], POLLIN, 0 }, { err[0], POLLIN, 0 } };
	std::string* texts[2] = { &result.output, &result.errors };
	int open = 2;
	while (open > 0 && poll(fds, 2, -1) > 0) {
		for (int i = 0; i < 2; i++) {
			if (fds[i].fd < 0 || fds[i].revents == 0)
				continue;
			char buffer[4096];
			ssize_t got = read(fds[i].fd, buffer, sizeof(buffer));
			if (got > 0) {
				texts[i]->append(buffer, (size_t)got);
				continue;
			}
			close(fds[i].fd);
			fds[i].fd = -1;
			open--;
		}
	}
	// Qt's note about a missing runtime folder (the tests' sandbox has none) is not the
	// program's own output.
	const std::string note = "QStandardPaths: ";
	for (size_t at = result.errors.find(note); at != std::string::npos;
		 at = result.errors.find(note)) {
		const size_t end = result.errors.find('\n', at);
		result.errors.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
	}
	if (error != 0)
		return result;
	int status = 0;
	if (waitpid(child, &status, 0) == child && WIFEXITED(status))
		result.status = WEXITSTATUS(status);
	return result;
}

} // namespace help_test

#endif // TESTS_HELP_TEST_SUPPORT_H

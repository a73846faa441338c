// Helpers for the help system's tests: files, a sample help file, a working directory of
// the test's choosing, and programs run as processes with their output and errors apart.
#ifndef TESTS_HELP_TEST_SUPPORT_H
#define TESTS_HELP_TEST_SUPPORT_H

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
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
	std::ostringstream contents;
	contents << std::ifstream(path, std::ios::binary).rdbuf();
	return contents.str();
}

inline bool
exists(const std::string& path)
{
	return std::filesystem::symlink_status(path).type() != std::filesystem::file_type::not_found;
}

// Three topics, the second with a sub-topic holding one more, views for most of them,
// declarations, a comment, and pages with breaks.
inline std::string
sample_help()
{
	return "<?xml version=\"1.0\"?>\n<!-- the installer's help -->\n<CONTENTS>\n"
		   "<CONTENT PAGE=\"welcome\" VIEW=\"Installer/background\">Welcome</CONTENT>\n"
		   "<CONTENT PAGE=\"options\" VIEW=\"Installer/install_type/background\">Options\n"
		   "  <CONTENT PAGE=\"folder\" VIEW=\"Installer/folder/options_box/background\">Folder\n"
		   "    <CONTENT PAGE=\"volume\" VIEW=\"Options/first/background\"\n"
		   "      VIEW=\"Installer/volume/options_box/background\">Volume</CONTENT>\n"
		   "  </CONTENT>\n</CONTENT>\n"
		   "<CONTENT VIEW=\"Installer/heading\">Headings</CONTENT>\n</CONTENTS>\n"
		   "<PAGE NAME=\"welcome\">Read the licence, then press Agree.</PAGE>\n"
		   "<PAGE NAME=\"options\">Pick an install type.<P/>Or tick items.</PAGE>\n"
		   "<PAGE NAME=\"folder\">The folder the product goes into.</PAGE>\n"
		   "<PAGE NAME=\"volume\">The volume to install on.<BR/>Only volumes with room\n"
		   " show.</PAGE>\n";
}

// Makes a folder the working directory while it lives.
class WorkingDirectory {
public:
	explicit WorkingDirectory(const std::filesystem::path& folder) :
		fSaved(std::filesystem::current_path())
	{
		std::filesystem::current_path(folder);
	}

	~WorkingDirectory() { std::filesystem::current_path(fSaved); }

private:
	std::filesystem::path fSaved;
};

// The entries of the temporary folder (TMPDIR) whose names start with prefix.
inline std::set<std::string>
temporary_entries(const std::string& prefix = "")
{
	std::set<std::string> names;
	for (const auto& entry : std::filesystem::directory_iterator(getenv("TMPDIR"))) {
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

// Runs the program (no shell) in folder, or in the current one when folder is empty.
inline ProgramRun
run_program(const std::vector<std::string>& arguments, const std::string& folder = "")
{
	ProgramRun result;
	int out[2];
	int err[2];
	if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
		return result;
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
	const int error = posix_spawnp(&child, argv[0], &actions, NULL, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	close(out[1]);
	close(err[1]);

	// Both pipes are drained together, so a child that fills one never waits on the other.
	struct pollfd fds[2] = { { out[0], POLLIN, 0 }, { err[0], POLLIN, 0 } };
	std::string* texts[2] = { &result.output, &result.errors };
	for (int open = 2; open > 0 && poll(fds, 2, -1) > 0;) {
		for (int i = 0; i < 2; i++) {
			char buffer[4096];
			ssize_t got = fds[i].revents != 0 ? read(fds[i].fd, buffer, sizeof(buffer)) : -2;
			if (got > 0)
				texts[i]->append(buffer, (size_t)got);
			else if (got != -2) {
				close(fds[i].fd);
				fds[i].fd = -1;
				open--;
			}
		}
	}
	// Qt's note about the sandbox's missing runtime folder is not the program's output.
	const std::string note = "QStandardPaths: ";
	for (size_t at; (at = result.errors.find(note)) != std::string::npos;)
		result.errors.erase(at, result.errors.find('\n', at) - at + 1);
	int status = 0;
	if (error == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
		result.status = WEXITSTATUS(status);
	return result;
}

} // namespace help_test

#endif // TESTS_HELP_TEST_SUPPORT_H

#include "RunProgram.h"

#include "TempDir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string
read_all(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::stringstream text;
	text << stream.rdbuf();
	return text.str();
}

} // namespace

ProgramResult
RunProgram(const std::vector<std::string>& arguments,
	const std::map<std::string, std::string>& environment, int timeoutSeconds)
{
	ProgramResult result;
	if (arguments.empty())
		return result;
	ScopedTempDir capture;
	std::string outPath = capture.Child("out");
	std::string errPath = capture.Child("err");

	// Everything the child needs is prepared before the fork.
	std::vector<std::string> variables;
	for (char** entry = environ; *entry != nullptr; entry++) {
		std::string variable(*entry);
		std::string name = variable.substr(0, variable.find('='));
		if (environment.count(name) == 0)
			variables.push_back(variable);
	}
	for (const auto& [name, value] : environment) {
		if (!value.empty())
			variables.push_back(name + "=" + value);
	}
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	std::vector<char*> envp;
	for (std::string& variable : variables)
		envp.push_back(variable.data());
	envp.push_back(nullptr);

	int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
	int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	pid_t child = fork();
	if (child == 0) {
		dup2(in, 0);
		dup2(out, 1);
		dup2(err, 2);
		execve(argv[0], argv.data(), envp.data());
		_exit(127);
	}
	close(in);
	close(out);
	close(err);
	if (child < 0)
		return result;

	int status = 0;
	auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
	while (true) {
		pid_t done = waitpid(child, &status, WNOHANG);
		if (done == child)
			break;
		if (done < 0 && errno != EINTR)
			return result;
		if (std::chrono::steady_clock::now() > deadline) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
			status = -1;
			break;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	result.out = read_all(outPath);
	result.err = read_all(errPath);
	if (status != -1 && WIFEXITED(status))
		result.exitCode = WEXITSTATUS(status);
	return result;
}

// Runs a built program as a child process, the way a user or a script starts it: no shell,
// standard input from /dev/null, standard output and error captured.
#ifndef TESTS_RUN_PROGRAM_H
#define TESTS_RUN_PROGRAM_H

#include <map>
#include <string>
#include <vector>

struct ProgramResult {
	// The exit status, or -1 when the program could not be started or did not exit.
	int exitCode = -1;
	std::string out;
	std::string err;
};

// arguments[0] is the program's path. environment entries are set (an empty value unsets
// the variable) on top of the test's own environment. The child is killed when it runs
// longer than timeoutSeconds, which is a safety net against a hang, not a measurement.
ProgramResult RunProgram(const std::vector<std::string>& arguments,
	const std::map<std::string, std::string>& environment = {}, int timeoutSeconds = 120);

#endif // TESTS_RUN_PROGRAM_H

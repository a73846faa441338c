// The PackageBuilder command line: build, list, show and check. main() only hands over its
// arguments, so tests run the commands in the same process.
#ifndef PACKAGE_BUILDER_COMMAND_H
#define PACKAGE_BUILDER_COMMAND_H

#include <cstdio>
#include <string>
#include <vector>

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// arguments excludes the program name. Results go to out, diagnostics to err.
int RunPackageBuilder(const std::vector<std::string>& arguments, FILE* out, FILE* err);

#endif // PACKAGE_BUILDER_COMMAND_H

// What BApplication reports as the program's command line. It reads /proc/self/cmdline;
// tests, whose own command line holds test-runner options, give it one instead.
#ifndef _APPLICATION_PRIVATE_H
#define _APPLICATION_PRIVATE_H

#include <string>
#include <vector>

namespace BPrivate {

// Takes effect for applications made afterwards; an empty list goes back to the real one.
void set_command_line(const std::vector<std::string>& arguments);

std::vector<std::string> command_line();

} // namespace BPrivate

#endif // _APPLICATION_PRIVATE_H

// A comma-decimal numeric locale for tests, made with the system's localedef in a private
// folder (found through LOCPATH), so that no locale needs to be installed system-wide.
// While it lives, LC_NUMERIC is that locale, as Qt's application object sets it from a
// German user's LANG; it puts "C" back when it goes.
#ifndef TESTS_COMMA_LOCALE_H
#define TESTS_COMMA_LOCALE_H

#include "TempDir.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class CommaDecimalLocale {
public:
	CommaDecimalLocale()
	{
		std::string definition = fFolder.Child("comma.def");
		std::ofstream(definition) << "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\n"
								  << "LC_NUMERIC\ndecimal_point \"<U002C>\"\n"
								  << "thousands_sep \"<U002E>\"\ngrouping 3;3\nEND LC_NUMERIC\n";
		std::string output = fFolder.Child("comma.UTF-8");
		// localedef warns about the categories left out (and says so in its exit status);
		// the numeric category is what counts.
		const char* arguments[] = { "localedef", "-c", "-i", definition.c_str(), "-f", "UTF-8",
			output.c_str(), nullptr };
		posix_spawn_file_actions_t actions;
		posix_spawn_file_actions_init(&actions);
		posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
		posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
		pid_t child;
		int error = posix_spawnp(
			&child, "localedef", &actions, nullptr, const_cast<char**>(arguments), environ);
		posix_spawn_file_actions_destroy(&actions);
		int status = 0;
		struct stat st;
		if (error != 0 || waitpid(child, &status, 0) < 0
			|| stat((output + "/LC_NUMERIC").c_str(), &st) != 0) {
			fWhy = "localedef cannot make a locale here (the locales package provides its "
				   "character maps)";
			return;
		}
		setenv("LOCPATH", fFolder.Path().c_str(), 1);
		if (setlocale(LC_NUMERIC, "comma.UTF-8") == nullptr) {
			fWhy = "the locale made by localedef does not load";
			return;
		}
		fActive = true;
	}

	~CommaDecimalLocale()
	{
		setlocale(LC_NUMERIC, "C");
		unsetenv("LOCPATH");
	}

	CommaDecimalLocale(const CommaDecimalLocale&) = delete;
	CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

	bool Active() const { return fActive; }

	const std::string& Why() const { return fWhy; }

	// value written with printf's "%.1f".
	static std::string Format(double value)
	{
		char text[32];
		snprintf(text, sizeof(text), "%.1f", value);
		return text;
	}

private:
	ScopedTempDir fFolder;
	bool fActive = false;
	std::string fWhy;
};

#endif // TESTS_COMMA_LOCALE_H

#include "SessionScripts.h"

#include "WholeFile.h"

#include <FindDirectory.h>
#include <Path.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const kBootScriptAutostartName = "brimlow-user-bootscript.desktop";

namespace {

const char* const kBootScriptName = "UserBootscript";
const char* const kEnvironmentScriptName = "UserSetupEnvironment";
const char* const kProfileName = ".profile";
const char* const kProfileComment = "# Read the user environment script of the boot folder";

// The path as one argument of a desktop entry's Exec key: quoted, with the characters the
// quoting reserves escaped, then escaped again as the key's string value.
std::string
desktop_exec_argument(const char* path)
{
	std::string quoted = "\"";
	for (const char* c = path; *c != '\0'; c++) {
		if (strchr("\"`$\\", *c) != nullptr)
			quoted += '\\';
		if (*c == '%')
			quoted += '%';
		quoted += *c;
	}
	quoted += '"';

	std::string value;
	for (char c : quoted) {
		switch (c) {
			case '\\':
				value += "\\\\";
				break;
			case '\n':
				value += "\\n";
				break;
			case '\t':
				value += "\\t";
				break;
			case '\r':
				value += "\\r";
				break;
			default:
				value += c;
				break;
		}
	}
	return value;
}

// The path as one shell word: single quotes, an embedded quote closed, escaped and reopened.
std::string
shell_word(const char* path)
{
	std::string word = "'";
	for (const char* c = path; *c != '\0'; c++) {
		if (*c == '\'')
			word += "'\\''";
		else
			word += *c;
	}
	word += "'";
	return word;
}

bool
entry_exists(const std::string& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0;
}

bool
write_all(int fd, const std::string& text)
{
	size_t written = 0;
	while (written < text.size()) {
		ssize_t result = write(fd, text.data() + written, text.size() - written);
		if (result < 0 && errno == EINTR)
			continue;
		if (result <= 0)
			return false;
		written += (size_t)result;
	}
	return true;
}

bool
contains_line(const std::string& text, const std::string& line)
{
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		if (text.compare(start, end - start, line) == 0)
			return true;
		start = end + 1;
	}
	return false;
}

} // namespace

std::string
BootScriptAutostartEntry(const char* bootScriptPath)
{
	std::string entry = "[Desktop Entry]\n"
						"Type=Application\n"
						"Name=User boot script\n"
						"Comment=Runs the commands installers placed in the user boot script\n"
						"Exec=/bin/sh ";
	entry += desktop_exec_argument(bootScriptPath);
	entry += "\nTerminal=false\nNoDisplay=true\n";
	return entry;
}

std::string
EnvironmentScriptProfileLine(const char* environmentScriptPath)
{
	std::string word = shell_word(environmentScriptPath);
	return "if [ -r " + word + " ]; then . " + word + "; fi";
}

bool
EnsureBootScriptRunsAtLogin()
{
	BPath config;
	BPath boot;
	if (find_directory(B_USER_CONFIG_DIRECTORY, &config, true) != B_OK
		|| find_directory(B_USER_BOOT_DIRECTORY, &boot) != B_OK) {
		return false;
	}
	std::string folder = std::string(config.Path()) + "/autostart";
	std::string path = folder + "/" + kBootScriptAutostartName;
	if (entry_exists(path))
		return true;

	if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
		return false;
	std::string script = std::string(boot.Path()) + "/" + kBootScriptName;
	std::string entry = BootScriptAutostartEntry(script.c_str());

	// Written beside and renamed into place, so a session starting meanwhile never reads
	// half an entry; the exclusive creation never writes through something planted there.
	std::string temporary = path + ".new";
	unlink(temporary.c_str());
	int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
	if (fd < 0)
		return false;
	bool written = write_all(fd, entry);
	if (close(fd) != 0)
		written = false;
	if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
		unlink(temporary.c_str());
		return false;
	}
	return true;
}

bool
EnsureEnvironmentScriptIsRead()
{
	BPath home;
	BPath boot;
	if (find_directory(B_USER_DIRECTORY, &home) != B_OK
		|| find_directory(B_USER_BOOT_DIRECTORY, &boot) != B_OK) {
		return false;
	}
	std::string profile = std::string(home.Path()) + "/" + kProfileName;
	std::string script = std::string(boot.Path()) + "/" + kEnvironmentScriptName;
	std::string line = EnvironmentScriptProfileLine(script.c_str());

	std::string text;
	if (!ReadWholeFile(profile.c_str(), text))
		return false;
	if (contains_line(text, line))
		return true;

	if (!text.empty() && text.back() != '\n')
		text += "\n";
	text += std::string(kProfileComment) + "\n" + line + "\n";
	// The profile is replaced whole, so a stop meanwhile leaves it as it was or with the
	// line; a profile that is a link stays one and its file is replaced.
	std::string file = profile;
	if (char* target = realpath(profile.c_str(), nullptr)) {
		file = target;
		free(target);
	}
	size_t slash = file.rfind('/');
	SweepReplacementLeftovers(file.substr(0, slash), file.substr(slash + 1));
	return ReplaceWholeFile(file.c_str(), text);
}

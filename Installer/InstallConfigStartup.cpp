// The start-up folder with its boot script section, and the end-of-run offer to run items.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "EditScriptFile.h"
#include "InstallerMaker.h"
#include "LibAlert.h"
#include "LibEntry.h"
#include "PackageDefs.h"
#include "SessionScripts.h"

#include <FindDirectory.h>
#include <Mime.h>
#include <Roster.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace install_config;

namespace {

// Reads the run_priority attribute of each entry given, as BeOS's catattr did, which no
// Linux desktop carries. perl-base is part of every Debian and Ubuntu system; the
// attribute is read with the getxattr system call (its number is this machine's) from the
// platform's scheme: the bytes in user.<name>, the type code in user.beos.type.<name>.
// Entries with a priority come out on standard output as "<priority>~<path>", the others
// on standard error as "startup-entry <path>"; each path is one single-quoted shell word,
// so the scripts built from them run nothing but the entries. Names holding a line feed,
// which a line-based list cannot carry, are left out.
const char* const kPriorityReader = R"PERL($n = shift;
for $f (@ARGV) {
	next if $f =~ /\n/ || !-e $f;
	($q = $f) =~ s/\x27/\x27\\\x27\x27/g;
	$q = "\x27$q\x27";
	$v = "\0" x 65536;
	$l = syscall(SYSCALL, $f, "user.$n", $v, 65536);
	$t = "\0" x 4;
	$k = $l < 0 ? -1 : syscall(SYSCALL, $f, "user.beos.type.$n", $t, 4);
	$v = substr($v, 0, $l) if $l >= 0;
	$p = $l < 0 ? undef
		: $k == 4 && $t eq "LONG" && $l == 4 ? unpack("l", $v)
		: $k == 4 && $t eq "LLNG" && $l == 8 ? unpack("q", $v)
		: $k == 4 && $t eq "SHRT" && $l == 2 ? unpack("s", $v)
		: $k == 4 && $t eq "BYTE" && $l == 1 ? unpack("c", $v)
		: $v =~ /^\s*(-?\d+)\s*\0?$/ ? $1 : undef;
	if (defined $p) { print "$p~$q\n" } else { print STDERR "startup-entry $q\n" }
})PERL";

// The path as one shell word.
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
	return word + "'";
}

// The reader as one line: its own line ends become blanks and its tabs go.
std::string
priority_reader_line()
{
	std::string program;
	for (const char* c = kPriorityReader; *c != '\0'; c++) {
		if (*c == '\n')
			program += ' ';
		else if (*c != '\t')
			program += *c;
	}
	std::string number = std::to_string((long)SYS_getxattr);
	for (size_t at = program.find("SYSCALL"); at != std::string::npos;
		 at = program.find("SYSCALL", at)) {
		program.replace(at, strlen("SYSCALL"), number);
	}
	return program;
}

// A regular file with an execute bit whose first bytes are "#!": a program the kernel runs
// itself, with the interpreter it names.
bool
is_interpreted_program(const char* path)
{
	struct stat status;
	if (stat(path, &status) != 0 || !S_ISREG(status.st_mode) || access(path, X_OK) != 0)
		return false;
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return false;
	char start[2];
	bool script = read(fd, start, 2) == 2 && start[0] == '#' && start[1] == '!';
	close(fd);
	return script;
}

} // namespace

void
InstallConfig::BuildStartupString(const char* folder, LibString& text)
{
	std::string section;
	section += "#\n";
	section += "# This section was placed by Brimlow.\n";
	section += "# If you are having trouble with these commands,\n";
	section += std::string("# please contact ") + InstallerMaker::kSupportEmail + ".\n";
	section += "#\n";
	section += "# These commands gathers items in the start-up file at boot time\n";
	section += "# Applications that have an attribute of 'run_priority' get placed\n";
	section += "# in the first file, and all others are placed in the second file.\n";
	section += "# Those with a run_priority are sorted so those with the lowest priority\n";
	section += "# are run first.\n";
	section += "#\n";
	section += "# With thanks to everyone who keeps a start-up folder\n";
	section += "# and told us what it should do.\n";
	section += "#\n";
	section += "# Any alterations done in this section may be lost\n";
	section += "# during the next installation of this product.\n";
	section += "#\n";
	section += "startup_folder=" + shell_word(folder != nullptr ? folder : "") + "\n";
	// The lists are made in a folder of the run's own, never under a guessable name in the
	// shared temporary folder.
	section += "if [ -d \"$startup_folder\" ] && startup_work=$(/bin/mktemp -d)\n";
	section += "then\n";
	section += "\t#\n";
	section += "\t# Add items with attributes to file\n";
	section += "\t#\n";
	section += "\techo \"#!/bin/sh\" > \"$startup_work/pri\"\n";
	section += "\t/usr/bin/perl -e '" + priority_reader_line()
		+ "' run_priority \"$startup_folder\"/* 2>| \"$startup_work/errs\" |\n";
	section += "\t/bin/awk '/^-?[0-9]+~/' |\n";
	section += "\tsort -n |\n";
	section += "\t/bin/awk '{ sub(/^[^~]*~/, \"\"); print $0 \" &\" }' >> \"$startup_work/pri\"\n";
	section += "\t#\n";
	section += "\t# get items that dont have the proper attributes\n";
	section += "\t#\n";
	section += "\techo \"#!/bin/sh\" > \"$startup_work/no_pri\"\n";
	section += "\t/bin/sed -n -e 's/^startup-entry //p' \"$startup_work/errs\" |\n";
	section += "\t/bin/awk '{ print $0 \" &\" }' >> \"$startup_work/no_pri\"\n";
	section += "\t#\n";
	section += "\t# Change permission\n";
	section += "\t#\n";
	section += "\t/bin/chmod a+x \"$startup_work/pri\"\n";
	section += "\t/bin/chmod a+x \"$startup_work/no_pri\"\n";
	section += "\t#\n";
	section += "\t# Execute files in background\n";
	section += "\t#\n";
	section += "\t\"$startup_work/pri\"\n";
	section += "\t/bin/sleep 1\n";
	section += "\t\"$startup_work/no_pri\"\n";
	section += "\t#\n";
	section += "\t# Clean up files\n";
	section += "\t#\n";
	section += "\t/bin/rm -f \"$startup_work/pri\"\n";
	section += "\t/bin/rm -f \"$startup_work/no_pri\"\n";
	section += "\t/bin/rm -rf \"$startup_work\"\n";
	section += "fi\n";
	section += "#";
	text = section.c_str();
}

void
InstallConfig::_CreateStartupFolder(Run& run)
{
	LibString folder;
	if (!GetNewPath(Package::kStartUpFolder, run.customFolders, run.volume,
			run.savedFilesFolder.c_str(), folder)) {
		Log("\tNo StartUp folder: the package defines no custom folder of that name.\n");
		return;
	}
	Log("\tCreating StartUp folder in %s.\n", static_cast<const char*>(folder));
	LibString text;
	BuildStartupString(folder, text);
	BPath boot;
	find_directory(B_USER_BOOT_DIRECTORY, &boot, true);
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", Package::kStartUpFolderTag, text);
	EnsureBootScriptRunsAtLogin();
}

void
InstallConfig::AutoLaunch()
{
	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		if (!is_selected(item) || fNotInstalled.count(i) != 0)
			continue;
		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		if (string_field(meta, Package::kAutoLaunch) != Package::kTrue)
			continue;

		std::string path = string_field(item, Package::kFileName);
		std::string leaf = leaf_of(path.c_str());
		LibString text;
		text.Formatted("Do you wish to run '%s' now?", leaf.c_str());
		std::string reason = string_field(meta, Package::kAutoLaunchReason);
		if (!reason.empty()) {
			text += "\n";
			text += reason.c_str();
		}
		if (LibAsk("", text, "Later", "Run", NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT) != 1)
			continue;

		entry_ref ref;
		char type[B_MIME_TYPE_LENGTH] = "";
		if (LibGetEntryRef(path.c_str(), ref))
			LibGetMimeType(ref, type, false);
		// Programs start as the roster starts them: executables, and scripts that name their
		// interpreter and may be run. Everything else goes to the shell as a script.
		if (strcmp(type, Package::kExecutableType) == 0 || is_interpreted_program(path.c_str())) {
			if (be_roster->Launch(&ref) != B_OK)
				LibError("'%s' was unable to be run at this time.", leaf.c_str());
		} else
			_RunScript(path.c_str());
	}
}

void
InstallConfig::_RunScript(const char* path)
{
	std::string command = std::string("/bin/sh \"") + path + "\"";
	fprintf(stderr, "(%s)\n", command.c_str());

	// The path is the shell's one argument: nothing in it is parsed as shell text. The
	// script runs in its own folder (the run's working folder may be a removed temporary
	// one) and the run waits for it, as it would for system().
	std::string folder = path;
	folder.erase(folder.rfind('/') != std::string::npos ? folder.rfind('/') : 0);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	if (!folder.empty())
		posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	const char* arguments[] = { "/bin/sh", path, nullptr };
	pid_t child = -1;
	int status = -1;
	if (posix_spawn(
			&child, "/bin/sh", &actions, nullptr, const_cast<char* const*>(arguments), environ)
		== 0) {
		int waited;
		do
			waited = waitpid(child, &status, 0);
		while (waited < 0 && errno == EINTR);
		if (waited < 0)
			status = -1;
	}
	posix_spawn_file_actions_destroy(&actions);
	LibInfo("is a script file %d", status);
}

// The session hooks: an autostart entry that runs the boot script and a profile line that
// reads the environment script, each written once, and each working for awkward paths.
#include "SessionScripts.h"

#include "TempDir.h"

#include <FindDirectory.h>
#include <Path.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string
read_text(const fs::path& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::ostringstream text;
	text << stream.rdbuf();
	return text.str();
}

void
write_text(const fs::path& path, const std::string& text)
{
	fs::create_directories(path.parent_path());
	std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Runs a shell command line (the test's own text, never a path from the system under
// test) and returns what it printed.
std::string
shell_output(const std::string& command)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return "";
	pid_t child = fork();
	if (child == 0) {
		dup2(pipeFds[1], 1);
		close(pipeFds[0]);
		close(pipeFds[1]);
		execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
		_exit(127);
	}
	close(pipeFds[1]);
	std::string output;
	char buffer[256];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		output.append(buffer, got);
	close(pipeFds[0]);
	int status;
	waitpid(child, &status, 0);
	return output;
}

// The argument of the Exec key, decoded as the desktop-entry rules say: the string escapes
// first, then the quoting.
std::string
decode_exec_argument(const std::string& value)
{
	std::string unescaped;
	for (size_t i = 0; i < value.size(); i++) {
		if (value[i] == '\\' && i + 1 < value.size()) {
			char next = value[++i];
			unescaped += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
		} else
			unescaped += value[i];
	}
	std::string argument;
	bool quoted = false;
	for (size_t i = 0; i < unescaped.size(); i++) {
		char c = unescaped[i];
		if (c == '"')
			quoted = !quoted;
		else if (quoted && c == '\\' && i + 1 < unescaped.size())
			argument += unescaped[++i];
		else if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%')
			argument += unescaped[i++];
		else
			argument += c;
	}
	return argument;
}

class SessionScriptsTest : public testing::Test {
protected:
	void SetUp() override
	{
		BPath config;
		BPath boot;
		ASSERT_EQ(find_directory(B_USER_CONFIG_DIRECTORY, &config), B_OK);
		ASSERT_EQ(find_directory(B_USER_BOOT_DIRECTORY, &boot), B_OK);
		fAutostart = fs::path(config.Path()) / "autostart" / kBootScriptAutostartName;
		fBoot = boot.Path();
		fProfile = fSandbox.Home() / ".profile";
	}

	ScopedSandbox fSandbox;
	fs::path fAutostart;
	fs::path fBoot;
	fs::path fProfile;
};

TEST_F(SessionScriptsTest, AutostartEntryRunsTheBootScriptAndIsWrittenOnce)
{
	ASSERT_TRUE(EnsureBootScriptRunsAtLogin());
	std::string entry = read_text(fAutostart);
	EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u) << entry;
	std::string script = (fBoot / "UserBootscript").string();
	EXPECT_NE(entry.find("Exec=/bin/sh \"" + script + "\"\n"), std::string::npos) << entry;

	// The user's own version of the entry (here switched off) is kept.
	write_text(fAutostart, entry + "Hidden=true\n");
	EXPECT_TRUE(EnsureBootScriptRunsAtLogin());
	EXPECT_EQ(read_text(fAutostart), entry + "Hidden=true\n");
	EXPECT_FALSE(fs::exists(fAutostart.string() + ".new"));
}

TEST(SessionScriptsText, ExecArgumentGivesBackAnyPath)
{
	const char* const paths[] = { "/home/user/.config/boot/UserBootscript",
		"/home/a b/.config/boot/UserBootscript", "/h/\"quoted\"/$HOME/`date`/back\\slash",
		"/h/100%/tab\there", "/h/new\nline" };
	for (const char* path : paths) {
		std::string entry = BootScriptAutostartEntry(path);
		size_t start = entry.find("Exec=/bin/sh ");
		ASSERT_NE(start, std::string::npos);
		start += strlen("Exec=/bin/sh ");
		std::string value = entry.substr(start, entry.find('\n', start) - start);
		EXPECT_EQ(decode_exec_argument(value), path) << value;
	}
}

TEST_F(SessionScriptsTest, ProfileLineReadsTheEnvironmentScriptOnce)
{
	write_text(fProfile, "export EARLIER=1");
	write_text(fBoot / "UserSetupEnvironment", "export SAMPLE_HOME=/opt/sample\n");

	ASSERT_TRUE(EnsureEnvironmentScriptIsRead());
	ASSERT_TRUE(EnsureEnvironmentScriptIsRead());
	std::string profile = read_text(fProfile);
	std::string line =
		EnvironmentScriptProfileLine((fBoot / "UserSetupEnvironment").string().c_str());
	EXPECT_EQ(profile,
		"export EARLIER=1\n# Read the user environment script of the boot folder\n" + line + "\n");

	std::string output = shell_output(". '" + fProfile.string() + "'; echo \"$SAMPLE_HOME\"");
	EXPECT_EQ(output, "/opt/sample\n");
	// Without the script the profile still reads cleanly.
	fs::remove(fBoot / "UserSetupEnvironment");
	EXPECT_EQ(shell_output(". '" + fProfile.string() + "' && echo read"), "read\n");
}

TEST_F(SessionScriptsTest, ProfileThatIsALinkKeepsTheLink)
{
	fs::path real = fSandbox.Home() / "dotfiles/profile";
	write_text(real, "# mine\n");
	fs::create_symlink(real, fProfile);
	ASSERT_TRUE(EnsureEnvironmentScriptIsRead());
	EXPECT_TRUE(fs::is_symlink(fProfile));
	EXPECT_NE(read_text(real).find("UserSetupEnvironment"), std::string::npos);
}

TEST_F(SessionScriptsTest, TheProfileIsReplacedWholeNeverWrittenInPlace)
{
	write_text(fProfile, "# mine\n");
	// A reader holding the old profile sees its old text to the end.
	std::ifstream holder(fProfile, std::ios::binary);
	ASSERT_TRUE(holder.is_open());
	ASSERT_TRUE(EnsureEnvironmentScriptIsRead());
	std::ostringstream held;
	held << holder.rdbuf();
	EXPECT_EQ(held.str(), "# mine\n");
	EXPECT_NE(read_text(fProfile).find("UserSetupEnvironment"), std::string::npos);
	for (const fs::directory_entry& entry : fs::directory_iterator(fSandbox.Home()))
		EXPECT_EQ(entry.path().filename().string().find(".profile."), std::string::npos)
			<< entry.path();
}

TEST(SessionScriptsText, ProfileLineQuotesAnyPath)
{
	ScopedTempDir dir;
	const char* const names[] = { "plain", "with space", "it's", "$HOME", "`date`", "a\"b" };
	for (const char* name : names) {
		fs::path script = dir.Path() / name;
		write_text(script, "echo sourced\n");
		std::string line = EnvironmentScriptProfileLine(script.c_str());
		EXPECT_EQ(shell_output(line), "sourced\n") << line;
	}
}

} // namespace

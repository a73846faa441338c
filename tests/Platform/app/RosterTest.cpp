// BRoster: finding applications by signature, launching without a shell, the running
// program's own information, and the desktop shell served by a recorded opener.
#include <Roster.h>

#include <AppFileInfo.h>
#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Messenger.h>
#include <MimeType.h>
#include <NodeInfo.h>
#include <Path.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const kSignature = "application/x-vnd.Test-Roster";

// A script that writes each of its arguments, bracketed, one per line into record, then
// renames the file into place so that a reader never sees half of it.
std::string
make_recorder(const std::filesystem::path& folder, const char* name, const std::string& record)
{
	std::filesystem::create_directories(folder);
	std::string path = (folder / name).string();
	std::ofstream(path)
		<< "#!/bin/sh\n"
		   "for argument in \"$0\" \"$@\"; do printf '[%s]\\n' \"$argument\"; done > '"
		<< record << ".part'\nmv '" << record << ".part' '" << record << "'\n";
	chmod(path.c_str(), 0755);
	return path;
}

std::string
wait_for_record(const std::string& record)
{
	for (int i = 0; i < 500; i++) {
		if (std::filesystem::exists(record)) {
			std::ifstream stream(record);
			return std::string(std::istreambuf_iterator<char>(stream), {});
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	return "<nothing recorded>";
}

void
set_signature(const std::string& path, const char* signature)
{
	BFile file(path.c_str(), B_READ_WRITE);
	BAppFileInfo info(&file);
	ASSERT_EQ(B_OK, info.SetSignature(signature));
}

entry_ref
ref_for(const std::string& path)
{
	entry_ref ref;
	get_ref_for_path(path.c_str(), &ref);
	return ref;
}

std::string
path_of(const entry_ref& ref)
{
	BEntry entry(&ref);
	BPath path;
	entry.GetPath(&path);
	return path.Path() != nullptr ? path.Path() : "";
}

class ScopedEnvironment {
public:
	ScopedEnvironment(const char* name, const char* value) :
		fName(name)
	{
		const char* old = getenv(name);
		fHad = old != nullptr;
		if (fHad)
			fOld = old;
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

	~ScopedEnvironment()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::string fOld;
	bool fHad;
};

} // namespace

TEST(Roster, KnowsTheRunningProgram)
{
	app_info info;
	ASSERT_EQ(B_OK, be_roster->GetRunningAppInfo(getpid(), &info));
	EXPECT_EQ(getpid(), info.team);
	EXPECT_EQ(getpid(), info.thread);
	char self[PATH_MAX] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
	EXPECT_EQ(std::string(self), path_of(info.ref));
	EXPECT_STREQ("", info.signature);

	EXPECT_EQ(B_BAD_TEAM_ID, be_roster->GetRunningAppInfo(-5, &info));
	EXPECT_NE(B_OK, be_roster->GetAppInfo("application/x-vnd.Nobody-Runs-This", &info));
}

TEST(Roster, FindsApplicationsBySignatureAndPreferredApp)
{
	ScopedSandbox sandbox;
	// A program in a folder of its own below Applications, found by its resources.
	std::filesystem::path appFolder = sandbox.Home() / "Applications" / "Test Suite";
	std::filesystem::create_directories(appFolder);
	std::string program = (appFolder / "Program").string();
	std::filesystem::copy_file("/bin/true", program);
	chmod(program.c_str(), 0755);
	set_signature(program, kSignature);

	entry_ref app;
	ASSERT_EQ(B_OK, be_roster->FindApp("Application/X-Vnd.Test-Roster", &app));
	EXPECT_EQ(program, path_of(app));

	// A script in ~/.local/bin, found by its signature attribute.
	std::string script = make_recorder(sandbox.Home() / ".local/bin", "tool", "/dev/null");
	set_signature(script, "application/x-vnd.Test-Script");
	ASSERT_EQ(B_OK, be_roster->FindApp("application/x-vnd.Test-Script", &app));
	EXPECT_EQ(script, path_of(app));

	// A document type leads to its preferred application.
	BMimeType type("text/x-roster-document");
	ASSERT_EQ(B_OK, type.SetPreferredApp(kSignature));
	ASSERT_EQ(B_OK, be_roster->FindApp("text/x-roster-document", &app));
	EXPECT_EQ(program, path_of(app));

	EXPECT_EQ(B_LAUNCH_FAILED_APP_NOT_FOUND, be_roster->FindApp("application/x-vnd.Missing", &app));
	EXPECT_EQ(B_BAD_VALUE, be_roster->FindApp("not a signature", &app));
}

TEST(Roster, LaunchPassesPathsUnchangedWithoutAShell)
{
	ScopedSandbox sandbox;
	std::string record = (sandbox.Home() / "record").string();
	std::string program = make_recorder(sandbox.Home() / "bin", "recorder", record);
	std::string odd = (sandbox.Home() / "a file; with 'quotes' $(and) spaces").string();
	std::ofstream(odd) << "x";

	BMessage refs(B_REFS_RECEIVED);
	entry_ref oddRef = ref_for(odd);
	refs.AddRef("refs", &oddRef);
	entry_ref programRef = ref_for(program);
	team_id team = -1;
	ASSERT_EQ(B_OK, be_roster->Launch(&programRef, &refs, &team));
	EXPECT_GT(team, 0);
	EXPECT_EQ("[" + program + "]\n[" + odd + "]\n", wait_for_record(record));

	// With an argument vector, args[0] stands for the program itself.
	std::filesystem::remove(record);
	const char* args[] = { "ignored", "first", "two words" };
	ASSERT_EQ(B_OK, be_roster->Launch(&programRef, 3, args));
	EXPECT_EQ("[" + program + "]\n[first]\n[two words]\n", wait_for_record(record));

	// A document starts its preferred application with the document as argument.
	std::filesystem::remove(record);
	set_signature(program, kSignature);
	std::filesystem::create_directories(sandbox.Home() / "Applications");
	std::filesystem::copy_file(program, sandbox.Home() / "Applications/recorder");
	std::string installed = (sandbox.Home() / "Applications/recorder").string();
	set_signature(installed, kSignature);
	std::string document = (sandbox.Home() / "letter.txt").string();
	std::ofstream(document) << "Dear reader,\n";
	{
		BNode node(document.c_str());
		BNodeInfo info(&node);
		ASSERT_EQ(B_OK, info.SetPreferredApp(kSignature));
	}
	entry_ref documentRef = ref_for(document);
	ASSERT_EQ(B_OK, be_roster->Launch(&documentRef));
	EXPECT_EQ("[" + installed + "]\n[" + document + "]\n", wait_for_record(record));

	std::string plain = (sandbox.Home() / "plain.dat").string();
	std::ofstream(plain) << "data";
	entry_ref plainRef = ref_for(plain);
	EXPECT_EQ(B_LAUNCH_FAILED_NO_PREFERRED_APP, be_roster->Launch(&plainRef));
	entry_ref missingRef = ref_for((sandbox.Home() / "missing").string());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, be_roster->Launch(&missingRef));
}

TEST(Roster, FindsARunningApplicationBySignature)
{
	ScopedSandbox sandbox;
	std::string sleeper = (sandbox.Home() / "sleeper").string();
	std::filesystem::copy_file("/bin/sleep", sleeper);
	chmod(sleeper.c_str(), 0755);
	set_signature(sleeper, "application/x-vnd.Test-Sleeper");
	entry_ref ref = ref_for(sleeper);
	const char* args[] = { "sleeper", "2" };
	team_id team = -1;
	ASSERT_EQ(B_OK, be_roster->Launch(&ref, 2, args, &team));

	app_info info;
	ASSERT_EQ(B_OK, be_roster->GetAppInfo("application/x-vnd.test-sleeper", &info));
	EXPECT_EQ(team, info.team);
	EXPECT_EQ(sleeper, path_of(info.ref));
	ASSERT_EQ(B_OK, be_roster->GetRunningAppInfo(team, &info));
	EXPECT_STREQ("application/x-vnd.Test-Sleeper", info.signature);
	kill(team, SIGTERM);
}

TEST(Roster, DesktopShellOpensEntriesWithTheDesktopHandler)
{
	ScopedSandbox sandbox;
	std::string record = (sandbox.Home() / "opened").string();
	std::string opener = make_recorder(sandbox.Home() / "bin", "opener", record);
	ScopedEnvironment variable("BEINSTALLER_DESKTOP_OPENER", opener.c_str());
	std::string folder = (sandbox.Home() / "Installed Folder").string();
	std::filesystem::create_directory(folder);

	BMessage message(B_REFS_RECEIVED);
	entry_ref folderRef = ref_for(folder);
	message.AddRef("refs", &folderRef);

	// Through the roster.
	ASSERT_EQ(B_OK, be_roster->Launch(B_DESKTOP_SHELL_SIGNATURE, &message));
	EXPECT_EQ("[" + opener + "]\n[" + folder + "]\n", wait_for_record(record));

	// Through a messenger to the shell's signature, as programs address it.
	std::filesystem::remove(record);
	ASSERT_EQ(B_OK, BPrivate::start_desktop_shell());
	BMessenger shell(B_DESKTOP_SHELL_SIGNATURE);
	ASSERT_TRUE(shell.IsValid());
	ASSERT_EQ(B_OK, shell.SendMessage(&message));
	EXPECT_EQ("[" + opener + "]\n[" + folder + "]\n", wait_for_record(record));
	std::filesystem::remove(record);
	ASSERT_EQ(B_OK, BPrivate::send_to_signature(B_DESKTOP_SHELL_SIGNATURE, &message));
	EXPECT_EQ("[" + opener + "]\n[" + folder + "]\n", wait_for_record(record));
	BPrivate::stop_desktop_shell();
	EXPECT_FALSE(BMessenger(B_DESKTOP_SHELL_SIGNATURE).IsValid());

	entry_ref app;
	ASSERT_EQ(B_OK, be_roster->FindApp(B_DESKTOP_SHELL_SIGNATURE, &app));
	EXPECT_EQ(opener, path_of(app));
}

TEST(Roster, DesktopShellWithoutAHandlerOpensNothing)
{
	ScopedSandbox sandbox;
	ScopedEnvironment variable(
		"BEINSTALLER_DESKTOP_OPENER", (sandbox.Home() / "no-such-opener").string().c_str());
	BMessage message(B_REFS_RECEIVED);
	entry_ref homeRef = ref_for(sandbox.Home().string());
	message.AddRef("refs", &homeRef);
	EXPECT_EQ(
		B_LAUNCH_FAILED_APP_NOT_FOUND, be_roster->Launch(B_DESKTOP_SHELL_SIGNATURE, &message));
	entry_ref app;
	EXPECT_EQ(B_LAUNCH_FAILED_APP_NOT_FOUND, be_roster->FindApp(B_DESKTOP_SHELL_SIGNATURE, &app));
}

// Whole runs of the deinstaller as a program: a package built with the real Tarnwick is
// installed headless on a volume of its own (a tmpfs that holds the home folder, so that it
// is the boot volume), then the deinstaller the installation wrote is run unattended.
#include "EngineTestSupport.h"

#include "../Deinstaller/DeinstallTestSupport.h"
#include "RunProgram.h"
#include "ScopedVariable.h"

#include <FindDirectory.h>
#include <Path.h>

#include <set>

using namespace engine_test;

namespace {

class DeinstallRunTest : public EngineTest {
protected:
	std::string DeinstallerProgram() const override { return BEINSTALLER_TARNWICK; }
};

std::vector<std::string>
lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::stringstream stream(text);
	for (std::string line; std::getline(stream, line);)
		lines.push_back(line);
	return lines;
}

} // namespace

TEST(DeinstallRun, AnUnconfiguredDeinstallerRefusesAndTheOptionsAreChecked)
{
	ProgramResult refused = RunProgram({ BEINSTALLER_TARNWICK, "--unattended" });
	EXPECT_EQ(refused.exitCode, 3);
	EXPECT_EQ(refused.err,
		"Does not have resource 2002\nTarnwick was not present during the installation of "
		"software. It has not been configured to deinstall.\n");
	ProgramResult usage = RunProgram({ BEINSTALLER_TARNWICK, "--unattended", "--to" });
	EXPECT_EQ(usage.exitCode, 2);
	EXPECT_EQ(usage.err, "Tarnwick: --to needs a value\nTry 'Tarnwick --help'.\n");
	ProgramResult version = RunProgram({ BEINSTALLER_TARNWICK, "--version" });
	EXPECT_EQ(version.exitCode, 0);
	EXPECT_EQ(version.out, "Tarnwick 1.1.0\n");
	ProgramResult noDisplay = RunProgram({ BEINSTALLER_TARNWICK, "-ui" },
		{ { "DISPLAY", "" }, { "WAYLAND_DISPLAY", "" }, { "QT_QPA_PLATFORM", "" } });
	EXPECT_EQ(noDisplay.exitCode, 2);
	EXPECT_NE(noDisplay.err.find("Tarnwick --unattended"), std::string::npos);
}

// After install then deinstall the disk holds what it held before, plus the installation
// folder (the deinstaller, the log and the item the package keeps) and the Trash.
TEST_F(DeinstallRunTest, InstallThenDeinstallLeavesOnlyTheInstallationFolderAndTheTrash)
{
	OnSecondVolume("size=512m", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::create_directories(mount / "tmp");
		ScopedVariable tmp("TMPDIR", (mount / "tmp").string());
		ScopedSandbox sandbox;
		fs::path home = sandbox.Home();
		// Folders the user has anyway; the package's links and tool go into them.
		BPath deskbar;
		find_directory(B_USER_DESKBAR_DIRECTORY, &deskbar, true);
		for (const char* folder : { "Desktop", "Sample/bin", "Destination" })
			fs::create_directories(home / folder);
		fs::create_directories(home / ".config/boot");
		write_text(home / ".config/boot/UserBootscript", "echo mine\n");
		SetDestination(home / "Destination");
		for (const char* field :
			{ Package::kEditBootscript, Package::kEditSetupEnv, Package::kEditProfile }) {
			SetBool(field, false);
		}
		SelectAll();
		fAnswerer = answer_with({ "Later", "OK" });
		std::map<std::string, file_test::EntryState> before = file_test::snapshot(home);

		report.Check(fConfig.Action() == kInstallFinished, "the installation ends well");
		fs::path folder = home / "Destination/Sample";
		std::string deinstaller = (folder / "Sample 2.1 Deinstaller").string();
		report.Check(install_tag(home / "Sample/bin/sample-tool") == Tag(), "the tool is tagged");

		ProgramResult dry = RunProgram({ deinstaller, "--unattended", "--dry-run" });
		report.Check(dry.exitCode == 0, "a dry run ends with 0: " + dry.err);
		std::vector<std::string> listed = lines_of(dry.out);
		report.Check(listed.size() >= 6, "the items are listed: " + dry.out);
		auto position = [&](const fs::path& path) {
			return std::find(listed.begin(), listed.end(), path.string()) - listed.begin();
		};
		report.Check(position(folder / "Sample Docs") < position(folder / "Sample Docs/Guide.txt"),
			"a folder comes before its contents: " + dry.out);

		ProgramResult run = RunProgram({ deinstaller, "--unattended" });
		report.Check(run.exitCode == 0, "the run ends with 0: " + run.err);
		BPath trash;
		find_directory(B_TRASH_DIRECTORY, &trash);
		report.Check(run.out
				== dry.out + "Moved " + std::to_string(listed.size()) + " of "
					+ std::to_string(listed.size()) + " items to " + trash.Path()
					+ "; 0 kept, 0 could not be moved.\n",
			"the run lists what the dry run listed, then sums up: " + run.out);

		std::string changes = deinstall_test::disk_changes(
			before, file_test::snapshot(home), { "Destination/Sample", ".local/share/Trash" });
		report.Check(changes.empty(), "nothing else changed:\n" + changes);
		std::set<std::string> left;
		for (const fs::directory_entry& entry : fs::directory_iterator(folder))
			left.insert(entry.path().filename());
		report.Check(
			left == std::set<std::string> { "Log", "Sample 2.1 Deinstaller", "readme.txt" },
			"the installation folder keeps its deinstaller, its log and the kept item");

		ProgramResult again = RunProgram({ deinstaller, "--unattended" });
		report.Check(again.exitCode == 1
				&& again.err == "No files or folders were found to deinstall on this volume.\n",
			"a second run finds nothing: " + again.err);
	});
}

// A package that saves what it replaces: the deinstaller says the saved entries are there,
// and --restore-saved puts each back where nothing has taken its place since, exactly as it
// was; a later run puts back the rest once its place is free.
TEST_F(DeinstallRunTest, RestoreSavedPutsReplacedEntriesBackWhereTheirPlaceIsFree)
{
	OnSecondVolume("size=512m", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::create_directories(mount / "tmp");
		ScopedVariable tmp("TMPDIR", (mount / "tmp").string());
		ScopedSandbox sandbox;
		fs::path home = sandbox.Home();
		BPath deskbar;
		find_directory(B_USER_DESKBAR_DIRECTORY, &deskbar, true);
		for (const char* folder : { "Desktop", "Sample/bin", "Destination" })
			fs::create_directories(home / folder);
		// What the user had where the package puts its tool, its link and its documents' link.
		write_text(home / "Sample/bin/sample-tool", "the user's own tool\n");
		fs::create_symlink("/usr/bin/env", fs::path(deskbar.Path()) / "sample-tool");
		fs::create_directories(home / "Desktop/Sample Docs");
		write_text(home / "Desktop/Sample Docs/letter.txt", "dear\n");
		SetDestination(home / "Destination");
		SetBool(Package::kOptSaveReplaced, true);
		for (const char* field :
			{ Package::kEditBootscript, Package::kEditSetupEnv, Package::kEditProfile }) {
			SetBool(field, false);
		}
		SelectAll();
		fAnswerer = answer_with({ "Replace", "Later", "OK" });
		std::map<std::string, file_test::EntryState> before = file_test::snapshot(home);

		report.Check(fConfig.Action() == kInstallFinished, "the installation ends well");
		fs::path folder = home / "Destination/Sample";
		std::string deinstaller = (folder / "Sample 2.1 Deinstaller").string();
		report.Check(read_text(folder / "Saved Files/sample-tool") == "the user's own tool\n",
			"the tool the user had is saved");

		ProgramResult removed = RunProgram({ deinstaller, "--unattended" });
		report.Check(removed.exitCode == 0, "the deinstall ends with 0: " + removed.err);
		std::string notice = "3 entries that the installation replaced are kept in \""
			+ (folder / "Saved Files").string() + "\"; --restore-saved puts them back.\n";
		report.Check(removed.out.size() >= notice.size()
				&& removed.out.compare(removed.out.size() - notice.size(), notice.size(), notice)
					== 0,
			"the deinstaller says what is saved: " + removed.out);
		report.Check(!exists_entry(home / "Sample/bin/sample-tool"), "nothing is put back unasked");

		// Something new took one place meanwhile.
		write_text(home / "Desktop/Sample Docs", "a new file\n");
		ProgramResult restored = RunProgram({ deinstaller, "--unattended", "--restore-saved" });
		report.Check(restored.exitCode == 5, "a taken place gives 5: " + restored.err);
		report.Check(restored.out
				== "Put back: " + std::string(deskbar.Path())
					+ "/sample-tool\nPut back: " + (home / "Sample/bin/sample-tool").string()
					+ "\n2 items were put back where they were. 1 item " + "stays in \""
					+ (folder / "Saved Files").string() + "\": something else is at its place.\n",
			"each entry put back is named: " + restored.out);
		report.Check(restored.err.find("No files or folders were found") != std::string::npos
				&& restored.err.find(
					   "something else is at '" + (home / "Desktop/Sample Docs").string() + "'")
					!= std::string::npos,
			"the taken place is named: " + restored.err);

		fs::remove(home / "Desktop/Sample Docs");
		ProgramResult rest = RunProgram({ deinstaller, "--unattended", "--restore-saved" });
		report.Check(rest.exitCode == 0, "the rest goes back once its place is free: " + rest.err);
		report.Check(!exists_entry(folder / "Saved Files"), "the emptied Saved Files folder goes");

		// Everything the user had is back as it was, attributes included.
		std::string changes = deinstall_test::disk_changes(
			before, file_test::snapshot(home), { "Destination/Sample", ".local/share/Trash" });
		report.Check(changes.empty(), "the user's entries are as they were:\n" + changes);
		report.Check(fs::read_symlink(fs::path(deskbar.Path()) / "sample-tool") == "/usr/bin/env",
			"the link points where it did");
	});
}

// The built Installer as a user or a script starts it: a demo package made by the built
// PackageBuilder (which finds the Installer and the deinstaller beside itself), then the
// unattended mode's listing, licence, usage errors, a full install checked on disk and
// every exit status, and what an installer says without a display.
#include "../Installer/gui/InstallerTestSupport.h"
#include "EngineTestSupport.h"
#include "RunProgram.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool
contains(const std::string& text, const std::string& part)
{
	return text.find(part) != std::string::npos;
}

class InstallerProgramTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		fEnvironment = {
			{ "HOME", fHome.string() },
			{ "XDG_CONFIG_HOME", (fHome / ".config").string() },
			{ "XDG_DATA_HOME", (fHome / ".local/share").string() },
			{ "DISPLAY", "" },
			{ "WAYLAND_DISPLAY", "" },
			{ "QT_QPA_PLATFORM", "" },
		};
	}

	// Builds a package with the built PackageBuilder and no --base or --deinstaller.
	std::string Build(const installer_test::PackageShape& shape = installer_test::PackageShape())
	{
		fs::path manifest = fFolder.Path() / "demo.toml";
		engine_test::write_text(manifest, installer_test::manifest_text(shape));
		std::string package = (fFolder.Path() / "Demo-Installer").string();
		ProgramResult built =
			RunProgram({ BEINSTALLER_PACKAGE_BUILDER, "build", manifest.string(), "-o", package },
				fEnvironment);
		EXPECT_EQ(built.exitCode, 0) << built.err;
		return package;
	}

	ProgramResult Run(const std::string& package, std::vector<std::string> arguments)
	{
		arguments.insert(arguments.begin(), package);
		return RunProgram(arguments, fEnvironment);
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fFolder;
	fs::path fHome;
	std::map<std::string, std::string> fEnvironment;
};

TEST_F(InstallerProgramTest, TheBuiltInstallerCarriesItsResourcesIntoEveryPackage)
{
	std::string package = Build();
	ProgramResult listed =
		RunProgram({ BEINSTALLER_PACKAGE_BUILDER, "list", package }, fEnvironment);
	ASSERT_EQ(listed.exitCode, 0) << listed.err;
	for (const char* resource : { "BEOS:M:STD_ICON", "BEOS:L:text/x-brimlow", "BEOS:APP_SIG",
			 "BEOS:APP_VERSION", "BEOS:FILE_TYPES", "os:help", "Tarnwick" }) {
		EXPECT_TRUE(contains(listed.out, resource)) << resource << "\n" << listed.out;
	}
}

TEST_F(InstallerProgramTest, ListPrintsProductTypesAndItems)
{
	std::string package = Build();
	ProgramResult result = Run(package, { "--unattended", "--list" });
	EXPECT_EQ(result.exitCode, 0) << result.err;
	for (const char* line :
		{ "Product: Demo\n", "Version: 1.0\n", "  Full: The script and its documents.\n",
			"  Minimal\n", "  demo-hello  ", "Full, Minimal\n", "  Demo Documents  " }) {
		EXPECT_TRUE(contains(result.out, line)) << line << "\n" << result.out;
	}
}

TEST_F(InstallerProgramTest, CommandLineMistakesAreUsageErrorsThatNameTheOption)
{
	std::string package = Build();

	struct Case {
		std::vector<std::string> arguments;
		const char* message;
	} const cases[] = {
		{ { "--unattended", "--accept-licence", "--bogus" }, "unknown option '--bogus'" },
		{ { "--unattended", "--accept-licence", "--type", "Nope" }, "unknown install type 'Nope'" },
		{ { "--unattended", "--accept-licence", "--items", "demo-hello,nothing" },
			"unknown item 'nothing'" },
		{ { "--unattended", "--collisions", "maybe" }, "--collisions takes 'keep' or 'replace'" },
		{ { "--unattended", "--folder" }, "--folder needs a value" },
		{ { "--unattended", "--type=Full", "--items=demo-hello" },
			"--type and --items cannot go together" },
		{ { "--list" }, "the options need --unattended" },
		{ { "--unattended" }, "run again with --accept-licence" },
	};

	for (const Case& row : cases) {
		SCOPED_TRACE(row.message);
		ProgramResult result = Run(package, row.arguments);
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_TRUE(contains(result.err, row.message)) << result.err;
	}
	// Without --accept-licence the licence is shown, and nothing is installed.
	ProgramResult result = Run(package, { "--unattended" });
	EXPECT_TRUE(contains(result.out, "Demo 1.0 Licence")) << result.out;
	EXPECT_FALSE(fs::exists(fHome / "Demo"));
}

TEST_F(InstallerProgramTest, AnUnattendedInstallPutsEverythingInPlace)
{
	std::string package = Build();
	fs::path target = fHome / "Programs";
	fs::create_directories(target);
	ProgramResult result = Run(package,
		{ "--unattended", "--accept-license", "--type", "Full", "--folder", target.string() });
	ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
	EXPECT_TRUE(contains(result.out,
		"Checking System Resources...\nCreating deinstaller...\nInstalling 1 of 2 (demo-hello)\n"
		"Installing 2 of 2 (Demo Documents)\nInstallation Complete\nItems not installed: 0\n"))
		<< result.out;
	EXPECT_TRUE(contains(result.err, "Installation successfully completed.")) << result.err;

	fs::path installed = target / "Demo";
	for (const char* entry :
		{ "demo-hello", "Demo Documents/Read Me.txt", "Log", "Demo 1.0 Deinstaller" }) {
		EXPECT_TRUE(fs::exists(installed / entry)) << entry;
	}
	EXPECT_EQ(engine_test::install_tag(installed / "demo-hello"),
		"Demo;1.0;December 8, 2026;Demo Works;support@demo.example;");
	EXPECT_TRUE(contains(engine_test::read_text(installed / "Log"), "\t\tInstalling : demo-hello"));
	// The deinstaller written there runs.
	EXPECT_NE(
		RunProgram({ (installed / "Demo 1.0 Deinstaller").string() }, fEnvironment).exitCode, -1);
}

TEST_F(InstallerProgramTest, ExitStatusesTellWhatHappened)
{
	std::string plain = Build();
	installer_test::PackageShape missingLibrary;
	missingLibrary.licence = false;
	missingLibrary.extra = "[requirements]\nlibraries = [\"libnot-there-demo.so.9\"]\n";
	fs::create_directories(fFolder.Path() / "second");
	std::string needsLibrary = (fFolder.Path() / "second" / "Demo-Installer").string();
	fs::rename(Build(missingLibrary), needsLibrary);
	plain = Build();

	struct Case {
		std::string package;
		std::vector<std::string> arguments;
		int exitCode;
		const char* message;
	} const cases[] = {
		{ plain, { "--unattended", "--accept-licence", "--folder", "/nonexistent/folder" }, 1,
			"/nonexistent/folder cannot be used as the destination folder" },
		{ needsLibrary, { "--unattended", "--items", "demo-hello" }, 3,
			"The shared library 'libnot-there-demo.so.9' could not be found." },
		// The bare program carries no package.
		{ BEINSTALLER_INSTALLER, { "--unattended", "--list" }, 1,
			"Does not have resource 2002\nError obtaining configuration in installer." },
		{ plain, { "--help" }, 0, "" },
		{ plain, { "--version" }, 0, "" },
	};

	for (const Case& row : cases) {
		SCOPED_TRACE(row.message);
		ProgramResult result = Run(row.package, row.arguments);
		EXPECT_EQ(result.exitCode, row.exitCode) << result.out << result.err;
		EXPECT_TRUE(contains(result.err, row.message)) << result.err;
	}
	EXPECT_FALSE(fs::exists(fHome / "Demo"));
	EXPECT_TRUE(contains(Run(plain, { "--help" }).out, "Exit status: 0 installed"));
	EXPECT_EQ(Run(plain, { "--version" }).out, "Installer 1.2.0\n");
}

TEST_F(InstallerProgramTest, WithoutADisplayTheInstallerSaysHowToRunUnattended)
{
	std::string package = Build();
	ProgramResult result = Run(package, {});
	EXPECT_EQ(result.exitCode, 2);
	EXPECT_TRUE(contains(result.err, "--unattended --accept-licence")) << result.err;
	EXPECT_FALSE(fs::exists(fHome / "Demo"));
}

// The demo package of examples/ as scripts/demo.sh builds it: the dry run tells where each
// item and its link would go, what would become of the entries in the way under each
// collision answer, the script section and the requirements' verdict, and the whole sandbox
// (home, its folders, the temporary folder) is the same afterwards.
TEST_F(InstallerProgramTest, ADryRunOfTheDemoTellsWhatWouldHappenAndWritesNothing)
{
	fs::path package = fFolder.Path() / "Demo-1.0-Installer";
	ProgramResult built =
		RunProgram({ BEINSTALLER_PACKAGE_BUILDER, "build",
					   BEINSTALLER_SOURCE_DIR "/examples/demo/demo.toml", "-o", package.string() },
			fEnvironment);
	ASSERT_EQ(built.exitCode, 0) << built.err;
	// The user has a link of that name in the Deskbar folder, and a folder where the
	// installation folder goes; the default destination (~/Applications) holds nothing else.
	fs::path deskbar = fHome / ".local/share/deskbar";
	fs::create_directories(deskbar);
	fs::create_symlink("/usr/bin/env", deskbar / "demo-hello");
	fs::create_directories(fHome / "Applications/Demo");
	engine_test::write_text(fHome / "Applications/Demo/mine.txt", "mine\n");
	fs::path other = fHome / "Other";
	fs::create_directories(other);
	const fs::path sandbox = fHome.parent_path();
	std::map<std::string, file_test::EntryState> before = file_test::snapshot(sandbox.string());

	const std::string home = fHome.string();
	const std::string header = "Dry run: nothing is installed, moved or written.\n"
							   "Requirements: met\n"
							   "Installation folder: "
		+ home
		+ "/Applications/Demo\n"
		  "  the folder there now would be moved to the Trash\n"
		  "  the deinstaller \"Demo 1.0 Deinstaller\" would be written there\n"
		  "  the install log \"Log\" would be written there\n"
		  "  entries in the way would be saved in \"Saved Files\" there\n";
	const std::string scripts = "Script sections:\n  UserBootscript (" + home
		+ "/.config/boot/UserBootscript): section \"Demo_1.0\" would be added\n";

	ProgramResult full = Run(package.string(), { "--unattended", "--dry-run", "--type", "Full" });
	EXPECT_EQ(full.exitCode, 0) << full.err;
	EXPECT_EQ(full.out,
		header + "Items (2 selected):\n  demo-hello\n    to: " + home
			+ "/Applications/Demo/demo-hello\n    link: " + home
			+ "/.local/share/deskbar/demo-hello\n    in the way: " + home
			+ "/.local/share/deskbar/demo-hello; it would be saved in \"Saved Files\"\n"
			  "  Demo Documents\n    to: "
			+ home + "/Applications/Demo/Demo Documents\n    link: none\n" + scripts);
	EXPECT_EQ(full.err, "");

	// The licence needs no agreement for a dry run; --folder and --items are followed.
	ProgramResult minimal = Run(package.string(),
		{ "--unattended", "--dry-run", "--items", "demo-hello", "--folder", other.string() });
	EXPECT_EQ(minimal.exitCode, 0) << minimal.err;
	EXPECT_NE(
		minimal.out.find("Installation folder: " + other.string() + "/Demo\n  the deinstaller"),
		std::string::npos)
		<< minimal.out;
	EXPECT_NE(minimal.out.find("Items (1 selected):\n  demo-hello\n    to: " + other.string()
				  + "/Demo/demo-hello\n"),
		std::string::npos)
		<< minimal.out;
	EXPECT_EQ(minimal.out.find("Demo Documents"), std::string::npos) << minimal.out;

	// A folder that is not there gives the run's own failure.
	ProgramResult missing =
		Run(package.string(), { "--unattended", "--dry-run", "--folder", home + "/a/b" });
	EXPECT_EQ(missing.exitCode, 1);

	std::map<std::string, file_test::EntryState> after = file_test::snapshot(sandbox.string());
	// Running a program makes and removes the folder that captures its output in the
	// temporary folder; what the temporary folder holds is compared all the same.
	before["tmp"].modified = after["tmp"].modified;
	for (const auto& [path, state] : before) {
		EXPECT_TRUE(after.count(path) > 0 && after[path] == state) << "changed: " << path;
	}
	for (const auto& [path, state] : after) {
		EXPECT_TRUE(before.count(path) > 0) << "new: " << path;
	}

	// The run itself does what the dry run told.
	ProgramResult run =
		Run(package.string(), { "--unattended", "--accept-licence", "--type", "Full" });
	ASSERT_EQ(run.exitCode, 0) << run.err;
	std::stringstream lines(full.out);
	int places = 0;
	for (std::string line; std::getline(lines, line);) {
		for (const std::string prefix : { "    to: ", "    link: /" }) {
			if (line.rfind(prefix, 0) != 0)
				continue;
			std::string path = line.substr(prefix.size() - (prefix.back() == '/' ? 1 : 0));
			EXPECT_TRUE(engine_test::exists_entry(path)) << path;
			places++;
		}
	}
	EXPECT_EQ(places, 3);
	EXPECT_EQ(fs::read_symlink(fHome / "Applications/Demo/Saved Files/demo-hello"), "/usr/bin/env");
	EXPECT_EQ(fs::read_symlink(deskbar / "demo-hello"), fHome / "Applications/Demo/demo-hello");
}

} // namespace

// The unattended mode: its command line, and whole runs on a volume of their own (a tmpfs
// that holds the home folder, so that it is the boot volume): what is printed, what moves
// where, the script sections, and the exit statuses.
#include "DeinstallUnattended.h"

#include <PackageDefs.h>

#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>

#include "../Utilities/FileTestHelpers.h"
#include "ScopedVariable.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace file_test;

namespace {

const char kTag[] = "Editor;2.1;2000-05-01;Maker;support;";

void
make_configuration(BMessage& configuration)
{
	configuration.AddString(Package::kAppName, "Editor");
	configuration.AddString(Package::kVersion, "2.1");
	configuration.AddString(Package::kReleaseDate, "2000-05-01");
	configuration.AddString(Package::kCompany, "Maker");
	configuration.AddString(Package::kSupportEmail, "support");
	configuration.AddBool(Package::kEditBootscript, true);
	configuration.AddString(Package::kEditBootscriptTag, "Editor_Boot");
	configuration.AddBool(Package::kEditSetupEnv, false);
	configuration.AddBool(Package::kEditProfile, false);
}

struct Outcome {
	int status = -1;
	std::string out;
	std::string err;
};

Outcome
run_unattended(std::vector<std::string> arguments, bool configured = true)
{
	std::vector<const char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(argument.c_str());
	char* outText = NULL;
	char* errText = NULL;
	size_t outSize = 0;
	size_t errSize = 0;
	FILE* out = open_memstream(&outText, &outSize);
	FILE* err = open_memstream(&errText, &errSize);
	Outcome outcome;
	outcome.status = RunUnattended((int)argv.size(), argv.data(),
		[configured](BMessage& configuration) {
			if (configured)
				make_configuration(configuration);
			return configured;
		},
		out, err);
	fclose(out);
	fclose(err);
	outcome.out.assign(outText, outSize);
	outcome.err.assign(errText, errSize);
	free(outText);
	free(errText);
	return outcome;
}

// Runs body in a child whose home folder lies on a tmpfs of its own.
void
on_own_boot_volume(const fs::path& folder,
	const std::function<void(const fs::path& home, ChildReport& report)>& body)
{
	fs::path mount = folder / "volume";
	fs::create_directories(mount);
	ChildOutcome outcome = run_with_second_volume(mount, "size=32m", [&](ChildReport& report) {
		fs::create_directories(mount / "tmp");
		ScopedVariable tmp("TMPDIR", (mount / "tmp").string());
		ScopedSandbox sandbox;
		body(sandbox.Home(), report);
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

std::string
trash_folder()
{
	BPath trash;
	find_directory(B_TRASH_DIRECTORY, &trash, false);
	return trash.Path();
}

} // namespace

TEST(DeinstallUnattended, ParsesTheOptionsAndNamesWhatItRejects)
{
	struct Row {
		std::vector<const char*> arguments;
		bool valid;
		const char* error;
	} rows[] = {
		{ { "--unattended" }, true, "" },
		{ { "--unattended", "--volume", "/x", "--to=/y", "--dry-run" }, true, "" },
		{ { "--help" }, true, "" },
		{ { "--unattended", "--volume" }, false, "--volume needs a value" },
		{ { "--unattended", "--to=" }, false, "--to needs a value that is not empty" },
		{ { "--unattended", "--to", "/a", "--to", "/b" }, false, "--to is given twice" },
		{ { "--unattended", "--force" }, false, "unknown option '--force'" },
		{ { "--unattended", "stray" }, false, "unexpected argument 'stray'" },
		{ { "--dry-run" }, false, "--volume, --to and --dry-run need --unattended" },
	};

	for (const Row& row : rows) {
		UnattendedOptions options;
		LibString error;
		EXPECT_EQ(row.valid,
			ParseUnattendedOptions((int)row.arguments.size(), row.arguments.data(), options, error))
			<< row.arguments[0];
		EXPECT_STREQ(row.error, error) << row.arguments[0];
	}
	std::vector<const char*> window = { "-ui" };
	EXPECT_FALSE(WantsUnattendedMode((int)window.size(), window.data()));
	EXPECT_FALSE(WantsUnattendedMode(0, NULL));
	std::vector<const char*> version = { "--version" };
	EXPECT_TRUE(WantsUnattendedMode((int)version.size(), version.data()));
}

TEST(DeinstallUnattended, RefusesWithoutConfigurationAndWithBadArguments)
{
	ScopedTempDir folder;
	write_file(folder.Child("file"), "a file");

	struct Row {
		std::vector<std::string> arguments;
		bool configured;
		int status;
		std::string err;
	} rows[] = {
		{ { "--unattended" }, false, kUnattendedNotConfigured,
			std::string(kNotConfiguredText) + "\n" },
		{ { "--unattended", "--volume", folder.Child("missing") }, true, kUnattendedUsage,
			"Tarnwick: --volume: '" + folder.Child("missing") + "' does not exist\n" },
		{ { "--unattended", "--volume", "/proc" }, true, kUnattendedUsage,
			"Tarnwick: --volume: '/proc' is not on a volume that holds user data\n" },
		{ { "--unattended", "--to", folder.Child("file") }, true, kUnattendedUsage,
			"Tarnwick: --to: '" + folder.Child("file") + "' is not a folder\n" },
	};

	for (const Row& row : rows) {
		Outcome outcome = run_unattended(row.arguments, row.configured);
		EXPECT_EQ(row.status, outcome.status) << row.arguments.back();
		EXPECT_EQ(row.err, outcome.err);
		EXPECT_EQ("", outcome.out);
	}
}

TEST(DeinstallUnattended, ListsInOrderThenRemovesIntoTheTrashAndCutsTheSections)
{
	ScopedTempDir folder;
	on_own_boot_volume(folder.Path(), [](const fs::path& home, ChildReport& report) {
		fs::path app = home / "Editor";
		fs::create_directories(app / "data");
		write_file(app / "data/words", "words");
		write_file(app / "Editor", "program");
		write_file(home / "mine.txt", "the user's own");
		write_file(home / "other", "another package's");
		for (const fs::path& path : { app, app / "data", app / "data/words", app / "Editor" })
			set_attribute(path, "InstallBy", B_STRING_TYPE, kTag);
		set_attribute(
			home / "other", "InstallBy", B_STRING_TYPE, "editor;2.1;2000-05-01;Maker;support;");
		fs::create_directories(home / ".config/boot");
		write_file(home / ".config/boot/UserBootscript",
			"mine\n#BEGIN_Editor_Boot\nrun editor\n#END_Editor_Boot\n");

		Outcome dry = run_unattended({ "--unattended", "--dry-run" });
		report.Check(dry.status == kUnattendedDone, "a dry run ends with 0");
		std::vector<std::string> lines;
		std::stringstream listing(dry.out);
		for (std::string line; std::getline(listing, line);)
			lines.push_back(line);
		report.Check(lines.size() == 4 && lines[0] == app.string(), "the folder is listed first");
		report.Check(std::find(lines.begin(), lines.end(), (app / "data").string())
				< std::find(lines.begin(), lines.end(), (app / "data/words").string()),
			"a folder comes before what it holds");
		report.Check(exists(app / "data/words"), "a dry run moves nothing");

		Outcome run = run_unattended({ "--unattended" });
		report.Check(run.status == kUnattendedDone, "the run ends with 0: " + run.err);
		report.Check(run.out
				== dry.out + "Moved 4 of 4 items to " + trash_folder()
					+ "; 0 kept, 0 could not be moved.\n",
			"the run lists, then sums up: " + run.out);
		report.Check(!exists(app) && exists(home / "mine.txt") && exists(home / "other"),
			"only the installation's entries left");
		// Each item went on its own, files first: the folders arrive empty.
		report.Check(read_file(trash_folder() + "/words") == "words"
				&& fs::is_empty(trash_folder() + "/data"),
			"every item is in the Trash by itself");
		size_t records = 0;
		for (const fs::directory_entry& entry :
			fs::directory_iterator(trash_folder() + "/../info")) {
			records += entry.path().extension() == ".trashinfo";
		}
		report.Check(records == 4, "the Trash can restore each of them");
		report.Check(read_file(home / ".config/boot/UserBootscript") == "mine\n",
			"the boot script's section is cut out");

		Outcome again = run_unattended({ "--unattended" });
		report.Check(again.status == kUnattendedNothingFound
				&& again.err == std::string(kNothingFoundText) + "\n" && again.out.empty(),
			"a second run finds nothing and says so");
	});
}

TEST(DeinstallUnattended, NamesTakenInTheChosenFolderKeepBothAndEndWithFour)
{
	ScopedTempDir folder;
	on_own_boot_volume(folder.Path(), [](const fs::path& home, ChildReport& report) {
		fs::path kept = home / "Kept";
		fs::create_directories(kept);
		write_file(kept / "tool", "already there");
		write_file(home / "tool", "installed");
		write_file(home / "notes", "installed notes");
		set_attribute(home / "tool", "InstallBy", B_STRING_TYPE, kTag);
		set_attribute(home / "notes", "InstallBy", B_STRING_TYPE, kTag);

		Outcome run = run_unattended({ "--unattended", "--to", kept.string() });
		report.Check(run.status == kUnattendedNotAllMoved, "a collision ends with 4");
		report.Check(
			read_file(kept / "tool") == "already there" && read_file(home / "tool") == "installed",
			"the entry in the folder and the item both stay");
		report.Check(read_file(kept / "notes") == "installed notes" && !exists(home / "notes"),
			"the other item moved");
		report.Check(
			run.err.find("kept '" + (home / "tool").string() + "' in place") != std::string::npos,
			"the kept item is named: " + run.err);
		report.Check(
			run.out.find("Moved 1 of 2 items to " + kept.string() + "; 1 kept, 0 could not")
				!= std::string::npos,
			"the summary counts both: " + run.out);
	});
}

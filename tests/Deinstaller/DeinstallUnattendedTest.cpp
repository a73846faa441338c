// The unattended mode: its command line, its refusals, and collisions in a chosen folder on a
// volume of its own (a tmpfs that holds the home folder, so that it is the boot volume).
// Whole runs of the built program are in tests/e2e/DeinstallRunTest.cpp.
#include "DeinstallUnattended.h"

#include <Message.h>
#include <SavedEntry.h>

#include "DeinstallTestSupport.h"
#include "ScopedVariable.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace deinstall_test;
using namespace file_test;

namespace {

struct Outcome {
	int status = -1;
	std::string out;
	std::string err;
};

Outcome
run_unattended(std::vector<std::string> arguments, bool configured = true,
	const char* installationFolder = NULL)
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
		out, err, installationFolder);
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
		{ { "--unattended", "--restore-saved", "--dry-run" }, true, "" },
		{ { "--dry-run" }, false,
			"--volume, --to, --dry-run and --restore-saved need --unattended" },
		{ { "--restore-saved" }, false,
			"--volume, --to, --dry-run and --restore-saved need --unattended" },
	};

	for (const Row& row : rows) {
		UnattendedOptions options;
		LibString error;
		EXPECT_EQ(row.valid,
			ParseUnattendedOptions((int)row.arguments.size(), row.arguments.data(), options, error))
			<< row.arguments[0];
		EXPECT_STREQ(row.error, error) << row.arguments[0];
		if (row.valid) {
			EXPECT_EQ(options.restoreSaved,
				row.arguments.size() == 3 && strcmp(row.arguments[1], "--restore-saved") == 0);
		}
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

TEST(DeinstallUnattended, NamesTakenInTheChosenFolderKeepBothAndEndWithFour)
{
	ScopedTempDir folder;
	on_own_boot_volume(folder.Path(), [](const fs::path& home, ChildReport& report) {
		fs::path kept = home / "Kept";
		fs::create_directories(kept);
		write_file(kept / "tool", "already there");
		write_file(home / "tool", "installed");
		write_file(home / "notes", "installed notes");
		tag(home / "tool");
		tag(home / "notes");

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

// The dry run says what would go back, counting the places the removal frees; the run puts
// the saved entry back over nothing once the installed item has left its place.
TEST(DeinstallUnattended, RestoreSavedPutsBackWhatTheRemovalMadeRoomFor)
{
	ScopedTempDir folder;
	on_own_boot_volume(folder.Path(), [](const fs::path& home, ChildReport& report) {
		fs::path installation = home / "Editor";
		fs::create_directories(installation / "Saved Files");
		write_file(home / "tool", "the user's tool");
		report.Check(SaveReplacedEntry((home / "tool").string(),
						 (installation / "Saved Files").string(), nullptr),
			"the user's tool is saved");
		write_file(home / "tool", "installed");
		tag(home / "tool");

		Outcome dry = run_unattended(
			{ "--unattended", "--dry-run", "--restore-saved" }, true, installation.c_str());
		report.Check(dry.status == kUnattendedDone, "the dry run ends with 0: " + dry.err);
		report.Check(dry.out
				== (home / "tool").string() + "\nWould put back: " + (home / "tool").string()
					+ "\n",
			"the dry run names what would go back: " + dry.out);
		report.Check(read_file(home / "tool") == "installed", "the dry run changes nothing");

		Outcome run =
			run_unattended({ "--unattended", "--restore-saved" }, true, installation.c_str());
		report.Check(run.status == kUnattendedDone, "the run ends with 0: " + run.err);
		report.Check(read_file(home / "tool") == "the user's tool", "the user's tool is back");
		report.Check(run.out.find("Put back: " + (home / "tool").string()
						 + "\n1 item was put "
						   "back where it was.\n")
				!= std::string::npos,
			"the run says so: " + run.out);
	});
}

// Whole installations of a package built by PackageBuilder, run headless on the engine's own
// thread with every question answered by a policy.
#include "EngineTestSupport.h"

#include "EditScriptFile.h"
#include "LibEntry.h"
#include "LibSysInfo.h"
#include "SessionScripts.h"

#include <FindDirectory.h>
#include <Path.h>
#include <Resources.h>
#include <Volume.h>

#include <regex>
#include <set>
#include <sys/xattr.h>
#include <thread>

using namespace engine_test;

namespace {

std::string
replace_all(std::string text, const std::string& what, const std::string& with)
{
	for (size_t at = text.find(what); at != std::string::npos;
		 at = text.find(what, at + with.size()))
		text.replace(at, what.size(), with);
	return text;
}

class InstallRunTest : public EngineTest {
protected:
	fs::path UserFolder(directory_which which)
	{
		BPath path;
		find_directory(which, &path);
		return path.Path();
	}

	// The log with what depends on the machine and the moment put as placeholders.
	std::string MaskedLog()
	{
		std::string log = replace_all(Log(), fHome.string(), "@HOME@");
		LibString description;
		LibSysInfo().Description(description);
		log = replace_all(log, "\t" + std::string(description) + "\n", "\t@SYSTEM@\n");
		log = std::regex_replace(
			log, std::regex("Free Disk Space : [^\n]*"), "Free Disk Space : @FREE@");
		log = std::regex_replace(log, std::regex("On volume [^\n]*\\."), "On volume @VOLUME@.");
		return std::regex_replace(
			log, std::regex("Installation (Started|Complete): [^\n]*"), "Installation $1: @TIME@");
	}

	std::string Installed(const std::string& leaf)
	{
		BMessage instructions;
		fConfig.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
			const char* fileName = nullptr;
			item.FindString(Package::kFileName, &fileName);
			if (fs::path(fileName).filename() == leaf)
				return fileName;
		}
		return "";
	}
};

TEST_F(InstallRunTest, WholeRunWritesTheExpectedLogStatusesAndQuestions)
{
	SelectAll();
	ASSERT_EQ(Install(), kInstallFinished);

	EXPECT_EQ(MaskedLog(), read_text(data_folder("sample") / "expected.log"));
	EXPECT_EQ(fRecorder->StatusTexts(),
		(std::vector<std::string> { "Checking System Resources...", "Creating deinstaller...",
			"Installing 1 of 4 (sample-tool)", "Installing 2 of 4 (Sample Docs)",
			"Installing 3 of 4 (readme.txt)", "Installing 4 of 4 (setup.sh)",
			"Installation Complete" }));
	EXPECT_EQ(AskedTexts(),
		(std::vector<std::string> { "Do you wish to run 'setup.sh' now?\nIt records that it ran.",
			"Installation successfully completed.\n\nThank you for trying the sample." }));
	EXPECT_EQ(fConfig.FailedCount(), 0);

	// Everything is where the package says, and every selected item's file_name says where.
	fs::path tool = fHome / "Sample/bin/sample-tool";
	EXPECT_EQ(read_text(tool), read_text(data_folder("sample") / "payload/sample-tool"));
	EXPECT_TRUE(fs::status(tool).permissions() == fs::perms(0755)
		|| (fs::status(tool).permissions() & fs::perms::owner_exec) != fs::perms::none);
	EXPECT_EQ(fs::read_symlink(UserFolder(B_USER_DESKBAR_DIRECTORY) / "sample-tool"), tool);
	EXPECT_EQ(
		fs::read_symlink(fHome / "Desktop/Sample Docs"), InstallationFolder() / "Sample Docs");
	EXPECT_EQ(Installed("sample-tool"), tool.string());
	EXPECT_EQ(Installed("readme.txt"), (InstallationFolder() / "readme.txt").string());
	EXPECT_TRUE(fs::exists(InstallationFolder() / "Sample 2.1 Deinstaller"));

	// The scripts got their sections, and the session runs the boot folder's scripts.
	fs::path boot = UserFolder(B_USER_BOOT_DIRECTORY);
	EXPECT_NE(read_text(boot / "UserBootscript").find("#BEGIN_Sample_Boot\n"), std::string::npos);
	EXPECT_NE(
		read_text(boot / "UserSetupEnvironment").find("export SAMPLE_HOME"), std::string::npos);
	EXPECT_NE(read_text(fHome / ".profile").find("#BEGIN_Sample_Profile\nalias sample"),
		std::string::npos);
	EXPECT_NE(read_text(fHome / ".profile")
				  .find(EnvironmentScriptProfileLine((boot / "UserSetupEnvironment").c_str())),
		std::string::npos);
	EXPECT_TRUE(
		fs::exists(UserFolder(B_USER_CONFIG_DIRECTORY) / "autostart" / kBootScriptAutostartName));
}

TEST_F(InstallRunTest, NoItemSelectedStillMakesTheFolderDeinstallerAndLog)
{
	ASSERT_EQ(Install(), kInstallFinished);
	EXPECT_TRUE(fs::is_directory(InstallationFolder()));
	EXPECT_TRUE(fs::exists(InstallationFolder() / "Sample 2.1 Deinstaller"));
	EXPECT_EQ(Log().find("Installing"), std::string::npos);
	EXPECT_EQ(fRecorder->StatusTexts().size(), 3u);
	ASSERT_EQ(AskedTexts().size(), 1u);
	EXPECT_EQ(AskedTexts()[0],
		"Installation successfully completed.\n\nThank you for trying the sample.");
}

TEST_F(InstallRunTest, UnselectedItemsStillCountTowardsThePayloadIds)
{
	Select({ "sample-tool", "readme.txt" });
	ASSERT_EQ(Install(), kInstallFinished);
	std::vector<std::string> statuses = fRecorder->StatusTexts();
	EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Installing 2 of 2 (readme.txt)"),
		statuses.end());
	EXPECT_EQ(read_text(InstallationFolder() / "readme.txt"),
		read_text(data_folder("sample") / "payload/readme.txt"));
	EXPECT_FALSE(fs::exists(InstallationFolder() / "Sample Docs"));
}

TEST_F(InstallRunTest, LinkInTheInstallationFolderAndNeverOverTheItemItself)
{
	Select({ "sample-tool", "Sample Docs" });
	SetMeta("sample-tool", Package::kLink, Package::kUserSelected);
	SetMeta("Sample Docs", Package::kLink, Package::kUserSelected);
	ASSERT_EQ(Install(), kInstallFinished);

	EXPECT_EQ(
		fs::read_symlink(InstallationFolder() / "sample-tool"), fHome / "Sample/bin/sample-tool");
	EXPECT_EQ(install_tag(InstallationFolder() / "sample-tool"), Tag());
	// The folder lies in the installation folder itself: a link there would replace it.
	EXPECT_TRUE(fs::is_directory(fs::symlink_status(InstallationFolder() / "Sample Docs")));
	EXPECT_NE(Log().find("\t\t\tNo link placed in " + InstallationFolder().string()
				  + ": the item itself lies there.\n"),
		std::string::npos);
	EXPECT_EQ(fConfig.FailedCount(), 0);
	EXPECT_EQ(AskedQuestions().size(), 1u);
}

TEST_F(InstallRunTest, RefusedPlacementLeavesTheItemMarkedInTheInstallationFolder)
{
	write_text(fHome / "Sample/bin/sample-tool", "the user's own\n");
	Select({ "sample-tool" });
	fAnswerer = answer_with({ "Don't Replace" });
	ASSERT_EQ(Install(), kInstallFinished);

	EXPECT_EQ(read_text(fHome / "Sample/bin/sample-tool"), "the user's own\n");
	fs::path staged = InstallationFolder() / "sample-tool";
	EXPECT_EQ(Installed("sample-tool"), staged.string());
	EXPECT_EQ(install_tag(staged), Tag());
	EXPECT_EQ(install_tag(fHome / "Sample/bin/sample-tool"), "(none)");
	EXPECT_NE(
		Log().find("\t\t\tUser desired not to place item in " + (fHome / "Sample/bin").string()),
		std::string::npos);
	// The link points at where the item lies.
	EXPECT_EQ(fs::read_symlink(UserFolder(B_USER_DESKBAR_DIRECTORY) / "sample-tool"), staged);
	ASSERT_FALSE(AskedQuestions().empty());
	EXPECT_TRUE(AskedQuestions()[0].isReplace);
	EXPECT_EQ(AskedQuestions()[0].existing, (fHome / "Sample/bin/sample-tool").string());
	EXPECT_TRUE(AskedQuestions()[0].offersApplyToAll);
}

TEST_F(InstallRunTest, EveryCollisionModeWithAndWithoutSavedFiles)
{
	struct Row {
		const char* mode;
		const char* answer;
		bool save;
		// Where the old entry ends, relative to home ("" when it is gone), and the line.
		const char* oldEntry;
		const char* line;
		bool placed;
	} const rows[] = {
		{ "Prompt", "Replace", false, "", "", true },
		{ "Prompt", "Replace", true, "Destination/Sample/Saved Files/sample-tool",
			"\t\t\tExisting file saved.\n", true },
		{ "Prompt", "Don't Replace", true, "Sample/bin/sample-tool", "", false },
		{ "Rename", "", false, "Sample/bin/sample-tool copy", "\t\t\tExisting file renamed\n",
			true },
		{ "Rename", "", true, "Sample/bin/sample-tool copy", "\t\t\tExisting file renamed\n",
			true },
		{ "Replace", "", false, "", "\t\t\tExisting file removed.\n", true },
		{ "Replace", "", true, "Destination/Sample/Saved Files/sample-tool",
			"\t\t\tExisting file saved.\n", true },
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(std::string(row.mode) + " " + row.answer + (row.save ? " saved" : ""));
		fs::remove_all(fHome / "Sample");
		fs::remove_all(fDestination);
		fs::create_directories(fDestination);
		write_text(fHome / "Sample/bin/sample-tool", "old\n");
		Select({ "sample-tool" });
		SetMeta("sample-tool", Package::kDestinationExists, row.mode);
		SetMeta("sample-tool", Package::kLink, Package::kNone);
		SetBool(Package::kOptSaveReplaced, row.save);
		fAnswerer = answer_with({ row.answer });
		ASSERT_EQ(Install(), kInstallFinished);

		bool placed = read_text(fHome / "Sample/bin/sample-tool")
			== read_text(data_folder("sample") / "payload/sample-tool");
		EXPECT_EQ(placed, row.placed);
		if (row.oldEntry[0] != '\0') {
			EXPECT_EQ(read_text(fHome / row.oldEntry), "old\n");
		}
		if (row.line[0] != '\0') {
			EXPECT_NE(Log().find(row.line), std::string::npos) << Log();
		}
		EXPECT_EQ(AskedQuestions().size(), strcmp(row.mode, "Prompt") == 0 ? 2u : 1u);
	}
}

TEST_F(InstallRunTest, ReplacingAFolderRemovesTheOldOneAndSavedNamesNeverCollide)
{
	// The old folder has contents; the new one must not land inside it.
	write_text(fDestination / "elsewhere/Sample Docs/old.txt", "old\n");
	BMessage folders;
	fConfig.FindMessage(Package::kCustomFolder, &folders);
	BMessage docs;
	docs.AddString(Package::kCustomFolderName, "Docs");
	docs.AddInt32(Package::kCustomRootDir, B_USER_DIRECTORY);
	docs.AddString(Package::kCustomSubDir, "Destination/elsewhere");
	docs.AddBool(Package::kCustomReplaceExisting, false);
	folders.AddMessage(Package::kCustomFolder, &docs);
	fConfig.ReplaceMessage(Package::kCustomFolder, &folders);
	Select({ "Sample Docs" });
	SetMeta("Sample Docs", Package::kDestination, "Docs");
	SetMeta("Sample Docs", Package::kDestinationExists, "Prompt");
	SetMeta("Sample Docs", Package::kLink, Package::kNone);
	fAnswerer = answer_with({ "Replace" });
	ASSERT_EQ(Install(), kInstallFinished);

	fs::path placed = fDestination / "elsewhere/Sample Docs";
	EXPECT_TRUE(fs::exists(placed / "Guide.txt"));
	EXPECT_FALSE(fs::exists(placed / "old.txt"));
	EXPECT_FALSE(fs::exists(placed / "Sample Docs"));
	EXPECT_NE(
		Log().find("\t\t\tRemoved existing folder " + placed.string() + "\n"), std::string::npos);
}

TEST_F(InstallRunTest, ApplyToAllRemembersItemsAndLinksApart)
{
	// Two items and their two links collide.
	write_text(fHome / "Sample/bin/sample-tool", "old\n");
	write_text(fHome / "Sample/bin/readme.txt", "old\n");
	fs::path deskbar = UserFolder(B_USER_DESKBAR_DIRECTORY);
	write_text(deskbar / "sample-tool", "old link\n");
	write_text(deskbar / "readme.txt", "old link\n");
	Select({ "sample-tool", "readme.txt" });
	SetMeta("readme.txt", Package::kDestination, "Tools");
	SetMeta("readme.txt", Package::kDestinationExists, "Prompt");
	SetMeta("readme.txt", Package::kLink, "User Deskbar");
	SetMeta("readme.txt", Package::kLinkExists, "Prompt");

	struct Row {
		const char* answer;
		bool replaced;
	} const rows[] = { { "Replace", true }, { "Don't Replace", false } };

	for (const Row& row : rows) {
		SCOPED_TRACE(row.answer);
		fs::remove_all(InstallationFolder());
		write_text(fHome / "Sample/bin/sample-tool", "old\n");
		write_text(fHome / "Sample/bin/readme.txt", "old\n");
		fs::remove(deskbar / "sample-tool");
		fs::remove(deskbar / "readme.txt");
		write_text(deskbar / "sample-tool", "old link\n");
		write_text(deskbar / "readme.txt", "old link\n");
		fAnswerer = answer_with({ row.answer }, true);
		ASSERT_EQ(Install(), kInstallFinished);

		// One item question, then each link asks (its first answer also ticks the box,
		// which then holds for the second link).
		std::vector<Asked> asked = AskedQuestions();
		int replaceQuestions = 0;
		for (const Asked& question : asked)
			replaceQuestions += question.isReplace ? 1 : 0;
		EXPECT_EQ(replaceQuestions, 2);
		EXPECT_EQ(read_text(fHome / "Sample/bin/readme.txt") != "old\n", row.replaced);
		EXPECT_EQ(read_text(fHome / "Sample/bin/sample-tool") != "old\n", row.replaced);
		EXPECT_EQ(fs::is_symlink(deskbar / "readme.txt"), row.replaced);
	}
}

TEST_F(InstallRunTest, CustomFolderIsReplacedOncePerRun)
{
	write_text(fHome / "Sample/bin/old-tool", "old\n");
	BMessage folders;
	fConfig.FindMessage(Package::kCustomFolder, &folders);
	BMessage tools;
	ASSERT_EQ(folders.FindMessage(Package::kCustomFolder, 1, &tools), B_OK);
	tools.ReplaceBool(Package::kCustomReplaceExisting, true);
	folders.ReplaceMessage(Package::kCustomFolder, 1, &tools);
	fConfig.ReplaceMessage(Package::kCustomFolder, &folders);
	Select({ "sample-tool", "readme.txt" });
	SetMeta("readme.txt", Package::kDestination, "Tools");

	for (int run = 0; run < 2; run++) {
		SCOPED_TRACE(run);
		write_text(fHome / "Sample/bin/old-tool", "old\n");
		ASSERT_EQ(Install(), kInstallFinished);
		EXPECT_FALSE(fs::exists(fHome / "Sample/bin/old-tool"));
		EXPECT_TRUE(fs::exists(fHome / "Sample/bin/sample-tool"));
		EXPECT_TRUE(fs::exists(fHome / "Sample/bin/readme.txt"));
	}
	// The package's own flag is kept for the next run.
	fConfig.FindMessage(Package::kCustomFolder, &folders);
	folders.FindMessage(Package::kCustomFolder, 1, &tools);
	EXPECT_TRUE(tools.GetBool(Package::kCustomReplaceExisting, false));
}

TEST_F(InstallRunTest, TagsMarkEveryEntryOfANestedFolderAndTheLinksWithExactBytes)
{
	Select({ "Sample Docs", "readme.txt" });
	ASSERT_EQ(Install(), kInstallFinished);

	fs::path docs = InstallationFolder() / "Sample Docs";
	for (const fs::path& entry : { docs, docs / "Guide.txt", docs / "deep", docs / "deep/Notes.txt",
			 docs / "latest", fHome / "Desktop/Sample Docs" }) {
		EXPECT_EQ(install_tag(entry), Tag()) << entry;
	}
	// The attribute is the tag's bytes and nothing more, as getfattr shows it.
	char value[300];
	ssize_t size =
		getxattr((docs / "deep/Notes.txt").c_str(), "user.InstallBy", value, sizeof(value));
	ASSERT_EQ(size, (ssize_t)Tag().size());
	EXPECT_EQ(std::string(value, size), Tag());
	// Nothing else is marked: the installation folder, its log, the deinstaller, and the item
	// the package keeps.
	for (const fs::path& entry : { InstallationFolder(), InstallationFolder() / "Log",
			 InstallationFolder() / "Sample 2.1 Deinstaller", InstallationFolder() / "readme.txt" })
		EXPECT_EQ(install_tag(entry), "(none)") << entry;
}

TEST_F(InstallRunTest, DeinstallerCarriesTheReducedConfiguration)
{
	ASSERT_EQ(Install(), kInstallFinished);
	BMessage reduced;
	ASSERT_EQ(ReadPackageConfiguration(
				  (InstallationFolder() / "Sample 2.1 Deinstaller").c_str(), reduced),
		B_OK);
	BMessage expected;
	BuildDeinstallerConfiguration(fConfig, expected);
	EXPECT_EQ(reduced.CountNames(B_ANY_TYPE), expected.CountNames(B_ANY_TYPE));
	EXPECT_STREQ(reduced.GetString(Package::kAppName), "Sample");
	EXPECT_STREQ(reduced.GetString(Package::kSupportEmail), "help@sample.example");
	EXPECT_TRUE(reduced.GetBool(Package::kEditProfile, false));
	EXPECT_STREQ(reduced.GetString(Package::kEditProfileTag), "Sample_Profile");
	EXPECT_FALSE(reduced.HasString(Package::kEditProfileContents));
	// The program itself is still the one the package carries.
	EXPECT_TRUE(fs::status(InstallationFolder() / "Sample 2.1 Deinstaller").permissions()
		!= fs::perms::none);
	// The size the window adds for the deinstaller is the size of what was written.
	EXPECT_EQ(fConfig.GetInt32(Package::kDeinstallerSize, -1),
		LibEntrySize((InstallationFolder() / "Sample 2.1 Deinstaller").c_str(), true));
}

TEST_F(InstallRunTest, RequirementsThatGoBackCreateNothingAndTheRunCanBeStartedAgain)
{
	SelectAll();
	SetBool(Package::kReqDiskSpaceNeeded, true);
	SetBool(Package::kReqDiskSpaceRequired, true);
	BMessage amount;
	amount.AddDouble(Package::kValue, 4.0 * 1024 * 1024);
	fConfig.ReplaceMessage(Package::kReqDiskSpaceAmount, &amount);

	OnSecondVolume("size=2m", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::path destination = mount / "Destination";
		fs::create_directories(destination);
		SetDestination(destination);
		report.Check(fConfig.Action() == kInstallRequirementsGoBack, "the check went back");
		report.Check(!fs::exists(destination / "Sample"), "nothing was created");
		std::vector<std::string> asked = AskedTexts();
		report.Check(asked.size() == 1
				&& asked[0].rfind("Installation requires 4.0 MB of disk space, and the "
								  "destination volume 'volume' only has ",
					   0)
					== 0,
			"the disk message: " + (asked.empty() ? std::string() : asked[0]));

		// The user chooses again: the same object runs from the start.
		SetBool(Package::kReqDiskSpaceNeeded, false);
		report.Check(fConfig.Action() == kInstallFinished, "the second run installed");
		report.Check(fs::exists(destination / "Sample/readme.txt"), "the items are there");
	});
}

TEST_F(InstallRunTest, DiskSpaceVerdictsOnAVolumeOfKnownSize)
{
	Select({ "readme.txt" });
	OnSecondVolume("size=1m", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::path destination = mount / "Destination";
		fs::create_directories(destination);
		SetDestination(destination);
		BMessage instructions;
		fConfig.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 2, &item);

		struct Row {
			int32 itemSize;
			bool needed;
			bool required;
			double amount;
			int32 verdict;
			const char* start;
		} const rows[] = {
			// The items' total is always checked.
			{ 10000000, false, false, 0, kRequirementsGoBack,
				"Installation requires 9.5 MB of disk space, and the destination volume 'volume' "
				"only has " },
			{ 10, true, true, 5.0 * 1048576, kRequirementsGoBack,
				"Installation requires 5.0 MB of disk space" },
			// A suggested amount only warns, and ends the check there: the missing library
			// after it is not looked for.
			{ 10, true, false, 5.0 * 1048576, kRequirementsGoOn,
				"Installation suggests 5.0 MB of disk space" },
			{ 10, true, true, 1024, kRequirementsEndInstaller, "The shared library" },
		};
		BMessage libraries;
		libraries.AddBool(Package::kReqSharedLibraryRequired, true);
		libraries.AddString(Package::kReqSharedLibraryName, "libsample-absent.so.1");
		fConfig.ReplaceMessage(Package::kReqSharedLibrary, &libraries);
		for (const Row& row : rows) {
			ForgetQuestions();
			item.ReplaceInt32(Package::kFileSize, 0, row.itemSize);
			instructions.ReplaceMessage(Package::kInstallFile, 2, &item);
			fConfig.ReplaceMessage(Package::kInstallInstructions, &instructions);
			SetBool(Package::kReqDiskSpaceNeeded, row.needed);
			SetBool(Package::kReqDiskSpaceRequired, row.required);
			BMessage amount;
			amount.AddDouble(Package::kValue, row.amount);
			fConfig.ReplaceMessage(Package::kReqDiskSpaceAmount, &amount);
			int32 verdict = fConfig.CheckSystemResources();
			std::vector<std::string> asked = AskedTexts();
			report.Check(verdict == row.verdict,
				std::string(row.start) + ": verdict " + std::to_string(verdict));
			report.Check(asked.size() == 1 && asked[0].rfind(row.start, 0) == 0,
				std::string(row.start) + ": asked "
					+ (asked.empty() ? std::string("nothing") : asked[0]));
		}
	});
}

TEST_F(InstallRunTest, StandardFoldersStayOnTheBootVolumeAndCustomOnesFollowTheChoice)
{
	Select({ "sample-tool" });
	OnSecondVolume("size=8m", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::path destination = mount / "Destination";
		fs::create_directories(destination);
		fs::create_directories(mount / "home");
		SetDestination(destination);
		report.Check(fConfig.Action() == kInstallFinished, "installed");
		// The custom folder lies under the chosen volume's home folder.
		fs::path tool = mount / "home/Sample/bin/sample-tool";
		report.Check(fs::exists(tool), "the tool is on the chosen volume");
		report.Check(!fs::exists(fHome / "Sample/bin/sample-tool"), "not on the boot volume");
		// The link's standard folder is the boot volume's.
		fs::path link = UserFolder(B_USER_DESKBAR_DIRECTORY) / "sample-tool";
		report.Check(fs::is_symlink(link) && fs::read_symlink(link) == tool,
			"the link is in the boot volume's deskbar folder");
		std::string log = read_text(destination / "Sample/Log");
		report.Check(log.find("\tFree Disk Space : 8.0 MB\n") != std::string::npos
				|| log.find("\tFree Disk Space : 7.") != std::string::npos,
			"the log shows the chosen volume's space: " + log);
	});
}

TEST_F(InstallRunTest, FreeSpaceAboveFourGigabytesIsComparedAndShownWhole)
{
	Select({ "readme.txt" });
	SetBool(Package::kReqDiskSpaceNeeded, true);
	SetBool(Package::kReqDiskSpaceRequired, false);
	BMessage amount;
	amount.AddDouble(Package::kValue, 2000.0 * 1024 * 1024);
	fConfig.ReplaceMessage(Package::kReqDiskSpaceAmount, &amount);
	// A tmpfs takes no memory for space it does not use.
	OnSecondVolume("size=6g", [&](const fs::path& mount, file_test::ChildReport& report) {
		fs::path destination = mount / "Destination";
		fs::create_directories(destination);
		SetDestination(destination);
		report.Check(fConfig.Action() == kInstallFinished, "installed");
		report.Check(AskedTexts().size() == 1, "no requirement message, only the notice");
		std::string log = read_text(destination / "Sample/Log");
		report.Check(log.find("\tFree Disk Space : 6144.0 MB\n") != std::string::npos,
			"the whole free space is shown: " + log);
	});
}

TEST_F(InstallRunTest, RequiredMemoryTheMachineLacksEndsTheInstallerWithoutInstalling)
{
	SelectAll();
	SetBool(Package::kReqRamNeeded, true);
	SetBool(Package::kReqRamRequired, true);
	fConfig.ReplaceInt32(Package::kReqRamAmount, INT32_MAX);
	EXPECT_EQ(Install(), kInstallFinished);
	EXPECT_FALSE(fs::exists(InstallationFolder()));
	ASSERT_EQ(AskedTexts().size(), 1u);
	EXPECT_NE(AskedTexts()[0].find("Installation can not continue."), std::string::npos);
}

TEST_F(InstallRunTest, DamagedPayloadInstallsNothingOfThatItemAndSaysSo)
{
	// Flip bytes in the middle of the folder's archive (its file data, past the headers).
	{
		BFile file(fPackage.c_str(), B_READ_WRITE);
		BResources resources(&file);
		size_t size = 0;
		const void* data = resources.LoadResource(Package::kRawType, 2101, &size);
		ASSERT_NE(data, nullptr);
		std::string archive(static_cast<const char*>(data), size);
		size_t guide = archive.find("Guide.txt");
		ASSERT_NE(guide, std::string::npos);
		for (size_t i = guide + 40; i < guide + 60 && i < archive.size(); i++)
			archive[i] ^= 0x5a;
		ASSERT_EQ(resources.AddResource(
					  Package::kRawType, 2101, archive.data(), archive.size(), "Sample Docs"),
			B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
	}
	SelectAll();
	testing::internal::CaptureStderr();
	ASSERT_EQ(Install(), kInstallFinished);
	testing::internal::GetCapturedStderr();

	EXPECT_FALSE(exists_entry(InstallationFolder() / "Sample Docs"));
	// Nothing of the expansion is left in the installation folder.
	for (const fs::directory_entry& entry : fs::directory_iterator(InstallationFolder()))
		EXPECT_EQ(entry.path().filename().string().find("extracting"), std::string::npos);
	EXPECT_FALSE(exists_entry(fHome / "Desktop/Sample Docs"));
	EXPECT_NE(Log().find("\t\tInstalling : Sample Docs\n\t\t\tNot installed: the item could not "
						 "be extracted from the installer (its archive is "
						 "damaged).\n\t\tInstalling : readme.txt\n"),
		std::string::npos)
		<< Log();
	EXPECT_EQ(fConfig.FailedCount(), 1);
	EXPECT_TRUE(fs::exists(InstallationFolder() / "readme.txt"));
	ASSERT_FALSE(AskedTexts().empty());
	EXPECT_EQ(AskedTexts().back(),
		"Installation successfully completed.\n\n1 item could not be installed; the install log "
		"in the installation folder has the details.\n\nThank you for trying the sample.");
}

TEST_F(InstallRunTest, ItemNamesThatAreNotPlainNamesAreRefused)
{
	const char* const names[] = { "/build/..", "/build/.", "/build/dir/", "" };
	for (const char* name : names) {
		SCOPED_TRACE(name);
		fs::remove_all(InstallationFolder());
		BMessage instructions;
		fConfig.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 2, &item);
		item.ReplaceString(Package::kFileName, name);
		item.RemoveName(Package::kInstallToSystem);
		item.AddBool(Package::kInstallToSystem, true);
		instructions.ReplaceMessage(Package::kInstallFile, 2, &item);
		fConfig.ReplaceMessage(Package::kInstallInstructions, &instructions);
		ASSERT_EQ(Install(), kInstallFinished);
		EXPECT_EQ(fConfig.FailedCount(), 1);
		EXPECT_NE(Log().find("Not installed: the package gives it no usable file name."),
			std::string::npos);
		EXPECT_TRUE(fs::is_directory(fDestination));
		EXPECT_TRUE(fs::is_directory(InstallationFolder()));
	}
}

TEST_F(InstallRunTest, AutoLaunchRunsProgramsDirectlyAndOtherFilesThroughTheShell)
{
	Select({ "sample-tool", "setup.sh" });
	SetMeta("sample-tool", Package::kAutoLaunch, Package::kTrue);
	fAnswerer = answer_with({ "Run" });
	testing::internal::CaptureStderr();
	ASSERT_EQ(Install(), kInstallFinished);
	std::string errors = testing::internal::GetCapturedStderr();

	// The shell script ran to its end before the notice with its exit value.
	EXPECT_EQ(read_text(fHome / "setup-ran"), "setup script ran\n");
	fs::path script = InstallationFolder() / "setup.sh";
	EXPECT_NE(errors.find("(/bin/sh \"" + script.string() + "\")\n"), std::string::npos) << errors;
	std::vector<std::string> asked = AskedTexts();
	ASSERT_EQ(asked.size(), 4u);
	EXPECT_EQ(asked[0], "Do you wish to run 'sample-tool' now?");
	EXPECT_EQ(asked[2], "is a script file 0");
	// The program (a script with its own interpreter line) was started as a program; it
	// runs by itself.
	for (int i = 0; i < 100 && !fs::exists(fHome / "sample-tool-ran"); i++)
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
	EXPECT_EQ(read_text(fHome / "sample-tool-ran"), "sample tool ran\n");
}

TEST_F(InstallRunTest, StartUpFolderGetsItsBootScriptSectionAndTheSessionRunsIt)
{
	SetBool(Package::kOptCreateStartup, true);
	ASSERT_EQ(Install(), kInstallFinished);
	fs::path boot = UserFolder(B_USER_BOOT_DIRECTORY);
	fs::path folder = boot / "Sample StartUp";
	EXPECT_TRUE(fs::is_directory(folder));
	EXPECT_NE(
		Log().find("\tCreating StartUp folder in " + folder.string() + ".\n"), std::string::npos);
	LibString section;
	InstallConfig::BuildStartupString(folder.c_str(), section);
	EXPECT_NE(read_text(boot / "UserBootscript")
				  .find("#BEGIN_StartUpFolder\n" + std::string(section) + "\n#END_StartUpFolder\n"),
		std::string::npos);
	EXPECT_TRUE(
		fs::exists(UserFolder(B_USER_CONFIG_DIRECTORY) / "autostart" / kBootScriptAutostartName));

	// Installing again replaces the section rather than adding a second one.
	ASSERT_EQ(Install(), kInstallFinished);
	std::string script = read_text(boot / "UserBootscript");
	EXPECT_EQ(script.find("#BEGIN_StartUpFolder"), script.rfind("#BEGIN_StartUpFolder"));
}

TEST_F(InstallRunTest, StoppingTheRunKeepsWhatWasDoneAndSendsNoCompletion)
{
	SelectAll();
	// The offer to run setup.sh is never answered: the user stops the installer meanwhile.
	fAnswerer = [](const Asked&) {
		// A kit wait, as a real alert's is: the stop takes effect there.
		while (true)
			snooze(10000);
		return LibAlertAnswer();
	};
	fConfig.Go("install", new BMessenger(fRecorder), 10, false);
	bool asked = false;
	for (int i = 0; i < 500 && !asked; i++) {
		asked = !AskedQuestions().empty();
		if (!asked)
			usleep(10000);
	}
	ASSERT_TRUE(asked);
	EXPECT_EQ(fConfig.Kill(), B_OK);
	usleep(200000);
	EXPECT_EQ(fRecorder->WaitForCompletion(std::chrono::milliseconds(100)), -1000);

	// Nothing is rolled back, and the log says what was done up to the stop.
	EXPECT_TRUE(fs::exists(fHome / "Sample/bin/sample-tool"));
	EXPECT_EQ(install_tag(fHome / "Sample/bin/sample-tool"), Tag());
	EXPECT_NE(Log().find("\t\tInstalling : setup.sh\n"), std::string::npos);
	EXPECT_EQ(Log().find("Installation Complete"), std::string::npos);
}

TEST_F(InstallRunTest, CompletionOffersARestartAndRemembersTheAnswer)
{
	SetBool(Package::kCompleteRestart, true);
	fAnswerer = answer_with({ "Restart Now" });
	ASSERT_EQ(Install(), kInstallFinished);
	EXPECT_TRUE(fConfig.RestartRequested());
	ASSERT_EQ(AskedQuestions().size(), 1u);
	EXPECT_EQ(AskedQuestions()[0].text,
		"Installation successfully completed.\n\nThank you for trying the sample.\n\nThe system "
		"needs to be restarted for the installation to take effect.");
	EXPECT_EQ(
		AskedQuestions()[0].buttons, (std::vector<std::string> { "Restart Later", "Restart Now" }));
}

TEST_F(InstallRunTest, FolderFailuresReturnOneAndTouchNothing)
{
	// A created-folder name that would make the chosen folder itself the installation folder.
	fConfig.ReplaceString(Package::kOptCreatedFolder, "..");
	write_text(fDestination / "mine.txt", "mine\n");
	EXPECT_EQ(Install(), kInstallFolderFailed);
	EXPECT_EQ(AskedTexts(),
		std::vector<std::string> {
			"Unable to create installation folder '..'. Unable to install files." });
	EXPECT_TRUE(fs::exists(fDestination / "mine.txt"));

	fConfig.ReplaceString(Package::kOptCreatedFolder, "Sample");
	fs::remove_all(fDestination);
	EXPECT_EQ(Install(), kInstallFolderFailed);
	EXPECT_EQ(AskedTexts(),
		std::vector<std::string> {
			"Failure to find selected installation folder. Unable to install files." });
}

TEST_F(InstallRunTest, AnEarlierInstallationGoesToTheTrashAndLoggingCanBeOff)
{
	write_text(InstallationFolder() / "old.txt", "old\n");
	SetBool(Package::kOptLog, false);
	ASSERT_EQ(Install(), kInstallFinished);
	EXPECT_FALSE(fs::exists(InstallationFolder() / "old.txt"));
	EXPECT_FALSE(fs::exists(InstallationFolder() / "Log"));
	EXPECT_EQ(read_text(UserFolder(B_TRASH_DIRECTORY) / "Sample/old.txt"), "old\n");
}

} // namespace

// A run stopped at any instant must leave nothing outside the installation folder that the
// deinstaller cannot find: the folders it makes for places and the links it places carry the
// tag from the start, while folders the user had keep none, and nothing is left beside them.
TEST_F(InstallRunTest, FoldersTheRunMakesAndItsLinksAreTaggedAndThoseThatWereThereAreNot)
{
	fs::create_directories(fHome / "Sample");
	fs::create_directories(fHome / "Desktop");
	Select({ "sample-tool", "Sample Docs" });
	ASSERT_EQ(Install(), kInstallFinished);

	fs::path deskbar = UserFolder(B_USER_DESKBAR_DIRECTORY);
	for (const fs::path& made :
		{ fHome / "Sample/bin", deskbar, deskbar / "sample-tool", fHome / "Desktop/Sample Docs" }) {
		EXPECT_EQ(install_tag(made), Tag()) << made;
	}
	for (const fs::path& kept : { fHome / "Sample", fHome / "Desktop" })
		EXPECT_EQ(install_tag(kept), "(none)") << kept;

	// Only the names the run means to leave: no private names of folders or links made on
	// the way.
	std::set<std::string> names;
	for (const fs::directory_entry& entry : fs::directory_iterator(InstallationFolder()))
		names.insert(entry.path().filename());
	EXPECT_EQ(names, (std::set<std::string> { "Log", "Sample 2.1 Deinstaller", "Sample Docs" }));
	for (const fs::path& folder : { fHome / "Sample/bin", deskbar, fHome / "Desktop" }) {
		for (const fs::directory_entry& entry : fs::directory_iterator(folder))
			EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
	}
}

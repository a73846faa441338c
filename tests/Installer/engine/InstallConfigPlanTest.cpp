// The dry run's description: places resolved as the run resolves them, every collision with
// what its mode (and the answer to "Prompt") would do, a custom folder replaced once, what an
// earlier item leaves for a later one, names the run refuses, and not one change on disk.
#include "ConfigTestSupport.h"

#include "../../Utilities/FileTestHelpers.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>

using namespace config_test;

namespace {

BMessage
item(const char* name, const char* destination, const char* destinationExists,
	const char* link = "None", const char* linkExists = "Replace")
{
	bool selected = true;
	BMessage record = make_item(name, 1, nullptr, &selected);
	BMessage meta;
	meta.AddString(Package::kDestination, destination);
	meta.AddString(Package::kDestinationExists, destinationExists);
	meta.AddString(Package::kLink, link);
	meta.AddString(Package::kLinkExists, linkExists);
	meta.AddString(Package::kDeinstallable, "True");
	record.AddMessage(Package::kInstallMeta, &meta);
	return record;
}

class InstallConfigPlanTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		fs::create_directories(fHome / "Destination");
		entry_ref destination;
		ASSERT_EQ(get_ref_for_path((fHome / "Destination").c_str(), &destination), B_OK);
		fConfig.SetDestination(destination);
		fConfig.SetPackagePath((fHome / "no package").c_str());
		fConfig.AddString(Package::kOptCreatedFolder, "App");
		fConfig.AddBool(Package::kOptSaveReplaced, false);
		fConfig.AddBool(Package::kEditProfile, true);
		fConfig.AddString(Package::kEditProfileTag, "App_Profile");
		BMessage folders;
		BMessage tools;
		tools.AddString(Package::kCustomFolderName, "Tools");
		tools.AddInt32(Package::kCustomRootDir, B_USER_DIRECTORY);
		tools.AddString(Package::kCustomSubDir, "App/bin");
		tools.AddBool(Package::kCustomReplaceExisting, true);
		folders.AddMessage(Package::kCustomFolder, &tools);
		fConfig.AddMessage(Package::kCustomFolder, &folders);

		// The old tools folder goes as a whole, so its "helper" is in nobody's way; the
		// user's library and Deskbar entries are.
		write_text(fHome / "App/bin/helper", "old\n");
		write_text(fHome / ".local/lib/libapp.so", "the user's\n");
		write_text(fHome / ".local/share/deskbar/helper", "the user's\n");
		write_text(fHome / ".local/share/deskbar/helper copy", "the user's\n");
		set_items(fConfig,
			{ item("payload/tool", "Tools", "Prompt"),
				item("payload/helper", "Tools", "Prompt", "User Deskbar", "Rename"),
				item("payload/libapp.so", "User Libraries", "Prompt", "User Libraries"),
				item("payload/docs", "User Selected", "Replace", "User Selected"),
				item("payload/extra", "Nowhere", "Replace"), item("../..", "User Selected", ""),
				item("other/tool", "User Selected", "") });
	}

	std::string Describe(bool replaceWhenAsked)
	{
		std::string text;
		EXPECT_TRUE(fConfig.DescribeRun(replaceWhenAsked, false, text));
		return text;
	}

	ScopedSandbox fSandbox;
	fs::path fHome;
	AlertRecorder fAlerts;
	InstallConfig fConfig;
};

} // namespace

TEST_F(InstallConfigPlanTest, TellsWhatTheRunWouldDoAndChangesNothing)
{
	const std::string home = fHome.string();
	const std::string app = home + "/Destination/App";
	std::map<std::string, file_test::EntryState> before = file_test::snapshot(home);

	const std::string kept = Describe(false);
	EXPECT_EQ(kept,
		"Installation folder: " + app + "\nItems (7 selected):\n" + "  tool\n    to: " + home
			+ "/App/bin/tool\n    the folder " + home
			+ "/App/bin there now would be removed and made anew\n    link: none\n"
			+ "  helper\n    to: " + home + "/App/bin/helper\n    link: " + home
			+ "/.local/share/deskbar/helper\n    in the way: " + home
			+ "/.local/share/deskbar/helper; it would be renamed to \"helper copy 1\"\n"
			+ "  libapp.so\n    to: " + app + "/libapp.so\n    in the way: " + home
			+ "/.local/lib/libapp.so; it would be kept (the answer is \"Don't Replace\"), and the "
			  "item left in the installation folder\n    link: "
			+ home + "/.local/lib/libapp.so\n    in the way: " + home
			+ "/.local/lib/libapp.so; it would be removed\n" + "  docs\n    to: " + app
			+ "/docs\n    link: none (the item itself lies in " + app + ")\n"
			+ "  extra\n    to: " + app + "/extra\n    no folder named \"Nowhere\" can be "
			+ "found; it would stay in the installation folder\n    link: none\n"
			+ "  ..\n    not installed: the package gives it no usable name\n"
			+ "  tool\n    not installed: the installation folder already holds \"tool\"\n"
			+ "Script sections:\n  .profile (" + home + "/.profile): section \"App_Profile\" would "
			+ "be added\n");

	// Answered "Replace", the library's place is freed, and with saving on, what is in the
	// way goes into Saved Files.
	fConfig.ReplaceBool(Package::kOptSaveReplaced, true);
	const std::string saved = Describe(true);
	EXPECT_NE(saved.find("  entries in the way would be saved in \"Saved Files\" there\n"),
		std::string::npos);
	EXPECT_NE(saved.find("/App/bin there now would be saved in \"Saved Files\" and made anew\n"),
		std::string::npos);
	EXPECT_NE(
		saved.find("  libapp.so\n    to: " + home + "/.local/lib/libapp.so\n    in the way: " + home
			+ "/.local/lib/libapp.so; it would be saved in \"Saved Files\" (the answer is "
			  "\"Replace\")\n    link: none (the item itself lies in "),
		std::string::npos)
		<< saved;

	EXPECT_TRUE(file_test::snapshot(home) == before);
	EXPECT_TRUE(fAlerts.Texts().empty());
}

TEST_F(InstallConfigPlanTest, ADestinationThatCannotBeUsedIsTheRunsFailure)
{
	std::string text;
	entry_ref missing;
	ASSERT_EQ(get_ref_for_path((fHome / "Missing").c_str(), &missing), B_OK);
	fConfig.SetDestination(missing);
	EXPECT_FALSE(fConfig.DescribeRun(false, false, text));
	EXPECT_EQ(text, "The destination folder cannot be opened: nothing would be installed.\n");
	// The folder the installer would make first is said to be made.
	EXPECT_TRUE(fConfig.DescribeRun(false, true, text));
	EXPECT_EQ(text.rfind("Destination folder: " + (fHome / "Missing").string()
					  + ", which would be made\nInstallation folder: ",
				  0),
		0u)
		<< text;

	fConfig.ReplaceString(Package::kOptCreatedFolder, "..");
	EXPECT_FALSE(fConfig.DescribeRun(false, true, text));
	EXPECT_EQ(text, "The installation folder '..' cannot be made: nothing would be installed.\n");
}

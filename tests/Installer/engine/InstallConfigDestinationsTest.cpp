// Destination names to folders, and collisions settled before a placement.
#include "ConfigTestSupport.h"

#include "SavedEntry.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>
#include <Volume.h>

using namespace config_test;

namespace {

BMessage
custom_folder(const char* name, int32 root, const char* subFolder, bool replace)
{
	BMessage folder;
	folder.AddString(Package::kCustomFolderName, name);
	folder.AddInt32(Package::kCustomRootDir, root);
	folder.AddString(Package::kCustomSubDir, subFolder);
	folder.AddBool(Package::kCustomReplaceExisting, replace);
	return folder;
}

class InstallConfigDestinationsTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		BEntry(fHome.c_str()).GetVolume(&fVolume);
		fSaved = fDir.Path() / "Saved Files";
		fs::create_directories(fSaved);
		fConfig.AddBool(Package::kOptLog, true);
		fConfig.AddBool(Package::kOptSaveReplaced, false);
	}

	void Save(bool save) { fConfig.ReplaceBool(Package::kOptSaveReplaced, save); }

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	fs::path fHome;
	fs::path fSaved;
	BVolume fVolume;
	AlertRecorder fAlerts;
	InstallConfig fConfig;
};

TEST_F(InstallConfigDestinationsTest, CustomFoldersAreMadeAndReplacedOnce)
{
	BMessage folders;
	BMessage tools = custom_folder("Tools", B_USER_DIRECTORY, "Sample/bin", true);
	folders.AddMessage(Package::kCustomFolder, &tools);
	write_text(fHome / "Sample/bin/old-tool", "old\n");

	for (bool save : { false, true }) {
		SCOPED_TRACE(save ? "saved" : "removed");
		Save(save);
		write_text(fHome / "Sample/bin/old-tool", "old\n");
		BMessage copy(folders);
		LibString path;
		ASSERT_TRUE(fConfig.GetNewPath("Tools", copy, fVolume, fSaved.c_str(), path));
		EXPECT_EQ(path, (fHome / "Sample/bin").c_str());
		EXPECT_TRUE(fs::is_directory(fHome / "Sample/bin"));
		EXPECT_FALSE(fs::exists(fHome / "Sample/bin/old-tool"));
		EXPECT_EQ(fs::exists(fSaved / "bin/old-tool"), save);
		// The saved folder records where it was, so that the deinstaller can put it back.
		LibString original;
		EXPECT_EQ(ReadOriginalPath((fSaved / "bin").c_str(), original), save);
		if (save) {
			EXPECT_EQ(original, (fHome / "Sample/bin").c_str());
		}

		// The copy has used its replacement; the next item finds the new folder.
		write_text(fHome / "Sample/bin/new-tool", "new\n");
		ASSERT_TRUE(fConfig.GetNewPath("Tools", copy, fVolume, fSaved.c_str(), path));
		EXPECT_TRUE(fs::exists(fHome / "Sample/bin/new-tool"));
		BMessage record;
		copy.FindMessage(Package::kCustomFolder, 0, &record);
		EXPECT_FALSE(record.GetBool(Package::kCustomReplaceExisting, true));
		folders.FindMessage(Package::kCustomFolder, 0, &record);
		EXPECT_TRUE(record.GetBool(Package::kCustomReplaceExisting, false));
		fs::remove_all(fSaved / "bin");
	}
}

TEST_F(InstallConfigDestinationsTest, NamesThatDenoteNoSafeFolderResolveToNothing)
{
	write_text(fHome / "keep.txt", "mine\n");
	BMessage folders;
	BMessage climbing = custom_folder("Climbing", B_USER_DIRECTORY, "a/../../..", true);
	BMessage whole = custom_folder("Whole", B_USER_DIRECTORY, "", true);
	folders.AddMessage(Package::kCustomFolder, &climbing);
	folders.AddMessage(Package::kCustomFolder, &whole);

	LibString path;
	EXPECT_FALSE(fConfig.GetNewPath("Climbing", folders, fVolume, "", path));
	EXPECT_STREQ(path, "");
	EXPECT_FALSE(fConfig.GetNewPath("Nowhere", folders, fVolume, "", path));
	EXPECT_FALSE(fConfig.GetNewPath("user libraries", folders, fVolume, "", path));
	// A custom folder that is a standard folder itself is never replaced.
	EXPECT_TRUE(fConfig.GetNewPath("Whole", folders, fVolume, "", path));
	EXPECT_EQ(path, fHome.c_str());
	EXPECT_EQ(read_text(fHome / "keep.txt"), "mine\n");

	EXPECT_TRUE(fConfig.GetNewPath("User Libraries", folders, fVolume, "", path));
	EXPECT_EQ(path, (fHome / ".local/lib").c_str());
}

TEST_F(InstallConfigDestinationsTest, CollisionsBySettlingMode)
{
	fs::path folder = fDir.Path() / "target";
	fs::path item = fDir.Path() / "incoming/notes";
	write_text(item, "new\n");

	struct Row {
		const char* mode;
		bool save;
		// What holds the old entry afterwards, relative to the test folder; "" when it is gone.
		const char* oldEntry;
	} const rows[] = {
		{ "Rename", false, "target/notes copy 1" },
		{ "Replace", false, "" },
		{ "Merge", true, "Saved Files/notes copy" },
		{ "Replace", true, "Saved Files/notes copy" },
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(row.mode);
		fs::remove_all(folder);
		fs::remove_all(fSaved);
		// An earlier saved entry and an earlier renamed one of the same name are kept.
		write_text(fSaved / "notes", "saved before\n");
		write_text(folder / "notes copy", "renamed before\n");
		write_text(folder / "notes/inside.txt", "old\n");
		Save(row.save);
		bool askAgain = true;
		bool lastAnswer = true;
		EXPECT_TRUE(fConfig.ReplaceControl(folder.c_str(), BPath(item.c_str()), row.mode, askAgain,
			lastAnswer, BPath(fSaved.c_str())));
		EXPECT_FALSE(fs::exists(folder / "notes"));
		if (row.oldEntry[0] != '\0') {
			EXPECT_EQ(read_text(fDir.Path() / row.oldEntry / "inside.txt"), "old\n");
			LibString original;
			EXPECT_EQ(ReadOriginalPath((fDir.Path() / row.oldEntry).c_str(), original), row.save);
			if (row.save) {
				EXPECT_EQ(original, (folder / "notes").c_str());
			}
		}
		EXPECT_EQ(read_text(fSaved / "notes"), "saved before\n");
		EXPECT_EQ(read_text(folder / "notes copy"), "renamed before\n");
	}
	EXPECT_TRUE(fAlerts.Texts().empty());
}

TEST_F(InstallConfigDestinationsTest, PromptAsksUntilTheAnswerAppliesToAll)
{
	fs::path folder = fDir.Path() / "target";
	fs::path item = fDir.Path() / "incoming/notes";
	write_text(item, "new\n");
	bool askAgain = true;
	bool lastAnswer = true;

	// Nothing there: no question, placement allowed.
	EXPECT_TRUE(fConfig.ReplaceControl(
		folder.c_str(), BPath(item.c_str()), "Prompt", askAgain, lastAnswer, BPath()));
	EXPECT_TRUE(fAlerts.Texts().empty());

	write_text(folder / "notes", "old\n");
	fAlerts.Answer({ "Don't Replace" }, true);
	EXPECT_FALSE(fConfig.ReplaceControl(
		folder.c_str(), BPath(item.c_str()), "Prompt", askAgain, lastAnswer, BPath()));
	EXPECT_FALSE(askAgain);
	EXPECT_FALSE(lastAnswer);
	// The remembered answer settles the next collision without asking.
	fAlerts.Answer({ "Replace" });
	EXPECT_FALSE(fConfig.ReplaceControl(
		folder.c_str(), BPath(item.c_str()), "Prompt", askAgain, lastAnswer, BPath()));
	EXPECT_EQ(fAlerts.Texts().size(), 1u);
	EXPECT_EQ(read_text(folder / "notes"), "old\n");
	// Replace without saving leaves the old entry for the placement to replace.
	askAgain = true;
	EXPECT_TRUE(fConfig.ReplaceControl(
		folder.c_str(), BPath(item.c_str()), "Prompt", askAgain, lastAnswer, BPath()));
	EXPECT_TRUE(askAgain);
	EXPECT_EQ(read_text(folder / "notes"), "old\n");
}

} // namespace

// DeinstallRemoval: what a removal moves, keeps and asks, in the Trash and in a chosen
// folder; that a failed move leaves its item listed; and that the installation's script
// sections go while untagged scripts stay untouched.
#include "DeinstallRemoval.h"

#include <FindDirectory.h>

#include "../Utilities/FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace file_test;

namespace {

std::vector<DeinstallItem>
items_for(const std::vector<std::string>& paths)
{
	std::vector<DeinstallItem> items(paths.size());
	for (size_t i = 0; i < paths.size(); i++)
		items[i].path = paths[i].c_str();
	return items;
}

std::string
boot_trash()
{
	BPath trash;
	find_directory(B_TRASH_DIRECTORY, &trash, true);
	return trash.Path();
}

// Counts the questions and gives one answer to all of them.
struct Asker {
	ReplaceAnswer answer;
	int asked = 0;

	ReplaceQuestion Question()
	{
		return [this](const BPath&, const BPath&) {
			asked++;
			return answer;
		};
	}
};

class DeinstallRemovalTest : public testing::Test {
protected:
	std::string Child(const std::string& name) const { return fTemp.Child(name); }

	ScopedSandbox fSandbox;
	ScopedTempDir fTemp;
};

} // namespace

TEST_F(DeinstallRemovalTest, MovesFilesThenTheFoldersTheyEmptiedIntoTheTrash)
{
	fs::create_directories(Child("App/lib"));
	write_file(Child("App/tool"), "data");
	write_file(Child("App/lib/libx.so"), "data");
	// In the order a search gives: each folder before what it holds.
	std::vector<DeinstallItem> items =
		items_for({ Child("App"), Child("App/tool"), Child("App/lib"), Child("App/lib/libx.so") });

	DeinstallRemoval removal;
	EXPECT_EQ(std::string(removal.Destination()), boot_trash());
	EXPECT_EQ(removal.Remove(items).moved, 4);
	EXPECT_FALSE(exists(Child("App")));
	const std::string trash = boot_trash();
	for (const char* leaf : { "App", "tool", "lib", "libx.so" }) {
		EXPECT_TRUE(exists(trash + "/" + leaf)) << leaf;
		EXPECT_TRUE(exists(trash + "/../info/" + leaf + ".trashinfo")) << leaf;
	}
}

TEST_F(DeinstallRemovalTest, KeepsAFolderThatStillHoldsAnUnselectedEntry)
{
	fs::create_directories(Child("App"));
	write_file(Child("App/settings"), "mine");
	write_file(Child("App/tool"), "data");
	std::vector<DeinstallItem> items =
		items_for({ Child("App"), Child("App/settings"), Child("App/tool") });
	items[1].selected = false;

	DeinstallCounts counts = DeinstallRemoval().Remove(items);
	EXPECT_EQ(items[0].outcome, kItemKept);
	EXPECT_EQ(items[1].outcome, kItemNotSelected);
	EXPECT_EQ(items[2].outcome, kItemMoved);
	EXPECT_EQ(counts.kept, 1);
	EXPECT_EQ(read_file(Child("App/settings")), "mine");
}

TEST_F(DeinstallRemovalTest, TrashTakesEveryItemUnderAFreeNameWithoutAsking)
{
	const std::string trash = boot_trash();
	write_file(trash + "/notes", "old");
	write_file(trash + "/notes copy", "older");
	write_file(Child("notes"), "new");
	// Another volume's Trash folder is a Trash as well.
	const std::string otherTrash = Child("disk/.Trash-" + std::to_string(getuid()) + "/files");
	fs::create_directories(otherTrash);
	fs::create_directories(Child("second"));
	write_file(otherTrash + "/notes", "kept");
	write_file(Child("second/notes"), "second");

	Asker asker;
	asker.answer = { true, true };
	DeinstallRemoval removal;
	removal.SetQuestion(asker.Question());
	std::vector<DeinstallItem> items = items_for({ Child("notes") });
	EXPECT_EQ(removal.Remove(items).moved, 1);
	EXPECT_EQ(read_file(trash + "/notes copy 1"), "new");
	EXPECT_EQ(read_file(trash + "/notes"), "old");
	EXPECT_TRUE(exists(trash + "/../info/notes copy 1.trashinfo"));

	removal.SetDestination(otherTrash.c_str());
	items = items_for({ Child("second/notes") });
	EXPECT_EQ(removal.Remove(items).moved, 1);
	EXPECT_EQ(read_file(otherTrash + "/notes copy"), "second");
	EXPECT_EQ(read_file(otherTrash + "/notes"), "kept");
	EXPECT_TRUE(exists(otherTrash + "/../info/notes copy.trashinfo"));
	EXPECT_EQ(asker.asked, 0);
}

TEST_F(DeinstallRemovalTest, CollisionsInAChosenFolderFollowTheAnswers)
{
	const struct {
		const char* name;
		bool hasQuestion;
		ReplaceAnswer answer;
		int asked;
		bool replaced;
	} cases[] = {
		{ "Replace, apply to all", true, { true, true }, 1, true },
		{ "Don't Replace, apply to all", true, { false, true }, 1, false },
		{ "Replace, each time", true, { true, false }, 2, true },
		{ "Don't Replace, each time", true, { false, false }, 2, false },
		{ "no question: existing items are kept", false, {}, 0, false },
	};

	for (const auto& row : cases) {
		ScopedTempDir temp;
		const std::string chosen = temp.Child("chosen");
		fs::create_directories(chosen + "/b");
		fs::create_directories(temp.Child("app/b"));
		write_file(chosen + "/a", "existing");
		write_file(chosen + "/b/inside", "existing");
		write_file(temp.Child("app/a"), "incoming");
		write_file(temp.Child("app/c"), "incoming");
		std::vector<DeinstallItem> items =
			items_for({ temp.Child("app/a"), temp.Child("app/b"), temp.Child("app/c") });

		Asker asker;
		asker.answer = row.answer;
		DeinstallRemoval removal;
		removal.SetDestination(chosen.c_str());
		if (row.hasQuestion)
			removal.SetQuestion(asker.Question());
		DeinstallCounts counts = removal.Remove(items);
		EXPECT_EQ(asker.asked, row.asked) << row.name;
		// Nothing was in c's way.
		EXPECT_EQ(read_file(chosen + "/c"), "incoming") << row.name;
		EXPECT_EQ(counts.moved, row.replaced ? 3 : 1) << row.name;
		EXPECT_EQ(read_file(chosen + "/a"), row.replaced ? "incoming" : "existing") << row.name;
		EXPECT_EQ(exists(chosen + "/b/inside"), !row.replaced) << row.name;
		EXPECT_EQ(exists(temp.Child("app/a")), !row.replaced) << row.name;
		EXPECT_EQ(items[0].outcome, row.replaced ? kItemMoved : kItemKept) << row.name;
	}
}

TEST_F(DeinstallRemovalTest, AnItemAlreadyInTheChosenFolderIsNeverDeleted)
{
	write_file(Child("a"), "only copy");
	Asker asker;
	asker.answer = { true, true };
	std::vector<DeinstallItem> items = items_for({ Child("a") });
	DeinstallRemoval removal;
	removal.SetDestination(fTemp.Path().c_str());
	removal.SetQuestion(asker.Question());
	removal.Remove(items);
	EXPECT_EQ(asker.asked, 0);
	EXPECT_EQ(read_file(Child("a")), "only copy");
}

TEST_F(DeinstallRemovalTest, AMissingDestinationMovesNothing)
{
	write_file(Child("a"), "first");
	write_file(Child("b"), "second");
	std::vector<DeinstallItem> items = items_for({ Child("a"), Child("b"), Child("gone") });
	DeinstallRemoval removal;
	removal.SetDestination(Child("chosen").c_str());
	DeinstallCounts counts = removal.Remove(items);
	EXPECT_EQ(counts.failed, 2);
	EXPECT_EQ(counts.missing, 1);
	EXPECT_EQ(read_file(Child("a")), "first");
	EXPECT_EQ(read_file(Child("b")), "second");
	EXPECT_FALSE(exists(Child("chosen")));
}

TEST_F(DeinstallRemovalTest, AFailedMoveKeepsItsItemListed)
{
	ChildOutcome outcome = run_as_ordinary_user(
		fTemp.Path().string(), [](const std::string& work, ChildReport& report) {
			setenv("HOME", (work + "/home").c_str(), 1);
			setenv("XDG_DATA_HOME", (work + "/home/.local/share").c_str(), 1);
			fs::create_directories(work + "/chosen");
			for (bool intoTrash : { true, false }) {
				const std::string app = work + (intoTrash ? "/trashed" : "/chosen app");
				fs::create_directories(app + "/stuck");
				write_file(app + "/stuck/file", "x");
				write_file(app + "/free", "x");
				// A folder that cannot be written keeps its entries.
				chmod((app + "/stuck").c_str(), 0555);
				std::vector<DeinstallItem> items =
					items_for({ app + "/stuck", app + "/stuck/file", app + "/free" });
				DeinstallRemoval removal;
				if (!intoTrash)
					removal.SetDestination((work + "/chosen").c_str());
				DeinstallCounts counts = removal.Remove(items);
				const std::string where = intoTrash ? " (Trash)" : " (chosen)";
				report.Check(items[1].outcome == kItemFailed, "file failed" + where);
				report.Check(items[0].outcome == kItemKept, "folder kept" + where);
				report.Check(items[2].outcome == kItemMoved, "free file moved" + where);
				report.Check(counts.failed == 1 && exists(app + "/stuck/file"), "stays" + where);
				chmod((app + "/stuck").c_str(), 0755);
			}
		});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

TEST_F(DeinstallRemovalTest, RemovesTheTaggedScriptSectionsOnly)
{
	BPath bootFolder;
	ASSERT_EQ(find_directory(B_USER_BOOT_DIRECTORY, &bootFolder, true), B_OK);
	const std::string boot = bootFolder.Path();
	const std::string home = fSandbox.Home().string();
	const std::string section = "#BEGIN_App\nexport APP=1\n#END_App\n";
	write_file(boot + "/UserBootscript", "early\n" + section + "late\n");
	write_file(boot + "/UserSetupEnvironment", "env\n" + section);
	write_file(home + "/.profile", "profile\n" + section);

	DeinstallRemoval removal;
	removal.SetUserScripts("App", "", "App");
	std::vector<DeinstallItem> none;
	removal.Remove(none);
	EXPECT_EQ(read_file(boot + "/UserBootscript"), "early\nlate\n");
	EXPECT_EQ(read_file(home + "/.profile"), "profile\n");
	EXPECT_EQ(read_file(boot + "/UserSetupEnvironment"), "env\n" + section);
	EXPECT_FALSE(exists(boot + "/UserSetupEnvironment.orig"));
}

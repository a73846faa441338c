// DeinstallRemoval: what a removal moves, keeps and asks, in the Trash and in a chosen
// folder; that a failed move leaves its item listed; and that the installation's script
// sections go while untagged scripts stay untouched.
#include "DeinstallRemoval.h"

#include <FindDirectory.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void
make_file(const fs::path& path, const std::string& contents = "data")
{
	std::ofstream(path, std::ios::binary) << contents;
}

std::string
read_file(const fs::path& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

bool
entry_exists(const fs::path& path)
{
	return fs::exists(fs::symlink_status(path));
}

std::vector<DeinstallItem>
items_for(const std::vector<fs::path>& paths)
{
	std::vector<DeinstallItem> items;
	for (const fs::path& path : paths) {
		DeinstallItem item;
		item.path = path.c_str();
		items.push_back(item);
	}
	return items;
}

fs::path
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

// Makes an entry impossible to move or delete for the test's life, where the machine lets
// the test do that: immutable for the administrator, a write-protected folder for others.
class Pinned {
public:
	explicit Pinned(const fs::path& path) :
		fPath(path)
	{
		if (geteuid() != 0) {
			fFolder = path.parent_path();
			fs::permissions(fFolder, fs::perms(0555));
			fPinned = true;
			return;
		}
		int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
		int flags = 0;
		if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
			flags |= FS_IMMUTABLE_FL;
			fPinned = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
		}
		if (fd >= 0)
			close(fd);
	}

	~Pinned()
	{
		if (!fPinned)
			return;
		if (!fFolder.empty()) {
			fs::permissions(fFolder, fs::perms(0755));
			return;
		}
		int fd = open(fPath.c_str(), O_RDONLY | O_NONBLOCK);
		int flags = 0;
		if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
			flags &= ~FS_IMMUTABLE_FL;
			ioctl(fd, FS_IOC_SETFLAGS, &flags);
		}
		if (fd >= 0)
			close(fd);
	}

	bool IsPinned() const { return fPinned; }

private:
	fs::path fPath;
	fs::path fFolder;
	bool fPinned = false;
};

class DeinstallRemovalTest : public testing::Test {
protected:
	ScopedSandbox fSandbox;
	ScopedTempDir fTemp;
};

} // namespace

TEST_F(DeinstallRemovalTest, MovesFilesThenTheFoldersTheyEmptiedIntoTheTrash)
{
	const fs::path app = fTemp.Path() / "App";
	fs::create_directories(app / "lib");
	make_file(app / "tool");
	make_file(app / "lib/libx.so");
	// The order a search gives: each folder before what it holds.
	std::vector<DeinstallItem> items =
		items_for({ app, app / "tool", app / "lib", app / "lib/libx.so" });

	DeinstallRemoval removal;
	EXPECT_EQ(fs::path((const char*)removal.Destination()), boot_trash());
	DeinstallCounts counts = removal.Remove(items);
	EXPECT_EQ(counts.moved, 4);
	EXPECT_FALSE(entry_exists(app));
	const fs::path trash = boot_trash();
	for (const char* leaf : { "App", "tool", "lib", "libx.so" }) {
		EXPECT_TRUE(entry_exists(trash / leaf)) << leaf;
		EXPECT_TRUE(entry_exists(trash.parent_path() / "info" / (std::string(leaf) + ".trashinfo")))
			<< leaf;
	}
	EXPECT_EQ(read_file(trash / "tool"), "data");
}

TEST_F(DeinstallRemovalTest, KeepsAFolderThatStillHoldsAnUnselectedEntry)
{
	const fs::path app = fTemp.Path() / "App";
	fs::create_directories(app);
	make_file(app / "settings");
	make_file(app / "tool");
	std::vector<DeinstallItem> items = items_for({ app, app / "settings", app / "tool" });
	items[1].selected = false;

	DeinstallCounts counts = DeinstallRemoval().Remove(items);
	EXPECT_EQ(items[0].outcome, kItemKept);
	EXPECT_EQ(items[1].outcome, kItemNotSelected);
	EXPECT_EQ(items[2].outcome, kItemMoved);
	EXPECT_EQ(counts.moved, 1);
	EXPECT_EQ(counts.kept, 1);
	EXPECT_TRUE(entry_exists(app / "settings"));
	EXPECT_FALSE(entry_exists(app / "tool"));
}

TEST_F(DeinstallRemovalTest, TrashTakesEveryItemUnderAFreeNameWithoutAsking)
{
	const fs::path trash = boot_trash();
	make_file(trash / "notes", "old");
	make_file(trash / "notes copy", "older");
	make_file(fTemp.Path() / "notes", "new");
	// Another volume's Trash folder is a Trash as well.
	const fs::path otherTrash =
		fTemp.Path() / "disk" / (".Trash-" + std::to_string(getuid())) / "files";
	fs::create_directories(otherTrash);
	make_file(otherTrash / "notes", "kept");
	fs::create_directories(fTemp.Path() / "second");
	make_file(fTemp.Path() / "second/notes", "second");

	Asker asker;
	DeinstallRemoval removal;
	removal.SetQuestion(asker.Question());
	std::vector<DeinstallItem> items = items_for({ fTemp.Path() / "notes" });
	EXPECT_EQ(removal.Remove(items).moved, 1);
	EXPECT_EQ(read_file(trash / "notes copy 1"), "new");
	EXPECT_EQ(read_file(trash / "notes"), "old");
	EXPECT_TRUE(entry_exists(trash.parent_path() / "info/notes copy 1.trashinfo"));

	removal.SetDestination(otherTrash.c_str());
	items = items_for({ fTemp.Path() / "second/notes" });
	EXPECT_EQ(removal.Remove(items).moved, 1);
	EXPECT_EQ(read_file(otherTrash / "notes copy"), "second");
	EXPECT_EQ(read_file(otherTrash / "notes"), "kept");
	EXPECT_TRUE(entry_exists(otherTrash.parent_path() / "info/notes copy.trashinfo"));
	EXPECT_EQ(asker.asked, 0);
}

TEST_F(DeinstallRemovalTest, CollisionsInAChosenFolderFollowTheAnswers)
{
	const struct {
		const char* name;
		ReplaceAnswer answer;
		int asked;
		bool itemsMoved;
	} cases[] = {
		{ "Replace, apply to all", { true, true }, 1, true },
		{ "Don't Replace, apply to all", { false, true }, 1, false },
		{ "Replace, each time", { true, false }, 2, true },
		{ "Don't Replace, each time", { false, false }, 2, false },
	};

	for (const auto& row : cases) {
		ScopedTempDir temp;
		const fs::path chosen = temp.Path() / "chosen";
		fs::create_directories(chosen / "b");
		make_file(chosen / "a", "existing");
		make_file(chosen / "b/inside", "existing");
		fs::create_directories(temp.Path() / "app/b");
		make_file(temp.Path() / "app/a", "incoming");
		make_file(temp.Path() / "app/c", "incoming");
		std::vector<DeinstallItem> items =
			items_for({ temp.Path() / "app/a", temp.Path() / "app/b", temp.Path() / "app/c" });

		Asker asker;
		asker.answer = row.answer;
		DeinstallRemoval removal;
		removal.SetDestination(chosen.c_str());
		removal.SetQuestion(asker.Question());
		DeinstallCounts counts = removal.Remove(items);
		EXPECT_EQ(asker.asked, row.asked) << row.name;
		// Nothing was in c's way.
		EXPECT_EQ(items[2].outcome, kItemMoved) << row.name;
		EXPECT_EQ(read_file(chosen / "c"), "incoming") << row.name;
		if (row.itemsMoved) {
			EXPECT_EQ(counts.moved, 3) << row.name;
			EXPECT_EQ(read_file(chosen / "a"), "incoming") << row.name;
			EXPECT_FALSE(entry_exists(chosen / "b/inside")) << row.name;
			EXPECT_FALSE(entry_exists(temp.Path() / "app/b")) << row.name;
		} else {
			EXPECT_EQ(items[0].outcome, kItemKept) << row.name;
			EXPECT_EQ(items[1].outcome, kItemKept) << row.name;
			EXPECT_EQ(read_file(chosen / "a"), "existing") << row.name;
			EXPECT_EQ(read_file(chosen / "b/inside"), "existing") << row.name;
			EXPECT_EQ(read_file(temp.Path() / "app/a"), "incoming") << row.name;
			EXPECT_TRUE(entry_exists(temp.Path() / "app/b")) << row.name;
		}
	}
}

TEST_F(DeinstallRemovalTest, WithoutAQuestionExistingItemsAreKept)
{
	const fs::path chosen = fTemp.Path() / "chosen";
	fs::create_directories(chosen);
	make_file(chosen / "a", "existing");
	make_file(fTemp.Path() / "a", "incoming");
	std::vector<DeinstallItem> items = items_for({ fTemp.Path() / "a" });
	DeinstallRemoval removal;
	removal.SetDestination(chosen.c_str());
	EXPECT_EQ(removal.Remove(items).kept, 1);
	EXPECT_EQ(read_file(chosen / "a"), "existing");
	EXPECT_EQ(read_file(fTemp.Path() / "a"), "incoming");
}

TEST_F(DeinstallRemovalTest, AnItemAlreadyInTheChosenFolderIsNeverDeleted)
{
	make_file(fTemp.Path() / "a", "only copy");
	Asker asker;
	asker.answer = { true, true };
	std::vector<DeinstallItem> items = items_for({ fTemp.Path() / "a" });
	DeinstallRemoval removal;
	removal.SetDestination(fTemp.Path().c_str());
	removal.SetQuestion(asker.Question());
	removal.Remove(items);
	EXPECT_EQ(asker.asked, 0);
	EXPECT_EQ(read_file(fTemp.Path() / "a"), "only copy");
}

TEST_F(DeinstallRemovalTest, AMissingDestinationMovesNothing)
{
	make_file(fTemp.Path() / "a", "first");
	make_file(fTemp.Path() / "b", "second");
	std::vector<DeinstallItem> items =
		items_for({ fTemp.Path() / "a", fTemp.Path() / "b", fTemp.Path() / "gone" });
	DeinstallRemoval removal;
	removal.SetDestination((fTemp.Path() / "chosen").c_str());
	DeinstallCounts counts = removal.Remove(items);
	EXPECT_EQ(counts.failed, 2);
	EXPECT_EQ(counts.missing, 1);
	EXPECT_EQ(read_file(fTemp.Path() / "a"), "first");
	EXPECT_EQ(read_file(fTemp.Path() / "b"), "second");
	EXPECT_FALSE(entry_exists(fTemp.Path() / "chosen"));
}

TEST_F(DeinstallRemovalTest, AFailedMoveKeepsItsItemListed)
{
	for (bool intoTrash : { true, false }) {
		ScopedTempDir temp;
		fs::create_directories(temp.Path() / "app/stuck");
		fs::create_directories(temp.Path() / "chosen");
		make_file(temp.Path() / "app/stuck/file");
		make_file(temp.Path() / "app/free");
		Pinned pinned(temp.Path() / "app/stuck/file");
		if (!pinned.IsPinned())
			GTEST_SKIP() << "cannot make a file immovable here";
		std::vector<DeinstallItem> items = items_for({ temp.Path() / "app/stuck",
			temp.Path() / "app/stuck/file", temp.Path() / "app/free" });
		DeinstallRemoval removal;
		if (!intoTrash)
			removal.SetDestination((temp.Path() / "chosen").c_str());
		DeinstallCounts counts = removal.Remove(items);
		EXPECT_EQ(items[1].outcome, kItemFailed) << intoTrash;
		EXPECT_EQ(items[0].outcome, kItemKept) << intoTrash;
		EXPECT_EQ(items[2].outcome, geteuid() == 0 ? kItemMoved : kItemFailed) << intoTrash;
		EXPECT_EQ(counts.failed, geteuid() == 0 ? 1 : 2) << intoTrash;
		EXPECT_TRUE(entry_exists(temp.Path() / "app/stuck/file")) << intoTrash;
	}
}

TEST_F(DeinstallRemovalTest, RemovesTheTaggedScriptSectionsOnly)
{
	BPath bootFolder;
	ASSERT_EQ(find_directory(B_USER_BOOT_DIRECTORY, &bootFolder, true), B_OK);
	const fs::path boot = bootFolder.Path();
	const std::string section = "#BEGIN_App\nexport APP=1\n#END_App\n";
	make_file(boot / "UserBootscript", "early\n" + section + "late\n");
	make_file(boot / "UserSetupEnvironment", "env\n" + section);
	make_file(fSandbox.Home() / ".profile", "profile\n" + section);

	DeinstallRemoval removal;
	removal.SetUserScripts("App", "", "App");
	std::vector<DeinstallItem> none;
	removal.Remove(none);
	EXPECT_EQ(read_file(boot / "UserBootscript"), "early\nlate\n");
	EXPECT_EQ(read_file(fSandbox.Home() / ".profile"), "profile\n");
	EXPECT_EQ(read_file(boot / "UserSetupEnvironment"), "env\n" + section);
	EXPECT_FALSE(entry_exists(boot / "UserSetupEnvironment.orig"));
}

// LibTrash and LibDuplicate: the free-name rule, replacing in the Trash, and the
// freedesktop restore record written beside the Trash.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <FindDirectory.h>
#include <Path.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <time.h>

using namespace file_test;

namespace {

// A sandboxed home with its Trash, and a folder to trash things from.
class TrashPlace {
public:
	TrashPlace()
	{
		BPath trash;
		find_directory(B_TRASH_DIRECTORY, &trash, true);
		fTrash = trash.Path();
		fInfo = lib_file::path_folder(fTrash) + "/info";
	}

	std::string Trashed(const std::string& name) const { return fTrash + "/" + name; }

	std::string Record(const std::string& name) const
	{
		return read_file(fInfo + "/" + name + ".trashinfo");
	}

	std::string Child(const std::string& name) const { return fTemp.Child(name); }

	const std::string& Info() const { return fInfo; }

private:
	ScopedSandbox fSandbox;
	ScopedTempDir fTemp;
	std::string fTrash;
	std::string fInfo;
};

} // namespace

TEST(LibTrash, TakesFirstFreeCopyName)
{
	TrashPlace place;
	write_file(place.Trashed("notes"), "first");
	write_file(place.Trashed("notes copy"), "second");
	write_file(place.Child("notes"), "third");

	LibTrash(BPath(place.Child("notes").c_str()), false);

	EXPECT_FALSE(exists(place.Child("notes")));
	EXPECT_EQ(read_file(place.Trashed("notes")), "first");
	EXPECT_EQ(read_file(place.Trashed("notes copy")), "second");
	EXPECT_EQ(read_file(place.Trashed("notes copy 1")), "third");

	write_file(place.Child("notes"), "fourth");
	LibTrash(BPath(place.Child("notes").c_str()), false);
	EXPECT_EQ(read_file(place.Trashed("notes copy 2")), "fourth");
}

TEST(LibTrash, ReplaceTakesLeafNameOverFileOrFolder)
{
	TrashPlace place;
	write_file(place.Trashed("notes"), "old");
	write_file(place.Child("notes"), "new");
	LibTrash(BPath(place.Child("notes").c_str()), true);
	EXPECT_EQ(read_file(place.Trashed("notes")), "new");
	EXPECT_FALSE(exists(place.Trashed("notes copy")));

	// A same-named folder in the Trash is replaced too, not moved into.
	mkdir(place.Trashed("folder").c_str(), 0755);
	write_file(place.Trashed("folder/old"), "old");
	mkdir(place.Child("folder").c_str(), 0755);
	write_file(place.Child("folder/new"), "new");
	LibTrash(BPath(place.Child("folder").c_str()), true);
	EXPECT_TRUE(exists(place.Trashed("folder/new")));
	EXPECT_FALSE(exists(place.Trashed("folder/old")));
	EXPECT_FALSE(exists(place.Trashed("folder/folder")));
}

TEST(LibTrash, WritesRestoreRecordWithEscapedPathAndLocalDate)
{
	TrashPlace place;
	std::string name = "Report \"Q3\" $HOME `x` 100%.txt";
	write_file(place.Child(name), "x");
	time_t before = time(NULL);

	LibTrash(BPath(place.Child(name).c_str()), false);

	std::string record = place.Record(name);
	ASSERT_FALSE(record.empty());
	std::string escaped = lib_file::url_escape_path(place.Child(name));
	EXPECT_EQ(escaped.find(' '), std::string::npos);
	EXPECT_NE(escaped.find("%22Q3%22%20%24HOME%20%60x%60%20100%25.txt"), std::string::npos);

	struct tm local;
	localtime_r(&before, &local);
	char date[32];
	strftime(date, sizeof(date), "%Y-%m-%dT%H:%M", &local);
	EXPECT_EQ(record.rfind("[Trash Info]\nPath=" + escaped + "\nDeletionDate=" + date, 0), 0u)
		<< record;

	struct stat st;
	ASSERT_EQ(stat((place.Info() + "/" + name + ".trashinfo").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(LibTrash, RecordNamesTheCopyNameTaken)
{
	TrashPlace place;
	write_file(place.Trashed("notes"), "old");
	write_file(place.Child("notes"), "new");

	LibTrash(BPath(place.Child("notes").c_str()), false);

	EXPECT_NE(place.Record("notes copy").find("Path=" + place.Child("notes")), std::string::npos);
}

TEST(LibTrash, ReplaceKeepsTheOldItemWhenTheMoveFails)
{
	TrashPlace place;
	const std::string oldRecord =
		"[Trash Info]\nPath=/somewhere/notes\nDeletionDate=2001-01-01T00:00:00\n";
	mkdir(place.Info().c_str(), 0700);
	auto plant_old_item = [&]() {
		write_file(place.Trashed("notes"), "old");
		write_file(place.Info() + "/notes.trashinfo", oldRecord);
	};
	auto leftovers = [&]() {
		int count = 0;
		for (const auto& [name, state] : snapshot(lib_file::path_folder(place.Trashed("x")))) {
			if (name.find(".Lib") != std::string::npos)
				count++;
		}
		return count;
	};

	// Nothing to move: the entry went before it could be trashed.
	plant_old_item();
	LibTrash(BPath(place.Child("notes").c_str()), true);
	EXPECT_EQ(read_file(place.Trashed("notes")), "old");
	EXPECT_EQ(place.Record("notes"), oldRecord);
	EXPECT_EQ(leftovers(), 0);

	// An entry on a read-only volume is copied, but cannot be removed afterwards.
	std::string volume = place.Child("volume");
	mkdir(volume.c_str(), 0755);
	ChildOutcome outcome = run_with_second_volume(volume, "size=1m", [&](ChildReport& report) {
		write_file(volume + "/notes", "new");
		report.Check(mount_read_only(volume), "cannot make the volume read-only");
		testing::internal::CaptureStderr();
		LibTrash(BPath((volume + "/notes").c_str()), true);
		testing::internal::GetCapturedStderr();
		report.Check(read_file(place.Trashed("notes")) == "old", "the old item is lost");
		report.Check(place.Record("notes") == oldRecord, "the old record is lost");
		report.Check(read_file(volume + "/notes") == "new", "the entry is lost");
		report.Check(leftovers() == 0, "a temporary entry was left in the Trash");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

TEST(LibTrash, NameClaimedByAnotherTrashingProgramIsNotTaken)
{
	TrashPlace place;
	// Another program has claimed "notes" by its record and is about to move its entry in.
	const std::string claim =
		"[Trash Info]\nPath=/elsewhere/notes\nDeletionDate=2001-01-01T00:00:00\n";
	mkdir(place.Info().c_str(), 0700);
	write_file(place.Info() + "/notes.trashinfo", claim);
	write_file(place.Child("notes"), "mine");

	LibTrash(BPath(place.Child("notes").c_str()), false);

	EXPECT_FALSE(exists(place.Trashed("notes")));
	EXPECT_EQ(place.Record("notes"), claim);
	EXPECT_EQ(read_file(place.Trashed("notes copy")), "mine");
	EXPECT_NE(place.Record("notes copy").find("Path=" + place.Child("notes")), std::string::npos);
}

TEST(LibUrlEscapePath, EscapesAllButUnreservedAndSlash)
{
	struct Row {
		const char* path;
		const char* escaped;
	};

	const Row rows[] = {
		{ "/home/user/file.txt", "/home/user/file.txt" },
		{ "/a b", "/a%20b" },
		{ "/new\nline", "/new%0Aline" },
		{ "/caf\xc3\xa9", "/caf%C3%A9" },
		{ "/q'\"$`\\", "/q%27%22%24%60%5C" },
		{ "/keep-._~", "/keep-._~" },
	};
	for (const Row& row : rows)
		EXPECT_EQ(lib_file::url_escape_path(row.path), row.escaped) << row.path;
}

TEST(LibDuplicate, RenamesAsideUnderCopyNames)
{
	ScopedTempDir temp;
	write_file(temp.Child("a"), "first");

	LibDuplicate(temp.Child("a").c_str());
	EXPECT_FALSE(exists(temp.Child("a")));
	EXPECT_EQ(read_file(temp.Child("a copy")), "first");

	write_file(temp.Child("a"), "second");
	LibDuplicate(temp.Child("a").c_str());
	EXPECT_EQ(read_file(temp.Child("a copy 1")), "second");

	// A dangling link takes its name as well.
	symlink("nowhere", temp.Child("a copy 2").c_str());
	write_file(temp.Child("a"), "third");
	LibDuplicate(temp.Child("a").c_str());
	EXPECT_EQ(read_file(temp.Child("a copy 3")), "third");
}

TEST(LibDuplicate, UnusablePathDoesNothing)
{
	ScopedTempDir temp;
	LibDuplicate(NULL);
	LibDuplicate("");
	LibDuplicate(temp.Child("missing").c_str());
	EXPECT_FALSE(exists(temp.Child("missing copy")));
}

TEST(LibTrashInto, RecognisesTrashFoldersOnly)
{
	TrashPlace place;
	const std::string uid = std::to_string((unsigned long)getuid());
	const std::string volumeTrash = place.Child(".Trash-" + uid + "/files");
	const std::string sharedTrash = place.Child(".Trash/" + uid + "/files");
	const std::string otherUser = place.Child(".Trash-" + uid + "0/files");
	const std::string plain = place.Child("files");
	for (const std::string& folder : { volumeTrash, sharedTrash, otherUser, plain })
		ASSERT_TRUE(Libmkdir(folder.c_str()));

	const struct {
		std::string folder;
		bool trash;
	} cases[] = {
		{ place.Trashed(""), true },
		{ volumeTrash, true },
		{ sharedTrash, true },
		{ otherUser, false },
		{ plain, false },
		{ place.Child("missing/.Trash-" + uid + "/files"), false },
	};

	for (const auto& row : cases)
		EXPECT_EQ(LibIsTrashFolder(row.folder.c_str()), row.trash) << row.folder;

	// Into a plain folder nothing moves.
	write_file(place.Child("item"), "x");
	EXPECT_FALSE(LibTrashInto(place.Child("item").c_str(), plain.c_str()));
	EXPECT_TRUE(exists(place.Child("item")));
}

TEST(LibTrashInto, TakesAFreeNameAndWritesTheRecordInThatTrash)
{
	TrashPlace place;
	const std::string trash =
		place.Child(".Trash-" + std::to_string((unsigned long)getuid()) + "/files");
	ASSERT_TRUE(Libmkdir(trash.c_str()));
	write_file(trash + "/notes", "old");
	write_file(place.Child("notes"), "new");

	ASSERT_TRUE(LibTrashInto(place.Child("notes").c_str(), trash.c_str()));
	EXPECT_FALSE(exists(place.Child("notes")));
	EXPECT_EQ(read_file(trash + "/notes"), "old");
	EXPECT_EQ(read_file(trash + "/notes copy"), "new");
	std::string record = read_file(lib_file::path_folder(trash) + "/info/notes copy.trashinfo");
	EXPECT_NE(
		record.find("Path=" + lib_file::url_escape_path(place.Child("notes"))), std::string::npos)
		<< record;
	EXPECT_FALSE(LibTrashInto(place.Child("gone").c_str(), trash.c_str()));
}

// SavedFiles: putting saved entries back to a free place, keeping them saved when the place
// is taken or its folder is gone, an emptied folder left in a saved folder's place, entries
// without a record, the dry run, and the texts the user reads.
#include "SavedFiles.h"

#include <SavedEntry.h>

#include "../Utilities/FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace file_test;

namespace {

class SavedFilesTest : public testing::Test {
protected:
	void SetUp() override
	{
		fInstallation = fTemp.Child("Installation");
		fSaved = fInstallation + "/Saved Files";
		fPlaces = fTemp.Child("places");
		fs::create_directories(fSaved);
		fs::create_directories(fPlaces);
	}

	// Saves a file made at the place (relative to the places folder) as the engine does.
	std::string Save(const std::string& relative, const std::string& contents)
	{
		std::string place = fPlaces + "/" + relative;
		fs::create_directories(fs::path(place).parent_path());
		write_file(place, contents);
		std::string saved;
		EXPECT_TRUE(SaveReplacedEntry(place, fSaved, &saved));
		return saved;
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fTemp;
	std::string fInstallation;
	std::string fSaved;
	std::string fPlaces;
};

} // namespace

TEST_F(SavedFilesTest, EntriesGoBackOnlyWhereTheirPlaceIsFree)
{
	Save("free/notes", "free");
	std::string taken = Save("taken/notes", "taken");
	std::string gone = Save("gone/deeper/notes", "gone");
	write_file(fPlaces + "/taken/notes", "made since");
	fs::remove_all(fPlaces + "/gone");
	// Not ours: no record.
	write_file(fSaved + "/by hand", "mine");

	SavedFiles saved(fInstallation.c_str());
	EXPECT_EQ(std::string(saved.Folder()), fSaved);
	ASSERT_EQ(saved.Find(), 3);
	PutBackCounts counts = saved.PutBack();
	EXPECT_EQ(counts.done, 1);
	EXPECT_EQ(counts.placeTaken, 1);
	EXPECT_EQ(counts.folderGone, 1);
	EXPECT_EQ(counts.Kept(), 2);

	EXPECT_EQ(read_file(fPlaces + "/free/notes"), "free");
	EXPECT_EQ(attributes_of(fPlaces + "/free/notes").count(kOriginalPathAttribute), 0u);
	EXPECT_EQ(read_file(fPlaces + "/taken/notes"), "made since");
	EXPECT_EQ(read_file(taken), "taken");
	// The folder is not made anew; the entry waits, with its record.
	EXPECT_FALSE(exists(fPlaces + "/gone"));
	EXPECT_EQ(read_file(gone), "gone");
	EXPECT_EQ(read_file(fSaved + "/by hand"), "mine");
	for (const SavedEntry& entry : saved.Entries()) {
		if (std::string(entry.originalPath) == fPlaces + "/taken/notes") {
			EXPECT_EQ(entry.outcome, kPutBackPlaceTaken);
		}
		if (std::string(entry.originalPath) == fPlaces + "/gone/deeper/notes") {
			EXPECT_EQ(entry.outcome, kPutBackFolderGone);
		}
	}

	// What is left is offered again; the saved folder stays while it holds anything.
	EXPECT_EQ(SavedFiles(fInstallation.c_str()).Find(), 2);
	EXPECT_TRUE(fs::is_directory(fSaved));
}

TEST_F(SavedFilesTest, ASavedFolderReplacesTheEmptyFolderLeftInItsPlace)
{
	fs::create_directories(fPlaces + "/Tools/bin");
	write_file(fPlaces + "/Tools/bin/old-tool", "old");
	std::string saved;
	ASSERT_TRUE(SaveReplacedEntry(fPlaces + "/Tools", fSaved, &saved));
	// The installation's folder, emptied by the deinstaller, took its place.
	fs::create_directories(fPlaces + "/Tools");
	// A file is never put back over an empty folder, nor a folder over a folder with
	// something in it.
	std::string file = Save("Other/notes", "file");
	fs::create_directories(fPlaces + "/Other/notes");
	fs::create_directories(fPlaces + "/Full/lib");
	ASSERT_TRUE(SaveReplacedEntry(fPlaces + "/Full/lib", fSaved, nullptr));
	fs::create_directories(fPlaces + "/Full/lib");
	write_file(fPlaces + "/Full/lib/new", "new");

	SavedFiles files(fInstallation.c_str());
	ASSERT_EQ(files.Find(), 3);
	PutBackCounts counts = files.PutBack();
	EXPECT_EQ(counts.done, 1);
	EXPECT_EQ(counts.placeTaken, 2);
	EXPECT_EQ(read_file(fPlaces + "/Tools/bin/old-tool"), "old");
	EXPECT_EQ(read_file(file), "file");
	EXPECT_EQ(read_file(fPlaces + "/Full/lib/new"), "new");
}

TEST_F(SavedFilesTest, ADryRunMovesNothingAndAnEmptiedSavedFolderGoes)
{
	Save("a/notes", "a");
	Save("b/notes", "b");
	SavedFiles saved(fInstallation.c_str());
	ASSERT_EQ(saved.Find(), 2);
	std::map<std::string, EntryState> before = snapshot(fTemp.Path().string());
	EXPECT_EQ(saved.PutBack(true).done, 2);
	EXPECT_TRUE(snapshot(fTemp.Path().string()) == before);

	EXPECT_EQ(saved.PutBack().done, 2);
	EXPECT_EQ(read_file(fPlaces + "/a/notes"), "a");
	EXPECT_EQ(read_file(fPlaces + "/b/notes"), "b");
	EXPECT_FALSE(exists(fSaved));
	// Nothing saved, nothing offered; no installation folder at all is no error.
	EXPECT_EQ(SavedFiles(fInstallation.c_str()).Find(), 0);
	EXPECT_EQ(SavedFiles(fTemp.Child("none").c_str()).Find(), 0);
}

TEST_F(SavedFilesTest, TheQuestionAndTheReportSayHowMany)
{
	Save("a/notes", "a");
	SavedFiles one(fInstallation.c_str());
	one.Find();
	EXPECT_STREQ(one.QuestionText(),
		"1 item was replaced during installation and saved. Put it back where it was?");
	Save("b/notes", "b");
	SavedFiles two(fInstallation.c_str());
	two.Find();
	EXPECT_STREQ(two.QuestionText(),
		"2 items were replaced during installation and saved. Put them back where they were?");

	PutBackCounts counts;
	counts.done = 0;
	counts.placeTaken = 2;
	counts.folderGone = 1;
	EXPECT_STREQ(SavedFiles::ReportText(counts, "/i/Saved Files"),
		"0 items were put back where they were. 3 items stay in \"/i/Saved Files\": 2 because "
		"something else is at their place; 1 because the folder they were in no longer exists.");
}

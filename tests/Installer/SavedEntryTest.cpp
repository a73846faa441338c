// SavedEntry: the record of where a saved entry was, written before the move and kept
// through it (also for links, whose attributes live in their folder), free names in the
// saved-files folder, and records that must not be trusted.
#include "SavedEntry.h"

#include <TypeConstants.h>

#include "../Utilities/FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace file_test;

namespace {

class SavedEntryTest : public testing::Test {
protected:
	void SetUp() override
	{
		fSaved = fTemp.Child("Saved Files");
		fs::create_directories(fSaved);
		fs::create_directories(fTemp.Child("place"));
	}

	std::string Record(const std::string& path)
	{
		LibString original;
		return ReadOriginalPath(path.c_str(), original) ? (const char*)original : "(none)";
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fTemp;
	std::string fSaved;
};

} // namespace

TEST_F(SavedEntryTest, SavedEntriesTakeFreeNamesAndRecordWhereTheyWere)
{
	const std::string place = fTemp.Child("place");
	write_file(fSaved + "/notes", "saved before");
	std::string savedPath;

	for (const char* expected : { "notes copy", "notes copy 1" }) {
		SCOPED_TRACE(expected);
		write_file(place + "/notes", expected);
		// Repeated slashes and "." parts are not part of the record.
		ASSERT_TRUE(SaveReplacedEntry(place + "//./notes", fSaved, &savedPath));
		EXPECT_EQ(savedPath, fSaved + "/" + expected);
		EXPECT_EQ(read_file(savedPath), expected);
		EXPECT_FALSE(exists(place + "/notes"));
		EXPECT_EQ(Record(savedPath), place + "/notes");
	}
	EXPECT_EQ(read_file(fSaved + "/notes"), "saved before");
	EXPECT_EQ(Record(fSaved + "/notes"), "(none)");

	// A folder and a link (its attributes live in the folder that holds it) keep theirs.
	fs::create_directories(place + "/lib/inner");
	ASSERT_TRUE(SaveReplacedEntry(place + "/lib", fSaved, &savedPath));
	EXPECT_EQ(Record(fSaved + "/lib"), place + "/lib");
	EXPECT_EQ(Record(fSaved + "/lib/inner"), "(none)");
	fs::create_symlink("/nowhere", place + "/link");
	ASSERT_TRUE(SaveReplacedEntry(place + "/link", fSaved, &savedPath));
	EXPECT_TRUE(fs::is_symlink(fSaved + "/link"));
	EXPECT_EQ(Record(fSaved + "/link"), place + "/link");
}

TEST_F(SavedEntryTest, AFailedSaveLeavesTheEntryAsItWas)
{
	const std::string entry = fTemp.Child("place/notes");
	write_file(entry, "mine");
	EXPECT_FALSE(SaveReplacedEntry(entry, fTemp.Child("no such folder"), nullptr));
	EXPECT_EQ(read_file(entry), "mine");
	EXPECT_EQ(attributes_of(entry).count(kOriginalPathAttribute), 0u);
	EXPECT_FALSE(SaveReplacedEntry(fTemp.Child("place/missing"), fSaved, nullptr));
	EXPECT_FALSE(SaveReplacedEntry("relative/notes", fSaved, nullptr));
}

TEST_F(SavedEntryTest, RecordsThatNameNoPlaceAreNotTrusted)
{
	const std::string entry = fSaved + "/entry";
	write_file(entry, "saved");

	struct Row {
		const char* value;
		const char* read;
	} const rows[] = {
		{ "/home/user/notes", "/home/user/notes" },
		{ "/home//user/./notes/", "/home/user/notes" },
		{ "home/user/notes", "(none)" },
		{ "/home/user/../../etc/passwd", "(none)" },
		{ "/", "(none)" },
		{ "", "(none)" },
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(row.value);
		ASSERT_TRUE(set_attribute(entry, kOriginalPathAttribute, B_STRING_TYPE, row.value));
		EXPECT_EQ(Record(entry), row.read);
	}
	RemoveOriginalPath(entry.c_str());
	EXPECT_EQ(attributes_of(entry).count(kOriginalPathAttribute), 0u);
}

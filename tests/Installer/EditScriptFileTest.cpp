#include "EditScriptFile.h"

#include "TempDir.h"

#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

namespace fs = std::filesystem;

std::string
read_text(const fs::path& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::ostringstream text;
	text << stream.rdbuf();
	return text.str();
}

void
write_text(const fs::path& path, const std::string& text)
{
	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream << text;
}

// Every test gets its own home and configuration folders; the user boot folder is made.
class EditScriptFileTest : public testing::Test {
protected:
	void SetUp() override
	{
		BPath boot;
		ASSERT_EQ(find_directory(B_USER_BOOT_DIRECTORY, &boot, true), B_OK);
		fBoot = boot.Path();
		fScript = fBoot / "UserBootscript";
	}

	// Runs the edit and returns what it wrote to standard error.
	std::string Edit(const char* tag, const char* contents, const char* name = "UserBootscript")
	{
		testing::internal::CaptureStderr();
		EditScriptFile(B_USER_BOOT_DIRECTORY, name, tag, contents);
		return testing::internal::GetCapturedStderr();
	}

	ScopedSandbox fSandbox;
	fs::path fBoot;
	fs::path fScript;
};

} // namespace

TEST_F(EditScriptFileTest, AddsASectionAtTheEndOfAScriptEndingInALineFeed)
{
	write_text(fScript, "echo hello\n");
	EXPECT_EQ(Edit("Demo", "export A=1"), "");
	EXPECT_EQ(read_text(fScript), "echo hello\n#BEGIN_Demo\nexport A=1\n#END_Demo\n");
	EXPECT_EQ(read_text(fBoot / "UserBootscript.orig"), "echo hello\n");
}

TEST_F(EditScriptFileTest, CopiesTheSampleWhenTheScriptIsMissing)
{
	write_text(fBoot / "UserBootscript.sample", "# sample\n");
	Edit("Demo", "run");
	EXPECT_EQ(read_text(fScript), "# sample\n#BEGIN_Demo\nrun\n#END_Demo\n");
	EXPECT_EQ(read_text(fBoot / "UserBootscript.sample"), "# sample\n");
	EXPECT_EQ(read_text(fBoot / "UserBootscript.orig"), "# sample\n");
}

TEST_F(EditScriptFileTest, WritesALineFeedFirstWhenTheLastLineHasNone)
{
	write_text(fScript, "echo unfinished");
	EXPECT_EQ(Edit("Demo", "x"), "last line\n");
	EXPECT_EQ(read_text(fScript), "echo unfinished\n#BEGIN_Demo\nx\n#END_Demo\n");
}

TEST_F(EditScriptFileTest, CreatesAMissingScriptStartingWithAnEmptyLine)
{
	EXPECT_EQ(Edit("Demo", "x"), "last line\n");
	EXPECT_EQ(read_text(fScript), "\n#BEGIN_Demo\nx\n#END_Demo\n");
	EXPECT_FALSE(fs::exists(fBoot / "UserBootscript.orig"));
}

TEST_F(EditScriptFileTest, ReplacesTheSectionAndMovesFollowingLinesUp)
{
	write_text(fScript, "a\n#BEGIN_Demo\nold 1\nold 2\n#END_Demo\nb\n");
	Edit("Demo", "new");
	EXPECT_EQ(read_text(fScript), "a\nb\n#BEGIN_Demo\nnew\n#END_Demo\n");
	EXPECT_EQ(
		read_text(fBoot / "UserBootscript.orig"), "a\n#BEGIN_Demo\nold 1\nold 2\n#END_Demo\nb\n");
	EXPECT_FALSE(fs::exists(fBoot / "UserBootscript.tmp"));

	Edit("Demo", "newer");
	EXPECT_EQ(read_text(fScript), "a\nb\n#BEGIN_Demo\nnewer\n#END_Demo\n");
}

TEST_F(EditScriptFileTest, DropsEverySectionWithTheTag)
{
	write_text(fScript, "#BEGIN_T\n1\n#END_T\nkeep\n#BEGIN_T\n2\n#END_T\n");
	Edit("T", nullptr);
	EXPECT_EQ(read_text(fScript), "keep\n");
}

TEST_F(EditScriptFileTest, KeepsAnUnterminatedSectionAndAppendsAnother)
{
	write_text(fScript, "a\n#BEGIN_Demo\nold\n");
	Edit("Demo", "new");
	EXPECT_EQ(read_text(fScript), "a\n#BEGIN_Demo\nold\n#BEGIN_Demo\nnew\n#END_Demo\n");
}

TEST_F(EditScriptFileTest, RemovingAnAbsentTagLeavesTheScriptButBacksItUpAndTypesIt)
{
	write_text(fScript, "a\nb");
	EXPECT_EQ(Edit("Absent", nullptr), "");
	EXPECT_EQ(read_text(fScript), "a\nb");
	EXPECT_EQ(read_text(fBoot / "UserBootscript.orig"), "a\nb");

	BNode node(fScript.c_str());
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH] = "";
	ASSERT_EQ(info.GetType(type), B_OK);
	EXPECT_STREQ(type, "text/plain");
	char signature[B_MIME_TYPE_LENGTH] = "";
	ASSERT_EQ(info.GetPreferredApp(signature), B_OK);
	EXPECT_STREQ(signature, "application/x-vnd.Be-STEE");
}

TEST_F(EditScriptFileTest, SectionsAreFoundByWholeMarkerLines)
{
	// Rows: the script, the tag removed, the script afterwards.
	const char* const rows[][3] = {
		// Another product's tag that begins with this one stays.
		{ "#BEGIN_APPX\nx\n#END_APPX\nmid\n#BEGIN_APP\ny\n#END_APP\n", "APP",
			"#BEGIN_APPX\nx\n#END_APPX\nmid\n" },
		{ "#BEGIN_APP\ny\n#END_APP\n#BEGIN_APPX\nx\n#END_APPX\n", "APPX",
			"#BEGIN_APP\ny\n#END_APP\n" },
		// A package tag "StartUp" leaves the shared start-up folder section alone.
		{ "#BEGIN_StartUpFolder\nrun all\n#END_StartUpFolder\n#BEGIN_StartUp\nx\n#END_StartUp\n",
			"StartUp", "#BEGIN_StartUpFolder\nrun all\n#END_StartUpFolder\n" },
		// A marker in a comment or behind other text is no marker.
		{ "echo #BEGIN_T\nkeep\necho #END_T\n", "T", "echo #BEGIN_T\nkeep\necho #END_T\n" },
		// Scripts saved with carriage returns keep working.
		{ "a\r\n#BEGIN_T\r\nx\r\n#END_T\r\nb\r\n", "T", "a\r\nb\r\n" },
		// The last line may lack its line feed.
		{ "a\n#BEGIN_T\nx\n#END_T", "T", "a\n" },
	};
	for (const auto& row : rows) {
		write_text(fScript, row[0]);
		Edit(row[1], nullptr);
		EXPECT_EQ(read_text(fScript), row[2]) << row[0];
	}
}

TEST_F(EditScriptFileTest, AScriptThatIsALinkStaysOneAndIsBackedUpByValue)
{
	fs::path dotfiles = fSandbox.Home() / "dotfiles";
	fs::create_directories(dotfiles);
	fs::path real = dotfiles / "bootscript";
	const std::string before = "a\n#BEGIN_T\nold\n#END_T\n";
	write_text(real, before);
	fs::create_symlink(real, fScript);

	Edit("T", "new");
	EXPECT_TRUE(fs::is_symlink(fScript));
	EXPECT_EQ(read_text(real), "a\n#BEGIN_T\nnew\n#END_T\n");
	EXPECT_FALSE(fs::is_symlink(fBoot / "UserBootscript.orig"));
	EXPECT_EQ(read_text(fBoot / "UserBootscript.orig"), before);

	Edit("T", nullptr);
	EXPECT_TRUE(fs::is_symlink(fScript));
	EXPECT_EQ(read_text(real), "a\n");
	EXPECT_EQ(read_text(fBoot / "UserBootscript.orig"), "a\n#BEGIN_T\nnew\n#END_T\n");
	EXPECT_FALSE(fs::exists(fBoot / "UserBootscript.tmp"));
	EXPECT_FALSE(fs::exists(dotfiles / "bootscript.tmp"));
}

TEST_F(EditScriptFileTest, ReadsLongLinesInChunksAndCopiesThemUnchanged)
{
	std::string longLine(600, 'x');
	write_text(fScript, longLine + "\n#BEGIN_T\ns\n#END_T\n" + longLine + "\n");
	Edit("T", nullptr);
	EXPECT_EQ(read_text(fScript), longLine + "\n" + longLine + "\n");

	// A marker in the second chunk of a long line counts as a line of its own.
	write_text(fScript, std::string(511, 'y') + "#BEGIN_T\nz\n#END_T\nend\n");
	Edit("T", nullptr);
	EXPECT_EQ(read_text(fScript), std::string(511, 'y') + "end\n");
}

TEST_F(EditScriptFileTest, RemovingTheLastKeptLineFeedAddsOneBeforeTheNewSection)
{
	// The survey's last chunk ends a line, but the last chunk kept does not.
	write_text(fScript, std::string(511, 'q') + "#BEGIN_T\nold\n#END_T\n");
	EXPECT_EQ(Edit("T", "new"), "last line\n");
	EXPECT_EQ(read_text(fScript), std::string(511, 'q') + "\n#BEGIN_T\nnew\n#END_T\n");
}

TEST_F(EditScriptFileTest, HandlesNamesAndTagsWithSpaces)
{
	write_text(fBoot / "My Setup Env.sample", "# sample with spaces\n");
	Edit("Demo App 1.0", "echo \"quoted $HOME\"", "My Setup Env");
	EXPECT_EQ(read_text(fBoot / "My Setup Env"),
		"# sample with spaces\n#BEGIN_Demo App 1.0\necho \"quoted $HOME\"\n#END_Demo App 1.0\n");
	Edit("Demo App 1.0", nullptr, "My Setup Env");
	EXPECT_EQ(read_text(fBoot / "My Setup Env"), "# sample with spaces\n");
	EXPECT_TRUE(fs::exists(fBoot / "My Setup Env.orig"));
}

TEST_F(EditScriptFileTest, DoesNothingInAMissingFolder)
{
	fs::remove_all(fBoot);
	EXPECT_EQ(Edit("Demo", "x"), "");
	EXPECT_FALSE(fs::exists(fBoot));
}

TEST_F(EditScriptFileTest, KeepsTheScriptsPermissionsWhenRewriting)
{
	write_text(fScript, "#BEGIN_T\nx\n#END_T\nkeep\n");
	ASSERT_EQ(chmod(fScript.c_str(), 0750), 0);
	Edit("T", nullptr);
	struct stat status;
	ASSERT_EQ(stat(fScript.c_str(), &status), 0);
	EXPECT_EQ(status.st_mode & 0777, 0750u);
	EXPECT_EQ(read_text(fScript), "keep\n");
}

TEST_F(EditScriptFileTest, EditsTheProfileInTheHomeFolder)
{
	fs::path profile = fSandbox.Home() / ".profile";
	write_text(profile, "PATH=$PATH:/opt\n");
	EditScriptFile(B_USER_DIRECTORY, ".profile", "Demo", "alias demo=true");
	EXPECT_EQ(read_text(profile), "PATH=$PATH:/opt\n#BEGIN_Demo\nalias demo=true\n#END_Demo\n");
}

TEST_F(EditScriptFileTest, TheScriptIsReplacedWholeAndKeepsItsAttributes)
{
	write_text(fScript, "echo mine\n");
	const char note[] = "kept";
	ASSERT_EQ(setxattr(fScript.c_str(), "user.Note", note, sizeof(note) - 1, 0), 0);
	// A reader that holds the old script sees the old text to the end: the edit never
	// writes into the file it replaces, so a stop at any instant leaves one text or the other.
	std::ifstream holder(fScript, std::ios::binary);
	ASSERT_TRUE(holder.is_open());

	Edit("T", "new");
	std::ostringstream held;
	held << holder.rdbuf();
	EXPECT_EQ(held.str(), "echo mine\n");
	EXPECT_EQ(read_text(fScript), "echo mine\n#BEGIN_T\nnew\n#END_T\n");
	char value[16] = {};
	ASSERT_EQ(getxattr(fScript.c_str(), "user.Note", value, sizeof(value)), 4);
	EXPECT_EQ(std::string(value, 4), "kept");

	std::set<std::string> names;
	for (const fs::directory_entry& entry : fs::directory_iterator(fBoot))
		names.insert(entry.path().filename());
	EXPECT_EQ(names, (std::set<std::string> { "UserBootscript", "UserBootscript.orig" }));
}

TEST_F(EditScriptFileTest, LeftoversOfAStoppedEditGoAndLookAlikesStay)
{
	write_text(fScript, "a\n");
	// What a stop between writing and renaming leaves, for the script and its backup.
	write_text(fBoot / ".UserBootscript.0123456789abcdef", "a\n#BEGIN_T\nx");
	write_text(fBoot / ".UserBootscript.orig.fedcba9876543210", "a\n");
	// Names that are not exactly a replacement's, and a link, are the user's.
	write_text(fBoot / ".UserBootscript.notes", "mine");
	write_text(fBoot / ".UserBootscript.0123456789ABCDEF", "mine");
	fs::create_symlink(fScript, fBoot / ".UserBootscript.00000000000000aa");

	Edit("T", nullptr);
	EXPECT_FALSE(fs::exists(fBoot / ".UserBootscript.0123456789abcdef"));
	EXPECT_FALSE(fs::exists(fBoot / ".UserBootscript.orig.fedcba9876543210"));
	EXPECT_TRUE(fs::exists(fBoot / ".UserBootscript.notes"));
	EXPECT_TRUE(fs::exists(fBoot / ".UserBootscript.0123456789ABCDEF"));
	EXPECT_TRUE(fs::is_symlink(fBoot / ".UserBootscript.00000000000000aa"));
	EXPECT_EQ(read_text(fScript), "a\n");
}

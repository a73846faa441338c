#include "RunProgram.h"
#include "TempDir.h"

#include <AppFileInfo.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <zip.h>

namespace {

const char* const kTool = BEINSTALLER_ADD_APP_RESOURCES;

// A definition with one icon pair drawn in two colours and transparency.
std::string
definition(const std::string& miniRow = "KW..............")
{
	std::ostringstream text;
	text << "signature = \"application/x-vnd.Test-Tool\"\n"
			"type = \"application/x-vnd.Be-elfexecutable\"\n"
			"flags = 1\n"
			"supported_types = [\"text/x-one\", \"text/x-two\"]\n"
			"[version]\nmajor = 3\nmiddle = 4\nminor = 5\nvariety = 2\ninternal = 7\n"
			"short = \"Short\"\nlong = \"The long text\"\n"
			"[legend]\nK = \"#000000\"\nW = \"#ffffff\"\n"
			"[[icon]]\nid = 101\nfor = \"STD_ICON\"\nmini = [\n";
	for (int row = 0; row < 16; row++)
		text << "\"" << miniRow << "\",\n";
	text << "]\nlarge = [\n";
	for (int row = 0; row < 32; row++)
		text << "\"" << std::string(32, 'W') << "\",\n";
	text << "]\n";
	return text.str();
}

void
write_file(const std::string& path, const std::string& content)
{
	std::ofstream(path, std::ios::binary) << content;
}

std::string
read_file(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::stringstream content;
	content << stream.rdbuf();
	return content.str();
}

class AddAppResourcesTest : public testing::Test {
protected:
	void SetUp() override
	{
		fProgram = fFolder.Child("program");
		std::filesystem::copy_file("/bin/true", fProgram);
		fDefinition = fFolder.Child("resources.toml");
	}

	ProgramResult Run(const std::vector<std::string>& extra = {})
	{
		std::vector<std::string> arguments = { kTool, fProgram, fDefinition };
		arguments.insert(arguments.end(), extra.begin(), extra.end());
		return RunProgram(arguments);
	}

	ScopedTempDir fFolder;
	std::string fProgram;
	std::string fDefinition;
};

TEST_F(AddAppResourcesTest, AddsEveryApplicationResourceAndTheProgramStillRuns)
{
	write_file(fDefinition, definition());
	write_file(fFolder.Child("notes.help"), "the help text");
	ProgramResult result = Run({ "--zip", "2002", "os:help", fFolder.Child("notes.help") });
	ASSERT_EQ(result.exitCode, 0) << result.err;

	BFile file(fProgram.c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	const char* signature = static_cast<const char*>(resources.LoadResource('MIMS', 1, &size));
	ASSERT_NE(signature, nullptr);
	EXPECT_STREQ(signature, "application/x-vnd.Test-Tool");
	const uint32* flags = static_cast<const uint32*>(resources.LoadResource('APPF', 1, &size));
	ASSERT_NE(flags, nullptr);
	EXPECT_EQ(*flags, 1u);

	const uint8* mini = static_cast<const uint8*>(resources.LoadResource('MICN', 101, &size));
	ASSERT_EQ(size, 256u);
	EXPECT_EQ(mini[0], 0); // black is palette entry 0
	EXPECT_EQ(mini[2], 255); // '.' is the transparent entry
	EXPECT_NE(mini[1], mini[0]);
	const char* name = nullptr;
	ASSERT_TRUE(resources.GetResourceInfo('ICON', 101, &name, &size));
	EXPECT_EQ(size, 1024u);
	EXPECT_STREQ(name, "BEOS:L:STD_ICON");

	const void* flat = resources.LoadResource('MSGG', 1, &size);
	ASSERT_NE(flat, nullptr);
	BMessage types;
	ASSERT_EQ(types.Unflatten(static_cast<const char*>(flat)), B_OK);
	EXPECT_STREQ(types.GetString("types", 1, ""), "text/x-two");

	BAppFileInfo info(&file);
	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(version.major, 3u);
	EXPECT_EQ(version.internal, 7u);
	EXPECT_STREQ(version.long_info, "The long text");

	// The packed file is an archive whose one entry bears the file's leaf name.
	ASSERT_TRUE(resources.GetResourceInfo('RAWT', 2002, &name, &size));
	EXPECT_STREQ(name, "os:help");
	std::string archive(
		static_cast<const char*>(resources.LoadResource('RAWT', 2002, &size)), size);
	write_file(fFolder.Child("help.zip"), archive);
	zip_t* zip = zip_open(fFolder.Child("help.zip").c_str(), ZIP_RDONLY, nullptr);
	ASSERT_NE(zip, nullptr);
	EXPECT_EQ(zip_get_num_entries(zip, 0), 1);
	EXPECT_STREQ(zip_get_name(zip, 0, 0), "notes.help");
	zip_close(zip);

	EXPECT_EQ(RunProgram({ fProgram }).exitCode, 0);
}

TEST_F(AddAppResourcesTest, RunningTwiceGivesTheSameResources)
{
	write_file(fDefinition, definition());
	ASSERT_EQ(Run().exitCode, 0);
	std::string first = read_file(fProgram);
	ASSERT_EQ(Run().exitCode, 0);
	EXPECT_EQ(read_file(fProgram), first);
}

TEST_F(AddAppResourcesTest, BadDefinitionsNameTheLineAndLeaveTheProgramAlone)
{
	struct Case {
		const char* what;
		std::string text;
		const char* message;
	} const cases[] = {
		{ "short row", definition("KW............."), "a row of 16 characters" },
		{ "long row", definition("KWX.............."), "a row of 16 characters" },
		{ "symbol not in the legend", definition("KWZ............."), "'Z' is not in the legend" },
		{ "no version",
			"signature = \"a/b\"\ntype = \"c/d\"\nflags = 0\nsupported_types = []\n"
			"[legend]\n[[icon]]\nid = 1\nfor = \"x\"\n",
			"'mini' must be 16 rows" },
		{ "not TOML", "signature = ", "resources.toml:1" },
	};

	std::string original = read_file(fProgram);
	for (const Case& row : cases) {
		SCOPED_TRACE(row.what);
		write_file(fDefinition, row.text);
		ProgramResult result = Run();
		EXPECT_EQ(result.exitCode, 1);
		EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
		EXPECT_EQ(read_file(fProgram), original);
	}
}

TEST_F(AddAppResourcesTest, MissingPackedFileFailsWithItsName)
{
	write_file(fDefinition, definition());
	ProgramResult result = Run({ "--zip", "2001", "Tarnwick", fFolder.Child("absent") });
	EXPECT_EQ(result.exitCode, 1);
	EXPECT_NE(result.err.find("absent"), std::string::npos);
}

} // namespace

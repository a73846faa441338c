#include "ManifestReader.h"

#include "PackageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace package_test;

namespace {

int64
line_of(const std::string& text, const std::string& needle)
{
	size_t at = text.find(needle);
	if (at == std::string::npos)
		return -1;
	return 1 + std::count(text.begin(), text.begin() + at, '\n');
}

struct MalformedRow {
	const char* what;
	// Appended to the product header.
	std::string body;
	// The message names this line (found by the text on it), or the whole file ("").
	const char* lineText;
	const char* fragment;
};

class ManifestReaderTest : public PackageTest {
protected:
	bool Read(const std::string& text, Diagnostics& diagnostics, Manifest& manifest)
	{
		std::string path = WriteManifest(text);
		ManifestReader reader(diagnostics);
		return reader.Read(path, manifest);
	}
};

} // namespace

TEST_F(ManifestReaderTest, ReadsEverySectionAndResolvesPathsFromTheManifestFolder)
{
	std::string text = std::string(kProductHeader) + R"TOML(
default_folder = "Current"
compression = 3
create_startup = true

[requirements]
disk_space_kb = 2.5
ram_mb = 128
ram_required = true
libraries = ["libsample.so"]
apps = ["Editor (application/x-vnd.Sample-Editor)"]
apps_required = false

[scripts.profile]
tag = "Sample_Profile"
contents = "export SAMPLE=1"

[[install_types]]
name = "Full"

[[custom_folders]]
name = "StartUp"
root = "User Boot"
sub_dir = "Sample StartUp"
replace = false

[[items]]
path = "payload/sample-tool"
link = "StartUp"
link_exists = "Rename"
install_types = ["Full"]
)TOML";
	Diagnostics diagnostics;
	Manifest manifest;
	ASSERT_TRUE(Read(text, diagnostics, manifest)) << diagnostics.Entries().size();
	EXPECT_EQ(manifest.packageName, "Sample 2.1");
	EXPECT_EQ(manifest.defaultFolder.value_or(""), "Current");
	EXPECT_EQ(manifest.compression, 3);
	EXPECT_TRUE(manifest.diskSpaceCheck);
	EXPECT_DOUBLE_EQ(manifest.diskSpaceKb, 2.5);
	EXPECT_TRUE(manifest.ramCheck);
	EXPECT_EQ(manifest.ramMb, 128);
	EXPECT_FALSE(manifest.appsRequired);
	EXPECT_TRUE(manifest.profile.enabled);
	EXPECT_FALSE(manifest.bootscript.enabled);
	ASSERT_EQ(manifest.customFolders.size(), 1u);
	EXPECT_EQ(manifest.customFolders[0].root, 3003);
	EXPECT_FALSE(manifest.customFolders[0].replace);
	ASSERT_EQ(manifest.items.size(), 1u);
	EXPECT_EQ(manifest.items[0].path, (fRoot / "payload/sample-tool").string());
	EXPECT_EQ(manifest.items[0].destination, "User Selected");
	EXPECT_EQ(manifest.items[0].destinationExists, "Prompt");
	EXPECT_EQ(manifest.items[0].linkExists, "Rename");
	EXPECT_TRUE(manifest.items[0].deinstallable);
}

TEST_F(ManifestReaderTest, ReportsEachKindOfMistakeWithFileAndLine)
{
	const std::string longName(240, 'x');
	const MalformedRow rows[] = {
		{ "syntax", "[[items]\npath = 1\n", "[[items]", "" },
		{ "unknown key", "\n[[items]]\npath = \"payload/sample-tool\"\ndestinaton = \"Trash\"\n",
			"destinaton", "unknown key 'destinaton' in [[items]] (did you mean 'destination'?)" },
		{ "unknown table", "\n[requirement]\nram_mb = 3\n", "[requirement]",
			"did you mean 'requirements'?" },
		{ "wrong type", "log = \"yes\"\n", "log =", "'log' must be true or false, not a string" },
		{ "missing payload", "\n[[items]]\npath = \"payload/absent\"\n", "payload/absent",
			"payload not found" },
		{ "bad destination",
			"\n[[items]]\npath = \"payload/sample-tool\"\ndestination = \"Nowhere\"\n", "Nowhere",
			"destination 'Nowhere' is neither" },
		{ "bad link", "\n[[items]]\npath = \"payload/sample-tool\"\nlink = \"user deskbar\"\n",
			"user deskbar", "link 'user deskbar' is neither" },
		{ "collision mode",
			"\n[[items]]\npath = \"payload/sample-tool\"\ndestination_exists = \"Overwrite\"\n",
			"Overwrite", "unknown collision mode 'Overwrite'" },
		{ "undefined install type",
			"\n[[items]]\npath = \"payload/sample-tool\"\ninstall_types = [\"Ful\"]\n", "Ful",
			"install type 'Ful' is not defined" },
		{ "custom folder root", "\n[[custom_folders]]\nname = \"Tools\"\nroot = \"User Tools\"\n",
			"User Tools", "'root' must be a standard folder name" },
		{ "default folder", "default_folder = \"Home\"\n", "Home",
			"'default_folder' must be \"Current\" or a standard folder name" },
		{ "out of range", "compression = 12\n", "compression", "between 0 and 9" },
		{ "start-up folder", "create_startup = true\n", "", "custom folder named \"StartUp\"" },
		{ "script tag", "\n[scripts.bootscript]\ncontents = \"echo\"\n", "[scripts.bootscript]",
			"missing 'tag'" },
		{ "unknown top-level key", "\n[product2]\n", "[product2]", "unknown key 'product2'" },
	};
	for (const MalformedRow& row : rows) {
		std::string text = std::string(kProductHeader) + row.body;
		Diagnostics diagnostics;
		Manifest manifest;
		EXPECT_FALSE(Read(text, diagnostics, manifest)) << row.what;
		ASSERT_TRUE(diagnostics.HasErrors()) << row.what;
		const Diagnostics::Entry& entry = diagnostics.Entries().front();
		EXPECT_EQ(entry.file, (fRoot / "sample.toml").string()) << row.what;
		EXPECT_TRUE(diagnostics.Mentions(row.fragment))
			<< row.what << ": " << Diagnostics::Format(entry);
		int64 expectedLine = row.lineText[0] == '\0' ? 0 : line_of(text, row.lineText);
		bool lineNamed = false;
		for (const Diagnostics::Entry& each : diagnostics.Entries())
			lineNamed = lineNamed || each.line == expectedLine;
		EXPECT_TRUE(lineNamed) << row.what << ": " << Diagnostics::Format(entry)
							   << " expected line " << expectedLine;
	}
}

TEST_F(ManifestReaderTest, RejectsATagOverTheDeinstallersLimit)
{
	std::string text = std::string(kProductHeader);
	text.replace(text.find("Sample Co."), 10, std::string(240, 'C'));
	Diagnostics diagnostics;
	Manifest manifest;
	EXPECT_FALSE(Read(text, diagnostics, manifest));
	EXPECT_TRUE(diagnostics.Mentions("the deinstaller recognises at most 255"));
	EXPECT_EQ(diagnostics.Entries().front().line, line_of(text, "[product]"));

	// Exactly 255 bytes is still recognised.
	std::string fits = std::string(kProductHeader);
	size_t tagLength = std::string("Sample;2.1;May 4, 2026;Sample Co.;help@sample.example;").size();
	fits.replace(fits.find("Sample Co."), 10, std::string(10 + 255 - tagLength, 'C'));
	Diagnostics fine;
	EXPECT_TRUE(Read(fits, fine, manifest)) << Diagnostics::Format(fine.Entries().front());
}

TEST_F(ManifestReaderTest, WarnsButAcceptsTwoItemsWithOneLeafName)
{
	write_text(fRoot / "other/sample-tool", "another\n");
	std::string text = std::string(kProductHeader) + R"TOML(
[[items]]
path = "payload/sample-tool"

[[items]]
path = "other/sample-tool"
destination = "User Libraries"
)TOML";
	Diagnostics diagnostics;
	Manifest manifest;
	EXPECT_TRUE(Read(text, diagnostics, manifest));
	ASSERT_EQ(diagnostics.Entries().size(), 1u);
	EXPECT_EQ(diagnostics.Entries()[0].severity, Diagnostics::kWarning);
	EXPECT_EQ(diagnostics.Entries()[0].line, line_of(text, "other/sample-tool"));
	EXPECT_TRUE(diagnostics.Mentions("'sample-tool' is also used by the item on line"));
}

TEST_F(ManifestReaderTest, RequiresTheProductTexts)
{
	Diagnostics diagnostics;
	Manifest manifest;
	EXPECT_FALSE(
		Read("[product]\nname = \"\"\n[options]\ncreated_folder = \"S\"\n", diagnostics, manifest));
	EXPECT_TRUE(diagnostics.Mentions("'name' must not be empty"));
	EXPECT_TRUE(diagnostics.Mentions("missing 'version' in [product]"));
	EXPECT_TRUE(diagnostics.Mentions("missing 'support_email' in [product]"));

	Diagnostics noOptions;
	EXPECT_FALSE(Read("[product]\nname = \"A\"\n", noOptions, manifest));
	EXPECT_TRUE(noOptions.Mentions("missing the [options] table"));
}

TEST_F(ManifestReaderTest, ReadsTheLicenceFromAFile)
{
	write_text(fRoot / "LICENSE", "Terms\nline two\n");
	std::string text = std::string(kProductHeader);
	text.insert(text.find("\n[options]"), "license_file = \"LICENSE\"\n");
	Diagnostics diagnostics;
	Manifest manifest;
	ASSERT_TRUE(Read(text, diagnostics, manifest));
	EXPECT_EQ(manifest.license, "Terms\nline two\n");

	text.insert(text.find("\n[options]"), "license = \"inline\"\n");
	Diagnostics both;
	EXPECT_FALSE(Read(text, both, manifest));
	EXPECT_TRUE(both.Mentions("either 'license' or 'license_file'"));
}

namespace {

struct HarmRow {
	const char* what;
	// Replaces the product header's options line, when not empty.
	const char* options;
	std::string body;
	const char* lineText;
	const char* fragment;
};

} // namespace

TEST_F(ManifestReaderTest, RefusesWhatWouldHurtTheUser)
{
	std::string item = "\n[[items]]\npath = \"payload/sample-tool\"\n";
	std::string folder = "\n[[custom_folders]]\nname = \"Tools\"\nroot = \"User\"\n";
	const HarmRow rows[] = {
		{ "created folder dot", "created_folder = \".\"", "", "created_folder",
			"it names no new folder" },
		{ "created folder dot dot", "created_folder = \"..\"", "", "created_folder",
			"it names no new folder" },
		{ "created folder blank", "created_folder = \"Sample \"", "", "created_folder",
			"begins or ends with a blank" },
		{ "created folder leading blank", "created_folder = \"\\tSample\"", "", "created_folder",
			"begins or ends with a blank" },
		{ "no sub folder", "", folder, "[[custom_folders]]",
			"would be its standard folder itself" },
		{ "empty sub folder", "", folder + "sub_dir = \"\"\n", "sub_dir",
			"would be its standard folder itself" },
		{ "dot sub folder", "", folder + "sub_dir = \"./.\"\n", "sub_dir", "names no folder" },
		{ "absolute sub folder", "", folder + "sub_dir = \"/etc\"\n", "sub_dir",
			"must be a relative path" },
		{ "climbing sub folder", "", folder + "sub_dir = \"Tools/../..\"\n", "sub_dir",
			"must not climb" },
		{ "root beyond 32 bits", "",
			"\n[[custom_folders]]\nname = \"Tools\"\nroot = 4294970299\nsub_dir = \"T\"\n",
			"4294970299", "'root' is not a standard folder code" },
		{ "link to its own destination", "",
			item + "destination = \"User Deskbar\"\n" + "link = \"User Deskbar\"\n",
			"link =", "the link would take the item's place" },
		{ "link to the installation folder", "", item + "link = \"User Selected\"\n",
			"link =", "names the item's own destination 'User Selected'" },
		{ "recorded path of another name", "", item + "recorded_path = \"/boot/apps/other\"\n",
			"recorded_path", "must end in the payload's name 'sample-tool', not 'other'" },
		{ "disk amount not a number", "", "\n[requirements]\ndisk_space_kb = nan\n",
			"disk_space_kb", "must be a finite number" },
		{ "tag of the start-up section", "",
			"\n[scripts.bootscript]\ntag = \"StartUp\"\ncontents = \"echo\"\n", "StartUp\"",
			"start-up section's tag 'StartUpFolder'" },
		{ "tag holding the start-up tag", "",
			"\n[scripts.bootscript]\ntag = \"MyStartUpFolder\"\ncontents = \"echo\"\n",
			"MyStartUpFolder", "contains the start-up section's tag" },
		{ "equal tags", "",
			"\n[scripts.bootscript]\ntag = \"Sample\"\n[scripts.profile]\ntag = 'Sample'\n",
			"'Sample'", "the tag 'Sample' is used twice" },
		{ "containing tags", "",
			"\n[scripts.bootscript]\ntag = \"APPX\"\n[scripts.setup_environment]\ntag = \"APP\"\n",
			"tag = \"APP\"", "the tag 'APPX' contains the tag 'APP'" },
		{ "marker line in contents", "",
			"\n[scripts.profile]\ntag = \"Sample\"\ncontents = \"a\\n#END_Sample\\r\\nb\"\n",
			"contents", "line 2 of the contents is the marker line '#END_Sample'" },
		{ "start-up marker in contents", "",
			"\n[scripts.profile]\ntag = \"Sample\"\ncontents = \"#BEGIN_StartUpFolder\"\n",
			"contents", "marker line '#BEGIN_StartUpFolder'" },
	};
	for (const HarmRow& row : rows) {
		std::string text = kProductHeader;
		if (row.options[0] != '\0')
			text.replace(text.find("created_folder = \"Sample\""), 25, row.options);
		text += row.body;
		Diagnostics diagnostics;
		Manifest manifest;
		EXPECT_FALSE(Read(text, diagnostics, manifest)) << row.what;
		EXPECT_TRUE(diagnostics.Mentions(row.fragment))
			<< row.what << ": " << first_message(diagnostics);
		int64 expectedLine = line_of(text, row.lineText);
		bool placed = false;
		for (const Diagnostics::Entry& entry : diagnostics.Entries())
			placed = placed || (entry.line == expectedLine && entry.column > 0);
		EXPECT_TRUE(placed) << row.what << ": expected line " << expectedLine;
	}

	// The programs packed with the product must be programs.
	write_text(fRoot / "not-a-program", "text\n");
	for (const char* key : { "base", "deinstaller" }) {
		std::string text = std::string(key) + " = \"not-a-program\"\n" + kProductHeader;
		Diagnostics diagnostics;
		Manifest manifest;
		EXPECT_FALSE(Read(text, diagnostics, manifest)) << key;
		EXPECT_TRUE(diagnostics.Mentions("not-a-program is not a program")) << key;
		ASSERT_FALSE(diagnostics.Entries().empty()) << key;
		EXPECT_EQ(diagnostics.Entries().front().line, 1) << key;
	}
}

TEST_F(ManifestReaderTest, AcceptsWhatIsSafeAndReplacesNoFolderUnlessAsked)
{
	std::string text = std::string(kProductHeader) + R"TOML(
[scripts.bootscript]
tag = "Sample_Boot"
contents = "# the line #END_Sample_Boot inside a line is no marker\n#END_Other"

[scripts.profile]
enabled = false
tag = "Sample"

[[custom_folders]]
name = "Tools"
root = 3000
sub_dir = "./Sample Tools/bin"

[[items]]
path = "payload/sample-tool"
destination = "Tools"
link = "User Deskbar"
recorded_path = "/boot/apps/sample-tool"
)TOML";
	Diagnostics diagnostics;
	Manifest manifest;
	ASSERT_TRUE(Read(text, diagnostics, manifest)) << first_message(diagnostics);
	ASSERT_EQ(manifest.customFolders.size(), 1u);
	EXPECT_FALSE(manifest.customFolders[0].replace);
	EXPECT_EQ(manifest.customFolders[0].root, 3000);
}

TEST_F(ManifestReaderTest, RefusesPayloadLinksThatLeaveTheItem)
{
	fs::path docs = fRoot / "payload/Sample Docs";
	// Links that stay inside: beside, one level up from the sub folder, to a folder.
	fs::create_symlink("Guide.txt", docs / "guide-link");
	fs::create_symlink("../Guide.txt", docs / "deep/back");
	fs::create_symlink("deep", docs / "deep-link");
	std::string text =
		std::string(kProductHeader) + "\n[[items]]\npath = \"payload/Sample Docs\"\n";
	Diagnostics fine;
	Manifest manifest;
	EXPECT_TRUE(Read(text, fine, manifest));

	// Out of the item: absolute, one level too high, climbing after a step down.
	fs::create_symlink("/etc/passwd", docs / "absolute");
	fs::create_symlink("../../outside", docs / "deep/up");
	fs::create_symlink("deep/../../x", docs / "around");
	Diagnostics diagnostics;
	EXPECT_FALSE(Read(text, diagnostics, manifest));
	EXPECT_TRUE(
		diagnostics.Mentions("link 'Sample Docs/absolute' -> '/etc/passwd' points outside"));
	EXPECT_TRUE(diagnostics.Mentions("'Sample Docs/deep/up' -> '../../outside'"));
	EXPECT_TRUE(diagnostics.Mentions("'Sample Docs/around' -> 'deep/../../x'"));
	EXPECT_FALSE(diagnostics.Mentions("guide-link"));
	EXPECT_FALSE(diagnostics.Mentions("back"));
	ASSERT_FALSE(diagnostics.Entries().empty());
	EXPECT_EQ(diagnostics.Entries().front().line, line_of(text, "payload/Sample Docs"));

	// A payload that is itself a link may name an entry beside it, but not climb.
	fs::create_symlink("sample-tool", fRoot / "payload/tool-link");
	fs::create_symlink("../elsewhere", fRoot / "payload/climbing-link");
	Diagnostics beside;
	EXPECT_TRUE(Read(std::string(kProductHeader) + "\n[[items]]\npath = \"payload/tool-link\"\n",
		beside, manifest));
	Diagnostics climbing;
	EXPECT_FALSE(
		Read(std::string(kProductHeader) + "\n[[items]]\npath = \"payload/climbing-link\"\n",
			climbing, manifest));
	EXPECT_TRUE(climbing.Mentions("'climbing-link' -> '../elsewhere'"));
}

TEST_F(ManifestReaderTest, TextThatIsNotAManifestGivesAnErrorNeverAnAbort)
{
	struct {
		const char* what;
		std::string text;
		int64 line;
		int64 column;
		const char* fragment;
	} const rows[] = {
		{ "a table header without a key", "[=\n", 1, 0, "" },
		{ "an array header without a key", "[[ =]]\n", 1, 0, "" },
		{ "a byte that starts no character", "name = \"caf\xc3\xa9\"\n# \xc3\xa9\xff\n", 2, 4,
			"not UTF-8 text" },
		{ "an overlong form", "a = \"\xc0\xaf\"\n", 1, 6, "not UTF-8 text" },
		{ "a surrogate", "\n\nb = \"\xed\xa0\x80\"\n", 3, 6, "not UTF-8 text" },
		{ "beyond U+10FFFF", "c = '\xf4\x90\x80\x80'", 1, 6, "not UTF-8 text" },
		{ "a cut character", "d = 'x\xe2\x82", 1, 7, "not UTF-8 text" },
		// Characters beyond ASCII where the parser would ask whether they are blanks.
		{ "beyond ASCII outside a string", "a = 1\xc3\xa9\n", 1, 6, "outside a string or comment" },
		{ "beyond ASCII in what only looks like a string", "a =0\"Soci\xc3\xa9t\xc3\xa9\"\n", 1, 10,
			"outside a string" },
		{ "beyond ASCII in a bare key", "\n  caf\xc3\xa9 = 1\n", 2, 6, "outside a string" },
		{ "beyond ASCII after a line-ending backslash", "a = \"\"\"x\\\n  \xc3\xa9\"\"\"\n", 2, 3,
			"after a line-ending backslash" },
		{ "an escape of a character beyond ASCII", "a = \"\"\"x\\\xc3\xa9\"\"\"\n", 1, 10,
			"an escape names a character that is not ASCII" },
	};

	for (const auto& row : rows) {
		Diagnostics diagnostics;
		Manifest manifest;
		ManifestReader reader(diagnostics);
		EXPECT_FALSE(reader.ReadText(row.text, "m.toml", fRoot.string(), manifest)) << row.what;
		ASSERT_TRUE(diagnostics.HasErrors()) << row.what;
		const Diagnostics::Entry& entry = diagnostics.Entries().front();
		EXPECT_EQ(entry.line, row.line) << row.what << ": " << Diagnostics::Format(entry);
		if (row.column > 0) {
			EXPECT_EQ(entry.column, row.column) << row.what << ": " << Diagnostics::Format(entry);
		}
		EXPECT_TRUE(diagnostics.Mentions(row.fragment)) << row.what;
	}

	// Characters of every length pass through in values and comments, also in arrays, in
	// multi-line texts and after a line-ending backslash that ASCII follows.
	std::string text = std::string(kProductHeader);
	text.replace(text.find("Sample Co."), 10, "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xa6");
	text.insert(text.find("[options]"),
		"# Soci\xc3\xa9t\xc3\xa9\nlicense = \"\"\"\\\n  \"Caf\xc3\xa9\" \"\"\"\n\n");
	text += "\n[requirements]\napps = [ 'R\xc3\xa9sum\xc3\xa9 (x)', \"\xc3\x9c"
			"ber (y)\" ]\n";
	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	EXPECT_TRUE(reader.ReadText(text, "m.toml", fRoot.string(), manifest))
		<< first_message(diagnostics);
	EXPECT_EQ(manifest.company, "Caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xa6");
	EXPECT_EQ(manifest.license, "\"Caf\xc3\xa9\" ");
	EXPECT_EQ(manifest.apps.size(), 2u);
}

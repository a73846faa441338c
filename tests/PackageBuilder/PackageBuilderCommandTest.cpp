#include "PackageBuilderCommand.h"

#include "AboutImage.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "PackageTestSupport.h"
#include "ScopedVariable.h"
#include "WavSound.h"

#include <Bitmap.h>
#include <Message.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstdio>

using namespace package_test;

namespace {

struct Result {
	int status;
	std::string out;
	std::string err;
};

Result
run(const std::vector<std::string>& arguments)
{
	char* outText = nullptr;
	size_t outLength = 0;
	char* errText = nullptr;
	size_t errLength = 0;
	FILE* out = open_memstream(&outText, &outLength);
	FILE* err = open_memstream(&errText, &errLength);
	int status = RunPackageBuilder(arguments, out, err);
	fclose(out);
	fclose(err);
	Result result { status, std::string(outText, outLength), std::string(errText, errLength) };
	free(outText);
	free(errText);
	return result;
}

class PackageBuilderCommandTest : public PackageTest {
protected:
	std::vector<std::string> BuildArguments(const std::string& manifest, const std::string& output)
	{
		return { "build", manifest, "-o", output, "--base", "/bin/true", "--deinstaller",
			"/bin/false", "--jobs", "2" };
	}
};

} // namespace

TEST_F(PackageBuilderCommandTest, HelpAndUsageErrors)
{
	Result help = run({ "--help" });
	EXPECT_EQ(help.status, kExitOk);
	EXPECT_NE(help.out.find("show --manifest --payload-dir DIR INSTALLER"), std::string::npos);

	struct Row {
		std::vector<std::string> arguments;
		const char* message;
	} const rows[] = {
		{ {}, "no command given" },
		{ { "bake" }, "unknown command: bake" },
		{ { "build", "a.toml" }, "build needs a manifest and -o OUTPUT" },
		{ { "build", "a.toml", "-o", "x", "--level", "3" }, "unknown option" },
		{ { "build", "a.toml", "-o", "x", "--jobs", "0" }, "--jobs takes a number" },
		{ { "check" }, "check needs an installer" },
		{ { "list", "a", "b" }, "list takes one installer" },
		{ { "show", "--manifest", "x" }, "--manifest and --payload-dir go together" },
	};

	for (const Row& row : rows) {
		Result result = run(row.arguments);
		EXPECT_EQ(result.status, kExitUsage) << row.message;
		EXPECT_NE(result.err.find(row.message), std::string::npos) << result.err;
	}
}

TEST_F(PackageBuilderCommandTest, AWrongManifestWritesNothing)
{
	std::string manifest = WriteManifest(std::string(kProductHeader)
		+ "\n[[items]]\npath = \"payload/sample-tool\"\nlink_exists = \"Merge\"\n");
	Result result = run(BuildArguments(manifest, Output()));
	EXPECT_EQ(result.status, kExitFailed);
	EXPECT_NE(result.err.find(manifest + ":14:15: error: unknown collision mode 'Merge'"),
		std::string::npos)
		<< result.err;
	EXPECT_FALSE(fs::exists(Output()));
	for (const fs::directory_entry& entry : fs::directory_iterator(fRoot))
		EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos);
}

TEST_F(PackageBuilderCommandTest, BuildThenCheckThenShow)
{
	std::string manifest = WriteManifest(std::string(kProductHeader)
		+ "\n[[items]]\npath = \"payload/sample-tool\"\n"
		  "\n[[items]]\npath = \"payload/Sample Docs\"\n");
	Result build = run(BuildArguments(manifest, Output()));
	ASSERT_EQ(build.status, kExitOk) << build.err;
	EXPECT_EQ(build.out, "Wrote " + Output() + " (2 items)\n");

	Result check = run({ "check", Output() });
	EXPECT_EQ(check.status, kExitOk) << check.err;
	Result show = run({ "show", Output() });
	EXPECT_EQ(show.status, kExitOk);
	EXPECT_NE(show.out.find("Installation tag: Sample;2.1;May 4, 2026;Sample Co.;"
							"help@sample.example; (54 bytes)"),
		std::string::npos)
		<< show.out;
	EXPECT_NE(show.out.find("1: Sample Docs (folder"), std::string::npos);

	Result notInstaller = run({ "check", "/bin/true" });
	EXPECT_EQ(notInstaller.status, kExitFailed);
}

TEST_F(PackageBuilderCommandTest, APrintedManifestRebuildsTheSameConfiguration)
{
	// A picture and a sound, so that they make the round trip too.
	BBitmap picture(BRect(0, 0, 149, 199), B_RGB32);
	memset(picture.Bits(), 0x40, picture.BitsLength());
	BMessage pictureArchive;
	ASSERT_EQ(picture.Archive(&pictureArchive), B_OK);
	ASSERT_EQ(SaveArchivedImage(pictureArchive, (fRoot / "about.png").string()), B_OK);
	BMessage sound;
	sound.AddData("data", B_ANY_TYPE, "\x01\x02\x03\x04", 4);
	sound.AddFloat("frame_rate", 11025.0f);
	sound.AddInt32("channel_count", 1);
	sound.AddInt32("format", 0x2);
	sound.AddInt32("byte_order", 2);
	sound.AddInt32("buffer_size", 2048);
	ASSERT_EQ(SaveArchivedSound(sound, (fRoot / "start.wav").string()), B_OK);
	write_text(fRoot / "help.xml", "<help>Sample</help>\n");
	fs::create_symlink("sample-tool", fRoot / "payload/tool-link");

	std::string text = std::string(kProductHeader);
	text.insert(text.find("\n[options]"),
		"about_image = \"about.png\"\nsound = \"start.wav\"\n"
		"license = \"Terms:\\n\\t\\\"quoted\\\" and \\\\ backslash\\n\"\n");
	text = "help = \"help.xml\"\n" + text + R"TOML(
create_startup = true
default_folder = "Current"

[requirements]
disk_space_kb = 12.25
ram_mb = 16
libraries = ["libx.so"]

[scripts.setup_environment]
tag = "Sample Env"
contents = "export SAMPLE=\"1\"\n"

[[install_types]]
name = "Full"
description = "All of it"

[[custom_folders]]
name = "StartUp"
root = 3003
sub_dir = "Sample/StartUp"

[[items]]
path = "payload/sample-tool"
link = "StartUp"
install_types = ["Full"]

[[items]]
path = "payload/Sample Docs"
destination = "User Libraries"
destination_exists = "Replace"
deinstallable = false

[[items]]
path = "payload/tool-link"
auto_launch = true
)TOML";
	ASSERT_EQ(run(BuildArguments(WriteManifest(text), Output())).status, kExitOk);

	fs::path payloads = fRoot / "printed";
	Result printed = run({ "show", "--manifest", "--payload-dir", payloads.string(), Output() });
	ASSERT_EQ(printed.status, kExitOk) << printed.err;
	std::string second = WriteManifest(printed.out, "printed.toml");
	Result rebuilt = run({ "build", second, "-o", Output("Rebuilt") });
	ASSERT_EQ(rebuilt.status, kExitOk) << rebuilt.err << printed.out;

	BMessage original;
	BMessage again;
	ASSERT_EQ(ReadPackageConfiguration(Output().c_str(), original), B_OK);
	ASSERT_EQ(ReadPackageConfiguration(Output("Rebuilt").c_str(), again), B_OK);
	EXPECT_TRUE(original.HasSameData(again, false, true));
	if (!original.HasSameData(again, false, true)) {
		original.PrintToStream();
		again.PrintToStream();
	}
	EXPECT_EQ(run({ "check", Output("Rebuilt") }).status, kExitOk);

	// The payload folder must be empty, so that nothing of the author's is overwritten.
	Result again2 = run({ "show", "--manifest", "--payload-dir", payloads.string(), Output() });
	EXPECT_EQ(again2.status, kExitFailed);
	EXPECT_NE(again2.err.find("the payload folder must be empty"), std::string::npos);
}

TEST_F(PackageBuilderCommandTest, RelativePathsAreTakenFromTheCallersFolder)
{
	// Packing moves the process into the items' folders; the output must still land where
	// the caller meant, and the caller's folder must be current again afterwards.
	std::string manifest = WriteManifest(
		std::string(kProductHeader) + "\n[[items]]\npath = \"payload/sample-tool\"\n");
	fs::create_directories(fRoot / "out");
	fs::current_path(fRoot / "out");
	Result build = run({ "build", "../sample.toml", "-o", "Relative-Installer", "--base",
		"/bin/true", "--deinstaller", "/bin/false" });
	fs::path after = fs::current_path();
	// Earlier tests may have left the process in a folder that is gone; leave a sound one.
	fs::current_path("/");
	ASSERT_EQ(build.status, kExitOk) << build.err;
	EXPECT_EQ(after, fRoot / "out");
	EXPECT_TRUE(fs::exists(fRoot / "out/Relative-Installer"));
	EXPECT_FALSE(fs::exists(fRoot / "payload/Relative-Installer"));
}

TEST_F(PackageBuilderCommandTest, CheckAndShowSayWhetherRequirementsAreOnThisMachine)
{
	fs::create_directories(fRoot / "bin");
	write_text(fRoot / "bin/sample-viewer", "#!/bin/sh\n");
	chmod((fRoot / "bin/sample-viewer").c_str(), 0755);
	ScopedVariable path("PATH", (fRoot / "bin").string());
	ScopedVariable libraryPath("LIBRARY_PATH", nullptr);

	std::string manifest = WriteManifest(std::string(kProductHeader)
		+ "\n[requirements]\nlibraries = [\"libc.so.6\", \"libsample-typo.so.1\"]\n"
		  "apps = [\"Viewer (sample-viewer)\", \"Editor (application/x-vnd.Sample-Absent)\","
		  " \"Nameless\"]\n"
		  "\n[[items]]\npath = \"payload/sample-tool\"\n");
	ASSERT_EQ(run(BuildArguments(manifest, Output())).status, kExitOk);

	Result check = run({ "check", Output() });
	Result show = run({ "show", Output() });
	// Information only: a missing requirement does not make the package unsound.
	EXPECT_EQ(check.status, kExitOk) << check.err;
	for (const Result* result : { &check, &show }) {
		const std::string& out = result->out;
		EXPECT_NE(out.find("library \"libc.so.6\" on this machine: /"), std::string::npos) << out;
		EXPECT_NE(out.find("library \"libsample-typo.so.1\" on this machine: not found"),
			std::string::npos)
			<< out;
		EXPECT_NE(out.find("application \"Viewer (sample-viewer)\" on this machine: "
					  + (fRoot / "bin/sample-viewer").string()),
			std::string::npos)
			<< out;
		EXPECT_NE(out.find("application \"Editor (application/x-vnd.Sample-Absent)\" on this "
						   "machine: not found (looked up as application/x-vnd.Sample-Absent)"),
			std::string::npos)
			<< out;
		EXPECT_NE(out.find("application \"Nameless\" on this machine: not found (no name in "
						   "parentheses)"),
			std::string::npos)
			<< out;
	}
}

TEST_F(PackageBuilderCommandTest, SourceDateEpochGivesTheSameBytesWhateverTheJobsAndAccessTimes)
{
	// Enough files that several threads compress at once.
	for (int i = 0; i < 40; i++) {
		std::string text;
		for (int line = 0; line < 200 + i * 30; line++)
			text +=
				"line " + std::to_string(line * i % 211) + " of note " + std::to_string(i) + "\n";
		write_text(fRoot / "payload/Sample Docs/notes" / ("note " + std::to_string(i)), text);
	}
	std::string manifest = WriteManifest(std::string(kProductHeader)
		+ "\n[[items]]\npath = \"payload/sample-tool\"\n"
		  "\n[[items]]\npath = \"payload/Sample Docs\"\n");
	const time_t epoch = 1500000000;
	ScopedVariable variable("SOURCE_DATE_EPOCH", std::to_string(epoch));

	std::string first = Output("first");
	std::vector<std::string> arguments = BuildArguments(manifest, first);
	arguments.back() = "1";
	Result result = run(arguments);
	ASSERT_EQ(result.status, kExitOk) << result.err;

	// Reading the payload changed its access times; a later build with other jobs must
	// not see them.
	for (const auto& entry : fs::recursive_directory_iterator(fRoot / "payload")) {
		struct stat st;
		ASSERT_EQ(lstat(entry.path().c_str(), &st), 0);
		struct timespec times[2] = { { 1600000000 + st.st_size % 1000, 0 }, st.st_mtim };
		utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
	}
	std::string second = Output("second");
	result = run(BuildArguments(manifest, second));
	ASSERT_EQ(result.status, kExitOk) << result.err;
	EXPECT_TRUE(read_text(first) == read_text(second));

	// The items' times in the configuration are clamped, and the access time is none of
	// the payload's.
	BMessage configuration;
	ASSERT_EQ(ReadPackageConfiguration(second.c_str(), configuration), B_OK);
	BMessage instructions;
	BMessage item;
	ASSERT_EQ(configuration.FindMessage(Package::kInstallInstructions, &instructions), B_OK);
	ASSERT_EQ(instructions.FindMessage(Package::kInstallFile, 1, &item), B_OK);
	int64 modified = 0;
	int64 accessed = 0;
	ASSERT_EQ(item.FindInt64(Package::kFileModified, &modified), B_OK);
	ASSERT_EQ(item.FindInt64(Package::kFileAccessed, &accessed), B_OK);
	EXPECT_EQ(modified, epoch);
	EXPECT_EQ(accessed, epoch);
}

TEST_F(PackageBuilderCommandTest, AMalformedSourceDateEpochIsRefused)
{
	std::string manifest = WriteManifest(
		std::string(kProductHeader) + "\n[[items]]\npath = \"payload/sample-tool\"\n");
	for (const char* value : { "yesterday", "-5", "12abc", "99999999999999999999999" }) {
		ScopedVariable variable("SOURCE_DATE_EPOCH", value);
		Result result = run(BuildArguments(manifest, Output()));
		EXPECT_EQ(result.status, kExitUsage) << value;
		EXPECT_NE(result.err.find("SOURCE_DATE_EPOCH"), std::string::npos) << result.err;
		EXPECT_FALSE(fs::exists(Output())) << value;
	}
}

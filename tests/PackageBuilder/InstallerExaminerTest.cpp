#include "InstallerExaminer.h"

#include "ManifestPrinter.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "PackageTestSupport.h"
#include "PayloadArchive.h"

#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace package_test;

namespace {

const char* const kTwoItems = R"TOML(
[[install_types]]
name = "Full"

[[items]]
path = "payload/sample-tool"
install_types = ["Full"]

[[items]]
path = "payload/Sample Docs"
link = "User Deskbar"
)TOML";

std::vector<char>
copy_of(BResources& resources, type_code type, int32 id)
{
	size_t size = 0;
	const void* data = resources.LoadResource(type, id, &size);
	if (data == nullptr)
		return {};
	return std::vector<char>(static_cast<const char*>(data), static_cast<const char*>(data) + size);
}

class InstallerExaminerTest : public PackageTest {
protected:
	void SetUp() override
	{
		PackageTest::SetUp();
		Diagnostics diagnostics;
		ASSERT_TRUE(Build(WriteManifest(std::string(kProductHeader) + kTwoItems), diagnostics));
	}

	// Changes the built installer's resources.
	void Tamper(const std::function<void(BResources&)>& change)
	{
		BFile file(Output().c_str(), B_READ_WRITE);
		BResources resources(&file);
		change(resources);
		ASSERT_EQ(resources.Sync(), B_OK);
	}

	void ReplaceConfiguration(const std::function<void(BMessage&)>& change)
	{
		Tamper([&](BResources& resources) {
			BMessage configuration;
			ASSERT_EQ(ReadPackageConfiguration(resources, configuration), B_OK);
			change(configuration);
			std::vector<char> flat(configuration.FlattenedSize());
			configuration.Flatten(flat.data(), flat.size());
			resources.AddResource(
				B_STRING_TYPE, 2002, flat.data(), flat.size(), "BRC:configuration");
		});
	}

	bool Check(Diagnostics& diagnostics)
	{
		InstallerExaminer inspector(diagnostics);
		return inspector.Open(Output()) && inspector.Check();
	}
};

} // namespace

TEST_F(InstallerExaminerTest, AFreshBuildIsSound)
{
	Diagnostics diagnostics;
	EXPECT_TRUE(Check(diagnostics));
	for (const Diagnostics::Entry& entry : diagnostics.Entries())
		ADD_FAILURE() << Diagnostics::Format(entry);
}

TEST_F(InstallerExaminerTest, CatchesSwappedPayloads)
{
	Tamper([](BResources& resources) {
		std::vector<char> first = copy_of(resources, B_RAW_TYPE, 2100);
		std::vector<char> second = copy_of(resources, B_RAW_TYPE, 2101);
		resources.AddResource(B_RAW_TYPE, 2100, second.data(), second.size(), "Sample Docs");
		resources.AddResource(B_RAW_TYPE, 2101, first.data(), first.size(), "sample-tool");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("item 0 (sample-tool): its payload RAWT 2100 is named "
									 "'Sample Docs', not after the item"));
	EXPECT_TRUE(diagnostics.Mentions("item 1 (Sample Docs): its payload RAWT 2101 is named"));
}

TEST_F(InstallerExaminerTest, CatchesSwappedArchivesUnderTheRightNames)
{
	Tamper([](BResources& resources) {
		std::vector<char> first = copy_of(resources, B_RAW_TYPE, 2100);
		std::vector<char> second = copy_of(resources, B_RAW_TYPE, 2101);
		resources.AddResource(B_RAW_TYPE, 2100, second.data(), second.size(), "sample-tool");
		resources.AddResource(B_RAW_TYPE, 2101, first.data(), first.size(), "Sample Docs");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions(
		"item 0 (sample-tool): its payload archive must hold the one entry 'sample-tool' but "
		"holds 'Sample Docs'"));
}

TEST_F(InstallerExaminerTest, CatchesAMissingPayload)
{
	Tamper([](BResources& resources) { resources.RemoveResource(B_RAW_TYPE, 2101); });
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("item 1 (Sample Docs): its payload RAWT 2101 is missing"));
}

TEST_F(InstallerExaminerTest, CatchesARenamedResource)
{
	Tamper([](BResources& resources) {
		std::vector<char> data = copy_of(resources, B_RAW_TYPE, 2100);
		resources.AddResource(B_RAW_TYPE, 2100, data.data(), data.size(), "sample-tool.old");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("is named 'sample-tool.old', not after the item"));
}

TEST_F(InstallerExaminerTest, CatchesADamagedArchive)
{
	Tamper([](BResources& resources) {
		std::vector<char> data = copy_of(resources, B_RAW_TYPE, 2101);
		// Somewhere inside the compressed data of the first entry's neighbours.
		for (size_t i = data.size() / 3; i < data.size() / 3 + 16; i++)
			data[i] = static_cast<char>(data[i] ^ 0x5a);
		resources.AddResource(B_RAW_TYPE, 2101, data.data(), data.size(), "Sample Docs");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("item 1 (Sample Docs): its payload archive"));
}

TEST_F(InstallerExaminerTest, CatchesSizesKindsAndFieldsThatDoNotAgree)
{
	ReplaceConfiguration([](BMessage& configuration) {
		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 0, &item);
		item.ReplaceInt32(Package::kFileSize, 0, 7);
		item.ReplaceInt8(Package::kFileType, Package::kFileTypeFolder);
		instructions.ReplaceMessage(Package::kInstallFile, 0, &item);
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);
		configuration.RemoveName(Package::kOptCreatedFolder);
		configuration.AddInt32(Package::kOptLog, 1);
		configuration.AddString("opt_logg", "typo");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("item 0 (sample-tool): file_size says 7 bytes"));
	EXPECT_TRUE(diagnostics.Mentions("file_type says folder but the payload holds a file"));
	EXPECT_TRUE(diagnostics.Mentions("configuration: opt_created_folder: 0 values, expected 1"));
	EXPECT_TRUE(
		diagnostics.Mentions("configuration: 'opt_logg' is not part of the package format"));
}

TEST_F(InstallerExaminerTest, CatchesATagTooLongAndAnUnknownPlace)
{
	ReplaceConfiguration([](BMessage& configuration) {
		configuration.ReplaceString(Package::kCompany, std::string(300, 'c').c_str());
		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 1, &item);
		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		meta.ReplaceString(Package::kLink, "Deskbar");
		item.ReplaceMessage(Package::kInstallMeta, &meta);
		instructions.ReplaceMessage(Package::kInstallFile, 1, &item);
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("the deinstaller recognises at most 255"));
	EXPECT_TRUE(diagnostics.Mentions("link 'Deskbar' is neither"));
}

TEST_F(InstallerExaminerTest, ListNamesEveryResource)
{
	Diagnostics diagnostics;
	InstallerExaminer inspector(diagnostics);
	ASSERT_TRUE(inspector.Open(Output()));
	char* text = nullptr;
	size_t length = 0;
	FILE* stream = open_memstream(&text, &length);
	inspector.List(stream);
	fclose(stream);
	std::string listing(text, length);
	free(text);
	EXPECT_NE(listing.find("'RAWT'     2100"), std::string::npos) << listing;
	EXPECT_NE(listing.find("Sample Docs\n"), std::string::npos);
	EXPECT_NE(listing.find("'CSTR'     2002"), std::string::npos);
	EXPECT_NE(listing.find("BRC:configuration"), std::string::npos);
	EXPECT_NE(listing.find("'RAWT'     2001"), std::string::npos);
}

TEST_F(InstallerExaminerTest, AFileWithoutConfigurationFailsToOpenForChecks)
{
	Diagnostics diagnostics;
	InstallerExaminer inspector(diagnostics);
	testing::internal::CaptureStderr();
	EXPECT_TRUE(inspector.Open("/bin/true"));
	testing::internal::GetCapturedStderr();
	EXPECT_FALSE(inspector.HasConfiguration());
	EXPECT_FALSE(inspector.Check());
	EXPECT_TRUE(diagnostics.Mentions("the configuration (CSTR 2002"));

	Diagnostics text;
	InstallerExaminer plain(text);
	write_text(fRoot / "notes.txt", "not a program");
	EXPECT_FALSE(plain.Open((fRoot / "notes.txt").string()));
	EXPECT_TRUE(text.Mentions("not an installer"));
}

TEST_F(InstallerExaminerTest, CatchesWhatWouldHurtTheUser)
{
	ReplaceConfiguration([](BMessage& configuration) {
		configuration.ReplaceString(Package::kOptCreatedFolder, "..");

		BMessage folders;
		for (const auto& [root, subDir] : { std::pair<int32, const char*> { 3000, "" },
				 { 99999, "Tools" }, { 3000, "Tools/../../.." }, { 1, "/etc" } }) {
			BMessage folder;
			folder.AddString(Package::kCustomFolderName, subDir);
			folder.AddInt32(Package::kCustomRootDir, root);
			folder.AddString(Package::kCustomSubDir, subDir);
			folder.AddBool(Package::kCustomReplaceExisting, true);
			folders.AddMessage(Package::kCustomFolder, &folder);
		}
		configuration.ReplaceMessage(Package::kCustomFolder, &folders);

		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 0, &item);
		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		meta.ReplaceString(Package::kLink, "User Selected");
		item.ReplaceMessage(Package::kInstallMeta, &meta);
		instructions.ReplaceMessage(Package::kInstallFile, 0, &item);
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);

		BMessage amount;
		configuration.FindMessage(Package::kReqDiskSpaceAmount, &amount);
		amount.ReplaceDouble(Package::kValue, std::nan(""));
		configuration.ReplaceMessage(Package::kReqDiskSpaceAmount, &amount);

		configuration.ReplaceBool(Package::kEditBootscript, true);
		configuration.ReplaceString(Package::kEditBootscriptTag, "StartUp");
		configuration.ReplaceBool(Package::kEditSetupEnv, true);
		configuration.ReplaceString(Package::kEditSetupEnvTag, "Sample");
		configuration.ReplaceBool(Package::kEditProfile, true);
		configuration.ReplaceString(Package::kEditProfileTag, "Sample_Profile");
		configuration.ReplaceString(Package::kEditProfileContents, "x=1\n#BEGIN_Sample\n");
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	for (const char* fragment : {
			 "opt_created_folder: the created folder cannot be '..'",
			 "custom folder '': the sub folder is empty",
			 "custom folder 'Tools': its root 99999 is not a standard folder code",
			 "custom folder 'Tools/../../..': the sub folder must not climb",
			 "custom folder '/etc': the sub folder must be a relative path",
			 "item 0 (sample-tool): its link goes to its own destination 'User Selected'",
			 "req_disk_space_amount: the disk space amount is not a finite number",
			 "edit_bootscript_tag: the tag 'StartUp' is (part of) the start-up section's tag",
			 "edit_setup_env_tag and edit_profile_tag: the tag 'Sample_Profile' contains the tag "
			 "'Sample'",
			 "edit_profile_contents: line 2 of the contents is the marker line '#BEGIN_Sample'",
		 }) {
		EXPECT_TRUE(diagnostics.Mentions(fragment)) << fragment;
	}
}

TEST_F(InstallerExaminerTest, CatchesAPayloadLinkLeavingTheItemAndASelectionOverTwoGiB)
{
	fs::path docs = fRoot / "hostile/Sample Docs";
	write_text(docs / "Guide.txt", "guide\n");
	fs::create_symlink("../../../home", docs / "up");
	fs::create_symlink("Guide.txt", docs / "fine");
	std::string archive = (fRoot / "hostile.zip").string();
	ASSERT_TRUE(PackEntry(docs.string(), archive, PackSettings()));
	std::string bytes = read_text(archive);
	Tamper([&](BResources& resources) {
		resources.AddResource(B_RAW_TYPE, 2101, bytes.data(), bytes.size(), "Sample Docs");
	});
	ReplaceConfiguration([](BMessage& configuration) {
		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		for (int32 i = 0; i < 2; i++) {
			BMessage item;
			instructions.FindMessage(Package::kInstallFile, i, &item);
			item.ReplaceInt32(Package::kFileSize, 0, INT32_MAX);
			instructions.ReplaceMessage(Package::kInstallFile, i, &item);
		}
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);
	});
	Diagnostics diagnostics;
	EXPECT_FALSE(Check(diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("item 1 (Sample Docs): its payload's link 'Sample Docs/up' -> "
									 "'../../../home' points outside the item"));
	EXPECT_FALSE(diagnostics.Mentions("'Sample Docs/fine'"));
	EXPECT_TRUE(diagnostics.Mentions("the items hold 4294967294 bytes together"));
}

TEST_F(InstallerExaminerTest, WeighsTheDeinstallerAsInstalled)
{
	Diagnostics fresh;
	EXPECT_TRUE(Check(fresh));
	EXPECT_FALSE(fresh.Mentions("deinstaller"));

	// Built before the configuration was counted: only a warning.
	int32 programOnly = static_cast<int32>(fs::file_size("/bin/false"));
	ReplaceConfiguration([&](BMessage& configuration) {
		configuration.ReplaceInt32(Package::kDeinstallerSize, programOnly);
	});
	Diagnostics older;
	EXPECT_TRUE(Check(older));
	EXPECT_TRUE(older.Mentions("(the size without its configuration)"));

	ReplaceConfiguration(
		[](BMessage& configuration) { configuration.ReplaceInt32(Package::kDeinstallerSize, 5); });
	Diagnostics wrong;
	EXPECT_FALSE(Check(wrong));
	EXPECT_TRUE(wrong.Mentions("BRC:deinstaller_size says 5 bytes but installed, with its "
							   "configuration, it takes"));
}

TEST_F(InstallerExaminerTest, ShowAndPrintTakeInstallTypesWithoutDescriptions)
{
	ReplaceConfiguration([](BMessage& configuration) {
		BMessage groups;
		groups.AddString(Package::kGroupName, "Full");
		groups.AddString(Package::kGroupName, "Minimal");
		groups.AddString(Package::kGroupDescription, "Everything.");
		configuration.ReplaceMessage(Package::kGroups, &groups);
	});
	Diagnostics diagnostics;
	InstallerExaminer examiner(diagnostics);
	ASSERT_TRUE(examiner.Open(Output()));
	std::string shown = (fRoot / "shown.txt").string();
	FILE* stream = fopen(shown.c_str(), "w");
	ASSERT_NE(stream, nullptr);
	examiner.Show(stream);
	EXPECT_TRUE(
		PrintManifest(examiner, Output(), (fRoot / "printed").string(), stream, diagnostics))
		<< first_message(diagnostics);
	fclose(stream);
	std::string text = read_text(shown);
	EXPECT_NE(text.find("    Full: Everything.\n    Minimal: \n"), std::string::npos) << text;
	EXPECT_NE(text.find("name = \"Minimal\"\ndescription = \"\"\n"), std::string::npos) << text;
}

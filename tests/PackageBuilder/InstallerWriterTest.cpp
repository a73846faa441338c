#include "InstallerWriter.h"

#include "LibAppResource.h"
#include "LibEntry.h"

#include "ConfigurationBuilder.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "PackageSchema.h"
#include "PackageTestSupport.h"
#include "PayloadArchive.h"

#include <File.h>
#include <Message.h>
#include <Mime.h>
#include <Node.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <map>
#include <unistd.h>
#include <vector>

using namespace package_test;

namespace {

const char* const kFullManifest = R"TOML(
[product]
name = "Sample"
version = "2.1"
release_date = "May 4, 2026"
company = "Sample Co."
support_email = "help@sample.example"
package_name = "Sample Package"
license = "Line one\nLine two"

[options]
created_folder = "Sample"
default_folder = "User Libraries"
log = false
create_startup = true
save_replaced = false
show_beos_folders = true
compression = 6

[requirements]
boot_volume_only = true
removable_volumes_ok = false
shared_volumes_ok = true
disk_space_kb = 300
disk_space_required = true
ram_mb = 64
libraries = ["libone.so", "libtwo.so"]
libraries_required = false
apps = ["Editor (application/x-vnd.Sample-Editor)"]

[scripts.bootscript]
tag = "Sample_Boot"
contents = "echo boot"

[scripts.setup_environment]
enabled = false
tag = "Sample_Env"
contents = "export A=1"

[scripts.profile]
tag = "Sample_Profile"
contents = "alias s=sample"

[completion]
comments = "Thanks."
restart = true
display_folder = true

[[install_types]]
name = "Full"
description = "Everything"

[[install_types]]
name = "Tools"

[[custom_folders]]
name = "StartUp"
root = "User Boot"
sub_dir = "Sample StartUp"
replace = false

[[items]]
path = "payload/sample-tool"
destination = "User Selected"
destination_exists = "Rename"
link = "User Deskbar"
link_exists = "Prompt"
auto_launch = true
auto_launch_reason = "It says hello."
install_types = ["Full", "Tools"]

[[items]]
path = "payload/Sample Docs"
destination = "StartUp"
deinstallable = false
install_types = ["Full"]
)TOML";

std::string
text_of(const BMessage& message, const char* name, int32 index = 0)
{
	const char* text = nullptr;
	if (message.FindString(name, index, &text) != B_OK)
		return "<missing>";
	return text;
}

bool
flag_of(const BMessage& message, const char* name)
{
	bool value = false;
	EXPECT_EQ(message.FindBool(name, &value), B_OK) << name;
	return value;
}

int32
int32_of(const BMessage& message, const char* name, int32 index = 0)
{
	int32 value = -1;
	EXPECT_EQ(message.FindInt32(name, index, &value), B_OK) << name;
	return value;
}

BMessage
message_of(const BMessage& message, const char* name, int32 index = 0)
{
	BMessage nested;
	EXPECT_EQ(message.FindMessage(name, index, &nested), B_OK) << name;
	return nested;
}

std::map<std::string, std::string>
attributes_of(const std::string& path)
{
	std::map<std::string, std::string> attributes;
	BNode node(path.c_str());
	char name[B_ATTR_NAME_LENGTH + 1];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		node.GetAttrInfo(name, &info);
		std::string data(info.size, '\0');
		node.ReadAttr(name, info.type, 0, data.data(), info.size);
		attributes[name] = data;
	}
	return attributes;
}

// Compares two entries and everything below them: kinds, contents, modes, times and
// attributes.
void
expect_same_tree(const fs::path& expected, const fs::path& actual)
{
	struct stat a;
	struct stat b;
	ASSERT_EQ(lstat(expected.c_str(), &a), 0) << expected;
	ASSERT_EQ(lstat(actual.c_str(), &b), 0) << actual;
	EXPECT_EQ(a.st_mode, b.st_mode) << actual;
	// Extraction types what carries no type yet; every other attribute comes back as it was.
	std::map<std::string, std::string> expectedAttributes = attributes_of(expected.string());
	std::map<std::string, std::string> actualAttributes = attributes_of(actual.string());
	if (expectedAttributes.count("BEOS:TYPE") == 0)
		actualAttributes.erase("BEOS:TYPE");
	EXPECT_EQ(expectedAttributes, actualAttributes) << actual;
	if (S_ISREG(a.st_mode)) {
		EXPECT_EQ(read_text(expected), read_text(actual)) << actual;
		EXPECT_EQ(a.st_mtime, b.st_mtime) << actual;
	}
	if (!S_ISDIR(a.st_mode))
		return;
	std::vector<std::string> names;
	for (const fs::directory_entry& entry : fs::directory_iterator(expected))
		names.push_back(entry.path().filename());
	std::vector<std::string> actualNames;
	for (const fs::directory_entry& entry : fs::directory_iterator(actual))
		actualNames.push_back(entry.path().filename());
	std::sort(names.begin(), names.end());
	std::sort(actualNames.begin(), actualNames.end());
	ASSERT_EQ(names, actualNames) << actual;
	for (const std::string& name : names)
		expect_same_tree(expected / name, actual / name);
}

} // namespace

TEST_F(PackageTest, BuiltConfigurationMatchesTheManifestFieldByField)
{
	BNode tool((fRoot / "payload/sample-tool").c_str());
	ASSERT_EQ(tool.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, "text/x-script", 14), 14);

	Diagnostics diagnostics;
	Manifest manifest;
	ASSERT_TRUE(Build(WriteManifest(kFullManifest), diagnostics, "Sample-Installer", &manifest));

	BMessage c;
	ASSERT_EQ(ReadPackageConfiguration(Output().c_str(), c), B_OK);
	std::vector<std::string> problems;
	std::vector<std::string> unknown;
	CheckAgainstSchema(c, ConfigurationSchema(), problems, unknown);
	EXPECT_TRUE(problems.empty()) << problems.front();
	EXPECT_TRUE(unknown.empty()) << unknown.front();

	// Stored in the order of the package format.
	std::vector<std::string> order;
	char* name = nullptr;
	type_code type = 0;
	for (int32 i = 0; c.GetInfo(B_ANY_TYPE, i, &name, &type) == B_OK; i++)
		order.push_back(name);
	std::vector<std::string> expectedOrder;
	for (const SchemaField& field : ConfigurationSchema().fields) {
		if (c.HasData(field.name, B_ANY_TYPE))
			expectedOrder.push_back(field.name);
	}
	EXPECT_EQ(order, expectedOrder);
	EXPECT_EQ(c.what, 0u);

	EXPECT_EQ(text_of(c, Package::kInstallFolderName), manifest.packageName);
	EXPECT_EQ(text_of(c, Package::kAppName), manifest.name);
	EXPECT_EQ(text_of(c, Package::kVersion), manifest.version);
	EXPECT_EQ(text_of(c, Package::kReleaseDate), manifest.releaseDate);
	EXPECT_EQ(text_of(c, Package::kCompany), manifest.company);
	EXPECT_EQ(text_of(c, Package::kSupportEmail), manifest.supportEmail);
	EXPECT_TRUE(message_of(c, Package::kAboutImage).IsEmpty());
	EXPECT_EQ(text_of(c, Package::kAudioFile), "None");
	EXPECT_FALSE(c.HasData(Package::kAudioData, B_ANY_TYPE));
	EXPECT_EQ(text_of(c, Package::kLicense), "Line one\nLine two");

	BMessage groups = message_of(c, Package::kGroups);
	EXPECT_EQ(text_of(groups, Package::kGroupName, 0), "Full");
	EXPECT_EQ(text_of(groups, Package::kGroupDescription, 0), "Everything");
	EXPECT_EQ(text_of(groups, Package::kGroupName, 1), "Tools");
	EXPECT_EQ(text_of(groups, Package::kGroupDescription, 1), "");

	BMessage folders = message_of(c, Package::kCustomFolder);
	BMessage folder = message_of(folders, Package::kCustomFolder);
	EXPECT_EQ(text_of(folder, Package::kCustomFolderName), "StartUp");
	EXPECT_EQ(int32_of(folder, Package::kCustomRootDir), 3003);
	EXPECT_EQ(text_of(folder, Package::kCustomSubDir), "Sample StartUp");
	EXPECT_FALSE(flag_of(folder, Package::kCustomReplaceExisting));

	EXPECT_FALSE(flag_of(c, Package::kOptLog));
	EXPECT_TRUE(flag_of(c, Package::kOptCreateStartup));
	EXPECT_FALSE(flag_of(c, Package::kOptSaveReplaced));
	EXPECT_EQ(text_of(c, Package::kOptDefaultFolder), "User Libraries");
	EXPECT_EQ(text_of(c, Package::kOptCreatedFolder), "Sample");
	EXPECT_TRUE(flag_of(c, Package::kOptShowBeosFolders));
	EXPECT_EQ(int32_of(c, Package::kOptCompression), 6);

	EXPECT_TRUE(flag_of(c, Package::kReqDiskSpaceNeeded));
	EXPECT_TRUE(flag_of(c, Package::kReqDiskSpaceRequired));
	BMessage amount = message_of(c, Package::kReqDiskSpaceAmount);
	EXPECT_EQ(int32_of(amount, Package::kValueType), static_cast<int32>('kb  '));
	float conversion = 0;
	EXPECT_EQ(amount.FindFloat(Package::kValueConversion, &conversion), B_OK);
	EXPECT_EQ(conversion, 1024.0f);
	double value = 0;
	EXPECT_EQ(amount.FindDouble(Package::kValue, &value), B_OK);
	EXPECT_EQ(value, 300.0 * 1024);
	EXPECT_TRUE(flag_of(c, Package::kReqBootVolOnly));
	EXPECT_FALSE(flag_of(c, Package::kReqRemovableVolOk));
	EXPECT_TRUE(flag_of(c, Package::kReqSharedVolOk));
	EXPECT_TRUE(flag_of(c, Package::kReqRamNeeded));
	EXPECT_FALSE(flag_of(c, Package::kReqRamRequired));
	EXPECT_EQ(int32_of(c, Package::kReqRamAmount), 64);
	BMessage libraries = message_of(c, Package::kReqSharedLibrary);
	EXPECT_FALSE(flag_of(libraries, "req_shared_librry_req"));
	EXPECT_EQ(text_of(libraries, "req_shared_library_name", 0), "libone.so");
	EXPECT_EQ(text_of(libraries, "req_shared_library_name", 1), "libtwo.so");
	BMessage apps = message_of(c, Package::kReqApps);
	EXPECT_TRUE(flag_of(apps, Package::kReqAppRequired));
	EXPECT_EQ(text_of(apps, Package::kReqAppName), "Editor (application/x-vnd.Sample-Editor)");

	EXPECT_TRUE(flag_of(c, Package::kEditBootscript));
	EXPECT_EQ(text_of(c, Package::kEditBootscriptTag), "Sample_Boot");
	EXPECT_EQ(text_of(c, Package::kEditBootscriptContents), "echo boot");
	EXPECT_FALSE(flag_of(c, Package::kEditSetupEnv));
	EXPECT_EQ(text_of(c, Package::kEditSetupEnvTag), "Sample_Env");
	EXPECT_TRUE(flag_of(c, Package::kEditProfile));
	EXPECT_EQ(text_of(c, Package::kEditProfileContents), "alias s=sample");
	EXPECT_EQ(text_of(c, Package::kCompleteComments), "Thanks.");
	EXPECT_TRUE(flag_of(c, Package::kCompleteRestart));
	EXPECT_TRUE(flag_of(c, Package::kCompleteDisplayFolder));
	// The deinstaller as the installer writes it: the program carried, expanded and typed,
	// with its reduced configuration added through the installer's own resource class.
	{
		BFile file(Output().c_str(), B_READ_ONLY);
		BResources resources(&file);
		size_t size = 0;
		const void* data = resources.LoadResource(B_RAW_TYPE, 2001, &size);
		fs::path installed = fRoot / "installed/Sample 2.1 Deinstaller";
		fs::create_directories(installed.parent_path());
		ASSERT_TRUE(ExtractArchive(data, size, "Tarnwick", installed.string()));
		update_mime_info(installed.c_str(), false, true, true);
		BMessage reduced;
		BuildDeinstallerConfiguration(c, reduced);
		std::vector<char> flat(reduced.FlattenedSize());
		ASSERT_EQ(reduced.Flatten(flat.data(), flat.size()), B_OK);
		LibAppResource deinstaller(installed.c_str(), B_READ_WRITE);
		ASSERT_EQ(deinstaller.AddResource(
					  B_STRING_TYPE, 2002, flat.data(), flat.size(), "BRC:configuration"),
			B_OK);
		ASSERT_EQ(deinstaller.Sync(), B_OK);
		EXPECT_EQ(int32_of(c, Package::kDeinstallerSize), LibEntrySize(installed.c_str(), true));
		EXPECT_GT(int32_of(c, Package::kDeinstallerSize),
			static_cast<int32>(fs::file_size("/bin/false")));
	}

	BMessage instructions = message_of(c, Package::kInstallInstructions);
	for (int32 i = 0; i < 2; i++) {
		const ManifestItem& item = manifest.items[i];
		BMessage record = message_of(instructions, Package::kInstallFile, i);
		EXPECT_EQ(text_of(record, Package::kFileName), item.path);
		int8 kind = 0;
		EXPECT_EQ(record.FindInt8(Package::kFileType, &kind), B_OK);
		EXPECT_EQ(kind, i == 0 ? 1 : 2);
		int32 size = int32_of(record, Package::kFileSize, 0);
		EXPECT_EQ(size, LibEntrySize(item.path.c_str(), true));
		EXPECT_EQ(int32_of(record, Package::kFileSize, 1), size);
		struct stat status;
		ASSERT_EQ(lstat(item.path.c_str(), &status), 0);
		int64 modified = 0;
		EXPECT_EQ(record.FindInt64(Package::kFileModified, &modified), B_OK);
		EXPECT_EQ(modified, static_cast<int64>(status.st_mtime));
		EXPECT_TRUE(record.HasData(Package::kFileCreation, B_INT64_TYPE));
		EXPECT_TRUE(record.HasData(Package::kFileAccessed, B_INT64_TYPE));
		BMessage icon = message_of(record, Package::kFileIcon);
		EXPECT_EQ(text_of(icon, "class"), "LibBitmap");
		EXPECT_EQ(int32_of(icon, "_cspace"), 4);
		EXPECT_EQ(int32_of(icon, "_bmflags"), 1);
		EXPECT_EQ(int32_of(icon, "_rowbytes"), 16);
		const void* bits = nullptr;
		ssize_t length = 0;
		EXPECT_EQ(icon.FindData("_data", B_RAW_TYPE, &bits, &length), B_OK);
		EXPECT_EQ(length, 256);
		BRect frame;
		EXPECT_EQ(icon.FindRect("_frame", &frame), B_OK);
		EXPECT_EQ(frame, BRect(0, 0, 15, 15));
		EXPECT_EQ(text_of(record, Package::kFileGroups), i == 0 ? "Full;Tools;" : "Full;");
		EXPECT_FALSE(record.HasData(Package::kInstallToSystem, B_ANY_TYPE));

		BMessage meta = message_of(record, Package::kInstallMeta);
		EXPECT_EQ(text_of(meta, Package::kDestination), item.destination);
		EXPECT_EQ(text_of(meta, Package::kDestinationExists), item.destinationExists);
		EXPECT_EQ(text_of(meta, Package::kLink), item.link);
		EXPECT_EQ(text_of(meta, Package::kLinkExists), item.linkExists);
		EXPECT_EQ(text_of(meta, Package::kDeinstallable), i == 0 ? "True" : "False");
		EXPECT_EQ(text_of(meta, Package::kAutoLaunch), i == 0 ? "True" : "False");
		EXPECT_EQ(text_of(meta, Package::kAutoLaunchReason), item.autoLaunchReason);
	}
}

TEST_F(PackageTest, EachItemsPayloadExpandsToTheItem)
{
	BNode docs((fRoot / "payload/Sample Docs/Guide.txt").c_str());
	ASSERT_EQ(docs.WriteAttr("Sample:rating", B_INT32_TYPE, 0, "\x05\0\0\0", 4), 4);
	fs::create_symlink("Guide.txt", fRoot / "payload/Sample Docs/Start Here");

	Diagnostics diagnostics;
	ASSERT_TRUE(Build(WriteManifest(kFullManifest), diagnostics));

	// Expanded the way the installer does it, through its own resources.
	LibAppResource resources(Output().c_str(), B_READ_ONLY);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	const char* leaves[] = { "sample-tool", "Sample Docs" };
	for (int32 i = 0; i < 2; i++) {
		const char* name = nullptr;
		size_t size = 0;
		ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2100 + i, &name, &size));
		EXPECT_STREQ(name, leaves[i]);
		fs::path target = fRoot / "expanded" / leaves[i];
		fs::create_directories(target.parent_path());
		ASSERT_TRUE(ExtractPayload(resources, i, target.c_str()));
		expect_same_tree(fRoot / "payload" / leaves[i], target);
	}
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2102));
}

TEST_F(PackageTest, PayloadsLargerThanTheStreamingPiecesExpandWhole)
{
	// Archives of several megabytes go into the installer piece by piece; every piece
	// must land where it belongs, whatever the threads that compressed the files.
	std::string noise;
	uint32 value = 12345;
	for (int i = 0; i < 3 * 1024 * 1024 + 17; i++) {
		value = value * 1103515245u + 12345u;
		noise += static_cast<char>(value >> 24);
	}
	write_text(fRoot / "payload/Sample Docs/noise.bin", noise);
	write_text(fRoot / "payload/Sample Docs/more/noise again.bin", noise.substr(1000) + "end");

	Diagnostics diagnostics;
	ASSERT_TRUE(Build(WriteManifest(kFullManifest), diagnostics));
	LibAppResource resources(Output().c_str(), B_READ_ONLY);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2101, nullptr, &size));
	EXPECT_GT(size, noise.size() * 2);
	fs::path target = fRoot / "expanded" / "Sample Docs";
	fs::create_directories(target.parent_path());
	ASSERT_TRUE(ExtractPayload(resources, 1, target.c_str()));
	expect_same_tree(fRoot / "payload" / "Sample Docs", target);
}

TEST_F(PackageTest, ABuildWritesTheApplicationResourcesAndTheDeinstaller)
{
	Diagnostics diagnostics;
	ASSERT_TRUE(Build(WriteManifest(kFullManifest), diagnostics));
	BFile file(Output().c_str(), B_READ_ONLY);
	BResources resources(&file);

	const struct {
		type_code type;
		int32 id;
		const char* name;
		size_t size;
	} expected[] = {
		{ 'MICN', 101, "BEOS:M:STD_ICON", 256 },
		{ 'ICON', 101, "BEOS:L:STD_ICON", 1024 },
		{ 'MICN', 0, "BEOS:M:text/brimlow", 256 },
		{ 'ICON', 0, "BEOS:L:text/brimlow", 1024 },
		{ 'MICN', 1, "BEOS:M:text/x-brimlow", 256 },
		{ 'ICON', 1, "BEOS:L:text/x-brimlow", 1024 },
		{ 'MIMS', 1, "BEOS:APP_SIG", sizeof("application/x-vnd.Quillfield.Brimlow") },
		{ 'MIMS', 2, "BEOS:TYPE", sizeof("application/x-vnd.Be-elfexecutable") },
		{ 'APPF', 1, "BEOS:APP_FLAGS", 4 },
		{ 'APPV', 1, "BEOS:APP_VERSION", 680 },
	};

	for (const auto& row : expected) {
		const char* name = nullptr;
		size_t size = 0;
		ASSERT_TRUE(resources.GetResourceInfo(row.type, row.id, &name, &size)) << row.name;
		EXPECT_STREQ(name, row.name);
		EXPECT_EQ(size, row.size) << row.name;
	}
	const char* name = nullptr;
	size_t size = 0;
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2001, &name, &size));
	EXPECT_STREQ(name, "Tarnwick");
	const void* data = resources.LoadResource(B_RAW_TYPE, 2001, &size);
	fs::path deinstaller = fRoot / "Tarnwick";
	ASSERT_TRUE(ExtractArchive(data, size, "Tarnwick", deinstaller.string()));
	EXPECT_EQ(read_text(deinstaller), read_text("/bin/false"));
	EXPECT_EQ(fs::status(deinstaller).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);

	// The installer still runs as the program it was made from.
	EXPECT_EQ(system(("'" + Output() + "'").c_str()), 0);
}

TEST_F(PackageTest, AnInstallerAsBaseGetsItsPackageResourcesReplaced)
{
	Diagnostics diagnostics;
	ASSERT_TRUE(Build(WriteManifest(kFullManifest), diagnostics, "First"));

	std::string second =
		std::string(kProductHeader) + "\n[[items]]\npath = \"payload/sample-tool\"\n";
	Manifest manifest;
	ManifestReader reader(diagnostics);
	ASSERT_TRUE(reader.Read(WriteManifest(second, "second.toml"), manifest));
	BuildOptions options;
	options.output = Output("Second");
	options.base = Output("First");
	options.deinstaller = "/bin/false";
	ASSERT_TRUE(WriteInstaller(manifest, options, diagnostics));

	BFile file(Output("Second").c_str(), B_READ_ONLY);
	BResources resources(&file);
	EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, 2100));
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2101));
	BMessage c;
	ASSERT_EQ(ReadPackageConfiguration(resources, c), B_OK);
	EXPECT_EQ(text_of(c, Package::kVersion), "2.1");
	EXPECT_FALSE(c.HasData(Package::kGroups, B_ANY_TYPE));
}

TEST_F(PackageTest, AFailedBuildLeavesNothingBehind)
{
	// A base that is not an executable and has no resources cannot take the package.
	write_text(fRoot / "not-a-program", "plain text, no resources");
	std::string text =
		std::string(kProductHeader) + "\n[[items]]\npath = \"payload/sample-tool\"\n";
	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	ASSERT_TRUE(reader.Read(WriteManifest(text), manifest));
	write_text(Output(), "an older installer");
	BuildOptions options;
	options.output = Output();
	options.base = (fRoot / "not-a-program").string();
	EXPECT_FALSE(WriteInstaller(manifest, options, diagnostics));
	EXPECT_EQ(read_text(Output()), "an older installer");
	for (const fs::directory_entry& entry : fs::directory_iterator(fRoot))
		EXPECT_EQ(entry.path().filename().string().find(".partial-"), std::string::npos);
	// The work folder in the temporary folder is gone too.
	for (const fs::directory_entry& entry : fs::directory_iterator(getenv("TMPDIR")))
		EXPECT_EQ(entry.path().filename().string().find("PackageBuilder-"), std::string::npos);
}

namespace {

// A sparse file of size bytes: large payloads without the disk space.
void
make_sparse(const fs::path& path, uint64 size, bool executable = false)
{
	write_text(path, "");
	fs::resize_file(path, size);
	if (executable)
		chmod(path.c_str(), 0755);
}

} // namespace

TEST_F(PackageTest, RefusesSizesBeyondTheConfigurationsFieldsBeforePacking)
{
	make_sparse(fRoot / "payload/huge.img", (uint64(1) << 31) + 1);
	make_sparse(fRoot / "payload/half-a.img", (uint64(3) << 29));
	make_sparse(fRoot / "payload/half-b.img", (uint64(3) << 29));

	struct {
		const char* what;
		std::string items;
		const char* fragment;
		int64 line;
	} const rows[] = {
		{ "one item over 2 GiB", "\n[[items]]\npath = \"payload/huge.img\"\n",
			"huge.img holds 2147483649 bytes with its attributes; an item can hold at most "
			"2147483647 bytes (2 GiB)",
			12 },
		{ "a selection over 2 GiB",
			"\n[[items]]\npath = \"payload/half-a.img\"\n\n[[items]]\npath = "
			"\"payload/half-b.img\"\n",
			"the items hold 3221225472 bytes together; the items a user can select may hold at "
			"most 2147483647 bytes (2 GiB)",
			0 },
	};

	for (const auto& row : rows) {
		Diagnostics diagnostics;
		EXPECT_FALSE(Build(WriteManifest(std::string(kProductHeader) + row.items), diagnostics))
			<< row.what;
		EXPECT_TRUE(diagnostics.Mentions(row.fragment))
			<< row.what << ": " << first_message(diagnostics);
		ASSERT_FALSE(diagnostics.Entries().empty()) << row.what;
		EXPECT_EQ(diagnostics.Entries().front().line, row.line) << row.what;
		EXPECT_FALSE(fs::exists(Output())) << row.what;
	}
}

TEST_F(PackageTest, RefusesAnInstallerBeyondFourGiBBeforePacking)
{
	make_sparse(fRoot / "huge-base", (uint64(1) << 32) + 1, true);
	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	ASSERT_TRUE(reader.Read(WriteManifest(std::string(kProductHeader)
								+ "\n[[items]]\npath = \"payload/sample-tool\"\n"),
		manifest));
	BuildOptions options;
	options.output = Output();
	options.base = (fRoot / "huge-base").string();
	options.deinstaller = "/bin/false";
	EXPECT_FALSE(WriteInstaller(manifest, options, diagnostics));
	EXPECT_TRUE(diagnostics.Mentions("an installer can hold at most 4294967295 bytes (4 GiB)"))
		<< first_message(diagnostics);
	EXPECT_FALSE(fs::exists(Output()));
}

TEST_F(PackageTest, TheBaseAndTheDeinstallerMustBePrograms)
{
	write_text(fRoot / "script.txt", "not executable\n");
	Diagnostics read;
	Manifest manifest;
	ManifestReader reader(read);
	ASSERT_TRUE(reader.Read(WriteManifest(std::string(kProductHeader)
								+ "\n[[items]]\npath = \"payload/sample-tool\"\n"),
		manifest));

	struct {
		std::string base;
		std::string deinstaller;
		const char* fragment;
	} const rows[] = {
		{ "/bin/true", (fRoot / "script.txt").string(), "script.txt is not a program" },
		{ "/bin/true", (fRoot / "payload").string(), "payload is not a program" },
		{ (fRoot / "script.txt").string(), "/bin/false", "script.txt is not a program" },
		{ fRoot.string(), "/bin/false", "is not a program" },
	};

	for (const auto& row : rows) {
		Diagnostics diagnostics;
		BuildOptions options;
		options.output = Output();
		options.base = row.base;
		options.deinstaller = row.deinstaller;
		EXPECT_FALSE(WriteInstaller(manifest, options, diagnostics)) << row.base << row.deinstaller;
		EXPECT_TRUE(diagnostics.Mentions(row.fragment)) << row.base << " " << row.deinstaller;
		EXPECT_FALSE(fs::exists(Output()));
	}
}

TEST_F(PackageTest, TheNewInstallerIsWrittenUnderAFreshNameNeverThroughALink)
{
	// Someone who can write beside the output leaves links under the names a build might
	// take; none of them is followed.
	write_text(fRoot / "victim", "precious\n");
	for (int pid = getpid(), i = 0; i < 4; i++)
		fs::create_symlink(fRoot / "victim", Output() + ".partial-" + std::to_string(pid + i));
	Diagnostics diagnostics;
	ASSERT_TRUE(Build(WriteManifest(std::string(kProductHeader)
						  + "\n[[items]]\npath = \"payload/sample-tool\"\n"),
		diagnostics));
	EXPECT_EQ(read_text(fRoot / "victim"), "precious\n");
	EXPECT_TRUE(fs::is_symlink(Output() + ".partial-" + std::to_string(getpid())));
	EXPECT_EQ(fs::status(Output()).permissions() & fs::perms::all,
		fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
			| fs::perms::others_read | fs::perms::others_exec);
	BMessage configuration;
	EXPECT_EQ(ReadPackageConfiguration(Output().c_str(), configuration), B_OK);
}

#include "PackageConfiguration.h"

#include "LibString.h"
#include "PackageDefs.h"
#include "TempDir.h"

#include <File.h>
#include <Message.h>
#include <Resources.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A small ELF program to carry resources, as an installer executable does.
std::string
copy_program(const ScopedTempDir& folder)
{
	std::string path = folder.Child("installer");
	fs::copy_file("/bin/true", path);
	return path;
}

void
add_resource(const std::string& path, type_code type, int32 id, const void* data, size_t size,
	const char* name)
{
	BFile file(path.c_str(), B_READ_WRITE);
	BResources resources(&file);
	ASSERT_EQ(resources.AddResource(type, id, data, size, name), B_OK);
	ASSERT_EQ(resources.Sync(), B_OK);
}

void
add_configuration(const std::string& path, const BMessage& configuration)
{
	std::vector<char> flat(configuration.FlattenedSize());
	ASSERT_EQ(configuration.Flatten(flat.data(), flat.size()), B_OK);
	add_resource(path, Package::kStringType, Package::kConfigurationId, flat.data(), flat.size(),
		Package::kConfigurationName);
}

std::vector<std::string>
field_names(const BMessage& message)
{
	std::vector<std::string> names;
	char* name = nullptr;
	type_code type = 0;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type) == B_OK; i++)
		names.push_back(name);
	return names;
}

BMessage
sample_configuration()
{
	BMessage configuration;
	configuration.AddString(Package::kAppName, "Example");
	configuration.AddString(Package::kVersion, "1.0");
	configuration.AddString(Package::kReleaseDate, "Jan 1, 2000");
	configuration.AddString(Package::kCompany, "Example Co.");
	configuration.AddString(Package::kSupportEmail, "help at example");
	configuration.AddString(Package::kLicense, "Be nice.");
	configuration.AddBool(Package::kEditBootscript, true);
	configuration.AddString(Package::kEditBootscriptTag, "ExampleBoot");
	configuration.AddString(Package::kEditBootscriptContents, "echo boot");
	configuration.AddBool(Package::kEditSetupEnv, false);
	configuration.AddString(Package::kEditSetupEnvTag, "ExampleEnv");
	configuration.AddBool(Package::kEditProfile, true);
	configuration.AddString(Package::kEditProfileTag, "ExampleProfile");
	return configuration;
}

} // namespace

TEST(PackageConfiguration, ReadsTheConfigurationFromTheStringResource)
{
	ScopedTempDir folder;
	std::string path = copy_program(folder);
	BMessage configuration = sample_configuration();
	add_configuration(path, configuration);
	// The help archive shares the id under another type.
	add_resource(path, Package::kRawType, Package::kHelpId, "PK", 2, Package::kHelpName);

	BMessage read;
	read.AddString("stale", "value");
	ASSERT_EQ(ReadPackageConfiguration(path.c_str(), read), B_OK);
	EXPECT_EQ(field_names(read), field_names(configuration));
	const char* license = nullptr;
	ASSERT_EQ(read.FindString(Package::kLicense, &license), B_OK);
	EXPECT_STREQ(license, "Be nice.");
}

TEST(PackageConfiguration, ReportsAMissingConfigurationEvenWhenTheHelpHasItsId)
{
	ScopedTempDir folder;
	std::string path = copy_program(folder);
	add_resource(path, Package::kRawType, Package::kHelpId, "PK", 2, Package::kHelpName);

	BMessage read;
	read.AddString("stale", "value");
	testing::internal::CaptureStderr();
	EXPECT_EQ(ReadPackageConfiguration(path.c_str(), read), B_NAME_NOT_FOUND);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "Does not have resource 2002\n");
	EXPECT_TRUE(read.IsEmpty());
}

TEST(PackageConfiguration, RejectsABlobThatDoesNotUnflatten)
{
	ScopedTempDir folder;
	std::string path = copy_program(folder);
	const char garbage[] = "not a flattened message at all";
	add_resource(path, Package::kStringType, Package::kConfigurationId, garbage, sizeof(garbage),
		Package::kConfigurationName);

	BMessage read;
	EXPECT_NE(ReadPackageConfiguration(path.c_str(), read), B_OK);
	EXPECT_TRUE(read.IsEmpty());
}

TEST(PackageConfiguration, AMissingFileCountsAsHavingNoResource)
{
	ScopedTempDir folder;
	BMessage read;
	testing::internal::CaptureStderr();
	EXPECT_EQ(ReadPackageConfiguration(folder.Child("absent").c_str(), read), B_NAME_NOT_FOUND);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "Does not have resource 2002\n");
}

TEST(PackageConfiguration, FindsItemPayloadsByPosition)
{
	ScopedTempDir folder;
	std::string path = copy_program(folder);
	add_resource(path, Package::kRawType, 2100, "first", 5, "Docs");
	add_resource(path, Package::kRawType, 2102, "third!", 6, "demo.sh");

	EXPECT_EQ(PayloadResourceId(0), 2100);
	EXPECT_EQ(PayloadResourceId(7), 2107);

	BFile file(path.c_str(), B_READ_ONLY);
	BResources resources(&file);
	const char* name = nullptr;
	size_t size = 0;
	ASSERT_TRUE(GetPayloadInfo(resources, 0, &name, &size));
	EXPECT_STREQ(name, "Docs");
	EXPECT_EQ(size, 5u);
	EXPECT_FALSE(GetPayloadInfo(resources, 1, &name, &size));
	ASSERT_TRUE(GetPayloadInfo(resources, 2, &name, &size));
	EXPECT_STREQ(name, "demo.sh");
}

TEST(PackageConfiguration, InstallationTagEndsEveryFieldWithASemicolon)
{
	LibString tag;
	BuildInstallationTag(sample_configuration(), tag);
	EXPECT_EQ(tag, "Example;1.0;Jan 1, 2000;Example Co.;help at example;");

	BMessage partial;
	partial.AddString(Package::kAppName, "Only");
	BuildInstallationTag(partial, tag);
	EXPECT_EQ(tag, "Only;;;;;");
}

TEST(PackageConfiguration, DeinstallerConfigurationKeepsOnlyItsFieldsInOrder)
{
	BMessage configuration = sample_configuration();
	BMessage reduced;
	reduced.AddString("stale", "value");
	BuildDeinstallerConfiguration(configuration, reduced);

	EXPECT_EQ(reduced.what, 0u);
	EXPECT_EQ(field_names(reduced),
		(std::vector<std::string> { "app_name", "version", "release_date", "company",
			"support_email", "edit_bootscript", "edit_bootscript_tag", "edit_setup_env",
			"edit_profile", "edit_profile_tag" }));
	bool flag = true;
	ASSERT_EQ(reduced.FindBool(Package::kEditSetupEnv, &flag), B_OK);
	EXPECT_FALSE(flag);
	const char* tag = nullptr;
	ASSERT_EQ(reduced.FindString(Package::kEditProfileTag, &tag), B_OK);
	EXPECT_STREQ(tag, "ExampleProfile");
}

TEST(PackageConfiguration, DeinstallerConfigurationCarriesTheAboutImageWhenPresent)
{
	BMessage configuration = sample_configuration();
	BMessage image;
	image.AddString("class", "BBitmap");
	configuration.AddMessage(Package::kAboutImage, &image);
	configuration.RemoveName(Package::kEditBootscript);

	BMessage reduced;
	BuildDeinstallerConfiguration(configuration, reduced);
	EXPECT_EQ(field_names(reduced),
		(std::vector<std::string> { "app_name", "version", "release_date", "company",
			"support_email", "about_image", "edit_bootscript", "edit_setup_env", "edit_profile",
			"edit_profile_tag" }));
	BMessage copied;
	ASSERT_EQ(reduced.FindMessage(Package::kAboutImage, &copied), B_OK);
	const char* className = nullptr;
	ASSERT_EQ(copied.FindString("class", &className), B_OK);
	EXPECT_STREQ(className, "BBitmap");
}

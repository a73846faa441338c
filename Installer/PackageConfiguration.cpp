#include "PackageConfiguration.h"

#include "LibAppResource.h"
#include "LibString.h"
#include "PackageDefs.h"

#include <File.h>
#include <Message.h>
#include <Resources.h>

#include <cstdio>
#include <cstdlib>

const char* const kConfigurationErrorText =
	"Error obtaining configuration in installer. The installer was improperly built.";

namespace {

void
copy_string(const BMessage& from, BMessage& to, const char* name)
{
	const char* text = nullptr;
	if (from.FindString(name, &text) == B_OK)
		to.AddString(name, text);
}

// A flag that is missing reads as false; its tag goes along only when it is true.
void
copy_flag_and_tag(const BMessage& from, BMessage& to, const char* flagName, const char* tagName)
{
	bool flag = false;
	if (from.FindBool(flagName, &flag) != B_OK)
		flag = false;
	to.AddBool(flagName, flag);
	if (flag)
		copy_string(from, to, tagName);
}

} // namespace

status_t
ReadPackageConfiguration(BResources& resources, BMessage& configuration)
{
	configuration.MakeEmpty();

	if (!resources.HasResource(Package::kStringType, Package::kConfigurationId)) {
		fprintf(stderr, "Does not have resource %d\n", Package::kConfigurationId);
		return B_NAME_NOT_FOUND;
	}

	size_t size = 0;
	void* data = resources.FindResource(Package::kStringType, Package::kConfigurationId, &size);
	if (data == nullptr) {
		fprintf(stderr, "Unable to read resource %d\n", Package::kConfigurationId);
		return B_IO_ERROR;
	}

	status_t status = configuration.Unflatten(static_cast<const char*>(data), size);
	free(data);
	if (status != B_OK)
		configuration.MakeEmpty();
	return status;
}

status_t
ReadPackageConfiguration(const char* executablePath, BMessage& configuration)
{
	BFile file(executablePath, B_READ_ONLY);
	BResources resources;
	if (file.InitCheck() != B_OK || resources.SetTo(&file) != B_OK) {
		configuration.MakeEmpty();
		fprintf(stderr, "Does not have resource %d\n", Package::kConfigurationId);
		return B_NAME_NOT_FOUND;
	}
	return ReadPackageConfiguration(resources, configuration);
}

int32
PayloadResourceId(int32 index)
{
	return Package::kFirstPayloadId + index;
}

bool
GetPayloadInfo(BResources& resources, int32 index, const char** name, size_t* size)
{
	return resources.GetResourceInfo(Package::kRawType, PayloadResourceId(index), name, size);
}

bool
ExtractPayload(LibAppResource& resources, int32 index, const char* destination)
{
	return resources.ExtractEntry(PayloadResourceId(index), destination, true);
}

void
BuildInstallationTag(const BMessage& configuration, LibString& tag)
{
	static const char* const kTagFields[] = { Package::kAppName, Package::kVersion,
		Package::kReleaseDate, Package::kCompany, Package::kSupportEmail };

	tag = "";
	for (const char* name : kTagFields) {
		const char* text = nullptr;
		if (configuration.FindString(name, &text) == B_OK)
			tag += text;
		tag += ";";
	}
}

void
BuildDeinstallerConfiguration(const BMessage& configuration, BMessage& reduced)
{
	reduced.MakeEmpty();
	reduced.what = 0;

	copy_string(configuration, reduced, Package::kAppName);
	copy_string(configuration, reduced, Package::kVersion);
	copy_string(configuration, reduced, Package::kReleaseDate);
	copy_string(configuration, reduced, Package::kCompany);
	copy_string(configuration, reduced, Package::kSupportEmail);

	BMessage aboutImage;
	if (configuration.FindMessage(Package::kAboutImage, &aboutImage) == B_OK)
		reduced.AddMessage(Package::kAboutImage, &aboutImage);

	copy_flag_and_tag(
		configuration, reduced, Package::kEditBootscript, Package::kEditBootscriptTag);
	copy_flag_and_tag(configuration, reduced, Package::kEditSetupEnv, Package::kEditSetupEnvTag);
	copy_flag_and_tag(configuration, reduced, Package::kEditProfile, Package::kEditProfileTag);
}

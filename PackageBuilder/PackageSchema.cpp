#include "PackageSchema.h"

#include "PackageDefs.h"

#include <Message.h>
#include <TypeConstants.h>

#include <cstring>

namespace {

using namespace Package;

std::string
type_text(type_code type)
{
	std::string text = "'";
	for (int shift = 24; shift >= 0; shift -= 8) {
		char c = static_cast<char>((type >> shift) & 0xff);
		text += (c >= 32 && c < 127) ? c : '?';
	}
	return text + "'";
}

const SchemaRecord kGroupsRecord = { "groups",
	{
		{ kGroupName, B_STRING_TYPE, 0, INT32_MAX, nullptr },
		{ kGroupDescription, B_STRING_TYPE, 0, INT32_MAX, nullptr },
	} };

const SchemaRecord kInstallMetaRecord = { "install_meta",
	{
		{ kDestination, B_STRING_TYPE, 1, 1, nullptr },
		{ kDestinationExists, B_STRING_TYPE, 1, 1, nullptr },
		{ kLink, B_STRING_TYPE, 1, 1, nullptr },
		{ kLinkExists, B_STRING_TYPE, 1, 1, nullptr },
		{ kDeinstallable, B_STRING_TYPE, 1, 1, nullptr },
		{ kAutoLaunch, B_STRING_TYPE, 0, 1, nullptr },
		{ kAutoLaunchReason, B_STRING_TYPE, 0, 1, nullptr },
	} };

const SchemaRecord kIconRecord = { "file_icon",
	{
		{ "class", B_STRING_TYPE, 1, 1, nullptr },
		{ "_frame", B_RECT_TYPE, 1, 1, nullptr },
		{ "_cspace", B_INT32_TYPE, 1, 1, nullptr },
		{ "_bmflags", B_INT32_TYPE, 1, 1, nullptr },
		{ "_rowbytes", B_INT32_TYPE, 1, 1, nullptr },
		{ "_data", B_RAW_TYPE, 1, 1, nullptr },
	} };

const SchemaRecord kInstallFileRecord = { "install_file",
	{
		{ kFileName, B_STRING_TYPE, 1, 1, nullptr },
		{ kFileType, B_INT8_TYPE, 1, 1, nullptr },
		{ kFileSize, B_INT32_TYPE, 1, 2, nullptr },
		{ kFileCreation, B_INT64_TYPE, 1, 1, nullptr },
		{ kFileModified, B_INT64_TYPE, 1, 1, nullptr },
		{ kFileAccessed, B_INT64_TYPE, 1, 1, nullptr },
		{ kFileIcon, B_MESSAGE_TYPE, 1, 1, &kIconRecord },
		{ kFileGroups, B_STRING_TYPE, 1, 1, nullptr },
		{ kInstallMeta, B_MESSAGE_TYPE, 1, 1, &kInstallMetaRecord },
		{ kInstallToSystem, B_BOOL_TYPE, 0, 1, nullptr },
	} };

const SchemaRecord kInstructionsRecord = { "install_instructions",
	{
		{ kInstallFile, B_MESSAGE_TYPE, 0, INT32_MAX, &kInstallFileRecord },
	} };

const SchemaRecord kCustomFolderEntryRecord = { "custom_folder",
	{
		{ kCustomFolderName, B_STRING_TYPE, 1, 1, nullptr },
		{ kCustomRootDir, B_INT32_TYPE, 1, 1, nullptr },
		{ kCustomSubDir, B_STRING_TYPE, 1, 1, nullptr },
		{ kCustomReplaceExisting, B_BOOL_TYPE, 1, 1, nullptr },
	} };

const SchemaRecord kCustomFoldersRecord = { "custom_folder",
	{
		{ kCustomFolder, B_MESSAGE_TYPE, 0, INT32_MAX, &kCustomFolderEntryRecord },
	} };

const SchemaRecord kDiskSpaceRecord = { "req_disk_space_amount",
	{
		{ kValueType, B_INT32_TYPE, 1, 1, nullptr },
		{ kValueConversion, B_FLOAT_TYPE, 1, 1, nullptr },
		{ kValue, B_DOUBLE_TYPE, 1, 1, nullptr },
	} };

const SchemaRecord kLibrariesRecord = { "req_shared_library",
	{
		{ kReqSharedLibraryRequired, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqSharedLibraryName, B_STRING_TYPE, 0, INT32_MAX, nullptr },
	} };

const SchemaRecord kAppsRecord = { "req_apps",
	{
		{ kReqAppRequired, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqAppName, B_STRING_TYPE, 0, INT32_MAX, nullptr },
	} };

const SchemaRecord kSoundRecord = { "audio_data",
	{
		{ kSoundData, B_ANY_TYPE, 1, 1, nullptr },
		{ kSoundFrameRate, B_FLOAT_TYPE, 1, 1, nullptr },
		{ kSoundChannelCount, B_INT32_TYPE, 1, 1, nullptr },
		{ kSoundFormat, B_INT32_TYPE, 1, 1, nullptr },
		{ kSoundByteOrder, B_INT32_TYPE, 1, 1, nullptr },
		{ kSoundBufferSize, B_INT32_TYPE, 1, 1, nullptr },
	} };

const SchemaRecord kConfigurationRecord = { "configuration",
	{
		{ kInstallFolderName, B_STRING_TYPE, 1, 1, nullptr },
		{ kGroups, B_MESSAGE_TYPE, 0, 1, &kGroupsRecord },
		{ kAppName, B_STRING_TYPE, 1, 1, nullptr },
		{ kVersion, B_STRING_TYPE, 1, 1, nullptr },
		{ kReleaseDate, B_STRING_TYPE, 1, 1, nullptr },
		{ kCompany, B_STRING_TYPE, 1, 1, nullptr },
		{ kSupportEmail, B_STRING_TYPE, 1, 1, nullptr },
		// An archived bitmap, or an empty message: its fields are the bitmap's own.
		{ kAboutImage, B_MESSAGE_TYPE, 1, 1, nullptr },
		{ kAudioFile, B_STRING_TYPE, 1, 1, nullptr },
		{ kAudioData, B_MESSAGE_TYPE, 0, 1, &kSoundRecord },
		{ kLicense, B_STRING_TYPE, 0, 1, nullptr },
		{ kInstallInstructions, B_MESSAGE_TYPE, 1, 1, &kInstructionsRecord },
		{ kCustomFolder, B_MESSAGE_TYPE, 1, 1, &kCustomFoldersRecord },
		{ kOptLog, B_BOOL_TYPE, 1, 1, nullptr },
		{ kOptCreateStartup, B_BOOL_TYPE, 1, 1, nullptr },
		{ kOptSaveReplaced, B_BOOL_TYPE, 1, 1, nullptr },
		{ kOptDefaultFolder, B_STRING_TYPE, 0, 1, nullptr },
		{ kOptCreatedFolder, B_STRING_TYPE, 1, 1, nullptr },
		{ kOptShowBeosFolders, B_BOOL_TYPE, 1, 1, nullptr },
		{ kOptCompression, B_INT32_TYPE, 1, 1, nullptr },
		{ kReqDiskSpaceNeeded, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqDiskSpaceRequired, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqDiskSpaceAmount, B_MESSAGE_TYPE, 1, 1, &kDiskSpaceRecord },
		{ kReqBootVolOnly, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqRemovableVolOk, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqSharedVolOk, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqRamNeeded, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqRamRequired, B_BOOL_TYPE, 1, 1, nullptr },
		{ kReqRamAmount, B_INT32_TYPE, 1, 1, nullptr },
		{ kReqSharedLibrary, B_MESSAGE_TYPE, 1, 1, &kLibrariesRecord },
		{ kReqApps, B_MESSAGE_TYPE, 1, 1, &kAppsRecord },
		{ kEditBootscript, B_BOOL_TYPE, 1, 1, nullptr },
		{ kEditBootscriptTag, B_STRING_TYPE, 1, 1, nullptr },
		{ kEditBootscriptContents, B_STRING_TYPE, 1, 1, nullptr },
		{ kEditSetupEnv, B_BOOL_TYPE, 1, 1, nullptr },
		{ kEditSetupEnvTag, B_STRING_TYPE, 1, 1, nullptr },
		{ kEditSetupEnvContents, B_STRING_TYPE, 1, 1, nullptr },
		{ kEditProfile, B_BOOL_TYPE, 1, 1, nullptr },
		{ kEditProfileTag, B_STRING_TYPE, 1, 1, nullptr },
		{ kEditProfileContents, B_STRING_TYPE, 1, 1, nullptr },
		{ kCompleteComments, B_STRING_TYPE, 1, 1, nullptr },
		{ kCompleteRestart, B_BOOL_TYPE, 1, 1, nullptr },
		{ kCompleteDisplayFolder, B_BOOL_TYPE, 1, 1, nullptr },
		{ kDeinstallerSize, B_INT32_TYPE, 0, 1, nullptr },
	} };

} // namespace

const SchemaRecord&
ConfigurationSchema()
{
	return kConfigurationRecord;
}

void
CheckAgainstSchema(const BMessage& message, const SchemaRecord& record,
	std::vector<std::string>& problems, std::vector<std::string>& unknown, const std::string& where)
{
	std::string prefix = where.empty() ? std::string() : where + "/";
	for (const SchemaField& field : record.fields) {
		type_code type = 0;
		int32 count = 0;
		if (message.GetInfo(field.name, &type, &count) != B_OK)
			count = 0;
		std::string name = prefix + field.name;
		if (count > 0 && type != field.type) {
			problems.push_back(
				name + ": type " + type_text(type) + ", expected " + type_text(field.type));
			continue;
		}
		if (count < field.minimum || count > field.maximum) {
			std::string expected = field.minimum == field.maximum
				? std::to_string(field.minimum)
				: std::to_string(field.minimum) + " to "
					+ (field.maximum == INT32_MAX ? std::string("any number")
												  : std::to_string(field.maximum));
			problems.push_back(name + ": " + std::to_string(count) + " value"
				+ (count == 1 ? "" : "s") + ", expected " + expected);
			continue;
		}
		if (field.record == nullptr)
			continue;
		for (int32 index = 0; index < count; index++) {
			BMessage nested;
			if (message.FindMessage(field.name, index, &nested) != B_OK)
				continue;
			std::string nestedWhere =
				count > 1 || field.maximum > 1 ? name + "[" + std::to_string(index) + "]" : name;
			CheckAgainstSchema(nested, *field.record, problems, unknown, nestedWhere);
		}
	}

	char* name = nullptr;
	type_code type = 0;
	for (int32 index = 0; message.GetInfo(B_ANY_TYPE, index, &name, &type) == B_OK; index++) {
		bool known = false;
		for (const SchemaField& field : record.fields)
			known = known || strcmp(field.name, name) == 0;
		if (!known)
			unknown.push_back(prefix + name);
	}
}

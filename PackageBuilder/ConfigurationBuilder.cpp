#include "ConfigurationBuilder.h"

#include "AboutImage.h"
#include "ItemIcon.h"
#include "LibEntry.h"
#include "PackageDefs.h"
#include "PackageRules.h"
#include "WavSound.h"

#include <Entry.h>
#include <Message.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

// Adds the item's record and gives the size it records (what a selection adds up), or -1
// when the item cannot be described.
int64
add_item(const Manifest& manifest, const ManifestItem& item, BMessage& instructions,
	Diagnostics& diagnostics, const std::optional<time_t>& latestTime)
{
	struct stat status;
	if (lstat(item.path.c_str(), &status) != 0) {
		diagnostics.Error(manifest.file, item.line, 0, "payload not found: " + item.path);
		return -1;
	}
	// The configuration records sizes as int32, and the installer adds them up as one.
	int64 actual = LibEntrySize64(item.path.c_str(), true);
	if (actual > package_rules::kMaxItemSize) {
		diagnostics.Error(manifest.file, item.line, 1,
			item.path + " holds " + package_rules::ByteCount(actual)
				+ " with its attributes; an item can hold at most "
				+ package_rules::ByteCount(package_rules::kMaxItemSize) + " (2 GiB)");
		return -1;
	}

	BMessage record;
	record.AddString(Package::kFileName, item.recordedPath.value_or(item.path).c_str());
	record.AddInt8(Package::kFileType,
		S_ISDIR(status.st_mode) ? Package::kFileTypeFolder : Package::kFileTypeFile);

	// The second size is the item row's own copy; the builder writes the same value.
	std::vector<int32> sizes;
	if (item.recordedSize)
		sizes = *item.recordedSize;
	else {
		int32 size = static_cast<int32>(actual);
		sizes = { size, size };
	}
	for (int32 size : sizes)
		record.AddInt32(Package::kFileSize, size);

	BEntry entry(item.path.c_str());
	time_t created = status.st_ctime;
	time_t modified = status.st_mtime;
	time_t accessed = status.st_atime;
	entry.GetCreationTime(&created);
	entry.GetModificationTime(&modified);
	entry.GetAccessTime(&accessed);
	if (latestTime) {
		// Reading the payload changes access times; a reproducible build does not use them.
		created = std::min(created, *latestTime);
		modified = std::min(modified, *latestTime);
		accessed = modified;
	}
	record.AddInt64(Package::kFileCreation, item.created.value_or(created));
	record.AddInt64(Package::kFileModified, item.modified.value_or(modified));
	record.AddInt64(Package::kFileAccessed, item.accessed.value_or(accessed));

	BMessage icon;
	if (ArchiveItemIcon(item.path, icon) != B_OK)
		diagnostics.Warning(manifest.file, item.line, 0,
			"no icon could be made for " + item.path + "; the item list shows it blank");
	record.AddMessage(Package::kFileIcon, &icon);

	std::string groups;
	for (const std::string& type : item.installTypes)
		groups += type + ";";
	record.AddString(Package::kFileGroups, groups.c_str());

	BMessage meta;
	meta.AddString(Package::kDestination, item.destination.c_str());
	meta.AddString(Package::kDestinationExists, item.destinationExists.c_str());
	meta.AddString(Package::kLink, item.link.c_str());
	meta.AddString(Package::kLinkExists, item.linkExists.c_str());
	meta.AddString(Package::kDeinstallable, item.deinstallable ? Package::kTrue : Package::kFalse);
	meta.AddString(Package::kAutoLaunch, item.autoLaunch ? Package::kTrue : Package::kFalse);
	meta.AddString(Package::kAutoLaunchReason, item.autoLaunchReason.c_str());
	record.AddMessage(Package::kInstallMeta, &meta);

	instructions.AddMessage(Package::kInstallFile, &record);
	return sizes.empty() ? 0 : sizes[0];
}

void
add_script(BMessage& configuration, const ManifestScript& script, const char* flag, const char* tag,
	const char* contents)
{
	configuration.AddBool(flag, script.enabled);
	configuration.AddString(tag, script.tag.c_str());
	configuration.AddString(contents, script.contents.c_str());
}

} // namespace

std::string
PayloadLeaf(const std::string& path)
{
	std::string trimmed = path;
	while (trimmed.size() > 1 && trimmed.back() == '/')
		trimmed.pop_back();
	size_t slash = trimmed.rfind('/');
	return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool
BuildConfiguration(const Manifest& manifest, int32 deinstallerSize, BMessage& configuration,
	Diagnostics& diagnostics, const std::optional<time_t>& latestTime)
{
	int32 errorsBefore = diagnostics.ErrorCount();
	configuration.MakeEmpty();
	configuration.what = 0;

	configuration.AddString(Package::kInstallFolderName, manifest.packageName.c_str());
	if (!manifest.installTypes.empty()) {
		BMessage groups;
		for (const ManifestInstallType& type : manifest.installTypes) {
			groups.AddString(Package::kGroupName, type.name.c_str());
			groups.AddString(Package::kGroupDescription, type.description.c_str());
		}
		configuration.AddMessage(Package::kGroups, &groups);
	}
	configuration.AddString(Package::kAppName, manifest.name.c_str());
	configuration.AddString(Package::kVersion, manifest.version.c_str());
	configuration.AddString(Package::kReleaseDate, manifest.releaseDate.c_str());
	configuration.AddString(Package::kCompany, manifest.company.c_str());
	configuration.AddString(Package::kSupportEmail, manifest.supportEmail.c_str());

	BMessage aboutImage;
	if (!manifest.aboutImage.empty()) {
		std::string error;
		if (ArchiveAboutImage(manifest.aboutImage, aboutImage, error) != B_OK)
			diagnostics.Error(manifest.file, 0, 0,
				"about_image " + manifest.aboutImage + " cannot be read: " + error);
	}
	configuration.AddMessage(Package::kAboutImage, &aboutImage);

	if (manifest.sound.empty())
		configuration.AddString(
			Package::kAudioFile, manifest.recordedSoundPath.value_or(Package::kNone).c_str());
	else {
		configuration.AddString(
			Package::kAudioFile, manifest.recordedSoundPath.value_or(manifest.sound).c_str());
		BMessage sound;
		std::string error;
		if (ArchiveWavSound(manifest.sound, sound, error) != B_OK)
			diagnostics.Error(
				manifest.file, 0, 0, "sound " + manifest.sound + " cannot be read: " + error);
		configuration.AddMessage(Package::kAudioData, &sound);
	}
	configuration.AddString(Package::kLicense, manifest.license.c_str());

	BMessage instructions;
	int64 total = 0;
	bool sized = true;
	for (const ManifestItem& item : manifest.items) {
		int64 size = add_item(manifest, item, instructions, diagnostics, latestTime);
		sized = sized && size >= 0;
		total += size > 0 ? size : 0;
	}
	// A user may select every item; the installer adds their sizes up as an int32.
	if (sized && total > package_rules::kMaxSelectedTotal)
		diagnostics.Error(manifest.file, 0, 0,
			"the items hold " + package_rules::ByteCount(total)
				+ " together; the items a user can select may hold at most "
				+ package_rules::ByteCount(package_rules::kMaxSelectedTotal) + " (2 GiB)");
	configuration.AddMessage(Package::kInstallInstructions, &instructions);

	BMessage customFolders;
	for (const ManifestCustomFolder& folder : manifest.customFolders) {
		BMessage entry;
		entry.AddString(Package::kCustomFolderName, folder.name.c_str());
		entry.AddInt32(Package::kCustomRootDir, folder.root);
		entry.AddString(Package::kCustomSubDir, folder.subDir.c_str());
		entry.AddBool(Package::kCustomReplaceExisting, folder.replace);
		customFolders.AddMessage(Package::kCustomFolder, &entry);
	}
	configuration.AddMessage(Package::kCustomFolder, &customFolders);

	configuration.AddBool(Package::kOptLog, manifest.log);
	configuration.AddBool(Package::kOptCreateStartup, manifest.createStartup);
	configuration.AddBool(Package::kOptSaveReplaced, manifest.saveReplaced);
	if (manifest.defaultFolder)
		configuration.AddString(Package::kOptDefaultFolder, manifest.defaultFolder->c_str());
	configuration.AddString(Package::kOptCreatedFolder, manifest.createdFolder.c_str());
	configuration.AddBool(Package::kOptShowBeosFolders, manifest.showBeosFolders);
	configuration.AddInt32(Package::kOptCompression, manifest.compression);

	configuration.AddBool(Package::kReqDiskSpaceNeeded, manifest.diskSpaceCheck);
	configuration.AddBool(Package::kReqDiskSpaceRequired, manifest.diskSpaceRequired);
	BMessage amount;
	amount.AddInt32(Package::kValueType, Package::kKilobyteUnit);
	amount.AddFloat(Package::kValueConversion, Package::kKilobyteConversion);
	amount.AddDouble(Package::kValue, manifest.diskSpaceKb * Package::kKilobyteConversion);
	configuration.AddMessage(Package::kReqDiskSpaceAmount, &amount);
	configuration.AddBool(Package::kReqBootVolOnly, manifest.bootVolumeOnly);
	configuration.AddBool(Package::kReqRemovableVolOk, manifest.removableVolumesOk);
	configuration.AddBool(Package::kReqSharedVolOk, manifest.sharedVolumesOk);
	configuration.AddBool(Package::kReqRamNeeded, manifest.ramCheck);
	configuration.AddBool(Package::kReqRamRequired, manifest.ramRequired);
	configuration.AddInt32(Package::kReqRamAmount, manifest.ramMb);

	BMessage libraries;
	libraries.AddBool(Package::kReqSharedLibraryRequired, manifest.librariesRequired);
	for (const std::string& library : manifest.libraries)
		libraries.AddString(Package::kReqSharedLibraryName, library.c_str());
	configuration.AddMessage(Package::kReqSharedLibrary, &libraries);
	BMessage apps;
	apps.AddBool(Package::kReqAppRequired, manifest.appsRequired);
	for (const std::string& app : manifest.apps)
		apps.AddString(Package::kReqAppName, app.c_str());
	configuration.AddMessage(Package::kReqApps, &apps);

	add_script(configuration, manifest.bootscript, Package::kEditBootscript,
		Package::kEditBootscriptTag, Package::kEditBootscriptContents);
	add_script(configuration, manifest.setupEnvironment, Package::kEditSetupEnv,
		Package::kEditSetupEnvTag, Package::kEditSetupEnvContents);
	add_script(configuration, manifest.profile, Package::kEditProfile, Package::kEditProfileTag,
		Package::kEditProfileContents);

	configuration.AddString(Package::kCompleteComments, manifest.completeComments.c_str());
	configuration.AddBool(Package::kCompleteRestart, manifest.completeRestart);
	configuration.AddBool(Package::kCompleteDisplayFolder, manifest.completeDisplayFolder);
	if (deinstallerSize >= 0)
		configuration.AddInt32(Package::kDeinstallerSize, deinstallerSize);

	return diagnostics.ErrorCount() == errorsBefore;
}

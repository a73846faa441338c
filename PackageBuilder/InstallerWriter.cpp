#include "InstallerWriter.h"

#include "ConfigurationBuilder.h"
#include "DeinstallerSize.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "PackageDefs.h"
#include "PackageRules.h"
#include "PayloadArchive.h"

#include <AppFileInfo.h>
#include <File.h>
#include <GenericIcons.h>
#include <Message.h>
#include <Resources.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Archives go into the installer in pieces of this size.
const size_t kStreamChunk = 1024 * 1024;

// Copies the base program's bytes to a new file beside output, under a fresh name given
// in path. The name is created exclusively, so neither a file nor a link that someone left
// under a guessable name is written through.
bool
copy_base(const std::string& base, const std::string& output, std::string& path)
{
	int source = open(base.c_str(), O_RDONLY | O_CLOEXEC);
	if (source < 0)
		return false;
	std::string pattern = output + ".partial-XXXXXX";
	std::vector<char> name(pattern.begin(), pattern.end());
	name.push_back('\0');
	int target = mkostemp(name.data(), O_CLOEXEC);
	if (target < 0) {
		close(source);
		return false;
	}
	path = name.data();
	std::vector<char> buffer(1 << 20);
	bool ok = true;
	ssize_t count = 0;
	while (ok && (count = read(source, buffer.data(), buffer.size())) > 0) {
		for (ssize_t done = 0; done < count;) {
			ssize_t written = write(target, buffer.data() + done, count - done);
			if (written <= 0) {
				ok = false;
				break;
			}
			done += written;
		}
	}
	ok = ok && count == 0;
	// The installer must be runnable whatever mode the base had.
	ok = fchmod(target, 0755) == 0 && ok;
	ok = close(target) == 0 && ok;
	close(source);
	return ok;
}

// Drops the package resources a base may carry already (an installer used as the base of
// another), so that the new package's resources alone describe it. The help text is the
// installer's own: it is dropped only when the package brings one.
void
remove_package_resources(BResources& resources, bool replaceHelp)
{
	std::vector<std::pair<type_code, int32>> doomed;
	type_code type = 0;
	int32 id = 0;
	const char* name = nullptr;
	size_t length = 0;
	for (int32 index = 0; resources.GetResourceInfo(index, &type, &id, &name, &length); index++) {
		bool package =
			(type == Package::kRawType
				&& (id == Package::kDeinstallerId || (id == Package::kHelpId && replaceHelp)
					|| id >= Package::kFirstPayloadId))
			|| (type == Package::kStringType && id == Package::kConfigurationId);
		if (package)
			doomed.emplace_back(type, id);
	}
	for (const auto& [doomedType, doomedId] : doomed)
		resources.RemoveResource(doomedType, doomedId);
}

void
add_icon_if_missing(BResources& resources, int32 id, const char* miniName, const char* largeName,
	BPrivate::generic_icon_kind kind)
{
	struct {
		icon_size size;
		type_code type;
		const char* name;
	} const icons[] = {
		{ B_MINI_ICON, Package::kMiniIconType, miniName },
		{ B_LARGE_ICON, Package::kLargeIconType, largeName },
	};

	for (const auto& icon : icons) {
		if (resources.HasResource(icon.type, id))
			continue;
		std::vector<uint8> bits(icon.size * icon.size);
		if (BPrivate::get_generic_icon(kind, icon.size, bits.data()) == B_OK)
			resources.AddResource(icon.type, id, bits.data(), bits.size(), icon.name);
	}
}

// The application resources every installer carries. A real Installer build has them; a
// base that lacks them (any other program) gets the installer's own.
void
add_application_resources(BResources& resources)
{
	add_icon_if_missing(resources, Package::kAppIconId, Package::kAppMiniIconName,
		Package::kAppLargeIconName, BPrivate::B_GENERIC_APPLICATION_ICON);
	add_icon_if_missing(resources, Package::kBrimlowIconId, Package::kBrimlowMiniIconName,
		Package::kBrimlowLargeIconName, BPrivate::B_GENERIC_DOCUMENT_ICON);
	add_icon_if_missing(resources, Package::kPackageIconId, Package::kPackageMiniIconName,
		Package::kPackageLargeIconName, BPrivate::B_GENERIC_DOCUMENT_ICON);

	if (!resources.HasResource(Package::kMessageType, Package::kFileTypesId)) {
		BMessage types;
		std::vector<char> flat(types.FlattenedSize());
		if (types.Flatten(flat.data(), flat.size()) == B_OK)
			resources.AddResource(Package::kMessageType, Package::kFileTypesId, flat.data(),
				flat.size(), Package::kFileTypesName);
	}
	if (!resources.HasResource(Package::kMimeStringType, Package::kAppSignatureId))
		resources.AddResource(Package::kMimeStringType, Package::kAppSignatureId,
			Package::kInstallerSignature, strlen(Package::kInstallerSignature) + 1,
			Package::kAppSignatureName);
	if (!resources.HasResource(Package::kMimeStringType, Package::kAppTypeId))
		resources.AddResource(Package::kMimeStringType, Package::kAppTypeId,
			Package::kExecutableType, strlen(Package::kExecutableType) + 1, Package::kAppTypeName);
	if (!resources.HasResource(Package::kAppFlagsType, Package::kAppFlagsId)) {
		uint32 singleLaunch = 0;
		resources.AddResource(Package::kAppFlagsType, Package::kAppFlagsId, &singleLaunch,
			sizeof(singleLaunch), Package::kAppFlagsName);
	}
	if (!resources.HasResource(Package::kAppVersionType, Package::kAppVersionId)) {
		// The application record, then a zeroed system record.
		version_info records[2];
		memset(records, 0, sizeof(records));
		records[0].major = 1;
		records[0].middle = 2;
		records[0].minor = 0;
		records[0].variety = 5;
		records[0].internal = 0;
		strncpy(records[0].short_info, "Installer", sizeof(records[0].short_info) - 1);
		strncpy(
			records[0].long_info, "Install BeOS applications", sizeof(records[0].long_info) - 1);
		resources.AddResource(Package::kAppVersionType, Package::kAppVersionId, records,
			sizeof(records), Package::kAppVersionName);
	}
}

// Copies file into folder under name and packs it there into archive.
bool
pack_renamed(const std::string& file, const std::string& folder, const char* name,
	const std::string& archive, const PackSettings& settings)
{
	std::string staging = folder + "/" + name;
	if (!Libmkdir(folder.c_str()) || !LibCopy(file.c_str(), staging.c_str()))
		return false;
	return PackEntry(staging, archive, settings);
}

// Streams the archive file into a new resource piece by piece: the container keeps a
// large resource on disk until it writes the installer, so no archive is ever whole in
// memory.
bool
add_archive(BResources& resources, int32 id, const std::string& archive, const char* name)
{
	int fd = open(archive.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return false;
	bool ok = resources.AddResource(Package::kRawType, id, nullptr, 0, name) == B_OK;
	std::vector<char> buffer(kStreamChunk);
	off_t offset = 0;
	ssize_t count = 0;
	while (ok && (count = read(fd, buffer.data(), buffer.size())) != 0) {
		if (count < 0 && errno == EINTR)
			continue;
		ok = count > 0
			&& resources.WriteResource(Package::kRawType, id, buffer.data(), offset, count) == B_OK;
		offset += count;
	}
	close(fd);
	return ok;
}

// Packs every item into work/item-<i>.zip, one after the other: the files of each are
// compressed on all the threads the settings allow, so a package of one large item is
// packed as fast as one of many.
std::vector<bool>
pack_items(const Manifest& manifest, const std::string& work, const PackSettings& settings)
{
	std::vector<bool> results;
	for (size_t index = 0; index < manifest.items.size(); index++) {
		std::string archive = work + "/item-" + std::to_string(index) + ".zip";
		results.push_back(PackEntry(manifest.items[index].path, archive, settings));
	}
	return results;
}

// The working directory when it was made; restored when it goes.
class WorkingDirectory {
public:
	WorkingDirectory()
	{
		char* path = getcwd(nullptr, 0);
		if (path != nullptr) {
			fPath = path;
			free(path);
		}
	}

	~WorkingDirectory()
	{
		if (!fPath.empty() && chdir(fPath.c_str()) != 0)
			fprintf(stderr, "PackageBuilder: cannot return to %s\n", fPath.c_str());
	}

	WorkingDirectory(const WorkingDirectory&) = delete;
	WorkingDirectory& operator=(const WorkingDirectory&) = delete;

	std::string Absolute(const std::string& path) const
	{
		if (path.empty() || path[0] == '/' || fPath.empty())
			return path;
		return fPath + "/" + path;
	}

private:
	std::string fPath;
};

// The program given, else the manifest's, else the one beside PackageBuilder: in the same
// folder (an installed tree), or in its source folder's build folder next to PackageBuilder's
// own (the build tree: build/<preset>/Installer/Installer, .../Deinstaller/Tarnwick).
std::string
pick(const std::string& option, const std::string& manifest, const char* besideProgram,
	const char* buildFolder)
{
	if (!option.empty())
		return option;
	if (!manifest.empty())
		return manifest;
	std::string folder = ProgramFolder();
	for (std::string beside :
		{ folder + "/" + besideProgram, folder + "/../" + buildFolder + "/" + besideProgram }) {
		struct stat status;
		if (stat(beside.c_str(), &status) == 0 && S_ISREG(status.st_mode))
			return beside;
	}
	return std::string();
}

// Whether path is a regular file that can be run.
bool
is_program(const std::string& path)
{
	struct stat status;
	return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
		&& access(path.c_str(), X_OK) == 0;
}

int64
file_size(const std::string& path)
{
	struct stat status;
	return path.empty() || stat(path.c_str(), &status) != 0 ? 0 : status.st_size;
}

// The installer's resources are addressed with 32-bit offsets.
bool
fits_installer(int64 size, const std::string& file, const char* when, Diagnostics& diagnostics)
{
	if (size <= package_rules::kMaxInstallerSize)
		return true;
	diagnostics.Error(file, 0, 0,
		std::string(when) + " the installer holds " + package_rules::ByteCount(size)
			+ "; an installer can hold at most "
			+ package_rules::ByteCount(package_rules::kMaxInstallerSize)
			+ " (4 GiB), as its resources are found by 32-bit offsets");
	return false;
}

} // namespace

std::string
ProgramFolder()
{
	char* self = realpath("/proc/self/exe", nullptr);
	if (self == nullptr)
		return ".";
	std::string path(self);
	free(self);
	size_t slash = path.rfind('/');
	return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool
WriteInstaller(const Manifest& manifest, const BuildOptions& givenOptions, Diagnostics& diagnostics)
{
	// Packing changes the process's working directory, so every path given relative to the
	// caller's is made absolute first, and the caller's directory is restored at the end.
	WorkingDirectory caller;
	BuildOptions options = givenOptions;
	options.output = caller.Absolute(options.output);
	options.base = caller.Absolute(options.base);
	options.deinstaller = caller.Absolute(options.deinstaller);

	const std::string& file = manifest.file;
	std::string base = pick(options.base, manifest.base, "Installer", "Installer");
	if (base.empty()) {
		diagnostics.Error(file, 0, 0,
			"no base installer: give --base, 'base' in the manifest, or install PackageBuilder "
			"beside the Installer");
		return false;
	}
	if (!is_program(base)) {
		diagnostics.Error(file, 0, 0,
			"the base installer " + base + " is not a program (a regular file that can be run)");
		return false;
	}
	std::string deinstaller =
		pick(options.deinstaller, manifest.deinstaller, "Tarnwick", "Deinstaller");
	if (deinstaller.empty())
		diagnostics.Warning(file, 0, 0,
			"no deinstaller (--deinstaller, 'deinstaller' in the manifest, or Tarnwick beside "
			"PackageBuilder): installations will get none");
	else if (!is_program(deinstaller)) {
		diagnostics.Error(file, 0, 0,
			"the deinstaller " + deinstaller
				+ " is not a program (a regular file that can be run)");
		return false;
	}

	BMessage configuration;
	if (!BuildConfiguration(manifest, -1, configuration, diagnostics, options.latestTime))
		return false;

	// Everything the installer will hold, as far as it is known before packing: archives
	// of incompressible data come out a little larger, which the check after packing sees.
	int64 estimate = file_size(base) + file_size(deinstaller) + file_size(manifest.help)
		+ configuration.FlattenedSize();
	for (const ManifestItem& item : manifest.items)
		estimate += LibEntrySize64(item.path.c_str(), true);
	if (!fits_installer(estimate, file, "before packing,", diagnostics))
		return false;

	std::string work = MakeWorkFolder("PackageBuilder");
	if (work.empty()) {
		diagnostics.Error(file, 0, 0, "cannot make a work folder in the temporary folder");
		return false;
	}

	PackSettings settings;
	settings.level = manifest.compression;
	settings.jobs = options.jobs;
	settings.latestTime = options.latestTime;
	bool ok = true;
	if (!deinstaller.empty()) {
		// What the installer writes: the program with its reduced configuration added.
		std::string measured = work + "/measure/" + Package::kDeinstallerName;
		int64 size = -1;
		if (Libmkdir((work + "/measure").c_str()) && LibCopy(deinstaller.c_str(), measured.c_str()))
			size = MeasureInstalledDeinstaller(measured, configuration);
		if (size < 0 || size > INT32_MAX) {
			diagnostics.Error(file, 0, 0,
				"the deinstaller " + deinstaller
					+ " cannot take the configuration the installer adds to it: it must be a "
					  "program with resources (or room for them)");
			ok = false;
		} else
			configuration.AddInt32(Package::kDeinstallerSize, static_cast<int32>(size));
	}
	std::vector<bool> packed;
	if (ok)
		packed = pack_items(manifest, work, settings);
	for (size_t index = 0; index < packed.size(); index++) {
		if (!packed[index]) {
			diagnostics.Error(
				file, manifest.items[index].line, 0, "cannot pack " + manifest.items[index].path);
			ok = false;
		}
	}
	std::string helpArchive = work + "/help.zip";
	if (ok && !manifest.help.empty()
		&& !pack_renamed(
			manifest.help, work + "/help", Package::kHelpFileName, helpArchive, settings)) {
		diagnostics.Error(file, 0, 0, "cannot pack the help file " + manifest.help);
		ok = false;
	}
	std::string deinstallerArchive = work + "/deinstaller.zip";
	if (ok && !deinstaller.empty()
		&& !pack_renamed(deinstaller, work + "/deinstaller", Package::kDeinstallerName,
			deinstallerArchive, settings)) {
		diagnostics.Error(file, 0, 0, "cannot pack the deinstaller " + deinstaller);
		ok = false;
	}

	if (ok) {
		int64 size = file_size(base) + configuration.FlattenedSize() + file_size(helpArchive)
			+ file_size(deinstallerArchive);
		for (size_t index = 0; index < manifest.items.size(); index++)
			size += file_size(work + "/item-" + std::to_string(index) + ".zip");
		ok = fits_installer(size, file, "packed,", diagnostics);
	}

	std::string temporary;
	if (ok && !copy_base(base, options.output, temporary)) {
		diagnostics.Error(options.output, 0, 0,
			"cannot write a new file beside it: " + std::string(strerror(errno)));
		ok = false;
	}

	if (ok) {
		BFile output(temporary.c_str(), B_READ_WRITE);
		BResources resources;
		status_t result = output.InitCheck();
		if (result == B_OK)
			result = resources.SetTo(&output);
		if (result != B_OK) {
			diagnostics.Error(base, 0, 0,
				"the base installer's resources cannot be read: "
					+ std::string(strerror(-result > 0 ? -result : EINVAL)));
			ok = false;
		}
		if (ok) {
			remove_package_resources(resources, !manifest.help.empty());
			add_application_resources(resources);
			for (size_t index = 0; ok && index < manifest.items.size(); index++) {
				std::string archive = work + "/item-" + std::to_string(index) + ".zip";
				std::string leaf = PayloadLeaf(manifest.items[index].path);
				ok = add_archive(resources, Package::kFirstPayloadId + static_cast<int32>(index),
					archive, leaf.c_str());
				// The archive is in the resources now; its file is not needed any longer.
				unlink(archive.c_str());
			}
			if (ok && !manifest.help.empty())
				ok = add_archive(resources, Package::kHelpId, helpArchive, Package::kHelpName);
			if (ok && !deinstaller.empty())
				ok = add_archive(resources, Package::kDeinstallerId, deinstallerArchive,
					Package::kDeinstallerName);
			std::vector<char> flat(configuration.FlattenedSize());
			if (ok)
				ok = configuration.Flatten(flat.data(), flat.size()) == B_OK
					&& resources.AddResource(Package::kStringType, Package::kConfigurationId,
						   flat.data(), flat.size(), Package::kConfigurationName)
						== B_OK;
			if (ok)
				ok = resources.Sync() == B_OK;
			if (!ok)
				diagnostics.Error(options.output, 0, 0, "cannot write the installer's resources");
		}
	}

	if (ok && rename(temporary.c_str(), options.output.c_str()) != 0) {
		diagnostics.Error(options.output, 0, 0,
			"cannot move the new installer into place: " + std::string(strerror(errno)));
		ok = false;
	}
	if (!ok && !temporary.empty())
		unlink(temporary.c_str());
	RemoveWorkFolder(work);
	return ok;
}

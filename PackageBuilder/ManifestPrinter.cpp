#include "ManifestPrinter.h"

#include "AboutImage.h"
#include "ConfigurationBuilder.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "LibString.h"
#include "PackageDefs.h"
#include "PayloadArchive.h"
#include "WavSound.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

std::string
string_field(const BMessage& message, const char* name)
{
	const char* text = nullptr;
	if (message.FindString(name, &text) != B_OK || text == nullptr)
		return std::string();
	return text;
}

bool
bool_field(const BMessage& message, const char* name)
{
	bool value = false;
	message.FindBool(name, &value);
	return value;
}

const char*
toml_bool(bool value)
{
	return value ? "true" : "false";
}

bool
is_utf8(const std::string& text)
{
	size_t i = 0;
	while (i < text.size()) {
		unsigned char c = text[i];
		size_t length = c < 0x80 ? 1
			: (c >> 5) == 0x6    ? 2
			: (c >> 4) == 0xe    ? 3
			: (c >> 3) == 0x1e   ? 4
								 : 0;
		if (length == 0 || i + length > text.size())
			return false;
		for (size_t k = 1; k < length; k++) {
			if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80)
				return false;
		}
		i += length;
	}
	return true;
}

void
print_script(FILE* stream, const BMessage& c, const char* section, const char* flag,
	const char* tag, const char* contents)
{
	fprintf(stream, "\n[scripts.%s]\n", section);
	fprintf(stream, "enabled = %s\n", toml_bool(bool_field(c, flag)));
	fprintf(stream, "tag = %s\n", TomlString(string_field(c, tag)).c_str());
	fprintf(stream, "contents = %s\n", TomlString(string_field(c, contents)).c_str());
}

std::string
folder_name(int32 code)
{
	LibString name;
	if (LibGetStdDirName(static_cast<directory_which>(code), name))
		return TomlString(static_cast<const char*>(name));
	return std::to_string(code);
}

} // namespace

std::string
TomlString(const std::string& text)
{
	bool multiLine = text.find('\n') != std::string::npos;
	std::string out = multiLine ? "\"\"\"\n" : "\"";
	for (unsigned char c : text) {
		switch (c) {
			case '"':
				out += "\\\"";
				break;
			case '\\':
				out += "\\\\";
				break;
			case '\n':
				out += multiLine ? "\n" : "\\n";
				break;
			case '\t':
				out += "\\t";
				break;
			default:
				if (c < 0x20 || c == 0x7f) {
					char escape[8];
					snprintf(escape, sizeof(escape), "\\u%04x", c);
					out += escape;
				} else
					out += static_cast<char>(c);
		}
	}
	out += multiLine ? "\"\"\"" : "\"";
	return out;
}

bool
PrintManifest(InstallerExaminer& inspector, const std::string& installerPath,
	const std::string& payloadFolder, FILE* stream, Diagnostics& diagnostics)
{
	if (!inspector.HasConfiguration())
		return false;
	Libmkdir(payloadFolder.c_str());
	char* resolved = realpath(payloadFolder.c_str(), nullptr);
	if (resolved == nullptr) {
		diagnostics.Error(payloadFolder, 0, 0, "cannot make the payload folder");
		return false;
	}
	std::string folder(resolved);
	free(resolved);
	if (!LibFolderIsEmpty(folder.c_str())) {
		diagnostics.Error(folder, 0, 0, "the payload folder must be empty");
		return false;
	}
	char* installer = realpath(installerPath.c_str(), nullptr);
	std::string base = installer != nullptr ? installer : installerPath;
	free(installer);

	const BMessage& c = inspector.Configuration();
	bool ok = true;
	fprintf(stream, "# Printed by PackageBuilder from %s.\n", base.c_str());
	fprintf(stream, "# The payloads lie in %s.\n\n", folder.c_str());
	// Any installer serves as a base: its package resources are replaced.
	fprintf(stream, "base = %s\n", TomlString(base).c_str());

	std::vector<char> data;
	if (inspector.LoadRaw(Package::kDeinstallerId, data)) {
		std::string path = folder + "/" + Package::kDeinstallerName;
		if (ExtractArchive(data.data(), data.size(), Package::kDeinstallerName, path))
			fprintf(stream, "deinstaller = %s\n", TomlString(path).c_str());
		else {
			diagnostics.Error(installerPath, 0, 0, "cannot extract the deinstaller");
			ok = false;
		}
	}
	if (inspector.LoadRaw(Package::kHelpId, data)) {
		std::string path = folder + "/" + Package::kHelpFileName;
		if (ExtractArchive(data.data(), data.size(), Package::kHelpFileName, path))
			fprintf(stream, "help = %s\n", TomlString(path).c_str());
		else {
			diagnostics.Error(installerPath, 0, 0, "cannot extract the help text");
			ok = false;
		}
	}

	fprintf(stream, "\n[product]\n");
	fprintf(stream, "name = %s\n", TomlString(string_field(c, Package::kAppName)).c_str());
	fprintf(stream, "version = %s\n", TomlString(string_field(c, Package::kVersion)).c_str());
	fprintf(
		stream, "release_date = %s\n", TomlString(string_field(c, Package::kReleaseDate)).c_str());
	fprintf(stream, "company = %s\n", TomlString(string_field(c, Package::kCompany)).c_str());
	fprintf(stream, "support_email = %s\n",
		TomlString(string_field(c, Package::kSupportEmail)).c_str());
	fprintf(stream, "package_name = %s\n",
		TomlString(string_field(c, Package::kInstallFolderName)).c_str());
	// TOML texts are UTF-8; a licence in another encoding goes into a file of its own.
	std::string license = string_field(c, Package::kLicense);
	if (is_utf8(license))
		fprintf(stream, "license = %s\n", TomlString(license).c_str());
	else {
		std::string path = folder + "/license.txt";
		std::ofstream file(path, std::ios::binary | std::ios::trunc);
		file << license;
		if (file.good())
			fprintf(stream, "license_file = %s\n", TomlString(path).c_str());
		else {
			diagnostics.Error(installerPath, 0, 0, "cannot save the licence text");
			ok = false;
		}
	}
	BMessage image;
	if (c.FindMessage(Package::kAboutImage, &image) == B_OK && !image.IsEmpty()) {
		std::string path = folder + "/about.png";
		if (SaveArchivedImage(image, path) == B_OK)
			fprintf(stream, "about_image = %s\n", TomlString(path).c_str());
		else {
			diagnostics.Error(installerPath, 0, 0, "cannot save the about picture");
			ok = false;
		}
	}
	BMessage sound;
	if (c.FindMessage(Package::kAudioData, &sound) == B_OK) {
		std::string path = folder + "/sound.wav";
		if (SaveArchivedSound(sound, path) == B_OK)
			fprintf(stream, "sound = %s\n", TomlString(path).c_str());
		else {
			diagnostics.Error(installerPath, 0, 0, "cannot save the start-up sound");
			ok = false;
		}
	}
	fprintf(stream, "recorded_sound_path = %s\n",
		TomlString(string_field(c, Package::kAudioFile)).c_str());

	fprintf(stream, "\n[options]\n");
	fprintf(stream, "created_folder = %s\n",
		TomlString(string_field(c, Package::kOptCreatedFolder)).c_str());
	const char* defaultFolder = nullptr;
	if (c.FindString(Package::kOptDefaultFolder, &defaultFolder) == B_OK)
		fprintf(stream, "default_folder = %s\n", TomlString(defaultFolder).c_str());
	fprintf(stream, "log = %s\n", toml_bool(bool_field(c, Package::kOptLog)));
	fprintf(stream, "create_startup = %s\n", toml_bool(bool_field(c, Package::kOptCreateStartup)));
	fprintf(stream, "save_replaced = %s\n", toml_bool(bool_field(c, Package::kOptSaveReplaced)));
	fprintf(
		stream, "show_beos_folders = %s\n", toml_bool(bool_field(c, Package::kOptShowBeosFolders)));
	int32 compression = 9;
	c.FindInt32(Package::kOptCompression, &compression);
	fprintf(stream, "compression = %" PRId32 "\n", compression);

	fprintf(stream, "\n[requirements]\n");
	fprintf(stream, "boot_volume_only = %s\n", toml_bool(bool_field(c, Package::kReqBootVolOnly)));
	fprintf(stream, "removable_volumes_ok = %s\n",
		toml_bool(bool_field(c, Package::kReqRemovableVolOk)));
	fprintf(stream, "shared_volumes_ok = %s\n", toml_bool(bool_field(c, Package::kReqSharedVolOk)));
	BMessage amount;
	c.FindMessage(Package::kReqDiskSpaceAmount, &amount);
	double bytes = 0;
	amount.FindDouble(Package::kValue, &bytes);
	fprintf(stream, "disk_space_kb = %.17g\n", bytes / Package::kKilobyteConversion);
	fprintf(
		stream, "disk_space_check = %s\n", toml_bool(bool_field(c, Package::kReqDiskSpaceNeeded)));
	fprintf(stream, "disk_space_required = %s\n",
		toml_bool(bool_field(c, Package::kReqDiskSpaceRequired)));
	int32 ram = 0;
	c.FindInt32(Package::kReqRamAmount, &ram);
	fprintf(stream, "ram_mb = %" PRId32 "\n", ram);
	fprintf(stream, "ram_check = %s\n", toml_bool(bool_field(c, Package::kReqRamNeeded)));
	fprintf(stream, "ram_required = %s\n", toml_bool(bool_field(c, Package::kReqRamRequired)));

	struct {
		const char* field;
		const char* flag;
		const char* names;
		const char* key;
	} const lists[] = {
		{ Package::kReqSharedLibrary, Package::kReqSharedLibraryRequired,
			Package::kReqSharedLibraryName, "libraries" },
		{ Package::kReqApps, Package::kReqAppRequired, Package::kReqAppName, "apps" },
	};

	for (const auto& list : lists) {
		BMessage record;
		c.FindMessage(list.field, &record);
		fprintf(stream, "%s = [", list.key);
		const char* name = nullptr;
		for (int32 i = 0; record.FindString(list.names, i, &name) == B_OK; i++)
			fprintf(stream, "%s%s", i == 0 ? "" : ", ", TomlString(name).c_str());
		fprintf(
			stream, "]\n%s_required = %s\n", list.key, toml_bool(bool_field(record, list.flag)));
	}

	print_script(stream, c, "bootscript", Package::kEditBootscript, Package::kEditBootscriptTag,
		Package::kEditBootscriptContents);
	print_script(stream, c, "setup_environment", Package::kEditSetupEnv, Package::kEditSetupEnvTag,
		Package::kEditSetupEnvContents);
	print_script(stream, c, "profile", Package::kEditProfile, Package::kEditProfileTag,
		Package::kEditProfileContents);

	fprintf(stream, "\n[completion]\n");
	fprintf(
		stream, "comments = %s\n", TomlString(string_field(c, Package::kCompleteComments)).c_str());
	fprintf(stream, "restart = %s\n", toml_bool(bool_field(c, Package::kCompleteRestart)));
	fprintf(
		stream, "display_folder = %s\n", toml_bool(bool_field(c, Package::kCompleteDisplayFolder)));

	BMessage groups;
	if (c.FindMessage(Package::kGroups, &groups) == B_OK) {
		const char* name = nullptr;
		for (int32 i = 0; groups.FindString(Package::kGroupName, i, &name) == B_OK; i++) {
			// A lookup that fails leaves no text behind; a missing description is empty.
			const char* description = nullptr;
			if (groups.FindString(Package::kGroupDescription, i, &description) != B_OK
				|| description == nullptr)
				description = "";
			fprintf(stream, "\n[[install_types]]\nname = %s\ndescription = %s\n",
				TomlString(name).c_str(), TomlString(description).c_str());
		}
	}

	BMessage folders;
	c.FindMessage(Package::kCustomFolder, &folders);
	BMessage entry;
	for (int32 i = 0; folders.FindMessage(Package::kCustomFolder, i, &entry) == B_OK; i++) {
		int32 root = 0;
		entry.FindInt32(Package::kCustomRootDir, &root);
		fprintf(stream, "\n[[custom_folders]]\nname = %s\nroot = %s\nsub_dir = %s\nreplace = %s\n",
			TomlString(string_field(entry, Package::kCustomFolderName)).c_str(),
			folder_name(root).c_str(),
			TomlString(string_field(entry, Package::kCustomSubDir)).c_str(),
			toml_bool(bool_field(entry, Package::kCustomReplaceExisting)));
	}

	BMessage instructions;
	c.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		std::string recorded = string_field(item, Package::kFileName);
		std::string leaf = PayloadLeaf(recorded);
		// Each item gets a folder of its own: two items may share a leaf name.
		std::string itemFolder = folder + "/items/" + std::to_string(i);
		std::string path = itemFolder + "/" + leaf;
		std::string name;
		if (!Libmkdir(itemFolder.c_str()) || !inspector.LoadPayload(i, data, name)
			|| !ExtractArchive(data.data(), data.size(), leaf, path)) {
			diagnostics.Error(installerPath, 0, 0,
				"item " + std::to_string(i) + " (" + leaf + "): cannot extract its payload");
			ok = false;
		}

		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		fprintf(stream, "\n[[items]]\npath = %s\n", TomlString(path).c_str());
		fprintf(stream, "destination = %s\n",
			TomlString(string_field(meta, Package::kDestination)).c_str());
		fprintf(stream, "destination_exists = %s\n",
			TomlString(string_field(meta, Package::kDestinationExists)).c_str());
		fprintf(stream, "link = %s\n", TomlString(string_field(meta, Package::kLink)).c_str());
		fprintf(stream, "link_exists = %s\n",
			TomlString(string_field(meta, Package::kLinkExists)).c_str());
		fprintf(stream, "deinstallable = %s\n",
			toml_bool(string_field(meta, Package::kDeinstallable) == Package::kTrue));
		fprintf(stream, "auto_launch = %s\n",
			toml_bool(string_field(meta, Package::kAutoLaunch) == Package::kTrue));
		fprintf(stream, "auto_launch_reason = %s\n",
			TomlString(string_field(meta, Package::kAutoLaunchReason)).c_str());
		fprintf(stream, "install_types = [");
		LibString groupsText(string_field(item, Package::kFileGroups).c_str());
		std::string types = static_cast<const char*>(groupsText);
		size_t start = 0;
		bool first = true;
		while (start < types.size()) {
			size_t end = types.find(';', start);
			if (end == std::string::npos)
				end = types.size();
			fprintf(stream, "%s%s", first ? "" : ", ",
				TomlString(types.substr(start, end - start)).c_str());
			first = false;
			start = end + 1;
		}
		fprintf(stream, "]\n");
		fprintf(stream, "recorded_path = %s\n", TomlString(recorded).c_str());
		fprintf(stream, "recorded_size = [");
		int32 size = 0;
		for (int32 v = 0; item.FindInt32(Package::kFileSize, v, &size) == B_OK; v++)
			fprintf(stream, "%s%" PRId32, v == 0 ? "" : ", ", size);
		fprintf(stream, "]\n");
		int64 time = 0;
		if (item.FindInt64(Package::kFileCreation, &time) == B_OK)
			fprintf(stream, "created = %" PRId64 "\n", time);
		if (item.FindInt64(Package::kFileModified, &time) == B_OK)
			fprintf(stream, "modified = %" PRId64 "\n", time);
		if (item.FindInt64(Package::kFileAccessed, &time) == B_OK)
			fprintf(stream, "accessed = %" PRId64 "\n", time);
	}
	return ok;
}

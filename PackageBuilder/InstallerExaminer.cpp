#include "InstallerExaminer.h"

#include "ConfigurationBuilder.h"
#include "DeinstallerSize.h"
#include "LibEntry.h"
#include "LibString.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "PackageRules.h"
#include "PackageSchema.h"
#include "PayloadArchive.h"
#include "RequirementLookup.h"

#include <cinttypes>
#include <cmath>
#include <cstring>
#include <set>

namespace {

std::string
type_code_text(type_code type)
{
	std::string text = "'";
	for (int shift = 24; shift >= 0; shift -= 8) {
		char c = static_cast<char>((type >> shift) & 0xff);
		text += (c >= 32 && c < 127) ? c : '?';
	}
	return text + "'";
}

std::string
string_field(const BMessage& message, const char* name, const char* fallback = "")
{
	const char* text = nullptr;
	if (message.FindString(name, &text) != B_OK || text == nullptr)
		return fallback;
	return text;
}

bool
bool_field(const BMessage& message, const char* name)
{
	bool value = false;
	if (message.FindBool(name, &value) != B_OK)
		return false;
	return value;
}

int32
int32_field(const BMessage& message, const char* name, int32 index = 0)
{
	int32 value = 0;
	message.FindInt32(name, index, &value);
	return value;
}

const char*
yes_no(bool value)
{
	return value ? "yes" : "no";
}

// Prints text indented, one line per line of text.
void
print_block(FILE* stream, const std::string& text, const char* indent)
{
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		fprintf(stream, "%s%s\n", indent, text.substr(start, end - start).c_str());
		start = end + 1;
	}
}

} // namespace

InstallerExaminer::InstallerExaminer(Diagnostics& diagnostics) :
	fDiagnostics(diagnostics),
	fHasConfiguration(false)
{
}

bool
InstallerExaminer::Open(const std::string& path)
{
	fPath = path;
	status_t status = fFile.SetTo(path.c_str(), B_READ_ONLY);
	if (status != B_OK) {
		_Error("cannot open the file");
		return false;
	}
	if (fResources.SetTo(&fFile) != B_OK) {
		_Error("not an installer: the file has no readable resources");
		return false;
	}
	fHasConfiguration = ReadPackageConfiguration(fResources, fConfiguration) == B_OK;
	if (!fHasConfiguration)
		_Error("the configuration (CSTR 2002 \"BRC:configuration\") is missing or damaged");
	return true;
}

bool
InstallerExaminer::LoadRaw(int32 id, std::vector<char>& data)
{
	size_t size = 0;
	const void* bytes = fResources.LoadResource(Package::kRawType, id, &size);
	if (bytes == nullptr)
		return false;
	data.assign(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
	return true;
}

bool
InstallerExaminer::LoadPayload(int32 index, std::vector<char>& data, std::string& name)
{
	const char* resourceName = nullptr;
	size_t size = 0;
	if (!GetPayloadInfo(fResources, index, &resourceName, &size))
		return false;
	name = resourceName != nullptr ? resourceName : "";
	return LoadRaw(PayloadResourceId(index), data);
}

void
InstallerExaminer::List(FILE* stream)
{
	fprintf(stream, "%-8s %6s %12s  %s\n", "type", "id", "size", "name");
	type_code type = 0;
	int32 id = 0;
	const char* name = nullptr;
	size_t size = 0;
	for (int32 index = 0; fResources.GetResourceInfo(index, &type, &id, &name, &size); index++) {
		fprintf(stream, "%-8s %6" PRId32 " %12zu  %s\n", type_code_text(type).c_str(), id, size,
			name != nullptr ? name : "");
	}
}

void
InstallerExaminer::Show(FILE* stream)
{
	if (!fHasConfiguration)
		return;
	const BMessage& c = fConfiguration;
	fprintf(stream, "Product:          %s %s\n", string_field(c, Package::kAppName).c_str(),
		string_field(c, Package::kVersion).c_str());
	fprintf(stream, "Released:         %s\n", string_field(c, Package::kReleaseDate).c_str());
	fprintf(stream, "Company:          %s\n", string_field(c, Package::kCompany).c_str());
	fprintf(stream, "Support:          %s\n", string_field(c, Package::kSupportEmail).c_str());
	fprintf(stream, "Package name:     %s\n", string_field(c, Package::kInstallFolderName).c_str());
	LibString tag;
	BuildInstallationTag(c, tag);
	fprintf(stream, "Installation tag: %s (%" PRId32 " bytes)\n", static_cast<const char*>(tag),
		tag.Length());

	BMessage image;
	c.FindMessage(Package::kAboutImage, &image);
	BRect frame;
	if (image.FindRect("_frame", &frame) == B_OK)
		fprintf(stream, "About picture:    %" PRId32 "x%" PRId32 " bitmap\n",
			frame.IntegerWidth() + 1, frame.IntegerHeight() + 1);
	else
		fprintf(stream, "About picture:    none\n");

	BMessage sound;
	if (c.FindMessage(Package::kAudioData, &sound) == B_OK) {
		float rate = 0;
		sound.FindFloat(Package::kSoundFrameRate, &rate);
		fprintf(stream,
			"Sound:            %s (%" PRId32 " channels, %.0f Hz, format 0x%" PRIx32 ")\n",
			string_field(c, Package::kAudioFile).c_str(),
			int32_field(sound, Package::kSoundChannelCount), rate,
			int32_field(sound, Package::kSoundFormat));
	} else
		fprintf(stream, "Sound:            none\n");

	std::string license = string_field(c, Package::kLicense);
	if (license.empty())
		fprintf(stream, "Licence:          none (the installer starts on its options)\n");
	else {
		fprintf(stream, "Licence:\n");
		print_block(stream, license, "    ");
	}

	BMessage groups;
	if (c.FindMessage(Package::kGroups, &groups) == B_OK) {
		fprintf(stream, "Install types:\n");
		const char* name = nullptr;
		for (int32 i = 0; groups.FindString(Package::kGroupName, i, &name) == B_OK; i++) {
			// A lookup that fails leaves no text behind; a missing description is empty.
			const char* description = nullptr;
			if (groups.FindString(Package::kGroupDescription, i, &description) != B_OK
				|| description == nullptr)
				description = "";
			fprintf(stream, "    %s: %s\n", name, description);
		}
	} else
		fprintf(stream, "Install types:    none\n");

	BMessage instructions;
	c.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	fprintf(stream, "Items:\n");
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		int8 kind = 0;
		item.FindInt8(Package::kFileType, &kind);
		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		std::string fileName = string_field(item, Package::kFileName);
		fprintf(stream, "    %" PRId32 ": %s (%s, %" PRId32 " bytes) from %s\n", i,
			PayloadLeaf(fileName).c_str(), kind == Package::kFileTypeFolder ? "folder" : "file",
			int32_field(item, Package::kFileSize), fileName.c_str());
		fprintf(stream, "        to %s (if it exists: %s), link %s (if it exists: %s)\n",
			string_field(meta, Package::kDestination).c_str(),
			string_field(meta, Package::kDestinationExists).c_str(),
			string_field(meta, Package::kLink).c_str(),
			string_field(meta, Package::kLinkExists).c_str());
		fprintf(stream, "        deinstallable %s, auto-launch %s, install types \"%s\"\n",
			string_field(meta, Package::kDeinstallable).c_str(),
			string_field(meta, Package::kAutoLaunch, "False").c_str(),
			string_field(item, Package::kFileGroups).c_str());
	}

	BMessage folders;
	c.FindMessage(Package::kCustomFolder, &folders);
	BMessage folder;
	fprintf(stream, "Custom folders:\n");
	for (int32 i = 0; folders.FindMessage(Package::kCustomFolder, i, &folder) == B_OK; i++) {
		LibString root;
		if (!LibGetStdDirName(
				static_cast<directory_which>(int32_field(folder, Package::kCustomRootDir)), root))
			root.Formatted("code %" PRId32, int32_field(folder, Package::kCustomRootDir));
		fprintf(stream, "    %s: %s / %s%s\n",
			string_field(folder, Package::kCustomFolderName).c_str(),
			static_cast<const char*>(root), string_field(folder, Package::kCustomSubDir).c_str(),
			bool_field(folder, Package::kCustomReplaceExisting) ? " (replaced)" : "");
	}

	fprintf(stream, "Options:\n");
	fprintf(stream, "    created folder %s, default folder %s\n",
		string_field(c, Package::kOptCreatedFolder).c_str(),
		string_field(c, Package::kOptDefaultFolder, "(none)").c_str());
	fprintf(stream, "    log %s, start-up folder %s, save replaced %s, compression %" PRId32 "\n",
		yes_no(bool_field(c, Package::kOptLog)), yes_no(bool_field(c, Package::kOptCreateStartup)),
		yes_no(bool_field(c, Package::kOptSaveReplaced)), int32_field(c, Package::kOptCompression));

	BMessage amount;
	c.FindMessage(Package::kReqDiskSpaceAmount, &amount);
	double bytes = 0;
	amount.FindDouble(Package::kValue, &bytes);
	fprintf(stream, "Requirements:\n");
	fprintf(stream, "    disk space %s: %.0f bytes (%s)\n",
		yes_no(bool_field(c, Package::kReqDiskSpaceNeeded)), bytes,
		bool_field(c, Package::kReqDiskSpaceRequired) ? "required" : "suggested");
	fprintf(stream, "    memory %s: %" PRId32 " MB (%s)\n",
		yes_no(bool_field(c, Package::kReqRamNeeded)), int32_field(c, Package::kReqRamAmount),
		bool_field(c, Package::kReqRamRequired) ? "required" : "suggested");
	fprintf(stream, "    boot volume only %s, removable volumes %s, shared volumes %s\n",
		yes_no(bool_field(c, Package::kReqBootVolOnly)),
		yes_no(bool_field(c, Package::kReqRemovableVolOk)),
		yes_no(bool_field(c, Package::kReqSharedVolOk)));

	struct {
		const char* field;
		const char* flag;
		const char* names;
		const char* label;
	} const lists[] = {
		{ Package::kReqSharedLibrary, Package::kReqSharedLibraryRequired,
			Package::kReqSharedLibraryName, "libraries" },
		{ Package::kReqApps, Package::kReqAppRequired, Package::kReqAppName, "applications" },
	};

	for (const auto& list : lists) {
		BMessage record;
		c.FindMessage(list.field, &record);
		fprintf(stream, "    %s (%s):", list.label,
			bool_field(record, list.flag) ? "required" : "suggested");
		const char* name = nullptr;
		for (int32 i = 0; record.FindString(list.names, i, &name) == B_OK; i++)
			fprintf(stream, " \"%s\"", name);
		fprintf(stream, "\n");
	}
	PrintRequirementLookups(stream, "        ");

	struct {
		const char* flag;
		const char* tag;
		const char* contents;
		const char* label;
	} const scripts[] = {
		{ Package::kEditBootscript, Package::kEditBootscriptTag, Package::kEditBootscriptContents,
			"boot script" },
		{ Package::kEditSetupEnv, Package::kEditSetupEnvTag, Package::kEditSetupEnvContents,
			"environment script" },
		{ Package::kEditProfile, Package::kEditProfileTag, Package::kEditProfileContents,
			"shell profile" },
	};

	fprintf(stream, "Script sections:\n");
	for (const auto& script : scripts) {
		if (!bool_field(c, script.flag))
			continue;
		fprintf(stream, "    %s, tag %s:\n", script.label, string_field(c, script.tag).c_str());
		print_block(stream, string_field(c, script.contents), "        ");
	}

	fprintf(stream, "Completion:       restart %s, open folder %s\n",
		yes_no(bool_field(c, Package::kCompleteRestart)),
		yes_no(bool_field(c, Package::kCompleteDisplayFolder)));
	std::string comments = string_field(c, Package::kCompleteComments);
	if (!comments.empty())
		print_block(stream, comments, "    ");
	int32 deinstallerSize = 0;
	if (c.FindInt32(Package::kDeinstallerSize, &deinstallerSize) == B_OK)
		fprintf(stream, "Deinstaller:      %" PRId32 " bytes\n", deinstallerSize);
	else
		fprintf(stream, "Deinstaller:      size not recorded\n");
}

void
InstallerExaminer::PrintRequirementLookups(FILE* stream, const char* indent)
{
	BMessage libraries;
	fConfiguration.FindMessage(Package::kReqSharedLibrary, &libraries);
	const char* name = nullptr;
	for (int32 i = 0; libraries.FindString(Package::kReqSharedLibraryName, i, &name) == B_OK; i++) {
		std::string found;
		if (FindSharedLibrary(name, &found))
			fprintf(stream, "%slibrary \"%s\" on this machine: %s\n", indent, name, found.c_str());
		else
			fprintf(stream, "%slibrary \"%s\" on this machine: not found\n", indent, name);
	}

	BMessage applications;
	fConfiguration.FindMessage(Package::kReqApps, &applications);
	for (int32 i = 0; applications.FindString(Package::kReqAppName, i, &name) == B_OK; i++) {
		std::string identifier = RequiredApplicationIdentifier(name);
		std::string found;
		if (FindRequiredApplication(identifier.c_str(), &found)) {
			fprintf(
				stream, "%sapplication \"%s\" on this machine: %s\n", indent, name, found.c_str());
		} else if (identifier.empty()) {
			fprintf(stream,
				"%sapplication \"%s\" on this machine: not found (no name in parentheses)\n",
				indent, name);
		} else {
			fprintf(stream, "%sapplication \"%s\" on this machine: not found (looked up as %s)\n",
				indent, name, identifier.c_str());
		}
	}
}

void
InstallerExaminer::_Error(const std::string& text)
{
	fDiagnostics.Error(fPath, 0, 0, text);
}

void
InstallerExaminer::_Warning(const std::string& text)
{
	fDiagnostics.Warning(fPath, 0, 0, text);
}

void
InstallerExaminer::_CheckPlacement(
	const std::string& where, const char* field, const char* value, bool allowNone)
{
	if (value == nullptr)
		return;
	std::string name(value);
	if (name == Package::kUserSelected || (allowNone && name == Package::kNone)
		|| LibStdDirNameExists(value))
		return;
	BMessage folders;
	fConfiguration.FindMessage(Package::kCustomFolder, &folders);
	BMessage folder;
	for (int32 i = 0; folders.FindMessage(Package::kCustomFolder, i, &folder) == B_OK; i++) {
		if (string_field(folder, Package::kCustomFolderName) == name)
			return;
	}
	_Error(where + ": " + field + " '" + name
		+ "' is neither \"User Selected\", a custom folder nor a standard folder");
}

void
InstallerExaminer::_CheckItems(const BMessage& instructions)
{
	BMessage item;
	int32 count = 0;
	int64 total = 0;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		count++;
		std::string leaf = PayloadLeaf(string_field(item, Package::kFileName));
		std::string where = "item " + std::to_string(i) + " (" + leaf + ")";

		BMessage meta;
		item.FindMessage(Package::kInstallMeta, &meta);
		const char* text = nullptr;
		if (meta.FindString(Package::kDestination, &text) == B_OK)
			_CheckPlacement(where, "destination", text, false);
		if (meta.FindString(Package::kLink, &text) == B_OK)
			_CheckPlacement(where, "link", text, true);
		std::string link = string_field(meta, Package::kLink);
		if (!link.empty() && link == string_field(meta, Package::kDestination))
			_Error(where + ": its link goes to its own destination '" + link
				+ "', where it would take the item's place");
		int32 itemSize = int32_field(item, Package::kFileSize);
		total += itemSize > 0 ? itemSize : 0;
		for (const char* field : { Package::kDestinationExists, Package::kLinkExists }) {
			std::string mode = string_field(meta, field);
			if (mode != Package::kPrompt && mode != Package::kRename && mode != Package::kReplace)
				_Warning(where + ": " + field + " '" + mode
					+ "' is not a collision mode; the installer replaces");
		}

		const char* resourceName = nullptr;
		size_t size = 0;
		if (!GetPayloadInfo(fResources, i, &resourceName, &size)) {
			_Error(where + ": its payload RAWT " + std::to_string(PayloadResourceId(i))
				+ " is missing");
			continue;
		}
		std::string name = resourceName != nullptr ? resourceName : "";
		if (name != leaf) {
			_Error(where + ": its payload RAWT " + std::to_string(PayloadResourceId(i))
				+ " is named '" + name + "', not after the item");
		}

		std::vector<char> data;
		LoadRaw(PayloadResourceId(i), data);
		ArchiveSummary summary;
		std::string error;
		if (!InspectArchive(data.data(), data.size(), summary, error)) {
			_Error(where + ": its payload archive is damaged: " + error);
			continue;
		}
		if (summary.topLevelNames.size() != 1 || *summary.topLevelNames.begin() != leaf) {
			std::string names;
			for (const std::string& top : summary.topLevelNames)
				names += (names.empty() ? "'" : ", '") + top + "'";
			_Error(where + ": its payload archive must hold the one entry '" + leaf + "' but holds "
				+ (names.empty() ? std::string("nothing") : names));
			continue;
		}

		for (const std::string& leaving : summary.leavingLinks)
			_Error(where + ": its payload's link " + leaving
				+ " points outside the item; the installer refuses it");

		int8 kind = 0;
		item.FindInt8(Package::kFileType, &kind);
		if ((kind == Package::kFileTypeFolder) != summary.topIsFolder)
			_Error(where + ": file_type says "
				+ (kind == Package::kFileTypeFolder ? "folder" : "file")
				+ " but the payload holds a " + (summary.topIsFolder ? "folder" : "file"));

		// Folders add their own sizes, which archives do not keep: their recorded size can
		// only be at least the contents'. A plain file's size is exact.
		int32 recorded = int32_field(item, Package::kFileSize);
		uint64 contents = summary.dataSize + summary.attributeSize;
		bool agrees = summary.topIsRegularFile ? static_cast<uint64>(recorded) == contents
											   : static_cast<uint64>(recorded) >= contents;
		if (recorded < 0 || !agrees)
			_Error(where + ": file_size says " + std::to_string(recorded)
				+ " bytes but the payload holds " + std::to_string(contents)
				+ " bytes of data and attributes");
	}

	// A user may select every item; the installer adds their sizes up as an int32.
	if (total > package_rules::kMaxSelectedTotal)
		_Error("the items hold " + package_rules::ByteCount(total)
			+ " together; the items a user can select may hold at most "
			+ package_rules::ByteCount(package_rules::kMaxSelectedTotal) + " (2 GiB)");

	// Payloads beyond the items would never be installed.
	type_code type = 0;
	int32 id = 0;
	const char* name = nullptr;
	size_t size = 0;
	for (int32 index = 0; fResources.GetResourceInfo(index, &type, &id, &name, &size); index++) {
		if (type == Package::kRawType && id >= Package::kFirstPayloadId + count)
			_Warning("RAWT " + std::to_string(id) + " ('" + (name != nullptr ? name : "")
				+ "') belongs to no item");
	}
}

void
InstallerExaminer::_CheckEmbedded(
	int32 id, const char* resourceName, const char* entryName, const char* what, int32 expectedSize)
{
	const char* name = nullptr;
	size_t size = 0;
	if (!fResources.GetResourceInfo(Package::kRawType, id, &name, &size)) {
		_Warning(std::string("no ") + what + " (RAWT " + std::to_string(id) + ")");
		return;
	}
	if (name == nullptr || strcmp(name, resourceName) != 0)
		_Error(std::string(what) + ": RAWT " + std::to_string(id) + " must be named '"
			+ resourceName + "'");
	std::vector<char> data;
	LoadRaw(id, data);
	ArchiveSummary summary;
	std::string error;
	if (!InspectArchive(data.data(), data.size(), summary, error)) {
		_Error(std::string(what) + ": the archive is damaged: " + error);
		return;
	}
	if (summary.topLevelNames.size() != 1 || *summary.topLevelNames.begin() != entryName) {
		_Error(std::string(what) + ": the archive must hold the one entry '" + entryName + "'");
		return;
	}
	if (expectedSize >= 0
		&& static_cast<uint64>(expectedSize) != summary.dataSize + summary.attributeSize)
		_Error(std::string(what) + ": the size recorded is " + std::to_string(expectedSize)
			+ " bytes but the archive holds "
			+ std::to_string(summary.dataSize + summary.attributeSize));
}

void
InstallerExaminer::_CheckDeinstallerSize(int32 recorded)
{
	// The installer writes the program with its reduced configuration added: do the same
	// in a work folder and weigh the result.
	std::vector<char> data;
	LoadRaw(Package::kDeinstallerId, data);
	ArchiveSummary summary;
	std::string error;
	if (!InspectArchive(data.data(), data.size(), summary, error))
		return;
	int64 installed = -1;
	std::string work = MakeWorkFolder("PackageBuilder");
	if (!work.empty()) {
		std::string copy = work + "/" + Package::kDeinstallerName;
		if (ExtractArchive(data.data(), data.size(), Package::kDeinstallerName, copy))
			installed = MeasureInstalledDeinstaller(copy, fConfiguration);
		RemoveWorkFolder(work);
	}
	if (installed < 0) {
		_Warning("the deinstaller's size as installed cannot be told here");
		return;
	}
	if (recorded == installed)
		return;
	std::string text = "the deinstaller: BRC:deinstaller_size says " + std::to_string(recorded)
		+ " bytes but installed, with its configuration, it takes " + std::to_string(installed);
	// Packages built before the configuration was counted are off by that much only; the
	// window shows a slightly small total, nothing worse.
	if (static_cast<uint64>(recorded) == summary.dataSize + summary.attributeSize)
		_Warning(text + " (the size without its configuration)");
	else
		_Error(text);
}

void
InstallerExaminer::_CheckRules()
{
	const BMessage& c = fConfiguration;
	const char* created = nullptr;
	if (c.FindString(Package::kOptCreatedFolder, &created) == B_OK) {
		std::string problem = package_rules::CreatedFolderProblem(created);
		if (!problem.empty())
			_Error(std::string("opt_created_folder: ") + problem);
	}

	BMessage folders;
	c.FindMessage(Package::kCustomFolder, &folders);
	BMessage folder;
	for (int32 i = 0; folders.FindMessage(Package::kCustomFolder, i, &folder) == B_OK; i++) {
		std::string where =
			"custom folder '" + string_field(folder, Package::kCustomFolderName) + "'";
		int32 root = 0;
		LibString rootName;
		if (folder.FindInt32(Package::kCustomRootDir, &root) == B_OK
			&& !LibGetStdDirName(static_cast<directory_which>(root), rootName))
			_Error(where + ": its root " + std::to_string(root) + " is not a standard folder code");
		const char* subDir = nullptr;
		if (folder.FindString(Package::kCustomSubDir, &subDir) == B_OK) {
			std::string problem = package_rules::SubDirProblem(subDir);
			if (!problem.empty())
				_Error(where + ": " + problem);
		}
	}

	BMessage amount;
	double bytes = 0;
	if (c.FindMessage(Package::kReqDiskSpaceAmount, &amount) == B_OK
		&& amount.FindDouble(Package::kValue, &bytes) == B_OK) {
		std::string problem = package_rules::DiskAmountProblem(bytes);
		if (!problem.empty())
			_Error(std::string(Package::kReqDiskSpaceAmount) + ": " + problem);
	}

	struct {
		const char* flag;
		const char* tag;
		const char* contents;
	} const scripts[] = {
		{ Package::kEditBootscript, Package::kEditBootscriptTag, Package::kEditBootscriptContents },
		{ Package::kEditSetupEnv, Package::kEditSetupEnvTag, Package::kEditSetupEnvContents },
		{ Package::kEditProfile, Package::kEditProfileTag, Package::kEditProfileContents },
	};

	std::vector<std::pair<const char*, std::string>> tags;
	for (const auto& script : scripts) {
		if (bool_field(c, script.flag))
			tags.emplace_back(script.tag, string_field(c, script.tag));
	}
	std::vector<std::string> tagTexts;
	for (const auto& [field, tag] : tags)
		tagTexts.push_back(tag);
	for (size_t i = 0; i < tags.size(); i++) {
		std::string problem = package_rules::ScriptTagProblem(tags[i].second);
		if (!problem.empty())
			_Error(std::string(tags[i].first) + ": " + problem);
		for (size_t j = 0; j < i; j++) {
			problem = package_rules::ScriptTagsProblem(tags[j].second, tags[i].second);
			if (!problem.empty())
				_Error(std::string(tags[j].first) + " and " + tags[i].first + ": " + problem);
		}
	}
	for (const auto& script : scripts) {
		if (!bool_field(c, script.flag))
			continue;
		std::string problem =
			package_rules::ScriptContentsProblem(string_field(c, script.contents), tagTexts);
		if (!problem.empty())
			_Error(std::string(script.contents) + ": " + problem);
	}
}

bool
InstallerExaminer::Check()
{
	int32 errorsBefore = fDiagnostics.ErrorCount();
	if (!fHasConfiguration)
		return false;

	std::vector<std::string> problems;
	std::vector<std::string> unknown;
	CheckAgainstSchema(fConfiguration, ConfigurationSchema(), problems, unknown);
	for (const std::string& problem : problems)
		_Error("configuration: " + problem);
	for (const std::string& field : unknown)
		_Warning("configuration: '" + field + "' is not part of the package format");

	LibString tag;
	BuildInstallationTag(fConfiguration, tag);
	if (tag.Length() > Package::kMaxTagLength)
		_Error("the installation tag is " + std::to_string(tag.Length())
			+ " bytes long; the deinstaller recognises at most "
			+ std::to_string(Package::kMaxTagLength));

	BMessage instructions;
	if (fConfiguration.FindMessage(Package::kInstallInstructions, &instructions) == B_OK)
		_CheckItems(instructions);

	_CheckRules();

	int32 errorsBeforeDeinstaller = fDiagnostics.ErrorCount();
	_CheckEmbedded(Package::kDeinstallerId, Package::kDeinstallerName, Package::kDeinstallerName,
		"the deinstaller", -1);
	int32 deinstallerSize = -1;
	if (fDiagnostics.ErrorCount() == errorsBeforeDeinstaller
		&& fResources.HasResource(Package::kRawType, Package::kDeinstallerId)
		&& fConfiguration.FindInt32(Package::kDeinstallerSize, &deinstallerSize) == B_OK)
		_CheckDeinstallerSize(deinstallerSize);
	if (fResources.HasResource(Package::kRawType, Package::kHelpId))
		_CheckEmbedded(
			Package::kHelpId, Package::kHelpName, Package::kHelpFileName, "the help text", -1);

	struct {
		type_code type;
		int32 id;
		const char* name;
	} const application[] = {
		{ Package::kMiniIconType, Package::kAppIconId, Package::kAppMiniIconName },
		{ Package::kLargeIconType, Package::kAppIconId, Package::kAppLargeIconName },
		{ Package::kMimeStringType, Package::kAppSignatureId, Package::kAppSignatureName },
		{ Package::kMimeStringType, Package::kAppTypeId, Package::kAppTypeName },
		{ Package::kAppFlagsType, Package::kAppFlagsId, Package::kAppFlagsName },
		{ Package::kAppVersionType, Package::kAppVersionId, Package::kAppVersionName },
		{ Package::kMessageType, Package::kFileTypesId, Package::kFileTypesName },
	};

	for (const auto& resource : application) {
		if (!fResources.HasResource(resource.type, resource.id))
			_Warning(std::string("the application resource ") + resource.name + " is missing");
	}
	return fDiagnostics.ErrorCount() == errorsBefore;
}

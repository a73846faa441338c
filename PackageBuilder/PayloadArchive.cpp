#include "PayloadArchive.h"

#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibZipFields.h"
#include "LibZipPrivate.h"
#include "LibZipLinks.h"

#include <FindDirectory.h>
#include <Path.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace {

constexpr size_t kReadChunk = 256 * 1024;

uint64
attribute_bytes(zip_t* archive, zip_uint64_t index)
{
	std::vector<std::vector<uint8>> fields;
	for (zip_flags_t where : { ZIP_FL_LOCAL, ZIP_FL_CENTRAL }) {
		zip_int16_t count =
			zip_file_extra_fields_count_by_id(archive, index, lib_zip::kAttributeFieldId, where);
		for (zip_int16_t i = 0; i < count; i++) {
			zip_uint16_t length = 0;
			const zip_uint8_t* field = zip_file_extra_field_get_by_id(
				archive, index, lib_zip::kAttributeFieldId, i, &length, where);
			if (field != nullptr)
				fields.emplace_back(field, field + length);
		}
	}
	std::vector<lib_zip::Attribute> attributes;
	lib_zip::DecodeAttributes(fields, &attributes);
	uint64 total = 0;
	for (const lib_zip::Attribute& attribute : attributes)
		total += attribute.data.size();
	return total;
}

} // namespace

bool
InspectArchive(const void* data, size_t size, ArchiveSummary& summary, std::string& error)
{
	summary = ArchiveSummary();
	zip_error_t zipError;
	zip_error_init(&zipError);
	zip_source_t* source = zip_source_buffer_create(data, size, 0, &zipError);
	if (source == nullptr) {
		error = zip_error_strerror(&zipError);
		zip_error_fini(&zipError);
		return false;
	}
	zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
	if (archive == nullptr) {
		error = std::string("not a sound ZIP archive: ") + zip_error_strerror(&zipError);
		zip_source_free(source);
		zip_error_fini(&zipError);
		return false;
	}
	zip_error_fini(&zipError);

	bool ok = true;
	std::vector<char> buffer(kReadChunk);
	zip_int64_t count = zip_get_num_entries(archive, 0);
	for (zip_int64_t index = 0; index < count && ok; index++) {
		const char* name = zip_get_name(archive, index, 0);
		if (name == nullptr || name[0] == '\0') {
			error = "an entry has no name";
			ok = false;
			break;
		}
		std::string entryName(name);
		size_t slash = entryName.find('/');
		std::string top = entryName.substr(0, slash);
		summary.topLevelNames.insert(top);
		summary.entryCount++;

		zip_uint8_t system = 0;
		zip_uint32_t external = 0;
		zip_file_get_external_attributes(archive, index, 0, &system, &external);
		mode_t mode = system == ZIP_OPSYS_UNIX ? static_cast<mode_t>(external >> 16) : 0;
		bool isFolder = entryName.back() == '/' || S_ISDIR(mode);
		if (slash == std::string::npos || slash + 1 == entryName.size()) {
			summary.topIsFolder = isFolder;
			summary.topIsRegularFile = !isFolder && (mode == 0 || S_ISREG(mode));
		}
		summary.attributeSize += attribute_bytes(archive, index);

		// Reading an entry to its end checks its checksum.
		zip_file_t* file = zip_fopen_index(archive, index, 0);
		if (file == nullptr) {
			error = entryName + ": " + zip_strerror(archive);
			ok = false;
			break;
		}
		bool isLink = S_ISLNK(mode);
		std::string target;
		zip_int64_t read = 0;
		while ((read = zip_fread(file, buffer.data(), buffer.size())) > 0) {
			if (!isFolder)
				summary.dataSize += static_cast<uint64>(read);
			if (isLink && target.size() < kReadChunk)
				target.append(buffer.data(), static_cast<size_t>(read));
		}
		if (read < 0) {
			error = entryName + ": " + zip_file_strerror(file);
			ok = false;
		}
		zip_fclose(file);
		if (ok && isLink) {
			size_t depth = 1;
			for (char c : entryName)
				depth += c == '/' ? 1 : 0;
			if (!lib_zip::LinkStaysInItem(depth, target))
				summary.leavingLinks.push_back("'" + entryName + "' -> '" + target + "'");
		}
	}
	zip_discard(archive);
	return ok;
}

bool
PackEntry(const std::string& path, const std::string& archive, const PackSettings& settings)
{
	// The packer wants absolute paths with their folders resolved, as LibZip gives it.
	std::string itemPath;
	std::string archivePath;
	if (lib_file::source_path(path.c_str(), &itemPath) != B_OK
		|| lib_file::source_path(archive.c_str(), &archivePath) != B_OK) {
		return false;
	}
	lib_zip::ZipPacker packer;
	packer.SetJobs(settings.jobs);
	if (settings.latestTime)
		packer.SetReproducible(*settings.latestTime);
	if (!packer.Open(archivePath, settings.level))
		return false;
	packer.Add(itemPath);
	return packer.Close();
}

std::string
MakeWorkFolder(const char* prefix)
{
	BPath temporary;
	if (find_directory(B_COMMON_TEMP_DIRECTORY, &temporary, true) != B_OK)
		return std::string();
	std::string pattern = std::string(temporary.Path()) + "/" + prefix + "-XXXXXX";
	std::vector<char> buffer(pattern.begin(), pattern.end());
	buffer.push_back('\0');
	if (mkdtemp(buffer.data()) == nullptr)
		return std::string();
	return std::string(buffer.data());
}

void
RemoveWorkFolder(const std::string& folder)
{
	if (!folder.empty())
		LibUnlink(folder.c_str());
}

bool
ExtractArchive(
	const void* data, size_t size, const std::string& name, const std::string& destination)
{
	std::string work = MakeWorkFolder("PackageBuilder");
	if (work.empty())
		return false;

	// The archive is expanded beside itself, so it must not bear the entry's name.
	std::string archivePath = work + (name == "payload.zip" ? "/archive.zip" : "/payload.zip");
	bool ok = false;
	{
		std::ofstream stream(archivePath, std::ios::binary | std::ios::trunc);
		stream.write(static_cast<const char*>(data), size);
		ok = stream.good();
	}
	// LibUnzip changes the working directory; keep the caller's.
	char* previous = getcwd(nullptr, 0);
	if (ok)
		ok = LibUnzip(archivePath.c_str());
	if (previous != nullptr) {
		if (chdir(previous) != 0)
			ok = false;
		free(previous);
	}
	std::string entry = work + "/" + name;
	struct stat status;
	if (ok && lstat(entry.c_str(), &status) == 0 && lstat(destination.c_str(), &status) != 0)
		ok = LibMove(entry.c_str(), destination.c_str());
	else
		ok = false;
	RemoveWorkFolder(work);
	return ok;
}

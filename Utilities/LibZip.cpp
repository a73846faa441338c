// LibZip: packs a file, folder or link into a ZIP archive with libzip. File contents are
// read from disk while the archive is written, never held whole in memory.
#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibZipFields.h"

#include <Node.h>
#include <Path.h>

#include <algorithm>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace {

using namespace lib_file;
using namespace lib_zip;

// The MS-DOS folder flag, which readers that ignore the Unix mode look at.
const uint32 kDosDirectoryFlag = 0x10;

class ZipWriter {
public:
	ZipWriter(zip_t* archive, int level, const std::string& archivePath) :
		fArchive(archive),
		fLevel(level),
		fArchivePath(archivePath),
		fOk(true)
	{
	}

	// Adds the entry at path as name, and a folder's contents below it.
	void Add(const std::string& path, const std::string& name);

	bool Ok() const { return fOk; }

private:
	void _Fail(const std::string& path, const char* what);
	bool _Describe(zip_int64_t index, const std::string& path, const struct stat& st);

	zip_t* fArchive;
	int fLevel;
	std::string fArchivePath;
	bool fOk;
};

void
ZipWriter::_Fail(const std::string& path, const char* what)
{
	fprintf(stderr, "LibZip: %s: %s\n", path.c_str(), what);
	fOk = false;
}

void
ZipWriter::Add(const std::string& path, const std::string& name)
{
	// The archive being written is not packed into itself.
	if (path == fArchivePath)
		return;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0) {
		_Fail(path, strerror(errno));
		return;
	}

	zip_error_t error;
	zip_error_init(&error);
	zip_source_t* source = NULL;
	std::string entryName = name;
	if (S_ISDIR(st.st_mode)) {
		entryName += "/";
		source = zip_source_buffer_create(NULL, 0, 0, &error);
	} else if (S_ISREG(st.st_mode)) {
		// libzip opens the file again when it writes the archive; a file that cannot be
		// read then would spoil the whole archive, so it is checked now.
		int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
		if (fd < 0) {
			_Fail(path, strerror(errno));
			return;
		}
		close(fd);
		source = zip_source_file_create(path.c_str(), 0, -1, &error);
	} else if (S_ISLNK(st.st_mode)) {
		// Info-ZIP's way: the link's text is the entry's data.
		std::vector<char> target(PATH_MAX + 1);
		ssize_t length = readlink(path.c_str(), target.data(), target.size());
		if (length <= 0 || (size_t)length >= target.size()) {
			_Fail(path, "cannot read the link");
			return;
		}
		void* copy = malloc(length);
		memcpy(copy, target.data(), length);
		source = zip_source_buffer_create(copy, length, 1, &error);
		if (source == NULL)
			free(copy);
	} else {
		_Fail(path, "special files are not packed");
		return;
	}
	if (source == NULL) {
		_Fail(path, zip_error_strerror(&error));
		zip_error_fini(&error);
		return;
	}
	zip_error_fini(&error);

	zip_int64_t index =
		zip_file_add(fArchive, entryName.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
	if (index < 0) {
		zip_source_free(source);
		_Fail(path, zip_strerror(fArchive));
		return;
	}
	if (!_Describe(index, path, st))
		return;

	if (!S_ISDIR(st.st_mode))
		return;
	DIR* folder = opendir(path.c_str());
	if (folder == NULL) {
		_Fail(path, strerror(errno));
		return;
	}
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(folder);
	// A fixed order makes the same tree give the same archive.
	std::sort(names.begin(), names.end());
	for (const std::string& child : names)
		Add(join_path(path, child), name + "/" + child);
}

bool
ZipWriter::_Describe(zip_int64_t index, const std::string& path, const struct stat& st)
{
	bool compressed = S_ISREG(st.st_mode) && fLevel > 0;
	int method = compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
	uint32 level = compressed ? (uint32)std::min(fLevel, 9) : 0;
	uint32 external = ((uint32)st.st_mode & 0xffff) << 16;
	if (S_ISDIR(st.st_mode))
		external |= kDosDirectoryFlag;
	if (zip_set_file_compression(fArchive, index, method, level) != 0
		|| zip_file_set_external_attributes(fArchive, index, 0, ZIP_OPSYS_UNIX, external) != 0
		|| zip_file_set_mtime(fArchive, index, st.st_mtime, 0) != 0) {
		_Fail(path, zip_strerror(fArchive));
		return false;
	}

	std::vector<uint8> localTime = EncodeTimestamp(st.st_mtime, st.st_atime, false);
	std::vector<uint8> centralTime = EncodeTimestamp(st.st_mtime, st.st_atime, true);
	if (!localTime.empty()) {
		zip_file_extra_field_set(fArchive, index, kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
			localTime.data(), localTime.size(), ZIP_FL_LOCAL);
		zip_file_extra_field_set(fArchive, index, kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
			centralTime.data(), centralTime.size(), ZIP_FL_CENTRAL);
	}

	// The attributes, through the storage kit, so that types and a link's attributes come
	// as the platform keeps them.
	BNode node(path.c_str());
	if (node.InitCheck() != B_OK)
		return true;
	std::vector<Attribute> attributes;
	char name[B_ATTR_NAME_LENGTH + 1];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (node.GetAttrInfo(name, &info) != B_OK || info.size < 0
			|| (size_t)info.size > kMaxAttributeSize) {
			_Fail(path, "an attribute cannot be read");
			continue;
		}
		Attribute attribute;
		attribute.name = name;
		attribute.type = info.type;
		attribute.data.resize(info.size);
		if (node.ReadAttr(name, info.type, 0, attribute.data.data(), info.size) != info.size) {
			_Fail(path, "an attribute cannot be read");
			continue;
		}
		attributes.push_back(std::move(attribute));
	}
	if (attributes.empty())
		return true;

	std::vector<std::vector<uint8>> localFields;
	std::vector<std::vector<uint8>> centralFields;
	if (!EncodeAttributes(attributes, &localFields, &centralFields)) {
		_Fail(path, "the attributes are too large for the archive");
		return false;
	}
	for (const std::vector<uint8>& field : localFields) {
		if (zip_file_extra_field_set(fArchive, index, kAttributeFieldId, ZIP_EXTRA_FIELD_NEW,
				field.data(), field.size(), ZIP_FL_LOCAL)
			!= 0) {
			_Fail(path, zip_strerror(fArchive));
			return false;
		}
	}
	for (const std::vector<uint8>& field : centralFields) {
		if (zip_file_extra_field_set(fArchive, index, kAttributeFieldId, ZIP_EXTRA_FIELD_NEW,
				field.data(), field.size(), ZIP_FL_CENTRAL)
			!= 0) {
			_Fail(path, zip_strerror(fArchive));
			return false;
		}
	}
	return true;
}

} // namespace

bool
LibZip(const char* archive, const BPath& item, int level)
{
	if (archive == NULL || archive[0] == '\0' || item.InitCheck() != B_OK)
		return false;
	std::string itemPath;
	if (source_path(item.Path(), &itemPath) != B_OK)
		return false;
	std::string folder = path_folder(itemPath);
	std::string leaf = path_leaf(itemPath);

	// BeOS behaviour: the packing ran in the item's folder, and the process stays there.
	// Nothing below depends on it.
	if (chdir(folder.c_str()) != 0)
		fprintf(stderr, "cannot change to %s\n", folder.c_str());
	std::string archivePath;
	std::string archiveText = archive[0] == '/' ? std::string(archive) : join_path(folder, archive);
	if (source_path(archiveText.c_str(), &archivePath) != B_OK)
		return false;

	int error = 0;
	zip_t* zip = zip_open(archivePath.c_str(), ZIP_CREATE, &error);
	if (zip == NULL) {
		zip_error_t details;
		zip_error_init_with_code(&details, error);
		fprintf(stderr, "LibZip: %s: %s\n", archivePath.c_str(), zip_error_strerror(&details));
		zip_error_fini(&details);
		return false;
	}

	ZipWriter writer(zip, level, archivePath);
	writer.Add(itemPath, leaf);
	if (zip_close(zip) != 0) {
		fprintf(stderr, "LibZip: %s: %s\n", archivePath.c_str(), zip_strerror(zip));
		zip_discard(zip);
		return false;
	}
	return writer.Ok();
}

#include "LibAppResource.h"

#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibPrivateFolder.h"

#include <Entry.h>
#include <Path.h>
#include <Roster.h>
#include <TypeConstants.h>

#include <memory>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// AddEntry copies the archive in chunks of this size through one buffer.
const size_t kAddChunk = 8192;
// ExtractEntry writes the resource out in chunks of this size.
const size_t kExtractChunk = 256 * 1024;

bool
running_executable(BPath& path)
{
	app_info info;
	if (be_roster->GetRunningAppInfo(getpid(), &info) != B_OK)
		return false;
	return path.SetTo(&info.ref) == B_OK;
}

// Writes resource (B_RAW_TYPE, id) of length bytes into a new file at path.
bool
write_resource_to(BResources& resources, int32 id, size_t length, const std::string& path)
{
	BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	if (file.InitCheck() != B_OK) {
		fprintf(stderr, "Error initializine file in ExtractEntry\n");
		return false;
	}
	std::unique_ptr<char[]> buffer(new char[kExtractChunk]);
	for (size_t offset = 0; offset < length;) {
		size_t chunk = length - offset < kExtractChunk ? length - offset : kExtractChunk;
		if (resources.ReadResource(B_RAW_TYPE, id, buffer.get(), (off_t)offset, chunk) != B_OK
			|| file.Write(buffer.get(), chunk) != (ssize_t)chunk) {
			return false;
		}
		offset += chunk;
	}
	return true;
}

} // namespace

LibAppResource::LibAppResource(const uint32& openMode)
{
	BPath path;
	if (running_executable(path))
		_SetTo(path.Path(), openMode);
}

LibAppResource::LibAppResource(const char* path, const uint32& openMode)
{
	_SetTo(path, openMode);
}

LibAppResource::~LibAppResource()
{
	fFile.Unset();
}

void
LibAppResource::_SetTo(const char* path, uint32 openMode)
{
	if (path == NULL)
		return;
	BEntry entry(path, true);
	BPath resolved;
	if (entry.InitCheck() != B_OK || !entry.Exists() || entry.GetPath(&resolved) != B_OK)
		return;

	if ((openMode & O_ACCMODE) == B_READ_ONLY) {
		fFile.SetTo(resolved.Path(), openMode);
		SetTo(&fFile);
		return;
	}
	// A running program cannot be opened for writing, but the container can still write
	// its resources by replacing the file.
	if (fFile.SetTo(resolved.Path(), openMode) != B_OK)
		fFile.SetTo(resolved.Path(), B_READ_ONLY);
	SetTo(resolved.Path());
}

bool
LibAppResource::AddEntry(const char* source, const int32& id, const char* name, const int& level)
{
	if (source == NULL)
		return false;
	// The work file lives in a folder of this call's own: a name in the shared temporary
	// folder could be taken by anyone, and an archive planted there would be updated and
	// stored rather than replaced.
	BPath workFolder;
	if (!LibMakePrivateFolder(workFolder, "zip_resource_file")) {
		fprintf(stderr, "zip_resource_file.zip failed\n");
		return false;
	}
	std::string archive = std::string(workFolder.Path()) + "/zip_resource_file.zip";

	BPath item(source);
	bool packed = LibZip(archive.c_str(), item, level);

	// An archive that lacks part of the item would install less than the package holds.
	BFile file(archive.c_str(), B_READ_ONLY);
	if (!packed || file.InitCheck() != B_OK) {
		fprintf(stderr, "%s failed\n", archive.c_str());
		file.Unset();
		LibUnlink(workFolder.Path());
		return false;
	}

	RemoveResource(B_RAW_TYPE, id);
	char buffer[kAddChunk];
	ssize_t length = file.Read(buffer, sizeof(buffer));
	bool added = length >= 0 && AddResource(B_RAW_TYPE, id, buffer, (size_t)length, name) == B_OK;
	off_t offset = length > 0 ? length : 0;
	while (added && length == (ssize_t)sizeof(buffer)) {
		length = file.Read(buffer, sizeof(buffer));
		if (length < 0)
			added = false;
		else if (length > 0)
			added = WriteResource(B_RAW_TYPE, id, buffer, offset, (size_t)length) == B_OK;
		offset += length > 0 ? length : 0;
	}
	// A resource that did not get all of the archive would unpack to nothing.
	if (!added)
		RemoveResource(B_RAW_TYPE, id);

	file.Unset();
	LibUnlink(workFolder.Path());
	return added;
}

bool
LibAppResource::ExtractEntry(const int32& id, const char* destination, bool unzip)
{
	const char* name = NULL;
	size_t length = 0;
	if (!GetResourceInfo(B_RAW_TYPE, id, &name, &length))
		return true;
	if (destination == NULL)
		return false;
	std::string resourceName = name != NULL ? name : "";
	// The name comes from the package and says where the expanded item is found: it must
	// name an entry of the work folder, never one elsewhere ("../../home/user").
	if (unzip && !lib_file::is_plain_leaf(resourceName)) {
		fprintf(stderr, "ExtractEntry: resource %ld has no usable name\n", (long)id);
		return false;
	}

	BPath workFolder;
	if (!LibMakePrivateFolder(workFolder, "zip")) {
		fprintf(stderr, "Error initializine file in ExtractEntry\n");
		return false;
	}
	std::string work = workFolder.Path();
	std::string archive = lib_file::join_path(work, "archive.zip");
	if (archive == lib_file::join_path(work, resourceName))
		archive = lib_file::join_path(work, "archive");

	bool written = write_resource_to(*this, id, length, archive);
	bool placed = false;
	if (!unzip) {
		placed = written && LibMove(archive.c_str(), destination);
	} else {
		// Only a complete expansion is moved into place: an item with entries refused
		// would be installed in part.
		bool expanded = written && LibUnzip(archive.c_str());
		std::string entry = lib_file::join_path(work, resourceName);
		if (expanded && lib_file::entry_exists(entry))
			placed = LibMove(entry.c_str(), destination);
	}
	if (placed)
		Libmimeset(destination);
	lib_file::remove_tree(work);
	return placed;
}

char*
LibAppResource::FindString(const int32& id)
{
	size_t length = 0;
	void* data = FindResource(B_STRING_TYPE, id, &length);
	if (data == NULL)
		return NULL;
	size_t textLength = strnlen(static_cast<const char*>(data), length);
	char* text = new char[textLength + 1];
	memcpy(text, data, textLength);
	text[textLength] = '\0';
	free(data);
	return text;
}

bool
LibAppResource::CopyResource(const int32& id, const uint32& type, LibAppResource& target)
{
	const char* name = NULL;
	size_t length = 0;
	if (!GetResourceInfo(type, id, &name, &length))
		return true;
	std::string resourceName = name != NULL ? name : "";
	void* data = FindResource(type, id, &length);
	if (data == NULL)
		return true;
	target.RemoveResource(type, id);
	target.AddResource(type, id, data, length, resourceName.c_str());
	free(data);
	return true;
}

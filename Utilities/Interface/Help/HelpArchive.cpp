#include "HelpArchive.h"

#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPrivateFolder.h"

#include <Path.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <memory>
#include <new>
#include <vector>

const char* const kHelpResourceName = "os:help";

namespace {

// What an archive adds to the file it holds: headers, the directory and the few bytes a
// stored (not deflated) file grows by.
const size_t kArchiveOverhead = 64 * 1024;
const size_t kCopyChunk = 64 * 1024;

// Packing changes the process's working directory; the caller's is put back.
class WorkingDirectoryKeeper {
public:
	WorkingDirectoryKeeper() :
		fFolder(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
	{
	}

	~WorkingDirectoryKeeper()
	{
		if (fFolder < 0)
			return;
		if (fchdir(fFolder) != 0) {
			// The folder went away meanwhile; there is nothing to go back to.
		}
		close(fFolder);
	}

	WorkingDirectoryKeeper(const WorkingDirectoryKeeper&) = delete;
	WorkingDirectoryKeeper& operator=(const WorkingDirectoryKeeper&) = delete;

private:
	int fFolder;
};

struct ArchiveCloser {
	void operator()(zip_t* archive) const { zip_discard(archive); }
};

struct EntryCloser {
	void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

bool
is_folder_name(const char* name)
{
	size_t length = strlen(name);
	return length == 0 || name[length - 1] == '/';
}

// The entry that holds the help file: "os:help", or the archive's only file.
zip_int64_t
help_entry(zip_t* archive)
{
	zip_int64_t index = zip_name_locate(archive, kHelpResourceName, 0);
	if (index >= 0)
		return index;
	zip_int64_t count = zip_get_num_entries(archive, 0);
	zip_int64_t found = -1;
	for (zip_int64_t i = 0; i < count; i++) {
		const char* name = zip_get_name(archive, (zip_uint64_t)i, 0);
		if (name == NULL || is_folder_name(name))
			continue;
		if (found >= 0)
			return -1;
		found = i;
	}
	return found;
}

// Only a plain file is help text; a link or a device entry is not taken.
bool
is_regular_entry(zip_t* archive, zip_uint64_t index)
{
	zip_uint8_t system = 0;
	zip_uint32_t attributes = 0;
	if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
		return false;
	if (system != ZIP_OPSYS_UNIX)
		return true;
	mode_t mode = (mode_t)(attributes >> 16);
	return (mode & S_IFMT) == 0 || S_ISREG(mode);
}

bool
write_all(int file, const char* data, size_t length)
{
	while (length > 0) {
		ssize_t written = write(file, data, length);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
			return false;
		data += written;
		length -= (size_t)written;
	}
	return true;
}

// Copies the entry into the new file, stopping when it grows past the bound whatever the
// archive declared.
bool
copy_entry(zip_t* archive, zip_uint64_t index, int file)
{
	std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive, index, 0));
	if (entry == nullptr)
		return false;
	std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyChunk]);
	if (buffer == nullptr)
		return false;
	off_t total = 0;
	while (true) {
		zip_int64_t got = zip_fread(entry.get(), buffer.get(), kCopyChunk);
		if (got < 0)
			return false;
		if (got == 0)
			return true;
		total += got;
		if (total > kMaxHelpFileSize || !write_all(file, buffer.get(), (size_t)got))
			return false;
	}
}

} // namespace

bool
HelpArchive::Store(const char* source, LibAppResource& resources)
{
	if (source == NULL || resources.InitCheck() != B_OK)
		return false;
	struct stat info;
	if (stat(source, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxHelpFileSize)
		return false;

	// The archive's entry is named after the resource, which is the name an extraction
	// looks for; the file is copied under that name into a folder of this call's own.
	BPath stage;
	if (!LibMakePrivateFolder(stage, "help"))
		return false;
	BPath staged(stage.Path(), kHelpResourceName);
	bool stored = LibCopy(source, staged.Path());
	if (stored) {
		WorkingDirectoryKeeper keeper;
		stored = resources.AddEntry(staged.Path(), kHelpResourceID, kHelpResourceName, 9);
	}
	// The container would write itself out when it goes, but without telling whether it
	// could: the program's own file or its folder may be read-only.
	if (stored)
		stored = resources.Sync() == B_OK;
	LibUnlink(stage.Path());
	return stored;
}

bool
HelpArchive::Extract(BResources& resources, const char* destination)
{
	if (destination == NULL || resources.InitCheck() != B_OK)
		return false;
	const char* name = NULL;
	size_t length = 0;
	if (!resources.GetResourceInfo(B_RAW_TYPE, kHelpResourceID, &name, &length) || length == 0
		|| length > (size_t)kMaxHelpFileSize + kArchiveOverhead) {
		return false;
	}
	// The archive is small (bounded above), so it is read whole rather than through a
	// work file.
	std::vector<char> data(length);
	if (resources.ReadResource(B_RAW_TYPE, kHelpResourceID, data.data(), 0, length) != B_OK)
		return false;

	zip_error_t error;
	zip_error_init(&error);
	zip_source_t* source = zip_source_buffer_create(data.data(), length, 0, &error);
	if (source == NULL) {
		zip_error_fini(&error);
		return false;
	}
	std::unique_ptr<zip_t, ArchiveCloser> archive(
		zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
	zip_error_fini(&error);
	if (archive == nullptr) {
		zip_source_free(source);
		return false;
	}

	zip_int64_t index = help_entry(archive.get());
	if (index < 0 || !is_regular_entry(archive.get(), (zip_uint64_t)index))
		return false;
	zip_stat_t stat;
	zip_stat_init(&stat);
	if (zip_stat_index(archive.get(), (zip_uint64_t)index, 0, &stat) != 0
		|| ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > (zip_uint64_t)kMaxHelpFileSize)) {
		return false;
	}

	int file = open(destination, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
	if (file < 0)
		return false;
	bool copied = copy_entry(archive.get(), (zip_uint64_t)index, file);
	if (close(file) != 0)
		copied = false;
	if (!copied)
		unlink(destination);
	return copied;
}

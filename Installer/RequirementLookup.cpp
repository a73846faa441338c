#include "RequirementLookup.h"
#include "RequirementLookupPrivate.h"

#include "LibFile.h"
#include "LibString.h"

#include <Entry.h>
#include <MimeType.h>
#include <Path.h>
#include <Roster.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace requirement_lookup {

namespace {

const char* const kLoaderCache = "/etc/ld.so.cache";
const char kNewCacheMagic[] = "glibc-ld.so.cache1.1";
const size_t kNewCacheMagicLength = sizeof(kNewCacheMagic) - 1;
const char kOldCacheMagic[] = "ld.so-1.7.0";
const size_t kOldCacheMagicLength = sizeof(kOldCacheMagic) - 1;
// The new layout's header: magic and version (20 bytes), library count, string table
// length, flags and padding, extension offset, three unused words.
const size_t kNewHeaderSize = 48;
// Each entry: flags (int32), key and value (string offsets), an unused word, hwcap (64 bits).
const size_t kNewEntrySize = 24;
// The old layout: magic padded to 12 bytes, library count, then 12-byte entries.
const size_t kOldHeaderSize = 16;
const size_t kOldEntrySize = 12;

const int32 kFlagElfLibc6 = 0x0003;
const int32 kFlagTypeMask = 0x00ff;
// The loader cache refuses to read more than this; a larger file is not a cache.
const off_t kMaxCacheSize = 64 * 1024 * 1024;

uint32
read_uint32(const std::vector<char>& data, size_t offset)
{
	uint32 value;
	memcpy(&value, data.data() + offset, sizeof(value));
	return value;
}

bool
is_regular_file(const std::string& path)
{
	struct stat status;
	return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool
is_executable_file(const std::string& path)
{
	return is_regular_file(path) && access(path.c_str(), X_OK) == 0;
}

// The NUL-terminated text at offset, when it lies wholly inside data.
bool
string_at(const std::vector<char>& data, size_t offset, std::string* text)
{
	if (offset >= data.size())
		return false;
	const char* start = data.data() + offset;
	const void* end = memchr(start, '\0', data.size() - offset);
	if (end == nullptr)
		return false;
	text->assign(start, static_cast<const char*>(end) - start);
	return true;
}

bool
find_in_folders(const std::vector<std::string>& folders, const char* name, std::string* found)
{
	for (const std::string& folder : folders) {
		std::string candidate = folder + "/" + name;
		if (is_regular_file(candidate)) {
			if (found != nullptr)
				*found = candidate;
			return true;
		}
	}
	return false;
}

// The folders the XDG base-directory rules give for data, the user's own first.
std::vector<std::string>
xdg_data_folders()
{
	std::vector<std::string> folders;
	const char* dataHome = getenv("XDG_DATA_HOME");
	if (dataHome != nullptr && dataHome[0] == '/')
		folders.push_back(dataHome);
	else if (const char* home = getenv("HOME"); home != nullptr && home[0] == '/')
		folders.push_back(std::string(home) + "/.local/share");

	const char* dataDirs = getenv("XDG_DATA_DIRS");
	std::vector<std::string> system = split_path_list(
		dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share");
	for (const std::string& folder : system) {
		// Relative entries are to be ignored.
		if (folder[0] == '/')
			folders.push_back(folder);
	}
	return folders;
}

// The value of key in the [Desktop Entry] group of a desktop file; false when absent.
bool
desktop_entry_value(const std::string& path, const char* key, std::string* value)
{
	std::ifstream file(path);
	std::string line;
	bool inEntry = false;
	size_t keyLength = strlen(key);
	while (std::getline(file, line)) {
		if (!line.empty() && line[0] == '[') {
			inEntry = line == "[Desktop Entry]";
			continue;
		}
		if (!inEntry || line.compare(0, keyLength, key) != 0)
			continue;
		size_t position = keyLength;
		while (position < line.size() && line[position] == ' ')
			position++;
		if (position >= line.size() || line[position] != '=')
			continue;
		position++;
		while (position < line.size() && line[position] == ' ')
			position++;
		*value = line.substr(position);
		return true;
	}
	return false;
}

bool
find_on_path(const char* command, std::string* found)
{
	const char* path = getenv("PATH");
	if (path == nullptr)
		return false;
	for (const std::string& folder : split_path_list(path)) {
		std::string candidate = folder + "/" + command;
		if (is_executable_file(candidate)) {
			if (found != nullptr)
				*found = candidate;
			return true;
		}
	}
	return false;
}

// A desktop file installed for the id: the first <id>.desktop in the data folders'
// applications/ folders decides, as it hides those below it.
bool
find_desktop_file(const char* id, std::string* found)
{
	for (const std::string& folder : xdg_data_folders()) {
		std::string candidate = folder + "/applications/" + id + ".desktop";
		if (!is_regular_file(candidate))
			continue;
		std::string value;
		if (desktop_entry_value(candidate, "Hidden", &value) && value == "true")
			return false;
		if (desktop_entry_value(candidate, "TryExec", &value) && !value.empty()) {
			bool present =
				value[0] == '/' ? is_executable_file(value) : find_on_path(value.c_str(), nullptr);
			if (!present)
				return false;
		}
		if (found != nullptr)
			*found = candidate;
		return true;
	}
	return false;
}

} // namespace

std::vector<std::string>
split_path_list(const char* list)
{
	std::vector<std::string> folders;
	if (list == nullptr)
		return folders;
	const char* start = list;
	while (true) {
		const char* end = strchr(start, ':');
		size_t length = end != nullptr ? (size_t)(end - start) : strlen(start);
		if (length > 0)
			folders.emplace_back(start, length);
		if (end == nullptr)
			break;
		start = end + 1;
	}
	return folders;
}

int32
native_cache_flags()
{
#if defined(__x86_64__) && !defined(__ILP32__)
	return kFlagElfLibc6 | 0x0300;
#elif defined(__aarch64__)
	return kFlagElfLibc6 | 0x0a00;
#elif defined(__i386__)
	return kFlagElfLibc6;
#else
	return -1;
#endif
}

bool
find_in_loader_cache(const char* cachePath, const char* name, int32 flags, std::string* found)
{
	struct stat status;
	if (cachePath == nullptr || name == nullptr || stat(cachePath, &status) != 0
		|| !S_ISREG(status.st_mode) || status.st_size > kMaxCacheSize) {
		return false;
	}
	std::vector<char> data((size_t)status.st_size);
	FILE* file = fopen(cachePath, "rb");
	if (file == nullptr)
		return false;
	size_t read = fread(data.data(), 1, data.size(), file);
	fclose(file);
	if (read != data.size())
		return false;

	// The new table follows the old one in caches written for both layouts.
	size_t header = 0;
	if (data.size() >= kOldHeaderSize
		&& memcmp(data.data(), kOldCacheMagic, kOldCacheMagicLength) == 0) {
		uint64 oldEntries = read_uint32(data, kOldCacheMagicLength + 1);
		header = kOldHeaderSize + oldEntries * kOldEntrySize;
		header = (header + 7) & ~(size_t)7;
	}
	if (header > data.size() || data.size() - header < kNewHeaderSize
		|| memcmp(data.data() + header, kNewCacheMagic, kNewCacheMagicLength) != 0) {
		return false;
	}

	uint64 count = read_uint32(data, header + kNewCacheMagicLength);
	if (count > (data.size() - header - kNewHeaderSize) / kNewEntrySize)
		return false;
	for (uint64 i = 0; i < count; i++) {
		size_t entry = header + kNewHeaderSize + i * kNewEntrySize;
		int32 entryFlags = (int32)read_uint32(data, entry);
		bool matches =
			flags >= 0 ? entryFlags == flags : (entryFlags & kFlagTypeMask) == kFlagElfLibc6;
		if (!matches)
			continue;
		std::string key;
		std::string value;
		// String offsets count from the start of the new table.
		if (!string_at(data, header + read_uint32(data, entry + 4), &key) || key != name
			|| !string_at(data, header + read_uint32(data, entry + 8), &value)) {
			continue;
		}
		if (is_regular_file(value)) {
			if (found != nullptr)
				*found = value;
			return true;
		}
	}
	return false;
}

std::vector<std::string>
standard_library_folders()
{
	std::vector<std::string> folders;
#if defined(__x86_64__) && !defined(__ILP32__)
	const char* triplet = "x86_64-linux-gnu";
#elif defined(__aarch64__)
	const char* triplet = "aarch64-linux-gnu";
#elif defined(__i386__)
	const char* triplet = "i386-linux-gnu";
#else
	const char* triplet = nullptr;
#endif
	if (triplet != nullptr) {
		folders.push_back(std::string("/lib/") + triplet);
		folders.push_back(std::string("/usr/lib/") + triplet);
	}
#if defined(__LP64__)
	folders.push_back("/lib64");
	folders.push_back("/usr/lib64");
#endif
	folders.push_back("/lib");
	folders.push_back("/usr/lib");
	return folders;
}

} // namespace requirement_lookup

using namespace requirement_lookup;

bool
FindSharedLibrary(const char* name, std::string* found)
{
	if (name == nullptr || name[0] == '\0')
		return false;

	// The rule packages were made for comes first, so what it finds stays found.
	BPath path;
	if (LibFindEnvFile("LIBRARY_PATH", name, path)) {
		if (found != nullptr)
			*found = path.Path();
		return true;
	}
	// The loader takes a name with a slash as a path; a requirement names a file.
	if (strchr(name, '/') != nullptr || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
		return false;

	if (find_in_folders(split_path_list(getenv("LD_LIBRARY_PATH")), name, found))
		return true;
	if (find_in_loader_cache(kLoaderCache, name, native_cache_flags(), found))
		return true;
	return find_in_folders(standard_library_folders(), name, found);
}

std::string
RequiredApplicationIdentifier(const char* requirement)
{
	if (requirement == nullptr)
		return "";
	LibString identifier = LibString(requirement).Extract('(', ')', true);
	// Blanks inside the parentheses are the author's layout, never part of a name.
	identifier.StripLeadingSpaces();
	identifier.StripTrailingSpaces();
	return static_cast<const char*>(identifier);
}

bool
FindRequiredApplication(const char* identifier, std::string* found)
{
	if (identifier == nullptr || identifier[0] == '\0')
		return false;

	// A signature is a full type ("application/x-vnd..."); a lone word would pass as a
	// supertype, but it names a command or a desktop file.
	if (strchr(identifier, '/') != nullptr && BMimeType::IsValid(identifier)) {
		entry_ref ref;
		if (be_roster->FindApp(identifier, &ref) != B_OK)
			return false;
		if (found != nullptr) {
			BPath path(&ref);
			*found = path.InitCheck() == B_OK ? path.Path() : "";
		}
		return true;
	}
	// Desktop-file ids and commands are plain names.
	if (strchr(identifier, '/') != nullptr || strcmp(identifier, ".") == 0
		|| strcmp(identifier, "..") == 0) {
		return false;
	}
	if (find_desktop_file(identifier, found))
		return true;
	return find_on_path(identifier, found);
}

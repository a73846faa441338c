// The ZIP archives an installer carries (item payloads, the help text, the deinstaller):
// packing an entry into one, checking one held in memory, and expanding one into a folder.
#ifndef PAYLOAD_ARCHIVE_H
#define PAYLOAD_ARCHIVE_H

#include <SupportDefs.h>

#include <optional>
#include <set>
#include <string>
#include <time.h>
#include <vector>

// What an archive holds, as far as checking a package needs it.
struct ArchiveSummary {
	// The first name component of every entry.
	std::set<std::string> topLevelNames;
	// Whether the top-level entry is a folder (entries lie below it) or a regular file.
	bool topIsFolder = false;
	bool topIsRegularFile = false;
	int64 entryCount = 0;
	// Bytes of entry data once expanded, and of the attributes the entries carry.
	uint64 dataSize = 0;
	uint64 attributeSize = 0;
	// Symbolic links that point outside the packed item ("'name' -> 'target'"), which the
	// installer refuses to extract.
	std::vector<std::string> leavingLinks;
};

// Opens the archive in memory and reads every entry through, so that damaged data (a bad
// checksum, a truncated entry) is found. False with a reason in error otherwise.
bool InspectArchive(const void* data, size_t size, ArchiveSummary& summary, std::string& error);

struct PackSettings {
	// 0 stores, 1 to 9 deflate.
	int level = 9;
	// Files compressed at once; 0: one per processor. The archive does not depend on it.
	int32 jobs = 0;
	// With a value the archive is reproducible: times clamped to it, no access times.
	std::optional<time_t> latestTime;
};

// Packs the entry at path into a new archive file (one top-level entry named after the
// entry's leaf).
bool PackEntry(const std::string& path, const std::string& archive, const PackSettings& settings);

// Expands the archive held in memory and moves its entry named name to destination (a
// path that must not exist yet). The work is done in a fresh folder under the temporary
// folder, which is removed afterwards.
bool ExtractArchive(
	const void* data, size_t size, const std::string& name, const std::string& destination);

// A fresh folder under the common temporary folder, or an empty string.
std::string MakeWorkFolder(const char* prefix);
// Removes a folder made by MakeWorkFolder with everything in it.
void RemoveWorkFolder(const std::string& folder);

#endif // PAYLOAD_ARCHIVE_H

#include "EditScriptFile.h"

#include "LibEntry.h"
#include "LibFile.h"
#include "LibString.h"
#include "WholeFile.h"

#include <Path.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Lines are read through a 512-byte buffer: a longer line arrives as several chunks, and
// each chunk is tested for the markers on its own.
constexpr int kChunkSize = 512;

constexpr const char* kScriptType = "text/plain";
constexpr const char* kScriptEditor = "application/x-vnd.Be-STEE";

std::string
leaf_of(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool
entry_exists(const char* path)
{
	struct stat status;
	return lstat(path, &status) == 0;
}

// True when the chunk is the marker line: the marker alone, a line feed and a carriage
// return before it aside. Another tag that merely begins with this one ("APPX" for
// "APP", "StartUpFolder" for "StartUp") is not this tag's marker.
bool
is_marker(const char* chunk, const char* marker)
{
	size_t length = strlen(chunk);
	if (length > 0 && chunk[length - 1] == '\n')
		length--;
	if (length > 0 && chunk[length - 1] == '\r')
		length--;
	return length == strlen(marker) && strncmp(chunk, marker, length) == 0;
}

// Splits text into the chunks a 512-byte line buffer reads: up to and including a line
// feed, at most 511 bytes each.
std::vector<std::string>
chunks_of(const std::string& text)
{
	std::vector<std::string> chunks;
	size_t start = 0;
	while (start < text.size()) {
		size_t lineEnd = text.find('\n', start);
		size_t end = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
		end = std::min(end, start + (kChunkSize - 1));
		chunks.push_back(text.substr(start, end - start));
		start = end;
	}
	return chunks;
}

// Whether the chunk holds a line feed (a chunk of a longer line does not).
bool
has_line_feed(const std::string& chunk)
{
	return chunk.find('\n') != std::string::npos;
}

} // namespace

void
EditScriptFile(
	const directory_which& folder, const char* fileName, const char* tag, const char* contents)
{
	if (fileName == nullptr || tag == nullptr)
		return;

	BPath folderPath;
	if (find_directory(folder, &folderPath, false) != B_OK)
		return;

	LibString path(folderPath.Path());
	path += "/";
	path += fileName;

	LibString samplePath(path);
	samplePath += ".sample";
	// Copied whole as well: a stop meanwhile leaves no script or the sample's copy.
	std::string sample;
	if (!entry_exists(path) && entry_exists(samplePath) && ReadWholeFile(samplePath, sample))
		ReplaceWholeFile(path, sample);

	// The script's text lives in scriptFile: the script itself or, when the script is a
	// symbolic link (dotfile managers link ".profile" into a repository), the file it
	// leads to. The backup takes that file's text and the rewrite replaces that file, so
	// the link stays a link and the backup is no link to the live text.
	LibString scriptFile(path);
	struct stat linkStatus;
	if (lstat(path, &linkStatus) == 0 && S_ISLNK(linkStatus.st_mode)) {
		if (char* target = realpath(path, nullptr)) {
			scriptFile = target;
			free(target);
		}
	}

	std::string scriptFolder(static_cast<const char*>(scriptFile));
	scriptFolder.erase(scriptFolder.rfind('/'));
	SweepReplacementLeftovers(scriptFolder, leaf_of(static_cast<const char*>(scriptFile)));
	SweepReplacementLeftovers(folderPath.Path(), std::string(fileName) + ".orig");

	LibString beginMarker;
	beginMarker.Formatted("#BEGIN_%s", tag);
	LibString endMarker;
	endMarker.Formatted("#END_%s", tag);

	// A script that exists but cannot be read is left alone: rewriting it would lose it.
	std::string text;
	if (!ReadWholeFile(path, text))
		return;
	bool existed = entry_exists(scriptFile);

	// Survey: which markers the script holds, and whether its last chunk ends a line.
	std::vector<std::string> chunks = chunks_of(text);
	bool beginFound = false;
	bool endFound = false;
	for (const std::string& chunk : chunks) {
		if (is_marker(chunk.c_str(), beginMarker))
			beginFound = true;
		else if (is_marker(chunk.c_str(), endMarker))
			endFound = true;
	}
	bool endsWithLineFeed = !chunks.empty() && has_line_feed(chunks.back());

	LibString backupPath(path);
	backupPath += ".orig";
	if (existed)
		ReplaceWholeFile(backupPath, text);

	// The new text is made whole in memory and replaces the script in one step.
	std::string result = text;
	if (beginFound && endFound) {
		result.clear();
		bool inSection = false;
		bool wroteAny = false;
		bool lastHasLineFeed = false;
		for (const std::string& chunk : chunks) {
			if (is_marker(chunk.c_str(), beginMarker))
				inSection = true;
			if (!inSection) {
				result += chunk;
				wroteAny = true;
				lastHasLineFeed = has_line_feed(chunk);
			}
			if (is_marker(chunk.c_str(), endMarker))
				inSection = false;
		}
		// Only a chunk that was kept counts; when everything went, the earlier answer stands.
		if (wroteAny && !lastHasLineFeed)
			endsWithLineFeed = false;
	}

	bool lineFeedAdded = false;
	if (contents != nullptr) {
		if (!endsWithLineFeed) {
			lineFeedAdded = true;
			result += "\n";
		}
		result += static_cast<const char*>(beginMarker);
		result += "\n";
		result += contents;
		result += "\n";
		result += static_cast<const char*>(endMarker);
		result += "\n";
	}

	if (result != text || !existed) {
		// Without contents a missing script stays missing.
		if ((existed || contents != nullptr) && ReplaceWholeFile(scriptFile, result)
			&& lineFeedAdded) {
			fputs("last line\n", stderr);
		}
	}

	if (entry_exists(scriptFile))
		LibSetFileType(scriptFile, kScriptType, kScriptEditor);
}

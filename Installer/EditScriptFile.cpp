#include "EditScriptFile.h"

#include "LibEntry.h"
#include "LibFile.h"
#include "LibString.h"

#include <Path.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lines are read through a 512-byte buffer: a longer line arrives as several chunks, and
// each chunk is tested for the markers on its own.
constexpr int kChunkSize = 512;

constexpr const char* kScriptType = "text/plain";
constexpr const char* kScriptEditor = "application/x-vnd.Be-STEE";

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

// Copies every chunk outside the tagged sections from script to temporary. Sets
// lastLineFeed to whether the last chunk written holds a line feed. False when a write
// failed, so that a half-written copy never replaces the script.
bool
copy_without_sections(FILE* script, FILE* temporary, const char* beginMarker, const char* endMarker,
	bool& lastLineFeed)
{
	char chunk[kChunkSize];
	bool inSection = false;
	bool wroteAny = false;
	bool lastHasLineFeed = false;
	while (fgets(chunk, sizeof(chunk), script) != nullptr) {
		if (is_marker(chunk, beginMarker))
			inSection = true;
		if (!inSection) {
			if (fputs(chunk, temporary) == EOF)
				return false;
			wroteAny = true;
			lastHasLineFeed = strchr(chunk, '\n') != nullptr;
		}
		if (is_marker(chunk, endMarker))
			inSection = false;
	}
	if (ferror(script) != 0)
		return false;

	// Only a chunk that was kept counts; when everything went, the earlier answer stands.
	if (wroteAny && !lastHasLineFeed)
		lastLineFeed = false;
	return true;
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
	if (!entry_exists(path) && entry_exists(samplePath))
		LibCopy(samplePath, path);

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

	LibString beginMarker;
	beginMarker.Formatted("#BEGIN_%s", tag);
	LibString endMarker;
	endMarker.Formatted("#END_%s", tag);

	// Survey: which markers the script holds, and whether its last chunk ends a line.
	bool beginFound = false;
	bool endFound = false;
	bool endsWithLineFeed = false;
	if (FILE* script = fopen(path, "r")) {
		char chunk[kChunkSize];
		char lastChunk[kChunkSize] = "";
		while (fgets(chunk, sizeof(chunk), script) != nullptr) {
			if (is_marker(chunk, beginMarker))
				beginFound = true;
			else if (is_marker(chunk, endMarker))
				endFound = true;
			memcpy(lastChunk, chunk, sizeof(chunk));
		}
		fclose(script);
		endsWithLineFeed = strchr(lastChunk, '\n') != nullptr;
	}

	LibString backupPath(path);
	backupPath += ".orig";
	if (entry_exists(scriptFile))
		LibCopy(scriptFile, backupPath);

	if (beginFound && endFound) {
		LibString temporaryPath(scriptFile);
		temporaryPath += ".tmp";
		FILE* temporary = fopen(temporaryPath, "w");
		FILE* script = fopen(path, "r");
		if (temporary != nullptr && script != nullptr) {
			bool lineFeed = endsWithLineFeed;
			bool copied =
				copy_without_sections(script, temporary, beginMarker, endMarker, lineFeed);
			// The rewritten script keeps the permissions of the one it replaces.
			struct stat status;
			if (fstat(fileno(script), &status) == 0)
				fchmod(fileno(temporary), status.st_mode & 07777);
			fclose(script);
			script = nullptr;
			if (fclose(temporary) != 0)
				copied = false;
			temporary = nullptr;
			if (copied) {
				endsWithLineFeed = lineFeed;
				LibMove(temporaryPath, scriptFile);
			} else
				unlink(temporaryPath);
		}
		if (script != nullptr)
			fclose(script);
		if (temporary != nullptr)
			fclose(temporary);
	}

	if (contents != nullptr) {
		if (FILE* script = fopen(path, "a")) {
			if (!endsWithLineFeed) {
				fputs("last line\n", stderr);
				fputc('\n', script);
			}
			fprintf(script, "%s\n", static_cast<const char*>(beginMarker));
			fprintf(script, "%s\n", contents);
			fprintf(script, "%s\n", static_cast<const char*>(endMarker));
			fclose(script);
		}
	}

	LibSetFileType(scriptFile, kScriptType, kScriptEditor);
}

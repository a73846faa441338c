#include "EditScriptFile.h"

#include "LibEntry.h"
#include "LibFile.h"
#include "LibString.h"
#include "PrivateEntryName.h"

#include <Path.h>

#include <Node.h>
#include <fs_attr.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

// The whole file. A missing file reads as empty; false when it exists but cannot be read.
bool
read_whole(const char* path, std::string& text)
{
	text.clear();
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return errno == ENOENT;
	char buffer[8192];
	for (;;) {
		ssize_t got = read(fd, buffer, sizeof(buffer));
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0) {
			close(fd);
			return false;
		}
		if (got == 0)
			break;
		text.append(buffer, (size_t)got);
	}
	close(fd);
	return true;
}

bool
write_all(int fd, const std::string& text)
{
	size_t done = 0;
	while (done < text.size()) {
		ssize_t written = write(fd, text.data() + done, text.size() - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
			return false;
		done += (size_t)written;
	}
	return true;
}

// Carries the attributes of the old script over to its replacement, so that what the user
// or other tools stored on the script survives the edit.
void
copy_attributes(const char* from, const char* to)
{
	BNode source(from);
	BNode target(to);
	if (source.InitCheck() != B_OK || target.InitCheck() != B_OK)
		return;
	char name[B_ATTR_NAME_LENGTH + 1];
	std::vector<char> buffer;
	while (source.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (source.GetAttrInfo(name, &info) != B_OK)
			continue;
		buffer.resize(info.size > 0 ? (size_t)info.size : 1);
		if (source.ReadAttr(name, info.type, 0, buffer.data(), info.size) == info.size)
			target.WriteAttr(name, info.type, 0, buffer.data(), info.size);
	}
}

// Removes what an edit stopped between writing and renaming left beside the script: regular
// files named like the replacements replace_whole makes ("." + leaf + "." + 16 hex digits).
void
sweep_leftovers(const std::string& folder, const std::string& leaf)
{
	DIR* directory = opendir(folder.c_str());
	if (directory == nullptr)
		return;
	std::string prefix = "." + leaf + ".";
	while (struct dirent* entry = readdir(directory)) {
		std::string name = entry->d_name;
		if (name.size() != prefix.size() + 16 || name.compare(0, prefix.size(), prefix) != 0)
			continue;
		if (name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos)
			continue;
		struct stat status;
		if (fstatat(dirfd(directory), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0
			&& S_ISREG(status.st_mode) && status.st_uid == geteuid()) {
			unlinkat(dirfd(directory), name.c_str(), 0);
		}
	}
	closedir(directory);
}

// Replaces the file at path with text as a whole: the text is written to a new file beside
// it, made durable and renamed over path, so that a run killed at any instant leaves the old
// text or the new one, never a mix. The file keeps its permissions and attributes; a new one
// gets the usual mode less the umask. False, with the file as it was, on any failure.
bool
replace_whole(const char* path, const std::string& text)
{
	struct stat old;
	bool existed = stat(path, &old) == 0;
	std::string target(path);
	size_t slash = target.rfind('/');
	std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
	std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
	std::string temporary;
	int fd = -1;
	for (int attempt = 0; attempt < 16 && fd < 0; attempt++) {
		temporary = PrivateEntryName(folder, leaf);
		fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
		if (fd < 0 && errno != EEXIST)
			return false;
	}
	if (fd < 0)
		return false;
	bool ok = write_all(fd, text);
	if (ok && existed)
		ok = fchmod(fd, old.st_mode & 07777) == 0;
	if (ok)
		ok = fsync(fd) == 0;
	if (close(fd) != 0)
		ok = false;
	if (ok && existed)
		copy_attributes(path, temporary.c_str());
	if (!ok || rename(temporary.c_str(), path) != 0) {
		unlink(temporary.c_str());
		return false;
	}
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
	// Copied whole as well: a stop meanwhile leaves no script or the sample's copy.
	std::string sample;
	if (!entry_exists(path) && entry_exists(samplePath) && read_whole(samplePath, sample))
		replace_whole(path, sample);

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
	sweep_leftovers(scriptFolder, leaf_of(static_cast<const char*>(scriptFile)));
	sweep_leftovers(folderPath.Path(), std::string(fileName) + ".orig");

	LibString beginMarker;
	beginMarker.Formatted("#BEGIN_%s", tag);
	LibString endMarker;
	endMarker.Formatted("#END_%s", tag);

	// A script that exists but cannot be read is left alone: rewriting it would lose it.
	std::string text;
	if (!read_whole(path, text))
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
		replace_whole(backupPath, text);

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
		if ((existed || contents != nullptr) && replace_whole(scriptFile, result)
			&& lineFeedAdded) {
			fputs("last line\n", stderr);
		}
	}

	if (entry_exists(scriptFile))
		LibSetFileType(scriptFile, kScriptType, kScriptEditor);
}

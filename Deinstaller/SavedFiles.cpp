#include "SavedFiles.h"

#include <LibEntry.h>
#include <LibFile.h>
#include <SavedEntry.h>

#include <Path.h>

#include <algorithm>
#include <dirent.h>
#include <string.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string
parent_of(const std::string& path)
{
	size_t slash = path.find_last_of('/');
	if (slash == std::string::npos || slash == 0)
		return "/";
	return path.substr(0, slash);
}

} // namespace

SavedFiles::SavedFiles(const char* installationFolder)
{
	std::string folder = installationFolder != NULL ? installationFolder : "";
	if (!folder.empty())
		fFolder = (folder + "/" + kSavedFilesFolderName).c_str();
}

bool
SavedFiles::GetProgramInstallationFolder(LibString& folder)
{
	BPath path;
	if (!LibGetWorkingDirectory(path))
		return false;
	folder = path.Path();
	return true;
}

int32
SavedFiles::Find()
{
	fEntries.clear();
	if (fFolder.Length() == 0)
		return 0;
	DIR* folder = opendir(fFolder);
	if (folder == NULL)
		return 0;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		SavedEntry saved;
		saved.savedPath = (std::string((const char*)fFolder) + "/" + entry->d_name).c_str();
		if (ReadOriginalPath(saved.savedPath, saved.originalPath))
			fEntries.push_back(saved);
	}
	closedir(folder);
	// A folder goes back before anything saved from inside it.
	std::sort(fEntries.begin(), fEntries.end(), [](const SavedEntry& a, const SavedEntry& b) {
		return strcmp(a.originalPath, b.originalPath) < 0;
	});
	return (int32)fEntries.size();
}

PutBackCounts
SavedFiles::PutBack(bool dryRun)
{
	PutBackCounts counts;
	for (SavedEntry& entry : fEntries) {
		entry.outcome = _PutBack(entry, dryRun);
		switch (entry.outcome) {
			case kPutBackDone:
				counts.done++;
				break;
			case kPutBackPlaceTaken:
				counts.placeTaken++;
				break;
			case kPutBackFolderGone:
				counts.folderGone++;
				break;
			case kPutBackFailed:
			case kPutBackPending:
				counts.failed++;
				break;
		}
	}
	// Only an empty folder goes; anything left in it stays saved.
	if (!dryRun && counts.done > 0 && LibFolderIsEmpty((const char*)fFolder))
		rmdir(fFolder);
	return counts;
}

PutBackOutcome
SavedFiles::_PutBack(const SavedEntry& entry, bool dryRun)
{
	std::string saved = (const char*)entry.savedPath;
	std::string place = (const char*)entry.originalPath;
	struct stat savedStatus;
	if (lstat(saved.c_str(), &savedStatus) != 0)
		return kPutBackFailed;

	// The folder must still be there; it is not made anew: a folder that went (or a volume
	// that is not mounted) says the entry's place is no more.
	struct stat folderStatus;
	if (stat(parent_of(place).c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
		return kPutBackFolderGone;

	struct stat placeStatus;
	bool emptyFolderThere = false;
	if (lstat(place.c_str(), &placeStatus) == 0) {
		emptyFolderThere = S_ISDIR(savedStatus.st_mode) && S_ISDIR(placeStatus.st_mode)
			&& LibFolderIsEmpty(place.c_str());
		if (!emptyFolderThere)
			return kPutBackPlaceTaken;
	}
	if (dryRun)
		return kPutBackDone;

	// rmdir removes only a folder that is still empty.
	if (emptyFolderThere && rmdir(place.c_str()) != 0)
		return kPutBackPlaceTaken;
	status_t status = LibMoveExclusive(saved.c_str(), place.c_str());
	if (status != B_OK) {
		if (emptyFolderThere)
			mkdir(place.c_str(), placeStatus.st_mode & 07777);
		return status == B_FILE_EXISTS ? kPutBackPlaceTaken : kPutBackFailed;
	}
	RemoveOriginalPath(place.c_str());
	return kPutBackDone;
}

LibString
SavedFiles::QuestionText() const
{
	LibString text;
	if (fEntries.size() == 1) {
		text = "1 item was replaced during installation and saved. Put it back where it was?";
		return text;
	}
	text.Formatted("%ld items were replaced during installation and saved. Put them back where "
				   "they were?",
		(long)fEntries.size());
	return text;
}

LibString
SavedFiles::ReportText(const PutBackCounts& counts, const char* folder)
{
	std::string text = counts.done == 1
		? "1 item was put back where it was."
		: std::to_string(counts.done) + " items were put back where they were.";
	int32 kept = counts.Kept();
	if (kept == 0)
		return LibString(text.c_str());

	struct Reason {
		int32 count;
		const char* one;
		const char* many;
	} const reasons[] = {
		{ counts.placeTaken, "something else is at its place", "something else is at their place" },
		{ counts.folderGone, "the folder it was in no longer exists",
			"the folder they were in no longer exists" },
		{ counts.failed, "it could not be moved", "they could not be moved" },
	};

	text += kept == 1 ? " 1 item stays" : " " + std::to_string(kept) + " items stay";
	text += std::string(" in \"") + (folder != NULL ? folder : "") + "\": ";
	bool first = true;
	for (const Reason& reason : reasons) {
		if (reason.count == 0)
			continue;
		if (!first)
			text += "; ";
		first = false;
		if (kept == 1)
			text += reason.one;
		else
			text += std::to_string(reason.count) + " because " + reason.many;
	}
	text += ".";
	return LibString(text.c_str());
}

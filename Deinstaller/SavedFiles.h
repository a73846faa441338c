// SavedFiles: the entries an installation moved into its "Saved Files" folder to make room
// for its items, and putting them back where they were once the installation is gone.
// Each saved entry carries the path it had (SavedEntry.h); entries without that record
// (saved by hand, or by an installer that kept none) are left alone.
//
// An entry goes back only when its place is free: nothing is there, or, for a saved folder,
// an empty folder (an installation that replaced a whole folder leaves the new one behind,
// emptied by the removal). A taken place or a folder that no longer holds it keeps the
// entry saved, and the counts say so. Nothing is ever replaced.
#ifndef SAVED_FILES_H
#define SAVED_FILES_H

#include <LibString.h>

#include <vector>

// What became of one saved entry.
enum PutBackOutcome {
	// Not tried yet.
	kPutBackPending = 0,
	// It is at its recorded place again (with a dry run: it would be).
	kPutBackDone,
	// Something else is at its place: it stays saved.
	kPutBackPlaceTaken,
	// The folder it was in no longer exists: it stays saved.
	kPutBackFolderGone,
	// The move failed: it stays saved.
	kPutBackFailed
};

struct SavedEntry {
	// Where it lies in the saved-files folder, and where it was.
	LibString savedPath;
	LibString originalPath;
	PutBackOutcome outcome = kPutBackPending;
};

struct PutBackCounts {
	int32 done = 0;
	int32 placeTaken = 0;
	int32 folderGone = 0;
	int32 failed = 0;

	int32 Kept() const { return placeTaken + folderGone + failed; }
};

class SavedFiles {
public:
	// The saved-files folder of the installation folder.
	explicit SavedFiles(const char* installationFolder);

	// The installation folder of the running deinstaller: the folder that holds its program
	// file, which the installer wrote there. False when it cannot be told.
	static bool GetProgramInstallationFolder(LibString& folder);

	const LibString& Folder() const { return fFolder; }

	// Reads the folder: every entry in it that carries a usable record, in the order of
	// their recorded paths. The number found.
	int32 Find();

	std::vector<SavedEntry>& Entries() { return fEntries; }

	// Moves every entry found back to its recorded place when that is free, and sets each
	// outcome. With dryRun nothing moves and the outcomes say what would happen. An entry
	// put back loses its record; the saved-files folder goes when nothing is left in it.
	PutBackCounts PutBack(bool dryRun = false);

	// "N items were replaced during installation and saved. Put them back where they
	// were?" (the question the window asks), for the entries found.
	LibString QuestionText() const;
	// What a put-back did, for the user: how many went back and how many stay saved here.
	static LibString ReportText(const PutBackCounts& counts, const char* folder);

private:
	PutBackOutcome _PutBack(const SavedEntry& entry, bool dryRun);

	LibString fFolder;
	std::vector<SavedEntry> fEntries;
};

#endif // SAVED_FILES_H

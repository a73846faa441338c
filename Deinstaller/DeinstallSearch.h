// DeinstallSearch: the deinstaller's search for the entries of one installation. It walks a
// whole volume on its own thread and collects, in the order met, the absolute path of every
// entry whose "InstallBy" attribute holds the installation tag, checking each folder before
// going into it (so a folder comes before the entries inside it). It tells its owner how far
// it has come with 'snfi' messages and ends with the 'LThC' message of LibThread ("name"
// "search", "status" 0).
//
// An entry matches when its attribute's text (the bytes up to the first NUL, if any) is the
// whole tag, letter case included; the first 256 bytes are read, or the tag's length plus
// one when the tag is longer, so a tag of any length can be found.
//
// The walk stays on the volume: it follows no symbolic link, goes into no other mount, and
// leaves out the boot volume's Trash. A symbolic link is checked as itself (its attributes
// are kept in its folder). A folder it cannot read is passed over and counted.
#ifndef DEINSTALL_SEARCH_H
#define DEINSTALL_SEARCH_H

#include <LibString.h>
#include <LibStringList.h>
#include <LibThread.h>
#include <Volume.h>

#include <string>
#include <unordered_set>

class BEntry;

// The progress message: float "size" (bytes passed since the last message), string
// "folder" (leaf name of the folder being searched), string "found" (paths found so far, in
// decimal).
enum { kSearchProgress = 'snfi' };

// How often a search tells its owner, at most, by default. Totals are the same at any
// interval: each message carries the bytes passed since the one before.
static const bigtime_t kDefaultProgressInterval = 50000;

class DeinstallSearch : public LibThread {
public:
	explicit DeinstallSearch(const BVolume& volume);
	virtual ~DeinstallSearch();

	// Set before Go(). An empty tag finds nothing.
	void SetTag(const char* tag);

	const LibString& Tag() const { return fTag; }

	// The paths found, in the order found; read after the completion message.
	LibStringList& Found() { return fFound; }

	// Folders that could not be opened or read (their contents were not searched).
	int32 UnreadableFolders() const { return fUnreadableFolders; }

	// 0 sends one progress message per entry; otherwise at most one per interval, the first
	// at once and the last before the search ends.
	void SetProgressInterval(bigtime_t interval) { fProgressInterval = interval; }

	// Searches the volume from its root; returns 0.
	virtual status_t Action();

	// Searches the folder and everything below it on the folder's own mount; returns the
	// bytes accounted for. The boot volume's Trash gives 0. A kill_thread() takes effect
	// only at the walk's checks; a subclass's Action() that calls Scan() keeps the kill out
	// of its own work the same way (BPrivate::CancelDisabler).
	int64 Scan(BEntry& directory);

	// Accounts for one entry of folder (a leaf name) of size bytes, and tells the owner
	// when a message is due.
	void UpdateParent(const char* folder, const int64& size);

private:
	class Walker;
	friend class Walker;

	void _SendProgress(const char* folder);
	void _AddFound(const char* path);

	BVolume fVolume;
	LibString fTag;
	LibStringList fFound;

	int32 fUnreadableFolders;
	bigtime_t fProgressInterval;
	bigtime_t fLastProgress;
	bool fProgressSent;
	int64 fPendingSize;
	bool fPending;
	// The paths in fFound, so that a path is never listed twice.
	std::unordered_set<std::string> fFoundSet;
};

#endif // DEINSTALL_SEARCH_H

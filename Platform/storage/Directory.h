// BDirectory: an open folder. Walks its entries in the file system's order, skipping
// "." and "..", and creates entries inside it. Opening follows symbolic links.
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <EntryList.h>
#include <Node.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <dirent.h>
#include <sys/types.h>

class BEntry;
class BFile;
class BSymLink;

class BDirectory : public BNode, public BEntryList {
public:
	BDirectory();
	BDirectory(const BDirectory& dir);
	BDirectory(const entry_ref* ref);
	BDirectory(const node_ref* nref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	BDirectory(const BDirectory* dir, const char* path);
	virtual ~BDirectory();

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const node_ref* nref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t GetEntry(BEntry* entry) const;
	// True for the root folder of a volume.
	bool IsRootDirectory() const;

	// path is relative to this folder (or absolute); B_ENTRY_NOT_FOUND when nothing is
	// there.
	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	// True when the entry lies in this folder or below it and its kind is one of
	// nodeFlags (node_flavor).
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
	bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

	status_t GetStatFor(const char* path, struct stat* st) const;

	virtual status_t GetNextEntry(BEntry* entry, bool traverse = false);
	virtual status_t GetNextRef(entry_ref* ref);
	virtual int32 GetNextDirents(struct dirent* buffer, size_t length, int32 count = INT_MAX);
	virtual status_t Rewind();
	// Counts the entries; the walk starts again from the first entry afterwards.
	virtual int32 CountEntries();

	// Each takes a path relative to this folder (or absolute) and, when the last argument
	// is not NULL, sets it to the new node.
	status_t CreateDirectory(const char* path, BDirectory* dir);
	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
	status_t CreateSymLink(const char* path, const char* linkToPath, BSymLink* link);

	BDirectory& operator=(const BDirectory& dir);

private:
	friend class BEntry;
	friend class BPath;

	status_t _OpenDirectory(const std::string& path);
	// path made absolute against this folder.
	std::string _Resolve(const char* path) const;
	// The next name other than "." and "..", or NULL at the end.
	struct dirent* _NextDirent();
	void _CloseStream();

	DIR* fStream;
	dev_t fDevice;
	ino_t fInode;
};

// Creates path and every missing folder above it with mode; B_OK when it exists as a
// folder already.
status_t create_directory(const char* path, mode_t mode);

#endif // _DIRECTORY_H

// BEntry: a location in the file system, a folder plus a leaf name, whether or not
// anything exists there yet. Symbolic links are not followed unless asked.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <EntryRef.h>
#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

class BDirectory;
class BPath;

class BEntry : public BStatable {
public:
	BEntry();
	BEntry(const BDirectory* directory, const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const char* path, bool traverse = false);
	BEntry(const BEntry& entry);
	virtual ~BEntry();

	status_t InitCheck() const;
	bool Exists() const;

	virtual status_t GetStat(struct stat* st) const;

	// A relative path is taken from the directory (or the working directory). The folder
	// that holds the entry must exist; the entry itself need not.
	status_t SetTo(const BDirectory* directory, const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const char* path, bool traverse = false);
	void Unset();

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* directory) const;
	// buffer holds at least B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;

	// path is a new name, a path relative to the entry's folder, or an absolute path.
	// Attributes of a symbolic link go with it.
	status_t Rename(const char* path, bool clobber = false);
	// Moves the entry into directory, under path (relative to directory) or its own name.
	status_t MoveTo(BDirectory* directory, const char* path = NULL, bool clobber = false);
	status_t Remove();

	bool operator==(const BEntry& item) const;
	bool operator!=(const BEntry& item) const;
	BEntry& operator=(const BEntry& item);

protected:
	virtual status_t _GetLocation(BPrivate::NodeLocation* location) const;

private:
	friend class BDirectory;
	friend class BFile;
	friend class BNode;
	friend class BPath;

	status_t _SetToPath(const std::string& path, bool traverse);
	status_t _MoveToPath(const std::string& target, bool clobber);

	// The absolute path of the entry ("" when not initialised).
	const std::string& _Path() const { return fPath; }

	std::string _Leaf() const;
	std::string _Folder() const;

	std::string fPath;
	status_t fStatus;
};

// The reference of the entry at path (the entry need not exist; its folder must).
status_t get_ref_for_path(const char* path, entry_ref* ref);
bool operator<(const entry_ref& a, const entry_ref& b);

#endif // _ENTRY_H

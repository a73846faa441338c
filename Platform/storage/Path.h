// BPath: an absolute path string. Paths are normalised ("." and ".." resolved, repeated
// and trailing slashes dropped) when they need it or when asked.
#ifndef _PATH_H
#define _PATH_H

#include <EntryRef.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

class BDirectory;
class BEntry;

class BPath {
public:
	BPath();
	BPath(const BPath& path);
	BPath(const entry_ref* ref);
	BPath(const BEntry* entry);
	BPath(const char* dir, const char* leaf = NULL, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf = NULL, bool normalize = false);
	virtual ~BPath();

	status_t InitCheck() const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	// leaf must be relative; a relative dir is taken from the working directory.
	status_t SetTo(const char* path, const char* leaf = NULL, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* leaf = NULL, bool normalize = false);
	void Unset();

	status_t Append(const char* path, bool normalize = false);

	// NULL when the path is not initialised.
	const char* Path() const;
	// The last component ("" for "/"); NULL when not initialised.
	const char* Leaf() const;
	status_t GetParent(BPath* path) const;

	bool operator==(const BPath& item) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& item) const;
	bool operator!=(const char* path) const;
	BPath& operator=(const BPath& item);
	BPath& operator=(const char* path);

private:
	std::string fPath;
	status_t fStatus;
};

#endif // _PATH_H

// BVolume: a mounted file system that holds user data, named by its device number
// (Linux's st_dev). Which mounts are volumes, their names and flags: docs/platform.md.
#ifndef _VOLUME_H
#define _VOLUME_H

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/types.h>

class BDirectory;

class BVolume {
public:
	BVolume();
	BVolume(dev_t device);
	BVolume(const BVolume& volume);
	virtual ~BVolume();

	status_t InitCheck() const;

	status_t SetTo(dev_t device);
	void Unset();

	dev_t Device() const;

	status_t GetRootDirectory(BDirectory* directory) const;

	off_t Capacity() const;
	off_t FreeBytes() const;
	off_t BlockSize() const;

	// buffer holds at least B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;

	bool IsRemovable() const;
	bool IsReadOnly() const;
	bool IsPersistent() const;
	bool IsShared() const;
	bool KnowsMime() const;
	bool KnowsAttr() const;
	bool KnowsQuery() const;

	bool operator==(const BVolume& volume) const;
	bool operator!=(const BVolume& volume) const;
	BVolume& operator=(const BVolume& volume);

private:
	dev_t fDevice;
	status_t fStatus;
};

#endif // _VOLUME_H

// BFile: a node opened for its data, with the BeOS open modes (StorageDefs.h).
// Opening follows symbolic links.
#ifndef _FILE_H
#define _FILE_H

#include <Node.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <stdio.h>

class BFile : public BNode {
public:
	BFile();
	BFile(const BFile& file);
	BFile(const entry_ref* ref, uint32 openMode);
	BFile(const BEntry* entry, uint32 openMode);
	BFile(const char* path, uint32 openMode);
	BFile(const BDirectory* dir, const char* path, uint32 openMode);
	virtual ~BFile();

	// openMode: one of B_READ_ONLY, B_WRITE_ONLY, B_READ_WRITE, with any of
	// B_CREATE_FILE, B_ERASE_FILE, B_FAIL_IF_EXISTS, B_OPEN_AT_END.
	status_t SetTo(const entry_ref* ref, uint32 openMode);
	status_t SetTo(const BEntry* entry, uint32 openMode);
	status_t SetTo(const char* path, uint32 openMode);
	status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
	void Unset();

	bool IsReadable() const;
	bool IsWritable() const;

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t ReadAt(off_t location, void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t location, const void* buffer, size_t size);

	// seekMode is SEEK_SET, SEEK_CUR or SEEK_END; returns the new position or an error.
	virtual off_t Seek(off_t offset, uint32 seekMode);
	virtual off_t Position() const;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;

	BFile& operator=(const BFile& file);

private:
	friend class BDirectory;

	status_t _OpenFile(const std::string& path, uint32 openMode);

	uint32 fMode;
};

#endif // _FILE_H

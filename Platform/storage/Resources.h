// BResources: the typed, numbered and named data blobs of a file, kept in the BeOS x86
// resource layout: appended to the image of an executable, or in a plain resource file
// ("RS\0\0"). The big-endian PowerPC forms are read too. Changes are held in memory and
// written back on Sync(), Unset() or destruction; see docs/platform.md.
#ifndef _RESOURCES_H
#define _RESOURCES_H

#include <File.h>
#include <SupportDefs.h>

#include <memory>

class BResources {
public:
	BResources();
	// The container keeps its own descriptor of the file; the caller keeps file.
	BResources(const BFile* file, bool clobber = false);
	virtual ~BResources();

	BResources(const BResources&) = delete;
	BResources& operator=(const BResources&) = delete;

	// Reads the file's resources. With clobber the file's resources are dropped (an
	// executable keeps its image; any other file becomes an empty resource file on the
	// next write). A file that is neither a resource file nor an executable, or whose
	// resources are malformed, gives B_BAD_DATA. Changes need a writable file.
	status_t SetTo(const BFile* file, bool clobber = false);
	// The same for the file at path, opened for reading and writing when it can be,
	// otherwise for reading only. A program that is running can be written through this
	// form even though it cannot be opened for writing.
	status_t SetTo(const char* path, bool clobber = false);
	// Writes pending changes (errors are not reported) and detaches from the file.
	void Unset();
	status_t InitCheck() const;

	// The file as it was given. After a rewrite (a new file renamed over the old one)
	// the container reads the new file; this object keeps naming the node it named.
	const BFile& File() const;

	// The resource's bytes, owned by the container: valid until the resource is changed
	// or removed or the container goes. NULL when there is no such resource.
	const void* LoadResource(type_code type, int32 id, size_t* outSize);
	const void* LoadResource(type_code type, const char* name, size_t* outSize);
	// Loads the data of every resource of type (0: of all resources).
	status_t PreloadResourceType(type_code type = 0);

	// Writes the changes. Nothing is written when nothing changed. The file is rewritten
	// as a new file beside it that is renamed over it (keeping its mode, owner and
	// attributes), so that a program that is running can rewrite its own resources.
	status_t Sync();
	// Adds every resource of fromFile, replacing those with the same type and id.
	status_t MergeFrom(BFile* fromFile);

	// Adding a resource whose type and id exist replaces it; the same data and name
	// again change nothing.
	status_t AddResource(
		type_code type, int32 id, const void* data, size_t length, const char* name = NULL);

	bool HasResource(type_code type, int32 id);
	bool HasResource(type_code type, const char* name);

	// Each fills what it finds (any out pointer may be NULL) and returns whether the
	// resource exists. Names point into the container.
	bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
		const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound, const char** nameFound,
		size_t* lengthFound);
	bool GetResourceInfo(
		type_code byType, int32 andID, const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(
		type_code byType, const char* andName, int32* idFound, size_t* lengthFound);
	// byPointer is a pointer LoadResource returned.
	bool GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
		size_t* lengthFound, const char** nameFound);

	status_t RemoveResource(const void* resource);
	status_t RemoveResource(type_code type, int32 id);

	// Writes length bytes at offset into an existing resource, growing it (a gap is
	// filled with zeros). A resource written past 1 MB is kept in a nameless file beside
	// the container's file until it is written, not in memory.
	status_t WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length);
	// Reads up to length bytes from offset; fewer when the resource ends first. Reads
	// straight from the file when the resource is not loaded.
	status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length);

	// A copy of the resource's bytes, allocated with malloc: the caller frees it (BeOS
	// behaviour). NULL when there is no such resource.
	void* FindResource(type_code type, int32 id, size_t* lengthFound);
	void* FindResource(type_code type, const char* name, size_t* lengthFound);

private:
	struct Data;

	// replaceable: the file may be written by replacing it even though it is open for
	// reading only (a program that is running).
	status_t _SetTo(const BFile* file, bool clobber, bool replaceable);
	status_t _Attach(const BFile* file, bool clobber, bool replaceable);
	status_t _Load(int index);
	status_t _Spool(int index);
	status_t _CheckWritable() const;
	status_t _Rewrite();
	status_t _RewriteInPlace(const char* path);

	BFile fFile;
	std::unique_ptr<Data> fData;
};

#endif // _RESOURCES_H

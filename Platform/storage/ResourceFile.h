// The on-disk resource layout of BeOS (x86 little-endian, with reading of the big-endian
// PowerPC forms): where the section lies in a file, how it is validated and read, and how
// a new section is written. Private to the storage kit; BResources is the public face.
#ifndef _RESOURCE_FILE_H
#define _RESOURCE_FILE_H

#include <SupportDefs.h>

#include <memory>
#include <string>
#include <vector>

namespace BPrivate {

// The limits the format and the readers share.
const uint32 kMaxResourceCount = 10000;
const size_t kMaxResourceNameLength = 65534;

// Random access to the bytes of a file (or of a buffer, for tests and fuzzing).
class ResourceSource {
public:
	virtual ~ResourceSource();

	virtual uint64 Size() const = 0;
	// Reads exactly length bytes at offset; fails when they are not all there.
	virtual status_t ReadAt(uint64 offset, void* buffer, size_t length) const = 0;
};

class FdResourceSource : public ResourceSource {
public:
	FdResourceSource(int fd, uint64 size);

	virtual uint64 Size() const { return fSize; }

	virtual status_t ReadAt(uint64 offset, void* buffer, size_t length) const;

private:
	int fFd;
	uint64 fSize;
};

class MemoryResourceSource : public ResourceSource {
public:
	MemoryResourceSource(const void* data, size_t size);

	virtual uint64 Size() const { return fSize; }

	virtual status_t ReadAt(uint64 offset, void* buffer, size_t length) const;

private:
	const uint8* fData;
	size_t fSize;
};

enum resource_container_kind {
	B_RESOURCE_CONTAINER_EMPTY, // an empty file: becomes a plain resource file
	B_RESOURCE_CONTAINER_PLAIN, // "RS\0\0", section at offset 4
	B_RESOURCE_CONTAINER_ELF32, // section appended to an ELF32 image
	B_RESOURCE_CONTAINER_ELF64, // section appended to an ELF64 image
	B_RESOURCE_CONTAINER_PPC_PLAIN, // "Joy!resf", big-endian section at 0x28 (read only)
	B_RESOURCE_CONTAINER_PEF // section after a PEF image, big-endian (read only)
};

struct ResourceContainerInfo {
	resource_container_kind kind = B_RESOURCE_CONTAINER_EMPTY;
	// Bytes before the section that belong to the file's own content (the
	// executable image, or the 4-byte "RS" marker); kept on a rewrite.
	uint64 imageEnd = 0;
	// Where the section starts (or would start in a file that has none yet).
	uint64 sectionOffset = 0;
	bool hasSection = false;
	bool bigEndian = false;
};

// One resource as the container knows it: its bytes either still lie in the file at
// offset (not loaded), are held in data, or lie in bytes 0 to size of another source
// (spooled: a large resource written piece by piece is kept on disk, not in memory).
struct ResourceRecord {
	type_code type = 0;
	int32 id = 0;
	std::string name;
	uint64 offset = 0;
	uint64 size = 0;
	bool loaded = false;
	std::vector<uint8> data;
	std::shared_ptr<const ResourceSource> spool;
};

// The BeOS group checksum: the bytes as big-endian 32-bit groups added with wrap-around,
// a final 1 to 3 bytes added as one big-endian number of that many bytes.
uint32 resource_checksum(const void* data, size_t length);

// Finds out what kind of file source is and where its resource section lies. A file that
// is neither a resource file nor an executable gives B_BAD_DATA, unless clobber is set:
// then it is treated as empty (a rewrite makes it a plain resource file).
status_t identify_resource_container(
	const ResourceSource& source, bool clobber, ResourceContainerInfo* info);

// Reads and validates the resource section that info names: every count, offset, size,
// index and name is checked against the file before use. Records come in index order
// with their data left in the file. As on BeOS, an info naming an index outside the
// index section is skipped, and an index entry that no info names is no resource.
status_t read_resource_section(const ResourceSource& source, const ResourceContainerInfo& info,
	std::vector<ResourceRecord>* records);

// Both steps together.
status_t read_resources(const ResourceSource& source, ResourceContainerInfo* info,
	std::vector<ResourceRecord>* records);

// Whether the container can be rewritten in the x86 layout (the big-endian forms are kept
// read-only, except a PowerPC resource file, which is rewritten as an x86 one).
bool resource_container_is_writable(const ResourceContainerInfo& info);

// Writes a complete file to fd (positioned at 0, empty): the image of source that info
// names, then a new x86 section holding records, whose not-loaded data is copied from
// source (or from their spool). Fills dataOffsets with each record's new absolute data offset.
status_t write_resource_file(const ResourceSource& source, const ResourceContainerInfo& info,
	const std::vector<ResourceRecord>& records, int fd, std::vector<uint64>* dataOffsets);

// The section alone (header, index, unknown section, data and info table) of records
// whose data are all loaded; for tests and the fuzzer.
status_t build_resource_section(
	const std::vector<ResourceRecord>& records, std::vector<uint8>* section);

} // namespace BPrivate

#endif // _RESOURCE_FILE_H

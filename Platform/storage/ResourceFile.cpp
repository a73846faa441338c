#include "ResourceFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace BPrivate {

namespace {

const uint32 kResourcesMagic = 0x444F1000;
const uint32 kHeaderSize = 0x44;
const uint32 kIndexHeaderSize = 132;
const uint32 kIndexEntrySize = 12;
const uint32 kIndexSectionAlignment = 0x600;
const uint32 kUnknownSectionSize = 0x168;
const uint32 kSeparatorSize = 8;
const uint32 kTableEndSize = 8;
const uint32 kMinInfoSize = 10;

// ELF32 executables put the section at the image end aligned to the largest segment
// alignment. A larger alignment than this is not a real program's and would make a
// rewrite pad with an absurd amount of zeros.
const uint64 kMaxElfAlignment = 1 << 20;

// Copies between files go through a buffer of this size, so that payloads of any size
// never sit in memory whole.
const size_t kCopyChunkSize = 64 * 1024;

uint32
fill_pattern(uint64 relativeOffset)
{
	static const uint32 kPattern[3] = { 0xFFFFFFFF, 0x000003E9, 0x00000000 };
	return kPattern[(relativeOffset / 4) % 3];
}

uint64
align_up(uint64 value, uint64 alignment)
{
	return (value + alignment - 1) / alignment * alignment;
}

uint32
index_section_size(uint32 count)
{
	return (uint32)align_up(
		kIndexHeaderSize + kIndexEntrySize * (uint64)count, kIndexSectionAlignment);
}

uint16
get16(const uint8* data, bool bigEndian)
{
	if (bigEndian)
		return (uint16)((data[0] << 8) | data[1]);
	return (uint16)(data[0] | (data[1] << 8));
}

uint32
get32(const uint8* data, bool bigEndian)
{
	if (bigEndian) {
		return ((uint32)data[0] << 24) | ((uint32)data[1] << 16) | ((uint32)data[2] << 8)
			| (uint32)data[3];
	}
	return (uint32)data[0] | ((uint32)data[1] << 8) | ((uint32)data[2] << 16)
		| ((uint32)data[3] << 24);
}

uint64
get64(const uint8* data, bool bigEndian)
{
	uint64 first = get32(data, bigEndian);
	uint64 second = get32(data + 4, bigEndian);
	return bigEndian ? (first << 32) | second : (second << 32) | first;
}

void
put16(uint8* data, uint16 value)
{
	data[0] = (uint8)value;
	data[1] = (uint8)(value >> 8);
}

void
put32(uint8* data, uint32 value)
{
	data[0] = (uint8)value;
	data[1] = (uint8)(value >> 8);
	data[2] = (uint8)(value >> 16);
	data[3] = (uint8)(value >> 24);
}

bool
is_separator(const uint8* data)
{
	for (uint32 i = 0; i < kSeparatorSize; i++) {
		if (data[i] != 0xFF)
			return false;
	}
	return true;
}

// Adds offset + size to end, refusing a sum that overflows.
bool
extend_end(uint64* end, uint64 offset, uint64 size)
{
	if (offset > UINT64_MAX - size)
		return false;
	*end = std::max(*end, offset + size);
	return true;
}

struct ElfLayout {
	bool is64;
	bool bigEndian;
	size_t headerSize;
	size_t programHeaderSize;
	size_t sectionHeaderSize;
};

// Reads a table of count entries of entrySize bytes at offset, refusing one that does not
// lie inside the file or whose entries are too small for their structure.
status_t
read_table(const ResourceSource& source, uint64 offset, uint64 count, uint64 entrySize,
	size_t minEntrySize, std::vector<uint8>* table)
{
	table->clear();
	if (count == 0)
		return B_OK;
	if (entrySize < minEntrySize)
		return B_BAD_DATA;
	if (offset > source.Size() || count > (source.Size() - offset) / entrySize)
		return B_BAD_DATA;
	table->resize(count * entrySize);
	return source.ReadAt(offset, table->data(), table->size());
}

status_t
identify_elf(const ResourceSource& source, ResourceContainerInfo* info)
{
	uint8 header[64];
	if (source.Size() < 52)
		return B_BAD_DATA;
	size_t headerRead = (size_t)std::min<uint64>(source.Size(), sizeof(header));
	memset(header, 0, sizeof(header));
	status_t status = source.ReadAt(0, header, headerRead);
	if (status != B_OK)
		return status;

	ElfLayout layout;
	if (header[4] == 1)
		layout = { false, false, 52, 32, 40 };
	else if (header[4] == 2)
		layout = { true, false, 64, 56, 64 };
	else
		return B_BAD_DATA;
	if (header[5] != 1 && header[5] != 2)
		return B_BAD_DATA;
	layout.bigEndian = header[5] == 2;
	if (source.Size() < layout.headerSize)
		return B_BAD_DATA;
	bool be = layout.bigEndian;

	uint64 programOffset, sectionOffset;
	uint16 headerSize, programEntrySize, programCount, sectionEntrySize, sectionCount;
	if (layout.is64) {
		programOffset = get64(header + 32, be);
		sectionOffset = get64(header + 40, be);
		headerSize = get16(header + 52, be);
		programEntrySize = get16(header + 54, be);
		programCount = get16(header + 56, be);
		sectionEntrySize = get16(header + 58, be);
		sectionCount = get16(header + 60, be);
	} else {
		programOffset = get32(header + 28, be);
		sectionOffset = get32(header + 32, be);
		headerSize = get16(header + 40, be);
		programEntrySize = get16(header + 42, be);
		programCount = get16(header + 44, be);
		sectionEntrySize = get16(header + 46, be);
		sectionCount = get16(header + 48, be);
	}

	// Extended numbering: counts too large for the header live in section header 0.
	uint64 realProgramCount = programCount;
	uint64 realSectionCount = sectionCount;
	if (sectionOffset != 0 && (sectionCount == 0 || programCount == 0xFFFF)) {
		std::vector<uint8> first;
		status = read_table(
			source, sectionOffset, 1, sectionEntrySize, layout.sectionHeaderSize, &first);
		if (status != B_OK)
			return status;
		if (sectionCount == 0)
			realSectionCount = layout.is64 ? get64(&first[32], be) : get32(&first[20], be);
		if (programCount == 0xFFFF)
			realProgramCount = get32(&first[layout.is64 ? 44 : 28], be);
	}
	if (sectionOffset == 0)
		realSectionCount = 0;

	uint64 end = std::max<uint64>(headerSize, layout.headerSize);
	uint64 alignment = layout.is64 ? 8 : 32;

	std::vector<uint8> table;
	status = read_table(source, programOffset, realProgramCount, programEntrySize,
		layout.programHeaderSize, &table);
	if (status != B_OK)
		return status;
	if (realProgramCount > 0)
		extend_end(&end, programOffset, realProgramCount * programEntrySize);
	for (uint64 i = 0; i < realProgramCount; i++) {
		const uint8* entry = &table[i * programEntrySize];
		uint32 type = get32(entry, be);
		if (type == 0)
			continue;
		uint64 offset, fileSize, segmentAlignment;
		if (layout.is64) {
			offset = get64(entry + 8, be);
			fileSize = get64(entry + 32, be);
			segmentAlignment = get64(entry + 48, be);
		} else {
			offset = get32(entry + 4, be);
			fileSize = get32(entry + 16, be);
			segmentAlignment = get32(entry + 28, be);
		}
		if (!extend_end(&end, offset, fileSize))
			return B_BAD_DATA;
		if (!layout.is64)
			alignment = std::max(alignment, segmentAlignment);
	}

	status = read_table(source, sectionOffset, realSectionCount, sectionEntrySize,
		layout.sectionHeaderSize, &table);
	if (status != B_OK)
		return status;
	if (realSectionCount > 0)
		extend_end(&end, sectionOffset, realSectionCount * sectionEntrySize);
	for (uint64 i = 0; i < realSectionCount; i++) {
		const uint8* entry = &table[i * sectionEntrySize];
		uint32 type = get32(entry + 4, be);
		// SHT_NULL and SHT_NOBITS occupy no bytes of the file.
		if (type == 0 || type == 8)
			continue;
		uint64 offset = layout.is64 ? get64(entry + 24, be) : get32(entry + 16, be);
		uint64 size = layout.is64 ? get64(entry + 32, be) : get32(entry + 20, be);
		if (!extend_end(&end, offset, size))
			return B_BAD_DATA;
	}

	// A truncated image is not an executable we can add to or read behind.
	if (end > source.Size() || alignment > kMaxElfAlignment)
		return B_BAD_DATA;

	info->kind = layout.is64 ? B_RESOURCE_CONTAINER_ELF64 : B_RESOURCE_CONTAINER_ELF32;
	info->imageEnd = end;
	info->sectionOffset = align_up(end, alignment);
	info->hasSection = info->sectionOffset < source.Size();
	return B_OK;
}

status_t
identify_pef(const ResourceSource& source, ResourceContainerInfo* info)
{
	uint8 header[40];
	if (source.Size() < sizeof(header))
		return B_BAD_DATA;
	status_t status = source.ReadAt(0, header, sizeof(header));
	if (status != B_OK)
		return status;

	const size_t kSectionHeaderSize = 28;
	uint16 count = get16(header + 32, true);
	std::vector<uint8> table;
	status =
		read_table(source, sizeof(header), count, kSectionHeaderSize, kSectionHeaderSize, &table);
	if (status != B_OK)
		return status;
	uint64 end = sizeof(header) + (uint64)count * kSectionHeaderSize;
	for (uint16 i = 0; i < count; i++) {
		const uint8* entry = &table[i * kSectionHeaderSize];
		extend_end(&end, get32(entry + 20, true), get32(entry + 16, true));
	}
	if (end > source.Size())
		return B_BAD_DATA;

	info->kind = B_RESOURCE_CONTAINER_PEF;
	info->imageEnd = end;
	info->sectionOffset = end;
	info->hasSection = end < source.Size();
	info->bigEndian = true;
	return B_OK;
}

status_t
write_all(int fd, const void* data, size_t length)
{
	const uint8* bytes = (const uint8*)data;
	while (length > 0) {
		ssize_t written = write(fd, bytes, length);
		if (written < 0) {
			if (errno == EINTR)
				continue;
			return B_FROM_POSIX_ERROR(errno);
		}
		if (written == 0)
			return B_IO_ERROR;
		bytes += written;
		length -= (size_t)written;
	}
	return B_OK;
}

status_t
copy_range(
	const ResourceSource& source, uint64 offset, uint64 length, int fd, std::vector<uint8>& buffer)
{
	buffer.resize(kCopyChunkSize);
	while (length > 0) {
		size_t chunk = (size_t)std::min<uint64>(length, buffer.size());
		status_t status = source.ReadAt(offset, buffer.data(), chunk);
		if (status != B_OK)
			return status;
		status = write_all(fd, buffer.data(), chunk);
		if (status != B_OK)
			return status;
		offset += chunk;
		length -= chunk;
	}
	return B_OK;
}

status_t
write_zeros(int fd, uint64 length)
{
	static const uint8 kZeros[256] = {};
	while (length > 0) {
		size_t chunk = (size_t)std::min<uint64>(length, sizeof(kZeros));
		status_t status = write_all(fd, kZeros, chunk);
		if (status != B_OK)
			return status;
		length -= chunk;
	}
	return B_OK;
}

// The parts of a new section that are not resource data.
struct SectionParts {
	std::vector<uint8> head;
	std::vector<uint8> infoTable;
	std::vector<uint32> dataOffsets;
};

status_t
make_section_parts(const std::vector<ResourceRecord>& records, SectionParts* parts)
{
	if (records.size() > kMaxResourceCount)
		return B_BAD_VALUE;
	uint32 count = (uint32)records.size();
	uint32 indexSize = index_section_size(count);
	uint32 headSize = kHeaderSize + indexSize + kUnknownSectionSize;

	// The info table: a block per run of one type, each ending in a separator.
	std::vector<uint8>& table = parts->infoTable;
	table.clear();
	for (uint32 i = 0; i < count; i++) {
		const ResourceRecord& record = records[i];
		if (record.name.size() > kMaxResourceNameLength)
			return B_NAME_TOO_LONG;
		uint8 buffer[14];
		size_t length = 0;
		if (i == 0 || records[i - 1].type != record.type) {
			if (i != 0)
				table.insert(table.end(), kSeparatorSize, 0xFF);
			put32(buffer, record.type);
			length = 4;
		}
		uint16 nameSize = record.name.empty() ? 0 : (uint16)(record.name.size() + 1);
		put32(buffer + length, (uint32)record.id);
		put32(buffer + length + 4, i + 1);
		put16(buffer + length + 8, nameSize);
		table.insert(table.end(), buffer, buffer + length + kMinInfoSize);
		if (nameSize > 0) {
			table.insert(table.end(), record.name.begin(), record.name.end());
			table.push_back(0);
		}
	}
	table.insert(table.end(), kSeparatorSize, 0xFF);
	uint8 end[kTableEndSize];
	put32(end, resource_checksum(table.data(), table.size()));
	put32(end + 4, 0);
	table.insert(table.end(), end, end + sizeof(end));

	// Offsets in the section are 32-bit: the whole section must stay below 4 GiB.
	uint64 offset = headSize;
	parts->dataOffsets.resize(count);
	for (uint32 i = 0; i < count; i++) {
		parts->dataOffsets[i] = (uint32)offset;
		offset += records[i].size;
		if (offset > UINT32_MAX)
			return B_FILE_TOO_LARGE;
	}
	uint64 infoOffset = offset;
	if (infoOffset + table.size() > UINT32_MAX)
		return B_FILE_TOO_LARGE;

	std::vector<uint8>& head = parts->head;
	head.assign(headSize, 0);
	for (uint32 at = kHeaderSize; at < headSize; at += 4)
		put32(&head[at], fill_pattern(at));
	put32(&head[0], kResourcesMagic);
	put32(&head[4], count);
	put32(&head[8], kHeaderSize);
	put32(&head[12], kHeaderSize + indexSize);
	put32(&head[0x44], kHeaderSize);
	put32(&head[0x48], indexSize);
	put32(&head[0x50], kHeaderSize + indexSize);
	put32(&head[0x54], kUnknownSectionSize);
	put32(&head[0xBC], (uint32)infoOffset);
	put32(&head[0xC0], (uint32)table.size());
	for (uint32 i = 0; i < count; i++) {
		uint8* entry = &head[0xC8 + i * kIndexEntrySize];
		put32(entry, parts->dataOffsets[i]);
		put32(entry + 4, (uint32)records[i].size);
		put32(entry + 8, 0);
	}
	return B_OK;
}

// Parses the info table (without its end record) into records, which already hold the
// index entries' offsets and sizes.
status_t
parse_info_table(const uint8* table, size_t length, bool be, std::vector<ResourceRecord>* records)
{
	size_t count = records->size();
	if (count == 0)
		return length == kSeparatorSize && is_separator(table) ? B_OK : B_BAD_DATA;

	std::vector<bool> seen(count, false);
	size_t position = 0;
	while (position < length) {
		if (length - position < 4)
			return B_BAD_DATA;
		type_code type = get32(table + position, be);
		position += 4;
		while (true) {
			if (length - position < kMinInfoSize)
				return B_BAD_DATA;
			int32 id = (int32)get32(table + position, be);
			uint32 index = get32(table + position + 4, be);
			uint16 nameSize = get16(table + position + 8, be);
			position += kMinInfoSize;
			if (length - position < nameSize)
				return B_BAD_DATA;
			// The size counts the terminating NUL, which must be the last byte.
			if (nameSize > 0 && table[position + nameSize - 1] != 0)
				return B_BAD_DATA;
			// BeOS behaviour: an info naming an index outside the index section is
			// skipped, not an error; files written by early tools have them.
			if (index >= 1 && index <= count) {
				if (seen[index - 1])
					return B_BAD_DATA;
				seen[index - 1] = true;
				ResourceRecord& record = (*records)[index - 1];
				record.type = type;
				record.id = id;
				if (nameSize > 0)
					record.name.assign((const char*)table + position);
			}
			position += nameSize;
			if (length - position < kSeparatorSize)
				return B_BAD_DATA;
			if (is_separator(table + position)) {
				position += kSeparatorSize;
				break;
			}
		}
	}
	// Index entries that no info names are not resources (BeOS drops them too).
	size_t kept = 0;
	for (size_t i = 0; i < count; i++) {
		if (!seen[i])
			continue;
		if (kept != i)
			(*records)[kept] = std::move((*records)[i]);
		kept++;
	}
	records->resize(kept);

	// (type, id) names one resource; a file listing one twice is inconsistent.
	std::vector<std::pair<type_code, int32>> keys;
	keys.reserve(records->size());
	for (const ResourceRecord& record : *records)
		keys.emplace_back(record.type, record.id);
	std::sort(keys.begin(), keys.end());
	if (std::adjacent_find(keys.begin(), keys.end()) != keys.end())
		return B_BAD_DATA;
	return B_OK;
}

} // namespace

ResourceSource::~ResourceSource() { }

FdResourceSource::FdResourceSource(int fd, uint64 size) :
	fFd(fd),
	fSize(size)
{
}

status_t
FdResourceSource::ReadAt(uint64 offset, void* buffer, size_t length) const
{
	if (offset > fSize || length > fSize - offset)
		return B_BAD_DATA;
	uint8* bytes = (uint8*)buffer;
	while (length > 0) {
		ssize_t count = pread(fFd, bytes, length, (off_t)offset);
		if (count < 0) {
			if (errno == EINTR)
				continue;
			return B_FROM_POSIX_ERROR(errno);
		}
		if (count == 0)
			return B_IO_ERROR;
		bytes += count;
		offset += (uint64)count;
		length -= (size_t)count;
	}
	return B_OK;
}

MemoryResourceSource::MemoryResourceSource(const void* data, size_t size) :
	fData((const uint8*)data),
	fSize(size)
{
}

status_t
MemoryResourceSource::ReadAt(uint64 offset, void* buffer, size_t length) const
{
	if (offset > fSize || length > fSize - offset)
		return B_BAD_DATA;
	if (length > 0)
		memcpy(buffer, fData + offset, length);
	return B_OK;
}

uint32
resource_checksum(const void* data, size_t length)
{
	const uint8* bytes = (const uint8*)data;
	uint32 sum = 0;
	size_t whole = length / 4 * 4;
	for (size_t i = 0; i < whole; i += 4)
		sum += get32(bytes + i, true);
	uint32 rest = 0;
	for (size_t i = whole; i < length; i++)
		rest = (rest << 8) | bytes[i];
	return sum + rest;
}

status_t
identify_resource_container(const ResourceSource& source, bool clobber, ResourceContainerInfo* info)
{
	*info = ResourceContainerInfo();
	uint64 size = source.Size();
	uint8 head[8] = {};
	size_t headLength = (size_t)std::min<uint64>(size, sizeof(head));
	status_t status = source.ReadAt(0, head, headLength);
	if (status != B_OK)
		return status;

	status = B_OK;
	if (size == 0) {
		info->kind = B_RESOURCE_CONTAINER_EMPTY;
	} else if (headLength >= 4 && memcmp(head, "RS\0\0", 4) == 0) {
		info->kind = B_RESOURCE_CONTAINER_PLAIN;
		info->imageEnd = 4;
		info->sectionOffset = 4;
		info->hasSection = size > 4;
	} else if (headLength == 8 && memcmp(head, "Joy!resf", 8) == 0) {
		info->kind = B_RESOURCE_CONTAINER_PPC_PLAIN;
		info->imageEnd = 0x28;
		info->sectionOffset = 0x28;
		info->hasSection = size > 0x28;
		info->bigEndian = true;
	} else if (headLength == 8 && memcmp(head, "Joy!peff", 8) == 0) {
		status = identify_pef(source, info);
	} else if (headLength >= 4
		&& memcmp(head,
			   "\x7F"
			   "ELF",
			   4)
			== 0) {
		status = identify_elf(source, info);
	} else {
		status = B_BAD_DATA;
	}

	if (status != B_OK) {
		if (!clobber)
			return status;
		// The file's content is given up: it becomes a plain resource file.
		*info = ResourceContainerInfo();
		return B_OK;
	}
	if (clobber) {
		// Resources are dropped; an executable keeps its image. A PowerPC resource file
		// is rewritten in the x86 layout.
		if (info->kind == B_RESOURCE_CONTAINER_PPC_PLAIN)
			*info = ResourceContainerInfo();
		info->hasSection = false;
		return B_OK;
	}
	if (!info->hasSection)
		return B_OK;

	uint8 magic[4];
	if (size - info->sectionOffset < sizeof(magic))
		return B_BAD_DATA;
	status = source.ReadAt(info->sectionOffset, magic, sizeof(magic));
	if (status != B_OK)
		return status;
	if (get32(magic, false) == kResourcesMagic)
		info->bigEndian = false;
	else if (get32(magic, true) == kResourcesMagic)
		info->bigEndian = true;
	else
		return B_BAD_DATA;
	return B_OK;
}

status_t
read_resource_section(const ResourceSource& source, const ResourceContainerInfo& info,
	std::vector<ResourceRecord>* records)
{
	records->clear();
	if (!info.hasSection)
		return B_OK;

	bool be = info.bigEndian;
	uint64 section = info.sectionOffset;
	if (section > source.Size())
		return B_BAD_DATA;
	uint64 available = source.Size() - section;

	uint8 header[kHeaderSize];
	if (available < sizeof(header))
		return B_BAD_DATA;
	status_t status = source.ReadAt(section, header, sizeof(header));
	if (status != B_OK)
		return status;
	uint32 count = get32(header + 4, be);
	if (get32(header, be) != kResourcesMagic || count > kMaxResourceCount)
		return B_BAD_DATA;
	uint32 indexSize = index_section_size(count);
	uint64 dataStart = (uint64)kHeaderSize + indexSize + kUnknownSectionSize;
	if (get32(header + 8, be) != kHeaderSize || get32(header + 12, be) != kHeaderSize + indexSize
		|| available < dataStart) {
		return B_BAD_DATA;
	}

	// The index section: its header, then the entries; the rest is fill.
	std::vector<uint8> index(kIndexHeaderSize + (size_t)count * kIndexEntrySize);
	status = source.ReadAt(section + kHeaderSize, index.data(), index.size());
	if (status != B_OK)
		return status;
	uint32 infoOffset = get32(&index[0x78], be);
	uint32 infoSize = get32(&index[0x7C], be);
	if (get32(&index[0], be) != kHeaderSize || get32(&index[4], be) != indexSize
		|| get32(&index[12], be) != kHeaderSize + indexSize
		|| get32(&index[16], be) != kUnknownSectionSize || infoOffset < dataStart
		|| infoSize < kSeparatorSize || (uint64)infoOffset + infoSize > available) {
		return B_BAD_DATA;
	}

	records->resize(count);
	std::vector<std::pair<uint64, uint64>> ranges;
	for (uint32 i = 0; i < count; i++) {
		const uint8* entry = &index[kIndexHeaderSize + i * kIndexEntrySize];
		uint64 offset = get32(entry, be);
		uint64 size = get32(entry + 4, be);
		if (offset < dataStart || offset + size > infoOffset) {
			records->clear();
			return B_BAD_DATA;
		}
		(*records)[i].offset = section + offset;
		(*records)[i].size = size;
		if (size > 0)
			ranges.emplace_back(offset, offset + size);
	}
	std::sort(ranges.begin(), ranges.end());
	for (size_t i = 1; i < ranges.size(); i++) {
		if (ranges[i].first < ranges[i - 1].second) {
			records->clear();
			return B_BAD_DATA;
		}
	}

	std::vector<uint8> table(infoSize);
	status = source.ReadAt(section + infoOffset, table.data(), table.size());
	if (status != B_OK) {
		records->clear();
		return status;
	}
	size_t tableLength = infoSize;
	// The table ends in a checksum and a zero terminator; R5 also accepted it without.
	if (tableLength >= kSeparatorSize + kTableEndSize && get32(&table[tableLength - 4], be) == 0) {
		tableLength -= kTableEndSize;
		if (get32(&table[tableLength], be) != resource_checksum(table.data(), tableLength)) {
			records->clear();
			return B_BAD_DATA;
		}
	}
	status = parse_info_table(table.data(), tableLength, be, records);
	if (status != B_OK)
		records->clear();
	return status;
}

status_t
read_resources(
	const ResourceSource& source, ResourceContainerInfo* info, std::vector<ResourceRecord>* records)
{
	records->clear();
	status_t status = identify_resource_container(source, false, info);
	if (status != B_OK)
		return status;
	return read_resource_section(source, *info, records);
}

bool
resource_container_is_writable(const ResourceContainerInfo& info)
{
	return info.kind != B_RESOURCE_CONTAINER_PEF;
}

status_t
write_resource_file(const ResourceSource& source, const ResourceContainerInfo& info,
	const std::vector<ResourceRecord>& records, int fd, std::vector<uint64>* dataOffsets)
{
	if (!resource_container_is_writable(info))
		return B_NOT_SUPPORTED;

	SectionParts parts;
	status_t status = make_section_parts(records, &parts);
	if (status != B_OK)
		return status;

	std::vector<uint8> buffer;
	uint64 sectionOffset;
	switch (info.kind) {
		case B_RESOURCE_CONTAINER_ELF32:
		case B_RESOURCE_CONTAINER_ELF64:
			status = copy_range(source, 0, info.imageEnd, fd, buffer);
			if (status == B_OK)
				status = write_zeros(fd, info.sectionOffset - info.imageEnd);
			sectionOffset = info.sectionOffset;
			break;
		default:
			status = write_all(fd, "RS\0\0", 4);
			sectionOffset = 4;
			break;
	}
	if (status == B_OK)
		status = write_all(fd, parts.head.data(), parts.head.size());

	if (dataOffsets != nullptr)
		dataOffsets->clear();
	for (size_t i = 0; i < records.size() && status == B_OK; i++) {
		const ResourceRecord& record = records[i];
		if (record.loaded)
			status = write_all(fd, record.data.data(), record.data.size());
		else if (record.spool != nullptr)
			status = copy_range(*record.spool, 0, record.size, fd, buffer);
		else
			status = copy_range(source, record.offset, record.size, fd, buffer);
		if (dataOffsets != nullptr)
			dataOffsets->push_back(sectionOffset + parts.dataOffsets[i]);
	}
	if (status == B_OK)
		status = write_all(fd, parts.infoTable.data(), parts.infoTable.size());
	return status;
}

status_t
build_resource_section(const std::vector<ResourceRecord>& records, std::vector<uint8>* section)
{
	SectionParts parts;
	status_t status = make_section_parts(records, &parts);
	if (status != B_OK)
		return status;
	*section = parts.head;
	for (const ResourceRecord& record : records) {
		if (!record.loaded || record.data.size() != record.size)
			return B_BAD_VALUE;
		section->insert(section->end(), record.data.begin(), record.data.end());
	}
	section->insert(section->end(), parts.infoTable.begin(), parts.infoTable.end());
	return B_OK;
}

} // namespace BPrivate

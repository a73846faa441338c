// The resource layout against real BeOS-made files, the format's test vectors and
// malformed sections built by mutating a valid file.
#include "ResourceFile.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace BPrivate;

namespace {

std::vector<uint8>
read_test_file(const std::string& name)
{
	std::ifstream stream(std::string(BEINSTALLER_TESTDATA_DIR) + "/beos/" + name, std::ios::binary);
	return std::vector<uint8>(std::istreambuf_iterator<char>(stream), {});
}

status_t
parse(const std::vector<uint8>& bytes, std::vector<ResourceRecord>* records,
	ResourceContainerInfo* info = nullptr)
{
	ResourceContainerInfo localInfo;
	MemoryResourceSource source(bytes.data(), bytes.size());
	return read_resources(source, info != nullptr ? info : &localInfo, records);
}

// Loads every record's data from bytes, as a container does before rewriting.
void
load_all(const std::vector<uint8>& bytes, std::vector<ResourceRecord>& records)
{
	for (ResourceRecord& record : records) {
		record.data.assign(bytes.begin() + (long)record.offset,
			bytes.begin() + (long)(record.offset + record.size));
		record.loaded = true;
	}
}

uint32
le32(const std::vector<uint8>& bytes, size_t at)
{
	return (uint32)bytes[at] | ((uint32)bytes[at + 1] << 8) | ((uint32)bytes[at + 2] << 16)
		| ((uint32)bytes[at + 3] << 24);
}

void
set_le32(std::vector<uint8>& bytes, size_t at, uint32 value)
{
	for (int i = 0; i < 4; i++)
		bytes[at + i] = (uint8)(value >> (8 * i));
}

std::vector<uint8>
write_to_memory(const std::vector<uint8>& original, const ResourceContainerInfo& info,
	const std::vector<ResourceRecord>& records, status_t* status)
{
	int fd = memfd_create("resources", 0);
	MemoryResourceSource source(original.data(), original.size());
	*status = write_resource_file(source, info, records, fd, nullptr);
	off_t size = lseek(fd, 0, SEEK_END);
	std::vector<uint8> result((size_t)size);
	if (size > 0 && pread(fd, result.data(), result.size(), 0) != size)
		*status = B_IO_ERROR;
	close(fd);
	return result;
}

struct Expected {
	type_code type;
	int32 id;
	const char* name;
	uint64 size;
};

struct RealFile {
	const char* file;
	resource_container_kind kind;
	uint64 section;
	std::vector<Expected> resources;
};

const std::vector<Expected> kThreeResources = {
	{ B_STRING_TYPE, 74, "a string resource", 35 },
	{ B_INT32_TYPE, 17, "just a resource", 4 },
	{ B_MIME_STRING_TYPE, 29, "another resource", 31 },
};

std::vector<RealFile>
real_files()
{
	std::vector<Expected> elf = kThreeResources;
	elf.push_back({ B_MIME_STRING_TYPE, 2, "BEOS:TYPE", 35 });
	return {
		{ "x86.rsrc", B_RESOURCE_CONTAINER_PLAIN, 4, kThreeResources },
		{ "elf", B_RESOURCE_CONTAINER_ELF32, 0x1000, elf },
		{ "elf-no-res", B_RESOURCE_CONTAINER_ELF32, 0x1000,
			{ { B_MIME_STRING_TYPE, 2, "BEOS:TYPE", 35 } } },
		{ "ppc.rsrc", B_RESOURCE_CONTAINER_PPC_PLAIN, 0x28, kThreeResources },
		{ "pef", B_RESOURCE_CONTAINER_PEF, 1450, kThreeResources },
		{ "pef-no-res", B_RESOURCE_CONTAINER_PEF, 1450, {} },
		{ "unzip.rsc", B_RESOURCE_CONTAINER_PLAIN, 4,
			{ { B_MIME_STRING_TYPE, 1, "BEOS:APP_SIG", 33 },
				{ B_MESSAGE_TYPE, 1, "BEOS:FILE_TYPES", 54 },
				{ 'APPV', 1, "BEOS:APP_VERSION", 680 }, { 'APPF', 1, "BEOS:APP_FLAGS", 4 } } },
		{ "reiserfs.rsrc", B_RESOURCE_CONTAINER_PLAIN, 4,
			{ { B_MIME_STRING_TYPE, 1, "BEOS:APP_SIG", 39 },
				{ B_MESSAGE_TYPE, 1, "BEOS:FILE_TYPES", 18 },
				{ 'APPV', 1, "BEOS:APP_VERSION", 680 } } },
		{ "IconViewer.rsrc", B_RESOURCE_CONTAINER_PLAIN, 4,
			{ { 'APPF', 1, "BEOS:APP_FLAGS", 4 }, { 'ICON', 101, "BEOS:L:STD_ICON", 1024 },
				{ 'MICN', 101, "BEOS:M:STD_ICON", 256 },
				{ B_MIME_STRING_TYPE, 1, "BEOS:APP_SIG", 33 } } },
		{ "BMessengerTestApp1.rsrc", B_RESOURCE_CONTAINER_PLAIN, 4,
			{ { B_MIME_STRING_TYPE, 2, "BEOS:TYPE", 35 },
				{ B_MIME_STRING_TYPE, 1, "BEOS:APP_SIG", 43 },
				{ 'APPV', 1, "BEOS:APP_VERSION", 680 }, { 'APPF', 1, "BEOS:APP_FLAGS", 4 } } },
		// An early big-endian file: three of its infos name indexes past its count and
		// three index entries have no info; as on BeOS, only the consistent five remain.
		{ "MenuWorld.rsrc", B_RESOURCE_CONTAINER_PPC_PLAIN, 0x28,
			{ { B_MESSAGE_TYPE, 1, "BEOS:FILE_TYPES", 18 },
				{ 'ICON', 0, "BEOS:L:application/x-person", 1024 },
				{ 'ICON', 101, "BEOS:L:STD_ICON", 1024 },
				{ 'MICN', 0, "BEOS:M:application/x-person", 256 },
				{ 'MICN', 101, "BEOS:M:STD_ICON", 256 } } },
	};
}

} // namespace

TEST(ResourceFile, ListsEveryRealBeOSFile)
{
	for (const RealFile& file : real_files()) {
		SCOPED_TRACE(file.file);
		std::vector<uint8> bytes = read_test_file(file.file);
		ASSERT_FALSE(bytes.empty());
		std::vector<ResourceRecord> records;
		ResourceContainerInfo info;
		ASSERT_EQ(B_OK, parse(bytes, &records, &info));
		EXPECT_EQ(file.kind, info.kind);
		EXPECT_EQ(file.section, info.sectionOffset);
		ASSERT_EQ(file.resources.size(), records.size());
		for (size_t i = 0; i < records.size(); i++) {
			EXPECT_EQ(file.resources[i].type, records[i].type) << i;
			EXPECT_EQ(file.resources[i].id, records[i].id) << i;
			EXPECT_EQ(file.resources[i].name, records[i].name) << i;
			EXPECT_EQ(file.resources[i].size, records[i].size) << i;
			EXPECT_LE(records[i].offset + records[i].size, bytes.size()) << i;
		}
	}
}

TEST(ResourceFile, ReadsTheSameDataFromTheX86AndPowerPCForms)
{
	// Resource data are opaque bytes: only the layout around them is byte-swapped.
	for (const char* name : { "x86.rsrc", "ppc.rsrc", "pef", "elf" }) {
		SCOPED_TRACE(name);
		std::vector<uint8> bytes = read_test_file(name);
		std::vector<ResourceRecord> records;
		ASSERT_EQ(B_OK, parse(bytes, &records));
		load_all(bytes, records);
		EXPECT_STREQ("I like strings, especially cellos.", (const char*)records[0].data.data());
		EXPECT_STREQ("application/bread-roll-counter", (const char*)records[2].data.data());
	}
}

TEST(ResourceFile, EmptySectionMatchesTheFormatVector)
{
	std::vector<uint8> section;
	ASSERT_EQ(B_OK, build_resource_section({}, &section));
	ASSERT_EQ(1980u, section.size());
	EXPECT_EQ(0x444F1000u, le32(section, 0));
	EXPECT_EQ(0x7ACu, le32(section, 0xBC));
	EXPECT_EQ(0x10u, le32(section, 0xC0));
	EXPECT_EQ(0xFFFFFFFEu, le32(section, 0x7AC + 8));
	EXPECT_EQ(0u, le32(section, 0x7AC + 12));

	std::vector<uint8> file = { 'R', 'S', 0, 0 };
	file.insert(file.end(), section.begin(), section.end());
	EXPECT_EQ(1984u, file.size());
	std::vector<ResourceRecord> records;
	EXPECT_EQ(B_OK, parse(file, &records));
	EXPECT_TRUE(records.empty());
}

TEST(ResourceFile, ChecksumFollowsTheGroupSum)
{
	const uint8 messageHeader[9] = { 0x12, 0, 0, 0, 0, 0, 0, 0, 0x01 };
	EXPECT_EQ(0x12000001u, resource_checksum(messageHeader, sizeof(messageHeader)));
	const uint8 separator[8] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
	EXPECT_EQ(0xFFFFFFFEu, resource_checksum(separator, sizeof(separator)));
	const uint8 tail[3] = { 0x01, 0x02, 0x03 };
	EXPECT_EQ(0x010203u, resource_checksum(tail, sizeof(tail)));

	std::vector<uint8> x86 = read_test_file("x86.rsrc");
	EXPECT_EQ(0x7F2u, le32(x86, 4 + 0xBC));
	EXPECT_EQ(0x7Du, le32(x86, 4 + 0xC0));
	EXPECT_EQ(0x37AB0B59u, resource_checksum(&x86[4 + 0x7F2], 0x7D - 8));
}

TEST(ResourceFile, RewritingTheSameResourcesReproducesTheR5Files)
{
	// Header, index, fill pattern, data and info table come out byte for byte as R5 wrote
	// them, both for a plain file and behind an R5 ELF image.
	for (const char* name : { "x86.rsrc", "elf", "unzip.rsc", "IconViewer.rsrc" }) {
		SCOPED_TRACE(name);
		std::vector<uint8> bytes = read_test_file(name);
		std::vector<ResourceRecord> records;
		ResourceContainerInfo info;
		ASSERT_EQ(B_OK, parse(bytes, &records, &info));
		status_t status;
		std::vector<uint8> written = write_to_memory(bytes, info, records, &status);
		ASSERT_EQ(B_OK, status);
		EXPECT_EQ(bytes, written);
	}
}

TEST(ResourceFile, PowerPCResourceFilesAreRewrittenInTheX86Layout)
{
	std::vector<uint8> ppc = read_test_file("ppc.rsrc");
	std::vector<ResourceRecord> records;
	ResourceContainerInfo info;
	ASSERT_EQ(B_OK, parse(ppc, &records, &info));
	EXPECT_TRUE(resource_container_is_writable(info));
	status_t status;
	std::vector<uint8> written = write_to_memory(ppc, info, records, &status);
	ASSERT_EQ(B_OK, status);
	// The same file as x86.rsrc but for the 'LONG' value: resource data are not swapped.
	std::vector<uint8> x86 = read_test_file("x86.rsrc");
	ASSERT_EQ(x86.size(), written.size());
	size_t longData = 4 + 0x7CF;
	EXPECT_EQ(0, memcmp(&ppc[records[1].offset], &written[longData], 4));
	memcpy(&written[longData], &x86[longData], 4);
	EXPECT_EQ(x86, written);

	std::vector<uint8> pef = read_test_file("pef");
	ASSERT_EQ(B_OK, parse(pef, &records, &info));
	EXPECT_FALSE(resource_container_is_writable(info));
	write_to_memory(pef, info, records, &status);
	EXPECT_EQ(B_NOT_SUPPORTED, status);
}

TEST(ResourceFile, KeepsTypesTogetherInInfoBlocks)
{
	std::vector<ResourceRecord> records(3);
	const type_code types[3] = { B_RAW_TYPE, B_RAW_TYPE, B_STRING_TYPE };
	for (int i = 0; i < 3; i++) {
		records[i].type = types[i];
		records[i].id = i;
		records[i].loaded = true;
		records[i].data.assign((size_t)i + 1, (uint8)('a' + i));
		records[i].size = records[i].data.size();
	}
	records[1].name = "second";
	std::vector<uint8> section;
	ASSERT_EQ(B_OK, build_resource_section(records, &section));
	std::vector<uint8> file = { 'R', 'S', 0, 0 };
	file.insert(file.end(), section.begin(), section.end());

	std::vector<ResourceRecord> read;
	ASSERT_EQ(B_OK, parse(file, &read));
	ASSERT_EQ(3u, read.size());
	EXPECT_EQ("second", read[1].name);
	EXPECT_EQ("", read[2].name);
	// Two blocks: 'RAWT' (two infos) and 'CSTR', each closed by one separator.
	uint32 infoSize = le32(file, 4 + 0xC0);
	EXPECT_EQ(4 + 10 + 10 + 7 + 8 + 4 + 10 + 8 + 8u, infoSize);
}

TEST(ResourceFile, IdentifiesContainersAndRefusesUnknownFiles)
{
	std::vector<uint8> text = { 'h', 'e', 'l', 'l', 'o', '\n' };
	std::vector<ResourceRecord> records;
	ResourceContainerInfo info;
	EXPECT_EQ(B_BAD_DATA, parse(text, &records, &info));

	// Clobbering gives the content up: the file becomes a plain resource file.
	MemoryResourceSource source(text.data(), text.size());
	ASSERT_EQ(B_OK, identify_resource_container(source, true, &info));
	EXPECT_EQ(B_RESOURCE_CONTAINER_EMPTY, info.kind);
	EXPECT_FALSE(info.hasSection);

	std::vector<uint8> empty;
	ASSERT_EQ(B_OK, parse(empty, &records, &info));
	EXPECT_EQ(B_RESOURCE_CONTAINER_EMPTY, info.kind);
	EXPECT_TRUE(records.empty());

	// Clobbering an executable keeps its image and drops its resources.
	std::vector<uint8> elf = read_test_file("elf");
	MemoryResourceSource elfSource(elf.data(), elf.size());
	ASSERT_EQ(B_OK, identify_resource_container(elfSource, true, &info));
	EXPECT_EQ(B_RESOURCE_CONTAINER_ELF32, info.kind);
	EXPECT_EQ(0x1000u, info.sectionOffset);
	EXPECT_FALSE(info.hasSection);
}

namespace {

struct Mutation {
	const char* what;
	size_t offset; // relative to the section (file offset 4)
	uint32 value;
	bool fixChecksum;
};

} // namespace

TEST(ResourceFile, RefusesMalformedSections)
{
	// x86.rsrc: index entries at 0xC8 (offset, size, 0), info table at 0x7F2 (size 0x7D)
	// with infos at 0x7F6 ('CSTR'), 0x81A ('LONG' block at 0x81A), 0x844 ('MIMS').
	const Mutation kMutations[] = {
		{ "bad magic", 0x00, 0x444F1001, false },
		{ "count too large", 0x04, 10001, false },
		{ "count past the index entries", 0x04, 4, false },
		{ "index section offset", 0x08, 0x48, false },
		{ "admin size", 0x0C, 0x648, false },
		{ "index header offset", 0x44, 0x40, false },
		{ "index section size", 0x48, 0xC00, false },
		{ "unknown section offset", 0x50, 0x640, false },
		{ "unknown section size", 0x54, 0x100, false },
		{ "info table past the end", 0xBC, 0x7F3, false },
		{ "info table far past the end", 0xBC, 0xFFFFFFF0, false },
		{ "info table inside the admin section", 0xBC, 0x100, false },
		{ "info size past the end", 0xC0, 0x7E, false },
		{ "info size huge", 0xC0, 0xFFFFFFFF, false },
		{ "info size too small", 0xC0, 4, false },
		{ "data offset past the end", 0xC8, 0xFFFFFFF0, false },
		{ "data inside the admin section", 0xC8, 0x100, false },
		{ "data overlapping the next", 0xCC, 0x24, false },
		{ "data overlapping the info table", 0xE4, 0x20, false },
		{ "data size huge", 0xCC, 0xFFFFFFFF, false },
		{ "bad checksum", 0x7F2 + 0x7D - 8, 0x37AB0B58, false },
		{ "name past the table", 0x7F2 + 12, 0x7F00, true },
		{ "name not terminated", 0x7F2 + 12, 0x11, true },
		{ "duplicate index", 0x7F2 + 0x28 + 8, 1, true },
		{ "duplicate type and id", 0x7F2 + 0x4E, B_INT32_TYPE, true },
		{ "broken separator", 0x7F2 + 0x24, 0x00FFFFFF, true },
	};
	const std::vector<uint8> valid = read_test_file("x86.rsrc");
	std::vector<ResourceRecord> records;
	ASSERT_EQ(B_OK, parse(valid, &records));

	for (const Mutation& mutation : kMutations) {
		SCOPED_TRACE(mutation.what);
		std::vector<uint8> bytes = valid;
		size_t at = 4 + mutation.offset;
		if (strcmp(mutation.what, "duplicate type and id") == 0) {
			// Make the 'MIMS' 29 info a second 'LONG' 17.
			set_le32(bytes, at, mutation.value);
			set_le32(bytes, at + 4, 17);
		} else if (strcmp(mutation.what, "name past the table") == 0
			|| strcmp(mutation.what, "name not terminated") == 0) {
			bytes[at] = (uint8)mutation.value;
			bytes[at + 1] = (uint8)(mutation.value >> 8);
		} else {
			set_le32(bytes, at, mutation.value);
		}
		if (mutation.fixChecksum) {
			size_t table = 4 + 0x7F2;
			set_le32(bytes, table + 0x7D - 8, resource_checksum(&bytes[table], 0x7D - 8));
		}
		EXPECT_NE(B_OK, parse(bytes, &records));
		EXPECT_TRUE(records.empty());
	}
}

TEST(ResourceFile, RefusesEveryTruncation)
{
	for (const char* name : { "x86.rsrc", "elf", "ppc.rsrc", "pef" }) {
		std::vector<uint8> valid = read_test_file(name);
		ResourceContainerInfo info;
		std::vector<ResourceRecord> records;
		ASSERT_EQ(B_OK, parse(valid, &records, &info));
		for (size_t length = info.sectionOffset + 1; length < valid.size(); length++) {
			std::vector<uint8> bytes(valid.begin(), valid.begin() + (long)length);
			EXPECT_NE(B_OK, parse(bytes, &records)) << name << " cut at " << length;
		}
	}
}

TEST(ResourceFile, NoSingleByteChangeLeadsOutOfBounds)
{
	// Whatever one corrupted byte does, a file is either refused or every resource it
	// lists lies inside the file (ASan checks the reads).
	const std::vector<uint8> valid = read_test_file("unzip.rsc");
	for (size_t at = 0; at < valid.size(); at++) {
		for (uint8 flip : { 0x01, 0x80, 0xFF }) {
			std::vector<uint8> bytes = valid;
			bytes[at] ^= flip;
			std::vector<ResourceRecord> records;
			if (parse(bytes, &records) != B_OK)
				continue;
			for (const ResourceRecord& record : records)
				ASSERT_LE(record.offset + record.size, bytes.size()) << at;
		}
	}
}

TEST(ResourceFile, FindsTheSectionBehindAnElf64Image)
{
	// A Linux program: the section starts at the image end aligned to 8.
	std::ifstream stream("/bin/true", std::ios::binary);
	std::vector<uint8> program(std::istreambuf_iterator<char>(stream), {});
	ResourceContainerInfo info;
	std::vector<ResourceRecord> records;
	ASSERT_EQ(B_OK, parse(program, &records, &info));
	ASSERT_EQ(B_RESOURCE_CONTAINER_ELF64, info.kind);
	EXPECT_EQ(0u, info.sectionOffset % 8);
	EXPECT_GE(info.sectionOffset, info.imageEnd);
	EXPECT_LT(info.sectionOffset - info.imageEnd, 8u);

	ResourceRecord record;
	record.type = B_STRING_TYPE;
	record.id = 1;
	record.loaded = true;
	record.data = { 'h', 'i', 0 };
	record.size = 3;
	status_t status;
	std::vector<uint8> written = write_to_memory(program, info, { record }, &status);
	ASSERT_EQ(B_OK, status);
	EXPECT_TRUE(
		std::equal(program.begin(), program.begin() + (long)info.imageEnd, written.begin()));
	ASSERT_EQ(B_OK, parse(written, &records, &info));
	ASSERT_EQ(1u, records.size());
	EXPECT_EQ(0, memcmp("hi", &written[records[0].offset], 3));
}

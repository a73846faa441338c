// Feeds arbitrary bytes to the resource reader as the content of a file. What it accepts
// must list resources that lie inside the input, and writing them again in the x86 layout
// must read back to the same resources. The sanitizers catch any read past the input.
#include "ResourceFile.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace BPrivate;

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	MemoryResourceSource source(data, size);
	ResourceContainerInfo info;
	std::vector<ResourceRecord> records;
	if (read_resources(source, &info, &records) != B_OK) {
		if (!records.empty())
			abort();
		return 0;
	}

	for (ResourceRecord& record : records) {
		if (record.offset > size || record.size > size - record.offset)
			abort();
		record.data.resize((size_t)record.size);
		if (source.ReadAt(record.offset, record.data.data(), record.data.size()) != B_OK)
			abort();
		record.loaded = true;
	}

	std::vector<uint8> file = { 'R', 'S', 0, 0 };
	std::vector<uint8> section;
	if (build_resource_section(records, &section) != B_OK)
		abort();
	file.insert(file.end(), section.begin(), section.end());

	MemoryResourceSource written(file.data(), file.size());
	std::vector<ResourceRecord> again;
	if (read_resources(written, &info, &again) != B_OK || again.size() != records.size())
		abort();
	for (size_t i = 0; i < records.size(); i++) {
		const ResourceRecord& before = records[i];
		const ResourceRecord& after = again[i];
		if (before.type != after.type || before.id != after.id || before.name != after.name
			|| before.size != after.size
			|| (after.size > 0
				&& memcmp(before.data.data(), file.data() + after.offset, after.size) != 0)) {
			abort();
		}
	}
	return 0;
}

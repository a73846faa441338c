// The attribute and timestamp extra fields of our ZIP archives (layouts: docs/platform.md).
#include "LibZipFields.h"

#include <algorithm>
#include <map>

namespace lib_zip {

namespace {

// Version, type, total size, chunk offset, name length.
const size_t kRecordHeader = 1 + 4 + 4 + 4 + 1;
// The id and size that precede every extra field.
const size_t kFieldHeader = 4;

void
put32(std::vector<uint8>& out, uint32 value)
{
	for (int shift = 0; shift < 32; shift += 8)
		out.push_back((uint8)(value >> shift));
}

uint32
get32(const uint8* data)
{
	return (uint32)data[0] | (uint32)data[1] << 8 | (uint32)data[2] << 16 | (uint32)data[3] << 24;
}

struct Chunk {
	uint32 offset;
	std::vector<uint8> bytes;
};

struct Pending {
	type_code type;
	uint32 size;
	std::vector<Chunk> chunks;
	bool broken = false;
};

} // namespace

bool
EncodeAttributes(const std::vector<Attribute>& attributes,
	std::vector<std::vector<uint8>>* localFields, std::vector<std::vector<uint8>>* centralFields)
{
	size_t left[2] = { kHeaderBudget, kHeaderBudget };
	std::vector<std::vector<uint8>>* fields[2] = { localFields, centralFields };
	int header = 0;

	for (const Attribute& attribute : attributes) {
		if (attribute.name.empty() || attribute.name.size() > 255
			|| attribute.data.size() > kMaxAttributeSize) {
			return false;
		}
		size_t overhead = kFieldHeader + kRecordHeader + attribute.name.size();
		size_t offset = 0;
		do {
			size_t remaining = attribute.data.size() - offset;
			size_t needed = overhead + (remaining > 0 ? 1 : 0);
			while (header < 2 && left[header] < needed)
				header++;
			if (header == 2)
				return false;

			size_t chunk = std::min(remaining, left[header] - overhead);
			std::vector<uint8> field;
			field.reserve(kRecordHeader + attribute.name.size() + chunk);
			field.push_back(kAttributeFieldVersion);
			put32(field, attribute.type);
			put32(field, (uint32)attribute.data.size());
			put32(field, (uint32)offset);
			field.push_back((uint8)attribute.name.size());
			field.insert(field.end(), attribute.name.begin(), attribute.name.end());
			field.insert(field.end(), attribute.data.begin() + offset,
				attribute.data.begin() + offset + chunk);
			fields[header]->push_back(std::move(field));
			left[header] -= overhead + chunk;
			offset += chunk;
		} while (offset < attribute.data.size());
	}
	return true;
}

bool
DecodeAttributes(const std::vector<std::vector<uint8>>& fields, std::vector<Attribute>* attributes)
{
	bool complete = true;
	std::map<std::string, Pending> pending;
	std::vector<std::string> order;

	for (const std::vector<uint8>& field : fields) {
		if (field.size() < kRecordHeader || field[0] != kAttributeFieldVersion) {
			complete = false;
			continue;
		}
		size_t nameLength = field[13];
		if (nameLength == 0 || kRecordHeader + nameLength > field.size()) {
			complete = false;
			continue;
		}
		std::string name((const char*)field.data() + kRecordHeader, nameLength);
		type_code type = get32(field.data() + 1);
		uint32 size = get32(field.data() + 5);
		uint32 offset = get32(field.data() + 9);
		size_t chunkLength = field.size() - kRecordHeader - nameLength;
		if (size > kMaxAttributeSize || offset > size || chunkLength > size - offset) {
			complete = false;
			continue;
		}

		auto found = pending.find(name);
		if (found == pending.end()) {
			found = pending.emplace(name, Pending { type, size, {} }).first;
			order.push_back(name);
		} else if (found->second.type != type || found->second.size != size) {
			found->second.broken = true;
			continue;
		}
		const uint8* chunk = field.data() + kRecordHeader + nameLength;
		found->second.chunks.push_back(
			Chunk { offset, std::vector<uint8>(chunk, chunk + chunkLength) });
	}

	for (const std::string& name : order) {
		Pending& record = pending[name];
		std::sort(record.chunks.begin(), record.chunks.end(),
			[](const Chunk& a, const Chunk& b) { return a.offset < b.offset; });

		// The chunks must tile the attribute; a chunk repeated byte for byte (a field kept
		// in both headers) is no harm.
		Attribute attribute;
		attribute.name = name;
		attribute.type = record.type;
		bool ok = !record.broken;
		for (size_t i = 0; ok && i < record.chunks.size(); i++) {
			const Chunk& chunk = record.chunks[i];
			if (i > 0 && chunk.offset == record.chunks[i - 1].offset
				&& chunk.bytes == record.chunks[i - 1].bytes) {
				continue;
			}
			if (chunk.offset != attribute.data.size()) {
				ok = false;
				break;
			}
			attribute.data.insert(attribute.data.end(), chunk.bytes.begin(), chunk.bytes.end());
		}
		if (!ok || attribute.data.size() != record.size) {
			complete = false;
			continue;
		}
		attributes->push_back(std::move(attribute));
	}
	return complete;
}

std::vector<uint8>
EncodeTimestamp(time_t modified, time_t accessed, bool central)
{
	std::vector<uint8> field;
	if (modified < INT32_MIN || modified > INT32_MAX)
		return field;
	bool withAccess = accessed >= INT32_MIN && accessed <= INT32_MAX;
	field.push_back(withAccess ? 0x03 : 0x01);
	put32(field, (uint32)(int32)modified);
	if (withAccess && !central)
		put32(field, (uint32)(int32)accessed);
	return field;
}

bool
DecodeTimestamp(const uint8* data, size_t length, time_t* modified, time_t* accessed)
{
	if (length < 5 || (data[0] & 0x01) == 0)
		return false;
	*modified = (int32)get32(data + 1);
	*accessed = *modified;
	if ((data[0] & 0x02) != 0 && length >= 9)
		*accessed = (int32)get32(data + 5);
	return true;
}

} // namespace lib_zip

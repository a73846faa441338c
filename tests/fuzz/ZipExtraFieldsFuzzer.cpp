// Feeds arbitrary bytes to the readers of the ZIP extra fields we read: the attribute
// field (0x4E42) and Info-ZIP's extended timestamp ("UT", 0x5455). The input is cut into
// fields, each a little-endian 16-bit length and that many bytes, as an entry's extra
// fields are. Whatever the attribute reader keeps must be a well-formed attribute that
// writes and reads back unchanged; a timestamp it reads must write and read back alike.
#include "LibZipFields.h"

#include <cstdlib>
#include <vector>

using namespace lib_zip;

namespace {

bool
same_attributes(const std::vector<Attribute>& a, const std::vector<Attribute>& b)
{
	if (a.size() != b.size())
		return false;
	for (size_t i = 0; i < a.size(); i++) {
		if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data)
			return false;
	}
	return true;
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::vector<std::vector<uint8>> fields;
	size_t offset = 0;
	while (offset + 2 <= size) {
		size_t length = data[offset] | (size_t)data[offset + 1] << 8;
		offset += 2;
		if (length > size - offset)
			length = size - offset;
		fields.emplace_back(data + offset, data + offset + length);
		offset += length;
	}

	std::vector<Attribute> attributes;
	DecodeAttributes(fields, &attributes);
	for (const Attribute& attribute : attributes) {
		if (attribute.name.empty() || attribute.name.size() > 255
			|| attribute.data.size() > kMaxAttributeSize) {
			abort();
		}
	}
	std::vector<std::vector<uint8>> local;
	std::vector<std::vector<uint8>> central;
	if (EncodeAttributes(attributes, &local, &central)) {
		std::vector<std::vector<uint8>> all = local;
		all.insert(all.end(), central.begin(), central.end());
		std::vector<Attribute> again;
		if (!DecodeAttributes(all, &again) || !same_attributes(attributes, again))
			abort();
	}

	for (const std::vector<uint8>& field : fields) {
		time_t modified;
		time_t accessed;
		if (!DecodeTimestamp(field.data(), field.size(), &modified, &accessed))
			continue;
		std::vector<uint8> written = EncodeTimestamp(modified, accessed, false);
		time_t modifiedAgain;
		time_t accessedAgain;
		if (!DecodeTimestamp(written.data(), written.size(), &modifiedAgain, &accessedAgain)
			|| modifiedAgain != modified || accessedAgain != accessed) {
			abort();
		}
	}
	return 0;
}

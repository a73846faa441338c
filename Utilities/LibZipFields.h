// The ZIP extra fields that carry what a plain ZIP archive loses: the attributes of each
// entry (a field of our own, "BN") and exact times (Info-ZIP's extended timestamp, which
// Info-ZIP's own tools restore too). The layouts are in docs/platform.md; Info-ZIP's tools
// skip the attribute field as an unknown one.
#ifndef LIB_ZIP_FIELDS_H
#define LIB_ZIP_FIELDS_H

#include <SupportDefs.h>

#include <stdint.h>
#include <string>
#include <time.h>
#include <vector>

namespace lib_zip {

// "BN" in the archive's bytes.
const uint16 kAttributeFieldId = 0x4e42;
const uint8 kAttributeFieldVersion = 1;
// Info-ZIP's extended timestamp ("UT").
const uint16 kTimestampFieldId = 0x5455;

// The bytes all extra fields of one header can hold, less room kept for the fields that
// libzip adds itself (Zip64) and the timestamp.
const size_t kHeaderBudget = 65535 - 64;
// The largest attribute the platform stores, and so the largest one accepted back.
const size_t kMaxAttributeSize = 65536;

struct Attribute {
	std::string name;
	type_code type = 0;
	std::vector<uint8> data;
};

// The attribute fields of one entry, split over the local header and the central
// directory: each attribute becomes one or more fields (chunks of its data) filling the
// local header's budget first. False when the attributes do not fit in both.
bool EncodeAttributes(const std::vector<Attribute>& attributes,
	std::vector<std::vector<uint8>>* localFields, std::vector<std::vector<uint8>>* centralFields);

// Reassembles attributes from the payloads of every attribute field of an entry, in any
// order. Fields that are malformed, and attributes whose chunks do not cover them exactly,
// are left out; false when anything was left out.
bool DecodeAttributes(
	const std::vector<std::vector<uint8>>& fields, std::vector<Attribute>* attributes);

// An access time that the timestamp field leaves out.
const time_t kNoAccessTime = (time_t)INT64_MIN;

// The extended timestamp: local headers carry the modification and access times, the
// central directory the modification time only. Empty when the modification time lies
// outside the field's 32-bit range; an access time outside it is left out.
std::vector<uint8> EncodeTimestamp(time_t modified, time_t accessed, bool central);
// The times a timestamp field holds; false when it holds no modification time. accessed
// is the modification time when the field does not have it.
bool DecodeTimestamp(const uint8* data, size_t length, time_t* modified, time_t* accessed);

} // namespace lib_zip

#endif // LIB_ZIP_FIELDS_H

// The attribute and timestamp extra fields: exact round trips, splitting across the two
// headers of an entry, the limits, and decoding of damaged or reordered records.
#include "LibZipFields.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

using namespace lib_zip;

namespace {

Attribute
attribute(const std::string& name, type_code type, size_t size, unsigned seed = 1)
{
	Attribute result;
	result.name = name;
	result.type = type;
	std::mt19937 generator(seed);
	for (size_t i = 0; i < size; i++)
		result.data.push_back((uint8)generator());
	return result;
}

bool
same(const std::vector<Attribute>& a, const std::vector<Attribute>& b)
{
	if (a.size() != b.size())
		return false;
	for (size_t i = 0; i < a.size(); i++) {
		if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data)
			return false;
	}
	return true;
}

size_t
total_size(const std::vector<std::vector<uint8>>& fields)
{
	size_t total = 0;
	for (const std::vector<uint8>& field : fields)
		total += 4 + field.size();
	return total;
}

std::vector<std::vector<uint8>>
all_fields(const std::vector<Attribute>& attributes)
{
	std::vector<std::vector<uint8>> local;
	std::vector<std::vector<uint8>> central;
	EncodeAttributes(attributes, &local, &central);
	local.insert(local.end(), central.begin(), central.end());
	return local;
}

} // namespace

TEST(LibZipFields, AttributesRoundTripExactly)
{
	std::vector<Attribute> attributes = { attribute("BEOS:TYPE", B_MIME_STRING_TYPE, 11),
		attribute("empty", B_RAW_TYPE, 0), attribute("InstallBy", B_STRING_TYPE, 40),
		attribute(std::string(255, 'n'), 'ABCD', 300) };
	std::vector<std::vector<uint8>> local;
	std::vector<std::vector<uint8>> central;
	ASSERT_TRUE(EncodeAttributes(attributes, &local, &central));
	EXPECT_EQ(local.size(), 4u);
	EXPECT_TRUE(central.empty());

	std::vector<Attribute> decoded;
	EXPECT_TRUE(DecodeAttributes(local, &decoded));
	EXPECT_TRUE(same(decoded, attributes));
}

TEST(LibZipFields, LargeAttributesSplitAcrossBothHeadersWithinTheirRoom)
{
	std::vector<Attribute> attributes = { attribute("largest", B_RAW_TYPE, kMaxAttributeSize, 2),
		attribute("second", B_RAW_TYPE, 50000, 3), attribute("small", B_STRING_TYPE, 10, 4) };
	std::vector<std::vector<uint8>> local;
	std::vector<std::vector<uint8>> central;
	ASSERT_TRUE(EncodeAttributes(attributes, &local, &central));
	EXPECT_FALSE(central.empty());
	EXPECT_LE(total_size(local), kHeaderBudget);
	EXPECT_LE(total_size(central), kHeaderBudget);

	std::vector<std::vector<uint8>> fields = local;
	fields.insert(fields.end(), central.begin(), central.end());
	// The order of the fields does not matter.
	std::reverse(fields.begin(), fields.end());
	std::vector<Attribute> decoded;
	EXPECT_TRUE(DecodeAttributes(fields, &decoded));
	std::sort(decoded.begin(), decoded.end(),
		[](const Attribute& a, const Attribute& b) { return a.data.size() > b.data.size(); });
	EXPECT_TRUE(same(decoded, attributes));
}

TEST(LibZipFields, EncodingRefusesWhatCannotBeStored)
{
	std::vector<std::vector<uint8>> local;
	std::vector<std::vector<uint8>> central;
	EXPECT_FALSE(EncodeAttributes(
		{ attribute("a", B_RAW_TYPE, 60000, 1), attribute("b", B_RAW_TYPE, 60000, 2),
			attribute("c", B_RAW_TYPE, 60000, 3) },
		&local, &central));
	EXPECT_FALSE(EncodeAttributes({ attribute("", B_RAW_TYPE, 1) }, &local, &central));
	EXPECT_FALSE(
		EncodeAttributes({ attribute(std::string(256, 'n'), B_RAW_TYPE, 1) }, &local, &central));
	EXPECT_FALSE(EncodeAttributes(
		{ attribute("big", B_RAW_TYPE, kMaxAttributeSize + 1) }, &local, &central));
}

TEST(LibZipFields, DamagedRecordsAreLeftOutAndOthersKept)
{
	Attribute good = attribute("good", B_STRING_TYPE, 20, 5);
	std::vector<std::vector<uint8>> goodFields = all_fields({ good });
	std::vector<std::vector<uint8>> chunked =
		all_fields({ attribute("chunked", B_RAW_TYPE, kMaxAttributeSize, 6) });
	ASSERT_GE(chunked.size(), 2u);

	struct Row {
		const char* what;
		std::function<void(std::vector<std::vector<uint8>>&)> damage;
	};

	const Row rows[] = {
		{ "a chunk missing", [](auto& fields) { fields.pop_back(); } },
		{ "unknown version", [](auto& fields) { fields[0][0] = 2; } },
		{ "truncated header", [](auto& fields) { fields[0].resize(10); } },
		{ "name longer than the field",
			[](auto& fields) {
				fields[0][13] = 250;
				fields[0].resize(30);
			} },
		{ "size beyond the platform's limit",
			[](auto& fields) {
				fields[0][5] = 0x01;
				fields[0][6] = 0x00;
				fields[0][7] = 0x02;
			} },
		{ "chunk beyond the size", [](auto& fields) { fields[0].push_back(0); } },
		{ "chunks of different types", [](auto& fields) { fields[1][1] ^= 1; } },
		{ "overlapping chunk",
			[](auto& fields) {
				fields.push_back(fields[1]);
				fields.back().back() ^= 1;
			} },
	};
	for (const Row& row : rows) {
		std::vector<std::vector<uint8>> fields = chunked;
		row.damage(fields);
		fields.insert(fields.end(), goodFields.begin(), goodFields.end());
		std::vector<Attribute> decoded;
		EXPECT_FALSE(DecodeAttributes(fields, &decoded)) << row.what;
		EXPECT_TRUE(same(decoded, { good })) << row.what;
	}

	// The same chunk kept twice, byte for byte, is no damage.
	std::vector<std::vector<uint8>> fields = chunked;
	fields.push_back(chunked[0]);
	std::vector<Attribute> decoded;
	EXPECT_TRUE(DecodeAttributes(fields, &decoded));
	ASSERT_EQ(decoded.size(), 1u);
	EXPECT_EQ(decoded[0].data.size(), kMaxAttributeSize);
}

TEST(LibZipFields, TimestampsRoundTripWithinTheirRange)
{
	time_t modified = 0;
	time_t accessed = 0;
	std::vector<uint8> local = EncodeTimestamp(1000000000, 1000000500, false);
	ASSERT_EQ(local.size(), 9u);
	ASSERT_TRUE(DecodeTimestamp(local.data(), local.size(), &modified, &accessed));
	EXPECT_EQ(modified, 1000000000);
	EXPECT_EQ(accessed, 1000000500);

	std::vector<uint8> central = EncodeTimestamp(1000000000, 1000000500, true);
	ASSERT_EQ(central.size(), 5u);
	ASSERT_TRUE(DecodeTimestamp(central.data(), central.size(), &modified, &accessed));
	EXPECT_EQ(accessed, 1000000000);

	std::vector<uint8> early = EncodeTimestamp(-86400, -86400, false);
	ASSERT_TRUE(DecodeTimestamp(early.data(), early.size(), &modified, &accessed));
	EXPECT_EQ(modified, -86400);

	EXPECT_TRUE(EncodeTimestamp((time_t)INT32_MAX + 1, 0, false).empty());
	uint8 accessOnly[] = { 0x02, 1, 2, 3, 4 };
	EXPECT_FALSE(DecodeTimestamp(accessOnly, sizeof(accessOnly), &modified, &accessed));
	EXPECT_FALSE(DecodeTimestamp(local.data(), 3, &modified, &accessed));
}

// The R5 flattened form: byte-exact output, real R5 files, the big-endian form, and the
// refusal of malformed input.
#include <Message.h>

#include <EntryRef.h>

#include <gtest/gtest.h>

#include <byteswap.h>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

typedef std::vector<uint8> Bytes;

Bytes
Flatten(const BMessage& message)
{
	Bytes bytes((size_t)message.FlattenedSize());
	EXPECT_EQ(B_OK, message.Flatten((char*)bytes.data(), (ssize_t)bytes.size()));
	return bytes;
}

Bytes
ReadFile(const std::string& name)
{
	std::ifstream file(std::string(BEINSTALLER_TESTDATA_DIR) + "/beos/" + name, std::ios::binary);
	return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The offset of the first R5 message in a file: its magic reads "1BOF" on disk.
size_t
FindMessageStart(const Bytes& file)
{
	const char kMagic[] = "1BOF";
	auto found = std::search(file.begin(), file.end(), kMagic, kMagic + 4);
	return (size_t)(found - file.begin());
}

// Builds flattened messages byte by byte, independently of the code under test, in
// either byte order.
class FlatBuilder {
public:
	explicit FlatBuilder(bool bigEndian = false) :
		fBigEndian(bigEndian)
	{
	}

	FlatBuilder& Byte(uint8 value)
	{
		fBytes.push_back(value);
		return *this;
	}

	FlatBuilder& Raw(const void* data, size_t size)
	{
		fBytes.insert(fBytes.end(), (const uint8*)data, (const uint8*)data + size);
		return *this;
	}

	FlatBuilder& Text(const char* text, bool withNul)
	{
		return Raw(text, strlen(text) + (withNul ? 1 : 0));
	}

	FlatBuilder& Int16(uint16 value)
	{
		if (fBigEndian)
			value = bswap_16(value);
		return Raw(&value, 2);
	}

	FlatBuilder& Int32(uint32 value)
	{
		if (fBigEndian)
			value = bswap_32(value);
		return Raw(&value, 4);
	}

	FlatBuilder& Int64(uint64 value)
	{
		if (fBigEndian)
			value = bswap_64(value);
		return Raw(&value, 8);
	}

	FlatBuilder& Float(float value)
	{
		uint32 bits;
		memcpy(&bits, &value, 4);
		return Int32(bits);
	}

	FlatBuilder& Double(double value)
	{
		uint64 bits;
		memcpy(&bits, &value, 8);
		return Int64(bits);
	}

	FlatBuilder& Zeros(size_t count)
	{
		fBytes.insert(fBytes.end(), count, 0);
		return *this;
	}

	// The header: magic, checksum and size placeholders, what and flags.
	FlatBuilder& Header(uint32 what, uint8 flags = 0x01)
	{
		Int32('FOB1');
		Int32(0);
		Int32(0);
		Int32(what);
		Byte(flags);
		return *this;
	}

	// A field header; count is left out for a single item.
	FlatBuilder& Field(uint8 flags, uint32 type, uint32 count, uint32 length, const char* name)
	{
		Byte(flags);
		Int32(type);
		bool mini = (flags & 0x02) != 0;
		if ((flags & 0x08) == 0)
			mini ? Byte((uint8)count) : Int32(count);
		mini ? Byte((uint8)length) : Int32(length);
		Byte((uint8)strlen(name));
		return Text(name, false);
	}

	// One variable-size item with its size and zero padding.
	FlatBuilder& Item(const void* data, uint32 size)
	{
		Int32(size);
		Raw(data, size);
		return Zeros(((4 + size + 7) & ~7u) - 4 - size);
	}

	// Appends the end marker and fills in size and checksum.
	Bytes Finish(size_t headerSize = 17)
	{
		Byte(0);
		return Seal(headerSize);
	}

	// Fills in size and checksum without adding anything.
	Bytes Seal(size_t headerSize = 17)
	{
		Bytes bytes = fBytes;
		SetInt32(bytes, 8, (uint32)bytes.size());
		SetInt32(bytes, 4, Checksum(bytes, headerSize));
		return bytes;
	}

	void SetInt32(Bytes& bytes, size_t offset, uint32 value) const
	{
		if (fBigEndian)
			value = bswap_32(value);
		memcpy(bytes.data() + offset, &value, 4);
	}

	static uint32 Checksum(const Bytes& bytes, size_t headerSize)
	{
		uint32 sum = 0;
		size_t position = 8;
		for (; position + 4 <= headerSize; position += 4) {
			sum += (uint32)bytes[position] << 24 | (uint32)bytes[position + 1] << 16
				| (uint32)bytes[position + 2] << 8 | bytes[position + 3];
		}
		uint32 rest = 0;
		for (; position < headerSize; position++)
			rest = rest << 8 | bytes[position];
		return sum + rest;
	}

private:
	bool fBigEndian;
	Bytes fBytes;
};

const Bytes kEmptyMessage = { 0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x00, 0x12, 0x12, 0x00, 0x00,
	0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00 };

const Bytes kTypesMessage = { 0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x00, 0x36, 0x36, 0x00, 0x00,
	0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x0B, 0x52, 0x54, 0x53, 0x43, 0x18, 0x05, 't', 'y', 'p',
	'e', 's', 0x10, 0x00, 0x00, 0x00, 'a', 'p', 'p', 'l', 'i', 'c', 'a', 't', 'i', 'o', 'n', '/',
	'z', 'i', 'p', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 };

BMessage
MakeMessageWithEveryType()
{
	BMessage message('abcd');
	message.AddBool("bool", true);
	message.AddBool("bool", false);
	message.AddInt8("int8", -8);
	message.AddUInt8("uint8", 200);
	message.AddInt16("int16", -1600);
	message.AddUInt16("uint16", 60000);
	message.AddInt32("int32", -32);
	message.AddInt32("int32", INT32_MAX);
	message.AddInt32("int32", INT32_MIN);
	message.AddUInt32("uint32", 0xdeadbeef);
	message.AddInt64("int64", INT64_MIN);
	message.AddUInt64("uint64", UINT64_MAX);
	message.AddFloat("float", 1.5f);
	message.AddDouble("double", -2.25);
	message.AddString("string", "first");
	message.AddString("string", "");
	message.AddString("string", "third value, a little longer than the rest");
	message.AddString("", "empty name");
	message.AddPoint("point", BPoint(1.5f, -2.0f));
	message.AddRect("rect", BRect(0, 0, 31, 31));
	message.AddColor("color", make_color(1, 2, 3, 4));
	entry_ref ref(3, 1234567890123LL, "leaf name");
	message.AddRef("ref", &ref);
	entry_ref unnamed(5, 6, NULL);
	message.AddRef("ref", &unnamed);
	const uint8 odd[7] = { 1, 2, 3, 4, 5, 6, 7 };
	message.AddData("fixed raw", B_RAW_TYPE, odd, sizeof(odd));
	message.AddData("fixed raw", B_RAW_TYPE, odd, sizeof(odd));
	message.AddData("variable raw", B_RAW_TYPE, odd, 3, false);
	message.AddData("variable raw", B_RAW_TYPE, odd, 7, false);
	message.AddData("variable raw", B_RAW_TYPE, NULL, 0, false);
	message.AddData("any", B_ANY_TYPE, odd, 5);
	BMessage inner('innr');
	inner.AddString("class", "BBitmap");
	BMessage innermost('deep');
	innermost.AddInt32("level", 3);
	inner.AddMessage("child", &innermost);
	message.AddMessage("nested", &inner);
	message.AddMessage("nested", &innermost);
	BMessage empty;
	message.AddMessage("empty", &empty);
	return message;
}

} // namespace

TEST(MessageFlatten, EmptyMessageMatchesR5Bytes)
{
	BMessage message;
	EXPECT_EQ(18, message.FlattenedSize());
	EXPECT_EQ(kEmptyMessage, Flatten(message));
}

TEST(MessageFlatten, SupportedTypesMessageMatchesR5Bytes)
{
	BMessage message;
	message.AddString("types", "application/zip");
	EXPECT_EQ(54, message.FlattenedSize());
	EXPECT_EQ(kTypesMessage, Flatten(message));
}

TEST(MessageFlatten, FieldHeadersUseTheMiniFormOnlyWhenCountsFit)
{
	// Five int32 values: flags 0x07, count 5, length 0x14; one int32: flags 0x0F.
	BMessage message;
	for (int32 i = 0; i < 5; i++)
		message.AddInt32("five", i);
	message.AddInt32("one", 1);
	Bytes bytes = Flatten(message);
	const uint8 kFive[] = { 0x07, 'G', 'N', 'O', 'L', 5, 0x14, 4, 'f', 'i', 'v', 'e' };
	EXPECT_EQ(0, memcmp(bytes.data() + 17, kFive, sizeof(kFive)));
	const uint8 kOne[] = { 0x0F, 'G', 'N', 'O', 'L', 4, 3, 'o', 'n', 'e', 1, 0, 0, 0 };
	EXPECT_EQ(0, memcmp(bytes.data() + 17 + sizeof(kFive) + 20, kOne, sizeof(kOne)));

	// 256 values and 300 bytes of data need four-byte counts and lengths.
	BMessage large;
	for (int32 i = 0; i < 256; i++)
		large.AddInt8("many", (int8)i);
	Bytes largeBytes = Flatten(large);
	EXPECT_EQ(0x05, largeBytes[17]);
	uint32 count;
	memcpy(&count, largeBytes.data() + 22, 4);
	EXPECT_EQ(256u, count);

	BMessage longValue;
	std::string text(299, 'x');
	longValue.AddString("long", text.c_str());
	Bytes longBytes = Flatten(longValue);
	EXPECT_EQ(0x09, longBytes[17]);

	for (const BMessage* original : { &large, &longValue }) {
		Bytes flat = Flatten(*original);
		BMessage copy;
		ASSERT_EQ(B_OK, copy.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
		EXPECT_TRUE(copy.HasSameData(*original));
	}
}

TEST(MessageFlatten, EveryFieldTypeSurvivesARoundTrip)
{
	BMessage original = MakeMessageWithEveryType();
	Bytes flat = Flatten(original);

	BMessage copy;
	ASSERT_EQ(B_OK, copy.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
	EXPECT_TRUE(copy.HasSameData(original, false, true));
	EXPECT_EQ(Flatten(copy), flat);

	EXPECT_EQ('abcd', copy.what);
	EXPECT_EQ(-8, copy.FindInt8("int8"));
	EXPECT_EQ(INT32_MIN, copy.FindInt32("int32", 2));
	EXPECT_EQ(UINT64_MAX, copy.GetUInt64("uint64", 0));
	EXPECT_STREQ("", copy.FindString("string", 1));
	EXPECT_STREQ("empty name", copy.FindString(""));
	EXPECT_EQ(BRect(0, 0, 31, 31), copy.FindRect("rect"));
	entry_ref ref;
	ASSERT_EQ(B_OK, copy.FindRef("ref", &ref));
	EXPECT_EQ(entry_ref(3, 1234567890123LL, "leaf name"), ref);
	ASSERT_EQ(B_OK, copy.FindRef("ref", 1, &ref));
	EXPECT_EQ(NULL, ref.name);

	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, copy.FindData("variable raw", B_RAW_TYPE, 2, &data, &size));
	EXPECT_EQ(0, size);
	bool fixedSize;
	type_code type;
	ASSERT_EQ(B_OK, copy.GetInfo("fixed raw", &type, &fixedSize));
	EXPECT_TRUE(fixedSize);
	ASSERT_EQ(B_OK, copy.GetInfo("variable raw", &type, &fixedSize));
	EXPECT_FALSE(fixedSize);

	BMessage inner;
	BMessage innermost;
	ASSERT_EQ(B_OK, copy.FindMessage("nested", &inner));
	ASSERT_EQ(B_OK, inner.FindMessage("child", &innermost));
	EXPECT_EQ('deep', innermost.what);
	EXPECT_EQ(3, innermost.FindInt32("level"));
}

TEST(MessageFlatten, FlattenNeedsARoomyBuffer)
{
	BMessage message;
	message.AddString("types", "application/zip");
	std::vector<char> buffer(53);
	EXPECT_EQ(B_BUFFER_OVERFLOW, message.Flatten(buffer.data(), (ssize_t)buffer.size()));
	EXPECT_EQ(B_BAD_VALUE, message.Flatten(NULL, 100));
}

TEST(MessageFlatten, PointersAndMessengersAreNeverWritten)
{
	BMessage message;
	int local = 0;
	message.AddPointer("pointer", &local);
	message.AddInt32("kept", 1);
	Bytes flat = Flatten(message);

	BMessage copy;
	ASSERT_EQ(B_OK, copy.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
	EXPECT_FALSE(copy.HasPointer("pointer"));
	EXPECT_TRUE(copy.HasInt32("kept"));

	// Nor read: a file cannot hand the process an address.
	Bytes crafted = FlatBuilder()
						.Header(0)
						.Field(0x0F, B_POINTER_TYPE, 1, 8, "p")
						.Int64(0x1234)
						.Field(0x0F, B_MESSENGER_TYPE, 1, 4, "m")
						.Int32(1)
						.Finish();
	ASSERT_EQ(B_OK, copy.Unflatten((const char*)crafted.data(), (ssize_t)crafted.size()));
	EXPECT_TRUE(copy.IsEmpty());
}

TEST(MessageFlatten, ReadsTheR5SupportedTypesMessageDespiteGarbagePadding)
{
	Bytes file = ReadFile("unzip.rsc");
	size_t start = FindMessageStart(file);
	ASSERT_LT(start, file.size());

	BMessage message;
	ASSERT_EQ(
		B_OK, message.Unflatten((const char*)file.data() + start, (ssize_t)(file.size() - start)));
	EXPECT_EQ(0u, message.what);
	EXPECT_EQ(1, message.CountNames(B_ANY_TYPE));
	EXPECT_STREQ("application/zip", message.FindString("types"));
	// Written again, the garbage in the padding is zeroed.
	EXPECT_EQ(kTypesMessage, Flatten(message));
}

TEST(MessageFlatten, ReadsTheR5EmptyMessage)
{
	Bytes file = ReadFile("reiserfs.rsrc");
	size_t start = FindMessageStart(file);
	ASSERT_LT(start, file.size());

	BMessage message('full');
	message.AddInt32("old", 1);
	ASSERT_EQ(
		B_OK, message.Unflatten((const char*)file.data() + start, (ssize_t)(file.size() - start)));
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ(0u, message.what);
	EXPECT_EQ(kEmptyMessage, Flatten(message));
}

TEST(MessageFlatten, UnsizedUnflattenReadsTheSizeFromTheHeader)
{
	// The message is followed by bytes that are not part of it.
	Bytes buffer = kTypesMessage;
	buffer.insert(buffer.end(), { 0xde, 0xad });
	BMessage message;
	ASSERT_EQ(B_OK, message.Unflatten((const char*)buffer.data()));
	EXPECT_STREQ("application/zip", message.FindString("types"));

	const char kWrongMagic[4] = { 'a', 'b', 'c', 'd' };
	EXPECT_EQ(B_NOT_A_MESSAGE, message.Unflatten(kWrongMagic));
	EXPECT_EQ(B_BAD_VALUE, message.Unflatten(NULL));
}

TEST(MessageFlatten, ReadsTheBigEndianForm)
{
	FlatBuilder nestedBuilder(true);
	Bytes nested = nestedBuilder.Header('innr')
					   .Field(0x0F, B_INT16_TYPE, 1, 2, "short")
					   .Int16(0x1234)
					   .Finish();

	FlatBuilder builder(true);
	const char kText[] = "big-endian text";
	const char kLeaf[] = "leaf";
	Bytes flat = builder.Header('BEND')
					 .Field(0x07, B_INT32_TYPE, 2, 8, "int32")
					 .Int32(0x01020304)
					 .Int32((uint32)-5)
					 .Field(0x0F, B_INT64_TYPE, 1, 8, "int64")
					 .Int64(0x0102030405060708ULL)
					 .Field(0x0F, B_DOUBLE_TYPE, 1, 8, "double")
					 .Double(-1.25)
					 .Field(0x0F, B_FLOAT_TYPE, 1, 4, "float")
					 .Float(3.5f)
					 .Field(0x0F, B_POINT_TYPE, 1, 8, "point")
					 .Float(1.0f)
					 .Float(2.0f)
					 .Field(0x0F, B_RECT_TYPE, 1, 16, "rect")
					 .Float(1.0f)
					 .Float(2.0f)
					 .Float(3.0f)
					 .Float(4.0f)
					 .Field(0x0F, B_RGB_COLOR_TYPE, 1, 4, "color")
					 .Byte(10)
					 .Byte(20)
					 .Byte(30)
					 .Byte(40)
					 .Field(0x0F, B_BOOL_TYPE, 1, 1, "bool")
					 .Byte(1)
					 .Field(0x0B, B_STRING_TYPE, 1, 24, "string")
					 .Item(kText, sizeof(kText))
					 .Field(0x0B, B_REF_TYPE, 1, 24, "ref")
					 .Int32(4 + 8 + sizeof(kLeaf))
					 .Int32(12)
					 .Int64(99)
					 .Text(kLeaf, true)
					 .Zeros(3)
					 .Field(0x0B, B_MESSAGE_TYPE, 1, 40, "nested")
					 .Item(nested.data(), (uint32)nested.size())
					 .Finish();
	ASSERT_EQ(32u, nested.size());
	BMessage message;
	ASSERT_EQ(B_OK, message.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
	EXPECT_EQ('BEND', message.what);
	EXPECT_EQ(0x01020304, message.FindInt32("int32"));
	EXPECT_EQ(-5, message.FindInt32("int32", 1));
	EXPECT_EQ(0x0102030405060708LL, message.FindInt64("int64"));
	EXPECT_EQ(-1.25, message.FindDouble("double"));
	EXPECT_EQ(3.5f, message.FindFloat("float"));
	EXPECT_EQ(BPoint(1.0f, 2.0f), message.FindPoint("point"));
	EXPECT_EQ(BRect(1.0f, 2.0f, 3.0f, 4.0f), message.FindRect("rect"));
	EXPECT_EQ(make_color(10, 20, 30, 40), message.GetColor("color", make_color(0, 0, 0)));
	EXPECT_TRUE(message.FindBool("bool"));
	EXPECT_STREQ(kText, message.FindString("string"));
	entry_ref ref;
	ASSERT_EQ(B_OK, message.FindRef("ref", &ref));
	EXPECT_EQ(entry_ref(12, 99, "leaf"), ref);
	BMessage inner;
	ASSERT_EQ(B_OK, message.FindMessage("nested", &inner));
	EXPECT_EQ('innr', inner.what);
	EXPECT_EQ(0x1234, inner.FindInt16("short"));

	// Written again, everything is little-endian, the nested message too.
	Bytes again = Flatten(message);
	EXPECT_EQ(0x31, again[0]);
	BMessage reread;
	ASSERT_EQ(B_OK, reread.Unflatten((const char*)again.data(), (ssize_t)again.size()));
	EXPECT_TRUE(reread.HasSameData(message));
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, reread.FindData("nested", B_MESSAGE_TYPE, &data, &size));
	EXPECT_EQ(0x31, *(const uint8*)data);
}

TEST(MessageFlatten, HeaderWithTargetAndReplyInformationIsRead)
{
	FlatBuilder builder;
	Bytes flat = builder.Header('trgt', 0x07)
					 .Int32(42)
					 .Zeros(16)
					 .Field(0x0F, B_INT8_TYPE, 1, 1, "x")
					 .Byte(9)
					 .Finish(17 + 4 + 16);
	BMessage message;
	ASSERT_EQ(B_OK, message.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
	EXPECT_EQ(9, message.FindInt8("x"));
	EXPECT_FALSE(message.IsSourceWaiting());
}

TEST(MessageFlatten, NestedMessagesAreReadUpToTheNestingLimit)
{
	auto nest = [](int levels) {
		BMessage message('leaf');
		for (int i = 0; i < levels; i++) {
			BMessage outer('node');
			outer.AddMessage("child", &message);
			message = outer;
		}
		return Flatten(message);
	};

	BMessage message;
	Bytes allowed = nest(64);
	EXPECT_EQ(B_OK, message.Unflatten((const char*)allowed.data(), (ssize_t)allowed.size()));
	Bytes tooDeep = nest(65);
	EXPECT_EQ(B_BAD_DATA, message.Unflatten((const char*)tooDeep.data(), (ssize_t)tooDeep.size()));
	EXPECT_TRUE(message.IsEmpty());
}

TEST(MessageFlatten, EveryTruncationFailsCleanly)
{
	Bytes flat = Flatten(MakeMessageWithEveryType());
	for (size_t size = 0; size < flat.size(); size++) {
		// An exact-size copy lets the address sanitizer catch any read past the end.
		std::vector<char> truncated(flat.begin(), flat.begin() + size);
		truncated.reserve(1);
		BMessage message('full');
		message.AddInt32("old", 1);
		status_t status = message.Unflatten(truncated.data(), (ssize_t)size);
		EXPECT_NE(B_OK, status) << "size " << size;
		EXPECT_TRUE(message.IsEmpty());
		EXPECT_EQ(0u, message.what);
	}
}

namespace {

struct MalformedCase {
	const char* description;
	Bytes bytes;
	status_t expected;
};

Bytes
WithByte(Bytes bytes, size_t offset, uint8 value)
{
	bytes[offset] = value;
	return bytes;
}

// Changes the size in a little-endian header and makes the checksum match again.
Bytes
WithSize(Bytes bytes, uint32 size)
{
	memcpy(bytes.data() + 8, &size, 4);
	uint32 checksum = FlatBuilder::Checksum(bytes, 17);
	memcpy(bytes.data() + 4, &checksum, 4);
	return bytes;
}

std::vector<MalformedCase>
MalformedCases()
{
	const char kItem[] = "abc";
	return {
		{ "nothing", {}, B_BAD_DATA },
		{ "three bytes", { 0x31, 0x42, 0x4F }, B_BAD_DATA },
		{ "wrong magic", WithByte(kEmptyMessage, 0, 'X'), B_NOT_A_MESSAGE },
		{ "FOB2", { '2', 'B', 'O', 'F', 0, 0, 0, 0, 18, 0, 0, 0, 0, 0, 0, 0, 1, 0 },
			B_NOT_SUPPORTED },
		{ "HMF1 as stored", { 'H', 'M', 'F', '1', 0, 0, 0, 0, 18, 0, 0, 0, 0, 0, 0, 0, 1, 0 },
			B_NOT_SUPPORTED },
		{ "HMF1 little-endian", { '1', 'F', 'M', 'H', 0, 0, 0, 0, 18, 0, 0, 0, 0, 0, 0, 0, 1, 0 },
			B_NOT_SUPPORTED },
		{ "shorter than a header", Bytes(kEmptyMessage.begin(), kEmptyMessage.end() - 1),
			B_BAD_DATA },
		{ "size larger than the buffer", WithSize(kEmptyMessage, 19), B_BAD_DATA },
		{ "size below the minimum", WithSize(kEmptyMessage, 17), B_BAD_DATA },
		{ "bad checksum", WithByte(kEmptyMessage, 4, 0x02), B_BAD_DATA },
		{ "unknown header flag", FlatBuilder().Header(0, 0x11).Finish(), B_BAD_DATA },
		{ "header flags without the valid bit", FlatBuilder().Header(0, 0x00).Finish(),
			B_BAD_DATA },
		{ "reply block past the end", FlatBuilder().Header(0, 0x05).Zeros(4).Finish(21),
			B_BAD_DATA },
		{ "unknown field flag",
			FlatBuilder().Header(0).Field(0x1F, B_INT8_TYPE, 1, 1, "x").Byte(1).Finish(),
			B_BAD_DATA },
		{ "field data past the end",
			FlatBuilder().Header(0).Field(0x0F, B_INT32_TYPE, 1, 8, "x").Int32(1).Finish(),
			B_BAD_DATA },
		{ "field data over the end marker",
			FlatBuilder().Header(0).Field(0x0F, B_INT32_TYPE, 1, 4, "x").Int32(1).Seal(),
			B_BAD_DATA },
		{ "name past the end",
			FlatBuilder()
				.Header(0)
				.Byte(0x0F)
				.Int32(B_INT8_TYPE)
				.Byte(1)
				.Byte(200)
				.Text("x", false)
				.Finish(),
			B_BAD_DATA },
		{ "field header cut short", FlatBuilder().Header(0).Byte(0x0F).Int32(B_INT8_TYPE).Seal(),
			B_BAD_DATA },
		{ "count zero",
			FlatBuilder().Header(0).Field(0x07, B_INT32_TYPE, 0, 4, "x").Int32(1).Finish(),
			B_BAD_DATA },
		{ "length zero", FlatBuilder().Header(0).Field(0x0F, B_INT32_TYPE, 1, 0, "x").Finish(),
			B_BAD_DATA },
		{ "fixed length not a multiple of the count",
			FlatBuilder().Header(0).Field(0x07, B_INT8_TYPE, 2, 3, "x").Zeros(3).Finish(),
			B_BAD_DATA },
		{ "count beyond the data",
			FlatBuilder().Header(0).Field(0x07, B_INT8_TYPE, 5, 3, "x").Zeros(3).Finish(),
			B_BAD_DATA },
		{ "huge count",
			FlatBuilder()
				.Header(0)
				.Field(0x01, B_STRING_TYPE, 0x7fffffff, 8, "x")
				.Item(kItem, 4)
				.Finish(),
			B_BAD_DATA },
		{ "count above the signed range",
			FlatBuilder().Header(0).Field(0x05, B_INT8_TYPE, 0x80000000u, 8, "x").Zeros(8).Finish(),
			B_BAD_DATA },
		{ "item size beyond the data",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_STRING_TYPE, 1, 8, "x")
				.Int32(9)
				.Zeros(4)
				.Finish(),
			B_BAD_DATA },
		{ "negative item size",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_STRING_TYPE, 1, 8, "x")
				.Int32(0xffffffff)
				.Zeros(4)
				.Finish(),
			B_BAD_DATA },
		{ "items short of the data length",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_STRING_TYPE, 1, 16, "x")
				.Item(kItem, 4)
				.Zeros(8)
				.Finish(),
			B_BAD_DATA },
		{ "padding cut by the data length",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_STRING_TYPE, 1, 6, "x")
				.Int32(2)
				.Text("a", true)
				.Finish(),
			B_BAD_DATA },
		{ "duplicate name",
			FlatBuilder()
				.Header(0)
				.Field(0x0F, B_INT8_TYPE, 1, 1, "x")
				.Byte(1)
				.Field(0x0F, B_INT8_TYPE, 1, 1, "x")
				.Byte(2)
				.Finish(),
			B_BAD_DATA },
		{ "duplicate name of another type",
			FlatBuilder()
				.Header(0)
				.Field(0x0F, B_INT8_TYPE, 1, 1, "x")
				.Byte(1)
				.Field(0x0F, B_BOOL_TYPE, 1, 1, "x")
				.Byte(1)
				.Finish(),
			B_BAD_DATA },
		{ "name holding a NUL",
			FlatBuilder()
				.Header(0)
				.Byte(0x0F)
				.Int32(B_INT8_TYPE)
				.Byte(1)
				.Byte(2)
				.Byte('a')
				.Byte(0)
				.Byte(1)
				.Finish(),
			B_BAD_DATA },
		{ "no end marker",
			FlatBuilder().Header(0).Field(0x0F, B_INT8_TYPE, 1, 1, "x").Byte(1).Byte(0x0F).Seal(),
			B_BAD_DATA },
		{ "end marker before the end", FlatBuilder().Header(0).Byte(0).Byte(0).Seal(), B_BAD_DATA },
		{ "nested message that is not one",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_MESSAGE_TYPE, 1, 24, "m")
				.Item("not a message at all", 20)
				.Finish(),
			B_BAD_DATA },
		{ "nested message with a bad checksum",
			FlatBuilder()
				.Header(0)
				.Field(0x0B, B_MESSAGE_TYPE, 1, 24, "m")
				.Item(WithByte(kEmptyMessage, 5, 9).data(), 18)
				.Finish(),
			B_BAD_DATA },
	};
}

} // namespace

TEST(MessageFlatten, MalformedInputIsRefusedAndLeavesAnEmptyMessage)
{
	for (const MalformedCase& row : MalformedCases()) {
		std::vector<char> buffer(row.bytes.begin(), row.bytes.end());
		buffer.reserve(1);
		BMessage message('full');
		message.AddInt32("old", 1);
		EXPECT_EQ(row.expected, message.Unflatten(buffer.data(), (ssize_t)buffer.size()))
			<< row.description;
		EXPECT_TRUE(message.IsEmpty()) << row.description;
		EXPECT_EQ(0u, message.what) << row.description;
	}
}

TEST(MessageFlatten, BuilderMakesMessagesTheReaderAccepts)
{
	// The malformed rows above differ from this one in one respect each.
	const char kItem[] = "abc";
	Bytes flat = FlatBuilder()
					 .Header('good')
					 .Field(0x0F, B_INT8_TYPE, 1, 1, "x")
					 .Byte(1)
					 .Field(0x0B, B_STRING_TYPE, 1, 8, "s")
					 .Item(kItem, 4)
					 .Finish();
	BMessage message;
	ASSERT_EQ(B_OK, message.Unflatten((const char*)flat.data(), (ssize_t)flat.size()));
	EXPECT_STREQ("abc", message.FindString("s"));
}

TEST(MessageFlatten, AddDataChecksNestedMessages)
{
	BMessage message;
	const char kGarbage[] = "garbage, not a message";
	EXPECT_EQ(B_BAD_VALUE, message.AddData("m", B_MESSAGE_TYPE, kGarbage, sizeof(kGarbage)));
	EXPECT_FALSE(message.HasMessage("m"));

	EXPECT_EQ(B_OK,
		message.AddData("m", B_MESSAGE_TYPE, kTypesMessage.data(), (ssize_t)kTypesMessage.size()));
	BMessage nested;
	ASSERT_EQ(B_OK, message.FindMessage("m", &nested));
	EXPECT_STREQ("application/zip", nested.FindString("types"));
}

namespace {

// The address space the process uses now, from /proc/self/status (VmSize), in bytes.
size_t
AddressSpaceInUse()
{
	std::ifstream status("/proc/self/status");
	std::string line;
	while (std::getline(status, line)) {
		if (line.rfind("VmSize:", 0) == 0)
			return (size_t)std::stoull(line.substr(7)) * 1024;
	}
	return 0;
}

// Runs body in a child process whose address space may grow by headroom bytes only, the
// way a memory limit holds a user's program; the child's exit status (2 when an exception
// escaped), or -1 when it was killed.
int
RunWithMemoryHeadroom(size_t headroom, const std::function<int()>& body)
{
	fflush(nullptr);
	pid_t child = fork();
	if (child == 0) {
		size_t inUse = AddressSpaceInUse();
		struct rlimit limit = { inUse + headroom, inUse + headroom };
		if (inUse == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
			_exit(77);
		// What escapes body ends the child here, not in the test framework's copy of the
		// run.
		try {
			_exit(body());
		} catch (...) {
			_exit(2);
		}
	}
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) < 0)
		return -2;
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(MessageFlatten, CountsReserveNoMoreThanTheInputJustifies)
{
	// Ten million one-byte "messages" in a fixed-size field: ten megabytes of input that
	// once reserved a slot per claimed item (240 megabytes) before looking at one.
	const uint32 kCount = 10 * 1000 * 1000;
	Bytes flat = FlatBuilder()
					 .Header('many')
					 .Field(0x05, B_MESSAGE_TYPE, kCount, kCount, "m")
					 .Zeros(kCount)
					 .Finish();
	int status = RunWithMemoryHeadroom(64 << 20, [&flat]() {
		BMessage message;
		return message.Unflatten((const char*)flat.data(), (ssize_t)flat.size()) == B_BAD_DATA ? 0
																							   : 1;
	});
	if (status == 77)
		GTEST_SKIP() << "the address space cannot be limited here";
	EXPECT_EQ(0, status);
}

// The sanitizers' allocators end the process on an allocation they cannot serve instead of
// failing it, so the failure this test provokes only reaches our code without them.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(MessageFlatten, AllocationFailureIsReportedNotThrown)
{
	// A well-formed message whose one field needs more memory than the process may have.
	const uint32 kLength = 96 << 20;
	Bytes flat = FlatBuilder()
					 .Header('big ')
					 .Field(0x05, B_INT8_TYPE, kLength, kLength, "bytes")
					 .Zeros(kLength)
					 .Finish();
	int status = RunWithMemoryHeadroom(32 << 20, [&flat]() {
		BMessage message;
		return message.Unflatten((const char*)flat.data(), (ssize_t)flat.size()) == B_NO_MEMORY ? 0
																								: 1;
	});
	if (status == 77)
		GTEST_SKIP() << "the address space cannot be limited here";
	EXPECT_EQ(0, status);
}
#endif

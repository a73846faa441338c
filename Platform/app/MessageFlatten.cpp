// The BeOS R5 flattened form of a message ('FOB1'). Written little-endian with a 17-byte
// header, mini field headers where they fit and zeroed padding, as R5 wrote it; read in
// either byte order, checking every length and count against the buffer.
#include <Message.h>

#include "MessageFields.h"
#include "MessagePrivate.h"

#include <algorithm>
#include <byteswap.h>
#include <climits>
#include <new>
#include <unordered_set>

using BPrivate::message_pad8;

namespace {

const uint32 kMagic = 'FOB1';
const uint32 kLaterMagics[] = { 'FOB2', 'HMF1' };

enum {
	kHeaderValid = 0x01,
	kHeaderHasTarget = 0x02,
	kHeaderHasReplyInfo = 0x04,
	kHeaderScripting = 0x08,
	kHeaderKnownFlags = 0x0F
};

enum {
	kFieldValid = 0x01,
	kFieldMini = 0x02,
	kFieldFixedSize = 0x04,
	kFieldSingleItem = 0x08,
	kFieldKnownFlags = 0x0F
};

const size_t kHeaderSize = 17;
const size_t kTargetSize = 4;
const size_t kReplyInfoSize = 16;
const size_t kMinimumSize = kHeaderSize + 1;

// Pointers and messengers mean something only inside the process that made them: they
// are neither written nor read, so no file can hand the process an address.
bool
is_process_local(type_code type)
{
	return type == B_POINTER_TYPE || type == B_MESSENGER_TYPE;
}

// The header checksum: the bytes as big-endian 32-bit groups, the remaining one to three
// bytes as one big-endian number, added with wrap-around.
uint32
header_checksum(const uint8* bytes, size_t size)
{
	uint32 sum = 0;
	size_t position = 0;
	for (; position + 4 <= size; position += 4) {
		sum += ((uint32)bytes[position] << 24) | ((uint32)bytes[position + 1] << 16)
			| ((uint32)bytes[position + 2] << 8) | bytes[position + 3];
	}
	uint32 rest = 0;
	for (; position < size; position++)
		rest = (rest << 8) | bytes[position];
	return sum + rest;
}

void
swap_value(type_code type, uint8* data, size_t size)
{
	auto swap16 = [](uint8* at) {
		uint16 value;
		memcpy(&value, at, 2);
		value = bswap_16(value);
		memcpy(at, &value, 2);
	};
	auto swap32 = [](uint8* at) {
		uint32 value;
		memcpy(&value, at, 4);
		value = bswap_32(value);
		memcpy(at, &value, 4);
	};
	auto swap64 = [](uint8* at) {
		uint64 value;
		memcpy(&value, at, 8);
		value = bswap_64(value);
		memcpy(at, &value, 8);
	};

	switch (type) {
		case B_INT16_TYPE:
		case B_UINT16_TYPE:
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_FLOAT_TYPE:
		case B_DOUBLE_TYPE:
		case B_TIME_TYPE:
		case B_SIZE_T_TYPE:
		case B_SSIZE_T_TYPE:
		case B_OFF_T_TYPE:
			if (size == 2)
				swap16(data);
			else if (size == 4)
				swap32(data);
			else if (size == 8)
				swap64(data);
			break;
		case B_POINT_TYPE:
		case B_RECT_TYPE:
			for (size_t offset = 0; offset + 4 <= size; offset += 4)
				swap32(data + offset);
			break;
		case B_REF_TYPE:
			// Only the device and the directory; the name is text.
			if (size >= 12) {
				swap32(data);
				swap64(data + 4);
			}
			break;
		default:
			// Bytes, text, raw data and types we do not know stay as they are.
			break;
	}
}

// Bounds-checked reading of the flattened form in its byte order.
class Reader {
public:
	Reader(const uint8* data, size_t size, bool swap) :
		fData(data),
		fSize(size),
		fPosition(0),
		fSwap(swap)
	{
	}

	size_t Position() const { return fPosition; }

	size_t Remaining() const { return fSize - fPosition; }

	bool Skip(size_t size)
	{
		if (size > Remaining())
			return false;
		fPosition += size;
		return true;
	}

	bool ReadBytes(size_t size, const uint8** bytes)
	{
		if (size > Remaining())
			return false;
		*bytes = fData + fPosition;
		fPosition += size;
		return true;
	}

	bool Read8(uint8* value)
	{
		if (Remaining() < 1)
			return false;
		*value = fData[fPosition++];
		return true;
	}

	bool Read32(uint32* value)
	{
		if (Remaining() < 4)
			return false;
		memcpy(value, fData + fPosition, 4);
		if (fSwap)
			*value = bswap_32(*value);
		fPosition += 4;
		return true;
	}

	// A count or a length: one byte in mini headers, four otherwise.
	bool ReadNumber(bool mini, uint32* value)
	{
		if (!mini)
			return Read32(value);
		uint8 byte;
		if (!Read8(&byte))
			return false;
		*value = byte;
		return true;
	}

private:
	const uint8* fData;
	size_t fSize;
	size_t fPosition;
	bool fSwap;
};

// Writes into a buffer known to be large enough.
class BufferWriter {
public:
	explicit BufferWriter(uint8* buffer) :
		fBuffer(buffer),
		fPosition(0)
	{
	}

	void Write8(uint8 value) { fBuffer[fPosition++] = value; }

	void Write32(uint32 value)
	{
		memcpy(fBuffer + fPosition, &value, 4);
		fPosition += 4;
	}

	void WriteBytes(const void* bytes, size_t size)
	{
		if (size > 0)
			memcpy(fBuffer + fPosition, bytes, size);
		fPosition += size;
	}

	void WriteZeros(size_t size)
	{
		memset(fBuffer + fPosition, 0, size);
		fPosition += size;
	}

private:
	uint8* fBuffer;
	size_t fPosition;
};

// Appends to a growing buffer.
class VectorWriter {
public:
	explicit VectorWriter(std::vector<uint8>& out) :
		fOut(out)
	{
	}

	void Write8(uint8 value) { fOut.push_back(value); }

	void Write32(uint32 value)
	{
		uint8 bytes[4];
		memcpy(bytes, &value, 4);
		fOut.insert(fOut.end(), bytes, bytes + 4);
	}

	void WriteBytes(const void* bytes, size_t size)
	{
		fOut.insert(fOut.end(), (const uint8*)bytes, (const uint8*)bytes + size);
	}

	void WriteZeros(size_t size) { fOut.insert(fOut.end(), size, 0); }

private:
	std::vector<uint8>& fOut;
};

bool
is_mini(size_t count, size_t dataLength)
{
	return dataLength <= UCHAR_MAX && count <= UCHAR_MAX;
}

size_t
field_header_size(size_t count, size_t dataLength, size_t nameLength)
{
	size_t numberSize = is_mini(count, dataLength) ? 1 : 4;
	size_t size = 1 + 4 + numberSize + 1 + nameLength;
	if (count != 1)
		size += numberSize;
	return size;
}

// The header as R5 wrote it: magic, checksum, size, what, and only the valid flag.
template <typename Writer>
void
write_message_header(Writer& writer, uint32 size, uint32 what)
{
	uint8 header[kHeaderSize];
	uint32 values[4] = { kMagic, 0, size, what };
	memcpy(header, values, sizeof(values));
	header[16] = kHeaderValid;
	uint32 checksum = header_checksum(header + 8, kHeaderSize - 8);
	memcpy(header + 4, &checksum, sizeof(checksum));
	writer.WriteBytes(header, sizeof(header));
}

template <typename Writer>
void
write_field_header(Writer& writer, type_code type, bool fixedSize, size_t count, size_t dataLength,
	std::string_view name)
{
	bool mini = is_mini(count, dataLength);
	uint8 flags = kFieldValid;
	if (mini)
		flags |= kFieldMini;
	if (fixedSize)
		flags |= kFieldFixedSize;
	if (count == 1)
		flags |= kFieldSingleItem;

	writer.Write8(flags);
	writer.Write32(type);
	if (count != 1) {
		if (mini)
			writer.Write8((uint8)count);
		else
			writer.Write32((uint32)count);
	}
	if (mini)
		writer.Write8((uint8)dataLength);
	else
		writer.Write32((uint32)dataLength);
	writer.Write8((uint8)name.size());
	writer.WriteBytes(name.data(), name.size());
}

template <typename Writer>
void
write_variable_item(Writer& writer, const void* item, size_t size)
{
	writer.Write32((uint32)size);
	writer.WriteBytes(item, size);
	writer.WriteZeros(message_pad8(4 + size) - 4 - size);
}

// One field as the reader found it, its framing checked.
struct ParsedField {
	std::string_view name;
	type_code type;
	bool fixedSize;
	uint32 count;
	const uint8* data;
	uint32 dataLength;
};

// Calls addItem(item, size) for each value of a field; false when the values do not fill
// its data exactly or addItem returns false.
template <typename AddItem>
bool
for_each_item(const ParsedField& field, bool swap, AddItem addItem)
{
	if (field.fixedSize) {
		size_t itemSize = field.dataLength / field.count;
		for (uint32 index = 0; index < field.count; index++) {
			if (!addItem(field.data + index * itemSize, itemSize))
				return false;
		}
		return true;
	}

	Reader reader(field.data, field.dataLength, swap);
	for (uint32 index = 0; index < field.count; index++) {
		uint32 itemSize;
		const uint8* item;
		if (!reader.Read32(&itemSize) || itemSize > INT32_MAX || !reader.ReadBytes(itemSize, &item)
			|| !reader.Skip(message_pad8(4 + (size_t)itemSize) - 4 - itemSize)
			|| !addItem(item, (size_t)itemSize)) {
			return false;
		}
	}
	return reader.Remaining() == 0;
}

// The names seen so far in one message, to refuse duplicates: a short list, hashed once
// it grows.
class NameSet {
public:
	// False when the name was there already.
	bool Insert(std::string_view name)
	{
		if (!fHashed.empty())
			return fHashed.insert(name).second;
		for (std::string_view known : fList) {
			if (known == name)
				return false;
		}
		fList.push_back(name);
		if (fList.size() > 16)
			fHashed.insert(fList.begin(), fList.end());
		return true;
	}

private:
	std::vector<std::string_view> fList;
	std::unordered_set<std::string_view> fHashed;
};

// Checks the header and the framing of every field of a flattened message, calling
// onField(field, swap) for each field; onField returns a status. what receives the
// what-code.
template <typename OnField>
status_t
parse_message(const uint8* bytes, size_t size, uint32* what, OnField onField)
{
	if (size < 4)
		return B_BAD_DATA;

	uint32 magic;
	memcpy(&magic, bytes, sizeof(magic));
	bool swap = false;
	if (magic == bswap_32(kMagic)) {
		swap = true;
	} else if (magic != kMagic) {
		for (uint32 laterMagic : kLaterMagics) {
			if (magic == laterMagic || magic == bswap_32(laterMagic))
				return B_NOT_SUPPORTED;
		}
		return B_NOT_A_MESSAGE;
	}

	Reader header(bytes, size, swap);
	uint32 checksum;
	uint32 flattenedSize;
	uint8 headerFlags;
	if (!header.Skip(4) || !header.Read32(&checksum) || !header.Read32(&flattenedSize)
		|| !header.Read32(what) || !header.Read8(&headerFlags)) {
		return B_BAD_DATA;
	}
	if (flattenedSize < kMinimumSize || flattenedSize > size)
		return B_BAD_DATA;
	if ((headerFlags & ~kHeaderKnownFlags) != 0 || (headerFlags & kHeaderValid) == 0)
		return B_BAD_DATA;

	// Target and reply information describe a delivery in the writer's process; they
	// are checked for size and dropped.
	size_t headerEnd = kHeaderSize;
	if ((headerFlags & kHeaderHasTarget) != 0)
		headerEnd += kTargetSize;
	if ((headerFlags & kHeaderHasReplyInfo) != 0)
		headerEnd += kReplyInfoSize;
	if (headerEnd + 1 > flattenedSize)
		return B_BAD_DATA;
	if (header_checksum(bytes + 8, headerEnd - 8) != checksum)
		return B_BAD_DATA;

	// Everything up to the end marker belongs to the fields.
	Reader reader(bytes, flattenedSize, swap);
	reader.Skip(headerEnd);
	NameSet names;
	while (true) {
		uint8 fieldFlags;
		if (!reader.Read8(&fieldFlags))
			return B_BAD_DATA;
		if ((fieldFlags & ~kFieldKnownFlags) != 0)
			return B_BAD_DATA;
		if ((fieldFlags & kFieldValid) == 0) {
			// The end marker must be the message's last byte.
			return reader.Remaining() == 0 ? B_OK : B_BAD_DATA;
		}

		bool mini = (fieldFlags & kFieldMini) != 0;
		ParsedField field;
		field.fixedSize = (fieldFlags & kFieldFixedSize) != 0;
		field.count = 1;
		uint8 nameLength;
		const uint8* name;
		if (!reader.Read32(&field.type)
			|| ((fieldFlags & kFieldSingleItem) == 0 && !reader.ReadNumber(mini, &field.count))
			|| !reader.ReadNumber(mini, &field.dataLength) || !reader.Read8(&nameLength)
			|| !reader.ReadBytes(nameLength, &name)) {
			return B_BAD_DATA;
		}
		// Leave the end marker: data may not reach it.
		if (field.dataLength >= reader.Remaining()
			|| !reader.ReadBytes(field.dataLength, &field.data)) {
			return B_BAD_DATA;
		}
		if (field.count == 0 || field.count > INT32_MAX || field.dataLength == 0)
			return B_BAD_DATA;
		if (field.fixedSize && field.dataLength % field.count != 0)
			return B_BAD_DATA;
		// Every variable-size value takes at least eight bytes: its size and padding.
		if (!field.fixedSize && field.count > field.dataLength / 8)
			return B_BAD_DATA;

		// Names are C strings in the API, so they cannot hold a NUL; and they are unique.
		field.name = std::string_view((const char*)name, nameLength);
		if (field.name.find('\0') != std::string_view::npos || !names.Insert(field.name))
			return B_BAD_DATA;

		status_t status = onField(field, swap);
		if (status != B_OK)
			return status;
	}
}

status_t canonicalize_message(
	const uint8* bytes, size_t size, int32 depth, std::vector<uint8>& out);

// The values of a nested-message field, each checked and rewritten in the form this side
// writes, so that their padding and byte order match the outer message.
status_t
canonicalize_items(
	const ParsedField& field, bool swap, int32 depth, std::vector<std::vector<uint8>>& items)
{
	// The count is what the input claims; the items have not been looked at yet, so no
	// more is reserved than a few of them take (a fixed size of one byte would otherwise
	// turn ten megabytes of input into a quarter gigabyte of slots).
	items.reserve(std::min<size_t>(field.count, 64));
	bool valid = for_each_item(field, swap, [&](const uint8* item, size_t size) {
		items.emplace_back();
		return canonicalize_message(item, size, depth + 1, items.back()) == B_OK;
	});
	return valid ? B_OK : B_BAD_DATA;
}

// Checks a flattened message and appends it to out in the form Flatten() writes.
status_t
canonicalize_message(const uint8* bytes, size_t size, int32 depth, std::vector<uint8>& out)
{
	if (depth > BPrivate::kMaxMessageNesting)
		return B_BAD_DATA;

	size_t start = out.size();
	out.reserve(start + size);
	VectorWriter writer(out);
	writer.WriteZeros(kHeaderSize);

	uint32 what;
	status_t status =
		parse_message(bytes, size, &what, [&](const ParsedField& field, bool swap) -> status_t {
			if (is_process_local(field.type))
				return for_each_item(field, swap, [](const uint8*, size_t) { return true; })
					? B_OK
					: B_BAD_DATA;

			if (field.type == B_MESSAGE_TYPE) {
				std::vector<std::vector<uint8>> items;
				status_t status = canonicalize_items(field, swap, depth, items);
				if (status != B_OK)
					return status;
				size_t dataLength = 0;
				for (const auto& item : items)
					dataLength += message_pad8(4 + item.size());
				if (dataLength > UINT32_MAX)
					return B_BAD_DATA;
				write_field_header(writer, field.type, false, items.size(), dataLength, field.name);
				for (const auto& item : items)
					write_variable_item(writer, item.data(), item.size());
				return B_OK;
			}

			// Other values keep their sizes, so the data length stays the same.
			write_field_header(
				writer, field.type, field.fixedSize, field.count, field.dataLength, field.name);
			bool valid = for_each_item(field, swap, [&](const uint8* item, size_t itemSize) {
				size_t itemStart = out.size() + (field.fixedSize ? 0 : 4);
				if (field.fixedSize)
					writer.WriteBytes(item, itemSize);
				else
					write_variable_item(writer, item, itemSize);
				if (swap)
					swap_value(field.type, out.data() + itemStart, itemSize);
				return true;
			});
			return valid ? B_OK : B_BAD_DATA;
		});
	if (status != B_OK)
		return status;

	writer.Write8(0);
	size_t messageSize = out.size() - start;
	if (messageSize > UINT32_MAX)
		return B_BAD_DATA;
	std::vector<uint8> header;
	header.reserve(kHeaderSize);
	VectorWriter headerWriter(header);
	write_message_header(headerWriter, (uint32)messageSize, what);
	memcpy(out.data() + start, header.data(), kHeaderSize);
	return B_OK;
}

} // namespace

size_t
BMessage::Field::FlattenedDataLength() const
{
	if (fixedSize)
		return data.size();

	size_t length = 0;
	for (int32 index = 0; index < count; index++) {
		size_t size;
		ItemAt(index, &size);
		length += message_pad8(4 + size);
	}
	return length;
}

bool
BMessage::Field::IsMini(size_t dataLength) const
{
	return is_mini((size_t)count, dataLength);
}

size_t
BMessage::Field::FlattenedHeaderSize(size_t dataLength) const
{
	return field_header_size((size_t)count, dataLength, name.size());
}

ssize_t
BMessage::FlattenedSize() const
{
	size_t size = kMinimumSize;
	if (fFields == NULL)
		return (ssize_t)size;

	for (int32 i = 0; i < fFields->CountFields(); i++) {
		const Field& field = *fFields->FieldAt(i);
		if (is_process_local(field.type))
			continue;
		size_t dataLength = field.FlattenedDataLength();
		size += field.FlattenedHeaderSize(dataLength) + dataLength;
	}
	return (ssize_t)size;
}

status_t
BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (buffer == NULL || size < 0)
		return B_BAD_VALUE;
	ssize_t flattenedSize = FlattenedSize();
	// The header and the field lengths hold 32-bit sizes.
	if ((uint64)flattenedSize > UINT32_MAX)
		return B_BAD_VALUE;
	if (size < flattenedSize)
		return B_BUFFER_OVERFLOW;

	BufferWriter writer((uint8*)buffer);
	write_message_header(writer, (uint32)flattenedSize, what);

	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	for (int32 i = 0; i < fieldCount; i++) {
		const Field& field = *fFields->FieldAt(i);
		if (is_process_local(field.type))
			continue;

		size_t dataLength = field.FlattenedDataLength();
		write_field_header(
			writer, field.type, field.fixedSize, (size_t)field.count, dataLength, field.name);
		if (field.fixedSize) {
			writer.WriteBytes(field.data.data(), field.data.size());
			continue;
		}
		for (int32 index = 0; index < field.count; index++) {
			size_t itemSize;
			const uint8* item = field.ItemAt(index, &itemSize);
			write_variable_item(writer, item, itemSize);
		}
	}
	writer.Write8(0);
	return B_OK;
}

status_t
BMessage::Unflatten(const char* flatBuffer)
{
	if (flatBuffer == NULL)
		return Unflatten(flatBuffer, 0);

	// The header tells the size; the caller vouches that the buffer holds that much. A
	// magic we do not read needs no more than its four bytes to be refused.
	uint32 magic;
	memcpy(&magic, flatBuffer, sizeof(magic));
	if (magic != kMagic && magic != bswap_32(kMagic))
		return Unflatten(flatBuffer, sizeof(magic));

	uint32 size;
	memcpy(&size, flatBuffer + 8, sizeof(size));
	if (magic != kMagic)
		size = bswap_32(size);
	return Unflatten(flatBuffer, (ssize_t)size);
}

status_t
BMessage::Unflatten(const char* flatBuffer, ssize_t size)
{
	status_t status = B_BAD_VALUE;
	// Memory is only taken as the input justifies it, but a message may be larger than
	// what the process may have: that is a failure to report, never one to throw.
	if (flatBuffer != NULL && size >= 0) {
		try {
			status = _Unflatten(flatBuffer, (size_t)size, 0);
		} catch (const std::bad_alloc&) {
			status = B_NO_MEMORY;
		}
	}
	_ClearDelivery();
	if (status != B_OK) {
		what = 0;
		fFields.reset();
	}
	return status;
}

status_t
BMessage::_Unflatten(const char* buffer, size_t size, int32 depth)
{
	auto fields = std::make_unique<FieldList>();
	uint32 newWhat;
	status_t status = parse_message((const uint8*)buffer, size, &newWhat,
		[&](const ParsedField& parsed, bool swap) -> status_t {
			if (is_process_local(parsed.type)) {
				return for_each_item(parsed, swap, [](const uint8*, size_t) { return true; })
					? B_OK
					: B_BAD_DATA;
			}

			if (parsed.type == B_MESSAGE_TYPE) {
				std::vector<std::vector<uint8>> items;
				status_t status = canonicalize_items(parsed, swap, depth, items);
				if (status != B_OK)
					return status;
				Field* field = fields->Add(parsed.name, parsed.type, false, 0);
				for (const auto& item : items)
					field->AddItem(item.data(), item.size());
				return B_OK;
			}

			Field* field = fields->Add(
				parsed.name, parsed.type, parsed.fixedSize, parsed.dataLength / parsed.count);
			if (parsed.fixedSize) {
				field->data.assign(parsed.data, parsed.data + parsed.dataLength);
				field->count = (int32)parsed.count;
			} else {
				field->data.reserve(parsed.dataLength);
				field->offsets.reserve(parsed.count);
				bool valid =
					for_each_item(parsed, swap, [field](const uint8* item, size_t itemSize) {
						field->AddItem(item, itemSize);
						return true;
					});
				if (!valid)
					return B_BAD_DATA;
			}
			if (swap) {
				for (int32 index = 0; index < field->count; index++) {
					size_t itemSize;
					uint8* item = const_cast<uint8*>(field->ItemAt(index, &itemSize));
					swap_value(parsed.type, item, itemSize);
				}
			}
			return B_OK;
		});
	if (status != B_OK)
		return status;

	what = newWhat;
	fFields = fields->CountFields() > 0 ? std::move(fields) : nullptr;
	return B_OK;
}

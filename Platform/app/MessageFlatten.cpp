// The BeOS R5 flattened form of a message ('FOB1'). Written little-endian with a 17-byte
// header, mini field headers where they fit and zeroed padding, as R5 wrote it; read in
// either byte order, checking every length and count against the buffer.
#include <Message.h>

#include "MessageFields.h"
#include "MessagePrivate.h"

#include <byteswap.h>
#include <climits>

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

class Writer {
public:
	explicit Writer(uint8* buffer) :
		fBuffer(buffer),
		fPosition(0)
	{
	}

	size_t Position() const { return fPosition; }

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
	return dataLength <= UCHAR_MAX && count <= UCHAR_MAX;
}

size_t
BMessage::Field::FlattenedHeaderSize(size_t dataLength) const
{
	size_t numberSize = IsMini(dataLength) ? 1 : 4;
	size_t size = 1 + 4 + numberSize + 1 + name.size();
	if (count != 1)
		size += numberSize;
	return size;
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

	Writer writer((uint8*)buffer);
	writer.Write32(kMagic);
	writer.Write32(0);
	writer.Write32((uint32)flattenedSize);
	writer.Write32(what);
	writer.Write8(kHeaderValid);
	uint32 checksum = header_checksum((const uint8*)buffer + 8, kHeaderSize - 8);
	memcpy(buffer + 4, &checksum, sizeof(checksum));

	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	for (int32 i = 0; i < fieldCount; i++) {
		const Field& field = *fFields->FieldAt(i);
		if (is_process_local(field.type))
			continue;

		size_t dataLength = field.FlattenedDataLength();
		bool mini = field.IsMini(dataLength);
		uint8 flags = kFieldValid;
		if (mini)
			flags |= kFieldMini;
		if (field.fixedSize)
			flags |= kFieldFixedSize;
		if (field.count == 1)
			flags |= kFieldSingleItem;

		writer.Write8(flags);
		writer.Write32(field.type);
		if (field.count != 1) {
			if (mini)
				writer.Write8((uint8)field.count);
			else
				writer.Write32((uint32)field.count);
		}
		if (mini)
			writer.Write8((uint8)dataLength);
		else
			writer.Write32((uint32)dataLength);
		writer.Write8((uint8)field.name.size());
		writer.WriteBytes(field.name.data(), field.name.size());

		if (field.fixedSize) {
			writer.WriteBytes(field.data.data(), field.data.size());
			continue;
		}
		for (int32 index = 0; index < field.count; index++) {
			size_t itemSize;
			const uint8* item = field.ItemAt(index, &itemSize);
			writer.Write32((uint32)itemSize);
			writer.WriteBytes(item, itemSize);
			writer.WriteZeros(message_pad8(4 + itemSize) - 4 - itemSize);
		}
	}
	writer.Write8(0);
	return B_OK;
}

status_t
BMessage::Unflatten(const char* flatBuffer)
{
	if (flatBuffer == NULL)
		return B_BAD_VALUE;

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
	if (flatBuffer != NULL && size >= 0)
		status = _Unflatten(flatBuffer, (size_t)size, 0);
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
	if (depth > BPrivate::kMaxMessageNesting)
		return B_BAD_DATA;
	if (size < 4)
		return B_BAD_DATA;

	uint32 magic;
	memcpy(&magic, buffer, sizeof(magic));
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

	const uint8* bytes = (const uint8*)buffer;
	Reader header(bytes, size, swap);
	uint32 checksum;
	uint32 flattenedSize;
	uint32 newWhat;
	uint8 headerFlags;
	if (!header.Skip(4) || !header.Read32(&checksum) || !header.Read32(&flattenedSize)
		|| !header.Read32(&newWhat) || !header.Read8(&headerFlags)) {
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
	auto fields = std::make_unique<FieldList>();

	while (true) {
		uint8 fieldFlags;
		if (!reader.Read8(&fieldFlags))
			return B_BAD_DATA;
		if ((fieldFlags & ~kFieldKnownFlags) != 0)
			return B_BAD_DATA;
		if ((fieldFlags & kFieldValid) == 0) {
			// The end marker must be the message's last byte.
			if (reader.Remaining() != 0)
				return B_BAD_DATA;
			break;
		}

		bool mini = (fieldFlags & kFieldMini) != 0;
		uint32 type;
		uint32 count = 1;
		uint32 dataLength;
		uint8 nameLength;
		const uint8* name;
		const uint8* data;
		if (!reader.Read32(&type)
			|| ((fieldFlags & kFieldSingleItem) == 0 && !reader.ReadNumber(mini, &count))
			|| !reader.ReadNumber(mini, &dataLength) || !reader.Read8(&nameLength)
			|| !reader.ReadBytes(nameLength, &name)) {
			return B_BAD_DATA;
		}
		// Leave the end marker: data may not reach it.
		if (dataLength >= reader.Remaining() || !reader.ReadBytes(dataLength, &data))
			return B_BAD_DATA;
		if (count == 0 || count > INT32_MAX || dataLength == 0)
			return B_BAD_DATA;

		// Names are C strings in the API, so they cannot hold a NUL.
		std::string_view fieldName((const char*)name, nameLength);
		if (fieldName.find('\0') != std::string_view::npos)
			return B_BAD_DATA;
		if (fields->Find(fieldName) != NULL)
			return B_BAD_DATA;

		bool fixedSize = (fieldFlags & kFieldFixedSize) != 0;
		if (fixedSize && dataLength % count != 0)
			return B_BAD_DATA;
		// Every variable-size value takes at least eight bytes: its size and padding.
		if (!fixedSize && count > dataLength / 8)
			return B_BAD_DATA;

		// Calls addItem for each value; false when the values do not fill the data
		// exactly.
		auto forEachItem = [&](auto addItem) {
			if (fixedSize) {
				size_t itemSize = dataLength / count;
				for (uint32 index = 0; index < count; index++) {
					if (!addItem(data + index * itemSize, itemSize))
						return false;
				}
				return true;
			}
			Reader itemReader(data, dataLength, swap);
			for (uint32 index = 0; index < count; index++) {
				uint32 itemSize;
				const uint8* item;
				if (!itemReader.Read32(&itemSize) || itemSize > INT32_MAX
					|| !itemReader.ReadBytes(itemSize, &item)
					|| !itemReader.Skip(message_pad8(4 + (size_t)itemSize) - 4 - itemSize)
					|| !addItem(item, (size_t)itemSize)) {
					return false;
				}
			}
			return itemReader.Remaining() == 0;
		};

		if (is_process_local(type)) {
			if (!forEachItem([](const uint8*, size_t) { return true; }))
				return B_BAD_DATA;
			continue;
		}

		if (type == B_MESSAGE_TYPE) {
			// Nested messages are checked and kept in the form this message writes, so
			// that their padding and byte order match the outer message.
			Field* field = fields->Add(fieldName, type, false, 0);
			bool valid = forEachItem([&](const uint8* item, size_t itemSize) {
				BMessage nested;
				if (nested._Unflatten((const char*)item, itemSize, depth + 1) != B_OK)
					return false;
				ssize_t nestedSize = nested.FlattenedSize();
				size_t start = field->data.size();
				field->offsets.push_back(start);
				field->data.resize(start + (size_t)nestedSize);
				field->count++;
				return nested.Flatten((char*)field->data.data() + start, nestedSize) == B_OK;
			});
			if (!valid)
				return B_BAD_DATA;
			continue;
		}

		Field* field = fields->Add(fieldName, type, fixedSize, dataLength / count);
		if (fixedSize) {
			field->data.assign(data, data + dataLength);
			field->count = (int32)count;
		} else {
			field->data.reserve(dataLength);
			bool valid = forEachItem([field](const uint8* item, size_t itemSize) {
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
				swap_value(type, item, itemSize);
			}
		}
	}

	what = newWhat;
	fFields = fields->CountFields() > 0 ? std::move(fields) : nullptr;
	return B_OK;
}

// The field storage behind BMessage, shared by its sources (Message.cpp for the field API,
// MessageFlatten.cpp for the flattened form). Not part of the API.
#ifndef _MESSAGE_FIELDS_H
#define _MESSAGE_FIELDS_H

#include <Message.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Values are kept in the byte order of the flattened form, so the host must be
// little-endian, as every Linux target of this project is.
static_assert(std::endian::native == std::endian::little, "BMessage needs a little-endian host");

// One named field: its values either packed back to back at one size (fixed size) or each
// with its own size (variable size; offsets holds where each value starts).
struct BMessage::Field {
	std::string name;
	type_code type = 0;
	bool fixedSize = true;
	size_t itemSize = 0;
	int32 count = 0;
	std::vector<uint8> data;
	std::vector<size_t> offsets;

	const uint8* ItemAt(int32 index, size_t* size) const
	{
		if (fixedSize) {
			*size = itemSize;
			return data.data() + (size_t)index * itemSize;
		}
		size_t start = offsets[index];
		size_t end = index + 1 < count ? offsets[index + 1] : data.size();
		*size = end - start;
		return data.data() + start;
	}

	// The flattened form: the length of the data part, whether the counts fit the mini
	// header, and the header's size.
	size_t FlattenedDataLength() const;
	bool IsMini(size_t dataLength) const;
	size_t FlattenedHeaderSize(size_t dataLength) const;

	void AddItem(const void* item, size_t size);
	void ReplaceItem(int32 index, const void* item, size_t size);
	void RemoveItem(int32 index);
};

// The fields in insertion order, with a name index once there are enough of them for a
// linear search to cost more than hashing.
class BMessage::FieldList {
public:
	FieldList() = default;
	FieldList(const FieldList& other);
	FieldList& operator=(const FieldList&) = delete;

	int32 CountFields() const { return (int32)fFields.size(); }

	Field* FieldAt(int32 index) const { return fFields[index].get(); }

	Field* Find(std::string_view name) const;
	// The caller has checked that no field of that name exists.
	Field* Add(std::string_view name, type_code type, bool fixedSize, size_t itemSize);
	void Remove(Field* field);
	// Gives the field a new name; the caller has checked that it is free.
	void Rename(Field* field, std::string_view name);

	void Reserve(size_t count) { fFields.reserve(count); }

private:
	void _BuildIndex();

	std::vector<std::unique_ptr<Field>> fFields;
	std::unordered_map<std::string_view, Field*> fIndex;
	// empty while the list is short
};

namespace BPrivate {

// Nested messages deeper than this are refused on reading: the reader recurses.
static const int32 kMaxMessageNesting = 64;

inline size_t
message_pad8(size_t size)
{
	return (size + 7) & ~(size_t)7;
}

// Delivery flags of a message.
enum : uint32 { kMessageWasDelivered = 0x01, kMessageIsReply = 0x02, kMessageWasDropped = 0x04 };

// entry_ref values: device (int32), directory (int64), the NUL-terminated leaf name (left
// out when the reference has none).
std::vector<uint8> message_flatten_ref(const entry_ref& ref);
status_t message_unflatten_ref(const uint8* data, size_t size, entry_ref* ref);

// The message flattened into out, replacing its content.
status_t message_flatten(const BMessage& message, std::vector<uint8>& out);

} // namespace BPrivate

#endif // _MESSAGE_FIELDS_H

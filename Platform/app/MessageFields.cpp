// The field storage behind BMessage and the value encodings its sources share.
#include "MessageFields.h"

#include <EntryRef.h>

#include <algorithm>

namespace {

// Above this many fields, name look-ups go through a hash index.
const size_t kIndexThreshold = 12;

// entry_ref values: device (int32), directory (int64), the NUL-terminated leaf name.
const size_t kRefHeaderSize = 12;

} // namespace

std::vector<uint8>
BPrivate::message_flatten_ref(const entry_ref& ref)
{
	size_t nameSize = ref.name != NULL ? strlen(ref.name) + 1 : 0;
	std::vector<uint8> buffer(kRefHeaderSize + nameSize);
	int32 device = (int32)ref.device;
	int64 directory = (int64)ref.directory;
	memcpy(buffer.data(), &device, sizeof(device));
	memcpy(buffer.data() + 4, &directory, sizeof(directory));
	if (nameSize > 0)
		memcpy(buffer.data() + kRefHeaderSize, ref.name, nameSize);
	return buffer;
}

status_t
BPrivate::message_unflatten_ref(const uint8* data, size_t size, entry_ref* ref)
{
	if (size < kRefHeaderSize || (size > kRefHeaderSize && data[size - 1] != '\0'))
		return B_BAD_DATA;

	int32 device;
	int64 directory;
	memcpy(&device, data, sizeof(device));
	memcpy(&directory, data + 4, sizeof(directory));
	const char* name = size > kRefHeaderSize ? (const char*)data + kRefHeaderSize : NULL;
	status_t status = ref->set_name(name);
	if (status != B_OK)
		return status;
	ref->device = (dev_t)device;
	ref->directory = (ino_t)directory;
	return B_OK;
}

status_t
BPrivate::message_flatten(const BMessage& message, std::vector<uint8>& out)
{
	ssize_t size = message.FlattenedSize();
	if (size < 0)
		return (status_t)size;
	out.resize((size_t)size);
	return message.Flatten((char*)out.data(), size);
}

// #pragma mark - Field


void
BMessage::Field::AddItem(const void* item, size_t size)
{
	if (!fixedSize)
		offsets.push_back(data.size());
	data.insert(data.end(), (const uint8*)item, (const uint8*)item + size);
	count++;
}

void
BMessage::Field::ReplaceItem(int32 index, const void* item, size_t size)
{
	if (fixedSize) {
		memcpy(data.data() + (size_t)index * itemSize, item, size);
		return;
	}

	size_t oldSize;
	ItemAt(index, &oldSize);
	size_t start = offsets[index];
	if (size == oldSize) {
		memcpy(data.data() + start, item, size);
		return;
	}

	data.erase(data.begin() + start, data.begin() + start + oldSize);
	data.insert(data.begin() + start, (const uint8*)item, (const uint8*)item + size);
	for (int32 i = index + 1; i < count; i++)
		offsets[i] = offsets[i] - oldSize + size;
}

void
BMessage::Field::RemoveItem(int32 index)
{
	if (fixedSize) {
		auto start = data.begin() + (size_t)index * itemSize;
		data.erase(start, start + itemSize);
		count--;
		return;
	}

	size_t oldSize;
	ItemAt(index, &oldSize);
	size_t start = offsets[index];
	data.erase(data.begin() + start, data.begin() + start + oldSize);
	offsets.erase(offsets.begin() + index);
	count--;
	for (int32 i = index; i < count; i++)
		offsets[i] -= oldSize;
}

// #pragma mark - FieldList


BMessage::FieldList::FieldList(const FieldList& other)
{
	fFields.reserve(other.fFields.size());
	for (const auto& field : other.fFields)
		fFields.push_back(std::make_unique<Field>(*field));
	if (!other.fIndex.empty())
		_BuildIndex();
}

BMessage::Field*
BMessage::FieldList::Find(std::string_view name) const
{
	if (!fIndex.empty()) {
		auto found = fIndex.find(name);
		return found != fIndex.end() ? found->second : NULL;
	}

	for (const auto& field : fFields) {
		if (field->name == name)
			return field.get();
	}
	return NULL;
}

BMessage::Field*
BMessage::FieldList::Add(std::string_view name, type_code type, bool fixedSize, size_t itemSize)
{
	auto field = std::make_unique<Field>();
	field->name = name;
	field->type = type;
	field->fixedSize = fixedSize;
	field->itemSize = fixedSize ? itemSize : 0;
	Field* result = field.get();
	fFields.push_back(std::move(field));

	if (!fIndex.empty())
		fIndex.emplace(result->name, result);
	else if (fFields.size() > kIndexThreshold)
		_BuildIndex();
	return result;
}

void
BMessage::FieldList::Remove(Field* field)
{
	if (!fIndex.empty())
		fIndex.erase(field->name);
	auto found = std::find_if(fFields.begin(), fFields.end(),
		[field](const std::unique_ptr<Field>& entry) { return entry.get() == field; });
	if (found != fFields.end())
		fFields.erase(found);
}

void
BMessage::FieldList::Rename(Field* field, std::string_view name)
{
	if (!fIndex.empty())
		fIndex.erase(field->name);
	field->name = name;
	if (!fIndex.empty())
		fIndex.emplace(field->name, field);
}

void
BMessage::FieldList::_BuildIndex()
{
	fIndex.clear();
	fIndex.reserve(fFields.size() * 2);
	for (const auto& field : fFields)
		fIndex.emplace(field->name, field.get());
}

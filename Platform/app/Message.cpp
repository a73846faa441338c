#include <Message.h>

#include "MessageFields.h"
#include "MessagePrivate.h"

#include <EntryRef.h>

#include <algorithm>
#include <cctype>
#include <new>

using BPrivate::kMessageIsReply;
using BPrivate::kMessageWasDelivered;
using BPrivate::kMessageWasDropped;

namespace {

bool
valid_name(const char* name)
{
	return name != NULL && strlen(name) <= B_FIELD_NAME_LENGTH;
}

} // namespace

// #pragma mark - BMessage


BMessage::BMessage() :
	BMessage(0)
{
}

BMessage::BMessage(uint32 what) :
	what(what),
	fPrevious(NULL),
	fDeliveryFlags(0)
{
}

BMessage::BMessage(const BMessage& other) :
	what(other.what),
	fPrevious(NULL),
	fDeliveryFlags(0)
{
	if (other.fFields != NULL)
		fFields = std::make_unique<FieldList>(*other.fFields);
	_CopyDelivery(other);
}

BMessage::~BMessage()
{
	delete fPrevious;
}

BMessage&
BMessage::operator=(const BMessage& other)
{
	if (this == &other)
		return *this;

	what = other.what;
	fFields.reset();
	if (other.fFields != NULL)
		fFields = std::make_unique<FieldList>(*other.fFields);
	_ClearDelivery();
	_CopyDelivery(other);
	return *this;
}

void
BMessage::_ClearDelivery()
{
	fReplyRoute.reset();
	delete fPrevious;
	fPrevious = NULL;
	fDropPoint = BPoint();
	fDropOffset = BPoint();
	fDeliveryFlags = 0;
}

void
BMessage::_CopyDelivery(const BMessage& other)
{
	fReplyRoute = other.fReplyRoute;
	if (other.fPrevious != NULL)
		fPrevious = new BMessage(*other.fPrevious);
	fDropPoint = other.fDropPoint;
	fDropOffset = other.fDropOffset;
	fDeliveryFlags = other.fDeliveryFlags;
}

// #pragma mark - Statistics and information


status_t
BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
	int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;

	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	int32 matches = 0;
	for (int32 i = 0; i < fieldCount; i++) {
		Field* field = fFields->FieldAt(i);
		if (typeRequested != B_ANY_TYPE && field->type != typeRequested)
			continue;
		if (matches++ != index)
			continue;
		if (nameFound != NULL)
			*nameFound = const_cast<char*>(field->name.c_str());
		if (typeFound != NULL)
			*typeFound = field->type;
		if (countFound != NULL)
			*countFound = field->count;
		return B_OK;
	}
	return matches == 0 && typeRequested != B_ANY_TYPE ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	return GetInfo(name, typeFound, countFound, NULL);
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
	return GetInfo(name, typeFound, NULL, fixedSize);
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound, bool* fixedSize) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;

	if (typeFound != NULL)
		*typeFound = field->type;
	if (countFound != NULL)
		*countFound = field->count;
	if (fixedSize != NULL)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32
BMessage::CountNames(type_code type) const
{
	if (fFields == NULL)
		return 0;
	if (type == B_ANY_TYPE)
		return fFields->CountFields();

	int32 count = 0;
	for (int32 i = 0; i < fFields->CountFields(); i++) {
		if (fFields->FieldAt(i)->type == type)
			count++;
	}
	return count;
}

bool
BMessage::IsEmpty() const
{
	return fFields == NULL || fFields->CountFields() == 0;
}

bool
BMessage::IsSystem() const
{
	// BeOS behaviour: system what-codes look like '_ABC'.
	char a = (char)(what >> 24);
	char b = (char)(what >> 16);
	char c = (char)(what >> 8);
	char d = (char)what;
	return a == '_' && isupper((unsigned char)b) && isupper((unsigned char)c)
		&& isupper((unsigned char)d);
}

bool
BMessage::IsReply() const
{
	return (fDeliveryFlags & kMessageIsReply) != 0;
}

status_t
BMessage::Rename(const char* oldEntry, const char* newEntry)
{
	if (oldEntry == NULL || !valid_name(newEntry))
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(oldEntry) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (strcmp(oldEntry, newEntry) == 0)
		return B_OK;
	// Names stay unique: renaming onto another field would hide one of them.
	if (fFields->Find(newEntry) != NULL)
		return B_NAME_IN_USE;

	fFields->Rename(field, newEntry);
	return B_OK;
}

// #pragma mark - Delivery information


bool
BMessage::WasDelivered() const
{
	return (fDeliveryFlags & kMessageWasDelivered) != 0;
}

bool
BMessage::IsSourceWaiting() const
{
	return fReplyRoute != NULL && fReplyRoute->IsSourceWaiting();
}

bool
BMessage::IsSourceRemote() const
{
	// Every sender lives in this process.
	return false;
}

const BMessage*
BMessage::Previous() const
{
	return fPrevious;
}

bool
BMessage::WasDropped() const
{
	return (fDeliveryFlags & kMessageWasDropped) != 0;
}

BPoint
BMessage::DropPoint(BPoint* offset) const
{
	if (offset != NULL)
		*offset = fDropOffset;
	return fDropPoint;
}

// #pragma mark - Core field access


status_t
BMessage::_AddValue(const char* name, type_code type, const void* data, size_t size, bool fixedSize)
{
	if (!valid_name(name) || (data == NULL && size > 0))
		return B_BAD_VALUE;

	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field != NULL) {
		if (field->type != type)
			return B_BAD_TYPE;
		if (field->count == INT32_MAX)
			return B_NO_MEMORY;
		if (field->fixedSize && size != field->itemSize)
			return B_BAD_VALUE;
		field->AddItem(data, size);
		return B_OK;
	}

	// A fixed-size field of zero-byte values could not be flattened.
	if (fixedSize && size == 0)
		return B_BAD_VALUE;
	if (fFields == NULL)
		fFields = std::make_unique<FieldList>();
	field = fFields->Add(name, type, fixedSize, size);
	field->AddItem(data, size);
	return B_OK;
}

status_t
BMessage::_FindValue(
	const char* name, type_code type, int32 index, const void** data, size_t* size) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || index >= field->count)
		return B_BAD_INDEX;

	*data = field->ItemAt(index, size);
	return B_OK;
}

status_t
BMessage::_ReplaceValue(
	const char* name, type_code type, int32 index, const void* data, size_t size)
{
	if (name == NULL || (data == NULL && size > 0))
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || index >= field->count)
		return B_BAD_INDEX;
	if (field->fixedSize && size != field->itemSize)
		return B_BAD_VALUE;

	field->ReplaceItem(index, data, size);
	return B_OK;
}

status_t
BMessage::_SetValue(const char* name, type_code type, const void* data, size_t size, bool fixedSize)
{
	status_t status = _ReplaceValue(name, type, 0, data, size);
	if (status == B_NAME_NOT_FOUND)
		return _AddValue(name, type, data, size, fixedSize);
	return status;
}

template <typename T>
status_t
BMessage::_FindFixed(const char* name, type_code type, int32 index, T* value) const
{
	if (value == NULL)
		return B_BAD_VALUE;
	const void* data;
	size_t size;
	status_t status = _FindValue(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	// A field read from a file may hold values of an unexpected size.
	if (size != sizeof(T))
		return B_BAD_DATA;
	memcpy(value, data, sizeof(T));
	return B_OK;
}

// #pragma mark - Adding data


status_t
BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
	bool isFixedSize, int32 count)
{
	(void)count;
	if (numBytes < 0)
		return B_BAD_VALUE;
	if (type != B_MESSAGE_TYPE)
		return _AddValue(name, type, data, (size_t)numBytes, isFixedSize);

	// A nested message must stay readable: check it, and store it in the form this
	// message writes. Nested messages differ in size, so the field is variable-size.
	if (data == NULL)
		return B_BAD_VALUE;
	BMessage nested;
	status_t status = nested.Unflatten((const char*)data, numBytes);
	if (status != B_OK)
		return B_BAD_VALUE;
	return AddMessage(name, &nested);
}

status_t
BMessage::AddRect(const char* name, BRect rect)
{
	return _AddValue(name, B_RECT_TYPE, &rect, sizeof(rect), true);
}

status_t
BMessage::AddPoint(const char* name, BPoint point)
{
	return _AddValue(name, B_POINT_TYPE, &point, sizeof(point), true);
}

status_t
BMessage::AddString(const char* name, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return _AddValue(name, B_STRING_TYPE, string, strlen(string) + 1, false);
}

status_t
BMessage::AddInt8(const char* name, int8 value)
{
	return _AddValue(name, B_INT8_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddUInt8(const char* name, uint8 value)
{
	return _AddValue(name, B_UINT8_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddInt16(const char* name, int16 value)
{
	return _AddValue(name, B_INT16_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddUInt16(const char* name, uint16 value)
{
	return _AddValue(name, B_UINT16_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddInt32(const char* name, int32 value)
{
	return _AddValue(name, B_INT32_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddUInt32(const char* name, uint32 value)
{
	return _AddValue(name, B_UINT32_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddInt64(const char* name, int64 value)
{
	return _AddValue(name, B_INT64_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddUInt64(const char* name, uint64 value)
{
	return _AddValue(name, B_UINT64_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _AddValue(name, B_BOOL_TYPE, &byte, sizeof(byte), true);
}

status_t
BMessage::AddFloat(const char* name, float value)
{
	return _AddValue(name, B_FLOAT_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddDouble(const char* name, double value)
{
	return _AddValue(name, B_DOUBLE_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddColor(const char* name, rgb_color value)
{
	return _AddValue(name, B_RGB_COLOR_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::AddPointer(const char* name, const void* pointer)
{
	return _AddValue(name, B_POINTER_TYPE, &pointer, sizeof(pointer), true);
}

status_t
BMessage::AddRef(const char* name, const entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> buffer = BPrivate::message_flatten_ref(*ref);
	return _AddValue(name, B_REF_TYPE, buffer.data(), buffer.size(), false);
}

status_t
BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> buffer;
	status_t status = BPrivate::message_flatten(*message, buffer);
	if (status != B_OK)
		return status;
	return _AddValue(name, B_MESSAGE_TYPE, buffer.data(), buffer.size(), false);
}

status_t
BMessage::Append(const BMessage& message)
{
	if (&message == this || message.fFields == NULL)
		return &message == this ? B_BAD_VALUE : B_OK;

	for (int32 i = 0; i < message.fFields->CountFields(); i++) {
		const Field* field = message.fFields->FieldAt(i);
		for (int32 index = 0; index < field->count; index++) {
			size_t size;
			const uint8* item = field->ItemAt(index, &size);
			status_t status =
				_AddValue(field->name.c_str(), field->type, item, size, field->fixedSize);
			if (status != B_OK)
				return status;
		}
	}
	return B_OK;
}

// #pragma mark - Removing data


status_t
BMessage::RemoveData(const char* name, int32 index)
{
	if (name == NULL)
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (index < 0 || index >= field->count)
		return B_BAD_INDEX;

	if (field->count == 1) {
		fFields->Remove(field);
		return B_OK;
	}
	field->RemoveItem(index);
	return B_OK;
}

status_t
BMessage::RemoveName(const char* name)
{
	if (name == NULL)
		return B_BAD_VALUE;
	Field* field = fFields != NULL ? fFields->Find(name) : NULL;
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	fFields->Remove(field);
	return B_OK;
}

status_t
BMessage::MakeEmpty()
{
	fFields.reset();
	return B_OK;
}

// #pragma mark - Finding data


status_t
BMessage::FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t
BMessage::FindData(
	const char* name, type_code type, int32 index, const void** data, ssize_t* numBytes) const
{
	if (data == NULL)
		return B_BAD_VALUE;
	*data = NULL;
	size_t size;
	status_t status = _FindValue(name, type, index, data, &size);
	if (status != B_OK)
		return status;
	if (numBytes != NULL)
		*numBytes = (ssize_t)size;
	return B_OK;
}

status_t
BMessage::FindRect(const char* name, BRect* rect) const
{
	return _FindFixed(name, B_RECT_TYPE, 0, rect);
}

status_t
BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
	return _FindFixed(name, B_RECT_TYPE, index, rect);
}

status_t
BMessage::FindPoint(const char* name, BPoint* point) const
{
	return _FindFixed(name, B_POINT_TYPE, 0, point);
}

status_t
BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
	return _FindFixed(name, B_POINT_TYPE, index, point);
}

status_t
BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t
BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	*string = NULL;
	const void* data;
	size_t size;
	status_t status = _FindValue(name, B_STRING_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	// Values read from a file are not trusted to carry their terminator.
	if (size == 0 || ((const char*)data)[size - 1] != '\0')
		return B_BAD_DATA;
	*string = (const char*)data;
	return B_OK;
}

status_t
BMessage::FindInt8(const char* name, int8* value) const
{
	return _FindFixed(name, B_INT8_TYPE, 0, value);
}

status_t
BMessage::FindInt8(const char* name, int32 index, int8* value) const
{
	return _FindFixed(name, B_INT8_TYPE, index, value);
}

status_t
BMessage::FindUInt8(const char* name, uint8* value) const
{
	return _FindFixed(name, B_UINT8_TYPE, 0, value);
}

status_t
BMessage::FindUInt8(const char* name, int32 index, uint8* value) const
{
	return _FindFixed(name, B_UINT8_TYPE, index, value);
}

status_t
BMessage::FindInt16(const char* name, int16* value) const
{
	return _FindFixed(name, B_INT16_TYPE, 0, value);
}

status_t
BMessage::FindInt16(const char* name, int32 index, int16* value) const
{
	return _FindFixed(name, B_INT16_TYPE, index, value);
}

status_t
BMessage::FindUInt16(const char* name, uint16* value) const
{
	return _FindFixed(name, B_UINT16_TYPE, 0, value);
}

status_t
BMessage::FindUInt16(const char* name, int32 index, uint16* value) const
{
	return _FindFixed(name, B_UINT16_TYPE, index, value);
}

status_t
BMessage::FindInt32(const char* name, int32* value) const
{
	return _FindFixed(name, B_INT32_TYPE, 0, value);
}

status_t
BMessage::FindInt32(const char* name, int32 index, int32* value) const
{
	return _FindFixed(name, B_INT32_TYPE, index, value);
}

status_t
BMessage::FindUInt32(const char* name, uint32* value) const
{
	return _FindFixed(name, B_UINT32_TYPE, 0, value);
}

status_t
BMessage::FindUInt32(const char* name, int32 index, uint32* value) const
{
	return _FindFixed(name, B_UINT32_TYPE, index, value);
}

status_t
BMessage::FindInt64(const char* name, int64* value) const
{
	return _FindFixed(name, B_INT64_TYPE, 0, value);
}

status_t
BMessage::FindInt64(const char* name, int32 index, int64* value) const
{
	return _FindFixed(name, B_INT64_TYPE, index, value);
}

status_t
BMessage::FindUInt64(const char* name, uint64* value) const
{
	return _FindFixed(name, B_UINT64_TYPE, 0, value);
}

status_t
BMessage::FindUInt64(const char* name, int32 index, uint64* value) const
{
	return _FindFixed(name, B_UINT64_TYPE, index, value);
}

status_t
BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t
BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == NULL)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = _FindFixed(name, B_BOOL_TYPE, index, &byte);
	if (status != B_OK)
		return status;
	*value = byte != 0;
	return B_OK;
}

status_t
BMessage::FindFloat(const char* name, float* value) const
{
	return _FindFixed(name, B_FLOAT_TYPE, 0, value);
}

status_t
BMessage::FindFloat(const char* name, int32 index, float* value) const
{
	return _FindFixed(name, B_FLOAT_TYPE, index, value);
}

status_t
BMessage::FindDouble(const char* name, double* value) const
{
	return _FindFixed(name, B_DOUBLE_TYPE, 0, value);
}

status_t
BMessage::FindDouble(const char* name, int32 index, double* value) const
{
	return _FindFixed(name, B_DOUBLE_TYPE, index, value);
}

status_t
BMessage::FindColor(const char* name, rgb_color* value) const
{
	return _FindFixed(name, B_RGB_COLOR_TYPE, 0, value);
}

status_t
BMessage::FindColor(const char* name, int32 index, rgb_color* value) const
{
	return _FindFixed(name, B_RGB_COLOR_TYPE, index, value);
}

status_t
BMessage::FindPointer(const char* name, void** pointer) const
{
	return _FindFixed(name, B_POINTER_TYPE, 0, pointer);
}

status_t
BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	return _FindFixed(name, B_POINTER_TYPE, index, pointer);
}

status_t
BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t
BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	const void* data;
	size_t size;
	status_t status = _FindValue(name, B_REF_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	return BPrivate::message_unflatten_ref((const uint8*)data, size, ref);
}

status_t
BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t
BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (message == NULL || message == this)
		return B_BAD_VALUE;
	const void* data;
	size_t size;
	status_t status = _FindValue(name, B_MESSAGE_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	return message->Unflatten((const char*)data, (ssize_t)size);
}

// #pragma mark - Comparing


bool
BMessage::HasSameData(const BMessage& other, bool ignoreFieldOrder, bool deep) const
{
	if (what != other.what || CountNames(B_ANY_TYPE) != other.CountNames(B_ANY_TYPE))
		return false;
	if (fFields == NULL)
		return true;

	for (int32 i = 0; i < fFields->CountFields(); i++) {
		const Field* field = fFields->FieldAt(i);
		const Field* otherField =
			ignoreFieldOrder ? other.fFields->Find(field->name) : other.fFields->FieldAt(i);
		if (otherField == NULL || otherField->name != field->name || otherField->type != field->type
			|| otherField->count != field->count) {
			return false;
		}

		for (int32 index = 0; index < field->count; index++) {
			size_t size;
			size_t otherSize;
			const uint8* item = field->ItemAt(index, &size);
			const uint8* otherItem = otherField->ItemAt(index, &otherSize);
			if (deep && field->type == B_MESSAGE_TYPE) {
				BMessage nested;
				BMessage otherNested;
				if (nested.Unflatten((const char*)item, size) != B_OK
					|| otherNested.Unflatten((const char*)otherItem, otherSize) != B_OK
					|| !nested.HasSameData(otherNested, ignoreFieldOrder, true)) {
					return false;
				}
				continue;
			}
			if (size != otherSize || memcmp(item, otherItem, size) != 0)
				return false;
		}
	}
	return true;
}

// #pragma mark - BMessage::Private


void
BMessage::Private::SetReplyRoute(std::shared_ptr<BPrivate::MessageReplyRoute> route)
{
	fMessage->fReplyRoute = std::move(route);
}

const std::shared_ptr<BPrivate::MessageReplyRoute>&
BMessage::Private::ReplyRoute() const
{
	return fMessage->fReplyRoute;
}

void
BMessage::Private::SetWasDelivered(bool delivered)
{
	if (delivered)
		fMessage->fDeliveryFlags |= kMessageWasDelivered;
	else
		fMessage->fDeliveryFlags &= ~kMessageWasDelivered;
}

void
BMessage::Private::SetReply(bool isReply)
{
	if (isReply)
		fMessage->fDeliveryFlags |= kMessageIsReply;
	else
		fMessage->fDeliveryFlags &= ~kMessageIsReply;
}

void
BMessage::Private::SetPrevious(BMessage* previous)
{
	if (previous == fMessage->fPrevious)
		return;
	delete fMessage->fPrevious;
	fMessage->fPrevious = previous;
}

void
BMessage::Private::SetWasDropped(bool dropped)
{
	if (dropped)
		fMessage->fDeliveryFlags |= kMessageWasDropped;
	else
		fMessage->fDeliveryFlags &= ~kMessageWasDropped;
}

void
BMessage::Private::SetDropPoint(BPoint where, BPoint offset)
{
	fMessage->fDropPoint = where;
	fMessage->fDropOffset = offset;
}

void
BMessage::Private::ClearDelivery()
{
	fMessage->_ClearDelivery();
}

status_t
BMessage::Private::Flatten(const BMessage& message, std::vector<char>& out)
{
	ssize_t size = message.FlattenedSize();
	out.resize((size_t)size);
	return message.Flatten(out.data(), size);
}

BPrivate::MessageReplyRoute::~MessageReplyRoute() { }

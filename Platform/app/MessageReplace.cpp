// Replacing values of existing fields.
#include <Message.h>

#include "MessageFields.h"

#include <EntryRef.h>

// #pragma mark - Replacing data


status_t
BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t
BMessage::ReplaceData(
	const char* name, type_code type, int32 index, const void* data, ssize_t numBytes)
{
	if (numBytes < 0)
		return B_BAD_VALUE;
	if (type != B_MESSAGE_TYPE)
		return _ReplaceValue(name, type, index, data, (size_t)numBytes);

	if (data == NULL)
		return B_BAD_VALUE;
	BMessage nested;
	if (nested.Unflatten((const char*)data, numBytes) != B_OK)
		return B_BAD_VALUE;
	return ReplaceMessage(name, index, &nested);
}

status_t
BMessage::ReplaceRect(const char* name, BRect rect)
{
	return _ReplaceValue(name, B_RECT_TYPE, 0, &rect, sizeof(rect));
}

status_t
BMessage::ReplaceRect(const char* name, int32 index, BRect rect)
{
	return _ReplaceValue(name, B_RECT_TYPE, index, &rect, sizeof(rect));
}

status_t
BMessage::ReplacePoint(const char* name, BPoint point)
{
	return _ReplaceValue(name, B_POINT_TYPE, 0, &point, sizeof(point));
}

status_t
BMessage::ReplacePoint(const char* name, int32 index, BPoint point)
{
	return _ReplaceValue(name, B_POINT_TYPE, index, &point, sizeof(point));
}

status_t
BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t
BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return _ReplaceValue(name, B_STRING_TYPE, index, string, strlen(string) + 1);
}

status_t
BMessage::ReplaceInt8(const char* name, int8 value)
{
	return _ReplaceValue(name, B_INT8_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt8(const char* name, int32 index, int8 value)
{
	return _ReplaceValue(name, B_INT8_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt8(const char* name, uint8 value)
{
	return _ReplaceValue(name, B_UINT8_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt8(const char* name, int32 index, uint8 value)
{
	return _ReplaceValue(name, B_UINT8_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt16(const char* name, int16 value)
{
	return _ReplaceValue(name, B_INT16_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt16(const char* name, int32 index, int16 value)
{
	return _ReplaceValue(name, B_INT16_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt16(const char* name, uint16 value)
{
	return _ReplaceValue(name, B_UINT16_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt16(const char* name, int32 index, uint16 value)
{
	return _ReplaceValue(name, B_UINT16_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt32(const char* name, int32 value)
{
	return _ReplaceValue(name, B_INT32_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
	return _ReplaceValue(name, B_INT32_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt32(const char* name, uint32 value)
{
	return _ReplaceValue(name, B_UINT32_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt32(const char* name, int32 index, uint32 value)
{
	return _ReplaceValue(name, B_UINT32_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt64(const char* name, int64 value)
{
	return _ReplaceValue(name, B_INT64_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt64(const char* name, int32 index, int64 value)
{
	return _ReplaceValue(name, B_INT64_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt64(const char* name, uint64 value)
{
	return _ReplaceValue(name, B_UINT64_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceUInt64(const char* name, int32 index, uint64 value)
{
	return _ReplaceValue(name, B_UINT64_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t
BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _ReplaceValue(name, B_BOOL_TYPE, index, &byte, sizeof(byte));
}

status_t
BMessage::ReplaceFloat(const char* name, float value)
{
	return _ReplaceValue(name, B_FLOAT_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceFloat(const char* name, int32 index, float value)
{
	return _ReplaceValue(name, B_FLOAT_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceDouble(const char* name, double value)
{
	return _ReplaceValue(name, B_DOUBLE_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceDouble(const char* name, int32 index, double value)
{
	return _ReplaceValue(name, B_DOUBLE_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceColor(const char* name, rgb_color value)
{
	return _ReplaceValue(name, B_RGB_COLOR_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceColor(const char* name, int32 index, rgb_color value)
{
	return _ReplaceValue(name, B_RGB_COLOR_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return _ReplaceValue(name, B_POINTER_TYPE, 0, &pointer, sizeof(pointer));
}

status_t
BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	return _ReplaceValue(name, B_POINTER_TYPE, index, &pointer, sizeof(pointer));
}

status_t
BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t
BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> buffer = BPrivate::message_flatten_ref(*ref);
	return _ReplaceValue(name, B_REF_TYPE, index, buffer.data(), buffer.size());
}

status_t
BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t
BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<uint8> buffer;
	status_t status = BPrivate::message_flatten(*message, buffer);
	if (status != B_OK)
		return status;
	return _ReplaceValue(name, B_MESSAGE_TYPE, index, buffer.data(), buffer.size());
}

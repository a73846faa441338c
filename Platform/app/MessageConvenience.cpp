// The conveniences around the field API: presence tests, the BeOS R5 shortcuts that
// return values directly, and getters with defaults and setters.
#include <Message.h>

#include "MessageFields.h"

// #pragma mark - Presence tests


bool
BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const void* data;
	size_t size;
	return _FindValue(name, type, index, &data, &size) == B_OK;
}

bool
BMessage::HasRect(const char* name, int32 index) const
{
	return HasData(name, B_RECT_TYPE, index);
}

bool
BMessage::HasPoint(const char* name, int32 index) const
{
	return HasData(name, B_POINT_TYPE, index);
}

bool
BMessage::HasString(const char* name, int32 index) const
{
	return HasData(name, B_STRING_TYPE, index);
}

bool
BMessage::HasInt8(const char* name, int32 index) const
{
	return HasData(name, B_INT8_TYPE, index);
}

bool
BMessage::HasUInt8(const char* name, int32 index) const
{
	return HasData(name, B_UINT8_TYPE, index);
}

bool
BMessage::HasInt16(const char* name, int32 index) const
{
	return HasData(name, B_INT16_TYPE, index);
}

bool
BMessage::HasUInt16(const char* name, int32 index) const
{
	return HasData(name, B_UINT16_TYPE, index);
}

bool
BMessage::HasInt32(const char* name, int32 index) const
{
	return HasData(name, B_INT32_TYPE, index);
}

bool
BMessage::HasUInt32(const char* name, int32 index) const
{
	return HasData(name, B_UINT32_TYPE, index);
}

bool
BMessage::HasInt64(const char* name, int32 index) const
{
	return HasData(name, B_INT64_TYPE, index);
}

bool
BMessage::HasUInt64(const char* name, int32 index) const
{
	return HasData(name, B_UINT64_TYPE, index);
}

bool
BMessage::HasBool(const char* name, int32 index) const
{
	return HasData(name, B_BOOL_TYPE, index);
}

bool
BMessage::HasFloat(const char* name, int32 index) const
{
	return HasData(name, B_FLOAT_TYPE, index);
}

bool
BMessage::HasDouble(const char* name, int32 index) const
{
	return HasData(name, B_DOUBLE_TYPE, index);
}

bool
BMessage::HasColor(const char* name, int32 index) const
{
	return HasData(name, B_RGB_COLOR_TYPE, index);
}

bool
BMessage::HasPointer(const char* name, int32 index) const
{
	return HasData(name, B_POINTER_TYPE, index);
}

bool
BMessage::HasMessenger(const char* name, int32 index) const
{
	return HasData(name, B_MESSENGER_TYPE, index);
}

bool
BMessage::HasRef(const char* name, int32 index) const
{
	return HasData(name, B_REF_TYPE, index);
}

bool
BMessage::HasMessage(const char* name, int32 index) const
{
	return HasData(name, B_MESSAGE_TYPE, index);
}

// #pragma mark - BeOS R5 shortcuts


BRect
BMessage::FindRect(const char* name, int32 index) const
{
	BRect rect;
	FindRect(name, index, &rect);
	return rect;
}

BPoint
BMessage::FindPoint(const char* name, int32 index) const
{
	BPoint point;
	FindPoint(name, index, &point);
	return point;
}

const char*
BMessage::FindString(const char* name, int32 index) const
{
	const char* string = NULL;
	FindString(name, index, &string);
	return string;
}

int8
BMessage::FindInt8(const char* name, int32 index) const
{
	int8 value = 0;
	FindInt8(name, index, &value);
	return value;
}

int16
BMessage::FindInt16(const char* name, int32 index) const
{
	int16 value = 0;
	FindInt16(name, index, &value);
	return value;
}

int32
BMessage::FindInt32(const char* name, int32 index) const
{
	int32 value = 0;
	FindInt32(name, index, &value);
	return value;
}

int64
BMessage::FindInt64(const char* name, int32 index) const
{
	int64 value = 0;
	FindInt64(name, index, &value);
	return value;
}

bool
BMessage::FindBool(const char* name, int32 index) const
{
	bool value = false;
	FindBool(name, index, &value);
	return value;
}

float
BMessage::FindFloat(const char* name, int32 index) const
{
	float value = 0.0f;
	FindFloat(name, index, &value);
	return value;
}

double
BMessage::FindDouble(const char* name, int32 index) const
{
	double value = 0.0;
	FindDouble(name, index, &value);
	return value;
}

// #pragma mark - Getters with defaults


bool
BMessage::GetBool(const char* name, bool defaultValue) const
{
	return GetBool(name, 0, defaultValue);
}

bool
BMessage::GetBool(const char* name, int32 index, bool defaultValue) const
{
	bool value;
	return FindBool(name, index, &value) == B_OK ? value : defaultValue;
}

int8
BMessage::GetInt8(const char* name, int8 defaultValue) const
{
	return GetInt8(name, 0, defaultValue);
}

int8
BMessage::GetInt8(const char* name, int32 index, int8 defaultValue) const
{
	int8 value;
	return FindInt8(name, index, &value) == B_OK ? value : defaultValue;
}

uint8
BMessage::GetUInt8(const char* name, uint8 defaultValue) const
{
	return GetUInt8(name, 0, defaultValue);
}

uint8
BMessage::GetUInt8(const char* name, int32 index, uint8 defaultValue) const
{
	uint8 value;
	return FindUInt8(name, index, &value) == B_OK ? value : defaultValue;
}

int16
BMessage::GetInt16(const char* name, int16 defaultValue) const
{
	return GetInt16(name, 0, defaultValue);
}

int16
BMessage::GetInt16(const char* name, int32 index, int16 defaultValue) const
{
	int16 value;
	return FindInt16(name, index, &value) == B_OK ? value : defaultValue;
}

uint16
BMessage::GetUInt16(const char* name, uint16 defaultValue) const
{
	return GetUInt16(name, 0, defaultValue);
}

uint16
BMessage::GetUInt16(const char* name, int32 index, uint16 defaultValue) const
{
	uint16 value;
	return FindUInt16(name, index, &value) == B_OK ? value : defaultValue;
}

int32
BMessage::GetInt32(const char* name, int32 defaultValue) const
{
	return GetInt32(name, 0, defaultValue);
}

int32
BMessage::GetInt32(const char* name, int32 index, int32 defaultValue) const
{
	int32 value;
	return FindInt32(name, index, &value) == B_OK ? value : defaultValue;
}

uint32
BMessage::GetUInt32(const char* name, uint32 defaultValue) const
{
	return GetUInt32(name, 0, defaultValue);
}

uint32
BMessage::GetUInt32(const char* name, int32 index, uint32 defaultValue) const
{
	uint32 value;
	return FindUInt32(name, index, &value) == B_OK ? value : defaultValue;
}

int64
BMessage::GetInt64(const char* name, int64 defaultValue) const
{
	return GetInt64(name, 0, defaultValue);
}

int64
BMessage::GetInt64(const char* name, int32 index, int64 defaultValue) const
{
	int64 value;
	return FindInt64(name, index, &value) == B_OK ? value : defaultValue;
}

uint64
BMessage::GetUInt64(const char* name, uint64 defaultValue) const
{
	return GetUInt64(name, 0, defaultValue);
}

uint64
BMessage::GetUInt64(const char* name, int32 index, uint64 defaultValue) const
{
	uint64 value;
	return FindUInt64(name, index, &value) == B_OK ? value : defaultValue;
}

float
BMessage::GetFloat(const char* name, float defaultValue) const
{
	return GetFloat(name, 0, defaultValue);
}

float
BMessage::GetFloat(const char* name, int32 index, float defaultValue) const
{
	float value;
	return FindFloat(name, index, &value) == B_OK ? value : defaultValue;
}

double
BMessage::GetDouble(const char* name, double defaultValue) const
{
	return GetDouble(name, 0, defaultValue);
}

double
BMessage::GetDouble(const char* name, int32 index, double defaultValue) const
{
	double value;
	return FindDouble(name, index, &value) == B_OK ? value : defaultValue;
}

const char*
BMessage::GetString(const char* name, const char* defaultValue) const
{
	return GetString(name, 0, defaultValue);
}

const char*
BMessage::GetString(const char* name, int32 index, const char* defaultValue) const
{
	const char* value;
	return FindString(name, index, &value) == B_OK ? value : defaultValue;
}

BPoint
BMessage::GetPoint(const char* name, const BPoint& defaultValue) const
{
	return GetPoint(name, 0, defaultValue);
}

BPoint
BMessage::GetPoint(const char* name, int32 index, const BPoint& defaultValue) const
{
	BPoint value;
	return FindPoint(name, index, &value) == B_OK ? value : defaultValue;
}

BRect
BMessage::GetRect(const char* name, const BRect& defaultValue) const
{
	return GetRect(name, 0, defaultValue);
}

BRect
BMessage::GetRect(const char* name, int32 index, const BRect& defaultValue) const
{
	BRect value;
	return FindRect(name, index, &value) == B_OK ? value : defaultValue;
}

rgb_color
BMessage::GetColor(const char* name, rgb_color defaultValue) const
{
	return GetColor(name, 0, defaultValue);
}

rgb_color
BMessage::GetColor(const char* name, int32 index, rgb_color defaultValue) const
{
	rgb_color value;
	return FindColor(name, index, &value) == B_OK ? value : defaultValue;
}

const void*
BMessage::GetPointer(const char* name, const void* defaultValue) const
{
	return GetPointer(name, 0, defaultValue);
}

const void*
BMessage::GetPointer(const char* name, int32 index, const void* defaultValue) const
{
	void* value;
	return FindPointer(name, index, &value) == B_OK ? value : defaultValue;
}

// #pragma mark - Setters


status_t
BMessage::SetBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _SetValue(name, B_BOOL_TYPE, &byte, sizeof(byte), true);
}

status_t
BMessage::SetInt8(const char* name, int8 value)
{
	return _SetValue(name, B_INT8_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetUInt8(const char* name, uint8 value)
{
	return _SetValue(name, B_UINT8_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetInt16(const char* name, int16 value)
{
	return _SetValue(name, B_INT16_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetUInt16(const char* name, uint16 value)
{
	return _SetValue(name, B_UINT16_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetInt32(const char* name, int32 value)
{
	return _SetValue(name, B_INT32_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetUInt32(const char* name, uint32 value)
{
	return _SetValue(name, B_UINT32_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetInt64(const char* name, int64 value)
{
	return _SetValue(name, B_INT64_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetUInt64(const char* name, uint64 value)
{
	return _SetValue(name, B_UINT64_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetFloat(const char* name, float value)
{
	return _SetValue(name, B_FLOAT_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetDouble(const char* name, double value)
{
	return _SetValue(name, B_DOUBLE_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetString(const char* name, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return _SetValue(name, B_STRING_TYPE, string, strlen(string) + 1, false);
}

status_t
BMessage::SetPoint(const char* name, const BPoint& value)
{
	return _SetValue(name, B_POINT_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetRect(const char* name, const BRect& value)
{
	return _SetValue(name, B_RECT_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetColor(const char* name, rgb_color value)
{
	return _SetValue(name, B_RGB_COLOR_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetPointer(const char* name, const void* value)
{
	return _SetValue(name, B_POINTER_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::SetData(const char* name, type_code type, const void* data, ssize_t numBytes,
	bool fixedSize, int32 count)
{
	status_t status = ReplaceData(name, type, data, numBytes);
	if (status == B_NAME_NOT_FOUND)
		return AddData(name, type, data, numBytes, fixedSize, count);
	return status;
}

// Resources that hold one value of a fixed size, in the little-endian byte order of the
// BeOS x86 resource files.
#include "LibAppResource.h"

#include <TypeConstants.h>

#include <stdlib.h>
#include <string.h>

namespace {

// Fetches (type, id) into value when it has exactly size bytes.
bool
find_exact(BResources& resources, type_code type, int32 id, void* value, size_t size)
{
	size_t length = 0;
	void* data = resources.FindResource(type, id, &length);
	if (data == NULL)
		return false;
	bool found = length == size;
	if (found)
		memcpy(value, data, size);
	free(data);
	return found;
}

uint32
le32(const uint8* data)
{
	return (uint32)data[0] | ((uint32)data[1] << 8) | ((uint32)data[2] << 16)
		| ((uint32)data[3] << 24);
}

float
le_float(const uint8* data)
{
	uint32 bits = le32(data);
	float value;
	memcpy(&value, &bits, sizeof(value));
	return value;
}

} // namespace

bool
LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color)
{
	uint8 data[4];
	if (!find_exact(resources, B_RGB_COLOR_TYPE, id, data, sizeof(data)))
		return false;
	color.red = data[0];
	color.green = data[1];
	color.blue = data[2];
	color.alpha = data[3];
	return true;
}

bool
LibFindRectResource(BResources& resources, const int32& id, BRect& rect)
{
	uint8 data[16];
	if (!find_exact(resources, B_RECT_TYPE, id, data, sizeof(data)))
		return false;
	rect.Set(le_float(data), le_float(data + 4), le_float(data + 8), le_float(data + 12));
	return true;
}

bool
LibFindShortResource(BResources& resources, const int32& id, int8& value)
{
	uint8 data;
	if (!find_exact(resources, B_INT8_TYPE, id, &data, 1))
		return false;
	value = (int8)data;
	return true;
}

bool
LibFindLongResource(BResources& resources, const int32& id, int32& value)
{
	uint8 data[4];
	if (!find_exact(resources, B_INT32_TYPE, id, data, sizeof(data)))
		return false;
	value = (int32)le32(data);
	return true;
}

bool
LibFindBoolResource(BResources& resources, const int32& id, bool& value)
{
	uint8 data;
	if (!find_exact(resources, B_BOOL_TYPE, id, &data, 1))
		return false;
	value = data != 0;
	return true;
}

bool
LibFindStringResource(BResources& resources, const int32& id, char* buffer, const size_t& size)
{
	if (buffer == NULL || size == 0)
		return false;
	buffer[0] = '\0';
	size_t length = 0;
	void* data = resources.FindResource(B_STRING_TYPE, id, &length);
	if (data == NULL)
		return false;
	size_t textLength = strnlen(static_cast<const char*>(data), length);
	if (textLength >= size)
		textLength = size - 1;
	memcpy(buffer, data, textLength);
	buffer[textLength] = '\0';
	free(data);
	return length > 0;
}

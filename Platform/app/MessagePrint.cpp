// BMessage::PrintToStream(): a dump in the BeOS style, one line per value, nested messages
// indented below the value that holds them.
#include <Message.h>

#include "MessageFields.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>

namespace {

// Four-character codes print as text when every character is printable.
void
print_code(uint32 code)
{
	char text[5];
	for (int i = 0; i < 4; i++) {
		text[i] = (char)(code >> (24 - 8 * i));
		if (!isprint((unsigned char)text[i])) {
			printf("0x%08" PRIx32, code);
			return;
		}
	}
	text[4] = '\0';
	printf("'%s'", text);
}

void
print_hex(const uint8* data, size_t size)
{
	const size_t kShown = 32;
	for (size_t i = 0; i < size && i < kShown; i++)
		printf("%s%02x", i == 0 ? "" : " ", data[i]);
	if (size > kShown)
		printf(" ...");
}

template <typename T>
T
value_of(const uint8* data)
{
	T value;
	memcpy(&value, data, sizeof(T));
	return value;
}

void print_message(const BMessage& message, int indent);

// Prints one value; true when the output already ends its line.
bool
print_value(type_code type, const uint8* data, size_t size, int indent)
{
	switch (type) {
		case B_BOOL_TYPE:
			if (size == 1) {
				printf("%s", data[0] != 0 ? "TRUE" : "FALSE");
				return false;
			}
			break;
		case B_INT8_TYPE:
		case B_UINT8_TYPE:
		case B_CHAR_TYPE:
			if (size == 1) {
				printf("0x%x (%d, '%c')", data[0], type == B_INT8_TYPE ? (int8)data[0] : data[0],
					isprint(data[0]) ? data[0] : '.');
				return false;
			}
			break;
		case B_INT16_TYPE:
		case B_UINT16_TYPE:
			if (size == 2) {
				uint16 value = value_of<uint16>(data);
				printf("0x%x (%d)", value, type == B_INT16_TYPE ? (int16)value : value);
				return false;
			}
			break;
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
			if (size == 4) {
				uint32 value = value_of<uint32>(data);
				if (type == B_INT32_TYPE)
					printf("0x%" PRIx32 " (%" PRId32 ", ", value, (int32)value);
				else
					printf("0x%" PRIx32 " (%" PRIu32 ", ", value, value);
				print_code(value);
				printf(")");
				return false;
			}
			break;
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_OFF_T_TYPE:
			if (size == 8) {
				uint64 value = value_of<uint64>(data);
				if (type == B_UINT64_TYPE)
					printf("0x%" PRIx64 " (%" PRIu64 ")", value, value);
				else
					printf("0x%" PRIx64 " (%" PRId64 ")", value, (int64)value);
				return false;
			}
			break;
		case B_FLOAT_TYPE:
			if (size == 4) {
				printf("%.4f", value_of<float>(data));
				return false;
			}
			break;
		case B_DOUBLE_TYPE:
			if (size == 8) {
				printf("%.8f", value_of<double>(data));
				return false;
			}
			break;
		case B_STRING_TYPE:
		case B_MIME_TYPE:
		case B_MIME_STRING_TYPE:
			if (size > 0 && data[size - 1] == '\0') {
				printf("\"%s\"", (const char*)data);
				return false;
			}
			break;
		case B_POINT_TYPE:
			if (size == 8) {
				BPoint point = value_of<BPoint>(data);
				printf("BPoint(x:%.1f, y:%.1f)", point.x, point.y);
				return false;
			}
			break;
		case B_RECT_TYPE:
			if (size == 16) {
				BRect rect = value_of<BRect>(data);
				printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)", rect.left, rect.top, rect.right,
					rect.bottom);
				return false;
			}
			break;
		case B_RGB_COLOR_TYPE:
			if (size == 4) {
				printf("rgb_color(%u, %u, %u, %u)", data[0], data[1], data[2], data[3]);
				return false;
			}
			break;
		case B_POINTER_TYPE:
			if (size == sizeof(void*)) {
				printf("%p", value_of<void*>(data));
				return false;
			}
			break;
		case B_REF_TYPE:
			if (size >= 12) {
				printf("entry_ref(device=%" PRId32 ", directory=%" PRId64 ", name=",
					value_of<int32>(data), value_of<int64>(data + 4));
				if (size > 12 && data[size - 1] == '\0')
					printf("\"%s\")", (const char*)data + 12);
				else
					printf("NULL)");
				return false;
			}
			break;
		case B_MESSAGE_TYPE: {
			BMessage nested;
			if (nested.Unflatten((const char*)data, (ssize_t)size) == B_OK) {
				printf("\n");
				print_message(nested, indent + 1);
				return true;
			}
			break;
		}
		default:
			break;
	}
	print_hex(data, size);
	return false;
}

void
print_message(const BMessage& message, int indent)
{
	printf("%*sBMessage: what = ", indent * 4, "");
	print_code(message.what);
	printf(" (0x%" PRIx32 ", or %" PRIu32 ")\n", message.what, message.what);

	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		for (int32 index = 0; index < count; index++) {
			const void* data;
			ssize_t size;
			if (message.FindData(name, type, index, &data, &size) != B_OK)
				continue;
			printf("%*s    entry %14s, type=", indent * 4, "", name);
			print_code(type);
			printf(", c=%" PRId32 ", size=%3zd, data[%" PRId32 "]:%s", count, size, index,
				type == B_MESSAGE_TYPE ? "" : " ");
			if (!print_value(type, (const uint8*)data, (size_t)size, indent + 1))
				printf("\n");
		}
	}
}

} // namespace

void
BMessage::PrintToStream() const
{
	print_message(*this, 0);
	fflush(stdout);
}

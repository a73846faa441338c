// Feeds arbitrary bytes to BMessage::Unflatten. What it accepts must flatten again, read
// back to the same message, and flatten to the same bytes a second time; what it refuses
// must leave an empty message. The sanitizers catch any read past the input.
#include <Message.h>

#include <EntryRef.h>

#include <cstdlib>
#include <vector>

namespace {

std::vector<char>
flatten(const BMessage& message)
{
	std::vector<char> bytes((size_t)message.FlattenedSize());
	if (message.Flatten(bytes.data(), (ssize_t)bytes.size()) != B_OK)
		abort();
	return bytes;
}

// Reads every value through the typed finders, as a program would.
void
read_every_value(const BMessage& message)
{
	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		for (int32 index = 0; index < count; index++) {
			const void* data;
			ssize_t size;
			if (message.FindData(name, type, index, &data, &size) != B_OK)
				abort();
			switch (type) {
				case B_STRING_TYPE: {
					const char* string;
					message.FindString(name, index, &string);
					break;
				}
				case B_REF_TYPE: {
					entry_ref ref;
					message.FindRef(name, index, &ref);
					break;
				}
				case B_MESSAGE_TYPE: {
					BMessage nested;
					if (message.FindMessage(name, index, &nested) != B_OK)
						abort();
					break;
				}
				case B_RECT_TYPE:
					message.FindRect(name, index);
					break;
				default:
					message.FindInt32(name, index);
					break;
			}
		}
	}
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage message('full');
	message.AddInt32("previous", 1);
	if (message.Unflatten((const char*)data, (ssize_t)size) != B_OK) {
		if (!message.IsEmpty() || message.what != 0)
			abort();
		return 0;
	}

	read_every_value(message);

	std::vector<char> flat = flatten(message);
	BMessage again;
	if (again.Unflatten(flat.data(), (ssize_t)flat.size()) != B_OK)
		abort();
	if (!again.HasSameData(message, false, true))
		abort();
	if (flatten(again) != flat)
		abort();
	return 0;
}

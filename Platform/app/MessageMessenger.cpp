// Messenger fields. A BMessenger holds numbers only, so its bytes are the stored value; such
// fields stay inside the process (the flattened form leaves them out).
#include <Message.h>

#include <Messenger.h>

#include <cstring>
#include <type_traits>

static_assert(
	std::is_trivially_copyable_v<BMessenger>, "messenger fields store a BMessenger as its bytes");

status_t
BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	return _AddValue(name, B_MESSENGER_TYPE, &messenger, sizeof(messenger), true);
}

status_t
BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
	return FindMessenger(name, 0, messenger);
}

status_t
BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
	if (messenger == NULL)
		return B_BAD_VALUE;
	const void* data;
	size_t size;
	status_t status = _FindValue(name, B_MESSENGER_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	if (size != sizeof(BMessenger))
		return B_BAD_DATA;
	memcpy((void*)messenger, data, sizeof(BMessenger));
	return B_OK;
}

status_t
BMessage::ReplaceMessenger(const char* name, BMessenger messenger)
{
	return _ReplaceValue(name, B_MESSENGER_TYPE, 0, &messenger, sizeof(messenger));
}

status_t
BMessage::ReplaceMessenger(const char* name, int32 index, BMessenger messenger)
{
	return _ReplaceValue(name, B_MESSENGER_TYPE, index, &messenger, sizeof(messenger));
}

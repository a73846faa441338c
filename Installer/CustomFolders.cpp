#include "CustomFolders.h"

#include <Message.h>

#include <cinttypes>

namespace {

constexpr const char* kCustomFolderQuantity = "custom_folder_qty";

bool
has_folder(const BMessage& message, int32 number)
{
	LibString key;
	key.Formatted("custom_folder_name_%" PRId32, number);
	const char* name = nullptr;
	return message.FindString(key, &name) == B_OK;
}

} // namespace

CustomFolders::~CustomFolders() { }

bool
CustomFolders::IsCustom(const char* name)
{
	return Find(name) != nullptr;
}

CustomFolder*
CustomFolders::Find(const char* name)
{
	for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
		if (folder->Name() == name)
			return folder;
	}
	return nullptr;
}

int32
CustomFolders::CountCommonCustom() const
{
	int32 count = 0;
	for (ListNode<CustomFolder>* node = fFirst; node != nullptr; node = node->fNext) {
		if (node->fElement->CommonDef())
			count++;
	}
	return count;
}

void
CustomFolders::WritePref(BMessage& message, bool custom) const
{
	int32 common = CountCommonCustom();
	message.AddInt32(kCustomFolderQuantity, custom ? fCount - common : common);

	int32 number = 0;
	for (ListNode<CustomFolder>* node = fFirst; node != nullptr; node = node->fNext) {
		// An author folder is one without the common flag.
		if (node->fElement->CommonDef() == custom)
			continue;
		node->fElement->WritePref(number, message);
		number++;
	}
}

void
CustomFolders::ReadPref(const BMessage& message, bool custom)
{
	int32 quantity = 0;
	if (message.FindInt32(kCustomFolderQuantity, &quantity) != B_OK)
		quantity = 0;

	for (int32 number = 0; number < quantity; number++) {
		// The count comes from a stored message that may be damaged: a folder that is not
		// there ends the reading instead of adding empty folders up to the count.
		if (!has_folder(message, number))
			break;

		if (!custom) {
			CustomFolder scratch;
			scratch.ReadPref(number, message);
			CustomFolder* existing = Find(scratch.Name());
			if (existing != nullptr) {
				LibString renamed(existing->Name());
				renamed += " Renamed";
				existing->SetName(renamed);
			}
		}

		CustomFolder* folder = new CustomFolder();
		folder->ReadPref(number, message);
		folder->CommonDef(!custom);
		Insert(folder);
	}
}

void
CustomFolders::PrintToStream() const
{
	for (ListNode<CustomFolder>* node = fFirst; node != nullptr; node = node->fNext)
		node->fElement->PrintToStream();
}

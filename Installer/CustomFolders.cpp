#include "CustomFolders.h"

#include <Message.h>

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kCustomFolderQuantity = "custom_folder_qty";

// The numbers below quantity under which the message holds a folder (a string field
// "custom_folder_name_<n>", n in plain decimal), in increasing order.
std::vector<int32>
folder_numbers(const BMessage& message, int32 quantity)
{
	static const char kPrefix[] = "custom_folder_name_";
	const size_t prefixLength = sizeof(kPrefix) - 1;
	std::vector<int32> numbers;
	char* name = nullptr;
	type_code type;
	for (int32 index = 0; message.GetInfo(B_STRING_TYPE, index, &name, &type) == B_OK; index++) {
		if (strncmp(name, kPrefix, prefixLength) != 0)
			continue;
		const char* digits = name + prefixLength;
		size_t length = strlen(digits);
		if (length == 0 || length > 10 || strspn(digits, "0123456789") != length
			|| (length > 1 && digits[0] == '0')) {
			continue;
		}
		long long number = strtoll(digits, nullptr, 10);
		if (number < quantity)
			numbers.push_back(static_cast<int32>(number));
	}
	std::sort(numbers.begin(), numbers.end());
	return numbers;
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

	// The count comes from a stored message that may be damaged: numbers without a folder
	// are skipped (a gap loses none of the folders after it), and only the folders the
	// message holds are visited, whatever count it claims.
	for (int32 number : folder_numbers(message, quantity)) {
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

// The item queries: selection, sizes and install types, by leaf name.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibStringIterator.h"
#include "PackageDefs.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace install_config;

namespace {

// The index of the first item whose file_name ends in leaf, or -1; item receives it.
int32
find_item(const BMessage& configuration, const char* leaf, BMessage& item)
{
	if (leaf == nullptr)
		return -1;
	BMessage instructions;
	if (configuration.FindMessage(Package::kInstallInstructions, &instructions) != B_OK)
		return -1;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		const char* fileName = nullptr;
		if (item.FindString(Package::kFileName, &fileName) != B_OK)
			continue;
		if (leaf_of(fileName) == leaf)
			return i;
	}
	return -1;
}

} // namespace

int32
InstallConfig::GetFileSize(const char* leaf)
{
	BMessage item;
	if (find_item(*this, leaf, item) < 0)
		return 0;
	int32 size = 0;
	item.FindInt32(Package::kFileSize, 0, &size);
	return size;
}

void
InstallConfig::MarkInstallFile(const char* leaf, const bool& selected)
{
	BMessage item;
	int32 index = find_item(*this, leaf, item);
	if (index < 0)
		return;
	if (item.HasBool(Package::kInstallToSystem))
		item.ReplaceBool(Package::kInstallToSystem, selected);
	else
		item.AddBool(Package::kInstallToSystem, selected);
	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	instructions.ReplaceMessage(Package::kInstallFile, index, &item);
	ReplaceMessage(Package::kInstallInstructions, &instructions);
}

bool
InstallConfig::MatchType(const char* leaf, const char* typeName)
{
	BMessage item;
	if (find_item(*this, leaf, item) < 0 || typeName == nullptr)
		return false;
	const char* groups = nullptr;
	if (item.FindString(Package::kFileGroups, &groups) != B_OK) {
		fprintf(stderr, "InstallConfig::MatchType: Could not find option\n");
		return false;
	}
	LibStringIterator iterator(groups);
	LibString field;
	while (iterator.GetNextField(';', field)) {
		if (field == typeName)
			return true;
	}
	return false;
}

int32
InstallConfig::CountSelectedItems() const
{
	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	int32 count = 0;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		if (is_selected(item))
			count++;
	}
	return count;
}

int64
InstallConfig::SelectedSize() const
{
	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	// Summed in 64 bits: selected items of more than 2 GB together must not wrap to a
	// total that passes the free-space check. Each item counts by its leaf name's first
	// item, as the size queries answer; those sizes are gathered in one pass, so that a
	// package of many items is not read once per item.
	std::map<std::string, int32> firstSizes;
	std::vector<std::string> selectedLeaves;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		const char* fileName = nullptr;
		if (item.FindString(Package::kFileName, &fileName) != B_OK)
			continue;
		std::string leaf = leaf_of(fileName);
		if (firstSizes.count(leaf) == 0) {
			int32 size = 0;
			item.FindInt32(Package::kFileSize, 0, &size);
			firstSizes[leaf] = size;
		}
		if (is_selected(item))
			selectedLeaves.push_back(leaf);
	}
	int64 total = 0;
	for (const std::string& leaf : selectedLeaves) {
		// A negative size in a damaged package adds nothing.
		if (firstSizes[leaf] > 0)
			total += firstSizes[leaf];
	}
	return total;
}

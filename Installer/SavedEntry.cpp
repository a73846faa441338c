#include "SavedEntry.h"

#include "LibFile.h"
#include "LibNode.h"

#include <sys/stat.h>

const char* const kOriginalPathAttribute = "Brimlow:original_path";
const char* const kSavedFilesFolderName = "Saved Files";

namespace {

bool
exists(const std::string& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0;
}

std::string
leaf_of(const std::string& path)
{
	size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool
write_record(const std::string& entry, const std::string& originalPath)
{
	LibNode node(entry.c_str());
	return node.InitCheck() == B_OK
		&& node.WriteStringAttr(kOriginalPathAttribute, originalPath.c_str());
}

} // namespace

std::string
NormalizedOriginalPath(const std::string& path)
{
	if (path.empty() || path[0] != '/')
		return "";
	std::string normal;
	size_t start = 1;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string part = path.substr(start, end - start);
		start = end + 1;
		if (part.empty() || part == ".")
			continue;
		if (part == "..")
			return "";
		normal += "/" + part;
	}
	return normal;
}

bool
SaveReplacedEntry(const std::string& path, const std::string& folder, std::string* savedPath)
{
	std::string original = NormalizedOriginalPath(path);
	std::string leaf = leaf_of(original);
	if (original.empty() || folder.empty() || !exists(path))
		return false;
	// A file system that keeps no attributes there refuses the record; the saved copy may
	// still take it below.
	bool recorded = write_record(path, original);

	std::string target = folder + "/" + leaf;
	status_t status = B_FILE_EXISTS;
	// A name taken meanwhile sends the entry on to the next one.
	for (int32 i = 0; status == B_FILE_EXISTS && i < 10000; i++) {
		target = folder + "/" + leaf;
		if (i > 0)
			target += " copy";
		if (i > 1)
			target += " " + std::to_string(i - 1);
		if (exists(target))
			continue;
		status = LibMoveExclusive(path.c_str(), target.c_str());
	}
	if (status != B_OK || exists(path)) {
		if (recorded && exists(path))
			RemoveOriginalPath(path.c_str());
		return false;
	}
	LibString kept;
	if (!ReadOriginalPath(target.c_str(), kept) || original != (const char*)kept)
		write_record(target, original);
	if (savedPath != nullptr)
		*savedPath = target;
	return true;
}

bool
ReadOriginalPath(const char* entry, LibString& originalPath)
{
	originalPath = "";
	LibNode node(entry);
	LibString value;
	if (node.InitCheck() != B_OK || node.ReadStringAttr(kOriginalPathAttribute, value) < 0)
		return false;
	std::string text = (const char*)value;
	std::string normal = NormalizedOriginalPath(text);
	if (normal.empty())
		return false;
	originalPath = normal.c_str();
	return true;
}

void
RemoveOriginalPath(const char* entry)
{
	LibNode node(entry);
	if (node.InitCheck() == B_OK)
		node.RemoveAttr(kOriginalPathAttribute);
}

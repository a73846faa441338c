// Moving entries into any Trash folder, the boot volume's or another volume's.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <string>

using namespace lib_file;

bool
LibIsTrashFolder(const char* folder)
{
	if (folder == NULL || folder[0] == '\0')
		return false;
	return !trash_info_folder(absolute_path(folder)).empty();
}

bool
LibTrashInto(const char* path, const char* trashFolder)
{
	if (path == NULL || path[0] == '\0' || !LibIsTrashFolder(trashFolder))
		return false;
	std::string from = absolute_path(path);
	std::string leaf = path_leaf(from);
	if (leaf.empty() || leaf == "." || leaf == ".." || !entry_exists(from))
		return false;

	std::string folder = absolute_path(trashFolder);
	// Already in this Trash: nothing to move.
	if (path_folder(from) == folder)
		return true;
	std::string candidate = join_path(folder, leaf);
	for (int32 i = 0; entry_exists(candidate); i++) {
		std::string name = leaf + " copy";
		if (i > 0)
			name += " " + std::to_string(i);
		candidate = join_path(folder, name);
	}
	return LibMove(from.c_str(), candidate.c_str());
}

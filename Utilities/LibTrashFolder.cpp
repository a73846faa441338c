// Moving entries into any Trash folder, the boot volume's or another volume's.
#include "LibFile.h"
#include "LibFilePrivate.h"

#include <string>

using namespace lib_file;

bool
LibIsTrashFolder(const char* folder)
{
	std::string resolved;
	if (target_path(folder, &resolved) != B_OK)
		return false;
	return !trash_info_folder(resolved).empty();
}

bool
LibTrashInto(const char* path, const char* trashFolder)
{
	std::string from;
	std::string folder;
	if (!LibIsTrashFolder(trashFolder) || source_path(path, &from) != B_OK
		|| target_path(trashFolder, &folder) != B_OK || !entry_exists(from)) {
		return false;
	}
	std::string leaf = path_leaf(from);
	// Already in this Trash: nothing to move.
	if (path_folder(from) == folder)
		return true;
	// TODO: move with a rename that refuses to replace, and take the next name when an
	// entry took this one meanwhile, once the file operations offer such a move.
	std::string candidate = join_path(folder, leaf);
	for (int32 i = 0; entry_exists(candidate); i++) {
		std::string name = leaf + " copy";
		if (i > 0)
			name += " " + std::to_string(i);
		candidate = join_path(folder, name);
	}
	return LibMove(from.c_str(), candidate.c_str());
}

#include "LibPrivateFolder.h"

#include <FindDirectory.h>
#include <Path.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

bool
LibMakePrivateFolder(BPath& folder, const char* prefix)
{
	folder.Unset();
	if (prefix == NULL || strchr(prefix, '/') != NULL)
		return false;
	BPath temporary;
	if (find_directory(B_COMMON_TEMP_DIRECTORY, &temporary) != B_OK)
		return false;

	// mkdtemp() picks the name and creates the folder, mode 0700, in one step: it fails
	// rather than use a name that exists.
	std::string pattern = std::string(temporary.Path()) + "/" + prefix + "-XXXXXX";
	std::vector<char> name(pattern.begin(), pattern.end());
	name.push_back('\0');
	if (mkdtemp(name.data()) == NULL)
		return false;
	return folder.SetTo(name.data()) == B_OK;
}

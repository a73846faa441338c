#include "DeinstallerSize.h"

#include "LibEntry.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <File.h>
#include <Message.h>
#include <Mime.h>
#include <Resources.h>

#include <vector>

int64
MeasureInstalledDeinstaller(const std::string& copy, const BMessage& configuration)
{
	BMessage reduced;
	BuildDeinstallerConfiguration(configuration, reduced);
	ssize_t size = reduced.FlattenedSize();
	if (size <= 0)
		return -1;
	std::vector<char> flat(static_cast<size_t>(size));
	if (reduced.Flatten(flat.data(), flat.size()) != B_OK)
		return -1;
	// The installer runs the type recogniser on what it expands, which gives the program
	// its type attribute.
	update_mime_info(copy.c_str(), false, true, true);
	{
		BFile file(copy.c_str(), B_READ_WRITE);
		BResources resources;
		if (file.InitCheck() != B_OK || resources.SetTo(&file) != B_OK
			|| resources.AddResource(Package::kStringType, Package::kConfigurationId, flat.data(),
				   flat.size(), Package::kConfigurationName)
				!= B_OK
			|| resources.Sync() != B_OK)
			return -1;
	}
	return LibEntrySize64(copy.c_str(), true);
}

// Reading a package: the configuration message from an executable's CSTR 2002 resource,
// where item i's payload lies, the installation tag, and the reduced configuration the
// deinstaller of an installation carries.
#ifndef PACKAGE_CONFIGURATION_H
#define PACKAGE_CONFIGURATION_H

#include <SupportDefs.h>

class BMessage;
class BResources;
class LibAppResource;
class LibString;

// The alert text for a package whose configuration cannot be read.
extern const char* const kConfigurationErrorText;

// Empties configuration and unflattens the CSTR 2002 resource into it. Without the
// resource the line "Does not have resource 2002" goes to standard error (B_NAME_NOT_FOUND);
// a resource that cannot be read gives "Unable to read resource 2002" (B_IO_ERROR); a
// blob that does not unflatten gives the unflattening's error.
status_t ReadPackageConfiguration(BResources& resources, BMessage& configuration);
// The same for the executable at path, opened for reading only. A file that cannot be
// opened or holds no readable resources counts as having no resource.
status_t ReadPackageConfiguration(const char* executablePath, BMessage& configuration);

// The RAWT id of the payload of item index (0-based over every install_file value).
int32 PayloadResourceId(int32 index);
// The payload of item index: its resource name and size. False when it is missing.
bool GetPayloadInfo(BResources& resources, int32 index, const char** name, size_t* size);

// Expands the payload of item index to destination (the item's entry, named as the
// destination says). A missing payload writes nothing and counts as done.
bool ExtractPayload(LibAppResource& resources, int32 index, const char* destination);

// The installation tag: app_name, version, release_date, company and support_email, each
// followed by ";". A missing field contributes only its ";".
void BuildInstallationTag(const BMessage& configuration, LibString& tag);

// The deinstaller's own configuration, in this order: the five product strings, about_image
// when the package has it, then edit_bootscript, edit_setup_env and edit_profile, each
// followed by its tag only when it is true. reduced is emptied first.
void BuildDeinstallerConfiguration(const BMessage& configuration, BMessage& reduced);

#endif // PACKAGE_CONFIGURATION_H

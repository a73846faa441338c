// The type functions of the storage kit: icon sizes and the type recogniser.
#ifndef _MIME_H
#define _MIME_H

#include <StorageDefs.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

enum icon_size { B_LARGE_ICON = 32, B_MINI_ICON = 16 };

// Runs the type recogniser on the entry at path and stores the type it finds in the
// entry's "BEOS:TYPE" attribute, unless the entry already has one (force: always).
// Folders are "application/x-vnd.Be-directory", volume roots
// "application/x-vnd.Be-volume", symbolic links "application/x-vnd.Be-symlink", ELF files
// with an execute bit "application/x-vnd.Be-elfexecutable"; anything else is named by its
// content (libmagic). With recursive, a folder's contents are typed too (links are not
// followed). The work is always done before returning, whatever synchronous says. Returns
// B_OK, or the first error met (the walk goes on past it).
int update_mime_info(const char* path, int recursive, int synchronous, int force);

#include <MimeType.h>

#endif // _MIME_H

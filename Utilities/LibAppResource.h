// The resources and metadata of an executable: LibAppResource opens the running program or
// any file as a resource container and packs whole files and folders into 'RAWT' resources
// as ZIP archives (one top-level entry named after the packed item) and back; the free
// functions read and write a program's version record, supported types and signature, and
// read one-value resources of a fixed size.
#ifndef LIB_APP_RESOURCE_H
#define LIB_APP_RESOURCE_H

#include "LibString.h"

#include <File.h>
#include <GraphicsDefs.h>
#include <Rect.h>
#include <Resources.h>

struct entry_ref;
class LibStringList;

class LibAppResource : public BResources {
public:
	// The running program's executable, opened with the platform open mode (B_READ_ONLY,
	// B_READ_WRITE, ...). A running program can be written: its file is then replaced.
	LibAppResource(const uint32& openMode);
	// The file at path, links followed. A path that names nothing leaves the object
	// unattached (InitCheck() fails).
	LibAppResource(const char* path, const uint32& openMode);
	virtual ~LibAppResource();

	// Packs the file or folder at source into resource ('RAWT', id) named name, deflated at
	// level (0 stores, 1 to 9), replacing any resource of that id. The archive is made in a
	// folder of the process's own in the common temporary folder and copied into the
	// resource in chunks. False, and the container left alone, when the archive could not
	// be made complete (an entry that cannot be packed, LibZip failing) or added.
	bool AddEntry(const char* source, const int32& id, const char* name, const int& level);
	// Writes resource ('RAWT', id) to destination: with unzip, the entry named after the
	// resource, expanded from the archive; without, the archive itself. The resource is
	// streamed to disk, never held in memory whole, and expanded in a folder of the
	// process's own. Moving onto an existing folder puts the entry inside it (see LibMove).
	// A missing resource writes nothing and gives true. Refused (false, nothing written at
	// destination): with unzip, a resource name that is not one plain path component (empty,
	// ".", "..", or holding "/"), since the package names it; and an archive that LibUnzip
	// does not expand completely (an entry leading out, a link leaving the item, not enough
	// space, ...: see LibUnzip). False as well when the resource could not be written out
	// or moved.
	bool ExtractEntry(const int32& id, const char* destination, bool unzip);

	// A copy of resource ('CSTR', id) up to its first NUL, allocated with new[]: the caller
	// deletes it. NULL when there is no such resource.
	char* FindString(const int32& id);
	// Copies (type, id) with its name into target, replacing what target had under that
	// type and id. A missing resource copies nothing. Always true.
	bool CopyResource(const int32& id, const uint32& type, LibAppResource& target);

private:
	void _SetTo(const char* path, uint32 openMode);

	BFile fFile;
};

// "%d.%d.%d" with the major, middle and minor number of the program at path (NULL: the
// running program), then " Dev", " Alpha", " Beta", " Gamma" or " Gold" by variety (nothing
// for a final version), then a blank and the internal number unless it is 0. Empty when
// the program has no version record.
LibString LibGetAppVersion(const char* path = NULL);
// Writes the application version record of the running program (or of the program at
// path). A NULL text is stored empty.
void LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
	const char* shortText, const char* longText, const uint32& variety, const uint32& internal,
	const char* path = NULL);

// Appends the running program's (or path's) supported types to list; returns the number of
// strings then in the list, or 0 when the program has none.
int32 LibGetAppSupportedTypes(LibStringList& list, const char* path = NULL);
// Stores list, in order, as the running program's (or path's) supported types.
void LibSetAppSupportedTypes(LibStringList& list, const char* path = NULL);

// Empties signature; when the entry is an executable ("application/x-vnd.Be-elfexecutable"),
// copies its application signature into it. signature holds B_MIME_TYPE_LENGTH bytes.
void LibGetAppSignature(const entry_ref& ref, char* signature);

// One-value resources: true only when the resource exists with exactly the size of its
// value ('RGBC' 4 bytes, 'RECT' 16 bytes of four floats, 'BYTE' 1, 'LONG' 4, 'BOOL' 1);
// otherwise false, with value unchanged.
bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color);
bool LibFindRectResource(BResources& resources, const int32& id, BRect& rect);
bool LibFindShortResource(BResources& resources, const int32& id, int8& value);
bool LibFindLongResource(BResources& resources, const int32& id, int32& value);
bool LibFindBoolResource(BResources& resources, const int32& id, bool& value);
// Empties buffer (size bytes), then copies the text of resource ('CSTR', id) into it, cut
// to fit. True when the resource exists and is not empty.
bool LibFindStringResource(
	BResources& resources, const int32& id, char* buffer, const size_t& size);

#endif // LIB_APP_RESOURCE_H

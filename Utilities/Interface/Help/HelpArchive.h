// The help file a program carries in its own resources: a ZIP archive in resource ('RAWT',
// 2002) named "os:help", whose one entry is the help file. Storing goes through the
// program's resource container and is written out at once, so a failure is known; reading
// takes the one entry out with a bound on its size, so that no archive can fill the disk or
// the help window's memory.
#ifndef HELP_ARCHIVE_H
#define HELP_ARCHIVE_H

#include <SupportDefs.h>

#include <sys/types.h>

class BResources;
class LibAppResource;

const int32 kHelpResourceID = 2002;
// The resource's name, and the name of the entry Store() puts in the archive.
extern const char* const kHelpResourceName;
// The largest help file taken: a help file with a topic for every control of a window is
// a tenth of it. The bound keeps every page quick to find and to show, even a page made of
// nothing but line breaks.
const off_t kMaxHelpFileSize = 256 * 1024;

class HelpArchive {
public:
	// Stores the regular file at source (links followed) into resources as ('RAWT', 2002)
	// "os:help", deflated at level 9, and writes the container. False when source is not a
	// regular file or is larger than kMaxHelpFileSize, or the container could not be
	// written (its file or folder is read-only): the file on disk is then unchanged.
	static bool Store(const char* source, LibAppResource& resources);
	// Writes the help file held in resources to destination, a new file of mode 0600 (an
	// existing entry there is never followed or replaced). The archive's entry named
	// "os:help" is taken, or else its only file, whatever its name. False when there is
	// no help resource, the archive cannot be read, holds no such file, or the file is
	// larger than kMaxHelpFileSize (whatever the archive declares); nothing is left at
	// destination then.
	static bool Extract(BResources& resources, const char* destination);
};

#endif // HELP_ARCHIVE_H

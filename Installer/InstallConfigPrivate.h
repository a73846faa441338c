// What the parts of InstallConfig share: the state of one run and small helpers on names and
// entries. Not part of the engine's interface.
#ifndef INSTALL_CONFIG_PRIVATE_H
#define INSTALL_CONFIG_PRIVATE_H

#include "InstallConfig.h"
#include "LibAppResource.h"
#include "LibSysInfo.h"

#include <Message.h>
#include <Path.h>
#include <Volume.h>

#include <memory>
#include <set>
#include <string>

// Everything one run derives and keeps until it ends; a new run starts afresh (every
// collision asks again, every custom folder's replacement applies again).
struct InstallConfig::Run {
	BVolume volume;
	std::string volumeName;
	LibString tag;
	std::string installationFolder;
	// Empty when replaced entries are not saved.
	std::string savedFilesFolder;
	BPath savedFilesPath;
	std::string logPath;
	std::unique_ptr<LibAppResource> resources;
	// The run's copy of the custom folders; their once-only replacement is used up here.
	BMessage customFolders;
	bool itemAskAgain = true;
	bool itemLastAnswer = true;
	bool linkAskAgain = true;
	bool linkLastAnswer = true;
};

namespace install_config {

// How a collision was settled: the placement may go ahead, the user declined it, or the
// existing entry could not be saved, renamed or removed (so placing would lose it).
enum PlacementOutcome { kPlacementAllowed, kPlacementRefused, kPlacementFailed };

// A name that stands for one entry inside a folder: not empty, not "." or "..", no "/".
bool is_plain_name(const std::string& name);
// The last component of a path (the text after the last "/").
std::string leaf_of(const char* path);
// Whether anything, a dangling link included, is at path.
bool entry_exists(const std::string& path);
// Whether the two paths name the same entry (links not followed).
bool same_entry(const std::string& first, const std::string& second);
// Whether the two paths name the same folder (links followed, as placing into them does).
bool same_folder(const std::string& first, const std::string& second);
// Removes the entry (a folder with everything in it, a link itself); true when it is gone.
bool remove_entry(const std::string& path);
// Moves the entry into folder under its leaf name, or the first free name of 'leaf copy',
// 'leaf copy 1', ... when that is taken, so that nothing saved before is replaced, with
// the record of where it was (SavedEntry.h). True when it moved.
bool save_entry(const std::string& path, const std::string& folder);
// Whether the record's install_to_system is present and true.
bool is_selected(const BMessage& item);
// The text of a string field, or fallback when it is missing.
std::string string_field(const BMessage& message, const char* name, const char* fallback = "");
// Expands the payload archive (RAWT id) into target, which must not exist: the archive is
// written into a private folder inside workFolder, expanded there and its entry (named like
// the resource) renamed to target; the folder goes afterwards, whatever happened, so a
// damaged or refused archive leaves nothing behind. Only the entry itself gets its type
// from the recogniser (what lies inside it is typed when it is read). The process's
// working folder is kept. False, with problem set, when nothing was placed at target.
bool extract_payload(LibAppResource& resources, int32 id, const std::string& workFolder,
	const std::string& target, std::string* problem);
// The machine's processor and memory, without the screen: the run's description and memory
// check need none, and a run without a display (or on a worker thread beside the window)
// must not ask the interface kit for one.
LibSysInfo system_snapshot();
// The stated disk amount (req_disk_space_amount's value) as a whole 32-bit byte count.
int32 disk_amount(const BMessage& configuration);
// The local date and time as the log writes it: the date in the locale's default form, a
// blank, the time with seconds.
std::string now_text();

} // namespace install_config

#endif // INSTALL_CONFIG_PRIVATE_H

// The requirements check: free space, memory, libraries and applications, before anything
// is created.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "LibAlert.h"
#include "LibConvertBytes.h"
#include "LibSysInfo.h"
#include "PackageDefs.h"
#include "RequirementLookup.h"

#include <Volume.h>

using namespace install_config;

namespace {

const char* const kDiskText =
	"Installation %s %s of disk space, and the destination volume '%s' only has %s free.";
const char* const kMemoryText =
	"Installation %s %d MB of physical RAM, and only %d MB is available. %s";
const char* const kLibraryText =
	"The shared library '%s' could not be found. The installation %s that this library be "
	"present for the installed software to work properly.";
const char* const kApplicationText =
	"The application '%s' could not be found. The installation %s that this application be "
	"present for the installed software to work properly.";

std::string
byte_text(int64 bytes)
{
	LibString text;
	LibConvertBytes(bytes, text, 1);
	return static_cast<const char*>(text);
}

const char*
needs_text(bool required)
{
	return required ? "requires" : "suggests";
}

// Asks about a missing library or application: "Abort" alone when it is required, else
// "Abort" or "Continue". True to go on.
bool
go_on_without(const LibString& text, bool required)
{
	int32 answer = LibAsk(
		"", text, "Abort", required ? NULL : "Continue", NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	// An alert nobody could answer (-1) ends the installer as "Abort" does.
	return !required && answer == 1;
}

} // namespace

int32
InstallConfig::CheckSystemResources()
{
	LibSysInfo info;

	// A destination without a volume is the folder step's failure to report; no space can
	// be compared on it.
	BVolume volume(fDestination.device);
	if (volume.InitCheck() == B_OK) {
		char name[B_FILE_NAME_LENGTH] = "";
		volume.GetName(name);
		int64 freeBytes = volume.FreeBytes();

		int64 total = SelectedSize();
		if (total > freeBytes) {
			LibError(kDiskText, "requires", byte_text(total).c_str(), name,
				byte_text(freeBytes).c_str());
			return kRequirementsGoBack;
		}

		if (_BoolField(Package::kReqDiskSpaceNeeded)) {
			int64 amount = disk_amount(*this);
			bool required = _BoolField(Package::kReqDiskSpaceRequired);
			if (amount > freeBytes) {
				LibError(kDiskText, needs_text(required), byte_text(amount).c_str(), name,
					byte_text(freeBytes).c_str());
				return required ? kRequirementsGoBack : kRequirementsGoOn;
			}
		}
	}

	if (_BoolField(Package::kReqRamNeeded)) {
		int32 amount = 0;
		FindInt32(Package::kReqRamAmount, &amount);
		bool required = _BoolField(Package::kReqRamRequired);
		if (amount > info.PhysicalRam()) {
			LibError(kMemoryText, needs_text(required), (int)amount, (int)info.PhysicalRam(),
				required ? "Installation can not continue."
						 : "You may run the application at your own risk.");
			return required ? kRequirementsEndInstaller : kRequirementsGoOn;
		}
	}

	BMessage libraries;
	FindMessage(Package::kReqSharedLibrary, &libraries);
	bool required = false;
	libraries.FindBool(Package::kReqSharedLibraryRequired, &required);
	const char* name = nullptr;
	for (int32 i = 0; libraries.FindString(Package::kReqSharedLibraryName, i, &name) == B_OK; i++) {
		if (FindSharedLibrary(name))
			continue;
		LibString text;
		text.Formatted(kLibraryText, name, needs_text(required));
		if (!go_on_without(text, required))
			return kRequirementsEndInstaller;
	}

	BMessage applications;
	FindMessage(Package::kReqApps, &applications);
	required = false;
	applications.FindBool(Package::kReqAppRequired, &required);
	for (int32 i = 0; applications.FindString(Package::kReqAppName, i, &name) == B_OK; i++) {
		if (FindRequiredApplication(RequiredApplicationIdentifier(name).c_str()))
			continue;
		LibString text;
		text.Formatted(kApplicationText, name, needs_text(required));
		if (!go_on_without(text, required))
			return kRequirementsEndInstaller;
	}
	return kRequirementsGoOn;
}

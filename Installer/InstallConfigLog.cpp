// The install log: a plain text file in the installation folder, written in the order of
// the run.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "InstallerMaker.h"
#include "LibAppResource.h"
#include "LibConvertBytes.h"
#include "LibSysInfo.h"
#include "PackageDefs.h"

#include <cmath>
#include <cstdarg>
#include <fcntl.h>
#include <unistd.h>

using namespace install_config;

namespace {

const char*
yes_no(bool value)
{
	return value ? "Yes" : "No";
}

const char*
required_text(bool required)
{
	return required ? "required" : "suggested";
}

std::string
byte_text(int64 bytes)
{
	LibString text;
	LibConvertBytes(bytes, text, 1);
	return static_cast<const char*>(text);
}

} // namespace

namespace install_config {

// The stated disk amount: a double of bytes read as a whole 32-bit count, the fraction
// dropped. A value beyond that range (or not a number) is held at its edge instead of
// overflowing the conversion.
int32
disk_amount(const BMessage& configuration)
{
	BMessage amount;
	double value = 0;
	if (configuration.FindMessage(Package::kReqDiskSpaceAmount, &amount) != B_OK
		|| amount.FindDouble(Package::kValue, &value) != B_OK || std::isnan(value)) {
		return 0;
	}
	if (value >= 2147483647.0)
		return INT32_MAX;
	if (value <= -2147483648.0)
		return INT32_MIN;
	return (int32)std::trunc(value);
}

} // namespace install_config

void
InstallConfig::OpenLog(const char* path)
{
	if (!_BoolField(Package::kOptLog) || path == nullptr || fLog != nullptr)
		return;
	// The installation folder is new; a link found at the log's place was not made by this
	// run and is never written through.
	int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
	if (fd < 0)
		return;
	fLog = fdopen(fd, "w");
	if (fLog == nullptr) {
		close(fd);
		return;
	}
	fLogKept = true;
}

void
InstallConfig::Log(const char* format, ...)
{
	if (fLog == nullptr || format == nullptr)
		return;
	va_list arguments;
	va_start(arguments, format);
	vfprintf(fLog, format, arguments);
	va_end(arguments);
	// Each line reaches the file at once: a run stopped or crashed later leaves a log that
	// says what was done.
	fflush(fLog);
}

void
InstallConfig::CloseLog()
{
	if (fLog == nullptr)
		return;
	fclose(fLog);
	fLog = nullptr;
}

void
InstallConfig::_WriteLogHeader(Run& run)
{
	LibString version = LibGetAppVersion(fPackagePath.empty() ? nullptr : fPackagePath.c_str());
	Log("%s\n\tVersion %s\n\t%s\n\t%s\n", InstallerMaker::kName, static_cast<const char*>(version),
		InstallerMaker::kWebAddress, InstallerMaker::kSupportEmail);

	Log("\nAPPLICATION\n");
	Log("\tApplication : %s\n", _StringField(Package::kAppName).c_str());
	Log("\tVersion : %s\n", _StringField(Package::kVersion).c_str());
	Log("\tRelease Date : %s\n", _StringField(Package::kReleaseDate).c_str());
	Log("\tCompany : %s\n", _StringField(Package::kCompany).c_str());
	Log("\tSupport Email : %s\n", _StringField(Package::kSupportEmail).c_str());

	// The description needs no screen: the snapshot of the kernel kit alone.
	LibSysInfo info;
	LibString description;
	info.Description(description);
	Log("\nABOUT THIS SYSTEM\n");
	Log("\t%s\n", static_cast<const char*>(description));
	off_t freeBytes = run.volume.InitCheck() == B_OK ? run.volume.FreeBytes() : 0;
	Log("\tFree Disk Space : %s\n", byte_text(freeBytes).c_str());

	Log("\nINSTALLER REQUIREMENTS\n");
	bool diskNeeded = _BoolField(Package::kReqDiskSpaceNeeded);
	Log("\tDisk Space Needed: %s\n", yes_no(diskNeeded));
	if (diskNeeded) {
		Log("\t\tDisk spaced %s: %s\n", required_text(_BoolField(Package::kReqDiskSpaceRequired)),
			byte_text(disk_amount(*this)).c_str());
	}
	bool ramNeeded = _BoolField(Package::kReqRamNeeded);
	Log("\tPhysical RAM Needed: %s\n", yes_no(ramNeeded));
	if (ramNeeded) {
		int32 amount = 0;
		FindInt32(Package::kReqRamAmount, &amount);
		Log("\t\tRAM %s: %d MB\n", required_text(_BoolField(Package::kReqRamRequired)),
			(int)amount);
	}
	Log("\tBoot Volume Only: %s\n", yes_no(_BoolField(Package::kReqBootVolOnly)));
	Log("\tRemovable Volume Allowed: %s\n", yes_no(_BoolField(Package::kReqRemovableVolOk)));
	Log("\tShared Volume Allowed: %s\n", yes_no(_BoolField(Package::kReqSharedVolOk)));
	Log("\tShared Libraries:\n");
	Log("\tDependent Applications:\n");

	Log("\nINSTALLATION\n\tOn volume %s.\n\tIn folder %s.\n", run.volumeName.c_str(),
		run.installationFolder.c_str());
	if (!run.savedFilesFolder.empty())
		Log("\tReplaced files moved to %s\n", run.savedFilesFolder.c_str());
	Log("\n");
	Log("\tInstallation Started: %s\n", now_text().c_str());
}

// The install run, step by step, and what the engine shares with its owner.
#include "InstallConfig.h"
#include "InstallConfigPrivate.h"

#include "EditScriptFile.h"
#include "LibAlert.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "LibLocaleDate.h"
#include "LibLocaleTime.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"
#include "SavedEntry.h"
#include "SessionScripts.h"

#include <Directory.h>
#include <Entry.h>
#include <FindDirectory.h>
#include <Messenger.h>
#include <ThreadPrivate.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const char* const kInstallStatusField = "message";

namespace install_config {

namespace {

// The status text is formatted into a buffer of this size, terminator included.
const size_t kStatusSize = 100;

const char* const kLogName = "Log";
const char* const kLogType = "text/plain";

} // namespace

bool
is_plain_name(const std::string& name)
{
	return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string
leaf_of(const char* path)
{
	if (path == nullptr)
		return "";
	const char* slash = strrchr(path, '/');
	return slash != nullptr ? slash + 1 : path;
}

bool
entry_exists(const std::string& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0;
}

bool
same_entry(const std::string& first, const std::string& second)
{
	struct stat a;
	struct stat b;
	return lstat(first.c_str(), &a) == 0 && lstat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev
		&& a.st_ino == b.st_ino;
}

bool
same_folder(const std::string& first, const std::string& second)
{
	struct stat a;
	struct stat b;
	return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev
		&& a.st_ino == b.st_ino;
}

bool
remove_entry(const std::string& path)
{
	return LibUnlinkChecked(path.c_str()) == B_OK && !entry_exists(path);
}

bool
save_entry(const std::string& path, const std::string& folder)
{
	// The saved entry records where it was, so that the deinstaller can put it back.
	return SaveReplacedEntry(path, folder, nullptr);
}

bool
is_selected(const BMessage& item)
{
	bool selected = false;
	return item.FindBool(Package::kInstallToSystem, &selected) == B_OK && selected;
}

std::string
string_field(const BMessage& message, const char* name, const char* fallback)
{
	const char* text = nullptr;
	if (message.FindString(name, &text) != B_OK || text == nullptr)
		return fallback;
	return text;
}

LibSysInfo
system_snapshot()
{
	system_info info = {};
	get_system_info(&info);
	return LibSysInfo(info, BRect(0, 0, 0, 0), B_NO_COLOR_SPACE);
}

std::string
now_text()
{
	LibDateTime now(true);
	LibLocaleDate date;
	LibLocaleTime time;
	time.SetShowSeconds(true);
	std::string text = static_cast<const char*>(date.Format(now));
	text += " ";
	text += static_cast<const char*>(time.Format(now));
	return text;
}

} // namespace install_config

using namespace install_config;

InstallConfig::InstallConfig() :
	fLog(nullptr),
	fLogKept(false),
	fRestartRequested(false),
	fFailedCount(0),
	fRun(nullptr)
{
}

InstallConfig::~InstallConfig()
{
	// The run uses this object's members; it must end before they go. Waiting is a
	// cancellation point, and unwinding out of a destructor would end the process.
	BPrivate::CancelDisabler disabler;
	if (Id() != find_thread(NULL))
		Kill();
	CloseLog();
}

void
InstallConfig::SetPackagePath(const char* path)
{
	fPackagePath = path != nullptr ? path : "";
}

status_t
InstallConfig::Action()
{
	fFailedCount = 0;
	fNotInstalled.clear();
	fLogKept = false;
	Run run;

	// Cleared also when a stop unwinds the run.
	struct CurrentRun {
		Run*& current;

		~CurrentRun() { current = nullptr; }
	} currentRun { fRun };

	fRun = &run;
	status_t result = _Run(run);
	CloseLog();
	return result;
}

status_t
InstallConfig::_Run(Run& run)
{
	UpdateStatus("Checking System Resources...");
	int32 verdict = CheckSystemResources();
	if (verdict == kRequirementsGoBack)
		return kInstallRequirementsGoBack;
	if (verdict == kRequirementsEndInstaller)
		return kInstallFinished;

	run.volume.SetTo(fDestination.device);
	char volumeName[B_FILE_NAME_LENGTH] = "";
	if (run.volume.GetName(volumeName) == B_OK)
		run.volumeName = volumeName;
	BuildInstallationTag(*this, run.tag);
	// The deinstaller recognises a tag of at most this length: an installation under a
	// longer one could never be found again, so none is made.
	if (run.tag.Length() > Package::kMaxTagLength) {
		LibError("This installer was improperly built: its installation tag is %d bytes long "
				 "and the deinstaller recognises at most %d. Unable to install files.",
			(int)run.tag.Length(), (int)Package::kMaxTagLength);
		return kInstallFolderFailed;
	}

	BDirectory destination(&fDestination);
	if (destination.InitCheck() != B_OK) {
		LibError("Failure to find selected installation folder. Unable to install files.");
		return kInstallFolderFailed;
	}

	// The installation folder is one entry inside the chosen folder: a name that is empty,
	// "." or ".." or holds "/" would make the run trash or fill a folder the user chose.
	std::string createdFolder = _StringField(Package::kOptCreatedFolder);
	run.installationFolder = _InstallationFolder();
	if (!is_plain_name(createdFolder) || run.installationFolder.empty()) {
		LibError("Unable to create installation folder '%s'. Unable to install files.",
			createdFolder.c_str());
		return kInstallFolderFailed;
	}
	if (DoesDestinationExist())
		LibTrash(BPath(run.installationFolder.c_str()), false);
	if (mkdir(run.installationFolder.c_str(), 0777) != 0) {
		LibError("Unable to create installation folder '%s'. Unable to install files.",
			createdFolder.c_str());
		return kInstallFolderFailed;
	}

	if (_BoolField(Package::kOptSaveReplaced)) {
		run.savedFilesFolder = run.installationFolder + "/" + kSavedFilesFolderName;
		Libmkdir(run.savedFilesFolder.c_str());
		run.savedFilesPath.SetTo(run.savedFilesFolder.c_str());
	}

	run.logPath = run.installationFolder + "/" + kLogName;
	OpenLog(run.logPath.c_str());
	_WriteLogHeader(run);

	// Every extraction of the run reads the package through this one object. Nothing is
	// written to the package, so it is opened for reading (it may lie on read-only media).
	if (fPackagePath.empty())
		run.resources = std::make_unique<LibAppResource>(B_READ_ONLY);
	else
		run.resources = std::make_unique<LibAppResource>(fPackagePath.c_str(), B_READ_ONLY);

	UpdateStatus("Creating deinstaller...");
	_CreateDeinstaller(run);

	FindMessage(Package::kCustomFolder, &run.customFolders);
	if (_BoolField(Package::kOptCreateStartup))
		_CreateStartupFolder(run);

	run.itemAskAgain = run.itemLastAnswer = true;
	run.linkAskAgain = run.linkLastAnswer = true;
	int32 total = CountSelectedItems();

	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	BMessage working(instructions);
	BMessage item;
	int32 number = 0;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++) {
		// Stopping the installer ends the run between items at the latest.
		BPrivate::check_thread_killed();
		if (!is_selected(item))
			continue;
		number++;
		_InstallItem(run, i, number, total, item);
		working.ReplaceMessage(Package::kInstallFile, i, &item);
	}
	// From here on every installed item's file_name is where it lies.
	if (HasMessage(Package::kInstallInstructions))
		ReplaceMessage(Package::kInstallInstructions, &working);

	BPrivate::check_thread_killed();
	_EditScripts();
	BPrivate::check_thread_killed();
	AutoLaunch();

	Log("\tInstallation Complete: %s\n", now_text().c_str());
	CloseLog();
	LibSetMimeType(run.logPath.c_str(), kLogType);

	UpdateStatus("Installation Complete");
	_ShowCompletionNotice();
	if (_BoolField(Package::kCompleteDisplayFolder))
		LibOpenEntry(run.installationFolder.c_str());
	return kInstallFinished;
}

void
InstallConfig::_EditScripts()
{
	struct Script {
		const char* flag;
		const char* tag;
		const char* contents;
		directory_which folder;
		const char* fileName;
		const char* logPath;
	} const scripts[] = {
		{ Package::kEditBootscript, Package::kEditBootscriptTag, Package::kEditBootscriptContents,
			B_USER_BOOT_DIRECTORY, "UserBootscript", "/boot/home/config/boot/UserBootscript" },
		{ Package::kEditSetupEnv, Package::kEditSetupEnvTag, Package::kEditSetupEnvContents,
			B_USER_BOOT_DIRECTORY, "UserSetupEnvironment",
			"/boot/home/config/boot/UserSetupEnvironment" },
		{ Package::kEditProfile, Package::kEditProfileTag, Package::kEditProfileContents,
			B_USER_DIRECTORY, ".profile", "/boot/home/.profile" },
	};

	for (const Script& script : scripts) {
		if (!_BoolField(script.flag))
			continue;
		std::string tag = _StringField(script.tag);
		std::string contents = _StringField(script.contents);
		// BeOS behaviour: the log names the BeOS paths whatever the folders are here.
		Log("\tAdded script tab %s to %s\n", tag.c_str(), script.logPath);
		// A new account has no boot folder yet; the script is made inside it.
		BPath folder;
		find_directory(script.folder, &folder, true);
		EditScriptFile(script.folder, script.fileName, tag.c_str(), contents.c_str());
		// Nothing on Linux runs the boot folder's scripts by itself.
		if (strcmp(script.fileName, "UserBootscript") == 0)
			EnsureBootScriptRunsAtLogin();
		else if (strcmp(script.fileName, "UserSetupEnvironment") == 0)
			EnsureEnvironmentScriptIsRead();
	}
}

void
InstallConfig::_ShowCompletionNotice()
{
	LibString text("Installation successfully completed.");
	if (fFailedCount > 0) {
		LibString failures;
		failures.Formatted(fFailedCount == 1 ? "\n\n%d item could not be installed"
											 : "\n\n%d items could not be installed",
			(int)fFailedCount);
		failures +=
			fLogKept ? "; the install log in the installation folder has the details." : ".";
		text += failures;
	}
	std::string comments = _StringField(Package::kCompleteComments);
	if (!comments.empty()) {
		text += "\n\n";
		text += comments.c_str();
	}
	if (_BoolField(Package::kCompleteRestart)) {
		text += "\n\nThe system needs to be restarted for the installation to take effect.";
		int32 answer = LibAsk(
			"", text, "Restart Later", "Restart Now", NULL, B_WIDTH_FROM_WIDEST, B_INFO_ALERT);
		fRestartRequested = answer == 1;
		return;
	}
	LibInfo("%s", static_cast<const char*>(text));
}

void
InstallConfig::UpdateStatus(const char* format, ...)
{
	if (fMessenger == NULL || format == nullptr)
		return;
	char buffer[kStatusSize * 4];
	va_list arguments;
	va_start(arguments, format);
	int length = vsnprintf(buffer, sizeof(buffer), format, arguments);
	va_end(arguments);
	if (length < 0)
		return;
	// Cut to the status buffer's 99 characters, never inside a UTF-8 character: the byte
	// after the cut tells whether the cut falls inside one.
	size_t formatted = std::min((size_t)length, sizeof(buffer) - 1);
	size_t kept = std::min(formatted, kStatusSize - 1);
	while (kept > 0 && kept < formatted && ((unsigned char)buffer[kept] & 0xC0) == 0x80)
		kept--;
	buffer[kept] = '\0';

	BMessage status(kInstallStatusMessage);
	status.AddString(kInstallStatusField, buffer);
	fMessenger->SendMessage(&status, (BHandler*)NULL, B_INFINITE_TIMEOUT);
}

bool
InstallConfig::DoesDestinationExist()
{
	std::string folder = _InstallationFolder();
	return !folder.empty() && entry_exists(folder);
}

void
InstallConfig::PrintToStream()
{
	LibThread::PrintToStream();
	BMessage instructions;
	FindMessage(Package::kInstallInstructions, &instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &item) == B_OK; i++)
		item.PrintToStream();
}

bool
InstallConfig::_BoolField(const char* name) const
{
	bool value = false;
	return FindBool(name, &value) == B_OK && value;
}

std::string
InstallConfig::_StringField(const char* name) const
{
	return string_field(*this, name);
}

std::string
InstallConfig::_InstallationFolder() const
{
	BPath destination(&fDestination);
	if (destination.InitCheck() != B_OK)
		return "";
	return std::string(destination.Path()) + "/" + _StringField(Package::kOptCreatedFolder);
}

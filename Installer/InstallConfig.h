// InstallConfig: the install engine. One object is both the package's configuration message
// (the fields of the package format, read by name) and the worker job that installs it:
// the owner (the installer window, the unattended mode, a test) fills it from a package,
// marks the items the user chose (install_to_system), sets the destination folder, and
// starts it with Go("install", messenger, 10, false). Action() then checks the machine,
// creates the installation folder with its log and deinstaller, extracts and places every
// chosen item with its link and deinstall tag, edits the user's scripts, offers to run the
// items marked for it and ends with the completion notice. Status texts go to the
// messenger as 'isud' messages with the string "message".
//
// The engine needs no window: every question of a run goes through the foundation's alert
// functions (LibAlert.h), so a policy can answer them without a display.
#ifndef INSTALL_CONFIG_H
#define INSTALL_CONFIG_H

#include "LibString.h"
#include "LibThread.h"

#include <EntryRef.h>
#include <Message.h>

#include <cstdio>
#include <set>
#include <string>

class BPath;
class BVolume;
class LibAppResource;

// The status message's what-code and field.
enum { kInstallStatusMessage = 'isud' };

extern const char* const kInstallStatusField;

// The results of Action().
enum { kInstallFinished = 0, kInstallFolderFailed = 1, kInstallRequirementsGoBack = 3 };

// The verdicts of CheckSystemResources().
enum { kRequirementsGoOn = 1, kRequirementsGoBack = 2, kRequirementsEndInstaller = 3 };

class InstallConfig : public BMessage, public LibThread {
public:
	InstallConfig();
	// Ends a run that is still going before the members it uses go.
	virtual ~InstallConfig();

	// The installer file whose resources hold the payloads and the deinstaller. Empty (the
	// default) means the running program, which is its own package.
	void SetPackagePath(const char* path);

	const std::string& PackagePath() const { return fPackagePath; }

	// The folder the user chose; the installation folder is made inside it.
	void SetDestination(const entry_ref& folder) { fDestination = folder; }

	const entry_ref& Destination() const { return fDestination; }

	// Whether the user answered "Restart Now" at the end of the last run.
	bool RestartRequested() const { return fRestartRequested; }

	// The number of selected items of the last run that could not be installed as the
	// package asks (not extracted, placed, linked or marked for the deinstaller).
	int32 FailedCount() const { return fFailedCount; }

	// The run: 0 finished (also when the requirements check ended the installer), 1 the
	// destination or installation folder failed, 3 the requirements check went back.
	virtual status_t Action();
	// The thread's state, then every install_file record, to standard output.
	virtual void PrintToStream();

	// Sends the status text (at most 99 bytes, cut at a character boundary) when there is
	// a messenger; waits while the owner's queue is full.
	void UpdateStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));

	// The install log: opened only when opt_log is true; every line is written through to
	// the file at once, so what the log says has happened survives a crash.
	void OpenLog(const char* path);
	void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void CloseLog();

	// Whether the installation folder (destination folder joined with opt_created_folder)
	// exists.
	bool DoesDestinationExist();

	// The folder name denotes: a custom folder of customFolders on volume (created when
	// missing; replaced once per run when its record says so), or a standard folder of the
	// boot volume. False, with path emptied, when the name denotes no usable folder.
	bool GetNewPath(const char* name, BMessage& customFolders, BVolume& volume,
		const char* savedFilesFolder, LibString& path);
	// Settles a collision before an entry named like item's leaf is placed into folder:
	// asks ("Prompt"), renames the existing entry aside ("Rename") or replaces it (any other
	// mode), saving it into savedFilesFolder when opt_save_replaced. True when the placement
	// may go ahead. askAgain and lastAnswer are the run's memory of "Apply to all future
	// collisions" for items or for links.
	bool ReplaceControl(const char* folder, const BPath& item, const char* mode, bool& askAgain,
		bool& lastAnswer, const BPath& savedFilesFolder);

	// Queries on the items by leaf name (the first item of that name).
	int32 GetFileSize(const char* leaf);
	void MarkInstallFile(const char* leaf, const bool& selected);
	bool MatchType(const char* leaf, const char* typeName);
	// The items whose install_to_system is present and true, and their sizes added up.
	int32 CountSelectedItems() const;
	int64 SelectedSize() const;

	// 1 go on, 2 go back to choosing the destination, 3 end the installer.
	int32 CheckSystemResources();

	// Writes the InstallBy attribute on the entry at path and, for a folder, on everything
	// below it (links included, never followed). True when every entry got it.
	bool AddDeinstallTag(const char* path, const char* tag);
	// The boot script section that starts what the start-up folder holds.
	static void BuildStartupString(const char* folder, LibString& text);
	// Offers to run each selected item marked auto_launch "True".
	void AutoLaunch();

	// What a run would do, as lines of text for the user, without doing any of it: the
	// installation folder, for each selected item where it and its link would go, every
	// collision with what would become of the entry in the way, the start-up folder and the
	// script sections. A "Prompt" collision is taken as answered "Replace" when
	// replaceWhenAsked, else "Don't Replace". destinationMade: the destination folder does
	// not exist yet and would be made before the run. False (with the reason in the text)
	// when the destination folder or the installation folder's name cannot be used.
	bool DescribeRun(bool replaceWhenAsked, bool destinationMade, std::string& text);

private:
	struct Run;
	struct Plan;

	// Where a place name leads, found without touching the disk.
	struct Place {
		std::string path;
		// The custom folder's index in the run's copy, or -1 for a standard folder.
		int32 customIndex = -1;
		// The custom folder's once-per-run replacement, and whether it would find an entry.
		bool replace = false;
		bool replacesExisting = false;
	};

	bool _ResolvePlace(
		const char* name, const BMessage& customFolders, BVolume& volume, Place& place) const;
	void _DescribeItem(Plan& plan, const BMessage& item, std::string& text);
	bool _DescribePlace(Plan& plan, const char* name, std::string& folder, std::string& text);
	void _DescribeCollision(Plan& plan, const std::string& folder, const std::string& leaf,
		const std::string& mode, bool isLink, bool& placed, std::string& text);

	status_t _Run(Run& run);
	void _WriteLogHeader(Run& run);
	void _CreateDeinstaller(Run& run);
	void _CreateStartupFolder(Run& run);
	void _InstallItem(Run& run, int32 index, int32 number, int32 total, BMessage& item);
	bool _PlaceLink(Run& run, const BMessage& meta, const std::string& placedPath,
		const std::string& leaf, bool deinstallable);
	int _SettleCollision(const char* folder, const BPath& item, const char* mode, bool& askAgain,
		bool& lastAnswer, const BPath& savedFilesFolder);
	bool _MakeFolder(const std::string& path);
	bool _MakeTaggedFolder(const std::string& path);
	bool _MakeTaggedLink(const std::string& target, const std::string& linkPath);
	void _EditScripts();
	void _ShowCompletionNotice();
	void _RunScript(const char* path);
	bool _BoolField(const char* name) const;
	std::string _StringField(const char* name) const;
	std::string _InstallationFolder() const;

	FILE* fLog;
	// Whether the last run opened its log.
	bool fLogKept;
	entry_ref fDestination;
	bool fRestartRequested;
	std::string fPackagePath;
	int32 fFailedCount;
	// The items of the last run that were not installed; they are not offered to be run.
	std::set<int32> fNotInstalled;
	// The run in progress, while Action runs: folders made for it carry its tag.
	Run* fRun;
};

#endif // INSTALL_CONFIG_H

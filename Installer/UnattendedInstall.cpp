#include "UnattendedInstall.h"

#include "GroupContextList.h"
#include "InstallConfig.h"
#include "InstallerDefaults.h"
#include "LibAlert.h"
#include "LibConvertBytes.h"
#include "LibStringIterator.h"
#include "PackageConfiguration.h"
#include "PackageDefs.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <Messenger.h>
#include <Path.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>

const char* const kUnattendedHelpText =
	"Usage: Installer [--unattended --accept-licence [--type NAME | --items LEAF,LEAF...]\n"
	"                 [--folder DIR] [--collisions keep|replace] [--run-items] [--dry-run]]\n"
	"       Installer --unattended --list\n"
	"       Installer --help | --version\n"
	"\n"
	"Without options the installer opens its window. With --unattended it installs the\n"
	"package it carries without a window and without a display, as its window's Install\n"
	"would, answering every question itself:\n"
	"\n"
	"  --accept-licence, --accept-license\n"
	"                      agree to the package's licence (needed when it has one; without\n"
	"                      it the licence is printed and nothing is installed)\n"
	"  --type NAME         install the items of that install type (default: the first)\n"
	"  --items LEAF,...    install exactly these items, by name (default: every item of a\n"
	"                      package without install types)\n"
	"  --folder DIR        the destination folder; the installation folder is made inside\n"
	"                      it (default: the package's own, else the home folder)\n"
	"  --collisions MODE   an entry already where an item goes: keep it (the default, as\n"
	"                      \"Don't Replace\") or replace it\n"
	"  --run-items         run the items the package offers to run at the end (default:\n"
	"                      \"Later\")\n"
	"  --list              print the product, its install types and items, then exit\n"
	"  --dry-run           print what the installation would do and change nothing: the\n"
	"                      requirements' verdict, where each chosen item and its link would\n"
	"                      go, what would become of each entry in the way (as --collisions\n"
	"                      says), the script sections; needs no --accept-licence\n"
	"\n"
	"Suggested requirements that are not met are passed (\"Continue\"), required ones end\n"
	"the run (\"Abort\"); the system is never restarted and no folder is opened. Status\n"
	"texts go to standard output, the text of every alert to standard error.\n"
	"\n"
	"Exit status: 0 installed (with --dry-run: would install); 1 the package cannot be read,\n"
	"or the destination or installation folder failed; 2 usage error; 3 requirements not\n"
	"met; 4 installed, but some items could not be installed as the package asks.\n";

namespace {

const char* const kVersionText = "Installer 1.2.0\n";

struct Options {
	bool unattended = false;
	bool acceptLicence = false;
	bool list = false;
	bool runItems = false;
	bool dryRun = false;
	bool help = false;
	bool version = false;
	bool typeGiven = false;
	std::string type;
	bool itemsGiven = false;
	std::vector<std::string> items;
	std::string folder;
	bool replace = false;
};

// Options that take a value, and those that do not.
const char* const kValueOptions[] = { "--type", "--items", "--folder", "--collisions" };
const char* const kFlagOptions[] = { "--unattended", "--accept-licence", "--accept-license",
	"--list", "--run-items", "--dry-run", "--help", "--version" };

bool
is_value_option(const std::string& name)
{
	for (const char* option : kValueOptions) {
		if (name == option)
			return true;
	}
	return false;
}

bool
is_flag_option(const std::string& name)
{
	for (const char* option : kFlagOptions) {
		if (name == option)
			return true;
	}
	return false;
}

std::vector<std::string>
split_items(const std::string& text)
{
	std::vector<std::string> items;
	size_t start = 0;
	while (start <= text.size()) {
		size_t comma = text.find(',', start);
		if (comma == std::string::npos)
			comma = text.size();
		if (comma > start)
			items.push_back(text.substr(start, comma - start));
		start = comma + 1;
	}
	return items;
}

// False with the message in error when the command line is wrong.
bool
parse(const std::vector<std::string>& arguments, Options& options, std::string& error)
{
	for (size_t i = 0; i < arguments.size(); i++) {
		std::string name = arguments[i];
		std::string value;
		bool hasValue = false;
		size_t equals = name.find('=');
		if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
			value = name.substr(equals + 1);
			name = name.substr(0, equals);
			hasValue = true;
		}
		if (is_value_option(name)) {
			if (!hasValue) {
				if (i + 1 >= arguments.size()) {
					error = name + " needs a value";
					return false;
				}
				value = arguments[++i];
			}
		} else if (is_flag_option(name)) {
			if (hasValue) {
				error = name + " takes no value";
				return false;
			}
		} else {
			error = "unknown option '" + arguments[i] + "'";
			return false;
		}

		if (name == "--unattended")
			options.unattended = true;
		else if (name == "--accept-licence" || name == "--accept-license")
			options.acceptLicence = true;
		else if (name == "--list")
			options.list = true;
		else if (name == "--run-items")
			options.runItems = true;
		else if (name == "--dry-run")
			options.dryRun = true;
		else if (name == "--help")
			options.help = true;
		else if (name == "--version")
			options.version = true;
		else if (name == "--type") {
			if (value.empty()) {
				error = "--type needs the name of an install type";
				return false;
			}
			options.typeGiven = true;
			options.type = value;
		} else if (name == "--items") {
			options.itemsGiven = true;
			options.items = split_items(value);
			if (options.items.empty()) {
				error = "--items needs item names separated by commas";
				return false;
			}
		} else if (name == "--folder") {
			if (value.empty()) {
				error = "--folder needs a folder";
				return false;
			}
			options.folder = value;
		} else if (name == "--collisions") {
			if (value != "keep" && value != "replace") {
				error = "--collisions takes 'keep' or 'replace', not '" + value + "'";
				return false;
			}
			options.replace = value == "replace";
		}
	}
	if (options.help || options.version)
		return true;
	if (!options.unattended) {
		error = "the options need --unattended";
		return false;
	}
	if (options.typeGiven && options.itemsGiven) {
		error = "--type and --items cannot go together";
		return false;
	}
	return true;
}

std::string
leaf_of(const char* path)
{
	if (path == NULL)
		return std::string();
	const char* slash = strrchr(path, '/');
	return slash != NULL ? slash + 1 : path;
}

std::string
byte_text(int64 bytes)
{
	LibString text;
	LibConvertBytes(bytes, text, 1);
	return std::string((const char*)text);
}

// The item records of the package, in payload order.
std::vector<BMessage>
item_records(const BMessage& configuration)
{
	std::vector<BMessage> records;
	BMessage instructions;
	configuration.FindMessage(Package::kInstallInstructions, &instructions);
	BMessage record;
	for (int32 i = 0; instructions.FindMessage(Package::kInstallFile, i, &record) == B_OK; i++)
		records.push_back(record);
	return records;
}

// The names of the install types that hold the item.
std::vector<std::string>
item_groups(const BMessage& record)
{
	std::vector<std::string> groups;
	LibStringIterator names(record.GetString(Package::kFileGroups, ""));
	LibString name;
	while (names.GetNextField(';', name))
		groups.push_back(std::string((const char*)name));
	return groups;
}

void
print_list(const BMessage& configuration, const GroupContextList& groupList, FILE* out)
{
	fprintf(out, "Product: %s\n", configuration.GetString(Package::kAppName, ""));
	fprintf(out, "Version: %s\n", configuration.GetString(Package::kVersion, ""));
	fprintf(out, "Install types:\n");
	GroupContextList& groups = const_cast<GroupContextList&>(groupList);
	if (groups.Size() == 0)
		fprintf(out, "  (none: every item is installed unless --items says otherwise)\n");
	for (GroupContext* group = groups.First(); group != NULL; group = groups.Next()) {
		const char* description = (const char*)group->Description();
		if (description != NULL && description[0] != '\0')
			fprintf(out, "  %s: %s\n", (const char*)group->Name(), description);
		else
			fprintf(out, "  %s\n", (const char*)group->Name());
	}
	fprintf(out, "Items:\n");
	for (const BMessage& record : item_records(configuration)) {
		std::string types;
		for (const std::string& group : item_groups(record))
			types += (types.empty() ? "" : ", ") + group;
		fprintf(out, "  %s  %s%s%s\n", leaf_of(record.GetString(Package::kFileName, "")).c_str(),
			byte_text(record.GetInt32(Package::kFileSize, 0)).c_str(), types.empty() ? "" : "  ",
			types.c_str());
	}
}

// Receives the run's status texts and its completion message.
class StatusPrinter : public BLooper {
public:
	explicit StatusPrinter(FILE* out) :
		BLooper("unattended status"),
		fOut(out)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kInstallStatusMessage) {
			const char* text = message->GetString(kInstallStatusField, "");
			fprintf(fOut, "%s\n", text);
			fflush(fOut);
			std::lock_guard<std::mutex> locker(fLock);
			if (strcmp(text, "Installation Complete") == 0)
				fCompleted = true;
			return;
		}
		if (message->what == kLibThreadCompleted) {
			std::lock_guard<std::mutex> locker(fLock);
			fStatus = message->GetInt32("status", -1);
			fDone = true;
			fChanged.notify_all();
			return;
		}
		BLooper::MessageReceived(message);
	}

	// The run's result; whether it reached its completion.
	int32 Wait(bool& completed)
	{
		std::unique_lock<std::mutex> locker(fLock);
		fChanged.wait(locker, [this] { return fDone; });
		completed = fCompleted;
		return fStatus;
	}

private:
	FILE* fOut;
	std::mutex fLock;
	std::condition_variable fChanged;
	bool fDone = false;
	bool fCompleted = false;
	int32 fStatus = -1;
};

int32
button_labelled(const LibAlertQuestion& question, const char* label)
{
	for (int32 i = 0; i < question.buttonCount && i < 3; i++) {
		if (question.buttons[i] != NULL && strcmp(question.buttons[i], label) == 0)
			return i;
	}
	return -1;
}

// The answers a person would give who wants the installation made as the options say.
LibAlertAnswer
answer(const LibAlertQuestion& question, const Options& options, FILE* err)
{
	fprintf(err, "%s\n", question.text);
	fflush(err);
	LibAlertAnswer result;
	if (question.isReplace) {
		int32 button = button_labelled(question, options.replace ? "Replace" : "Don't Replace");
		result.button = button >= 0 ? button : 0;
		return result;
	}
	const char* preferred[] = { "Continue", options.runItems ? "Run" : "Later", "Restart Later",
		"Abort", "OK" };
	for (const char* label : preferred) {
		int32 button = button_labelled(question, label);
		if (button >= 0) {
			result.button = button;
			return result;
		}
	}
	return result;
}

// Marks the items to install; false with the message when an option names nothing.
bool
choose_items(InstallConfig& config, const Options& options, const GroupContextList& groupList,
	std::string& error)
{
	std::vector<BMessage> records = item_records(config);
	GroupContextList& groups = const_cast<GroupContextList&>(groupList);
	std::vector<bool> selected(records.size(), false);
	if (options.itemsGiven) {
		for (const std::string& wanted : options.items) {
			bool found = false;
			for (size_t i = 0; i < records.size(); i++) {
				if (leaf_of(records[i].GetString(Package::kFileName, "")) == wanted) {
					selected[i] = true;
					found = true;
				}
			}
			if (!found) {
				error = "unknown item '" + wanted + "' (--list names the items)";
				return false;
			}
		}
	} else if (options.typeGiven || groups.Size() > 0) {
		std::string type = options.typeGiven ? options.type : (const char*)groups.First()->Name();
		if (!groups.HasGroup(type.c_str())) {
			error = "unknown install type '" + type + "' (--list names the types)";
			return false;
		}
		for (size_t i = 0; i < records.size(); i++) {
			for (const std::string& group : item_groups(records[i])) {
				if (group == type)
					selected[i] = true;
			}
		}
	} else
		selected.assign(records.size(), true);

	BMessage instructions;
	config.FindMessage(Package::kInstallInstructions, &instructions);
	for (size_t i = 0; i < records.size(); i++) {
		BMessage& record = records[i];
		if (record.ReplaceBool(Package::kInstallToSystem, selected[i]) != B_OK)
			record.AddBool(Package::kInstallToSystem, selected[i]);
		instructions.ReplaceMessage(Package::kInstallFile, static_cast<int32>(i), &record);
	}
	config.ReplaceMessage(Package::kInstallInstructions, &instructions);
	return true;
}

// The destination folder: --folder, else the package's own default, else the home folder.
bool
choose_destination(InstallConfig& config, const Options& options, const std::string& packagePath)
{
	BPath folder;
	if (!options.folder.empty()) {
		// A folder that does not exist is the engine's to report, as the window's would be.
		folder.SetTo(options.folder.c_str(), NULL, true);
	} else if (!InstallerDefaultFolder(config, packagePath, folder, !options.dryRun))
		find_directory(B_USER_DIRECTORY, &folder);
	entry_ref ref;
	if (folder.InitCheck() != B_OK || get_ref_for_path(folder.Path(), &ref) != B_OK)
		return false;
	config.SetDestination(ref);
	return true;
}

// Tells what the run would do: the requirements' verdict (its questions answered as in a
// run, their texts on err), then the engine's description. Writes nothing.
int
dry_run(InstallConfig& config, const Options& options, FILE* out, FILE* err)
{
	fprintf(out, "Dry run: nothing is installed, moved or written.\n");
	int32 asked = 0;
	LibSetAlertPolicy([&options, &asked, err](const LibAlertQuestion& question) {
		asked++;
		return answer(question, options, err);
	});
	int32 verdict = config.CheckSystemResources();
	LibSetAlertPolicy(nullptr);
	if (verdict != kRequirementsGoOn) {
		fprintf(out, "Requirements: not met; nothing would be installed\n");
		return kUnattendedRequirementsNotMet;
	}
	fprintf(out, "Requirements: %s\n",
		asked == 0 ? "met" : "not all met; the installation would go on");
	std::string text;
	// The package's default folder is made before a run; a dry run only says so.
	BPath destination(&config.Destination());
	bool destinationMade = options.folder.empty() && destination.InitCheck() == B_OK
		&& !BEntry(destination.Path()).Exists();
	bool described = config.DescribeRun(options.replace, destinationMade, text);
	fputs(text.c_str(), out);
	return described ? kUnattendedInstalled : kUnattendedFolderFailed;
}

} // namespace

bool
IsUnattendedCommandLine(const std::vector<std::string>& arguments)
{
	for (const std::string& argument : arguments) {
		std::string name = argument.substr(0, argument.find('='));
		if (is_value_option(name) || is_flag_option(name))
			return true;
	}
	return false;
}

int
RunUnattended(const std::vector<std::string>& arguments, const std::string& givenPackagePath,
	FILE* out, FILE* err)
{
	Options options;
	std::string error;
	if (!parse(arguments, options, error)) {
		fprintf(err, "Installer: %s\nTry 'Installer --help'.\n", error.c_str());
		return kUnattendedUsage;
	}
	if (options.help) {
		fputs(kUnattendedHelpText, out);
		return kUnattendedInstalled;
	}
	if (options.version) {
		fputs(kVersionText, out);
		return kUnattendedInstalled;
	}

	std::string packagePath = InstallerPackagePath(givenPackagePath.c_str());
	InstallConfig config;
	config.SetPackagePath(packagePath.c_str());
	if (ReadPackageConfiguration(packagePath.c_str(), config) != B_OK) {
		fprintf(err, "%s\n", kConfigurationErrorText);
		return kUnattendedFolderFailed;
	}
	GroupContextList groups;
	BMessage groupMessage;
	if (config.FindMessage(Package::kGroups, &groupMessage) == B_OK)
		groups.Read(groupMessage);

	if (options.list) {
		print_list(config, groups, out);
		return kUnattendedInstalled;
	}

	const char* licence = config.GetString(Package::kLicense, "");
	// A dry run installs nothing, so nothing is agreed to.
	if (licence[0] != '\0' && !options.acceptLicence && !options.dryRun) {
		fprintf(out, "%s\n", licence);
		fprintf(err,
			"Installer: the package has the licence above; run again with --accept-licence "
			"to agree to it\n");
		return kUnattendedUsage;
	}
	if (!choose_items(config, options, groups, error)) {
		fprintf(err, "Installer: %s\n", error.c_str());
		return kUnattendedUsage;
	}
	if (!choose_destination(config, options, packagePath)) {
		fprintf(err, "Installer: %s cannot be used as the destination folder\n",
			options.folder.c_str());
		return kUnattendedFolderFailed;
	}
	if (options.dryRun)
		return dry_run(config, options, out, err);
	// Nobody is there to look at it.
	config.RemoveName(Package::kCompleteDisplayFolder);
	config.AddBool(Package::kCompleteDisplayFolder, false);
	if (config.DoesDestinationExist()) {
		// The window's notice: the engine moves the old folder to the Trash.
		fprintf(err, "The folder '%s' already exists in the destination folder.\n",
			config.GetString(Package::kOptCreatedFolder, ""));
	}

	LibSetAlertPolicy([&options, err](const LibAlertQuestion& question) {
		return answer(question, options, err);
	});
	StatusPrinter* printer = new StatusPrinter(out);
	printer->Run();
	config.Go("install", new BMessenger(printer), 10, false);
	bool completed = false;
	int32 result = printer->Wait(completed);
	printer->Lock();
	printer->Quit();
	LibSetAlertPolicy(nullptr);

	if (result == kInstallFolderFailed)
		return kUnattendedFolderFailed;
	if (result == kInstallRequirementsGoBack || !completed) {
		fprintf(err, "Installer: the requirements are not met; nothing was installed\n");
		return kUnattendedRequirementsNotMet;
	}
	fprintf(out, "Items not installed: %d\n", static_cast<int>(config.FailedCount()));
	return config.FailedCount() == 0 ? kUnattendedInstalled : kUnattendedItemsFailed;
}

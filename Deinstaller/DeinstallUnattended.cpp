#include "DeinstallUnattended.h"

#include "DeinstallRemoval.h"
#include "DeinstallSearch.h"
#include "SavedFiles.h"

#include <PackageConfiguration.h>
#include <PackageDefs.h>

#include <Message.h>
#include <Path.h>
#include <VolumeRoster.h>

#include <set>
#include <string.h>
#include <string>
#include <sys/stat.h>
#include <vector>

const char* const kNotConfiguredText = "Tarnwick was not present during the installation of "
									   "software. It has not been configured to deinstall.";
const char* const kNothingFoundText = "No files or folders were found to deinstall on this volume.";

namespace {

const char kVersionText[] = "Tarnwick 1.1.0\n";

const char kUsageText[] =
	"Usage: Tarnwick --unattended [--volume PATH] [--to DIR] [--dry-run] [--restore-saved]\n"
	"       Tarnwick [-ui]\n"
	"\n"
	"Without --unattended the deinstaller opens its window; -ui opens it even when the\n"
	"deinstaller was not configured by an installation.\n"
	"\n"
	"  --unattended   search and remove without a window or a display\n"
	"  --volume PATH  search the volume that holds PATH (default: the boot volume)\n"
	"  --to DIR       move the items into the folder DIR (default: the Trash)\n"
	"  --dry-run      list what would be removed and change nothing\n"
	"  --restore-saved\n"
	"                 once the items are gone, put the entries the installation replaced\n"
	"                 and kept in its \"Saved Files\" folder back where they were, where\n"
	"                 nothing else has taken their place\n"
	"  --help         print this text\n"
	"  --version      print the version\n"
	"\n"
	"Exit status: 0 removed (or listed), 1 nothing found (with --restore-saved: nor anything\n"
	"saved to put back), 2 usage error, 3 not configured, 4 some items could not be moved,\n"
	"5 removed, but some saved entries could not be put back.\n";

// Takes "--name VALUE" or "--name=VALUE" at argv[index]; false when it is another option.
// A missing value is an error.
bool
take_value(int argc, const char* const* argv, int& index, const char* name, LibString& value,
	bool& seen, LibString& error)
{
	const char* argument = argv[index];
	size_t length = strlen(name);
	if (strncmp(argument, name, length) != 0)
		return false;
	if (argument[length] == '=') {
		value = argument + length + 1;
	} else if (argument[length] == '\0') {
		if (index + 1 >= argc) {
			error.Formatted("%s needs a value", name);
			seen = true;
			return true;
		}
		value = argv[++index];
	} else {
		return false;
	}
	if (value.Length() == 0)
		error.Formatted("%s needs a value that is not empty", name);
	else if (seen)
		error.Formatted("%s is given twice", name);
	seen = true;
	return true;
}

} // namespace

bool
ParseUnattendedOptions(
	int argc, const char* const* argv, UnattendedOptions& options, LibString& error)
{
	options = UnattendedOptions();
	error = "";
	bool volumeSeen = false;
	bool toSeen = false;
	for (int i = 0; i < argc && error.Length() == 0; i++) {
		const char* argument = argv[i];
		if (strcmp(argument, "--unattended") == 0)
			options.unattended = true;
		else if (strcmp(argument, "--dry-run") == 0)
			options.dryRun = true;
		else if (strcmp(argument, "--restore-saved") == 0)
			options.restoreSaved = true;
		else if (strcmp(argument, "--help") == 0)
			options.help = true;
		else if (strcmp(argument, "--version") == 0)
			options.version = true;
		else if (take_value(argc, argv, i, "--volume", options.volumePath, volumeSeen, error))
			continue;
		else if (take_value(argc, argv, i, "--to", options.destination, toSeen, error))
			continue;
		else if (argument[0] == '-')
			error.Formatted("unknown option '%s'", argument);
		else
			error.Formatted("unexpected argument '%s'", argument);
	}
	if (error.Length() > 0)
		return false;
	if (!options.unattended && !options.help && !options.version) {
		error = "--volume, --to, --dry-run and --restore-saved need --unattended";
		return false;
	}
	return true;
}

bool
WantsUnattendedMode(int argc, const char* const* argv)
{
	for (int i = 0; i < argc; i++) {
		if (strcmp(argv[i], "--unattended") == 0)
			return true;
	}
	// Only the window's own "-ui" (or nothing) opens a window; GNU-style options alone are
	// answered without one.
	return argc > 0 && strncmp(argv[0], "--", 2) == 0;
}

void
GetUserScriptTags(const BMessage& configuration, LibString& bootTag, LibString& environmentTag,
	LibString& profileTag)
{
	struct Script {
		const char* flag;
		const char* tagField;
		LibString& tag;
	} scripts[] = { { Package::kEditBootscript, Package::kEditBootscriptTag, bootTag },
		{ Package::kEditSetupEnv, Package::kEditSetupEnvTag, environmentTag },
		{ Package::kEditProfile, Package::kEditProfileTag, profileTag } };

	for (Script& script : scripts) {
		script.tag = "";
		bool edit = false;
		const char* tag = NULL;
		if (configuration.FindBool(script.flag, &edit) == B_OK && edit
			&& configuration.FindString(script.tagField, &tag) == B_OK) {
			script.tag = tag;
		}
	}
}

namespace {

// Puts the saved entries back (or, with dryRun, says which would go back, counting the
// places of the found items as free) and returns the run's exit status.
int
put_back_saved(SavedFiles& saved, bool dryRun, const std::vector<DeinstallItem>& items, int status,
	FILE* out, FILE* err)
{
	std::set<std::string> leaving;
	for (const DeinstallItem& item : items)
		leaving.insert((const char*)item.path);
	PutBackCounts counts = saved.PutBack(dryRun);
	if (dryRun) {
		counts = PutBackCounts();
		for (SavedEntry& entry : saved.Entries()) {
			if (entry.outcome == kPutBackPlaceTaken
				&& leaving.count((const char*)entry.originalPath) > 0)
				entry.outcome = kPutBackDone;
			if (entry.outcome == kPutBackDone)
				counts.done++;
			else if (entry.outcome == kPutBackPlaceTaken)
				counts.placeTaken++;
			else if (entry.outcome == kPutBackFolderGone)
				counts.folderGone++;
			else
				counts.failed++;
		}
	}

	for (const SavedEntry& entry : saved.Entries()) {
		const char* place = entry.originalPath;
		const char* path = entry.savedPath;
		switch (entry.outcome) {
			case kPutBackDone:
				fprintf(out, "%s: %s\n", dryRun ? "Would put back" : "Put back", place);
				break;
			case kPutBackPlaceTaken:
				fprintf(err, "Tarnwick: kept '%s' saved: something else is at '%s'\n", path, place);
				break;
			case kPutBackFolderGone:
				fprintf(err, "Tarnwick: kept '%s' saved: the folder of '%s' no longer exists\n",
					path, place);
				break;
			default:
				fprintf(
					err, "Tarnwick: kept '%s' saved: it could not be moved to '%s'\n", path, place);
				break;
		}
	}
	if (!dryRun)
		fprintf(out, "%s\n", (const char*)SavedFiles::ReportText(counts, saved.Folder()));
	if (status != kUnattendedDone && status != kUnattendedNothingFound)
		return status;
	return counts.Kept() > 0 ? kUnattendedNotAllPutBack : kUnattendedDone;
}

} // namespace

int
RunUnattended(int argc, const char* const* argv, const ConfigurationReader& readConfiguration,
	FILE* out, FILE* err, const char* installationFolder)
{
	UnattendedOptions options;
	LibString error;
	if (!ParseUnattendedOptions(argc, argv, options, error)) {
		fprintf(err, "Tarnwick: %s\nTry 'Tarnwick --help'.\n", (const char*)error);
		return kUnattendedUsage;
	}
	if (options.help) {
		fputs(kUsageText, out);
		return kUnattendedDone;
	}
	if (options.version) {
		fputs(kVersionText, out);
		return kUnattendedDone;
	}
	BMessage ownConfiguration;
	if (!readConfiguration || !readConfiguration(ownConfiguration)) {
		fprintf(err, "%s\n", kNotConfiguredText);
		return kUnattendedNotConfigured;
	}
	const BMessage* configuration = &ownConfiguration;

	BVolume volume;
	if (options.volumePath.Length() == 0) {
		BVolumeRoster().GetBootVolume(&volume);
		if (volume.InitCheck() != B_OK) {
			fprintf(err,
				"Tarnwick: the boot volume (the one that holds the home folder) "
				"cannot be found\n");
			return kUnattendedUsage;
		}
	} else {
		struct stat info;
		if (stat(options.volumePath, &info) != 0) {
			fprintf(
				err, "Tarnwick: --volume: '%s' does not exist\n", (const char*)options.volumePath);
			return kUnattendedUsage;
		}
		if (volume.SetTo(info.st_dev) != B_OK) {
			fprintf(err, "Tarnwick: --volume: '%s' is not on a volume that holds user data\n",
				(const char*)options.volumePath);
			return kUnattendedUsage;
		}
	}

	DeinstallRemoval removal;
	if (options.destination.Length() > 0) {
		struct stat info;
		if (stat(options.destination, &info) != 0 || !S_ISDIR(info.st_mode)) {
			fprintf(
				err, "Tarnwick: --to: '%s' is not a folder\n", (const char*)options.destination);
			return kUnattendedUsage;
		}
		BPath destination(options.destination, NULL, true);
		removal.SetDestination(destination.InitCheck() == B_OK ? destination.Path()
															   : (const char*)options.destination);
	}

	LibString tag;
	BuildInstallationTag(*configuration, tag);
	DeinstallSearch search(volume);
	search.SetTag(tag);
	// No messenger: the search runs here and reports nothing on the way.
	search.Action();
	if (search.UnreadableFolders() > 0) {
		fprintf(err, "Tarnwick: %ld folders could not be read and were not searched.\n",
			(long)search.UnreadableFolders());
	}

	std::vector<DeinstallItem> items;
	LibStringList& found = search.Found();
	for (LibString* path = found.First(); path != NULL; path = found.Next()) {
		DeinstallItem item;
		item.path = *path;
		items.push_back(item);
		fprintf(out, "%s\n", (const char*)*path);
	}
	fflush(out);

	int status = kUnattendedDone;
	bool itemsGone = true;
	if (items.empty()) {
		fprintf(err, "%s\n", kNothingFoundText);
		status = kUnattendedNothingFound;
	} else if (!options.dryRun) {
		LibString bootTag;
		LibString environmentTag;
		LibString profileTag;
		GetUserScriptTags(*configuration, bootTag, environmentTag, profileTag);
		removal.SetUserScripts(bootTag, environmentTag, profileTag);
		// Nobody answers: what is in the destination stays, and so does the item.
		int32 collisions = 0;
		removal.SetQuestion([&collisions, err](const BPath& incoming, const BPath& existing) {
			collisions++;
			fprintf(err, "Tarnwick: kept '%s' in place: '%s' is already there\n", incoming.Path(),
				existing.Path());
			return ReplaceAnswer();
		});
		DeinstallCounts counts = removal.Remove(items);

		fprintf(out, "Moved %ld of %ld items to %s; %ld kept, %ld could not be moved.\n",
			(long)counts.moved, (long)items.size(), (const char*)removal.Destination(),
			(long)counts.kept, (long)counts.failed);
		for (const DeinstallItem& item : items) {
			if (item.outcome == kItemFailed)
				fprintf(err, "Tarnwick: could not move '%s'\n", (const char*)item.path);
		}
		itemsGone = counts.failed == 0;
		if (counts.failed > 0 || collisions > 0)
			status = kUnattendedNotAllMoved;
	}
	fflush(out);

	// What the installation replaced and kept goes back only once its items are gone.
	LibString installation;
	if (installationFolder != NULL)
		installation = installationFolder;
	else
		SavedFiles::GetProgramInstallationFolder(installation);
	SavedFiles saved(installation);
	if (!itemsGone || saved.Find() == 0)
		return status;
	if (!options.restoreSaved) {
		size_t count = saved.Entries().size();
		fprintf(out,
			"%ld %s that the installation replaced %s kept in \"%s\"; "
			"--restore-saved puts %s back.\n",
			(long)count, count == 1 ? "entry" : "entries", count == 1 ? "is" : "are",
			(const char*)saved.Folder(), count == 1 ? "it" : "them");
		return status;
	}
	return put_back_saved(saved, options.dryRun, items, status, out, err);
}

#include "PackageBuilderCommand.h"

#include "Diagnostics.h"
#include "InstallerExaminer.h"
#include "InstallerWriter.h"
#include "ManifestPrinter.h"
#include "ManifestReader.h"

#include <cerrno>
#include <cstdlib>

namespace {

const char* const kUsage =
	"Usage:\n"
	"  PackageBuilder build MANIFEST -o OUTPUT [--base INSTALLER] [--deinstaller PROGRAM]\n"
	"                       [--jobs N]\n"
	"  PackageBuilder list INSTALLER\n"
	"  PackageBuilder show INSTALLER\n"
	"  PackageBuilder show --manifest --payload-dir DIR INSTALLER\n"
	"  PackageBuilder check INSTALLER\n"
	"  PackageBuilder --help\n";

const char* const kHelp =
	"PackageBuilder writes self-extracting installers and inspects them.\n"
	"\n"
	"Commands:\n"
	"  build MANIFEST -o OUTPUT\n"
	"      Reads the TOML manifest, checks it, and writes the installer OUTPUT: a copy of\n"
	"      the base installer with the product's configuration, one archive per item, the\n"
	"      help text and the deinstaller. Nothing is written when the manifest is wrong.\n"
	"      --base INSTALLER      the installer program to copy (default: the manifest's\n"
	"                            'base', else the Installer beside PackageBuilder)\n"
	"      --deinstaller PROGRAM the deinstaller to carry (default: the manifest's\n"
	"                            'deinstaller', else Tarnwick beside PackageBuilder)\n"
	"      --jobs N              files compressed at once (default: one per processor)\n"
	"      With SOURCE_DATE_EPOCH set (seconds since 1970), the same manifest and payload\n"
	"      give the same bytes: times taken from the payload are clamped to it and no\n"
	"      access times are recorded.\n"
	"  list INSTALLER\n"
	"      Lists the resources: type, id, size and name.\n"
	"  show INSTALLER\n"
	"      Prints the configuration in readable form.\n"
	"  show --manifest --payload-dir DIR INSTALLER\n"
	"      Prints the configuration as a manifest and extracts the payloads, picture,\n"
	"      sound, help text and deinstaller into DIR; building that manifest gives an\n"
	"      installer with the same configuration.\n"
	"  check INSTALLER\n"
	"      Verifies the package: the configuration's fields, every item's payload, names,\n"
	"      archives and sizes, the tag length, the deinstaller and the help text. Exits\n"
	"      with 0 only when everything holds.\n"
	"\n"
	"Exit status: 0 success, 1 failure (the problems are printed), 2 wrong usage.\n"
	"The manifest format is described in docs/manifest.md.\n";

int
usage(FILE* err, const std::string& problem)
{
	fprintf(err, "PackageBuilder: %s\n%s", problem.c_str(), kUsage);
	return kExitUsage;
}

int
finish(const Diagnostics& diagnostics, FILE* err, bool ok)
{
	diagnostics.Print(err);
	return ok && !diagnostics.HasErrors() ? kExitOk : kExitFailed;
}

int
run_build(const std::vector<std::string>& arguments, FILE* out, FILE* err)
{
	std::string manifestPath;
	BuildOptions options;
	for (size_t i = 1; i < arguments.size(); i++) {
		const std::string& argument = arguments[i];
		bool hasValue = i + 1 < arguments.size();
		if ((argument == "-o" || argument == "--output") && hasValue)
			options.output = arguments[++i];
		else if (argument == "--base" && hasValue)
			options.base = arguments[++i];
		else if (argument == "--deinstaller" && hasValue)
			options.deinstaller = arguments[++i];
		else if (argument == "--jobs" && hasValue) {
			char* end = nullptr;
			long jobs = strtol(arguments[++i].c_str(), &end, 10);
			if (*end != '\0' || jobs < 1 || jobs > 256)
				return usage(err, "--jobs takes a number from 1 to 256");
			options.jobs = static_cast<int32>(jobs);
		} else if (!argument.empty() && argument[0] == '-')
			return usage(err, "unknown option or missing value: " + argument);
		else if (manifestPath.empty())
			manifestPath = argument;
		else
			return usage(err, "build takes one manifest");
	}
	if (manifestPath.empty() || options.output.empty())
		return usage(err, "build needs a manifest and -o OUTPUT");
	// The reproducible-builds convention: the time the sources were last changed. A value
	// that is not a plain count of seconds is refused rather than ignored, so that a build
	// meant to be reproducible never silently is not.
	const char* epoch = getenv("SOURCE_DATE_EPOCH");
	if (epoch != nullptr && epoch[0] != '\0') {
		char* end = nullptr;
		errno = 0;
		long long seconds = strtoll(epoch, &end, 10);
		if (*end != '\0' || errno != 0 || seconds < 0 || epoch[0] < '0' || epoch[0] > '9') {
			fprintf(err,
				"PackageBuilder: SOURCE_DATE_EPOCH must be a number of seconds since "
				"1970-01-01 UTC, not \"%s\"\n",
				epoch);
			return kExitUsage;
		}
		options.latestTime = static_cast<time_t>(seconds);
	}

	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	if (!reader.Read(manifestPath, manifest))
		return finish(diagnostics, err, false);
	bool ok = WriteInstaller(manifest, options, diagnostics);
	if (ok)
		fprintf(out, "Wrote %s (%zu items)\n", options.output.c_str(), manifest.items.size());
	return finish(diagnostics, err, ok);
}

int
run_inspection(const std::vector<std::string>& arguments, FILE* out, FILE* err)
{
	const std::string& command = arguments[0];
	std::string installer;
	std::string payloadFolder;
	bool asManifest = false;
	for (size_t i = 1; i < arguments.size(); i++) {
		const std::string& argument = arguments[i];
		if (command == "show" && argument == "--manifest")
			asManifest = true;
		else if (command == "show" && argument == "--payload-dir" && i + 1 < arguments.size())
			payloadFolder = arguments[++i];
		else if (!argument.empty() && argument[0] == '-')
			return usage(err, "unknown option or missing value: " + argument);
		else if (installer.empty())
			installer = argument;
		else
			return usage(err, command + " takes one installer");
	}
	if (installer.empty())
		return usage(err, command + " needs an installer");
	if (asManifest != !payloadFolder.empty())
		return usage(err, "--manifest and --payload-dir go together");

	Diagnostics diagnostics;
	InstallerExaminer inspector(diagnostics);
	if (!inspector.Open(installer))
		return finish(diagnostics, err, false);

	bool ok = true;
	if (command == "list")
		inspector.List(out);
	else if (command == "check") {
		ok = inspector.Check();
		inspector.PrintRequirementLookups(out, "");
		fprintf(out, "%s: %s\n", installer.c_str(),
			ok ? "the package is sound" : "the package has problems");
	} else if (asManifest)
		ok = PrintManifest(inspector, installer, payloadFolder, out, diagnostics);
	else
		inspector.Show(out);
	return finish(diagnostics, err, ok);
}

} // namespace

int
RunPackageBuilder(const std::vector<std::string>& arguments, FILE* out, FILE* err)
{
	if (arguments.empty())
		return usage(err, "no command given");
	const std::string& command = arguments[0];
	if (command == "--help" || command == "-h" || command == "help") {
		fprintf(out, "%s\n%s", kUsage, kHelp);
		return kExitOk;
	}
	if (command == "build")
		return run_build(arguments, out, err);
	if (command == "list" || command == "show" || command == "check")
		return run_inspection(arguments, out, err);
	return usage(err, "unknown command: " + command);
}

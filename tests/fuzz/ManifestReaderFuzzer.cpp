// Feeds arbitrary text to PackageBuilder's manifest reader as a manifest. Whatever the
// text, reading ends with a verdict; every message names the manifest and a place inside
// the text; a manifest that is accepted keeps every rule that protects the user who
// installs it. The sanitizers catch the rest. Relative paths are taken from a private
// folder holding a small payload (a file, a folder, a link that stays inside and one that
// leaves), so that the checks on payloads run as well.
#include "Diagnostics.h"
#include "Manifest.h"
#include "ManifestReader.h"
#include "PackageRules.h"
#include "PayloadLinks.h"

#include "LibFile.h"
#include "LibPrivateFolder.h"

#include <Path.h>

#include <algorithm>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const kManifestName = "fuzz.toml";

std::string gFolder;

void
write_file(const std::string& path, const char* text, mode_t mode)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
	if (fd < 0)
		abort();
	size_t length = strlen(text);
	if (write(fd, text, length) != (ssize_t)length || close(fd) != 0)
		abort();
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	BPath folder;
	if (!LibMakePrivateFolder(folder, "ManifestReaderFuzzer"))
		abort();
	gFolder = folder.Path();
	atexit([] { LibUnlink(gFolder.c_str()); });

	std::string payload = gFolder + "/payload";
	if (mkdir(payload.c_str(), 0700) != 0 || mkdir((payload + "/docs").c_str(), 0700) != 0)
		abort();
	write_file(payload + "/tool", "#!/bin/sh\necho tool\n", 0755);
	write_file(payload + "/docs/guide.txt", "guide\n", 0644);
	write_file(gFolder + "/LICENSE", "Terms\n", 0644);
	if (symlink("guide.txt", (payload + "/docs/inside").c_str()) != 0
		|| symlink("../../../outside", (payload + "/leaving").c_str()) != 0)
		abort();
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string text(reinterpret_cast<const char*>(data), size);
	int64 lines = 1 + std::count(text.begin(), text.end(), '\n');

	Diagnostics diagnostics;
	Manifest manifest;
	ManifestReader reader(diagnostics);
	bool accepted = reader.ReadText(text, kManifestName, gFolder, manifest);

	if (accepted == diagnostics.HasErrors())
		abort();
	for (const Diagnostics::Entry& entry : diagnostics.Entries()) {
		if (entry.file != kManifestName || entry.line < 0 || entry.line > lines + 1
			|| entry.column < 0 || entry.text.empty())
			abort();
	}
	if (!accepted)
		return 0;

	// What an accepted manifest may not hold.
	if (!package_rules::CreatedFolderProblem(manifest.createdFolder).empty())
		abort();
	for (const ManifestCustomFolder& folder : manifest.customFolders) {
		if (!package_rules::SubDirProblem(folder.subDir).empty())
			abort();
	}
	for (const ManifestItem& item : manifest.items) {
		if (item.link == item.destination || !FindLinksLeavingItem(item.path).empty())
			abort();
	}
	if (manifest.diskSpaceCheck
		&& !package_rules::DiskAmountProblem(manifest.diskSpaceKb * 1024).empty())
		abort();
	std::vector<std::string> tags;
	for (const ManifestScript* script :
		{ &manifest.bootscript, &manifest.setupEnvironment, &manifest.profile }) {
		if (!script->enabled)
			continue;
		if (!package_rules::ScriptTagProblem(script->tag).empty())
			abort();
		for (const std::string& other : tags) {
			if (!package_rules::ScriptTagsProblem(other, script->tag).empty())
				abort();
		}
		tags.push_back(script->tag);
	}
	return 0;
}

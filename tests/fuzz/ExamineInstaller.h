// What the fuzzers of PackageBuilder's list, show and check do with one installer file:
// every command that reads a configuration runs on it, with its output thrown away. A
// check that passes must have reported no error.
#ifndef EXAMINE_INSTALLER_H
#define EXAMINE_INSTALLER_H

#include "Diagnostics.h"
#include "InstallerExaminer.h"
#include "ManifestPrinter.h"

#include "LibFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace fuzz {

// work: a private folder of the fuzzer's own; the printed manifest's payloads go below it.
inline void
examine_installer(const std::string& path, const std::string& work)
{
	// Expanding archives moves the process into their folder; libFuzzer keeps its corpus
	// by relative paths.
	int startFolder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	FILE* sink = fopen("/dev/null", "w");
	if (startFolder < 0 || sink == nullptr)
		abort();
	{
		Diagnostics diagnostics;
		InstallerExaminer examiner(diagnostics);
		if (examiner.Open(path)) {
			examiner.List(sink);
			examiner.Show(sink);
		}
	}
	{
		Diagnostics diagnostics;
		InstallerExaminer examiner(diagnostics);
		if (examiner.Open(path) && examiner.Check() && diagnostics.HasErrors())
			abort();
	}
	{
		Diagnostics diagnostics;
		InstallerExaminer examiner(diagnostics);
		std::string payloads = work + "/printed";
		if (examiner.Open(path) && examiner.HasConfiguration())
			PrintManifest(examiner, path, payloads, sink, diagnostics);
		LibUnlink(payloads.c_str());
	}
	fclose(sink);
	if (fchdir(startFolder) != 0)
		abort();
	close(startFolder);
}

} // namespace fuzz

#endif // EXAMINE_INSTALLER_H

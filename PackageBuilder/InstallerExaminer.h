// InstallerExaminer: reads an installer written by PackageBuilder (or any tool that keeps
// the package layout) for the list, show and check commands.
#ifndef INSTALLER_EXAMINER_H
#define INSTALLER_EXAMINER_H

#include "Diagnostics.h"

#include <File.h>
#include <Message.h>
#include <Resources.h>

#include <cstdio>
#include <string>
#include <vector>

class InstallerExaminer {
public:
	explicit InstallerExaminer(Diagnostics& diagnostics);

	// Opens the installer's resources and reads its configuration. False when the file
	// has no readable resources; a missing or damaged configuration is reported but still
	// lets the resources be listed.
	bool Open(const std::string& path);

	bool HasConfiguration() const { return fHasConfiguration; }

	const BMessage& Configuration() const { return fConfiguration; }

	BResources& Resources() { return fResources; }

	// The payload of item index in memory. False when it is missing.
	bool LoadPayload(int32 index, std::vector<char>& data, std::string& name);
	bool LoadRaw(int32 id, std::vector<char>& data);

	// "list": every resource with its type, id, size and name.
	void List(FILE* stream);
	// "show": the configuration in readable form.
	void Show(FILE* stream);
	// "check": every rule of the package format that can be verified; the problems go to
	// the diagnostics. True when there are none (warnings allowed).
	bool Check();
	// For "show" and "check": whether each required library and application would be found
	// on the machine running the command, one line each (information only).
	void PrintRequirementLookups(FILE* stream, const char* indent);

private:
	void _CheckItems(const BMessage& instructions);
	void _CheckPlacement(
		const std::string& where, const char* field, const char* value, bool allowNone);
	void _CheckRules();
	void _CheckDeinstallerSize(int32 recorded);
	void _CheckEmbedded(int32 id, const char* resourceName, const char* entryName, const char* what,
		int32 expectedSize);
	void _Error(const std::string& text);
	void _Warning(const std::string& text);

	Diagnostics& fDiagnostics;
	std::string fPath;
	BFile fFile;
	BResources fResources;
	BMessage fConfiguration;
	bool fHasConfiguration;
};

#endif // INSTALLER_EXAMINER_H

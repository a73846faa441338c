// Shared pieces of the PackageBuilder tests: a sandboxed folder per test with a small
// product (a script and a folder of documents), a manifest for it, and builds that use
// small system programs as base installer and deinstaller.
#ifndef PACKAGE_TEST_SUPPORT_H
#define PACKAGE_TEST_SUPPORT_H

#include "Diagnostics.h"
#include "InstallerWriter.h"
#include "ManifestReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace package_test {

namespace fs = std::filesystem;

inline void
write_text(const fs::path& path, const std::string& text)
{
	fs::create_directories(path.parent_path());
	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream << text;
}

inline std::string
read_text(const fs::path& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::ostringstream text;
	text << stream.rdbuf();
	return text.str();
}

// The first message, or a note that there is none, for failure output.
inline std::string
first_message(const Diagnostics& diagnostics)
{
	if (diagnostics.Entries().empty())
		return "no message";
	return Diagnostics::Format(diagnostics.Entries().front());
}

// The product texts every manifest needs; tests append what they look at.
inline const char* const kProductHeader = R"TOML(
[product]
name = "Sample"
version = "2.1"
release_date = "May 4, 2026"
company = "Sample Co."
support_email = "help@sample.example"

[options]
created_folder = "Sample"
)TOML";

class PackageTest : public testing::Test {
protected:
	void SetUp() override
	{
		fRoot = fDir.Path();
		write_text(fRoot / "payload/sample-tool", "#!/bin/sh\necho sample\n");
		chmod((fRoot / "payload/sample-tool").c_str(), 0755);
		write_text(fRoot / "payload/Sample Docs/Guide.txt", "How to use the sample.\n");
		write_text(fRoot / "payload/Sample Docs/deep/Notes.txt", std::string(5000, 'n'));
	}

	std::string WriteManifest(const std::string& body, const char* name = "sample.toml")
	{
		fs::path path = fRoot / name;
		write_text(path, body);
		return path.string();
	}

	// Reads and builds; the output goes to fRoot/name.
	bool Build(const std::string& manifestPath, Diagnostics& diagnostics,
		const char* name = "Sample-Installer", Manifest* read = nullptr)
	{
		Manifest manifest;
		ManifestReader reader(diagnostics);
		if (!reader.Read(manifestPath, manifest))
			return false;
		if (read != nullptr)
			*read = manifest;
		BuildOptions options;
		options.output = (fRoot / name).string();
		options.base = "/bin/true";
		options.deinstaller = "/bin/false";
		return WriteInstaller(manifest, options, diagnostics);
	}

	std::string Output(const char* name = "Sample-Installer") const
	{
		return (fRoot / name).string();
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	fs::path fRoot;
};

} // namespace package_test

#endif // PACKAGE_TEST_SUPPORT_H

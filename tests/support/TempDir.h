// Temporary folders for tests: a fresh folder per test, removed with everything in it.
#ifndef TESTS_TEMP_DIR_H
#define TESTS_TEMP_DIR_H

#include <filesystem>
#include <string>

class ScopedTempDir {
public:
	ScopedTempDir();
	~ScopedTempDir();

	ScopedTempDir(const ScopedTempDir&) = delete;
	ScopedTempDir& operator=(const ScopedTempDir&) = delete;

	const std::filesystem::path& Path() const { return fPath; }

	// Path of a child entry, as a string for the C-style APIs.
	std::string Child(const std::string& name) const;

private:
	std::filesystem::path fPath;
};

// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, XDG_DESKTOP_DIR and TMPDIR
// at a fresh folder and restores the old values when it goes.
class ScopedSandbox {
public:
	ScopedSandbox();
	~ScopedSandbox();

	ScopedSandbox(const ScopedSandbox&) = delete;
	ScopedSandbox& operator=(const ScopedSandbox&) = delete;

	const std::filesystem::path& Home() const { return fHome; }

private:
	std::filesystem::path fRoot;
	std::filesystem::path fHome;

	struct SavedVariable {
		std::string name;
		std::string value;
		bool wasSet;
	};

	SavedVariable fSaved[7];
};

#endif // TESTS_TEMP_DIR_H

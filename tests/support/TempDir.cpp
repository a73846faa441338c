#include "TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

static std::filesystem::path
make_temp_folder(const char* pattern)
{
	std::filesystem::path base = std::filesystem::temp_directory_path();
	std::string templ = (base / pattern).string();
	if (mkdtemp(templ.data()) == nullptr)
		throw std::runtime_error("cannot create a temporary folder");
	return templ;
}

ScopedTempDir::ScopedTempDir() :
	fPath(make_temp_folder("beinstaller-test-XXXXXX"))
{
}

ScopedTempDir::~ScopedTempDir()
{
	std::error_code error;
	std::filesystem::remove_all(fPath, error);
}

std::string
ScopedTempDir::Child(const std::string& name) const
{
	return (fPath / name).string();
}

static const char* const kSandboxVariables[7] = { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
	"XDG_CACHE_HOME", "XDG_DESKTOP_DIR", "XDG_STATE_HOME", "TMPDIR" };

ScopedSandbox::ScopedSandbox() :
	fRoot(make_temp_folder("beinstaller-sandbox-XXXXXX")),
	fHome(fRoot / "home")
{
	std::filesystem::path tmp = fRoot / "tmp";
	std::filesystem::create_directories(fHome);
	std::filesystem::create_directories(tmp);

	const std::string values[7] = { fHome.string(), (fHome / ".config").string(),
		(fHome / ".local/share").string(), (fHome / ".cache").string(),
		(fHome / "Desktop").string(), (fHome / ".local/state").string(), tmp.string() };
	for (int i = 0; i < 7; i++) {
		const char* old = getenv(kSandboxVariables[i]);
		fSaved[i] = { kSandboxVariables[i], old != nullptr ? old : "", old != nullptr };
		setenv(kSandboxVariables[i], values[i].c_str(), 1);
	}
}

ScopedSandbox::~ScopedSandbox()
{
	for (const SavedVariable& saved : fSaved) {
		if (saved.wasSet)
			setenv(saved.name.c_str(), saved.value.c_str(), 1);
		else
			unsetenv(saved.name.c_str());
	}
	std::error_code error;
	std::filesystem::remove_all(fRoot, error);
}

// Manifest: what a package author writes down about a product, read from a TOML file by
// ManifestReader and turned into an installer by InstallerWriter. Paths are absolute
// (ManifestReader resolves them against the manifest's folder). Values the builder
// computes from the payload (sizes, times, the recorded path) can be given explicitly, so
// that a manifest printed from an installer rebuilds the same configuration.
#ifndef MANIFEST_H
#define MANIFEST_H

#include <SupportDefs.h>

#include <optional>
#include <string>
#include <vector>

struct ManifestInstallType {
	std::string name;
	std::string description;
};

struct ManifestCustomFolder {
	std::string name;
	int32 root = 0;
	std::string subDir;
	// Off unless asked: replacing moves away whatever is at that place.
	bool replace = false;
};

struct ManifestItem {
	// The payload on disk: a file, folder or link.
	std::string path;
	std::string destination = "User Selected";
	std::string destinationExists = "Prompt";
	std::string link = "None";
	std::string linkExists = "Replace";
	bool deinstallable = true;
	bool autoLaunch = false;
	std::string autoLaunchReason;
	std::vector<std::string> installTypes;

	// Values the builder computes unless given.
	std::optional<std::string> recordedPath;
	std::optional<std::vector<int32>> recordedSize;
	std::optional<int64> created;
	std::optional<int64> modified;
	std::optional<int64> accessed;

	// The manifest line of the item, for messages about it.
	int64 line = 0;
};

struct ManifestScript {
	bool enabled = false;
	std::string tag;
	std::string contents;
};

struct Manifest {
	// Where it came from.
	std::string file;
	std::string folder;

	// Programs and files packed with the product.
	std::string base;
	std::string deinstaller;
	std::string help;

	// Product texts.
	std::string name;
	std::string version;
	std::string releaseDate;
	std::string company;
	std::string supportEmail;
	std::string packageName;
	std::string license;
	std::string aboutImage;
	std::string sound;
	std::optional<std::string> recordedSoundPath;

	// Options.
	std::string createdFolder;
	std::optional<std::string> defaultFolder;
	bool log = true;
	bool createStartup = false;
	bool saveReplaced = true;
	bool showBeosFolders = false;
	int32 compression = 9;

	// Requirements.
	bool bootVolumeOnly = false;
	bool removableVolumesOk = true;
	bool sharedVolumesOk = true;
	bool diskSpaceCheck = false;
	bool diskSpaceRequired = false;
	double diskSpaceKb = 0;
	bool ramCheck = false;
	bool ramRequired = false;
	int32 ramMb = 0;
	std::vector<std::string> libraries;
	bool librariesRequired = true;
	std::vector<std::string> apps;
	bool appsRequired = true;

	ManifestScript bootscript;
	ManifestScript setupEnvironment;
	ManifestScript profile;

	std::string completeComments;
	bool completeRestart = false;
	bool completeDisplayFolder = false;

	std::vector<ManifestInstallType> installTypes;
	std::vector<ManifestCustomFolder> customFolders;
	std::vector<ManifestItem> items;
};

#endif // MANIFEST_H

// Crafted installers, made here from a sound package built by PackageBuilder and then
// altered resource by resource (no stored binaries): names that climb, huge counts and sizes,
// damaged and bomb payloads, a configuration that does not unflatten, an overlong tag, item
// leaves "." and "..". The real Installer runs each unattended in a home of its own on a small
// volume of its own; it must end with a clear message, and nothing may change outside the
// folder the installation folder is made in.
#include "EngineTestSupport.h"

#include "RunProgram.h"

#include <File.h>
#include <Resources.h>

#include <zip.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>

using namespace engine_test;

namespace {

const char kProductName[] = "Hostile";

// Two items: a file and a folder with a file inside, both into the installation folder.
std::string
write_sound_package(const fs::path& folder)
{
	write_text(folder / "payload/notes.txt", "notes\n");
	write_text(folder / "payload/Docs/guide.txt", std::string(4000, 'g'));
	std::string manifest = "[product]\nname = \"" + std::string(kProductName)
		+ "\"\nversion = \"1.0\"\nrelease_date = \"June 2, 2026\"\ncompany = \"Hostile "
		  "Works\"\nsupport_email = \"h@example.test\"\n[options]\ncreated_folder = "
		  "\"Hostile\"\nlog = true\n"
		  "[[items]]\npath = \"payload/notes.txt\"\n[[items]]\npath = \"payload/Docs\"\n";
	write_text(folder / "hostile.toml", manifest);
	std::string package = (folder / "Hostile-Installer").string();
	ProgramResult built = RunProgram({ BEINSTALLER_PACKAGE_BUILDER, "build",
		(folder / "hostile.toml").string(), "-o", package });
	EXPECT_EQ(built.exitCode, 0) << built.err;
	return package;
}

// Alterations of a package's resources and of its configuration.
bool
set_resource(
	const std::string& package, type_code type, int32 id, const std::string& data, const char* name)
{
	BFile file(package.c_str(), B_READ_WRITE);
	BResources resources(&file);
	return resources.AddResource(type, id, data.data(), data.size(), name) == B_OK
		&& resources.Sync() == B_OK;
}

std::string
get_resource(const std::string& package, type_code type, int32 id)
{
	BFile file(package.c_str(), B_READ_ONLY);
	BResources resources(&file);
	size_t size = 0;
	const void* data = resources.LoadResource(type, id, &size);
	return data != nullptr ? std::string(static_cast<const char*>(data), size) : std::string();
}

bool
edit_configuration(const std::string& package, const std::function<void(BMessage&)>& edit)
{
	BMessage configuration;
	if (ReadPackageConfiguration(package.c_str(), configuration) != B_OK)
		return false;
	edit(configuration);
	std::string flat(configuration.FlattenedSize(), '\0');
	return configuration.Flatten(flat.data(), flat.size()) == B_OK
		&& set_resource(package, Package::kStringType, Package::kConfigurationId, flat,
			Package::kConfigurationName);
}

// Applies edit to install_file index of the configuration.
bool
edit_item(const std::string& package, int32 index, const std::function<void(BMessage&)>& edit)
{
	return edit_configuration(package, [&](BMessage& configuration) {
		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, index, &item);
		edit(item);
		instructions.ReplaceMessage(Package::kInstallFile, index, &item);
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);
	});
}

// Adds count copies of the first item, each naming a payload that does not exist; size,
// when not negative, is the size every one of them claims.
bool
add_item_copies(const std::string& package, int count, int32 size)
{
	return edit_configuration(package, [&](BMessage& configuration) {
		BMessage instructions;
		configuration.FindMessage(Package::kInstallInstructions, &instructions);
		BMessage item;
		instructions.FindMessage(Package::kInstallFile, 0, &item);
		if (size >= 0)
			item.ReplaceInt32(Package::kFileSize, 0, size);
		for (int i = 0; i < count; i++) {
			item.ReplaceString(
				Package::kFileName, ("/build/payload/extra-" + std::to_string(i)).c_str());
			instructions.AddMessage(Package::kInstallFile, &item);
		}
		configuration.ReplaceMessage(Package::kInstallInstructions, &instructions);
	});
}

// Produces size bytes of zeros for libzip, in chunks, without holding them.
struct Zeros {
	zip_uint64_t size;
	zip_uint64_t given = 0;
};

zip_int64_t
zeros_source(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
	Zeros* zeros = static_cast<Zeros*>(state);
	switch (command) {
		case ZIP_SOURCE_OPEN:
			zeros->given = 0;
			return 0;
		case ZIP_SOURCE_READ: {
			zip_uint64_t count = std::min(length, zeros->size - zeros->given);
			memset(data, 0, count);
			zeros->given += count;
			return (zip_int64_t)count;
		}
		case ZIP_SOURCE_CLOSE:
			return 0;
		case ZIP_SOURCE_STAT: {
			zip_stat_t* stat = static_cast<zip_stat_t*>(data);
			zip_stat_init(stat);
			stat->size = zeros->size;
			stat->valid |= ZIP_STAT_SIZE;
			return sizeof(zip_stat_t);
		}
		case ZIP_SOURCE_ERROR:
			return 2 * sizeof(int);
		case ZIP_SOURCE_FREE:
			return 0;
		default:
			return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
				ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
	}
}

// A ZIP archive of the named entries: a text, or (with zeroBytes) that many zeros.
struct ArchiveEntry {
	std::string name;
	std::string text;
	zip_uint64_t zeroBytes = 0;
};

std::string
make_archive(const fs::path& path, const std::vector<ArchiveEntry>& entries)
{
	int error = 0;
	zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
	if (archive == nullptr)
		return "";
	std::vector<std::unique_ptr<Zeros>> zeros;
	for (const ArchiveEntry& entry : entries) {
		zip_source_t* source = nullptr;
		if (entry.zeroBytes > 0) {
			zeros.push_back(std::make_unique<Zeros>(Zeros { entry.zeroBytes }));
			source = zip_source_function(archive, zeros_source, zeros.back().get());
		} else
			source = zip_source_buffer(archive, entry.text.data(), entry.text.size(), 0);
		zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
		if (index < 0)
			zip_source_free(source);
		else
			zip_set_file_compression(archive, index, ZIP_CM_DEFLATE, 9);
	}
	if (zip_close(archive) != 0) {
		zip_discard(archive);
		return "";
	}
	return read_text(path);
}

// Every entry below root with its kind, size and contents' digest, for before and after.
std::map<std::string, std::string>
listing(const fs::path& root, const fs::path& skipped)
{
	std::map<std::string, std::string> entries;
	std::error_code error;
	for (fs::recursive_directory_iterator it(root, error), end; it != end; it.increment(error)) {
		if (it->path() == skipped) {
			it.disable_recursion_pending();
			continue;
		}
		struct stat status;
		if (lstat(it->path().c_str(), &status) != 0)
			continue;
		std::string state = std::to_string(status.st_mode) + " " + std::to_string(status.st_size)
			+ " " + std::to_string(status.st_mtim.tv_sec) + "."
			+ std::to_string(status.st_mtim.tv_nsec);
		entries[it->path().string()] = state;
	}
	return entries;
}

std::string
differences(const std::map<std::string, std::string>& before,
	const std::map<std::string, std::string>& after)
{
	std::string text;
	for (const auto& [path, state] : after) {
		auto old = before.find(path);
		if (old == before.end())
			text += "added " + path + "\n";
		else if (old->second != state)
			text += "changed " + path + "\n";
	}
	for (const auto& [path, state] : before) {
		if (after.count(path) == 0)
			text += "removed " + path + "\n";
	}
	return text;
}

struct HostileCase {
	std::string name;
	// Alters the sound package at the path; false when the alteration failed.
	std::function<bool(const std::string& package, const fs::path& work)> craft;
	int exitCode;
	// Text the installer must print on standard output or error.
	std::string message;
};

class HostilePackageTest : public testing::Test {
protected:
	ScopedTempDir fDir;
};

} // namespace

TEST_F(HostilePackageTest, CraftedInstallersEndWithAClearMessageAndWriteOnlyWhereAsked)
{
	std::string sound = write_sound_package(fDir.Path());
	ASSERT_TRUE(fs::exists(sound));
	const std::string damaged = "Not installed: the item could not be extracted from the "
								"installer (its archive is damaged).";

	const std::vector<HostileCase> cases = {
		{ "a payload resource whose name climbs",
			[](const std::string& package, const fs::path&) {
				return set_resource(package, Package::kRawType, Package::kFirstPayloadId,
					get_resource(package, Package::kRawType, Package::kFirstPayloadId),
					"../../notes.txt");
			},
			4, "its archive is not named like an item" },
		{ "an archive whose entries climb out of the item",
			[](const std::string& package, const fs::path& work) {
				std::string archive = make_archive(work / "climb.zip",
					{ { "notes.txt", "notes\n" }, { "../../../escaped.txt", "out\n" },
						{ (work / "absolute.txt").string(), "out\n" } });
				return !archive.empty()
					&& set_resource(
						package, Package::kRawType, Package::kFirstPayloadId, archive, "notes.txt");
			},
			4, damaged },
		{ "item leaf \"..\"",
			[](const std::string& package, const fs::path&) {
				return edit_item(package, 0, [](BMessage& item) {
					item.ReplaceString(Package::kFileName, "/build/payload/..");
				});
			},
			4, "Not installed: the package gives it no usable file name." },
		{ "item leaf \".\"",
			[](const std::string& package, const fs::path&) {
				return edit_item(package, 1, [](BMessage& item) {
					item.ReplaceString(Package::kFileName, "/build/payload/Docs/.");
				});
			},
			4, "Not installed: the package gives it no usable file name." },
		{ "a damaged payload",
			[](const std::string& package, const fs::path&) {
				std::string archive =
					get_resource(package, Package::kRawType, Package::kFirstPayloadId + 1);
				size_t guide = archive.find("guide.txt");
				if (guide == std::string::npos)
					return false;
				for (size_t i = guide + 40; i < guide + 80 && i < archive.size(); i++)
					archive[i] ^= 0x5a;
				return set_resource(
					package, Package::kRawType, Package::kFirstPayloadId + 1, archive, "Docs");
			},
			4, damaged },
		{ "a truncated payload",
			[](const std::string& package, const fs::path&) {
				std::string archive =
					get_resource(package, Package::kRawType, Package::kFirstPayloadId);
				return set_resource(package, Package::kRawType, Package::kFirstPayloadId,
					archive.substr(0, archive.size() / 2), "notes.txt");
			},
			4, damaged },
		{ "an archive bomb larger than the volume",
			[](const std::string& package, const fs::path& work) {
				std::string archive =
					make_archive(work / "bomb.zip", { { "notes.txt", "", 256ull << 20 } });
				return !archive.empty()
					&& set_resource(
						package, Package::kRawType, Package::kFirstPayloadId, archive, "notes.txt");
			},
			4, damaged },
		{ "a configuration that does not unflatten",
			[](const std::string& package, const fs::path&) {
				std::string flat =
					get_resource(package, Package::kStringType, Package::kConfigurationId);
				return set_resource(package, Package::kStringType, Package::kConfigurationId,
					flat.substr(0, flat.size() / 2), Package::kConfigurationName);
			},
			1, "Error obtaining configuration in installer. The installer was improperly built." },
		{ "a configuration of garbage",
			[](const std::string& package, const fs::path&) {
				return set_resource(package, Package::kStringType, Package::kConfigurationId,
					std::string(3000, '\xff'), Package::kConfigurationName);
			},
			1, "Error obtaining configuration in installer. The installer was improperly built." },
		{ "an installation tag over 255 bytes",
			[](const std::string& package, const fs::path&) {
				return edit_configuration(package, [](BMessage& configuration) {
					configuration.ReplaceString(Package::kAppName, std::string(300, 'H').c_str());
				});
			},
			1,
			"its installation tag is 347 bytes long and the deinstaller recognises at most 255" },
		{ "huge counts and sizes",
			[](const std::string& package, const fs::path&) {
				return add_item_copies(package, 1500, INT32_MAX);
			},
			3,
			"Installation requires 3072000.0 MB of disk space, and the destination volume "
			"'volume' only has 64.0 MB free." },
		{ "many items without payloads",
			[](const std::string& package, const fs::path&) {
				return add_item_copies(package, 1500, -1);
			},
			4, "Items not installed: 1500" },
	};

	// Made beforehand, outside the volume the installers run on.
	std::vector<std::string> packages;
	for (size_t i = 0; i < cases.size(); i++) {
		fs::path work = fDir.Path() / ("package-" + std::to_string(i));
		fs::create_directories(work);
		std::string package = (work / "Hostile-Installer").string();
		fs::copy_file(sound, package);
		EXPECT_TRUE(cases[i].craft(package, work)) << cases[i].name;
		packages.push_back(package);
	}

	fs::path mount = fDir.Path() / "volume";
	fs::create_directories(mount);
	file_test::ChildOutcome outcome = file_test::run_with_second_volume(
		mount.string(), "size=64m", [&](file_test::ChildReport& report) {
			int number = 0;
			for (const HostileCase& row : cases) {
				std::string name = row.name + ": ";
				const std::string& package = packages[number];
				fs::path root = mount / ("case-" + std::to_string(++number));
				fs::path home = root / "home";
				fs::create_directories(home / "Programs");
				fs::create_directories(root / "tmp");
				std::map<std::string, std::string> environment = {
					{ "HOME", home.string() },
					{ "XDG_CONFIG_HOME", (home / ".config").string() },
					{ "XDG_DATA_HOME", (home / ".local/share").string() },
					{ "TMPDIR", (root / "tmp").string() },
					{ "DISPLAY", "" },
					{ "WAYLAND_DISPLAY", "" },
					{ "QT_QPA_PLATFORM", "" },
				};
				// The installer may write only inside the folder it was told to install into.
				std::map<std::string, std::string> before = listing(root, home / "Programs");
				ProgramResult result = RunProgram({ package, "--unattended", "--accept-licence",
													  "--folder", (home / "Programs").string() },
					environment);
				report.Check(result.exitCode == row.exitCode,
					name + "exit " + std::to_string(result.exitCode) + "\n" + result.out
						+ result.err);
				std::string log = read_text(home / "Programs/Hostile/Log");
				report.Check((result.out + result.err + log).find(row.message) != std::string::npos,
					name + "no '" + row.message + "' in\n" + result.out + result.err + log);
				std::string changes = differences(before, listing(root, home / "Programs"));
				report.Check(
					changes.empty(), name + "written outside the destination:\n" + changes);
				report.Check(!exists_entry(fs::path(package).parent_path() / "absolute.txt"),
					name + "an archive entry was written at its absolute path");
				fs::remove_all(root);
			}
		});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

// The requirement lookups: libraries along LIBRARY_PATH, LD_LIBRARY_PATH, the loader's cache
// and the standard folders; applications by signature, desktop-file id and command.
#include "RequirementLookup.h"
#include "RequirementLookupPrivate.h"

#include "ScopedVariable.h"
#include "TempDir.h"

#include <AppFileInfo.h>
#include <File.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace requirement_lookup;

void
write_file(const fs::path& path, const std::string& text, mode_t mode = 0644)
{
	fs::create_directories(path.parent_path());
	std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
	chmod(path.c_str(), mode);
}

// A loader cache in the new layout, optionally behind an old-layout table, with one entry
// per (name, path, flags).
struct CacheEntry {
	std::string name;
	std::string path;
	int32 flags;
};

std::vector<char>
make_cache(const std::vector<CacheEntry>& entries, bool behindOldTable = false)
{
	std::vector<char> prefix;
	if (behindOldTable) {
		prefix.assign(16, '\0');
		memcpy(prefix.data(), "ld.so-1.7.0", 11);
		uint32 oldCount = 1;
		memcpy(prefix.data() + 12, &oldCount, 4);
		prefix.resize(16 + 12, '\0');
		prefix.resize((prefix.size() + 7) & ~(size_t)7, '\0');
	}
	std::vector<char> table(48, '\0');
	memcpy(table.data(), "glibc-ld.so.cache1.1", 20);
	uint32 count = (uint32)entries.size();
	memcpy(table.data() + 20, &count, 4);
	size_t strings = 48 + entries.size() * 24;
	std::string text;
	table.resize(strings, '\0');
	for (size_t i = 0; i < entries.size(); i++) {
		uint32 key = (uint32)(strings + text.size());
		text += entries[i].name + '\0';
		uint32 value = (uint32)(strings + text.size());
		text += entries[i].path + '\0';
		char* entry = table.data() + 48 + i * 24;
		memcpy(entry, &entries[i].flags, 4);
		memcpy(entry + 4, &key, 4);
		memcpy(entry + 8, &value, 4);
	}
	table.insert(table.end(), text.begin(), text.end());
	prefix.insert(prefix.end(), table.begin(), table.end());
	return prefix;
}

void
write_bytes(const fs::path& path, const std::vector<char>& bytes)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

class RequirementLookupTest : public testing::Test {
protected:
	void SetUp() override
	{
		fRoot = fDir.Path();
		write_file(fRoot / "cached/libcached.so.3", "library");
		write_file(fRoot / "loader/libloader.so.1", "library");
		write_file(fRoot / "compiler/libcompiler.so.2", "library");
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	fs::path fRoot;
	ScopedVariable fLibraryPath { "LIBRARY_PATH", nullptr };
	ScopedVariable fLoaderPath { "LD_LIBRARY_PATH", nullptr };
};

TEST_F(RequirementLookupTest, LibraryIsFoundAlongEitherSearchPathAndNotElsewhere)
{
	std::string compiler = (fRoot / "compiler").string();
	std::string loader = (fRoot / "loader").string();
	std::string loaderAfterMissing = "/nonexistent:" + loader;

	struct Row {
		const char* libraryPath;
		const char* loaderPath;
		const char* name;
		bool found;
	} const rows[] = {
		{ compiler.c_str(), nullptr, "libcompiler.so.2", true },
		{ nullptr, loader.c_str(), "libloader.so.1", true },
		{ nullptr, loaderAfterMissing.c_str(), "libloader.so.1", true },
		{ nullptr, nullptr, "libloader.so.1", false },
		{ compiler.c_str(), loader.c_str(), "libnowhere.so.9", false },
		// A name with a folder in it is only taken along LIBRARY_PATH.
		{ nullptr, compiler.c_str(), "../compiler/libcompiler.so.2", false },
		{ nullptr, nullptr, "", false },
	};

	for (const Row& row : rows) {
		ScopedVariable libraryPath("LIBRARY_PATH", row.libraryPath);
		ScopedVariable loaderPath("LD_LIBRARY_PATH", row.loaderPath);
		std::string found;
		EXPECT_EQ(FindSharedLibrary(row.name, &found), row.found) << row.name;
		if (row.found) {
			EXPECT_EQ(fs::path(found).filename(), row.name);
		}
	}
}

TEST_F(RequirementLookupTest, LibraryPathIsSearchedBeforeTheLoadersFolders)
{
	write_file(fRoot / "loader/libboth.so", "loader");
	write_file(fRoot / "compiler/libboth.so", "compiler");
	ScopedVariable libraryPath("LIBRARY_PATH", (fRoot / "compiler").string());
	ScopedVariable loaderPath("LD_LIBRARY_PATH", (fRoot / "loader").string());
	std::string found;
	ASSERT_TRUE(FindSharedLibrary("libboth.so", &found));
	EXPECT_EQ(found, (fRoot / "compiler/libboth.so").string());
}

TEST_F(RequirementLookupTest, LoaderCacheFindsOnlyThisArchitecturesExistingEntries)
{
	int32 native = native_cache_flags();
	if (native < 0)
		GTEST_SKIP() << "the cache flags of this architecture are not known";
	std::string cached = (fRoot / "cached/libcached.so.3").string();
	fs::path cache = fRoot / "ld.so.cache";
	write_bytes(cache,
		make_cache({ { "libforeign.so.1", cached, 0x0003 | 0x0800 },
			{ "libgone.so.1", (fRoot / "cached/gone.so").string(), native },
			{ "libcached.so.3", cached, native } }));

	std::string found;
	EXPECT_TRUE(find_in_loader_cache(cache.c_str(), "libcached.so.3", native, &found));
	EXPECT_EQ(found, cached);
	EXPECT_FALSE(find_in_loader_cache(cache.c_str(), "libforeign.so.1", native, nullptr));
	EXPECT_FALSE(find_in_loader_cache(cache.c_str(), "libgone.so.1", native, nullptr));
	EXPECT_FALSE(find_in_loader_cache(cache.c_str(), "libcached", native, nullptr));

	fs::path compatible = fRoot / "compat.cache";
	write_bytes(compatible, make_cache({ { "libcached.so.3", cached, native } }, true));
	EXPECT_TRUE(find_in_loader_cache(compatible.c_str(), "libcached.so.3", native, nullptr));
}

TEST_F(RequirementLookupTest, DamagedLoaderCacheFindsNothing)
{
	std::string cached = (fRoot / "cached/libcached.so.3").string();
	std::vector<char> good = make_cache({ { "libcached.so.3", cached, 0x0303 } });
	fs::path cache = fRoot / "damaged.cache";

	std::vector<std::vector<char>> damaged;
	// Cut inside the strings, inside the entries, inside the header.
	damaged.emplace_back(good.begin(), good.end() - 5);
	damaged.emplace_back(good.begin(), good.begin() + 60);
	damaged.emplace_back(good.begin(), good.begin() + 30);
	// A count far beyond the file.
	std::vector<char> counted = good;
	uint32 huge = 0x7fffffff;
	memcpy(counted.data() + 20, &huge, 4);
	damaged.push_back(counted);
	// A key offset beyond the file.
	std::vector<char> pointing = good;
	uint32 far = 0x7ffffff0;
	memcpy(pointing.data() + 48 + 4, &far, 4);
	damaged.push_back(pointing);
	// Not a cache at all.
	damaged.push_back(std::vector<char>(100, 'x'));

	for (size_t i = 0; i < damaged.size(); i++) {
		write_bytes(cache, damaged[i]);
		EXPECT_FALSE(find_in_loader_cache(cache.c_str(), "libcached.so.3", -1, nullptr)) << i;
	}
	EXPECT_FALSE(find_in_loader_cache((fRoot / "missing").c_str(), "libc.so.6", -1, nullptr));
}

TEST_F(RequirementLookupTest, SystemLibraryIsFoundWithoutAnySearchPath)
{
	// The C library is in the loader's cache and in a standard folder of every Linux
	// system this runs on.
	std::string found;
	ASSERT_TRUE(FindSharedLibrary("libc.so.6", &found));
	struct stat status;
	EXPECT_EQ(stat(found.c_str(), &status), 0) << found;
}

TEST(RequirementLookupFolders, StandardFoldersPutTheArchitecturesOwnFirst)
{
	std::vector<std::string> folders = standard_library_folders();
	ASSERT_GE(folders.size(), 2u);
	EXPECT_EQ(folders.back(), "/usr/lib");
#if defined(__x86_64__) && !defined(__ILP32__)
	EXPECT_EQ(folders[0], "/lib/x86_64-linux-gnu");
	EXPECT_EQ(folders[1], "/usr/lib/x86_64-linux-gnu");
#endif
	EXPECT_EQ(split_path_list("/a::/b:"), (std::vector<std::string> { "/a", "/b" }));
	EXPECT_TRUE(split_path_list(nullptr).empty());
}

TEST(RequirementLookupIdentifier, TextBetweenTheParenthesesIsLookedUp)
{
	struct Row {
		const char* requirement;
		const char* identifier;
	} const rows[] = {
		{ "Editor (application/x-vnd.Example-Editor)", "application/x-vnd.Example-Editor" },
		{ "Editor", "" },
		{ "Image editor (gimp)", "gimp" },
		{ "Text Editor ( org.gnome.TextEditor )", "org.gnome.TextEditor" },
		{ "Open (unclosed", "unclosed" },
		{ "First (one) then (two)", "one" },
		{ "()", "" },
	};

	for (const Row& row : rows)
		EXPECT_EQ(RequiredApplicationIdentifier(row.requirement), row.identifier)
			<< row.requirement;
}

class RequiredApplicationTest : public testing::Test {
protected:
	void SetUp() override
	{
		fHome = fSandbox.Home();
		fBin = fDir.Path() / "bin";
		fs::create_directories(fBin);
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	fs::path fHome;
	fs::path fBin;
	ScopedVariable fDataDirs { "XDG_DATA_DIRS", (fDir.Path() / "system-share").string() };
	ScopedVariable fPath { "PATH", (fDir.Path() / "bin").string() };
};

TEST_F(RequiredApplicationTest, ApplicationIsFoundBySignatureDesktopIdOrCommand)
{
	// A program that carries its signature, in the user's Applications folder.
	fs::path editor = fHome / "Applications/Editor/Editor";
	write_file(editor, "#!/bin/sh\n", 0755);
	{
		BFile file(editor.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(info.SetSignature("application/x-vnd.Example-Editor"), B_OK);
	}
	write_file(fHome / ".local/share/applications/org.example.Viewer.desktop",
		"[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\n");
	write_file(fDir.Path() / "system-share/applications/org.example.Player.desktop",
		"[Desktop Entry]\nType=Application\nExec=player\n");
	write_file(fBin / "painter", "#!/bin/sh\n", 0755);
	write_file(fBin / "notes.txt", "not a program\n", 0644);

	struct Row {
		const char* identifier;
		bool found;
	} const rows[] = {
		{ "application/x-vnd.Example-Editor", true },
		{ "application/x-vnd.Example-Missing", false },
		{ "org.example.Viewer", true },
		{ "org.example.Player", true },
		{ "org.example.Absent", false },
		{ "painter", true },
		{ "notes.txt", false },
		{ "../bin/painter", false },
		{ "", false },
	};

	for (const Row& row : rows) {
		std::string found;
		EXPECT_EQ(FindRequiredApplication(row.identifier, &found), row.found) << row.identifier;
		if (row.found) {
			EXPECT_FALSE(found.empty()) << row.identifier;
		}
	}
}

TEST_F(RequiredApplicationTest, HiddenOrUnrunnableDesktopEntryDoesNotCount)
{
	fs::path user = fHome / ".local/share/applications";
	fs::path system = fDir.Path() / "system-share/applications";
	// The user's hidden entry masks the system's.
	write_file(user / "org.example.Masked.desktop", "[Desktop Entry]\nHidden=true\n");
	write_file(system / "org.example.Masked.desktop", "[Desktop Entry]\nExec=masked\n");
	write_file(
		system / "org.example.Gone.desktop", "[Desktop Entry]\nExec=gone\nTryExec=gone-program\n");
	write_file(fBin / "present-program", "#!/bin/sh\n", 0755);
	write_file(system / "org.example.Present.desktop",
		"[Desktop Entry]\nExec=present\nTryExec = present-program\n");
	// Keys of other groups do not count.
	write_file(system / "org.example.Action.desktop",
		"[Desktop Entry]\nExec=x\n[Desktop Action new]\nHidden=true\n");

	EXPECT_FALSE(FindRequiredApplication("org.example.Masked"));
	EXPECT_FALSE(FindRequiredApplication("org.example.Gone"));
	EXPECT_TRUE(FindRequiredApplication("org.example.Present"));
	EXPECT_TRUE(FindRequiredApplication("org.example.Action"));
}

} // namespace

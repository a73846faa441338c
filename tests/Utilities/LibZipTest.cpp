// LibZip with LibUnzip: round trips that keep contents, modes, times, links and attributes;
// archives that Info-ZIP's tools read, and Info-ZIP archives that LibUnzip reads; updating,
// compression levels, the working directory, and attributes too large for an archive.
#include "LibFile.h"
#include "LibZipDeflate.h"
#include "LibZipPrivate.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sys/stat.h>
#include <zip.h>

using namespace file_test;

namespace {

// A tree with every kind of entry. Large attributes need a file system that holds them
// (ext4 keeps all of a node's attributes in one block); false when an attribute could not
// be set.
bool
make_tree(const std::string& root, bool largeAttributes = false)
{
	mkdir(root.c_str(), 0751);
	mkdir((root + "/sub").c_str(), 0700);
	mkdir((root + "/sub/empty").c_str(), 0750);
	write_file(root + "/plain", "plain text\n");
	write_file(root + "/empty file", "");
	std::string compressible;
	for (int i = 0; i < 20000; i++)
		compressible += "line " + std::to_string(i % 97) + " of a compressible file\n";
	write_file(root + "/sub/compressible", compressible);
	write_file(root + "/sub/random", bytes(600 * 1024 + 5, 7));
	write_file(root + "/tool", "#!/bin/sh\necho tool\n");
	chmod((root + "/tool").c_str(), 0755);
	write_file(root + "/locked", "read only");
	symlink("sub/random", (root + "/link").c_str());
	symlink("../tree/plain", (root + "/sub/up link").c_str());

	bool ok = set_attribute(
		root + "/plain", "BEOS:TYPE", B_MIME_STRING_TYPE, std::string("text/plain") + '\0');
	ok = set_attribute(root + "/plain", "InstallBy", B_STRING_TYPE, "app;1.0;2024;co;mail;") && ok;
	ok = set_attribute(root + "/sub", "folder attribute", B_RAW_TYPE, bytes(3000, 1)) && ok;
	ok = set_attribute(root + "/link", "InstallBy", B_STRING_TYPE, "on the link") && ok;
	ok = set_attribute(root + "/locked", "empty", B_RAW_TYPE, "") && ok;
	ok = set_attribute(root, "top", B_INT32_TYPE, "1234") && ok;
	if (largeAttributes) {
		// Together more than one ZIP header can carry: the record spills into the central
		// directory.
		ok = set_attribute(root + "/locked", "largest", B_RAW_TYPE, bytes(65536, 2)) && ok;
		ok = set_attribute(root + "/locked", "second", B_RAW_TYPE, bytes(40000, 3)) && ok;
		ok = set_attribute(root + "/link", "large on a link", B_RAW_TYPE, bytes(20000, 4)) && ok;
	}
	chmod((root + "/locked").c_str(), 0444);

	set_times(root + "/plain", 1000000000, 1000000001);
	set_times(root + "/sub/random", 946684800, 946684800);
	set_times(root + "/sub/empty", 1200000000, 1200000000);
	set_times(root + "/sub", 1100000000, 1100000000);
	set_times(root, 1300000000, 1300000000);
	return ok;
}

std::vector<std::string>
entry_names(const std::string& archive)
{
	std::vector<std::string> names;
	int error = 0;
	zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
	if (zip == NULL)
		return names;
	for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); i++)
		names.push_back(zip_get_name(zip, i, ZIP_FL_ENC_RAW));
	zip_discard(zip);
	return names;
}

std::set<int>
compression_methods(const std::string& archive, bool filesOnly)
{
	std::set<int> methods;
	int error = 0;
	zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
	if (zip == NULL)
		return methods;
	for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); i++) {
		zip_stat_t st;
		zip_stat_index(zip, i, 0, &st);
		zip_uint8_t system;
		zip_uint32_t external;
		zip_file_get_external_attributes(zip, i, 0, &system, &external);
		if (!filesOnly || S_ISREG(external >> 16))
			methods.insert(st.comp_method);
	}
	zip_discard(zip);
	return methods;
}

// Packs root into folder/out/packed.zip and expands it there; the expanded tree's path.
std::string
round_trip(const std::string& folder, const std::string& root, int level)
{
	WorkingDirectoryKeeper keeper;
	std::string archive = folder + "/out/packed.zip";
	mkdir((folder + "/out").c_str(), 0755);
	if (!LibZip(archive.c_str(), BPath(root.c_str()), level))
		return "";
	if (!LibUnzip(archive.c_str()))
		return "";
	return folder + "/out/" + root.substr(root.rfind('/') + 1);
}

// Packs root into archive with the packer's options; false when the packer failed.
bool
pack_with(const std::string& root, const std::string& archive, int jobs, const time_t* latest)
{
	lib_zip::ZipPacker packer;
	packer.SetJobs(jobs);
	if (latest != nullptr)
		packer.SetReproducible(*latest);
	if (!packer.Open(archive, 9))
		return false;
	packer.Add(root);
	return packer.Close();
}

} // namespace

TEST(LibZip, RoundTripKeepsContentsModesTimesLinksAndAttributes)
{
	ScopedTempDir temp;
	std::string tree = temp.Child("tree");
	ASSERT_TRUE(make_tree(tree));
	auto expected = snapshot(tree);

	std::string expanded = round_trip(temp.Path().string(), tree, 9);

	ASSERT_FALSE(expanded.empty());
	auto result = snapshot(expanded);
	ASSERT_EQ(result.size(), expected.size());
	for (const auto& [path, state] : expected)
		EXPECT_EQ(result[path], state) << "'" << path << "'";
}

TEST(LibZip, ArchiveHoldsOneTopLevelEntryNamedAfterItem)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	ASSERT_TRUE(make_tree(temp.Child("tree")));
	ASSERT_TRUE(LibZip(temp.Child("a.zip").c_str(), BPath(temp.Child("tree").c_str()), 9));

	std::vector<std::string> names = entry_names(temp.Child("a.zip"));
	ASSERT_FALSE(names.empty());
	EXPECT_EQ(names[0], "tree/");
	for (const std::string& name : names)
		EXPECT_EQ(name.rfind("tree/", 0), 0u) << name;
	EXPECT_EQ(names.size(), snapshot(temp.Child("tree")).size());

	write_file(temp.Child("single"), "one file");
	ASSERT_TRUE(LibZip(temp.Child("b.zip").c_str(), BPath(temp.Child("single").c_str()), 9));
	EXPECT_EQ(entry_names(temp.Child("b.zip")), std::vector<std::string> { "single" });
}

TEST(LibZip, InfoZipListsTestsAndExpandsOurArchives)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	ASSERT_TRUE(make_tree(temp.Child("tree")));
	std::string archive = temp.Child("a.zip");
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("tree").c_str()), 9));

	std::string output;
	ASSERT_EQ(run({ "unzip", "-l", archive }, &output), 0) << output;
	EXPECT_NE(output.find("tree/sub/random"), std::string::npos) << output;
	ASSERT_EQ(run({ "unzip", "-t", archive }, &output), 0) << output;
	EXPECT_NE(output.find("No errors detected"), std::string::npos) << output;

	mkdir(temp.Child("infozip").c_str(), 0755);
	ASSERT_EQ(run({ "unzip", "-q", archive, "-d", temp.Child("infozip") }, &output), 0) << output;
	auto expected = snapshot(temp.Child("tree"));
	auto expanded = snapshot(temp.Child("infozip/tree"));
	ASSERT_EQ(expanded.size(), expected.size());
	for (auto& [path, state] : expected) {
		// Info-ZIP knows nothing of the attributes, and restores no folder's time.
		state.attributes.clear();
		expanded[path].attributes.clear();
		if (S_ISDIR(state.mode))
			expanded[path].modified = state.modified;
		EXPECT_EQ(expanded[path], state) << "'" << path << "'";
	}
}

TEST(LibZip, InfoZipArchivesExpand)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	ASSERT_TRUE(make_tree(temp.Child("tree")));
	mkdir(temp.Child("out").c_str(), 0755);
	std::string output;
	ASSERT_EQ(run({ "zip", "-r", "-y", "-q", temp.Child("out/a.zip"), "tree" }, &output,
				  temp.Path().string()),
		0)
		<< output;

	ASSERT_TRUE(LibUnzip(temp.Child("out/a.zip").c_str()));

	auto expected = snapshot(temp.Child("tree"));
	auto expanded = snapshot(temp.Child("out/tree"));
	ASSERT_EQ(expanded.size(), expected.size());
	for (auto& [path, state] : expected) {
		state.attributes.clear();
		EXPECT_EQ(expanded[path], state) << "'" << path << "'";
	}
}

TEST(LibZip, UpdatesExistingArchiveReplacingSameNamedEntries)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	write_file(temp.Child("first"), "version 1");
	write_file(temp.Child("second"), "second");
	std::string archive = temp.Child("a.zip");
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("first").c_str()), 9));
	write_file(temp.Child("first"), "version 2, longer");
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("first").c_str()), 9));
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("second").c_str()), 9));

	EXPECT_EQ(entry_names(archive), (std::vector<std::string> { "first", "second" }));
	mkdir(temp.Child("out").c_str(), 0755);
	ASSERT_EQ(rename(archive.c_str(), temp.Child("out/a.zip").c_str()), 0);
	ASSERT_TRUE(LibUnzip(temp.Child("out/a.zip").c_str()));
	EXPECT_EQ(read_file(temp.Child("out/first")), "version 2, longer");
}

TEST(LibZip, ArchiveInsideItemIsNotPackedIntoItself)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("folder/file"), "x");
	std::string archive = temp.Child("folder/self.zip");
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("folder").c_str()), 9));
	ASSERT_TRUE(LibZip(archive.c_str(), BPath(temp.Child("folder").c_str()), 9));

	for (const std::string& name : entry_names(archive))
		EXPECT_NE(name, "folder/self.zip");
}

TEST(LibZip, LevelZeroStoresAndLevelNineDeflates)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	ASSERT_TRUE(make_tree(temp.Child("tree")));
	ASSERT_TRUE(LibZip(temp.Child("stored.zip").c_str(), BPath(temp.Child("tree").c_str()), 0));
	ASSERT_TRUE(LibZip(temp.Child("packed.zip").c_str(), BPath(temp.Child("tree").c_str()), 9));

	EXPECT_EQ(compression_methods(temp.Child("stored.zip"), false), std::set<int> { ZIP_CM_STORE });
	EXPECT_EQ(
		compression_methods(temp.Child("packed.zip"), true), std::set<int> { ZIP_CM_DEFLATE });
	struct stat stored, packed;
	stat(temp.Child("stored.zip").c_str(), &stored);
	stat(temp.Child("packed.zip").c_str(), &packed);
	EXPECT_LT(packed.st_size, stored.st_size);

	std::string expanded = round_trip(temp.Path().string(), temp.Child("tree"), 0);
	ASSERT_FALSE(expanded.empty());
	EXPECT_EQ(snapshot(expanded), snapshot(temp.Child("tree")));
}

TEST(LibZip, ChangesWorkingDirectoryAndTakesRelativeArchiveFromItemsFolder)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("folder").c_str(), 0755);
	write_file(temp.Child("folder/item"), "x");

	ASSERT_TRUE(LibZip("relative.zip", BPath(temp.Child("folder/item").c_str()), 9));
	EXPECT_EQ(working_directory(), temp.Child("folder"));
	EXPECT_TRUE(exists(temp.Child("folder/relative.zip")));

	ASSERT_EQ(chdir("/"), 0);
	mkdir(temp.Child("out").c_str(), 0755);
	ASSERT_EQ(
		rename(temp.Child("folder/relative.zip").c_str(), temp.Child("out/r.zip").c_str()), 0);
	ASSERT_TRUE(LibUnzip(temp.Child("out/r.zip").c_str()));
	EXPECT_EQ(working_directory(), temp.Child("out"));
	EXPECT_EQ(read_file(temp.Child("out/item")), "x");
}

TEST(LibZip, LargeAttributesSpillIntoCentralDirectoryAndComeBack)
{
	ScopedTempDir temp;
	std::string volume = temp.Child("volume");
	mkdir(volume.c_str(), 0755);

	ChildOutcome outcome = run_with_second_volume(volume, "size=64m", [&](ChildReport& report) {
		std::string tree = volume + "/tree";
		report.Check(make_tree(tree, true), "the volume refused an attribute");
		auto expected = snapshot(tree);
		std::string expanded = round_trip(volume, tree, 9);
		report.Check(!expanded.empty(), "the round trip failed");
		report.Check(snapshot(expanded) == expected, "the expanded tree differs");
		std::string output;
		report.Check(run({ "unzip", "-t", volume + "/out/packed.zip" }, &output) == 0,
			"Info-ZIP finds errors: " + output);
	});

	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

TEST(LibZip, AttributesBeyondArchiveRoomFailLoudly)
{
	ScopedTempDir temp;
	std::string volume = temp.Child("volume");
	mkdir(volume.c_str(), 0755);

	ChildOutcome outcome = run_with_second_volume(volume, "size=16m", [&](ChildReport& report) {
		WorkingDirectoryKeeper keeper;
		std::string heavy = volume + "/heavy";
		write_file(heavy, "x");
		for (const char* name : { "one", "two", "three" }) {
			report.Check(set_attribute(heavy, name, B_RAW_TYPE, bytes(60000, 3)),
				"the volume refused an attribute");
		}
		int errors[2];
		report.Check(pipe(errors) == 0, "no pipe");
		int saved = dup(2);
		dup2(errors[1], 2);
		bool packed = LibZip((volume + "/a.zip").c_str(), BPath(heavy.c_str()), 9);
		dup2(saved, 2);
		close(errors[1]);
		char text[4096] = {};
		ssize_t got = read(errors[0], text, sizeof(text) - 1);
		report.Check(!packed, "the archive was reported complete");
		report.Check(got > 0 && strstr(text, "too large") != NULL, "no message on standard error");
	});

	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

TEST(LibZip, MissingItemOrArchiveFails)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	testing::internal::CaptureStderr();
	EXPECT_FALSE(LibZip(temp.Child("a.zip").c_str(), BPath(temp.Child("missing").c_str()), 9));
	EXPECT_FALSE(LibUnzip(temp.Child("missing.zip").c_str()));
	write_file(temp.Child("not.zip"), "this is not an archive");
	EXPECT_FALSE(LibUnzip(temp.Child("not.zip").c_str()));
	testing::internal::GetCapturedStderr();
}

TEST(LibZip, EntryReplacedBetweenTheWalkAndTheWritingIsNotPacked)
{
	// Rows: what happens to the item between the walk and the writing of the archive.
	struct Row {
		const char* what;
		std::function<void(const std::string& item, const std::string& secret)> change;
	};

	const Row rows[] = {
		{ "a file swapped for a link",
			[](const std::string& item, const std::string& secret) {
				unlink((item + "/file").c_str());
				symlink(secret.c_str(), (item + "/file").c_str());
			} },
		{ "a file that grew",
			[](const std::string& item, const std::string&) {
				FILE* file = fopen((item + "/file").c_str(), "a");
				fputs(" and secret", file);
				fclose(file);
			} },
		{ "a file replaced by another file",
			[](const std::string& item, const std::string& secret) {
				rename(secret.c_str(), (item + "/file").c_str());
			} },
		{ "a folder swapped for a link",
			[](const std::string& item, const std::string& secret) {
				std::string elsewhere = secret + "-folder";
				mkdir(elsewhere.c_str(), 0755);
				write_file(elsewhere + "/deep", "secret");
				rename((item + "/sub").c_str(), (item + "/old-sub").c_str());
				symlink(elsewhere.c_str(), (item + "/sub").c_str());
			} },
	};
	for (const Row& row : rows) {
		ScopedTempDir temp;
		std::string item = temp.Child("item");
		mkdir(item.c_str(), 0755);
		mkdir((item + "/sub").c_str(), 0755);
		write_file(item + "/file", "public");
		write_file(item + "/sub/deep", "public");
		std::string secret = temp.Child("secret");
		write_file(secret, "secret");
		std::string archive = temp.Child("a.zip");

		lib_zip::ZipPacker packer;
		ASSERT_TRUE(packer.Open(archive, 9));
		packer.Add(item);
		row.change(item, secret);
		testing::internal::CaptureStderr();
		bool packed = packer.Close();
		testing::internal::GetCapturedStderr();

		EXPECT_FALSE(packed) << row.what;
		EXPECT_EQ(read_file(archive).find("secret"), std::string::npos) << row.what;
	}
}

TEST(LibZip, ArchiveBytesDoNotDependOnHowManyThreadsPacked)
{
	// Many files of mixed sizes, so that workers finish out of order, and one too large to
	// be compressed whole, which libzip streams between them.
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string root = temp.Child("tree");
	ASSERT_TRUE(make_tree(root));
	for (int i = 0; i < 60; i++) {
		std::string text;
		while (text.size() < (size_t)(i % 7) * 37000 + 1)
			text += "entry " + std::to_string(text.size() % (i + 3)) + " of file "
				+ std::to_string(i) + "\n";
		write_file(
			root + "/sub/file " + std::to_string(i), i % 5 == 4 ? bytes(text.size(), i) : text);
	}
	std::string large;
	while (large.size() <= lib_zip::kWholeFileLimit)
		large += "a large file's line " + std::to_string(large.size() % 1013) + "\n";
	write_file(root + "/large", large);

	const time_t latest = 2000000000;
	std::vector<std::string> archives;
	for (int jobs : { 1, 2, 7 }) {
		std::string archive = temp.Child("jobs-" + std::to_string(jobs) + ".zip");
		ASSERT_TRUE(pack_with(root, archive, jobs, &latest)) << jobs;
		archives.push_back(read_file(archive));
	}
	EXPECT_EQ(archives[0], archives[1]);
	EXPECT_EQ(archives[0], archives[2]);

	std::string archive = temp.Child("jobs-7.zip");
	std::string output;
	ASSERT_EQ(run({ "unzip", "-t", archive }, &output), 0) << output;
	mkdir(temp.Child("out").c_str(), 0755);
	std::string copy = temp.Child("out/packed.zip");
	ASSERT_EQ(rename(archive.c_str(), copy.c_str()), 0);
	ASSERT_TRUE(LibUnzip(copy.c_str()));
	auto expected = snapshot(root);
	auto expanded = snapshot(temp.Child("out/tree"));
	ASSERT_EQ(expanded.size(), expected.size());
	for (const auto& [path, state] : expected)
		EXPECT_EQ(expanded[path].contents, state.contents) << "'" << path << "'";
}

TEST(LibZip, ReproducibleArchiveClampsTimesAndLeavesAccessTimesOut)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string root = temp.Child("tree");
	ASSERT_TRUE(make_tree(root));
	// Older than the limit: kept. Newer: clamped.
	const time_t latest = 1250000000;
	set_times(root + "/plain", 1000000000, 1000000001);
	set_times(root + "/sub/compressible", 1600000000, 1600000000);

	std::string first = temp.Child("first.zip");
	ASSERT_TRUE(pack_with(root, first, 2, &latest));
	// Reading a payload changes access times; the archive must not.
	for (const char* file : { "/plain", "/sub/compressible", "/sub/random", "/tool" }) {
		struct stat st;
		ASSERT_EQ(lstat((root + file).c_str(), &st), 0);
		set_times(root + file, st.st_mtime, 1700000000);
	}
	std::string second = temp.Child("second.zip");
	ASSERT_TRUE(pack_with(root, second, 1, &latest));
	EXPECT_EQ(read_file(first), read_file(second));

	mkdir(temp.Child("out").c_str(), 0755);
	std::string copy = temp.Child("out/packed.zip");
	ASSERT_EQ(rename(second.c_str(), copy.c_str()), 0);
	ASSERT_TRUE(LibUnzip(copy.c_str()));
	struct stat plain, compressible;
	ASSERT_EQ(stat(temp.Child("out/tree/plain").c_str(), &plain), 0);
	ASSERT_EQ(stat(temp.Child("out/tree/sub/compressible").c_str(), &compressible), 0);
	EXPECT_EQ(plain.st_mtime, 1000000000);
	EXPECT_EQ(plain.st_atime, 1000000000);
	EXPECT_EQ(compressible.st_mtime, latest);
}

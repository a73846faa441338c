// LibUnzip against hostile archives built entry by entry with libzip: names that climb out,
// absolute names, links that point out, entries under links (in the archive or already on
// disk). Nothing may be written outside the archive's folder, each refusal is said on
// standard error, and the harmless entries of the same archive still arrive.
#include "LibFile.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <ctype.h>
#include <sys/stat.h>
#include <zip.h>

#include <tuple>

using namespace file_test;

namespace {

struct Entry {
	std::string name;
	std::string data;
	mode_t mode;
};

Entry
file_entry(const std::string& name, const std::string& data = "payload")
{
	return Entry { name, data, S_IFREG | 0644 };
}

Entry
link_entry(const std::string& name, const std::string& target)
{
	return Entry { name, target, S_IFLNK | 0777 };
}

Entry
folder_entry(const std::string& name)
{
	return Entry { name, "", S_IFDIR | 0755 };
}

bool
write_archive(const std::string& path, const std::vector<Entry>& entries,
	const std::vector<std::vector<uint8>>& attributeFields = {})
{
	int error = 0;
	zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
	if (zip == NULL)
		return false;
	for (const Entry& entry : entries) {
		// libzip takes the copy over, except an empty one.
		void* copy = NULL;
		if (!entry.data.empty()) {
			copy = malloc(entry.data.size());
			memcpy(copy, entry.data.data(), entry.data.size());
		}
		zip_source_t* source = zip_source_buffer(zip, copy, entry.data.size(), copy != NULL);
		zip_int64_t index = zip_file_add(zip, entry.name.c_str(), source, ZIP_FL_ENC_RAW);
		if (index < 0) {
			zip_source_free(source);
			zip_discard(zip);
			return false;
		}
		zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, (uint32_t)entry.mode << 16);
		for (const std::vector<uint8>& field : attributeFields) {
			zip_file_extra_field_set(
				zip, index, 0x4e42, ZIP_EXTRA_FIELD_NEW, field.data(), field.size(), ZIP_FL_LOCAL);
		}
	}
	return zip_close(zip) == 0;
}

struct HostileRow {
	const char* what;
	// "@" in names and link texts stands for the outside folder's absolute path.
	std::vector<Entry> entries;
	// Entries of the archive that are harmless and must arrive.
	std::vector<std::string> arriving;
};

std::string
expand_marker(const std::string& text, const std::string& outside)
{
	std::string result = text;
	size_t at = result.find('@');
	if (at != std::string::npos)
		result.replace(at, 1, outside);
	return result;
}

class LibUnzipHostile : public testing::TestWithParam<HostileRow> { };

} // namespace

TEST_P(LibUnzipHostile, WritesNothingOutsideItsFolder)
{
	const HostileRow& row = GetParam();
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string outside = temp.Child("outside");
	std::string target = temp.Child("target");
	mkdir(outside.c_str(), 0755);
	mkdir(target.c_str(), 0755);
	write_file(outside + "/sentinel", "untouched");

	std::vector<Entry> entries;
	for (Entry entry : row.entries) {
		entry.name = expand_marker(entry.name, outside);
		entry.data = expand_marker(entry.data, outside);
		entries.push_back(entry);
	}
	ASSERT_TRUE(write_archive(target + "/hostile.zip", entries));
	auto outsideBefore = snapshot(outside);

	testing::internal::CaptureStderr();
	bool result = LibUnzip((target + "/hostile.zip").c_str());
	std::string errors = testing::internal::GetCapturedStderr();

	EXPECT_FALSE(result) << row.what;
	EXPECT_NE(errors.find("refused"), std::string::npos) << row.what;
	EXPECT_EQ(snapshot(outside), outsideBefore) << row.what;
	EXPECT_FALSE(exists(temp.Child("escape"))) << row.what;
	EXPECT_FALSE(exists("/escape")) << row.what;
	for (const std::string& name : row.arriving)
		EXPECT_TRUE(exists(target + "/" + name)) << row.what << ": " << name;
}

INSTANTIATE_TEST_SUITE_P(Archives, LibUnzipHostile,
	testing::Values(HostileRow { "climbing name",
						{ file_entry("../outside/escape"), file_entry("good") }, { "good" } },
		HostileRow { "climbing after descending", { file_entry("a/../../outside/escape") }, {} },
		HostileRow { "absolute name", { file_entry("@/escape"), file_entry("good") }, { "good" } },
		HostileRow { "link climbing out, then a file under it",
			{ link_entry("l", "../outside"), file_entry("l/escape") }, {} },
		HostileRow { "absolute link, then a file under it",
			{ link_entry("l", "@"), file_entry("l/escape") }, {} },
		HostileRow { "link climbing beyond the folder from below",
			{ link_entry("deep/er/l", "../../../outside/escape"),
				link_entry("deep/er/ok", "../good"), file_entry("good") },
			{ "deep/er/ok", "good" } },
		HostileRow { "link climbing one level above its item",
			{ link_entry("item/l", "../good"), link_entry("item/sub/ok", "../file"),
				file_entry("item/file"), file_entry("good") },
			{ "item/sub/ok", "item/file", "good" } },
		HostileRow { "item that is a link climbing out", { link_entry("l", "../outside") }, {} },
		HostileRow { "link climbing after a step down through another link",
			{ link_entry("in", "."), link_entry("x", "in/.."), file_entry("x/outside/escape") },
			{ "in" } },
		HostileRow { "file under a link inside the folder",
			{ folder_entry("real/"), link_entry("inside", "real"), file_entry("inside/file") },
			{ "real", "inside" } },
		HostileRow { "a file in the way of a folder",
			{ file_entry("dir"), file_entry("dir/escape") }, { "dir" } }),
	[](const testing::TestParamInfo<HostileRow>& info) {
		// "link climbing out" gives "LinkClimbingOut".
		std::string name;
		bool upper = true;
		for (const char* c = info.param.what; *c != '\0'; c++) {
			if (!isalnum((unsigned char)*c)) {
				upper = true;
				continue;
			}
			name += upper ? (char)toupper((unsigned char)*c) : *c;
			upper = false;
		}
		return name;
	});

TEST(LibUnzip, LinkAlreadyOnDiskIsNeitherFollowedNorWrittenThrough)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string outside = temp.Child("outside");
	std::string target = temp.Child("target");
	mkdir(outside.c_str(), 0755);
	mkdir(target.c_str(), 0755);
	write_file(outside + "/sentinel", "untouched");
	symlink(outside.c_str(), (target + "/planted").c_str());
	symlink((outside + "/sentinel").c_str(), (target + "/victim").c_str());

	ASSERT_TRUE(write_archive(target + "/a.zip",
		{ file_entry("planted/escape"), file_entry("victim", "replaces the link"),
			folder_entry("planted/") }));
	testing::internal::CaptureStderr();
	EXPECT_FALSE(LibUnzip((target + "/a.zip").c_str()));
	std::string errors = testing::internal::GetCapturedStderr();

	EXPECT_NE(errors.find("refused planted/escape"), std::string::npos) << errors;
	EXPECT_EQ(read_file(outside + "/sentinel"), "untouched");
	EXPECT_FALSE(exists(outside + "/escape"));
	// The link in the way of a file is replaced by the file, not written through.
	struct stat st;
	ASSERT_EQ(lstat((target + "/victim").c_str(), &st), 0);
	EXPECT_TRUE(S_ISREG(st.st_mode));
	EXPECT_EQ(read_file(target + "/victim"), "replaces the link");
}

TEST(LibUnzip, OverwritesFilesAndKeepsHarmlessEntriesOfAnyOrder)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string target = temp.Child("target");
	mkdir(target.c_str(), 0755);
	write_file(target + "/item", "old and longer");
	chmod((target + "/item").c_str(), 0444);

	ASSERT_TRUE(write_archive(target + "/a.zip",
		{ file_entry("item", "new"), file_entry("a/b/c/deep", "deep"), folder_entry("a/"),
			file_entry("./dot/./x", "x"), file_entry("back\\slash", "literal") }));
	ASSERT_TRUE(LibUnzip((target + "/a.zip").c_str()));

	EXPECT_EQ(read_file(target + "/item"), "new");
	EXPECT_EQ(read_file(target + "/a/b/c/deep"), "deep");
	EXPECT_EQ(read_file(target + "/dot/x"), "x");
	EXPECT_EQ(read_file(target + "/back\\slash"), "literal");
}

TEST(LibUnzip, DamagedAttributeFieldsAreSkippedAndTheRestArrives)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string target = temp.Child("target");
	mkdir(target.c_str(), 0755);

	// One good record ("good", 'CSTR', "ok"), one of an unknown version, one whose chunk
	// claims more bytes than the attribute has.
	std::vector<uint8> good = { 1, 'R', 'T', 'S', 'C', 2, 0, 0, 0, 0, 0, 0, 0, 4, 'g', 'o', 'o',
		'd', 'o', 'k' };
	std::vector<uint8> future = good;
	future[0] = 9;
	future[14] = 'f';
	std::vector<uint8> overlong = { 1, 'W', 'A', 'R', 'R', 1, 0, 0, 0, 0, 0, 0, 0, 4, 'l', 'o', 'n',
		'g', 'x', 'y', 'z' };
	ASSERT_TRUE(write_archive(
		target + "/a.zip", { file_entry("item", "data") }, { good, future, overlong }));

	testing::internal::CaptureStderr();
	LibUnzip((target + "/a.zip").c_str());
	std::string errors = testing::internal::GetCapturedStderr();

	EXPECT_EQ(read_file(target + "/item"), "data");
	auto attributes = attributes_of(target + "/item");
	EXPECT_EQ(attributes.size(), 1u);
	EXPECT_EQ(attributes["good"].data, "ok");
	EXPECT_EQ(attributes["good"].type, (type_code)B_STRING_TYPE);
	EXPECT_NE(errors.find("damaged"), std::string::npos) << errors;
}

namespace {

// Puts the process's umask back when it goes.
class UmaskKeeper {
public:
	explicit UmaskKeeper(mode_t mask) { fSaved = umask(mask); }

	~UmaskKeeper() { umask(fSaved); }

private:
	mode_t fSaved;
};

mode_t
mode_of(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : (mode_t)-1;
}

// Sets the uncompressed size that the local header and the central directory declare for
// the archive's first entry.
void
declare_first_size(const std::string& archive, uint32_t size)
{
	std::string data = read_file(archive);
	auto put = [&data](size_t offset, uint32_t value) {
		for (int i = 0; i < 4; i++)
			data[offset + i] = (char)(value >> (8 * i));
	};
	put(22, size);
	size_t central = data.find(std::string("PK\x01\x02", 4));
	ASSERT_NE(central, std::string::npos);
	put(central + 24, size);
	write_file(archive, data);
}

} // namespace

TEST(LibUnzip, PermissionsLoseWhatTheUmaskTakesAndSetIdBits)
{
	// Rows: umask, mode in the archive, expected mode of the file and of the folder.
	const std::tuple<mode_t, mode_t, mode_t> rows[] = {
		{ 022, 0777, 0755 },
		{ 077, 0777, 0700 },
		{ 022, 04755, 0755 },
		{ 002, 02775, 0775 },
		{ 0, 0640, 0640 },
	};
	for (const auto& [mask, stored, expected] : rows) {
		ScopedTempDir temp;
		WorkingDirectoryKeeper keeper;
		UmaskKeeper umaskKeeper(mask);
		std::string target = temp.Child("target");
		mkdir(target.c_str(), 0755);
		ASSERT_TRUE(write_archive(target + "/a.zip",
			{ Entry { "dir/", "", S_IFDIR | stored },
				Entry { "dir/tool", "#!", S_IFREG | stored } }));
		ASSERT_TRUE(LibUnzip((target + "/a.zip").c_str()));
		EXPECT_EQ(mode_of(target + "/dir/tool"), expected) << std::oct << mask << " " << stored;
		EXPECT_EQ(mode_of(target + "/dir"), expected) << std::oct << mask << " " << stored;
	}
}

TEST(LibUnzip, EntryLargerThanDeclaredStopsTheExpansion)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string target = temp.Child("target");
	mkdir(target.c_str(), 0755);
	// A megabyte of zeros deflates to a kilobyte; the archive claims 1000 bytes.
	std::string archive = target + "/bomb.zip";
	ASSERT_TRUE(write_archive(
		archive, { file_entry("bomb", std::string(1 << 20, '\0')), file_entry("after", "later") }));
	declare_first_size(archive, 1000);

	testing::internal::CaptureStderr();
	EXPECT_FALSE(LibUnzip(archive.c_str()));
	std::string errors = testing::internal::GetCapturedStderr();

	EXPECT_NE(errors.find("larger than the archive says"), std::string::npos) << errors;
	EXPECT_FALSE(exists(target + "/bomb"));
	EXPECT_FALSE(exists(target + "/after"));
}

TEST(LibUnzip, ArchiveThatDoesNotFitTheVolumeIsRefusedBeforeWriting)
{
	ScopedTempDir temp;
	std::string mount = temp.Child("small");
	mkdir(mount.c_str(), 0755);
	ChildOutcome outcome = run_with_second_volume(mount, "size=1m", [&](ChildReport& report) {
		WorkingDirectoryKeeper keeper;
		std::string archive = mount + "/big.zip";
		report.Check(
			write_archive(archive,
				{ file_entry("small", "fits"), file_entry("big", std::string(4 << 20, '\0')) }),
			"the archive could not be written");
		testing::internal::CaptureStderr();
		report.Check(!LibUnzip(archive.c_str()), "the expansion succeeded");
		std::string errors = testing::internal::GetCapturedStderr();
		report.Check(errors.find("not enough space in " + mount) != std::string::npos,
			"no clear message: " + errors);
		report.Check(!exists(mount + "/small"), "an entry was written before the refusal");
		report.Check(!exists(mount + "/big"), "the large entry was written");
	});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}

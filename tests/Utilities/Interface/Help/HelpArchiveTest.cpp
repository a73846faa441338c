// HelpArchive: a help file stored into a real program comes back byte for byte, and an
// archive gives up one bounded regular file or nothing, whatever it holds.
#include "HelpArchive.h"

#include "HelpTestSupport.h"
#include "LibAppResource.h"
#include "TempDir.h"

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <string.h>
#include <sys/stat.h>
#include <zip.h>

#include <utility>
#include <vector>

using namespace help_test;

namespace {

// A ZIP archive of (name, contents); a name ending in "/" is a folder, contents starting
// with "->" make a symbolic link to the rest.
std::string
archive_of(
	const std::string& folder, const std::vector<std::pair<std::string, std::string>>& entries)
{
	const std::string path = folder + "/archive.zip";
	zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, NULL);
	for (const auto& [name, contents] : entries) {
		if (name.back() == '/') {
			zip_dir_add(archive, name.c_str(), 0);
			continue;
		}
		const bool link = contents.compare(0, 2, "->") == 0;
		const std::string data = link ? contents.substr(2) : contents;
		void* copy = malloc(data.size() + 1);
		memcpy(copy, data.data(), data.size());
		zip_int64_t index = zip_file_add(
			archive, name.c_str(), zip_source_buffer(archive, copy, data.size(), 1), 0);
		if (link) {
			zip_file_set_external_attributes(
				archive, (zip_uint64_t)index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777) << 16);
		}
	}
	zip_close(archive);
	return read_file(path);
}

// A copy of a real program whose help resource holds bytes (none when empty).
std::string
program_with_help(const ScopedTempDir& temp, const std::string& bytes)
{
	const std::string program = temp.Child("program");
	std::filesystem::copy_file(
		"/bin/true", program, std::filesystem::copy_options::overwrite_existing);
	if (!bytes.empty()) {
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		resources.AddResource(B_RAW_TYPE, kHelpResourceID, bytes.data(), bytes.size(), "os:help");
		EXPECT_EQ(B_OK, resources.Sync());
	}
	return program;
}

bool
extract(const std::string& program, const std::string& destination)
{
	LibAppResource resources(program.c_str(), B_READ_ONLY);
	return HelpArchive::Extract(resources, destination.c_str());
}

} // namespace

TEST(HelpArchiveTest, StoredHelpComesBackByteForByte)
{
	ScopedTempDir temp;
	const std::string program = program_with_help(temp, "");
	write_file(temp.Child("product.help"), sample_help());
	const auto before = temporary_entries();
	{
		// Packing moves the working directory; the caller's stays.
		WorkingDirectory here(temp.Path());
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		EXPECT_TRUE(HelpArchive::Store("product.help", resources));
		EXPECT_EQ(temp.Path(), std::filesystem::current_path());
	}
	EXPECT_EQ(before, temporary_entries()) << "work files left behind";
	EXPECT_EQ(0, run_program({ program }).status) << "the program no longer runs";

	ASSERT_TRUE(extract(program, temp.Child("out.help")));
	EXPECT_EQ(sample_help(), read_file(temp.Child("out.help")));
	struct stat info;
	ASSERT_EQ(0, stat(temp.Child("out.help").c_str(), &info));
	EXPECT_EQ(0600u, info.st_mode & 07777);
}

TEST(HelpArchiveTest, AnArchiveGivesOneBoundedRegularFileOrNothing)
{
	const std::string huge((size_t)kMaxHelpFileSize + 1, ' ');

	struct Row {
		const char* what;
		std::vector<std::pair<std::string, std::string>> entries;
		const char* text;
	};

	const Row rows[] = {
		{ "a file packed under its own name", { { "App.help", "own" } }, "own" },
		{ "the file beside a folder", { { "docs/", "" }, { "docs/app.help", "inner" } }, "inner" },
		{ "os:help among others", { { "readme", "r" }, { "os:help", "wanted" } }, "wanted" },
		{ "two candidates", { { "a.help", "a" }, { "b.help", "b" } }, NULL },
		{ "a link", { { "os:help", "->/etc/passwd" } }, NULL },
		// A few kilobytes deflated; past the bound expanded.
		{ "a file past the bound", { { "os:help", huge } }, NULL },
	};
	for (const Row& row : rows) {
		ScopedTempDir temp;
		const std::string program = program_with_help(temp, archive_of(temp.Path(), row.entries));
		EXPECT_EQ(row.text != NULL, extract(program, temp.Child("out.help"))) << row.what;
		EXPECT_EQ(row.text != NULL ? row.text : "", read_file(temp.Child("out.help"))) << row.what;
	}

	ScopedTempDir temp;
	const std::string good = archive_of(temp.Path(), { { "os:help", sample_help() } });
	const std::string broken[] = { "not an archive at all", good.substr(0, good.size() / 2),
		std::string((size_t)kMaxHelpFileSize * 2, 'z') };
	for (const std::string& bytes : broken) {
		EXPECT_FALSE(extract(program_with_help(temp, bytes), temp.Child("out.help")));
		EXPECT_FALSE(exists(temp.Child("out.help")));
	}
	EXPECT_FALSE(extract(program_with_help(temp, ""), temp.Child("out.help"))) << "no resource";
}

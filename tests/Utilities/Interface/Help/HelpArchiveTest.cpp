// HelpArchive: a help file stored into a real program's resources comes back byte for byte;
// archives made another way are read when they hold one file; and nothing an archive
// holds (a huge file, a link, two candidates, garbage) or finds at the destination (a
// planted link) makes the extraction write more than a bounded regular file of its own.
#include "HelpArchive.h"

#include "HelpTestSupport.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "TempDir.h"

#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <zip.h>

#include <string>
#include <utility>
#include <vector>

using namespace help_test;

namespace {

// Writes a ZIP archive of (name, contents) entries; a contents starting with "->" makes a
// symbolic link to the rest.
void
write_archive(
	const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
	int error = 0;
	zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
	ASSERT_NE(nullptr, archive);
	for (const auto& [name, contents] : entries) {
		if (name.back() == '/') {
			ASSERT_GE(zip_dir_add(archive, name.c_str(), 0), 0);
			continue;
		}
		const bool link = contents.compare(0, 2, "->") == 0;
		std::string data = link ? contents.substr(2) : contents;
		char* copy = static_cast<char*>(malloc(data.size() + 1));
		memcpy(copy, data.data(), data.size());
		zip_source_t* source = zip_source_buffer(archive, copy, data.size(), 1);
		zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
		ASSERT_GE(index, 0);
		if (link) {
			zip_file_set_external_attributes(
				archive, (zip_uint64_t)index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777) << 16);
		}
	}
	ASSERT_EQ(0, zip_close(archive));
}

// Puts the bytes of the file at archive into program's help resource.
void
set_help_resource(const std::string& program, const std::string& bytes)
{
	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_EQ(B_OK, resources.InitCheck());
	ASSERT_EQ(B_OK,
		resources.AddResource(B_RAW_TYPE, kHelpResourceID, bytes.data(), bytes.size(), "os:help"));
	ASSERT_EQ(B_OK, resources.Sync());
}

bool
extract_from(const std::string& program, const std::string& destination)
{
	LibAppResource resources(program.c_str(), B_READ_ONLY);
	return HelpArchive::Extract(resources, destination.c_str());
}

} // namespace

TEST(HelpArchiveTest, StoredHelpComesBackByteForByteAndTheProgramStillRuns)
{
	ScopedTempDir temp;
	const std::string program = copy_program("/bin/true", temp.Child("program"));
	const std::string help = temp.Child("My Product.help");
	write_file(help, sample_help());
	const auto before = temporary_entries();
	{
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		EXPECT_TRUE(HelpArchive::Store(help.c_str(), resources));
	}
	EXPECT_EQ(before, temporary_entries()) << "work files left behind";
	EXPECT_EQ(0, run_program({ program }).status);

	LibAppResource resources(program.c_str(), B_READ_ONLY);
	const char* name = NULL;
	EXPECT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, kHelpResourceID, &name, NULL));
	EXPECT_STREQ("os:help", name);
	ASSERT_TRUE(HelpArchive::Extract(resources, temp.Child("out.help").c_str()));
	EXPECT_EQ(sample_help(), read_file(temp.Child("out.help")));
	struct stat info;
	ASSERT_EQ(0, stat(temp.Child("out.help").c_str(), &info));
	EXPECT_EQ(0600u, info.st_mode & 07777);

	// The generic extraction finds the entry under the resource's name as well.
	WorkingDirectory keep(temp.Path().string());
	ASSERT_TRUE(resources.ExtractEntry(kHelpResourceID, temp.Child("plain.help").c_str(), true));
	EXPECT_EQ(sample_help(), read_file(temp.Child("plain.help")));
}

TEST(HelpArchiveTest, StoringLeavesTheWorkingDirectoryAndAnOlderHelpIsReplaced)
{
	ScopedTempDir temp;
	const std::string program = copy_program("/bin/true", temp.Child("program"));
	write_file(temp.Child("old.help"), "<CONTENTS></CONTENTS>");
	write_file(temp.Child("new.help"), sample_help());
	WorkingDirectory here(temp.Path().string());
	{
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		ASSERT_TRUE(HelpArchive::Store("old.help", resources));
		ASSERT_TRUE(HelpArchive::Store("new.help", resources));
	}
	EXPECT_EQ(temp.Path(), std::filesystem::current_path());
	ASSERT_TRUE(extract_from(program, temp.Child("out.help")));
	EXPECT_EQ(sample_help(), read_file(temp.Child("out.help")));
}

TEST(HelpArchiveTest, OnlyARegularFileOfBoundedSizeIsStored)
{
	ScopedTempDir temp;
	const std::string program = copy_program("/bin/true", temp.Child("program"));
	std::filesystem::create_directory(temp.Child("folder"));
	write_file(temp.Child("folder/inside.help"), sample_help());
	write_file(temp.Child("huge.help"), std::string((size_t)kMaxHelpFileSize + 1, 'x'));
	write_file(temp.Child("largest.help"), std::string((size_t)kMaxHelpFileSize, 'x'));
	symlink("largest.help", temp.Child("link.help").c_str());

	struct Row {
		const char* name;
		bool stored;
	};

	const Row rows[] = {
		{ "missing.help", false },
		{ "folder", false },
		{ "huge.help", false },
		{ "largest.help", true },
		{ "link.help", true },
	};
	for (const Row& row : rows) {
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		EXPECT_EQ(row.stored, HelpArchive::Store(temp.Child(row.name).c_str(), resources))
			<< row.name;
	}
}

TEST(HelpArchiveTest, ArchivesOfOtherMakersAreReadWhenTheyHoldOneFile)
{
	struct Row {
		const char* what;
		std::vector<std::pair<std::string, std::string>> entries;
		bool read;
		std::string text;
	};

	const Row rows[] = {
		{ "one file under its own name", { { "x-vnd.Vendor-App.help", "help text" } }, true,
			"help text" },
		{ "a folder entry beside the file", { { "docs/", "" }, { "docs/app.help", "inner" } }, true,
			"inner" },
		{ "os:help beside other files", { { "readme", "r" }, { "os:help", "wanted" } }, true,
			"wanted" },
		{ "two candidates", { { "a.help", "a" }, { "b.help", "b" } }, false, "" },
		{ "no file at all", { { "empty/", "" } }, false, "" },
		{ "a link to another file", { { "os:help", "->/etc/passwd" } }, false, "" },
		// Deflates to a few kilobytes; expanded it would pass the bound.
		{ "a file past the bound",
			{ { "os:help", std::string((size_t)kMaxHelpFileSize + 4096, ' ') } }, false, "" },
	};
	for (const Row& row : rows) {
		ScopedTempDir temp;
		const std::string program = copy_program("/bin/true", temp.Child("program"));
		write_archive(temp.Child("archive.zip"), row.entries);
		set_help_resource(program, read_file(temp.Child("archive.zip")));
		EXPECT_EQ(row.read, extract_from(program, temp.Child("out.help"))) << row.what;
		EXPECT_EQ(row.read, exists(temp.Child("out.help"))) << row.what;
		if (row.read) {
			EXPECT_EQ(row.text, read_file(temp.Child("out.help"))) << row.what;
		}
	}
}

TEST(HelpArchiveTest, BrokenOrMissingResourcesGiveNothing)
{
	ScopedTempDir temp;
	const std::string program = copy_program("/bin/true", temp.Child("program"));
	EXPECT_FALSE(extract_from(program, temp.Child("out.help"))) << "no help resource";

	write_archive(temp.Child("archive.zip"), { { "os:help", sample_help() } });
	std::string bytes = read_file(temp.Child("archive.zip"));
	const std::vector<std::pair<const char*, std::string>> rows = {
		{ "garbage", "this is not an archive at all" },
		{ "cut short", bytes.substr(0, bytes.size() / 2) },
		{ "scrambled middle", bytes.substr(0, 30) + std::string(40, '\xff') + bytes.substr(70) },
		{ "oversized", std::string((size_t)kMaxHelpFileSize + 128 * 1024, 'z') },
	};
	for (const auto& [what, data] : rows) {
		set_help_resource(program, data);
		EXPECT_FALSE(extract_from(program, temp.Child("out.help"))) << what;
		EXPECT_FALSE(exists(temp.Child("out.help"))) << what;
	}
}

TEST(HelpArchiveTest, AnEntryAtTheDestinationIsNeitherFollowedNorReplaced)
{
	ScopedTempDir temp;
	const std::string program = copy_program("/bin/true", temp.Child("program"));
	write_archive(temp.Child("archive.zip"), { { "os:help", "help" } });
	set_help_resource(program, read_file(temp.Child("archive.zip")));

	write_file(temp.Child("victim"), "keep me");
	symlink(temp.Child("victim").c_str(), temp.Child("planted link").c_str());
	write_file(temp.Child("planted file"), "someone else's");
	EXPECT_FALSE(extract_from(program, temp.Child("planted link")));
	EXPECT_FALSE(extract_from(program, temp.Child("planted file")));
	EXPECT_EQ("keep me", read_file(temp.Child("victim")));
	EXPECT_EQ("someone else's", read_file(temp.Child("planted file")));
}

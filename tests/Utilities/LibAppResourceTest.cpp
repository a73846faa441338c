// LibAppResource: folder trees packed into a real executable's resources and expanded again
// (the program still runs), raw extraction, missing ids, failures that leave the container
// alone, strings and copies between containers.
#include "LibAppResource.h"

#include "FileTestHelpers.h"
#include "LibFile.h"
#include "TempDir.h"

#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

using namespace file_test;

namespace {

const int32 kItemId = 2100;

// A copy of a real program, which the resources are appended to.
std::string
copy_program(const ScopedTempDir& temp, const char* name = "program")
{
	std::string program = temp.Child(name);
	std::filesystem::copy_file("/bin/true", program);
	return program;
}

void
make_tree(const std::string& root)
{
	mkdir(root.c_str(), 0751);
	mkdir((root + "/sub").c_str(), 0700);
	write_file(root + "/plain", "plain text\n");
	write_file(root + "/sub/random", bytes(300 * 1024 + 5, 3));
	write_file(root + "/tool", "#!/bin/sh\n");
	chmod((root + "/tool").c_str(), 0755);
	symlink("sub/random", (root + "/link").c_str());
	set_attribute(root + "/plain", "InstallBy", B_STRING_TYPE, "app;1.0;");
	set_times(root + "/plain", 1000000000, 1000000000);
	set_times(root + "/sub/random", 1100000000, 1100000000);
	// The extraction types what it places; type the original alike to compare.
	Libmimeset(root.c_str());
}

// What the common temporary folder holds (the test's own folders aside).
std::set<std::string>
temporary_entries()
{
	std::set<std::string> names;
	const char* folder = getenv("TMPDIR");
	for (const auto& entry : std::filesystem::directory_iterator(folder != NULL ? folder : "/tmp"))
		names.insert(entry.path().filename().string());
	return names;
}

bool
program_runs(const std::string& program)
{
	return run({ program }) == 0;
}

} // namespace

TEST(LibAppResource, FolderTreeRoundTripsThroughAnExecutable)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	std::string tree = temp.Child("My Tree");
	make_tree(tree);
	std::set<std::string> before = temporary_entries();
	{
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		ASSERT_EQ(B_OK, resources.InitCheck());
		EXPECT_TRUE(resources.AddEntry(tree.c_str(), kItemId, "My Tree", 9));
	}
	EXPECT_TRUE(program_runs(program));

	LibAppResource resources(program.c_str(), B_READ_ONLY);
	const char* name = NULL;
	size_t length = 0;
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, kItemId, &name, &length));
	EXPECT_STREQ("My Tree", name);
	EXPECT_GT(length, 8192u) << "several chunks";

	mkdir(temp.Child("out").c_str(), 0755);
	std::string destination = temp.Child("out/My Tree");
	ASSERT_TRUE(resources.ExtractEntry(kItemId, destination.c_str(), true));
	auto expected = snapshot(tree);
	auto extracted = snapshot(destination);
	ASSERT_EQ(expected.size(), extracted.size());
	for (const auto& [path, state] : expected)
		EXPECT_EQ(state, extracted[path]) << "'" << path << "'";
	EXPECT_EQ(before, temporary_entries()) << "no work files left behind";
}

TEST(LibAppResource, ExtractWithoutUnzipWritesTheArchiveItself)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	write_file(temp.Child("notes"), "some notes\n");
	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_TRUE(resources.AddEntry(temp.Child("notes").c_str(), kItemId, "notes", 0));

	ASSERT_TRUE(resources.ExtractEntry(kItemId, temp.Child("notes.zip").c_str(), false));
	std::string archive = read_file(temp.Child("notes.zip"));
	size_t length = 0;
	void* data = resources.FindResource(B_RAW_TYPE, kItemId, &length);
	ASSERT_NE(nullptr, data);
	EXPECT_EQ(std::string((const char*)data, length), archive);
	free(data);
	EXPECT_EQ(0u, archive.find("PK\3\4"));
}

TEST(LibAppResource, MissingIdWritesNothingAndReportsNoFailure)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	LibAppResource resources(program.c_str(), B_READ_ONLY);
	std::set<std::string> before = temporary_entries();
	for (bool unzip : { true, false }) {
		testing::internal::CaptureStderr();
		EXPECT_TRUE(resources.ExtractEntry(4711, temp.Child("item").c_str(), unzip));
		EXPECT_EQ("", testing::internal::GetCapturedStderr());
		EXPECT_FALSE(exists(temp.Child("item")));
	}
	EXPECT_EQ(before, temporary_entries());
}

TEST(LibAppResource, StaleEntryInTheTemporaryFolderDoesNotMixIn)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	mkdir(temp.Child("item").c_str(), 0755);
	write_file(temp.Child("item/file"), "new\n");
	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_TRUE(resources.AddEntry(temp.Child("item").c_str(), kItemId, "item", 6));

	// Left behind by an earlier run under the same name.
	std::string stale = std::string(getenv("TMPDIR")) + "/item";
	mkdir(stale.c_str(), 0755);
	write_file(stale + "/stale file", "old\n");

	ASSERT_TRUE(resources.ExtractEntry(kItemId, temp.Child("placed").c_str(), true));
	EXPECT_EQ("new\n", read_file(temp.Child("placed/file")));
	EXPECT_FALSE(exists(temp.Child("placed/stale file")));
	LibUnlink(stale.c_str());
}

TEST(LibAppResource, AddEntryLeavesEntriesOfTheSharedTemporaryFolderAlone)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	write_file(temp.Child("item"), "mine\n");

	// Anyone may put files into the shared temporary folder under the names a packer once
	// used: the fixed work-file name, and unique names whose counter (the name just made
	// tells the next), process id and time can be guessed. Packing leaves them alone.
	const std::string folder = getenv("TMPDIR");
	const long now = (long)time(NULL);
	BPath probe;
	LibUniqueName(probe, "");
	const std::string tail = std::to_string(getpid()) + std::to_string(now);
	std::string leaf = probe.Leaf();
	const long counter = atol(leaf.substr(0, leaf.rfind(tail)).c_str());
	std::vector<std::string> planted = { folder + "/zip_resource_file.zip" };
	for (long ahead = 1; ahead <= 3; ahead++) {
		for (long second = 0; second <= 2; second++) {
			planted.push_back(folder + "/zip_resource_file" + std::to_string(counter + ahead)
				+ std::to_string(getpid()) + std::to_string(now + second) + ".zip");
		}
	}
	for (const std::string& path : planted)
		write_file(path, "someone else's\n");

	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_TRUE(resources.AddEntry(temp.Child("item").c_str(), kItemId, "item", 9));
	for (const std::string& path : planted) {
		EXPECT_EQ("someone else's\n", read_file(path)) << path;
		LibUnlink(path.c_str());
	}
}

TEST(LibAppResource, AddEntryFailuresLeaveTheContainerAlone)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	std::set<std::string> before = temporary_entries();
	{
		LibAppResource resources(program.c_str(), B_READ_WRITE);
		testing::internal::CaptureStderr();
		EXPECT_FALSE(resources.AddEntry(temp.Child("missing").c_str(), kItemId, "missing", 9));
		std::string said = testing::internal::GetCapturedStderr();
		EXPECT_NE(std::string::npos, said.find(".zip failed\n")) << said;
		EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, kItemId));
	}
	EXPECT_EQ(before, temporary_entries());

	// A container opened for reading only takes nothing.
	write_file(temp.Child("file"), "data");
	LibAppResource readOnly(program.c_str(), B_READ_ONLY);
	EXPECT_FALSE(readOnly.AddEntry(temp.Child("file").c_str(), kItemId, "file", 9));
	EXPECT_FALSE(readOnly.HasResource(B_RAW_TYPE, kItemId));
	EXPECT_EQ(before, temporary_entries());
}

TEST(LibAppResource, OpensThroughLinksAndStaysUnattachedWithoutAFile)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	symlink(program.c_str(), temp.Child("link").c_str());
	{
		LibAppResource resources(temp.Child("link").c_str(), B_READ_WRITE);
		ASSERT_EQ(B_OK, resources.InitCheck());
		ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 1, "text", 5, "name"));
	}
	struct stat st;
	ASSERT_EQ(0, lstat(temp.Child("link").c_str(), &st));
	EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
	EXPECT_TRUE(LibAppResource(program.c_str(), B_READ_ONLY).HasResource(B_STRING_TYPE, 1));

	LibAppResource missing(temp.Child("missing").c_str(), B_READ_ONLY);
	EXPECT_NE(B_OK, missing.InitCheck());
	EXPECT_TRUE(missing.ExtractEntry(kItemId, temp.Child("out").c_str(), true));
	LibAppResource none(NULL, B_READ_ONLY);
	EXPECT_NE(B_OK, none.InitCheck());

	// The running program: this test executable.
	LibAppResource running(B_READ_ONLY);
	EXPECT_EQ(B_OK, running.InitCheck());
}

TEST(LibAppResource, FindStringCopiesUpToTheFirstNul)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 1, "hello\0junk", 10, NULL));
	ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 2, "no end", 6, NULL));

	char* text = resources.FindString(1);
	ASSERT_NE(nullptr, text);
	EXPECT_STREQ("hello", text);
	delete[] text;
	text = resources.FindString(2);
	ASSERT_NE(nullptr, text);
	EXPECT_STREQ("no end", text);
	delete[] text;
	EXPECT_EQ(nullptr, resources.FindString(3));
}

TEST(LibAppResource, CopyResourceCarriesDataAndName)
{
	ScopedTempDir temp;
	std::string from = copy_program(temp, "from");
	std::string to = copy_program(temp, "to");
	{
		LibAppResource source(from.c_str(), B_READ_WRITE);
		ASSERT_EQ(B_OK, source.AddResource(B_STRING_TYPE, 2002, "config", 7, "BRC:configuration"));
		LibAppResource target(to.c_str(), B_READ_WRITE);
		ASSERT_EQ(B_OK, target.AddResource(B_STRING_TYPE, 2002, "old", 4, "old name"));

		EXPECT_TRUE(source.CopyResource(2002, B_STRING_TYPE, target));
		EXPECT_TRUE(source.CopyResource(77, B_STRING_TYPE, target));
		EXPECT_FALSE(target.HasResource(B_STRING_TYPE, 77));
	}
	EXPECT_TRUE(program_runs(to));
	LibAppResource target(to.c_str(), B_READ_ONLY);
	const char* name = NULL;
	size_t length = 0;
	ASSERT_TRUE(target.GetResourceInfo(B_STRING_TYPE, 2002, &name, &length));
	EXPECT_STREQ("BRC:configuration", name);
	char* text = target.FindString(2002);
	EXPECT_STREQ("config", text);
	delete[] text;
}

TEST(LibAppResource, ResourceNameThatIsNoPlainLeafIsRefused)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	std::string victim = temp.Child("victim");
	mkdir(victim.c_str(), 0755);
	write_file(victim + "/document", "mine");
	// From the work folder in the common temporary folder up to the victim.
	std::string climb =
		"../" + std::filesystem::relative(victim, std::filesystem::temp_directory_path()).string();

	for (const std::string& name :
		{ climb, std::string("a/b"), std::string(".."), std::string("."), std::string("") }) {
		mkdir(temp.Child("item").c_str(), 0755);
		write_file(temp.Child("item/file"), "payload");
		{
			LibAppResource resources(program.c_str(), B_READ_WRITE);
			ASSERT_TRUE(resources.AddEntry(temp.Child("item").c_str(), kItemId, name.c_str(), 9));
		}
		LibAppResource resources(program.c_str(), B_READ_ONLY);
		testing::internal::CaptureStderr();
		EXPECT_FALSE(resources.ExtractEntry(kItemId, temp.Child("placed").c_str(), true)) << name;
		testing::internal::GetCapturedStderr();
		EXPECT_FALSE(exists(temp.Child("placed"))) << name;
		EXPECT_EQ(read_file(victim + "/document"), "mine") << name;
		LibUnlink(temp.Child("item").c_str());
	}
}

TEST(LibAppResource, ItemWithRefusedEntriesIsNotPlaced)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	std::string item = temp.Child("item");
	mkdir(item.c_str(), 0755);
	write_file(item + "/good", "fine");
	// Packed as it is, refused when expanded: it points out of the item.
	symlink("../../outside", (item + "/climbing").c_str());
	LibAppResource resources(program.c_str(), B_READ_WRITE);
	ASSERT_TRUE(resources.AddEntry(item.c_str(), kItemId, "item", 9));

	testing::internal::CaptureStderr();
	EXPECT_FALSE(resources.ExtractEntry(kItemId, temp.Child("placed").c_str(), true));
	std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_NE(errors.find("refused item/climbing"), std::string::npos) << errors;
	EXPECT_FALSE(exists(temp.Child("placed")));
}

TEST(LibAppResource, AddEntryTakesNoArchiveThatLacksPartOfTheItem)
{
	ScopedTempDir temp;
	std::string program = copy_program(temp);
	std::string item = temp.Child("item");
	mkdir(item.c_str(), 0755);
	write_file(item + "/good", "fine");
	// A pipe is no file to pack: the archive would hold the rest only.
	ASSERT_EQ(mkfifo((item + "/pipe").c_str(), 0644), 0);
	std::set<std::string> before = temporary_entries();

	LibAppResource resources(program.c_str(), B_READ_WRITE);
	testing::internal::CaptureStderr();
	EXPECT_FALSE(resources.AddEntry(item.c_str(), kItemId, "item", 9));
	std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_NE(errors.find("special files are not packed"), std::string::npos) << errors;
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, kItemId));
	EXPECT_EQ(before, temporary_entries());
}

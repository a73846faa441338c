// BResources on real files: programs that must still run after their resources change,
// plain resource files, the R5-made test files, and the rewrite strategy (a new file
// renamed over the old one, nothing written when nothing changed).
#include <Resources.h>

#include <File.h>
#include <Node.h>
#include <TypeConstants.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string
test_file(const char* name)
{
	return std::string(BEINSTALLER_TESTDATA_DIR) + "/beos/" + name;
}

std::vector<uint8>
read_bytes(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	return std::vector<uint8>(std::istreambuf_iterator<char>(stream), {});
}

void
write_bytes(const std::string& path, const std::vector<uint8>& bytes)
{
	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

// A copy of a system program that the test may change.
std::string
copy_program(const ScopedTempDir& dir, const char* program, const char* name)
{
	std::string path = dir.Child(name);
	std::filesystem::copy_file(program, path);
	chmod(path.c_str(), 0755);
	return path;
}

pid_t
spawn(const std::string& path, std::vector<std::string> arguments)
{
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(path.c_str()));
	for (std::string& argument : arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);
	pid_t pid = -1;
	if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
		return -1;
	return pid;
}

int
exit_status(pid_t pid)
{
	int status = 0;
	if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

int
run(const std::string& path, std::vector<std::string> arguments = {})
{
	return exit_status(spawn(path, std::move(arguments)));
}

std::string
load_string(BResources& resources, type_code type, int32 id)
{
	size_t size = 0;
	const void* data = resources.LoadResource(type, id, &size);
	if (data == nullptr)
		return "<none>";
	return std::string((const char*)data, size);
}

struct stat
stat_of(const std::string& path)
{
	struct stat st = {};
	stat(path.c_str(), &st);
	return st;
}

} // namespace

TEST(Resources, ProgramStillRunsWithResourcesAddedUpdatedAndRemoved)
{
	ScopedTempDir dir;
	std::string program = copy_program(dir, "/bin/true", "program");
	{
		BFile file(program.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(B_OK, resources.InitCheck());
		EXPECT_FALSE(resources.GetResourceInfo(0, nullptr, nullptr, nullptr, nullptr));
		ASSERT_EQ(
			B_OK, resources.AddResource(B_STRING_TYPE, 2002, "config", 7, "BRC:configuration"));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 2100, "payload", 7, "Item"));
		ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 1, "x", 2));
		ASSERT_EQ(B_OK, resources.Sync());
	}
	EXPECT_EQ(0, run(program));

	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
		// Resources of one type stay together.
		type_code type;
		int32 id;
		const char* name;
		size_t size;
		ASSERT_TRUE(resources.GetResourceInfo(1, &type, &id, &name, &size));
		EXPECT_EQ(B_STRING_TYPE, type);
		EXPECT_EQ(1, id);
		ASSERT_TRUE(resources.GetResourceInfo(2, &type, &id, &name, &size));
		EXPECT_EQ(B_RAW_TYPE, type);
		EXPECT_STREQ("Item", name);

		// Replace, grow and remove.
		EXPECT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 2002, "other", 6, "renamed"));
		EXPECT_EQ(B_OK, resources.WriteResource(B_RAW_TYPE, 2100, "!!", 10, 2));
		EXPECT_EQ(B_OK, resources.RemoveResource(B_STRING_TYPE, 1));
		EXPECT_EQ(B_BAD_VALUE, resources.RemoveResource(B_STRING_TYPE, 1));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 7, "gone", 4));
		const void* loaded = resources.LoadResource(B_RAW_TYPE, 7, nullptr);
		ASSERT_NE(nullptr, loaded);
		EXPECT_EQ(B_OK, resources.RemoveResource(loaded));
		EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 7));
	}
	EXPECT_EQ(0, run(program));

	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	EXPECT_EQ(std::string("other", 6), load_string(resources, B_STRING_TYPE, 2002));
	EXPECT_TRUE(resources.HasResource(B_STRING_TYPE, "renamed"));
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, "BRC:configuration"));
	EXPECT_EQ(std::string("payload\0\0\0!!", 12), load_string(resources, B_RAW_TYPE, 2100));
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, 1));

	// Clobbering drops the resources and keeps the program.
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str(), true));
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2100));
	resources.Unset();
	EXPECT_EQ(0, run(program));
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	EXPECT_FALSE(resources.GetResourceInfo(0, nullptr, nullptr, nullptr, nullptr));
}

TEST(Resources, RewritesAProgramWhileItRuns)
{
	ScopedTempDir dir;
	std::string program = copy_program(dir, "/bin/sleep", "sleeper");
	pid_t child = spawn(program, { "1" });
	ASSERT_GT(child, 0);
	// Give the child time to be executing the file.
	usleep(100 * 1000);

	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	ASSERT_EQ(B_OK, resources.AddResource('APPV', 1, "version", 8, "BEOS:APP_VERSION"));
	EXPECT_EQ(B_OK, resources.Sync());
	resources.Unset();

	EXPECT_EQ(0, exit_status(child));
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	EXPECT_EQ(std::string("version", 8), load_string(resources, 'APPV', 1));
	resources.Unset();
	EXPECT_EQ(0, run(program, { "0" }));
}

TEST(Resources, RewriteKeepsModeAndAttributes)
{
	ScopedTempDir dir;
	std::string program = copy_program(dir, "/bin/true", "program");
	chmod(program.c_str(), 0751);
	{
		BNode node(program.c_str());
		ASSERT_EQ(5, node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "tag1", 5));
	}
	ino_t before = stat_of(program).st_ino;
	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 1, "data", 4));
	}
	struct stat st = stat_of(program);
	EXPECT_NE(before, st.st_ino);
	EXPECT_EQ(0751u, st.st_mode & 07777);
	BNode node(program.c_str());
	char value[8] = {};
	EXPECT_EQ(5, node.ReadAttr("InstallBy", B_STRING_TYPE, 0, value, sizeof(value)));
	EXPECT_STREQ("tag1", value);
	attr_info info;
	ASSERT_EQ(B_OK, node.GetAttrInfo("InstallBy", &info));
	EXPECT_EQ((uint32)B_STRING_TYPE, info.type);
	// No temporary file is left beside it.
	EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(Resources, WritingUnchangedDataLeavesTheFileUntouched)
{
	ScopedTempDir dir;
	std::string path = dir.Child("x86.rsrc");
	std::filesystem::copy_file(test_file("x86.rsrc"), path);
	struct timespec times[2] = { { 1000000, 0 }, { 1000000, 0 } };
	utimensat(AT_FDCWD, path.c_str(), times, 0);
	ino_t inode = stat_of(path).st_ino;

	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(path.c_str()));
		size_t size;
		const void* data = resources.LoadResource(B_STRING_TYPE, 74, &size);
		ASSERT_NE(nullptr, data);
		std::vector<uint8> copy((const uint8*)data, (const uint8*)data + size);
		EXPECT_EQ(B_OK,
			resources.AddResource(
				B_STRING_TYPE, 74, copy.data(), copy.size(), "a string resource"));
		EXPECT_EQ(B_OK, resources.WriteResource(B_INT32_TYPE, 17, "\x2a\0\0", 0, 4));
		EXPECT_EQ(B_OK, resources.Sync());
	}
	struct stat st = stat_of(path);
	EXPECT_EQ(inode, st.st_ino);
	EXPECT_EQ(1000000, st.st_mtim.tv_sec);
	EXPECT_EQ(read_bytes(test_file("x86.rsrc")), read_bytes(path));
}

TEST(Resources, WritingTheThreeResourcesReproducesX86File)
{
	ScopedTempDir dir;
	std::string path = dir.Child("new.rsrc");
	write_bytes(path, {});
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(B_OK, resources.InitCheck());
		const char text[] = "I like strings, especially cellos.";
		const char type[] = "application/bread-roll-counter";
		ASSERT_EQ(B_OK,
			resources.AddResource(B_STRING_TYPE, 74, text, sizeof(text), "a string resource"));
		ASSERT_EQ(B_OK, resources.AddResource(B_INT32_TYPE, 17, "\x2a\0\0", 4, "just a resource"));
		ASSERT_EQ(B_OK,
			resources.AddResource(B_MIME_STRING_TYPE, 29, type, sizeof(type), "another resource"));
	}
	EXPECT_EQ(read_bytes(test_file("x86.rsrc")), read_bytes(path));
}

TEST(Resources, ReadsTheRealFilesByEveryKey)
{
	BFile file(test_file("x86.rsrc").c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(B_OK, resources.InitCheck());

	type_code type;
	int32 id;
	const char* name;
	size_t size;
	ASSERT_TRUE(resources.GetResourceInfo(2, &type, &id, &name, &size));
	EXPECT_EQ(B_MIME_STRING_TYPE, type);
	EXPECT_EQ(29, id);
	EXPECT_STREQ("another resource", name);
	EXPECT_EQ(31u, size);
	EXPECT_FALSE(resources.GetResourceInfo(3, &type, &id, &name, &size));
	EXPECT_FALSE(resources.GetResourceInfo(-1, &type, &id, &name, &size));

	// (A literal 0 would also be a null type pointer: the index goes in a variable.)
	int32 first = 0, second = 1;
	ASSERT_TRUE(resources.GetResourceInfo((type_code)B_INT32_TYPE, first, &id, &name, &size));
	EXPECT_EQ(17, id);
	EXPECT_FALSE(resources.GetResourceInfo((type_code)B_INT32_TYPE, second, &id, &name, &size));
	ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, 74, &name, &size));
	EXPECT_EQ(35u, size);
	ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, "a string resource", &id, &size));
	EXPECT_EQ(74, id);
	EXPECT_TRUE(resources.HasResource(B_STRING_TYPE, 74));
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, 75));

	const void* loaded = resources.LoadResource(B_MIME_STRING_TYPE, "another resource", &size);
	ASSERT_NE(nullptr, loaded);
	EXPECT_STREQ("application/bread-roll-counter", (const char*)loaded);
	ASSERT_TRUE(resources.GetResourceInfo(loaded, &type, &id, &size, &name));
	EXPECT_EQ(29, id);
	EXPECT_FALSE(resources.GetResourceInfo((const void*)&size, &type, &id, &size, &name));

	// FindResource hands out a copy for the caller to free.
	void* copy = resources.FindResource(B_STRING_TYPE, 74, &size);
	ASSERT_NE(nullptr, copy);
	EXPECT_STREQ("I like strings, especially cellos.", (const char*)copy);
	free(copy);
	EXPECT_EQ(nullptr, resources.FindResource(B_STRING_TYPE, 1, &size));

	char part[8] = {};
	EXPECT_EQ(B_OK, resources.ReadResource(B_STRING_TYPE, 74, part, 2, 6));
	EXPECT_STREQ("like s", part);
	char tail[8] = {};
	EXPECT_EQ(B_OK, resources.ReadResource(B_STRING_TYPE, 74, tail, 30, 8));
	EXPECT_STREQ("los.", tail);
	EXPECT_EQ(B_BAD_VALUE, resources.ReadResource(B_STRING_TYPE, 74, tail, 36, 1));

	// A file opened for reading cannot be changed.
	EXPECT_EQ(B_NOT_ALLOWED, resources.AddResource(B_RAW_TYPE, 1, "x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, resources.RemoveResource(B_STRING_TYPE, 74));
}

TEST(Resources, ReadsThePowerPCFormsAndKeepsThemUnwritten)
{
	ScopedTempDir dir;
	std::string path = dir.Child("pef");
	std::filesystem::copy_file(test_file("pef"), path);
	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(path.c_str()));
	EXPECT_STREQ(
		"I like strings, especially cellos.", load_string(resources, B_STRING_TYPE, 74).c_str());
	EXPECT_EQ(B_NOT_SUPPORTED, resources.AddResource(B_RAW_TYPE, 1, "x", 1));

	// A PowerPC resource file becomes an x86 one when it is written.
	std::string ppc = dir.Child("ppc.rsrc");
	std::filesystem::copy_file(test_file("ppc.rsrc"), ppc);
	ASSERT_EQ(B_OK, resources.SetTo(ppc.c_str()));
	ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 1, "x", 1));
	ASSERT_EQ(B_OK, resources.Sync());
	std::vector<uint8> bytes = read_bytes(ppc);
	EXPECT_EQ(0, memcmp(bytes.data(), "RS\0\0\0\x10OD", 8));
	resources.Unset();
	ASSERT_EQ(B_OK, resources.SetTo(ppc.c_str()));
	EXPECT_STREQ(
		"I like strings, especially cellos.", load_string(resources, B_STRING_TYPE, 74).c_str());
	EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, 1));
}

TEST(Resources, RefusesFilesThatHoldNoResources)
{
	ScopedTempDir dir;
	std::string text = dir.Child("notes.txt");
	write_bytes(text, { 'h', 'e', 'l', 'l', 'o' });
	BResources resources;
	EXPECT_EQ(B_BAD_DATA, resources.SetTo(text.c_str()));
	EXPECT_EQ(B_BAD_DATA, resources.InitCheck());
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 1));

	std::vector<uint8> broken = read_bytes(test_file("x86.rsrc"));
	broken[4 + 0xC8] = 0xFF;
	std::string bad = dir.Child("bad.rsrc");
	write_bytes(bad, broken);
	EXPECT_EQ(B_BAD_DATA, resources.SetTo(bad.c_str()));

	// Clobbering makes any file a resource file.
	ASSERT_EQ(B_OK, resources.SetTo(text.c_str(), true));
	ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 1, "hi", 3));
	resources.Unset();
	EXPECT_EQ(0, memcmp(read_bytes(text).data(), "RS\0\0", 4));
	ASSERT_EQ(B_OK, resources.SetTo(text.c_str()));
	EXPECT_EQ(std::string("hi", 3), load_string(resources, B_STRING_TYPE, 1));
}

TEST(Resources, AWriteThatCannotBeDoneFailsAndChangesNothing)
{
	ScopedTempDir dir;
	std::string path = dir.Child("gone.rsrc");
	std::filesystem::copy_file(test_file("x86.rsrc"), path);
	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(path.c_str()));
	ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 1, "x", 1));
	unlink(path.c_str());
	EXPECT_NE(B_OK, resources.Sync());
	EXPECT_FALSE(std::filesystem::exists(path));
	EXPECT_EQ(0, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(Resources, LargeResourceGrowsInChunksAndReadsBackInParts)
{
	// As a payload is stored: a first chunk, then the rest written at rising offsets.
	ScopedTempDir dir;
	std::string program = copy_program(dir, "/bin/true", "installer");
	const size_t kChunk = 8192;
	const size_t kTotal = 40 * kChunk + 123;
	std::vector<uint8> payload(kTotal);
	for (size_t i = 0; i < kTotal; i++)
		payload[i] = (uint8)(i * 7 + i / 251);
	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 2100, payload.data(), kChunk, "Item"));
		for (size_t offset = kChunk; offset < kTotal; offset += kChunk) {
			size_t length = std::min(kChunk, kTotal - offset);
			ASSERT_EQ(B_OK,
				resources.WriteResource(B_RAW_TYPE, 2100, &payload[offset], (off_t)offset, length));
		}
	}
	EXPECT_EQ(0, run(program));

	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	size_t size = 0;
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2100, nullptr, &size));
	ASSERT_EQ(kTotal, size);
	std::vector<uint8> back(kTotal);
	for (size_t offset = 0; offset < kTotal; offset += 5000) {
		size_t length = std::min<size_t>(5000, kTotal - offset);
		ASSERT_EQ(
			B_OK, resources.ReadResource(B_RAW_TYPE, 2100, &back[offset], (off_t)offset, length));
	}
	EXPECT_EQ(payload, back);
	void* copy = resources.FindResource(B_RAW_TYPE, "Item", &size);
	ASSERT_NE(nullptr, copy);
	EXPECT_EQ(0, memcmp(copy, payload.data(), kTotal));
	free(copy);
}

TEST(Resources, ResourcesGrownPastAMegabyteKeepEveryByteThroughTheSpool)
{
	// Large resources move out of memory while they are written; what is read back before
	// and after the write, and what a later rewrite keeps, must be exactly what was given.
	ScopedTempDir dir;
	std::string program = copy_program(dir, "/bin/true", "installer");
	const size_t kChunk = 64 * 1024;
	const size_t kTotal = 3 * 1024 * 1024 + 77;
	std::vector<uint8> payload(kTotal);
	for (size_t i = 0; i < kTotal; i++)
		payload[i] = (uint8)(i * 13 + i / 4093);
	{
		BResources resources;
		ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 2100, nullptr, 0, "Item"));
		for (size_t offset = 0; offset < kTotal; offset += kChunk) {
			size_t length = std::min(kChunk, kTotal - offset);
			ASSERT_EQ(B_OK,
				resources.WriteResource(B_RAW_TYPE, 2100, &payload[offset], (off_t)offset, length));
		}
		// Overwriting the middle and writing past a gap.
		std::vector<uint8> middle(1000, 0xAB);
		ASSERT_EQ(B_OK, resources.WriteResource(B_RAW_TYPE, 2100, middle.data(), 1500000, 1000));
		std::copy(middle.begin(), middle.end(), payload.begin() + 1500000);
		ASSERT_EQ(B_OK, resources.WriteResource(B_RAW_TYPE, 2100, "tail", (off_t)kTotal + 10, 4));
		payload.resize(kTotal + 14, 0);
		memcpy(&payload[kTotal + 10], "tail", 4);

		std::vector<uint8> back(payload.size());
		ASSERT_EQ(B_OK, resources.ReadResource(B_RAW_TYPE, 2100, back.data(), 0, back.size()));
		EXPECT_EQ(payload, back);

		// A second one that is spooled and then replaced by small data.
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 2101, nullptr, 0, "Other"));
		ASSERT_EQ(B_OK, resources.WriteResource(B_RAW_TYPE, 2101, payload.data(), 0, kTotal));
		ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 2101, "small", 6, "Other"));
		EXPECT_EQ(B_OK, resources.Sync());
		EXPECT_EQ(std::vector<std::string> { "installer" }, [&] {
			std::vector<std::string> names;
			for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
				names.push_back(entry.path().filename().string());
			return names;
		}());

		// Growing a resource that lies in the file brings its old bytes along.
		ASSERT_EQ(
			B_OK, resources.WriteResource(B_RAW_TYPE, 2100, "more", (off_t)payload.size(), 4));
		payload.insert(payload.end(), { 'm', 'o', 'r', 'e' });
		size_t size = 0;
		const void* loaded = resources.LoadResource(B_RAW_TYPE, 2100, &size);
		ASSERT_EQ(payload.size(), size);
		EXPECT_EQ(0, memcmp(loaded, payload.data(), size));
	}
	EXPECT_EQ(0, run(program));

	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(program.c_str()));
	size_t size = 0;
	void* copy = resources.FindResource(B_RAW_TYPE, 2100, &size);
	ASSERT_NE(nullptr, copy);
	ASSERT_EQ(payload.size(), size);
	EXPECT_EQ(0, memcmp(copy, payload.data(), size));
	free(copy);
	EXPECT_EQ(std::string("small", 6), load_string(resources, B_RAW_TYPE, 2101));
}

TEST(Resources, MergeFromAddsAndReplaces)
{
	ScopedTempDir dir;
	std::string path = dir.Child("merged.rsrc");
	write_bytes(path, {});
	BResources resources;
	ASSERT_EQ(B_OK, resources.SetTo(path.c_str()));
	ASSERT_EQ(B_OK, resources.AddResource(B_STRING_TYPE, 74, "old", 4));
	ASSERT_EQ(B_OK, resources.AddResource(B_RAW_TYPE, 5, "keep", 5));
	BFile other(test_file("x86.rsrc").c_str(), B_READ_ONLY);
	ASSERT_EQ(B_OK, resources.MergeFrom(&other));
	EXPECT_STREQ(
		"I like strings, especially cellos.", load_string(resources, B_STRING_TYPE, 74).c_str());
	EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, 5));
	EXPECT_TRUE(resources.HasResource(B_MIME_STRING_TYPE, 29));
}

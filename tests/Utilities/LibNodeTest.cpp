// LibNode: typed attributes of exact sizes and types, writers that leave no tail of an older
// value, readers that tell a missing or short attribute, and whole files kept as ZIP
// archives in attributes.
#include "LibNode.h"

#include "LibFile.h"
#include "LibString.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <Message.h>
#include <Path.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace file_test;

namespace {

attr_info
info_of(LibNode& node, const char* name)
{
	attr_info info = { 0, -1 };
	node.GetAttrInfo(name, &info);
	return info;
}

} // namespace

TEST(LibNode, StringAttributeHasExactlyItsCharacters)
{
	ScopedTempDir temp;
	write_file(temp.Child("file"), "");
	LibNode node(temp.Child("file").c_str());

	ASSERT_TRUE(node.WriteStringAttr("InstallBy", "a longer value;"));
	ASSERT_TRUE(node.WriteStringAttr("InstallBy", "abc"));

	attr_info info = info_of(node, "InstallBy");
	EXPECT_EQ(info.size, 3);
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	EXPECT_EQ(attributes_of(temp.Child("file"))["InstallBy"].data, "abc");
	LibString value;
	EXPECT_EQ(node.ReadStringAttr("InstallBy", value), 3);
	EXPECT_STREQ(value, "abc");

	value = "stale";
	EXPECT_LT(node.ReadStringAttr("missing", value), 0);
	EXPECT_STREQ(value, "");
}

TEST(LibNode, BoolAttributeIsOneByte)
{
	ScopedTempDir temp;
	mkdir(temp.Child("folder").c_str(), 0755);
	LibNode node(temp.Child("folder").c_str());

	ASSERT_TRUE(node.WriteBoolAttr("flag", true));
	attr_info info = info_of(node, "flag");
	EXPECT_EQ(info.size, 1);
	EXPECT_EQ(info.type, (uint32)B_BOOL_TYPE);
	bool value = false;
	EXPECT_TRUE(node.ReadBoolAttr("flag", value));
	EXPECT_TRUE(value);
	ASSERT_TRUE(node.WriteBoolAttr("flag", false));
	EXPECT_TRUE(node.ReadBoolAttr("flag", value));
	EXPECT_FALSE(value);

	value = true;
	EXPECT_FALSE(node.ReadBoolAttr("missing", value));
	EXPECT_TRUE(value);
	ASSERT_TRUE(set_attribute(temp.Child("folder"), "empty", B_BOOL_TYPE, ""));
	EXPECT_FALSE(node.ReadBoolAttr("empty", value));
}

TEST(LibNode, Int32AttributeIsFourBytesWhateverLongHolds)
{
	ScopedTempDir temp;
	symlink("somewhere", temp.Child("link").c_str());
	LibNode node(temp.Child("link").c_str());

	struct Row {
		long written;
		long read;
	};

	const Row rows[] = { { 0, 0 }, { -1, -1 }, { 2147483647, 2147483647 },
		{ -2147483647 - 1, -2147483647 - 1 }, { 0x100000005L, 5 } };
	for (const Row& row : rows) {
		ASSERT_TRUE(node.WriteInt32Attr("number", row.written));
		attr_info info = info_of(node, "number");
		EXPECT_EQ(info.size, 4);
		EXPECT_EQ(info.type, (uint32)B_INT32_TYPE);
		long value = 12345;
		EXPECT_TRUE(node.ReadInt32Attr("number", value));
		EXPECT_EQ(value, row.read) << row.written;
	}

	long value = 77;
	EXPECT_FALSE(node.ReadInt32Attr("missing", value));
	EXPECT_EQ(value, 77);
	ASSERT_TRUE(set_attribute(temp.Child("link"), "short", B_INT32_TYPE, "ab"));
	EXPECT_FALSE(node.ReadInt32Attr("short", value));
	EXPECT_EQ(value, 77);
}

TEST(LibNode, MessageAttributeRoundTrips)
{
	ScopedTempDir temp;
	write_file(temp.Child("file"), "");
	LibNode node(temp.Child("file").c_str());
	BMessage message('TEST');
	message.AddString("name", "value");
	message.AddInt32("number", 42);

	ASSERT_TRUE(node.WriteMessageAttr("settings", message));
	EXPECT_EQ(info_of(node, "settings").size, message.FlattenedSize());
	EXPECT_EQ(info_of(node, "settings").type, (uint32)B_RAW_TYPE);

	BMessage read;
	ASSERT_TRUE(node.ReadMessageAttr("settings", read));
	EXPECT_EQ(read.what, (uint32)'TEST');
	const char* name = NULL;
	EXPECT_EQ(read.FindString("name", &name), B_OK);
	EXPECT_STREQ(name, "value");

	EXPECT_FALSE(node.ReadMessageAttr("missing", read));
	ASSERT_TRUE(set_attribute(temp.Child("file"), "garbage", B_RAW_TYPE, "not a message"));
	EXPECT_FALSE(node.ReadMessageAttr("garbage", read));
}

TEST(LibNode, CompressedFileAttributeHasTheArchivesExactBytes)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("source").c_str(), 0755);
	std::string file = temp.Child("source/payload");
	write_file(file, bytes(3000, 9) + std::string(4000, 'a'));
	write_file(temp.Child("holder"), "");

	LibNode node(temp.Child("holder").c_str());
	testing::internal::CaptureStderr();
	ASSERT_TRUE(node.CompressFile("payload", file.c_str()));
	std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_EQ(errors.rfind("zipped to ", 0), 0u) << errors;

	// The same archive, made again from the same file, is byte for byte the attribute.
	ASSERT_TRUE(LibZip(temp.Child("reference.zip").c_str(), BPath(file.c_str()), 9));
	std::string reference = read_file(temp.Child("reference.zip"));
	auto attributes = attributes_of(temp.Child("holder"));
	EXPECT_EQ(attributes["payload"].type, (type_code)B_RAW_TYPE);
	EXPECT_EQ(attributes["payload"].data.size(), reference.size());
	EXPECT_TRUE(attributes["payload"].data == reference);

	// The temporary archive is gone.
	std::string zipped = errors.substr(10, errors.size() - 11);
	EXPECT_FALSE(exists(zipped)) << zipped;
}

TEST(LibNode, UncompressFileRestoresItemOrRawArchive)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	mkdir(temp.Child("source").c_str(), 0755);
	std::string file = temp.Child("source/payload");
	write_file(file, "the payload");
	chmod(file.c_str(), 0750);
	write_file(temp.Child("holder"), "");
	LibNode node(temp.Child("holder").c_str());
	testing::internal::CaptureStderr();
	ASSERT_TRUE(node.CompressFile("payload", file.c_str()));
	testing::internal::GetCapturedStderr();

	ASSERT_TRUE(node.UncompressFile(temp.Child("restored").c_str(), "payload", true));
	EXPECT_EQ(read_file(temp.Child("restored")), "the payload");
	struct stat st;
	ASSERT_EQ(stat(temp.Child("restored").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0750u);

	ASSERT_TRUE(node.UncompressFile(temp.Child("raw.zip").c_str(), "payload", false));
	EXPECT_TRUE(
		read_file(temp.Child("raw.zip")) == attributes_of(temp.Child("holder"))["payload"].data);

	// Nothing to write out is no failure, and writes nothing.
	EXPECT_TRUE(node.UncompressFile(temp.Child("nothing").c_str(), "missing", true));
	EXPECT_FALSE(exists(temp.Child("nothing")));
	// An attribute name that would lead out of the temporary folder is refused.
	ASSERT_TRUE(set_attribute(temp.Child("holder"), "../payload", B_RAW_TYPE, "x"));
	EXPECT_FALSE(node.UncompressFile(temp.Child("elsewhere").c_str(), "../payload", true));
}

TEST(LibNode, CompressingMissingFileFailsWithMessage)
{
	ScopedTempDir temp;
	write_file(temp.Child("holder"), "");
	LibNode node(temp.Child("holder").c_str());
	testing::internal::CaptureStderr();
	EXPECT_FALSE(node.CompressFile("payload", temp.Child("missing").c_str()));
	std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_EQ(errors, "LibNode::CompressFile: " + temp.Child("missing") + " does not exist\n");
	EXPECT_TRUE(attributes_of(temp.Child("holder")).empty());
}

TEST(LibNode, UncompressFileNeverMixesWithWhatTheTemporaryFolderHolds)
{
	ScopedTempDir temp;
	WorkingDirectoryKeeper keeper;
	std::string item = temp.Child("payload");
	mkdir(item.c_str(), 0755);
	write_file(item + "/inside", "packed");
	write_file(temp.Child("holder"), "");
	LibNode node(temp.Child("holder").c_str());
	testing::internal::CaptureStderr();
	ASSERT_TRUE(node.CompressFile("payload", item.c_str()));
	testing::internal::GetCapturedStderr();

	// Someone else left a folder of the item's name in the shared temporary folder.
	std::string planted = std::string(getenv("TMPDIR")) + "/payload";
	mkdir(planted.c_str(), 0777);
	write_file(planted + "/planted", "not from the attribute");

	ASSERT_TRUE(node.UncompressFile(temp.Child("restored").c_str(), "payload", true));
	EXPECT_EQ(read_file(temp.Child("restored/inside")), "packed");
	EXPECT_FALSE(exists(temp.Child("restored/planted")));
	EXPECT_TRUE(exists(planted + "/planted"));
	LibUnlink(planted.c_str());
}

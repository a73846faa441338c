// BNode attributes on files, folders and symbolic links: exact bytes and types, the
// xattr layout others rely on (getfattr shows user.NAME), hidden bookkeeping, offsets,
// name limits, and link attributes that follow the link through renames and moves.
#include <Node.h>

#include <Directory.h>
#include <Entry.h>
#include <TypeConstants.h>

#include "AttributeStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Kind { File, Folder, Link };

const char*
kind_name(Kind kind)
{
	switch (kind) {
		case Kind::File:
			return "File";
		case Kind::Folder:
			return "Folder";
		case Kind::Link:
			return "Link";
	}
	return "";
}

fs::path
make_node(const ScopedTempDir& temp, Kind kind, const char* name = "node")
{
	fs::path path = temp.Path() / name;
	switch (kind) {
		case Kind::File:
			std::ofstream(path) << "data";
			break;
		case Kind::Folder:
			fs::create_directory(path);
			break;
		case Kind::Link:
			fs::create_symlink("somewhere/else", path);
			break;
	}
	return path;
}

std::vector<char>
pattern(size_t size)
{
	std::vector<char> bytes(size);
	for (size_t i = 0; i < size; i++)
		bytes[i] = (char)(i * 7 + 3);
	return bytes;
}

std::set<std::string>
attribute_names(BNode& node)
{
	std::set<std::string> names;
	char name[B_ATTR_NAME_LENGTH];
	node.RewindAttrs();
	while (node.GetNextAttrName(name) == B_OK)
		names.insert(name);
	return names;
}

// Every raw xattr name of a path, hidden ones included.
std::vector<std::string>
raw_names(const fs::path& path)
{
	char buffer[65536];
	ssize_t size = llistxattr(path.c_str(), buffer, sizeof(buffer));
	std::vector<std::string> names;
	for (ssize_t start = 0; start < size; start += strlen(buffer + start) + 1)
		names.push_back(buffer + start);
	return names;
}

size_t
count_platform_names(const fs::path& path)
{
	std::vector<std::string> names = raw_names(path);
	return std::count_if(names.begin(), names.end(),
		[](const std::string& name) { return name.rfind("user.beos.", 0) == 0; });
}

void
expect_attribute(BNode& node, const char* name, type_code type, const std::vector<char>& bytes)
{
	attr_info info;
	ASSERT_EQ(node.GetAttrInfo(name, &info), B_OK) << name;
	EXPECT_EQ(info.type, type);
	EXPECT_EQ(info.size, (off_t)bytes.size());
	std::vector<char> read(bytes.size() + 16, 'z');
	EXPECT_EQ(node.ReadAttr(name, type, 0, read.data(), read.size()), (ssize_t)bytes.size());
	read.resize(bytes.size());
	EXPECT_TRUE(read == bytes);
}

class BNodeAttributes : public testing::TestWithParam<std::tuple<Kind, size_t>> { };

} // namespace

TEST_P(BNodeAttributes, KeepBytesAndTypeExactly)
{
	auto [kind, size] = GetParam();
	ScopedTempDir temp;
	fs::path path = make_node(temp, kind);
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);

	std::vector<char> bytes = pattern(size);
	ASSERT_EQ(
		node.WriteAttr("Some:Attr", B_INT32_TYPE, 0, bytes.data(), bytes.size()), (ssize_t)size);
	expect_attribute(node, "Some:Attr", B_INT32_TYPE, bytes);

	// A fresh node on the same entry sees the same.
	BNode again(path.c_str());
	expect_attribute(again, "Some:Attr", B_INT32_TYPE, bytes);
	EXPECT_EQ(attribute_names(again), std::set<std::string> { "Some:Attr" });

	// A shorter read gives the first bytes.
	if (size > 1) {
		char first = 0;
		EXPECT_EQ(node.ReadAttr("Some:Attr", B_INT32_TYPE, 0, &first, 1), 1);
		EXPECT_EQ(first, bytes[0]);
	}
}

INSTANTIATE_TEST_SUITE_P(KindsAndSizes, BNodeAttributes,
	testing::Combine(
		testing::Values(Kind::File, Kind::Folder, Kind::Link), testing::Values(0, 1, 300, 2000)),
	[](const testing::TestParamInfo<std::tuple<Kind, size_t>>& info) {
		return std::string(kind_name(std::get<0>(info.param))) + "_"
			+ std::to_string(std::get<1>(info.param));
	});

TEST(BNode, SixtyFourKibibyteAttributeRoundTripsOrFailsCleanly)
{
	for (Kind kind : { Kind::File, Kind::Folder, Kind::Link }) {
		ScopedTempDir temp;
		fs::path path = make_node(temp, kind);
		BNode node(path.c_str());
		std::vector<char> bytes = pattern(65536);
		ssize_t written = node.WriteAttr("big", B_RAW_TYPE, 0, bytes.data(), bytes.size());
		if (written == B_DEVICE_FULL) {
			// ext4 keeps a node's attributes in one block: nothing may be left behind.
			attr_info info;
			EXPECT_EQ(node.GetAttrInfo("big", &info), B_ENTRY_NOT_FOUND) << kind_name(kind);
			EXPECT_TRUE(attribute_names(node).empty()) << kind_name(kind);
			fs::path holder = kind == Kind::Link ? temp.Path() : path;
			EXPECT_EQ(count_platform_names(holder), 0u) << kind_name(kind);
		} else {
			ASSERT_EQ(written, 65536) << kind_name(kind);
			expect_attribute(node, "big", B_RAW_TYPE, bytes);
		}
		EXPECT_EQ(node.WriteAttr("bigger", B_RAW_TYPE, 0, bytes.data(), 65537), B_FILE_TOO_LARGE);
	}
}

TEST(BNode, FileAttributeIsTheUserXattrWithTheTypeBeside)
{
	ScopedTempDir temp;
	fs::path path = make_node(temp, Kind::File);
	BNode node(path.c_str());
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "tag;", 4), 4);

	char value[16] = {};
	EXPECT_EQ(getxattr(path.c_str(), "user.InstallBy", value, sizeof(value)), 4);
	EXPECT_STREQ(value, "tag;");
	char type[5] = {};
	EXPECT_EQ(getxattr(path.c_str(), "user.beos.type.InstallBy", type, 4), 4);
	EXPECT_STREQ(type, "CSTR");

	// An xattr written by another program reads as raw data.
	ASSERT_EQ(setxattr(path.c_str(), "user.foreign", "ab", 2, 0), 0);
	attr_info info;
	ASSERT_EQ(node.GetAttrInfo("foreign", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_RAW_TYPE);
	EXPECT_EQ(attribute_names(node), (std::set<std::string> { "InstallBy", "foreign" }));
}

TEST(BNode, WritesAtOffsetsKeepTheRest)
{
	ScopedTempDir temp;
	BNode node(make_node(temp, Kind::File).c_str());
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 0, "abcdef", 6), 6);
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 2, "XY", 2), 2);
	ASSERT_EQ(node.WriteAttr("a", B_STRING_TYPE, 0, "1", 1), 1);
	ASSERT_EQ(node.WriteAttr("a", B_STRING_TYPE, 8, "Z", 1), 1);
	expect_attribute(node, "a", B_STRING_TYPE, { '1', 'b', 'X', 'Y', 'e', 'f', 0, 0, 'Z' });

	char middle[3] = {};
	EXPECT_EQ(node.ReadAttr("a", B_STRING_TYPE, 2, middle, 2), 2);
	EXPECT_STREQ(middle, "XY");
	EXPECT_EQ(node.ReadAttr("a", B_STRING_TYPE, 20, middle, 2), 0);
	EXPECT_EQ(node.ReadAttr("a", B_STRING_TYPE, -1, middle, 2), B_BAD_VALUE);
}

TEST(BNode, NamesAreCheckedBeforeAnythingIsWritten)
{
	struct NameRow {
		Kind kind;
		size_t length;
		status_t expected;
	};

	const NameRow rows[] = {
		{ Kind::File, 240, B_OK },
		{ Kind::File, 241, B_NAME_TOO_LONG },
		{ Kind::Link, 226, B_OK },
		{ Kind::Link, 227, B_NAME_TOO_LONG },
	};
	for (const NameRow& row : rows) {
		ScopedTempDir temp;
		BNode node(make_node(temp, row.kind).c_str());
		std::string name(row.length, 'n');
		ssize_t result = node.WriteAttr(name.c_str(), B_RAW_TYPE, 0, "x", 1);
		EXPECT_EQ(result, row.expected == B_OK ? 1 : row.expected)
			<< kind_name(row.kind) << " " << row.length;
	}

	ScopedTempDir temp;
	BNode node(make_node(temp, Kind::File).c_str());
	EXPECT_EQ(node.WriteAttr("beos.type.x", B_RAW_TYPE, 0, "x", 1), B_NOT_ALLOWED);
	EXPECT_EQ(node.WriteAttr("", B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(node.WriteAttr(nullptr, B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	BNode unset;
	EXPECT_EQ(unset.WriteAttr("a", B_RAW_TYPE, 0, "x", 1), B_FILE_ERROR);
}

TEST(BNode, RemoveTakesTheTypeAlong)
{
	for (Kind kind : { Kind::File, Kind::Link }) {
		ScopedTempDir temp;
		fs::path path = make_node(temp, kind);
		BNode node(path.c_str());
		ASSERT_EQ(node.WriteAttr("gone", B_INT32_TYPE, 0, "1234", 4), 4);
		EXPECT_EQ(node.RemoveAttr("gone"), B_OK);
		attr_info info;
		EXPECT_EQ(node.GetAttrInfo("gone", &info), B_ENTRY_NOT_FOUND);
		EXPECT_EQ(node.RemoveAttr("gone"), B_ENTRY_NOT_FOUND);
		fs::path holder = kind == Kind::Link ? temp.Path() : path;
		EXPECT_EQ(count_platform_names(holder), 0u) << kind_name(kind);
	}
}

TEST(BNode, RenameAttrKeepsBytesAndType)
{
	ScopedTempDir temp;
	BNode node(make_node(temp, Kind::File).c_str());
	ASSERT_EQ(node.WriteAttr("old", B_INT32_TYPE, 0, "1234", 4), 4);
	ASSERT_EQ(node.RenameAttr("old", "new"), B_OK);
	expect_attribute(node, "new", B_INT32_TYPE, { '1', '2', '3', '4' });
	EXPECT_EQ(attribute_names(node), std::set<std::string> { "new" });
}

TEST(BNode, LinkAttributesLiveInTheFolderAndStayHidden)
{
	ScopedTempDir temp;
	fs::path target = make_node(temp, Kind::File, "target");
	fs::path link = temp.Path() / "link";
	fs::create_symlink("target", link);

	BNode linkNode(link.c_str());
	ASSERT_TRUE(linkNode.IsSymLink());
	ASSERT_EQ(linkNode.WriteAttr("mark", B_STRING_TYPE, 0, "L", 1), 1);

	BNode targetNode(target.c_str());
	EXPECT_TRUE(attribute_names(targetNode).empty());
	BNode folder(temp.Path().c_str());
	EXPECT_TRUE(attribute_names(folder).empty());
	EXPECT_GT(count_platform_names(temp.Path()), 0u);

	ASSERT_EQ(targetNode.WriteAttr("own", B_STRING_TYPE, 0, "T", 1), 1);
	EXPECT_EQ(attribute_names(linkNode), std::set<std::string> { "mark" });
}

// The walk of a whole volume reads a link's attribute through the folder it holds open.
TEST(BNode, LinkAttributeReadsThroughTheOpenFolderAsThroughTheLink)
{
	ScopedTempDir temp;
	fs::path link = temp.Path() / "link";
	fs::create_symlink("target", link);
	const std::string value(300, 'v');
	BNode linkNode(link.c_str());
	ASSERT_EQ(linkNode.WriteAttr("mark", B_STRING_TYPE, 0, value.data(), value.size()),
		(ssize_t)value.size());

	struct statx info;
	ASSERT_EQ(
		statx(AT_FDCWD, link.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &info), 0);
	const bool birth = (info.stx_mask & STATX_BTIME) != 0;
	auto read_at = [&](const char* leaf, uint64 inode, void* buffer, size_t length) {
		int folder = open(temp.Path().c_str(), O_RDONLY | O_DIRECTORY);
		ssize_t read = BPrivate::attribute_store::ReadLinkAttrAt(folder, leaf, inode,
			birth ? info.stx_btime.tv_sec : 0, birth ? info.stx_btime.tv_nsec : 0, "mark", buffer,
			length);
		close(folder);
		return read;
	};
	char buffer[400];
	EXPECT_EQ(read_at("link", info.stx_ino, buffer, sizeof(buffer)), 300);
	EXPECT_EQ(std::string(buffer, 300), value);
	// A buffer shorter than the value gets its start, as BNode::ReadAttr gives it.
	EXPECT_EQ(read_at("link", info.stx_ino, buffer, 10), 10);
	// Another node under the link's name (a link made anew) has no attributes.
	EXPECT_EQ(read_at("link", info.stx_ino + 1, buffer, sizeof(buffer)), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(read_at("other", info.stx_ino, buffer, sizeof(buffer)), B_ENTRY_NOT_FOUND);
}

TEST(BNode, LinkAttributesFollowRenamesAndMoves)
{
	ScopedTempDir temp;
	fs::create_directory(temp.Path() / "other");
	fs::path link = temp.Path() / "link";
	fs::create_symlink("anything", link);
	std::vector<char> big = pattern(1000);
	{
		BNode node(link.c_str());
		ASSERT_EQ(node.WriteAttr("a", B_INT32_TYPE, 0, "1234", 4), 4);
		ASSERT_EQ(node.WriteAttr("b", B_RAW_TYPE, 0, big.data(), big.size()), 1000);
	}

	BEntry entry(link.c_str());
	ASSERT_EQ(entry.Rename("renamed"), B_OK);
	{
		BNode node((temp.Path() / "renamed").c_str());
		expect_attribute(node, "a", B_INT32_TYPE, { '1', '2', '3', '4' });
		expect_attribute(node, "b", B_RAW_TYPE, big);
	}

	BDirectory other((temp.Path() / "other").c_str());
	ASSERT_EQ(entry.MoveTo(&other), B_OK);
	{
		BNode node((temp.Path() / "other/renamed").c_str());
		expect_attribute(node, "a", B_INT32_TYPE, { '1', '2', '3', '4' });
		EXPECT_EQ(attribute_names(node), (std::set<std::string> { "a", "b" }));
	}
	EXPECT_EQ(count_platform_names(temp.Path()), 0u);

	// A new link under an old name starts without attributes.
	fs::create_symlink("anything", link);
	BNode fresh(link.c_str());
	EXPECT_TRUE(attribute_names(fresh).empty());

	ASSERT_EQ(entry.Remove(), B_OK);
	EXPECT_EQ(count_platform_names(temp.Path() / "other"), 0u);
}

TEST(BNode, LinkReplacedBehindTheKitsBackDropsItsAttributes)
{
	ScopedTempDir temp;
	fs::path link = temp.Path() / "link";
	fs::create_symlink("one", link);
	{
		BNode node(link.c_str());
		ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 0, "x", 1), 1);
	}
	// Removed and made again without the kit: the record names another node.
	fs::remove(link);
	fs::create_symlink("two", link);
	BNode node(link.c_str());
	attr_info info;
	EXPECT_EQ(node.GetAttrInfo("a", &info), B_ENTRY_NOT_FOUND);
	EXPECT_TRUE(attribute_names(node).empty());

	ASSERT_EQ(node.WriteAttr("b", B_RAW_TYPE, 0, "y", 1), 1);
	EXPECT_EQ(attribute_names(node), std::set<std::string> { "b" });
}

TEST(BNode, ClobberingRenameLeavesOnlyTheMovedLinksAttributes)
{
	ScopedTempDir temp;
	fs::create_symlink("x", temp.Path() / "a");
	fs::create_symlink("y", temp.Path() / "b");
	{
		BNode a((temp.Path() / "a").c_str());
		BNode b((temp.Path() / "b").c_str());
		ASSERT_EQ(a.WriteAttr("from-a", B_RAW_TYPE, 0, "1", 1), 1);
		ASSERT_EQ(b.WriteAttr("from-b", B_RAW_TYPE, 0, "2", 1), 1);
	}
	BEntry entry((temp.Path() / "a").c_str());
	ASSERT_EQ(entry.Rename("b", true), B_OK);
	BNode b((temp.Path() / "b").c_str());
	EXPECT_EQ(attribute_names(b), std::set<std::string> { "from-a" });

	// A file renamed over a link leaves no link bookkeeping behind.
	std::ofstream(temp.Path() / "file") << "f";
	BEntry file((temp.Path() / "file").c_str());
	ASSERT_EQ(file.Rename("b", true), B_OK);
	EXPECT_EQ(count_platform_names(temp.Path()), 0u);
}

TEST(BNode, OpensLinksAsThemselvesAndComparesNodes)
{
	ScopedTempDir temp;
	fs::path target = make_node(temp, Kind::File, "target");
	fs::create_symlink("target", temp.Path() / "link");

	BNode link((temp.Path() / "link").c_str());
	BNode file(target.c_str());
	BNode copy(file);
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_TRUE(file == copy);
	EXPECT_TRUE(file != link);

	BNode missing((temp.Path() / "missing").c_str());
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);

	// A node that cannot be read is still open for its stat (root reads anything, so
	// this only checks the fallback does not break ordinary nodes).
	fs::permissions(target, fs::perms::none);
	BNode locked(target.c_str());
	EXPECT_EQ(locked.InitCheck(), B_OK);
	EXPECT_TRUE(locked.IsFile());
}

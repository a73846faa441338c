// BPath: normalisation with and without the file system, leaves, parents, appending.
#include <Path.h>

#include <Directory.h>
#include <Entry.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct NormalizeRow {
	const char* path;
	const char* leaf;
	bool normalize;
	const char* expected;
};

// Paths below a folder that does not exist: clean-ups never need the file system.
const NormalizeRow kLexicalRows[] = {
	{ "/nowhere/a/b", nullptr, false, "/nowhere/a/b" },
	{ "/nowhere//a///b/", nullptr, false, "/nowhere/a/b" },
	{ "/nowhere/./a/b/.", nullptr, false, "/nowhere/a/b" },
	{ "/nowhere/a/../b", nullptr, false, "/nowhere/b" },
	{ "/nowhere/a/b/..", nullptr, false, "/nowhere/a" },
	{ "/nowhere/a", "b/c", false, "/nowhere/a/b/c" },
	{ "/nowhere/a", "../c", false, "/nowhere/c" },
	{ "/nowhere/a/b", nullptr, true, "/nowhere/a/b" },
	{ "/", nullptr, false, "/" },
	{ "//", nullptr, false, "/" },
	{ "/..", nullptr, false, "/" },
	{ "/.", nullptr, false, "/" },
	{ "/nowhere", "", false, "/nowhere" },
};

} // namespace

TEST(BPath, NormalizesLexicallyBelowMissingFolders)
{
	for (const NormalizeRow& row : kLexicalRows) {
		BPath path(row.path, row.leaf, row.normalize);
		ASSERT_EQ(path.InitCheck(), B_OK) << row.path;
		EXPECT_STREQ(path.Path(), row.expected) << row.path << " + " << (row.leaf ? row.leaf : "");
	}
}

TEST(BPath, ResolvesParentReferencesThroughLinksLikeTheKernel)
{
	ScopedTempDir temp;
	std::filesystem::create_directories(temp.Path() / "real/inner");
	std::filesystem::create_directory_symlink(temp.Path() / "real/inner", temp.Path() / "link");

	// "link/.." is the folder above the link's target, not the folder holding the link.
	BPath path((temp.Path() / "link/../x").c_str());
	ASSERT_EQ(path.InitCheck(), B_OK);
	std::string real = std::filesystem::canonical(temp.Path()).string();
	EXPECT_EQ(std::string(path.Path()), real + "/real/x");

	// Explicit normalisation resolves the links of the folder part; the leaf may be
	// missing.
	BPath normalized((temp.Path() / "link").c_str(), "missing", true);
	EXPECT_EQ(std::string(normalized.Path()), real + "/real/inner/missing");
}

TEST(BPath, RelativePathsStartAtTheWorkingDirectory)
{
	ScopedTempDir temp;
	std::string saved = std::filesystem::current_path();
	std::filesystem::current_path(temp.Path());
	BPath path("a/./b", nullptr, false);
	std::filesystem::current_path(saved);

	ASSERT_EQ(path.InitCheck(), B_OK);
	EXPECT_EQ(std::string(path.Path()), std::filesystem::canonical(temp.Path()).string() + "/a/b");
}

TEST(BPath, RejectsMissingAndAbsoluteLeaves)
{
	BPath path;
	EXPECT_EQ(path.InitCheck(), B_NO_INIT);
	EXPECT_EQ(path.Path(), nullptr);
	EXPECT_EQ(path.SetTo((const char*)nullptr), B_BAD_VALUE);
	EXPECT_EQ(path.SetTo("/a", "/b"), B_BAD_VALUE);
	EXPECT_EQ(path.InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(path.Append("x"), B_BAD_VALUE);
}

TEST(BPath, LeafParentAndAppend)
{
	BPath path("/one/two");
	EXPECT_STREQ(path.Leaf(), "two");
	ASSERT_EQ(path.Append("three/four"), B_OK);
	EXPECT_STREQ(path.Path(), "/one/two/three/four");

	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/one/two/three");
	ASSERT_EQ(path.GetParent(&path), B_OK);
	EXPECT_STREQ(path.Path(), "/one/two/three");

	BPath root("/");
	EXPECT_STREQ(root.Leaf(), "");
	EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(BPath, ComparesWithPathsAndStrings)
{
	BPath a("/x/y");
	BPath b("/x//y/");
	BPath unset;
	EXPECT_TRUE(a == b);
	EXPECT_TRUE(a == "/x/y");
	EXPECT_TRUE(a != "/x");
	EXPECT_TRUE(unset == (const char*)nullptr);
	EXPECT_TRUE(a != unset);
}

TEST(BPath, BuildsFromEntriesFoldersAndReferences)
{
	ScopedTempDir temp;
	std::filesystem::create_directory(temp.Path() / "folder");
	std::string real = std::filesystem::canonical(temp.Path()).string();

	BDirectory folder((temp.Path() / "folder").c_str());
	BPath fromFolder(&folder, "leaf");
	EXPECT_EQ(std::string(fromFolder.Path()), real + "/folder/leaf");

	BEntry entry((temp.Path() / "folder/missing").c_str());
	BPath fromEntry(&entry);
	EXPECT_EQ(std::string(fromEntry.Path()), real + "/folder/missing");

	entry_ref ref;
	ASSERT_EQ(entry.GetRef(&ref), B_OK);
	BPath fromRef(&ref);
	EXPECT_EQ(std::string(fromRef.Path()), real + "/folder/missing");
}

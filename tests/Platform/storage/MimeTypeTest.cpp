// BMimeType, its type database under User Settings, and the type recogniser
// (update_mime_info, GuessMimeType).
#include <MimeType.h>

#include <Node.h>
#include <NodeInfo.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string
type_attribute(const std::string& path)
{
	BNode node(path.c_str());
	char buffer[B_MIME_TYPE_LENGTH] = {};
	ssize_t length = node.ReadAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, buffer, sizeof(buffer) - 1);
	return length > 0 ? std::string(buffer) : std::string("<none>");
}

} // namespace

TEST(MimeType, ValidatesTypeStrings)
{
	const struct {
		const char* type;
		bool valid;
	} kCases[] = {
		{ "text/plain", true },
		{ "application/x-vnd.Be-elfexecutable", true },
		{ "text", true },
		{ "image/svg+xml", true },
		{ "", false },
		{ "/plain", false },
		{ "text/", false },
		{ "text/plain/extra", false },
		{ "text/pl ain", false },
		{ "text/pl@in", false },
		{ "text/..", false },
		{ "../etc", false },
		{ "text/pl\xc3\xa4in", false },
	};

	for (const auto& row : kCases) {
		SCOPED_TRACE(row.type);
		EXPECT_EQ(row.valid, BMimeType::IsValid(row.type));
		BMimeType type(row.type);
		EXPECT_EQ(row.valid ? B_OK : B_BAD_VALUE, type.InitCheck());
		EXPECT_EQ(row.valid, type.IsValid());
	}
	EXPECT_FALSE(BMimeType::IsValid(nullptr));
	std::string tooLong = "text/" + std::string(B_MIME_TYPE_LENGTH, 'a');
	EXPECT_FALSE(BMimeType::IsValid(tooLong.c_str()));
}

TEST(MimeType, SupertypesAndComparisons)
{
	BMimeType type("Text/X-Brimlow");
	EXPECT_FALSE(type.IsSupertypeOnly());
	BMimeType super;
	ASSERT_EQ(B_OK, type.GetSupertype(&super));
	EXPECT_STREQ("Text", super.Type());
	EXPECT_TRUE(super.IsSupertypeOnly());
	EXPECT_EQ(B_BAD_VALUE, super.GetSupertype(&type));

	EXPECT_TRUE(type == "text/x-brimlow");
	EXPECT_FALSE(type == "text/x-brimlo");
	BMimeType text("text");
	EXPECT_TRUE(text.Contains(&type));
	EXPECT_FALSE(type.Contains(&text));
	BMimeType image("image/png");
	EXPECT_FALSE(text.Contains(&image));
}

TEST(MimeType, PreferredAppLivesInTheTypeDatabase)
{
	ScopedSandbox sandbox;
	BMimeType type("text/X-Brimlow");
	EXPECT_FALSE(type.IsInstalled());
	char signature[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(B_ENTRY_NOT_FOUND, type.GetPreferredApp(signature));

	ASSERT_EQ(B_OK, type.SetPreferredApp("application/x-vnd.Quillfield.Brimlow"));
	EXPECT_TRUE(type.IsInstalled());
	std::filesystem::path file = sandbox.Home() / ".config/settings/beos_mime/text/x-brimlow";
	EXPECT_TRUE(std::filesystem::exists(file));

	BMimeType sameType("text/x-brimlow");
	ASSERT_EQ(B_OK, sameType.GetPreferredApp(signature));
	EXPECT_STREQ("application/x-vnd.Quillfield.Brimlow", signature);

	ASSERT_EQ(B_OK, sameType.SetShortDescription("Brimlow package"));
	char description[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, type.GetShortDescription(description));
	EXPECT_STREQ("Brimlow package", description);
	EXPECT_EQ(B_BAD_VALUE, type.SetShortDescription("two\nlines"));
	ASSERT_EQ(B_OK, type.GetPreferredApp(signature));
	EXPECT_STREQ("application/x-vnd.Quillfield.Brimlow", signature);

	// A supertype keeps its own record beside its subtypes.
	BMimeType super("text");
	ASSERT_EQ(B_OK, super.SetPreferredApp("application/x-vnd.Editor"));
	ASSERT_EQ(B_OK, type.GetPreferredApp(signature));
	EXPECT_STREQ("application/x-vnd.Quillfield.Brimlow", signature);

	EXPECT_EQ(B_OK, type.SetPreferredApp(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, type.GetPreferredApp(signature));
	EXPECT_EQ(B_BAD_VALUE, type.SetPreferredApp("not valid"));
	EXPECT_EQ(B_OK, type.Delete());
	EXPECT_FALSE(type.IsInstalled());
}

TEST(MimeType, GuessesTypesOfDataAndFiles)
{
	const unsigned char png[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I',
		'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0 };
	BMimeType result;
	ASSERT_EQ(B_OK, BMimeType::GuessMimeType(png, sizeof(png), &result));
	EXPECT_STREQ("image/png", result.Type());
	const char text[] = "Plain words in a line.\n";
	ASSERT_EQ(B_OK, BMimeType::GuessMimeType(text, sizeof(text) - 1, &result));
	EXPECT_STREQ("text/plain", result.Type());

	ASSERT_EQ(B_OK, BMimeType::GuessMimeType("/", &result));
	EXPECT_STREQ("application/x-vnd.Be-volume", result.Type());
	EXPECT_NE(B_OK, BMimeType::GuessMimeType("/no/such/entry", &result));
}

TEST(MimeType, UpdateMimeInfoTypesEveryKindOfEntry)
{
	ScopedTempDir dir;
	std::string folder = dir.Child("folder");
	std::filesystem::create_directory(folder);
	std::string text = folder + "/notes.txt";
	std::ofstream(text) << "Some plain words.\n";
	std::string program = folder + "/program";
	std::filesystem::copy_file("/bin/true", program);
	chmod(program.c_str(), 0755);
	std::string library = folder + "/not-executable";
	std::filesystem::copy_file("/bin/true", library);
	chmod(library.c_str(), 0644);
	std::string link = folder + "/link";
	symlink("notes.txt", link.c_str());
	std::string inner = folder + "/inner";
	std::filesystem::create_directory(inner);
	std::string deep = inner + "/deep.txt";
	std::ofstream(deep) << "Deeper words.\n";

	// Not recursive: only the folder itself.
	ASSERT_EQ(B_OK, update_mime_info(folder.c_str(), false, true, false));
	EXPECT_EQ("application/x-vnd.Be-directory", type_attribute(folder));
	EXPECT_EQ("<none>", type_attribute(text));

	ASSERT_EQ(B_OK, update_mime_info(folder.c_str(), true, true, false));
	EXPECT_EQ("text/plain", type_attribute(text));
	EXPECT_EQ("application/x-vnd.Be-elfexecutable", type_attribute(program));
	EXPECT_NE("application/x-vnd.Be-elfexecutable", type_attribute(library));
	EXPECT_EQ("application/x-vnd.Be-directory", type_attribute(inner));
	EXPECT_EQ("text/plain", type_attribute(deep));

	// A link gets its own type, kept where the platform keeps a link's attributes.
	BNode linkNode(link.c_str());
	BNodeInfo linkInfo(&linkNode);
	char type[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, linkInfo.GetType(type));
	EXPECT_STREQ("application/x-vnd.Be-symlink", type);
	attr_info info;
	EXPECT_EQ(B_OK, linkNode.GetAttrInfo("BEOS:TYPE", &info));

	// An existing type stays unless forced; a forced shorter type leaves nothing behind.
	BNode textNode(text.c_str());
	BNodeInfo textInfo(&textNode);
	ASSERT_EQ(B_OK, textInfo.SetType("text/x-brimlow-package"));
	ASSERT_EQ(B_OK, update_mime_info(text.c_str(), false, true, false));
	EXPECT_EQ("text/x-brimlow-package", type_attribute(text));
	ASSERT_EQ(B_OK, update_mime_info(text.c_str(), false, true, true));
	EXPECT_EQ("text/plain", type_attribute(text));
	ASSERT_EQ(B_OK, textNode.GetAttrInfo("BEOS:TYPE", &info));
	EXPECT_EQ(11, info.size);

	EXPECT_NE(B_OK, update_mime_info(dir.Child("missing").c_str(), false, true, false));
	EXPECT_EQ(B_BAD_VALUE, update_mime_info(nullptr, true, true, false));
}

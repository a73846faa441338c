// BNodeInfo: types, preferred applications and icons in attributes, the recogniser's
// fallback that writes nothing, and the icon the file manager shows for each kind of entry.
#include <NodeInfo.h>

#include "GenericIcons.h"

#include <AppFileInfo.h>
#include <Bitmap.h>
#include <Entry.h>
#include <File.h>
#include <Node.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string
make_text_file(const ScopedTempDir& dir, const char* name)
{
	std::string path = dir.Child(name);
	std::ofstream(path) << "Just some words.\n";
	return path;
}

std::vector<uint8>
icon_bits(const BBitmap& icon, icon_size which)
{
	std::vector<uint8> bits;
	for (int32 y = 0; y < which; y++) {
		const uint8* row = (const uint8*)icon.Bits() + y * icon.BytesPerRow();
		bits.insert(bits.end(), row, row + which);
	}
	return bits;
}

std::vector<uint8>
generic(BPrivate::generic_icon_kind kind, icon_size which)
{
	std::vector<uint8> bits((size_t)which * which);
	BPrivate::get_generic_icon(kind, which, bits.data());
	return bits;
}

std::vector<uint8>
tracker_icon(const std::string& path, icon_size which)
{
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return {};
	BBitmap icon(BRect(0, 0, which - 1, which - 1), B_CMAP8);
	if (BNodeInfo::GetTrackerIcon(&ref, &icon, which) != B_OK)
		return {};
	return icon_bits(icon, which);
}

} // namespace

TEST(NodeInfo, TypeAndPreferredAppRoundTrip)
{
	ScopedTempDir dir;
	std::string path = make_text_file(dir, "document.brim");
	BNode node(path.c_str());
	BNodeInfo info(&node);
	ASSERT_EQ(B_OK, info.InitCheck());

	EXPECT_EQ(B_OK, info.SetType("text/x-brimlow"));
	char type[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, info.GetType(type));
	EXPECT_STREQ("text/x-brimlow", type);
	// A shorter type replaces a longer one entirely.
	EXPECT_EQ(B_OK, info.SetType("text/x"));
	attr_info attr;
	ASSERT_EQ(B_OK, node.GetAttrInfo("BEOS:TYPE", &attr));
	EXPECT_EQ((uint32)B_MIME_STRING_TYPE, attr.type);
	EXPECT_EQ(7, attr.size);
	EXPECT_EQ(B_BAD_VALUE, info.SetType("no type"));

	char signature[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetPreferredApp(signature));
	EXPECT_EQ(B_OK, info.SetPreferredApp("application/x-vnd.Quillfield.Brimlow"));
	ASSERT_EQ(B_OK, info.GetPreferredApp(signature));
	EXPECT_STREQ("application/x-vnd.Quillfield.Brimlow", signature);
	EXPECT_EQ(B_OK, info.SetPreferredApp(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetPreferredApp(signature));

	BNodeInfo unset;
	EXPECT_EQ(B_NO_INIT, unset.InitCheck());
	EXPECT_EQ(B_NO_INIT, unset.GetType(type));
}

TEST(NodeInfo, GetTypeFallsBackToTheRecogniserWithoutWriting)
{
	ScopedTempDir dir;
	std::string text = make_text_file(dir, "notes");
	std::string folder = dir.Child("folder");
	std::filesystem::create_directory(folder);
	std::string program = dir.Child("program");
	std::filesystem::copy_file("/bin/true", program);
	chmod(program.c_str(), 0755);
	std::string link = dir.Child("link");
	symlink("notes", link.c_str());

	const struct {
		std::string path;
		const char* type;
	} kCases[] = {
		{ text, "text/plain" },
		{ folder, "application/x-vnd.Be-directory" },
		{ program, "application/x-vnd.Be-elfexecutable" },
		{ link, "application/x-vnd.Be-symlink" },
	};

	for (const auto& entry : kCases) {
		SCOPED_TRACE(entry.path);
		BNode node(entry.path.c_str());
		BNodeInfo info(&node);
		char type[B_MIME_TYPE_LENGTH];
		ASSERT_EQ(B_OK, info.GetType(type));
		EXPECT_STREQ(entry.type, type);
		attr_info attr;
		EXPECT_NE(B_OK, node.GetAttrInfo("BEOS:TYPE", &attr));
	}
}

TEST(NodeInfo, IconsRoundTripAndAreRemoved)
{
	ScopedTempDir dir;
	std::string path = make_text_file(dir, "picture");
	BNode node(path.c_str());
	BNodeInfo info(&node);
	for (icon_size which : { B_LARGE_ICON, B_MINI_ICON }) {
		SCOPED_TRACE(which);
		BBitmap icon(BRect(0, 0, which - 1, which - 1), B_CMAP8);
		EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetIcon(&icon, which));
		for (int32 i = 0; i < icon.BitsLength(); i++)
			((uint8*)icon.Bits())[i] = (uint8)i;
		ASSERT_EQ(B_OK, info.SetIcon(&icon, which));
		attr_info attr;
		ASSERT_EQ(B_OK,
			node.GetAttrInfo(which == B_LARGE_ICON ? "BEOS:L:STD_ICON" : "BEOS:M:STD_ICON", &attr));
		EXPECT_EQ((off_t)which * which, attr.size);
		EXPECT_EQ(which == B_LARGE_ICON ? (uint32)B_LARGE_ICON_TYPE : (uint32)B_MINI_ICON_TYPE,
			attr.type);

		BBitmap back(BRect(0, 0, which - 1, which - 1), B_CMAP8);
		ASSERT_EQ(B_OK, info.GetIcon(&back, which));
		EXPECT_EQ(icon_bits(icon, which), icon_bits(back, which));
		// Into another colour space through the system palette.
		BBitmap rgb(BRect(0, 0, which - 1, which - 1), B_RGB32);
		EXPECT_EQ(B_OK, info.GetIcon(&rgb, which));

		ASSERT_EQ(B_OK, info.SetIcon(nullptr, which));
		EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetIcon(&back, which));
	}
}

TEST(NodeInfo, TrackerIconFollowsTheKindOfEntry)
{
	ScopedTempDir dir;
	std::string text = make_text_file(dir, "notes");
	std::string folder = dir.Child("folder");
	std::filesystem::create_directory(folder);
	std::string link = dir.Child("link");
	symlink("notes", link.c_str());
	std::string program = dir.Child("program");
	std::filesystem::copy_file("/bin/true", program);
	chmod(program.c_str(), 0755);
	std::string iconic = dir.Child("iconic");
	std::filesystem::copy_file("/bin/true", iconic);
	chmod(iconic.c_str(), 0755);

	for (icon_size which : { B_LARGE_ICON, B_MINI_ICON }) {
		SCOPED_TRACE(which);
		EXPECT_EQ(generic(BPrivate::B_GENERIC_DOCUMENT_ICON, which), tracker_icon(text, which));
		EXPECT_EQ(generic(BPrivate::B_GENERIC_FOLDER_ICON, which), tracker_icon(folder, which));
		EXPECT_EQ(generic(BPrivate::B_GENERIC_LINK_ICON, which), tracker_icon(link, which));
		EXPECT_EQ(
			generic(BPrivate::B_GENERIC_APPLICATION_ICON, which), tracker_icon(program, which));
		EXPECT_EQ(generic(BPrivate::B_GENERIC_VOLUME_ICON, which), tracker_icon("/", which));

		// A program shows the icon in its resources.
		BBitmap own(BRect(0, 0, which - 1, which - 1), B_CMAP8);
		memset(own.Bits(), 42, own.BitsLength());
		{
			BFile file(iconic.c_str(), B_READ_WRITE);
			BAppFileInfo info(&file);
			ASSERT_EQ(B_OK, info.SetIcon(&own, which));
		}
		EXPECT_EQ(icon_bits(own, which), tracker_icon(iconic, which));

		// An entry's own icon attribute wins over everything.
		BNode node(folder.c_str());
		BNodeInfo info(&node);
		ASSERT_EQ(B_OK, info.SetIcon(&own, which));
		EXPECT_EQ(icon_bits(own, which), tracker_icon(folder, which));
		info.SetIcon(nullptr, which);
	}

	// The generic pictures differ from each other and use transparency.
	std::vector<uint8> folderIcon = generic(BPrivate::B_GENERIC_FOLDER_ICON, B_LARGE_ICON);
	EXPECT_NE(folderIcon, generic(BPrivate::B_GENERIC_DOCUMENT_ICON, B_LARGE_ICON));
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, folderIcon[0]);

	BBitmap wrongSize(BRect(0, 0, 15, 15), B_CMAP8);
	BNode node(text.c_str());
	BNodeInfo info(&node);
	EXPECT_EQ(B_BAD_VALUE, info.GetTrackerIcon(&wrongSize, B_LARGE_ICON));
}

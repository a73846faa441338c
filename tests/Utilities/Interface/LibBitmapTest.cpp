// LibBitmap: icon bits, the configuration's stored icons, the file manager's icons of a
// folder, a program and a link at both sizes, scaled copies, and the nearest palette colour.
#include "LibBitmap.h"

#include <Message.h>
#include <Palette.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

std::vector<uint8>
bytes_of(const BBitmap& bitmap)
{
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	return std::vector<uint8>(bits, bits + bitmap.BitsLength());
}

std::vector<uint8>
icon_of(const std::string& path, icon_size size)
{
	LibBitmap icon(BRect(0, 0, size - 1, size - 1), B_CMAP8);
	EXPECT_EQ(B_OK, icon.SetTo(path.c_str(), size)) << path;
	return bytes_of(icon);
}

} // namespace

TEST(LibBitmapTest, StoredIconsReadBackAndBrokenOnesDoNot)
{
	std::vector<uint8> bits(256);
	for (size_t i = 0; i < bits.size(); i++)
		bits[i] = (uint8)(i * 7 + 3);
	LibBitmap fromBits(BRect(0, 0, 15, 15), bits.data(), B_CMAP8);
	EXPECT_EQ(bits, bytes_of(fromBits));

	// The form the configuration stores a file icon in.
	BMessage stored;
	ASSERT_EQ(B_OK, fromBits.Archive(&stored));
	EXPECT_STREQ("LibBitmap", stored.FindString("class"));
	EXPECT_EQ(B_CMAP8, stored.FindInt32("_cspace"));
	EXPECT_EQ(16, stored.FindInt32("_rowbytes"));
	LibBitmap copy(&stored);
	ASSERT_EQ(B_OK, copy.InitCheck());
	EXPECT_EQ(BRect(0, 0, 15, 15), copy.Bounds());
	EXPECT_EQ(bits, bytes_of(copy));

	// A scaled copy takes the nearest pixels.
	std::unique_ptr<LibBitmap> half(copy.Thumbnail(8, 8));
	ASSERT_NE(nullptr, half);
	EXPECT_EQ(bits[2 * 16 * 3 + 2 * 5], ((const uint8*)half->Bits())[8 * 3 + 5]);
	EXPECT_EQ(nullptr, copy.Thumbnail(0, 8));

	stored.RemoveName("_data");
	stored.AddData("_data", B_RAW_TYPE, bits.data(), 100);
	EXPECT_NE(B_OK, LibBitmap(&stored).InitCheck());
}

TEST(LibBitmapTest, AFolderAProgramAndALinkHaveTheirOwnIconsAtBothSizes)
{
	ScopedTempDir folder;
	std::filesystem::create_directory(folder.Path() / "Docs");
	std::filesystem::copy_file("/bin/true", folder.Path() / "Demo");
	// The link points at the folder but shows as a link.
	std::filesystem::create_directory_symlink(folder.Path() / "Docs", folder.Path() / "link");

	for (icon_size size : { B_MINI_ICON, B_LARGE_ICON }) {
		std::vector<uint8> icons[] = { icon_of(folder.Child("Docs"), size),
			icon_of(folder.Child("Demo"), size), icon_of(folder.Child("link"), size) };
		for (int i = 0; i < 3; i++) {
			EXPECT_NE(std::vector<uint8>(icons[i].size(), icons[i][0]), icons[i]) << i;
			EXPECT_NE(icons[i], icons[(i + 1) % 3]) << size << " " << i;
		}
	}
	LibBitmap wrongSize(BRect(0, 0, 31, 31), B_CMAP8);
	EXPECT_EQ(B_BAD_VALUE, wrongSize.SetTo(folder.Child("Docs").c_str(), B_MINI_ICON));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, wrongSize.SetTo(folder.Child("gone").c_str(), B_LARGE_ICON));
}

TEST(LibBitmapTest, TheNearestSystemColourIsAPaletteColour)
{
	for (rgb_color color : { rgb_color { 255, 255, 203, 255 }, rgb_color { 97, 130, 109, 255 } }) {
		rgb_color nearest = lib_nearest_system_color(color);
		EXPECT_EQ(nearest, color_for_index(index_for_color(nearest)));
		EXPECT_EQ(nearest, lib_nearest_system_color(nearest.red, nearest.green, nearest.blue));
		EXPECT_LE(abs(nearest.blue - color.blue), 40);
	}
	EXPECT_EQ((rgb_color { 0, 0, 0, 255 }), lib_nearest_system_color(0, 0, 0));
}

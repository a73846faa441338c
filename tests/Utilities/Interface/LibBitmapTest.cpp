// LibBitmap: bitmaps from raw icon bits and from archives (the configuration's stored icons
// among them), the file manager's icons of a folder, a program and a link at both sizes,
// scaled copies, and the nearest colour of the system palette.
#include "LibBitmap.h"

#include <Entry.h>
#include <Message.h>
#include <Node.h>
#include <Palette.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
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
numbered_bytes(size_t length)
{
	std::vector<uint8> bytes(length);
	for (size_t i = 0; i < length; i++)
		bytes[i] = (uint8)(i * 7 + 3);
	return bytes;
}

std::vector<uint8>
icon_of(const char* path, icon_size size, color_space space = B_CMAP8)
{
	LibBitmap icon(BRect(0, 0, size - 1, size - 1), space);
	EXPECT_EQ(B_OK, icon.SetTo(path, size)) << path;
	return bytes_of(icon);
}

} // namespace

TEST(LibBitmapTest, IconBitsFillTheBitmapRowByRow)
{
	const int32 sizes[] = { 16, 32 };
	for (int32 size : sizes) {
		std::vector<uint8> bits = numbered_bytes(size * size);
		LibBitmap bitmap(BRect(0, 0, size - 1, size - 1), bits.data(), B_CMAP8);
		ASSERT_EQ(B_OK, bitmap.InitCheck());
		EXPECT_EQ(bits, bytes_of(bitmap)) << size;
	}

	// No bits: an empty bitmap.
	LibBitmap empty(BRect(0, 0, 15, 15), NULL, B_CMAP8);
	EXPECT_EQ(std::vector<uint8>(256, 0), bytes_of(empty));
}

TEST(LibBitmapTest, AnArchiveRebuildsTheSameBitmapUnderItsOwnClassName)
{
	std::vector<uint8> bits = numbered_bytes(256);
	LibBitmap original(BRect(0, 0, 15, 15), bits.data(), B_CMAP8);
	BMessage archive;
	ASSERT_EQ(B_OK, original.Archive(&archive));
	EXPECT_STREQ("LibBitmap", archive.FindString("class"));

	LibBitmap copy(&archive);
	ASSERT_EQ(B_OK, copy.InitCheck());
	EXPECT_EQ(BRect(0, 0, 15, 15), copy.Bounds());
	EXPECT_EQ(B_CMAP8, copy.ColorSpace());
	EXPECT_EQ(bits, bytes_of(copy));
}

TEST(LibBitmapTest, AStoredSmallIconReadsBackAndABrokenOneDoesNot)
{
	// A file icon as the configuration stores it.
	std::vector<uint8> bits = numbered_bytes(256);
	BMessage stored;
	stored.AddString("class", "LibBitmap");
	stored.AddRect("_frame", BRect(0, 0, 15, 15));
	stored.AddInt32("_cspace", 4);
	stored.AddInt32("_bmflags", 1);
	stored.AddInt32("_rowbytes", 16);
	stored.AddData("_data", B_RAW_TYPE, bits.data(), 256);
	LibBitmap icon(&stored);
	ASSERT_EQ(B_OK, icon.InitCheck());
	EXPECT_EQ(bits, bytes_of(icon));

	BMessage shortData(stored);
	shortData.RemoveName("_data");
	shortData.AddData("_data", B_RAW_TYPE, bits.data(), 100);
	EXPECT_NE(B_OK, LibBitmap(&shortData).InitCheck());
	LibBitmap none((BMessage*)NULL);
	EXPECT_NE(B_OK, none.InitCheck());
}

TEST(LibBitmapTest, AFolderAProgramAndALinkHaveTheirOwnIconsAtBothSizes)
{
	ScopedTempDir folder;
	std::filesystem::create_directory(folder.Path() / "Docs");
	std::string program = folder.Child("Demo");
	std::filesystem::copy_file("/bin/true", program);
	std::filesystem::permissions(
		program, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
	// The link points at the folder but shows as a link.
	std::filesystem::create_directory_symlink(folder.Path() / "Docs", folder.Path() / "Docs link");
	std::ofstream(folder.Child("notes.txt")) << "plain text\n";

	const icon_size sizes[] = { B_MINI_ICON, B_LARGE_ICON };
	for (icon_size size : sizes) {
		std::vector<uint8> folderIcon = icon_of(folder.Child("Docs").c_str(), size);
		std::vector<uint8> programIcon = icon_of(program.c_str(), size);
		std::vector<uint8> linkIcon = icon_of(folder.Child("Docs link").c_str(), size);
		std::vector<uint8> documentIcon = icon_of(folder.Child("notes.txt").c_str(), size);
		const std::vector<uint8> blank(folderIcon.size(), folderIcon[0]);
		EXPECT_NE(blank, folderIcon) << size;
		EXPECT_NE(folderIcon, programIcon) << size;
		EXPECT_NE(folderIcon, linkIcon) << size;
		EXPECT_NE(programIcon, linkIcon) << size;
		EXPECT_NE(documentIcon, folderIcon) << size;
	}

	// Another colour space gets the same icon, converted through the palette.
	std::vector<uint8> mapped = icon_of(folder.Child("Docs").c_str(), B_LARGE_ICON);
	std::vector<uint8> rgb = icon_of(folder.Child("Docs").c_str(), B_LARGE_ICON, B_RGB32);
	for (size_t i = 0; i < mapped.size(); i += 37) {
		if (mapped[i] == B_TRANSPARENT_MAGIC_CMAP8)
			continue;
		rgb_color color = color_for_index(mapped[i]);
		EXPECT_EQ(color.blue, rgb[i * 4 + 0]) << i;
		EXPECT_EQ(color.green, rgb[i * 4 + 1]) << i;
		EXPECT_EQ(color.red, rgb[i * 4 + 2]) << i;
	}
}

TEST(LibBitmapTest, IconsNeedAnExistingEntryAndABitmapOfTheirSize)
{
	ScopedTempDir folder;
	LibBitmap large(BRect(0, 0, 31, 31), B_CMAP8);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, large.SetTo(folder.Child("missing").c_str(), B_LARGE_ICON));
	EXPECT_EQ(B_BAD_VALUE, large.SetTo((const char*)NULL, B_LARGE_ICON));
	EXPECT_EQ(B_BAD_VALUE, large.SetTo(folder.Path().c_str(), B_MINI_ICON));
	BNode node(folder.Path().c_str());
	EXPECT_EQ(B_OK, large.SetTo(node, B_LARGE_ICON));
	BEntry entry(folder.Path().c_str());
	EXPECT_EQ(B_OK, large.SetTo(entry, B_LARGE_ICON));
}

TEST(LibBitmapTest, AThumbnailTakesTheNearestPixels)
{
	struct Row {
		color_space space;
		int32 bytesPerPixel;
	};

	const Row rows[] = { { B_CMAP8, 1 }, { B_RGB16, 2 }, { B_RGB32, 4 } };
	for (const Row& row : rows) {
		// A 4 × 4 bitmap whose every pixel holds its own number.
		LibBitmap source(BRect(0, 0, 3, 3), row.space);
		uint8* bits = static_cast<uint8*>(source.Bits());
		for (int32 y = 0; y < 4; y++) {
			for (int32 x = 0; x < 4; x++)
				memset(bits + y * source.BytesPerRow() + x * row.bytesPerPixel, y * 4 + x + 1,
					row.bytesPerPixel);
		}
		std::unique_ptr<LibBitmap> half(source.Thumbnail(2, 2));
		ASSERT_NE(nullptr, half);
		EXPECT_EQ(BRect(0, 0, 1, 1), half->Bounds());
		const uint8* small = static_cast<const uint8*>(half->Bits());
		const int32 expected[2][2] = { { 1, 3 }, { 9, 11 } };
		for (int32 y = 0; y < 2; y++) {
			for (int32 x = 0; x < 2; x++) {
				EXPECT_EQ(expected[y][x], small[y * half->BytesPerRow() + x * row.bytesPerPixel])
					<< row.space << " " << x << "," << y;
			}
		}
		std::unique_ptr<LibBitmap> doubled(source.Thumbnail(8, 8));
		ASSERT_NE(nullptr, doubled);
		EXPECT_EQ(16,
			((const uint8*)doubled->Bits())[7 * doubled->BytesPerRow() + 7 * row.bytesPerPixel]);
		EXPECT_EQ(nullptr, source.Thumbnail(0, 5));
	}
}

TEST(LibBitmapTest, TheNearestSystemColourIsAPaletteColour)
{
	const rgb_color colors[] = {
		{ 0, 0, 0, 255 },
		{ 255, 255, 255, 255 },
		{ 128, 128, 128, 255 },
		{ 255, 255, 203, 255 },
		{ 97, 130, 109, 255 },
		{ 215, 230, 255, 255 },
	};
	for (const rgb_color& color : colors) {
		rgb_color nearest = lib_nearest_system_color(color);
		// A palette colour is its own nearest colour.
		rgb_color again = lib_nearest_system_color(nearest.red, nearest.green, nearest.blue);
		EXPECT_EQ(nearest, again);
		EXPECT_EQ(nearest, color_for_index(index_for_color(nearest)));
		EXPECT_LE(abs(nearest.red - color.red), 40) << (int)color.red;
		EXPECT_LE(abs(nearest.green - color.green), 40);
		EXPECT_LE(abs(nearest.blue - color.blue), 40);
	}
	EXPECT_EQ((rgb_color { 0, 0, 0, 255 }), lib_nearest_system_color(0, 0, 0));
	EXPECT_EQ((rgb_color { 255, 255, 255, 255 }), lib_nearest_system_color(255, 255, 255));
}

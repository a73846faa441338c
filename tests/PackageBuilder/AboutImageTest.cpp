#include "AboutImage.h"

#include "TempDir.h"

#include <Bitmap.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

// A B_RGB32 picture of the given size, one colour, saved as PNG through an archive.
std::string
save_picture(const ScopedTempDir& folder, const char* name, int width, int height, uint8 blue,
	uint8 green, uint8 red)
{
	BBitmap bitmap(BRect(0, 0, width - 1, height - 1), B_RGB32);
	uint8* bits = static_cast<uint8*>(bitmap.Bits());
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			uint8* pixel = bits + y * bitmap.BytesPerRow() + x * 4;
			pixel[0] = blue;
			pixel[1] = green;
			pixel[2] = red;
			pixel[3] = 255;
		}
	}
	BMessage archive;
	EXPECT_EQ(bitmap.Archive(&archive), B_OK);
	std::string path = folder.Child(name);
	EXPECT_EQ(SaveArchivedImage(archive, path), B_OK);
	return path;
}

const uint8*
pixel_at(const BBitmap& bitmap, int x, int y)
{
	return static_cast<const uint8*>(bitmap.Bits()) + y * bitmap.BytesPerRow() + x * 4;
}

} // namespace

TEST(AboutImage, APictureOfTheRightSizeIsKeptExactly)
{
	ScopedTempDir folder;
	std::string path = save_picture(folder, "exact.png", 150, 200, 10, 20, 30);
	BMessage archive;
	std::string error;
	ASSERT_EQ(ArchiveAboutImage(path, archive, error), B_OK) << error;

	BBitmap bitmap(&archive);
	ASSERT_EQ(bitmap.InitCheck(), B_OK);
	EXPECT_EQ(bitmap.Bounds(), BRect(0, 0, 149, 199));
	EXPECT_EQ(bitmap.ColorSpace(), B_RGB32);
	for (auto [x, y] : { std::pair { 0, 0 }, { 149, 199 }, { 75, 100 } }) {
		const uint8* pixel = pixel_at(bitmap, x, y);
		EXPECT_EQ(pixel[0], 10);
		EXPECT_EQ(pixel[1], 20);
		EXPECT_EQ(pixel[2], 30);
	}
}

TEST(AboutImage, AWidePictureIsScaledToFitAndCentredOnWhite)
{
	ScopedTempDir folder;
	// 300×100 scales to 150×50, placed 75 rows down.
	std::string path = save_picture(folder, "wide.png", 300, 100, 200, 0, 0);
	BMessage archive;
	std::string error;
	ASSERT_EQ(ArchiveAboutImage(path, archive, error), B_OK) << error;
	BBitmap bitmap(&archive);
	ASSERT_EQ(bitmap.InitCheck(), B_OK);
	EXPECT_EQ(bitmap.Bounds(), BRect(0, 0, 149, 199));
	const uint8* top = pixel_at(bitmap, 75, 10);
	EXPECT_EQ(top[0], 255);
	EXPECT_EQ(top[1], 255);
	EXPECT_EQ(top[2], 255);
	const uint8* middle = pixel_at(bitmap, 75, 100);
	EXPECT_EQ(middle[0], 200);
	EXPECT_EQ(middle[2], 0);
	const uint8* bottom = pixel_at(bitmap, 75, 190);
	EXPECT_EQ(bottom[1], 255);
}

TEST(AboutImage, AFileThatIsNoPictureGivesAReason)
{
	ScopedTempDir folder;
	std::string path = folder.Child("notes.png");
	std::ofstream(path) << "not a picture";
	BMessage archive;
	std::string error;
	EXPECT_EQ(ArchiveAboutImage(path, archive, error), B_BAD_DATA);
	EXPECT_FALSE(error.empty());
	EXPECT_EQ(ArchiveAboutImage(folder.Child("absent.png"), archive, error), B_BAD_DATA);
}

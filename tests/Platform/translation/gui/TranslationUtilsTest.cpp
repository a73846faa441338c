// BTranslationUtils::GetBitmap: pictures written by Qt's own writers come back as bitmaps
// of their size with their pixels.
#include <Bitmap.h>
#include <Entry.h>
#include <TranslationUtils.h>

#include "TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// A picture with a distinct colour in its top left quarter, so row order and colour
// channels both show.
QImage
test_image(int width, int height)
{
	QImage image(width, height, QImage::Format_RGB32);
	image.fill(qRgb(0, 0, 255));
	for (int y = 0; y < height / 2; y++) {
		for (int x = 0; x < width / 2; x++)
			image.setPixel(x, y, qRgb(255, 0, 0));
	}
	return image;
}

// The B_RGBA32 pixel at x, y as blue, green, red.
void
pixel_at(const BBitmap& bitmap, int x, int y, int& blue, int& green, int& red)
{
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits()) + y * bitmap.BytesPerRow() + x * 4;
	blue = bits[0];
	green = bits[1];
	red = bits[2];
}

} // namespace

TEST(TranslationUtilsTest, PngAndJpegLoadAtTheirSize)
{
	ScopedTempDir dir;

	struct Row {
		const char* file;
		const char* format;
		int width;
		int height;
	} rows[] = {
		{ "picture.png", "PNG", 37, 21 },
		{ "photo.jpg", "JPEG", 64, 48 },
		{ "misnamed.dat", "PNG", 5, 9 },
	};

	for (const Row& row : rows) {
		const std::string path = (dir.Path() / row.file).string();
		ASSERT_TRUE(
			test_image(row.width, row.height).save(QString::fromStdString(path), row.format))
			<< row.file;
		BBitmap* bitmap = BTranslationUtils::GetBitmap(path.c_str());
		ASSERT_NE(nullptr, bitmap) << row.file;
		EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());
		EXPECT_EQ(BRect(0, 0, row.width - 1, row.height - 1), bitmap->Bounds()) << row.file;
		int blue, green, red;
		pixel_at(*bitmap, 1, 1, blue, green, red);
		EXPECT_GT(red, 200) << row.file;
		EXPECT_LT(blue, 60) << row.file;
		pixel_at(*bitmap, row.width - 2, row.height - 2, blue, green, red);
		EXPECT_GT(blue, 200) << row.file;
		EXPECT_LT(red, 60) << row.file;
		delete bitmap;
	}
}

TEST(TranslationUtilsTest, AnEntryRefLoadsTheSamePicture)
{
	ScopedTempDir dir;
	const std::string path = (dir.Path() / "ref.png").string();
	ASSERT_TRUE(test_image(12, 7).save(QString::fromStdString(path), "PNG"));
	entry_ref ref;
	ASSERT_EQ(B_OK, BEntry(path.c_str()).GetRef(&ref));
	BBitmap* bitmap = BTranslationUtils::GetBitmap(&ref);
	ASSERT_NE(nullptr, bitmap);
	EXPECT_EQ(BRect(0, 0, 11, 6), bitmap->Bounds());
	delete bitmap;
}

TEST(TranslationUtilsTest, WhatIsNoPictureGivesNoBitmap)
{
	ScopedTempDir dir;
	const std::string text = (dir.Path() / "notes.png").string();
	std::ofstream(text) << "not a picture at all";
	const std::string missing = (dir.Path() / "missing.png").string();
	EXPECT_EQ(nullptr, BTranslationUtils::GetBitmap(text.c_str()));
	EXPECT_EQ(nullptr, BTranslationUtils::GetBitmap(missing.c_str()));
	EXPECT_EQ(nullptr, BTranslationUtils::GetBitmap(static_cast<const char*>(nullptr)));
	EXPECT_EQ(nullptr, BTranslationUtils::GetBitmap(static_cast<const entry_ref*>(nullptr)));
	EXPECT_EQ(nullptr, BTranslationUtils::GetBitmapFile(""));
}

#include <Bitmap.h>

#include <Message.h>
#include <Palette.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<uint8>
Pattern(size_t length)
{
	std::vector<uint8> bytes(length);
	for (size_t i = 0; i < length; i++)
		bytes[i] = uint8(i * 7 + 3);
	return bytes;
}

void
FillPattern(BBitmap& bitmap)
{
	std::vector<uint8> bytes = Pattern(size_t(bitmap.BitsLength()));
	memcpy(bitmap.Bits(), bytes.data(), bytes.size());
}

// A well-formed archive of a colour-mapped 16 x 16 icon, as the package's file icons are
// stored.
void
MakeIconArchive(BMessage& archive, const char* className = "LibBitmap")
{
	std::vector<uint8> data = Pattern(256);
	archive.AddString("class", className);
	archive.AddRect("_frame", BRect(0, 0, 15, 15));
	archive.AddInt32("_cspace", B_CMAP8);
	archive.AddInt32("_bmflags", 1);
	archive.AddInt32("_rowbytes", 16);
	archive.AddData("_data", B_RAW_TYPE, data.data(), ssize_t(data.size()));
}

} // namespace

class DerivedBitmap : public BBitmap {
public:
	DerivedBitmap() :
		BBitmap(BRect(0, 0, 1, 1), B_CMAP8)
	{
	}
};

TEST(Bitmap, RowBytesArePaddedToFourBytes)
{
	const struct {
		color_space space;
		int32 width;
		int32 rowBytes;
	} rows[] = {
		{ B_CMAP8, 1, 4 },
		{ B_CMAP8, 4, 4 },
		{ B_CMAP8, 5, 8 },
		{ B_CMAP8, 16, 16 },
		{ B_CMAP8, 17, 20 },
		{ B_GRAY8, 5, 8 },
		{ B_GRAY1, 1, 4 },
		{ B_GRAY1, 32, 4 },
		{ B_GRAY1, 33, 8 },
		{ B_RGB16, 3, 8 },
		{ B_RGB15, 2, 4 },
		{ B_RGB24, 1, 4 },
		{ B_RGB24, 3, 12 },
		{ B_RGB32, 3, 12 },
		{ B_RGBA32, 150, 600 },
		{ B_YCbCr422, 4, -1 },
		{ B_NO_COLOR_SPACE, 4, -1 },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.rowBytes, BBitmap::RowBytesFor(row.space, row.width))
			<< "space " << row.space << " width " << row.width;
	}

	BBitmap bitmap(BRect(0, 0, 9, 4), B_CMAP8);
	ASSERT_EQ(B_OK, bitmap.InitCheck());
	EXPECT_TRUE(bitmap.IsValid());
	EXPECT_EQ(12, bitmap.BytesPerRow());
	EXPECT_EQ(60, bitmap.BitsLength());
	EXPECT_EQ(BRect(0, 0, 9, 4), bitmap.Bounds());
	EXPECT_EQ(B_CMAP8, bitmap.ColorSpace());
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	for (int32 i = 0; i < bitmap.BitsLength(); i++)
		ASSERT_EQ(0, bits[i]) << "byte " << i;

	BBitmap wide(BRect(10, 20, 12.5f, 20), B_RGB32);
	ASSERT_EQ(B_OK, wide.InitCheck());
	EXPECT_EQ(16, wide.BytesPerRow()) << "a fractional width rounds up";
	EXPECT_EQ(16, wide.BitsLength());
}

TEST(Bitmap, ImpossibleBitmapsFailWithoutBits)
{
	const struct {
		const char* what;
		BRect bounds;
		color_space space;
	} rows[] = {
		{ "inverted rectangle", BRect(0, 0, -1, 5), B_CMAP8 },
		{ "no colour space", BRect(0, 0, 3, 3), B_NO_COLOR_SPACE },
		{ "non-linear colour space", BRect(0, 0, 3, 3), B_YUV422 },
		{ "not a number", BRect(0, 0, NAN, 3), B_RGB32 },
		{ "infinite", BRect(0, 0, INFINITY, 3), B_RGB32 },
		{ "absurdly wide", BRect(0, 0, 1e9f, 0), B_RGB32 },
		{ "over two gigabytes", BRect(0, 0, 40000, 40000), B_RGB32 },
	};

	for (const auto& row : rows) {
		BBitmap bitmap(row.bounds, row.space);
		EXPECT_NE(B_OK, bitmap.InitCheck()) << row.what;
		EXPECT_FALSE(bitmap.IsValid()) << row.what;
		EXPECT_EQ(nullptr, bitmap.Bits()) << row.what;
		EXPECT_EQ(0, bitmap.BitsLength()) << row.what;
		BMessage archive;
		EXPECT_NE(B_OK, bitmap.Archive(&archive)) << row.what;
	}

	BBitmap tooNarrow(BRect(0, 0, 9, 0), 0, B_RGB32, 36);
	EXPECT_EQ(B_BAD_VALUE, tooNarrow.InitCheck());
	BBitmap padded(BRect(0, 0, 9, 1), 0, B_RGB32, 48);
	ASSERT_EQ(B_OK, padded.InitCheck());
	EXPECT_EQ(48, padded.BytesPerRow());
	EXPECT_EQ(96, padded.BitsLength());
}

TEST(Bitmap, ClearToWhiteFillsEveryPixelWithWhite)
{
	BBitmap mapped(BRect(0, 0, 2, 1), B_BITMAP_CLEAR_TO_WHITE, B_CMAP8);
	ASSERT_EQ(B_OK, mapped.InitCheck());
	const uint8* bits = static_cast<const uint8*>(mapped.Bits());
	for (int32 y = 0; y < 2; y++) {
		for (int32 x = 0; x < 3; x++)
			EXPECT_EQ(63, bits[y * mapped.BytesPerRow() + x]);
	}

	BBitmap direct(BRect(0, 0, 0, 0), B_BITMAP_CLEAR_TO_WHITE, B_RGB32);
	ASSERT_EQ(B_OK, direct.InitCheck());
	EXPECT_EQ(0xffffffffu, *static_cast<const uint32*>(direct.Bits()));
}

TEST(Bitmap, ArchiveRoundTripKeepsGeometryFlagsAndBits)
{
	const struct {
		BRect bounds;
		color_space space;
		bool acceptsViews;
	} rows[] = {
		{ BRect(0, 0, 31, 31), B_CMAP8, false },
		{ BRect(0, 0, 14, 2), B_CMAP8, true },
		{ BRect(5, 5, 9, 7), B_RGB32, false },
		{ BRect(0, 0, 149, 199), B_RGB32, true },
		{ BRect(0, 0, 40, 3), B_GRAY1, false },
	};

	for (const auto& row : rows) {
		BBitmap original(row.bounds, row.space, row.acceptsViews);
		ASSERT_EQ(B_OK, original.InitCheck());
		FillPattern(original);

		BMessage archive;
		ASSERT_EQ(B_OK, original.Archive(&archive, true));
		EXPECT_STREQ("BBitmap", archive.FindString("class"));
		EXPECT_EQ(row.bounds, archive.FindRect("_frame"));
		EXPECT_EQ(int32(row.space), archive.FindInt32("_cspace"));
		EXPECT_EQ(original.BytesPerRow(), archive.FindInt32("_rowbytes"));
		EXPECT_EQ(row.acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0, archive.FindInt32("_bmflags"));
		const void* data = nullptr;
		ssize_t size = 0;
		ASSERT_EQ(B_OK, archive.FindData("_data", B_RAW_TYPE, &data, &size));
		EXPECT_EQ(original.BitsLength(), size);

		// Through the flattened form as well, as resources carry it.
		ssize_t flatSize = archive.FlattenedSize();
		ASSERT_GT(flatSize, 0);
		std::vector<char> flat(size_t(flatSize), '\0');
		ASSERT_EQ(B_OK, archive.Flatten(flat.data(), flatSize));
		BMessage unflattened;
		ASSERT_EQ(B_OK, unflattened.Unflatten(flat.data(), flatSize));

		BBitmap copy(&unflattened);
		ASSERT_EQ(B_OK, copy.InitCheck());
		EXPECT_EQ(row.bounds, copy.Bounds());
		EXPECT_EQ(row.space, copy.ColorSpace());
		EXPECT_EQ(original.Flags(), copy.Flags());
		EXPECT_EQ(original.BytesPerRow(), copy.BytesPerRow());
		ASSERT_EQ(original.BitsLength(), copy.BitsLength());
		EXPECT_EQ(0, memcmp(original.Bits(), copy.Bits(), size_t(copy.BitsLength())));

		std::unique_ptr<BBitmap> instantiated(BBitmap::Instantiate(&archive));
		ASSERT_NE(nullptr, instantiated);
		EXPECT_EQ(0, memcmp(original.Bits(), instantiated->Bits(), size_t(copy.BitsLength())));
	}
}

TEST(Bitmap, ArchiveNamesTheObjectsOwnClass)
{
	DerivedBitmap bitmap;
	BMessage archive;
	ASSERT_EQ(B_OK, bitmap.Archive(&archive));
	EXPECT_STREQ("DerivedBitmap", archive.FindString("class"));
}

TEST(Bitmap, AcceptsIconArchivesAndTheirVariants)
{
	BMessage icon;
	MakeIconArchive(icon);
	BBitmap fromIcon(&icon);
	ASSERT_EQ(B_OK, fromIcon.InitCheck());
	EXPECT_EQ(16, fromIcon.BytesPerRow());
	EXPECT_EQ(uint32(B_BITMAP_CLEAR_TO_WHITE), fromIcon.Flags());
	std::vector<uint8> expected = Pattern(256);
	EXPECT_EQ(0, memcmp(expected.data(), fromIcon.Bits(), expected.size()))
		<< "archived data must not be cleared to white";
	EXPECT_EQ(nullptr, BBitmap::Instantiate(&icon)) << "the archive names another class";

	// "_data" as a variable-size field, longer than needed, without "_rowbytes".
	BMessage variable;
	std::vector<uint8> data = Pattern(300);
	variable.AddRect("_frame", BRect(0, 0, 15, 15));
	variable.AddInt32("_cspace", B_CMAP8);
	variable.AddData("_data", B_RAW_TYPE, data.data(), ssize_t(data.size()), false);
	BBitmap fromVariable(&variable);
	ASSERT_EQ(B_OK, fromVariable.InitCheck());
	EXPECT_EQ(256, fromVariable.BitsLength());
	EXPECT_EQ(0, memcmp(data.data(), fromVariable.Bits(), 256));

	// Older archives carry two booleans instead of the flags.
	BMessage older;
	older.AddRect("_frame", BRect(0, 0, 3, 3));
	older.AddInt32("_cspace", B_RGB32);
	older.AddBool("_view_ok", true);
	older.AddBool("_continguous", false);
	older.AddData("_data", B_RAW_TYPE, data.data(), 64);
	BBitmap fromOlder(&older);
	ASSERT_EQ(B_OK, fromOlder.InitCheck());
	EXPECT_EQ(uint32(B_BITMAP_ACCEPTS_VIEWS), fromOlder.Flags());
}

TEST(Bitmap, MalformedArchivesAreRefused)
{
	std::vector<uint8> data = Pattern(256);

	const struct {
		const char* what;
		void (*damage)(BMessage&);
	} rows[] = {
		{ "no frame", [](BMessage& m) { m.RemoveName("_frame"); } },
		{ "no colour space", [](BMessage& m) { m.RemoveName("_cspace"); } },
		{ "no data", [](BMessage& m) { m.RemoveName("_data"); } },
		{ "frame of the wrong type",
			[](BMessage& m) {
				m.RemoveName("_frame");
				m.AddString("_frame", "0,0,15,15");
			} },
		{ "unknown colour space", [](BMessage& m) { m.ReplaceInt32("_cspace", 0x7777); } },
		{ "data one byte short",
			[](BMessage& m) {
				std::vector<uint8> shortData = Pattern(255);
				m.RemoveName("_data");
				m.AddData("_data", B_RAW_TYPE, shortData.data(), 255);
			} },
		{ "row bytes too small", [](BMessage& m) { m.ReplaceInt32("_rowbytes", 12); } },
		{ "row bytes zero", [](BMessage& m) { m.ReplaceInt32("_rowbytes", 0); } },
		{ "row bytes negative", [](BMessage& m) { m.ReplaceInt32("_rowbytes", -16); } },
		{ "row bytes beyond the data", [](BMessage& m) { m.ReplaceInt32("_rowbytes", 1 << 30); } },
		{ "inverted frame", [](BMessage& m) { m.ReplaceRect("_frame", BRect(0, 0, -5, 15)); } },
		{ "frame not a number",
			[](BMessage& m) { m.ReplaceRect("_frame", BRect(0, 0, NAN, 15)); } },
		{ "huge frame with small data",
			[](BMessage& m) {
				m.RemoveName("_rowbytes");
				m.ReplaceRect("_frame", BRect(0, 0, 30000, 30000));
			} },
	};

	for (const auto& row : rows) {
		BMessage archive;
		MakeIconArchive(archive, "BBitmap");
		row.damage(archive);
		BBitmap bitmap(&archive);
		EXPECT_NE(B_OK, bitmap.InitCheck()) << row.what;
		EXPECT_EQ(nullptr, bitmap.Bits()) << row.what;
		EXPECT_EQ(0, bitmap.BitsLength()) << row.what;
		EXPECT_EQ(nullptr, BBitmap::Instantiate(&archive)) << row.what;
	}

	BBitmap fromNothing(static_cast<BMessage*>(nullptr));
	EXPECT_NE(B_OK, fromNothing.InitCheck());
	EXPECT_EQ(nullptr, BBitmap::Instantiate(nullptr));
}

TEST(Bitmap, SetBitsCopiesTheSameColourSpaceWithinTheBits)
{
	BBitmap bitmap(BRect(0, 0, 3, 1), B_CMAP8);
	ASSERT_EQ(8, bitmap.BitsLength());
	const uint8 source[] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());

	bitmap.SetBits(source, 3, 2, B_CMAP8);
	const uint8 placed[] = { 0, 0, 1, 2, 3, 0, 0, 0 };
	EXPECT_EQ(0, memcmp(placed, bits, sizeof(placed)));

	// More data than room: the rest is dropped, nothing is written past the end.
	bitmap.SetBits(source, sizeof(source), 5, B_CMAP8);
	const uint8 clipped[] = { 0, 0, 1, 2, 3, 1, 2, 3 };
	EXPECT_EQ(0, memcmp(clipped, bits, sizeof(clipped)));

	// Offsets outside the bits, negative lengths and null data change nothing.
	bitmap.SetBits(source, 4, 8, B_CMAP8);
	bitmap.SetBits(source, 4, -1, B_CMAP8);
	bitmap.SetBits(source, -4, 0, B_CMAP8);
	bitmap.SetBits(nullptr, 4, 0, B_CMAP8);
	EXPECT_EQ(0, memcmp(clipped, bits, sizeof(clipped)));
}

TEST(Bitmap, SetBitsConvertsDirectColourToThePalette)
{
	// B, G, R, A per pixel.
	const uint8 pixels[] = {
		0, 0, 255, 255, // red
		255, 255, 255, 255, // white
		0x77, 0x74, 0x77, 255, // the transparent magic colour
		150, 150, 150, 0, // grey; alpha does not count in B_RGB32
	};
	BBitmap bitmap(BRect(0, 0, 3, 0), B_CMAP8);
	bitmap.SetBits(pixels, sizeof(pixels), 0, B_RGB32);
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	EXPECT_EQ(42, bits[0]);
	EXPECT_EQ(63, bits[1]);
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, bits[2]);
	EXPECT_EQ(19, bits[3]);

	// In B_RGBA32 a mostly transparent pixel becomes the transparent slot.
	BBitmap withAlpha(BRect(0, 0, 3, 0), B_CMAP8);
	withAlpha.SetBits(pixels, sizeof(pixels), 0, B_RGBA32);
	bits = static_cast<const uint8*>(withAlpha.Bits());
	EXPECT_EQ(42, bits[0]);
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, bits[3]);

	// Source rows follow the bitmap's shape: two rows of three pixels.
	const uint8 twoRows[] = {
		0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, // red, green, black
		255, 0, 0, 0, 255, 255, 255, 0, 8, 8, 8, 0, // blue, white, dark grey
	};
	BBitmap square(BRect(0, 0, 2, 1), B_CMAP8);
	square.SetBits(twoRows, sizeof(twoRows), 0, B_RGB32);
	bits = static_cast<const uint8*>(square.Bits());
	const uint8 expected[] = { 42, 52, 0, 0, 32, 63, 1, 0 };
	EXPECT_EQ(0, memcmp(expected, bits, sizeof(expected)));
}

TEST(Bitmap, SetBitsExpandsThePaletteIntoDirectColour)
{
	// Colour-mapped data arrives without row padding: two rows of three indexes.
	const uint8 indexes[] = { 0, 63, 42, 32, 255, 52 };
	BBitmap bitmap(BRect(0, 0, 2, 1), B_RGB32);
	bitmap.SetBits(indexes, sizeof(indexes), 0, B_CMAP8);
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	const uint8 expected[] = {
		0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, // black, white, red
		255, 0, 0, 255, 0x77, 0x74, 0x77, 0, 0, 255, 0, 255, // blue, transparent, green
	};
	ASSERT_EQ(int32(sizeof(expected)), bitmap.BitsLength());
	EXPECT_EQ(0, memcmp(expected, bits, sizeof(expected)));

	// Starting at an offset converts into the pixels from there on; a short source stops.
	BBitmap partial(BRect(0, 0, 2, 1), B_RGB32);
	partial.SetBits(indexes, 2, 4 * 4, B_CMAP8);
	bits = static_cast<const uint8*>(partial.Bits());
	EXPECT_EQ(0u, *reinterpret_cast<const uint32*>(bits + 12));
	EXPECT_EQ(0, memcmp(expected, bits + 16, 8));
}

TEST(Bitmap, SetBitsConvertsGreyLevels)
{
	// One-bit rows are padded to four bytes; a set bit is black.
	const uint8 monochrome[] = { 0xa0, 0, 0, 0 };
	BBitmap fromMono(BRect(0, 0, 3, 0), B_CMAP8);
	fromMono.SetBits(monochrome, sizeof(monochrome), 0, B_GRAY1);
	const uint8* bits = static_cast<const uint8*>(fromMono.Bits());
	const uint8 expected[] = { 0, 63, 0, 63 };
	EXPECT_EQ(0, memcmp(expected, bits, sizeof(expected)));

	const uint8 indexes[] = { 0, 63, 16, 255 };
	BBitmap grey(BRect(0, 0, 3, 0), B_GRAY8);
	grey.SetBits(indexes, sizeof(indexes), 0, B_CMAP8);
	bits = static_cast<const uint8*>(grey.Bits());
	EXPECT_EQ(0, bits[0]);
	EXPECT_EQ(255, bits[1]);
	EXPECT_EQ(128, bits[2]);

	// Dark grey (64) turns black, middle grey (128) white.
	const uint8 greys[] = { 0, 63, 8, 16 };
	BBitmap mono(BRect(0, 0, 3, 0), B_GRAY1);
	mono.SetBits(greys, sizeof(greys), 0, B_CMAP8);
	EXPECT_EQ(0xa0, static_cast<const uint8*>(mono.Bits())[0] & 0xf0);
}

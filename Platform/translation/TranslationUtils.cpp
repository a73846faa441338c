// BTranslationUtils over Qt's image readers. The picture is decoded in 32-bit ARGB, whose
// bytes in memory on a little-endian machine (blue, green, red, alpha) are B_RGBA32's, and
// copied row by row into a bitmap of the same size.
#include <TranslationUtils.h>

#include <Bitmap.h>
#include <EntryRef.h>
#include <Path.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstring>

namespace {

BBitmap*
bitmap_from_image(const QImage& source)
{
	if (source.isNull())
		return NULL;
	static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
		"ARGB32 pixels are laid out as B_RGBA32 on little-endian machines only");
	const QImage image = source.convertToFormat(QImage::Format_ARGB32);
	BBitmap* bitmap = new BBitmap(BRect(0, 0, image.width() - 1, image.height() - 1), B_RGBA32);
	if (bitmap->InitCheck() != B_OK) {
		delete bitmap;
		return NULL;
	}
	const size_t rowBytes = size_t(image.width()) * 4;
	uint8* bits = static_cast<uint8*>(bitmap->Bits());
	for (int y = 0; y < image.height(); y++)
		memcpy(bits + size_t(y) * size_t(bitmap->BytesPerRow()), image.constScanLine(y), rowBytes);
	return bitmap;
}

} // namespace

BBitmap*
BTranslationUtils::GetBitmap(const char* name)
{
	return GetBitmapFile(name);
}

BBitmap*
BTranslationUtils::GetBitmap(const entry_ref* ref)
{
	if (ref == NULL)
		return NULL;
	BPath path;
	if (path.SetTo(ref) != B_OK)
		return NULL;
	return GetBitmapFile(path.Path());
}

BBitmap*
BTranslationUtils::GetBitmapFile(const char* name)
{
	if (name == NULL || name[0] == '\0')
		return NULL;
	QImageReader reader(QString::fromUtf8(name));
	// The reader names the format from the contents, so a picture with the wrong
	// extension still loads.
	reader.setDecideFormatFromContent(true);
	reader.setAutoTransform(true);
	return bitmap_from_image(reader.read());
}

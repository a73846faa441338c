#include "AboutImage.h"

#include "PackageDefs.h"

#include <Bitmap.h>
#include <Message.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <cstring>

status_t
ArchiveAboutImage(const std::string& path, BMessage& archive, std::string& error)
{
	QImageReader reader(QString::fromStdString(path));
	reader.setAutoTransform(true);
	QImage picture = reader.read();
	if (picture.isNull()) {
		error = reader.errorString().toStdString();
		return B_BAD_DATA;
	}

	const int width = Package::kAboutImageWidth;
	const int height = Package::kAboutImageHeight;
	QImage canvas(width, height, QImage::Format_RGB32);
	canvas.fill(Qt::white);
	QImage scaled = picture.size() == QSize(width, height)
		? picture
		: picture.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
	{
		QPainter painter(&canvas);
		painter.drawImage((width - scaled.width()) / 2, (height - scaled.height()) / 2, scaled);
	}

	// Format_RGB32 keeps each pixel as 0xffRRGGBB, which in memory on a little-endian
	// machine is B, G, R, A: the byte order of B_RGB32.
	BBitmap bitmap(BRect(0, 0, width - 1, height - 1), B_RGB32);
	if (bitmap.InitCheck() != B_OK) {
		error = "out of memory";
		return B_NO_MEMORY;
	}
	uint8* bits = static_cast<uint8*>(bitmap.Bits());
	for (int row = 0; row < height; row++)
		memcpy(bits + row * bitmap.BytesPerRow(), canvas.constScanLine(row), width * 4);

	archive.MakeEmpty();
	return bitmap.Archive(&archive);
}

status_t
SaveArchivedImage(const BMessage& archive, const std::string& path)
{
	BMessage copy(archive);
	BBitmap bitmap(&copy);
	if (bitmap.InitCheck() != B_OK)
		return B_BAD_DATA;

	BRect bounds = bitmap.Bounds();
	int width = bounds.IntegerWidth() + 1;
	int height = bounds.IntegerHeight() + 1;
	BBitmap converted(bounds, B_RGB32);
	if (converted.InitCheck() != B_OK)
		return B_NO_MEMORY;
	converted.SetBits(bitmap.Bits(), bitmap.BitsLength(), 0, bitmap.ColorSpace());

	QImage image(width, height, QImage::Format_RGB32);
	const uint8* bits = static_cast<const uint8*>(converted.Bits());
	for (int row = 0; row < height; row++)
		memcpy(image.scanLine(row), bits + row * converted.BytesPerRow(), width * 4);
	return image.save(QString::fromStdString(path), "PNG") ? B_OK : B_IO_ERROR;
}

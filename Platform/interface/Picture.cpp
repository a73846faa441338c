#include <Picture.h>

#include "qt/PicturePrivate.h"

struct BPicture::Data {
	QPicture recording;
};

BPicture::BPicture() :
	fData(std::make_unique<Data>())
{
}

BPicture::BPicture(const BPicture& other) :
	fData(std::make_unique<Data>(*other.fData))
{
}

BPicture::~BPicture() { }

BPicture&
BPicture::operator=(const BPicture& other)
{
	if (this != &other)
		*fData = *other.fData;
	return *this;
}

bool
BPicture::IsEmpty() const
{
	return fData->recording.isNull() || fData->recording.size() == 0;
}

namespace BPrivate {

const QPicture&
PicturePrivate::Recording(const BPicture& picture)
{
	return picture.fData->recording;
}

void
PicturePrivate::SetRecording(BPicture& picture, const QPicture& recording)
{
	picture.fData->recording = recording;
}

} // namespace BPrivate

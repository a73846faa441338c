// A BPicture holds a QPicture: Qt records and replays the painter calls the view makes.
#ifndef _PICTURE_PRIVATE_H
#define _PICTURE_PRIVATE_H

#include <Picture.h>

#include <QPicture>

namespace BPrivate {

class PicturePrivate {
public:
	static const QPicture& Recording(const BPicture& picture);
	static void SetRecording(BPicture& picture, const QPicture& recording);
};

} // namespace BPrivate

#endif // _PICTURE_PRIVATE_H

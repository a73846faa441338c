// BPicture: recorded drawing. A view records into a picture between BeginPicture() and
// EndPicture(); DrawPicture() replays it, in the drawing view's coordinates, offset by the
// point given.
#ifndef _PICTURE_H
#define _PICTURE_H

#include <SupportDefs.h>

#include <memory>

namespace BPrivate {
class PicturePrivate;
} // namespace BPrivate

class BPicture {
public:
	BPicture();
	BPicture(const BPicture& other);
	virtual ~BPicture();

	BPicture& operator=(const BPicture& other);

	// True when nothing has been recorded.
	bool IsEmpty() const;

private:
	friend class BPrivate::PicturePrivate;

	struct Data;
	std::unique_ptr<Data> fData;
};

#endif // _PICTURE_H

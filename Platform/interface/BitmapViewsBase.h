// What a bitmap keeps of the views that draw into it. The bitmap's data half knows only
// this base; the interface backend derives the real thing (views, lock, image), so that
// deleting a bitmap deletes its views without the data half knowing Qt.
#ifndef _BITMAP_VIEWS_BASE_H
#define _BITMAP_VIEWS_BASE_H

namespace BPrivate {

class BitmapViewsBase {
public:
	virtual ~BitmapViewsBase() { }
};

} // namespace BPrivate

#endif // _BITMAP_VIEWS_BASE_H

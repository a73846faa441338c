// The system helpers that need the interface kit: the system snapshot with the main screen
// (LibSysInfo's default constructor, declared in LibSysInfo.h, is defined here), turning
// bitmaps into pictures (picture buttons are made of pictures) and asking whether the
// secondary mouse button is down.
#ifndef LIB_SYS_INFO_INTERFACE_H
#define LIB_SYS_INFO_INTERFACE_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BBitmap;
class BPicture;
class BView;

// A new picture (the caller owns it) that draws the bitmap at the origin; null for a
// missing or unusable bitmap.
BPicture* LibBitmapToPicture(BBitmap* bitmap);
// The same for raw bits of a bitmap of those bounds and colour space (rows padded as a
// bitmap's are); null when the bitmap cannot be made or there are no bits.
BPicture* LibBitmapToPicture(BRect bounds, const void* bits, const color_space& space);

// True exactly when the secondary button alone is down (the message queue is checked).
bool LibIsMouseButton3(BView* view);

#endif // LIB_SYS_INFO_INTERFACE_H

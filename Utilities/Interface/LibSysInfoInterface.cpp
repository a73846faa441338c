// The system snapshot with the main screen, and bitmaps turned into pictures by recording a
// bitmap drawing in an off-screen view of the same size (the off-screen bitmap and its view
// go away afterwards).
#include "LibSysInfoInterface.h"

#include "LibSysInfo.h"

#include <Bitmap.h>
#include <InterfaceDefs.h>
#include <OS.h>
#include <Picture.h>
#include <Screen.h>
#include <View.h>

LibSysInfo::LibSysInfo()
{
	system_info info = {};
	get_system_info(&info);
	BScreen screen(B_MAIN_SCREEN_ID);
	if (!screen.IsValid()) {
		_Take(info, BRect(0, 0, 0, 0), B_NO_COLOR_SPACE);
		return;
	}
	_Take(info, screen.Frame(), screen.ColorSpace());
}

BPicture*
LibBitmapToPicture(BBitmap* bitmap)
{
	if (bitmap == NULL || bitmap->InitCheck() != B_OK)
		return NULL;
	BBitmap offscreen(bitmap->Bounds(), bitmap->ColorSpace(), true);
	if (offscreen.InitCheck() != B_OK)
		return NULL;
	BView* view = new BView(bitmap->Bounds(), "", 0, B_WILL_DRAW);
	offscreen.AddChild(view);
	BPicture* picture = new BPicture;
	offscreen.Lock();
	view->BeginPicture(picture);
	view->DrawBitmap(bitmap, B_ORIGIN);
	view->EndPicture();
	offscreen.Unlock();
	return picture;
}

BPicture*
LibBitmapToPicture(BRect bounds, const void* bits, const color_space& space)
{
	if (bits == NULL)
		return NULL;
	BBitmap bitmap(bounds, space);
	if (bitmap.InitCheck() != B_OK)
		return NULL;
	bitmap.SetBits(bits, bitmap.BitsLength(), 0, space);
	return LibBitmapToPicture(&bitmap);
}

bool
LibIsMouseButton3(BView* view)
{
	if (view == NULL)
		return false;
	BPoint where;
	uint32 buttons = 0;
	view->GetMouse(&where, &buttons, true);
	return buttons == B_SECONDARY_MOUSE_BUTTON;
}

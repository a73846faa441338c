// The part of BBitmap that lets views draw into it.
#include <Bitmap.h>

#include <View.h>

#include "qt/BitmapViews.h"
#include "qt/Painting.h"
#include "qt/ViewData.h"

#include <algorithm>
#include <cstring>

using BPrivate::BitmapViews;
using BPrivate::ViewData;

namespace BPrivate {

BitmapViews::BitmapViews(BBitmap* bitmap) :
	fLock("bitmap views"),
	fBitmap(bitmap),
	fCopy(false)
{
}

BitmapViews::~BitmapViews()
{
	// The bitmap is going: its views are detached and deleted here, without asking it.
	while (!fViews.empty()) {
		BView* view = fViews.back();
		fViews.pop_back();
		ViewData& data = ViewData::Of(view);
		data.CallDetached();
		data.Detach();
		delete view;
	}
}

BitmapViews*
BitmapViews::Of(const BBitmap* bitmap)
{
	return static_cast<BitmapViews*>(bitmap->fViews.get());
}

void
BitmapViews::Forget(BView* view)
{
	fBitmap->RemoveChild(view);
}

QImage*
BitmapViews::BeginDrawing()
{
	BRect bounds = fBitmap->Bounds();
	int width = bounds.IntegerWidth() + 1;
	int height = bounds.IntegerHeight() + 1;
	uchar* bits = (uchar*)fBitmap->Bits();
	if (bits == NULL)
		return NULL;
	switch (fBitmap->ColorSpace()) {
		case B_RGB32:
			fImage = QImage(bits, width, height, fBitmap->BytesPerRow(), QImage::Format_RGB32);
			fCopy = false;
			break;
		case B_RGBA32:
			fImage = QImage(bits, width, height, fBitmap->BytesPerRow(), QImage::Format_ARGB32);
			fCopy = false;
			break;
		default:
			fImage = bitmap_pixels(fBitmap);
			fCopy = true;
			break;
	}
	return fImage.isNull() ? NULL : &fImage;
}

void
BitmapViews::EndDrawing()
{
	if (fCopy && !fImage.isNull()) {
		// The drawing goes back through the bitmap's own conversion.
		fBitmap->SetBits(fImage.constBits(), (int32)fImage.sizeInBytes(), 0, B_RGBA32);
	}
	fImage = QImage();
	fCopy = false;
}

BPoint
BitmapViews::Origin() const
{
	return fBitmap->Bounds().LeftTop();
}

} // namespace BPrivate

void
BBitmap::AddChild(BView* view)
{
	if (view == NULL || (fFlags & B_BITMAP_ACCEPTS_VIEWS) == 0 || InitCheck() != B_OK)
		return;
	ViewData& data = ViewData::Of(view);
	if (data.fParent != NULL || data.fWindow != NULL || data.fBitmap != NULL)
		return;
	if (!fViews)
		fViews = std::make_unique<BitmapViews>(this);
	BitmapViews* views = BitmapViews::Of(this);
	views->fViews.push_back(view);
	data.Attach(NULL, views);
	data.CallAttached();
}

bool
BBitmap::RemoveChild(BView* view)
{
	BitmapViews* views = BitmapViews::Of(this);
	if (views == NULL || view == NULL)
		return false;
	auto found = std::find(views->fViews.begin(), views->fViews.end(), view);
	if (found == views->fViews.end())
		return false;
	ViewData& data = ViewData::Of(view);
	data.CallDetached();
	data.Detach();
	views->fViews.erase(found);
	return true;
}

int32
BBitmap::CountChildren() const
{
	BitmapViews* views = BitmapViews::Of(this);
	return views != NULL ? (int32)views->fViews.size() : 0;
}

BView*
BBitmap::ChildAt(int32 index) const
{
	BitmapViews* views = BitmapViews::Of(this);
	if (views == NULL || index < 0 || index >= (int32)views->fViews.size())
		return NULL;
	return views->fViews[index];
}

BView*
BBitmap::FindView(const char* viewName) const
{
	BitmapViews* views = BitmapViews::Of(this);
	if (views == NULL)
		return NULL;
	for (BView* view : views->fViews) {
		BView* found = view->FindView(viewName);
		if (found != NULL)
			return found;
	}
	return NULL;
}

BView*
BBitmap::FindView(BPoint point) const
{
	BitmapViews* views = BitmapViews::Of(this);
	if (views == NULL)
		return NULL;
	for (auto view = views->fViews.rbegin(); view != views->fViews.rend(); ++view) {
		ViewData& data = ViewData::Of(*view);
		BView* found = data.ViewAt(point - data.fFrame.LeftTop() + data.fOrigin);
		if (found != NULL)
			return found;
	}
	return NULL;
}

bool
BBitmap::Lock()
{
	if ((fFlags & B_BITMAP_ACCEPTS_VIEWS) == 0)
		return false;
	if (!fViews)
		fViews = std::make_unique<BitmapViews>(this);
	return BitmapViews::Of(this)->fLock.Lock();
}

void
BBitmap::Unlock()
{
	BitmapViews* views = BitmapViews::Of(this);
	if (views != NULL)
		views->fLock.Unlock();
}

bool
BBitmap::IsLocked() const
{
	BitmapViews* views = BitmapViews::Of(this);
	return views != NULL && views->fLock.IsLocked();
}

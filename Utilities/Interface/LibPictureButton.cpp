#include "LibPictureButton.h"

#include "LibSysInfoInterface.h"

#include <Application.h>
#include <Message.h>
#include <Picture.h>
#include <Window.h>

#include <memory>

namespace {

std::unique_ptr<BPicture>
picture_of(const void* bits, int8 width, int8 height)
{
	if (bits == NULL)
		return nullptr;
	return std::unique_ptr<BPicture>(
		LibBitmapToPicture(BRect(0, 0, width - 1, height - 1), bits, B_CMAP8));
}

} // namespace

LibPictureButton::LibPictureButton(BPoint where, const int8& width, const int8& height,
	const char* name, const void* upBits, const void* downBits, const uint32& what,
	const void* disabledBits, uint32 resizingMode, uint32 flags) :
	BPictureButton(BRect(where.x, where.y, where.x + width - 1, where.y + height - 1), name,
		picture_of(upBits, width, height).get(), picture_of(downBits, width, height).get(),
		new BMessage(what), B_ONE_STATE_BUTTON, resizingMode, flags),
	fHasFocus(false),
	fTipWhat(0)
{
	if (std::unique_ptr<BPicture> disabled = picture_of(disabledBits, width, height))
		SetDisabledOff(disabled.get());
}

LibPictureButton::~LibPictureButton() { }

void
LibPictureButton::AddTip(const uint32& what, const char* text)
{
	fTipWhat = what;
	fTip = text != NULL ? text : "";
}

void
LibPictureButton::_PostTip(bool show)
{
	if (fTip.Length() == 0 || be_app == NULL)
		return;
	BMessage tip(fTipWhat);
	tip.AddBool("show", show);
	if (show) {
		tip.AddString("tip", fTip);
		const BRect bounds = Bounds();
		tip.AddPoint("loc", ConvertToScreen(BPoint(bounds.right + 5, bounds.top + 1)));
	}
	be_app->PostMessage(&tip);
}

void
LibPictureButton::MouseDown(BPoint where)
{
	_PostTip(false);
	BPictureButton::MouseDown(where);
}

void
LibPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	// A tip comes up only over the active window; leaving always takes it down, so a tip
	// never outstays the pointer after the window lost the focus.
	if (transit == B_ENTERED_VIEW && Window() != NULL && Window()->IsActive())
		_PostTip(true);
	else if (transit == B_EXITED_VIEW)
		_PostTip(false);
	BPictureButton::MouseMoved(where, transit, dragMessage);
}

void
LibPictureButton::MakeFocus(bool focus)
{
	fHasFocus = focus;
	BPictureButton::MakeFocus(focus);
}

// BView: the tree, geometry, state and hooks. Drawing is in ViewDrawing.cpp, the widget
// mirror in qt/ViewData.cpp.
#include <View.h>

#include <Bitmap.h>
#include <LooperDriver.h>
#include <Message.h>
#include <MessageQueue.h>
#include <ScrollBar.h>
#include <Window.h>

#include "qt/BitmapViews.h"
#include "qt/GuiLooper.h"
#include "qt/GuiThread.h"
#include "qt/ViewData.h"
#include "qt/WindowData.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

using BPrivate::ViewData;
using BPrivate::WindowData;

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags) :
	BHandler(name),
	fData(std::make_unique<ViewData>(this, frame, resizingMode, flags))
{
}

BView::~BView()
{
	// BeOS behaviour: a view must be removed before it is deleted; removing it here keeps
	// the tree sound when that was forgotten.
	if (fData->fParent != NULL)
		fData->fParent->RemoveChild(this);
	else if (fData->fBitmap != NULL)
		fData->fBitmap->Forget(this);

	while (!fData->fChildren.empty()) {
		BView* child = fData->fChildren.back();
		RemoveChild(child);
		delete child;
	}
	fData->Unrealize();
}

void
BView::AttachedToWindow()
{
}

void
BView::AllAttached()
{
}

void
BView::DetachedFromWindow()
{
}

void
BView::AllDetached()
{
}

void
BView::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void
BView::AddChild(BView* child, BView* before)
{
	if (child == NULL || child == this || child->fData->fParent != NULL)
		return;
	if (child->fData->fWindow != NULL || child->fData->fBitmap != NULL)
		return;

	std::vector<BView*>& children = fData->fChildren;
	auto position = std::find(children.begin(), children.end(), before);
	children.insert(before != NULL ? position : children.end(), child);
	child->fData->fParent = this;

	if (fData->fWindow != NULL || fData->fBitmap != NULL) {
		child->fData->Attach(fData->fWindow, fData->fBitmap);
		child->fData->CallAttached();
	}
}

bool
BView::RemoveChild(BView* child)
{
	if (child == NULL || child->fData->fParent != this)
		return false;

	if (child->fData->fWindow != NULL || child->fData->fBitmap != NULL) {
		child->fData->CallDetached();
		child->fData->Detach();
	}
	child->fData->Unrealize();

	std::vector<BView*>& children = fData->fChildren;
	children.erase(std::remove(children.begin(), children.end(), child), children.end());
	child->fData->fParent = NULL;
	Invalidate(child->Frame());
	return true;
}

int32
BView::CountChildren() const
{
	return (int32)fData->fChildren.size();
}

BView*
BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= CountChildren())
		return NULL;
	return fData->fChildren[index];
}

BView*
BView::NextSibling() const
{
	if (fData->fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fData->fParent->fData->fChildren;
	auto position = std::find(siblings.begin(), siblings.end(), this);
	if (position == siblings.end() || position + 1 == siblings.end())
		return NULL;
	return *(position + 1);
}

BView*
BView::PreviousSibling() const
{
	if (fData->fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fData->fParent->fData->fChildren;
	auto position = std::find(siblings.begin(), siblings.end(), this);
	if (position == siblings.end() || position == siblings.begin())
		return NULL;
	return *(position - 1);
}

bool
BView::RemoveSelf()
{
	if (fData->fParent == NULL)
		return false;
	return fData->fParent->RemoveChild(this);
}

BWindow*
BView::Window() const
{
	return fData->fWindow;
}

BView*
BView::Parent() const
{
	// The window's top view is no one's child as far as the programs can tell.
	if (fData->fParent != NULL && fData->fWindow != NULL
		&& fData->fParent == WindowData::Of(fData->fWindow).fTopView)
		return NULL;
	return fData->fParent;
}

BView*
BView::FindView(const char* name) const
{
	if (name == NULL)
		return NULL;
	if (Name() != NULL && strcmp(Name(), name) == 0)
		return const_cast<BView*>(this);
	for (BView* child : fData->fChildren) {
		BView* found = child->FindView(name);
		if (found != NULL)
			return found;
	}
	return NULL;
}

void
BView::Draw(BRect)
{
}

void
BView::MouseDown(BPoint)
{
}

void
BView::MouseUp(BPoint)
{
}

void
BView::MouseMoved(BPoint, uint32, const BMessage*)
{
}

void
BView::WindowActivated(bool)
{
}

void
BView::KeyDown(const char* bytes, int32)
{
	// BeOS behaviour: a view that does not handle a key passes Tab on to the window's
	// keyboard navigation.
	if (Window() != NULL && bytes != NULL && bytes[0] == B_TAB)
		WindowData::Of(Window()).NavigateFocus(this);
}

void
BView::KeyUp(const char*, int32)
{
}

void
BView::Pulse()
{
}

void
BView::FrameMoved(BPoint)
{
}

void
BView::FrameResized(float, float)
{
}

void
BView::MakeFocus(bool focus)
{
	BWindow* window = Window();
	if (window == NULL)
		return;
	WindowData& windowData = WindowData::Of(window);
	BView* current = windowData.fFocus;
	if (focus) {
		if (current == this)
			return;
		if (current != NULL)
			current->MakeFocus(false);
		windowData.SetFocus(this);
	} else if (current == this) {
		windowData.SetFocus(NULL);
	}
	if ((Flags() & B_NAVIGABLE) != 0)
		Invalidate();
}

bool
BView::IsFocus() const
{
	return Window() != NULL && WindowData::Of(Window()).fFocus == this;
}

void
BView::Show()
{
	fData->fShowLevel--;
	if (fData->fShowLevel == 0)
		fData->NeedsVisibility();
}

void
BView::Hide()
{
	fData->fShowLevel++;
	if (fData->fShowLevel == 1) {
		if (Window() != NULL)
			WindowData::Of(Window()).ViewHidden(this);
		fData->NeedsVisibility();
	}
}

bool
BView::IsHidden(const BView* lookingFrom) const
{
	if (fData->fShowLevel > 0)
		return true;
	if (lookingFrom == this)
		return false;
	if (fData->fParent != NULL)
		return fData->fParent->IsHidden(lookingFrom);
	if (fData->fWindow != NULL && lookingFrom == NULL)
		return fData->fWindow->IsHidden();
	return false;
}

bool
BView::IsHidden() const
{
	return IsHidden(NULL);
}

void
BView::_TakeQueuedMouse(BPoint* where, uint32* buttons)
{
	BWindow* window = Window();
	QCoreApplication::processEvents(QEventLoop::AllEvents);
	// The input may have closed the window meanwhile; it is still locked by this thread.
	if (Window() != window)
		return;
	BPrivate::LooperAccess::DrainPort(window);
	// Only this thread takes messages out of the queue.
	BMessageQueue* queue = window->MessageQueue();
	for (int32 index = 0;; index++) {
		BMessage* message = queue->FindMessage(index);
		if (message == NULL)
			return;
		if (message->what != B_MOUSE_MOVED && message->what != B_MOUSE_UP
			&& message->what != B_MOUSE_DOWN) {
			continue;
		}
		BPoint point;
		int32 held = 0;
		if (message->FindPoint("where", &point) == B_OK)
			*where = point;
		if (message->FindInt32("buttons", &held) == B_OK)
			*buttons = (uint32)held;
		if (message->what == B_MOUSE_MOVED) {
			queue->RemoveMessage(message);
			delete message;
		}
		return;
	}
}

BScrollBar*
BView::ScrollBar(orientation direction) const
{
	return BScrollBar::Of(this, direction);
}

void
BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue)
{
	BPoint where(0, 0);
	uint32 held = 0;
	BWindow* window = Window();
	if (window != NULL) {
		WindowData::Of(window).GetMouse(&where, &held);
		// A loop on the window's thread that polls the mouse (tracking a drag) must see the
		// button go up. That thread is the GUI thread here, busy in the loop instead of
		// taking input: the input that is pending is let in, and, as on BeOS, the first
		// mouse message waiting in the window's queue gives the state (a mouse-moved one is
		// taken out, the others stay for their hooks).
		if (checkMessageQueue && BPrivate::is_gui_thread() && BPrivate::is_dispatching(window))
			_TakeQueuedMouse(&where, &held);
	}
	if (location != NULL)
		*location = where - fData->OffsetInWindow();
	if (buttons != NULL)
		*buttons = held;
}

status_t
BView::SetEventMask(uint32 mask, uint32)
{
	fData->fEventMask = mask;
	if (Window() != NULL)
		WindowData::Of(Window()).EventMaskChanged(this);
	return B_OK;
}

uint32
BView::EventMask()
{
	return fData->fEventMask;
}

status_t
BView::SetMouseEventMask(uint32 mask, uint32)
{
	if (Window() == NULL)
		return B_ERROR;
	if ((mask & B_POINTER_EVENTS) == 0)
		return B_OK;
	return WindowData::Of(Window()).SetMouseEventView(this);
}

BRect
BView::Bounds() const
{
	return fData->Bounds();
}

BRect
BView::Frame() const
{
	return fData->fFrame;
}

BPoint
BView::LeftTop() const
{
	return fData->fOrigin;
}

void
BView::ConvertToScreen(BPoint* point) const
{
	*point += fData->OffsetInWindow();
	if (Window() != NULL)
		Window()->ConvertToScreen(point);
}

BPoint
BView::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void
BView::ConvertFromScreen(BPoint* point) const
{
	if (Window() != NULL)
		Window()->ConvertFromScreen(point);
	*point -= fData->OffsetInWindow();
}

BPoint
BView::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void
BView::ConvertToScreen(BRect* rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	rect->OffsetBy(offset);
}

BRect
BView::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void
BView::ConvertFromScreen(BRect* rect) const
{
	BPoint offset = ConvertFromScreen(B_ORIGIN);
	rect->OffsetBy(offset);
}

BRect
BView::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

void
BView::ConvertToParent(BPoint* point) const
{
	*point += fData->fFrame.LeftTop() - fData->fOrigin;
}

BPoint
BView::ConvertToParent(BPoint point) const
{
	ConvertToParent(&point);
	return point;
}

void
BView::ConvertFromParent(BPoint* point) const
{
	*point -= fData->fFrame.LeftTop() - fData->fOrigin;
}

BPoint
BView::ConvertFromParent(BPoint point) const
{
	ConvertFromParent(&point);
	return point;
}

void
BView::ConvertToParent(BRect* rect) const
{
	rect->OffsetBy(fData->fFrame.LeftTop() - fData->fOrigin);
}

BRect
BView::ConvertToParent(BRect rect) const
{
	ConvertToParent(&rect);
	return rect;
}

void
BView::ConvertFromParent(BRect* rect) const
{
	rect->OffsetBy(fData->fOrigin - fData->fFrame.LeftTop());
}

BRect
BView::ConvertFromParent(BRect rect) const
{
	ConvertFromParent(&rect);
	return rect;
}

void
BView::MoveBy(float dx, float dy)
{
	MoveTo(fData->fFrame.left + dx, fData->fFrame.top + dy);
}

void
BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void
BView::MoveTo(float x, float y)
{
	if (x == fData->fFrame.left && y == fData->fFrame.top)
		return;
	if (fData->fParent != NULL)
		fData->fParent->Invalidate(fData->fFrame);
	fData->fFrame.OffsetTo(x, y);
	fData->NeedsGeometry();
	fData->FrameChanged(true, false);
}

void
BView::ResizeBy(float dx, float dy)
{
	ResizeTo(fData->fFrame.Width() + dx, fData->fFrame.Height() + dy);
}

void
BView::ResizeTo(float width, float height)
{
	float dx = width - fData->fFrame.Width();
	float dy = height - fData->fFrame.Height();
	if (dx == 0 && dy == 0)
		return;
	if (fData->fParent != NULL)
		fData->fParent->Invalidate(fData->fFrame);
	fData->fFrame.right += dx;
	fData->fFrame.bottom += dy;
	for (BView* child : fData->fChildren)
		child->fData->ParentResized(dx, dy);
	fData->NeedsGeometry();
	fData->NeedsUpdate();
	fData->FrameChanged(false, true);
}

void
BView::ScrollBy(float dx, float dy)
{
	ScrollTo(fData->fOrigin.x + dx, fData->fOrigin.y + dy);
}

void
BView::ScrollTo(float x, float y)
{
	ScrollTo(BPoint(x, y));
}

void
BView::ScrollTo(BPoint where)
{
	if (where == fData->fOrigin)
		return;
	fData->fOrigin = where;
	for (BView* child : fData->fChildren)
		child->fData->NeedsGeometry();
	fData->NeedsUpdate();
}

void
BView::SetFlags(uint32 flags)
{
	uint32 old = fData->fFlags;
	fData->fFlags = flags;
	if (Window() != NULL && ((old ^ flags) & B_PULSE_NEEDED) != 0)
		WindowData::Of(Window()).PulseNeedChanged();
	fData->NeedsUpdate();
}

uint32
BView::Flags() const
{
	return fData->fFlags;
}

void
BView::SetResizingMode(uint32 mode)
{
	fData->fResizingMode = mode;
}

uint32
BView::ResizingMode() const
{
	return fData->fResizingMode;
}

void
BView::SetViewColor(rgb_color color)
{
	fData->fViewColor = color;
	fData->NeedsUpdate();
}

void
BView::SetViewColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetViewColor(make_color(red, green, blue, alpha));
}

rgb_color
BView::ViewColor() const
{
	return fData->fViewColor;
}

void
BView::SetHighColor(rgb_color color)
{
	fData->fState.high = color;
}

void
BView::SetHighColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetHighColor(make_color(red, green, blue, alpha));
}

rgb_color
BView::HighColor() const
{
	return fData->fState.high;
}

void
BView::SetLowColor(rgb_color color)
{
	fData->fState.low = color;
}

void
BView::SetLowColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetLowColor(make_color(red, green, blue, alpha));
}

rgb_color
BView::LowColor() const
{
	return fData->fState.low;
}

void
BView::SetDrawingMode(drawing_mode mode)
{
	fData->fState.mode = mode;
}

drawing_mode
BView::DrawingMode() const
{
	return fData->fState.mode;
}

void
BView::SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction)
{
	fData->fState.sourceAlpha = sourceAlpha;
	fData->fState.alphaFunction = alphaFunction;
}

void
BView::GetBlendingMode(source_alpha* sourceAlpha, alpha_function* alphaFunction) const
{
	if (sourceAlpha != NULL)
		*sourceAlpha = fData->fState.sourceAlpha;
	if (alphaFunction != NULL)
		*alphaFunction = fData->fState.alphaFunction;
}

void
BView::SetPenSize(float size)
{
	fData->fState.penSize = size;
}

float
BView::PenSize() const
{
	return fData->fState.penSize;
}

void
BView::PushState()
{
	fData->fStateStack.push_back(fData->fState);
}

void
BView::PopState()
{
	if (fData->fStateStack.empty())
		return;
	fData->fState = fData->fStateStack.back();
	fData->fStateStack.pop_back();
}

void
BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == NULL)
		return;
	BFont& current = fData->fState.font;
	if (mask == B_FONT_ALL) {
		current = *font;
		return;
	}
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0) {
		font_family family;
		font_style style;
		font->GetFamilyAndStyle(&family, &style);
		current.SetFamilyAndStyle(family, style);
	}
	if ((mask & B_FONT_SIZE) != 0)
		current.SetSize(font->Size());
	if ((mask & B_FONT_SHEAR) != 0)
		current.SetShear(font->Shear());
	if ((mask & B_FONT_ROTATION) != 0)
		current.SetRotation(font->Rotation());
	if ((mask & B_FONT_SPACING) != 0)
		current.SetSpacing(font->Spacing());
	if ((mask & B_FONT_ENCODING) != 0)
		current.SetEncoding(font->Encoding());
	if ((mask & B_FONT_FACE) != 0)
		current.SetFace(font->Face());
	if ((mask & B_FONT_FLAGS) != 0)
		current.SetFlags(font->Flags());
}

void
BView::GetFont(BFont* font) const
{
	if (font != NULL)
		*font = fData->fState.font;
}

void
BView::SetFontSize(float size)
{
	fData->fState.font.SetSize(size);
}

void
BView::GetFontHeight(font_height* height) const
{
	fData->fState.font.GetHeight(height);
}

float
BView::StringWidth(const char* string) const
{
	return fData->fState.font.StringWidth(string);
}

float
BView::StringWidth(const char* string, int32 length) const
{
	return fData->fState.font.StringWidth(string, length);
}

void
BView::TruncateString(std::string* inOut, uint32 mode, float width) const
{
	fData->fState.font.TruncateString(inOut, mode, width);
}

void
BView::MovePenTo(BPoint point)
{
	fData->fState.pen = point;
}

void
BView::MovePenTo(float x, float y)
{
	MovePenTo(BPoint(x, y));
}

void
BView::MovePenBy(float x, float y)
{
	fData->fState.pen += BPoint(x, y);
}

BPoint
BView::PenLocation() const
{
	return fData->fState.pen;
}

void
BView::Invalidate(BRect rect)
{
	fData->NeedsUpdate(rect);
}

void
BView::Invalidate()
{
	fData->NeedsUpdate();
}

void
BView::Flush() const
{
}

void
BView::Sync() const
{
}

void
BView::GetPreferredSize(float* width, float* height)
{
	if (width != NULL)
		*width = fData->fFrame.Width();
	if (height != NULL)
		*height = fData->fFrame.Height();
}

void
BView::ResizeToPreferred()
{
	float width;
	float height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

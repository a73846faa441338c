#include "ViewData.h"

#include <Message.h>
#include <View.h>
#include <Window.h>

#include "BitmapViews.h"
#include "GuiThread.h"
#include "Painting.h"
#include "ViewWidget.h"
#include "WindowData.h"

#include <QPainter>
#include <QPicture>

#include <cmath>

namespace BPrivate {

namespace {

QRect
widget_rect(BRect rect)
{
	int left = (int)floorf(rect.left);
	int top = (int)floorf(rect.top);
	int right = (int)ceilf(rect.right);
	int bottom = (int)ceilf(rect.bottom);
	return QRect(left, top, right - left + 1, bottom - top + 1);
}

} // namespace

ViewData::ViewData(BView* view, BRect frame, uint32 resizingMode, uint32 flags) :
	fView(view),
	fFrame(frame),
	fOrigin(0, 0),
	fResizingMode(resizingMode),
	fFlags(flags),
	fParent(NULL),
	fWindow(NULL),
	fBitmap(NULL),
	fShowLevel(0),
	fEventMask(0),
	fViewColor(make_color(255, 255, 255)),
	fPicture(NULL),
	fPaintPainter(nullptr),
	fInLineArray(false),
	fAttachedCalled(false),
	fWidget(nullptr),
	fGeometryPending(false),
	fVisibilityPending(false),
	fUpdatePending(false)
{
	fState.high = make_color(0, 0, 0);
	fState.low = make_color(255, 255, 255);
	fState.mode = B_OP_COPY;
	fState.sourceAlpha = B_PIXEL_ALPHA;
	fState.alphaFunction = B_ALPHA_OVERLAY;
	fState.penSize = 1.0f;
	fState.pen = BPoint(0, 0);
	fState.font = *be_plain_font;
}

ViewData::~ViewData()
{
	if (fRecordingPainter)
		fRecordingPainter->end();
}

ViewData&
ViewData::Of(const BView* view)
{
	return *view->fData;
}

void
ViewData::Attach(BWindow* window, BitmapViews* bitmap)
{
	fWindow = window;
	fBitmap = bitmap;
	if (window != NULL) {
		window->AddHandler(fView);
		WindowData::Of(window).ViewAttached(fView);
	}
	for (BView* child : fChildren)
		child->fData->Attach(window, bitmap);

	// The widgets come with the window's: at once on the GUI thread, otherwise when
	// the window next synchronises.
	if (window == NULL)
		return;
	WindowData& windowData = WindowData::Of(window);
	if (fParent != NULL && fParent->fData->fWidget != nullptr && is_gui_thread()) {
		Realize(fParent->fData->fWidget);
		ApplyStacking();
	} else
		windowData.RequestSync();
}

void
ViewData::Detach()
{
	for (BView* child : fChildren)
		child->fData->Detach();
	if (fWindow != NULL) {
		WindowData::Of(fWindow).ViewDetached(fView);
		fWindow->RemoveHandler(fView);
	}
	fWindow = NULL;
	fBitmap = NULL;
	Unrealize();
}

void
ViewData::CallAttached()
{
	if (fAttachedCalled)
		return;
	fAttachedCalled = true;
	fView->AttachedToWindow();
	// Children added by AttachedToWindow() have had their hooks already.
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->fData->CallAttached();
	fView->AllAttached();
}

void
ViewData::CallDetached()
{
	if (!fAttachedCalled)
		return;
	fView->DetachedFromWindow();
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->fData->CallDetached();
	fView->AllDetached();
	fAttachedCalled = false;
}

BRect
ViewData::Bounds() const
{
	return BRect(fOrigin.x, fOrigin.y, fOrigin.x + fFrame.Width(), fOrigin.y + fFrame.Height());
}

BPoint
ViewData::OffsetInWindow() const
{
	BPoint offset(0, 0);
	for (const ViewData* data = this; data != NULL;
		 data = data->fParent != NULL ? data->fParent->fData.get() : NULL) {
		offset += data->fFrame.LeftTop() - data->fOrigin;
	}
	return offset;
}

void
ViewData::ParentResized(float dx, float dy)
{
	// Each edge follows the parent's edge its rule names; no rule keeps it in place.
	auto follow = [](uint32 rule, float delta) -> float {
		switch (rule) {
			case _VIEW_RIGHT_:
			case _VIEW_BOTTOM_:
				return delta;
			case _VIEW_CENTER_:
				return delta / 2;
			default:
				return 0;
		}
	};
	uint32 mode = fResizingMode;
	BRect frame = fFrame;
	frame.left += follow((mode >> 8) & 0xf, dx);
	frame.right += follow(mode & 0xf, dx);
	frame.top += follow((mode >> 12) & 0xf, dy);
	frame.bottom += follow((mode >> 4) & 0xf, dy);
	if (frame == fFrame)
		return;

	bool moved = frame.LeftTop() != fFrame.LeftTop();
	float width = frame.Width() - fFrame.Width();
	float height = frame.Height() - fFrame.Height();
	bool resized = width != 0 || height != 0;
	fFrame = frame;
	if (resized) {
		for (BView* child : fChildren)
			child->fData->ParentResized(width, height);
	}
	NeedsGeometry();
	NeedsUpdate();
	FrameChanged(moved, resized);
}

void
ViewData::FrameChanged(bool moved, bool resized)
{
	// BeOS behaviour: only views that ask for frame events hear about their frame.
	if ((fFlags & B_FRAME_EVENTS) == 0 || fWindow == NULL)
		return;
	if (moved) {
		BMessage message(B_VIEW_MOVED);
		message.AddInt64("when", system_time());
		message.AddPoint("where", fFrame.LeftTop());
		fWindow->PostMessage(&message, fView);
	}
	if (resized) {
		BMessage message(B_VIEW_RESIZED);
		message.AddInt64("when", system_time());
		message.AddFloat("width", fFrame.Width());
		message.AddFloat("height", fFrame.Height());
		message.AddPoint("where", fFrame.LeftTop());
		fWindow->PostMessage(&message, fView);
	}
}

BView*
ViewData::ViewAt(BPoint point)
{
	if (fShowLevel > 0 || !Bounds().Contains(point))
		return NULL;
	// Later children lie on top.
	for (auto child = fChildren.rbegin(); child != fChildren.rend(); ++child) {
		ViewData& data = *(*child)->fData;
		BView* found = data.ViewAt(point - data.fFrame.LeftTop() + data.fOrigin);
		if (found != NULL)
			return found;
	}
	return fView;
}

void
ViewData::Realize(QWidget* parentWidget)
{
	assert_gui_thread("BView");
	if (fWidget == nullptr) {
		fWidget = new ViewWidget(fView, parentWidget);
		ApplyGeometry();
		ApplyVisibility();
		fGeometryPending = false;
		fVisibilityPending = false;
		fUpdatePending = false;
	}
	for (BView* child : fChildren)
		child->fData->Realize(fWidget);
}

void
ViewData::Unrealize()
{
	for (BView* child : fChildren)
		child->fData->Unrealize();
	if (fWidget == nullptr)
		return;
	fWidget->ForgetView();
	if (is_gui_thread())
		delete fWidget;
	else
		fWidget->deleteLater();
	fWidget = nullptr;
}

void
ViewData::ApplyGeometry()
{
	if (fWidget == nullptr)
		return;
	BRect frame = fFrame;
	if (fParent != NULL)
		frame.OffsetBy(-fParent->fData->fOrigin.x, -fParent->fData->fOrigin.y);
	fWidget->setGeometry(QRect((int)floorf(frame.left), (int)floorf(frame.top),
		(int)roundf(frame.Width()) + 1, (int)roundf(frame.Height()) + 1));
	fWidget->update();
}

void
ViewData::ApplyVisibility()
{
	if (fWidget != nullptr)
		fWidget->setVisible(fShowLevel <= 0);
}

void
ViewData::ApplyStacking()
{
	if (fWidget == nullptr || fParent == NULL)
		return;
	// Qt stacks later siblings on top, as BeOS draws them; a child inserted before a
	// sibling goes under it.
	for (BView* sibling : fParent->fData->fChildren) {
		ViewWidget* widget = sibling->fData->fWidget;
		if (widget != nullptr)
			widget->raise();
	}
}

void
ViewData::Synchronize()
{
	if (fWidget == nullptr) {
		if (fParent != NULL && fParent->fData->fWidget != nullptr) {
			Realize(fParent->fData->fWidget);
			ApplyStacking();
		}
		return;
	}
	if (fGeometryPending) {
		fGeometryPending = false;
		ApplyGeometry();
	}
	if (fVisibilityPending) {
		fVisibilityPending = false;
		ApplyVisibility();
	}
	if (fUpdatePending) {
		fUpdatePending = false;
		fWidget->update(widget_rect(fPendingUpdate.OffsetByCopy(-fOrigin.x, -fOrigin.y)));
	}
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->fData->Synchronize();
}

void
ViewData::Paint(QPainter& painter, const QRect& area)
{
	painter.translate(-fOrigin.x, -fOrigin.y);
	BRect update(area.left() + fOrigin.x, area.top() + fOrigin.y, area.right() + fOrigin.x,
		area.bottom() + fOrigin.y);
	if (fViewColor != B_TRANSPARENT_COLOR) {
		QColor color = to_qcolor(fViewColor);
		color.setAlpha(255);
		painter.fillRect(fill_area(update), color);
	}
	if ((fFlags & B_WILL_DRAW) == 0)
		return;
	fPaintPainter = &painter;
	fView->Draw(update);
	fPaintPainter = nullptr;
}

void
ViewData::NeedsGeometry()
{
	if (fWidget != nullptr && is_gui_thread()) {
		ApplyGeometry();
		return;
	}
	fGeometryPending = true;
	if (fWindow != NULL)
		WindowData::Of(fWindow).RequestSync();
}

void
ViewData::NeedsVisibility()
{
	if (fWidget != nullptr && is_gui_thread()) {
		ApplyVisibility();
		return;
	}
	fVisibilityPending = true;
	if (fWindow != NULL)
		WindowData::Of(fWindow).RequestSync();
}

void
ViewData::NeedsUpdate(BRect rect)
{
	if (!rect.IsValid())
		return;
	if (fWidget != nullptr && is_gui_thread()) {
		fWidget->update(widget_rect(rect.OffsetByCopy(-fOrigin.x, -fOrigin.y)));
		return;
	}
	fPendingUpdate = fUpdatePending ? (fPendingUpdate | rect) : rect;
	fUpdatePending = true;
	if (fWindow != NULL)
		WindowData::Of(fWindow).RequestSync();
}

void
ViewData::NeedsUpdate()
{
	NeedsUpdate(Bounds());
}

} // namespace BPrivate

// The state behind a BView: geometry, tree, drawing state, and the Qt widget that mirrors
// it on the GUI thread. Changes made off the GUI thread (or before the window has widgets)
// are kept here and applied when the window synchronises its widgets.
#ifndef _VIEW_DATA_H
#define _VIEW_DATA_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Rect.h>

#include <QRect>

#include <functional>
#include <memory>
#include <vector>

class BBitmap;
class BPicture;
class BView;
class BWindow;
class QPainter;
class QPicture;
class QWidget;

namespace BPrivate {

class BitmapViews;
class ViewWidget;

struct DrawState {
	rgb_color high;
	rgb_color low;
	drawing_mode mode;
	source_alpha sourceAlpha;
	alpha_function alphaFunction;
	float penSize;
	BPoint pen;
	BFont font;
};

class ViewData {
public:
	ViewData(BView* view, BRect frame, uint32 resizingMode, uint32 flags);
	~ViewData();

	static ViewData& Of(const BView* view);

	// Tree
	void Attach(BWindow* window, BitmapViews* bitmap);
	void Detach();
	void CallAttached();
	void CallDetached();

	// Geometry. Offsets map this view's coordinates to the window's (or the bitmap's).
	BRect Bounds() const;
	BPoint OffsetInWindow() const;
	void ParentResized(float dx, float dy);
	void FrameChanged(bool moved, bool resized);

	// The view (or a descendant) under a point in this view's coordinates; NULL when the
	// point is outside or the view is hidden.
	BView* ViewAt(BPoint point);

	// The widget mirror, GUI thread only.
	void Realize(QWidget* parentWidget);
	void Unrealize();
	void ApplyGeometry();
	void ApplyVisibility();
	void ApplyStacking();
	// Brings the widget tree up to date with the state (after changes off the GUI thread).
	void Synchronize();
	// Paints the view from its widget's paint event.
	void Paint(QPainter& painter, const QRect& area);

	// Notes that the widget needs updating: at once on the GUI thread, otherwise at the
	// window's next synchronisation.
	void NeedsGeometry();
	void NeedsVisibility();
	void NeedsUpdate(BRect rect);
	void NeedsUpdate();

	bool IsOwnHidden() const { return fShowLevel > 0; }

	BView* fView;
	BRect fFrame;
	BPoint fOrigin;
	uint32 fResizingMode;
	uint32 fFlags;
	BView* fParent;
	std::vector<BView*> fChildren;
	BWindow* fWindow;
	BitmapViews* fBitmap;
	int32 fShowLevel;
	uint32 fEventMask;
	rgb_color fViewColor;
	DrawState fState;
	std::vector<DrawState> fStateStack;

	// Recording into a picture.
	BPicture* fPicture;
	std::unique_ptr<QPicture> fRecording;
	std::unique_ptr<QPainter> fRecordingPainter;

	// Set while Draw() runs from the widget's paint event.
	QPainter* fPaintPainter;

	struct Line {
		BPoint from;
		BPoint to;
		rgb_color color;
	};

	std::vector<Line> fLines;
	bool fInLineArray;

	// AttachedToWindow() has run (and DetachedFromWindow() not yet).
	bool fAttachedCalled;

	ViewWidget* fWidget;
	bool fGeometryPending;
	bool fVisibilityPending;
	bool fUpdatePending;
	BRect fPendingUpdate;
};

// Paints on the view's current canvas with its drawing state (the paint event's painter,
// the picture being recorded, or its bitmap); without one the view is invalidated and
// false returned.
bool paint_view(BView* view, const std::function<void(QPainter&)>& paint);

} // namespace BPrivate

#endif // _VIEW_DATA_H

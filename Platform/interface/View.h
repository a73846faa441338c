// BView: a rectangle of a window that draws itself and takes the user's input. Views form
// a tree under their window; each has a frame in its parent's coordinates and its own
// coordinate system whose origin is its left-top corner. Rectangles are inclusive, as
// everywhere in the interface kit.
//
// A view's state lives in the view itself; the interface backend mirrors it onto a Qt
// widget on the GUI thread. Draw() runs from the widget's paint event with the window
// locked. Drawing outside Draw() (say, from MouseDown()) is not kept: the view is
// invalidated instead, so Draw() must paint the view's whole look.
#ifndef _VIEW_H
#define _VIEW_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>

#include <memory>
#include <string>

class BBitmap;
class BMessage;
class BPicture;
class BScrollBar;
class BWindow;

namespace BPrivate {
class ViewData;
class WindowData;
class BitmapViews;
} // namespace BPrivate

// Event masks of SetEventMask() and SetMouseEventMask().
enum { B_POINTER_EVENTS = 0x00000001, B_KEYBOARD_EVENTS = 0x00000002 };

enum {
	B_LOCK_WINDOW_FOCUS = 0x00000001,
	B_SUSPEND_VIEW_FOCUS = 0x00000002,
	B_NO_POINTER_HISTORY = 0x00000004
};

class BView : public BHandler {
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	// Deletes the children first, then the view's widget.
	virtual ~BView();

	BView(const BView&) = delete;
	BView& operator=(const BView&) = delete;

	// Hooks around attaching to and detaching from a window. AttachedToWindow() runs for a
	// view before its children, AllAttached() after them.
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();

	virtual void MessageReceived(BMessage* message);

	// Takes ownership of the child; before, when given, is the sibling it goes in front of
	// (children added later draw on top).
	void AddChild(BView* child, BView* before = NULL);
	// Gives the child back to the caller.
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	bool RemoveSelf();

	BWindow* Window() const;
	BView* Parent() const;
	// This view or the first descendant with that name, depth first.
	BView* FindView(const char* name) const;

	// Hooks. The mouse hooks get the point in this view's coordinates; the current
	// message (Window()->CurrentMessage()) carries "buttons", "modifiers" and "clicks".
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void WindowActivated(bool active);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);

	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;

	// Show() and Hide() nest: a view hidden twice needs two Show() calls. A view is also
	// hidden while its parent or its window is.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;

	// The scroll bar of that orientation that scrolls this view (a sibling whose target it
	// is, as a BScrollView makes), or NULL.
	BScrollBar* ScrollBar(orientation direction) const;

	// The pointer's position in this view's coordinates and the buttons held now.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
	// B_POINTER_EVENTS: the view gets every mouse message of its window, wherever the
	// pointer is. SetMouseEventMask() does the same until the next mouse-up.
	status_t SetEventMask(uint32 mask, uint32 options = 0);
	uint32 EventMask();
	status_t SetMouseEventMask(uint32 mask, uint32 options = 0);

	BRect Bounds() const;
	BRect Frame() const;
	BPoint LeftTop() const;

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;
	void ConvertToParent(BPoint* point) const;
	BPoint ConvertToParent(BPoint point) const;
	void ConvertFromParent(BPoint* point) const;
	BPoint ConvertFromParent(BPoint point) const;
	void ConvertToParent(BRect* rect) const;
	BRect ConvertToParent(BRect rect) const;
	void ConvertFromParent(BRect* rect) const;
	BRect ConvertFromParent(BRect rect) const;

	// Children follow a size change according to their resizing modes.
	void MoveBy(float dx, float dy);
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void ResizeBy(float dx, float dy);
	void ResizeTo(float width, float height);
	// Scrolling moves the bounds' left-top corner, the part of the view's coordinate
	// space that shows.
	void ScrollBy(float dx, float dy);
	void ScrollTo(float x, float y);
	virtual void ScrollTo(BPoint where);

	virtual void SetFlags(uint32 flags);
	uint32 Flags() const;
	virtual void SetResizingMode(uint32 mode);
	uint32 ResizingMode() const;

	// The drawing state.
	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color ViewColor() const;
	virtual void SetHighColor(rgb_color color);
	void SetHighColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color HighColor() const;
	virtual void SetLowColor(rgb_color color);
	void SetLowColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color LowColor() const;
	virtual void SetDrawingMode(drawing_mode mode);
	drawing_mode DrawingMode() const;
	void SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction);
	void GetBlendingMode(source_alpha* sourceAlpha, alpha_function* alphaFunction) const;
	virtual void SetPenSize(float size);
	float PenSize() const;
	void PushState();
	void PopState();

	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void SetFontSize(float size);
	void GetFontHeight(font_height* height) const;
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void TruncateString(std::string* inOut, uint32 mode, float width) const;

	void MovePenTo(BPoint point);
	void MovePenTo(float x, float y);
	void MovePenBy(float x, float y);
	BPoint PenLocation() const;

	// Lines and shapes cover the pixels of their inclusive coordinates: FillRect of
	// (0, 0, 9, 9) fills ten by ten pixels.
	void StrokeLine(BPoint to, pattern fill = B_SOLID_HIGH);
	void StrokeLine(BPoint from, BPoint to, pattern fill = B_SOLID_HIGH);
	void BeginLineArray(int32 count);
	void AddLine(BPoint from, BPoint to, rgb_color color);
	void EndLineArray();
	void StrokeRect(BRect rect, pattern fill = B_SOLID_HIGH);
	void FillRect(BRect rect, pattern fill = B_SOLID_HIGH);
	void InvertRect(BRect rect);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern fill = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, pattern fill = B_SOLID_HIGH);
	void StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern fill = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, pattern fill = B_SOLID_HIGH);
	void FillEllipse(BPoint center, float xRadius, float yRadius, pattern fill = B_SOLID_HIGH);
	void FillEllipse(BRect rect, pattern fill = B_SOLID_HIGH);
	void StrokeTriangle(BPoint first, BPoint second, BPoint third, pattern fill = B_SOLID_HIGH);
	void FillTriangle(BPoint first, BPoint second, BPoint third, pattern fill = B_SOLID_HIGH);
	void StrokePolygon(
		const BPoint* points, int32 count, bool closed = true, pattern fill = B_SOLID_HIGH);
	void FillPolygon(const BPoint* points, int32 count, pattern fill = B_SOLID_HIGH);

	// Bitmaps: B_OP_COPY paints every pixel (the transparent colour as the low colour),
	// B_OP_OVER leaves transparent pixels out, B_OP_ALPHA blends by the pixels' alpha.
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap);
	void DrawBitmapAsync(const BBitmap* bitmap, BPoint where);
	void DrawBitmapAsync(const BBitmap* bitmap, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap, BRect source, BRect destination);

	// Text starts with its baseline at the pen (or the location) and runs in the font's
	// rotation; the pen moves to the end of the text.
	void DrawChar(char character);
	void DrawChar(char character, BPoint location);
	void DrawString(const char* string, escapement_delta* delta = NULL);
	void DrawString(const char* string, BPoint location, escapement_delta* delta = NULL);
	void DrawString(const char* string, int32 length, escapement_delta* delta = NULL);
	void DrawString(
		const char* string, int32 length, BPoint location, escapement_delta* delta = NULL);

	// Between BeginPicture() and EndPicture() drawing is recorded into the picture
	// instead of drawn. EndPicture() returns the picture given to BeginPicture().
	void BeginPicture(BPicture* picture);
	void AppendToPicture(BPicture* picture);
	BPicture* EndPicture();
	void DrawPicture(const BPicture* picture);
	void DrawPicture(const BPicture* picture, BPoint where);
	void DrawPictureAsync(const BPicture* picture);
	void DrawPictureAsync(const BPicture* picture, BPoint where);

	void Invalidate(BRect rect);
	void Invalidate();
	void Flush() const;
	void Sync() const;

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

private:
	friend class BWindow;
	friend class BBitmap;
	friend class BPrivate::ViewData;
	friend class BPrivate::WindowData;
	friend class BPrivate::BitmapViews;

	// The mouse state of the first mouse message waiting in the window's queue, after the
	// pending input has come in.
	void _TakeQueuedMouse(BPoint* where, uint32* buttons);

	std::unique_ptr<BPrivate::ViewData> fData;
};

#endif // _VIEW_H

#include "LibWindow.h"

#include <Application.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Messenger.h>
#include <Screen.h>
#include <View.h>

namespace {

// Room left above a tabbed window for its tab, and the gaps to screen edges and to a
// reference window.
const float kTabHeight = 30;
const float kScreenMargin = 10;
const float kReferenceGap = 20;

} // namespace

LibWindow::LibWindow(BRect frame, const char* title, window_look look, window_feel feel,
	uint32 flags, uint32 workspaces) :
	BWindow(frame, title, look, feel, flags, workspaces)
{
}

LibWindow::LibWindow(
	BRect frame, const char* title, window_type type, uint32 flags, uint32 workspaces) :
	BWindow(frame, title, type, flags, workspaces)
{
}

LibWindow::~LibWindow() { }

BPoint
LibWindow::PositionFor(const ScreenPosition& place, const BRect& bounds, bool tabbed,
	const BRect& screen, const BRect* reference)
{
	const float w = bounds.Width();
	const float h = bounds.Height();
	const float tab = tabbed ? kTabHeight : 0;
	const int32 column = place >= 0 && place <= 8 ? place % 3 : 1;
	const int32 row = place >= 0 && place <= 8 ? place / 3 : 1;

	float x;
	float y;
	if (reference == NULL) {
		const float cx = screen.right * 0.5f;
		const float cy = screen.bottom * 0.5f;
		const float columns[3] = { kScreenMargin, cx - w / 2, screen.right - w - kScreenMargin };
		const float rows[3] = { tab, cy - h / 2, screen.bottom - h - kScreenMargin };
		return BPoint(columns[column], rows[row]);
	}

	const BRect& r = *reference;
	const float rx = (r.left + r.right) / 2;
	const float ry = (r.top + r.bottom) / 2;
	const float columns[3] = { r.left - w - kReferenceGap, rx - w / 2, r.right + kReferenceGap };
	const float rows[3] = { r.top - h - tab, ry - h / 2, r.bottom + tab + 10 };
	x = columns[column];
	y = rows[row];

	// Kept on the screen; the top keeps room for the tab.
	if (y < 0)
		y = 25;
	else if (y > screen.bottom - h)
		y = screen.bottom - h - 5;
	if (x < 0)
		x = 5;
	else if (x > screen.right - w)
		x = screen.right - w - 5;
	return BPoint(x, y);
}

void
LibWindow::SetPosition(const ScreenPosition& place, BWindow* reference)
{
	const bool tabbed = Look() == B_TITLED_WINDOW_LOOK || Look() == B_DOCUMENT_WINDOW_LOOK;
	BRect referenceFrame;
	if (reference != NULL)
		referenceFrame = reference->Frame();
	BScreen screen(this);
	MoveTo(PositionFor(
		place, Bounds(), tabbed, screen.Frame(), reference != NULL ? &referenceFrame : NULL));
}

void
LibWindow::Show()
{
	if (!Lock())
		return;
	if (IsHidden())
		BWindow::Show();
	Unlock();
}

void
LibWindow::Hide()
{
	if (!Lock())
		return;
	if (!IsHidden())
		BWindow::Hide();
	Unlock();
}

void
LibWindow::Pop()
{
	if (!Lock())
		return;
	if (IsHidden())
		Show();
	if (!IsFront())
		Activate();
	Unlock();
}

void
LibWindow::ScreenChanged(BRect screenFrame, color_space depth)
{
	BWindow::ScreenChanged(screenFrame, depth);
	SetPosition(CENTER);
}

void
LibWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message->what == B_KEY_DOWN) {
		int32 modifiers = 0;
		int32 key = 0;
		message->FindInt32("modifiers", &modifiers);
		message->FindInt32("key", &key);
		BView* view = LastMouseMovedView();
		if ((modifiers & B_SHIFT_KEY) != 0 && key == B_F1_KEY && view != NULL)
			_SendHelpRequest(view);
	}
	BWindow::DispatchMessage(message, handler);
}

bool
LibWindow::InsertHelpRequest(BView* /*view*/, BMessage& /*inserts*/)
{
	return false;
}

void
LibWindow::_SendHelpRequest(BView* view)
{
	BMessage request(kLibHelpRequest);
	request.AddString("window", Name() != NULL ? Name() : "");
	request.AddString("view", view->Name() != NULL ? view->Name() : "");
	BMessage inserts;
	if (InsertHelpRequest(view, inserts))
		request.AddMessage("inserts", &inserts);
	for (BView* parent = view->Parent(); parent != NULL; parent = parent->Parent())
		request.AddString("view", parent->Name() != NULL ? parent->Name() : "");
	if (be_app != NULL)
		be_app_messenger.SendMessage(&request);
}

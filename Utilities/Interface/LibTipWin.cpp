#include "LibTipWin.h"

#include "LibTipString.h"

#include <algorithm>
#include <cmath>

namespace {

const float kOneLineHeight = 13;
// What the window adds to the text's width (the margins) and to its lines' height.
const float kExtraWidth = 3;
const float kExtraHeight = 2;

} // namespace

LibTipWin::LibTipWin() :
	LibWindow(BRect(0, 0, 100, 13), "LibTipWin", B_BORDERED_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL,
		B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS),
	fText(NULL),
	fDelay(0)
{
	fText = new LibTipString(Bounds());
	AddChild(fText);
}

LibTipWin::~LibTipWin() { }

void
LibTipWin::SetText(const char* text, const long& width)
{
	if (width < 1) {
		// One line: nothing may wrap, whatever the rounding of the measured width.
		fText->SetWordWrap(false);
		fText->SetText(text);
		const float textWidth = ceilf(fText->StringWidth(text != NULL ? text : ""));
		ResizeTo(textWidth + kExtraWidth, kOneLineHeight);
		return;
	}
	// The lines are counted as they wrap at the tip's width.
	fText->SetWordWrap(true);
	BRect rect = fText->TextRect();
	rect.right = rect.left + width;
	fText->SetTextRect(rect);
	fText->SetText(text);
	const int32 lines = std::max<int32>(1, fText->CountLines());
	ResizeTo(width + kExtraWidth, lines * fText->LineHeight(0) + kExtraHeight);
}

void
LibTipWin::PopTo(const BPoint& where, const int& delay)
{
	MoveTo(where);
	fDelay = delay;
}

void
LibTipWin::Hide()
{
	if (!Lock())
		return;
	SetPulseRate(0);
	LibWindow::Hide();
	Unlock();
}

void
LibTipWin::WindowActivated(bool active)
{
	LibWindow::WindowActivated(active);
	if (!active)
		Hide();
}

#include "LibTipString.h"

#include <Font.h>
#include <Window.h>

namespace {

const rgb_color kTipColor = { 255, 255, 203, 255 };

} // namespace

LibTipString::LibTipString(BRect frame) :
	BTextView(frame, "text_view", BRect(1, 1, frame.Width() - 2, frame.Height() - 1),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_PULSE_NEEDED | B_FRAME_EVENTS)
{
	SetViewColor(kTipColor);
	SetLowColor(kTipColor);
	BFont font(be_plain_font);
	font.SetSize(10);
	SetFontAndColor(&font);
	MakeEditable(false);
	MakeSelectable(false);
}

LibTipString::~LibTipString() { }

void
LibTipString::Pulse()
{
	if (Window() != NULL)
		Window()->Hide();
}

void
LibTipString::FrameResized(float width, float height)
{
	BTextView::FrameResized(width, height);
	BRect rect = TextRect();
	// The margins stay as they were made (one pixel, two on the right), so a tip's words
	// wrap where its size was measured and are never drawn past its edge.
	rect.right = width - 2;
	rect.bottom = height - rect.top;
	SetTextRect(rect);
}

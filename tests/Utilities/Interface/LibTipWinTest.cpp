// LibTipWin: the window's kind and its size for one-line and wrapped tips, PopTo, and hiding
// that stops the pulses.
#include "LibTipWin.h"

#include "LibTipString.h"

#include <Application.h>
#include <Font.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gui_test;

TEST(LibTipWinTest, AFloatingWindowThatNeverTakesTheFocus)
{
	BApplication application("application/x-vnd.test-lib-tip-win");
	LibTipWin* window = new LibTipWin;
	EXPECT_STREQ("LibTipWin", window->Name());
	EXPECT_EQ(BRect(0, 0, 100, 13), window->Frame());
	EXPECT_EQ(B_BORDERED_WINDOW_LOOK, window->Look());
	EXPECT_EQ(B_FLOATING_APP_WINDOW_FEEL, window->Feel());
	const uint32 flags =
		B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS;
	EXPECT_EQ(flags, window->Flags() & flags);
	EXPECT_TRUE(window->IsHidden());

	LibTipString* text = window->TextView();
	EXPECT_STREQ("text_view", text->Name());
	EXPECT_EQ((rgb_color { 255, 255, 203, 255 }), text->ViewColor());
	EXPECT_FALSE(text->IsEditable());
	EXPECT_FALSE(text->IsSelectable());
	BFont font;
	text->GetFontAndColor(0, &font);
	EXPECT_EQ(10, font.Size());
	EXPECT_EQ(BRect(1, 1, 98, 12), text->TextRect());
	window->Lock();
	window->Quit();
}

TEST(LibTipWinTest, OneLineTipsFitTheirTextAndWrappedTipsTheirLines)
{
	BApplication application("application/x-vnd.test-lib-tip-win-size");
	LibTipWin* window = new LibTipWin;
	window->Run();
	window->Lock();
	const char* shortText = "Installs everything";
	window->SetText(shortText, 0);
	const float textWidth = ceilf(window->TextView()->StringWidth(shortText));
	EXPECT_EQ(textWidth + 3, window->Bounds().Width());
	EXPECT_EQ(13, window->Bounds().Height());
	EXPECT_EQ(1, window->TextView()->CountLines());

	const char* longText = "The typical installation copies the program, its documentation "
						   "and the examples to the folder you choose.";
	window->SetText(longText, 150);
	const int32 lines = window->TextView()->CountLines();
	EXPECT_GE(lines, 3);
	EXPECT_EQ(153, window->Bounds().Width());
	EXPECT_EQ(lines * window->TextView()->LineHeight(0) + 2, window->Bounds().Height());
	// The text wraps where it was measured once the window has its size.
	EXPECT_EQ(lines, window->TextView()->CountLines());
	EXPECT_LE(window->TextView()->TextRect().right, window->Bounds().right - 1);

	window->PopTo(BPoint(300, 200), 2);
	EXPECT_EQ(BPoint(300, 200), window->Frame().LeftTop());
	EXPECT_EQ(2, window->Delay());
	window->Quit();
}

TEST(LibTipWinTest, HidingStopsThePulsesAndAPulseHides)
{
	BApplication application("application/x-vnd.test-lib-tip-win-hide");
	LibTipWin* window = new LibTipWin;
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();
	window->SetPulseRate(1000000);
	window->Hide();
	EXPECT_TRUE(window->IsHidden());
	EXPECT_EQ(0, window->PulseRate());
	window->Hide();
	window->Show();
	EXPECT_FALSE(window->IsHidden());

	window->TextView()->Pulse();
	EXPECT_TRUE(window->IsHidden());
	window->Quit();
}

// LibTipWin: the tip window's size for one-line and wrapped tips, and a pulse that ends a tip
// and stops the pulses.
#include "LibTipWin.h"

#include "LibTipString.h"

#include "WidgetTestHelpers.h"

#include <cmath>

class LibTipWinTest : public widget_test::WindowTest { };

TEST_F(LibTipWinTest, TipsFitTheirTextOnOneLineOrTheirWrappedLines)
{
	Open({});
	LibTipWin* window = new LibTipWin;
	window->Run();
	window->Lock();
	EXPECT_EQ(BRect(1, 1, 98, 12), window->TextView()->TextRect());
	const char* shortText = "Installs everything";
	window->SetText(shortText, 0);
	EXPECT_EQ(ceilf(window->TextView()->StringWidth(shortText)) + 3, window->Bounds().Width());
	EXPECT_EQ(13, window->Bounds().Height());
	EXPECT_EQ(1, window->TextView()->CountLines());

	window->SetText("The typical installation copies the program, its documentation and the "
					"examples to the folder you choose.",
		150);
	const int32 lines = window->TextView()->CountLines();
	EXPECT_GE(lines, 3);
	EXPECT_EQ(153, window->Bounds().Width());
	EXPECT_EQ(lines * window->TextView()->LineHeight(0) + 2, window->Bounds().Height());

	window->Show();
	window->SetPulseRate(1000000);
	window->TextView()->Pulse();
	EXPECT_TRUE(window->IsHidden());
	EXPECT_EQ(0, window->PulseRate());
	window->Quit();
}

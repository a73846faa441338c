// BScrollBar: the value stays in the range in whole pixels and scrolls the target; the
// arrows and the track step by the small and big steps. BScrollView puts the bars beside
// its target.
#include <Application.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

TEST(ScrollBarTest, ValuesStayInRangeAndScrollTheTarget)
{
	BApplication application("application/x-vnd.test-scroll-bar");
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Scroll", B_TITLED_WINDOW, 0);
	BView* content = new BView(BRect(0, 0, 199, 99), "content", B_FOLLOW_ALL, B_WILL_DRAW);
	BScrollView* scroller = new BScrollView(
		"scroller", content, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true, true, B_FANCY_BORDER);
	window->AddChild(scroller);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();

	// The fancy border is two pixels; the bars sit right and below the target.
	EXPECT_EQ(
		BRect(-2, -2, 201 + B_V_SCROLL_BAR_WIDTH, 101 + B_H_SCROLL_BAR_HEIGHT), scroller->Frame());
	EXPECT_EQ(BPoint(2, 2), content->Frame().LeftTop());
	BScrollBar* vertical = scroller->ScrollBar(B_VERTICAL);
	BScrollBar* horizontal = scroller->ScrollBar(B_HORIZONTAL);
	ASSERT_NE(nullptr, vertical);
	ASSERT_NE(nullptr, horizontal);
	EXPECT_EQ(content, vertical->Target());
	EXPECT_EQ(vertical, BScrollBar::Of(content, B_VERTICAL));
	EXPECT_EQ(B_HORIZONTAL, horizontal->Orientation());
	EXPECT_GT(vertical->Frame().left, content->Frame().right);
	EXPECT_GT(horizontal->Frame().top, content->Frame().bottom);

	vertical->SetRange(0, 300);
	vertical->SetSteps(10, 80);

	struct Row {
		float set;
		float expected;
	};

	const Row rows[] = { { 50, 50 }, { 12.4f, 12 }, { -5, 0 }, { 1000, 300 }, { 299.6f, 300 } };
	for (const Row& row : rows) {
		vertical->SetValue(row.set);
		EXPECT_EQ(row.expected, vertical->Value()) << row.set;
		EXPECT_EQ(row.expected, content->Bounds().top) << row.set;
	}
	// A smaller range pulls the value (and the target) in.
	vertical->SetRange(0, 100);
	EXPECT_EQ(100, vertical->Value());
	EXPECT_EQ(100, content->Bounds().top);
	vertical->SetValue(50);
	BRect barFrame = vertical->Frame();
	window->Unlock();

	// The bottom arrow steps by the small step, the track below the knob by the big one.
	BPoint bottomArrow(barFrame.left + 5, barFrame.bottom - 3);
	click(window, scroller->ConvertToParent(bottomArrow));
	ASSERT_TRUE(wait_until([&] {
		window->Lock();
		float value = vertical->Value();
		window->Unlock();
		return value == 60;
	}));
	BPoint topArrow(barFrame.left + 5, barFrame.top + 3);
	click(window, scroller->ConvertToParent(topArrow));
	click(window, scroller->ConvertToParent(topArrow));
	ASSERT_TRUE(wait_until([&] {
		window->Lock();
		float value = vertical->Value();
		window->Unlock();
		return value == 40;
	}));
	window->Lock();
	EXPECT_EQ(40, content->Bounds().top);
	window->Quit();
}

TEST(ScrollBarTest, AViewFindsTheBarsThatScrollIt)
{
	BApplication application("application/x-vnd.test-scroll-bar");
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Scroll", B_TITLED_WINDOW, 0);
	BView* content = new BView(BRect(0, 0, 199, 99), "content", B_FOLLOW_ALL, B_WILL_DRAW);
	BView* other = new BView(BRect(0, 0, 99, 99), "other", B_FOLLOW_ALL, B_WILL_DRAW);
	BScrollView* scroller = new BScrollView(
		"scroller", content, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER);
	window->AddChild(scroller);
	window->AddChild(other);
	window->Lock();
	EXPECT_EQ(scroller->ScrollBar(B_VERTICAL), content->ScrollBar(B_VERTICAL));
	EXPECT_NE(nullptr, content->ScrollBar(B_VERTICAL));
	EXPECT_EQ(nullptr, content->ScrollBar(B_HORIZONTAL));
	EXPECT_EQ(nullptr, other->ScrollBar(B_VERTICAL));
	window->Quit();
}

// BStringView: one line of text, placed by its alignment, never shortened by itself.
#include <Application.h>
#include <StringView.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

namespace {

// The columns that hold dark pixels.
std::pair<int, int>
text_columns(const QImage& image, int top, int bottom)
{
	int left = image.width();
	int right = -1;
	for (int y = top; y <= bottom; y++) {
		for (int x = 0; x < image.width(); x++) {
			if (qGray(image.pixel(x, y)) < 128) {
				left = std::min(left, x);
				right = std::max(right, x);
			}
		}
	}
	return { left, right };
}

} // namespace

TEST(StringViewTest, AlignmentPlacesTheText)
{
	BApplication application("application/x-vnd.test-string-view");
	BWindow* window = new BWindow(BRect(50, 50, 249, 129), "Strings", B_TITLED_WINDOW, 0);
	BView* background = new BView(window->Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
	window->AddChild(background);

	struct Row {
		alignment align;
		BRect frame;
	};

	const Row rows[] = {
		{ B_ALIGN_LEFT, BRect(0, 0, 199, 19) },
		{ B_ALIGN_CENTER, BRect(0, 20, 199, 39) },
		{ B_ALIGN_RIGHT, BRect(0, 40, 199, 59) },
	};
	for (const Row& row : rows) {
		BStringView* view = new BStringView(row.frame, "text", "Volume");
		view->SetAlignment(row.align);
		EXPECT_EQ(row.align, view->Alignment());
		background->AddChild(view);
	}
	// A text wider than its view is clipped, not shortened.
	const char* longText = "A text much too long for the little view it is in";
	BStringView* clipped = new BStringView(BRect(0, 60, 49, 79), "clipped", longText);
	background->AddChild(clipped);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	QImage image = grab(window);

	auto left = text_columns(image, 0, 19);
	auto centre = text_columns(image, 20, 39);
	auto right = text_columns(image, 40, 59);
	EXPECT_LE(left.first, 2);
	EXPECT_GE(right.second, 196);
	EXPECT_NEAR(100, (centre.first + centre.second) / 2.0, 3);
	EXPECT_NEAR(left.second - left.first, right.second - right.first, 1);
	EXPECT_STREQ(longText, clipped->Text());
	EXPECT_GE(text_columns(image, 60, 79).second, 47);

	float width;
	float height;
	clipped->GetPreferredSize(&width, &height);
	EXPECT_FLOAT_EQ(ceilf(be_plain_font->StringWidth(longText)), width);
	window->Lock();
	window->Quit();
}

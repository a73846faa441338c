// BBox: the three borders and the label in the top edge, checked on the drawn pixels.
#include <Application.h>
#include <Box.h>
#include <StringView.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

namespace {

QImage
draw_box(BBox* box)
{
	BWindow* window = new BWindow(BRect(50, 50, 169, 109), "Box", B_TITLED_WINDOW, 0);
	BView* background = new BView(window->Bounds(), "bg", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(216, 216, 216);
	window->AddChild(background);
	background->AddChild(box);
	window->Show();
	wait_until([&] { return widget_of(window) != nullptr; });
	QImage image = grab(window);
	window->Lock();
	window->Quit();
	return image;
}

} // namespace

TEST(BoxTest, BordersDrawDarkerAndLighterEdges)
{
	BApplication application("application/x-vnd.test-box");
	QImage fancy = draw_box(new BBox(BRect(10, 10, 109, 49), "fancy"));
	// Etched: a shadow line, with a light line inside it.
	EXPECT_LT(qGray(fancy.pixel(50, 10)), 216);
	EXPECT_GT(qGray(fancy.pixel(50, 11)), 216);
	EXPECT_EQ(qRgb(216, 216, 216), fancy.pixel(50, 30));

	QImage plain = draw_box(new BBox(BRect(10, 10, 109, 49), "plain", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW, B_PLAIN_BORDER));
	EXPECT_GT(qGray(plain.pixel(50, 10)), 216);
	EXPECT_LT(qGray(plain.pixel(50, 49)), 216);

	QImage none = draw_box(new BBox(
		BRect(10, 10, 109, 49), "none", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW, B_NO_BORDER));
	EXPECT_EQ(qRgb(216, 216, 216), none.pixel(50, 10));
	EXPECT_EQ(qRgb(216, 216, 216), none.pixel(50, 49));
}

TEST(BoxTest, TheLabelSitsInTheTopEdge)
{
	BApplication application("application/x-vnd.test-box-label");
	BBox* box = new BBox(BRect(10, 10, 109, 49), "labelled");
	box->SetLabel("Options");
	EXPECT_STREQ("Options", box->Label());
	QImage image = draw_box(box);

	// Text left of the label's end, and the edge runs on behind it.
	int dark = 0;
	for (int y = 10; y < 25; y++) {
		for (int x = 20; x < 60; x++)
			dark += qGray(image.pixel(x, y)) < 100;
	}
	EXPECT_GT(dark, 20);
	EXPECT_LT(qGray(image.pixel(100, 10 + 7)), 216);

	BBox* viewLabelled = new BBox(BRect(10, 10, 109, 49), "view");
	BStringView* label = new BStringView(BRect(0, 0, 40, 15), "label", "Box");
	EXPECT_EQ(B_OK, viewLabelled->SetLabel(label));
	EXPECT_EQ(label, viewLabelled->LabelView());
	EXPECT_EQ(NULL, viewLabelled->Label());
	EXPECT_EQ(viewLabelled, label->Parent());
	viewLabelled->SetLabel("Text");
	EXPECT_EQ(NULL, viewLabelled->LabelView());
	delete viewLabelled;
}

// BPicture: drawing recorded between BeginPicture() and EndPicture() is not drawn then,
// and replays wherever DrawPicture() puts it.
#include <Application.h>
#include <Picture.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace gui_test;

namespace {

class RecordingView : public BView {
public:
	RecordingView() :
		BView(BRect(0, 0, 99, 99), "recording", B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(255, 255, 255);
	}

	void Draw(BRect) override
	{
		BPicture picture;
		BeginPicture(&picture);
		SetHighColor(255, 0, 0);
		FillRect(BRect(0, 0, 9, 9));
		SetHighColor(0, 0, 255);
		FillRect(BRect(10, 0, 19, 9));
		fEnded = EndPicture();
		fEmptyAfterRecording = picture.IsEmpty();
		fSameObject = fEnded == &picture;

		DrawPicture(&picture, BPoint(40, 50));
		// A copy replays the same drawing; appending adds to it.
		BPicture copy(picture);
		AppendToPicture(&copy);
		SetHighColor(0, 255, 0);
		FillRect(BRect(0, 10, 9, 19));
		EndPicture();
		DrawPicture(&copy, BPoint(0, 70));
		fEnded = NULL;
	}

	BPicture* fEnded = NULL;
	bool fEmptyAfterRecording = true;
	bool fSameObject = false;
};

} // namespace

TEST(PictureTest, RecordedDrawingReplaysWhereItIsDrawn)
{
	BApplication application("application/x-vnd.test-picture");
	BWindow* window = new BWindow(BRect(20, 20, 119, 119), "Picture", B_TITLED_WINDOW, 0);
	RecordingView* view = new RecordingView;
	window->AddChild(view);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	QImage image = grab(window);

	EXPECT_TRUE(view->fSameObject);
	EXPECT_FALSE(view->fEmptyAfterRecording);
	// Nothing was drawn while recording.
	EXPECT_EQ(qRgb(255, 255, 255), image.pixel(5, 5));
	EXPECT_EQ(qRgb(255, 255, 255), image.pixel(15, 5));
	// The replay, offset by (40, 50).
	EXPECT_EQ(qRgb(255, 0, 0), image.pixel(40, 50));
	EXPECT_EQ(qRgb(255, 0, 0), image.pixel(49, 59));
	EXPECT_EQ(qRgb(0, 0, 255), image.pixel(59, 59));
	EXPECT_EQ(qRgb(255, 255, 255), image.pixel(60, 59));
	// The appended copy, offset by (0, 70).
	EXPECT_EQ(qRgb(255, 0, 0), image.pixel(5, 75));
	EXPECT_EQ(qRgb(0, 255, 0), image.pixel(5, 85));

	window->Lock();
	window->Quit();
}

TEST(PictureTest, ANewPictureIsEmpty)
{
	BPicture picture;
	EXPECT_TRUE(picture.IsEmpty());
}

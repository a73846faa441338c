// The interface part of the system functions: the snapshot reads the real screen, pictures
// made from bitmaps draw the bitmap's pixels, and only the secondary button alone counts as
// button three.
#include "LibSysInfoInterface.h"

#include "LibSysInfo.h"

#include <Application.h>
#include <Bitmap.h>
#include <InterfaceDefs.h>
#include <Picture.h>
#include <Screen.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace gui_test;

namespace {

class PictureView : public BView {
public:
	PictureView(BPicture* picture) :
		BView(BRect(0, 0, 49, 49), "picture", B_FOLLOW_NONE, B_WILL_DRAW),
		fPicture(picture)
	{
		SetViewColor(255, 255, 255);
	}

	void Draw(BRect) override { DrawPicture(fPicture, BPoint(10, 10)); }

	BPicture* fPicture;
};

QImage
draw_picture(BPicture* picture)
{
	BWindow* window = new BWindow(BRect(50, 50, 99, 99), "Picture", B_TITLED_WINDOW, 0);
	window->AddChild(new PictureView(picture));
	window->Show();
	wait_until([&] { return widget_of(window) != nullptr; });
	QImage image = grab(window);
	window->Lock();
	window->Quit();
	return image;
}

} // namespace

TEST(LibSysInfoInterfaceTest, TheSnapshotReadsTheMainScreenAndTheMachine)
{
	LibSysInfo info;
	const QSize size = QGuiApplication::primaryScreen()->geometry().size();
	EXPECT_EQ(size.width(), info.ScreenWidth());
	EXPECT_EQ(size.height(), info.ScreenHeight());
	EXPECT_EQ(B_RGB32, info.ScreenDepth());
	EXPECT_STREQ("32 bit color", info.ScreenDepthStr());
	EXPECT_GE(info.CpuCount(), 1);
	EXPECT_GT(info.PhysicalRam(), 0);
	EXPECT_GT(info.OSBuilt().Length(), 2);

	LibString description;
	info.Description(description);
	testing::internal::CaptureStderr();
	info.PrintToStream();
	const std::string printed = testing::internal::GetCapturedStderr();
	EXPECT_EQ(std::string(description) + "\n32 bit color, " + std::to_string(size.width()) + "x"
			+ std::to_string(size.height()) + "\n",
		printed);
}

TEST(LibSysInfoInterfaceTest, APictureOfABitmapDrawsItsPixels)
{
	BApplication application("application/x-vnd.test-bitmap-picture");
	BBitmap bitmap(BRect(0, 0, 3, 3), B_RGB32);
	uint8* bits = static_cast<uint8*>(bitmap.Bits());
	for (int32 i = 0; i < 16; i++) {
		bits[i * 4 + 0] = 0; // blue
		bits[i * 4 + 1] = 0; // green
		bits[i * 4 + 2] = 255; // red
		bits[i * 4 + 3] = 255;
	}
	std::unique_ptr<BPicture> picture(LibBitmapToPicture(&bitmap));
	ASSERT_NE(nullptr, picture);
	EXPECT_FALSE(picture->IsEmpty());
	QImage image = draw_picture(picture.get());
	EXPECT_EQ(qRgb(255, 0, 0), image.pixel(11, 11));
	EXPECT_EQ(qRgb(255, 0, 0), image.pixel(13, 13));
	EXPECT_EQ(qRgb(255, 255, 255), image.pixel(14, 14));
}

TEST(LibSysInfoInterfaceTest, RawBitsBecomeAPictureOrNothing)
{
	BApplication application("application/x-vnd.test-bits-picture");
	// Colour-mapped bits: index 0 is black in the system palette; rows of 4 are unpadded.
	std::vector<uint8> bits(4 * 4, 0);
	std::unique_ptr<BPicture> picture(LibBitmapToPicture(BRect(0, 0, 3, 3), bits.data(), B_CMAP8));
	ASSERT_NE(nullptr, picture);
	QImage image = draw_picture(picture.get());
	EXPECT_EQ(qRgb(0, 0, 0), image.pixel(12, 12));

	EXPECT_EQ(nullptr, LibBitmapToPicture(BRect(0, 0, 3, 3), nullptr, B_CMAP8));
	EXPECT_EQ(nullptr, LibBitmapToPicture(nullptr));
}

TEST(LibSysInfoInterfaceTest, OnlyTheSecondaryButtonAloneIsButtonThree)
{
	BApplication application("application/x-vnd.test-mouse-button");
	EXPECT_FALSE(LibIsMouseButton3(nullptr));
	BWindow* window = new BWindow(BRect(50, 50, 149, 149), "Mouse", B_TITLED_WINDOW, 0);
	BView* view = new BView(window->Bounds(), "view", B_FOLLOW_ALL, B_WILL_DRAW);
	window->AddChild(view);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	auto button_three = [&] {
		window->Lock();
		const bool result = LibIsMouseButton3(view);
		window->Unlock();
		return result;
	};
	EXPECT_FALSE(button_three());
	send_mouse(window, QEvent::MouseButtonPress, BPoint(20, 20), Qt::RightButton, Qt::RightButton);
	EXPECT_TRUE(wait_until(button_three));
	send_mouse(window, QEvent::MouseButtonPress, BPoint(20, 20), Qt::LeftButton,
		Qt::LeftButton | Qt::RightButton);
	EXPECT_TRUE(wait_until([&] { return !button_three(); }));
	send_mouse(window, QEvent::MouseButtonRelease, BPoint(20, 20), Qt::LeftButton, Qt::RightButton);
	send_mouse(window, QEvent::MouseButtonRelease, BPoint(20, 20), Qt::RightButton, Qt::NoButton);
	run_for(50);
	EXPECT_FALSE(button_three());
	if (window->Lock())
		window->Quit();
}

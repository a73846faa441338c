// <Application.h> alone brings what BeOS code takes from it: the application messages
// (AppDefs.h), BMessage, BMessenger, points and rectangles.
#include <Application.h>

#include <gtest/gtest.h>

TEST(BeHeaders, ApplicationBringsAppDefsMessagesMessengersAndGeometry)
{
	BMessage message(B_QUIT_REQUESTED);
	message.AddInt32("count", 1);
	EXPECT_EQ(1, message.FindInt32("count"));
	EXPECT_NE(B_READY_TO_RUN, message.what);
	EXPECT_FALSE(BMessenger().IsValid());
	EXPECT_EQ(BPoint(1, 2), BRect(1, 2, 3, 4).LeftTop());
}

// <Messenger.h> alone brings BMessage, which every use of a messenger sends.
#include <Messenger.h>

#include <gtest/gtest.h>

TEST(BeHeaders, MessengerBringsMessage)
{
	BMessage message('ping');
	EXPECT_EQ(B_BAD_PORT_ID, BMessenger().SendMessage(&message));
}

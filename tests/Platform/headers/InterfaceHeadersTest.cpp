// The interface kit's control headers alone bring what BeOS code builds them with: a
// control's BMessage, a menu field's BMenu, a menu item's BMenu, a picture button's
// BPicture and BBitmap.
#include <Button.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PictureButton.h>

#include <gtest/gtest.h>

TEST(BeHeaders, ControlHeadersBringMessagesMenusPicturesAndBitmaps)
{
	BMessage message('push');
	EXPECT_EQ((uint32)'push', message.what);
	EXPECT_GT(sizeof(BMenu), 0u);
	EXPECT_GT(sizeof(BPicture), 0u);
	EXPECT_GT(sizeof(BBitmap), 0u);
}

// MetaStringItem: a text row that carries its own message and releases it with the row.
#include "MetaStringItem.h"

#include <gtest/gtest.h>

TEST(MetaStringItemTest, TheRowCarriesItsOwnMessage)
{
	MetaStringItem* item = new MetaStringItem("Typical");
	EXPECT_STREQ("Typical", item->Text());
	ASSERT_NE(nullptr, item->Message());
	EXPECT_TRUE(item->Message()->IsEmpty());
	item->Message()->AddString("group_description", "Everything most users need");
	item->Message()->AddInt32("uid", 3);
	EXPECT_EQ(3, item->Message()->GetInt32("uid", 0));
	// Under the address sanitizer a message kept beyond the row would show as a leak.
	delete item;
}

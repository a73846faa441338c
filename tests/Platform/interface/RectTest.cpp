#include <Rect.h>

#include <gtest/gtest.h>

TEST(Rect, EdgesAreInclusive)
{
	// BeOS behaviour: a 32-pixel icon frame is (0, 0, 31, 31) and its width is 31.
	BRect icon(0, 0, 31, 31);
	EXPECT_EQ(31.0f, icon.Width());
	EXPECT_EQ(31, icon.IntegerWidth());
	EXPECT_EQ(31.0f, icon.Height());
	EXPECT_TRUE(icon.Contains(BPoint(31, 31)));
	EXPECT_FALSE(icon.Contains(BPoint(31.5f, 0)));
	EXPECT_TRUE(icon.Intersects(BRect(31, 31, 40, 40)));
	EXPECT_FALSE(icon.Intersects(BRect(32, 0, 40, 40)));

	// IntegerWidth rounds up.
	EXPECT_EQ(3, BRect(0, 0, 2.2f, 0).IntegerWidth());
	EXPECT_EQ(0, BRect(5, 5, 5, 5).IntegerHeight());
}

TEST(Rect, ValidityAndDefaults)
{
	EXPECT_FALSE(BRect().IsValid());
	EXPECT_EQ(BRect(0, 0, -1, -1), BRect());
	EXPECT_TRUE(BRect(3, 3, 3, 3).IsValid());
	EXPECT_FALSE(BRect(4, 0, 3, 10).IsValid());
	EXPECT_EQ(BRect(0, 0, 7, 7), BRect(7));
	EXPECT_EQ(BRect(1, 2, 3, 4), BRect(BPoint(1, 2), BPoint(3, 4)));

	// Invalid rectangles neither intersect nor contain.
	EXPECT_FALSE(BRect().Intersects(BRect(-10, -10, 10, 10)));
	EXPECT_FALSE(BRect(-10, -10, 10, 10).Contains(BRect()));
}

TEST(Rect, IntersectionAndUnion)
{
	BRect a(0, 0, 10, 10);
	BRect b(5, -5, 20, 8);
	EXPECT_EQ(BRect(5, 0, 10, 8), a & b);
	EXPECT_EQ(BRect(0, -5, 20, 10), a | b);
	EXPECT_FALSE((a & BRect(11, 11, 12, 12)).IsValid());
	EXPECT_TRUE(a.Contains(BRect(1, 1, 10, 10)));
	EXPECT_FALSE(a.Contains(b));
}

TEST(Rect, InsetAndOffsetKeepOrMoveTheFrame)
{
	BRect rect(10, 20, 110, 70);
	rect.InsetBy(5, 10);
	EXPECT_EQ(BRect(15, 30, 105, 60), rect);
	rect.InsetBy(BPoint(-5, -10));
	EXPECT_EQ(BRect(10, 20, 110, 70), rect);

	rect.OffsetBy(1, -1);
	EXPECT_EQ(BRect(11, 19, 111, 69), rect);
	rect.OffsetTo(0, 0);
	EXPECT_EQ(BRect(0, 0, 100, 50), rect);
	EXPECT_EQ(BRect(5, 5, 105, 55), rect.OffsetToCopy(BPoint(5, 5)));
	EXPECT_EQ(BRect(2, 2, 98, 48), rect.InsetByCopy(2, 2));
	EXPECT_EQ(BRect(0, 0, 100, 50), rect);

	EXPECT_EQ(BPoint(0, 50), rect.LeftBottom());
	EXPECT_EQ(BPoint(100, 0), rect.RightTop());
	rect.SetRightBottom(BPoint(20, 30));
	EXPECT_EQ(BRect(0, 0, 20, 30), rect);
}

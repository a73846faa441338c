#include <Point.h>
#include <Rect.h>

#include <gtest/gtest.h>

TEST(Point, ArithmeticWorksComponentwise)
{
	BPoint point(1.5f, -2.0f);
	EXPECT_EQ(BPoint(4.5f, 2.0f), point + BPoint(3.0f, 4.0f));
	EXPECT_EQ(BPoint(-1.5f, -6.0f), point - BPoint(3.0f, 4.0f));
	EXPECT_EQ(BPoint(-1.5f, 2.0f), -point);
	point += BPoint(1.0f, 1.0f);
	EXPECT_EQ(BPoint(2.5f, -1.0f), point);
	point -= BPoint(2.5f, -1.0f);
	EXPECT_EQ(B_ORIGIN, point);
	EXPECT_NE(BPoint(0.0f, 1.0f), point);
}

TEST(Point, ConstrainToMovesOntoTheNearestEdge)
{
	BRect bounds(10, 20, 30, 40);

	struct Row {
		BPoint point;
		BPoint expected;
	} rows[] = {
		{ BPoint(15, 25), BPoint(15, 25) },
		{ BPoint(0, 0), BPoint(10, 20) },
		{ BPoint(100, 100), BPoint(30, 40) },
		{ BPoint(30, 20), BPoint(30, 20) },
		{ BPoint(5, 35), BPoint(10, 35) },
	};

	for (const Row& row : rows) {
		BPoint point = row.point;
		point.ConstrainTo(bounds);
		EXPECT_EQ(row.expected, point) << row.point.x << "," << row.point.y;
	}
}

// LibRect and LibLayoutRect: rectangles by size, and rectangles placed against a line of a
// reference rectangle, for every edge and side.
#include "LibRect.h"

#include <gtest/gtest.h>

TEST(LibRectTest, ARectangleSpansItsWidthAndHeightFromItsCorner)
{
	EXPECT_EQ(BRect(10, 15, 70, 30), LibRect(10, 15, 60, 15));
	EXPECT_EQ(BRect(0, 0, 450, 200), LibRect(0, 0, 450, 200));
}

TEST(LibRectTest, LayoutPlacesTheNamedSideOnTheReferencesLine)
{
	const BRect reference(10, 10, 200, 50);

	struct Row {
		Edge edge;
		Edge side;
		BRect result;
	};

	// Offset 5, width 100, height 20.
	const Row rows[] = {
		{ EDGE_TOP, EDGE_TOP, BRect(10, 15, 110, 35) },
		{ EDGE_TOP, EDGE_BOTTOM, BRect(10, -5, 110, 15) },
		{ EDGE_BOTTOM, EDGE_TOP, BRect(10, 55, 110, 75) },
		{ EDGE_BOTTOM, EDGE_BOTTOM, BRect(10, 35, 110, 55) },
		{ EDGE_LEFT, EDGE_LEFT, BRect(15, 10, 115, 30) },
		{ EDGE_LEFT, EDGE_RIGHT, BRect(-85, 10, 15, 30) },
		{ EDGE_RIGHT, EDGE_LEFT, BRect(205, 10, 305, 30) },
		{ EDGE_RIGHT, EDGE_RIGHT, BRect(105, 10, 205, 30) },
		// A side across the line's direction does not place anything.
		{ EDGE_TOP, EDGE_LEFT, BRect(0, 0, 100, 20) },
		{ EDGE_BOTTOM, EDGE_RIGHT, BRect(0, 0, 100, 20) },
		{ EDGE_LEFT, EDGE_TOP, BRect(0, 0, 100, 20) },
		{ EDGE_RIGHT, EDGE_BOTTOM, BRect(0, 0, 100, 20) },
		{ (Edge)7, EDGE_TOP, BRect(0, 0, 100, 20) },
	};
	for (const Row& row : rows) {
		EXPECT_EQ(row.result, LibLayoutRect(reference, row.edge, row.side, 5, 100, 20))
			<< row.edge << " " << row.side;
	}
}

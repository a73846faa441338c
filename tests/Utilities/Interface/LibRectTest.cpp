// LibRect and LibLayoutRect: rectangles by size, and placed against every edge with every side.
#include "LibRect.h"

#include <gtest/gtest.h>

TEST(LibRectTest, RectanglesBySizeAndAgainstAReferenceLine)
{
	EXPECT_EQ(BRect(10, 15, 70, 30), LibRect(10, 15, 60, 15));

	const BRect reference(10, 10, 200, 50);

	const struct {
		Edge edge;
		Edge side;
		BRect result;
	} rows[] = {
		{ EDGE_TOP, EDGE_TOP, BRect(10, 15, 110, 35) },
		{ EDGE_TOP, EDGE_BOTTOM, BRect(10, -5, 110, 15) },
		{ EDGE_BOTTOM, EDGE_TOP, BRect(10, 55, 110, 75) },
		{ EDGE_BOTTOM, EDGE_BOTTOM, BRect(10, 35, 110, 55) },
		{ EDGE_LEFT, EDGE_LEFT, BRect(15, 10, 115, 30) },
		{ EDGE_LEFT, EDGE_RIGHT, BRect(-85, 10, 15, 30) },
		{ EDGE_RIGHT, EDGE_LEFT, BRect(205, 10, 305, 30) },
		{ EDGE_RIGHT, EDGE_RIGHT, BRect(105, 10, 205, 30) },
		// A side across the line, or no edge at all, places nothing.
		{ EDGE_TOP, EDGE_LEFT, BRect(0, 0, 100, 20) },
		{ EDGE_RIGHT, EDGE_BOTTOM, BRect(0, 0, 100, 20) },
		{ (Edge)7, EDGE_TOP, BRect(0, 0, 100, 20) },
	};

	for (const auto& row : rows) {
		EXPECT_EQ(row.result, LibLayoutRect(reference, row.edge, row.side, 5, 100, 20))
			<< row.edge << " " << row.side;
	}
}

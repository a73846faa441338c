// The rectangle helpers every window lays out its views with.
#ifndef LIB_RECT_H
#define LIB_RECT_H

#include <Rect.h>
#include <SupportDefs.h>

// The edges of a rectangle, for LibLayoutRect.
enum Edge : int32 { EDGE_TOP = 0, EDGE_BOTTOM = 1, EDGE_LEFT = 2, EDGE_RIGHT = 3 };

// The rectangle (x, y, x + width, y + height).
BRect LibRect(const float& x, const float& y, const float& width, const float& height);

// A width × height rectangle placed against a line of the reference: the line is the
// reference's edge moved by offset (downwards for top and bottom, to the right for left and
// right), and side names the new rectangle's edge that lies on it. Top and bottom lines take
// the sides top or bottom and keep the reference's left; left and right lines take the sides
// left or right and keep its top. Any other combination leaves the rectangle at (0, 0).
BRect LibLayoutRect(const BRect& reference, const Edge& edge, const Edge& side, const float& offset,
	const float& width, const float& height);

#endif // LIB_RECT_H

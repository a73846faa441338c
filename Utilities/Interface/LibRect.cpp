#include "LibRect.h"

BRect
LibRect(const float& x, const float& y, const float& width, const float& height)
{
	return BRect(x, y, x + width, y + height);
}

BRect
LibLayoutRect(const BRect& reference, const Edge& edge, const Edge& side, const float& offset,
	const float& width, const float& height)
{
	BRect result(0, 0, width, height);
	bool horizontalLine = edge == EDGE_TOP || edge == EDGE_BOTTOM;
	bool verticalLine = edge == EDGE_LEFT || edge == EDGE_RIGHT;
	if (horizontalLine && (side == EDGE_TOP || side == EDGE_BOTTOM)) {
		float line = (edge == EDGE_TOP ? reference.top : reference.bottom) + offset;
		result.OffsetTo(reference.left, side == EDGE_TOP ? line : line - height);
	} else if (verticalLine && (side == EDGE_LEFT || side == EDGE_RIGHT)) {
		float line = (edge == EDGE_LEFT ? reference.left : reference.right) + offset;
		result.OffsetTo(side == EDGE_LEFT ? line : line - width, reference.top);
	}
	return result;
}

// A rectangle in BeOS coordinates. The edges are inclusive: a rectangle from (0, 0) to
// (9, 9) covers ten pixels across, yet its Width() is 9 (right - left).
#ifndef _RECT_H
#define _RECT_H

#include <Point.h>

#include <cmath>

class BRect {
public:
	float left;
	float top;
	float right;
	float bottom;

	// An invalid rectangle: (0, 0, -1, -1).
	BRect();
	BRect(float left, float top, float right, float bottom);
	BRect(BPoint leftTop, BPoint rightBottom);
	// A square from (0, 0) to (side, side).
	explicit BRect(float side);

	void Set(float left, float top, float right, float bottom);
	void PrintToStream() const;

	BPoint LeftTop() const;
	BPoint RightBottom() const;
	BPoint LeftBottom() const;
	BPoint RightTop() const;

	void SetLeftTop(const BPoint point);
	void SetRightBottom(const BPoint point);
	void SetLeftBottom(const BPoint point);
	void SetRightTop(const BPoint point);

	// Moves every edge inwards by the given amounts (negative values grow it).
	void InsetBy(BPoint inset);
	void InsetBy(float dx, float dy);
	void OffsetBy(BPoint delta);
	void OffsetBy(float dx, float dy);
	// Moves the rectangle so that its left-top corner is at the point.
	void OffsetTo(BPoint point);
	void OffsetTo(float x, float y);

	BRect& InsetBySelf(BPoint inset);
	BRect& InsetBySelf(float dx, float dy);
	BRect InsetByCopy(BPoint inset) const;
	BRect InsetByCopy(float dx, float dy) const;
	BRect& OffsetBySelf(BPoint delta);
	BRect& OffsetBySelf(float dx, float dy);
	BRect OffsetByCopy(BPoint delta) const;
	BRect OffsetByCopy(float dx, float dy) const;
	BRect& OffsetToSelf(BPoint point);
	BRect& OffsetToSelf(float x, float y);
	BRect OffsetToCopy(BPoint point) const;
	BRect OffsetToCopy(float x, float y) const;

	bool operator==(BRect other) const;
	bool operator!=(BRect other) const;

	// Intersection and union (the smallest rectangle holding both).
	BRect operator&(BRect other) const;
	BRect operator|(BRect other) const;

	bool IsValid() const;
	float Width() const;
	int32 IntegerWidth() const;
	float Height() const;
	int32 IntegerHeight() const;

	bool Intersects(BRect rect) const;
	bool Contains(BPoint point) const;
	bool Contains(BRect rect) const;
};

inline BRect::BRect() :
	left(0.0f),
	top(0.0f),
	right(-1.0f),
	bottom(-1.0f)
{
}

inline BRect::BRect(float left, float top, float right, float bottom) :
	left(left),
	top(top),
	right(right),
	bottom(bottom)
{
}

inline BRect::BRect(BPoint leftTop, BPoint rightBottom) :
	left(leftTop.x),
	top(leftTop.y),
	right(rightBottom.x),
	bottom(rightBottom.y)
{
}

inline BRect::BRect(float side) :
	left(0.0f),
	top(0.0f),
	right(side),
	bottom(side)
{
}

inline void
BRect::Set(float newLeft, float newTop, float newRight, float newBottom)
{
	left = newLeft;
	top = newTop;
	right = newRight;
	bottom = newBottom;
}

inline BPoint
BRect::LeftTop() const
{
	return BPoint(left, top);
}

inline BPoint
BRect::RightBottom() const
{
	return BPoint(right, bottom);
}

inline BPoint
BRect::LeftBottom() const
{
	return BPoint(left, bottom);
}

inline BPoint
BRect::RightTop() const
{
	return BPoint(right, top);
}

inline bool
BRect::IsValid() const
{
	return left <= right && top <= bottom;
}

inline float
BRect::Width() const
{
	return right - left;
}

inline int32
BRect::IntegerWidth() const
{
	return (int32)ceilf(right - left);
}

inline float
BRect::Height() const
{
	return bottom - top;
}

inline int32
BRect::IntegerHeight() const
{
	return (int32)ceilf(bottom - top);
}

#endif // _RECT_H

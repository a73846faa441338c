#include <Rect.h>

#include <algorithm>
#include <cstdio>

void
BRect::PrintToStream() const
{
	printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
}

void
BRect::SetLeftTop(const BPoint point)
{
	left = point.x;
	top = point.y;
}

void
BRect::SetRightBottom(const BPoint point)
{
	right = point.x;
	bottom = point.y;
}

void
BRect::SetLeftBottom(const BPoint point)
{
	left = point.x;
	bottom = point.y;
}

void
BRect::SetRightTop(const BPoint point)
{
	right = point.x;
	top = point.y;
}

void
BRect::InsetBy(BPoint inset)
{
	InsetBy(inset.x, inset.y);
}

void
BRect::InsetBy(float dx, float dy)
{
	left += dx;
	right -= dx;
	top += dy;
	bottom -= dy;
}

void
BRect::OffsetBy(BPoint delta)
{
	OffsetBy(delta.x, delta.y);
}

void
BRect::OffsetBy(float dx, float dy)
{
	left += dx;
	right += dx;
	top += dy;
	bottom += dy;
}

void
BRect::OffsetTo(BPoint point)
{
	OffsetTo(point.x, point.y);
}

void
BRect::OffsetTo(float x, float y)
{
	right = x + Width();
	bottom = y + Height();
	left = x;
	top = y;
}

BRect&
BRect::InsetBySelf(BPoint inset)
{
	InsetBy(inset.x, inset.y);
	return *this;
}

BRect&
BRect::InsetBySelf(float dx, float dy)
{
	InsetBy(dx, dy);
	return *this;
}

BRect
BRect::InsetByCopy(BPoint inset) const
{
	BRect copy(*this);
	copy.InsetBy(inset.x, inset.y);
	return copy;
}

BRect
BRect::InsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.InsetBy(dx, dy);
	return copy;
}

BRect&
BRect::OffsetBySelf(BPoint delta)
{
	OffsetBy(delta.x, delta.y);
	return *this;
}

BRect&
BRect::OffsetBySelf(float dx, float dy)
{
	OffsetBy(dx, dy);
	return *this;
}

BRect
BRect::OffsetByCopy(BPoint delta) const
{
	BRect copy(*this);
	copy.OffsetBy(delta.x, delta.y);
	return copy;
}

BRect
BRect::OffsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.OffsetBy(dx, dy);
	return copy;
}

BRect&
BRect::OffsetToSelf(BPoint point)
{
	OffsetTo(point.x, point.y);
	return *this;
}

BRect&
BRect::OffsetToSelf(float x, float y)
{
	OffsetTo(x, y);
	return *this;
}

BRect
BRect::OffsetToCopy(BPoint point) const
{
	BRect copy(*this);
	copy.OffsetTo(point.x, point.y);
	return copy;
}

BRect
BRect::OffsetToCopy(float x, float y) const
{
	BRect copy(*this);
	copy.OffsetTo(x, y);
	return copy;
}

bool
BRect::operator==(BRect other) const
{
	return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

bool
BRect::operator!=(BRect other) const
{
	return !(*this == other);
}

BRect
BRect::operator&(BRect other) const
{
	return BRect(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
		std::min(bottom, other.bottom));
}

BRect
BRect::operator|(BRect other) const
{
	return BRect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
		std::max(bottom, other.bottom));
}

bool
BRect::Intersects(BRect rect) const
{
	if (!IsValid() || !rect.IsValid())
		return false;

	return rect.left <= right && rect.right >= left && rect.top <= bottom && rect.bottom >= top;
}

bool
BRect::Contains(BPoint point) const
{
	return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
}

bool
BRect::Contains(BRect rect) const
{
	if (!IsValid() || !rect.IsValid())
		return false;

	return rect.left >= left && rect.right <= right && rect.top >= top && rect.bottom <= bottom;
}

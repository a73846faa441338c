#include <Point.h>

#include <Rect.h>

#include <cstdio>


const BPoint B_ORIGIN(0.0f, 0.0f);

void
BPoint::ConstrainTo(BRect rect)
{
	if (x < rect.left)
		x = rect.left;
	else if (x > rect.right)
		x = rect.right;

	if (y < rect.top)
		y = rect.top;
	else if (y > rect.bottom)
		y = rect.bottom;
}

void
BPoint::PrintToStream() const
{
	printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}

BPoint
BPoint::operator-() const
{
	return BPoint(-x, -y);
}

BPoint
BPoint::operator+(const BPoint& other) const
{
	return BPoint(x + other.x, y + other.y);
}

BPoint
BPoint::operator-(const BPoint& other) const
{
	return BPoint(x - other.x, y - other.y);
}

BPoint&
BPoint::operator+=(const BPoint& other)
{
	x += other.x;
	y += other.y;
	return *this;
}

BPoint&
BPoint::operator-=(const BPoint& other)
{
	x -= other.x;
	y -= other.y;
	return *this;
}

bool
BPoint::operator!=(const BPoint& other) const
{
	return x != other.x || y != other.y;
}

bool
BPoint::operator==(const BPoint& other) const
{
	return x == other.x && y == other.y;
}

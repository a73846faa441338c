// A point in the plane, in BeOS view coordinates (y grows downwards).
#ifndef _POINT_H
#define _POINT_H

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
	float x;
	float y;

	BPoint();
	BPoint(float x, float y);

	void Set(float x, float y);

	// Moves the point into the rectangle, onto its nearest edge when outside.
	void ConstrainTo(BRect rect);

	void PrintToStream() const;

	BPoint operator-() const;
	BPoint operator+(const BPoint& other) const;
	BPoint operator-(const BPoint& other) const;
	BPoint& operator+=(const BPoint& other);
	BPoint& operator-=(const BPoint& other);

	bool operator!=(const BPoint& other) const;
	bool operator==(const BPoint& other) const;
};

extern const BPoint B_ORIGIN;

inline BPoint::BPoint() :
	x(0.0f),
	y(0.0f)
{
}

inline BPoint::BPoint(float x, float y) :
	x(x),
	y(y)
{
}

inline void
BPoint::Set(float newX, float newY)
{
	x = newX;
	y = newY;
}

#endif // _POINT_H

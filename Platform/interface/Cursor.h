// BCursor: a mouse pointer shape, either one of the system's shapes or a 16 by 16
// two-colour image in the BeOS cursor data layout (size 16, depth 1, hot spot y and x, 32
// bytes of bits, 32 bytes of mask).
#ifndef _CURSOR_H
#define _CURSOR_H

#include <Point.h>
#include <SupportDefs.h>

enum BCursorID {
	B_CURSOR_ID_SYSTEM_DEFAULT = 1,
	B_CURSOR_ID_CONTEXT_MENU,
	B_CURSOR_ID_COPY,
	B_CURSOR_ID_CREATE_LINK,
	B_CURSOR_ID_CROSS_HAIR,
	B_CURSOR_ID_FOLLOW_LINK,
	B_CURSOR_ID_GRAB,
	B_CURSOR_ID_GRABBING,
	B_CURSOR_ID_HELP,
	B_CURSOR_ID_I_BEAM,
	B_CURSOR_ID_I_BEAM_HORIZONTAL,
	B_CURSOR_ID_MOVE,
	B_CURSOR_ID_NO_CURSOR,
	B_CURSOR_ID_NOT_ALLOWED,
	B_CURSOR_ID_PROGRESS
};

class BCursor {
public:
	// Data that is not a 16 by 16 one-bit cursor gives the system default shape.
	BCursor(const void* cursorData);
	BCursor(BCursorID id);
	BCursor(const BCursor& other);
	virtual ~BCursor();

	BCursor& operator=(const BCursor& other);
	bool operator==(const BCursor& other) const;
	bool operator!=(const BCursor& other) const;

	// B_CURSOR_ID_SYSTEM_DEFAULT for image cursors made from bad data; 0 for good ones.
	BCursorID ID() const;
	bool HasImage() const;
	// The image: bits and mask rows of 16 pixels, most significant bit leftmost.
	const uint8* Bits() const;
	const uint8* Mask() const;
	BPoint HotSpot() const;

private:
	int32 fID;
	uint8 fBits[32];
	uint8 fMask[32];
	BPoint fHotSpot;
};

extern const BCursor* B_CURSOR_SYSTEM_DEFAULT;
extern const BCursor* B_CURSOR_I_BEAM;

#endif // _CURSOR_H

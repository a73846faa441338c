// BCursor: shape data only; the window backend turns it into the platform's pointer.
#include <Cursor.h>

#include <cstring>

namespace {

const BCursor kSystemDefault(B_CURSOR_ID_SYSTEM_DEFAULT);
const BCursor kIBeam(B_CURSOR_ID_I_BEAM);

} // namespace

const BCursor* B_CURSOR_SYSTEM_DEFAULT = &kSystemDefault;
const BCursor* B_CURSOR_I_BEAM = &kIBeam;

BCursor::BCursor(const void* cursorData) :
	fID(B_CURSOR_ID_SYSTEM_DEFAULT),
	fBits(),
	fMask(),
	fHotSpot(0, 0)
{
	const uint8* data = static_cast<const uint8*>(cursorData);
	if (data == NULL || data[0] != 16 || data[1] != 1 || data[2] > 15 || data[3] > 15)
		return;
	fID = 0;
	fHotSpot = BPoint(data[3], data[2]);
	memcpy(fBits, data + 4, sizeof(fBits));
	memcpy(fMask, data + 36, sizeof(fMask));
}

BCursor::BCursor(BCursorID id) :
	fID(id),
	fBits(),
	fMask(),
	fHotSpot(0, 0)
{
}

BCursor::BCursor(const BCursor& other) :
	fID(other.fID),
	fHotSpot(other.fHotSpot)
{
	memcpy(fBits, other.fBits, sizeof(fBits));
	memcpy(fMask, other.fMask, sizeof(fMask));
}

BCursor::~BCursor() { }

BCursor&
BCursor::operator=(const BCursor& other)
{
	fID = other.fID;
	fHotSpot = other.fHotSpot;
	memcpy(fBits, other.fBits, sizeof(fBits));
	memcpy(fMask, other.fMask, sizeof(fMask));
	return *this;
}

bool
BCursor::operator==(const BCursor& other) const
{
	if (fID != other.fID)
		return false;
	if (fID != 0)
		return true;
	return fHotSpot == other.fHotSpot && memcmp(fBits, other.fBits, sizeof(fBits)) == 0
		&& memcmp(fMask, other.fMask, sizeof(fMask)) == 0;
}

bool
BCursor::operator!=(const BCursor& other) const
{
	return !(*this == other);
}

BCursorID
BCursor::ID() const
{
	return BCursorID(fID);
}

bool
BCursor::HasImage() const
{
	return fID == 0;
}

const uint8*
BCursor::Bits() const
{
	return fBits;
}

const uint8*
BCursor::Mask() const
{
	return fMask;
}

BPoint
BCursor::HotSpot() const
{
	return fHotSpot;
}

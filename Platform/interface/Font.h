// BFont: a font description (family, style, size, rotation, shear, spacing, face) and the
// measurements made with it. The description is plain data; measuring needs the interface
// backend, which maps the BeOS families onto installed fonts (see docs/platform.md).
#ifndef _FONT_H
#define _FONT_H

#include <InterfaceDefs.h>
#include <SupportDefs.h>

#include <string>

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63

typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Spacing modes.
enum { B_CHAR_SPACING = 0, B_STRING_SPACING = 1, B_BITMAP_SPACING = 2, B_FIXED_SPACING = 3 };

enum font_direction { B_FONT_LEFT_TO_RIGHT = 0, B_FONT_RIGHT_TO_LEFT = 1 };

// Flags.
enum { B_DISABLE_ANTIALIASING = 0x00000001, B_FORCE_ANTIALIASING = 0x00000002 };

// Encodings: text is always UTF-8 here.
enum { B_UNICODE_UTF8 = 0 };

// Faces.
enum {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040
};

// Which parts of a font BView::SetFont() takes over.
enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000FF
};

struct font_height {
	float ascent;
	float descent;
	float leading;
};

struct escapement_delta {
	float nonspace;
	float space;
};

class BFont {
public:
	// A copy of be_plain_font.
	BFont();
	BFont(const BFont& font);
	BFont(const BFont* font);

	BFont& operator=(const BFont& font);
	bool operator==(const BFont& font) const;
	bool operator!=(const BFont& font) const;

	// Families and styles are matched without regard to case; the BeOS families
	// ("Swis721 BT", "Dutch801 Rm BT", "Courier10 BT") stand for their installed
	// counterparts. B_NAME_NOT_FOUND for a family that is not installed (nothing changes).
	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	status_t SetFamilyAndFace(const font_family family, uint16 face);
	void GetFamilyAndStyle(font_family* family, font_style* style) const;

	// Size in pixels (BeOS points are pixels at 72 dpi).
	void SetSize(float size);
	// Slant in degrees, 45 to 135; 90 is upright.
	void SetShear(float shear);
	// Counter-clockwise rotation of the baseline in degrees; 90 runs the text upwards.
	void SetRotation(float rotation);
	void SetSpacing(uint8 spacing);
	void SetEncoding(uint8 encoding);
	void SetFace(uint16 face);
	void SetFlags(uint32 flags);

	float Size() const { return fSize; }

	float Shear() const { return fShear; }

	float Rotation() const { return fRotation; }

	uint8 Spacing() const { return fSpacing; }

	uint8 Encoding() const { return fEncoding; }

	uint16 Face() const { return fFace; }

	uint32 Flags() const { return fFlags; }

	font_direction Direction() const { return B_FONT_LEFT_TO_RIGHT; }

	bool IsFixed() const;

	// The advance of the text along its baseline, unrotated.
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
		float widthArray[]) const;
	void GetHeight(font_height* height) const;

	// Shortens each string to fit width pixels by putting an ellipsis in place of the
	// characters left out: at the end, at the beginning, in the middle, or (smart) in the
	// middle of the folder part of a path so that its last component stays whole. Strings
	// that fit are copied unchanged. Each result buffer must hold the string's length + 3
	// bytes (the ellipsis is three bytes of UTF-8). Characters are never split.
	void GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode, float width,
		char* resultArray[]) const;
	// The same for one string held in a std::string (the platform has no BString).
	void TruncateString(std::string* inOut, uint32 mode, float width) const;

	void PrintToStream() const;

private:
	friend class BFontPrivate;

	font_family fFamily;
	font_style fStyle;
	float fSize;
	float fShear;
	float fRotation;
	uint8 fSpacing;
	uint8 fEncoding;
	uint16 fFace;
	uint32 fFlags;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

#endif // _FONT_H

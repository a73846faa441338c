// The bridge between BFont and Qt's fonts: which installed family a BeOS family stands for,
// and the QFont that draws and measures a BFont.
#ifndef _FONT_PRIVATE_H
#define _FONT_PRIVATE_H

#include <Font.h>

#include <QFont>
#include <QString>

class BFontPrivate {
public:
	// A font with the given fields set directly (for the system fonts, made before any
	// Qt application exists).
	static BFont Make(const char* family, const char* style, float size, uint16 face);

	// The installed family that a BeOS family name stands for; an empty string when no
	// such family is installed.
	static QString ResolveFamily(const char* family);

	// The Qt font that draws the BFont, size in pixels; rotation and shear are not part
	// of it (the painter applies them).
	static QFont ToQFont(const BFont& font);
};

#endif // _FONT_PRIVATE_H

// BTranslationUtils: reads pictures into bitmaps through the image readers the system has
// (PNG, JPEG, GIF, BMP and the others Qt's readers know).
#ifndef _TRANSLATION_UTILS_H
#define _TRANSLATION_UTILS_H

#include <SupportDefs.h>

class BBitmap;
struct entry_ref;

class BTranslationUtils {
public:
	BTranslationUtils() = delete;

	// A new B_RGBA32 bitmap of the picture in the file (the caller owns it), or null when
	// the file cannot be read or holds no picture a reader knows. GetBitmap(name) reads the
	// file at that path; pictures are not looked up among the application's resources.
	static BBitmap* GetBitmap(const char* name);
	static BBitmap* GetBitmap(const entry_ref* ref);
	static BBitmap* GetBitmapFile(const char* name);
};

#endif // _TRANSLATION_UTILS_H

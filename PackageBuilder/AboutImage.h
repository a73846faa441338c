// The about picture of a package: any picture Qt's image readers know (PNG, JPEG, BMP,
// GIF, ...) made into the archived 150×200 B_RGB32 bitmap the about panel shows. Qt's
// image classes need no display, so the builder runs headless.
#ifndef ABOUT_IMAGE_H
#define ABOUT_IMAGE_H

#include <SupportDefs.h>

#include <string>

class BMessage;

// Scales the picture to fit 150×200 keeping its proportions, centred on white, and
// archives it into archive. B_BAD_DATA with a reason in error when it cannot be read.
status_t ArchiveAboutImage(const std::string& path, BMessage& archive, std::string& error);

// Writes an archived bitmap as a PNG file (used to print a manifest from an installer).
status_t SaveArchivedImage(const BMessage& archive, const std::string& path);

#endif // ABOUT_IMAGE_H

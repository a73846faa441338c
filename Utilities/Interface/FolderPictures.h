// The folder button's three pictures, shared by both programs: 24 × 24 pixels of the system
// palette (B_CMAP8, 576 bytes each), transparent around the folder.
#ifndef FOLDER_PICTURES_H
#define FOLDER_PICTURES_H

#include <SupportDefs.h>

const int32 kFolderPictureSide = 24;
const int32 kFolderPictureBytes = kFolderPictureSide * kFolderPictureSide;

// A folder, as the button shows it at rest.
extern const uint8 (&FolderUp)[kFolderPictureBytes];
// The same folder pressed: one pixel down and to the right, in darker colours, without its
// shadow.
extern const uint8 (&FolderDown)[kFolderPictureBytes];
// The folder in greys, for a disabled button.
extern const uint8 (&FolderUpInactive)[kFolderPictureBytes];

#endif // FOLDER_PICTURES_H

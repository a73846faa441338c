// Folders of the common temporary folder that belong to one run of one program. The common
// temporary folder is shared with every user of the machine, so a fixed or guessable name
// there could already be taken, or be a link somewhere else; a private folder cannot.
#ifndef LIB_PRIVATE_FOLDER_H
#define LIB_PRIVATE_FOLDER_H

class BPath;

// Makes a new folder in the common temporary folder that only this user may enter (mode
// 0700), named prefix, a dash and six random characters, created in one step so that no
// entry of that name existed before; folder is set to it. Everything found inside later
// was put there by whoever holds the path. False, with folder unset, when the folder could
// not be made (no temporary folder, or a prefix holding "/").
bool LibMakePrivateFolder(BPath& folder, const char* prefix);

#endif // LIB_PRIVATE_FOLDER_H

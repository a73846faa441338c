// Names for entries that are made beside their final place and renamed into it once
// complete: hidden, and unguessable, so that nothing planted beforehand can stand in for one.
#ifndef PRIVATE_ENTRY_NAME_H
#define PRIVATE_ENTRY_NAME_H

#include <string>

// folder joined with "." + leaf + "." and sixteen random hexadecimal digits from the kernel.
// The caller still creates the entry exclusively (O_EXCL, mkdir, symlink), which refuses a
// name that is taken.
std::string PrivateEntryName(const std::string& folder, const std::string& leaf);

#endif // PRIVATE_ENTRY_NAME_H

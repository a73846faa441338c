// The symbolic links of a payload that the installer's extraction would refuse because
// they point outside the installed item.
#ifndef PAYLOAD_LINKS_H
#define PAYLOAD_LINKS_H

#include <string>
#include <vector>

// Walks the entry at itemPath without following links and describes each link that leaves
// the item ("'docs/latest' -> '../../elsewhere'"), named by its path inside the item.
std::vector<std::string> FindLinksLeavingItem(const std::string& itemPath);

#endif // PAYLOAD_LINKS_H

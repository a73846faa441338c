// Which symbolic links an item's archive may carry: the packer's vendor tool refuses a
// payload whose links the extraction would refuse, so both ask this one question.
#ifndef LIB_ZIP_LINKS_H
#define LIB_ZIP_LINKS_H

#include <string>

namespace lib_zip {

// Whether a link stored at depth (the number of name components of its archive entry, the
// packed item's own name first: 1 for the item itself, 2 for an entry in its top folder)
// with the text target stays inside the packed item. A link may climb out of its own
// folder only as far as the item's top folder, and only at the start of its text: after a
// step down, a ".." would climb from wherever that step's link leads to. The item itself
// may name an entry beside it but not climb at all. Absolute and empty texts leave.
bool LinkStaysInItem(size_t depth, const std::string& target);

} // namespace lib_zip

#endif // LIB_ZIP_LINKS_H

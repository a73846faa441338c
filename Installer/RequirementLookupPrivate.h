// The parts of the requirement lookups (RequirementLookup.h) that tests reach: the loader
// cache reader and the folders searched. Not part of the engine's interface.
#ifndef REQUIREMENT_LOOKUP_PRIVATE_H
#define REQUIREMENT_LOOKUP_PRIVATE_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace requirement_lookup {

// The loader cache's flags for a library of this machine's architecture (the libc6 type
// and the architecture's own bits); -1 on an architecture whose bits are not known here,
// where any libc6 entry counts.
int32 native_cache_flags();

// Looks name up in a loader cache file (the "glibc-ld.so.cache1.1" layout, alone or after
// the old "ld.so-1.7.0" table). Only entries whose flags match flags (see
// native_cache_flags) and whose file exists count. Every offset is checked against the
// file, so a damaged cache finds nothing rather than reading astray.
bool find_in_loader_cache(const char* cachePath, const char* name, int32 flags, std::string* found);

// The standard library folders of this machine's architecture, in the loader's order.
std::vector<std::string> standard_library_folders();

// The folders of a ":"-separated list, empty ones left out.
std::vector<std::string> split_path_list(const char* list);

} // namespace requirement_lookup

#endif // REQUIREMENT_LOOKUP_PRIVATE_H

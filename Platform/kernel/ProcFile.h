// Reading the small text files of /proc and /sys that the kernel kit describes the system
// from. Internal to the kernel kit.
#ifndef _PROC_FILE_H
#define _PROC_FILE_H

#include <string>

namespace BPrivate {

// Reads the whole file (at most maxSize bytes) into text; false when it cannot be opened or
// read. /proc files report a size of 0, so this reads until the end instead of trusting it.
bool read_text_file(const char* path, std::string& text, size_t maxSize = 4 * 1024 * 1024);

// The value of the first "key<spaces/tabs>:<value>" line (the /proc/cpuinfo and
// /proc/<pid>/status layout), trimmed; false when no line has that key. Searching starts at
// offset; *lineEnd (when given) receives the offset after the matching line.
bool find_key_value(const std::string& text, const char* key, std::string& value, size_t offset = 0,
	size_t* lineEnd = nullptr);

} // namespace BPrivate

#endif // _PROC_FILE_H

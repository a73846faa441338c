// What the packing and installing benchmarks share: their clock and the payload files they
// make (word text that compresses like documentation, or random bytes that do not).
#ifndef BENCH_PAYLOAD_H
#define BENCH_PAYLOAD_H

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace bench {

typedef std::chrono::steady_clock Clock;

inline double
seconds_since(Clock::time_point start)
{
	return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writes size bytes to path: random bytes when incompressible, else words from a small
// vocabulary with a line break now and then. The same random state gives the same bytes.
inline void
write_content(
	const std::filesystem::path& path, uint64_t size, bool incompressible, std::mt19937_64& random)
{
	static const char* const kWords[] = { "install", "package", "volume", "folder", "the", "a",
		"of", "deinstaller", "attribute", "resource", "message", "window", "item", "boot", "script",
		"licence", "user", "system", "library", "size", "time", "and", "to", "with", "version" };
	std::string buffer;
	buffer.reserve(size);
	if (incompressible) {
		while (buffer.size() < size) {
			uint64_t value = random();
			buffer.append(reinterpret_cast<const char*>(&value), sizeof(value));
		}
	} else {
		while (buffer.size() < size) {
			buffer += kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
			buffer += random() % 12 == 0 ? '\n' : ' ';
		}
	}
	buffer.resize(size);
	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream.write(buffer.data(), buffer.size());
}

} // namespace bench

#endif // BENCH_PAYLOAD_H

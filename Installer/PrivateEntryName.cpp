#include "PrivateEntryName.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/random.h>
#include <unistd.h>

std::string
PrivateEntryName(const std::string& folder, const std::string& leaf)
{
	unsigned char bytes[8] = {};
	if (getrandom(bytes, sizeof(bytes), GRND_NONBLOCK) != (ssize_t)sizeof(bytes)) {
		// Early in a boot the pool may not be ready; the exclusive creation that follows
		// still refuses anything already there.
		struct timespec now = {};
		clock_gettime(CLOCK_MONOTONIC, &now);
		uint64_t mixed = ((uint64_t)getpid() << 32) ^ (uint64_t)now.tv_nsec
			^ ((uint64_t)now.tv_sec * 0x9E3779B97F4A7C15ull);
		memcpy(bytes, &mixed, sizeof(bytes));
	}
	char digits[2 * sizeof(bytes) + 1];
	for (size_t i = 0; i < sizeof(bytes); i++)
		snprintf(digits + 2 * i, 3, "%02x", bytes[i]);
	return folder + "/." + leaf + "." + digits;
}

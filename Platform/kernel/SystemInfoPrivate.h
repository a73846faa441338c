// The text parsing behind get_system_info(), kept apart so that it can be tested with the
// /proc/cpuinfo and uname texts of machines other than the one the tests run on.
#ifndef _SYSTEM_INFO_PRIVATE_H
#define _SYSTEM_INFO_PRIVATE_H

#include <OS.h>

namespace BPrivate {

struct cpuinfo_summary {
	cpu_type type;
	int32 revision;
	// 0 when the text does not say
	int64 clock_speed;
	int64 bus_clock_speed;
};

// The BeOS code of an x86 processor: the vendor's code plus (family << 4) plus model, as
// BeOS numbered them, where that names a processor BeOS knew; the vendor's generic code for
// every later processor; B_CPU_X86 for an unknown vendor. vendor is the CPUID vendor string
// ("GenuineIntel"); family and model are the displayed values of /proc/cpuinfo.
cpu_type cpu_type_for_x86(const char* vendor, int family, int model);

// Reads a /proc/cpuinfo text: the first processor's type, revision (for x86 the CPUID
// signature: stepping, model, family and their extended fields) and clock. The bus clock is
// the reference clock of the x86 generations whose reference clock is fixed at 100 MHz;
// otherwise 0. A text with no recognisable processor gives the type of the architecture
// this code was built for.
cpuinfo_summary parse_cpuinfo(const char* text);

// Finds the build date and time in a kernel version text (uname's version, or
// /proc/version): "Tue Oct 10 13:27:24 UTC 2023", a "(2024-02-01)" date, or "@<seconds>".
// date gets the form "Oct 10 2023" and time "13:27:24", as BeOS gave them; "00:00:00" when
// only the date is known. false (and both "unknown") when the text holds neither.
bool parse_kernel_build_time(
	const char* version, char* date, size_t dateSize, char* time, size_t timeSize);

} // namespace BPrivate

#endif // _SYSTEM_INFO_PRIVATE_H

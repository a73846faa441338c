// get_system_info() over Linux: processors from /proc/cpuinfo (and CPUID where /proc says
// nothing about the bus), memory from /proc/meminfo, thread and process counts from /proc,
// the kernel's name and build time from uname. Pages are BeOS pages of B_PAGE_SIZE bytes
// whatever the machine's own page size, so that max_pages * B_PAGE_SIZE is the memory size.
#include <OS.h>

#include "ProcFile.h"
#include "SystemInfoPrivate.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif


namespace {

const int64 kFixedReferenceClock = 100000000;

const char* const kMonthNames[12] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep",
	"Oct", "Nov", "Dec" };


// The x86 processors BeOS had names for.
const int32 kKnownX86Codes[] = { B_CPU_INTEL_PENTIUM, B_CPU_INTEL_PENTIUM75,
	B_CPU_INTEL_PENTIUM_486_OVERDRIVE, B_CPU_INTEL_PENTIUM_MMX, B_CPU_INTEL_PENTIUM_MMX_MODEL_8,
	B_CPU_INTEL_PENTIUM75_486_OVERDRIVE, B_CPU_INTEL_PENTIUM_PRO, B_CPU_INTEL_PENTIUM_II,
	B_CPU_INTEL_PENTIUM_II_MODEL_5, B_CPU_INTEL_CELERON, B_CPU_INTEL_PENTIUM_III,
	B_CPU_AMD_K5_MODEL0, B_CPU_AMD_K5_MODEL1, B_CPU_AMD_K5_MODEL2, B_CPU_AMD_K5_MODEL3,
	B_CPU_AMD_K6_MODEL6, B_CPU_AMD_K6_MODEL7, B_CPU_AMD_K6_MODEL8, B_CPU_AMD_K6_MODEL9,
	B_CPU_CYRIX_GXm, B_CPU_CYRIX_6x86MX, B_CPU_IDT_WINCHIP_C6, B_CPU_IDT_WINCHIP_2,
	B_CPU_RISE_mP6 };

cpu_type
build_architecture()
{
#if defined(__i386__) || defined(__x86_64__)
	return B_CPU_X86;
#elif defined(__arm__) || defined(__aarch64__)
	return B_CPU_ARM;
#elif defined(__mips__)
	return B_CPU_MIPS;
#elif defined(__alpha__)
	return B_CPU_ALPHA;
#elif defined(__sparc__)
	return B_CPU_SPARC;
#elif defined(__hppa__)
	return B_CPU_HPPA;
#elif defined(__m68k__)
	return B_CPU_M68K;
#elif defined(__sh__)
	return B_CPU_SH;
#else
	return static_cast<cpu_type>(0);
#endif
}

bool
starts_with(const std::string& text, const char* prefix)
{
	return text.compare(0, strlen(prefix), prefix) == 0;
}

bool
contains_nocase(const std::string& text, const char* word)
{
	std::string lower;
	for (char c : text)
		lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
	return lower.find(word) != std::string::npos;
}

// The type of a processor that is not x86, from the fields the other architectures' kernels
// write.
cpu_type
other_architecture(const std::string& text)
{
	std::string value;
	if (BPrivate::find_key_value(text, "CPU implementer", value)
		|| BPrivate::find_key_value(text, "CPU architecture", value)) {
		return B_CPU_ARM;
	}
	if (BPrivate::find_key_value(text, "cpu", value)) {
		if (starts_with(value, "601"))
			return B_CPU_PPC_601;
		if (starts_with(value, "603e") || starts_with(value, "603ev"))
			return B_CPU_PPC_603e;
		if (starts_with(value, "603"))
			return B_CPU_PPC_603;
		if (starts_with(value, "604e") || starts_with(value, "604ev"))
			return B_CPU_PPC_604e;
		if (starts_with(value, "604"))
			return B_CPU_PPC_604;
		if (contains_nocase(value, "alpha") || contains_nocase(value, "ev"))
			return B_CPU_ALPHA;
		if (contains_nocase(value, "sparc"))
			return B_CPU_SPARC;
	}
	if (BPrivate::find_key_value(text, "cpu model", value) && contains_nocase(value, "mips"))
		return B_CPU_MIPS;
	if (BPrivate::find_key_value(text, "cpu type", value) && contains_nocase(value, "sh"))
		return B_CPU_SH;
	if (BPrivate::find_key_value(text, "cpu family", value) && contains_nocase(value, "pa-risc"))
		return B_CPU_HPPA;
	if (BPrivate::find_key_value(text, "CPU", value) && contains_nocase(value, "680"))
		return B_CPU_M68K;
	if (BPrivate::find_key_value(text, "model name", value) && contains_nocase(value, "arm"))
		return B_CPU_ARM;
	return build_architecture();
}

// "2445.430" or "1000.000000MHz" to Hz, rounded.
int64
megahertz_to_hertz(const std::string& value)
{
	double megahertz = strtod(value.c_str(), nullptr);
	if (megahertz <= 0)
		return 0;
	return static_cast<int64>(megahertz * 1000000.0 + 0.5);
}

void
copy_text(char* target, size_t size, const char* text)
{
	snprintf(target, size, "%s", text);
}

void
format_date(char* date, size_t dateSize, int year, int month, int day)
{
	snprintf(date, dateSize, "%s %2d %d", kMonthNames[month - 1], day, year);
}

bool
is_number(const std::string& token, size_t digits)
{
	if (token.size() != digits)
		return false;
	for (char c : token) {
		if (!isdigit(static_cast<unsigned char>(c)))
			return false;
	}
	return true;
}

int
month_index(const std::string& token)
{
	for (int i = 0; i < 12; i++) {
		if (token == kMonthNames[i])
			return i + 1;
	}
	return 0;
}

bool
is_clock_time(const std::string& token)
{
	int hours;
	int minutes;
	int seconds;
	char end;
	return token.size() == 8
		&& sscanf(token.c_str(), "%2d:%2d:%2d%c", &hours, &minutes, &seconds, &end) == 3;
}

std::vector<std::string>
split_blanks(const char* text)
{
	std::vector<std::string> tokens;
	std::string token;
	for (const char* c = text; *c != '\0'; c++) {
		if (isspace(static_cast<unsigned char>(*c))) {
			if (!token.empty())
				tokens.push_back(token);
			token.clear();
		} else {
			token += *c;
		}
	}
	if (!token.empty())
		tokens.push_back(token);
	return tokens;
}

int64
read_number_file(const char* path)
{
	std::string text;
	if (!BPrivate::read_text_file(path, text))
		return 0;
	return strtoll(text.c_str(), nullptr, 10);
}

int32
clamp_int32(int64 value)
{
	if (value > INT32_MAX)
		return INT32_MAX;
	if (value < 0)
		return 0;
	return static_cast<int32>(value);
}

int32
count_processes()
{
	DIR* proc = opendir("/proc");
	if (proc == nullptr)
		return 0;
	int32 count = 0;
	while (dirent* entry = readdir(proc)) {
		if (isdigit(static_cast<unsigned char>(entry->d_name[0])))
			count++;
	}
	closedir(proc);
	return count;
}

// Bus (reference) clock from CPUID leaf 0x16, which Intel processors since Skylake have.
int64
cpuid_bus_clock()
{
#if defined(__i386__) || defined(__x86_64__)
	unsigned int eax;
	unsigned int ebx;
	unsigned int ecx;
	unsigned int edx;
	if (__get_cpuid_max(0, nullptr) >= 0x16 && __get_cpuid_count(0x16, 0, &eax, &ebx, &ecx, &edx))
		return static_cast<int64>(ecx & 0xFFFF) * 1000000;
#endif
	return 0;
}

// Where /proc/cpuinfo gives no clock (most ARM kernels), cpufreq does, in kHz.
int64
cpufreq_clock()
{
	return read_number_file("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq") * 1000;
}

void
fill_cpu_times(system_info* info)
{
	std::string stat;
	if (!BPrivate::read_text_file("/proc/stat", stat))
		return;
	const long ticksPerSecond = sysconf(_SC_CLK_TCK);
	const bigtime_t tickLength = ticksPerSecond > 0 ? 1000000 / ticksPerSecond : 10000;

	size_t lineStart = 0;
	while (lineStart < stat.size()) {
		size_t end = stat.find('\n', lineStart);
		if (end == std::string::npos)
			end = stat.size();
		const std::string line = stat.substr(lineStart, end - lineStart);
		lineStart = end + 1;

		int cpu;
		unsigned long long user = 0;
		unsigned long long nice = 0;
		unsigned long long system = 0;
		unsigned long long idle = 0;
		unsigned long long ioWait = 0;
		unsigned long long irq = 0;
		unsigned long long softIrq = 0;
		unsigned long long steal = 0;
		if (sscanf(line.c_str(), "cpu%d %llu %llu %llu %llu %llu %llu %llu %llu", &cpu, &user,
				&nice, &system, &idle, &ioWait, &irq, &softIrq, &steal)
				< 4
			|| cpu < 0 || cpu >= B_MAX_CPU_COUNT) {
			continue;
		}
		info->cpu_infos[cpu].active_time =
			static_cast<bigtime_t>(user + nice + system + irq + softIrq + steal) * tickLength;
	}
}

void
fill_machine_id(system_info* info)
{
	std::string text;
	if (!BPrivate::read_text_file("/etc/machine-id", text) || text.size() < 16)
		return;
	info->id[0] = static_cast<int32>(strtoul(text.substr(0, 8).c_str(), nullptr, 16));
	info->id[1] = static_cast<int32>(strtoul(text.substr(8, 8).c_str(), nullptr, 16));
}

} // namespace

namespace BPrivate {

cpu_type
cpu_type_for_x86(const char* vendor, int family, int model)
{
	int32 base;
	if (strcmp(vendor, "GenuineIntel") == 0)
		base = B_CPU_INTEL_X86;
	else if (strcmp(vendor, "AuthenticAMD") == 0)
		base = B_CPU_AMD_X86;
	else if (strcmp(vendor, "CyrixInstead") == 0)
		base = B_CPU_CYRIX_X86;
	else if (strcmp(vendor, "CentaurHauls") == 0)
		base = B_CPU_IDT_X86;
	else if (strcmp(vendor, "RiseRiseRise") == 0)
		base = B_CPU_RISE_X86;
	else
		return B_CPU_X86;

	if (family >= 0 && family < 16 && model >= 0 && model < 16) {
		const int32 code = base + (family << 4) + model;
		for (int32 known : kKnownX86Codes) {
			if (known == code)
				return static_cast<cpu_type>(code);
		}
	}
	return static_cast<cpu_type>(base);
}

cpuinfo_summary
parse_cpuinfo(const char* text)
{
	cpuinfo_summary summary = { build_architecture(), 0, 0, 0 };
	if (text == nullptr)
		return summary;
	const std::string cpuinfo(text);

	// The first processor's block ends at the first empty line.
	size_t blockEnd = cpuinfo.find("\n\n");
	const std::string block = blockEnd == std::string::npos ? cpuinfo : cpuinfo.substr(0, blockEnd);

	std::string value;
	if (find_key_value(block, "cpu MHz", value) || find_key_value(block, "clock", value))
		summary.clock_speed = megahertz_to_hertz(value);

	std::string vendor;
	if (!find_key_value(block, "vendor_id", vendor)) {
		summary.type = other_architecture(block);
		return summary;
	}

	int family = -1;
	int model = -1;
	int stepping = 0;
	if (find_key_value(block, "cpu family", value))
		family = atoi(value.c_str());
	if (find_key_value(block, "model", value))
		model = atoi(value.c_str());
	if (find_key_value(block, "stepping", value))
		stepping = atoi(value.c_str());
	summary.type = cpu_type_for_x86(vendor.c_str(), family, model);

	// The CPUID signature that the displayed family and model were made from: families
	// above 15 add an extended family to 15, models above 15 carry an extended model.
	if (family >= 0 && model >= 0) {
		const int baseFamily = family >= 15 ? 15 : family;
		const int extendedFamily = family >= 15 ? family - 15 : 0;
		summary.revision = (stepping & 0xF) | ((model & 0xF) << 4) | ((baseFamily & 0xF) << 8)
			| (((model >> 4) & 0xF) << 16) | ((extendedFamily & 0xFF) << 20);
	}

	// AMD's processors since family 17h (Zen) run from a 100 MHz reference clock.
	if ((vendor == "AuthenticAMD" || vendor == "HygonGenuine") && family >= 0x17)
		summary.bus_clock_speed = kFixedReferenceClock;
	return summary;
}

bool
parse_kernel_build_time(
	const char* version, char* date, size_t dateSize, char* time, size_t timeSize)
{
	copy_text(date, dateSize, "unknown");
	copy_text(time, timeSize, "unknown");
	if (version == nullptr)
		return false;

	const std::vector<std::string> tokens = split_blanks(version);

	// "Tue Oct 10 13:27:24 UTC 2023" (the date(1) form of the build stamp)
	for (size_t i = 2; i < tokens.size(); i++) {
		if (!is_clock_time(tokens[i]))
			continue;
		const int month = month_index(tokens[i - 2]);
		const int day = atoi(tokens[i - 1].c_str());
		if (month == 0 || day < 1 || day > 31)
			continue;
		for (size_t j = i + 1; j < tokens.size() && j <= i + 2; j++) {
			if (is_number(tokens[j], 4)) {
				format_date(date, dateSize, atoi(tokens[j].c_str()), month, day);
				copy_text(time, timeSize, tokens[i].c_str());
				return true;
			}
		}
	}

	for (const std::string& token : tokens) {
		// "@1700000000": the build stamp given in seconds since 1970
		if (token.size() > 1 && token[0] == '@' && is_number(token.substr(1), token.size() - 1)) {
			time_t seconds = static_cast<time_t>(strtoll(token.c_str() + 1, nullptr, 10));
			struct tm broken;
			if (gmtime_r(&seconds, &broken) == nullptr)
				continue;
			format_date(date, dateSize, broken.tm_year + 1900, broken.tm_mon + 1, broken.tm_mday);
			snprintf(
				time, timeSize, "%02d:%02d:%02d", broken.tm_hour, broken.tm_min, broken.tm_sec);
			return true;
		}

		// "(2024-02-01)": a date alone
		int year;
		int month;
		int day;
		char end;
		std::string bare = token;
		if (!bare.empty() && bare.front() == '(')
			bare.erase(0, 1);
		if (!bare.empty() && bare.back() == ')')
			bare.pop_back();
		if (sscanf(bare.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3
			&& bare.size() == 10 && month >= 1 && month <= 12 && day >= 1 && day <= 31) {
			format_date(date, dateSize, year, month, day);
			copy_text(time, timeSize, "00:00:00");
			return true;
		}
	}
	return false;
}

} // namespace BPrivate

status_t
get_system_info(system_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	memset(info, 0, sizeof(*info));

	fill_machine_id(info);
	timespec boot;
	clock_gettime(CLOCK_BOOTTIME, &boot);
	info->boot_time = real_time_clock_usecs()
		- (static_cast<bigtime_t>(boot.tv_sec) * 1000000 + boot.tv_nsec / 1000);

	long cpuCount = sysconf(_SC_NPROCESSORS_ONLN);
	info->cpu_count = cpuCount > 0 ? static_cast<int32>(cpuCount) : 1;
	std::string cpuinfo;
	BPrivate::read_text_file("/proc/cpuinfo", cpuinfo);
	const BPrivate::cpuinfo_summary cpu = BPrivate::parse_cpuinfo(cpuinfo.c_str());
	info->cpu_type = cpu.type;
	info->cpu_revision = cpu.revision;
	info->cpu_clock_speed = cpu.clock_speed > 0 ? cpu.clock_speed : cpufreq_clock();
	info->bus_clock_speed = cpu.bus_clock_speed > 0 ? cpu.bus_clock_speed : cpuid_bus_clock();
	fill_cpu_times(info);
	info->platform_type = B_AT_CLONE_PLATFORM;

	std::string meminfo;
	std::string value;
	if (BPrivate::read_text_file("/proc/meminfo", meminfo)) {
		int64 totalKB = 0;
		int64 availableKB = 0;
		if (BPrivate::find_key_value(meminfo, "MemTotal", value))
			totalKB = strtoll(value.c_str(), nullptr, 10);
		if (BPrivate::find_key_value(meminfo, "MemAvailable", value))
			availableKB = strtoll(value.c_str(), nullptr, 10);
		info->max_pages = clamp_int32(totalKB * 1024 / B_PAGE_SIZE);
		info->used_pages = clamp_int32((totalKB - availableKB) * 1024 / B_PAGE_SIZE);
	}
	std::string vmstat;
	if (BPrivate::read_text_file("/proc/vmstat", vmstat)) {
		size_t position = vmstat.find("pgfault ");
		if (position != std::string::npos)
			info->page_faults = clamp_int32(strtoll(vmstat.c_str() + position + 8, nullptr, 10));
	}

	info->max_threads = clamp_int32(read_number_file("/proc/sys/kernel/threads-max"));
	std::string loadAverage;
	if (BPrivate::read_text_file("/proc/loadavg", loadAverage)) {
		// "0.00 0.01 0.05 2/345 6789": runnable/all scheduling entities, i.e. threads
		size_t slash = loadAverage.find('/');
		if (slash != std::string::npos)
			info->used_threads = clamp_int32(strtoll(loadAverage.c_str() + slash + 1, nullptr, 10));
	}
	info->max_teams = clamp_int32(read_number_file("/proc/sys/kernel/pid_max"));
	info->used_teams = count_processes();

	struct utsname names;
	if (uname(&names) == 0) {
		snprintf(
			info->kernel_name, sizeof(info->kernel_name), "%s %s", names.sysname, names.release);
		BPrivate::parse_kernel_build_time(names.version, info->kernel_build_date,
			sizeof(info->kernel_build_date), info->kernel_build_time,
			sizeof(info->kernel_build_time));
		int major = 0;
		int minor = 0;
		int patch = 0;
		sscanf(names.release, "%d.%d.%d", &major, &minor, &patch);
		info->kernel_version =
			(static_cast<int64>(major) << 16) | ((minor & 0xFF) << 8) | (patch > 255 ? 255 : patch);
	} else {
		BPrivate::parse_kernel_build_time(nullptr, info->kernel_build_date,
			sizeof(info->kernel_build_date), info->kernel_build_time,
			sizeof(info->kernel_build_time));
	}
	return B_OK;
}

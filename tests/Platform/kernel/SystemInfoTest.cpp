#include <OS.h>

#include <SystemInfoPrivate.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

TEST(SystemInfo, DescribesThisMachineSanely)
{
	system_info info;
	ASSERT_EQ(B_OK, get_system_info(&info));
	EXPECT_EQ(sysconf(_SC_NPROCESSORS_ONLN), info.cpu_count);
	EXPECT_GE(info.cpu_count, 1);
	EXPECT_NE(0, static_cast<int>(info.cpu_type));
	EXPECT_EQ(B_AT_CLONE_PLATFORM, info.platform_type);
	EXPECT_GT(info.max_pages, 0);
	EXPECT_LE(info.used_pages, info.max_pages);
	EXPECT_GT(info.max_threads, 0);
	EXPECT_GT(info.used_threads, 0);
	EXPECT_GE(info.used_teams, 1);
	EXPECT_GT(info.max_teams, 0);
	EXPECT_GT(strlen(info.kernel_name), 0u);
	EXPECT_GT(strlen(info.kernel_build_date), 0u);
	EXPECT_GT(strlen(info.kernel_build_time), 0u);
	EXPECT_GT(info.kernel_version, 0);
	EXPECT_GT(info.boot_time, 0);
	EXPECT_LT(info.boot_time, real_time_clock_usecs());
	EXPECT_EQ(B_BAD_VALUE, get_system_info(NULL));

	std::ifstream cpuinfo("/proc/cpuinfo");
	std::stringstream text;
	text << cpuinfo.rdbuf();
	if (text.str().find("cpu MHz") != std::string::npos) {
		EXPECT_GT(info.cpu_clock_speed, 0);
	}

	// max_pages counts BeOS pages of 4096 bytes, whatever the machine's page size.
	std::ifstream meminfo("/proc/meminfo");
	std::string key;
	long long totalKB = 0;
	meminfo >> key >> totalKB;
	EXPECT_EQ(totalKB * 1024 / B_PAGE_SIZE, info.max_pages);
}

TEST(SystemInfo, ProcessorTypesFollowTheBeOSNumbering)
{
	const struct {
		const char* cpuinfo;
		cpu_type type;
		int32 revision;
		int64 clock;
		int64 bus;
	} rows[] = {
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 3\nmodel name\t: Pentium II "
		  "(Klamath)\nstepping\t: 2\ncpu MHz\t\t: 332.600\n",
			B_CPU_INTEL_PENTIUM_II, 0x632, 332600000, 0 },
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 5\nmodel\t\t: 4\nstepping\t: 3\n",
			B_CPU_INTEL_PENTIUM_MMX, 0x543, 0, 0 },
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 6\n", B_CPU_INTEL_CELERON, 0x660,
			0, 0 },
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 7\n", B_CPU_INTEL_PENTIUM_III,
			0x670, 0, 0 },
		// Later processors have no code of their own: the vendor's.
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\nstepping\t: 10\ncpu "
		  "MHz\t\t: 3600.000\n",
			B_CPU_INTEL_X86, 0x906EA, 3600000000LL, 0 },
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 8\n", B_CPU_INTEL_X86, 0x680, 0,
			0 },
		{ "vendor_id\t: AuthenticAMD\ncpu family\t: 5\nmodel\t\t: 0\n", B_CPU_AMD_K5_MODEL0, 0x500,
			0, 0 },
		{ "vendor_id\t: AuthenticAMD\ncpu family\t: 5\nmodel\t\t: 8\n", B_CPU_AMD_K6_2, 0x580, 0,
			0 },
		{ "vendor_id\t: AuthenticAMD\ncpu family\t: 25\nmodel\t\t: 1\nmodel name\t: AMD "
		  "EPYC\nstepping\t: 1\ncpu MHz\t\t: 2445.430\n",
			B_CPU_AMD_X86, 0xA00F11, 2445430000LL, 100000000 },
		{ "vendor_id\t: CyrixInstead\ncpu family\t: 5\nmodel\t\t: 4\n", B_CPU_CYRIX_GXm, 0x540, 0,
			0 },
		{ "vendor_id\t: CyrixInstead\ncpu family\t: 6\nmodel\t\t: 0\n", B_CPU_CYRIX_6x86MX, 0x600,
			0, 0 },
		{ "vendor_id\t: CentaurHauls\ncpu family\t: 5\nmodel\t\t: 4\n", B_CPU_IDT_WINCHIP_C6, 0x540,
			0, 0 },
		{ "vendor_id\t: RiseRiseRise\ncpu family\t: 5\nmodel\t\t: 0\n", B_CPU_RISE_mP6, 0x500, 0,
			0 },
		{ "vendor_id\t: HygonGenuine\ncpu family\t: 24\nmodel\t\t: 0\n", B_CPU_X86, 0x900F00, 0,
			100000000 },
		{ "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x41\nCPU architecture: 8\n",
			B_CPU_ARM, 0, 0, 0 },
		{ "processor\t: 0\ncpu\t\t: 604e\nclock\t\t: 200.000000MHz\n", B_CPU_PPC_604e, 0, 200000000,
			0 },
		// Only the first processor counts.
		{ "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 3\n\nvendor_id\t: "
		  "AuthenticAMD\ncpu family\t: 5\nmodel\t\t: 8\n",
			B_CPU_INTEL_PENTIUM_II, 0x630, 0, 0 },
	};

	for (const auto& row : rows) {
		BPrivate::cpuinfo_summary summary = BPrivate::parse_cpuinfo(row.cpuinfo);
		EXPECT_EQ(row.type, summary.type) << row.cpuinfo;
		EXPECT_EQ(row.revision, summary.revision) << row.cpuinfo;
		EXPECT_EQ(row.clock, summary.clock_speed) << row.cpuinfo;
		EXPECT_EQ(row.bus, summary.bus_clock_speed) << row.cpuinfo;
	}
}

TEST(SystemInfo, ClockSpeedsAreRoundedToTheNearestHertz)
{
	EXPECT_EQ(332500000, BPrivate::parse_cpuinfo("cpu MHz\t\t: 332.500\n").clock_speed);
	EXPECT_EQ(1000000, BPrivate::parse_cpuinfo("cpu MHz\t\t: 0.9999996\n").clock_speed);
	EXPECT_EQ(0, BPrivate::parse_cpuinfo("cpu MHz\t\t: garbage\n").clock_speed);
	EXPECT_EQ(0, BPrivate::parse_cpuinfo("").clock_speed);
}

TEST(SystemInfo, KernelBuildTimesAreReadFromTheVersionText)
{
	const struct {
		const char* version;
		bool found;
		const char* date;
		const char* time;
	} rows[] = {
		{ "#1 SMP PREEMPT_DYNAMIC Tue Oct 10 13:27:24 UTC 2023", true, "Oct 10 2023", "13:27:24" },
		{ "#5 Mon Mar  4 09:05:01 2024", true, "Mar  4 2024", "09:05:01" },
		{ "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)", true, "Feb  1 2024", "00:00:00" },
		{ "#1 SMP PREEMPT_DYNAMIC @0", true, "Jan  1 1970", "00:00:00" },
		{ "#1 SMP @1700000000", true, "Nov 14 2023", "22:13:20" },
		{ "#1 SMP", false, "unknown", "unknown" },
		{ "", false, "unknown", "unknown" },
		{ "Foo 99 12:00:00 2020 (2024-13-01)", false, "unknown", "unknown" },
	};

	for (const auto& row : rows) {
		char date[B_OS_NAME_LENGTH];
		char time[B_OS_NAME_LENGTH];
		EXPECT_EQ(row.found,
			BPrivate::parse_kernel_build_time(row.version, date, sizeof(date), time, sizeof(time)))
			<< row.version;
		EXPECT_STREQ(row.date, date) << row.version;
		EXPECT_STREQ(row.time, time) << row.version;
	}
}

TEST(SystemInfo, X86CodesAreVendorPlusFamilyAndModel)
{
	EXPECT_EQ(B_CPU_INTEL_PENTIUM, BPrivate::cpu_type_for_x86("GenuineIntel", 5, 1));
	EXPECT_EQ(B_CPU_INTEL_PENTIUM_PRO, BPrivate::cpu_type_for_x86("GenuineIntel", 6, 1));
	EXPECT_EQ(B_CPU_AMD_K6_III, BPrivate::cpu_type_for_x86("AuthenticAMD", 5, 9));
	EXPECT_EQ(B_CPU_IDT_WINCHIP_2, BPrivate::cpu_type_for_x86("CentaurHauls", 5, 8));
	EXPECT_EQ(B_CPU_AMD_X86, BPrivate::cpu_type_for_x86("AuthenticAMD", 15, 107));
	EXPECT_EQ(B_CPU_X86, BPrivate::cpu_type_for_x86("GenuineTMx86", 5, 4));
	EXPECT_EQ(0x1F00, B_CPU_X86_VENDOR_MASK & B_CPU_RISE_X86 ? 0x1F00 : 0);
	EXPECT_EQ(B_CPU_INTEL_X86, B_CPU_INTEL_PENTIUM_III & B_CPU_X86_VENDOR_MASK);
}

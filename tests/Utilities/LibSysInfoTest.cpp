// LibSysInfo: the snapshot's rounding of clock speeds and screen sizes, memory in megabytes
// beyond 32 bits, the name tables, the description and the debugging output.
#include "LibSysInfo.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

system_info
machine(int64 cpuHertz, int64 busHertz, int32 pages = 32768)
{
	system_info info = {};
	info.cpu_count = 1;
	info.cpu_type = B_CPU_INTEL_PENTIUM_II;
	info.platform_type = B_AT_CLONE_PLATFORM;
	info.cpu_revision = 0x0652;
	info.cpu_clock_speed = cpuHertz;
	info.bus_clock_speed = busHertz;
	info.max_pages = pages;
	strcpy(info.kernel_build_date, "Mar 10 2000");
	strcpy(info.kernel_build_time, "12:30:00");
	return info;
}

const BRect kScreen(0, 0, 1023, 767);

} // namespace

TEST(LibSysInfo, ClockSpeedsRoundUpOnlyAboveOneHalf)
{
	const struct {
		int64 hertz;
		int32 megahertz;
	} rows[] = { { 332500000, 332 }, { 332500001, 333 }, { 332600000, 333 }, { 332499999, 332 },
		{ 66666666, 67 }, { 0, 0 }, { 4200000000LL, 4200 } };

	for (const auto& row : rows) {
		LibSysInfo info(machine(row.hertz, row.hertz), kScreen, B_RGB32);
		EXPECT_EQ(row.megahertz, info.CpuSpeed()) << row.hertz;
		EXPECT_EQ(row.megahertz, info.BusSpeed()) << row.hertz;
	}
}

TEST(LibSysInfo, ScreenSizeCountsInclusiveEdges)
{
	LibSysInfo info(machine(0, 0), kScreen, B_RGB32);
	EXPECT_EQ(1024, info.ScreenWidth());
	EXPECT_EQ(768, info.ScreenHeight());
	EXPECT_EQ(B_RGB32, info.ScreenDepth());

	LibSysInfo partial(machine(0, 0), BRect(10, 20, 809.25f, 619.5f), B_CMAP8);
	EXPECT_EQ(801, partial.ScreenWidth());
	EXPECT_EQ(601, partial.ScreenHeight());
}

TEST(LibSysInfo, PhysicalRamIsWholeMegabytesBeyondFourGigabytes)
{
	EXPECT_EQ(128, LibSysInfo(machine(0, 0, 32768), kScreen, B_RGB32).PhysicalRam());
	EXPECT_EQ(127, LibSysInfo(machine(0, 0, 32767), kScreen, B_RGB32).PhysicalRam());
	EXPECT_EQ(16384, LibSysInfo(machine(0, 0, 4194304), kScreen, B_RGB32).PhysicalRam());
}

TEST(LibSysInfo, NamesTheSystemsCodes)
{
	EXPECT_STREQ("Intel Pentium II", LibSysInfo::CpuTypeName(0x1063));
	EXPECT_STREQ("Cyrix 6 x86MX", LibSysInfo::CpuTypeName(0x1260));
	EXPECT_STREQ("Rise mP6", LibSysInfo::CpuTypeName(0x1450));
	EXPECT_STREQ("Unknown", LibSysInfo::CpuTypeName(0x1300));
	EXPECT_STREQ("Unknown", LibSysInfo::CpuTypeName(0));

	EXPECT_STREQ("BeBox", LibSysInfo::PlatformName(0));
	EXPECT_STREQ("Nintendo 64", LibSysInfo::PlatformName(13));
	EXPECT_STREQ("Unknown", LibSysInfo::PlatformName(14));
	EXPECT_STREQ("Unknown", LibSysInfo::PlatformName(-1));

	const struct {
		color_space space;
		const char* text;
	} depths[] = { { B_NO_COLOR_SPACE, "No color" }, { B_GRAY1, "1 bit gray" },
		{ B_GRAY8, "8 bit gray" }, { B_RGB24, "24 bit color" }, { B_CMAP8, "8 bit color" },
		{ B_RGB16, "16 bit color" }, { B_RGB32, "32 bit color" }, { B_RGB15, "15 bit color" },
		{ B_RGBA32, "Unknown" } };

	for (const auto& depth : depths) {
		LibSysInfo info(machine(0, 0), kScreen, depth.space);
		EXPECT_STREQ(depth.text, info.ScreenDepthStr()) << depth.space;
	}
}

TEST(LibSysInfo, DescriptionAndDebuggingOutput)
{
	LibSysInfo info(machine(333000000, 66000000), kScreen, B_RGB32);
	LibString description;
	info.Description(description);
	EXPECT_STREQ("AT Clone (1-Intel Pentium II@333/66MHz) 128MB RAM", description);
	EXPECT_STREQ("Mar 10 2000, 12:30:00", info.OSBuilt());
	EXPECT_EQ(0x0652, info.CpuRevision());

	testing::internal::CaptureStderr();
	info.PrintToStream();
	EXPECT_EQ("AT Clone (1-Intel Pentium II@333/66MHz) 128MB RAM\n32 bit color, 1024x768\n",
		testing::internal::GetCapturedStderr());

	LibSysInfo copy(machine(0, 0), BRect(0, 0, 9, 9), B_GRAY1);
	copy = info;
	LibString copied;
	copy.Description(copied);
	EXPECT_STREQ(description, copied);
	EXPECT_EQ(1024, copy.ScreenWidth());
}

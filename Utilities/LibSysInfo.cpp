#include "LibSysInfo.h"

#include <math.h>
#include <stdio.h>

namespace {

struct CodeName {
	int32 code;
	const char* name;
};

const CodeName kCpuTypeNames[] = { { 0x1, "601" }, { 0x2, "603" }, { 0x3, "603e" }, { 0x4, "604" },
	{ 0x5, "604e" }, { 0xD, "686" }, { 0xE, "AMD 29K" }, { 0xF, "x86" }, { 0x10, "MC6502" },
	{ 0x11, "Z80" }, { 0x12, "Alpha" }, { 0x13, "Mips" }, { 0x14, "Hppa" }, { 0x15, "M68K" },
	{ 0x16, "Arm" }, { 0x17, "SH" }, { 0x18, "Sparc" }, { 0x1000, "Intel x86" },
	{ 0x1051, "Intel Pentium" }, { 0x1052, "Intel Pentium 75" }, { 0x1053, "Intel Pentium 486" },
	{ 0x1054, "Intel Pentium MMX" }, { 0x1058, "Intel Pentium MMX Model 8" },
	{ 0x1059, "Intel Pentium 75-486" }, { 0x1061, "Intel Pentium Pro" },
	{ 0x1063, "Intel Pentium II" }, { 0x1065, "Intel Pentium II m5" },
	{ 0x1066, "Intel Pentium Celeron" }, { 0x1067, "Intel Pentium III" }, { 0x1100, "AMD x86" },
	{ 0x1150, "AMD K5 m0" }, { 0x1151, "AMD K5 m1" }, { 0x1152, "AMD K5 m2" },
	{ 0x1153, "AMD K5 m3" }, { 0x1156, "AMD K6 m6" }, { 0x1157, "AMD K6 m7" },
	{ 0x1158, "AMD K6 m8" }, { 0x1159, "AMD K6 m9" }, { 0x1200, "Cyrix x86" },
	{ 0x1254, "Cyrix GXm" }, { 0x1260, "Cyrix 6 x86MX" }, { 0x1354, "IDT WinChip C6" },
	{ 0x1358, "IDT WinChip 2" }, { 0x1400, "Rise x86" }, { 0x1450, "Rise mP6" } };

const char* const kPlatformNames[] = { "BeBox", "Mac", "AT Clone", "Eniac", "Apple II", "Cray",
	"Lisa", "TI 994A", "Timex Sinclair", "Orac 1", "Hal", "Besm 6", "MK 61", "Nintendo 64" };

const CodeName kDepthNames[] = { { B_NO_COLOR_SPACE, "No color" }, { B_GRAY1, "1 bit gray" },
	{ B_GRAY8, "8 bit gray" }, { B_RGB24, "24 bit color" }, { B_CMAP8, "8 bit color" },
	{ B_RGB16, "16 bit color" }, { B_RGB32, "32 bit color" }, { B_RGB15, "15 bit color" } };

const char*
name_of(const CodeName* names, size_t count, int32 code)
{
	for (size_t i = 0; i < count; i++) {
		if (names[i].code == code)
			return names[i].name;
	}
	return "Unknown";
}

// Hz to MHz: a dropped fraction above one half rounds up; exactly one half rounds down.
int32
megahertz(int64 hertz)
{
	int64 whole = hertz / 1000000;
	if (hertz % 1000000 > 500000)
		whole++;
	return (int32)whole;
}

// A screen edge to pixels, the frame's edges being inclusive.
int32
pixels(float from, float to)
{
	return (int32)ceilf(to - from) + 1;
}

} // namespace

LibSysInfo::LibSysInfo(
	const system_info& info, const BRect& screenFrame, const color_space& screenDepth)
{
	_Take(info, screenFrame, screenDepth);
}

LibSysInfo::~LibSysInfo() { }

void
LibSysInfo::_Take(const system_info& info, const BRect& screenFrame, const color_space& screenDepth)
{
	fScreenDepth = screenDepth;
	fScreenWidth = pixels(screenFrame.left, screenFrame.right);
	fScreenHeight = pixels(screenFrame.top, screenFrame.bottom);
	fCpuCount = info.cpu_count;
	fCpuType = CpuTypeName(info.cpu_type);
	fPlatform = PlatformName(info.platform_type);
	fCpuRevision = info.cpu_revision;
	fCpuSpeed = megahertz(info.cpu_clock_speed);
	fBusSpeed = megahertz(info.bus_clock_speed);
	fOSBuilt.Formatted("%s, %s", info.kernel_build_date, info.kernel_build_time);
	// In 64 bits: four gigabytes of pages overflow 32.
	fPhysicalRam = (int32)((int64)info.max_pages * B_PAGE_SIZE / 1048576);
}

const char*
LibSysInfo::ScreenDepthStr() const
{
	return DepthName(fScreenDepth);
}

void
LibSysInfo::Description(LibString& out) const
{
	out.Formatted("%s (%d-%s@%d/%dMHz) %dMB RAM", (const char*)fPlatform, (int)fCpuCount,
		(const char*)fCpuType, (int)fCpuSpeed, (int)fBusSpeed, (int)fPhysicalRam);
}

void
LibSysInfo::PrintToStream() const
{
	LibString description;
	Description(description);
	fprintf(stderr, "%s\n", (const char*)description);
	fprintf(stderr, "%s, %dx%d\n", ScreenDepthStr(), (int)fScreenWidth, (int)fScreenHeight);
}

const char*
LibSysInfo::PlatformName(int32 platformType)
{
	if (platformType < 0 || platformType >= (int32)(sizeof(kPlatformNames) / sizeof(char*)))
		return "Unknown";
	return kPlatformNames[platformType];
}

const char*
LibSysInfo::CpuTypeName(int32 cpuType)
{
	return name_of(kCpuTypeNames, sizeof(kCpuTypeNames) / sizeof(CodeName), cpuType);
}

const char*
LibSysInfo::DepthName(int32 colorSpace)
{
	return name_of(kDepthNames, sizeof(kDepthNames) / sizeof(CodeName), colorSpace);
}

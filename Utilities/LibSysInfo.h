// The machine and the user: a snapshot of processor, platform, memory and screen
// (LibSysInfo), restarting or powering off the machine, the system's name and version, the
// login name, and the CPU time, suspending and resuming of a process's threads.
#ifndef LIB_SYS_INFO_H
#define LIB_SYS_INFO_H

#include "LibString.h"

#include <GraphicsDefs.h>
#include <OS.h>
#include <Rect.h>

class LibSysInfo {
public:
	// Takes the snapshot of the running system and its main screen. It needs the interface
	// kit, so it lives in the library's interface part (UtilitiesInterface); without a
	// display the screen reads as 1 × 1 "No color".
	LibSysInfo();
	// The snapshot of the given system record and main screen (frame and colour space).
	LibSysInfo(const system_info& info, const BRect& screenFrame, const color_space& screenDepth);
	virtual ~LibSysInfo();

	LibSysInfo(const LibSysInfo& other) = default;
	LibSysInfo& operator=(const LibSysInfo& other) = default;

	int32 ScreenDepth() const { return fScreenDepth; }

	// "32 bit color", "8 bit gray", ... "Unknown"; the text lives as long as the program.
	const char* ScreenDepthStr() const;

	int32 ScreenWidth() const { return fScreenWidth; }

	int32 ScreenHeight() const { return fScreenHeight; }

	int32 CpuCount() const { return fCpuCount; }

	const LibString& CpuType() const { return fCpuType; }

	int32 CpuRevision() const { return fCpuRevision; }

	// MHz, rounded: a fraction above one half rounds up, exactly one half down.
	int32 CpuSpeed() const { return fCpuSpeed; }

	int32 BusSpeed() const { return fBusSpeed; }

	const LibString& Platform() const { return fPlatform; }

	// The kernel's build date and time, "%s, %s".
	const LibString& OSBuilt() const { return fOSBuilt; }

	// Whole megabytes.
	int32 PhysicalRam() const { return fPhysicalRam; }

	// "AT Clone (1-Intel Pentium II@333/66MHz) 128MB RAM".
	void Description(LibString& out) const;
	// The description, then "%s, %dx%d" with the depth text and the screen size, to
	// standard error.
	virtual void PrintToStream() const;

	// The names of the system's codes; "Unknown" for any code without one.
	static const char* PlatformName(int32 platformType);
	static const char* CpuTypeName(int32 cpuType);
	static const char* DepthName(int32 colorSpace);

private:
	void _Take(const system_info& info, const BRect& screenFrame, const color_space& screenDepth);

	int32 fScreenDepth;
	int32 fCpuCount;
	LibString fCpuType;
	LibString fPlatform;
	int32 fScreenWidth;
	int32 fScreenHeight;
	int32 fCpuRevision;
	int32 fCpuSpeed;
	int32 fBusSpeed;
	LibString fOSBuilt;
	int32 fPhysicalRam;
};

// Restarts (restart true) or powers off the machine with the system's own shutdown command,
// started in the background without a shell; returns at once and reports nothing.
void LibShutdown(bool restart);

// out becomes the system's name and version ("Debian GNU/Linux 12 (bookworm)"); unchanged
// when the system does not say.
void LibGetOSVersion(LibString& out);

// The login name: the session's login, else the name of the real user id, else "".
LibString LibGetLogin();

// The user CPU time of the process's threads, summed, in seconds.
float lib_team_cpu_time(team_id team);
// Suspends the process's threads that are running, ready, asleep or waiting (never the
// calling thread); returns 0.
int32 lib_suspend_team(team_id team);
// Resumes the process's suspended threads; returns 0.
int32 lib_resume_team(team_id team);

#endif // LIB_SYS_INFO_H

// The kernel kit: threads, teams, time and system information, with the BeOS R5 names,
// numbers and structures, emulated over pthreads and /proc.
//
// Thread ids are Linux thread ids (gettid) and team ids are process ids, so a thread's id
// is the same number that /proc, top and a debugger show. Threads made by spawn_thread()
// start suspended, as on BeOS, until resume_thread() or wait_for_thread().
//
// Where kill_thread() takes effect. A killed thread unwinds (C++ destructors run, so
// BAutolock and other guards release what they hold) from a kill point, and only there:
//  - the kits' waits: snooze(), wait_for_thread(), a BLocker, a full port or a synchronous
//    reply in BMessenger::SendMessage(), a BPrivate::CancelableWait (an alert's answer),
//    BPrivate::wait_for_child();
//  - the check point BPrivate::check_thread_killed() (ThreadPrivate.h), which long loops
//    call once per entry or per chunk: the file walks and the ZIP packing and expanding of
//    the foundation library do, and so must every loop a worker runs for long without
//    waiting.
// Threads made by spawn_thread() run with cancellation off and have it on only inside a kill
// point, so a kill never lands in a destructor (closing a file), in a C library holding a lock
// (malloc, stdio, libzip) or in Qt; system calls such as read(), write() or close() are not
// kill points. A kill that comes while the thread is elsewhere waits for its next kill point.
// Never catch (...) without rethrowing on a thread that can be killed: the unwinding is an
// exception (abi::__forced_unwind) and swallowing it aborts the process. A destructor that
// waits holds a BPrivate::CancelDisabler, because unwinding out of a destructor ends the
// process; a C library callback never unwinds (it asks its library to stop, see
// BPrivate::thread_is_killed()). Messages a killed thread sent that still wait in a looper's
// queue are dropped, and nothing it sends after the kill arrives.
#ifndef _OS_H
#define _OS_H

#include <StorageDefs.h>
#include <SupportDefs.h>


#define B_OS_NAME_LENGTH 32
#define B_PAGE_SIZE 4096
#define B_INFINITE_TIMEOUT (9223372036854775807LL)

typedef int32 area_id;
typedef int32 port_id;
typedef int32 sem_id;
typedef int32 team_id;
typedef int32 thread_id;


// Time

// Microseconds since the machine started (monotonic).
bigtime_t system_time(void);

// Seconds and microseconds since 1970 (wall clock).
uint32 real_time_clock(void);
bigtime_t real_time_clock_usecs(void);

// Threads

typedef enum {
	B_THREAD_RUNNING = 1,
	B_THREAD_READY,
	B_THREAD_RECEIVING,
	B_THREAD_ASLEEP,
	B_THREAD_SUSPENDED,
	B_THREAD_WAITING
} thread_state;

#define B_IDLE_PRIORITY 0
#define B_LOWEST_ACTIVE_PRIORITY 1
#define B_LOW_PRIORITY 5
#define B_NORMAL_PRIORITY 10
#define B_DISPLAY_PRIORITY 15
#define B_URGENT_DISPLAY_PRIORITY 20
#define B_REAL_TIME_DISPLAY_PRIORITY 100
#define B_URGENT_PRIORITY 110
#define B_REAL_TIME_PRIORITY 120

#define B_SYSTEM_TIMEBASE 0

typedef int32 (*thread_func)(void* data);
#define thread_entry thread_func

typedef struct {
	thread_id thread;
	team_id team;
	char name[B_OS_NAME_LENGTH];
	thread_state state;
	int32 priority;
	sem_id sem;
	bigtime_t user_time;
	bigtime_t kernel_time;
	void* stack_base;
	void* stack_end;
} thread_info;

// Makes a thread that runs function(data) once it is resumed; returns its id or an error.
thread_id spawn_thread(thread_func function, const char* name, int32 priority, void* data);

// Stops a thread at its next kill point (see above). Threads of this process made by
// spawn_thread() and the calling thread itself can be killed; B_NOT_ALLOWED for others.
status_t kill_thread(thread_id thread);

// Starts a spawned thread, or continues one stopped by suspend_thread(). B_BAD_THREAD_STATE
// when it is neither.
status_t resume_thread(thread_id thread);

// Stops a thread wherever it is until resume_thread(). A thread of another process is
// stopped with SIGSTOP, which stops that whole process.
status_t suspend_thread(thread_id thread);

status_t rename_thread(thread_id thread, const char* newName);

// Returns the thread's previous priority. The priority is kept and mapped onto the thread's
// nice value where the system allows it.
status_t set_thread_priority(thread_id thread, int32 newPriority);

// Ends the calling thread with the given exit value.
void exit_thread(status_t status);

// Waits until the thread has ended (starting it first when it was never resumed) and stores
// its exit value; a killed thread's exit value is B_INTERRUPTED. The exit values of recently
// ended threads are kept, so waiting for a thread that has just ended still works.
status_t wait_for_thread(thread_id thread, status_t* returnValue);

// NULL: the calling thread; otherwise the first thread of this process with that name.
thread_id find_thread(const char* name);

status_t get_thread_info(thread_id thread, thread_info* info);

// Enumerates the threads of a team (0 for this one); *cookie starts at 0. B_BAD_VALUE
// after the last thread.
status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info);

status_t snooze(bigtime_t microseconds);
status_t snooze_until(bigtime_t time, int timeBase);


// Teams (processes)

#define B_CURRENT_TEAM 0
#define B_SYSTEM_TEAM 1

typedef struct {
	team_id team;
	int32 image_count;
	int32 thread_count;
	int32 area_count;
	thread_id debugger_nub_thread;
	port_id debugger_nub_port;
	int32 argc;
	char args[64];
	uid_t uid;
	gid_t gid;
} team_info;

status_t get_team_info(team_id team, team_info* info);
status_t get_next_team_info(int32* cookie, team_info* info);


// System information

#define B_MAX_CPU_COUNT 8

typedef enum cpu_types {
	B_CPU_PPC_601 = 1,
	B_CPU_PPC_603 = 2,
	B_CPU_PPC_603e = 3,
	B_CPU_PPC_604 = 4,
	B_CPU_PPC_604e = 5,
	B_CPU_PPC_686 = 13,
	B_CPU_AMD_29K = 14,
	B_CPU_X86,
	B_CPU_MC6502,
	B_CPU_Z80,
	B_CPU_ALPHA,
	B_CPU_MIPS,
	B_CPU_HPPA,
	B_CPU_M68K,
	B_CPU_ARM,
	B_CPU_SH,
	B_CPU_SPARC,

	// x86 codes: vendor + (family << 4) + model
	B_CPU_INTEL_X86 = 0x1000,
	B_CPU_INTEL_PENTIUM = 0x1051,
	B_CPU_INTEL_PENTIUM75,
	B_CPU_INTEL_PENTIUM_486_OVERDRIVE,
	B_CPU_INTEL_PENTIUM_MMX,
	B_CPU_INTEL_PENTIUM_MMX_MODEL_4 = B_CPU_INTEL_PENTIUM_MMX,
	B_CPU_INTEL_PENTIUM_MMX_MODEL_8 = 0x1058,
	B_CPU_INTEL_PENTIUM75_486_OVERDRIVE,
	B_CPU_INTEL_PENTIUM_PRO = 0x1061,
	B_CPU_INTEL_PENTIUM_II = 0x1063,
	B_CPU_INTEL_PENTIUM_II_MODEL_3 = 0x1063,
	B_CPU_INTEL_PENTIUM_II_MODEL_5 = 0x1065,
	B_CPU_INTEL_CELERON = 0x1066,
	B_CPU_INTEL_PENTIUM_III = 0x1067,

	B_CPU_AMD_X86 = 0x1100,
	B_CPU_AMD_K5_MODEL0 = 0x1150,
	B_CPU_AMD_K5_MODEL1,
	B_CPU_AMD_K5_MODEL2,
	B_CPU_AMD_K5_MODEL3,
	B_CPU_AMD_K6_MODEL6 = 0x1156,
	B_CPU_AMD_K6_MODEL7 = 0x1157,
	B_CPU_AMD_K6_MODEL8 = 0x1158,
	B_CPU_AMD_K6_2 = 0x1158,
	B_CPU_AMD_K6_MODEL9 = 0x1159,
	B_CPU_AMD_K6_III = 0x1159,

	B_CPU_CYRIX_X86 = 0x1200,
	B_CPU_CYRIX_GXm = 0x1254,
	B_CPU_CYRIX_6x86MX = 0x1260,

	B_CPU_IDT_X86 = 0x1300,
	B_CPU_IDT_WINCHIP_C6 = 0x1354,
	B_CPU_IDT_WINCHIP_2 = 0x1358,

	B_CPU_RISE_X86 = 0x1400,
	B_CPU_RISE_mP6 = 0x1450,

	B_CPU_X86_VENDOR_MASK = 0x1F00
} cpu_type;

typedef enum platform_types {
	B_BEBOX_PLATFORM = 0,
	B_MAC_PLATFORM,
	B_AT_CLONE_PLATFORM,
	B_ENIAC_PLATFORM,
	B_APPLE_II_PLATFORM,
	B_CRAY_PLATFORM,
	B_LISA_PLATFORM,
	B_TI_994A_PLATFORM,
	B_TIMEX_SINCLAIR_PLATFORM,
	B_ORAC_1_PLATFORM,
	B_HAL_PLATFORM,
	B_BESM_6_PLATFORM,
	B_MK_61_PLATFORM,
	B_NINTENDO_64_PLATFORM
} platform_type;

typedef struct {
	bigtime_t active_time;
} cpu_info;

typedef int32 machine_id[2];

typedef struct {
	machine_id id;
	bigtime_t boot_time;

	int32 cpu_count;
	enum cpu_types cpu_type;
	int32 cpu_revision;
	cpu_info cpu_infos[B_MAX_CPU_COUNT];
	int64 cpu_clock_speed;
	int64 bus_clock_speed;
	enum platform_types platform_type;

	int32 max_pages;
	int32 used_pages;
	int32 page_faults;
	int32 max_sems;
	int32 used_sems;
	int32 max_ports;
	int32 used_ports;
	int32 max_threads;
	int32 used_threads;
	int32 max_teams;
	int32 used_teams;

	char kernel_name[B_FILE_NAME_LENGTH];
	char kernel_build_date[B_OS_NAME_LENGTH];
	char kernel_build_time[B_OS_NAME_LENGTH];
	int64 kernel_version;

	bigtime_t _busy_wait_time;
	int32 pad[4];
} system_info;

// Fills the record from /proc and uname; see SystemInfo.cpp for where each field comes from.
status_t get_system_info(system_info* info);

#endif // _OS_H

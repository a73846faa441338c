// BeOS threads over pthreads. Every thread that the kit knows has a record in one table, the
// counterpart of the BeOS kernel's thread table: the threads made by spawn_thread(), and any
// other thread of the process (the main thread, a Qt thread) once it calls a kit function
// that needs its record. A record holds what pthreads does not: the BeOS name, priority and
// state, the start gate (spawned threads wait there until resume_thread()), the exit value,
// and whether the thread has been killed.
#include <OS.h>

#include "CancelableWait.h"
#include "ProcFile.h"
#include "ThreadPrivate.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#include <unordered_map>

namespace {

enum ThreadPhase { kWaitingForStart, kRunning, kEnded };

struct ThreadRecord {
	thread_id id = -1;
	bool spawned = false;
	thread_func entry = nullptr;
	void* data = nullptr;
	std::atomic<int32> priority { B_NORMAL_PRIORITY };
	std::atomic<int32> blockState { 0 };
	std::atomic<bool> killed { false };
	// Set by kill_thread(), or by the owner of a job that is stopped after it finished: the
	// thread's messages still in queues are dropped. Shared with those messages.
	std::shared_ptr<std::atomic<bool>> revoked = std::make_shared<std::atomic<bool>>(false);
	void* stackBase = nullptr;
	void* stackEnd = nullptr;

	// Guarded by the table's lock.
	char name[B_OS_NAME_LENGTH] = {};

	// Guarded by gate.
	BPrivate::CancelableWait gate;
	pthread_t handle {};
	ThreadPhase phase = kWaitingForStart;
	bool resumed = false;
	// Written by the thread itself; read by others once phase is kEnded.
	status_t exitValue = B_INTERRUPTED;
};

// The exit values of the last ended threads, so that wait_for_thread() on a thread that has
// just ended still gets its value (BeOS loses it in that race).
const size_t kKeptEndings = 128;

struct ThreadTable {
	std::mutex lock;
	std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>> threads;
	std::deque<std::pair<thread_id, status_t>> endings;
};

// The table lives as long as the process: detached threads may still end while static
// objects are destroyed at exit.
ThreadTable&
thread_table()
{
	static ThreadTable* table = new ThreadTable;
	return *table;
}

thread_local thread_id tThreadId = -1;

// True in threads made by spawn_thread(): they run with cancellation disabled and turn it on
// only at kill points (ThreadPrivate.h).
thread_local bool tKillable = false;
// How many CancelDisablers are in force in the calling thread.
thread_local int tNoKillDepth = 0;

void
forget_cached_thread_id()
{
	tThreadId = -1;
}

thread_id
current_thread_id()
{
	if (tThreadId < 0) {
		static std::once_flag atForkRegistered;
		std::call_once(
			atForkRegistered, [] { pthread_atfork(nullptr, nullptr, forget_cached_thread_id); });
		tThreadId = static_cast<thread_id>(syscall(SYS_gettid));
	}
	return tThreadId;
}

void
copy_name(char* target, const char* name)
{
	if (name == nullptr)
		name = "unnamed thread";
	const size_t length = strnlen(name, B_OS_NAME_LENGTH - 1);
	memcpy(target, name, length);
	target[length] = '\0';
}

// Linux thread names hold 15 characters.
void
short_name(char* target, const char* name)
{
	const size_t length = strnlen(name, 15);
	memcpy(target, name, length);
	target[length] = '\0';
}

void
erase_ending(ThreadTable& table, thread_id id)
{
	for (auto it = table.endings.begin(); it != table.endings.end(); ++it) {
		if (it->first == id) {
			table.endings.erase(it);
			return;
		}
	}
}

// The record of the calling thread. Threads that spawn_thread() did not make get one on
// first use ("adopted"); it leaves the table when the thread ends.
struct CurrentThread {
	std::shared_ptr<ThreadRecord> record;

	~CurrentThread()
	{
		if (record == nullptr || record->spawned)
			return;
		ThreadTable& table = thread_table();
		{
			std::lock_guard<std::mutex> locker(table.lock);
			auto found = table.threads.find(record->id);
			if (found != table.threads.end() && found->second == record)
				table.threads.erase(found);
		}
		BPrivate::CancelableWait::Locker locker(record->gate);
		record->phase = kEnded;
		record->exitValue = B_OK;
		record->gate.NotifyAll();
	}
};

thread_local CurrentThread tCurrent;

ThreadRecord&
current_record()
{
	if (tCurrent.record != nullptr)
		return *tCurrent.record;

	auto record = std::make_shared<ThreadRecord>();
	record->id = current_thread_id();
	record->handle = pthread_self();
	record->phase = kRunning;
	record->resumed = true;
	char name[16] = {};
	pthread_getname_np(pthread_self(), name, sizeof(name));
	copy_name(record->name, name);
	errno = 0;
	int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(record->id));
	if (errno == 0)
		record->priority = B_NORMAL_PRIORITY - nice;

	ThreadTable& table = thread_table();
	{
		std::lock_guard<std::mutex> locker(table.lock);
		erase_ending(table, record->id);
		table.threads[record->id] = record;
	}
	tCurrent.record = record;
	return *record;
}

std::shared_ptr<ThreadRecord>
find_record(thread_id id)
{
	ThreadTable& table = thread_table();
	std::lock_guard<std::mutex> locker(table.lock);
	auto found = table.threads.find(id);
	if (found == table.threads.end())
		return nullptr;
	return found->second;
}

// True for a spawned thread that has ended. For a short while after wait_for_thread()
// returns, such a thread still tears itself down and shows in /proc, but it is gone.
bool
has_ended(thread_id id)
{
	ThreadTable& table = thread_table();
	std::lock_guard<std::mutex> locker(table.lock);
	if (table.threads.find(id) != table.threads.end())
		return false;
	for (const auto& ending : table.endings) {
		if (ending.first == id)
			return true;
	}
	return false;
}

// True when the thread id belongs to this process.
bool
is_own_thread(thread_id id)
{
	if (id <= 0)
		return false;
	if (find_record(id) != nullptr)
		return true;
	if (has_ended(id))
		return false;
	char path[64];
	snprintf(path, sizeof(path), "/proc/self/task/%d", static_cast<int>(id));
	return access(path, F_OK) == 0;
}

// The team (process id) that a thread of any process belongs to, or -1.
team_id
team_of_thread(thread_id id)
{
	if (id <= 0 || has_ended(id))
		return -1;
	if (is_own_thread(id))
		return getpid();
	char path[64];
	snprintf(path, sizeof(path), "/proc/%d/status", static_cast<int>(id));
	std::string text;
	std::string value;
	if (!BPrivate::read_text_file(path, text) || !BPrivate::find_key_value(text, "Tgid", value))
		return -1;
	return static_cast<team_id>(atoi(value.c_str()));
}

// BeOS priorities run from 1 (lowest) over 10 (normal) to 120 (real time); Linux threads
// have nice values from 19 (lowest) over 0 to -20. Real-time scheduling is not used.
int
nice_for_priority(int32 priority)
{
	if (priority >= B_REAL_TIME_DISPLAY_PRIORITY)
		return -20;
	int nice = B_NORMAL_PRIORITY - priority;
	if (nice < -20)
		return -20;
	if (nice > 19)
		return 19;
	return nice;
}

// Haiku behaviour: out-of-range priorities are clamped rather than refused.
int32
clamp_priority(int32 priority)
{
	if (priority < B_LOWEST_ACTIVE_PRIORITY)
		return B_LOWEST_ACTIVE_PRIORITY;
	if (priority > B_REAL_TIME_PRIORITY)
		return B_REAL_TIME_PRIORITY;
	return priority;
}

// Priorities are advisory: raising one needs a privilege that users do not have, and the
// thread keeps its BeOS priority either way.
void
apply_priority(thread_id id, int32 priority)
{
	setpriority(PRIO_PROCESS, static_cast<id_t>(id), nice_for_priority(priority));
}

// Suspension of a thread of this process: suspend_thread() enters the thread's id into a
// lock-free set and sends it kSuspendSignal; the handler waits in sigsuspend() until the id
// has left the set, and resume_thread() removes it and sends kResumeSignal to end the wait.
// The set is read in the handler, so it is an array of atomics rather than a locked table.
const int kMaxSuspended = 64;
std::atomic<thread_id> sSuspended[kMaxSuspended];

int
suspend_signal()
{
	return SIGRTMIN + 4;
}

int
resume_signal()
{
	return SIGRTMIN + 5;
}

bool
is_suspended(thread_id id)
{
	for (const std::atomic<thread_id>& slot : sSuspended) {
		if (slot.load() == id)
			return true;
	}
	return false;
}

bool
mark_suspended(thread_id id)
{
	if (is_suspended(id))
		return true;
	for (std::atomic<thread_id>& slot : sSuspended) {
		thread_id expected = 0;
		if (slot.compare_exchange_strong(expected, id))
			return true;
	}
	return false;
}

bool
clear_suspended(thread_id id)
{
	bool found = false;
	for (std::atomic<thread_id>& slot : sSuspended) {
		thread_id expected = id;
		if (slot.compare_exchange_strong(expected, 0))
			found = true;
	}
	return found;
}

void
suspend_signal_handler(int)
{
	const int savedErrno = errno;
	const thread_id self = static_cast<thread_id>(syscall(SYS_gettid));
	sigset_t mask;
	pthread_sigmask(SIG_BLOCK, nullptr, &mask);
	sigdelset(&mask, resume_signal());
	// The raw system call, because glibc's sigsuspend() is a cancellation point and this
	// handler may have interrupted code that must not unwind. The kernel's signal set is
	// the first 8 bytes of glibc's.
	while (is_suspended(self))
		syscall(SYS_rt_sigsuspend, &mask, static_cast<size_t>(8));
	errno = savedErrno;
}

void
resume_signal_handler(int)
{
}

void
install_suspend_handlers()
{
	static std::once_flag installed;
	std::call_once(installed, [] {
		struct sigaction action = {};
		action.sa_handler = resume_signal_handler;
		action.sa_flags = SA_RESTART;
		sigemptyset(&action.sa_mask);
		sigaction(resume_signal(), &action, nullptr);

		action.sa_handler = suspend_signal_handler;
		sigaddset(&action.sa_mask, resume_signal());
		sigaction(suspend_signal(), &action, nullptr);
	});
}

status_t
send_signal(team_id team, thread_id id, int signal)
{
	if (syscall(SYS_tgkill, team, id, signal) != 0)
		return errno == ESRCH ? B_BAD_THREAD_ID : B_FROM_POSIX_ERROR(errno);
	return B_OK;
}

// Runs when a spawned thread ends in any way: returning, exit_thread() or being killed.
class ThreadEnding {
public:
	explicit ThreadEnding(std::shared_ptr<ThreadRecord> record) :
		fRecord(std::move(record))
	{
	}

	~ThreadEnding()
	{
		// A late kill_thread() must not unwind out of this destructor.
		BPrivate::CancelDisabler disabler;
		ThreadTable& table = thread_table();
		{
			std::lock_guard<std::mutex> locker(table.lock);
			auto found = table.threads.find(fRecord->id);
			if (found != table.threads.end() && found->second == fRecord)
				table.threads.erase(found);
			table.endings.emplace_back(fRecord->id, fRecord->exitValue);
			while (table.endings.size() > kKeptEndings)
				table.endings.pop_front();
		}
		clear_suspended(fRecord->id);
		BPrivate::CancelableWait::Locker locker(fRecord->gate);
		fRecord->phase = kEnded;
		fRecord->gate.NotifyAll();
	}

	ThreadEnding(const ThreadEnding&) = delete;
	ThreadEnding& operator=(const ThreadEnding&) = delete;

private:
	std::shared_ptr<ThreadRecord> fRecord;
};

void*
thread_start(void* argument)
{
	std::shared_ptr<ThreadRecord> record =
		std::move(*static_cast<std::shared_ptr<ThreadRecord>*>(argument));
	delete static_cast<std::shared_ptr<ThreadRecord>*>(argument);
	// Killed threads unwind only from kill points; everywhere else a kill waits.
	pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
	tKillable = true;
	tCurrent.record = record;

	const thread_id id = current_thread_id();
	char shortName[16];
	{
		std::lock_guard<std::mutex> locker(thread_table().lock);
		short_name(shortName, record->name);
	}
	pthread_setname_np(pthread_self(), shortName);
	apply_priority(id, record->priority);

	pthread_attr_t attributes;
	if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
		void* stack = nullptr;
		size_t size = 0;
		if (pthread_attr_getstack(&attributes, &stack, &size) == 0) {
			record->stackBase = stack;
			record->stackEnd = static_cast<char*>(stack) + size;
		}
		pthread_attr_destroy(&attributes);
	}

	{
		ThreadTable& table = thread_table();
		std::lock_guard<std::mutex> locker(table.lock);
		erase_ending(table, id);
		table.threads[id] = record;
	}

	ThreadEnding ending(record);
	{
		BPrivate::CancelableWait::Locker locker(record->gate);
		record->handle = pthread_self();
		record->id = id;
		record->gate.NotifyAll();
		while (!record->resumed)
			record->gate.WaitUntil(B_INFINITE_TIMEOUT);
		record->phase = kRunning;
	}

	record->exitValue = record->entry(record->data);
	return nullptr;
}

thread_state
state_from_proc(char state)
{
	switch (state) {
		case 'R':
			return B_THREAD_RUNNING;
		case 'T':
		case 't':
			return B_THREAD_SUSPENDED;
		default:
			return B_THREAD_WAITING;
	}
}

// Fills state, times and (for threads without a record) name and priority from
// /proc/<team>/task/<id>/stat.
bool
read_proc_thread(team_id team, thread_id id, thread_info* info, bool wantNameAndPriority)
{
	char path[96];
	snprintf(
		path, sizeof(path), "/proc/%d/task/%d/stat", static_cast<int>(team), static_cast<int>(id));
	std::string text;
	if (!BPrivate::read_text_file(path, text))
		return false;

	// "tid (comm) state ...": the name may hold blanks and parentheses, so the fields start
	// after the last ')'.
	size_t open = text.find('(');
	size_t close = text.rfind(')');
	if (open == std::string::npos || close == std::string::npos || close < open)
		return false;

	const char* fields = text.c_str() + close + 1;
	char state = '?';
	unsigned long userTicks = 0;
	unsigned long systemTicks = 0;
	long nice = 0;
	// Fields 3 (state) to 19 (nice) of proc(5).
	int parsed =
		sscanf(fields, " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu %*d %*d %*d %ld",
			&state, &userTicks, &systemTicks, &nice);
	if (parsed < 3)
		return false;

	const long ticksPerSecond = sysconf(_SC_CLK_TCK);
	const bigtime_t tickLength = ticksPerSecond > 0 ? 1000000 / ticksPerSecond : 10000;
	info->state = state_from_proc(state);
	info->user_time = static_cast<bigtime_t>(userTicks) * tickLength;
	info->kernel_time = static_cast<bigtime_t>(systemTicks) * tickLength;
	if (wantNameAndPriority) {
		copy_name(info->name, text.substr(open + 1, close - open - 1).c_str());
		info->priority =
			parsed >= 4 ? B_NORMAL_PRIORITY - static_cast<int32>(nice) : B_NORMAL_PRIORITY;
	}
	return true;
}

} // namespace

// #pragma mark - private interface


namespace BPrivate {

bool
thread_is_killed()
{
	return tCurrent.record != nullptr && tCurrent.record->killed.load();
}

void
check_thread_killed()
{
	if (!thread_is_killed())
		return;
	KillPoint point;
	pthread_testcancel();
}

CancelDisabler::CancelDisabler()
{
	tNoKillDepth++;
}

CancelDisabler::~CancelDisabler()
{
	tNoKillDepth--;
}

KillPoint::KillPoint() :
	fEnabled(tKillable && tNoKillDepth == 0)
{
	if (fEnabled)
		pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, nullptr);
}

KillPoint::~KillPoint()
{
	if (fEnabled)
		pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
}

SenderMark
current_sender_mark()
{
	const std::shared_ptr<ThreadRecord>& record = tCurrent.record;
	if (record == nullptr || !record->spawned)
		return SenderMark();
	return SenderMark(record->revoked);
}

SenderMark
sender_mark_of(thread_id thread)
{
	std::shared_ptr<ThreadRecord> record = find_record(thread);
	if (record == nullptr || !record->spawned)
		return SenderMark();
	return SenderMark(record->revoked);
}

bool
thread_exists(thread_id thread)
{
	return is_own_thread(thread);
}

ThreadStateScope::ThreadStateScope(thread_state state)
{
	fOldState = current_record().blockState.exchange(state);
}

ThreadStateScope::~ThreadStateScope()
{
	tCurrent.record->blockState.store(fOldState);
}

void
init_condition(pthread_cond_t* condition)
{
	pthread_condattr_t attributes;
	pthread_condattr_init(&attributes);
	pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
	pthread_cond_init(condition, &attributes);
	pthread_condattr_destroy(&attributes);
}

status_t
wait_condition(pthread_cond_t* condition, pthread_mutex_t* mutex, bigtime_t deadline)
{
	ThreadStateScope waiting(B_THREAD_WAITING);
	KillPoint point;
	int error = 0;
	if (deadline == B_INFINITE_TIMEOUT) {
		pthread_cond_wait(condition, mutex);
	} else {
		if (deadline < 0)
			deadline = 0;
		timespec until;
		until.tv_sec = static_cast<time_t>(deadline / 1000000);
		until.tv_nsec = static_cast<long>(deadline % 1000000) * 1000;
		error = pthread_cond_timedwait(condition, mutex, &until);
	}
	// A wake-up that comes together with a kill_thread() returns normally and leaves the
	// cancellation pending; act on it now rather than at some later point.
	pthread_testcancel();
	return error == ETIMEDOUT ? B_TIMED_OUT : B_OK;
}

CancelableWait::CancelableWait()
{
	pthread_mutex_init(&fMutex, nullptr);
	init_condition(&fCondition);
}

CancelableWait::~CancelableWait()
{
	pthread_cond_destroy(&fCondition);
	pthread_mutex_destroy(&fMutex);
}

void
CancelableWait::Lock()
{
	pthread_mutex_lock(&fMutex);
}

void
CancelableWait::Unlock()
{
	pthread_mutex_unlock(&fMutex);
}

status_t
CancelableWait::WaitUntil(bigtime_t deadline)
{
	return wait_condition(&fCondition, &fMutex, deadline);
}

void
CancelableWait::NotifyOne()
{
	pthread_cond_signal(&fCondition);
}

void
CancelableWait::NotifyAll()
{
	pthread_cond_broadcast(&fCondition);
}

bigtime_t
deadline_after(bigtime_t timeout)
{
	if (timeout < 0 || timeout == B_INFINITE_TIMEOUT)
		return B_INFINITE_TIMEOUT;
	const bigtime_t now = system_time();
	if (timeout >= B_INFINITE_TIMEOUT - now)
		return B_INFINITE_TIMEOUT;
	return now + timeout;
}

} // namespace BPrivate

// #pragma mark - time


bigtime_t
system_time(void)
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return static_cast<bigtime_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

uint32
real_time_clock(void)
{
	return static_cast<uint32>(time(nullptr));
}

bigtime_t
real_time_clock_usecs(void)
{
	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	return static_cast<bigtime_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

status_t
snooze_until(bigtime_t time, int timeBase)
{
	if (timeBase != B_SYSTEM_TIMEBASE)
		return B_BAD_VALUE;

	BPrivate::ThreadStateScope asleep(B_THREAD_ASLEEP);
	BPrivate::KillPoint point;
	timespec until;
	if (time < 0)
		time = 0;
	until.tv_sec = static_cast<time_t>(time / 1000000);
	until.tv_nsec = static_cast<long>(time % 1000000) * 1000;
	// Interrupted by a signal (a suspension, for example): sleep on to the same deadline.
	int error;
	do
		error = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
	while (error == EINTR);
	pthread_testcancel();
	return error == 0 ? B_OK : B_FROM_POSIX_ERROR(error);
}

status_t
snooze(bigtime_t microseconds)
{
	if (microseconds <= 0) {
		BPrivate::check_thread_killed();
		return B_OK;
	}
	return snooze_until(BPrivate::deadline_after(microseconds), B_SYSTEM_TIMEBASE);
}

// #pragma mark - threads


thread_id
spawn_thread(thread_func function, const char* name, int32 priority, void* data)
{
	if (function == nullptr)
		return B_BAD_VALUE;

	auto record = std::make_shared<ThreadRecord>();
	record->spawned = true;
	record->entry = function;
	record->data = data;
	record->priority = clamp_priority(priority);
	copy_name(record->name, name);

	auto* argument = new std::shared_ptr<ThreadRecord>(record);
	pthread_attr_t attributes;
	pthread_attr_init(&attributes);
	pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
	pthread_t handle;
	int error = pthread_create(&handle, &attributes, thread_start, argument);
	pthread_attr_destroy(&attributes);
	if (error != 0) {
		delete argument;
		return error == EAGAIN ? static_cast<status_t>(B_NO_MORE_THREADS)
							   : B_FROM_POSIX_ERROR(error);
	}

	// The id is the new thread's Linux id, which only the thread itself can tell.
	BPrivate::CancelableWait::Locker locker(record->gate);
	while (record->id < 0)
		record->gate.WaitUntil(B_INFINITE_TIMEOUT);
	return record->id;
}

status_t
kill_thread(thread_id id)
{
	if (id <= 0)
		return B_BAD_THREAD_ID;

	if (id == current_thread_id()) {
		ThreadRecord& self = current_record();
		self.killed = true;
		self.revoked->store(true);
		self.exitValue = B_INTERRUPTED;
		pthread_exit(nullptr);
	}

	std::shared_ptr<ThreadRecord> record = find_record(id);
	if (record == nullptr)
		return team_of_thread(id) >= 0 ? static_cast<status_t>(B_NOT_ALLOWED)
									   : static_cast<status_t>(B_BAD_THREAD_ID);
	if (!record->spawned)
		return B_NOT_ALLOWED;

	// The gate's lock keeps the thread from ending (and its pthread handle from going
	// stale) while it is cancelled.
	BPrivate::CancelableWait::Locker locker(record->gate);
	if (record->phase == kEnded)
		return B_BAD_THREAD_ID;
	record->revoked->store(true);
	if (record->killed.exchange(true))
		return B_OK;
	pthread_cancel(record->handle);
	// A suspended thread goes on to its next kill point.
	if (clear_suspended(id))
		send_signal(getpid(), id, resume_signal());
	return B_OK;
}

status_t
resume_thread(thread_id id)
{
	std::shared_ptr<ThreadRecord> record = find_record(id);
	if (record != nullptr) {
		BPrivate::CancelableWait::Locker locker(record->gate);
		if (record->phase == kEnded)
			return B_BAD_THREAD_ID;
		if (!record->resumed) {
			record->resumed = true;
			record->gate.NotifyAll();
			return B_OK;
		}
	}

	if (is_own_thread(id)) {
		if (!clear_suspended(id))
			return B_BAD_THREAD_STATE;
		return send_signal(getpid(), id, resume_signal());
	}

	team_id team = team_of_thread(id);
	if (team < 0)
		return B_BAD_THREAD_ID;
	return send_signal(team, id, SIGCONT);
}

status_t
suspend_thread(thread_id id)
{
	std::shared_ptr<ThreadRecord> record = find_record(id);
	if (record != nullptr) {
		BPrivate::CancelableWait::Locker locker(record->gate);
		if (record->phase == kEnded)
			return B_BAD_THREAD_ID;
		// Not started yet: it already is suspended.
		if (!record->resumed)
			return B_OK;
	}

	if (is_own_thread(id)) {
		install_suspend_handlers();
		if (!mark_suspended(id))
			return B_NO_MORE_THREADS;
		status_t status = send_signal(getpid(), id, suspend_signal());
		if (status != B_OK)
			clear_suspended(id);
		return status;
	}

	// Linux stops a whole process, never one of its threads alone.
	team_id team = team_of_thread(id);
	if (team < 0)
		return B_BAD_THREAD_ID;
	return send_signal(team, id, SIGSTOP);
}

status_t
rename_thread(thread_id id, const char* newName)
{
	if (newName == nullptr)
		return B_BAD_VALUE;
	if (id == current_thread_id())
		current_record();

	std::shared_ptr<ThreadRecord> record = find_record(id);
	if (record == nullptr)
		return team_of_thread(id) >= 0 ? static_cast<status_t>(B_NOT_ALLOWED)
									   : static_cast<status_t>(B_BAD_THREAD_ID);

	char shortName[16];
	{
		std::lock_guard<std::mutex> locker(thread_table().lock);
		copy_name(record->name, newName);
		short_name(shortName, record->name);
	}
	BPrivate::CancelableWait::Locker locker(record->gate);
	if (record->phase != kEnded)
		pthread_setname_np(record->handle, shortName);
	return B_OK;
}

status_t
set_thread_priority(thread_id id, int32 newPriority)
{
	newPriority = clamp_priority(newPriority);
	if (id == current_thread_id())
		current_record();

	std::shared_ptr<ThreadRecord> record = find_record(id);
	if (record == nullptr) {
		thread_info info;
		status_t status = get_thread_info(id, &info);
		if (status != B_OK)
			return status;
		if (setpriority(PRIO_PROCESS, static_cast<id_t>(id), nice_for_priority(newPriority)) != 0) {
			return B_FROM_POSIX_ERROR(errno);
		}
		return info.priority;
	}

	int32 oldPriority = record->priority.exchange(newPriority);
	apply_priority(id, newPriority);
	return oldPriority;
}

void
exit_thread(status_t status)
{
	ThreadRecord& self = current_record();
	self.exitValue = status;
	pthread_exit(nullptr);
}

status_t
wait_for_thread(thread_id id, status_t* returnValue)
{
	if (id == current_thread_id())
		return B_DEADLOCK;

	std::shared_ptr<ThreadRecord> record;
	{
		ThreadTable& table = thread_table();
		std::lock_guard<std::mutex> locker(table.lock);
		auto found = table.threads.find(id);
		if (found != table.threads.end()) {
			record = found->second;
		} else {
			for (auto it = table.endings.rbegin(); it != table.endings.rend(); ++it) {
				if (it->first == id) {
					if (returnValue != nullptr)
						*returnValue = it->second;
					return B_OK;
				}
			}
			return B_BAD_THREAD_ID;
		}
	}

	BPrivate::CancelableWait::Locker locker(record->gate);
	// BeOS behaviour: waiting for a thread that was never resumed starts it.
	if (!record->resumed) {
		record->resumed = true;
		record->gate.NotifyAll();
	}
	while (record->phase != kEnded)
		record->gate.WaitUntil(B_INFINITE_TIMEOUT);
	if (returnValue != nullptr)
		*returnValue = record->exitValue;
	return B_OK;
}

thread_id
find_thread(const char* name)
{
	if (name == nullptr)
		return current_thread_id();

	{
		ThreadTable& table = thread_table();
		std::lock_guard<std::mutex> locker(table.lock);
		for (const auto& entry : table.threads) {
			if (strcmp(entry.second->name, name) == 0)
				return entry.first;
		}
	}

	// Threads the kit has not met yet, by their Linux name.
	int32 cookie = 0;
	thread_info info;
	while (get_next_thread_info(B_CURRENT_TEAM, &cookie, &info) == B_OK) {
		if (strcmp(info.name, name) == 0)
			return info.thread;
	}
	return B_NAME_NOT_FOUND;
}

status_t
get_thread_info(thread_id id, thread_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (id <= 0)
		return B_BAD_THREAD_ID;

	memset(info, 0, sizeof(*info));
	info->thread = id;
	info->sem = -1;

	std::shared_ptr<ThreadRecord> record = find_record(id);
	const team_id team = record != nullptr ? getpid() : team_of_thread(id);
	if (team < 0)
		return B_BAD_THREAD_ID;
	info->team = team;

	const bool haveProc = read_proc_thread(team, id, info, record == nullptr);
	if (record == nullptr) {
		if (!haveProc)
			return B_BAD_THREAD_ID;
		if (team == getpid() && is_suspended(id))
			info->state = B_THREAD_SUSPENDED;
		return B_OK;
	}

	{
		std::lock_guard<std::mutex> locker(thread_table().lock);
		memcpy(info->name, record->name, sizeof(info->name));
	}
	info->priority = record->priority;
	info->stack_base = record->stackBase;
	info->stack_end = record->stackEnd;

	bool started;
	{
		BPrivate::CancelableWait::Locker locker(record->gate);
		started = record->resumed;
	}
	const int32 blockState = record->blockState;
	if (!started || is_suspended(id))
		info->state = B_THREAD_SUSPENDED;
	else if (blockState != 0)
		info->state = static_cast<thread_state>(blockState);
	else if (id == current_thread_id())
		info->state = B_THREAD_RUNNING;
	else if (!haveProc)
		info->state = B_THREAD_RUNNING;
	return B_OK;
}

#include <OS.h>

#include <Autolock.h>
#include <CancelableWait.h>
#include <Locker.h>
#include <ThreadPrivate.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Runs a std::function on a spawned thread; the function's result is the exit value.
struct ThreadBody {
	std::function<status_t()> function;

	static int32 Run(void* data) { return static_cast<ThreadBody*>(data)->function(); }
};

// Counts how many bodies unwound past it, which is what a killed thread's guards do.
struct UnwindCounter {
	std::atomic<int>& count;

	~UnwindCounter() { count++; }
};

// Starts a program as the leader of a process group of its own.
pid_t
spawn_in_own_group(const std::vector<std::string>& arguments)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
	posix_spawnattr_setpgroup(&attributes, 0);
	pid_t child = -1;
	const int error = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
	posix_spawnattr_destroy(&attributes);
	return error == 0 ? child : -1;
}

// True when the process has ended (gone, or a zombie nobody has reaped yet).
bool
process_has_ended(pid_t process)
{
	std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
	std::string text;
	if (!std::getline(stat, text))
		return true;
	const size_t close = text.rfind(')');
	return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

bool
wait_for_state(thread_id thread, thread_state state)
{
	const bigtime_t deadline = system_time() + 2000000;
	while (system_time() < deadline) {
		thread_info info;
		if (get_thread_info(thread, &info) == B_OK && info.state == state)
			return true;
		snooze(1000);
	}
	return false;
}

} // namespace

TEST(Thread, SpawnedThreadWaitsForResumeAndReportsItsExitValue)
{
	std::atomic<bool> ran { false };
	ThreadBody body { [&] {
		ran = true;
		return static_cast<status_t>(42);
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "resume me", B_NORMAL_PRIORITY, &body);
	ASSERT_GT(thread, 0);

	snooze(20000);
	EXPECT_FALSE(ran);
	thread_info info;
	ASSERT_EQ(B_OK, get_thread_info(thread, &info));
	EXPECT_EQ(B_THREAD_SUSPENDED, info.state);

	ASSERT_EQ(B_OK, resume_thread(thread));
	status_t exitValue = 0;
	ASSERT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_TRUE(ran);
	EXPECT_EQ(42, exitValue);
}

TEST(Thread, WaitForThreadGivesTheExitValueHoweverTheThreadEnds)
{
	const struct {
		const char* name;
		bool resume;
		std::function<status_t()> function;
		status_t expected;
	} rows[] = {
		{ "returns", true, [] { return static_cast<status_t>(7); }, 7 },
		{ "exit_thread", true,
			[]() -> status_t {
				exit_thread(-3);
				return 0;
			},
			-3 },
		{ "never resumed", false, [] { return static_cast<status_t>(5); }, 5 },
		{ "kills itself", true,
			[]() -> status_t {
				kill_thread(find_thread(nullptr));
				return 0;
			},
			B_INTERRUPTED },
	};

	for (const auto& row : rows) {
		ThreadBody body { row.function };
		thread_id thread = spawn_thread(ThreadBody::Run, row.name, B_NORMAL_PRIORITY, &body);
		ASSERT_GT(thread, 0) << row.name;
		if (row.resume) {
			ASSERT_EQ(B_OK, resume_thread(thread)) << row.name;
		}
		status_t exitValue = 0;
		EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue)) << row.name;
		EXPECT_EQ(row.expected, exitValue) << row.name;
	}
}

TEST(Thread, WaitingForAThreadThatHasAlreadyEndedStillGivesItsExitValue)
{
	ThreadBody body { [] { return static_cast<status_t>(9); } };
	thread_id thread = spawn_thread(ThreadBody::Run, "quick", B_NORMAL_PRIORITY, &body);
	ASSERT_EQ(B_OK, resume_thread(thread));
	thread_info info;
	const bigtime_t deadline = system_time() + 2000000;
	while (get_thread_info(thread, &info) == B_OK && system_time() < deadline)
		snooze(1000);

	status_t exitValue = 0;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_EQ(9, exitValue);
	EXPECT_EQ(B_BAD_THREAD_ID, wait_for_thread(0x7ffffff0, &exitValue));
	EXPECT_EQ(B_DEADLOCK, wait_for_thread(find_thread(nullptr), &exitValue));
}

TEST(Thread, ThreadInfoReportsNameTeamAndTheBeOSStates)
{
	BPrivate::CancelableWait condition;
	bool done = false;
	ThreadBody sleeper { [] { return snooze(10000000); } };
	ThreadBody waiter { [&] {
		BPrivate::CancelableWait::Locker locker(condition);
		return condition.WaitFor([&] { return done; }, B_INFINITE_TIMEOUT);
	} };
	thread_id asleep = spawn_thread(ThreadBody::Run, "a sleeping thread", B_LOW_PRIORITY, &sleeper);
	thread_id waiting = spawn_thread(ThreadBody::Run, "waiting", B_NORMAL_PRIORITY, &waiter);
	ASSERT_EQ(B_OK, resume_thread(asleep));
	ASSERT_EQ(B_OK, resume_thread(waiting));

	EXPECT_TRUE(wait_for_state(asleep, B_THREAD_ASLEEP));
	EXPECT_TRUE(wait_for_state(waiting, B_THREAD_WAITING));

	thread_info info;
	ASSERT_EQ(B_OK, get_thread_info(asleep, &info));
	EXPECT_EQ(asleep, info.thread);
	EXPECT_EQ(getpid(), info.team);
	EXPECT_STREQ("a sleeping thread", info.name);
	EXPECT_EQ(B_LOW_PRIORITY, info.priority);
	EXPECT_NE(nullptr, info.stack_base);

	ASSERT_EQ(B_OK, get_thread_info(find_thread(nullptr), &info));
	EXPECT_EQ(B_THREAD_RUNNING, info.state);

	ASSERT_EQ(B_OK, suspend_thread(asleep));
	EXPECT_TRUE(wait_for_state(asleep, B_THREAD_SUSPENDED));
	ASSERT_EQ(B_OK, resume_thread(asleep));
	EXPECT_TRUE(wait_for_state(asleep, B_THREAD_ASLEEP));
	EXPECT_EQ(B_BAD_THREAD_STATE, resume_thread(asleep));

	{
		BPrivate::CancelableWait::Locker locker(condition);
		done = true;
		condition.NotifyAll();
	}
	status_t exitValue;
	EXPECT_EQ(B_OK, wait_for_thread(waiting, &exitValue));
	EXPECT_EQ(B_OK, exitValue);
	EXPECT_EQ(B_OK, kill_thread(asleep));
	EXPECT_EQ(B_OK, wait_for_thread(asleep, &exitValue));
	EXPECT_EQ(B_BAD_THREAD_ID, get_thread_info(asleep, &info));
}

TEST(Thread, FindThreadFindsTheCallerAndThreadsByName)
{
	EXPECT_EQ(static_cast<thread_id>(syscall(SYS_gettid)), find_thread(nullptr));

	ThreadBody body { [] { return snooze(10000000); } };
	thread_id thread = spawn_thread(ThreadBody::Run, "a rather long thread name", 10, &body);
	EXPECT_EQ(thread, find_thread("a rather long thread name"));
	EXPECT_EQ(B_NAME_NOT_FOUND, find_thread("no thread has this name"));

	EXPECT_EQ(B_OK, rename_thread(thread, "renamed"));
	EXPECT_EQ(thread, find_thread("renamed"));
	kill_thread(thread);
	status_t exitValue;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_EQ(B_INTERRUPTED, exitValue);
}

// A killed thread must stop promptly wherever it waits in the kits or checks, unwind its guards,
// and report B_INTERRUPTED.
TEST(Thread, KillStopsAThreadWhereverItBlocks)
{
	BPrivate::CancelableWait neverNotified;
	BLocker heldLock;

	const struct {
		const char* name;
		std::function<void()> block;
	} rows[] = {
		{ "snooze", [] { snooze(60000000); } },
		{ "snooze_until", [] { snooze_until(system_time() + 60000000, B_SYSTEM_TIMEBASE); } },
		{ "condition",
			[&] {
				BPrivate::CancelableWait::Locker locker(neverNotified);
				neverNotified.WaitFor([] { return false; }, B_INFINITE_TIMEOUT);
			} },
		{ "timed condition",
			[&] {
				BPrivate::CancelableWait::Locker locker(neverNotified);
				neverNotified.WaitFor([] { return false; }, 60000000);
			} },
		{ "lock", [&] { heldLock.Lock(); } },
		{ "lock with timeout", [&] { heldLock.LockWithTimeout(60000000); } },
		{ "child process",
			[&] {
				pid_t child = spawn_in_own_group({ "/bin/sleep", "60" });
				ASSERT_GT(child, 0);
				BPrivate::wait_for_child(child, nullptr);
			} },
		{ "check point",
			[&] {
				while (true)
					BPrivate::check_thread_killed();
			} },
		{ "wait_for_thread",
			[] {
				ThreadBody forever { [] { return snooze(60000000); } };
				thread_id inner = spawn_thread(ThreadBody::Run, "inner", 10, &forever);
				struct KillInner {
					thread_id thread;
					~KillInner()
					{
						BPrivate::CancelDisabler disabler;
						kill_thread(thread);
						wait_for_thread(thread, nullptr);
					}
				} killer { inner };
				wait_for_thread(inner, nullptr);
			} },
	};

	heldLock.Lock();
	for (const auto& row : rows) {
		std::atomic<int> unwound { 0 };
		std::atomic<bool> returned { false };
		ThreadBody body { [&]() -> status_t {
			UnwindCounter counter { unwound };
			row.block();
			returned = true;
			return B_OK;
		} };
		thread_id thread = spawn_thread(ThreadBody::Run, row.name, B_NORMAL_PRIORITY, &body);
		ASSERT_EQ(B_OK, resume_thread(thread)) << row.name;
		snooze(20000);

		const bigtime_t start = system_time();
		EXPECT_EQ(B_OK, kill_thread(thread)) << row.name;
		status_t exitValue = B_OK;
		EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue)) << row.name;
		EXPECT_LT(system_time() - start, 1000000) << row.name;
		EXPECT_EQ(B_INTERRUPTED, exitValue) << row.name;
		EXPECT_EQ(1, unwound.load()) << row.name;
		EXPECT_FALSE(returned) << row.name;
	}
	heldLock.Unlock();
}

TEST(Thread, KilledThreadReleasesLocksHeldThroughGuards)
{
	BLocker lock;
	std::atomic<bool> locked { false };
	ThreadBody body { [&] {
		BAutolock autolock(lock);
		locked = true;
		return snooze(60000000);
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "holder", B_NORMAL_PRIORITY, &body);
	resume_thread(thread);
	while (!locked)
		snooze(1000);
	EXPECT_EQ(thread, lock.LockingThread());
	EXPECT_EQ(B_WOULD_BLOCK, lock.LockWithTimeout(0));

	kill_thread(thread);
	wait_for_thread(thread, nullptr);
	EXPECT_EQ(B_ERROR, lock.LockingThread());
	EXPECT_EQ(B_OK, lock.LockWithTimeout(0));
	lock.Unlock();
}

TEST(Thread, KillingAThreadBeforeItStartsOrWhileSuspendedEndsIt)
{
	std::atomic<bool> ran { false };
	ThreadBody never { [&] {
		ran = true;
		return B_OK;
	} };
	thread_id unstarted = spawn_thread(ThreadBody::Run, "unstarted", 10, &never);
	EXPECT_EQ(B_OK, kill_thread(unstarted));
	status_t exitValue = B_OK;
	EXPECT_EQ(B_OK, wait_for_thread(unstarted, &exitValue));
	EXPECT_EQ(B_INTERRUPTED, exitValue);
	EXPECT_FALSE(ran);

	std::atomic<int> rounds { 0 };
	ThreadBody busy { [&] {
		while (true) {
			rounds++;
			snooze(500);
		}
		return B_OK;
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "busy", 10, &busy);
	resume_thread(thread);
	while (rounds < 3)
		snooze(1000);
	ASSERT_EQ(B_OK, suspend_thread(thread));
	ASSERT_TRUE(wait_for_state(thread, B_THREAD_SUSPENDED));
	snooze(5000);
	const int frozen = rounds;
	snooze(20000);
	EXPECT_EQ(frozen, rounds.load());

	const bigtime_t start = system_time();
	EXPECT_EQ(B_OK, kill_thread(thread));
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_LT(system_time() - start, 1000000);
	EXPECT_EQ(B_INTERRUPTED, exitValue);
}

TEST(Thread, ThreadsThatAreGoneOrForeignCannotBeKilled)
{
	EXPECT_EQ(B_BAD_THREAD_ID, kill_thread(-1));
	EXPECT_EQ(B_BAD_THREAD_ID, kill_thread(0x7ffffff0));
	// The main thread was not made by spawn_thread().
	ThreadBody body { [] { return kill_thread(getpid()); } };
	thread_id thread = spawn_thread(ThreadBody::Run, "killer", 10, &body);
	status_t exitValue = B_OK;
	wait_for_thread(thread, &exitValue);
	EXPECT_EQ(B_NOT_ALLOWED, exitValue);
	EXPECT_EQ(B_BAD_THREAD_ID, kill_thread(thread));
	EXPECT_EQ(B_BAD_THREAD_ID, resume_thread(thread));
}

TEST(Thread, NothingIsDeliveredForAThreadAfterItHasBeenKilled)
{
	// The check that senders make under their queue lock.
	std::atomic<bool> killedSeen { false };
	std::atomic<bool> go { false };
	std::atomic<bool> started { false };
	ThreadBody body { [&] {
		BPrivate::CancelDisabler disabler;
		started = true;
		while (!go)
			snooze(1000);
		killedSeen = BPrivate::thread_is_killed();
		return B_OK;
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "disabled", 10, &body);
	resume_thread(thread);
	EXPECT_FALSE(BPrivate::thread_is_killed());
	while (!started)
		snooze(1000);
	kill_thread(thread);
	go = true;
	status_t exitValue = B_OK;
	wait_for_thread(thread, &exitValue);
	EXPECT_TRUE(killedSeen);
	// Cancellation was disabled throughout, so the body ran to its end.
	EXPECT_EQ(B_OK, exitValue);
}

// Outside kill points a kill waits: a thread blocked in a system call (or closing a file in a
// destructor) is not interrupted there, and stops at the next kill point instead.
TEST(Thread, KillTakesEffectOnlyAtTheNextKillPoint)
{
	int pipeEnds[2];
	ASSERT_EQ(0, pipe(pipeEnds));
	std::atomic<bool> reading { false };
	std::atomic<bool> readReturned { false };
	std::atomic<bool> passedCheckPoint { false };
	ThreadBody body { [&]() -> status_t {
		reading = true;
		char byte;
		(void)!read(pipeEnds[0], &byte, 1);
		readReturned = true;
		BPrivate::check_thread_killed();
		passedCheckPoint = true;
		return B_OK;
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "reader", B_NORMAL_PRIORITY, &body);
	ASSERT_EQ(B_OK, resume_thread(thread));
	while (!reading)
		snooze(1000);
	ASSERT_TRUE(wait_for_state(thread, B_THREAD_WAITING));

	EXPECT_EQ(B_OK, kill_thread(thread));
	snooze(50000);
	thread_info info;
	EXPECT_EQ(B_OK, get_thread_info(thread, &info)) << "the read is not a kill point";
	EXPECT_FALSE(readReturned);

	ASSERT_EQ(1, write(pipeEnds[1], "x", 1));
	status_t exitValue = B_OK;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_TRUE(readReturned);
	EXPECT_FALSE(passedCheckPoint);
	EXPECT_EQ(B_INTERRUPTED, exitValue);
	close(pipeEnds[0]);
	close(pipeEnds[1]);
}

// A destructor that waits (a lock, a sleep) under a CancelDisabler runs to its end even
// when the thread unwinds through it or is killed while it runs; the process survives.
TEST(Thread, KillPointsInsideACancelDisablerDoNotAct)
{
	struct WaitingGuard {
		std::atomic<bool>& finished;

		~WaitingGuard()
		{
			BPrivate::CancelDisabler disabler;
			snooze(30000);
			BPrivate::check_thread_killed();
			finished = true;
		}
	};

	std::atomic<bool> finished { false };
	std::atomic<bool> inside { false };
	ThreadBody body { [&]() -> status_t {
		{
			WaitingGuard guard { finished };
			inside = true;
			while (true)
				BPrivate::check_thread_killed();
		}
		return B_OK;
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "guarded", B_NORMAL_PRIORITY, &body);
	ASSERT_EQ(B_OK, resume_thread(thread));
	while (!inside)
		snooze(1000);
	EXPECT_EQ(B_OK, kill_thread(thread));
	status_t exitValue = B_OK;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_EQ(B_INTERRUPTED, exitValue);
	EXPECT_TRUE(finished);
}

// A command a killed worker waited for does not outlive it, and neither do the programs the
// command started in its group (a shell's children are handed to init when the shell ends).
TEST(Thread, KillingAThreadThatWaitsForACommandEndsTheCommandsGroup)
{
	int pipeEnds[2];
	ASSERT_EQ(0, pipe(pipeEnds));
	const std::string script = "sleep 60 & echo $! >&" + std::to_string(pipeEnds[1]) + "; wait";
	std::atomic<pid_t> shell { -1 };
	ThreadBody body { [&]() -> status_t {
		const pid_t child = spawn_in_own_group({ "/bin/sh", "-c", script });
		shell = child;
		int status = 0;
		return BPrivate::wait_for_child(child, &status);
	} };
	thread_id thread = spawn_thread(ThreadBody::Run, "runs a script", B_NORMAL_PRIORITY, &body);
	ASSERT_EQ(B_OK, resume_thread(thread));

	char text[32] = {};
	ssize_t got = read(pipeEnds[0], text, sizeof(text) - 1);
	ASSERT_GT(got, 0);
	const pid_t grandchild = (pid_t)atoi(text);
	ASSERT_GT(grandchild, 0);
	ASSERT_FALSE(process_has_ended(grandchild));

	const bigtime_t start = system_time();
	EXPECT_EQ(B_OK, kill_thread(thread));
	status_t exitValue = B_OK;
	EXPECT_EQ(B_OK, wait_for_thread(thread, &exitValue));
	EXPECT_LT(system_time() - start, 1000000);
	EXPECT_EQ(B_INTERRUPTED, exitValue);
	EXPECT_TRUE(process_has_ended(shell));
	const bigtime_t deadline = system_time() + 2000000;
	while (!process_has_ended(grandchild) && system_time() < deadline)
		snooze(5000);
	EXPECT_TRUE(process_has_ended(grandchild));
	close(pipeEnds[0]);
	close(pipeEnds[1]);
}

TEST(Thread, WaitForChildGivesTheCommandsWaitStatus)
{
	const struct {
		const char* script;
		int exitStatus;
	} rows[] = { { "exit 0", 0 }, { "exit 3", 3 }, { "sleep 0.05; exit 7", 7 } };

	for (const auto& row : rows) {
		pid_t child = spawn_in_own_group({ "/bin/sh", "-c", row.script });
		ASSERT_GT(child, 0) << row.script;
		int status = -1;
		EXPECT_EQ(B_OK, BPrivate::wait_for_child(child, &status)) << row.script;
		EXPECT_TRUE(WIFEXITED(status)) << row.script;
		EXPECT_EQ(row.exitStatus, WEXITSTATUS(status)) << row.script;
	}
	int status;
	EXPECT_EQ(B_BAD_VALUE, BPrivate::wait_for_child(getpid(), &status)) << "not a child";
	EXPECT_EQ(B_BAD_VALUE, BPrivate::wait_for_child(-1, &status));
}

TEST(Thread, SetThreadPriorityReturnsThePreviousPriority)
{
	ThreadBody body { [] { return snooze(10000000); } };
	thread_id thread = spawn_thread(ThreadBody::Run, "priority", B_NORMAL_PRIORITY, &body);
	EXPECT_EQ(B_NORMAL_PRIORITY, set_thread_priority(thread, B_LOW_PRIORITY));
	EXPECT_EQ(B_LOW_PRIORITY, set_thread_priority(thread, B_DISPLAY_PRIORITY));
	thread_info info;
	get_thread_info(thread, &info);
	EXPECT_EQ(B_DISPLAY_PRIORITY, info.priority);
	EXPECT_EQ(B_BAD_THREAD_ID, set_thread_priority(0x7ffffff0, B_LOW_PRIORITY));
	kill_thread(thread);
	wait_for_thread(thread, nullptr);
}

TEST(Thread, GetNextThreadInfoEnumeratesTheTeamsThreads)
{
	ThreadBody body { [] { return snooze(10000000); } };
	thread_id thread = spawn_thread(ThreadBody::Run, "enumerated", B_NORMAL_PRIORITY, &body);

	bool foundMain = false;
	bool foundSpawned = false;
	int32 cookie = 0;
	thread_info info;
	while (get_next_thread_info(B_CURRENT_TEAM, &cookie, &info) == B_OK) {
		EXPECT_EQ(getpid(), info.team);
		if (info.thread == getpid())
			foundMain = true;
		if (info.thread == thread) {
			foundSpawned = true;
			EXPECT_STREQ("enumerated", info.name);
		}
	}
	EXPECT_TRUE(foundMain);
	EXPECT_TRUE(foundSpawned);
	cookie = 0;
	EXPECT_EQ(B_BAD_TEAM_ID, get_next_thread_info(0x7ffffff0, &cookie, &info));

	kill_thread(thread);
	wait_for_thread(thread, nullptr);
}

TEST(Thread, SnoozeSleepsAtLeastTheRequestedTimeOnAMonotonicClock)
{
	const bigtime_t start = system_time();
	EXPECT_EQ(B_OK, snooze(20000));
	const bigtime_t slept = system_time() - start;
	EXPECT_GE(slept, 20000);
	EXPECT_EQ(B_OK, snooze_until(system_time() + 5000, B_SYSTEM_TIMEBASE));
	EXPECT_EQ(B_BAD_VALUE, snooze_until(0, 1));
	EXPECT_EQ(B_OK, snooze(0));
	EXPECT_GT(real_time_clock(), 1600000000u);
}

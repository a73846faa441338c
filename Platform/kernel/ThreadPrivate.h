// What the other kits and the foundation library need to know about the kernel kit's threads:
// where kill_thread() may take effect, how a long loop offers a place for it, how to keep a
// stretch of code from being interrupted, and how to tell that a message's sender has been
// killed since it sent the message.
//
// The rule (see also OS.h): a thread made by spawn_thread() can be killed only at a kill
// point. The kill points are the kits' own waits (BPrivate::CancelableWait and everything
// built on it, BLocker, a full port, a synchronous reply, snooze(), wait_for_thread(),
// wait_for_child()) and the explicit check point check_thread_killed(). Everywhere else a
// kill stays pending until the thread reaches the next kill point, so it never lands inside
// a destructor, a C library that holds a lock (malloc, stdio, libzip) or Qt.
#ifndef _THREAD_PRIVATE_H
#define _THREAD_PRIVATE_H

#include <OS.h>

#include <atomic>
#include <memory>
#include <sys/types.h>

namespace BPrivate {

// True once kill_thread() has been called on the calling thread. Anything that delivers
// data on the thread's behalf (a messenger enqueueing a message) checks this under its own
// lock and delivers nothing, so that nothing sent after the kill arrives, even from a
// thread that has not reached a kill point yet or is unwinding. A C library callback (a
// libzip progress hook) uses it to ask the library to stop, and the caller then reaches
// check_thread_killed() once the library has returned: a killed thread never unwinds
// through C code.
bool thread_is_killed();

// The check point of long loops: when the calling thread has been killed (and no
// CancelDisabler is in force), it unwinds from here; otherwise it returns at once. Loops
// that a worker runs over entries or chunks call it once per entry or chunk, at a place
// where everything the loop holds is in a scoped owner:
//
//	while (directory.GetNextEntry(&entry) == B_OK) {
//		BPrivate::check_thread_killed();
//		...
//	}
void check_thread_killed();

// Keeps kill_thread() from taking effect in the calling thread for the guard's life: kill
// points inside it do not act, and the kill acts at the first kill point after it. A
// destructor that reaches a kill point (it waits for a lock, a thread or a looper) holds
// one, because unwinding out of a destructor ends the process.
class CancelDisabler {
public:
	CancelDisabler();
	~CancelDisabler();

	CancelDisabler(const CancelDisabler&) = delete;
	CancelDisabler& operator=(const CancelDisabler&) = delete;
};

// Marks a kill point: for the scope, a pending or arriving kill_thread() makes the
// calling thread unwind from the blocking call inside (a condition wait, a sleep, a poll).
// Keep the scope to that one call. Does nothing in a thread that cannot be killed or under a
// CancelDisabler.
class KillPoint {
public:
	KillPoint();
	~KillPoint();

	KillPoint(const KillPoint&) = delete;
	KillPoint& operator=(const KillPoint&) = delete;

private:
	bool fEnabled;
};

// Marks the calling thread as asleep, waiting or receiving for get_thread_info() while the
// scope lasts.
class ThreadStateScope {
public:
	explicit ThreadStateScope(thread_state state);
	~ThreadStateScope();

	ThreadStateScope(const ThreadStateScope&) = delete;
	ThreadStateScope& operator=(const ThreadStateScope&) = delete;

private:
	int32 fOldState;
};

// Tells, later, whether the messages of the thread that made it have been revoked: by
// kill_thread(), or by Revoke() on the thread's mark (the owner of a job stops it after
// the job finished sending). A looper's port keeps one with every message, so that such
// messages still waiting in a queue are dropped rather than dispatched. Threads that
// cannot be killed give an empty mark, which is never revoked.
class SenderMark {
public:
	SenderMark() = default;

	explicit SenderMark(std::shared_ptr<std::atomic<bool>> revoked) :
		fRevoked(std::move(revoked))
	{
	}

	bool IsRevoked() const { return fRevoked != nullptr && fRevoked->load(); }

	// Drops the thread's messages that still wait in queues, whether or not it still runs.
	void Revoke()
	{
		if (fRevoked != nullptr)
			fRevoked->store(true);
	}

private:
	std::shared_ptr<std::atomic<bool>> fRevoked;
};

// The mark of the calling thread, and of a thread made by spawn_thread() that still exists
// (an empty mark otherwise). An owner takes its job thread's mark when it starts the job.
SenderMark current_sender_mark();
SenderMark sender_mark_of(thread_id thread);

// True while the thread exists in this process (it may be a thread that the kit did not
// make). A lock whose owner no longer exists can never be released by it.
bool thread_exists(thread_id thread);

// Waits until the child process ends and stores its wait status (as waitpid() gives it).
// A kill point: when the calling thread is killed meanwhile, the child's process group
// (the child alone when it leads no group of its own) is asked to end, killed after a short
// grace time, and the child is reaped before the thread unwinds, so that nothing the child
// started outlives the kill. B_OK, or an error when the child is not ours.
status_t wait_for_child(pid_t child, int* status);

} // namespace BPrivate

#endif // _THREAD_PRIVATE_H

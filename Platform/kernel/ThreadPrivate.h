// What the other kits need to know about the kernel kit's threads: whether the calling
// thread has been killed, and how to keep a stretch of code from being interrupted by
// kill_thread().
#ifndef _THREAD_PRIVATE_H
#define _THREAD_PRIVATE_H

#include <OS.h>

namespace BPrivate {

// True once kill_thread() has been called on the calling thread. Anything that delivers
// data on the thread's behalf (a messenger enqueueing a message) checks this under its own
// lock and delivers nothing, so that nothing sent after the kill arrives, even from a
// thread that has not reached a cancellation point yet or is unwinding.
bool thread_is_killed();

// Acts on a pending kill_thread() now: when the calling thread has been killed and
// cancellation is enabled, it unwinds from here. Otherwise it returns.
void check_thread_killed();

// Keeps kill_thread() from interrupting the calling thread for the guard's life (the kill
// takes effect at the next cancellation point after it). Destructors that can block (close a
// file, wait for a thread) need it: unwinding out of a destructor ends the process.
class CancelDisabler {
public:
	CancelDisabler();
	~CancelDisabler();

	CancelDisabler(const CancelDisabler&) = delete;
	CancelDisabler& operator=(const CancelDisabler&) = delete;

private:
	int fOldState;
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

} // namespace BPrivate

#endif // _THREAD_PRIVATE_H

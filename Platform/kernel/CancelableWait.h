// A mutex and condition variable whose waits kill_thread() can interrupt. Every "block until
// something happens" in the kits is built on it: a sender waiting for room in a full looper
// queue, a synchronous reply, a worker waiting for an alert's answer from the GUI thread.
//
// std::condition_variable::wait is noexcept in libstdc++, so a thread killed while waiting in
// it ends the whole process; this class waits with pthread_cond_* directly instead. Hold the
// lock through a CancelableWait::Locker: when the waiting thread is killed it unwinds from
// Wait() with the mutex held again, and the Locker's destructor releases it.
//
//	BPrivate::CancelableWait::Locker locker(fWait);
//	status_t status = fWait.WaitFor([&] { return fAnswered; }, B_INFINITE_TIMEOUT);
//
// While a thread waits here, get_thread_info() reports it as B_THREAD_WAITING.
#ifndef _CANCELABLE_WAIT_H
#define _CANCELABLE_WAIT_H

#include <OS.h>

#include <pthread.h>

namespace BPrivate {

class CancelableWait {
public:
	CancelableWait();
	~CancelableWait();

	CancelableWait(const CancelableWait&) = delete;
	CancelableWait& operator=(const CancelableWait&) = delete;

	void Lock();
	void Unlock();

	// With the lock held: waits until notified, a spurious wake-up, or the
	// deadline (system_time() base; B_INFINITE_TIMEOUT waits without limit).
	// B_OK or B_TIMED_OUT. A kill point (ThreadPrivate.h).
	status_t WaitUntil(bigtime_t deadline);

	// Waits with the lock held until ready() holds; ready() is called with the
	// lock held. B_OK; on timeout B_WOULD_BLOCK for a zero timeout and B_TIMED_OUT
	// otherwise.
	template <typename Predicate> status_t WaitFor(Predicate ready, bigtime_t timeout);

	void NotifyOne();
	void NotifyAll();

	class Locker {
	public:
		explicit Locker(CancelableWait& wait) :
			fWait(wait)
		{
			fWait.Lock();
		}

		~Locker() { fWait.Unlock(); }

		Locker(const Locker&) = delete;
		Locker& operator=(const Locker&) = delete;

	private:
		CancelableWait& fWait;
	};

private:
	pthread_mutex_t fMutex;
	pthread_cond_t fCondition;
};

// The building blocks, for classes that keep their own mutex and conditions (a lock, a message
// port): the condition must have been made by init_condition(). Waits until signalled or the
// deadline; B_OK or B_TIMED_OUT. A kill point: a killed thread unwinds from here with
// the mutex held again.
void init_condition(pthread_cond_t* condition);
status_t wait_condition(pthread_cond_t* condition, pthread_mutex_t* mutex, bigtime_t deadline);

// The deadline that lies timeout microseconds from now, B_INFINITE_TIMEOUT when that does not
// fit (or timeout is B_INFINITE_TIMEOUT or negative).
bigtime_t deadline_after(bigtime_t timeout);

template <typename Predicate>
status_t
CancelableWait::WaitFor(Predicate ready, bigtime_t timeout)
{
	const bigtime_t deadline = deadline_after(timeout);
	while (!ready()) {
		if (WaitUntil(deadline) == B_TIMED_OUT && !ready())
			return timeout == 0 ? B_WOULD_BLOCK : B_TIMED_OUT;
	}
	return B_OK;
}

} // namespace BPrivate

#endif // _CANCELABLE_WAIT_H

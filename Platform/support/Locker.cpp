#include <Locker.h>

#include "CancelableWait.h"
#include "ThreadPrivate.h"

BLocker::BLocker() :
	BLocker(nullptr, true)
{
}

BLocker::BLocker(const char* name) :
	BLocker(name, true)
{
}

BLocker::BLocker(bool benaphoreStyle) :
	BLocker(nullptr, benaphoreStyle)
{
}

// The name and style served the BeOS semaphore behind the lock; both kinds behave the same.
BLocker::BLocker(const char*, bool) :
	fOwner(B_ERROR),
	fCount(0),
	fRequests(0),
	fWaiting(0)
{
	pthread_mutex_init(&fMutex, nullptr);
	BPrivate::init_condition(&fCondition);
}

BLocker::~BLocker()
{
	pthread_cond_destroy(&fCondition);
	pthread_mutex_destroy(&fMutex);
}

status_t
BLocker::InitCheck() const
{
	return B_OK;
}

bool
BLocker::Lock()
{
	return _Lock(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BLocker::LockWithTimeout(bigtime_t timeout)
{
	return _Lock(timeout);
}

void
BLocker::Unlock()
{
	const thread_id self = find_thread(nullptr);
	pthread_mutex_lock(&fMutex);
	if (fOwner.load(std::memory_order_relaxed) == self) {
		fRequests.fetch_sub(1, std::memory_order_relaxed);
		if (fCount.fetch_sub(1, std::memory_order_relaxed) == 1) {
			fOwner.store(B_ERROR, std::memory_order_relaxed);
			if (fWaiting > 0)
				pthread_cond_signal(&fCondition);
		}
	}
	pthread_mutex_unlock(&fMutex);
}

thread_id
BLocker::LockingThread() const
{
	return fOwner.load(std::memory_order_relaxed);
}

bool
BLocker::IsLocked() const
{
	return fOwner.load(std::memory_order_relaxed) == find_thread(nullptr);
}

int32
BLocker::CountLocks() const
{
	return fCount.load(std::memory_order_relaxed);
}

int32
BLocker::CountLockRequests() const
{
	return fRequests.load(std::memory_order_relaxed);
}

namespace {

// How often a waiter looks whether the lock's owner still exists.
const bigtime_t kOwnerCheckInterval = 100000;

// Releases the mutex and the waiter count however the wait is left, and withdraws the lock
// request unless the lock was taken: a waiter that times out or is killed leaves the
// counts as they were before it asked.
struct WaitGuard {
	pthread_mutex_t* mutex;
	int32* waiting;
	std::atomic<int32>* requests;
	bool acquired;

	~WaitGuard()
	{
		(*waiting)--;
		if (!acquired)
			requests->fetch_sub(1, std::memory_order_relaxed);
		pthread_mutex_unlock(mutex);
	}
};

} // namespace

status_t
BLocker::_Lock(bigtime_t timeout)
{
	const thread_id self = find_thread(nullptr);
	pthread_mutex_lock(&fMutex);
	const thread_id owner = fOwner.load(std::memory_order_relaxed);
	if (owner == self || owner == B_ERROR) {
		fOwner.store(self, std::memory_order_relaxed);
		fCount.fetch_add(1, std::memory_order_relaxed);
		fRequests.fetch_add(1, std::memory_order_relaxed);
		pthread_mutex_unlock(&fMutex);
		return B_OK;
	}
	if (timeout == 0) {
		pthread_mutex_unlock(&fMutex);
		return B_WOULD_BLOCK;
	}

	fRequests.fetch_add(1, std::memory_order_relaxed);
	fWaiting++;
	WaitGuard guard { &fMutex, &fWaiting, &fRequests, false };
	const bigtime_t deadline = BPrivate::deadline_after(timeout);
	while (true) {
		const thread_id holder = fOwner.load(std::memory_order_relaxed);
		if (holder == B_ERROR)
			break;
		const bigtime_t now = system_time();
		if (deadline != B_INFINITE_TIMEOUT && now >= deadline)
			return B_TIMED_OUT;
		const bigtime_t slice =
			deadline == B_INFINITE_TIMEOUT || deadline - now > kOwnerCheckInterval
			? now + kOwnerCheckInterval
			: deadline;
		if (BPrivate::wait_condition(&fCondition, &fMutex, slice) != B_TIMED_OUT)
			continue;
		// A thread that ended while it held the lock (killed, or gone without unlocking)
		// can never release it: the lock is free, and this waiter takes it over.
		if (fOwner.load(std::memory_order_relaxed) == holder && !BPrivate::thread_exists(holder)) {
			fRequests.fetch_sub(fCount.load(std::memory_order_relaxed), std::memory_order_relaxed);
			fCount.store(0, std::memory_order_relaxed);
			fOwner.store(B_ERROR, std::memory_order_relaxed);
		}
	}
	fOwner.store(self, std::memory_order_relaxed);
	fCount.fetch_add(1, std::memory_order_relaxed);
	guard.acquired = true;
	return B_OK;
}

#include <Locker.h>

#include "CancelableWait.h"

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

// Releases the mutex and the waiter count when a killed thread unwinds out of the wait.
struct WaitGuard {
	pthread_mutex_t* mutex;
	int32* waiting;

	~WaitGuard()
	{
		(*waiting)--;
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
	WaitGuard guard { &fMutex, &fWaiting };
	const bigtime_t deadline = BPrivate::deadline_after(timeout);
	while (fOwner.load(std::memory_order_relaxed) != B_ERROR) {
		if (BPrivate::wait_condition(&fCondition, &fMutex, deadline) == B_TIMED_OUT
			&& fOwner.load(std::memory_order_relaxed) != B_ERROR) {
			fRequests.fetch_sub(1, std::memory_order_relaxed);
			return B_TIMED_OUT;
		}
	}
	fOwner.store(self, std::memory_order_relaxed);
	fCount.fetch_add(1, std::memory_order_relaxed);
	return B_OK;
}

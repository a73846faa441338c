// BLocker: a recursive lock that knows its owner, as on BeOS. Waiting for it is a kill point
// (OS.h), so a thread killed while it waits for a lock ends there and its request leaves the
// counts. A killed thread releases the locks it held through guards that unwind (BAutolock),
// which is why code that can be killed while holding a lock holds it through one. A lock
// whose owner thread has ended without unlocking it can never be released by that owner:
// the next thread that waits for it takes it over (within a tenth of a second) instead of
// waiting for ever, where BeOS would hang.
#ifndef _LOCKER_H
#define _LOCKER_H

#include <OS.h>

#include <atomic>
#include <pthread.h>

class BLocker {
public:
	BLocker();
	BLocker(const char* name);
	BLocker(bool benaphoreStyle);
	BLocker(const char* name, bool benaphoreStyle);
	virtual ~BLocker();

	BLocker(const BLocker&) = delete;
	BLocker& operator=(const BLocker&) = delete;

	status_t InitCheck() const;

	bool Lock();
	// B_OK; B_WOULD_BLOCK with a zero timeout, B_TIMED_OUT otherwise.
	status_t LockWithTimeout(bigtime_t timeout);
	// Unlocking a lock the calling thread does not hold does nothing.
	void Unlock();

	// The owner, or B_ERROR when the lock is free.
	thread_id LockingThread() const;
	// True when the calling thread holds the lock.
	bool IsLocked() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;

private:
	status_t _Lock(bigtime_t timeout);

	pthread_mutex_t fMutex;
	pthread_cond_t fCondition;
	std::atomic<thread_id> fOwner;
	std::atomic<int32> fCount;
	std::atomic<int32> fRequests;
	int32 fWaiting;
};

#endif // _LOCKER_H

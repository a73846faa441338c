// BAutolock: locks a BLocker or a BLooper for the guard's life. It is also how a thread that
// kill_thread() stops gives its locks back: the unwinding runs the guard's destructor.
#ifndef _AUTOLOCK_H
#define _AUTOLOCK_H

#include <Locker.h>
#include <Looper.h>

class BAutolock {
public:
	inline BAutolock(BLooper* looper);
	inline BAutolock(BLocker* locker);
	inline BAutolock(BLocker& locker);
	inline ~BAutolock();

	BAutolock(const BAutolock&) = delete;
	BAutolock& operator=(const BAutolock&) = delete;

	inline bool IsLocked();
	inline void Unlock();

private:
	BLocker* fLocker;
	BLooper* fLooper;
	bool fIsLocked;
};

inline BAutolock::BAutolock(BLooper* looper) :
	fLocker(nullptr),
	fLooper(looper),
	fIsLocked(looper != nullptr && looper->Lock())
{
}

inline BAutolock::BAutolock(BLocker* locker) :
	fLocker(locker),
	fLooper(nullptr),
	fIsLocked(locker != nullptr && locker->Lock())
{
}

inline BAutolock::BAutolock(BLocker& locker) :
	fLocker(&locker),
	fLooper(nullptr),
	fIsLocked(locker.Lock())
{
}

inline BAutolock::~BAutolock()
{
	Unlock();
}

inline bool
BAutolock::IsLocked()
{
	return fIsLocked;
}

inline void
BAutolock::Unlock()
{
	if (!fIsLocked)
		return;
	fIsLocked = false;
	if (fLooper != nullptr)
		fLooper->Unlock();
	else
		fLocker->Unlock();
}

#endif // _AUTOLOCK_H

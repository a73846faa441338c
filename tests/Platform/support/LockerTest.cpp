#include <Locker.h>

#include <Autolock.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

TEST(Locker, LocksRecursivelyAndTellsItsOwner)
{
	BLocker locker("recursive");
	EXPECT_EQ(B_OK, locker.InitCheck());
	EXPECT_FALSE(locker.IsLocked());
	EXPECT_EQ(B_ERROR, locker.LockingThread());

	ASSERT_TRUE(locker.Lock());
	ASSERT_TRUE(locker.Lock());
	EXPECT_TRUE(locker.IsLocked());
	EXPECT_EQ(2, locker.CountLocks());
	EXPECT_EQ(find_thread(NULL), locker.LockingThread());

	locker.Unlock();
	EXPECT_TRUE(locker.IsLocked());
	locker.Unlock();
	EXPECT_FALSE(locker.IsLocked());
	EXPECT_EQ(0, locker.CountLocks());
	// Unlocking a free lock does nothing.
	locker.Unlock();
	EXPECT_EQ(0, locker.CountLocks());
}

TEST(Locker, WaitsForAnotherOwnerUpToTheTimeout)
{
	BLocker locker;
	ASSERT_TRUE(locker.Lock());
	status_t immediate = B_OK;
	status_t timed = B_OK;
	bool ownerSeenAsLocked = true;
	std::thread other([&] {
		immediate = locker.LockWithTimeout(0);
		timed = locker.LockWithTimeout(10000);
		ownerSeenAsLocked = locker.IsLocked();
		// Not the owner: this does nothing.
		locker.Unlock();
	});
	other.join();
	EXPECT_EQ(B_WOULD_BLOCK, immediate);
	EXPECT_EQ(B_TIMED_OUT, timed);
	EXPECT_FALSE(ownerSeenAsLocked);
	EXPECT_TRUE(locker.IsLocked());
	locker.Unlock();

	status_t later = B_ERROR;
	std::thread waiter([&] {
		later = locker.LockWithTimeout(2000000);
		if (later == B_OK)
			locker.Unlock();
	});
	waiter.join();
	EXPECT_EQ(B_OK, later);
}

TEST(Locker, KeepsThreadsOutOfEachOthersWay)
{
	BLocker locker;
	int counter = 0;
	std::vector<std::thread> threads;
	for (int i = 0; i < 4; i++) {
		threads.emplace_back([&] {
			for (int j = 0; j < 2000; j++) {
				BAutolock autolock(locker);
				counter++;
			}
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(8000, counter);
	EXPECT_FALSE(locker.IsLocked());
}

namespace {

struct Body {
	std::function<status_t()> function;

	static int32 Run(void* data) { return static_cast<Body*>(data)->function(); }
};

} // namespace

// A waiter that times out or is killed withdraws its request: the count goes back to what
// the owner alone accounts for.
TEST(Locker, AWaiterThatGivesUpLeavesTheRequestCountAsItWas)
{
	BLocker locker;
	ASSERT_TRUE(locker.Lock());
	ASSERT_EQ(1, locker.CountLockRequests());

	Body timesOut { [&] { return locker.LockWithTimeout(20000); } };
	thread_id thread = spawn_thread(Body::Run, "times out", B_NORMAL_PRIORITY, &timesOut);
	status_t result = B_OK;
	ASSERT_EQ(B_OK, wait_for_thread(thread, &result));
	EXPECT_EQ(B_TIMED_OUT, result);
	EXPECT_EQ(1, locker.CountLockRequests());

	Body waits { [&] { return locker.Lock() ? B_OK : B_ERROR; } };
	thread = spawn_thread(Body::Run, "killed waiter", B_NORMAL_PRIORITY, &waits);
	ASSERT_EQ(B_OK, resume_thread(thread));
	const bigtime_t deadline = system_time() + 2000000;
	while (locker.CountLockRequests() < 2 && system_time() < deadline)
		snooze(1000);
	ASSERT_EQ(2, locker.CountLockRequests());
	EXPECT_EQ(B_OK, kill_thread(thread));
	ASSERT_EQ(B_OK, wait_for_thread(thread, &result));
	EXPECT_EQ(B_INTERRUPTED, result);
	EXPECT_EQ(1, locker.CountLockRequests());
	EXPECT_EQ(find_thread(NULL), locker.LockingThread());
	locker.Unlock();
	EXPECT_EQ(0, locker.CountLockRequests());
}

// A thread that ended holding a lock can never unlock it; the next waiter takes it over
// rather than waiting for ever.
TEST(Locker, ALockWhoseOwnerEndedIsTakenOverByTheNextWaiter)
{
	BLocker locker;
	Body holder { [&] {
		locker.Lock();
		locker.Lock();
		return B_OK;
	} };
	thread_id thread = spawn_thread(Body::Run, "leaves it locked", B_NORMAL_PRIORITY, &holder);
	ASSERT_EQ(B_OK, wait_for_thread(thread, NULL));
	EXPECT_EQ(thread, locker.LockingThread());
	EXPECT_EQ(B_WOULD_BLOCK, locker.LockWithTimeout(0));

	EXPECT_EQ(B_OK, locker.LockWithTimeout(2000000));
	EXPECT_EQ(find_thread(NULL), locker.LockingThread());
	EXPECT_EQ(1, locker.CountLocks());
	EXPECT_EQ(1, locker.CountLockRequests());
	locker.Unlock();
	EXPECT_EQ(B_ERROR, locker.LockingThread());
}

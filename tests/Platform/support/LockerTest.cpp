#include <Locker.h>

#include <Autolock.h>

#include <gtest/gtest.h>

#include <atomic>
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

#include <Looper.h>

#include <Autolock.h>
#include <CancelableWait.h>
#include <Handler.h>
#include <LooperDriver.h>
#include <Message.h>
#include <MessageQueue.h>
#include <Messenger.h>

#include "TestLooper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

class RecordingHandler : public BHandler {
public:
	explicit RecordingHandler(const char* name) :
		BHandler(name)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		whats.push_back(message->what);
		looperLocked.push_back(Looper() != NULL && Looper()->IsLocked());
	}

	std::vector<uint32> whats;
	std::vector<bool> looperLocked;
};

struct SenderBody {
	BMessenger target;
	int32 sender;
	int32 count;

	static int32 Run(void* data)
	{
		SenderBody* body = static_cast<SenderBody*>(data);
		for (int32 i = 0; i < body->count; i++) {
			BMessage message(kRecorded);
			message.AddInt32("sender", body->sender);
			message.AddInt32("sequence", i);
			if (body->target.SendMessage(&message) != B_OK)
				return B_ERROR;
		}
		return B_OK;
	}
};

} // namespace

TEST(Looper, DeliversMessagesFromSeveralThreadsInTheOrderEachSent)
{
	RecordingLooper* looper = new RecordingLooper("ordered", 16);
	const thread_id thread = looper->Run();
	EXPECT_GT(thread, 0);
	EXPECT_EQ(thread, looper->Thread());

	const int32 kSenders = 4;
	const int32 kCount = 300;
	SenderBody bodies[kSenders];
	thread_id senders[kSenders];
	for (int32 i = 0; i < kSenders; i++) {
		bodies[i] = { BMessenger(looper), i, kCount };
		senders[i] = spawn_thread(SenderBody::Run, "sender", B_NORMAL_PRIORITY, &bodies[i]);
		resume_thread(senders[i]);
	}
	for (thread_id sender : senders) {
		status_t result = B_ERROR;
		wait_for_thread(sender, &result);
		EXPECT_EQ(B_OK, result);
	}

	ASSERT_TRUE(looper->WaitForCount(kSenders * kCount));
	std::map<int32, int32> next;
	for (const BMessage& message : looper->Messages()) {
		const int32 sender = message.GetInt32("sender", -1);
		EXPECT_EQ(next[sender], message.GetInt32("sequence", -1)) << "sender " << sender;
		next[sender] = message.GetInt32("sequence", -1) + 1;
	}
	for (thread_id dispatcher : looper->Threads())
		EXPECT_EQ(thread, dispatcher);
	quit_looper(looper);
}

TEST(Looper, QuitFromAnotherThreadHandlesWhatWasQueuedThenDeletesTheLooper)
{
	std::atomic<bool> deleted { false };
	RecordingLooper* looper = new RecordingLooper("quitter", 200, &deleted);
	looper->Run();
	looper->HoldBusy();
	for (int i = 0; i < 10; i++)
		ASSERT_EQ(B_OK, looper->PostMessage(kRecorded));
	BMessenger messenger(looper);

	std::thread releaser([looper] {
		snooze(20000);
		looper->Release();
	});
	ASSERT_TRUE(looper->Lock());
	// Quit() returns once the busy looper has finished and been deleted.
	looper->Quit();
	releaser.join();
	EXPECT_TRUE(deleted);
	EXPECT_FALSE(messenger.IsValid());
}

TEST(Looper, AQuitLooperHasHandledEverythingPostedBeforeTheQuit)
{
	std::atomic<int> handled { 0 };
	std::atomic<bool> deleted { false };
	RecordingLooper* looper = new RecordingLooper("count", 200, &deleted);
	looper->fOnMessage = [&](BMessage*) {
		handled++;
		return true;
	};
	looper->Run();
	for (int i = 0; i < 50; i++)
		ASSERT_EQ(B_OK, looper->PostMessage(kRecorded));
	quit_looper(looper);
	EXPECT_TRUE(deleted);
	EXPECT_EQ(50, handled.load());
}

TEST(Looper, QuitOnANeverRunLooperDeletesItAtOnce)
{
	std::atomic<bool> deleted { false };
	RecordingLooper* looper = new RecordingLooper("idle", 200, &deleted);
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(B_OK, looper->PostMessage(kRecorded));
	looper->Quit();
	EXPECT_TRUE(deleted);
}

TEST(Looper, QuitRequestedDecidesWhetherAQuitRequestEndsTheLooper)
{
	for (bool allow : { false, true }) {
		class Guarded : public RecordingLooper {
		public:
			Guarded(bool allow, std::atomic<bool>* deleted) :
				RecordingLooper("guarded", 200, deleted),
				fAllow(allow)
			{
			}

			bool QuitRequested() override { return fAllow; }

		private:
			bool fAllow;
		};

		std::atomic<bool> deleted { false };
		Guarded* looper = new Guarded(allow, &deleted);
		const thread_id thread = looper->Run();
		BMessenger messenger(looper);
		BMessage reply;
		ASSERT_EQ(B_OK, messenger.SendMessage(B_QUIT_REQUESTED, &reply));
		EXPECT_EQ(static_cast<uint32>(B_REPLY), reply.what);
		EXPECT_EQ(allow, reply.GetBool("result", !allow));
		if (allow) {
			status_t result;
			EXPECT_EQ(B_OK, wait_for_thread(thread, &result));
			EXPECT_TRUE(deleted);
			EXPECT_FALSE(messenger.IsValid());
		} else {
			EXPECT_FALSE(deleted);
			quit_looper(looper);
		}
	}
}

TEST(Looper, MessagesReachTheTargetHandlerOrThePreferredOne)
{
	RecordingLooper* looper = new RecordingLooper("handlers");
	RecordingHandler first("first");
	RecordingHandler second("second");
	RecordingHandler stranger("stranger");
	looper->AddHandler(&first);
	looper->AddHandler(&second);
	EXPECT_EQ(3, looper->CountHandlers());
	EXPECT_EQ(looper, looper->HandlerAt(0));
	EXPECT_EQ(1, looper->IndexOf(&first));
	EXPECT_EQ(looper, first.Looper());
	EXPECT_EQ(looper, first.NextHandler());
	looper->SetPreferredHandler(&second);
	EXPECT_EQ(&second, looper->PreferredHandler());
	looper->SetPreferredHandler(&stranger);
	EXPECT_EQ(NULL, looper->PreferredHandler());
	looper->SetPreferredHandler(&second);
	looper->Run();

	EXPECT_EQ(B_OK, looper->PostMessage('frst', &first));
	EXPECT_EQ(B_OK, looper->PostMessage('pref', NULL));
	EXPECT_EQ(B_MISMATCHED_VALUES, looper->PostMessage('strn', &stranger));
	EXPECT_EQ(B_OK, looper->PostMessage(kRecorded));
	ASSERT_TRUE(looper->WaitForCount(1));

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(std::vector<uint32>({ 'frst' }), first.whats);
	EXPECT_EQ(std::vector<uint32>({ 'pref' }), second.whats);
	EXPECT_EQ(std::vector<bool>({ true }), first.looperLocked);

	// A message for a handler that has left the looper is dropped.
	BMessenger toFirst(&first);
	EXPECT_TRUE(looper->RemoveHandler(&first));
	EXPECT_FALSE(looper->RemoveHandler(&first));
	EXPECT_FALSE(looper->RemoveHandler(looper));
	EXPECT_EQ(NULL, first.Looper());
	looper->Unlock();
	EXPECT_EQ(B_OK, toFirst.SendMessage('gone'));
	EXPECT_EQ(B_OK, looper->PostMessage(kRecorded));
	ASSERT_TRUE(looper->WaitForCount(2));
	EXPECT_EQ(1u, first.whats.size());

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&second);
	looper->Quit();
}

TEST(Looper, CurrentMessageIsTheOneBeingDispatchedAndCanBeDetached)
{
	RecordingLooper* looper = new RecordingLooper("detach");
	BMessage* detached = NULL;
	bool sawCurrent = false;
	looper->fOnMessage = [&](BMessage* message) {
		if (message->what != 'dtch')
			return false;
		sawCurrent = looper->CurrentMessage() == message;
		detached = looper->DetachCurrentMessage();
		return false;
	};
	looper->Run();
	BMessage message('dtch');
	message.AddString("kept", "yes");
	looper->PostMessage(&message);
	ASSERT_TRUE(looper->WaitForCount(1));
	quit_looper(looper);

	EXPECT_TRUE(sawCurrent);
	ASSERT_NE(nullptr, detached);
	EXPECT_STREQ("yes", detached->GetString("kept"));
	delete detached;
}

TEST(Looper, PostMessageNeverWaitsForRoomInAFullPort)
{
	RecordingLooper* looper = new RecordingLooper("small", 3);
	looper->Run();
	looper->HoldBusy();
	int posted = 0;
	while (looper->PostMessage(kRecorded) == B_OK && posted < 100)
		posted++;
	EXPECT_EQ(3, posted);
	EXPECT_EQ(B_WOULD_BLOCK, looper->PostMessage(kRecorded));
	EXPECT_TRUE(looper->IsMessageWaiting());
	looper->Release();
	ASSERT_TRUE(looper->WaitForCount(3));
	quit_looper(looper);
}

TEST(Looper, ALockHeldByAnotherThreadHoldsTheDispatchBack)
{
	RecordingLooper* looper = new RecordingLooper("locked");
	looper->Run();
	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(find_thread(NULL), looper->LockingThread());
	EXPECT_EQ(1, looper->CountLocks());
	looper->PostMessage(kRecorded);
	snooze(30000);
	EXPECT_EQ(0u, looper->Messages().size());

	status_t lockedElsewhere = B_OK;
	std::thread other([&] {
		lockedElsewhere = looper->LockWithTimeout(10000);
		if (lockedElsewhere == B_OK)
			looper->Unlock();
	});
	other.join();
	EXPECT_EQ(B_TIMED_OUT, lockedElsewhere);

	looper->Unlock();
	EXPECT_FALSE(looper->IsLocked());
	EXPECT_TRUE(looper->WaitForCount(1));
	{
		BAutolock autolock(looper);
		EXPECT_TRUE(autolock.IsLocked());
		EXPECT_TRUE(looper->IsLocked());
	}
	EXPECT_FALSE(looper->IsLocked());
	EXPECT_EQ(looper, BLooper::LooperForThread(looper->Thread()));
	quit_looper(looper);
}

TEST(Looper, MessageQueueKeepsOrderAndFindsByWhat)
{
	BMessageQueue queue;
	EXPECT_TRUE(queue.IsEmpty());
	BMessage* first = new BMessage('one ');
	BMessage* second = new BMessage('two ');
	BMessage* third = new BMessage('one ');
	queue.AddMessage(first);
	queue.AddMessage(second);
	queue.AddMessage(third);
	EXPECT_EQ(3, queue.CountMessages());
	EXPECT_EQ(second, queue.FindMessage(1));
	EXPECT_EQ(third, queue.FindMessage('one ', 1));
	EXPECT_EQ(NULL, queue.FindMessage('one ', 2));
	EXPECT_EQ(NULL, queue.FindMessage(5));
	EXPECT_TRUE(queue.IsNextMessage(first));

	queue.RemoveMessage(second);
	delete second;
	BMessage* next = queue.NextMessage();
	EXPECT_EQ(first, next);
	delete next;
	EXPECT_EQ(1, queue.CountMessages());
	// The queue deletes what it still holds.
}

namespace {

// Stands in for the GUI thread: dispatches the looper's messages on the test's own thread
// when asked.
class ManualDriver : public BPrivate::LooperDriver {
public:
	thread_id Start(BLooper*) override { return find_thread(NULL); }

	void MessagePosted(port_id port) override
	{
		BPrivate::CancelableWait::Locker locker(wait);
		requests.push_back(port);
		wait.NotifyAll();
	}

	// Runs the dispatches asked for; false when nothing was asked within the timeout.
	bool DispatchRequested(bigtime_t timeout)
	{
		std::vector<port_id> ports;
		{
			BPrivate::CancelableWait::Locker locker(wait);
			if (wait.WaitFor([this] { return !requests.empty(); }, timeout) != B_OK)
				return false;
			ports.swap(requests);
		}
		for (port_id port : ports)
			BPrivate::LooperAccess::DispatchMessages(port, 100);
		return true;
	}

	BPrivate::CancelableWait wait;
	std::vector<port_id> requests;
};

} // namespace

TEST(Looper, ADriverLetsALooperDispatchOnAThreadItDoesNotOwn)
{
	ManualDriver driver;
	std::atomic<bool> deleted { false };
	RecordingLooper* looper = new RecordingLooper("gui", 200, &deleted);
	BPrivate::LooperAccess::SetDriver(looper, &driver);
	EXPECT_EQ(B_OK, looper->PostMessage(kRecorded));
	EXPECT_EQ(find_thread(NULL), looper->Run());

	BMessenger messenger(looper);
	std::thread worker([&] {
		for (int i = 0; i < 20; i++)
			messenger.SendMessage(kRecorded);
	});
	worker.join();
	while (looper->Messages().size() < 21 && driver.DispatchRequested(1000000)) { }
	ASSERT_EQ(21u, looper->Messages().size());
	for (thread_id dispatcher : looper->Threads())
		EXPECT_EQ(find_thread(NULL), dispatcher);

	// Quit from another thread waits until the dispatching thread has deleted the looper.
	std::atomic<bool> quitReturned { false };
	std::thread quitter([&] {
		quit_looper(looper);
		quitReturned = true;
	});
	while (!deleted && driver.DispatchRequested(1000000)) { }
	quitter.join();
	EXPECT_TRUE(deleted);
	EXPECT_TRUE(quitReturned);
	EXPECT_FALSE(messenger.IsValid());
}

#include <Messenger.h>

#include <CancelableWait.h>
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <MessengerPrivate.h>

#include "TestLooper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Answers 'ping' with 'pong' carrying the request's "value" + 1.
bool
answer_pings(BMessage* message)
{
	if (message->what != 'ping')
		return false;
	BMessage reply('pong');
	reply.AddInt32("value", message->GetInt32("value", 0) + 1);
	message->SendReply(&reply);
	return true;
}

struct ThreadBody {
	std::function<status_t()> function;

	static int32 Run(void* data) { return static_cast<ThreadBody*>(data)->function(); }
};

} // namespace

TEST(Messenger, AMessengerToALooperThatHasQuitFailsCleanly)
{
	RecordingLooper* looper = new RecordingLooper("short-lived");
	looper->Run();
	BMessenger messenger(looper);
	EXPECT_TRUE(messenger.IsValid());
	EXPECT_TRUE(messenger.IsTargetLocal());
	BLooper* target = NULL;
	EXPECT_EQ(looper, messenger.Target(&target));
	EXPECT_EQ(looper, target);
	quit_looper(looper);

	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('late'));
	BMessage message('late');
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(&message, &reply));
	EXPECT_FALSE(messenger.LockTarget());
	EXPECT_EQ(NULL, messenger.Target(&target));
	EXPECT_EQ(NULL, target);
	EXPECT_EQ(B_BAD_PORT_ID, BMessenger().SendMessage('none'));
	EXPECT_FALSE(BMessenger().IsValid());
}

TEST(Messenger, ASynchronousMessageGetsItsReply)
{
	RecordingLooper* looper = new RecordingLooper("answering");
	looper->fOnMessage = answer_pings;
	looper->Run();
	BMessenger messenger(looper);

	BMessage ping('ping');
	ping.AddInt32("value", 41);
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(&ping, &reply));
	EXPECT_EQ(static_cast<uint32>('pong'), reply.what);
	EXPECT_EQ(42, reply.GetInt32("value", 0));
	EXPECT_TRUE(reply.IsReply());
	ASSERT_NE(nullptr, reply.Previous());
	EXPECT_EQ(static_cast<uint32>('ping'), reply.Previous()->what);
	// The caller's message is untouched by the delivery.
	EXPECT_FALSE(ping.WasDelivered());
	EXPECT_FALSE(ping.IsReply());
	quit_looper(looper);
}

TEST(Messenger, SynchronousSendsGetAnAnswerEvenWhenTheTargetGivesNone)
{
	RecordingLooper* looper = new RecordingLooper("silent");
	std::atomic<status_t> secondReply { B_OK };
	looper->fOnMessage = [&](BMessage* message) {
		switch (message->what) {
			case 'twic':
				message->SendReply('one ');
				secondReply = message->SendReply('two ');
				return true;
			case 'slow':
				snooze(200000);
				message->SendReply('late');
				return true;
			case 'nosy':
				// Not handled: BHandler answers a waiting sender.
				return false;
		}
		return true;
	};
	looper->Run();
	BMessenger messenger(looper);

	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage('quie', &reply));
	EXPECT_EQ(static_cast<uint32>(B_NO_REPLY), reply.what);

	ASSERT_EQ(B_OK, messenger.SendMessage('twic', &reply));
	EXPECT_EQ(static_cast<uint32>('one '), reply.what);

	BMessage slow('slow');
	EXPECT_EQ(B_TIMED_OUT, messenger.SendMessage(&slow, &reply, B_INFINITE_TIMEOUT, 20000));

	quit_looper(looper);
	EXPECT_EQ(B_DUPLICATE_REPLY, secondReply.load());
}

TEST(Messenger, AnUnderstoodNothingHandlerAnswersAWaitingSender)
{
	class Plain : public BLooper {
	public:
		Plain() :
			BLooper("plain")
		{
		}
	};

	Plain* looper = new Plain;
	looper->Run();
	BMessenger messenger(looper);
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage('what', &reply));
	EXPECT_EQ(static_cast<uint32>(B_MESSAGE_NOT_UNDERSTOOD), reply.what);
	// Without a waiting sender nothing is answered and nothing fails.
	EXPECT_EQ(B_OK, messenger.SendMessage('what'));
	quit_looper(looper);
}

TEST(Messenger, ALooperCannotWaitForItsOwnReply)
{
	RecordingLooper* looper = new RecordingLooper("self");
	std::atomic<status_t> result { B_OK };
	looper->fOnMessage = [&](BMessage* message) {
		if (message->what != 'self')
			return false;
		BMessage reply;
		result = BMessenger(looper).SendMessage('ping', &reply);
		return true;
	};
	looper->Run();
	looper->PostMessage('self');
	looper->PostMessage(kRecorded);
	ASSERT_TRUE(looper->WaitForCount(1));
	EXPECT_EQ(B_MESSAGE_TO_SELF, result.load());
	quit_looper(looper);
}

TEST(Messenger, RepliesGoToTheNamedReplyHandler)
{
	RecordingLooper* target = new RecordingLooper("target");
	target->fOnMessage = answer_pings;
	target->Run();
	RecordingLooper* replies = new RecordingLooper("replies");
	replies->Run();

	BMessage ping('ping');
	ping.AddInt32("value", 1);
	ASSERT_EQ(B_OK, BMessenger(target).SendMessage(&ping, replies));
	ASSERT_TRUE(replies->WaitForCount(1));
	const BMessage reply = replies->Messages()[0];
	EXPECT_EQ(static_cast<uint32>('pong'), reply.what);
	EXPECT_EQ(2, reply.GetInt32("value", 0));
	EXPECT_TRUE(reply.IsReply());
	EXPECT_TRUE(reply.WasDelivered());

	// Without any reply handler or application the message cannot be answered.
	RecordingLooper* unanswered = new RecordingLooper("unanswered");
	std::atomic<status_t> replyStatus { B_OK };
	std::atomic<bool> hadAddress { true };
	unanswered->fOnMessage = [&](BMessage* message) {
		hadAddress = message->ReturnAddress().IsValid();
		replyStatus = message->SendReply('nope');
		return false;
	};
	unanswered->Run();
	BMessenger(unanswered).SendMessage('anon');
	ASSERT_TRUE(unanswered->WaitForCount(1));
	EXPECT_EQ(B_BAD_REPLY, replyStatus.load());
	EXPECT_FALSE(hadAddress);

	quit_looper(unanswered);
	quit_looper(target);
	quit_looper(replies);
}

TEST(Messenger, AFullQueueMakesSendersWaitUpToTheirTimeout)
{
	RecordingLooper* looper = new RecordingLooper("full", 2);
	looper->Run();
	looper->HoldBusy();
	BMessenger messenger(looper);
	BMessage message(kRecorded);
	ASSERT_EQ(B_OK, messenger.SendMessage(&message, (BHandler*)NULL, 0));
	ASSERT_EQ(B_OK, messenger.SendMessage(&message, (BHandler*)NULL, 0));

	EXPECT_EQ(B_WOULD_BLOCK, messenger.SendMessage(&message, (BHandler*)NULL, 0));
	const bigtime_t start = system_time();
	EXPECT_EQ(B_TIMED_OUT, messenger.SendMessage(&message, (BHandler*)NULL, 20000));
	EXPECT_GE(system_time() - start, 20000);

	// An infinite timeout waits until the looper makes room.
	std::thread releaser([looper] {
		snooze(30000);
		looper->Release();
	});
	EXPECT_EQ(B_OK, messenger.SendMessage(&message));
	releaser.join();
	EXPECT_TRUE(looper->WaitForCount(3));
	quit_looper(looper);
}

TEST(Messenger, ConstructionChecksTheHandlerAndLooper)
{
	RecordingLooper* looper = new RecordingLooper("owner");
	RecordingLooper* other = new RecordingLooper("other");
	BHandler loose("loose");
	BHandler owned("owned");
	looper->AddHandler(&owned);

	const struct {
		const BHandler* handler;
		const BLooper* looper;
		status_t expected;
	} rows[] = {
		{ &owned, NULL, B_OK },
		{ &owned, looper, B_OK },
		{ NULL, looper, B_OK },
		{ &owned, other, B_MISMATCHED_VALUES },
		{ &loose, NULL, B_BAD_HANDLER },
		{ NULL, NULL, B_BAD_VALUE },
	};

	for (const auto& row : rows) {
		status_t result = B_ERROR;
		BMessenger messenger(row.handler, row.looper, &result);
		EXPECT_EQ(row.expected, result);
		EXPECT_EQ(row.expected == B_OK, messenger.IsValid());
	}

	BMessenger toOwned(&owned);
	BMessenger preferred(NULL, looper);
	EXPECT_TRUE(toOwned == BMessenger(&owned, looper));
	EXPECT_TRUE(toOwned != preferred);
	EXPECT_TRUE(toOwned < preferred || preferred < toOwned);
	EXPECT_EQ(toOwned.HashValue(), BMessenger(&owned).HashValue());
	EXPECT_EQ(&owned, toOwned.Target(NULL));
	BLooper* targetLooper = NULL;
	EXPECT_EQ(NULL, preferred.Target(&targetLooper));
	EXPECT_EQ(looper, targetLooper);
	EXPECT_EQ(12u, sizeof(BMessenger));

	looper->RemoveHandler(&owned);
	looper->Quit();
	other->Quit();
}

TEST(Messenger, LockTargetLocksTheTargetLooper)
{
	RecordingLooper* looper = new RecordingLooper("lockable");
	looper->Run();
	BMessenger messenger(looper);
	ASSERT_TRUE(messenger.LockTarget());
	EXPECT_TRUE(looper->IsLocked());
	std::thread other([&] { EXPECT_EQ(B_TIMED_OUT, messenger.LockTargetWithTimeout(5000)); });
	other.join();
	looper->Unlock();
	quit_looper(looper);
}

TEST(Messenger, SignaturesFindRegisteredApplications)
{
	RecordingLooper* looper = new RecordingLooper("app");
	looper->Run();
	BPrivate::register_app_signature("application/x-vnd.Test-App", BMessenger(looper));

	status_t result = B_ERROR;
	BMessenger messenger("Application/X-Vnd.Test-App", -1, &result);
	EXPECT_EQ(B_OK, result);
	EXPECT_TRUE(messenger == BMessenger(looper));
	EXPECT_EQ(B_OK, messenger.SendMessage(kRecorded));
	EXPECT_TRUE(looper->WaitForCount(1));

	BMessenger unknown("application/x-vnd.Nobody", -1, &result);
	EXPECT_EQ(B_BAD_VALUE, result);
	EXPECT_FALSE(unknown.IsValid());

	BPrivate::unregister_app_signature("application/x-vnd.Test-App");
	EXPECT_EQ(B_BAD_VALUE, messenger.SetTo("application/x-vnd.Test-App"));
	quit_looper(looper);
}

TEST(Messenger, TheApplicationGetsRepliesThatNameNoHandler)
{
	RecordingLooper* application = new RecordingLooper("application");
	application->Run();
	BPrivate::set_application_messenger(BMessenger(application));
	RecordingLooper* target = new RecordingLooper("target");
	target->fOnMessage = answer_pings;
	target->Run();

	EXPECT_EQ(B_OK, BMessenger(target).SendMessage('ping'));
	EXPECT_TRUE(application->WaitForCount(1));
	EXPECT_EQ(static_cast<uint32>('pong'), application->Messages()[0].what);

	BPrivate::set_application_messenger(BMessenger());
	quit_looper(target);
	quit_looper(application);
}

// kill_thread() must stop a sender wherever it waits, and nothing it would have sent
// afterwards may arrive.
TEST(Messenger, AKilledSenderStopsPromptlyAndDeliversNothingMore)
{
	BPrivate::CancelableWait neverNotified;

	const struct {
		const char* name;
		int32 capacity;
		std::function<void(const BMessenger&)> block;
	} rows[] = {
		{ "asleep", 200, [](const BMessenger&) { snooze(60000000); } },
		{ "waiting on a condition", 200,
			[&](const BMessenger&) {
				BPrivate::CancelableWait::Locker locker(neverNotified);
				neverNotified.WaitFor([] { return false; }, B_INFINITE_TIMEOUT);
			} },
		{ "sending to a busy looper", 1,
			[](const BMessenger& target) {
				BMessage blocked('blck');
				while (true)
					target.SendMessage(&blocked);
			} },
		{ "waiting for a reply", 200,
			[](const BMessenger& target) {
				BMessage reply;
				target.SendMessage('wait', &reply);
			} },
	};

	for (const auto& row : rows) {
		RecordingLooper* looper = new RecordingLooper(row.name, row.capacity);
		looper->Run();
		looper->HoldBusy();
		BMessenger target(looper);
		std::atomic<bool> started { false };
		ThreadBody body { [&]() -> status_t {
			started = true;
			row.block(target);
			target.SendMessage('aftr');
			return B_OK;
		} };
		thread_id sender = spawn_thread(ThreadBody::Run, row.name, B_NORMAL_PRIORITY, &body);
		resume_thread(sender);
		while (!started)
			snooze(1000);
		snooze(20000);

		const bigtime_t start = system_time();
		EXPECT_EQ(B_OK, kill_thread(sender)) << row.name;
		status_t exitValue = B_OK;
		EXPECT_EQ(B_OK, wait_for_thread(sender, &exitValue)) << row.name;
		EXPECT_LT(system_time() - start, 1000000) << row.name;
		EXPECT_EQ(B_INTERRUPTED, exitValue) << row.name;

		// Everything the looper received was sent before the kill.
		looper->Release();
		BMessage reply;
		ASSERT_EQ(B_OK, target.SendMessage(kRecorded, &reply)) << row.name;
		int blocked = 0;
		for (const BMessage& message : looper->Messages()) {
			EXPECT_NE(static_cast<uint32>('aftr'), message.what) << row.name;
			if (message.what == 'blck')
				blocked++;
		}
		EXPECT_LE(blocked, row.capacity) << row.name;
		quit_looper(looper);
	}
}

// A job that finished sending while its owner was busy, and was killed before the owner
// looked at its queue, must not be heard of: its queued messages are dropped. Messages of
// a sender that was not killed, and those of other threads, still arrive in order.
TEST(Messenger, MessagesQueuedByAKilledSenderAreNeverDispatched)
{
	RecordingLooper* looper = new RecordingLooper("owner");
	looper->Run();
	looper->HoldBusy();
	BMessenger target(looper);

	auto sender = [&](uint32 what) {
		return ThreadBody { [&target, what]() -> status_t {
			for (int32 i = 0; i < 5; i++) {
				BMessage progress(what);
				progress.AddInt32("index", i);
				target.SendMessage(&progress);
			}
			return snooze(60000000);
		} };
	};
	ThreadBody killedBody = sender('kild');
	ThreadBody livingBody = sender('livd');
	thread_id killed = spawn_thread(ThreadBody::Run, "killed job", B_NORMAL_PRIORITY, &killedBody);
	thread_id living = spawn_thread(ThreadBody::Run, "living job", B_NORMAL_PRIORITY, &livingBody);
	resume_thread(killed);
	resume_thread(living);
	// Both have sent everything once they sleep.
	auto asleep = [](thread_id thread) {
		thread_info info;
		return get_thread_info(thread, &info) == B_OK && info.state == B_THREAD_ASLEEP;
	};
	const bigtime_t deadline = system_time() + 2000000;
	while (!(asleep(killed) && asleep(living)) && system_time() < deadline)
		snooze(1000);
	EXPECT_EQ(B_OK, target.SendMessage('frst'));
	EXPECT_EQ(B_OK, kill_thread(killed));
	EXPECT_EQ(B_OK, wait_for_thread(killed, NULL));
	EXPECT_EQ(B_OK, target.SendMessage('last'));
	EXPECT_EQ(B_OK, target.SendMessage(kRecorded));

	looper->Release();
	ASSERT_TRUE(looper->WaitForCount(8));
	std::vector<uint32> order;
	for (const BMessage& message : looper->Messages()) {
		EXPECT_NE(static_cast<uint32>('kild'), message.what);
		order.push_back(message.what);
	}
	const std::vector<uint32> expected = { 'livd', 'livd', 'livd', 'livd', 'livd', 'frst', 'last',
		kRecorded };
	EXPECT_EQ(expected, order);

	kill_thread(living);
	wait_for_thread(living, NULL);
	quit_looper(looper);
}

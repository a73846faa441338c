// BInvoker: the message it owns, its target, and what Invoke() sends.
#include <Invoker.h>
#include <Looper.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {

class CountingLooper : public BLooper {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'invk') {
			int32 value = 0;
			message->FindInt32("value", &value);
			fSum += value;
			return;
		}
		BLooper::MessageReceived(message);
	}

	std::atomic<int32> fSum { 0 };
};

} // namespace

TEST(InvokerTest, InvokeSendsACopyOfItsMessageToTheTarget)
{
	CountingLooper* looper = new CountingLooper;
	looper->Run();

	BMessage* message = new BMessage('invk');
	message->AddInt32("value", 2);
	BInvoker invoker(message, looper);
	EXPECT_EQ(message, invoker.Message());
	EXPECT_EQ((uint32)'invk', invoker.Command());
	EXPECT_TRUE(invoker.IsTargetLocal());
	BLooper* targetLooper = NULL;
	EXPECT_EQ(looper, invoker.Target(&targetLooper));
	EXPECT_EQ(looper, targetLooper);

	EXPECT_EQ(B_OK, invoker.Invoke());
	BMessage other('invk');
	other.AddInt32("value", 5);
	EXPECT_EQ(B_OK, invoker.Invoke(&other));
	for (int32 i = 0; i < 1000 && looper->fSum.load() != 7; i++)
		snooze(1000);
	EXPECT_EQ(7, looper->fSum.load());

	looper->Lock();
	looper->Quit();
	// The target is gone: sending fails, nothing crashes.
	EXPECT_NE(B_OK, invoker.Invoke());
}

TEST(InvokerTest, WithoutAMessageInvokeFailsAndSetMessageReplacesIt)
{
	BInvoker invoker;
	EXPECT_EQ(B_BAD_VALUE, invoker.Invoke());
	EXPECT_EQ(0u, invoker.Command());
	invoker.SetMessage(new BMessage('one_'));
	invoker.SetMessage(new BMessage('two_'));
	EXPECT_EQ((uint32)'two_', invoker.Command());
	invoker.SetMessage(NULL);
	EXPECT_EQ(NULL, invoker.Message());
	EXPECT_EQ(B_INFINITE_TIMEOUT, invoker.Timeout());
}

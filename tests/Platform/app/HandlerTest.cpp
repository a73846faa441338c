#include <Handler.h>

#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include "TestLooper.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class Recorder : public BHandler {
public:
	explicit Recorder(const char* name, bool forwards = false) :
		BHandler(name),
		fForwards(forwards)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (fForwards && message->what == 'pass') {
			BHandler::MessageReceived(message);
			return;
		}
		whats.push_back(message->what);
	}

	std::vector<uint32> whats;

private:
	bool fForwards;
};

} // namespace

TEST(Handler, KeepsItsNameEvenWhenSetToItself)
{
	BHandler handler("name");
	EXPECT_STREQ("name", handler.Name());
	handler.SetName(handler.Name());
	EXPECT_STREQ("name", handler.Name());
	handler.SetName(NULL);
	EXPECT_EQ(NULL, handler.Name());
	EXPECT_EQ(NULL, BHandler().Name());
}

TEST(Handler, UnhandledMessagesGoToTheNextHandler)
{
	RecordingLooper* looper = new RecordingLooper("chain");
	Recorder first("first", true);
	Recorder next("next");
	Recorder stranger("stranger");
	looper->AddHandler(&first);
	looper->AddHandler(&next);
	first.SetNextHandler(&stranger);
	EXPECT_EQ(looper, first.NextHandler());
	first.SetNextHandler(&next);
	EXPECT_EQ(&next, first.NextHandler());
	looper->Run();

	BMessenger(&first).SendMessage('pass');
	BMessenger(&first).SendMessage('mine');
	looper->PostMessage(kRecorded);
	ASSERT_TRUE(looper->WaitForCount(1));
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(std::vector<uint32>({ 'mine' }), first.whats);
	EXPECT_EQ(std::vector<uint32>({ 'pass' }), next.whats);
	looper->RemoveHandler(&first);
	looper->RemoveHandler(&next);
	looper->Quit();
}

TEST(Handler, ADeletedHandlerLeavesItsLooper)
{
	RecordingLooper* looper = new RecordingLooper("owner");
	auto handler = std::make_unique<Recorder>("short-lived");
	looper->AddHandler(handler.get());
	EXPECT_EQ(2, looper->CountHandlers());
	looper->SetPreferredHandler(handler.get());
	BMessenger messenger(handler.get());
	looper->Run();

	handler.reset();
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(1, looper->CountHandlers());
	EXPECT_EQ(NULL, looper->PreferredHandler());
	looper->Unlock();
	// The looper lives on; the message for the gone handler is dropped.
	EXPECT_TRUE(messenger.IsValid());
	EXPECT_EQ(B_OK, messenger.SendMessage('gone'));
	EXPECT_EQ(NULL, messenger.Target(NULL));
	looper->PostMessage(kRecorded);
	ASSERT_TRUE(looper->WaitForCount(1));
	EXPECT_EQ(1u, looper->Messages().size());
	quit_looper(looper);
}

TEST(Handler, LockLooperFailsWithoutALooper)
{
	BHandler handler("alone");
	EXPECT_FALSE(handler.LockLooper());
	EXPECT_EQ(B_BAD_VALUE, handler.LockLooperWithTimeout(0));

	RecordingLooper* looper = new RecordingLooper("lockable");
	looper->AddHandler(&handler);
	looper->Run();
	ASSERT_TRUE(handler.LockLooper());
	EXPECT_TRUE(looper->IsLocked());
	handler.UnlockLooper();
	EXPECT_FALSE(looper->IsLocked());
	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&handler);
	looper->Quit();
}

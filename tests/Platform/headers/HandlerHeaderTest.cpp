// <Handler.h> and <Looper.h> alone bring BMessage, which MessageReceived() takes.
#include <Looper.h>

#include <gtest/gtest.h>

namespace {

class Counter : public BHandler {
public:
	void MessageReceived(BMessage* message) override { fCount += message->FindInt32("n"); }

	int32 fCount = 0;
};

} // namespace

TEST(BeHeaders, HandlerAndLooperBringMessage)
{
	Counter counter;
	BMessage message('add ');
	message.AddInt32("n", 3);
	counter.MessageReceived(&message);
	EXPECT_EQ(3, counter.fCount);
}

// A looper for the application-kit tests: it records the messages it receives, can be held
// busy inside a handler, and says when it is deleted.
#ifndef TESTS_TEST_LOOPER_H
#define TESTS_TEST_LOOPER_H

#include <CancelableWait.h>
#include <Looper.h>
#include <Message.h>
#include <MessagePrivate.h>

#include <atomic>
#include <functional>
#include <vector>

// What-codes the recording looper treats specially.
enum {
	kHoldBusy = 'hold', // blocks the looper until Release()
	kRecorded = 'rcrd'
};

class RecordingLooper : public BLooper {
public:
	explicit RecordingLooper(const char* name = "recorder",
		int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY, std::atomic<bool>* deleted = nullptr) :
		BLooper(name, B_NORMAL_PRIORITY, capacity),
		fDeleted(deleted)
	{
	}

	~RecordingLooper() override
	{
		if (fDeleted != nullptr)
			*fDeleted = true;
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kHoldBusy) {
			BPrivate::CancelableWait::Locker locker(fWait);
			fBusy = true;
			fWait.NotifyAll();
			fWait.WaitFor([this] { return !fHold; }, B_INFINITE_TIMEOUT);
			fBusy = false;
			return;
		}
		if (fOnMessage && fOnMessage(message))
			return;
		BPrivate::CancelableWait::Locker locker(fWait);
		// The copy must not keep the sender waiting: a message that can still be
		// answered holds its sender until the last copy goes.
		fMessages.push_back(*message);
		BMessage::Private(fMessages.back()).SetReplyRoute(nullptr);
		fThreads.push_back(find_thread(NULL));
		fWait.NotifyAll();
	}

	// Holds the looper's thread in a handler until Release().
	void HoldBusy()
	{
		{
			BPrivate::CancelableWait::Locker locker(fWait);
			fHold = true;
		}
		PostMessage(kHoldBusy);
		BPrivate::CancelableWait::Locker locker(fWait);
		fWait.WaitFor([this] { return fBusy; }, B_INFINITE_TIMEOUT);
	}

	void Release()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		fHold = false;
		fWait.NotifyAll();
	}

	// Waits until count messages have been recorded; false after two seconds.
	bool WaitForCount(size_t count)
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		return fWait.WaitFor([&] { return fMessages.size() >= count; }, 2000000) == B_OK;
	}

	std::vector<BMessage> Messages()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		return fMessages;
	}

	std::vector<thread_id> Threads()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		return fThreads;
	}

	// Returns true when it handled the message itself (it is then not recorded).
	std::function<bool(BMessage*)> fOnMessage;

private:
	std::atomic<bool>* fDeleted;
	BPrivate::CancelableWait fWait;
	std::vector<BMessage> fMessages;
	std::vector<thread_id> fThreads;
	bool fHold = false;
	bool fBusy = false;
};

// Quits a running looper from the test's thread.
inline void
quit_looper(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

#endif // TESTS_TEST_LOOPER_H

// Message throughput from a worker thread to a looper, the path every progress message of
// an install or a search takes: BMessenger::SendMessage with an infinite timeout, so a worker
// that outruns the looper waits for room in its port. Also the synchronous round trip.
#include <CancelableWait.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include <cstdio>

namespace {

const uint32 kProgress = 'isud';
const uint32 kPing = 'ping';

class CountingLooper : public BLooper {
public:
	CountingLooper() :
		BLooper("bench looper")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kPing) {
			message->SendReply(B_REPLY);
			return;
		}
		BPrivate::CancelableWait::Locker locker(fWait);
		fCount++;
		if (fCount >= fTarget)
			fWait.NotifyAll();
	}

	void Expect(int64 count)
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		fCount = 0;
		fTarget = count;
	}

	void WaitForAll()
	{
		BPrivate::CancelableWait::Locker locker(fWait);
		fWait.WaitFor([this] { return fCount >= fTarget; }, B_INFINITE_TIMEOUT);
	}

private:
	BPrivate::CancelableWait fWait;
	int64 fCount = 0;
	int64 fTarget = 0;
};

struct Job {
	BMessenger target;
	BMessage message;
	int64 count;
	bool synchronous;

	static int32 Run(void* data)
	{
		Job* job = static_cast<Job*>(data);
		for (int64 i = 0; i < job->count; i++) {
			status_t status;
			if (job->synchronous) {
				BMessage reply;
				status = job->target.SendMessage(&job->message, &reply);
			} else {
				status = job->target.SendMessage(&job->message);
			}
			if (status != B_OK)
				return status;
		}
		return B_OK;
	}
};

void
measure(const char* label, CountingLooper* looper, const BMessage& message, int64 count,
	bool synchronous)
{
	looper->Expect(synchronous ? 0 : count);
	Job job { BMessenger(looper), message, count, synchronous };
	const bigtime_t start = system_time();
	thread_id worker = spawn_thread(Job::Run, "bench worker", B_NORMAL_PRIORITY, &job);
	resume_thread(worker);
	status_t result = B_ERROR;
	wait_for_thread(worker, &result);
	looper->WaitForAll();
	const double seconds = (system_time() - start) / 1e6;
	printf("%-44s %9lld messages in %6.3f s: %10.0f messages/s%s\n", label,
		static_cast<long long>(count), seconds, count / seconds,
		result == B_OK ? "" : " (a send failed)");
}

} // namespace

int
main()
{
	CountingLooper* looper = new CountingLooper;
	looper->Run();

	BMessage empty(kProgress);
	BMessage status(kProgress);
	status.AddString("message", "Extracting Example Product/lib/libexample.so");

	measure("worker -> looper, no fields", looper, empty, 1000000, false);
	measure("worker -> looper, status text field", looper, status, 1000000, false);
	measure("worker -> looper, synchronous round trip", looper, BMessage(kPing), 100000, true);

	if (looper->Lock())
		looper->Quit();
	return 0;
}

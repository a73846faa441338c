// LibThread: the completion message reaches a looper with the job's name and result, waiting
// Go() returns only once it is queued, and a killed or deleted job sends nothing more.
#include "LibThread.h"

#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

const uint32 kProgress = 'prog';
const uint32 kSentinel = 'sent';

// Records the what-codes and fields of what it receives.
class Recorder : public BLooper {
public:
	Recorder() :
		BLooper("recorder")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> locker(fLock);
		fMessages.push_back(*message);
		fChanged.notify_all();
	}

	// Waits up to two seconds for a message of that what-code.
	bool WaitFor(uint32 what, BMessage* found = NULL)
	{
		std::unique_lock<std::mutex> locker(fLock);
		return fChanged.wait_for(locker, std::chrono::seconds(2), [&] {
			for (const BMessage& message : fMessages) {
				if (message.what == what) {
					if (found != NULL)
						*found = message;
					return true;
				}
			}
			return false;
		});
	}

	size_t Count(uint32 what)
	{
		std::lock_guard<std::mutex> locker(fLock);
		size_t count = 0;
		for (const BMessage& message : fMessages)
			count += message.what == what ? 1 : 0;
		return count;
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<BMessage> fMessages;
};

// A looper that runs for the test and quits at its end.
class RunningRecorder {
public:
	RunningRecorder() :
		fLooper(new Recorder)
	{
		fLooper->Run();
	}

	~RunningRecorder()
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	Recorder* operator->() { return fLooper; }

	BMessenger* NewMessenger() { return new BMessenger(fLooper); }

private:
	Recorder* fLooper;
};

class Job : public LibThread {
public:
	explicit Job(std::function<status_t(Job&)> work) :
		fWork(std::move(work))
	{
	}

	// The work uses this object's members, so the thread must end before they go.
	~Job() override { Kill(); }

	status_t Action() override { return fWork(*this); }

	void SendProgress()
	{
		if (fMessenger != NULL)
			fMessenger->SendMessage(kProgress);
	}

	std::atomic<bool> started { false };
	std::atomic<bool> finished { false };

private:
	std::function<status_t(Job&)> fWork;
};

// Work that sends progress until it is killed; it never finishes on its own.
status_t
endless_work(Job& job)
{
	job.started = true;
	while (true) {
		job.SendProgress();
		snooze(1000);
	}
}

void
wait_until_started(Job& job)
{
	for (int i = 0; i < 2000 && !job.started; i++)
		snooze(1000);
	ASSERT_TRUE(job.started);
}

} // namespace

TEST(LibThread, CompletionMessageCarriesTheNameAndActionsResult)
{
	RunningRecorder recorder;
	Job job([](Job&) { return (status_t)3; });
	ASSERT_EQ(B_OK, job.Go("install", recorder.NewMessenger(), B_NORMAL_PRIORITY, false));

	BMessage completion;
	ASSERT_TRUE(recorder->WaitFor(kLibThreadCompleted, &completion));
	EXPECT_EQ('LThC', (int32)completion.what);
	EXPECT_STREQ("install", completion.FindString("name"));
	EXPECT_EQ(3, completion.FindInt32("status"));
}

TEST(LibThread, GoWithWaitReturnsOnceTheCompletionIsQueued)
{
	RunningRecorder recorder;
	Job job([](Job& self) {
		snooze(20000);
		self.finished = true;
		return (status_t)0;
	});
	// Held locked, the looper cannot take the message out of its queue.
	ASSERT_TRUE(recorder->Lock());
	EXPECT_EQ(B_OK, job.Go("search", recorder.NewMessenger(), B_NORMAL_PRIORITY, true));
	EXPECT_TRUE(job.finished);
	// The thread has ended, so its send is done: the message waits in the looper's port.
	thread_info info;
	EXPECT_NE(B_OK, get_thread_info(job.Id(), &info));
	EXPECT_EQ(0u, recorder->Count(kLibThreadCompleted));
	recorder->Unlock();

	BMessage completion;
	ASSERT_TRUE(recorder->WaitFor(kLibThreadCompleted, &completion));
	EXPECT_EQ(0, completion.FindInt32("status"));
}

TEST(LibThread, NullMessengerRunsTheJobAndTellsNobody)
{
	Job job([](Job& self) {
		self.finished = true;
		return (status_t)0;
	});
	EXPECT_EQ(B_OK, job.Go("quiet", NULL, B_NORMAL_PRIORITY, true));
	EXPECT_TRUE(job.finished);
}

TEST(LibThread, KilledJobSendsNothingAfterwards)
{
	RunningRecorder recorder;
	Job job(endless_work);
	ASSERT_EQ(B_OK, job.Go("install", recorder.NewMessenger(), B_NORMAL_PRIORITY, false));
	wait_until_started(job);
	ASSERT_TRUE(recorder->WaitFor(kProgress));

	EXPECT_EQ(B_OK, job.Kill());
	// Everything the job sent before the kill is queued by now; messages are handled in
	// order, so once the sentinel arrives the looper has caught up.
	ASSERT_EQ(B_OK, recorder->PostMessage(kSentinel));
	ASSERT_TRUE(recorder->WaitFor(kSentinel));
	size_t progress = recorder->Count(kProgress);
	snooze(100000);
	EXPECT_EQ(progress, recorder->Count(kProgress));
	EXPECT_EQ(0u, recorder->Count(kLibThreadCompleted));
	EXPECT_FALSE(job.finished);
	EXPECT_LT(job.Status(), 0) << "the thread is gone";
}

// The owner was busy when the job finished; Stop, already queued, kills the job: the
// completion and progress messages still waiting behind it must never be dispatched.
TEST(LibThread, StoppingAJobThatHasFinishedDropsItsQueuedMessages)
{
	const struct {
		const char* name;
		bool deleteInsteadOfKill;
	} rows[] = { { "kill", false }, { "delete", true } };

	for (const auto& row : rows) {
		RunningRecorder recorder;
		Job* job = new Job([](Job& self) {
			self.SendProgress();
			self.finished = true;
			return (status_t)0;
		});
		ASSERT_TRUE(recorder->Lock()) << row.name;
		ASSERT_EQ(B_OK, job->Go("search", recorder.NewMessenger(), B_NORMAL_PRIORITY, false))
			<< row.name;
		for (int i = 0; i < 2000 && job->Status() >= 0; i++)
			snooze(1000);
		ASSERT_TRUE(job->finished) << row.name;
		ASSERT_LT(job->Status(), 0) << row.name << ": the thread has ended";

		if (row.deleteInsteadOfKill)
			delete job;
		else {
			job->Kill();
			delete job;
		}
		recorder->Unlock();
		ASSERT_EQ(B_OK, recorder->PostMessage(kSentinel)) << row.name;
		ASSERT_TRUE(recorder->WaitFor(kSentinel)) << row.name;
		EXPECT_EQ(0u, recorder->Count(kLibThreadCompleted)) << row.name;
		EXPECT_EQ(0u, recorder->Count(kProgress)) << row.name;
	}
}

TEST(LibThread, DeletingARunningJobKillsItWithoutCompletion)
{
	RunningRecorder recorder;
	Job* job = new Job(endless_work);
	ASSERT_EQ(B_OK, job->Go("search", recorder.NewMessenger(), B_NORMAL_PRIORITY, false));
	wait_until_started(*job);
	thread_id thread = job->Id();
	delete job;

	thread_info info;
	EXPECT_NE(B_OK, get_thread_info(thread, &info));
	snooze(100000);
	EXPECT_EQ(0u, recorder->Count(kLibThreadCompleted));
}

TEST(LibThread, DeletingAFinishedJobAndKillingItAgainDoNoHarm)
{
	RunningRecorder recorder;
	Job* job = new Job([](Job&) { return (status_t)0; });
	EXPECT_EQ(B_OK, job->Go("install", recorder.NewMessenger(), B_NORMAL_PRIORITY, false));
	ASSERT_TRUE(recorder->WaitFor(kLibThreadCompleted));
	// The thread may still be on its way out: the first kill may catch it.
	job->Kill();
	EXPECT_NE(B_OK, job->Kill());
	delete job;

	// Never started: no thread to kill.
	LibThread idle;
	EXPECT_LT(idle.Id(), 0);
	EXPECT_NE(B_OK, idle.Kill());
}

TEST(LibThread, GoAgainAfterAFinishedRunStartsANewRun)
{
	RunningRecorder recorder;
	std::atomic<int> runs(0);
	Job job([&](Job&) { return (status_t)++runs; });
	EXPECT_EQ(B_OK, job.Go("install", recorder.NewMessenger(), B_NORMAL_PRIORITY, true));
	EXPECT_EQ(B_OK, job.Go("install", recorder.NewMessenger(), B_NORMAL_PRIORITY, true));
	EXPECT_EQ(2, runs.load());
	for (int i = 0; i < 200 && recorder->Count(kLibThreadCompleted) < 2; i++)
		snooze(10000);
	EXPECT_EQ(2u, recorder->Count(kLibThreadCompleted));
}

TEST(LibThread, StatusFollowsSuspendAndResume)
{
	Job job(endless_work);
	ASSERT_EQ(B_OK, job.Go("busy", NULL, B_NORMAL_PRIORITY, false));
	wait_until_started(job);

	ASSERT_EQ(B_OK, job.Suspend());
	EXPECT_EQ(B_THREAD_SUSPENDED, job.Status());
	testing::internal::CaptureStderr();
	job.PrintToStream();
	EXPECT_EQ("Suspended\n", testing::internal::GetCapturedStderr());

	ASSERT_EQ(B_OK, job.Resume());
	EXPECT_NE(B_THREAD_SUSPENDED, job.Status());
	EXPECT_EQ(B_OK, job.Kill());

	testing::internal::CaptureStderr();
	job.PrintToStream();
	EXPECT_EQ("Unknown\n", testing::internal::GetCapturedStderr());
}

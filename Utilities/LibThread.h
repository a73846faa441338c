// LibThread: the base of every long-running job. A subclass puts its work in Action(); Go()
// runs it on a platform thread of its own, and when Action() returns the thread tells its
// owner with a completion message: what-code 'LThC', string "name" (the name given to Go())
// and int32 "status" (what Action() returned). A subclass may send its own progress
// messages through fMessenger while it runs, never when fMessenger is NULL.
//
// Killing the job (Kill(), or deleting the object) stops the thread at its next kill point
// (OS.h: a wait, or a check point of a long loop), and none of its messages arrives
// afterwards: not those it would still send, and not those still waiting in the owner's
// queue, even when the job had already finished (its completion message included). Kill()
// returns once the thread has ended, so the object can be deleted right after it.
#ifndef LIB_THREAD_H
#define LIB_THREAD_H

#include <OS.h>
#include <ThreadPrivate.h>

#include <atomic>

class BMessenger;

// The completion message of a job.
enum { kLibThreadCompleted = 'LThC' };

class LibThread {
public:
	LibThread();
	// Kills the thread if it still runs and waits for it to end, then deletes the messenger.
	// A subclass whose Action() uses the subclass's own members calls Kill() in its own
	// destructor, since those members are gone by the time this one runs.
	virtual ~LibThread();

	LibThread(const LibThread&) = delete;
	LibThread& operator=(const LibThread&) = delete;

	// The work, on the job's thread. 0 means success; the base does nothing.
	virtual status_t Action();

	virtual status_t Suspend();
	virtual status_t Resume();
	virtual status_t Kill();

	// Takes ownership of messenger (NULL: nobody is told). Spawns the thread under name at
	// priority and starts it: with wait, returns once the thread has ended (the status of
	// the wait, not Action()'s result); otherwise returns the status of the start. A job
	// that ran before is ended first (see Kill()) and its messenger deleted.
	virtual status_t Go(
		const char* name, BMessenger* messenger, const long& priority, const bool& wait);

	// Writes the thread's state as a word ("Running", "Suspended", ...) to standard error.
	virtual void PrintToStream();

	// The thread entry: runs StartAction() on data, a LibThread.
	static int32 StaticAction(void* data);
	// Runs Action(), then sends the completion message; returns Action()'s result.
	status_t StartAction();

	// The thread's state (thread_state), or the platform's error when there is no thread.
	int32 Status();
	status_t SetPriority(long priority);
	thread_id Id() const;

protected:
	thread_id fThreadId;
	BMessenger* fMessenger;

private:
	// Kills the thread unless it has finished, and waits until it has ended.
	status_t _Stop();

	// Set by the job's thread as the last thing it does with this object, so that ending a
	// job that has finished never touches a thread id the system may have handed on.
	std::atomic<bool> fFinished;

	// Revokes the messages of the job's thread that still wait in queues.
	BPrivate::SenderMark fSenderMark;
};

#endif // LIB_THREAD_H

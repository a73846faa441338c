#include "LibThread.h"

#include <Message.h>
#include <Messenger.h>
#include <ThreadPrivate.h>

#include <stdio.h>

LibThread::LibThread() :
	fThreadId(-1),
	fMessenger(NULL),
	fFinished(false)
{
}

LibThread::~LibThread()
{
	// Waiting for the thread is a kill point, and unwinding out of a destructor
	// would end the process.
	BPrivate::CancelDisabler disabler;
	// A job that deletes itself on its own thread cannot wait for itself.
	if (fThreadId != find_thread(NULL)) {
		_Stop();
		fSenderMark.Revoke();
	}
	delete fMessenger;
}

status_t
LibThread::Action()
{
	return B_OK;
}

status_t
LibThread::Suspend()
{
	return suspend_thread(fThreadId);
}

status_t
LibThread::Resume()
{
	return resume_thread(fThreadId);
}

status_t
LibThread::Kill()
{
	status_t status = _Stop();
	// A job that finished while the owner was stopping it has sent its completion
	// message; the owner must not hear of the job again.
	fSenderMark.Revoke();
	return status;
}

status_t
LibThread::_Stop()
{
	if (fThreadId < 0)
		return B_BAD_THREAD_ID;
	// A finished job's thread is on its way out; its id may soon name another thread.
	if (fFinished.load())
		return B_BAD_THREAD_ID;
	status_t status = kill_thread(fThreadId);
	if (status != B_OK)
		return status;
	// The thread stops at its next kill point; until then it may still use this
	// object, which the caller is about to delete.
	status_t exitValue;
	wait_for_thread(fThreadId, &exitValue);
	return B_OK;
}

status_t
LibThread::Go(const char* name, BMessenger* messenger, const long& priority, const bool& wait)
{
	// A job that ran before has sent its completion message and no longer reads the
	// messenger once it is finished; one that still runs is ended first.
	_Stop();
	delete fMessenger;
	fMessenger = messenger;
	fFinished.store(false);

	fThreadId = spawn_thread(StaticAction, name, (int32)priority, this);
	fSenderMark = BPrivate::sender_mark_of(fThreadId);
	if (wait) {
		status_t exitValue;
		return wait_for_thread(fThreadId, &exitValue);
	}
	return resume_thread(fThreadId);
}

void
LibThread::PrintToStream()
{
	const char* text;
	switch (Status()) {
		case B_THREAD_RUNNING:
			text = "Running\n";
			break;
		case B_THREAD_READY:
			text = "Ready\n";
			break;
		case B_THREAD_RECEIVING:
			text = "Receiving\n";
			break;
		case B_THREAD_ASLEEP:
			text = "Asleep\n";
			break;
		case B_THREAD_SUSPENDED:
			text = "Suspended\n";
			break;
		case B_THREAD_WAITING:
			text = "Waiting\n";
			break;
		default:
			text = "Unknown\n";
			break;
	}
	fputs(text, stderr);
}

int32
LibThread::StaticAction(void* data)
{
	return static_cast<LibThread*>(data)->StartAction();
}

status_t
LibThread::StartAction()
{
	status_t status = Action();
	if (fMessenger != NULL) {
		BMessage message(kLibThreadCompleted);
		thread_info info;
		message.AddString(
			"name", get_thread_info(find_thread(NULL), &info) == B_OK ? info.name : "");
		message.AddInt32("status", status);
		// Blocks while the owner's queue is full; never waits for a reply.
		fMessenger->SendMessage(&message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
	}
	fFinished.store(true);
	return status;
}

int32
LibThread::Status()
{
	thread_info info;
	status_t status = get_thread_info(fThreadId, &info);
	if (status != B_OK)
		return status;
	return info.state;
}

status_t
LibThread::SetPriority(long priority)
{
	return set_thread_priority(fThreadId, (int32)priority);
}

thread_id
LibThread::Id() const
{
	return fThreadId;
}

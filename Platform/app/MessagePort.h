// The kernel side of a looper, the counterpart of a BeOS port: a bounded queue of messages
// that any thread writes into and the looper reads from, the looper's lock, and the
// looper's entry in the process-wide table that messengers look ports up in. A port outlives
// its looper as long as someone holds it; once closed, writing gives B_BAD_PORT_ID. Internal
// to the application kit.
#ifndef _MESSAGE_PORT_H
#define _MESSAGE_PORT_H

#include <CancelableWait.h>
#include <Locker.h>
#include <Message.h>
#include <ThreadPrivate.h>

#include <atomic>
#include <memory>
#include <pthread.h>
#include <vector>

class BLooper;
class BMessageQueue;

namespace BPrivate {

class LooperDriver;

class MessagePort {
public:
	struct Entry {
		BMessage* message;
		int32 token;
		// Lets the reader drop the message once its sender has been killed.
		SenderMark sender;
	};

	MessagePort(int32 capacity, BLooper* looper);
	~MessagePort();

	MessagePort(const MessagePort&) = delete;
	MessagePort& operator=(const MessagePort&) = delete;

	port_id ID() const { return fID; }

	BLocker& Locker() { return fLocker; }

	// Takes ownership of message, whatever the result. Waits up to timeout for
	// room: B_WOULD_BLOCK (zero timeout), B_TIMED_OUT, B_BAD_PORT_ID (closed),
	// B_CANCELED (the calling thread has been killed: nothing it sends arrives).
	// ignoreCapacity never waits (the looper's own _QUIT_).
	status_t Write(BMessage* message, int32 token, bigtime_t timeout, bool ignoreCapacity = false);

	// The looper's side. WaitForMessages returns once messages are there or the port
	// has closed.
	void WaitForMessages();
	// Moves every waiting message into the queue, oldest first.
	void DrainInto(BMessageQueue* queue);
	int32 CountMessages();

	// The thread that dispatches the looper's messages. A write from it never waits
	// for room: it would wait for itself.
	void SetDispatchThread(thread_id thread);
	thread_id DispatchThread() const;

	// With a driver, each write that finds no dispatch pending tells the driver.
	void SetDriver(LooperDriver* driver);
	LooperDriver* Driver() const;
	// Clears the pending dispatch, before the driver dispatches.
	void ClearDispatchRequest();
	// Tells the driver again, when messages are left after a dispatch.
	void RequestDispatch();

	// The looper; NULL once the port has closed. Stable while the looper's lock
	// is held or on the dispatching thread.
	BLooper* Looper();
	bool IsClosed();
	// Refuses further messages, wakes every waiting writer and deletes the
	// messages still waiting (senders that wait for replies get B_NO_REPLY).
	void Close();

	// The quit handshake: the looper marks its end, Quit() from another thread
	// waits for it.
	void MarkEnded();
	void WaitEnded();

private:
	status_t _Enqueue(std::unique_ptr<BMessage>& message, int32 token, bigtime_t timeout,
		bool ignoreCapacity, bool& tellDriver);

	const port_id fID;
	const size_t fCapacity;
	BLocker fLocker;

	pthread_mutex_t fMutex;
	pthread_cond_t fNotEmpty;
	pthread_cond_t fNotFull;
	std::vector<Entry> fEntries;
	std::vector<Entry> fSpare;
	int32 fWaitingReaders;
	int32 fWaitingWriters;
	bool fClosed;
	BLooper* fLooper;

	std::atomic<thread_id> fDispatchThread;
	std::atomic<LooperDriver*> fDriver;
	std::atomic<bool> fDispatchRequested;

	CancelableWait fEndWait;
	bool fEnded;
};

// Makes and registers the port of a new looper.
std::shared_ptr<MessagePort> create_port(int32 capacity, BLooper* looper);
// The port, while it is open; NULL otherwise.
std::shared_ptr<MessagePort> find_port(port_id id);
// The port of a looper that exists; NULL for a looper that is gone (or any other pointer).
std::shared_ptr<MessagePort> find_looper_port(const BLooper* looper);
// The first looper whose messages the thread dispatches.
BLooper* find_looper_for_thread(thread_id thread);

} // namespace BPrivate

#endif // _MESSAGE_PORT_H

// BLooper: a message loop. Messages posted or sent to it wait in its port (bounded: a sender
// to a full port waits, see BMessenger) and are dispatched one at a time, in the order they
// arrived, with the looper locked.
//
// Where it runs: a plain looper dispatches on a thread of its own, which Run() spawns. A
// looper with a BPrivate::LooperDriver (the GUI loopers: every window dispatches on the one
// GUI thread) does not spawn one; see LooperDriver.h for the hook.
//
// As on BeOS, a new looper is locked by the thread that made it, and Run() unlocks it. Quit()
// deletes the looper: from another thread it waits until the looper's thread has handled the
// messages queued before it and deleted the looper; a looper that never ran is deleted at
// once.
//
// BeOS behaviour kept: PostMessage() never waits; on a full port it fails with B_WOULD_BLOCK.
// Difference from BeOS: Quit() called on the looper's own thread returns (BeOS never returns
// from it); the looper is deleted as soon as the current message's dispatch returns, and no
// further message is dispatched. Unwinding a whole dispatch (as BeOS's exit_thread did) would
// run through every caller's frames.
#ifndef _LOOPER_H
#define _LOOPER_H

#include <Handler.h>
#include <OS.h>

#include <atomic>
#include <memory>
#include <vector>

class BMessage;
class BMessageQueue;

namespace BPrivate {
class LooperAccess;
class LooperDriver;
class MessagePort;
} // namespace BPrivate

#define B_LOOPER_PORT_DEFAULT_CAPACITY 200

class BLooper : public BHandler {
public:
	BLooper(const char* name = NULL, int32 priority = B_NORMAL_PRIORITY,
		int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	// Only through Quit() once the looper runs.
	virtual ~BLooper();

	// Message transmission. The message is copied; the caller keeps it. Without a handler
	// the message goes to the looper itself; with a NULL handler argument, to the preferred
	// handler. B_MISMATCHED_VALUES for a handler of another looper.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = NULL);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = NULL);

	// Hands the message to the handler: _QUIT_ ends the looper, B_QUIT_REQUESTED to the
	// looper itself asks QuitRequested(), everything else goes to MessageReceived().
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	// The message being dispatched; NULL outside a dispatch.
	BMessage* CurrentMessage() const;
	// Takes the current message over: the caller deletes it.
	BMessage* DetachCurrentMessage();
	BMessageQueue* MessageQueue() const;
	bool IsMessageWaiting() const;

	// Handlers. The looper is its own first handler. Adding and removing need the lock.
	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;

	BHandler* PreferredHandler() const;
	void SetPreferredHandler(BHandler* handler);

	// Loop control
	virtual thread_id Run();
	virtual void Quit();
	virtual bool QuitRequested();

	// Locking is safe on a looper that may have been deleted meanwhile: it fails.
	bool Lock();
	void Unlock();
	bool IsLocked() const;
	status_t LockWithTimeout(bigtime_t timeout);

	thread_id Thread() const;
	team_id Team() const;
	static BLooper* LooperForThread(thread_id thread);

	thread_id LockingThread() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;

private:
	friend class BPrivate::LooperAccess;

	static int32 _ThreadEntry(void* data);
	void _Loop();
	bool _DispatchMessages(int32 maxCount);
	BHandler* _HandlerFor(int32 token);
	void _QuitRequested(BMessage* message);
	status_t _PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo);
	void _UnlockFully();

	std::shared_ptr<BPrivate::MessagePort> fPort;
	std::unique_ptr<BMessageQueue> fQueue;
	std::vector<BHandler*> fHandlers;
	BHandler* fPreferred;
	BMessage* fLastMessage;
	BPrivate::LooperDriver* fDriver;
	thread_id fThread;
	int32 fInitPriority;
	std::atomic<bool> fRunCalled;
	bool fTerminating;
};

#endif // _LOOPER_H

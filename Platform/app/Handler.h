// BHandler: an object that messages are dispatched to. A handler belongs to at most one
// looper, whose thread calls its MessageReceived() with the looper locked.
#ifndef _HANDLER_H
#define _HANDLER_H

#include <Message.h>
#include <OS.h>

#include <atomic>

class BLooper;
class BMessenger;

namespace BPrivate {
class LooperAccess;
} // namespace BPrivate

class BHandler {
public:
	BHandler(const char* name = NULL);
	virtual ~BHandler();

	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	// Passes the message to the next handler; without one, answers a sender that waits
	// for a reply with B_MESSAGE_NOT_UNDERSTOOD.
	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const;

	void SetName(const char* name);
	const char* Name() const;

	// Only a handler of the same looper (or NULL) can be the next one.
	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const;

	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

private:
	friend class BLooper;
	friend class BMessenger;
	friend class BPrivate::LooperAccess;

	void _SetLooper(BLooper* looper);

	char* fName;
	int32 fToken;
	std::atomic<BLooper*> fLooper;
	BHandler* fNextHandler;
};

#endif // _HANDLER_H

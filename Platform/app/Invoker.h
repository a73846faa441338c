// BInvoker: a message and a target it is sent to when something happens (a button is
// pressed, an alert answered).
#ifndef _INVOKER_H
#define _INVOKER_H

#include <Messenger.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
	BInvoker();
	// Takes ownership of the message.
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = NULL);
	BInvoker(BMessage* message, BMessenger target);
	virtual ~BInvoker();

	BInvoker(const BInvoker&) = delete;
	BInvoker& operator=(const BInvoker&) = delete;

	// Takes ownership of the message (NULL: none).
	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const;
	uint32 Command() const;

	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = NULL);
	virtual status_t SetTarget(BMessenger messenger);
	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper = NULL) const;
	BMessenger Messenger() const;

	virtual status_t SetHandlerForReply(BHandler* handler);
	BHandler* HandlerForReply() const;

	// Sends a copy of the message (or of the invoker's own when NULL) to the target.
	// B_BAD_VALUE without a message.
	virtual status_t Invoke(BMessage* message = NULL);

	status_t SetTimeout(bigtime_t timeout);
	bigtime_t Timeout() const;

private:
	BMessage* fMessage;
	BMessenger fMessenger;
	BHandler* fReplyTo;
	bigtime_t fTimeout;
};

#endif // _INVOKER_H

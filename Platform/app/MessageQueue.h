// BMessageQueue: the messages a looper has received and not yet dispatched, in order. The
// queue owns the messages it holds; NextMessage() and RemoveMessage() hand them back to the
// caller. Messages whose sender has been killed since they were sent are never handed out:
// they are dropped when they come to the front.
#ifndef _MESSAGE_QUEUE_H
#define _MESSAGE_QUEUE_H

#include <Locker.h>
#include <Message.h>
#include <ThreadPrivate.h>

#include <deque>

class BLooper;

namespace BPrivate {
class MessagePort;
} // namespace BPrivate

class BMessageQueue {
public:
	BMessageQueue();
	virtual ~BMessageQueue();

	BMessageQueue(const BMessageQueue&) = delete;
	BMessageQueue& operator=(const BMessageQueue&) = delete;

	// Takes ownership. A message added here goes to the looper itself.
	void AddMessage(BMessage* message);
	// Gives ownership back to the caller.
	void RemoveMessage(BMessage* message);

	int32 CountMessages() const;
	bool IsEmpty() const;

	// The index-th message, or the index-th one with that what-code; NULL when
	// there is none. The queue keeps the message.
	BMessage* FindMessage(int32 index) const;
	BMessage* FindMessage(uint32 what, int32 index = 0) const;

	bool Lock();
	void Unlock();
	bool IsLocked() const;

	// Takes the oldest message out; the caller owns it. NULL when empty.
	BMessage* NextMessage();
	bool IsNextMessage(const BMessage* message) const;

private:
	friend class BLooper;
	friend class BPrivate::MessagePort;

	struct Item {
		BMessage* message;
		// the handler token the message was sent to
		int32 token;
		BPrivate::SenderMark sender;
	};

	void _AddMessage(BMessage* message, int32 token, const BPrivate::SenderMark& sender);
	// The sender's mark lets the looper check it again once it holds its lock.
	BMessage* _NextMessage(int32* token, BPrivate::SenderMark* sender = NULL);

	mutable BLocker fLock;
	std::deque<Item> fItems;
};

#endif // _MESSAGE_QUEUE_H

// Internals of BMessage for the kits: the delivery information that the messenger layer
// and drag and drop attach to a message, and flattening into a growing buffer.
#ifndef _MESSAGE_PRIVATE_H
#define _MESSAGE_PRIVATE_H

#include <Message.h>

#include <memory>
#include <vector>

namespace BPrivate {

// Where the replies to a delivered message go. The messenger layer makes one when it
// delivers a message that can be answered and attaches it with
// BMessage::Private::SetReplyRoute(); copies of the message share it. When the last
// message holding a route goes away, the route is destroyed: an implementation answers a
// sender that still waits synchronously with B_NO_REPLY from its destructor.
class MessageReplyRoute {
public:
	virtual ~MessageReplyRoute();

	// True while the sender is blocked waiting for the reply and none was given.
	virtual bool IsSourceWaiting() const = 0;

	// Sets messenger to where replies go (BMessage::ReturnAddress()).
	virtual status_t GetReturnAddress(BMessenger* messenger) const = 0;

	// Delivers a reply. replyTo (may be NULL: the application) receives replies to the
	// reply; with replyToReply set the call waits for that answer and stores it there.
	// A second reply to a waiting sender gives B_DUPLICATE_REPLY.
	virtual status_t SendReply(BMessage* reply, const BMessenger* replyTo, BMessage* replyToReply,
		bigtime_t sendTimeout, bigtime_t replyTimeout) = 0;
};

} // namespace BPrivate

class BMessage::Private {
public:
	Private(BMessage* message) :
		fMessage(message)
	{
	}

	Private(BMessage& message) :
		fMessage(&message)
	{
	}

	void SetReplyRoute(std::shared_ptr<BPrivate::MessageReplyRoute> route);
	const std::shared_ptr<BPrivate::MessageReplyRoute>& ReplyRoute() const;

	void SetWasDelivered(bool delivered);
	void SetReply(bool isReply);
	// Takes ownership of previous (may be NULL).
	void SetPrevious(BMessage* previous);
	void SetWasDropped(bool dropped);
	void SetDropPoint(BPoint where, BPoint offset);
	// Forgets every piece of delivery information.
	void ClearDelivery();

	// Flattens the message into out, replacing its content.
	static status_t Flatten(const BMessage& message, std::vector<char>& out);

private:
	BMessage* fMessage;
};

#endif // _MESSAGE_PRIVATE_H

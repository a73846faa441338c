// Delivery of messages through messengers, and the reply routes that delivered messages
// carry (see BPrivate::MessageReplyRoute in MessagePrivate.h). Internal to the application
// kit.
#ifndef _REPLY_ROUTE_H
#define _REPLY_ROUTE_H

#include <MessagePrivate.h>
#include <Messenger.h>

#include <memory>

namespace BPrivate {

// Sends a copy of message to the target. The copy carries route (may be NULL: it cannot be
// answered) and is marked as a reply when isReply.
status_t deliver_message(const BMessenger& target, const BMessage& message,
	std::shared_ptr<MessageReplyRoute> route, bool isReply, bigtime_t timeout);

// Sends a copy of message to the target and waits for the answer, which is stored in reply.
status_t send_and_wait(const BMessenger& target, const BMessage& message, bool isReply,
	BMessage* reply, bigtime_t deliveryTimeout, bigtime_t replyTimeout);

// A route whose replies go to target; NULL when the target is not valid.
std::shared_ptr<MessageReplyRoute> reply_route_to(const BMessenger& target);

// The route to the application, for senders that name no reply handler; may be NULL.
std::shared_ptr<MessageReplyRoute> application_reply_route();

} // namespace BPrivate

#endif // _REPLY_ROUTE_H

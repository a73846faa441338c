// Answering a delivered message. The messenger layer attaches a reply route to every
// message it delivers (MessagePrivate.h); a message without one cannot be answered.
#include <Message.h>

#include "MessagePrivate.h"

#include <Messenger.h>

namespace {

status_t
send_reply(BMessage* message, BMessage* reply, const BMessenger* replyTo, BMessage* replyToReply,
	bigtime_t sendTimeout, bigtime_t replyTimeout)
{
	if (reply == NULL)
		return B_BAD_VALUE;
	const auto& route = BMessage::Private(message).ReplyRoute();
	if (route == NULL)
		return B_BAD_REPLY;
	return route->SendReply(reply, replyTo, replyToReply, sendTimeout, replyTimeout);
}

} // namespace

BMessenger
BMessage::ReturnAddress() const
{
	BMessenger messenger;
	if (fReplyRoute != NULL)
		fReplyRoute->GetReturnAddress(&messenger);
	return messenger;
}

status_t
BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

status_t
BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	if (replyTo == NULL)
		return send_reply(this, reply, NULL, NULL, timeout, B_INFINITE_TIMEOUT);

	status_t status;
	BMessenger messenger(replyTo, NULL, &status);
	if (status != B_OK)
		return status;
	return send_reply(this, reply, &messenger, NULL, timeout, B_INFINITE_TIMEOUT);
}

status_t
BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
	return send_reply(this, reply, &replyTo, NULL, timeout, B_INFINITE_TIMEOUT);
}

status_t
BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
	BMessage reply(command);
	return SendReply(&reply, replyToReply);
}

status_t
BMessage::SendReply(
	BMessage* reply, BMessage* replyToReply, bigtime_t sendTimeout, bigtime_t replyTimeout)
{
	if (replyToReply == NULL)
		return B_BAD_VALUE;
	return send_reply(this, reply, NULL, replyToReply, sendTimeout, replyTimeout);
}

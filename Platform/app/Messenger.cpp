#include <Messenger.h>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <MessagePrivate.h>
#include <MessengerPrivate.h>

#include "MessagePort.h"
#include "ReplyRoute.h"
#include "TokenSpace.h"

#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

// What a sender that waits synchronously waits on. The route that the delivered message
// carries fills it; the sender reads it.
struct SyncReplyState {
	BPrivate::CancelableWait wait;
	bool done = false;
	bool abandoned = false;
	BMessage reply;
	// What was sent, for the reply's Previous(). Written before the message is delivered,
	// only read afterwards.
	BMessage original;
};

// Replies to a sender that waits: the reply is handed over directly, with no queue between.
// When the last copy of the message goes without an answer, the sender gets B_NO_REPLY.
class SyncReplyRoute : public BPrivate::MessageReplyRoute {
public:
	explicit SyncReplyRoute(std::shared_ptr<SyncReplyState> state) :
		fState(std::move(state))
	{
	}

	~SyncReplyRoute() override
	{
		BPrivate::CancelableWait::Locker locker(fState->wait);
		if (fState->done)
			return;
		fState->reply = BMessage(B_NO_REPLY);
		BMessage::Private(fState->reply).SetReply(true);
		fState->done = true;
		fState->wait.NotifyAll();
	}

	bool IsSourceWaiting() const override
	{
		BPrivate::CancelableWait::Locker locker(fState->wait);
		return !fState->done && !fState->abandoned;
	}

	// The waiting sender has no address of its own.
	status_t GetReturnAddress(BMessenger* messenger) const override
	{
		*messenger = BMessenger();
		return B_BAD_VALUE;
	}

	status_t SendReply(BMessage* reply, const BMessenger* replyTo, BMessage* replyToReply,
		bigtime_t, bigtime_t replyTimeout) override
	{
		BMessage answer(*reply);
		BMessage::Private access(answer);
		access.ClearDelivery();
		access.SetReply(true);
		access.SetWasDelivered(true);
		access.SetPrevious(new BMessage(fState->original));

		std::shared_ptr<SyncReplyState> answerState;
		if (replyToReply != NULL) {
			answerState = std::make_shared<SyncReplyState>();
			access.SetReplyRoute(std::make_shared<SyncReplyRoute>(answerState));
		} else if (replyTo != NULL) {
			access.SetReplyRoute(BPrivate::reply_route_to(*replyTo));
		} else {
			access.SetReplyRoute(BPrivate::application_reply_route());
		}

		{
			BPrivate::CancelableWait::Locker locker(fState->wait);
			if (fState->done)
				return B_DUPLICATE_REPLY;
			// The sender stopped waiting (timed out): its reply port is gone.
			if (fState->abandoned)
				return B_BAD_PORT_ID;
			fState->reply = answer;
			fState->done = true;
			fState->wait.NotifyAll();
		}
		if (answerState == nullptr)
			return B_OK;
		// Only the sender's copy of the answer may keep its route alive.
		access.SetReplyRoute(nullptr);
		return wait_for_reply(answerState, replyToReply, replyTimeout);
	}

	static status_t wait_for_reply(
		const std::shared_ptr<SyncReplyState>& state, BMessage* reply, bigtime_t timeout)
	{
		// However the wait ends (a timeout, the thread being killed), a late answer finds
		// nobody waiting.
		struct Abandon {
			SyncReplyState& state;

			~Abandon()
			{
				BPrivate::CancelableWait::Locker locker(state.wait);
				state.abandoned = true;
			}
		} abandon { *state };

		BPrivate::CancelableWait::Locker locker(state->wait);
		if (state->wait.WaitFor([&] { return state->done; }, timeout) != B_OK)
			return B_TIMED_OUT;
		*reply = state->reply;
		state->reply = BMessage();
		return B_OK;
	}

private:
	std::shared_ptr<SyncReplyState> fState;
};

// Replies go to a messenger, like any message.
class MessengerReplyRoute : public BPrivate::MessageReplyRoute {
public:
	explicit MessengerReplyRoute(const BMessenger& target) :
		fTarget(target)
	{
	}

	bool IsSourceWaiting() const override { return false; }

	status_t GetReturnAddress(BMessenger* messenger) const override
	{
		*messenger = fTarget;
		return B_OK;
	}

	status_t SendReply(BMessage* reply, const BMessenger* replyTo, BMessage* replyToReply,
		bigtime_t sendTimeout, bigtime_t replyTimeout) override
	{
		if (replyToReply != NULL) {
			return BPrivate::send_and_wait(
				fTarget, *reply, true, replyToReply, sendTimeout, replyTimeout);
		}
		std::shared_ptr<BPrivate::MessageReplyRoute> route = replyTo != NULL
			? BPrivate::reply_route_to(*replyTo)
			: BPrivate::application_reply_route();
		return BPrivate::deliver_message(fTarget, *reply, std::move(route), true, sendTimeout);
	}

private:
	BMessenger fTarget;
};

struct ApplicationTarget {
	std::mutex lock;
	BMessenger messenger;
	std::shared_ptr<BPrivate::MessageReplyRoute> route;
	std::map<std::string, BMessenger> signatures;
};

ApplicationTarget&
application_target()
{
	static ApplicationTarget* target = new ApplicationTarget;
	return *target;
}

// MIME signatures compare without regard to case.
std::string
signature_key(const char* signature)
{
	std::string key(signature);
	for (char& c : key)
		c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
	return key;
}

} // namespace

// #pragma mark - delivery


namespace BPrivate {

status_t
deliver_message(const BMessenger& target, const BMessage& message,
	std::shared_ptr<MessageReplyRoute> route, bool isReply, bigtime_t timeout)
{
	BMessenger copyOfTarget(target);
	BMessenger::Private access(copyOfTarget);
	std::shared_ptr<MessagePort> port = find_port(access.Port());
	if (port == nullptr)
		return B_BAD_PORT_ID;

	BMessage* copy = new BMessage(message);
	BMessage::Private copyAccess(copy);
	copyAccess.ClearDelivery();
	copyAccess.SetReplyRoute(std::move(route));
	copyAccess.SetReply(isReply);
	copyAccess.SetWasDelivered(true);
	return port->Write(copy, access.Token(), timeout);
}

status_t
send_and_wait(const BMessenger& target, const BMessage& message, bool isReply, BMessage* reply,
	bigtime_t deliveryTimeout, bigtime_t replyTimeout)
{
	if (reply == nullptr)
		return B_BAD_VALUE;
	BMessenger copyOfTarget(target);
	std::shared_ptr<MessagePort> port = find_port(BMessenger::Private(copyOfTarget).Port());
	if (port == nullptr)
		return B_BAD_PORT_ID;
	// The thread that would have to answer cannot wait for itself.
	if (port->DispatchThread() == find_thread(NULL))
		return B_MESSAGE_TO_SELF;

	auto state = std::make_shared<SyncReplyState>();
	state->original = message;
	BMessage::Private(state->original).ClearDelivery();
	status_t status = deliver_message(
		target, message, std::make_shared<SyncReplyRoute>(state), isReply, deliveryTimeout);
	if (status != B_OK)
		return status;
	return SyncReplyRoute::wait_for_reply(state, reply, replyTimeout);
}

std::shared_ptr<MessageReplyRoute>
reply_route_to(const BMessenger& target)
{
	if (!target.IsValid())
		return nullptr;
	return std::make_shared<MessengerReplyRoute>(target);
}

std::shared_ptr<MessageReplyRoute>
application_reply_route()
{
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	return target.route;
}

void
set_application_messenger(const BMessenger& messenger)
{
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	target.messenger = messenger;
	if (messenger.IsValid())
		target.route = std::make_shared<MessengerReplyRoute>(messenger);
	else
		target.route.reset();
}

BMessenger
application_messenger()
{
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	return target.messenger;
}

void
register_app_signature(const char* signature, const BMessenger& messenger)
{
	if (signature == nullptr)
		return;
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	target.signatures[signature_key(signature)] = messenger;
}

void
unregister_app_signature(const char* signature)
{
	if (signature == nullptr)
		return;
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	target.signatures.erase(signature_key(signature));
}

} // namespace BPrivate

// #pragma mark - BMessenger


BMessenger::BMessenger() :
	fPort(-1),
	fHandlerToken(B_NULL_TOKEN),
	fTeam(-1)
{
}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result) :
	BMessenger()
{
	status_t status = SetTo(signature, team);
	if (result != NULL)
		*result = status;
}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result) :
	BMessenger()
{
	status_t status = SetTo(handler, looper);
	if (result != NULL)
		*result = status;
}

bool
BMessenger::operator==(const BMessenger& other) const
{
	return fPort == other.fPort && fHandlerToken == other.fHandlerToken;
}

bool
BMessenger::IsTargetLocal() const
{
	return fTeam == getpid();
}

BHandler*
BMessenger::Target(BLooper** looper) const
{
	std::shared_ptr<BPrivate::MessagePort> port = BPrivate::find_port(fPort);
	BLooper* targetLooper = port != nullptr ? port->Looper() : NULL;
	if (looper != NULL)
		*looper = targetLooper;
	if (targetLooper == NULL || fHandlerToken == B_PREFERRED_TOKEN)
		return NULL;
	if (fHandlerToken == B_NULL_TOKEN)
		return targetLooper;
	BHandler* handler = BPrivate::handler_for_token(fHandlerToken);
	return handler != NULL && handler->Looper() == targetLooper ? handler : NULL;
}

bool
BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	std::shared_ptr<BPrivate::MessagePort> port = BPrivate::find_port(fPort);
	if (port == nullptr)
		return B_BAD_PORT_ID;
	status_t status = port->Locker().LockWithTimeout(timeout);
	if (status != B_OK)
		return status;
	if (port->IsClosed()) {
		port->Locker().Unlock();
		return B_BAD_PORT_ID;
	}
	return B_OK;
}

status_t
BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

status_t
BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::shared_ptr<BPrivate::MessageReplyRoute> route = replyTo != NULL
		? BPrivate::reply_route_to(BMessenger(replyTo))
		: BPrivate::application_reply_route();
	return BPrivate::deliver_message(*this, *message, std::move(route), false, timeout);
}

status_t
BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	return BPrivate::deliver_message(
		*this, *message, BPrivate::reply_route_to(replyTo), false, timeout);
}

status_t
BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t
BMessenger::SendMessage(
	BMessage* message, BMessage* reply, bigtime_t deliveryTimeout, bigtime_t replyTimeout) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	return BPrivate::send_and_wait(*this, *message, false, reply, deliveryTimeout, replyTimeout);
}

status_t
BMessenger::SetTo(const char* signature, team_id team)
{
	*this = BMessenger();
	if (signature == NULL)
		return B_BAD_VALUE;
	ApplicationTarget& target = application_target();
	std::lock_guard<std::mutex> locker(target.lock);
	auto found = target.signatures.find(signature_key(signature));
	if (found == target.signatures.end())
		return B_BAD_VALUE;
	if (team >= 0 && team != found->second.fTeam)
		return B_BAD_TEAM_ID;
	*this = found->second;
	return B_OK;
}

status_t
BMessenger::SetTo(const BHandler* handler, const BLooper* looper)
{
	*this = BMessenger();
	int32 token = B_PREFERRED_TOKEN;
	if (handler != NULL) {
		BLooper* handlerLooper = handler->Looper();
		if (handlerLooper == NULL)
			return B_BAD_HANDLER;
		if (looper != NULL && looper != handlerLooper)
			return B_MISMATCHED_VALUES;
		looper = handlerLooper;
		token = handler->fToken;
	} else if (looper == NULL) {
		return B_BAD_VALUE;
	}

	std::shared_ptr<BPrivate::MessagePort> port = BPrivate::find_looper_port(looper);
	if (port == nullptr)
		return B_BAD_VALUE;
	fPort = port->ID();
	fHandlerToken = token;
	fTeam = getpid();
	return B_OK;
}

bool
BMessenger::IsValid() const
{
	return fTeam == getpid() && BPrivate::find_port(fPort) != nullptr;
}

team_id
BMessenger::Team() const
{
	return fTeam;
}

uint32
BMessenger::HashValue() const
{
	return static_cast<uint32>(fPort) * 19 + static_cast<uint32>(fHandlerToken);
}

bool
operator<(const BMessenger& a, const BMessenger& b)
{
	BMessenger first(a);
	BMessenger second(b);
	BMessenger::Private left(first);
	BMessenger::Private right(second);
	if (left.Port() != right.Port())
		return left.Port() < right.Port();
	return left.Token() < right.Token();
}

bool
operator!=(const BMessenger& a, const BMessenger& b)
{
	return !(a == b);
}

// #pragma mark - BMessenger::Private


void
BMessenger::Private::SetTo(team_id team, port_id port, int32 token)
{
	fMessenger->fTeam = team;
	fMessenger->fPort = port;
	fMessenger->fHandlerToken = token;
}

port_id
BMessenger::Private::Port() const
{
	return fMessenger->fPort;
}

int32
BMessenger::Private::Token() const
{
	return fMessenger->fHandlerToken;
}

team_id
BMessenger::Private::Team() const
{
	return fMessenger->fTeam;
}

bool
BMessenger::Private::IsPreferredTarget() const
{
	return fMessenger->fHandlerToken == B_PREFERRED_TOKEN;
}

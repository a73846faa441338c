// BMessenger: the address of a handler (or of a looper's preferred handler) that messages can
// be sent to from any thread. It holds numbers only (the looper's port, the handler's token,
// the team), never pointers, so a messenger whose target is gone stays safe to use: sending
// gives B_BAD_PORT_ID and IsValid() is false.
//
// A BMessenger is 12 bytes, trivially copyable, and stored in a message's B_MESSENGER_TYPE
// field as those bytes: port, handler token, team (int32 each, little-endian).
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include <Message.h>
#include <OS.h>

class BHandler;
class BLooper;

class BMessenger {
public:
	BMessenger();
	// Targets the application with that signature, when it runs in
	// this process or has registered a stand-in (see
	// MessengerPrivate.h); B_BAD_VALUE otherwise.
	BMessenger(const char* signature, team_id team = -1, status_t* result = NULL);
	// handler NULL: the looper's preferred handler. A handler
	// that belongs to no looper gives B_BAD_HANDLER; one that
	// belongs to another looper than the one given gives
	// B_MISMATCHED_VALUES.
	BMessenger(const BHandler* handler, const BLooper* looper = NULL, status_t* result = NULL);
	BMessenger(const BMessenger& other) = default;
	~BMessenger() = default;

	BMessenger& operator=(const BMessenger& other) = default;
	bool operator==(const BMessenger& other) const;

	// Target
	bool IsTargetLocal() const;
	// The handler and its looper, or NULL. The pointers are only as good as the
	// target's life: lock the target to keep it.
	BHandler* Target(BLooper** looper) const;
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;

	// Sending. The message is copied; the caller keeps it. A message to a looper
	// whose queue is full waits up to timeout for room: B_WOULD_BLOCK with a zero
	// timeout, B_TIMED_OUT otherwise. B_BAD_PORT_ID when the target is gone.
	// Replies go to replyTo (NULL: the application).
	status_t SendMessage(uint32 command, BHandler* replyTo = NULL) const;
	status_t SendMessage(
		BMessage* message, BHandler* replyTo = NULL, bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(
		BMessage* message, BMessenger replyTo, bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	// Synchronous: waits for the reply and stores it in reply. A message deleted
	// without an answer gives a B_NO_REPLY reply. B_TIMED_OUT when no reply
	// comes within replyTimeout; B_MESSAGE_TO_SELF when the calling thread is the
	// one that would have to answer.
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
		bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
		bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

	status_t SetTo(const char* signature, team_id team = -1);
	status_t SetTo(const BHandler* handler, const BLooper* looper = NULL);

	// True while the target looper exists (its handler may be gone).
	bool IsValid() const;
	team_id Team() const;
	uint32 HashValue() const;

	class Private;

private:
	friend class Private;

	port_id fPort;
	int32 fHandlerToken;
	team_id fTeam;
};

bool operator<(const BMessenger& a, const BMessenger& b);
bool operator!=(const BMessenger& a, const BMessenger& b);

#endif // _MESSENGER_H

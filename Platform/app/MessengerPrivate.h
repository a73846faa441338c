// Internals of BMessenger for the kits: its raw fields, the special handler tokens, and the
// process-wide table of application signatures that BMessenger(signature) looks up.
#ifndef _MESSENGER_PRIVATE_H
#define _MESSENGER_PRIVATE_H

#include <Messenger.h>

// Handler tokens with a meaning of their own.
#define B_NULL_TOKEN (-1)
#define B_PREFERRED_TOKEN (-2)

class BMessenger::Private {
public:
	Private(BMessenger* messenger) :
		fMessenger(messenger)
	{
	}

	Private(BMessenger& messenger) :
		fMessenger(&messenger)
	{
	}

	void SetTo(team_id team, port_id port, int32 token);
	port_id Port() const;
	int32 Token() const;
	team_id Team() const;
	bool IsPreferredTarget() const;

private:
	BMessenger* fMessenger;
};

namespace BPrivate {

// Where replies go when the sender names no reply handler: the application's messenger.
// BApplication sets it when it starts and clears it (an invalid messenger) when it goes.
void set_application_messenger(const BMessenger& messenger);
BMessenger application_messenger();

// BMessenger(signature) finds these. The application registers its own signature; a kit can
// register a stand-in looper for a system application that has no Linux counterpart (the
// desktop shell) so that messages to it are handled in-process.
void register_app_signature(const char* signature, const BMessenger& target);
void unregister_app_signature(const char* signature);

} // namespace BPrivate

#endif // _MESSENGER_PRIVATE_H

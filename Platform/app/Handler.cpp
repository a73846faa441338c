#include <Handler.h>

#include <Looper.h>
#include <Message.h>

#include "TokenSpace.h"

#include <ThreadPrivate.h>

#include <cstdlib>
#include <cstring>

BHandler::BHandler(const char* name) :
	fName(name != NULL ? strdup(name) : NULL),
	fToken(BPrivate::new_handler_token(this)),
	fLooper(NULL),
	fNextHandler(NULL)
{
}

BHandler::~BHandler()
{
	// Locking the looper is a kill point; unwinding out of a destructor would end the
	// process.
	BPrivate::CancelDisabler disabler;
	// A handler that is deleted while it still belongs to a looper leaves it first, so that
	// the looper never dispatches to freed memory.
	if (LockLooper()) {
		BLooper* looper = Looper();
		looper->RemoveHandler(this);
		looper->Unlock();
	}
	BPrivate::remove_handler_token(fToken);
	free(fName);
}

void
BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != NULL) {
		fNextHandler->MessageReceived(message);
		return;
	}
	if (message->what != B_MESSAGE_NOT_UNDERSTOOD && message->IsSourceWaiting())
		message->SendReply(B_MESSAGE_NOT_UNDERSTOOD);
}

BLooper*
BHandler::Looper() const
{
	return fLooper.load(std::memory_order_acquire);
}

void
BHandler::SetName(const char* name)
{
	// The new name may be the old one.
	char* copy = name != NULL ? strdup(name) : NULL;
	free(fName);
	fName = copy;
}

const char*
BHandler::Name() const
{
	return fName;
}

void
BHandler::SetNextHandler(BHandler* handler)
{
	if (handler == this)
		return;
	if (handler != NULL && handler->Looper() != Looper())
		return;
	fNextHandler = handler;
}

BHandler*
BHandler::NextHandler() const
{
	return fNextHandler;
}

bool
BHandler::LockLooper()
{
	return LockLooperWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	BLooper* looper = Looper();
	if (looper == NULL)
		return B_BAD_VALUE;
	status_t status = looper->LockWithTimeout(timeout);
	if (status != B_OK)
		return status;
	// The handler may have moved while we waited for the lock.
	if (Looper() != looper) {
		looper->Unlock();
		return B_MISMATCHED_VALUES;
	}
	return B_OK;
}

void
BHandler::UnlockLooper()
{
	if (BLooper* looper = Looper())
		looper->Unlock();
}

void
BHandler::_SetLooper(BLooper* looper)
{
	fLooper.store(looper, std::memory_order_release);
}

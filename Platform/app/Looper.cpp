#include <Looper.h>

#include <LooperDriver.h>
#include <Message.h>
#include <MessageQueue.h>
#include <Messenger.h>
#include <MessengerPrivate.h>

#include "MessagePort.h"
#include "TokenSpace.h"

#include <ThreadPrivate.h>

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace {

// Holds the looper's lock for one dispatch; a killed looper thread releases it unwinding.
class DispatchLock {
public:
	explicit DispatchLock(BLocker& locker) :
		fLocker(locker)
	{
		fLocker.Lock();
	}

	~DispatchLock() { fLocker.Unlock(); }

	DispatchLock(const DispatchLock&) = delete;
	DispatchLock& operator=(const DispatchLock&) = delete;

private:
	BLocker& fLocker;
};

} // namespace

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity) :
	BHandler(name),
	fQueue(new BMessageQueue),
	fPreferred(NULL),
	fLastMessage(NULL),
	fDriver(NULL),
	fThread(B_ERROR),
	fInitPriority(priority),
	fRunCalled(false),
	fTerminating(false)
{
	fPort = BPrivate::create_port(portCapacity, this);
	fHandlers.push_back(this);
	_SetLooper(this);
	// BeOS behaviour: the thread that makes a looper holds its lock until Run().
	fPort->Locker().Lock();
}

BLooper::~BLooper()
{
	// Taking the lock is a kill point; unwinding out of a destructor would end the process.
	BPrivate::CancelDisabler disabler;
	fPort->Locker().Lock();
	// Senders fail from now on, and messages still waiting are deleted, which answers
	// senders that wait for replies.
	fPort->Close();
	fQueue.reset();
	delete fLastMessage;
	fLastMessage = NULL;

	for (BHandler* handler : fHandlers) {
		handler->_SetLooper(NULL);
		if (handler != this)
			handler->SetNextHandler(NULL);
	}
	fHandlers.clear();
	fPreferred = NULL;

	fPort->MarkEnded();
	_UnlockFully();
}

status_t
BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return _PostMessage(&message, this, NULL);
}

status_t
BLooper::PostMessage(BMessage* message)
{
	return _PostMessage(message, this, NULL);
}

status_t
BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return _PostMessage(&message, handler, replyTo);
}

status_t
BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	return _PostMessage(message, handler, replyTo);
}

void
BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	switch (message->what) {
		case _QUIT_:
			fTerminating = true;
			break;

		case B_QUIT_REQUESTED:
			if (handler == this) {
				_QuitRequested(message);
				break;
			}
			handler->MessageReceived(message);
			break;

		default:
			handler->MessageReceived(message);
			break;
	}
}

void
BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage*
BLooper::CurrentMessage() const
{
	return fLastMessage;
}

BMessage*
BLooper::DetachCurrentMessage()
{
	BMessage* message = fLastMessage;
	fLastMessage = NULL;
	return message;
}

BMessageQueue*
BLooper::MessageQueue() const
{
	return fQueue.get();
}

bool
BLooper::IsMessageWaiting() const
{
	return !fQueue->IsEmpty() || fPort->CountMessages() > 0;
}

void
BLooper::AddHandler(BHandler* handler)
{
	if (handler == NULL || handler->Looper() != NULL)
		return;
	fHandlers.push_back(handler);
	handler->_SetLooper(this);
	handler->SetNextHandler(this);
}

bool
BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == NULL || handler == this || handler->Looper() != this)
		return false;
	auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
	if (found == fHandlers.end())
		return false;
	fHandlers.erase(found);
	if (fPreferred == handler)
		fPreferred = NULL;
	handler->SetNextHandler(NULL);
	handler->_SetLooper(NULL);
	return true;
}

int32
BLooper::CountHandlers() const
{
	return static_cast<int32>(fHandlers.size());
}

BHandler*
BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= static_cast<int32>(fHandlers.size()))
		return NULL;
	return fHandlers[index];
}

int32
BLooper::IndexOf(BHandler* handler) const
{
	auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
	if (found == fHandlers.end())
		return B_ERROR;
	return static_cast<int32>(found - fHandlers.begin());
}

BHandler*
BLooper::PreferredHandler() const
{
	return fPreferred;
}

void
BLooper::SetPreferredHandler(BHandler* handler)
{
	if (handler != NULL && handler->Looper() == this && IndexOf(handler) >= 0)
		fPreferred = handler;
	else
		fPreferred = NULL;
}

thread_id
BLooper::Run()
{
	if (fRunCalled)
		return fThread;
	fRunCalled = true;

	if (fDriver != NULL) {
		fThread = fDriver->Start(this);
		fPort->SetDispatchThread(fThread);
		Unlock();
		// Messages posted before Run() found no dispatch to ask for.
		fPort->ClearDispatchRequest();
		fPort->RequestDispatch();
		return fThread;
	}

	const char* name = Name() != NULL ? Name() : "looper";
	fThread = spawn_thread(_ThreadEntry, name, fInitPriority, this);
	if (fThread < B_OK) {
		fRunCalled = false;
		return fThread;
	}
	fPort->SetDispatchThread(fThread);
	Unlock();
	resume_thread(fThread);
	return fThread;
}

void
BLooper::Quit()
{
	if (!Lock())
		return;

	if (!fRunCalled) {
		fTerminating = true;
		delete this;
		return;
	}

	if (find_thread(NULL) == fThread) {
		// The dispatch loop deletes the looper when this dispatch returns.
		fTerminating = true;
		Unlock();
		return;
	}

	// Another thread: the looper handles what is queued before the request, then ends.
	// The port is kept here because the looper is deleted while we wait.
	std::shared_ptr<BPrivate::MessagePort> port = fPort;
	const thread_id thread = fThread;
	const bool ownThread = fDriver == NULL;
	port->Write(new BMessage(_QUIT_), B_NULL_TOKEN, B_INFINITE_TIMEOUT, true);
	_UnlockFully();
	if (ownThread)
		wait_for_thread(thread, NULL);
	else
		port->WaitEnded();
}

bool
BLooper::QuitRequested()
{
	return true;
}

bool
BLooper::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

void
BLooper::Unlock()
{
	fPort->Locker().Unlock();
}

bool
BLooper::IsLocked() const
{
	return fPort->Locker().IsLocked();
}

status_t
BLooper::LockWithTimeout(bigtime_t timeout)
{
	// The looper may be gone: it is looked up by address, and only touched once found.
	std::shared_ptr<BPrivate::MessagePort> port = BPrivate::find_looper_port(this);
	if (port == NULL)
		return B_BAD_VALUE;
	status_t status = port->Locker().LockWithTimeout(timeout);
	if (status != B_OK)
		return status;
	if (port->IsClosed()) {
		port->Locker().Unlock();
		return B_BAD_VALUE;
	}
	return B_OK;
}

thread_id
BLooper::Thread() const
{
	return fThread;
}

team_id
BLooper::Team() const
{
	return getpid();
}

BLooper*
BLooper::LooperForThread(thread_id thread)
{
	return BPrivate::find_looper_for_thread(thread);
}

thread_id
BLooper::LockingThread() const
{
	return fPort->Locker().LockingThread();
}

int32
BLooper::CountLocks() const
{
	return fPort->Locker().CountLocks();
}

int32
BLooper::CountLockRequests() const
{
	return fPort->Locker().CountLockRequests();
}

int32
BLooper::_ThreadEntry(void* data)
{
	static_cast<BLooper*>(data)->_Loop();
	return B_OK;
}

void
BLooper::_Loop()
{
	// A looper whose thread is killed cannot go on; its port closes, so that messengers
	// to it fail instead of filling it. The looper object itself stays, as on BeOS.
	struct CloseWhenKilled {
		std::shared_ptr<BPrivate::MessagePort> port;
		bool quit = false;

		~CloseWhenKilled()
		{
			if (!quit)
				port->Close();
		}
	} closer { fPort };

	while (true) {
		closer.port->WaitForMessages();
		if (!_DispatchMessages(INT32_MAX))
			break;
		if (closer.port->IsClosed())
			return;
	}
	closer.quit = true;
	fPort->Locker().Lock();
	delete this;
}

// Dispatches waiting messages on the calling thread until none are left, maxCount have
// been dispatched, or the looper quits; false when it has quit.
bool
BLooper::_DispatchMessages(int32 maxCount)
{
	fPort->DrainInto(fQueue.get());
	int32 dispatched = 0;
	while (!fTerminating && dispatched < maxCount) {
		int32 token;
		BPrivate::SenderMark sender;
		std::unique_ptr<BMessage> message(fQueue->_NextMessage(&token, &sender));
		if (message == NULL)
			break;
		dispatched++;
		{
			DispatchLock locker(fPort->Locker());
			// The sender may have been killed while the lock was held elsewhere.
			if (sender.IsRevoked())
				continue;
			fLastMessage = message.get();
			if (BHandler* handler = _HandlerFor(token))
				DispatchMessage(message.get(), handler);
			// Detached: the handler owns it now.
			if (fLastMessage == NULL)
				message.release();
			fLastMessage = NULL;
		}
		// Deleted after unlocking: it may answer a sender that waits.
		message.reset();
		if (fPort->CountMessages() > 0)
			fPort->DrainInto(fQueue.get());
	}
	return !fTerminating;
}

// The handler a message for token goes to; NULL drops the message (its handler has gone or
// has moved to another looper).
BHandler*
BLooper::_HandlerFor(int32 token)
{
	if (token == B_NULL_TOKEN || token == fToken)
		return this;
	if (token == B_PREFERRED_TOKEN)
		return fPreferred != NULL ? fPreferred : this;
	BHandler* handler = BPrivate::handler_for_token(token);
	if (handler == NULL || handler->Looper() != this)
		return NULL;
	return handler;
}

void
BLooper::_QuitRequested(BMessage* message)
{
	const bool quit = QuitRequested();
	const thread_id thread = fThread;
	if (quit)
		Quit();
	if (message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		reply.AddBool("result", quit);
		reply.AddInt32("thread", thread);
		message->SendReply(&reply);
	}
}

status_t
BLooper::_PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (message == NULL)
		return B_BAD_VALUE;
	if (BPrivate::find_looper_port(this) == NULL)
		return B_BAD_VALUE;
	if (handler != NULL && handler->Looper() != this)
		return B_MISMATCHED_VALUES;

	status_t status;
	BMessenger messenger(handler, this, &status);
	if (status != B_OK)
		return status;
	return messenger.SendMessage(message, replyTo, 0);
}

void
BLooper::_UnlockFully()
{
	BLocker& locker = fPort->Locker();
	while (locker.IsLocked())
		locker.Unlock();
}

// #pragma mark - driver access


BPrivate::LooperDriver::~LooperDriver() { }

void
BPrivate::LooperAccess::SetDriver(BLooper* looper, LooperDriver* driver)
{
	if (looper->fRunCalled)
		return;
	looper->fDriver = driver;
	looper->fPort->SetDriver(driver);
}

bool
BPrivate::LooperAccess::DispatchMessages(port_id portID, int32 maxCount)
{
	std::shared_ptr<MessagePort> port = find_port(portID);
	if (port == NULL)
		return false;
	BLooper* looper = port->Looper();
	if (looper == NULL || !looper->fRunCalled)
		return false;

	port->ClearDispatchRequest();
	if (!looper->_DispatchMessages(maxCount)) {
		port->Locker().Lock();
		delete looper;
		return false;
	}
	if (!looper->fQueue->IsEmpty() || port->CountMessages() > 0)
		port->RequestDispatch();
	return true;
}

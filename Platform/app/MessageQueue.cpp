#include <MessageQueue.h>

#include <Autolock.h>
#include <MessengerPrivate.h>

#include <memory>
#include <vector>

BMessageQueue::BMessageQueue() :
	fLock("message queue")
{
}

BMessageQueue::~BMessageQueue()
{
	for (const Item& item : fItems)
		delete item.message;
}

void
BMessageQueue::AddMessage(BMessage* message)
{
	_AddMessage(message, B_NULL_TOKEN, BPrivate::SenderMark());
}

void
BMessageQueue::RemoveMessage(BMessage* message)
{
	BAutolock locker(fLock);
	for (auto it = fItems.begin(); it != fItems.end(); ++it) {
		if (it->message == message) {
			fItems.erase(it);
			return;
		}
	}
}

int32
BMessageQueue::CountMessages() const
{
	BAutolock locker(fLock);
	return static_cast<int32>(fItems.size());
}

bool
BMessageQueue::IsEmpty() const
{
	BAutolock locker(fLock);
	return fItems.empty();
}

BMessage*
BMessageQueue::FindMessage(int32 index) const
{
	BAutolock locker(fLock);
	if (index < 0 || index >= static_cast<int32>(fItems.size()))
		return NULL;
	return fItems[index].message;
}

BMessage*
BMessageQueue::FindMessage(uint32 what, int32 index) const
{
	BAutolock locker(fLock);
	if (index < 0)
		return NULL;
	for (const Item& item : fItems) {
		if (item.message->what == what && index-- == 0)
			return item.message;
	}
	return NULL;
}

bool
BMessageQueue::Lock()
{
	return fLock.Lock();
}

void
BMessageQueue::Unlock()
{
	fLock.Unlock();
}

bool
BMessageQueue::IsLocked() const
{
	return fLock.IsLocked();
}

BMessage*
BMessageQueue::NextMessage()
{
	int32 token;
	return _NextMessage(&token);
}

bool
BMessageQueue::IsNextMessage(const BMessage* message) const
{
	BAutolock locker(fLock);
	return !fItems.empty() && fItems.front().message == message;
}

void
BMessageQueue::_AddMessage(BMessage* message, int32 token, const BPrivate::SenderMark& sender)
{
	if (message == NULL)
		return;
	BAutolock locker(fLock);
	fItems.push_back({ message, token, sender });
}

BMessage*
BMessageQueue::_NextMessage(int32* token, BPrivate::SenderMark* sender)
{
	// A killed thread's messages still waiting here must not be dispatched: the owner that
	// killed the thread has gone on as if they never came. They are deleted after the
	// queue is unlocked, since deleting a message may answer a waiting sender.
	std::vector<std::unique_ptr<BMessage>> revoked;
	BAutolock locker(fLock);
	while (!fItems.empty()) {
		Item item = fItems.front();
		fItems.pop_front();
		if (item.sender.IsRevoked()) {
			revoked.emplace_back(item.message);
			continue;
		}
		*token = item.token;
		if (sender != NULL)
			*sender = item.sender;
		locker.Unlock();
		return item.message;
	}
	locker.Unlock();
	return NULL;
}

#include "MessagePort.h"

#include <LooperDriver.h>
#include <MessageQueue.h>
#include <ThreadPrivate.h>

#include <mutex>
#include <unordered_map>

namespace {

// The port table, the counterpart of the BeOS kernel's: port ids are never reused, so a
// messenger to a looper that is gone cannot reach a newer one.
struct PortTable {
	std::mutex lock;
	std::unordered_map<port_id, std::weak_ptr<BPrivate::MessagePort>> ports;
	std::unordered_map<const BLooper*, std::weak_ptr<BPrivate::MessagePort>> loopers;
	port_id nextID = 1;
};

PortTable&
port_table()
{
	static PortTable* table = new PortTable;
	return *table;
}

port_id
next_port_id()
{
	PortTable& table = port_table();
	std::lock_guard<std::mutex> locker(table.lock);
	return table.nextID++;
}

// Unlocks the port's mutex however the scope is left, killed threads included.
class MutexLocker {
public:
	explicit MutexLocker(pthread_mutex_t* mutex) :
		fMutex(mutex)
	{
		pthread_mutex_lock(fMutex);
	}

	~MutexLocker() { pthread_mutex_unlock(fMutex); }

	MutexLocker(const MutexLocker&) = delete;
	MutexLocker& operator=(const MutexLocker&) = delete;

private:
	pthread_mutex_t* fMutex;
};

// Counts a waiter for the scope, so that the other side signals only when someone waits.
class WaiterCount {
public:
	explicit WaiterCount(int32& count) :
		fCount(count)
	{
		fCount++;
	}

	~WaiterCount() { fCount--; }

	WaiterCount(const WaiterCount&) = delete;
	WaiterCount& operator=(const WaiterCount&) = delete;

private:
	int32& fCount;
};

} // namespace

namespace BPrivate {

MessagePort::MessagePort(int32 capacity, BLooper* looper) :
	fID(next_port_id()),
	fCapacity(capacity > 0 ? static_cast<size_t>(capacity) : 1),
	fLocker("looper lock"),
	fWaitingReaders(0),
	fWaitingWriters(0),
	fClosed(false),
	fLooper(looper),
	fDispatchThread(-1),
	fDriver(nullptr),
	fDispatchRequested(false),
	fEnded(false)
{
	pthread_mutex_init(&fMutex, nullptr);
	init_condition(&fNotEmpty);
	init_condition(&fNotFull);
}

MessagePort::~MessagePort()
{
	for (const Entry& entry : fEntries)
		delete entry.message;
	pthread_cond_destroy(&fNotFull);
	pthread_cond_destroy(&fNotEmpty);
	pthread_mutex_destroy(&fMutex);
}

status_t
MessagePort::Write(BMessage* message, int32 token, bigtime_t timeout, bool ignoreCapacity)
{
	std::unique_ptr<BMessage> owned(message);
	bool tellDriver = false;
	status_t status = _Enqueue(owned, token, timeout, ignoreCapacity, tellDriver);
	if (tellDriver) {
		if (LooperDriver* driver = fDriver.load())
			driver->MessagePosted(fID);
	}
	if (status == B_CANCELED) {
		owned.reset();
		check_thread_killed();
	}
	return status;
}

status_t
MessagePort::_Enqueue(std::unique_ptr<BMessage>& message, int32 token, bigtime_t timeout,
	bool ignoreCapacity, bool& tellDriver)
{
	MutexLocker locker(&fMutex);
	if (!ignoreCapacity && !fClosed && fEntries.size() >= fCapacity
		&& fDispatchThread.load() != find_thread(NULL)) {
		if (timeout == 0)
			return B_WOULD_BLOCK;
		const bigtime_t deadline = deadline_after(timeout);
		WaiterCount waiting(fWaitingWriters);
		while (!fClosed && fEntries.size() >= fCapacity) {
			if (wait_condition(&fNotFull, &fMutex, deadline) == B_TIMED_OUT && !fClosed
				&& fEntries.size() >= fCapacity) {
				return B_TIMED_OUT;
			}
		}
	}
	if (fClosed)
		return B_BAD_PORT_ID;
	// Checked under the lock that the reader takes: once kill_thread() has returned,
	// nothing more from the killed thread gets in.
	if (thread_is_killed())
		return B_CANCELED;

	fEntries.push_back({ message.release(), token, current_sender_mark() });
	if (fWaitingReaders > 0)
		pthread_cond_signal(&fNotEmpty);
	if (fDriver.load() != nullptr && !fDispatchRequested.exchange(true))
		tellDriver = true;
	return B_OK;
}

void
MessagePort::WaitForMessages()
{
	MutexLocker locker(&fMutex);
	WaiterCount waiting(fWaitingReaders);
	while (!fClosed && fEntries.empty())
		wait_condition(&fNotEmpty, &fMutex, B_INFINITE_TIMEOUT);
}

void
MessagePort::DrainInto(BMessageQueue* queue)
{
	// fSpare is only touched by the reading thread, the port's lock keeps fEntries.
	{
		MutexLocker locker(&fMutex);
		if (fEntries.empty())
			return;
		fEntries.swap(fSpare);
		if (fWaitingWriters > 0)
			pthread_cond_broadcast(&fNotFull);
	}
	queue->Lock();
	for (const Entry& entry : fSpare)
		queue->_AddMessage(entry.message, entry.token, entry.sender);
	queue->Unlock();
	fSpare.clear();
}

int32
MessagePort::CountMessages()
{
	MutexLocker locker(&fMutex);
	return static_cast<int32>(fEntries.size());
}

void
MessagePort::SetDispatchThread(thread_id thread)
{
	fDispatchThread = thread;
}

thread_id
MessagePort::DispatchThread() const
{
	return fDispatchThread;
}

void
MessagePort::SetDriver(LooperDriver* driver)
{
	fDriver = driver;
}

LooperDriver*
MessagePort::Driver() const
{
	return fDriver;
}

void
MessagePort::ClearDispatchRequest()
{
	fDispatchRequested = false;
}

void
MessagePort::RequestDispatch()
{
	LooperDriver* driver = fDriver.load();
	if (driver != nullptr && !fDispatchRequested.exchange(true))
		driver->MessagePosted(fID);
}

BLooper*
MessagePort::Looper()
{
	MutexLocker locker(&fMutex);
	return fLooper;
}

bool
MessagePort::IsClosed()
{
	MutexLocker locker(&fMutex);
	return fClosed;
}

void
MessagePort::Close()
{
	std::vector<Entry> leftovers;
	const BLooper* looper;
	{
		MutexLocker locker(&fMutex);
		if (fClosed)
			return;
		fClosed = true;
		looper = fLooper;
		fLooper = nullptr;
		leftovers.swap(fEntries);
		pthread_cond_broadcast(&fNotFull);
		pthread_cond_broadcast(&fNotEmpty);
	}
	{
		PortTable& table = port_table();
		std::lock_guard<std::mutex> locker(table.lock);
		table.ports.erase(fID);
		auto found = table.loopers.find(looper);
		if (found != table.loopers.end() && found->second.lock().get() == this)
			table.loopers.erase(found);
	}
	// Deleting a message answers a sender that waits for its reply.
	for (const Entry& entry : leftovers)
		delete entry.message;
}

void
MessagePort::MarkEnded()
{
	CancelableWait::Locker locker(fEndWait);
	fEnded = true;
	fEndWait.NotifyAll();
}

void
MessagePort::WaitEnded()
{
	CancelableWait::Locker locker(fEndWait);
	fEndWait.WaitFor([this] { return fEnded; }, B_INFINITE_TIMEOUT);
}

std::shared_ptr<MessagePort>
create_port(int32 capacity, BLooper* looper)
{
	auto port = std::make_shared<MessagePort>(capacity, looper);
	PortTable& table = port_table();
	std::lock_guard<std::mutex> locker(table.lock);
	table.ports[port->ID()] = port;
	table.loopers[looper] = port;
	return port;
}

std::shared_ptr<MessagePort>
find_port(port_id id)
{
	PortTable& table = port_table();
	std::lock_guard<std::mutex> locker(table.lock);
	auto found = table.ports.find(id);
	return found != table.ports.end() ? found->second.lock() : nullptr;
}

std::shared_ptr<MessagePort>
find_looper_port(const BLooper* looper)
{
	if (looper == nullptr)
		return nullptr;
	PortTable& table = port_table();
	std::lock_guard<std::mutex> locker(table.lock);
	auto found = table.loopers.find(looper);
	return found != table.loopers.end() ? found->second.lock() : nullptr;
}

BLooper*
find_looper_for_thread(thread_id thread)
{
	std::vector<std::shared_ptr<MessagePort>> ports;
	{
		PortTable& table = port_table();
		std::lock_guard<std::mutex> locker(table.lock);
		for (const auto& entry : table.ports) {
			if (auto port = entry.second.lock())
				ports.push_back(port);
		}
	}
	for (const auto& port : ports) {
		if (port->DispatchThread() == thread) {
			if (BLooper* looper = port->Looper())
				return looper;
		}
	}
	return nullptr;
}

} // namespace BPrivate

#include "GuiLooper.h"

#include <Looper.h>

#include "../../app/MessagePort.h"
#include "GuiThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <mutex>
#include <set>
#include <unistd.h>

namespace BPrivate {

namespace {

// How many messages one Qt event dispatches: enough to keep up, few enough that painting
// and input of other windows get their turn.
const int32 kBatchSize = 50;

// How soon a looper whose lock is held elsewhere is tried again.
const int kRetryMilliseconds = 5;

const QEvent::Type kDispatchEvent = static_cast<QEvent::Type>(QEvent::User + 0x4245);

class DispatchEvent : public QEvent {
public:
	explicit DispatchEvent(port_id port) :
		QEvent(kDispatchEvent),
		fPort(port)
	{
	}

	port_id Port() const { return fPort; }

private:
	port_id fPort;
};

class Dispatcher : public QObject {
public:
	void Post(port_id port) { QCoreApplication::postEvent(this, new DispatchEvent(port)); }

	bool IsDispatching(port_id port) const { return fDispatching.count(port) > 0; }

protected:
	bool event(QEvent* event) override
	{
		if (event->type() != kDispatchEvent)
			return QObject::event(event);
		_Dispatch(static_cast<DispatchEvent*>(event)->Port());
		return true;
	}

private:
	void _Dispatch(port_id id)
	{
		std::shared_ptr<MessagePort> port = find_port(id);
		if (port == NULL)
			return;
		if (fDispatching.count(id) > 0) {
			fDeferred.insert(id);
			return;
		}
		if (port->Locker().LockWithTimeout(0) != B_OK) {
			QTimer::singleShot(kRetryMilliseconds, this, [this, id]() { _Dispatch(id); });
			return;
		}
		fDispatching.insert(id);
		bool alive = LooperAccess::DispatchMessages(id, kBatchSize);
		fDispatching.erase(id);
		port->Locker().Unlock();

		// A dispatch asked for while this one ran was put off; it is owed now.
		if (fDeferred.erase(id) > 0 && alive && !port->IsClosed())
			Post(id);
	}

	std::set<port_id> fDispatching;
	std::set<port_id> fDeferred;
};

Dispatcher* sDispatcher = nullptr;
std::once_flag sDispatcherOnce;

Dispatcher*
dispatcher()
{
	std::call_once(sDispatcherOnce, []() {
		sDispatcher = new Dispatcher;
		QCoreApplication* application = QCoreApplication::instance();
		if (application != nullptr)
			sDispatcher->moveToThread(application->thread());
	});
	return sDispatcher;
}

} // namespace

GuiLooperDriver*
GuiLooperDriver::Default()
{
	static GuiLooperDriver driver;
	return &driver;
}

thread_id
GuiLooperDriver::Start(BLooper*)
{
	dispatcher();
	return gui_thread_id();
}

void
GuiLooperDriver::MessagePosted(port_id port)
{
	dispatcher()->Post(port);
}

thread_id
gui_thread_id()
{
	// The QApplication is made on the main thread, whose id is the process id.
	return (thread_id)getpid();
}

bool
is_dispatching(const BLooper* looper)
{
	std::shared_ptr<MessagePort> port = find_looper_port(looper);
	if (port == NULL || sDispatcher == nullptr)
		return false;
	return sDispatcher->IsDispatching(port->ID());
}

} // namespace BPrivate

// The drop filter sits on a window's widget. The view under the point is found with the
// window locked (briefly: a window that stays busy refuses the drop rather than stall the
// GUI thread), and the message goes straight into the window's port so that it keeps the
// drop information a messenger would clear.
#include "DropFilter.h"

#include <AppDefs.h>
#include <Entry.h>
#include <Message.h>
#include <MessagePort.h>
#include <MessagePrivate.h>
#include <Messenger.h>
#include <MessengerPrivate.h>
#include <View.h>
#include <Window.h>

#include "WindowData.h"

#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <cmath>
#include <optional>

namespace BPrivate {

namespace {

const bigtime_t kLockTimeout = 100000;

// The refs of the local files among the URLs; none when nothing is a local file.
bool
refs_message(const QMimeData* data, BMessage& message)
{
	if (data == nullptr || !data->hasUrls())
		return false;
	bool any = false;
	for (const QUrl& url : data->urls()) {
		if (!url.isLocalFile())
			continue;
		const QByteArray path = url.toLocalFile().toUtf8();
		entry_ref ref;
		if (BEntry(path.constData()).GetRef(&ref) != B_OK)
			continue;
		message.AddRef("refs", &ref);
		any = true;
	}
	return any;
}

class DropFilter : public QObject {
public:
	DropFilter(QWidget* widget, BWindow* window) :
		QObject(widget),
		fWindow(window)
	{
	}

	bool eventFilter(QObject* watched, QEvent* event) override
	{
		switch (event->type()) {
			case QEvent::DragEnter:
			case QEvent::DragMove: {
				QDropEvent* drag = static_cast<QDropEvent*>(event);
				BMessage probe(B_SIMPLE_DATA);
				if (refs_message(drag->mimeData(), probe)) {
					drag->acceptProposedAction();
					PassOver(drag->position(), &probe, false);
				} else
					drag->ignore();
				return true;
			}
			case QEvent::DragLeave:
				if (fDragging.has_value())
					PassOver(QPointF(), nullptr, true);
				return true;
			case QEvent::Drop: {
				QDropEvent* drop = static_cast<QDropEvent*>(event);
				fDragging.reset();
				if (Deliver(static_cast<QWidget*>(watched), drop))
					drop->acceptProposedAction();
				else
					drop->ignore();
				return true;
			}
			default:
				return QObject::eventFilter(watched, event);
		}
	}

private:
	// The drag passing over the window reaches the views as B_MOUSE_MOVED with the drag's
	// message ("be:drag_message"), so that the window computes the transit codes and a
	// view can mark itself while a drag it would take is over it; leaving the window is a
	// mouse-moved with "be:exited".
	void PassOver(QPointF position, const BMessage* drag, bool exited)
	{
		if (drag != nullptr)
			fDragging = *drag;
		BMessage message(B_MOUSE_MOVED);
		message.AddInt64("when", system_time());
		BPoint where(floorf(float(position.x())), floorf(float(position.y())));
		if (exited) {
			uint32 buttons = 0;
			WindowData::Of(fWindow).GetMouse(&where, &buttons);
			message.AddBool("be:exited", true);
		} else
			WindowData::Of(fWindow).SetMouse(where, B_PRIMARY_MOUSE_BUTTON);
		message.AddPoint("where", where);
		message.AddInt32("buttons", exited ? 0 : B_PRIMARY_MOUSE_BUTTON);
		message.AddInt32("modifiers", 0);
		message.AddMessage("be:drag_message", &*fDragging);
		if (exited)
			fDragging.reset();
		fWindow->PostMessage(&message, fWindow);
	}

	bool Deliver(QWidget* widget, QDropEvent* drop)
	{
		BMessage* message = new BMessage(B_SIMPLE_DATA);
		if (!refs_message(drop->mimeData(), *message)) {
			delete message;
			return false;
		}
		const QPointF local = drop->position();
		const QPoint global = widget->mapToGlobal(local.toPoint());
		BMessenger target;
		if (fWindow->LockWithTimeout(kLockTimeout) != B_OK) {
			delete message;
			return false;
		}
		BView* view = fWindow->FindView(BPoint(float(local.x()), float(local.y())));
		target = view != NULL ? BMessenger(view, fWindow) : BMessenger(fWindow);
		fWindow->Unlock();

		BMessenger::Private access(target);
		std::shared_ptr<MessagePort> port = find_port(access.Port());
		if (port == nullptr) {
			delete message;
			return false;
		}
		BMessage::Private delivery(message);
		delivery.SetWasDelivered(true);
		delivery.SetWasDropped(true);
		delivery.SetDropPoint(BPoint(float(global.x()), float(global.y())), BPoint(0, 0));
		return port->Write(message, access.Token(), 0) == B_OK;
	}

	BWindow* fWindow;
	// The message of the drag over the window, while there is one.
	std::optional<BMessage> fDragging;
};

} // namespace

void
install_drop_filter(QWidget* widget, BWindow* window)
{
	widget->setAcceptDrops(true);
	widget->installEventFilter(new DropFilter(widget, window));
}

} // namespace BPrivate

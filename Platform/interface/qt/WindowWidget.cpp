#include "WindowWidget.h"

#include <Message.h>
#include <Window.h>

#include "DropFilter.h"
#include "InputMapping.h"
#include "WindowData.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace BPrivate {

WindowWidget::WindowWidget(BWindow* window) :
	QWidget(nullptr),
	fWindow(window),
	fApplyingFrame(false)
{
	setMouseTracking(true);
	setFocusPolicy(Qt::StrongFocus);
	setAttribute(Qt::WA_NoSystemBackground);
	setAttribute(Qt::WA_InputMethodEnabled, false);
	install_drop_filter(this, window);
}

WindowWidget::~WindowWidget() { }

bool
WindowWidget::event(QEvent* event)
{
	// Tab belongs to the views (BeOS keyboard navigation), not to Qt's focus chain.
	if (event->type() == QEvent::KeyPress) {
		QKeyEvent* key = static_cast<QKeyEvent*>(event);
		if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
			keyPressEvent(key);
			return true;
		}
	}
	return QWidget::event(event);
}

bool
WindowWidget::focusNextPrevChild(bool)
{
	return false;
}

void
WindowWidget::closeEvent(QCloseEvent* event)
{
	event->ignore();
	if ((WindowData::Of(fWindow).fFlags & B_NOT_CLOSABLE) != 0)
		return;
	BMessage message(B_QUIT_REQUESTED);
	_Post(&message);
}

void
WindowWidget::keyPressEvent(QKeyEvent* event)
{
	_PostKey(B_KEY_DOWN, event);
}

void
WindowWidget::keyReleaseEvent(QKeyEvent* event)
{
	if (!event->isAutoRepeat())
		_PostKey(B_KEY_UP, event);
}

void
WindowWidget::mousePressEvent(QMouseEvent* event)
{
	_PostMouse(B_MOUSE_DOWN, event, 1);
}

void
WindowWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
	_PostMouse(B_MOUSE_DOWN, event, 2);
}

void
WindowWidget::mouseReleaseEvent(QMouseEvent* event)
{
	_PostMouse(B_MOUSE_UP, event, 0);
}

void
WindowWidget::mouseMoveEvent(QMouseEvent* event)
{
	_PostMouse(B_MOUSE_MOVED, event, 0);
}

void
WindowWidget::leaveEvent(QEvent*)
{
	// The pointer left the window: the view under it hears B_EXITED_VIEW.
	BMessage message(B_MOUSE_MOVED);
	message.AddInt64("when", system_time());
	message.AddBool("be:exited", true);
	uint32 buttons = 0;
	BPoint where;
	WindowData::Of(fWindow).GetMouse(&where, &buttons);
	message.AddPoint("where", where);
	message.AddInt32("buttons", (int32)buttons);
	message.AddInt32("modifiers", (int32)noted_modifiers());
	_Post(&message);
}

void
WindowWidget::changeEvent(QEvent* event)
{
	if (event->type() == QEvent::ActivationChange) {
		bool active = isActiveWindow();
		WindowData& data = WindowData::Of(fWindow);
		if (active)
			set_front_window(fWindow);
		if (data.fActive.exchange(active) != active) {
			BMessage message(B_WINDOW_ACTIVATED);
			message.AddInt64("when", system_time());
			message.AddBool("active", active);
			_Post(&message);
		}
	}
	QWidget::changeEvent(event);
}

void
WindowWidget::moveEvent(QMoveEvent* event)
{
	QWidget::moveEvent(event);
	if (fApplyingFrame)
		return;
	QRect geometry = this->geometry();
	BMessage message(B_WINDOW_MOVED);
	message.AddInt64("when", system_time());
	message.AddPoint("where", BPoint(geometry.x(), geometry.y()));
	_Post(&message);
}

void
WindowWidget::resizeEvent(QResizeEvent* event)
{
	QWidget::resizeEvent(event);
	if (fApplyingFrame)
		return;
	BMessage message(B_WINDOW_RESIZED);
	message.AddInt64("when", system_time());
	message.AddFloat("width", width() - 1);
	message.AddFloat("height", height() - 1);
	_Post(&message);
}

void
WindowWidget::paintEvent(QPaintEvent*)
{
	// The top view covers the window; this shows only while it is being laid out.
	QPainter painter(this);
	painter.fillRect(rect(), QColor(216, 216, 216));
}

void
WindowWidget::_PostKey(uint32 what, QKeyEvent* event)
{
	KeyStroke stroke = be_key_stroke(event->key(), event->modifiers(), event->text());
	if (stroke.bytes.empty()) {
		// A modifier key alone: only the modifier state changes.
		note_modifiers(be_modifiers(event->modifiers()));
		return;
	}
	uint32 modifiers = be_modifiers(event->modifiers());
	note_modifiers(modifiers);
	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddInt32("modifiers", (int32)modifiers);
	message.AddInt32("key", stroke.key);
	message.AddInt8("byte", (int8)stroke.bytes[0]);
	message.AddString("bytes", stroke.bytes.c_str());
	message.AddInt32("raw_char", stroke.rawChar);
	if (event->isAutoRepeat())
		message.AddInt32("be:key_repeat", 1);
	// Keys go to the focus view, the window's preferred handler.
	fWindow->PostMessage(&message, NULL);
}

void
WindowWidget::_PostMouse(uint32 what, QMouseEvent* event, int32 clicks)
{
	QPointF position = event->position();
	BPoint where(floorf(position.x()), floorf(position.y()));
	uint32 buttons = be_buttons(event->buttons());
	WindowData::Of(fWindow).SetMouse(where, buttons);

	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddPoint("where", where);
	QPointF global = event->globalPosition();
	message.AddPoint("screen_where", BPoint(floorf(global.x()), floorf(global.y())));
	uint32 modifiers = be_modifiers(event->modifiers());
	note_modifiers(modifiers);
	message.AddInt32("modifiers", (int32)modifiers);
	message.AddInt32("buttons", (int32)buttons);
	if (what == B_MOUSE_DOWN)
		message.AddInt32("clicks", clicks);
	_Post(&message);
}

void
WindowWidget::_Post(BMessage* message)
{
	fWindow->PostMessage(message, fWindow);
}

} // namespace BPrivate

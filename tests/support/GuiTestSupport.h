// Helpers for the GUI tests: run the event loop until something has happened, send a
// window the input a user would, and take screenshots.
#ifndef TESTS_GUI_TEST_SUPPORT_H
#define TESTS_GUI_TEST_SUPPORT_H

#include <Window.h>

#include "qt/WindowData.h"
#include "qt/WindowWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>

#include <functional>

namespace gui_test {

// Runs the event loop until the condition holds; false when timeout ran out first.
inline bool
wait_until(const std::function<bool()>& condition, int timeoutMilliseconds = 5000)
{
	QElapsedTimer timer;
	timer.start();
	while (!condition()) {
		if (timer.elapsed() > timeoutMilliseconds)
			return false;
		QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
		QThread::msleep(1);
	}
	return true;
}

// Runs the event loop for a while.
inline void
run_for(int milliseconds)
{
	QElapsedTimer timer;
	timer.start();
	while (timer.elapsed() < milliseconds) {
		QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
		QThread::msleep(1);
	}
}

inline QWidget*
widget_of(BWindow* window)
{
	return BPrivate::WindowData::Of(window).fWidget;
}

inline void
send_key(BWindow* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
	const QString& text = QString())
{
	QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
	QCoreApplication::sendEvent(widget_of(window), &press);
	QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
	QCoreApplication::sendEvent(widget_of(window), &release);
}

// A mouse event at a point in window coordinates.
inline void
send_mouse(BWindow* window, QEvent::Type type, BPoint where, Qt::MouseButton button = Qt::NoButton,
	Qt::MouseButtons buttons = Qt::NoButton)
{
	QWidget* widget = widget_of(window);
	QPointF local(where.x + 0.5, where.y + 0.5);
	QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &event);
}

inline void
click(BWindow* window, BPoint where, Qt::MouseButton button = Qt::LeftButton)
{
	send_mouse(window, QEvent::MouseMove, where);
	send_mouse(window, QEvent::MouseButtonPress, where, button, button);
	send_mouse(window, QEvent::MouseButtonRelease, where, button, Qt::NoButton);
}

// The window as it is drawn now (after the pending paints).
inline QImage
grab(BWindow* window)
{
	QCoreApplication::processEvents();
	return widget_of(window)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace gui_test

#endif // TESTS_GUI_TEST_SUPPORT_H

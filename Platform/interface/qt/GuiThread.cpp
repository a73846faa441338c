#include "GuiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace BPrivate {

bool
is_gui_thread()
{
	QCoreApplication* application = QCoreApplication::instance();
	return application != nullptr && QThread::currentThread() == application->thread();
}

void
assert_gui_thread(const char* where)
{
	if (is_gui_thread())
		return;
	fprintf(stderr, "%s: called off the GUI thread\n", where);
	abort();
}

void
post_to_gui_thread(QObject* context, std::function<void()> function)
{
	QMetaObject::invokeMethod(context, std::move(function), Qt::QueuedConnection);
}

} // namespace BPrivate

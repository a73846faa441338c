#include "ViewWidget.h"

#include <View.h>
#include <Window.h>

#include "ViewData.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace BPrivate {

namespace {

// How soon a paint is tried again when another thread holds the window's lock.
const int kPaintRetryMilliseconds = 10;

} // namespace

ViewWidget::ViewWidget(BView* view, QWidget* parent) :
	QWidget(parent),
	fView(view),
	fRetryPending(false)
{
	setAttribute(Qt::WA_TransparentForMouseEvents);
	setAttribute(Qt::WA_NoSystemBackground);
	setFocusPolicy(Qt::NoFocus);
}

ViewWidget::~ViewWidget() { }

void
ViewWidget::ForgetView()
{
	fView.store(nullptr);
}

void
ViewWidget::paintEvent(QPaintEvent* event)
{
	BView* view = fView.load();
	if (view == nullptr)
		return;
	BWindow* window = view->Window();
	if (window != NULL && window->LockWithTimeout(0) != B_OK) {
		// Never wait for another thread here; paint once it lets go.
		if (!fRetryPending) {
			fRetryPending = true;
			QTimer::singleShot(kPaintRetryMilliseconds, this, [this]() {
				fRetryPending = false;
				update();
			});
		}
		return;
	}
	// The lock was taken before looking at the view again: a thread that deletes views
	// holds it, so the view is either still here or already forgotten.
	view = fView.load();
	if (view != nullptr) {
		QPainter painter(this);
		ViewData::Of(view).Paint(painter, event->rect());
	}
	if (window != NULL)
		window->Unlock();
}

} // namespace BPrivate

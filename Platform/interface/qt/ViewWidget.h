// The Qt widget of a BView: it paints the view (view colour, then Draw()) and clips its
// children. It takes no input itself: the window widget receives all mouse and key events
// and the window routes them through the view tree, as BeOS does.
#ifndef _VIEW_WIDGET_H
#define _VIEW_WIDGET_H

#include <QWidget>

#include <atomic>

class BView;

namespace BPrivate {

class ViewWidget : public QWidget {
	Q_OBJECT

public:
	ViewWidget(BView* view, QWidget* parent);
	~ViewWidget() override;

	BView* View() const { return fView.load(); }

	// The view is going away: the widget no longer touches it.
	void ForgetView();

protected:
	void paintEvent(QPaintEvent* event) override;

private:
	std::atomic<BView*> fView;
	bool fRetryPending;
};

} // namespace BPrivate

#endif // _VIEW_WIDGET_H

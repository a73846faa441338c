// The top-level Qt widget of a BWindow. It turns Qt's events into the BeOS messages the
// window dispatches (keys, mouse, activation, frame changes) and never closes by itself:
// the close box asks the window's QuitRequested().
#ifndef _WINDOW_WIDGET_H
#define _WINDOW_WIDGET_H

#include <SupportDefs.h>

#include <QWidget>

class BMessage;
class BWindow;
class QMouseEvent;

namespace BPrivate {

class WindowWidget : public QWidget {
	Q_OBJECT

public:
	explicit WindowWidget(BWindow* window);
	~WindowWidget() override;

	// While the window itself moves or resizes the widget, the events that follow are
	// not the user's.
	void SetApplyingFrame(bool applying) { fApplyingFrame = applying; }

protected:
	bool event(QEvent* event) override;
	bool focusNextPrevChild(bool next) override;
	void closeEvent(QCloseEvent* event) override;
	void keyPressEvent(QKeyEvent* event) override;
	void keyReleaseEvent(QKeyEvent* event) override;
	void mousePressEvent(QMouseEvent* event) override;
	void mouseDoubleClickEvent(QMouseEvent* event) override;
	void mouseReleaseEvent(QMouseEvent* event) override;
	void mouseMoveEvent(QMouseEvent* event) override;
	void leaveEvent(QEvent* event) override;
	void changeEvent(QEvent* event) override;
	void moveEvent(QMoveEvent* event) override;
	void resizeEvent(QResizeEvent* event) override;
	void paintEvent(QPaintEvent* event) override;

private:
	void _PostKey(uint32 what, QKeyEvent* event);
	void _PostMouse(uint32 what, QMouseEvent* event, int32 clicks);
	void _Post(BMessage* message);

	BWindow* fWindow;
	bool fApplyingFrame;
};

} // namespace BPrivate

#endif // _WINDOW_WIDGET_H

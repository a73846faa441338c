#include "WindowData.h"

#include <Application.h>
#include <Button.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "GuiThread.h"
#include "ViewData.h"
#include "WindowWidget.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace BPrivate {

namespace {

const QEvent::Type kSyncEvent = static_cast<QEvent::Type>(QEvent::User + 0x4246);

// How soon a synchronisation is tried again while another thread holds the window.
const int kSyncRetryMilliseconds = 5;

std::atomic<BWindow*> sFrontWindow(nullptr);

} // namespace

BWindow*
front_window()
{
	return sFrontWindow.load();
}

void
set_front_window(BWindow* window)
{
	sFrontWindow.store(window);
}

void
forget_front_window(BWindow* window)
{
	BWindow* expected = window;
	sFrontWindow.compare_exchange_strong(expected, nullptr);
}

// #pragma mark - WindowSync


WindowSync::WindowSync(BWindow* window, WindowData* data) :
	fWindow(window),
	fData(data),
	fPosted(false),
	fPulsePending(false),
	fPulseTimer(nullptr),
	fRetryPending(false)
{
	fMessenger.SetTo(window);
	QCoreApplication* application = QCoreApplication::instance();
	if (application != nullptr)
		moveToThread(application->thread());

	// A change of the screen's size reaches the window as B_SCREEN_CHANGED.
	QScreen* screen = QGuiApplication::primaryScreen();
	if (screen != nullptr) {
		connect(screen, &QScreen::geometryChanged, this, [this](const QRect& geometry) {
			BMessage message(B_SCREEN_CHANGED);
			message.AddInt64("when", system_time());
			message.AddRect("frame", BRect(0, 0, geometry.width() - 1, geometry.height() - 1));
			message.AddInt32("mode", B_RGB32);
			fMessenger.SendMessage(&message);
		});
	}
}

void
WindowSync::Forget()
{
	fData.store(nullptr);
}

void
WindowSync::Post()
{
	if (!fPosted.exchange(true))
		QCoreApplication::postEvent(this, new QEvent(kSyncEvent));
}

void
WindowSync::SetPulseRate(bigtime_t rate)
{
	assert_gui_thread("BWindow::SetPulseRate");
	if (rate <= 0) {
		if (fPulseTimer != nullptr)
			fPulseTimer->stop();
		return;
	}
	if (fPulseTimer == nullptr) {
		fPulseTimer = new QTimer(this);
		fPulseTimer->setTimerType(Qt::PreciseTimer);
		connect(fPulseTimer, &QTimer::timeout, this, [this]() { _Pulse(); });
	}
	int milliseconds = (int)std::max<bigtime_t>(1, rate / 1000);
	if (!fPulseTimer->isActive() || fPulseTimer->interval() != milliseconds)
		fPulseTimer->start(milliseconds);
}

bool
WindowSync::event(QEvent* event)
{
	if (event->type() != kSyncEvent)
		return QObject::event(event);
	fPosted.store(false);
	_Synchronize();
	return true;
}

void
WindowSync::_Synchronize()
{
	if (fData.load() == nullptr)
		return;
	// Locking a window that has gone fails safely; one that another thread holds is
	// tried again shortly, because the GUI thread never waits for another thread.
	if (fWindow->LockWithTimeout(0) != B_OK) {
		if (fData.load() != nullptr && !fRetryPending) {
			fRetryPending = true;
			QTimer::singleShot(kSyncRetryMilliseconds, this, [this]() {
				fRetryPending = false;
				_Synchronize();
			});
		}
		return;
	}
	WindowData* data = fData.load();
	if (data != nullptr)
		data->Synchronize();
	fWindow->Unlock();
}

void
WindowSync::_Pulse()
{
	WindowData* data = fData.load();
	if (data == nullptr || data->fPulseViews.load() <= 0)
		return;
	// One pulse waits at most: a slow window does not pile them up.
	if (fPulsePending.exchange(true))
		return;
	if (fMessenger.SendMessage(B_PULSE) != B_OK)
		fPulsePending.store(false);
}

// #pragma mark - WindowData


WindowData::WindowData(BWindow* window, BRect frame, const char* title, window_look look,
	window_feel feel, uint32 flags, uint32 workspaces) :
	fWindow(window),
	fFrame(frame),
	fTitle(title != NULL ? title : ""),
	fLook(look),
	fFeel(feel),
	fFlags(flags),
	fWorkspaces(workspaces),
	fShowLevel(1),
	fMinimized(false),
	fActive(false),
	fMinWidth(0),
	fMaxWidth(32768),
	fMinHeight(0),
	fMaxHeight(32768),
	fTopView(NULL),
	fFocus(NULL),
	fLastMouseMoved(NULL),
	fMouseEventView(NULL),
	fDefaultButton(NULL),
	fPulseRate(500000),
	fPulseViews(0),
	fMouseWhere(-1, -1),
	fMouseButtons(0),
	fWidget(nullptr),
	fSync(nullptr),
	fFrameSyncPending(false),
	fShownSyncPending(false),
	fTitleSyncPending(false),
	fFlagsSyncPending(false),
	fPulseSyncPending(false),
	fActivatePending(false)
{
}

WindowData::~WindowData()
{
	if (fSync != nullptr) {
		fSync->Forget();
		fSync->deleteLater();
		fSync = nullptr;
	}
}

WindowData&
WindowData::Of(const BWindow* window)
{
	return *window->fData;
}

void
WindowData::ViewAttached(BView* view)
{
	if ((view->Flags() & B_PULSE_NEEDED) != 0)
		fPulseViews++;
	if ((ViewData::Of(view).fEventMask & B_POINTER_EVENTS) != 0)
		EventMaskChanged(view);
}

void
WindowData::ViewDetached(BView* view)
{
	if ((view->Flags() & B_PULSE_NEEDED) != 0)
		fPulseViews--;
	if (fFocus == view)
		SetFocus(NULL);
	if (fLastMouseMoved == view)
		fLastMouseMoved = NULL;
	if (fMouseEventView == view)
		fMouseEventView = NULL;
	if (fDefaultButton == view)
		fDefaultButton = NULL;
	fEventMaskViews.erase(
		std::remove(fEventMaskViews.begin(), fEventMaskViews.end(), view), fEventMaskViews.end());
	for (Shortcut& shortcut : fShortcuts) {
		if (shortcut.target == view)
			shortcut.target = NULL;
	}
}

void
WindowData::ViewHidden(BView* view)
{
	// A hidden view cannot keep the keyboard.
	for (BView* focus = fFocus; focus != NULL; focus = ViewData::Of(focus).fParent) {
		if (focus == view) {
			fFocus->MakeFocus(false);
			break;
		}
	}
}

void
WindowData::SetFocus(BView* view)
{
	fFocus = view;
	fWindow->SetPreferredHandler(view);
}

void
WindowData::NavigateFocus(BView* from)
{
	// Tab moves the focus to the next navigable view in the tree, Shift+Tab to the
	// previous one, wrapping around.
	std::vector<BView*> order;
	std::vector<BView*> pending = { fTopView };
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		if (view != fTopView && !view->IsHidden() && (view->Flags() & B_NAVIGABLE) != 0)
			order.push_back(view);
		const std::vector<BView*>& children = ViewData::Of(view).fChildren;
		for (auto child = children.rbegin(); child != children.rend(); ++child)
			pending.push_back(*child);
	}
	if (order.empty())
		return;

	BMessage* current = fWindow->CurrentMessage();
	int32 modifiers = 0;
	if (current != NULL)
		current->FindInt32("modifiers", &modifiers);
	bool backwards = (modifiers & B_SHIFT_KEY) != 0;

	auto position = std::find(order.begin(), order.end(), from);
	size_t index;
	if (position == order.end())
		index = backwards ? order.size() - 1 : 0;
	else {
		size_t at = (size_t)(position - order.begin());
		index = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
	}
	order[index]->MakeFocus(true);
}

void
WindowData::EventMaskChanged(BView* view)
{
	fEventMaskViews.erase(
		std::remove(fEventMaskViews.begin(), fEventMaskViews.end(), view), fEventMaskViews.end());
	if ((ViewData::Of(view).fEventMask & B_POINTER_EVENTS) != 0)
		fEventMaskViews.push_back(view);
}

status_t
WindowData::SetMouseEventView(BView* view)
{
	// Only while a button is down, as on BeOS: the mask lasts until the mouse-up.
	BMessage* current = fWindow->CurrentMessage();
	if (current == NULL || current->what != B_MOUSE_DOWN)
		return B_ERROR;
	fMouseEventView = view;
	return B_OK;
}

void
WindowData::PulseNeedChanged()
{
	int32 count = 0;
	std::vector<BView*> pending = { fTopView };
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		if ((view->Flags() & B_PULSE_NEEDED) != 0)
			count++;
		for (BView* child : ViewData::Of(view).fChildren)
			pending.push_back(child);
	}
	fPulseViews.store(count);
}

void
WindowData::GetMouse(BPoint* where, uint32* buttons)
{
	std::lock_guard<std::mutex> lock(fMouseLock);
	*where = fMouseWhere;
	*buttons = fMouseButtons;
}

void
WindowData::SetMouse(BPoint where, uint32 buttons)
{
	std::lock_guard<std::mutex> lock(fMouseLock);
	fMouseWhere = where;
	fMouseButtons = buttons;
}

void
WindowData::RequestSync()
{
	if (fSync != nullptr)
		fSync->Post();
}

void
WindowData::Synchronize()
{
	assert_gui_thread("BWindow");
	if (fPulseSyncPending && fSync != nullptr) {
		fPulseSyncPending = false;
		fSync->SetPulseRate(fPulseRate);
	}
	if (fWidget == nullptr) {
		if (fShowLevel <= 0)
			Realize();
		return;
	}
	if (fTitleSyncPending) {
		fTitleSyncPending = false;
		ApplyTitle();
	}
	if (fFlagsSyncPending) {
		fFlagsSyncPending = false;
		ApplyWindowFlags();
	}
	if (fFrameSyncPending) {
		fFrameSyncPending = false;
		ApplyFrame();
	}
	ViewData::Of(fTopView).Synchronize();
	if (fShownSyncPending) {
		fShownSyncPending = false;
		ApplyShown();
	}
	if (fActivatePending) {
		fActivatePending = false;
		if (fShowLevel <= 0)
			BringToFront();
	}
}

void
WindowData::Realize()
{
	assert_gui_thread("BWindow");
	if (fWidget != nullptr)
		return;
	fWidget = new WindowWidget(fWindow);
	ApplyWindowFlags();
	ApplyTitle();
	ApplyFrame();
	ViewData::Of(fTopView).Realize(fWidget);
	fFrameSyncPending = false;
	fTitleSyncPending = false;
	fFlagsSyncPending = false;
	ApplyShown();
	fShownSyncPending = false;
}

void
WindowData::ApplyShown()
{
	if (fWidget == nullptr) {
		if (fShowLevel <= 0)
			Realize();
		return;
	}
	if (fShowLevel > 0) {
		fWidget->hide();
		fActive.store(false);
		return;
	}
	if (fWidget->isVisible())
		return;
	fWidget->show();
	if ((fFlags & B_AVOID_FOCUS) == 0) {
		set_front_window(fWindow);
		BringToFront();
	}
}

void
WindowData::ApplyFrame()
{
	if (fWidget == nullptr)
		return;
	int width = (int)fFrame.Width() + 1;
	int height = (int)fFrame.Height() + 1;
	fWidget->SetApplyingFrame(true);
	if ((fFlags & B_NOT_RESIZABLE) != 0)
		fWidget->setFixedSize(width, height);
	else {
		fWidget->setMinimumSize(std::max(1, (int)fMinWidth + 1), std::max(1, (int)fMinHeight + 1));
		fWidget->setMaximumSize(
			(int)std::min(fMaxWidth + 1, 16777215.0f), (int)std::min(fMaxHeight + 1, 16777215.0f));
		if ((fFlags & B_NOT_H_RESIZABLE) != 0)
			fWidget->setFixedWidth(width);
		if ((fFlags & B_NOT_V_RESIZABLE) != 0)
			fWidget->setFixedHeight(height);
	}
	// setGeometry places the content area, which is what BeOS frames describe.
	fWidget->setGeometry((int)fFrame.left, (int)fFrame.top, width, height);
	fWidget->SetApplyingFrame(false);
}

void
WindowData::ApplyTitle()
{
	if (fWidget != nullptr)
		fWidget->setWindowTitle(QString::fromStdString(fTitle));
}

void
WindowData::ApplyWindowFlags()
{
	if (fWidget == nullptr)
		return;
	Qt::WindowFlags flags;
	bool floating = fFeel == B_FLOATING_APP_WINDOW_FEEL || fFeel == B_FLOATING_ALL_WINDOW_FEEL
		|| fFeel == B_FLOATING_SUBSET_WINDOW_FEEL || fLook == B_FLOATING_WINDOW_LOOK;
	bool modal = fFeel == B_MODAL_APP_WINDOW_FEEL || fFeel == B_MODAL_ALL_WINDOW_FEEL
		|| fFeel == B_MODAL_SUBSET_WINDOW_FEEL;
	if (floating)
		flags = Qt::Tool | Qt::WindowStaysOnTopHint;
	else if (modal || fLook == B_MODAL_WINDOW_LOOK)
		flags = Qt::Dialog;
	else
		flags = Qt::Window;

	if (fLook == B_NO_BORDER_WINDOW_LOOK || fLook == B_BORDERED_WINDOW_LOOK)
		flags |= Qt::FramelessWindowHint;
	else {
		flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
		if ((fFlags & B_NOT_CLOSABLE) == 0)
			flags |= Qt::WindowCloseButtonHint;
		if ((fFlags & B_NOT_MINIMIZABLE) == 0 && !floating && !modal)
			flags |= Qt::WindowMinimizeButtonHint;
		if ((fFlags & (B_NOT_ZOOMABLE | B_NOT_RESIZABLE)) == 0 && !floating && !modal)
			flags |= Qt::WindowMaximizeButtonHint;
	}
	if ((fFlags & B_AVOID_FOCUS) != 0)
		flags |= Qt::WindowDoesNotAcceptFocus;

	bool visible = fWidget->isVisible();
	fWidget->setWindowFlags(flags);
	fWidget->setAttribute(Qt::WA_ShowWithoutActivating, (fFlags & B_AVOID_FOCUS) != 0);
	fWidget->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
	// Changing the flags hides a window; it is shown again as it was.
	if (visible)
		fWidget->show();
}

void
WindowData::DestroyWidgets()
{
	if (fWidget == nullptr)
		return;
	if (is_gui_thread())
		delete fWidget;
	else
		fWidget->deleteLater();
	fWidget = nullptr;
}

void
WindowData::BringToFront()
{
	if (fWidget == nullptr)
		return;
	// The offscreen platform of the tests has no stacking order to change.
	if (QGuiApplication::platformName() != QLatin1String("offscreen"))
		fWidget->raise();
	fWidget->activateWindow();
}

bool
WindowData::HasShownWindow() const
{
	return fShowLevel <= 0;
}

} // namespace BPrivate

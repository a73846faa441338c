// BWindow: geometry, showing and hiding, shortcuts and the looper side. The routing of
// input messages is in WindowDispatch.cpp.
#include <Window.h>

#include <Application.h>
#include <Autolock.h>
#include <Button.h>
#include <Message.h>
#include <Messenger.h>
#include <Screen.h>
#include <View.h>

#include <LooperDriver.h>

#include "qt/GuiLooper.h"
#include "qt/GuiThread.h"
#include "qt/ViewData.h"
#include "qt/WindowData.h"
#include "qt/WindowWidget.h"

#include <QApplication>

#include <algorithm>
#include <cctype>

using BPrivate::ViewData;
using BPrivate::WindowData;

namespace {

// The modifiers that tell shortcuts apart; the left and right variants and the locks
// do not.
const uint32 kShortcutModifiers =
	B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY | B_MENU_KEY;

void
decompose_type(window_type type, window_look* look, window_feel* feel)
{
	switch (type) {
		case B_DOCUMENT_WINDOW:
			*look = B_DOCUMENT_WINDOW_LOOK;
			*feel = B_NORMAL_WINDOW_FEEL;
			break;
		case B_MODAL_WINDOW:
			*look = B_MODAL_WINDOW_LOOK;
			*feel = B_MODAL_APP_WINDOW_FEEL;
			break;
		case B_FLOATING_WINDOW:
			*look = B_FLOATING_WINDOW_LOOK;
			*feel = B_FLOATING_APP_WINDOW_FEEL;
			break;
		case B_BORDERED_WINDOW:
			*look = B_BORDERED_WINDOW_LOOK;
			*feel = B_NORMAL_WINDOW_FEEL;
			break;
		case B_TITLED_WINDOW:
		case B_UNTYPED_WINDOW:
		default:
			*look = B_TITLED_WINDOW_LOOK;
			*feel = B_NORMAL_WINDOW_FEEL;
			break;
	}
}

uint32
shortcut_key(uint32 key)
{
	return key < 128 ? (uint32)tolower((int)key) : key;
}

uint32
shortcut_modifiers(uint32 modifiers)
{
	return (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace) :
	BLooper(title)
{
	window_look look;
	window_feel feel;
	decompose_type(type, &look, &feel);
	_Init(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspace) :
	BLooper(title)
{
	_Init(frame, title, look, feel, flags, workspace);
}

void
BWindow::_Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspace)
{
	fData = std::make_unique<WindowData>(this, frame, title, look, feel, flags, workspace);
	BPrivate::LooperAccess::SetDriver(this, BPrivate::GuiLooperDriver::Default());
	if (QCoreApplication::instance() != nullptr)
		fData->fSync = new BPrivate::WindowSync(this, fData.get());

	// Every window has a view that covers it; the programs' views go into it.
	BView* topView =
		new BView(Bounds(), "top view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS);
	fData->fTopView = topView;
	ViewData::Of(topView).Attach(this, NULL);

	AddShortcut('W', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED));

	if (be_app != NULL)
		be_app->_WindowCreated(this);
}

BWindow::~BWindow()
{
	if (be_app != NULL)
		be_app->_WindowDeleted(this);
	BPrivate::forget_front_window(this);

	BView* topView = fData->fTopView;
	ViewData::Of(topView).CallDetached();
	ViewData::Of(topView).Detach();
	fData->fTopView = NULL;
	delete topView;

	fData->DestroyWidgets();
	fData.reset();
}

void
BWindow::Quit()
{
	if (!IsLocked())
		Lock();

	while (!IsHidden())
		Hide();

	// BeOS behaviour: only a window with B_QUIT_ON_WINDOW_CLOSE asks the application to
	// quit when it goes; programs post their own quit requests otherwise.
	if (be_app != NULL && (Flags() & B_QUIT_ON_WINDOW_CLOSE) != 0)
		be_app->PostMessage(B_QUIT_REQUESTED);

	// On the GUI thread outside a dispatch of this window, nothing would come back to
	// delete it: a message makes the next dispatch do that.
	bool nudge = BPrivate::is_gui_thread() && Thread() >= 0 && !BPrivate::is_dispatching(this);
	BMessenger self;
	if (nudge)
		self.SetTo(this);
	BLooper::Quit();
	if (nudge)
		self.SendMessage(B_NO_REPLY);
}

void
BWindow::AddChild(BView* child, BView* before)
{
	fData->fTopView->AddChild(child, before);
}

bool
BWindow::RemoveChild(BView* child)
{
	return fData->fTopView->RemoveChild(child);
}

int32
BWindow::CountChildren() const
{
	return fData->fTopView->CountChildren();
}

BView*
BWindow::ChildAt(int32 index) const
{
	return fData->fTopView->ChildAt(index);
}

void
BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BWindow::FrameMoved(BPoint)
{
}

void
BWindow::FrameResized(float, float)
{
}

void
BWindow::Minimize(bool minimize)
{
	fData->fMinimized = minimize;
	if (fData->fWidget == nullptr || !BPrivate::is_gui_thread())
		return;
	if (minimize)
		fData->fWidget->showMinimized();
	else
		fData->fWidget->showNormal();
}

void
BWindow::Zoom(BPoint, float, float)
{
	if (fData->fWidget == nullptr || !BPrivate::is_gui_thread())
		return;
	if (fData->fWidget->isMaximized())
		fData->fWidget->showNormal();
	else
		fData->fWidget->showMaximized();
}

void
BWindow::ScreenChanged(BRect, color_space)
{
}

void
BWindow::WindowActivated(bool)
{
}

void
BWindow::MenusBeginning()
{
}

void
BWindow::MenusEnded()
{
}

void
BWindow::SetPulseRate(bigtime_t rate)
{
	fData->fPulseRate = rate < 0 ? 0 : rate;
	if (Thread() < 0 || fData->fSync == nullptr)
		return;
	if (BPrivate::is_gui_thread())
		fData->fSync->SetPulseRate(fData->fPulseRate);
	else {
		fData->fPulseSyncPending = true;
		fData->RequestSync();
	}
}

bigtime_t
BWindow::PulseRate() const
{
	return fData->fPulseRate;
}

void
BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message)
{
	AddShortcut(key, modifiers, message, this);
}

void
BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target)
{
	if (message == NULL)
		return;
	RemoveShortcut(key, modifiers);
	WindowData::Shortcut shortcut;
	shortcut.key = shortcut_key(key);
	shortcut.modifiers = shortcut_modifiers(modifiers);
	shortcut.message.reset(message);
	shortcut.target = target;
	fData->fShortcuts.push_back(std::move(shortcut));
}

bool
BWindow::HasShortcut(uint32 key, uint32 modifiers)
{
	key = shortcut_key(key);
	modifiers = shortcut_modifiers(modifiers);
	for (const WindowData::Shortcut& shortcut : fData->fShortcuts) {
		if (shortcut.key == key && shortcut.modifiers == modifiers)
			return true;
	}
	return false;
}

void
BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
	key = shortcut_key(key);
	modifiers = shortcut_modifiers(modifiers);
	std::vector<WindowData::Shortcut>& shortcuts = fData->fShortcuts;
	shortcuts.erase(std::remove_if(shortcuts.begin(), shortcuts.end(),
						[&](const WindowData::Shortcut& shortcut) {
							return shortcut.key == key && shortcut.modifiers == modifiers;
						}),
		shortcuts.end());
}

void
BWindow::SetDefaultButton(BButton* button)
{
	BButton* previous = fData->fDefaultButton;
	if (previous == button)
		return;
	fData->fDefaultButton = NULL;
	if (previous != NULL)
		previous->MakeDefault(false);
	fData->fDefaultButton = button;
	if (button != NULL)
		button->MakeDefault(true);
}

BButton*
BWindow::DefaultButton() const
{
	return fData->fDefaultButton;
}

BView*
BWindow::FindView(const char* viewName) const
{
	return fData->fTopView->FindView(viewName);
}

BView*
BWindow::FindView(BPoint point) const
{
	BView* view = ViewData::Of(fData->fTopView).ViewAt(point);
	return view == fData->fTopView ? NULL : view;
}

BView*
BWindow::CurrentFocus() const
{
	return fData->fFocus;
}

BView*
BWindow::LastMouseMovedView() const
{
	BView* view = fData->fLastMouseMoved;
	return view == fData->fTopView ? NULL : view;
}

void
BWindow::Activate(bool active)
{
	if (!active || IsHidden())
		return;
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr) {
		BPrivate::set_front_window(this);
		fData->BringToFront();
		return;
	}
	fData->fActivatePending = true;
	fData->RequestSync();
}

bool
BWindow::IsActive() const
{
	return fData->fActive.load();
}

bool
BWindow::IsFront() const
{
	if (IsHidden())
		return false;
	if (IsActive())
		return true;
	// Without an active window (a desktop that gave the focus elsewhere), the window
	// most recently brought up counts as the front one.
	return BPrivate::front_window() == this;
}

void
BWindow::ConvertToScreen(BPoint* point) const
{
	*point += fData->fFrame.LeftTop();
}

BPoint
BWindow::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void
BWindow::ConvertFromScreen(BPoint* point) const
{
	*point -= fData->fFrame.LeftTop();
}

BPoint
BWindow::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void
BWindow::ConvertToScreen(BRect* rect) const
{
	rect->OffsetBy(fData->fFrame.LeftTop());
}

BRect
BWindow::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void
BWindow::ConvertFromScreen(BRect* rect) const
{
	rect->OffsetBy(-fData->fFrame.left, -fData->fFrame.top);
}

BRect
BWindow::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

void
BWindow::MoveBy(float dx, float dy)
{
	MoveTo(fData->fFrame.left + dx, fData->fFrame.top + dy);
}

void
BWindow::MoveTo(BPoint point)
{
	MoveTo(point.x, point.y);
}

void
BWindow::MoveTo(float x, float y)
{
	x = roundf(x);
	y = roundf(y);
	if (x == fData->fFrame.left && y == fData->fFrame.top)
		return;
	fData->fFrame.OffsetTo(x, y);
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr)
		fData->ApplyFrame();
	else {
		fData->fFrameSyncPending = true;
		fData->RequestSync();
	}
	BMessage message(B_WINDOW_MOVED);
	message.AddInt64("when", system_time());
	message.AddPoint("where", BPoint(x, y));
	PostMessage(&message, this);
}

void
BWindow::ResizeBy(float dx, float dy)
{
	ResizeTo(fData->fFrame.Width() + dx, fData->fFrame.Height() + dy);
}

void
BWindow::ResizeTo(float width, float height)
{
	width = roundf(std::clamp(width, fData->fMinWidth, fData->fMaxWidth));
	height = roundf(std::clamp(height, fData->fMinHeight, fData->fMaxHeight));
	if (width == fData->fFrame.Width() && height == fData->fFrame.Height())
		return;
	fData->fFrame.right = fData->fFrame.left + width;
	fData->fFrame.bottom = fData->fFrame.top + height;
	fData->fTopView->ResizeTo(width, height);
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr)
		fData->ApplyFrame();
	else {
		fData->fFrameSyncPending = true;
		fData->RequestSync();
	}
	BMessage message(B_WINDOW_RESIZED);
	message.AddInt64("when", system_time());
	message.AddFloat("width", width);
	message.AddFloat("height", height);
	PostMessage(&message, this);
}

void
BWindow::CenterOnScreen()
{
	BRect screen = BScreen(this).Frame();
	MoveTo(roundf((screen.Width() - fData->fFrame.Width()) / 2),
		roundf((screen.Height() - fData->fFrame.Height()) / 2));
}

void
BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	fData->fMinWidth = std::max(0.0f, minWidth);
	fData->fMaxWidth = std::max(fData->fMinWidth, maxWidth);
	fData->fMinHeight = std::max(0.0f, minHeight);
	fData->fMaxHeight = std::max(fData->fMinHeight, maxHeight);
	fData->fFrameSyncPending = true;
	fData->RequestSync();
}

void
BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight)
{
	if (minWidth != NULL)
		*minWidth = fData->fMinWidth;
	if (maxWidth != NULL)
		*maxWidth = fData->fMaxWidth;
	if (minHeight != NULL)
		*minHeight = fData->fMinHeight;
	if (maxHeight != NULL)
		*maxHeight = fData->fMaxHeight;
}

void
BWindow::Show()
{
	{
		// Held through a guard, so that a thread killed while it holds the lock gives it
		// back as it unwinds.
		BAutolock lock(this);
		if (lock.IsLocked()) {
			fData->fShowLevel--;
			if (fData->fShowLevel == 0) {
				if (BPrivate::is_gui_thread() && fData->fSync != nullptr)
					fData->ApplyShown();
				else {
					fData->fShownSyncPending = true;
					fData->RequestSync();
				}
			}
		}
	}
	// BeOS behaviour: the first Show() starts the message loop.
	if (Thread() < 0)
		Run();
}

void
BWindow::Hide()
{
	BAutolock lock(this);
	if (!lock.IsLocked())
		return;
	fData->fShowLevel++;
	if (fData->fShowLevel == 1) {
		if (BPrivate::is_gui_thread())
			fData->ApplyShown();
		else {
			fData->fShownSyncPending = true;
			fData->RequestSync();
		}
	}
}

bool
BWindow::IsHidden() const
{
	return fData->fShowLevel > 0;
}

bool
BWindow::IsMinimized() const
{
	return fData->fMinimized;
}

void
BWindow::Flush() const
{
}

void
BWindow::Sync() const
{
}

void
BWindow::UpdateIfNeeded()
{
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr) {
		fData->Synchronize();
		fData->fWidget->repaint();
	}
}

void
BWindow::DisableUpdates()
{
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr)
		fData->fWidget->setUpdatesEnabled(false);
}

void
BWindow::EnableUpdates()
{
	if (BPrivate::is_gui_thread() && fData->fWidget != nullptr)
		fData->fWidget->setUpdatesEnabled(true);
}

BRect
BWindow::Bounds() const
{
	return BRect(0, 0, fData->fFrame.Width(), fData->fFrame.Height());
}

BRect
BWindow::Frame() const
{
	return fData->fFrame;
}

const char*
BWindow::Title() const
{
	return fData->fTitle.c_str();
}

void
BWindow::SetTitle(const char* title)
{
	fData->fTitle = title != NULL ? title : "";
	// BeOS behaviour: the window's name follows its title.
	SetName(title);
	if (BPrivate::is_gui_thread())
		fData->ApplyTitle();
	else {
		fData->fTitleSyncPending = true;
		fData->RequestSync();
	}
}

status_t
BWindow::SetType(window_type type)
{
	window_look look;
	window_feel feel;
	decompose_type(type, &look, &feel);
	SetLook(look);
	return SetFeel(feel);
}

window_type
BWindow::Type() const
{
	switch (fData->fLook) {
		case B_DOCUMENT_WINDOW_LOOK:
			return B_DOCUMENT_WINDOW;
		case B_MODAL_WINDOW_LOOK:
			return B_MODAL_WINDOW;
		case B_FLOATING_WINDOW_LOOK:
			return B_FLOATING_WINDOW;
		case B_BORDERED_WINDOW_LOOK:
			return B_BORDERED_WINDOW;
		case B_TITLED_WINDOW_LOOK:
			return B_TITLED_WINDOW;
		default:
			return B_UNTYPED_WINDOW;
	}
}

status_t
BWindow::SetLook(window_look look)
{
	fData->fLook = look;
	fData->fFlagsSyncPending = true;
	fData->RequestSync();
	return B_OK;
}

window_look
BWindow::Look() const
{
	return fData->fLook;
}

status_t
BWindow::SetFeel(window_feel feel)
{
	fData->fFeel = feel;
	fData->fFlagsSyncPending = true;
	fData->RequestSync();
	return B_OK;
}

window_feel
BWindow::Feel() const
{
	return fData->fFeel;
}

status_t
BWindow::SetFlags(uint32 flags)
{
	fData->fFlags = flags;
	fData->fFlagsSyncPending = true;
	fData->fFrameSyncPending = true;
	fData->RequestSync();
	return B_OK;
}

uint32
BWindow::Flags() const
{
	return fData->fFlags;
}

bool
BWindow::IsModal() const
{
	window_feel feel = fData->fFeel;
	return feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL
		|| feel == B_MODAL_SUBSET_WINDOW_FEEL;
}

bool
BWindow::IsFloating() const
{
	window_feel feel = fData->fFeel;
	return feel == B_FLOATING_APP_WINDOW_FEEL || feel == B_FLOATING_ALL_WINDOW_FEEL
		|| feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

uint32
BWindow::Workspaces() const
{
	return fData->fWorkspaces;
}

void
BWindow::SetWorkspaces(uint32 workspaces)
{
	fData->fWorkspaces = workspaces;
}

bool
BWindow::QuitRequested()
{
	return BLooper::QuitRequested();
}

thread_id
BWindow::Run()
{
	thread_id thread = BLooper::Run();
	if (thread < 0 || fData->fSync == nullptr)
		return thread;
	fData->fPulseSyncPending = true;
	fData->RequestSync();
	return thread;
}

// How a window hands its messages out: keys to shortcuts, the default button or the focus
// view; mouse messages to the view under the pointer with BeOS transit codes; pulses to
// the views that need them; frame and activation changes to the hooks.
#include <Window.h>

#include <Application.h>
#include <Button.h>
#include <Message.h>
#include <TextView.h>
#include <View.h>

#include "qt/ViewData.h"
#include "qt/WindowData.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

using BPrivate::ViewData;
using BPrivate::WindowData;

namespace {

const uint32 kShortcutModifiers =
	B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY | B_MENU_KEY;

void
activate_views(BView* view, bool active)
{
	view->WindowActivated(active);
	std::vector<BView*> children = ViewData::Of(view).fChildren;
	for (BView* child : children)
		activate_views(child, active);
}

} // namespace

void
BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL)
		return;

	switch (message->what) {
		case B_KEY_DOWN: {
			if (_HandleKeyDown(message, handler))
				break;
			const char* bytes = NULL;
			if (message->FindString("bytes", &bytes) != B_OK)
				break;
			if (BView* view = dynamic_cast<BView*>(handler))
				view->KeyDown(bytes, (int32)strlen(bytes));
			else if (handler != NULL && handler != this)
				handler->MessageReceived(message);
			break;
		}

		case B_KEY_UP: {
			const char* bytes = NULL;
			if (message->FindString("bytes", &bytes) != B_OK)
				break;
			if (BView* view = dynamic_cast<BView*>(handler))
				view->KeyUp(bytes, (int32)strlen(bytes));
			break;
		}

		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
			if (handler == this)
				_DispatchMouse(message);
			else if (handler != NULL)
				handler->MessageReceived(message);
			break;

		case B_PULSE:
			if (handler != this) {
				handler->MessageReceived(message);
				break;
			}
			if (fData->fSync != nullptr)
				fData->fSync->PulseHandled();
			_DispatchPulse(fData->fTopView);
			break;

		case B_WINDOW_ACTIVATED: {
			if (handler != this) {
				handler->MessageReceived(message);
				break;
			}
			bool active = false;
			message->FindBool("active", &active);
			WindowActivated(active);
			activate_views(fData->fTopView, active);
			break;
		}

		case B_WINDOW_RESIZED: {
			float width = fData->fFrame.Width();
			float height = fData->fFrame.Height();
			message->FindFloat("width", &width);
			message->FindFloat("height", &height);
			// A size the user gave the window is taken over before the hook hears of it.
			if (width != fData->fFrame.Width() || height != fData->fFrame.Height()) {
				fData->fFrame.right = fData->fFrame.left + width;
				fData->fFrame.bottom = fData->fFrame.top + height;
				fData->fTopView->ResizeTo(width, height);
			}
			FrameResized(width, height);
			break;
		}

		case B_WINDOW_MOVED: {
			BPoint where = fData->fFrame.LeftTop();
			message->FindPoint("where", &where);
			if (where != fData->fFrame.LeftTop())
				fData->fFrame.OffsetTo(where);
			FrameMoved(where);
			break;
		}

		case B_VIEW_MOVED:
		case B_VIEW_RESIZED: {
			BView* view = dynamic_cast<BView*>(handler);
			if (view == NULL) {
				if (handler != NULL)
					handler->MessageReceived(message);
				break;
			}
			if (message->what == B_VIEW_MOVED) {
				BPoint where = view->Frame().LeftTop();
				message->FindPoint("where", &where);
				view->FrameMoved(where);
			} else {
				float width = view->Frame().Width();
				float height = view->Frame().Height();
				message->FindFloat("width", &width);
				message->FindFloat("height", &height);
				view->FrameResized(width, height);
			}
			break;
		}

		case B_SCREEN_CHANGED: {
			BRect frame;
			int32 mode = B_RGB32;
			message->FindRect("frame", &frame);
			message->FindInt32("mode", &mode);
			ScreenChanged(frame, (color_space)mode);
			break;
		}

		case B_MINIMIZE: {
			bool minimize = true;
			message->FindBool("minimize", &minimize);
			Minimize(minimize);
			break;
		}

		case B_ZOOM:
			Zoom(fData->fFrame.LeftTop(), fData->fFrame.Width(), fData->fFrame.Height());
			break;

		case B_NO_REPLY:
			// The nudge that lets a window quit outside a dispatch; nothing to do.
			if (handler == this)
				break;
			BLooper::DispatchMessage(message, handler);
			break;

		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}

bool
BWindow::_HandleKeyDown(BMessage* message, BHandler* handler)
{
	const char* bytes = NULL;
	if (message->FindString("bytes", &bytes) != B_OK || bytes == NULL || bytes[0] == '\0')
		return false;
	int32 modifiers = 0;
	message->FindInt32("modifiers", &modifiers);
	uint32 pressed = (uint32)modifiers & kShortcutModifiers;

	// Enter without modifiers presses the default button, unless the focus is on a text
	// that takes Enter itself.
	BButton* button = fData->fDefaultButton;
	if (bytes[0] == B_ENTER && pressed == 0 && button != NULL && handler != button
		&& button->IsEnabled() && !button->IsHidden()) {
		BTextView* text = dynamic_cast<BTextView*>(handler);
		if (text == NULL || !text->IsEditable()) {
			button->KeyDown(bytes, (int32)strlen(bytes));
			return true;
		}
	}

	if ((pressed & B_COMMAND_KEY) == 0)
		return false;

	uint32 key = (uchar)bytes[0] < 128 ? (uint32)tolower((uchar)bytes[0]) : (uchar)bytes[0];
	MenusBeginning();
	WindowData::Shortcut* found = NULL;
	for (WindowData::Shortcut& shortcut : fData->fShortcuts) {
		if (shortcut.key == key && shortcut.modifiers == pressed) {
			found = &shortcut;
			break;
		}
	}
	if (found != NULL) {
		BMessage copy(*found->message);
		copy.RemoveName("when");
		copy.AddInt64("when", system_time());
		copy.RemoveName("shortcut");
		copy.AddBool("shortcut", true);
		BHandler* target = found->target;
		if (target == NULL)
			target = fData->fFocus != NULL ? (BHandler*)fData->fFocus : (BHandler*)this;
		PostMessage(&copy, target);
	} else if (key == 'q' && pressed == B_COMMAND_KEY && be_app != NULL) {
		// BeOS behaviour: Command+Q asks the application to quit from any window.
		be_app->PostMessage(B_QUIT_REQUESTED);
	}
	MenusEnded();
	// BeOS behaviour: a key with Command never reaches the views.
	return true;
}

void
BWindow::_DispatchMouse(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) != B_OK)
		return;
	bool exited = false;
	message->FindBool("be:exited", &exited);
	// A drag passing over the window brings its message along.
	BMessage dragMessage;
	const bool dragging = message->what == B_MOUSE_MOVED
		&& message->FindMessage("be:drag_message", &dragMessage) == B_OK;
	BView* topView = fData->fTopView;
	BView* under = exited ? NULL : ViewData::Of(topView).ViewAt(where);

	// Every view that hears of this message, with its transit code for mouse moves.
	std::vector<std::pair<BView*, uint32>> targets;
	auto add = [&targets](BView* view, uint32 transit) {
		if (view == NULL)
			return;
		for (const auto& target : targets) {
			if (target.first == view)
				return;
		}
		targets.emplace_back(view, transit);
	};

	BView* last = fData->fLastMouseMoved;
	if (message->what == B_MOUSE_MOVED) {
		if (last != NULL && last != under)
			add(last, B_EXITED_VIEW);
		add(under, last == under ? B_INSIDE_VIEW : B_ENTERED_VIEW);
		fData->fLastMouseMoved = under;
	} else
		add(under, B_INSIDE_VIEW);

	// Views that asked for every pointer event hear of it wherever the pointer is.
	std::vector<BView*> listeners = fData->fEventMaskViews;
	if (fData->fMouseEventView != NULL)
		listeners.push_back(fData->fMouseEventView);
	for (BView* view : listeners)
		add(view, B_OUTSIDE_VIEW);

	if (message->what == B_MOUSE_UP)
		fData->fMouseEventView = NULL;

	for (const auto& [view, transit] : targets) {
		// A hook may have removed a view that was still to come.
		if (IndexOf(view) < 0 || ViewData::Of(view).fWindow != this)
			continue;
		BPoint local = where - ViewData::Of(view).OffsetInWindow();
		message->RemoveName("where");
		message->AddPoint("where", local);
		message->RemoveName("be:view_where");
		message->AddPoint("be:view_where", local);
		switch (message->what) {
			case B_MOUSE_DOWN:
				view->MouseDown(local);
				break;
			case B_MOUSE_UP:
				view->MouseUp(local);
				break;
			default:
				view->MouseMoved(local, transit, dragging ? &dragMessage : NULL);
				break;
		}
	}
}

void
BWindow::_DispatchPulse(BView* view)
{
	if ((view->Flags() & B_PULSE_NEEDED) != 0)
		view->Pulse();
	std::vector<BView*> children = ViewData::Of(view).fChildren;
	for (BView* child : children) {
		if (IndexOf(child) >= 0)
			_DispatchPulse(child);
	}
}

// BAlert: layout, answering, and the two ways of waiting for the answer.
#include <Alert.h>

#include <Button.h>
#include <Invoker.h>
#include <Message.h>
#include <Messenger.h>
#include <Screen.h>
#include <TextView.h>

#include <CancelableWait.h>
#include <ThreadPrivate.h>

#include "qt/AlertTestHook.h"
#include "qt/ControlLook.h"
#include "qt/GuiThread.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

namespace {

const uint32 kButtonPressed = '_ABP';
const uint32 kAlertShown = '_ASH';

// The BeOS alert's proportions.
const float kWindowWidth = 310.0f;
const float kIconStripeWidth = 30.0f;
const float kIconLeft = 18.0f;
const float kIconTop = 6.0f;
const float kTextLeftWithIcon = 55.0f;
const float kTextLeft = 10.0f;
const float kMargin = 10.0f;
const float kButtonGap = 10.0f;
const float kUsualButtonWidth = 75.0f;

std::mutex sAnswererLock;
BPrivate::AlertAnswerer sAnswerer;

// The alert's background: the panel colour with the icon on a darker stripe.
class AlertView : public BView {
public:
	AlertView(BRect frame, alert_type type) :
		BView(frame, "TAlertView", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		fType(type)
	{
		SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		if (fType == B_EMPTY_ALERT)
			return;
		BRect stripe = Bounds();
		stripe.right = kIconStripeWidth - 1;
		SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
		FillRect(stripe);
		BPrivate::draw_alert_icon(
			this, BRect(kIconLeft, kIconTop, kIconLeft + 31, kIconTop + 31), fType);
	}

private:
	alert_type fType;
};

} // namespace

namespace BPrivate {

// What a worker that makes an alert shares with the GUI thread that lays it out.
struct LayoutHandoff {
	enum State { kPending, kRunning, kDone, kAbandoned };

	CancelableWait wait;
	State state = kPending;
};

// What a thread that waits in Go() shares with the GUI thread that answers: it lives as
// long as either side needs it, so a waiter that is killed leaves nothing dangling.
struct AlertWait {
	CancelableWait wait;
	bool answered = false;
	int32 answer = -1;
};

class AlertData {
public:
	alert_type type = B_INFO_ALERT;
	std::vector<BButton*> buttons;
	std::vector<char> shortcuts;
	BTextView* textView = NULL;
	AlertView* background = NULL;

	bool answered = false;
	int32 answer = -1;
	BInvoker* invoker = NULL;
	QEventLoop* loop = nullptr;
	std::shared_ptr<AlertWait> waiter;
};

void
set_alert_answerer(AlertAnswerer answerer)
{
	std::lock_guard<std::mutex> lock(sAnswererLock);
	sAnswerer = std::move(answerer);
}

AlertAnswerer
answer_with_index(int32 index)
{
	return [index](BAlert*) { return index; };
}

AlertAnswerer
answer_with_label(const std::string& label)
{
	return [label](BAlert* alert) -> int32 {
		for (int32 i = 0; i < alert->CountButtons(); i++) {
			if (label == alert->ButtonAt(i)->Label())
				return i;
		}
		return -1;
	};
}

} // namespace BPrivate

BAlert::BAlert(const char* title, const char* text, const char* button1, const char* button2,
	const char* button3, button_width width, alert_type type) :
	BWindow(BRect(0, 0, kWindowWidth - 1, 100), title, B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL,
		B_NOT_CLOSABLE | B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE
			| B_ASYNCHRONOUS_CONTROLS)
{
	_Build(text, button1, button2, button3, width, B_EVEN_SPACING, type);
}

BAlert::BAlert(const char* title, const char* text, const char* button1, const char* button2,
	const char* button3, button_width width, button_spacing spacing, alert_type type) :
	BWindow(BRect(0, 0, kWindowWidth - 1, 100), title, B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL,
		B_NOT_CLOSABLE | B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE
			| B_ASYNCHRONOUS_CONTROLS)
{
	_Build(text, button1, button2, button3, width, spacing, type);
}

void
BAlert::_Build(const char* text, const char* button1, const char* button2, const char* button3,
	button_width width, button_spacing spacing, alert_type type)
{
	if (QCoreApplication::instance() == nullptr || BPrivate::is_gui_thread()) {
		_Init(text, button1, button2, button3, width, spacing, type);
		return;
	}

	// Another thread (a worker): the views are made and measured on the GUI thread, which
	// owns the fonts; this thread only waits. A kill that ends the wait must not leave the
	// GUI thread working on an alert that is being destroyed: a layout not yet begun is
	// called off, one under way is waited for.
	using BPrivate::LayoutHandoff;
	std::shared_ptr<LayoutHandoff> handoff = std::make_shared<LayoutHandoff>();
	BPrivate::post_to_gui_thread(QCoreApplication::instance(), [=, this]() {
		{
			BPrivate::CancelableWait::Locker locker(handoff->wait);
			if (handoff->state != LayoutHandoff::kPending)
				return;
			handoff->state = LayoutHandoff::kRunning;
		}
		_Init(text, button1, button2, button3, width, spacing, type);
		BPrivate::CancelableWait::Locker locker(handoff->wait);
		handoff->state = LayoutHandoff::kDone;
		handoff->wait.NotifyAll();
	});

	struct SettleWhenKilled {
		std::shared_ptr<LayoutHandoff> handoff;

		~SettleWhenKilled()
		{
			BPrivate::CancelDisabler disabler;
			BPrivate::CancelableWait::Locker locker(handoff->wait);
			if (handoff->state == LayoutHandoff::kPending)
				handoff->state = LayoutHandoff::kAbandoned;
			while (handoff->state == LayoutHandoff::kRunning)
				handoff->wait.WaitUntil(B_INFINITE_TIMEOUT);
		}
	} settle { handoff };

	BPrivate::CancelableWait::Locker locker(handoff->wait);
	handoff->wait.WaitFor(
		[&]() { return handoff->state == LayoutHandoff::kDone; }, B_INFINITE_TIMEOUT);
}

void
BAlert::_Init(const char* text, const char* button1, const char* button2, const char* button3,
	button_width width, button_spacing spacing, alert_type type)
{
	fAlertData = std::make_unique<BPrivate::AlertData>();
	BPrivate::AlertData& data = *fAlertData;
	data.type = type;

	data.background = new AlertView(Bounds(), type);
	AddChild(data.background);

	// Buttons from the labels given, in order; a missing first label still makes one.
	const char* labels[3] = { button1 != NULL ? button1 : "OK", button2, button3 };
	for (int32 i = 0; i < 3; i++) {
		if (labels[i] == NULL)
			break;
		BMessage* message = new BMessage(kButtonPressed);
		message->AddInt32("which", i);
		BButton* button = new BButton(BRect(0, 0, kUsualButtonWidth - 1, 23),
			(std::string("_b") + std::to_string(i) + "_").c_str(), labels[i], message,
			B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		button->SetTarget(this);
		data.buttons.push_back(button);
		data.shortcuts.push_back(0);
	}

	// Widths: the usual width unless the label needs more, the widest label's for all,
	// or each label's own.
	float widest = 0;
	for (BButton* button : data.buttons) {
		float preferred;
		button->GetPreferredSize(&preferred, NULL);
		widest = std::max(widest, preferred);
	}
	float buttonHeight = 0;
	std::vector<float> widths;
	for (BButton* button : data.buttons) {
		float preferred;
		float height;
		button->GetPreferredSize(&preferred, &height);
		buttonHeight = std::max(buttonHeight, height);
		switch (width) {
			case B_WIDTH_FROM_WIDEST:
				widths.push_back(widest);
				break;
			case B_WIDTH_FROM_LABEL:
				widths.push_back(std::max(ceilf(button->StringWidth(button->Label())), 20.0f) + 20);
				break;
			case B_WIDTH_AS_USUAL:
			default:
				widths.push_back(std::max(kUsualButtonWidth, preferred));
				break;
		}
	}

	float textLeft = type == B_EMPTY_ALERT ? kTextLeft : kTextLeftWithIcon;
	float windowWidth = kWindowWidth;
	float buttonsWidth = kMargin;
	for (float buttonWidth : widths)
		buttonsWidth += buttonWidth + kButtonGap;
	windowWidth = std::max(windowWidth, textLeft + buttonsWidth);

	BRect textFrame(textLeft, kIconTop, windowWidth - kMargin - 1, kIconTop + 20);
	data.textView = new BTextView(textFrame, "_tv_",
		BRect(0, 0, textFrame.Width(), textFrame.Height()), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	data.textView->SetText(text);
	data.textView->MakeEditable(false);
	data.textView->MakeSelectable(false);
	data.textView->SetWordWrap(true);
	data.textView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	data.textView->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	float textHeight = data.textView->TextHeight(0, data.textView->CountLines() - 1);
	data.textView->ResizeTo(textFrame.Width(), textHeight);
	data.textView->SetTextRect(BRect(0, 0, textFrame.Width(), textHeight));

	float contentHeight = std::max(textHeight, type == B_EMPTY_ALERT ? 0.0f : 32.0f);
	float windowHeight = kIconTop + contentHeight + kMargin + buttonHeight + kMargin;
	ResizeTo(windowWidth - 1, ceilf(windowHeight) - 1);
	// The text view follows all sides (a dialog that grows the alert grows the text), so it
	// goes in only now that the window has its size: added before, it would shrink with
	// the window and lose its last lines.
	data.background->AddChild(data.textView);

	// The last button sits at the right edge; the others to its left, or (offset
	// spacing) the first at the left edge.
	float right = windowWidth - kMargin;
	float top = ceilf(windowHeight) - kMargin - buttonHeight;
	for (int32 i = (int32)data.buttons.size() - 1; i >= 0; i--) {
		BButton* button = data.buttons[i];
		float left = right - widths[i];
		if (i == 0 && spacing == B_OFFSET_SPACING && data.buttons.size() > 1)
			left = textLeft;
		button->ResizeTo(widths[i] - 1, buttonHeight - 1);
		button->MoveTo(left, top);
		data.background->AddChild(button);
		right = left - kButtonGap;
	}
	SetDefaultButton(data.buttons.back());

	MoveTo(AlertPosition(Frame().Width(), Frame().Height()));
	// Command+W does not close an alert: only its buttons answer it.
	RemoveShortcut('W', B_COMMAND_KEY);
}

BAlert::~BAlert() { }

void
BAlert::SetShortcut(int32 index, char key)
{
	if (index < 0 || index >= (int32)fAlertData->shortcuts.size())
		return;
	fAlertData->shortcuts[index] = key;
}

char
BAlert::Shortcut(int32 index) const
{
	if (index < 0 || index >= (int32)fAlertData->shortcuts.size())
		return 0;
	return fAlertData->shortcuts[index];
}

int32
BAlert::Go()
{
	BPrivate::AlertData& data = *fAlertData;

	std::shared_ptr<BPrivate::AlertWait> waiter = std::make_shared<BPrivate::AlertWait>();
	data.waiter = waiter;

	if (BPrivate::is_gui_thread()) {
		// The answer ends a nested event loop: every window goes on meanwhile. The alert
		// may be gone when the loop returns, so the answer is read from the waiter.
		QEventLoop loop;
		data.loop = &loop;
		BMessenger alert(this);
		Show();
		PostMessage(kAlertShown);
		if (!waiter->answered)
			loop.exec();
		if (alert.LockTarget()) {
			fAlertData->loop = nullptr;
			Quit();
		}
		return waiter->answer;
	}

	// Another thread: the GUI thread shows the alert and answers; this thread waits,
	// in a wait that kill_thread() ends.

	struct CloseWhenKilled {
		BMessenger alert;
		bool answered;

		~CloseWhenKilled()
		{
			// Unwinding from a kill: nobody waits any more, so the alert goes away. A
			// killed thread's messages never arrive, so the GUI thread is asked directly.
			if (answered)
				return;
			BMessenger target = alert;
			BPrivate::post_to_gui_thread(QCoreApplication::instance(), [target]() {
				BLooper* looper = NULL;
				if (target.LockTargetWithTimeout(0) != B_OK)
					return;
				target.Target(&looper);
				static_cast<BAlert*>(looper)->Quit();
			});
		}
	} closer { BMessenger(this), false };

	Show();
	PostMessage(kAlertShown);

	int32 answer;
	{
		BPrivate::CancelableWait::Locker locker(waiter->wait);
		waiter->wait.WaitFor([&]() { return waiter->answered; }, B_INFINITE_TIMEOUT);
		answer = waiter->answer;
	}
	closer.answered = true;
	return answer;
}

status_t
BAlert::Go(BInvoker* invoker)
{
	fAlertData->invoker = invoker;
	Show();
	PostMessage(kAlertShown);
	return B_OK;
}

void
BAlert::DispatchMessage(BMessage* message, BHandler* handler)
{
	// The buttons' shortcuts work wherever the focus is, without Command.
	if (message->what == B_KEY_DOWN) {
		const char* bytes = NULL;
		int32 modifiers = 0;
		message->FindInt32("modifiers", &modifiers);
		if (message->FindString("bytes", &bytes) == B_OK && bytes != NULL && bytes[1] == '\0'
			&& (modifiers & B_COMMAND_KEY) == 0) {
			char key = bytes[0];
			for (size_t i = 0; i < fAlertData->shortcuts.size(); i++) {
				char shortcut = fAlertData->shortcuts[i];
				if (shortcut != 0 && tolower((uchar)shortcut) == tolower((uchar)key)) {
					BButton* button = fAlertData->buttons[i];
					if (button->IsEnabled())
						button->Invoke();
					return;
				}
			}
		}
	}
	BWindow::DispatchMessage(message, handler);
}

void
BAlert::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kButtonPressed: {
			int32 which = -1;
			if (message->FindInt32("which", &which) == B_OK)
				_Answer(which);
			break;
		}
		case kAlertShown: {
			BPrivate::AlertAnswerer answerer;
			{
				std::lock_guard<std::mutex> lock(sAnswererLock);
				answerer = sAnswerer;
			}
			if (!answerer)
				break;
			int32 index = answerer(this);
			if (index >= 0 && index < CountButtons())
				ButtonAt(index)->Invoke();
			break;
		}
		default:
			BWindow::MessageReceived(message);
			break;
	}
}

void
BAlert::FrameResized(float width, float height)
{
	BWindow::FrameResized(width, height);
}

void
BAlert::_Answer(int32 index)
{
	BPrivate::AlertData& data = *fAlertData;
	if (data.answered)
		return;
	data.answered = true;
	data.answer = index;

	if (data.invoker != NULL) {
		BMessage* message = data.invoker->Message();
		if (message != NULL) {
			BMessage copy(*message);
			copy.AddInt32("which", index);
			data.invoker->Invoke(&copy);
		}
	}

	if (data.waiter) {
		BPrivate::CancelableWait::Locker locker(data.waiter->wait);
		data.waiter->answer = index;
		data.waiter->answered = true;
		data.waiter->wait.NotifyAll();
	}
	if (data.loop != nullptr) {
		// Go() on the GUI thread quits the alert itself once its loop returns.
		data.loop->exit(0);
		return;
	}
	Quit();
}

BButton*
BAlert::ButtonAt(int32 index) const
{
	if (index < 0 || index >= (int32)fAlertData->buttons.size())
		return NULL;
	return fAlertData->buttons[index];
}

int32
BAlert::CountButtons() const
{
	return (int32)fAlertData->buttons.size();
}

BTextView*
BAlert::TextView() const
{
	return fAlertData->textView;
}

alert_type
BAlert::Type() const
{
	return fAlertData->type;
}

BPoint
BAlert::AlertPosition(float width, float height)
{
	BRect screen = BScreen().Frame();
	if (!screen.IsValid() || screen.Width() <= 0)
		return BPoint(100, 100);
	return BPoint(roundf((screen.Width() - width) / 2),
		std::max(0.0f, roundf((screen.Height() - height) / 3)));
}

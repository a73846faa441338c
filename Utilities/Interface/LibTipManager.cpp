#include "LibTipManager.h"

#include "LibTipWin.h"

#include <Application.h>
#include <Message.h>

namespace {

const bigtime_t kSecond = 1000000;
const int32 kDefaultStartDelay = 1;
const int32 kDefaultEndDelay = 4;

} // namespace

LibTipManager::LibTipManager() :
	fWindow(NULL),
	fShowTips(true),
	fStartDelay(kDefaultStartDelay),
	fEndDelay(kDefaultEndDelay),
	fPending(false)
{
}

LibTipManager::~LibTipManager()
{
	// The window lives as long as the program; it goes with the manager, unless the
	// application closed it first.
	if (fWindow != NULL && fWindowMessenger.LockTarget())
		fWindow->Quit();
}

void
LibTipManager::MessageReceived(BMessage* message)
{
	if (message == NULL)
		return;
	if (message->what == kLibTipToggle) {
		ToggleTips();
		return;
	}
	if (message->what != kLibTipRequest || !fShowTips)
		return;

	if (fWindow == NULL) {
		fWindow = new LibTipWin;
		fWindow->Run();
		fWindowMessenger = BMessenger(fWindow);
	}
	bool show = false;
	message->FindBool("show", &show);
	if (show)
		_Show(message);
	else
		_Hide();
}

void
LibTipManager::PostPending()
{
	if (fPending)
		_Pop();
}

void
LibTipManager::ToggleTips()
{
	fShowTips = !fShowTips;
}

void
LibTipManager::SetShowTips(const bool& show)
{
	fShowTips = show;
}

bool
LibTipManager::ShowTips() const
{
	return fShowTips;
}

void
LibTipManager::_Show(BMessage* message)
{
	int32 width = 0;
	if (message->FindInt32("width", &width) != B_OK)
		width = 0;
	const char* text = NULL;
	if (message->FindString("tip", &text) != B_OK)
		text = "";

	if (fWindow->Lock()) {
		fWindow->SetText(text, width);
		fWindow->Unlock();
	}
	BPoint where;
	message->FindPoint("loc", &where);
	int16 startDelay = kDefaultStartDelay;
	if (message->FindInt16("sdelay", &startDelay) != B_OK)
		startDelay = kDefaultStartDelay;
	int16 endDelay = kDefaultEndDelay;
	if (message->FindInt16("edelay", &endDelay) != B_OK)
		endDelay = kDefaultEndDelay;
	// A negative delay would stop the pulses for good; it counts as none.
	fStartDelay = startDelay < 0 ? 0 : startDelay;
	fEndDelay = endDelay < 0 ? 0 : endDelay;
	fWindow->PopTo(where, fStartDelay);
	fPending = true;

	if (be_app != NULL)
		be_app->SetPulseRate(fStartDelay * kSecond);
	if (fStartDelay == 0)
		_Pop();
}

void
LibTipManager::_Hide()
{
	if (fWindow->Lock()) {
		if (!fWindow->IsHidden())
			fWindow->Hide();
		fWindow->Unlock();
	}
	fPending = false;
	if (be_app != NULL)
		be_app->SetPulseRate(0);
}

void
LibTipManager::_Pop()
{
	fWindow->Pop();
	if (fWindow->Lock()) {
		// The tip's text view ends the tip at the window's first pulse.
		fWindow->SetPulseRate(fEndDelay * kSecond);
		fWindow->Unlock();
	}
	fPending = false;
}

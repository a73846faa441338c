#include "LibListView.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <ScrollBar.h>
#include <Window.h>

#include <atomic>
#include <cstdio>

namespace {

const uint32 kReorderPoll = '_LRP';
// How often a dragged row checks the pointer, and how near an edge scrolling starts.
const bigtime_t kPollInterval = 30000;
const float kScrollZone = 10;

} // namespace

// Shared by the list and the thread that wakes it every 30 ms during a drag, so that either
// may go first: a list deleted mid-drag only stops the poll, and the thread's messages to a
// list that is gone are dropped by the messenger.
struct LibListView::ReorderPoll {
	std::atomic<bool> running { true };
	BMessenger list;
};

int32
LibListView::_PollReorder(void* data)
{
	std::shared_ptr<LibListView::ReorderPoll>* held =
		static_cast<std::shared_ptr<LibListView::ReorderPoll>*>(data);
	std::shared_ptr<LibListView::ReorderPoll> poll = *held;
	delete held;
	while (true) {
		snooze(kPollInterval);
		if (!poll->running.load())
			break;
		BMessage message(kReorderPoll);
		poll->list.SendMessage(&message);
	}
	return 0;
}

LibListView::LibListView(BRect frame, const char* name) :
	BListView(frame, name, B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL_SIDES),
	fAllowReorder(false),
	fReorderCommand(0),
	fHoverCommand(0),
	fLastHovered(-1),
	fScrollBar(NULL),
	fReorderFrom(-1)
{
}

LibListView::~LibListView()
{
	if (fPoll)
		fPoll->running = false;
}

void
LibListView::SetHoverCommand(const uint32& command)
{
	fHoverCommand = command;
}

void
LibListView::SetReorderCommand(const uint32& command)
{
	fReorderCommand = command;
}

void
LibListView::AllowReorder(const bool& allow, BScrollBar* bar)
{
	fAllowReorder = allow;
	fScrollBar = bar;
}

void
LibListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	// A dragged row is followed by the poll; the list's own tracking stays out of it.
	if (fReorderFrom >= 0)
		return;

	if (fHoverCommand != 0 && Window() != NULL && Window()->IsActive()) {
		if (transit == B_ENTERED_VIEW)
			fLastHovered = -1;
		const bool inside = transit == B_ENTERED_VIEW || transit == B_INSIDE_VIEW;
		_Hover(inside ? IndexOf(where) : -1);
	}
	BListView::MouseMoved(where, transit, dragMessage);
}

void
LibListView::MouseUp(BPoint where)
{
	if (fReorderFrom >= 0) {
		_FinishReorder(where);
		return;
	}
	BListView::MouseUp(where);
}

void
LibListView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ESCAPE || bytes[0] == B_TAB) && Window() != NULL) {
		Window()->Hide();
		return;
	}
	BListView::KeyDown(bytes, numBytes);
}

bool
LibListView::InitiateDrag(BPoint /*where*/, int32 index, bool wasSelected)
{
	if (!fAllowReorder || !wasSelected || index < 0 || Window() == NULL)
		return false;
	fReorderFrom = index;
	// TODO: show a sliding cursor while the row is dragged once the interface kit applies
	// cursors to views; until then the pointer keeps its shape.
	// Every pointer message comes here until the button is released, wherever it is.
	SetMouseEventMask(B_POINTER_EVENTS);
	fPoll = std::make_shared<ReorderPoll>();
	fPoll->list = BMessenger(this);
	auto* held = new std::shared_ptr<ReorderPoll>(fPoll);
	thread_id thread = spawn_thread(_PollReorder, "list reorder", B_NORMAL_PRIORITY, held);
	if (thread < 0) {
		delete held;
		fPoll.reset();
	} else
		resume_thread(thread);
	return true;
}

void
LibListView::MessageReceived(BMessage* message)
{
	if (message->what == kReorderPoll) {
		_TrackReorder();
		return;
	}
	BListView::MessageReceived(message);
}

void
LibListView::ItemReordered(const int32& /*from*/, const int32& /*to*/)
{
	fprintf(stderr, "ItemReordered needs to be inherited\n");
}

void
LibListView::_Hover(int32 row)
{
	if (row == fLastHovered)
		return;
	fLastHovered = row;
	BMessage report(fHoverCommand);
	report.AddInt32("item", row);
	Window()->PostMessage(&report);
}

void
LibListView::_TrackReorder()
{
	if (fReorderFrom < 0)
		return;
	BPoint where;
	uint32 buttons = 0;
	GetMouse(&where, &buttons, false);
	if (buttons == 0) {
		_FinishReorder(where);
		return;
	}
	if (fScrollBar == NULL)
		return;
	float smallStep;
	float largeStep;
	fScrollBar->GetSteps(&smallStep, &largeStep);
	const BRect visible = Bounds();
	if (where.y < visible.top + kScrollZone)
		fScrollBar->SetValue(fScrollBar->Value() - smallStep);
	else if (where.y > visible.bottom - kScrollZone)
		fScrollBar->SetValue(fScrollBar->Value() + smallStep);
}

void
LibListView::_FinishReorder(BPoint where)
{
	const int32 from = fReorderFrom;
	fReorderFrom = -1;
	if (fPoll) {
		fPoll->running = false;
		fPoll.reset();
	}
	const int32 to = IndexOf(where);
	if (to < 0 || to == from)
		return;
	ItemReordered(from, to);
	if (fReorderCommand != 0 && Window() != NULL) {
		BMessage reordered(fReorderCommand);
		reordered.AddInt32("from", from);
		reordered.AddInt32("to", to);
		Window()->PostMessage(&reordered);
	}
}

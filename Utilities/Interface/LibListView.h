// A single-selection list that reports the row the pointer rests on (hover reports) and whose
// rows can be dragged to a new place.
#ifndef LIB_LIST_VIEW_H
#define LIB_LIST_VIEW_H

#include <ListView.h>

#include <memory>

class BScrollBar;

class LibListView : public BListView {
public:
	// Single selection, following all sides of its parent.
	LibListView(BRect frame, const char* name);
	virtual ~LibListView();

	// With a command set, the window gets a message with it and "item" (int32) = the row
	// under the pointer whenever that row changes while the window is active, and −1 when
	// the pointer leaves the list. 0 turns the reports off.
	void SetHoverCommand(const uint32& command);
	// The command posted to the window (with "from" and "to") after a row was dragged to a
	// new place; 0 for none.
	void SetReorderCommand(const uint32& command);
	// Lets a selected row be dragged to another row; bar, when given, scrolls while the
	// pointer is within 10 pixels of the list's visible top or bottom.
	void AllowReorder(const bool& allow, BScrollBar* bar = NULL);

	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MouseUp(BPoint where);
	// Escape and Tab hide the list's window; other keys go to the list.
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual bool InitiateDrag(BPoint where, int32 index, bool wasSelected);
	virtual void MessageReceived(BMessage* message);

	// Called when row from was dropped on row to. Lists that allow reordering move the row
	// here; the base only says that it was not overridden.
	virtual void ItemReordered(const int32& from, const int32& to);

private:
	struct ReorderPoll;

	static int32 _PollReorder(void* data);
	void _Hover(int32 row);
	void _TrackReorder();
	void _FinishReorder(BPoint where);

	bool fAllowReorder;
	uint32 fReorderCommand;
	uint32 fHoverCommand;
	int32 fLastHovered;
	BScrollBar* fScrollBar;
	// While a row is dragged: the row, and the poll that keeps the list tracking the
	// pointer when it rests near an edge.
	int32 fReorderFrom;
	std::shared_ptr<ReorderPoll> fPoll;
};

#endif // LIB_LIST_VIEW_H

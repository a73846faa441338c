// BListView: a vertical list of BListItem rows the user selects from, one at a time or
// several. Every change of the selection calls SelectionChanged() and sends the selection
// message (when one is set) to the target; a double click or Enter sends the invocation
// message. Both carry "when", "source" (the list) and one "index" per selected row.
#ifndef _LIST_VIEW_H
#define _LIST_VIEW_H

#include <Invoker.h>
#include <ListItem.h>
#include <View.h>

#include <vector>

class BScrollBar;

enum list_view_type { B_SINGLE_SELECTION_LIST, B_MULTIPLE_SELECTION_LIST };

class BListView : public BView, public BInvoker {
public:
	BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
	// Does not delete the items: they belong to the caller, as on BeOS.
	virtual ~BListView();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void ScrollTo(BPoint where);
	using BView::ScrollTo;

	// The list keeps the items but does not own them.
	virtual bool AddItem(BListItem* item);
	virtual bool AddItem(BListItem* item, int32 atIndex);
	// Gives the item back to the caller.
	virtual bool RemoveItem(BListItem* item);
	virtual BListItem* RemoveItem(int32 index);
	virtual bool RemoveItems(int32 index, int32 count);
	virtual void MakeEmpty();
	bool SwapItems(int32 a, int32 b);
	bool MoveItem(int32 from, int32 to);
	void SortItems(int (*compare)(const void*, const void*));

	BListItem* ItemAt(int32 index) const;
	BListItem* FirstItem() const;
	BListItem* LastItem() const;
	int32 IndexOf(const BListItem* item) const;
	// The row under a point of the view, -1 when none.
	int32 IndexOf(BPoint point) const;
	int32 CountItems() const;
	bool IsEmpty() const;
	bool HasItem(const BListItem* item) const;

	// Takes ownership; NULL removes the message, and with it the reports.
	virtual void SetSelectionMessage(BMessage* message);
	BMessage* SelectionMessage() const;
	uint32 SelectionCommand() const;
	// Takes ownership; the invoker's message.
	virtual void SetInvocationMessage(BMessage* message);
	BMessage* InvocationMessage() const;
	uint32 InvocationCommand() const;

	virtual void SetListType(list_view_type type);
	list_view_type ListType() const;

	// The index of the n-th selected row, -1 past the last one.
	int32 CurrentSelection(int32 n = 0) const;
	// extend keeps the rows selected so far (multiple-selection lists only).
	void Select(int32 index, bool extend = false);
	void Select(int32 from, int32 to, bool extend = false);
	bool IsItemSelected(int32 index) const;
	void Deselect(int32 index);
	void DeselectAll();
	void DeselectExcept(int32 exceptFrom, int32 exceptTo);

	// Called after every change of the selection, before the selection message goes.
	virtual void SelectionChanged();
	// Sends a copy of the message (the invocation message when NULL) with "when",
	// "source" and the "index" fields added.
	virtual status_t Invoke(BMessage* message = NULL);

	BRect ItemFrame(int32 index) const;
	void ScrollToSelection();
	void InvalidateItem(int32 index);

	// Called when the user drags a row; return true when a drag was started.
	virtual bool InitiateDrag(BPoint where, int32 index, bool wasSelected);

	virtual void GetPreferredSize(float* width, float* height);

protected:
	// Where the row's content starts, for the outline list's latches.
	virtual void DrawListItem(BListItem* item, int32 index, BRect frame);
	// A click at where on the row index; true when it was handled (a latch).
	virtual bool HandleItemClick(int32 index, BPoint where);
	void UpdateItemSizes();
	void FixupScrollBar();
	BScrollBar* VerticalScrollBar() const;

private:
	friend class BOutlineListView;

	bool _Select(int32 index, bool extend);
	bool _SelectRange(int32 from, int32 to, bool extend);
	bool _DeselectAll(int32 exceptFrom, int32 exceptTo);
	void _NotifySelection();
	void _UpdateItem(BListItem* item);
	void _KeySelect(int32 index, bool extend);
	float _TotalHeight() const;

	std::vector<BListItem*> fItems;
	list_view_type fListType;
	BMessage* fSelectMessage;
	// The row a shift-click or shift-arrow extends from.
	BListItem* fAnchor;
	int32 fTrackIndex;
	bool fTrackWasSelected;
	BPoint fTrackStart;
};

#endif // _LIST_VIEW_H

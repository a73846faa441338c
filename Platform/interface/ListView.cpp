#include <ListView.h>

#include <Message.h>
#include <OS.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

BListView::BListView(
	BRect frame, const char* name, list_view_type type, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags | B_FRAME_EVENTS),
	BInvoker(NULL, NULL, NULL),
	fListType(type),
	fSelectMessage(NULL),
	fAnchor(NULL),
	fTrackIndex(-1),
	fTrackWasSelected(false)
{
	SetFont(be_plain_font);
	SetViewColor(ui_color(B_DOCUMENT_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BListView::~BListView()
{
	delete fSelectMessage;
}

void
BListView::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (!Messenger().IsValid() && Window() != NULL)
		SetTarget(Window());
	UpdateItemSizes();
	FixupScrollBar();
}

void
BListView::Draw(BRect updateRect)
{
	SetLowColor(ViewColor());
	for (int32 index = 0; index < CountItems(); index++) {
		BRect frame = ItemFrame(index);
		if (frame.bottom < updateRect.top)
			continue;
		if (frame.top > updateRect.bottom)
			break;
		DrawListItem(fItems[(size_t)index], index, frame);
	}
}

void
BListView::DrawListItem(BListItem* item, int32, BRect frame)
{
	item->DrawItem(this, frame, true);
}

bool
BListView::HandleItemClick(int32, BPoint)
{
	return false;
}

void
BListView::MouseDown(BPoint where)
{
	if (!IsFocus())
		MakeFocus(true);
	int32 index = IndexOf(where);
	fTrackIndex = -1;
	if (index < 0)
		return;
	if (HandleItemClick(index, where))
		return;
	BListItem* item = ItemAt(index);
	if (!item->IsEnabled())
		return;

	int32 clicks = 1;
	int32 modifierKeys = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL) {
		Window()->CurrentMessage()->FindInt32("clicks", &clicks);
		Window()->CurrentMessage()->FindInt32("modifiers", &modifierKeys);
	}
	bool wasSelected = item->IsSelected();
	if (clicks >= 2 && wasSelected) {
		Invoke();
		return;
	}

	bool changed;
	if (fListType == B_MULTIPLE_SELECTION_LIST && (modifierKeys & B_SHIFT_KEY) != 0
		&& fAnchor != NULL && IndexOf(fAnchor) >= 0) {
		BListItem* anchor = fAnchor;
		int32 anchorIndex = IndexOf(anchor);
		changed = _SelectRange(std::min(anchorIndex, index), std::max(anchorIndex, index),
			(modifierKeys & B_COMMAND_KEY) != 0);
		fAnchor = anchor;
	} else if (fListType == B_MULTIPLE_SELECTION_LIST && (modifierKeys & B_COMMAND_KEY) != 0) {
		if (wasSelected) {
			item->Deselect();
			InvalidateItem(index);
			changed = true;
		} else
			changed = _Select(index, true);
	} else
		changed = _Select(index, false);
	if (changed)
		_NotifySelection();

	fTrackIndex = index;
	fTrackWasSelected = wasSelected;
	fTrackStart = where;
}

void
BListView::MouseUp(BPoint)
{
	fTrackIndex = -1;
}

void
BListView::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (fTrackIndex < 0)
		return;
	int32 buttons = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("buttons", &buttons);
	if (buttons == 0) {
		fTrackIndex = -1;
		return;
	}
	// A drag starts once the pointer has left a small square around the click.
	if (fabsf(where.x - fTrackStart.x) < 4 && fabsf(where.y - fTrackStart.y) < 4)
		return;
	int32 index = fTrackIndex;
	fTrackIndex = -1;
	InitiateDrag(fTrackStart, index, fTrackWasSelected);
}

void
BListView::_KeySelect(int32 index, bool extend)
{
	index = std::clamp<int32>(index, 0, CountItems() - 1);
	bool changed;
	if (extend && fListType == B_MULTIPLE_SELECTION_LIST && fAnchor != NULL
		&& IndexOf(fAnchor) >= 0) {
		BListItem* anchor = fAnchor;
		int32 anchorIndex = IndexOf(anchor);
		changed = _SelectRange(std::min(anchorIndex, index), std::max(anchorIndex, index), false);
		fAnchor = anchor;
	} else
		changed = _Select(index, false);
	if (changed)
		_NotifySelection();
	BRect frame = ItemFrame(index);
	BRect bounds = Bounds();
	if (frame.top < bounds.top)
		ScrollTo(BPoint(bounds.left, frame.top));
	else if (frame.bottom > bounds.bottom)
		ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}

void
BListView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes < 1 || CountItems() == 0) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	int32 modifierKeys = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("modifiers", &modifierKeys);
	bool extend = (modifierKeys & B_SHIFT_KEY) != 0;
	int32 current = CurrentSelection(0);
	int32 last = current;
	for (int32 n = 1; CurrentSelection(n) >= 0; n++)
		last = CurrentSelection(n);
	int32 page =
		std::max<int32>(1, (int32)(Bounds().Height() / std::max(1.0f, ItemAt(0)->Height())));

	switch (bytes[0]) {
		case B_UP_ARROW:
			_KeySelect(current < 0 ? CountItems() - 1 : current - 1, extend);
			break;
		case B_DOWN_ARROW:
			_KeySelect(last < 0 ? 0 : last + 1, extend);
			break;
		case B_HOME:
			_KeySelect(0, extend);
			break;
		case B_END:
			_KeySelect(CountItems() - 1, extend);
			break;
		case B_PAGE_UP:
			_KeySelect(current < 0 ? 0 : current - page, extend);
			break;
		case B_PAGE_DOWN:
			_KeySelect(last < 0 ? 0 : last + page, extend);
			break;
		case B_RETURN:
		case B_SPACE:
			if (current >= 0)
				Invoke();
			break;
		default:
			BView::KeyDown(bytes, numBytes);
	}
}

void
BListView::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	// BeOS behaviour: the focus shows on the border of the scroll view around the list.
	if (BScrollView* scroller = dynamic_cast<BScrollView*>(Parent()))
		scroller->SetBorderHighlighted(focus);
	Invalidate();
}

void
BListView::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	UpdateItemSizes();
	FixupScrollBar();
	Invalidate();
}

void
BListView::ScrollTo(BPoint where)
{
	BView::ScrollTo(where);
	if (BScrollBar* bar = BScrollBar::Of(this, B_VERTICAL))
		bar->SetValue(where.y);
	if (BScrollBar* bar = BScrollBar::Of(this, B_HORIZONTAL))
		bar->SetValue(where.x);
}

void
BListView::_UpdateItem(BListItem* item)
{
	BFont font;
	GetFont(&font);
	item->Update(this, &font);
}

void
BListView::UpdateItemSizes()
{
	BFont font;
	GetFont(&font);
	for (BListItem* item : fItems)
		item->Update(this, &font);
}

float
BListView::_TotalHeight() const
{
	float height = 0;
	for (const BListItem* item : fItems)
		height += item->Height();
	return height;
}

BScrollBar*
BListView::VerticalScrollBar() const
{
	return BScrollBar::Of(this, B_VERTICAL);
}

void
BListView::FixupScrollBar()
{
	BScrollBar* bar = VerticalScrollBar();
	if (bar == NULL)
		return;
	float visible = Bounds().Height() + 1;
	float total = _TotalHeight();
	if (total <= visible) {
		bar->SetRange(0, 0);
		bar->SetProportion(1);
	} else {
		bar->SetRange(0, total - visible);
		bar->SetProportion(visible / total);
	}
	float smallStep = fItems.empty() ? 20 : std::max(1.0f, fItems[0]->Height());
	bar->SetSteps(smallStep, std::max(smallStep, visible - smallStep));
}

bool
BListView::AddItem(BListItem* item)
{
	return AddItem(item, CountItems());
}

bool
BListView::AddItem(BListItem* item, int32 atIndex)
{
	if (item == NULL || atIndex < 0 || atIndex > CountItems())
		return false;
	fItems.insert(fItems.begin() + atIndex, item);
	_UpdateItem(item);
	FixupScrollBar();
	Invalidate();
	// A row that comes in selected is part of the selection from now on.
	if (item->IsSelected()) {
		if (fListType == B_SINGLE_SELECTION_LIST)
			_DeselectAll(atIndex, atIndex);
		_NotifySelection();
	}
	return true;
}

bool
BListView::RemoveItem(BListItem* item)
{
	int32 index = IndexOf(item);
	if (index < 0)
		return false;
	return RemoveItem(index) != NULL;
}

BListItem*
BListView::RemoveItem(int32 index)
{
	BListItem* item = ItemAt(index);
	if (item == NULL)
		return NULL;
	fItems.erase(fItems.begin() + index);
	if (fAnchor == item)
		fAnchor = NULL;
	FixupScrollBar();
	Invalidate();
	// The row leaves the selection with the list; it keeps its own state.
	if (item->IsSelected())
		_NotifySelection();
	return item;
}

bool
BListView::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	bool selectionChanged = false;
	for (int32 i = index; i < index + count; i++) {
		selectionChanged |= fItems[(size_t)i]->IsSelected();
		if (fItems[(size_t)i] == fAnchor)
			fAnchor = NULL;
	}
	fItems.erase(fItems.begin() + index, fItems.begin() + index + count);
	FixupScrollBar();
	Invalidate();
	if (selectionChanged)
		_NotifySelection();
	return true;
}

void
BListView::MakeEmpty()
{
	if (fItems.empty())
		return;
	RemoveItems(0, CountItems());
}

bool
BListView::SwapItems(int32 a, int32 b)
{
	if (ItemAt(a) == NULL || ItemAt(b) == NULL)
		return false;
	std::swap(fItems[(size_t)a], fItems[(size_t)b]);
	InvalidateItem(a);
	InvalidateItem(b);
	return true;
}

bool
BListView::MoveItem(int32 from, int32 to)
{
	if (ItemAt(from) == NULL || ItemAt(to) == NULL)
		return false;
	BListItem* item = fItems[(size_t)from];
	fItems.erase(fItems.begin() + from);
	fItems.insert(fItems.begin() + to, item);
	Invalidate();
	return true;
}

void
BListView::SortItems(int (*compare)(const void*, const void*))
{
	if (compare == NULL)
		return;
	// The comparison gets pointers to the item pointers, as on BeOS.
	std::stable_sort(fItems.begin(), fItems.end(),
		[compare](BListItem* const& a, BListItem* const& b) { return compare(&a, &b) < 0; });
	Invalidate();
}

BListItem*
BListView::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return fItems[(size_t)index];
}

BListItem*
BListView::FirstItem() const
{
	return ItemAt(0);
}

BListItem*
BListView::LastItem() const
{
	return ItemAt(CountItems() - 1);
}

int32
BListView::IndexOf(const BListItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : (int32)(found - fItems.begin());
}

int32
BListView::IndexOf(BPoint point) const
{
	if (point.y < 0)
		return -1;
	float top = 0;
	for (size_t index = 0; index < fItems.size(); index++) {
		float bottom = top + fItems[index]->Height();
		if (point.y < bottom)
			return (int32)index;
		top = bottom;
	}
	return -1;
}

int32
BListView::CountItems() const
{
	return (int32)fItems.size();
}

bool
BListView::IsEmpty() const
{
	return fItems.empty();
}

bool
BListView::HasItem(const BListItem* item) const
{
	return IndexOf(item) >= 0;
}

void
BListView::SetSelectionMessage(BMessage* message)
{
	if (message == fSelectMessage)
		return;
	delete fSelectMessage;
	fSelectMessage = message;
}

BMessage*
BListView::SelectionMessage() const
{
	return fSelectMessage;
}

uint32
BListView::SelectionCommand() const
{
	return fSelectMessage != NULL ? fSelectMessage->what : 0;
}

void
BListView::SetInvocationMessage(BMessage* message)
{
	SetMessage(message);
}

BMessage*
BListView::InvocationMessage() const
{
	return Message();
}

uint32
BListView::InvocationCommand() const
{
	return Command();
}

void
BListView::SetListType(list_view_type type)
{
	if (type == fListType)
		return;
	fListType = type;
	// Going to single selection keeps only the first selected row.
	if (type == B_SINGLE_SELECTION_LIST) {
		int32 first = CurrentSelection(0);
		if (first >= 0 && _DeselectAll(first, first))
			_NotifySelection();
	}
}

list_view_type
BListView::ListType() const
{
	return fListType;
}

int32
BListView::CurrentSelection(int32 n) const
{
	if (n < 0)
		return -1;
	for (size_t index = 0; index < fItems.size(); index++) {
		if (fItems[index]->IsSelected() && n-- == 0)
			return (int32)index;
	}
	return -1;
}

bool
BListView::_DeselectAll(int32 exceptFrom, int32 exceptTo)
{
	bool changed = false;
	for (int32 index = 0; index < CountItems(); index++) {
		if (index >= exceptFrom && index <= exceptTo)
			continue;
		BListItem* item = fItems[(size_t)index];
		if (item->IsSelected()) {
			item->Deselect();
			InvalidateItem(index);
			changed = true;
		}
	}
	return changed;
}

bool
BListView::_Select(int32 index, bool extend)
{
	BListItem* item = ItemAt(index);
	if (item == NULL)
		return false;
	// BeOS behaviour: a single-selection list always replaces the selection.
	if (fListType == B_SINGLE_SELECTION_LIST)
		extend = false;
	bool changed = false;
	if (!extend)
		changed = _DeselectAll(index, index);
	fAnchor = item;
	if (!item->IsSelected()) {
		item->Select();
		InvalidateItem(index);
		changed = true;
	}
	return changed;
}

bool
BListView::_SelectRange(int32 from, int32 to, bool extend)
{
	if (fListType == B_SINGLE_SELECTION_LIST)
		return _Select(from, false);
	from = std::max<int32>(from, 0);
	to = std::min<int32>(to, CountItems() - 1);
	if (from > to)
		return false;
	bool changed = false;
	if (!extend)
		changed = _DeselectAll(from, to);
	for (int32 index = from; index <= to; index++) {
		BListItem* item = fItems[(size_t)index];
		if (!item->IsSelected()) {
			item->Select();
			InvalidateItem(index);
			changed = true;
		}
	}
	fAnchor = fItems[(size_t)from];
	return changed;
}

void
BListView::Select(int32 index, bool extend)
{
	if (_Select(index, extend))
		_NotifySelection();
}

void
BListView::Select(int32 from, int32 to, bool extend)
{
	if (_SelectRange(from, to, extend))
		_NotifySelection();
}

bool
BListView::IsItemSelected(int32 index) const
{
	BListItem* item = ItemAt(index);
	return item != NULL && item->IsSelected();
}

void
BListView::Deselect(int32 index)
{
	BListItem* item = ItemAt(index);
	if (item == NULL || !item->IsSelected())
		return;
	item->Deselect();
	InvalidateItem(index);
	_NotifySelection();
}

void
BListView::DeselectAll()
{
	if (_DeselectAll(-1, -1))
		_NotifySelection();
}

void
BListView::DeselectExcept(int32 exceptFrom, int32 exceptTo)
{
	if (exceptFrom > exceptTo)
		return;
	if (_DeselectAll(exceptFrom, exceptTo))
		_NotifySelection();
}

void
BListView::SelectionChanged()
{
}

void
BListView::_NotifySelection()
{
	SelectionChanged();
	if (fSelectMessage != NULL)
		Invoke(fSelectMessage);
}

status_t
BListView::Invoke(BMessage* message)
{
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	for (int32 n = 0;; n++) {
		int32 index = CurrentSelection(n);
		if (index < 0)
			break;
		copy.AddInt32("index", index);
	}
	return BInvoker::Invoke(&copy);
}

BRect
BListView::ItemFrame(int32 index) const
{
	BRect frame(Bounds().left, 0, Bounds().right, -1);
	if (index < 0 || index >= CountItems())
		return frame;
	float top = 0;
	for (int32 i = 0; i < index; i++)
		top += fItems[(size_t)i]->Height();
	frame.top = top;
	frame.bottom = top + fItems[(size_t)index]->Height() - 1;
	return frame;
}

void
BListView::ScrollToSelection()
{
	int32 index = CurrentSelection(0);
	if (index < 0)
		return;
	BRect frame = ItemFrame(index);
	BRect bounds = Bounds();
	if (frame.top >= bounds.top && frame.bottom <= bounds.bottom)
		return;
	ScrollTo(BPoint(bounds.left, frame.top));
}

void
BListView::InvalidateItem(int32 index)
{
	BRect frame = ItemFrame(index);
	if (frame.IsValid())
		Invalidate(frame);
}

bool
BListView::InitiateDrag(BPoint, int32, bool)
{
	return false;
}

void
BListView::GetPreferredSize(float* width, float* height)
{
	float widest = 0;
	for (const BListItem* item : fItems)
		widest = std::max(widest, item->Width());
	if (width != NULL)
		*width = std::max(widest, Bounds().Width());
	if (height != NULL)
		*height = std::max(0.0f, _TotalHeight() - 1);
}

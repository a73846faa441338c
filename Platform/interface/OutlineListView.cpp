#include <OutlineListView.h>

#include <Window.h>

#include <algorithm>

namespace {

// The width each outline level indents its rows by; the latch sits in that space.
const float kLevelIndent = 14;

} // namespace

BOutlineListView::BOutlineListView(
	BRect frame, const char* name, list_view_type type, uint32 resizingMode, uint32 flags) :
	BListView(frame, name, type, resizingMode, flags)
{
}

BOutlineListView::~BOutlineListView() { }

void
BOutlineListView::KeyDown(const char* bytes, int32 numBytes)
{
	int32 current = CurrentSelection(0);
	if (numBytes == 1 && current >= 0 && (bytes[0] == B_LEFT_ARROW || bytes[0] == B_RIGHT_ARROW)) {
		BListItem* item = ItemAt(current);
		if (bytes[0] == B_RIGHT_ARROW)
			Expand(item);
		else if (item->IsExpanded() && _HasSubitems(FullListIndexOf(item)))
			Collapse(item);
		else if (BListItem* super = Superitem(item))
			Select(IndexOf(super));
		return;
	}
	BListView::KeyDown(bytes, numBytes);
}

int32
BOutlineListView::_SubtreeEnd(int32 fullListIndex) const
{
	uint32 level = fFullList[(size_t)fullListIndex]->OutlineLevel();
	int32 end = fullListIndex + 1;
	while (end < FullListCountItems() && fFullList[(size_t)end]->OutlineLevel() > level)
		end++;
	return end;
}

bool
BOutlineListView::_HasSubitems(int32 fullListIndex) const
{
	if (fullListIndex < 0 || fullListIndex + 1 >= FullListCountItems())
		return false;
	return fFullList[(size_t)fullListIndex + 1]->OutlineLevel()
		> fFullList[(size_t)fullListIndex]->OutlineLevel();
}

void
BOutlineListView::_RebuildVisible()
{
	std::vector<BListItem*> visible;
	visible.reserve(fFullList.size());
	bool selectionChanged = false;
	// Rows deeper than a collapsed row's level are hidden until the level comes back up.
	uint32 hideBelow = UINT32_MAX;
	for (BListItem* item : fFullList) {
		if (item->OutlineLevel() > hideBelow) {
			item->fVisible = false;
			if (item->IsSelected()) {
				item->Deselect();
				selectionChanged = true;
			}
			if (fAnchor == item)
				fAnchor = NULL;
			continue;
		}
		hideBelow = item->IsExpanded() ? UINT32_MAX : item->OutlineLevel();
		item->fVisible = true;
		visible.push_back(item);
	}
	fItems.swap(visible);
	FixupScrollBar();
	Invalidate();
	if (selectionChanged)
		_NotifySelection();
}

bool
BOutlineListView::AddUnder(BListItem* item, BListItem* superitem)
{
	int32 superIndex = FullListIndexOf(superitem);
	if (item == NULL || superIndex < 0)
		return false;
	item->SetOutlineLevel(superitem->OutlineLevel() + 1);
	return AddItem(item, _SubtreeEnd(superIndex));
}

bool
BOutlineListView::AddItem(BListItem* item)
{
	return AddItem(item, FullListCountItems());
}

bool
BOutlineListView::AddItem(BListItem* item, int32 fullListIndex)
{
	if (item == NULL || fullListIndex < 0 || fullListIndex > FullListCountItems()
		|| FullListHasItem(item)) {
		return false;
	}
	fFullList.insert(fFullList.begin() + fullListIndex, item);
	_UpdateItem(item);
	bool selected = item->IsSelected();
	_RebuildVisible();
	if (selected && item->fVisible) {
		if (fListType == B_SINGLE_SELECTION_LIST) {
			int32 index = IndexOf(item);
			_DeselectAll(index, index);
		}
		_NotifySelection();
	}
	return true;
}

bool
BOutlineListView::RemoveItem(BListItem* item)
{
	int32 fullIndex = FullListIndexOf(item);
	if (fullIndex < 0)
		return false;
	int32 end = _SubtreeEnd(fullIndex);
	bool selectionChanged = false;
	for (int32 index = fullIndex; index < end; index++) {
		BListItem* removed = fFullList[(size_t)index];
		selectionChanged |= removed->fVisible && removed->IsSelected();
		if (removed == fAnchor)
			fAnchor = NULL;
		if (index > fullIndex)
			delete removed;
	}
	fFullList.erase(fFullList.begin() + fullIndex, fFullList.begin() + end);
	_RebuildVisible();
	if (selectionChanged)
		_NotifySelection();
	return true;
}

BListItem*
BOutlineListView::RemoveItem(int32 index)
{
	BListItem* item = ItemAt(index);
	if (item == NULL || !RemoveItem(item))
		return NULL;
	return item;
}

bool
BOutlineListView::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	std::vector<BListItem*> doomed(fItems.begin() + index, fItems.begin() + index + count);
	// A row may already have gone as the subitem of one removed before it.
	for (BListItem* item : doomed) {
		if (FullListHasItem(item))
			RemoveItem(item);
	}
	return true;
}

void
BOutlineListView::MakeEmpty()
{
	if (fFullList.empty())
		return;
	bool selectionChanged = CurrentSelection(0) >= 0;
	fFullList.clear();
	fAnchor = NULL;
	_RebuildVisible();
	if (selectionChanged)
		_NotifySelection();
}

BListItem*
BOutlineListView::FullListItemAt(int32 fullListIndex) const
{
	if (fullListIndex < 0 || fullListIndex >= FullListCountItems())
		return NULL;
	return fFullList[(size_t)fullListIndex];
}

int32
BOutlineListView::FullListIndexOf(const BListItem* item) const
{
	auto found = std::find(fFullList.begin(), fFullList.end(), item);
	return found == fFullList.end() ? -1 : (int32)(found - fFullList.begin());
}

int32
BOutlineListView::FullListIndexOf(BPoint point) const
{
	BListItem* item = ItemAt(IndexOf(point));
	return item != NULL ? FullListIndexOf(item) : -1;
}

BListItem*
BOutlineListView::FullListFirstItem() const
{
	return FullListItemAt(0);
}

BListItem*
BOutlineListView::FullListLastItem() const
{
	return FullListItemAt(FullListCountItems() - 1);
}

bool
BOutlineListView::FullListHasItem(const BListItem* item) const
{
	return FullListIndexOf(item) >= 0;
}

int32
BOutlineListView::FullListCountItems() const
{
	return (int32)fFullList.size();
}

int32
BOutlineListView::FullListCurrentSelection(int32 n) const
{
	BListItem* item = ItemAt(CurrentSelection(n));
	return item != NULL ? FullListIndexOf(item) : -1;
}

bool
BOutlineListView::FullListIsEmpty() const
{
	return fFullList.empty();
}

BListItem*
BOutlineListView::Superitem(const BListItem* item) const
{
	int32 index = FullListIndexOf(item);
	if (index < 0 || item->OutlineLevel() == 0)
		return NULL;
	for (int32 scan = index - 1; scan >= 0; scan--) {
		if (fFullList[(size_t)scan]->OutlineLevel() < item->OutlineLevel())
			return fFullList[(size_t)scan];
	}
	return NULL;
}

void
BOutlineListView::Expand(BListItem* item)
{
	if (!FullListHasItem(item) || item->IsExpanded())
		return;
	item->SetExpanded(true);
	_RebuildVisible();
}

void
BOutlineListView::Collapse(BListItem* item)
{
	if (!FullListHasItem(item) || !item->IsExpanded())
		return;
	item->SetExpanded(false);
	_RebuildVisible();
}

bool
BOutlineListView::IsExpanded(int32 fullListIndex) const
{
	BListItem* item = FullListItemAt(fullListIndex);
	return item != NULL && item->IsExpanded();
}

int32
BOutlineListView::CountItemsUnder(BListItem* superitem, bool oneLevelOnly) const
{
	int32 superIndex = FullListIndexOf(superitem);
	if (superIndex < 0)
		return 0;
	int32 count = 0;
	int32 end = _SubtreeEnd(superIndex);
	for (int32 index = superIndex + 1; index < end; index++) {
		if (!oneLevelOnly
			|| fFullList[(size_t)index]->OutlineLevel() == superitem->OutlineLevel() + 1) {
			count++;
		}
	}
	return count;
}

BListItem*
BOutlineListView::ItemUnderAt(BListItem* superitem, bool oneLevelOnly, int32 index) const
{
	int32 superIndex = FullListIndexOf(superitem);
	if (superIndex < 0 || index < 0)
		return NULL;
	int32 end = _SubtreeEnd(superIndex);
	for (int32 scan = superIndex + 1; scan < end; scan++) {
		BListItem* item = fFullList[(size_t)scan];
		if (oneLevelOnly && item->OutlineLevel() != superitem->OutlineLevel() + 1)
			continue;
		if (index-- == 0)
			return item;
	}
	return NULL;
}

BRect
BOutlineListView::_LatchFrame(const BListItem* item, BRect frame) const
{
	float left = frame.left + kLevelIndent * (float)item->OutlineLevel();
	return BRect(left, frame.top, left + kLevelIndent - 1, frame.bottom);
}

void
BOutlineListView::DrawListItem(BListItem* item, int32, BRect frame)
{
	// The background of the whole row, then the latch, then the item in the space
	// right of its latch.
	SetHighColor(
		item->IsSelected() ? tint_color(ViewColor(), B_HIGHLIGHT_BACKGROUND_TINT) : ViewColor());
	FillRect(frame);
	BRect latch = _LatchFrame(item, frame);
	if (_HasSubitems(FullListIndexOf(item))) {
		float middleY = (latch.top + latch.bottom) / 2;
		float middleX = (latch.left + latch.right) / 2;
		SetHighColor(ui_color(B_DOCUMENT_TEXT_COLOR));
		if (item->IsExpanded()) {
			FillTriangle(BPoint(middleX - 4, middleY - 2), BPoint(middleX + 4, middleY - 2),
				BPoint(middleX, middleY + 2));
		} else {
			FillTriangle(BPoint(middleX - 2, middleY - 4), BPoint(middleX - 2, middleY + 4),
				BPoint(middleX + 2, middleY));
		}
	}
	BRect content = frame;
	content.left = latch.right + 1;
	item->DrawItem(this, content, false);
}

bool
BOutlineListView::HandleItemClick(int32 index, BPoint where)
{
	BListItem* item = ItemAt(index);
	if (!_HasSubitems(FullListIndexOf(item))
		|| !_LatchFrame(item, ItemFrame(index)).Contains(where))
		return false;
	if (item->IsExpanded())
		Collapse(item);
	else
		Expand(item);
	return true;
}

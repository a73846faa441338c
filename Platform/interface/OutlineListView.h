// BOutlineListView: a list whose rows form a tree by their outline levels. A row's
// subitems follow it in the full list, one level deeper; they show while the row is
// expanded. The BListView calls (ItemAt, IndexOf, CountItems, the selection) see only
// the rows that show; the FullList calls see every row.
#ifndef _OUTLINE_LIST_VIEW_H
#define _OUTLINE_LIST_VIEW_H

#include <ListView.h>

class BOutlineListView : public BListView {
public:
	BOutlineListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
	virtual ~BOutlineListView();

	virtual void KeyDown(const char* bytes, int32 numBytes);

	// Adds the item as the last subitem of superitem, one level below it.
	virtual bool AddUnder(BListItem* item, BListItem* superitem);
	virtual bool AddItem(BListItem* item);
	// fullListIndex is an index of the full list.
	virtual bool AddItem(BListItem* item, int32 fullListIndex);
	// Removes the item with its subitems; the subitems are deleted, the item is given
	// back to the caller.
	virtual bool RemoveItem(BListItem* item);
	// index is an index of the rows that show.
	virtual BListItem* RemoveItem(int32 index);
	virtual bool RemoveItems(int32 index, int32 count);
	virtual void MakeEmpty();

	BListItem* FullListItemAt(int32 fullListIndex) const;
	int32 FullListIndexOf(const BListItem* item) const;
	int32 FullListIndexOf(BPoint point) const;
	BListItem* FullListFirstItem() const;
	BListItem* FullListLastItem() const;
	bool FullListHasItem(const BListItem* item) const;
	int32 FullListCountItems() const;
	int32 FullListCurrentSelection(int32 n = 0) const;
	bool FullListIsEmpty() const;

	// The superitem of the item, NULL for a top-level item.
	BListItem* Superitem(const BListItem* item) const;

	// Collapsing deselects the rows it hides.
	void Expand(BListItem* item);
	void Collapse(BListItem* item);
	bool IsExpanded(int32 fullListIndex) const;

	int32 CountItemsUnder(BListItem* superitem, bool oneLevelOnly) const;
	BListItem* ItemUnderAt(BListItem* superitem, bool oneLevelOnly, int32 index) const;

protected:
	virtual void DrawListItem(BListItem* item, int32 index, BRect frame);
	virtual bool HandleItemClick(int32 index, BPoint where);

private:
	bool _HasSubitems(int32 fullListIndex) const;
	// The index past the item's last subitem.
	int32 _SubtreeEnd(int32 fullListIndex) const;
	BRect _LatchFrame(const BListItem* item, BRect frame) const;
	// Rebuilds the rows that show from the full list; reports a changed selection.
	void _RebuildVisible();

	std::vector<BListItem*> fFullList;
};

#endif // _OUTLINE_LIST_VIEW_H

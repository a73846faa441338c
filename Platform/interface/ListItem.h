// BListItem: one row of a BListView. The item keeps its own state (selected, enabled,
// height, width) and, inside a BOutlineListView, its outline level and whether its
// subitems show. Subclasses draw the row in DrawItem() with the owning view's drawing
// calls and measure it in Update().
#ifndef _LIST_ITEM_H
#define _LIST_ITEM_H

#include <Rect.h>
#include <SupportDefs.h>

class BFont;
class BView;
class BListView;
class BOutlineListView;

class BListItem {
public:
	BListItem(uint32 outlineLevel = 0, bool expanded = true);
	virtual ~BListItem();

	BListItem(const BListItem&) = delete;
	BListItem& operator=(const BListItem&) = delete;

	float Height() const;
	float Width() const;
	void SetHeight(float height);
	void SetWidth(float width);

	bool IsSelected() const;
	void Select();
	void Deselect();

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	void SetExpanded(bool expanded);
	bool IsExpanded() const;
	uint32 OutlineLevel() const;
	void SetOutlineLevel(uint32 level);

	// Draws the row into frame of the owner. complete asks for the background as well;
	// otherwise only a selected row paints its background.
	virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
	// Measures the row for the owner's width and font: the width becomes the owner's
	// bounds width, the height the font's line height.
	virtual void Update(BView* owner, const BFont* font);

private:
	friend class BListView;
	friend class BOutlineListView;

	float fWidth;
	float fHeight;
	uint32 fLevel;
	bool fSelected;
	bool fEnabled;
	bool fExpanded;
	// Whether the row shows in its outline list (all its superitems are expanded).
	bool fVisible;
};

#endif // _LIST_ITEM_H

// BOutlineListView: subitems show while their superitem is expanded; the list calls count
// the rows that show and the FullList calls count every row.
#include <Application.h>
#include <Message.h>
#include <OutlineListView.h>
#include <StringItem.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace gui_test;

namespace {

class CountingWindow : public BWindow {
public:
	CountingWindow() :
		BWindow(BRect(100, 100, 299, 299), "Outline", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'osel')
			fSelections++;
		else
			BWindow::MessageReceived(message);
	}

	std::atomic<int32> fSelections { 0 };
};

} // namespace

TEST(OutlineListViewTest, CollapsedRowsLeaveTheVisibleIndexesButKeepTheirFullIndexes)
{
	BApplication application("application/x-vnd.test-outline-list");
	CountingWindow* window = new CountingWindow;
	BOutlineListView* outline = new BOutlineListView(BRect(0, 0, 199, 199), "outline");
	BStringItem* fruit = new BStringItem("Fruit");
	BStringItem* apple = new BStringItem("Apple");
	BStringItem* citrus = new BStringItem("Citrus", 0, false);
	BStringItem* lemon = new BStringItem("Lemon");
	BStringItem* bread = new BStringItem("Bread");
	outline->AddItem(fruit);
	outline->AddItem(bread);
	outline->AddUnder(apple, fruit);
	outline->AddUnder(citrus, fruit);
	outline->AddUnder(lemon, citrus);
	outline->SetSelectionMessage(new BMessage('osel'));
	window->AddChild(outline);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();

	// Full list: Fruit, Apple, Citrus, Lemon, Bread; Lemon hides under the collapsed Citrus.
	EXPECT_EQ(5, outline->FullListCountItems());
	EXPECT_EQ(4, outline->CountItems());
	const BListItem* fullOrder[] = { fruit, apple, citrus, lemon, bread };
	for (int32 index = 0; index < 5; index++)
		EXPECT_EQ(fullOrder[index], outline->FullListItemAt(index)) << index;
	EXPECT_EQ(2u, lemon->OutlineLevel());
	EXPECT_EQ(-1, outline->IndexOf(lemon));
	EXPECT_EQ(3, outline->FullListIndexOf(lemon));
	EXPECT_EQ(3, outline->IndexOf(bread));
	EXPECT_EQ(4, outline->FullListIndexOf(bread));
	EXPECT_EQ(citrus, outline->Superitem(lemon));
	EXPECT_EQ(fruit, outline->Superitem(citrus));
	EXPECT_EQ(nullptr, outline->Superitem(fruit));
	EXPECT_FALSE(outline->IsExpanded(2));
	EXPECT_EQ(2, outline->CountItemsUnder(fruit, true));
	EXPECT_EQ(3, outline->CountItemsUnder(fruit, false));
	EXPECT_EQ(lemon, outline->ItemUnderAt(fruit, false, 2));

	outline->Expand(citrus);
	EXPECT_EQ(5, outline->CountItems());
	EXPECT_EQ(3, outline->IndexOf(lemon));

	// Collapsing hides the whole subtree and drops the hidden rows from the selection.
	outline->Select(outline->IndexOf(lemon));
	EXPECT_EQ(3, outline->FullListCurrentSelection());
	outline->Collapse(fruit);
	EXPECT_EQ(2, outline->CountItems());
	EXPECT_EQ(bread, outline->ItemAt(1));
	EXPECT_FALSE(lemon->IsSelected());
	EXPECT_EQ(-1, outline->CurrentSelection());
	EXPECT_EQ(5, outline->FullListCountItems());
	// Expanding the top again brings Citrus back expanded as it was.
	outline->Expand(fruit);
	EXPECT_EQ(5, outline->CountItems());
	window->Unlock();
	// One message for selecting Lemon, one for collapsing it out of the selection.
	EXPECT_TRUE(wait_until([&] { return window->fSelections.load() == 2; }));

	// Removing a row takes its subitems with it (they are deleted; ASan watches).
	window->Lock();
	EXPECT_TRUE(outline->RemoveItem(citrus));
	EXPECT_EQ(3, outline->FullListCountItems());
	EXPECT_EQ(bread, outline->FullListItemAt(2));
	delete citrus;
	// A click on a latch collapses without selecting.
	BRect frame = outline->ItemFrame(0);
	window->Unlock();
	click(window, BPoint(frame.left + 5, (frame.top + frame.bottom) / 2));
	ASSERT_TRUE(wait_until([&] {
		window->Lock();
		int32 count = outline->CountItems();
		window->Unlock();
		return count == 2;
	}));
	window->Lock();
	EXPECT_EQ(-1, outline->CurrentSelection());
	EXPECT_FALSE(fruit->IsExpanded());
	window->Quit();
	delete fruit;
	delete apple;
	delete bread;
}

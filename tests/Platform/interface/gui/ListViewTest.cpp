// BListView: selection changes (by calls, clicks and keys) each send one selection message
// with the selected indexes, nothing goes while the message is removed, extend keeps the
// selection and replace drops it, and the rows' frames match the hit test.
#include <Application.h>
#include <ListView.h>
#include <Message.h>
#include <ScrollView.h>
#include <StringItem.h>
#include <Window.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace gui_test;

namespace {

const uint32 kSelection = 'lsel';
const uint32 kInvocation = 'linv';
const uint32 kDone = 'done';

// Records the "index" fields of every selection and invocation message.
class RecordingWindow : public BWindow {
public:
	RecordingWindow() :
		BWindow(BRect(100, 100, 299, 299), "List", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kDone) {
			fDone++;
			return;
		}
		if (message->what != kSelection && message->what != kInvocation) {
			BWindow::MessageReceived(message);
			return;
		}
		std::vector<int32> indexes;
		int32 index;
		for (int32 n = 0; message->FindInt32("index", n, &index) == B_OK; n++)
			indexes.push_back(index);
		std::lock_guard<std::mutex> lock(fLock);
		(message->what == kSelection ? fSelections : fInvocations).push_back(indexes);
	}

	// Waits until every message posted so far has been handled.
	bool Drain()
	{
		int32 target = fDone.load() + 1;
		PostMessage(kDone);
		return wait_until([&] { return fDone.load() >= target; });
	}

	std::vector<std::vector<int32>> TakeSelections()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return std::exchange(fSelections, {});
	}

	std::vector<std::vector<int32>> TakeInvocations()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return std::exchange(fInvocations, {});
	}

private:
	std::atomic<int32> fDone { 0 };
	std::mutex fLock;
	std::vector<std::vector<int32>> fSelections;
	std::vector<std::vector<int32>> fInvocations;
};

struct ListFixture {
	ListFixture(list_view_type type, int32 count = 5)
	{
		window = new RecordingWindow;
		list = new BListView(BRect(0, 0, 199, 199), "list", type);
		for (int32 index = 0; index < count; index++) {
			std::string text = "Row " + std::to_string(index);
			items.push_back(new BStringItem(text.c_str()));
			list->AddItem(items.back());
		}
		list->SetSelectionMessage(new BMessage(kSelection));
		list->SetInvocationMessage(new BMessage(kInvocation));
		window->AddChild(list);
		window->Show();
		wait_until([&] { return widget_of(window) != nullptr; });
	}

	~ListFixture()
	{
		window->Lock();
		list->MakeEmpty();
		window->Quit();
		for (BListItem* item : items)
			delete item;
	}

	std::vector<int32> Selected()
	{
		window->Lock();
		std::vector<int32> selected;
		for (int32 n = 0; list->CurrentSelection(n) >= 0; n++)
			selected.push_back(list->CurrentSelection(n));
		window->Unlock();
		return selected;
	}

	RecordingWindow* window;
	BListView* list;
	std::vector<BListItem*> items;
};

using Indexes = std::vector<std::vector<int32>>;

} // namespace

TEST(ListViewTest, EverySelectionChangeSendsOneMessageAndNoneWhileSilenced)
{
	BApplication application("application/x-vnd.test-list-view");
	ListFixture fixture(B_MULTIPLE_SELECTION_LIST);
	BListView* list = fixture.list;

	struct Row {
		const char* what;
		std::function<void()> action;
		Indexes expected;
	};

	std::vector<Row> rows = {
		{ "select", [&] { list->Select(1); }, { { 1 } } },
		{ "select the same row again", [&] { list->Select(1); }, {} },
		{ "extend", [&] { list->Select(3, true); }, { { 1, 3 } } },
		{ "deselect", [&] { list->Deselect(1); }, { { 3 } } },
		{ "deselect a row not selected", [&] { list->Deselect(0); }, {} },
		{ "range", [&] { list->Select(0, 2); }, { { 0, 1, 2 } } },
		{ "deselect except", [&] { list->DeselectExcept(1, 1); }, { { 1 } } },
		{ "remove a selected row", [&] { list->RemoveItem(1); }, { {} } },
		{ "deselect all with nothing selected", [&] { list->DeselectAll(); }, {} },
	};
	for (const Row& row : rows) {
		SCOPED_TRACE(row.what);
		fixture.window->Lock();
		row.action();
		fixture.window->Unlock();
		ASSERT_TRUE(fixture.window->Drain());
		EXPECT_EQ(row.expected, fixture.window->TakeSelections());
	}

	// Without a selection message the selection still changes but nothing is sent.
	fixture.window->Lock();
	list->SetSelectionMessage(NULL);
	list->Select(0);
	list->Select(2, true);
	list->DeselectAll();
	list->Select(3);
	fixture.window->Unlock();
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_TRUE(fixture.window->TakeSelections().empty());
	EXPECT_EQ(std::vector<int32> { 3 }, fixture.Selected());
	// The removed row goes back to the caller untouched by the list.
	fixture.window->Lock();
	fixture.list->AddItem(fixture.items[1]);
	fixture.window->Unlock();
}

TEST(ListViewTest, ExtendKeepsTheSelectionAndReplaceDropsIt)
{
	BApplication application("application/x-vnd.test-list-view");

	struct Row {
		list_view_type type;
		std::function<void(BListView*)> action;
		std::vector<int32> expected;
	};

	std::vector<Row> rows = {
		{ B_MULTIPLE_SELECTION_LIST,
			[](BListView* l) {
				l->Select(0);
				l->Select(2, true);
			},
			{ 0, 2 } },
		{ B_MULTIPLE_SELECTION_LIST,
			[](BListView* l) {
				l->Select(0);
				l->Select(2, false);
			},
			{ 2 } },
		{ B_MULTIPLE_SELECTION_LIST,
			[](BListView* l) {
				l->Select(0);
				l->Select(2, 3, true);
			},
			{ 0, 2, 3 } },
		{ B_MULTIPLE_SELECTION_LIST,
			[](BListView* l) {
				l->Select(0);
				l->Select(2, 3);
			},
			{ 2, 3 } },
		// A single-selection list never holds more than one row.
		{ B_SINGLE_SELECTION_LIST,
			[](BListView* l) {
				l->Select(0);
				l->Select(2, true);
			},
			{ 2 } },
		{ B_SINGLE_SELECTION_LIST, [](BListView* l) { l->Select(1, 3); }, { 1 } },
		{ B_SINGLE_SELECTION_LIST, [](BListView* l) { l->Select(7); }, {} },
	};
	for (size_t index = 0; index < rows.size(); index++) {
		SCOPED_TRACE(index);
		ListFixture fixture(rows[index].type);
		fixture.window->Lock();
		rows[index].action(fixture.list);
		fixture.window->Unlock();
		EXPECT_EQ(rows[index].expected, fixture.Selected());
		for (int32 row = 0; row < 5; row++) {
			bool expected =
				std::count(rows[index].expected.begin(), rows[index].expected.end(), row) > 0;
			EXPECT_EQ(expected, fixture.items[(size_t)row]->IsSelected());
		}
	}
}

TEST(ListViewTest, ClicksAndKeysSelectAndEnterInvokes)
{
	BApplication application("application/x-vnd.test-list-view");
	ListFixture fixture(B_SINGLE_SELECTION_LIST);
	fixture.window->Lock();
	BRect second = fixture.list->ItemFrame(1);
	BRect third = fixture.list->ItemFrame(2);
	EXPECT_EQ(second.bottom + 1, third.top);
	EXPECT_GT(second.Height(), 5);
	EXPECT_EQ(1, fixture.list->IndexOf(BPoint(10, second.top)));
	EXPECT_EQ(1, fixture.list->IndexOf(BPoint(10, second.bottom)));
	EXPECT_EQ(-1, fixture.list->IndexOf(BPoint(10, fixture.list->ItemFrame(4).bottom + 1)));
	fixture.window->Unlock();

	click(fixture.window, BPoint(20, (second.top + second.bottom) / 2));
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_EQ((Indexes { { 1 } }), fixture.window->TakeSelections());
	// The second click of a double click on the selected row invokes.
	BPoint middle(20, (second.top + second.bottom) / 2);
	send_mouse(fixture.window, QEvent::MouseButtonDblClick, middle, Qt::LeftButton, Qt::LeftButton);
	send_mouse(fixture.window, QEvent::MouseButtonRelease, middle, Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_EQ((Indexes { { 1 } }), fixture.window->TakeInvocations());
	EXPECT_TRUE(fixture.window->TakeSelections().empty());

	send_key(fixture.window, Qt::Key_Down);
	send_key(fixture.window, Qt::Key_Down);
	send_key(fixture.window, Qt::Key_Up);
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_EQ((Indexes { { 2 }, { 3 }, { 2 } }), fixture.window->TakeSelections());

	send_key(fixture.window, Qt::Key_Return, Qt::NoModifier, "\r");
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_EQ((Indexes { { 2 } }), fixture.window->TakeInvocations());

	// A click below the last row changes nothing.
	click(fixture.window, BPoint(20, 190));
	ASSERT_TRUE(fixture.window->Drain());
	EXPECT_TRUE(fixture.window->TakeSelections().empty());
}

TEST(ListViewTest, ScrollToSelectionMovesTheScrollBar)
{
	BApplication application("application/x-vnd.test-list-view");
	RecordingWindow* window = new RecordingWindow;
	BListView* list = new BListView(BRect(0, 0, 150, 59), "list");
	std::vector<BStringItem*> items;
	for (int32 index = 0; index < 40; index++) {
		items.push_back(new BStringItem("row"));
		list->AddItem(items.back());
	}
	BScrollView* scroller = new BScrollView("scroll", list, B_FOLLOW_ALL, 0, false, true);
	window->AddChild(scroller);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	window->Lock();
	BScrollBar* bar = scroller->ScrollBar(B_VERTICAL);
	ASSERT_NE(nullptr, bar);
	float min = -1, max = -1;
	bar->GetRange(&min, &max);
	EXPECT_EQ(0, min);
	EXPECT_EQ(roundf(list->ItemFrame(39).bottom + 1 - (list->Bounds().Height() + 1)), max);
	// The focus shows on the scroll view's border.
	list->MakeFocus();
	EXPECT_TRUE(scroller->IsBorderHighlighted());
	list->MakeFocus(false);
	EXPECT_FALSE(scroller->IsBorderHighlighted());
	list->Select(30);
	list->ScrollToSelection();
	EXPECT_EQ(list->ItemFrame(30).top, list->Bounds().top);
	EXPECT_EQ(list->Bounds().top, bar->Value());
	// And the other way round: the bar scrolls the list.
	bar->SetValue(0);
	EXPECT_EQ(0, list->Bounds().top);
	list->MakeEmpty();
	window->Quit();
	for (BStringItem* item : items)
		delete item;
}

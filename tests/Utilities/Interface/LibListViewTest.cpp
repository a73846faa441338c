// LibListView: one hover report per row the pointer crosses and −1 on leaving, Tab and
// Escape hiding the window, and dragging a selected row onto another one, with the list
// scrolling while the pointer rests near its edge.
#include "LibListView.h"

#include "LibWindow.h"

#include <Application.h>
#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringItem.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

const uint32 kHover = 'hovr';
const uint32 kReordered = 'reor';

class ReorderingList : public LibListView {
public:
	ReorderingList(BRect frame) :
		LibListView(frame, "install_list")
	{
	}

	void ItemReordered(const int32& from, const int32& to) override
	{
		fMoves.push_back({ from, to });
		MoveItem(from, to);
	}

	std::vector<std::pair<int32, int32>> fMoves;
};

class ListWindow : public LibWindow {
public:
	ListWindow(int32 rows) :
		LibWindow(BRect(100, 100, 299, 249), "List", B_TITLED_WINDOW, 0)
	{
		fList = new ReorderingList(BRect(10, 10, 150, 110));
		fScroll = new BScrollView("list_scroll", fList, B_FOLLOW_NONE, 0, false, true);
		AddChild(fScroll);
		for (int32 i = 0; i < rows; i++) {
			fItems.push_back(std::make_unique<BStringItem>(("Row " + std::to_string(i)).c_str()));
			fList->AddItem(fItems.back().get());
		}
	}

	~ListWindow() override { fList->MakeEmpty(); }

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kHover || message->what == kReordered) {
			std::lock_guard<std::mutex> lock(fLock);
			fReports.push_back(*message);
			return;
		}
		LibWindow::MessageReceived(message);
	}

	std::vector<int32> Hovers()
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<int32> rows;
		for (const BMessage& report : fReports) {
			if (report.what == kHover)
				rows.push_back(report.FindInt32("item"));
		}
		return rows;
	}

	size_t ReportCount()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fReports.size();
	}

	ReorderingList* fList;
	BScrollView* fScroll;
	std::vector<std::unique_ptr<BStringItem>> fItems;
	std::mutex fLock;
	std::vector<BMessage> fReports;
};

class LibListViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-lib-list-view");
	}

	ListWindow* Open(int32 rows)
	{
		ListWindow* window = new ListWindow(rows);
		window->Show();
		EXPECT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
		window->Activate();
		EXPECT_TRUE(wait_until([&] { return window->IsActive(); }));
		fWindow = window;
		return window;
	}

	void TearDown() override
	{
		if (fWindow != NULL && fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	std::unique_ptr<BApplication> fApplication;
	ListWindow* fWindow = NULL;
};

// A point in list coordinates, as the window sees it.
BPoint
in_window(LibListView* list, BPoint point)
{
	BPoint where = point;
	list->ConvertToScreen(&where);
	list->Window()->ConvertFromScreen(&where);
	return where;
}

BPoint
row_point(LibListView* list, int32 row)
{
	BRect frame = list->ItemFrame(row);
	return in_window(list, BPoint(20, (frame.top + frame.bottom) / 2));
}

} // namespace

TEST_F(LibListViewTest, HoverReportsOncePerRowAndMinusOneOnLeaving)
{
	ListWindow* window = Open(5);
	window->Lock();
	window->fList->SetHoverCommand(kHover);
	LibListView* list = window->fList;
	const BRect row0 = list->ItemFrame(0);
	window->Unlock();

	// Down across the first three rows, twice within each, then out of the list.
	send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(20, -5)));
	for (int32 row = 0; row < 3; row++) {
		BRect frame = list->ItemFrame(row);
		send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(20, frame.top + 1)));
		send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(30, frame.bottom - 1)));
	}
	send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(-5, row0.top)));
	ASSERT_TRUE(wait_until([&] { return window->Hovers().size() >= 4; }));
	run_for(50);
	EXPECT_EQ((std::vector<int32> { 0, 1, 2, -1 }), window->Hovers());

	// Coming back reports the row again, though it is the one reported last before.
	send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(20, row0.top + 2)));
	ASSERT_TRUE(wait_until([&] { return window->Hovers().size() == 5; }));
	EXPECT_EQ(0, window->Hovers().back());

	// Below the last row but inside the list: no row.
	send_mouse(window, QEvent::MouseMove, in_window(list, BPoint(20, list->Bounds().bottom - 2)));
	ASSERT_TRUE(wait_until([&] { return window->Hovers().size() == 6; }));
	EXPECT_EQ(-1, window->Hovers().back());
}

TEST_F(LibListViewTest, WithoutAHoverCommandNothingIsReported)
{
	ListWindow* window = Open(3);
	send_mouse(window, QEvent::MouseMove, row_point(window->fList, 0));
	send_mouse(window, QEvent::MouseMove, row_point(window->fList, 2));
	run_for(100);
	EXPECT_EQ(0u, window->ReportCount());
}

TEST_F(LibListViewTest, TabAndEscapeHideTheWindowOtherKeysMoveTheSelection)
{
	ListWindow* window = Open(3);

	struct Row {
		Qt::Key key;
		bool hides;
	};

	const Row rows[] = { { Qt::Key_Down, false }, { Qt::Key_Tab, true }, { Qt::Key_Escape, true } };
	for (const Row& row : rows) {
		window->Show();
		window->Lock();
		window->fList->Select(0);
		window->fList->MakeFocus(true);
		window->Unlock();
		send_key(window, row.key);
		if (row.hides) {
			EXPECT_TRUE(wait_until([&] { return window->IsHidden(); })) << row.key;
		} else {
			EXPECT_TRUE(wait_until([&] { return window->fList->CurrentSelection() == 1; }));
			EXPECT_FALSE(window->IsHidden());
		}
	}
}

TEST_F(LibListViewTest, DraggingASelectedRowReordersAndTellsTheWindow)
{
	ListWindow* window = Open(5);
	ReorderingList* list = window->fList;
	window->Lock();
	list->AllowReorder(true);
	list->SetReorderCommand(kReordered);
	list->Select(1);
	window->Unlock();

	const BPoint from = row_point(list, 1);
	const BPoint to = row_point(list, 3);
	send_mouse(window, QEvent::MouseMove, from);
	send_mouse(window, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, from + BPoint(0, 8), Qt::NoButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return window->ReportCount() == 1; }));
	window->Lock();
	EXPECT_EQ((std::vector<std::pair<int32, int32>> { { 1, 3 } }), list->fMoves);
	EXPECT_STREQ("Row 1", static_cast<BStringItem*>(list->ItemAt(3))->Text());
	BMessage report = window->fReports[0];
	window->Unlock();
	EXPECT_EQ(kReordered, report.what);
	EXPECT_EQ(1, report.FindInt32("from"));
	EXPECT_EQ(3, report.FindInt32("to"));

	// A row that was not selected before the press is not dragged.
	window->Lock();
	list->Select(0);
	window->Unlock();
	const BPoint other = row_point(list, 4);
	send_mouse(window, QEvent::MouseMove, other);
	send_mouse(window, QEvent::MouseButtonPress, other, Qt::LeftButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, other - BPoint(0, 8), Qt::NoButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, row_point(list, 0), Qt::NoButton, Qt::LeftButton);
	send_mouse(
		window, QEvent::MouseButtonRelease, row_point(list, 0), Qt::LeftButton, Qt::NoButton);
	run_for(100);
	EXPECT_EQ(1u, list->fMoves.size());
}

TEST_F(LibListViewTest, ADraggedRowNearTheBottomScrollsTheListUntilReleased)
{
	ListWindow* window = Open(40);
	ReorderingList* list = window->fList;
	BScrollBar* bar = window->fScroll->ScrollBar(B_VERTICAL);
	window->Lock();
	list->AllowReorder(true, bar);
	list->Select(0);
	const float startValue = bar->Value();
	window->Unlock();

	const BPoint from = row_point(list, 0);
	const BPoint nearBottom = in_window(list, BPoint(20, list->Bounds().bottom - 3));
	send_mouse(window, QEvent::MouseMove, from);
	send_mouse(window, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, from + BPoint(0, 8), Qt::NoButton, Qt::LeftButton);
	send_mouse(window, QEvent::MouseMove, nearBottom, Qt::NoButton, Qt::LeftButton);
	// The pointer rests; the list keeps scrolling.
	EXPECT_TRUE(wait_until([&] {
		window->Lock();
		bool scrolled = bar->Value() > startValue + 20;
		window->Unlock();
		return scrolled;
	}));
	send_mouse(window, QEvent::MouseButtonRelease, nearBottom, Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return list->fMoves.size() == 1; }));
	window->Lock();
	const float stopped = bar->Value();
	EXPECT_EQ(0, list->fMoves[0].first);
	EXPECT_GT(list->fMoves[0].second, 5);
	window->Unlock();
	run_for(100);
	window->Lock();
	EXPECT_EQ(stopped, bar->Value());
	window->Unlock();
}

TEST(LibListViewBaseTest, TheBaseSaysReorderingNeedsASubclass)
{
	LibListView list(BRect(0, 0, 99, 99), "list");
	testing::internal::CaptureStderr();
	list.ItemReordered(0, 1);
	EXPECT_EQ("ItemReordered needs to be inherited\n", testing::internal::GetCapturedStderr());
}

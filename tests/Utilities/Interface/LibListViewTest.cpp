// LibListView: one hover report per row the pointer crosses and −1 on leaving, Tab and
// Escape hiding the window, and a selected row dragged onto another one, with the list
// scrolling while the pointer rests near its bottom.
#include "LibListView.h"

#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringItem.h>

#include "WidgetTestHelpers.h"

#include <memory>
#include <string>
#include <vector>

using namespace gui_test;
using widget_test::in_window;

namespace {

const uint32 kHover = 'hovr';
const uint32 kReordered = 'reor';

class ReorderingList : public LibListView {
public:
	ReorderingList() :
		LibListView(BRect(10, 10, 150, 110), "install_list")
	{
	}

	void ItemReordered(const int32& from, const int32& to) override
	{
		fMoves.push_back({ from, to });
		MoveItem(from, to);
	}

	std::vector<std::pair<int32, int32>> fMoves;
};

} // namespace

class LibListViewTest : public widget_test::WindowTest {
protected:
	void OpenList(int32 rows)
	{
		Open({ kHover, kReordered });
		fList = new ReorderingList;
		fScroll = new BScrollView("scroll", fList, B_FOLLOW_NONE, 0, false, true);
		fWindow->AddChild(fScroll);
		for (int32 i = 0; i < rows; i++) {
			fItems.push_back(std::make_unique<BStringItem>(("Row " + std::to_string(i)).c_str()));
			fList->AddItem(fItems.back().get());
		}
		ShowWindow();
	}

	void TearDown() override
	{
		if (fWindow != NULL && fWindow->Lock()) {
			fList->MakeEmpty();
			fWindow->Unlock();
		}
		WindowTest::TearDown();
	}

	BPoint Row(int32 row)
	{
		const BRect frame = fList->ItemFrame(row);
		return in_window(fList, BPoint(20, (frame.top + frame.bottom) / 2));
	}

	// Presses on the row, drags past the start threshold and on to the point.
	void DragRow(int32 row, BPoint to)
	{
		send_mouse(fWindow, QEvent::MouseMove, Row(row));
		send_mouse(fWindow, QEvent::MouseButtonPress, Row(row), Qt::LeftButton, Qt::LeftButton);
		send_mouse(
			fWindow, QEvent::MouseMove, Row(row) + BPoint(0, 8), Qt::NoButton, Qt::LeftButton);
		send_mouse(fWindow, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
	}

	ReorderingList* fList = NULL;
	BScrollView* fScroll = NULL;
	std::vector<std::unique_ptr<BStringItem>> fItems;
};

TEST_F(LibListViewTest, HoverReportsOncePerRowAndMinusOneOnLeaving)
{
	OpenList(5);
	fWindow->Lock();
	fList->SetHoverCommand(kHover);
	fWindow->Unlock();
	auto hovered = [&] {
		std::vector<int32> rows;
		for (const BMessage& report : fWindow->Received())
			rows.push_back(report.FindInt32("item"));
		return rows;
	};
	// Down across three rows, twice within each, out of the list and back in.
	for (int32 row = 0; row < 3; row++) {
		const BRect frame = fList->ItemFrame(row);
		send_mouse(fWindow, QEvent::MouseMove, in_window(fList, BPoint(20, frame.top + 1)));
		send_mouse(fWindow, QEvent::MouseMove, in_window(fList, BPoint(30, frame.bottom - 1)));
	}
	send_mouse(fWindow, QEvent::MouseMove, in_window(fList, BPoint(-5, 5)));
	send_mouse(fWindow, QEvent::MouseMove, Row(0));
	ASSERT_TRUE(wait_until([&] { return hovered().size() >= 5; }));
	run_for(50);
	EXPECT_EQ((std::vector<int32> { 0, 1, 2, -1, 0 }), hovered());
}

TEST_F(LibListViewTest, TabAndEscapeHideTheWindow)
{
	OpenList(3);
	for (Qt::Key key : { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Escape }) {
		fWindow->Show();
		fWindow->Lock();
		fList->Select(0);
		fList->MakeFocus(true);
		fWindow->Unlock();
		send_key(fWindow, key);
		if (key == Qt::Key_Down)
			EXPECT_TRUE(wait_until([&] { return fList->CurrentSelection() == 1; }));
		else
			EXPECT_TRUE(wait_until([&] { return fWindow->IsHidden(); })) << key;
	}
}

TEST_F(LibListViewTest, ASelectedRowDroppedOnAnotherReordersAndTellsTheWindow)
{
	OpenList(5);
	fWindow->Lock();
	fList->AllowReorder(true);
	fList->SetReorderCommand(kReordered);
	fList->Select(1);
	fWindow->Unlock();
	DragRow(1, Row(3));
	send_mouse(fWindow, QEvent::MouseButtonRelease, Row(3), Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return fWindow->Received().size() == 1; }));
	EXPECT_EQ(3, fWindow->Received()[0].FindInt32("to"));
	fWindow->Lock();
	EXPECT_EQ((std::vector<std::pair<int32, int32>> { { 1, 3 } }), fList->fMoves);
	EXPECT_STREQ("Row 1", static_cast<BStringItem*>(fList->ItemAt(3))->Text());
	// A row that was not selected before the press is not dragged.
	fList->Select(0);
	fWindow->Unlock();
	DragRow(4, Row(0));
	send_mouse(fWindow, QEvent::MouseButtonRelease, Row(0), Qt::LeftButton, Qt::NoButton);
	run_for(100);
	EXPECT_EQ(1u, fList->fMoves.size());
}

TEST_F(LibListViewTest, ARowHeldNearTheBottomScrollsTheListUntilReleased)
{
	OpenList(40);
	BScrollBar* bar = fScroll->ScrollBar(B_VERTICAL);
	fWindow->Lock();
	fList->AllowReorder(true, bar);
	fList->Select(0);
	fWindow->Unlock();
	auto value = [&] {
		fWindow->Lock();
		const float result = bar->Value();
		fWindow->Unlock();
		return result;
	};
	const BPoint nearBottom = in_window(fList, BPoint(20, fList->Bounds().bottom - 3));
	DragRow(0, nearBottom);
	// The pointer rests; the list keeps scrolling.
	EXPECT_TRUE(wait_until([&] { return value() > 20; }));
	send_mouse(fWindow, QEvent::MouseButtonRelease, nearBottom, Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return fList->fMoves.size() == 1; }));
	EXPECT_GT(fList->fMoves[0].second, 5);
	const float stopped = value();
	run_for(100);
	EXPECT_EQ(stopped, value());
}

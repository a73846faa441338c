// Drops from the desktop: local files dropped on a window reach the view under the point
// as B_SIMPLE_DATA with "refs", marked as dropped; drops without local files are refused.
#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

class DropView : public BView {
public:
	DropView(BRect frame, const char* name) :
		BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_SIMPLE_DATA) {
			std::lock_guard<std::mutex> lock(fLock);
			Drop drop;
			drop.dropped = message->WasDropped();
			drop.point = message->DropPoint();
			entry_ref ref;
			for (int32 i = 0; message->FindRef("refs", i, &ref) == B_OK; i++)
				drop.paths.push_back(BPath(&ref).Path());
			fDrops.push_back(drop);
			return;
		}
		BView::MessageReceived(message);
	}

	struct Drop {
		bool dropped = false;
		BPoint point;
		std::vector<std::string> paths;
	};

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fDrops.size();
	}

	std::mutex fLock;
	std::vector<Drop> fDrops;
};

// Drags the URLs onto the window at the point and drops them; true when the drop was
// taken.
bool
drop_urls(BWindow* window, BPoint where, const QList<QUrl>& urls)
{
	QWidget* widget = widget_of(window);
	QMimeData data;
	data.setUrls(urls);
	const QPointF local(where.x, where.y);
	QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &enter);
	if (!enter.isAccepted())
		return false;
	QDropEvent drop(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &drop);
	return drop.isAccepted();
}

} // namespace

TEST(DropFilterTest, DroppedFilesReachTheViewUnderThePoint)
{
	BApplication application("application/x-vnd.test-drop");
	ScopedTempDir dir;
	const std::string first = (dir.Path() / "readme.txt").string();
	const std::string second = (dir.Path() / "picture.png").string();
	std::ofstream(first) << "text";
	std::ofstream(second) << "png";

	BWindow* window = new BWindow(BRect(100, 100, 299, 199), "Drops", B_TITLED_WINDOW, 0);
	DropView* left = new DropView(BRect(0, 0, 99, 99), "left");
	DropView* right = new DropView(BRect(100, 0, 199, 99), "right");
	window->AddChild(left);
	window->AddChild(right);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	EXPECT_TRUE(drop_urls(window, BPoint(150, 40),
		{ QUrl::fromLocalFile(QString::fromStdString(first)),
			QUrl::fromLocalFile(QString::fromStdString(second)) }));
	ASSERT_TRUE(wait_until([&] { return right->Count() == 1; }));
	EXPECT_EQ(0u, left->Count());
	const DropView::Drop& drop = right->fDrops[0];
	EXPECT_TRUE(drop.dropped);
	EXPECT_EQ((std::vector<std::string> { first, second }), drop.paths);
	const QPoint global = widget_of(window)->mapToGlobal(QPoint(150, 40));
	EXPECT_EQ(BPoint(global.x(), global.y()), drop.point);

	if (window->Lock())
		window->Quit();
}

TEST(DropFilterTest, DropsWithoutLocalFilesAreRefused)
{
	BApplication application("application/x-vnd.test-drop-refused");
	BWindow* window = new BWindow(BRect(100, 100, 199, 199), "Drops", B_TITLED_WINDOW, 0);
	DropView* view = new DropView(BRect(0, 0, 99, 99), "view");
	window->AddChild(view);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	EXPECT_FALSE(drop_urls(window, BPoint(50, 50), { QUrl("https://example.org/file.txt") }));
	EXPECT_FALSE(drop_urls(window, BPoint(50, 50), {}));
	run_for(50);
	EXPECT_EQ(0u, view->Count());
	if (window->Lock())
		window->Quit();
}

namespace {

// Records the mouse-moved hooks it hears and the refs of the drag that came with them.
class HighlightView : public BView {
public:
	HighlightView(BRect frame, const char* name) :
		BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

	void MouseMoved(BPoint, uint32 transit, const BMessage* dragMessage) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::string path;
		entry_ref ref;
		if (dragMessage != NULL && dragMessage->what == B_SIMPLE_DATA
			&& dragMessage->FindRef("refs", &ref) == B_OK) {
			path = BPath(&ref).Path();
		}
		fHeard.push_back({ transit, path });
	}

	std::vector<std::pair<uint32, std::string>> Heard()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fHeard;
	}

	std::mutex fLock;
	std::vector<std::pair<uint32, std::string>> fHeard;
};

} // namespace

// A file dragged from the desktop across two views: each hears it enter, pass and leave,
// with the drag's refs, so it can mark itself while the drag is over it.
TEST(DropFilterTest, ADragPassingOverReachesTheViewsWithItsMessage)
{
	BApplication application("application/x-vnd.test-drag-over");
	ScopedTempDir dir;
	const std::string file = (dir.Path() / "readme.txt").string();
	std::ofstream(file) << "text";

	BWindow* window = new BWindow(BRect(100, 100, 299, 199), "Drags", B_TITLED_WINDOW, 0);
	HighlightView* left = new HighlightView(BRect(0, 0, 99, 99), "left");
	HighlightView* right = new HighlightView(BRect(100, 0, 199, 99), "right");
	window->AddChild(left);
	window->AddChild(right);
	window->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	QWidget* widget = widget_of(window);
	QMimeData data;
	data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(file)) });
	QDragEnterEvent enter(QPoint(20, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &enter);
	EXPECT_TRUE(enter.isAccepted());
	QDragMoveEvent inside(QPoint(30, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &inside);
	QDragMoveEvent across(QPoint(150, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &across);
	QDragLeaveEvent leave;
	QCoreApplication::sendEvent(widget, &leave);

	ASSERT_TRUE(wait_until([&] { return right->Heard().size() == 2; }));
	const std::vector<std::pair<uint32, std::string>> expectedLeft = { { B_ENTERED_VIEW, file },
		{ B_INSIDE_VIEW, file }, { B_EXITED_VIEW, file } };
	const std::vector<std::pair<uint32, std::string>> expectedRight = { { B_ENTERED_VIEW, file },
		{ B_EXITED_VIEW, file } };
	EXPECT_EQ(expectedLeft, left->Heard());
	EXPECT_EQ(expectedRight, right->Heard());

	if (window->Lock())
		window->Quit();
}

// BView: geometry and conversions, resizing modes, showing and hiding, the attach hooks,
// mouse routing with transit codes, focus and keyboard navigation, frame events.
#include <Application.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "qt/ViewData.h"
#include "qt/ViewWidget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gui_test;

namespace {

class ViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-view");
		fWindow = new BWindow(BRect(100, 100, 399, 299), "Views", B_TITLED_WINDOW, 0);
	}

	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	void ShowWindow()
	{
		fWindow->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
		fWindow->Lock();
	}

	std::unique_ptr<BApplication> fApplication;
	BWindow* fWindow;
};

// Records the hooks it hears, with their points in its own coordinates.
class TracingView : public BView {
public:
	TracingView(BRect frame, const char* name, std::vector<std::string>* trace,
		uint32 flags = B_WILL_DRAW) :
		BView(frame, name, B_FOLLOW_NONE, flags),
		fTrace(trace)
	{
	}

	void AttachedToWindow() override { _Add("attached"); }

	void AllAttached() override { _Add("all-attached"); }

	void DetachedFromWindow() override { _Add("detached"); }

	void MouseDown(BPoint where) override
	{
		int32 buttons = 0;
		Window()->CurrentMessage()->FindInt32("buttons", &buttons);
		fButtons = buttons;
		fDownAt = where;
		_Add("down");
		if (fTrackOutside)
			SetMouseEventMask(B_POINTER_EVENTS);
	}

	void MouseUp(BPoint where) override
	{
		fUpAt = where;
		_Add("up");
	}

	void MouseMoved(BPoint where, uint32 transit, const BMessage*) override
	{
		fTransits.push_back(transit);
		fMovedAt = where;
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		fKeys += std::string(bytes, numBytes);
		BView::KeyDown(bytes, numBytes);
	}

	void FrameResized(float width, float height) override
	{
		fResized = BPoint(width, height);
		_Add("resized");
	}

	std::vector<uint32> fTransits;
	BPoint fDownAt;
	BPoint fUpAt;
	BPoint fMovedAt;
	BPoint fResized;
	int32 fButtons = 0;
	std::string fKeys;
	bool fTrackOutside = false;

private:
	void _Add(const char* what)
	{
		if (fTrace != NULL)
			fTrace->push_back(std::string(Name()) + ":" + what);
	}

	std::vector<std::string>* fTrace;
};

} // namespace

TEST_F(ViewTest, FramesBoundsAndConversionsAreInBeOSCoordinates)
{
	BView* outer = new BView(BRect(10, 20, 109, 69), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 6, 14, 15), "inner", B_FOLLOW_NONE, 0);
	outer->AddChild(inner);
	fWindow->AddChild(outer);

	EXPECT_EQ(BRect(0, 0, 99, 49), outer->Bounds());
	EXPECT_EQ(BRect(10, 20, 109, 69), outer->Frame());
	EXPECT_EQ(BPoint(5, 6), inner->ConvertToParent(BPoint(0, 0)));
	EXPECT_EQ(BPoint(0, 0), inner->ConvertFromParent(BPoint(5, 6)));
	EXPECT_EQ(BRect(5, 6, 14, 15), inner->ConvertToParent(inner->Bounds()));
	// Screen: the window's frame starts at (100, 100).
	EXPECT_EQ(BPoint(115, 126), inner->ConvertToScreen(BPoint(0, 0)));
	EXPECT_EQ(BPoint(1, 1), inner->ConvertFromScreen(BPoint(116, 127)));
	EXPECT_EQ(BRect(115, 126, 124, 135), inner->ConvertToScreen(inner->Bounds()));

	// Scrolling moves the bounds, and what the children are at, not the frame.
	outer->ScrollBy(3, 4);
	EXPECT_EQ(BRect(3, 4, 102, 53), outer->Bounds());
	EXPECT_EQ(BRect(10, 20, 109, 69), outer->Frame());
	EXPECT_EQ(BPoint(112, 122), inner->ConvertToScreen(BPoint(0, 0)));

	// The widgets mirror the frames: the outer view's in the window's, the inner view's
	// in the outer view's scrolled coordinates.
	ShowWindow();
	QWidget* outerWidget = BPrivate::ViewData::Of(outer).fWidget;
	QWidget* innerWidget = BPrivate::ViewData::Of(inner).fWidget;
	ASSERT_NE(nullptr, outerWidget);
	ASSERT_NE(nullptr, innerWidget);
	EXPECT_EQ(QRect(10, 20, 100, 50), outerWidget->geometry());
	EXPECT_EQ(QRect(2, 2, 10, 10), innerWidget->geometry());
}

TEST_F(ViewTest, ChildrenFollowTheirParentByResizingMode)
{
	BView* parent = new BView(BRect(0, 0, 99, 99), "parent", B_FOLLOW_NONE, 0);

	struct Row {
		uint32 mode;
		BRect before;
		BRect after;
	};

	const Row rows[] = {
		{ B_FOLLOW_NONE, BRect(10, 10, 29, 29), BRect(10, 10, 29, 29) },
		{ B_FOLLOW_LEFT | B_FOLLOW_TOP, BRect(10, 10, 29, 29), BRect(10, 10, 29, 29) },
		{ B_FOLLOW_ALL_SIDES, BRect(10, 10, 89, 89), BRect(10, 10, 139, 119) },
		{ B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, BRect(70, 70, 89, 89), BRect(120, 100, 139, 119) },
		{ B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, BRect(10, 10, 89, 29), BRect(10, 10, 139, 29) },
		{ B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, BRect(40, 40, 59, 59), BRect(65, 55, 84, 74) },
	};
	std::vector<BView*> children;
	for (const Row& row : rows) {
		BView* child = new BView(row.before, "child", row.mode, 0);
		parent->AddChild(child);
		children.push_back(child);
	}
	fWindow->AddChild(parent);
	parent->ResizeBy(50, 30);
	for (size_t i = 0; i < children.size(); i++)
		EXPECT_EQ(rows[i].after, children[i]->Frame()) << "row " << i;

	// The window's views follow the window.
	BView* filler = new BView(fWindow->Bounds(), "filler", B_FOLLOW_ALL_SIDES, 0);
	fWindow->AddChild(filler);
	fWindow->ResizeBy(-100, -50);
	EXPECT_EQ(fWindow->Bounds(), filler->Frame());
}

TEST_F(ViewTest, ShowAndHideNestAndFollowTheParents)
{
	BView* parent = new BView(BRect(0, 0, 99, 99), "parent", B_FOLLOW_NONE, 0);
	BView* child = new BView(BRect(0, 0, 9, 9), "child", B_FOLLOW_NONE, 0);
	parent->AddChild(child);
	fWindow->AddChild(parent);
	// The window is hidden, and so is everything in it.
	EXPECT_TRUE(child->IsHidden());
	EXPECT_FALSE(child->IsHidden(child));
	ShowWindow();
	EXPECT_FALSE(child->IsHidden());

	child->Hide();
	child->Hide();
	child->Show();
	EXPECT_TRUE(child->IsHidden());
	child->Show();
	EXPECT_FALSE(child->IsHidden());

	parent->Hide();
	EXPECT_TRUE(child->IsHidden());
	EXPECT_FALSE(child->IsHidden(child));
	parent->Show();
	EXPECT_FALSE(child->IsHidden());
}

TEST_F(ViewTest, AttachHooksRunParentsFirstAndAllAttachedAfterTheChildren)
{
	std::vector<std::string> trace;
	TracingView* parent = new TracingView(BRect(0, 0, 99, 99), "parent", &trace);
	parent->AddChild(new TracingView(BRect(0, 0, 9, 9), "child", &trace));
	fWindow->AddChild(parent);
	std::vector<std::string> attached = { "parent:attached", "child:attached", "child:all-attached",
		"parent:all-attached" };
	EXPECT_EQ(attached, trace);

	trace.clear();
	fWindow->RemoveChild(parent);
	EXPECT_EQ(NULL, parent->Window());
	EXPECT_EQ(2u, trace.size());
	EXPECT_EQ("parent:detached", trace.front());
	delete parent;
}

TEST_F(ViewTest, MouseMovesCarryTransitCodesInAndOutOfAView)
{
	TracingView* view = new TracingView(BRect(50, 50, 99, 99), "target", NULL);
	fWindow->AddChild(view);
	ShowWindow();
	fWindow->Unlock();

	send_mouse(fWindow, QEvent::MouseMove, BPoint(10, 10));
	send_mouse(fWindow, QEvent::MouseMove, BPoint(60, 70));
	send_mouse(fWindow, QEvent::MouseMove, BPoint(61, 71));
	send_mouse(fWindow, QEvent::MouseMove, BPoint(150, 150));
	send_mouse(fWindow, QEvent::MouseMove, BPoint(160, 150));
	ASSERT_TRUE(wait_until([&] { return view->fTransits.size() >= 3; }));
	run_for(20);

	std::vector<uint32> expected = { B_ENTERED_VIEW, B_INSIDE_VIEW, B_EXITED_VIEW };
	EXPECT_EQ(expected, view->fTransits);
	// Points arrive in the view's own coordinates.
	EXPECT_EQ(BPoint(100, 100), view->fMovedAt);
	EXPECT_EQ(NULL, fWindow->LastMouseMovedView());

	// Leaving the window counts as leaving the view.
	send_mouse(fWindow, QEvent::MouseMove, BPoint(70, 70));
	QEvent leave(QEvent::Leave);
	QCoreApplication::sendEvent(widget_of(fWindow), &leave);
	ASSERT_TRUE(wait_until([&] { return view->fTransits.size() == 5; }));
	EXPECT_EQ(B_ENTERED_VIEW, view->fTransits[3]);
	EXPECT_EQ(B_EXITED_VIEW, view->fTransits[4]);
	fWindow->Lock();
}

TEST_F(ViewTest, MouseDownCarriesTheButtonsAndGetMouseReportsThem)
{
	TracingView* view = new TracingView(BRect(50, 50, 99, 99), "target", NULL);
	fWindow->AddChild(view);
	ShowWindow();
	fWindow->Unlock();

	send_mouse(fWindow, QEvent::MouseMove, BPoint(60, 65));
	send_mouse(fWindow, QEvent::MouseButtonPress, BPoint(60, 65), Qt::RightButton, Qt::RightButton);
	ASSERT_TRUE(wait_until([&] { return view->fButtons != 0; }));
	EXPECT_EQ(B_SECONDARY_MOUSE_BUTTON, view->fButtons);
	EXPECT_EQ(BPoint(10, 15), view->fDownAt);

	fWindow->Lock();
	BPoint where;
	uint32 buttons = 0;
	view->GetMouse(&where, &buttons);
	EXPECT_EQ(BPoint(10, 15), where);
	EXPECT_EQ((uint32)B_SECONDARY_MOUSE_BUTTON, buttons);
	fWindow->Unlock();

	send_mouse(fWindow, QEvent::MouseButtonRelease, BPoint(60, 65), Qt::RightButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return view->fUpAt == BPoint(10, 15); }));
	fWindow->Lock();
	view->GetMouse(&where, &buttons);
	EXPECT_EQ(0u, buttons);
}

TEST_F(ViewTest, AMouseEventMaskKeepsTheMouseUpForThePressedView)
{
	std::vector<std::string> trace;
	TracingView* pressed = new TracingView(BRect(10, 10, 59, 59), "pressed", &trace);
	pressed->fTrackOutside = true;
	TracingView* other = new TracingView(BRect(100, 10, 149, 59), "other", &trace);
	fWindow->AddChild(pressed);
	fWindow->AddChild(other);
	ShowWindow();
	fWindow->Unlock();

	send_mouse(fWindow, QEvent::MouseMove, BPoint(20, 20));
	send_mouse(fWindow, QEvent::MouseButtonPress, BPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
	send_mouse(fWindow, QEvent::MouseMove, BPoint(120, 20), Qt::NoButton, Qt::LeftButton);
	send_mouse(fWindow, QEvent::MouseButtonRelease, BPoint(120, 20), Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return pressed->fUpAt != BPoint(); }));
	// The pressed view hears the release in its own coordinates, outside its bounds.
	EXPECT_EQ(BPoint(110, 10), pressed->fUpAt);
	EXPECT_EQ(B_EXITED_VIEW, pressed->fTransits.back());

	// The mask ended with the release.
	trace.clear();
	send_mouse(fWindow, QEvent::MouseButtonRelease, BPoint(130, 30), Qt::LeftButton, Qt::NoButton);
	ASSERT_TRUE(wait_until([&] { return !trace.empty(); }));
	EXPECT_EQ(std::vector<std::string> { "other:up" }, trace);
	fWindow->Lock();
}

TEST_F(ViewTest, KeysGoToTheFocusViewAndTabMovesTheFocus)
{
	TracingView* first = new TracingView(BRect(0, 0, 9, 9), "first", NULL, B_NAVIGABLE);
	TracingView* plain = new TracingView(BRect(20, 0, 29, 9), "plain", NULL, 0);
	TracingView* second = new TracingView(BRect(40, 0, 49, 9), "second", NULL, B_NAVIGABLE);
	fWindow->AddChild(first);
	fWindow->AddChild(plain);
	fWindow->AddChild(second);
	first->MakeFocus();
	EXPECT_TRUE(first->IsFocus());
	EXPECT_EQ(first, fWindow->CurrentFocus());
	ShowWindow();
	fWindow->Unlock();

	send_key(fWindow, Qt::Key_X, Qt::NoModifier, "x");
	ASSERT_TRUE(wait_until([&] { return first->fKeys == "x"; }));
	send_key(fWindow, Qt::Key_Tab, Qt::NoModifier, "\t");
	ASSERT_TRUE(wait_until([&] { return second->IsFocus(); }));
	send_key(fWindow, Qt::Key_Y, Qt::NoModifier, "y");
	ASSERT_TRUE(wait_until([&] { return second->fKeys == "y"; }));
	// Tab from the last navigable view wraps round; the plain view is skipped.
	send_key(fWindow, Qt::Key_Tab, Qt::NoModifier, "\t");
	ASSERT_TRUE(wait_until([&] { return first->IsFocus(); }));
	EXPECT_EQ("", plain->fKeys);

	fWindow->Lock();
	first->Hide();
	EXPECT_EQ(NULL, fWindow->CurrentFocus());
}

TEST_F(ViewTest, OnlyViewsWithFrameEventsHearOfTheirSize)
{
	std::vector<std::string> trace;
	TracingView* listening =
		new TracingView(BRect(0, 0, 49, 49), "listening", &trace, B_FRAME_EVENTS);
	TracingView* deaf = new TracingView(BRect(60, 0, 99, 49), "deaf", &trace, 0);
	fWindow->AddChild(listening);
	fWindow->AddChild(deaf);
	ShowWindow();
	trace.clear();
	listening->ResizeTo(79, 29);
	deaf->ResizeTo(9, 9);
	fWindow->Unlock();
	ASSERT_TRUE(wait_until([&] { return !trace.empty(); }));
	run_for(20);
	EXPECT_EQ(std::vector<std::string> { "listening:resized" }, trace);
	EXPECT_EQ(BPoint(79, 29), listening->fResized);
	fWindow->Lock();
}

namespace {

// Tracks a press the BeOS way: polls GetMouse() in MouseDown() until the button is up.
class PollingView : public BView {
public:
	PollingView(BRect frame) :
		BView(frame, "polling", B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

	void MouseDown(BPoint) override
	{
		const bigtime_t deadline = system_time() + 2000000;
		BPoint where;
		uint32 buttons = 0;
		do {
			GetMouse(&where, &buttons);
			fPolls++;
			if (buttons == 0)
				break;
			snooze(10000);
		} while (system_time() < deadline);
		fReleasedAt = where;
		fSawRelease = buttons == 0;
	}

	void MouseUp(BPoint) override { fMouseUps++; }

	int32 fPolls = 0;
	bool fSawRelease = false;
	BPoint fReleasedAt;
	int32 fMouseUps = 0;
};

} // namespace

// The window's thread is the GUI thread: a loop there that polls the mouse must still see
// the button go up (the release arrives while the loop runs), and the view still hears
// MouseUp() afterwards.
TEST_F(ViewTest, PollingGetMouseInMouseDownSeesTheButtonGoUp)
{
	PollingView* view = new PollingView(BRect(50, 50, 149, 149));
	fWindow->AddChild(view);
	ShowWindow();
	fWindow->Unlock();

	QWidget* widget = widget_of(fWindow);
	send_mouse(fWindow, QEvent::MouseMove, BPoint(60, 60));
	send_mouse(fWindow, QEvent::MouseButtonPress, BPoint(60, 60), Qt::LeftButton, Qt::LeftButton);
	// The user moves and lets go while MouseDown() runs: the events wait in Qt's queue.
	const QPointF moved(80.5, 90.5);
	QCoreApplication::postEvent(widget,
		new QMouseEvent(QEvent::MouseMove, moved, widget->mapToGlobal(moved), Qt::NoButton,
			Qt::LeftButton, Qt::NoModifier));
	QCoreApplication::postEvent(widget,
		new QMouseEvent(QEvent::MouseButtonRelease, moved, widget->mapToGlobal(moved),
			Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
	ASSERT_TRUE(wait_until([&] { return view->fPolls > 0 && view->fMouseUps == 1; }, 5000));
	EXPECT_TRUE(view->fSawRelease);
	EXPECT_EQ(BPoint(30, 40), view->fReleasedAt);
	fWindow->Lock();
}

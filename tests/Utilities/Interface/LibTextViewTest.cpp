// LibTextView: help markup turned into line and paragraph breaks at the places the reader
// recorded, dropped plain-text files replacing the text (and other drops ignored), the drop
// mark, the edit and focus reports, font sizes and the text rectangle on resizing.
#include "LibTextView.h"

#include "xmlParser.h"
#include "xmlTag.h"

#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

const uint32 kChanged = 'chng';
const uint32 kFocus = 'focs';

// The text SetXml shows for the first PAGE element of the markup.
std::string
shown_text(const std::string& markup)
{
	ScopedTempDir folder;
	const std::string path = folder.Child("page.help");
	std::ofstream(path) << markup;
	xmlParser parser(path.c_str());
	xmlTag page;
	EXPECT_TRUE(parser.FindTag("PAGE", page)) << markup;
	LibTextView view(BRect(0, 0, 299, 99), "help_pane", 0, 0);
	view.SetXml(page);
	return view.Text();
}

} // namespace

TEST(LibTextViewTest, MarkupBreaksLandWhereTheyWereWritten)
{
	struct Row {
		const char* markup;
		const char* text;
	};

	const Row rows[] = {
		{ "<PAGE>ab</PAGE>", "ab" },
		{ "<PAGE>a<BR/>b</PAGE>", "a\nb" },
		{ "<PAGE>First step.<P/>Second step.</PAGE>", "First step.\n\nSecond step." },
		{ "<PAGE>x <B>bold</B> y<BR/>z</PAGE>", "x bold y\nz" },
		{ "<PAGE>one<BR/><BR/>two<P/>three</PAGE>", "one\n\ntwo\n\nthree" },
		{ "<PAGE><P/>Starts with a break</PAGE>", "\n\nStarts with a break" },
		{ "<PAGE>Ends with a break<BR/></PAGE>", "Ends with a break\n" },
		// Other elements leave nothing, not even their text.
		{ "<PAGE>a <I>skipped</I>b</PAGE>", "a b" },
		{ "<PAGE>R\xC3\xA9sum\xC3\xA9<BR/>suite</PAGE>", "R\xC3\xA9sum\xC3\xA9\nsuite" },
	};
	for (const Row& row : rows)
		EXPECT_EQ(row.text, shown_text(row.markup)) << row.markup;
}

TEST(LibTextViewTest, ABreakRecordedPastTheTextGoesAtItsEnd)
{
	xmlTag page;
	page.SetName("PAGE");
	page.AddContent("ab");
	xmlTag before;
	before.SetName("P");
	before.SetParentLocation(-3);
	page.AddChild(before);
	xmlTag brk;
	brk.SetName("BR");
	brk.SetParentLocation(40);
	page.AddChild(brk);
	LibTextView view(BRect(0, 0, 99, 99), "text", 0, 0);
	view.SetXml(page);
	EXPECT_STREQ("\n\nab\n", view.Text());
	// The tag is read, not changed: showing it again gives the same text.
	view.SetXml(page);
	EXPECT_STREQ("\n\nab\n", view.Text());
}

TEST(LibTextViewTest, ChildrenListedOutOfOrderLandAsIfInsertedOneByOne)
{
	// Each insert goes at its location moved on by everything inserted before it in the
	// list, wherever that was.
	xmlTag page;
	page.SetName("PAGE");
	page.AddContent("abcd");
	const std::pair<const char*, long> children[] = { { "BR", 3 }, { "P", 1 }, { "BR", 4 } };
	for (const auto& [name, location] : children) {
		xmlTag child;
		child.SetName(name);
		child.SetParentLocation(location);
		page.AddChild(child);
	}
	LibTextView view(BRect(0, 0, 99, 99), "text", 0, 0);
	view.SetXml(page);
	EXPECT_STREQ("ab\n\nc\nd\n", view.Text());
}

TEST(LibTextViewTest, FontSizeChangesOnlyTheSize)
{
	LibTextView view(BRect(0, 0, 199, 99), "text", 0, 0);
	view.SetStylable(true);
	view.SetText("plain bold");
	BFont bold(be_bold_font);
	const rgb_color red = { 255, 0, 0, 255 };
	view.SetFontAndColor(6, 10, &bold, B_FONT_ALL, &red);
	view.SetFontSize(10);

	BFont font;
	rgb_color color;
	view.GetFontAndColor(0, &font, &color);
	EXPECT_EQ(10, font.Size());
	EXPECT_EQ(0, font.Face() & B_BOLD_FACE);
	view.GetFontAndColor(7, &font, &color);
	EXPECT_EQ(10, font.Size());
	EXPECT_NE(0, font.Face() & B_BOLD_FACE);
	EXPECT_EQ(red, color);
}

TEST(LibTextViewTest, TheTextRectangleKeepsItsMarginsOnResizing)
{
	LibTextView view(BRect(0, 0, 199, 99), "text", 0, 0);
	EXPECT_EQ(BRect(3, 3, 196, 96), view.TextRect());
	view.FrameResized(299, 149);
	EXPECT_EQ(BRect(3, 3, 296, 146), view.TextRect());
}

namespace {

class TextWindow : public BWindow {
public:
	TextWindow() :
		BWindow(BRect(100, 100, 399, 299), "Text", B_TITLED_WINDOW, 0)
	{
		fText = new LibTextView(BRect(10, 10, 209, 109), "license", kChanged, kFocus);
		fText->SetText("original");
		AddChild(fText);
		fOther = new LibTextView(BRect(10, 120, 209, 180), "other", 0, 0);
		AddChild(fOther);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kChanged || message->what == kFocus) {
			std::lock_guard<std::mutex> lock(fLock);
			fReports.push_back(*message);
			return;
		}
		BWindow::MessageReceived(message);
	}

	std::vector<BMessage> Reports()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fReports;
	}

	LibTextView* fText;
	LibTextView* fOther;
	std::mutex fLock;
	std::vector<BMessage> fReports;
};

class LibTextViewWindowTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-lib-text-view");
		fWindow = new TextWindow;
		fWindow->Show();
		ASSERT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
	}

	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	std::string Text()
	{
		fWindow->Lock();
		std::string text = fWindow->fText->Text();
		fWindow->Unlock();
		return text;
	}

	// Drags the file onto the text view and drops it.
	void Drop(const std::string& path)
	{
		QWidget* widget = widget_of(fWindow);
		QMimeData data;
		data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(path)) });
		const QPoint where(50, 50);
		QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
		QCoreApplication::sendEvent(widget, &enter);
		QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
		QCoreApplication::sendEvent(widget, &drop);
	}

	std::unique_ptr<BApplication> fApplication;
	TextWindow* fWindow;
	ScopedTempDir fFolder;
};

BMessage
refs_message(const std::string& path)
{
	BMessage message(B_SIMPLE_DATA);
	entry_ref ref;
	BEntry(path.c_str()).GetRef(&ref);
	message.AddRef("refs", &ref);
	return message;
}

} // namespace

TEST_F(LibTextViewWindowTest, ADroppedTextFileReplacesTheTextAndOtherDropsAreIgnored)
{
	const std::string picture = fFolder.Child("logo.png");
	QImage image(8, 8, QImage::Format_RGB32);
	image.fill(Qt::red);
	ASSERT_TRUE(image.save(QString::fromStdString(picture), "PNG"));
	const std::string readme = fFolder.Child("ReadMe");
	std::ofstream(readme) << "Licence line one\nline two\n";

	fWindow->Lock();
	BMessage pictureRefs = refs_message(picture);
	BMessage readmeRefs = refs_message(readme);
	EXPECT_FALSE(fWindow->fText->SupportedDropFile(&pictureRefs));
	EXPECT_TRUE(fWindow->fText->SupportedDropFile(&readmeRefs));
	BMessage empty(B_SIMPLE_DATA);
	EXPECT_FALSE(fWindow->fText->SupportedDropFile(&empty));
	EXPECT_FALSE(fWindow->fText->SupportedDropFile(NULL));
	fWindow->Unlock();

	Drop(picture);
	run_for(100);
	EXPECT_EQ("original", Text());

	Drop(readme);
	EXPECT_TRUE(wait_until([&] { return Text() == "Licence line one\nline two\n"; }));
}

TEST_F(LibTextViewWindowTest, ADraggedTextFileMarksTheViewUntilItLeaves)
{
	const std::string readme = fFolder.Child("notes.txt");
	std::ofstream(readme) << "notes\n";
	const std::string picture = fFolder.Child("logo.png");
	QImage image(8, 8, QImage::Format_RGB32);
	image.fill(Qt::white);
	ASSERT_TRUE(image.save(QString::fromStdString(picture), "PNG"));

	auto border_is_marked = [&] {
		QImage shot = grab(fWindow);
		return shot.pixel(10, 60)
			== qRgb(keyboard_navigation_color().red, keyboard_navigation_color().green,
				keyboard_navigation_color().blue);
	};
	EXPECT_FALSE(border_is_marked());

	BMessage pictureRefs = refs_message(picture);
	fWindow->Lock();
	fWindow->fText->MouseMoved(BPoint(5, 5), B_ENTERED_VIEW, &pictureRefs);
	fWindow->Unlock();
	EXPECT_FALSE(border_is_marked());

	BMessage readmeRefs = refs_message(readme);
	fWindow->Lock();
	fWindow->fText->MouseMoved(BPoint(5, 5), B_ENTERED_VIEW, &readmeRefs);
	fWindow->Unlock();
	EXPECT_TRUE(border_is_marked());
	fWindow->Lock();
	fWindow->fText->MouseMoved(BPoint(-5, 5), B_EXITED_VIEW, &readmeRefs);
	fWindow->Unlock();
	EXPECT_FALSE(border_is_marked());
}

TEST_F(LibTextViewWindowTest, KeysAndFocusChangesAreReported)
{
	fWindow->Lock();
	fWindow->fText->MakeEditable(true);
	fWindow->fText->MakeFocus(true);
	fWindow->Unlock();
	send_key(fWindow, Qt::Key_X, Qt::NoModifier, "x");
	send_key(fWindow, Qt::Key_Y, Qt::NoModifier, "y");
	// The keys are handled in turn before the focus moves on.
	ASSERT_TRUE(wait_until([&] { return Text().find("xy") != std::string::npos; }));
	fWindow->Lock();
	fWindow->fOther->MakeFocus(true);
	fWindow->Unlock();
	ASSERT_TRUE(wait_until([&] { return fWindow->Reports().size() >= 4; }));
	run_for(50);

	std::vector<BMessage> reports = fWindow->Reports();
	ASSERT_EQ(4u, reports.size());
	EXPECT_EQ(kFocus, reports[0].what);
	EXPECT_TRUE(reports[0].FindBool("focus"));
	EXPECT_EQ(kChanged, reports[1].what);
	EXPECT_TRUE(reports[1].IsEmpty());
	EXPECT_EQ(kChanged, reports[2].what);
	EXPECT_EQ(kFocus, reports[3].what);
	EXPECT_FALSE(reports[3].FindBool("focus"));
}

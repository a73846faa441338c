// LibTextView: help markup turned into breaks at the places the reader recorded, dropped
// plain-text files replacing the text while other drops are ignored, the edit and focus
// reports, and the text's margins on resizing.
#include "LibTextView.h"

#include "xmlParser.h"
#include "xmlTag.h"

#include "TempDir.h"
#include "WidgetTestHelpers.h"

#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <fstream>
#include <string>

using namespace gui_test;

TEST(LibTextViewTest, MarkupBreaksLandWhereTheyWereWritten)
{
	const std::pair<const char*, const char*> rows[] = {
		{ "<PAGE>a<BR/>b</PAGE>", "a\nb" },
		{ "<PAGE>First step.<P/>Second step.</PAGE>", "First step.\n\nSecond step." },
		{ "<PAGE>x <B>bold</B> y<BR/>z</PAGE>", "x bold y\nz" },
		{ "<PAGE>one<BR/><BR/>two<P/>three<BR/></PAGE>", "one\n\ntwo\n\nthree\n" },
		// Other elements leave nothing, not even their text.
		{ "<PAGE>a <I>skipped</I>b</PAGE>", "a b" },
	};
	ScopedTempDir folder;
	LibTextView view(BRect(0, 0, 299, 99), "help_pane", 0, 0);
	for (const auto& [markup, text] : rows) {
		std::ofstream(folder.Child("page.help")) << markup;
		xmlParser parser(folder.Child("page.help").c_str());
		xmlTag page;
		ASSERT_TRUE(parser.FindTag("PAGE", page)) << markup;
		view.SetXml(page);
		EXPECT_STREQ(text, view.Text()) << markup;
		// The tag is read, not changed: showing it again gives the same text.
		view.SetXml(page);
		EXPECT_STREQ(text, view.Text()) << markup;
	}

	// Places outside the text (a tag built by hand) go to its ends.
	xmlTag page;
	page.AddContent("ab");
	xmlTag before;
	before.SetName("P");
	before.SetParentLocation(-3);
	page.AddChild(before);
	xmlTag after;
	after.SetName("BR");
	after.SetParentLocation(40);
	page.AddChild(after);
	view.SetXml(page);
	EXPECT_STREQ("\n\nab\n", view.Text());

	// Children listed out of order land as if inserted one by one, each at its place
	// moved on by everything inserted before it in the list.
	page.Clear();
	page.AddContent("abcd");
	for (const auto& [name, location] :
		{ std::pair<const char*, long> { "BR", 3 }, { "P", 1 }, { "BR", 4 } }) {
		xmlTag child;
		child.SetName(name);
		child.SetParentLocation(location);
		page.AddChild(child);
	}
	view.SetXml(page);
	EXPECT_STREQ("ab\n\nc\nd\n", view.Text());

	view.FrameResized(399, 149);
	EXPECT_EQ(BRect(3, 3, 396, 146), view.TextRect());
}

class LibTextViewWindowTest : public widget_test::WindowTest {
protected:
	void SetUp() override
	{
		Open({ 'chng', 'focs' });
		fText = new LibTextView(BRect(10, 10, 209, 109), "license", 'chng', 'focs');
		fText->SetText("original");
		fWindow->AddChild(fText);
		fOther = new LibTextView(BRect(10, 120, 209, 180), "other", 0, 0);
		fWindow->AddChild(fOther);
		ShowWindow();
	}

	std::string Text()
	{
		fWindow->Lock();
		const std::string text = fText->Text();
		fWindow->Unlock();
		return text;
	}

	// Drags the file from the desktop onto the text view and drops it.
	void Drop(const std::string& path)
	{
		QMimeData data;
		data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(path)) });
		QDragEnterEvent enter(
			QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
		QCoreApplication::sendEvent(widget_of(fWindow), &enter);
		QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
		QCoreApplication::sendEvent(widget_of(fWindow), &drop);
	}

	LibTextView* fText;
	LibTextView* fOther;
	ScopedTempDir fFolder;
};

TEST_F(LibTextViewWindowTest, ADroppedTextFileReplacesTheTextAndAPictureDoesNot)
{
	const std::string picture = fFolder.Child("logo.png");
	QImage image(8, 8, QImage::Format_RGB32);
	image.fill(Qt::red);
	ASSERT_TRUE(image.save(QString::fromStdString(picture), "PNG"));
	const std::string readme = fFolder.Child("ReadMe");
	std::ofstream(readme) << "Licence line one\nline two\n";

	Drop(picture);
	run_for(100);
	EXPECT_EQ("original", Text());
	Drop(readme);
	EXPECT_TRUE(wait_until([&] { return Text() == "Licence line one\nline two\n"; }));
}

TEST_F(LibTextViewWindowTest, KeysAndFocusChangesAreReported)
{
	fWindow->Lock();
	fText->MakeEditable(true);
	fText->MakeFocus(true);
	fWindow->Unlock();
	send_key(fWindow, Qt::Key_X, Qt::NoModifier, "x");
	send_key(fWindow, Qt::Key_Y, Qt::NoModifier, "y");
	// The keys are handled before the focus moves on.
	ASSERT_TRUE(wait_until([&] { return Text().find("xy") != std::string::npos; }));
	fWindow->Lock();
	fOther->MakeFocus(true);
	fWindow->Unlock();
	ASSERT_TRUE(wait_until([&] { return fWindow->Received().size() >= 4; }));
	run_for(50);

	const std::vector<BMessage> reports = fWindow->Received();
	ASSERT_EQ(4u, reports.size());
	const uint32 order[] = { 'focs', 'chng', 'chng', 'focs' };
	for (size_t i = 0; i < 4; i++)
		EXPECT_EQ(order[i], reports[i].what) << i;
	EXPECT_TRUE(reports[0].FindBool("focus"));
	EXPECT_TRUE(reports[1].IsEmpty());
	EXPECT_FALSE(reports[3].FindBool("focus"));
}

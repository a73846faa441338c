// BTextView: editing by offsets in UTF-8 bytes, styled runs, wrapped lines and their
// heights, typing, and drops: plain text inserted by the view, file references left to a
// subclass that takes text files and refuses the rest by their type.
#include <Application.h>
#include <Entry.h>
#include <Message.h>
#include <MessagePrivate.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TextView.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

using namespace gui_test;

namespace {

struct TextFixture {
	explicit TextFixture(BTextView* view = NULL)
	{
		window = new BWindow(BRect(100, 100, 399, 299), "Text", B_TITLED_WINDOW, 0);
		text = view != NULL ? view
							: new BTextView(BRect(0, 0, 299, 199), "text", BRect(3, 3, 296, 196),
								B_FOLLOW_ALL, B_WILL_DRAW);
		window->AddChild(text);
		window->Show();
		wait_until([&] { return widget_of(window) != nullptr; });
		window->Lock();
	}

	~TextFixture() { window->Quit(); }

	BWindow* window;
	BTextView* text;
};

// Takes dropped files whose type is exactly plain text and inserts their contents.
class FileDropTextView : public BTextView {
public:
	FileDropTextView() :
		BTextView(BRect(0, 0, 299, 199), "drop", BRect(3, 3, 296, 196), B_FOLLOW_ALL, B_WILL_DRAW)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		entry_ref ref;
		if (!message->WasDropped() || message->what != B_SIMPLE_DATA
			|| message->FindRef("refs", &ref) != B_OK) {
			BTextView::MessageReceived(message);
			return;
		}
		BNode node(&ref);
		BNodeInfo info(&node);
		char type[B_MIME_TYPE_LENGTH] = "";
		if (info.GetType(type) != B_OK || strcmp(type, "text/plain") != 0) {
			fRefused++;
			return;
		}
		std::ifstream file(BPath(&ref).Path(), std::ios::binary);
		std::string contents((std::istreambuf_iterator<char>(file)), {});
		Insert(TextLength(), contents.c_str(), (int32)contents.size());
	}

	int32 fRefused = 0;
};

// Fills message as the desktop's drop of one file would.
void
make_dropped_refs(BMessage& message, const std::string& path)
{
	message.what = B_SIMPLE_DATA;
	entry_ref ref;
	get_ref_for_path(path.c_str(), &ref);
	message.AddRef("refs", &ref);
	BMessage::Private(message).SetWasDropped(true);
	BMessage::Private(message).SetDropPoint(BPoint(150, 150), BPoint(0, 0));
}

} // namespace

TEST(TextViewTest, InsertDeleteAndSelectCountUtf8Bytes)
{
	BApplication application("application/x-vnd.test-text-view");
	TextFixture fixture;
	BTextView* text = fixture.text;

	text->SetText("h\xC3\xA9llo world");
	EXPECT_EQ(12, text->TextLength());
	text->Insert(6, ", big", 5);
	EXPECT_STREQ("h\xC3\xA9llo, big world", text->Text());
	char buffer[32];
	text->GetText(3, 100, buffer);
	EXPECT_STREQ("llo, big world", buffer);
	text->Select(7, 11);
	int32 start = -1, finish = -1;
	text->GetSelection(&start, &finish);
	EXPECT_EQ(7, start);
	EXPECT_EQ(11, finish);
	text->Delete();
	EXPECT_STREQ("h\xC3\xA9llo, world", text->Text());
	text->GetSelection(&start, &finish);
	EXPECT_EQ(7, start);
	EXPECT_EQ(7, finish);
	// The caret's insertion goes where it stands; out-of-range offsets are clamped.
	text->Insert("new");
	EXPECT_STREQ("h\xC3\xA9llo,new world", text->Text());
	text->Select(-5, 400);
	text->GetSelection(&start, &finish);
	EXPECT_EQ(0, start);
	EXPECT_EQ(text->TextLength(), finish);
	EXPECT_EQ('h', text->ByteAt(0));
	EXPECT_EQ('\0', text->ByteAt(100));

	// The byte limit cuts an insertion, and never inside a character.
	text->SetText("ab");
	text->SetMaxBytes(4);
	text->Insert(2, "c\xC3\xA9", 3);
	EXPECT_STREQ("abc", text->Text());
}

TEST(TextViewTest, RunsKeepTheirStylesThroughEdits)
{
	BApplication application("application/x-vnd.test-text-view");
	TextFixture fixture;
	BTextView* text = fixture.text;
	text->SetStylable(true);
	text->SetText("plain bold plain");
	BFont big(be_bold_font);
	big.SetSize(30);
	rgb_color red = make_color(255, 0, 0);
	text->SetFontAndColor(6, 10, &big, B_FONT_ALL, &red);

	int32 size = 0;
	text_run_array* runs = text->RunArray(0, text->TextLength(), &size);
	ASSERT_NE(nullptr, runs);
	EXPECT_GT(size, 0);
	ASSERT_EQ(3, runs->count);
	EXPECT_EQ(0, runs->runs[0].offset);
	EXPECT_EQ(6, runs->runs[1].offset);
	EXPECT_EQ(10, runs->runs[2].offset);
	EXPECT_EQ(30, runs->runs[1].font.Size());
	EXPECT_EQ(red, runs->runs[1].color);
	EXPECT_NE(red, runs->runs[2].color);

	// Text typed inside a run takes its style; deleting a run removes it.
	text->Insert(8, "XX", 2);
	BFont font;
	rgb_color color;
	text->GetFontAndColor(9, &font, &color);
	EXPECT_EQ(red, color);
	text->Delete(6, 12);
	text_run_array* after = text->RunArray(0, text->TextLength());
	EXPECT_EQ(1, after->count);
	BTextView::FreeRunArray(after);

	// The runs go back in with the text.
	text->SetText("plain bold plain", runs);
	text->GetFontAndColor(7, &font, &color);
	EXPECT_EQ(red, color);
	EXPECT_EQ(30, font.Size());
	// The taller run makes its line taller.
	text->SetText("one\ntwo\nthree");
	text->SetFontAndColor(4, 7, &big, B_FONT_SIZE, &red);
	EXPECT_EQ(3, text->CountLines());
	EXPECT_GT(text->LineHeight(1), text->LineHeight(0));
	EXPECT_EQ(text->LineHeight(0), text->LineHeight(2));
	EXPECT_EQ(text->LineHeight(0) + text->LineHeight(1), text->TextHeight(0, 1));
	BTextView::FreeRunArray(runs);

	// A view with one style keeps one run whatever it is given.
	text->SetStylable(false);
	text->SetText("all one style");
	text->SetFontAndColor(0, 3, &big, B_FONT_ALL, &red);
	after = text->RunArray(0, text->TextLength());
	EXPECT_EQ(1, after->count);
	EXPECT_EQ(red, after->runs[0].color);
	BTextView::FreeRunArray(after);
}

TEST(TextViewTest, LinesWrapToTheTextRectAndHitTestsAgree)
{
	BApplication application("application/x-vnd.test-text-view");
	TextFixture fixture;
	BTextView* text = fixture.text;
	text->SetText("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu");
	text->SetTextRect(BRect(3, 3, 80, 196));
	int32 lines = text->CountLines();
	EXPECT_GT(lines, 3);
	for (int32 line = 0; line < lines; line++) {
		EXPECT_LE(text->LineWidth(line), 78) << line;
		int32 offset = text->OffsetAt(line);
		EXPECT_EQ(line, text->LineAt(offset));
		BPoint point = text->PointAt(offset);
		EXPECT_EQ(offset, text->OffsetAt(BPoint(point.x, point.y + 1)));
		EXPECT_EQ(line, text->LineAt(BPoint(10, point.y + 1)));
	}
	text->SetWordWrap(false);
	EXPECT_EQ(1, text->CountLines());
}

TEST(TextViewTest, TypingEditsAnEditableViewOnly)
{
	BApplication application("application/x-vnd.test-text-view");
	TextFixture fixture;
	BTextView* text = fixture.text;
	text->SetText("ab");
	text->Select(1, 1);
	text->MakeFocus();
	fixture.window->Unlock();
	send_key(fixture.window, Qt::Key_X, Qt::NoModifier, "x");
	send_key(fixture.window, Qt::Key_Right);
	send_key(fixture.window, Qt::Key_Y, Qt::NoModifier, "y");
	send_key(fixture.window, Qt::Key_Left);
	send_key(fixture.window, Qt::Key_Backspace);
	ASSERT_TRUE(wait_until([&] {
		fixture.window->Lock();
		std::string now = text->Text();
		fixture.window->Unlock();
		return now == "axy";
	}));
	fixture.window->Lock();
	text->MakeEditable(false);
	fixture.window->Unlock();
	send_key(fixture.window, Qt::Key_Z, Qt::NoModifier, "z");
	run_for(50);
	fixture.window->Lock();
	EXPECT_STREQ("axy", text->Text());
	EXPECT_TRUE(text->IsFocus());
}

TEST(TextViewTest, DropsTakeTextFilesAndRefuseImages)
{
	BApplication application("application/x-vnd.test-text-view");
	ScopedTempDir folder;
	std::string notes = folder.Child("notes.txt");
	std::ofstream(notes) << "dropped words\n";
	std::string picture = folder.Child("picture.png");
	QImage image(8, 8, QImage::Format_RGB32);
	image.fill(Qt::red);
	ASSERT_TRUE(image.save(QString::fromStdString(picture), "PNG"));

	FileDropTextView* view = new FileDropTextView;
	TextFixture fixture(view);
	view->SetText("Start: ");

	BMessage textDrop;
	make_dropped_refs(textDrop, notes);
	view->MessageReceived(&textDrop);
	EXPECT_STREQ("Start: dropped words\n", view->Text());
	EXPECT_EQ(0, view->fRefused);

	BMessage imageDrop;
	make_dropped_refs(imageDrop, picture);
	view->MessageReceived(&imageDrop);
	EXPECT_STREQ("Start: dropped words\n", view->Text());
	EXPECT_EQ(1, view->fRefused);

	// Plain text dropped as data goes in by the view itself, where it was dropped.
	view->SetText("ab");
	BMessage textData(B_SIMPLE_DATA);
	textData.AddData("text/plain", B_MIME_TYPE, "XY", 2);
	BMessage::Private(textData).SetWasDropped(true);
	BPoint end = view->ConvertToScreen(view->PointAt(2));
	BMessage::Private(textData).SetDropPoint(end + BPoint(1, 1), BPoint(0, 0));
	view->BTextView::MessageReceived(&textData);
	EXPECT_STREQ("abXY", view->Text());
	// Not when the view cannot be edited.
	view->MakeEditable(false);
	view->BTextView::MessageReceived(&textData);
	EXPECT_STREQ("abXY", view->Text());
}

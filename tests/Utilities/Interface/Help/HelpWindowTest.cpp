// HelpWindow: the window's views, topics read from the help file in file order and nested,
// the topic of a view path selected (its ancestors opened) with its page shown, pages that
// do not exist, the lookup of the help file without trusting the shared temporary folder,
// and hostile help files (huge, deeply nested, endless topics, malformed, pages of
// nothing but breaks) that leave a usable window.
#include "HelpWindow.h"

#include "HelpArchive.h"
#include "HelpTestSupport.h"
#include "LibTextView.h"
#include "MetaStringItem.h"
#include "TempDir.h"

#include <Application.h>
#include <Font.h>
#include <OutlineListView.h>
#include <ScrollView.h>

#include "GuiTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gui_test;
using namespace help_test;

namespace {

const char* const kHelpName = "x-vnd.Test-Help";

// A help window made in a working directory of the test's own, which holds the help file
// the test writes.
class HelpWindowTest : public testing::Test {
protected:
	HelpWindowTest() :
		fApplication("application/x-vnd.test-help-window"),
		fHere(fTemp.Path().string())
	{
	}

	~HelpWindowTest() override
	{
		if (fWindow != NULL && fWindow->Lock())
			fWindow->Quit();
	}

	void WriteHelp(const std::string& contents)
	{
		write_file(fTemp.Child(std::string(kHelpName) + ".help"), contents);
	}

	// Makes the window; returns what it wrote to standard error meanwhile.
	std::string Open()
	{
		testing::internal::CaptureStderr();
		fWindow = new HelpWindow(kHelpName, NULL);
		fWindow->Run();
		return testing::internal::GetCapturedStderr();
	}

	BOutlineListView* List() { return fWindow->ContentList(); }

	std::vector<std::string> Titles(bool fullList = true)
	{
		std::vector<std::string> titles;
		const int32 count = fullList ? List()->FullListCountItems() : List()->CountItems();
		for (int32 i = 0; i < count; i++) {
			BListItem* row = fullList ? List()->FullListItemAt(i) : List()->ItemAt(i);
			titles.push_back(static_cast<MetaStringItem*>(row)->Text());
		}
		return titles;
	}

	std::string Selected()
	{
		BListItem* row = List()->ItemAt(List()->CurrentSelection());
		return row != NULL ? static_cast<MetaStringItem*>(row)->Text() : "";
	}

	// The pane's text once the selection message has been handled.
	std::string PaneAfterEvents()
	{
		run_for(50);
		return fWindow->HelpPane()->Text();
	}

	ScopedTempDir fTemp;
	BApplication fApplication;
	WorkingDirectory fHere;
	HelpWindow* fWindow = NULL;
};

} // namespace

TEST_F(HelpWindowTest, TheWindowHasTheOutlineBesideThePane)
{
	WriteHelp(sample_help());
	Open();
	EXPECT_STREQ("HelpWindow", fWindow->Name());
	EXPECT_STREQ("Help", fWindow->Title());
	EXPECT_EQ(BRect(0, 0, 450, 200), fWindow->Frame());
	EXPECT_EQ(B_TITLED_WINDOW_LOOK, fWindow->Look());
	EXPECT_NE(0u, fWindow->Flags() & B_NOT_ZOOMABLE);
	EXPECT_TRUE(fWindow->IsHidden());

	ASSERT_TRUE(fWindow->Lock());
	BView* background = fWindow->FindView("view");
	ASSERT_NE(nullptr, background);
	EXPECT_EQ(fWindow->Bounds(), background->Frame());
	BView* contentScroll = fWindow->FindView("content_scroll");
	BView* helpScroll = fWindow->FindView("help_scroll");
	ASSERT_NE(nullptr, contentScroll);
	ASSERT_NE(nullptr, helpScroll);
	EXPECT_EQ(contentScroll, List()->Parent());
	EXPECT_EQ(helpScroll, fWindow->HelpPane()->Parent());
	EXPECT_EQ(List(), fWindow->FindView("content_list"));
	EXPECT_EQ(fWindow->HelpPane(), fWindow->FindView("help_pane"));
	// The outline is 170 wide; the pane runs from beside it to the scroll bar's room.
	EXPECT_EQ(170, List()->Bounds().Width());
	EXPECT_EQ(contentScroll->Frame().right + 2, helpScroll->Frame().left + 2);
	EXPECT_EQ(fWindow->Bounds().Width() - 14 - (contentScroll->Frame().right + 2),
		fWindow->HelpPane()->Bounds().Width());
	EXPECT_FALSE(fWindow->HelpPane()->IsEditable());
	EXPECT_FALSE(fWindow->HelpPane()->IsSelectable());
	BFont font;
	List()->GetFont(&font);
	EXPECT_EQ(10, font.Size());
	fWindow->HelpPane()->GetFontAndColor(0, &font);
	EXPECT_EQ(10, font.Size());
	fWindow->Unlock();
}

TEST_F(HelpWindowTest, TopicsComeInFileOrderWithSubTopicsCollapsed)
{
	WriteHelp(sample_help());
	const std::string errors = Open();
	EXPECT_NE(std::string::npos, errors.find("<x-vnd.Test-Help.help>")) << errors;
	EXPECT_NE(std::string::npos, errors.find("parser 1\n")) << errors;
	EXPECT_EQ(std::string::npos, errors.find("Help not in")) << errors;
	EXPECT_EQ(fTemp.Child("x-vnd.Test-Help.help"), fWindow->HelpPath().Path());

	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ((std::vector<std::string> { "Welcome", "Options", "Folder", "Volume", "Headings" }),
		Titles());
	EXPECT_EQ((std::vector<std::string> { "Welcome", "Options", "Headings" }), Titles(false));
	const uint32 levels[] = { 0, 0, 1, 2, 0 };
	for (int32 i = 0; i < 5; i++)
		EXPECT_EQ(levels[i], List()->FullListItemAt(i)->OutlineLevel()) << i;

	const BMessage* volume = static_cast<MetaStringItem*>(List()->FullListItemAt(3))->Message();
	EXPECT_STREQ("volume", volume->FindString("PAGE"));
	EXPECT_STREQ("Options/first/background", volume->FindString("VIEW", (int32)0));
	EXPECT_STREQ("Installer/volume/options_box/background", volume->FindString("VIEW", 1));
	const BMessage* heading = static_cast<MetaStringItem*>(List()->FullListItemAt(4))->Message();
	EXPECT_FALSE(heading->HasString("PAGE"));
	fWindow->Unlock();
}

TEST_F(HelpWindowTest, ANestedTopicIsOpenedSelectedAndItsPageShown)
{
	WriteHelp(sample_help());
	Open();
	fWindow->HelpForInterface("Installer/volume/options_box/background");
	fWindow->Show();
	EXPECT_EQ("The volume to install on.\nOnly volumes with room show.", PaneAfterEvents());

	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ("Volume", Selected());
	EXPECT_EQ((std::vector<std::string> { "Welcome", "Options", "Folder", "Volume", "Headings" }),
		Titles(false));
	fWindow->Unlock();

	QImage image = grab(fWindow);
	EXPECT_EQ(451, image.width());
	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(image.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/help-window.png"));

	// Another view of a topic's list, and a top-level topic.
	fWindow->HelpForInterface("Installer/install_type/background");
	EXPECT_EQ("Pick an install type.\n\nOr tick items.", PaneAfterEvents());
	fWindow->HelpForInterface("Options/first/background");
	EXPECT_EQ("The volume to install on.\nOnly volumes with room show.", PaneAfterEvents());
}

TEST_F(HelpWindowTest, AViewPathNoTopicListsChangesNothingAndSaysSo)
{
	WriteHelp(sample_help());
	Open();
	fWindow->HelpForInterface("Installer/background");
	const std::string page = PaneAfterEvents();
	EXPECT_EQ("Read the licence, then press Agree.", page);

	const char* const paths[] = { "Installer/nowhere", "Installer", "installer/background",
		"Installer/background/", "" };
	for (const char* path : paths) {
		testing::internal::CaptureStderr();
		fWindow->HelpForInterface(path);
		EXPECT_EQ(
			std::string("No help for ") + path + "\n", testing::internal::GetCapturedStderr());
		EXPECT_EQ(page, PaneAfterEvents()) << path;
		ASSERT_TRUE(fWindow->Lock());
		EXPECT_EQ("Welcome", Selected()) << path;
		fWindow->Unlock();
	}
}

TEST_F(HelpWindowTest, AMissingPageOrATopicWithoutOneEmptiesThePane)
{
	WriteHelp(sample_help() + "<PAGE>no name</PAGE><PAGE NAME=\"empty\"></PAGE>");
	Open();
	ASSERT_TRUE(fWindow->Lock());
	fWindow->HelpForContent("welcome");
	EXPECT_STREQ("Read the licence, then press Agree.", fWindow->HelpPane()->Text());
	fWindow->HelpForContent("no such page");
	EXPECT_STREQ("", fWindow->HelpPane()->Text());
	fWindow->HelpForContent("options");
	fWindow->HelpForContent(NULL);
	EXPECT_STREQ("Pick an install type.\n\nOr tick items.", fWindow->HelpPane()->Text());
	fWindow->HelpForContent("empty");
	EXPECT_STREQ("", fWindow->HelpPane()->Text());
	fWindow->Unlock();

	// Selecting a heading (a topic with no page) does not leave the page before it shown.
	fWindow->HelpForInterface("Installer/background");
	EXPECT_EQ("Read the licence, then press Agree.", PaneAfterEvents());
	fWindow->HelpForInterface("Installer/heading");
	EXPECT_EQ("", PaneAfterEvents());
}

TEST_F(HelpWindowTest, WithoutAHelpFileTheSharedTemporaryFolderIsNotTrusted)
{
	// Someone else's file under the help file's name, where the temporary copy once went.
	const std::string shared = std::string(getenv("TMPDIR")) + "/" + kHelpName + ".help";
	write_file(shared, "<CONTENTS><CONTENT PAGE=\"x\" VIEW=\"W/v\">Planted</CONTENT></CONTENTS>");
	const auto before = temporary_entries("help-");

	const std::string errors = Open();
	EXPECT_NE(std::string::npos,
		errors.find(
			"Help not in working directory <" + fTemp.Child("x-vnd.Test-Help.help") + ">\n"))
		<< errors;
	const size_t tmp = errors.find("Help not in tmp directory <" + std::string(getenv("TMPDIR")));
	EXPECT_NE(std::string::npos, tmp) << errors;
	EXPECT_EQ(std::string::npos, errors.find("<" + shared + ">")) << errors;
	// This test program carries no help.
	EXPECT_NE(std::string::npos, errors.find("HelpWindow::ReadInContents: No help in attrs\n"))
		<< errors;

	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(0, List()->FullListCountItems());
	fWindow->Unlock();
	fWindow->HelpForInterface("W/v");
	EXPECT_EQ("", PaneAfterEvents());

	// The window's private folder goes with the window; the planted file stays.
	EXPECT_EQ(before.size() + 1, temporary_entries("help-").size());
	fWindow->Lock();
	fWindow->Quit();
	fWindow = NULL;
	EXPECT_TRUE(wait_until([&] { return before == temporary_entries("help-"); }));
	EXPECT_TRUE(exists(shared));
	unlink(shared.c_str());
}

TEST_F(HelpWindowTest, AHelpFileOfAnotherUserInTheWorkingDirectoryIsIgnored)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "giving a file to another user needs the superuser";
	WriteHelp(sample_help());
	ASSERT_EQ(0, chown(fTemp.Child("x-vnd.Test-Help.help").c_str(), 65534, 65534));
	const std::string errors = Open();
	EXPECT_NE(std::string::npos, errors.find("Help not in working directory")) << errors;
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(0, List()->FullListCountItems());
	fWindow->Unlock();
}

TEST_F(HelpWindowTest, ClosingTheWindowHidesItWhileAnotherWindowShows)
{
	WriteHelp(sample_help());
	Open();
	BWindow* other = new BWindow(BRect(10, 10, 109, 109), "Installer", B_TITLED_WINDOW, 0);
	other->Show();
	fWindow->Show();
	ASSERT_TRUE(wait_until([&] { return !fWindow->IsHidden(); }));
	fWindow->PostMessage(B_QUIT_REQUESTED);
	ASSERT_TRUE(wait_until([&] { return fWindow->IsHidden(); }));
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(5, List()->FullListCountItems());
	fWindow->Unlock();
	other->Lock();
	other->Quit();
}

namespace {

std::string
repeated(const std::string& text, size_t times)
{
	std::string result;
	result.reserve(text.size() * times);
	for (size_t i = 0; i < times; i++)
		result += text;
	return result;
}

} // namespace

TEST_F(HelpWindowTest, HostileHelpFilesLeaveAUsableWindow)
{
	const std::string topic = "<CONTENT PAGE=\"p\" VIEW=\"W/v\">Topic</CONTENT>";
	const std::string page = "<PAGE NAME=\"p\">Text</PAGE>";

	struct Row {
		const char* what;
		std::string contents;
		int32 maxTopics;
		const char* said;
	};

	const Row rows[] = {
		{ "larger than a help file may be",
			"<CONTENTS>" + topic + "</CONTENTS>" + std::string((size_t)kMaxHelpFileSize, ' '), 0,
			"Help file too large" },
		{ "topics nested ten thousand deep",
			repeated("<CONTENT PAGE=\"p\" VIEW=\"W/v\">Deeper", 10000) + "<CONTENTS>"
				+ repeated("<CONTENT VIEW=\"W/v\">Deeper", 10000) + "</CONTENTS>" + page,
			kMaxHelpTopics, NULL },
		{ "more topics than the outline takes",
			"<CONTENTS>" + repeated(topic, 6000) + "</CONTENTS>" + page, kMaxHelpTopics,
			"Help topics past 1000 left out\n" },
		{ "unterminated everything", "<CONTENTS><CONTENT PAGE=\"p VIEW='W/v>Topic<PAGE NAME=", 1,
			NULL },
		{ "only brackets", repeated("<<<>>><</<!<?xml", 20000), 0, NULL },
		{ "binary junk", repeated(std::string("\0\xff\x01<\n\r>\"'=", 10), 30000), 0, NULL },
		{ "stray elements among the topics",
			"<CONTENTS><BR/><P/>" + topic + "<B>bold</B><CONTENT>Sub<BR/>title</CONTENT>"
				+ "</CONTENTS>" + page,
			2, NULL },
		{ "a page of nothing but breaks",
			"<CONTENTS>" + topic + "</CONTENTS><PAGE NAME=\"p\">"
				+ repeated("x<BR/><P/>", (size_t)kMaxHelpFileSize / 12) + "</PAGE>",
			1, NULL },
		{ "huge attribute values and names",
			"<CONTENTS><CONTENT " + std::string(5000, 'N') + "=\"" + std::string(50000, 'v')
				+ "\" VIEW=\"W/v\" PAGE=\"p\">" + std::string(60000, 't') + "</CONTENT></CONTENTS>"
				+ page,
			1, NULL },
	};
	for (const Row& row : rows) {
		SCOPED_TRACE(row.what);
		WriteHelp(row.contents);
		const std::string errors = Open();
		if (row.said != NULL) {
			EXPECT_NE(std::string::npos, errors.find(row.said)) << errors.substr(0, 2000);
		}

		ASSERT_TRUE(fWindow->Lock());
		EXPECT_LE(List()->FullListCountItems(), row.maxTopics);
		// The reader takes elements a hundred deep at most.
		for (int32 i = 0; i < List()->FullListCountItems(); i++)
			ASSERT_LE(List()->FullListItemAt(i)->OutlineLevel(), 100u);
		fWindow->Unlock();
		testing::internal::CaptureStderr();
		fWindow->HelpForInterface("W/v");
		fWindow->HelpForContent("p");
		fWindow->HelpForContent("missing");
		testing::internal::GetCapturedStderr();
		fWindow->Show();
		grab(fWindow);
		run_for(20);
		fWindow->Lock();
		fWindow->Quit();
		fWindow = NULL;
	}
}

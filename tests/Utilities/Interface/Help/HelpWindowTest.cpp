// HelpWindow: topics in file order, nested and collapsed; the topic of a view path opened,
// selected and its page shown; paths and pages that do not exist; a help file looked for
// without trusting the shared temporary folder or another user's file; and hostile help
// files (huge, deeply nested, endless topics, malformed, pages of nothing but breaks)
// that leave a usable window.
#include "HelpWindow.h"

#include "HelpArchive.h"
#include "HelpTestSupport.h"
#include "LibTextView.h"
#include "MetaStringItem.h"
#include "TempDir.h"

#include <Application.h>
#include <Autolock.h>
#include <OutlineListView.h>

#include "GuiTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gui_test;
using namespace help_test;

namespace {

// A help window opened in a working directory of the test's own, where the test writes
// the help file.
class HelpWindowTest : public testing::Test {
protected:
	~HelpWindowTest() override { Close(); }

	// Opens the window on contents; returns what it wrote to standard error.
	std::string Open(const std::string& contents)
	{
		write_file(fTemp.Child("x-vnd.Test-Help.help"), contents);
		testing::internal::CaptureStderr();
		fWindow = new HelpWindow("x-vnd.Test-Help", NULL);
		fWindow->Run();
		return testing::internal::GetCapturedStderr();
	}

	void Close()
	{
		if (fWindow != NULL && fWindow->Lock())
			fWindow->Quit();
		fWindow = NULL;
	}

	BOutlineListView* List() { return fWindow->ContentList(); }

	std::vector<std::string> Titles(bool fullList)
	{
		std::vector<std::string> titles;
		for (int32 i = 0; i < (fullList ? List()->FullListCountItems() : List()->CountItems());
			 i++) {
			BListItem* row = fullList ? List()->FullListItemAt(i) : List()->ItemAt(i);
			titles.push_back(static_cast<MetaStringItem*>(row)->Text());
		}
		return titles;
	}

	// The selected topic and the page shown, once the selection message is handled.
	std::pair<std::string, std::string> Shown()
	{
		run_for(50);
		BAutolock lock(fWindow);
		BListItem* row = List()->ItemAt(List()->CurrentSelection());
		return { row != NULL ? static_cast<MetaStringItem*>(row)->Text() : "",
			fWindow->HelpPane()->Text() };
	}

	ScopedTempDir fTemp;
	BApplication fApplication { "application/x-vnd.test-help-window" };
	WorkingDirectory fHere { fTemp.Path() };
	HelpWindow* fWindow = NULL;
};

} // namespace

TEST_F(HelpWindowTest, ANestedTopicIsOpenedSelectedAndItsPageShown)
{
	const std::string errors = Open(sample_help());
	EXPECT_NE(std::string::npos, errors.find("<x-vnd.Test-Help.help>")) << errors;
	EXPECT_NE(std::string::npos, errors.find("parser 1\n")) << errors;
	EXPECT_STREQ("HelpWindow", fWindow->Name());
	EXPECT_STREQ("Help", fWindow->Title());
	for (const char* name :
		{ "view", "content_scroll", "content_list", "help_scroll", "help_pane" })
		EXPECT_NE(nullptr, fWindow->FindView(name)) << name;

	ASSERT_TRUE(fWindow->Lock());
	const std::vector<std::string> all = { "Welcome", "Options", "Folder", "Volume", "Headings" };
	EXPECT_EQ(all, Titles(true));
	EXPECT_EQ((std::vector<std::string> { "Welcome", "Options", "Headings" }), Titles(false));
	EXPECT_EQ(2u, List()->FullListItemAt(3)->OutlineLevel());
	const BMessage* volume = static_cast<MetaStringItem*>(List()->FullListItemAt(3))->Message();
	EXPECT_STREQ("volume", volume->FindString("PAGE"));
	EXPECT_STREQ("Installer/volume/options_box/background", volume->FindString("VIEW", 1));
	fWindow->Unlock();

	// The second view a topic lists finds it as well as the first.
	fWindow->HelpForInterface("Installer/volume/options_box/background");
	fWindow->Show();
	EXPECT_EQ(std::make_pair(std::string("Volume"),
				  std::string("The volume to install on.\nOnly volumes with room show.")),
		Shown());
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(all, Titles(false));
	fWindow->Unlock();
	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(grab(fWindow).save(QString(BEINSTALLER_ARTIFACT_DIR) + "/help-window.png"));

	fWindow->HelpForInterface("Installer/install_type/background");
	EXPECT_EQ("Pick an install type.\n\nOr tick items.", Shown().second);

	// A path no topic lists changes nothing; a heading without a page, or a page the file
	// lacks, leaves no stale page.
	testing::internal::CaptureStderr();
	fWindow->HelpForInterface("Installer/background/");
	EXPECT_EQ("No help for Installer/background/\n", testing::internal::GetCapturedStderr());
	EXPECT_EQ("Options", Shown().first);
	fWindow->HelpForInterface("Installer/heading");
	EXPECT_EQ(std::make_pair(std::string("Headings"), std::string()), Shown());
	BAutolock lock(fWindow);
	fWindow->HelpForContent("welcome");
	fWindow->HelpForContent("no such page");
	EXPECT_STREQ("", fWindow->HelpPane()->Text());
}

TEST_F(HelpWindowTest, NeitherTheSharedTemporaryFolderNorAnotherUsersFileIsRead)
{
	// Someone else's files: under the fixed name in the shared folder, where the copy once
	// went, and in the working directory.
	const std::string planted = "<CONTENTS><CONTENT>Planted</CONTENT></CONTENTS>";
	const std::string shared = std::string(getenv("TMPDIR")) + "/x-vnd.Test-Help.help";
	write_file(shared, planted);
	const auto before = temporary_entries("help-");
	write_file(fTemp.Child("x-vnd.Test-Help.help"), planted);
	// Only the superuser can give a file away; without it, there is no such file.
	if (chown(fTemp.Child("x-vnd.Test-Help.help").c_str(), 65534, 65534) != 0)
		std::filesystem::remove(fTemp.Child("x-vnd.Test-Help.help"));

	testing::internal::CaptureStderr();
	fWindow = new HelpWindow("x-vnd.Test-Help", NULL);
	const std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string::npos,
		errors.find(
			"Help not in working directory <" + fTemp.Child("x-vnd.Test-Help.help") + ">\n"))
		<< errors;
	EXPECT_NE(std::string::npos,
		errors.find("Help not in tmp directory <" + std::string(getenv("TMPDIR")) + "/help-"))
		<< errors;
	// This test program carries no help of its own.
	EXPECT_NE(std::string::npos, errors.find("HelpWindow::ReadInContents: No help in attrs\n"))
		<< errors;
	EXPECT_EQ(0, List()->FullListCountItems());
	EXPECT_EQ(before.size() + 1, temporary_entries("help-").size());

	// The window's own folder goes with it; the planted file stays.
	Close();
	EXPECT_EQ(before, temporary_entries("help-"));
	EXPECT_EQ(planted, read_file(shared));
	std::filesystem::remove(shared);
}

namespace {

std::string
repeated(const std::string& text, size_t times)
{
	std::string result;
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
		const char* said;
	};

	const Row rows[] = {
		{ "larger than a help file may be",
			"<CONTENTS>" + topic + "</CONTENTS>" + std::string((size_t)kMaxHelpFileSize, ' '),
			"Help file too large" },
		{ "topics nested three thousand deep",
			"<CONTENTS>" + repeated("<CONTENT VIEW=\"W/v\" PAGE=\"p\">Deeper", 3000) + page, NULL },
		{ "more topics than the outline takes", "<CONTENTS>" + repeated(topic, 1500) + page,
			"Help topics past 1000 left out\n" },
		{ "unterminated everything",
			"<CONTENTS><CONTENT PAGE=\"p VIEW='W/v>Topic<PAGE NAME=", NULL },
		{ "only brackets", repeated("<<<>>><</<!<?xml", 12000), NULL },
		{ "binary junk", repeated(std::string("\0\xff\x01<\n\r>\"'=", 10), 20000), NULL },
		{ "stray elements among the topics",
			"<CONTENTS><BR/>" + topic + "<B>bold</B><CONTENT>Sub<BR/>title</CONTENT></CONTENTS>",
			NULL },
		{ "a page of nothing but breaks",
			"<CONTENTS>" + topic + "</CONTENTS><PAGE NAME=\"p\">"
				+ repeated("x<BR/><P/>", (size_t)kMaxHelpFileSize / 12) + "</PAGE>",
			NULL },
		{ "huge names and values",
			"<CONTENTS><CONTENT " + std::string(5000, 'N') + "=\"" + std::string(50000, 'v')
				+ "\" VIEW=\"W/v\" PAGE=\"p\">" + std::string(60000, 't') + "</CONTENT></CONTENTS>",
			NULL },
	};
	for (const Row& row : rows) {
		SCOPED_TRACE(row.what);
		if (&row != &rows[0]) {
			ASSERT_LE(row.contents.size(), (size_t)kMaxHelpFileSize);
		}
		const std::string errors = Open(row.contents);
		if (row.said != NULL) {
			EXPECT_NE(std::string::npos, errors.find(row.said));
		}
		ASSERT_TRUE(fWindow->Lock());
		// Stray elements are no topics; the reader takes elements a hundred deep at most.
		EXPECT_LE(List()->FullListCountItems(),
			std::string(row.what).find("stray") == 0 ? 2 : kMaxHelpTopics);
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
		Close();
	}
}
